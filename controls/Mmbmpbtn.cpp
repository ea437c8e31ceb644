// The bitmap button: properties, mouse, painting, frames, glyph choice,
// double buffer and cache. The glyph strip and the caption are drawn by
// ButtonGlyphs.cpp.
#include "controls/Mmbmpbtn.h"

#include <algorithm>

#include "controls/Mmutils.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

namespace controls {

using namespace toolkit;

bool OLD_STYLE_DRAWING = false;

const TEnumInfo kButtonStyleNames{
    {"bsRegular", "bsIndent", "bsLight", "bsDark", "bsMono", "bsExplorer", "bsHighLight", "bsNone"}};
const TEnumInfo kTextAlignNames{{"ttaTopLeft", "ttaTop", "ttaTopRight", "ttaRight", "ttaBottomRight", "ttaBottom",
                                 "ttaBottomLeft", "ttaLeft", "ttaCenter"}};

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
          .Bool("Transparent", &C::Transparent, &C::SetTransparent, true)
          .Color("TransparentColor", &C::TransparentColor, &C::SetTransparentColor)
          .StoredWhen(&C::TransparentColorStored)
          .Enum("TransparentMode", kTransparentModeNames, &C::TransparentMode, &C::SetTransparentMode, tmAuto)
          .Ref("BitmapList", &C::BitmapList, &C::SetBitmapList)
          .Int("BitmapIndex", &C::BitmapIndex, &C::SetBitmapIndex, -1)
          .Color("DesignColor", &C::DesignColor, &C::SetDesignColor, clRed)
          .Int("MarginLeft", &C::MarginLeft, &C::SetMarginLeft)
          .Int("MarginRight", &C::MarginRight, &C::SetMarginRight)
          .Int("MarginTop", &C::MarginTop, &C::SetMarginTop)
          .Int("MarginBottom", &C::MarginBottom, &C::SetMarginBottom)
          .Bool("AutoSize", &C::AutoSize, &C::SetAutoSize, false)
          .Bool("AutoGray", &C::AutoGray, &C::SetAutoGray, true)
          .Bool("ShowDisabled", &C::ShowDisabled, &C::SetShowDisabled, true)
          .Int("BorderWidth", &C::BorderWidth, &C::SetBorderWidth, 1)
          .Bool("Down", &C::Down, &C::SetDown, false)
          .Int("DownIndentHoriz", &C::DownIndentHoriz, &C::SetDownIndentHoriz, 1)
          .Int("DownIndentVert", &C::DownIndentVert, &C::SetDownIndentVert, 1)
          .Enum("ButtonStyle", kButtonStyleNames, &C::ButtonStyle, &C::SetButtonStyle, bsExplorer)
          .Int("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1)
          .Bool("ShowPressed", &C::ShowPressed, &C::SetShowPressed, true)
          .Bool("Switch", &C::Switch, &C::SetSwitch, false)
          .Int("Spacing", &C::Spacing, &C::SetSpacing, 2)
          .Enum("TextAlign", kTextAlignNames, &C::TextAlign, &C::SetTextAlign, ttaCenter)
          .Bool("WordWrap", &C::WordWrap, &C::SetWordWrap, false)
          .Bool("DoubleBuffer", &C::GetDoubleBuffer, &C::SetDoubleBuffer, false)
          .Bool("AllowRightMouse", &C::AllowRightMouse, &C::SetAllowRightMouse, false)
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
  SetTransparent(true);
  // An opaque button is filled with its parent's colour unless given its own.
  SetParentColor(true);
  SetBounds(0, 0, 40, 40);
  FSetBtnChache();
}

TMMBitmapButton::~TMMBitmapButton() {
  Destroying();
  cacheBtn_ = false;
  bufferBitmap_.reset();
  SetStrip(nullptr, false);
  cacheBitmap_.reset();
}

void TMMBitmapButton::SetStrip(TBitmap* strip, bool owned) {
  if (ownsGlyphStrip_ && glyphStrip_ && glyphStrip_ != strip) delete glyphStrip_;
  glyphStrip_ = strip;
  ownsGlyphStrip_ = owned && strip != nullptr;
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
  if (glyphStrip_ && !ownsGlyphStrip_ && (!BitmapList() || BitmapList()->IndexOf(glyphStrip_) < 0))
    SetStrip(nullptr, false);
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
  if (width % height == 0 && width / height >= 1) numGlyphs_ = std::min(width / height, 4);
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
  if (index < 0 || index > 3 || margins_[index] == value) return;
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
  if (index < 0 || index > 1 || downIndent_[index] == value) return;
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
  if (!down_ && (buttonStyle_ == bsExplorer || buttonStyle_ == bsHighLight)) RedrawButton();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TMMBitmapButton::CMMouseLeave(TMessage& message) {
  if (!Enabled()) return;
  TMMCustomBitmapListControl::CMMouseLeave(message);
  mouseInside_ = false;
  if (!down_ && (buttonStyle_ == bsExplorer || buttonStyle_ == bsHighLight)) RedrawButton();
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

void TMMBitmapButton::Paint() {
  const int w = Width(), h = Height();
  TCanvas* canvas = Canvas();
  if (cacheBtn_ && !FNeedsCacheRefresh()) {
    canvas->CopyRect({0, 0, w, h}, cacheBitmap_->Canvas(), {0, 0, w, h});
    return;
  }
  // What the parent painted under the button, for the quick redraws.
  if (!Designing() && bufferBitmap_) bufferBitmap_->Canvas()->CopyRect({0, h, w, 2 * h}, canvas, {0, 0, w, h});
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
  if (designing) {
    gdi::TRect r{0, 0, w, h};
    switch (buttonStyle_) {
      case bsLight: Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1); break;
      case bsDark: Frame3D(canvas, r, clBtnFace, cl3DDkShadow, 1); break;
      case bsMono: Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow, 1); break;
      case bsExplorer: Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1); break;
      case bsHighLight:
      case bsNone:
        canvas->Brush()->SetStyle(bsClear);
        canvas->Pen()->SetStyle(psDot);
        canvas->Pen()->SetWidth(1);
        canvas->Rectangle(0, 0, w, h);
        canvas->Pen()->SetStyle(psSolid);
        canvas->Brush()->SetStyle(bsSolid);
        break;
      default: break;
    }
  }

  // The state frames, from the whole rectangle again.
  gdi::TRect r{0, 0, w, h};
  if (buttonState_ == bsDown && buttonStyle_ != bsNone) {
    switch (buttonStyle_) {
      case bsRegular:
      case bsIndent:
        if (showPressed_) {
          Frame3D(canvas, r, clBlack, clBtnHighlight, bw);
          Frame3D(canvas, r, clBtnShadow, clBtnFace, bw);
        }
        break;
      case bsLight:
        if (showPressed_) Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
        break;
      case bsDark:
        if (showPressed_) Frame3D(canvas, r, cl3DDkShadow, clBtnFace, 1);
        break;
      case bsMono:
        if (showPressed_) Frame3D(canvas, r, cl3DDkShadow, clBtnHighlight, 1);
        break;
      case bsExplorer:
        if (mouseInside_ || down_) {
          if (showPressed_)
            Frame3D(canvas, r, clBtnShadow, clBtnHighlight, bw);
          else
            Frame3D(canvas, r, clBtnHighlight, clBtnShadow, bw);
        }
        break;
      default: break;
    }
  }
  if (buttonState_ == bsUp) {
    switch (buttonStyle_) {
      case bsRegular:
        Frame3D(canvas, r, clBtnHighlight, clBlack, bw);
        Frame3D(canvas, r, clBtnFace, clBtnShadow, bw);
        break;
      case bsIndent: Frame3D(canvas, r, clBtnShadow, clBtnHighlight, bw); break;
      case bsLight: Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1); break;
      case bsDark: Frame3D(canvas, r, clBtnFace, cl3DDkShadow, 1); break;
      case bsMono: Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow, 1); break;
      case bsExplorer:
        if (mouseInside_) Frame3D(canvas, r, clBtnHighlight, clBtnShadow, bw);
        break;
      default: break;
    }
  }
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
  if (!BitmapValid() || !glyphStrip_) return;
  int index = -1;
  if (OnGetGlyphIndex) OnGetGlyphIndex(this, buttonState_ == bsDown, index);
  if (index == -1) {
    index = 0;
    const bool disabled = !Enabled();
    if (numGlyphs_ == 2) {
      if (disabled) index = 1;
    } else if (numGlyphs_ == 3) {
      if (disabled)
        index = 1;
      else if (buttonState_ == bsDown)
        index = 2;
    } else if (numGlyphs_ == 4) {
      if (disabled)
        index = 1;
      else if (down_)
        index = 3;
      else if (buttonState_ == bsDown)
        index = 2;
    }
    if ((buttonStyle_ == bsExplorer || buttonStyle_ == bsHighLight) && !disabled && !down_ && !mouseInside_ &&
        showDisabled_) {
      if (autoGray_)
        index = numGlyphs_;
      else if (numGlyphs_ > 1)
        index = 1;
    }
    if (disabled && numGlyphs_ == 1) index = 2;
  }

  const gdi::TRect source = GetSrcRect(index);
  gdi::TRect place = glyph;
  if (buttonState_ == bsDown && showPressed_) gdi::OffsetRect(&place, downIndent_[0], downIndent_[1]);
  TBitmap* strip = glyphStrip_;
  // A slot outside the strip (a handler's index, a strip not extended)
  // draws nothing rather than reading past the bitmap.
  if (source.Left < 0 || source.Top < 0 || source.Right > strip->Width() || source.Bottom > strip->Height() ||
      source.Right <= source.Left || source.Bottom <= source.Top)
    return;
  strip->FreeCanvasHandle();
  if (Transparent()) {
    const TColor transparent = GetTransparentColor();
    strip->FreeCanvasHandle();
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
  s.marginLeft = margins_[0];
  s.marginRight = margins_[1];
  s.marginTop = margins_[2];
  s.marginBottom = margins_[3];
  s.autoSize = autoSize_;
  s.autoGray = autoGray_;
  s.showDisabled = showDisabled_;
  s.borderWidth = borderWidth_;
  s.caption = Caption();
  s.down = down_;
  s.downIndentHoriz = downIndent_[0];
  s.downIndentVert = downIndent_[1];
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
