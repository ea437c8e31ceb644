// The push button and the radio button.
//
// A push button's face while it is held, by the mouse or by Space:
//
//   event                                  face      click
//   left press on it                       pushed    -
//   pointer leaves it, button still held   raised    -
//   pointer comes back, button still held  pushed    -
//   release inside                         raised    Click
//   release outside                        raised    -
//   Space down while focused               pushed    -
//   Space up                               raised    Click
//   focus lost, cancel mode                raised    -
//
// The radio button is drawn held (grey inside its mark) by the same rules
// and clicks by the same rules; its Click checks it.
#include "toolkit/ClassBuilder.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StdDraw.h"

namespace toolkit {

namespace {
constexpr TShiftState kModifiers = ssShift | ssAlt | ssCtrl;

bool Inside(const TControl& control, int x, int y) {
  const gdi::TRect r = control.ClientRect();
  return gdi::PtInRect(&r, {x, y}) != 0;
}
}  // namespace

// ---- TButtonControl -----------------------------------------------------------------------

const TClassInfo& TButtonControl::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TButtonControl>("TButtonControl", &TCustomControl::StaticClass()).Build();
  return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle((ControlStyle() | csOpaque) & ~(csDoubleClicks | csAcceptsControls));
}

void TButtonControl::SetLook(bool mouseDown, bool mouseInside, bool spaceDown) {
  const bool was = Pressed();
  mouseDown_ = mouseDown;
  mouseInside_ = mouseInside;
  spaceDown_ = spaceDown;
  if (Pressed() != was) Invalidate();
}

void TButtonControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && !Focused() && CanFocus()) SetFocus();
  TCustomControl::MouseDown(button, shift, x, y);
  if (button == mbLeft) SetLook(true, Inside(*this, x, y), spaceDown_);
}

void TButtonControl::MouseMove(TShiftState shift, int x, int y) {
  if (mouseDown_) SetLook(true, Inside(*this, x, y), spaceDown_);
  TCustomControl::MouseMove(shift, x, y);
}

void TButtonControl::WMLButtonUp(TMessage& message) {
  // Raised again before the click runs, whatever the handler does.
  SetLook(false, false, spaceDown_);
  TCustomControl::WMLButtonUp(message);
}

void TButtonControl::WMCancelMode(TMessage& message) {
  SetLook(false, false, false);
  TCustomControl::WMCancelMode(message);
}

void TButtonControl::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_SPACE && !(shift & kModifiers)) SetLook(mouseDown_, mouseInside_, true);
}

void TButtonControl::KeyUp(WORD& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key == VK_SPACE && spaceDown_) {
    SetLook(mouseDown_, mouseInside_, false);
    Click();
  }
}

void TButtonControl::WMKillFocus(TMessage& message) {
  SetLook(mouseDown_, mouseInside_, false);
  TCustomControl::WMKillFocus(message);
}

// ---- TButton ---------------------------------------------------------------------------------

const TClassInfo& TButton::StaticClass() {
  static const TClassInfo info = ClassBuilder<TButton>("TButton", &TButtonControl::StaticClass())
                                     .Creatable()
                                     .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
                                     .Bool("Default", &TButton::Default, &TButton::SetDefault, false)
                                     .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0)
                                     .Build();
  return info;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  RegisterStdControls();
  SetBounds(Left(), Top(), 75, 25);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TButton::~TButton() = default;

bool TButton::IsColorStored() const { return !ParentColor() && Color() != clBtnFace; }

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  Invalidate();
}

bool TButton::Active() const {
  if (Focused()) return true;
  if (!default_) return false;
  const TForm* form = ParentForm();
  return !form || !dynamic_cast<const TButton*>(form->ActiveControl());
}

unsigned TButton::GetDlgCode() {
  return DLGC_BUTTON | (Active() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void TButton::Paint() {
  TCanvas* canvas = Canvas();
  const gdi::TRect client = ClientRect();
  const bool pressed = Pressed();
  gdi::TRect r = client;
  stddraw::FrameSolid(canvas, r, cl3DDkShadow);
  gdi::InflateRect(&r, -1, -1);
  if (pressed) {
    stddraw::FrameSolid(canvas, r, clBtnShadow);
    gdi::InflateRect(&r, -1, -1);
  } else {
    Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
  }
  stddraw::Fill(canvas, r, Color());
  gdi::TRect text = client;
  if (pressed) gdi::OffsetRect(&text, 1, 1);
  stddraw::DrawCaption(canvas, Font(), Caption(), text, gdi::DT_CENTER | gdi::DT_VCENTER | gdi::DT_SINGLELINE,
                       Enabled());
  if (Focused()) {
    gdi::TRect focus = client;
    gdi::InflateRect(&focus, -4, -4);
    if (focus.Right > focus.Left && focus.Bottom > focus.Top) canvas->DrawFocusRect(focus);
  }
}

void TButton::CMDialogKey(TMessage& message) {
  const auto key = static_cast<WORD>(message.WParam);
  const auto shift = static_cast<TShiftState>(message.LParam & 0xFFFF);
  if (((key == VK_RETURN && Active()) || (key == VK_ESCAPE && cancel_)) && !(shift & kModifiers) &&
      CanFocus()) {
    Click();
    message.Result = 1;
    return;
  }
  TButtonControl::CMDialogKey(message);
}

void TButton::CMDialogChar(TMessage& message) {
  if (IsAccel(static_cast<char>(message.WParam), Caption()) && CanFocus()) {
    Click();
    message.Result = 1;
  }
}

// ---- TRadioButton ---------------------------------------------------------------------------

const TClassInfo& TRadioButton::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TRadioButton>("TRadioButton", &TButtonControl::StaticClass())
          .Creatable()
          .Enum("Alignment", kAlignmentNames, &TRadioButton::Alignment, &TRadioButton::SetAlignment,
                taRightJustify)
          .Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false)
          .Build();
  return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  RegisterStdControls();
  SetBounds(Left(), Top(), 113, 17);
  SetParentColor(true);
}

TRadioButton::~TRadioButton() = default;

bool TRadioButton::IsColorStored() const { return !ParentColor(); }
bool TRadioButton::IsParentColorStored() const { return !ParentColor(); }

void TRadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  SetTabStop(checked);
  Invalidate();
  if (!checked || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i)
    if (auto* sibling = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); sibling && sibling != this)
      sibling->SetChecked(false);
}

void TRadioButton::SetAlignment(TLeftRight alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Invalidate();
}

void TRadioButton::Click() {
  if (checked_) return;
  SetChecked(true);
  TButtonControl::Click();
}

unsigned TRadioButton::GetDlgCode() { return DLGC_BUTTON | DLGC_RADIOBUTTON; }

gdi::TRect TRadioButton::MarkRect() const {
  const int x = alignment_ == taRightJustify ? 0 : Width() - kMarkSize;
  const int y = (Height() - kMarkSize) / 2;
  return {x, y, x + kMarkSize, y + kMarkSize};
}

gdi::TRect TRadioButton::CaptionRect() const {
  constexpr int kGap = 4;
  const gdi::TRect size = stddraw::MeasureText(Font(), Caption(), {0, 0, 0, 0}, gdi::DT_SINGLELINE);
  const int x = alignment_ == taRightJustify ? kMarkSize + kGap : 0;
  const int y = (Height() - size.Height()) / 2;
  return {x, y, x + size.Width(), y + size.Height()};
}

namespace {
// The round mark, 12 × 12 in its 13 × 13 cell: the outer ring shadow above
// and left, highlight below and right; the inner ring dark and light the
// same way; the face inside.
constexpr const char* kMark[12] = {
    "....SSSS....", "..SSDDDDSS..", ".SDDWWWWDLH.", ".SDWWWWWWLH.", "SDWWWWWWWWLH", "SDWWWWWWWWLH",
    "SDWWWWWWWWLH", "SDWWWWWWWWLH", ".SDWWWWWWLH.", ".SLLWWWWLLH.", "..HHLLLLHH..", "....HHHH....",
};
constexpr const char* kDot[4] = {".XX.", "XXXX", "XXXX", ".XX."};

void DrawMark(TCanvas* canvas, int x0, int y0, bool checked, bool grey, bool enabled) {
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      TColor color;
      switch (kMark[y][x]) {
        case 'S': color = clBtnShadow; break;
        case 'D': color = cl3DDkShadow; break;
        case 'L': color = cl3DLight; break;
        case 'H': color = clBtnHighlight; break;
        case 'W': color = grey ? clBtnFace : clWindow; break;
        default: continue;
      }
      canvas->SetPixel(x0 + x, y0 + y, color);
    }
  if (!checked) return;
  const TColor dot = enabled ? clWindowText : clBtnShadow;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if (kDot[y][x] == 'X') canvas->SetPixel(x0 + 4 + x, y0 + 4 + y, dot);
}
}  // namespace

void TRadioButton::Paint() {
  TCanvas* canvas = Canvas();
  const gdi::TRect client = ClientRect();
  stddraw::Fill(canvas, client, Color());
  const gdi::TRect mark = MarkRect();
  DrawMark(canvas, mark.Left, mark.Top, checked_, Pressed() || !Enabled(), Enabled());
  if (Caption().empty()) return;
  const gdi::TRect text = CaptionRect();
  stddraw::DrawCaption(canvas, Font(), Caption(), text, gdi::DT_SINGLELINE | gdi::DT_LEFT, Enabled());
  if (Focused()) {
    gdi::TRect focus{text.Left - 1, text.Top - 1, text.Right + 1, text.Bottom + 1};
    gdi::IntersectRect(&focus, &focus, &client);
    if (!gdi::IsRectEmpty(&focus)) canvas->DrawFocusRect(focus);
  }
}

void TRadioButton::CMDialogChar(TMessage& message) {
  if (!IsAccel(static_cast<char>(message.WParam), Caption()) || !CanFocus()) return;
  SetFocus();
  if (Focused()) Click();
  message.Result = 1;
}

}  // namespace toolkit
