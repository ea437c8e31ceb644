// The bitmap button: properties, mouse, painting, frames, glyph choice,
// double buffer and cache. The glyph strip and the caption are drawn by
// ButtonGlyphs.cpp.
#include "controls/Mmbmpbtn.h"

#include <algorithm>
#include <iterator>

#include "controls/Mmutils.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

namespace controls {

using namespace toolkit;

bool OLD_STYLE_DRAWING = false;

const TEnumInfo kButtonStyleNames{
    {"bsRegular", "bsIndent", "bsLight", "bsDark", "bsMono", "bsExplorer", "bsHighLight", "bsNone"}};
const TEnumInfo kTextAlignNames{{"ttaTopLeft", "ttaTop", "ttaTopRight", "ttaRight", "ttaBottomRight",
                                 "ttaBottom", "ttaBottomLeft", "ttaLeft", "ttaCenter"}};

const TClassInfo& TMMBitmapButton::StaticClass() {
  using C = TMMBitmapButton;
  static const TClassInfo info =
      ClassBuilder<C>("TMMBitmapButton", &TMMCustomBitmapListControl::StaticClass())
          .Creatable()
          .Event("OnGetGlyphIndex", &C::OnGetGlyphIndex)
          .Event("OnMouseEnter", &C::OnMouseEnter)
          .Event("OnMouseExit", &C::OnMouseExit)
          .Bool("CacheBtn", &C::CacheBtn, &C::SetCacheBtn)
          .Bool("Font3D", &C::Font3D, &C::FSet3DFont)
          .Bool("Transparent", &C::Transparent, &C::SetTransparent, Default::Transparent)
          .Color("TransparentColor", &C::TransparentColor, &C::SetTransparentColor)
          .StoredWhen(&C::TransparentColorStored)
          .Enum("TransparentMode", kTransparentModeNames, &C::TransparentMode, &C::SetTransparentMode,
                Default::TransparentMode)
          .Ref("BitmapList", &C::BitmapList, &C::SetBitmapList)
          .Int("BitmapIndex", &C::BitmapIndex, &C::SetBitmapIndex, Default::BitmapIndex)
          .Color("DesignColor", &C::DesignColor, &C::SetDesignColor, Default::DesignColor)
          .Int("MarginLeft", &C::MarginLeft, &C::SetMarginLeft)
          .Int("MarginRight", &C::MarginRight, &C::SetMarginRight)
          .Int("MarginTop", &C::MarginTop, &C::SetMarginTop)
          .Int("MarginBottom", &C::MarginBottom, &C::SetMarginBottom)
          .Bool("AutoSize", &C::AutoSize, &C::SetAutoSize, Default::AutoSize)
          .Bool("AutoGray", &C::AutoGray, &C::SetAutoGray, Default::AutoGray)
          .Bool("ShowDisabled", &C::ShowDisabled, &C::SetShowDisabled, Default::ShowDisabled)
          .Int("BorderWidth", &C::BorderWidth, &C::SetBorderWidth, Default::BorderWidth)
          .Bool("Down", &C::Down, &C::SetDown, Default::Down)
          .Int("DownIndentHoriz", &C::DownIndentHoriz, &C::SetDownIndentHoriz, Default::DownIndent)
          .Int("DownIndentVert", &C::DownIndentVert, &C::SetDownIndentVert, Default::DownIndent)
          .Enum("ButtonStyle", kButtonStyleNames, &C::ButtonStyle, &C::SetButtonStyle, Default::ButtonStyle)
          .Int("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, Default::NumGlyphs)
          .Bool("ShowPressed", &C::ShowPressed, &C::SetShowPressed, Default::ShowPressed)
          .Bool("Switch", &C::Switch, &C::SetSwitch, Default::Switch)
          .Int("Spacing", &C::Spacing, &C::SetSpacing, Default::Spacing)
          .Enum("TextAlign", kTextAlignNames, &C::TextAlign, &C::SetTextAlign, Default::TextAlign)
          .Bool("WordWrap", &C::WordWrap, &C::SetWordWrap, Default::WordWrap)
          .Bool("DoubleBuffer", &C::GetDoubleBuffer, &C::SetDoubleBuffer, Default::DoubleBuffer)
          .Bool("AllowRightMouse", &C::AllowRightMouse, &C::SetAllowRightMouse, Default::AllowRightMouse)
          .Build();
  return info;
}

// ---- life -----------------------------------------------------------------------------

TMMBitmapButton::TMMBitmapButton(TComponent* owner)
    : TMMCustomBitmapListControl(owner), cacheBitmap_(std::make_unique<TBitmap>()) {
  cacheBitmap_->SetPixelFormat(pf32bit);
  // Clicks come from the release handling below; a double click is two
  // ordinary presses.
  SetControlStyle(ControlStyle() & ~(csClickEvents | csOpaque | csDoubleClicks));
  SetTransparent(Default::Transparent);
  // An opaque button is filled with its parent's colour unless given its own.
  SetParentColor(true);
  SetBounds(0, 0, 40, 40);
  FSetBtnChache();
}

TMMBitmapButton::~TMMBitmapButton() {
  Destroying();
  cacheBtn_ = false;
  bufferBitmap_.reset();
  BorrowStrip(nullptr);
  cacheBitmap_.reset();
}

void TMMBitmapButton::BorrowStrip(TBitmap* strip) {
  ownedStrip_.reset();
  borrowedStrip_ = strip;
}

TBitmap* TMMBitmapButton::OwnStrip() {
  borrowedStrip_ = nullptr;
  if (!ownedStrip_) ownedStrip_ = std::make_unique<TBitmap>();
  return ownedStrip_.get();
}

bool TMMBitmapButton::Busy() const {
  return HasState(csLoading) || HasState(csReading) || HasState(csDestroying);
}

bool TMMBitmapButton::CanDrawNow() const {
  return !Busy() && Parent() != nullptr && Parent()->HandleAllocated();
}

void TMMBitmapButton::PaintNow() {
  if (!CanDrawNow()) return;
  Paint();
  static_cast<TControlCanvas*>(Canvas())->FreeHandle();
}

void TMMBitmapButton::Loaded() {
  if (cacheBtn_) cacheState_.refreshRequested = true;
  TMMCustomBitmapListControl::Loaded();
  PrepareGlyphs();
  SetDoubleBuffer(doubleBuffer_);
}

void TMMBitmapButton::BitmapChanged() {
  if (cacheBtn_) cacheState_.refreshRequested = true;
  // A strip borrowed from the list is let go of once the list no longer
  // holds it: it may have been freed.
  if (borrowedStrip_ && (!BitmapList() || BitmapList()->IndexOf(borrowedStrip_) < 0)) BorrowStrip(nullptr);
  if (BitmapValid()) DetectNumGlyphs();
  PrepareGlyphs();
  TMMCustomBitmapListControl::BitmapChanged();
}

void TMMBitmapButton::DetectNumGlyphs() {
  if (Busy() || !BitmapValid()) return;
  TBitmap* bitmap = GetBitmap();
  const int width = bitmap->Width(), height = bitmap->Height();
  if (height <= 0 || numGlyphs_ != 1) return;
  // A strip of square glyphs; a width of 0 guesses nothing.
  if (width % height == 0 && width / height >= 1) numGlyphs_ = std::min(width / height, kMaxGlyphs);
}

void TMMBitmapButton::SetBounds(int left, int top, int width, int height) {
  if ((width != Width() || height != Height()) && bufferBitmap_) bufferBitmap_->SetSize(width, 2 * height);
  TMMCustomBitmapListControl::SetBounds(left, top, width, height);
}

void TMMBitmapButton::ChangeScale(int m, int d) {
  if (m == d) return;
  TMMCustomBitmapListControl::ChangeScale(m, d);
  for (int& margin : margins_) margin = static_cast<int>(static_cast<double>(m) / d * margin);
  PaintNow();
}

// ---- properties -----------------------------------------------------------------------

void TMMBitmapButton::SetText(const std::string& text) {
  if (text == Caption()) return;
  TMMCustomBitmapListControl::SetText(text);
  Invalidate();
}

void TMMBitmapButton::FSet3DFont(bool value) {
  if (value == font3D_) return;
  font3D_ = value;
  PaintNow();
}

void TMMBitmapButton::FSetMargins(int index, int value) {
  if (index < msLeft || index > msBottom || margins_[index] == value) return;
  margins_[index] = value;
  PaintNow();
}

void TMMBitmapButton::SetAutoSize(bool value) {
  autoSize_ = value;
  PrepareGlyphs();
}

void TMMBitmapButton::SetAutoGray(bool value) {
  if (value == autoGray_) return;
  autoGray_ = value;
  PrepareGlyphs();
}

void TMMBitmapButton::SetShowDisabled(bool value) {
  if (value == showDisabled_) return;
  showDisabled_ = value;
  Invalidate();
}

void TMMBitmapButton::SetBorderWidth(std::uint32_t value) {
  if (value == borderWidth_) return;
  borderWidth_ = value;
  Invalidate();
}

void TMMBitmapButton::SetStayDown(bool value) {
  if (value == down_) return;
  down_ = value;
  pressedInside_ = value;
  buttonState_ = value ? bsDown : bsUp;
  Repaint();
}

void TMMBitmapButton::SetDownIndent(int index, int value) {
  value = std::max(value, 0);
  if (index < iaHoriz || index > iaVert || downIndent_[index] == value) return;
  downIndent_[index] = value;
  Invalidate();
}

void TMMBitmapButton::SetButtonStyle(TMMButtonStyle value) {
  if (value == buttonStyle_) return;
  buttonStyle_ = value;
  PrepareGlyphs();
}

void TMMBitmapButton::SetNumGlyphs(int value) {
  if (value == numGlyphs_) return;
  numGlyphs_ = std::max(value, 1);
  PrepareGlyphs();
}

void TMMBitmapButton::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  Invalidate();
}

void TMMBitmapButton::SetTextAlign(TMMTextAlign value) {
  if (value == textAlign_) return;
  textAlign_ = value;
  Invalidate();
}

void TMMBitmapButton::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  Invalidate();
}

void TMMBitmapButton::SetDoubleBuffer(bool value) {
  if (value == doubleBuffer_ && (!value || bufferBitmap_)) return;
  doubleBuffer_ = value;
  if (!value) {
    if (bufferBitmap_) {
      bufferBitmap_.reset();
      Repaint();
    }
    return;
  }
  if (Designing() || HasState(csReading) || HasState(csLoading) || bufferBitmap_) return;
  bufferBitmap_ = std::make_unique<TBitmap>();
  bufferBitmap_->SetPixelFormat(pf32bit);
  bufferBitmap_->SetSize(Width(), 2 * Height());
  Repaint();
}

bool TMMBitmapButton::IsParentColorStored() const { return !ParentColor(); }

// ---- mouse ----------------------------------------------------------------------------

bool TMMBitmapButton::InBtn(int x, int y) const { return x >= 0 && x < Width() && y >= 0 && y < Height(); }

bool TMMBitmapButton::AcceptsButton(TMouseButton button) const {
  return button == mbLeft || (button == mbRight && allowRightMouse_);
}

void TMMBitmapButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!AcceptsButton(button)) {
    TMMCustomBitmapListControl::MouseDown(button, shift, x, y);
    return;
  }
  if (!Enabled() || tracking_) return;
  SetMouseCapture(true);
  tracking_ = true;
  if (InBtn(x, y)) {
    pressedInside_ = true;
    buttonState_ = bsDown;
    RedrawButton();
  }
  // OnMouseDown sees the pressed picture on the screen.
  TMMCustomBitmapListControl::MouseDown(button, shift, x, y);
  TPopupMenu* menu = PopupMenu();
  if (menu && menu->AutoPopup()) {
    const gdi::TPoint at = ClientToScreen({0, Height() + 2});
    menu->SetPopupComponent(this);
    menu->Popup(at.X, at.Y);
    // The menu took the release; it is played here.
    MouseUp(button, shift, x, y);
    SetMouseCapture(false);
  }
}

void TMMBitmapButton::MouseMove(TShiftState shift, int x, int y) {
  TMMCustomBitmapListControl::MouseMove(shift, x, y);
  if (!pressedInside_ || down_) return;
  const bool inside = InBtn(x, y);
  if (inside && buttonState_ == bsUp) {
    buttonState_ = bsDown;
    RedrawButton();
  } else if (!inside && buttonState_ == bsDown) {
    buttonState_ = bsUp;
    RedrawButton();
  }
}

void TMMBitmapButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!AcceptsButton(button)) {
    TMMCustomBitmapListControl::MouseUp(button, shift, x, y);
    return;
  }
  if (!Enabled() || !tracking_) return;
  tracking_ = false;
  pressedInside_ = false;
  if (!down_) buttonState_ = bsUp;
  mouseInside_ = InBtn(x, y);
  if (!switch_)
    RedrawButton();
  else if (mouseInside_)
    SetStayDown(!down_);
  TMMCustomBitmapListControl::MouseUp(button, shift, x, y);
  SetMouseCapture(false);
  if (mouseInside_) Click();
}

void TMMBitmapButton::CMMouseEnter(TMessage& message) {
  if (!Enabled()) return;
  TMMCustomBitmapListControl::CMMouseEnter(message);
  mouseInside_ = true;
  if (!down_ && HasExplorerLook()) RedrawButton();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TMMBitmapButton::CMMouseLeave(TMessage& message) {
  if (!Enabled()) return;
  TMMCustomBitmapListControl::CMMouseLeave(message);
  mouseInside_ = false;
  if (!down_ && HasExplorerLook()) RedrawButton();
  if (OnMouseExit) OnMouseExit(this);
}

void TMMBitmapButton::CMDialogChar(TMessage& message) {
  if (Enabled() && IsAccel(static_cast<char>(message.WParam), Caption())) {
    Click();
    message.Result = 1;
    return;
  }
  TMMCustomBitmapListControl::CMDialogChar(message);
}

void TMMBitmapButton::CMEnabledChanged(TMessage&) {
  if (!Enabled()) {
    buttonState_ = bsUp;
    pressedInside_ = false;
    tracking_ = false;
    mouseInside_ = false;
  }
  Repaint();
}

void TMMBitmapButton::CMTransColorChanged(TMessage& message) {
  PrepareGlyphs();
  TMMCustomBitmapListControl::CMTransColorChanged(message);
}

// ---- painting -------------------------------------------------------------------------

namespace {

// One ring of a frame: Frame3D's two colours, one pixel or BorderWidth wide.
enum TRingWidth { rwNone, rwPixel, rwBorder };
struct TRing {
  TColor topLeft = clNone, bottomRight = clNone;
  TRingWidth width = rwNone;
};
// Drawn from the button's edge in.
using TRings = TRing[2];

// What each style draws around its face, by state.
struct TStyleFrames {
  TRings up;
  TRings pressed;       // held down, with ShowPressed
  TRings pressedPlain;  // held down, without ShowPressed
  TRings design;        // at design time, under the state's frame
  bool dottedDesign;    // at design time: a dotted outline in the design colour instead
};

constexpr TColor kHi = clBtnHighlight, kShadow = clBtnShadow, kDark = cl3DDkShadow, kFace = clBtnFace,
                 kBlack = clBlack;

// By TMMButtonStyle.
constexpr TStyleFrames kStyleFrames[] = {
    // bsRegular
    {{{kHi, kBlack, rwBorder}, {kFace, kShadow, rwBorder}},
     {{kBlack, kHi, rwBorder}, {kShadow, kFace, rwBorder}},
     {},
     {},
     false},
    // bsIndent
    {{{kShadow, kHi, rwBorder}}, {{kBlack, kHi, rwBorder}, {kShadow, kFace, rwBorder}}, {}, {}, false},
    // bsLight
    {{{kHi, kShadow, rwPixel}}, {{kShadow, kHi, rwPixel}}, {}, {{kHi, kShadow, rwPixel}}, false},
    // bsDark
    {{{kFace, kDark, rwPixel}}, {{kDark, kFace, rwPixel}}, {}, {{kFace, kDark, rwPixel}}, false},
    // bsMono
    {{{kHi, kDark, rwPixel}}, {{kDark, kHi, rwPixel}}, {}, {{kHi, kDark, rwPixel}}, false},
    // bsExplorer
    {{{kHi, kShadow, rwBorder}},
     {{kShadow, kHi, rwBorder}},
     {{kHi, kShadow, rwBorder}},
     {{kHi, kShadow, rwPixel}},
     false},
    // bsHighLight
    {{}, {}, {}, {}, true},
    // bsNone
    {{}, {}, {}, {}, true},
};
static_assert(std::size(kStyleFrames) == bsNone + 1);

void DrawRings(TCanvas* canvas, int width, int height, const TRings& rings, int borderWidth) {
  gdi::TRect r{0, 0, width, height};
  for (const TRing& ring : rings)
    if (ring.width != rwNone)
      Frame3D(canvas, r, ring.topLeft, ring.bottomRight, ring.width == rwBorder ? borderWidth : 1);
}

}  // namespace

void TMMBitmapButton::Paint() {
  const int w = Width(), h = Height();
  TCanvas* canvas = Canvas();
  if (cacheBtn_ && !FNeedsCacheRefresh()) {
    canvas->CopyRect({0, 0, w, h}, cacheBitmap_->Canvas(), {0, 0, w, h});
    return;
  }
  // What the parent painted under the button, for the quick redraws.
  if (!Designing() && bufferBitmap_)
    bufferBitmap_->Canvas()->CopyRect({0, h, w, 2 * h}, canvas, {0, 0, w, h});
  if (cacheBtn_) {
    cacheBitmap_->SetSize(w, h);
    PaintButton(cacheBitmap_->Canvas());
    FSetBtnChache();
    canvas->Draw(0, 0, cacheBitmap_.get());
  } else {
    PaintButton(canvas);
  }
}

void TMMBitmapButton::RedrawButton() {
  if (!Visible() || !CanDrawNow()) return;
  if (Designing()) {
    Repaint();
    return;
  }
  const int w = Width(), h = Height();
  if (bufferBitmap_) {
    TCanvas* buffer = bufferBitmap_->Canvas();
    buffer->CopyRect({0, 0, w, h}, buffer, {0, h, w, 2 * h});
    PaintButton(buffer);
    // Only the upper half lands: the canvas ends at the button's edge.
    Canvas()->Draw(0, 0, bufferBitmap_.get());
  } else {
    PaintButton(Canvas());
  }
}

void TMMBitmapButton::PaintButton(TCanvas* canvas) {
  const int w = Width(), h = Height();
  const int bw = static_cast<int>(borderWidth_);
  const bool transparent = Transparent();
  const bool designing = Designing();
  const TColor penColor = designing ? DesignColor() : clBlack;
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Pen()->SetWidth(bw);
  canvas->Pen()->SetColor(penColor);
  canvas->Pen()->SetStyle(psSolid);

  // The ground.
  switch (buttonStyle_) {
    case bsRegular:
      if (!transparent) {
        canvas->Rectangle(1, 1, w, h);
      } else {
        gdi::TRect r{1, 1, w, h};
        Frame3D(canvas, r, clBlack, clBlack, bw);
      }
      break;
    case bsIndent: {
      if (!transparent) {
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->Rectangle(0, 0, w - 1, h - 1);
      } else {
        gdi::TRect r{0, 0, w - 1, h - 1};
        Frame3D(canvas, r, clBtnShadow, clBtnShadow, bw);
      }
      gdi::TRect r{1, 1, w, h};
      Frame3D(canvas, r, clBtnHighlight, clBtnHighlight, bw);
      break;
    }
    default:
      if (!transparent) canvas->FillRect({0, 0, w, h});
      break;
  }

  // The design-time frame.
  const TStyleFrames& frames = kStyleFrames[buttonStyle_];
  if (designing && frames.dottedDesign) {
    canvas->Brush()->SetStyle(bsClear);
    canvas->Pen()->SetStyle(psDot);
    canvas->Pen()->SetWidth(1);
    canvas->Rectangle(0, 0, w, h);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Brush()->SetStyle(bsSolid);
  } else if (designing) {
    DrawRings(canvas, w, h, frames.design, bw);
  }

  // The state's frame, from the whole rectangle again.
  const bool framed = !HasExplorerLook() || mouseInside_;
  if (buttonState_ == bsDown && (framed || down_))
    DrawRings(canvas, w, h, showPressed_ ? frames.pressed : frames.pressedPlain, bw);
  else if (buttonState_ == bsUp && framed)
    DrawRings(canvas, w, h, frames.up, bw);
  gdi::IntersectClipRect(canvas->Handle(), 0, 0, w, h);
  DrawTheButton(canvas);
}

void TMMBitmapButton::DrawTheButton(TCanvas* canvas) {
  const int w = Width(), h = Height();
  int gw = 0, gh = 0;
  if (BitmapValid()) {
    TBitmap* bitmap = GetBitmap();
    gw = bitmap->Width() / numGlyphs_;
    if (gw <= 0) gw = bitmap->Width();
    gh = bitmap->Height();
  }
  int top = (h - gh) / 2;
  if (textAlign_ == ttaBottomRight || textAlign_ == ttaBottom || textAlign_ == ttaBottomLeft)
    top = spacing_;
  else if (textAlign_ == ttaTopLeft || textAlign_ == ttaTop || textAlign_ == ttaTopRight)
    top = h - gh - spacing_;
  int left = (w - gw) / 2;
  if (textAlign_ == ttaLeft)
    left = w - gw - spacing_;
  else if (textAlign_ == ttaRight)
    left = spacing_;
  const gdi::TRect glyph{left, top, left + gw, top + gh};
  if (BitmapValid()) DrawTheBitmap(canvas, glyph);
  if (!Caption().empty()) DrawTheText(canvas, glyph);
}

void TMMBitmapButton::DrawTheBitmap(TCanvas* canvas, const gdi::TRect& glyph) {
  if (!BitmapValid() || !GlyphStrip()) return;
  int index = -1;
  if (OnGetGlyphIndex) OnGetGlyphIndex(this, buttonState_ == bsDown, index);
  if (index == -1) {
    index = gsUp;
    const bool disabled = !Enabled();
    // A strip of more than the known glyphs shows its first one only.
    if (numGlyphs_ > 1 && numGlyphs_ <= kMaxGlyphs) {
      if (disabled)
        index = gsDisabled;
      else if (down_ && numGlyphs_ > gsStayDown)
        index = gsStayDown;
      else if (buttonState_ == bsDown && numGlyphs_ > gsPressed)
        index = gsPressed;
    }
    if (HasExplorerLook() && !disabled && !down_ && !mouseInside_ && showDisabled_) {
      if (autoGray_)
        index = GreySlot();
      else if (numGlyphs_ > gsDisabled)
        index = gsDisabled;
    }
    if (disabled && numGlyphs_ == 1) index = EmbossedSlot();
  }

  const gdi::TRect source = GetSrcRect(index);
  gdi::TRect place = glyph;
  if (buttonState_ == bsDown && showPressed_)
    gdi::OffsetRect(&place, downIndent_[iaHoriz], downIndent_[iaVert]);
  TBitmap* strip = GlyphStrip();
  // A slot outside the strip (a handler's index, a strip not extended)
  // draws nothing rather than reading past the bitmap.
  if (source.Left < 0 || source.Top < 0 || source.Right > strip->Width() || source.Bottom > strip->Height() ||
      source.Right <= source.Left || source.Bottom <= source.Top)
    return;
  strip->FreeCanvasHandle();
  if (Transparent()) {
    const TColor transparent = GetTransparentColor();
    DrawTransparentBitmapEx(canvas->Handle(), strip->Handle(), place.Left, place.Top, source, transparent);
  } else if (OLD_STYLE_DRAWING) {
    const int width = GetBitmap()->Width();
    const TColor transparent =
        GetTransparentColorEx(strip->Handle(), {width * index / numGlyphs_, strip->Height()});
    DrawTransparentBitmapEx(canvas->Handle(), strip->Handle(), place.Left, place.Top, source, transparent);
  } else {
    canvas->CopyRect({0, 0, Width(), Height()}, strip->Canvas(), source);
    strip->FreeCanvasHandle();
  }
}

// ---- cache ----------------------------------------------------------------------------

TBtnCacheStruct TMMBitmapButton::CurrentCacheState() const {
  TBtnCacheStruct s;
  s.refreshRequested = false;
  s.width = Width();
  s.height = Height();
  s.fontSize = Font()->Size();
  s.fontName = Font()->Name();
  s.fontColor = Font()->Color();
  s.fontStyle = static_cast<unsigned>(Font()->Style());
  s.font3D = font3D_;
  s.enabled = Enabled();
  s.parentFont = ParentFont();
  s.visible = Visible();
  s.color = Color();
  s.parentColor = ParentColor();
  s.transparent = Transparent();
  s.transparentColor = GetTransparentColor();
  s.transparentMode = TransparentMode();
  s.bitmapList = BitmapList();
  s.bitmapIndex = BitmapIndex();
  s.marginLeft = margins_[msLeft];
  s.marginRight = margins_[msRight];
  s.marginTop = margins_[msTop];
  s.marginBottom = margins_[msBottom];
  s.autoSize = autoSize_;
  s.autoGray = autoGray_;
  s.showDisabled = showDisabled_;
  s.borderWidth = borderWidth_;
  s.caption = Caption();
  s.down = down_;
  s.downIndentHoriz = downIndent_[iaHoriz];
  s.downIndentVert = downIndent_[iaVert];
  s.buttonStyle = buttonStyle_;
  s.numGlyphs = numGlyphs_;
  s.showPressed = showPressed_;
  s.switchMode = switch_;
  s.spacing = spacing_;
  s.textAlign = textAlign_;
  s.wordWrap = wordWrap_;
  return s;
}

void TMMBitmapButton::FSetBtnChache() { cacheState_ = CurrentCacheState(); }

bool TMMBitmapButton::FNeedsCacheRefresh() const {
  return cacheState_.refreshRequested || !(CurrentCacheState() == cacheState_);
}

}  // namespace controls
