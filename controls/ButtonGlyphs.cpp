// What the bitmap button draws besides its frame: the glyph strip (the list's
// bitmap, or a copy extended by a grey and a disabled copy of glyph 0), the
// pixel routines behind it, and the caption.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/Mmbmpbtn.h"
#include "gdi/TextLayout.h"

namespace controls {

using namespace toolkit;

namespace {

// The raster operation that paints the brush where the source is 1 and
// keeps the destination where it is 0.
constexpr gdi::DWORD kBrushWhereSource = 0x00E20746;

// The grey copy's weights of red, green and blue.
constexpr int kGreyRed = 11, kGreyGreen = 59, kGreyBlue = 30;

constexpr gdi::UINT kMeasureSingle = gdi::DT_CALCRECT | gdi::DT_END_ELLIPSIS | gdi::DT_SINGLELINE;
constexpr gdi::UINT kMeasureWrap = gdi::DT_CALCRECT | gdi::DT_END_ELLIPSIS | gdi::DT_WORDBREAK;
constexpr gdi::UINT kDrawSingle = gdi::DT_CENTER | gdi::DT_END_ELLIPSIS | gdi::DT_NOCLIP | gdi::DT_SINGLELINE;
constexpr gdi::UINT kDrawWrap = gdi::DT_CENTER | gdi::DT_END_ELLIPSIS | gdi::DT_NOCLIP | gdi::DT_WORDBREAK;
static_assert(kMeasureSingle == 0x8420 && kMeasureWrap == 0x8410);
static_assert(kDrawSingle == 0x8121 && kDrawWrap == 0x8111);

bool IsEmpty(TBitmap* bitmap) { return !bitmap || bitmap->Width() <= 0 || bitmap->Height() <= 0; }

// Makes the canvas select its brush now, so that colours set on its context
// afterwards are not overwritten by a later selection.
void SelectBrush(TCanvas* canvas) { canvas->FillRect({0, 0, 0, 0}); }

// One brush pass of the emboss: the brush where `mono` has 1, at (x, y).
void PaintShape(TBitmap* dest, TBitmap* mono, TColor brush, int x, int y, int width, int height) {
  TCanvas* canvas = dest->Canvas();
  canvas->Brush()->SetColor(brush);
  SelectBrush(canvas);
  const gdi::HDC dc = canvas->Handle();
  // 1 bits come in as the background colour, 0 bits as the text colour.
  gdi::SetTextColor(dc, 0x000000);
  gdi::SetBkColor(dc, 0xFFFFFF);
  gdi::BitBlt(dc, x, y, width, height, mono->Canvas()->Handle(), 0, 0, kBrushWhereSource);
}

// The caption's shadow: each channel (c / 100) * 40, the division first.
gdi::COLORREF ShadowOf(gdi::COLORREF color) {
  const auto channel = [](int c) { return static_cast<gdi::BYTE>((c / 100) * 40); };
  return gdi::RGB(channel(gdi::GetRValue(color)), channel(gdi::GetGValue(color)),
                  channel(gdi::GetBValue(color)));
}

// Device-dependent colour bitmaps hold the screen's 32-bit pixels,
// 0x00RRGGBB: their rows can be worked on directly, which gives the same
// pixels as going through the canvas one pixel at a time.
bool HasScreenRows(TBitmap* bitmap) { return bitmap->HandleType() == bmDDB && !bitmap->Monochrome(); }

template <typename Change>
void ForEachScreenPixel(TBitmap* bitmap, Change change) {
  bitmap->FreeCanvasHandle();
  const int w = bitmap->Width(), h = bitmap->Height();
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(bitmap->ScanLine(y));
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = row[x];
      const gdi::COLORREF c = gdi::RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      const gdi::COLORREF n = change(c);
      row[x] = (static_cast<std::uint32_t>(gdi::GetRValue(n)) << 16) |
               (static_cast<std::uint32_t>(gdi::GetGValue(n)) << 8) | gdi::GetBValue(n);
    }
  }
}

}  // namespace

// ---- the pixel routines ---------------------------------------------------------------

void GrayGlyph(TBitmap* bitmap, int wr, int wg, int wb) {
  if (IsEmpty(bitmap)) return;
  const int total = wr + wg + wb;
  if (total == 0) return;  // no weights, no grey to compute
  const auto grey = [&](gdi::COLORREF c) {
    const auto v = static_cast<gdi::BYTE>(
        (gdi::GetRValue(c) * wr + gdi::GetGValue(c) * wg + gdi::GetBValue(c) * wb) / total);
    return gdi::RGB(v, v, v);
  };
  if (HasScreenRows(bitmap)) {
    ForEachScreenPixel(bitmap, grey);
    return;
  }
  TCanvas* canvas = bitmap->Canvas();
  const int w = bitmap->Width(), h = bitmap->Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      canvas->SetPixel(x, y, static_cast<TColor>(grey(static_cast<gdi::COLORREF>(canvas->Pixel(x, y)))));
}

void MaskGlyph(TBitmap* bitmap) {
  if (IsEmpty(bitmap)) return;
  TCanvas* canvas = bitmap->Canvas();
  const auto ground = static_cast<gdi::COLORREF>(canvas->Pixel(0, 0));
  const auto mask = [ground](gdi::COLORREF c) { return c == 0xFFFFFF || c == ground ? ground : 0; };
  if (HasScreenRows(bitmap)) {
    ForEachScreenPixel(bitmap, mask);
  } else {
    const int w = bitmap->Width(), h = bitmap->Height();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        canvas->SetPixel(x, y, static_cast<TColor>(mask(static_cast<gdi::COLORREF>(canvas->Pixel(x, y)))));
  }
  EmbossGlyph(bitmap);
}

void EmbossGlyph(TBitmap* bitmap) {
  if (IsEmpty(bitmap)) return;
  const int w = bitmap->Width(), h = bitmap->Height();

  // The shape: black pixels become 1. The colour side's background colour
  // picks the pixels that turn 1, and the copy's brush sets it.
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(bitmap);
  copy->Canvas()->Brush()->SetColor(clBlack);
  copy->Canvas()->Font()->SetColor(clWhite);
  auto mono = std::make_unique<TBitmap>();
  mono->SetSize(w, h);
  mono->SetMonochrome(true);
  mono->Canvas()->CopyRect({0, 0, w, h}, copy->Canvas(), {0, 0, w, h});
  copy.reset();

  auto dest = std::make_unique<TBitmap>();
  dest->SetSize(w, h);
  dest->Canvas()->Brush()->SetColor(clBtnFace);
  dest->Canvas()->FillRect({0, 0, w, h});
  // Highlight first, one down-right; the shadow covers it where they meet.
  PaintShape(dest.get(), mono.get(), clBtnHighlight, 1, 1, w + 1, h + 1);
  PaintShape(dest.get(), mono.get(), clBtnShadow, 0, 0, w, h);
  bitmap->Assign(dest.get());
}

void SoftenRect(TCanvas* canvas, const gdi::TRect& rect) {
  const int w = rect.Width(), h = rect.Height();
  if (!canvas || w < 3 || h < 3) return;  // no inner pixel to soften
  auto work = std::make_unique<TBitmap>();
  work->SetSize(w, h);
  work->SetPixelFormat(pf24bit);
  work->Canvas()->CopyRect({0, 0, w, h}, canvas, rect);
  // In place: the row above and the pixel to the left are already softened.
  for (int y = 1; y <= h - 2; ++y) {
    std::uint8_t* above = work->ScanLine(y - 1);
    std::uint8_t* row = work->ScanLine(y);
    std::uint8_t* below = work->ScanLine(y + 1);
    for (int x = 1; x <= w - 2; ++x) {
      for (int ch = 0; ch < 3; ++ch) {
        const int l = (x - 1) * 3 + ch, m = x * 3 + ch, r = (x + 1) * 3 + ch;
        const int sum = above[l] + above[m] + above[r] + 2 * row[l] + row[r] + 2 * below[m] + below[r];
        row[m] = static_cast<std::uint8_t>(sum / 9);
      }
    }
  }
  canvas->CopyRect(rect, work->Canvas(), {0, 0, w, h});
}

// ---- the button's part ----------------------------------------------------------------

void TMMBitmapButton::PrepareGlyphs() {
  if (Busy()) return;
  TBitmap* src = GetBitmap();
  if (IsEmpty(src)) return;
  const int h = src->Height();
  const int gw = src->Width() / numGlyphs_;
  if (autoSize_ && gw > 0 && h > 0) SetBounds(Left(), Top(), gw, h);

  const bool extended = numGlyphs_ == 1 || (HasExplorerLook() && autoGray_);
  if (!extended) {
    BorrowStrip(src);
    Invalidate();
    return;
  }
  TBitmap* strip = OwnStrip();
  strip->SetSize(gw * (EmbossedSlot() + 1), h);
  strip->SetHandleType(src->HandleType());
  strip->Canvas()->Draw(0, 0, src);

  if (gw > 0) {
    const gdi::TRect glyph0{0, 0, gw, h};
    auto work = std::make_unique<TBitmap>();
    work->SetSize(gw, h);
    work->Canvas()->CopyRect(glyph0, src->Canvas(), glyph0);
    GrayGlyph(work.get(), kGreyRed, kGreyGreen, kGreyBlue);
    strip->Canvas()->CopyRect(GetSrcRect(GreySlot()), work->Canvas(), glyph0);
    work->Canvas()->CopyRect(glyph0, src->Canvas(), glyph0);
    MaskGlyph(work.get());
    strip->Canvas()->CopyRect(GetSrcRect(EmbossedSlot()), work->Canvas(), glyph0);
  }
  // The list's bitmap is drawn elsewhere next; its context goes.
  src->FreeCanvasHandle();
  strip->FreeCanvasHandle();
  Invalidate();
}

gdi::TRect TMMBitmapButton::GetSrcRect(int index) const {
  TBitmap* src = GetBitmap();
  if (!src) return {};
  const int gw = src->Width() / numGlyphs_;
  return {gw * index, 0, gw * (index + 1), src->Height()};
}

void TMMBitmapButton::DrawTheText(TCanvas* canvas, const gdi::TRect& glyph) {
  const std::string& caption = Caption();
  const int W = Width(), H = Height(), S = spacing_;
  const int ml = margins_[msLeft], mr = margins_[msRight], mt = margins_[msTop], mb = margins_[msBottom];
  const bool boxed = textAlign_ == ttaCenter && (ml != 0 || mr != 0 || mt != 0 || mb != 0);

  auto t = std::make_unique<TBitmap>();
  int aw = W, ah = H;
  if (boxed) {
    t->SetSize(W - ml - mr, H - mt - mb);
    if (t->Empty()) return;  // the caption is cut at the box's edges: nothing shows
    aw = t->Width();
    ah = t->Height();
    t->Canvas()->CopyRect({0, 0, aw, ah}, canvas, {ml, mt, ml + aw, mt + ah});
    t->Canvas()->SetFont(Font());
  }
  canvas->SetFont(Font());
  TCanvas* target = boxed ? t->Canvas() : canvas;
  const auto text = caption.data();
  const int length = static_cast<int>(caption.size());

  // The context with the font selected and a see-through background; made
  // again after t was drawn, which lets go of t's context.
  const auto prepare = [target] {
    target->TextExtent("");
    const gdi::HDC dc = target->Handle();
    gdi::SetBkMode(dc, gdi::TRANSPARENT);
    return dc;
  };
  const auto copyIntoBox = [&] { t->Canvas()->CopyRect({0, 0, aw, ah}, canvas, {ml, mt, ml + aw, mt + ah}); };

  gdi::HDC dc = prepare();
  gdi::TRect r{0, 0, W, H};
  gdi::DrawTextA(dc, text, length, &r, wordWrap_ ? kMeasureWrap : kMeasureSingle);
  const int tw = r.Right - r.Left, th = r.Bottom - r.Top;

  int dx = 0, dy = 0;
  switch (textAlign_) {
    case ttaTopLeft:
      dx = S;
      dy = glyph.Top - th - S;
      break;
    case ttaTop:
      dx = aw / 2 - tw / 2;
      dy = glyph.Top - th - S;
      break;
    case ttaTopRight:
      dx = aw - tw - S;
      dy = glyph.Top - th - S;
      break;
    case ttaRight:
      dx = aw - tw - S;
      dy = ah / 2 - th / 2;
      break;
    case ttaBottomRight:
      dx = aw - tw - S;
      dy = glyph.Bottom + S;
      break;
    case ttaBottom:
      dx = aw / 2 - tw / 2;
      dy = glyph.Bottom + S;
      break;
    case ttaBottomLeft:
      dx = S;
      dy = glyph.Bottom + S;
      break;
    case ttaLeft:
      dx = S;
      dy = ah / 2 - th / 2;
      break;
    case ttaCenter:
      dx = aw / 2 - tw / 2;
      dy = ah / 2 - th / 2;
      break;
  }
  gdi::OffsetRect(&r, dx, dy);
  if (buttonState_ == bsDown && showPressed_) gdi::OffsetRect(&r, downIndent_[iaHoriz], downIndent_[iaVert]);

  const gdi::UINT drawFlags = wordWrap_ ? kDrawWrap : kDrawSingle;
  if (!Enabled()) {
    // Engraved: a highlight copy one down-right under the shadow-coloured text.
    gdi::SetTextColor(dc, ColorToRGB(clBtnHighlight));
    gdi::TRect lower = r;
    gdi::OffsetRect(&lower, 1, 1);
    gdi::DrawTextA(dc, text, length, &lower, drawFlags);
    gdi::SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    const gdi::COLORREF fontColor = ColorToRGB(Font()->Color());
    if (font3D_) {
      gdi::OffsetRect(&r, 1, 1);
      gdi::SetTextColor(dc, ShadowOf(fontColor));
      gdi::TRect shadow = r;
      gdi::DrawTextA(dc, text, length, &shadow, drawFlags);
      if (boxed) {
        canvas->Draw(ml, mt, t.get());
        SoftenRect(canvas, {ml - 1, mt - 1, ml + aw + 1, mt + ah + 1});
        copyIntoBox();
      } else {
        SoftenRect(canvas, r);
      }
      dc = prepare();  // the softening redrew through the canvas
      gdi::OffsetRect(&r, -2, -2);
    }
    gdi::SetTextColor(dc, fontColor);
  }
  gdi::DrawTextA(dc, text, length, &r, drawFlags);
  if (boxed) canvas->Draw(ml, mt, t.get());
}

}  // namespace controls
