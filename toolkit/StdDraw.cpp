#include "toolkit/StdDraw.h"

#include "toolkit/GdiCalls.h"

namespace toolkit::stddraw {

namespace {

// A memory context with `font` selected, for measuring.
class MeasureContext {
 public:
  explicit MeasureContext(const TFont* font) : dc_(gdi::CreateCompatibleDC(0)) {
    old_ = gdi::SelectObject(dc_, font->Handle());
  }
  ~MeasureContext() {
    gdi::SelectObject(dc_, old_);
    gdi::DeleteDC(dc_);
  }
  MeasureContext(const MeasureContext&) = delete;
  MeasureContext& operator=(const MeasureContext&) = delete;
  gdi::HDC get() const { return dc_; }

 private:
  gdi::HDC dc_;
  gdi::HGDIOBJ old_ = 0;
};

// The canvas's context with `font`, `color` and a transparent background
// for one DrawTextA, given back as it was found: the canvas keeps track of
// what it selected itself and must not notice.
class TextScope {
 public:
  TextScope(TCanvas* canvas, const TFont* font, TColor color) : dc_(canvas->Handle()) {
    oldFont_ = gdi::SelectObject(dc_, font->Handle());
    oldColor_ = gdi::SetTextColor(dc_, ColorToRGB(color));
    oldMode_ = gdi::SetBkMode(dc_, gdi::TRANSPARENT);
  }
  ~TextScope() {
    gdi::SetBkMode(dc_, oldMode_);
    gdi::SetTextColor(dc_, oldColor_);
    gdi::SelectObject(dc_, oldFont_);
  }
  TextScope(const TextScope&) = delete;
  TextScope& operator=(const TextScope&) = delete;
  gdi::HDC get() const { return dc_; }

 private:
  gdi::HDC dc_;
  gdi::HGDIOBJ oldFont_ = 0;
  gdi::COLORREF oldColor_ = 0;
  int oldMode_ = gdi::OPAQUE;
};

}  // namespace

gdi::TRect MeasureText(const TFont* font, const std::string& text, const gdi::TRect& bounds, unsigned flags) {
  MeasureContext mc(font);
  gdi::TRect r = bounds;
  CallGdi([&] {
    return gdi::DrawTextA(mc.get(), text.data(), static_cast<int>(text.size()), &r, flags | gdi::DT_CALCRECT);
  });
  return r;
}

int LineHeight(const TFont* font) {
  MeasureContext mc(font);
  gdi::TEXTMETRICA tm;
  CallGdi([&] { return gdi::GetTextMetricsA(mc.get(), &tm); });
  return tm.tmHeight;
}

int TextWidth(const TFont* font, const std::string& text) {
  if (text.empty()) return 0;
  MeasureContext mc(font);
  gdi::SIZE size;
  CallGdi([&] {
    return gdi::GetTextExtentPoint32A(mc.get(), text.data(), static_cast<int>(text.size()), &size);
  });
  return size.cx;
}

void DrawText(TCanvas* canvas, const TFont* font, const std::string& text, gdi::TRect rect, unsigned flags,
              TColor color) {
  if (text.empty()) return;
  TextScope scope(canvas, font, color);
  CallGdi(
      [&] { return gdi::DrawTextA(scope.get(), text.data(), static_cast<int>(text.size()), &rect, flags); });
}

void DrawCaption(TCanvas* canvas, const TFont* font, const std::string& text, const gdi::TRect& rect,
                 unsigned flags, bool enabled) {
  if (enabled) {
    DrawText(canvas, font, text, rect, flags, font->Color());
    return;
  }
  gdi::TRect lower = rect;
  gdi::OffsetRect(&lower, 1, 1);
  DrawText(canvas, font, text, lower, flags, clBtnHighlight);
  DrawText(canvas, font, text, rect, flags, clBtnShadow);
}

void Fill(TCanvas* canvas, const gdi::TRect& rect, TColor color) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FillRect(rect);
}

void FrameSolid(TCanvas* canvas, const gdi::TRect& rect, TColor color) {
  gdi::TRect r = rect;
  Frame3D(canvas, r, color, color, 1);
}

void DrawRaisedFace(TCanvas* canvas, gdi::TRect rect) {
  Frame3D(canvas, rect, cl3DLight, cl3DDkShadow, 1);
  Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
  Fill(canvas, rect, clBtnFace);
}

namespace {
// The 7 × 4 triangle: rows 7, 5, 3 and 1 pixels wide.
void Triangle(TCanvas* canvas, int x, int y, bool down, TColor color) {
  for (int row = 0; row < 4; ++row) {
    const int width = 7 - 2 * row;
    const int yy = down ? y + row : y + 3 - row;
    Fill(canvas, {x + row, yy, x + row + width, yy + 1}, color);
  }
}
}  // namespace

void DrawScrollButton(TCanvas* canvas, const gdi::TRect& rect, bool down, bool pushed, bool enabled) {
  gdi::TRect r = rect;
  if (pushed) {
    Frame3D(canvas, r, clBtnShadow, clBtnShadow, 1);
    Fill(canvas, r, clBtnFace);
  } else {
    DrawRaisedFace(canvas, r);
  }
  int x = rect.Left + (rect.Width() - 7) / 2;
  int y = rect.Top + (rect.Height() - 4) / 2;
  if (pushed) {
    ++x;
    ++y;
  }
  if (enabled) {
    Triangle(canvas, x, y, down, clBtnText);
  } else {
    Triangle(canvas, x + 1, y + 1, down, clBtnHighlight);
    Triangle(canvas, x, y, down, clBtnShadow);
  }
}

}  // namespace toolkit::stddraw
