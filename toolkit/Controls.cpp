// TControl: place, state, looks, the message procedure and the mouse
// messages of one control. Routing input to the right control is the
// form's job (MouseRouting.cpp, KeyRouting.cpp).
//
// Index
//   1. class information      4. looks and inheritance from the parent
//   2. life and messages      5. mouse messages
//   3. place and state        6. painting, streams, helpers
#include "toolkit/Controls.h"

#include <algorithm>

#include "base/ScopeGuard.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/ControlAccess.h"
#include "toolkit/Forms.h"

namespace toolkit {

// ---- 1. class information ----------------------------------------------------

const TEnumInfo kAlignNames{{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
const TEnumInfo kDragModeNames{{"dmManual", "dmAutomatic"}};

const TClassInfo& TControl::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TControl>("TControl", &TComponent::StaticClass())
          .Int("Left", &TControl::Left, &TControl::SetLeft)
          .Int("Top", &TControl::Top, &TControl::SetTop)
          .Int("Width", &TControl::Width, &TControl::SetWidth)
          .StoredWhen(&TControl::IsSizeStored)
          .Int("Height", &TControl::Height, &TControl::SetHeight)
          .StoredWhen(&TControl::IsSizeStored)
          .Enum("Align", kAlignNames, &TControl::Align, &TControl::SetAlign, alNone)
          .Str("Caption", &TControl::Caption, &TControl::SetCaption)
          .StoredWhen(&TControl::IsCaptionStored)
          .Color("Color", &TControl::Color, &TControl::SetColor)
          .StoredWhen(&TControl::IsColorStored)
          .Named("Cursor", "TCursor", &TControl::Cursor, &TControl::SetCursor, crDefault)
          .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
          .Nested("Font", &TControl::Font)
          .StoredWhen(&TControl::IsFontStored)
          .Str("Hint", &TControl::Hint, &TControl::SetHint)
          .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
          .StoredWhen(&TControl::IsParentColorStored)
          .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
          .StoredWhen(&TControl::IsParentFontStored)
          .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
          .Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
          .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
          .StoredWhen(&TControl::IsShowHintStored)
          .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
          .StoredWhen(&TControl::IsVisibleStored)
          .Event("OnClick", &TControl::OnClick)
          .Event("OnDblClick", &TControl::OnDblClick)
          .Event("OnMouseDown", &TControl::OnMouseDown)
          .Event("OnMouseMove", &TControl::OnMouseMove)
          .Event("OnMouseUp", &TControl::OnMouseUp)
          .Build();
  return info;
}

void RegisterControlClasses() {
  RegisterColorIdents();
  TIdentMap cursors;
  cursors.IdentToInt = [](const std::string& ident, std::int64_t& value) {
    TCursor cursor;
    if (!IdentToCursor(ident, cursor)) return false;
    value = cursor;
    return true;
  };
  cursors.IntToIdent = [](std::int64_t value, std::string& ident) {
    return CursorToIdent(static_cast<TCursor>(value), ident);
  };
  RegisterIntegerConsts("TCursor", cursors);
  RegisterClass(TPopupMenu::StaticClass());
}

// ---- 2. life and messages -------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  // Streams of controls need the names; making any control is early enough.
  static const bool registered = (RegisterControlClasses(), true);
  (void)registered;
  font_->OnChange = TNotifyEvent([this](TObject* sender) { FontChanged(sender); }, this);
}

TControl::~TControl() {
  Destroying();
  if (TForm* form = ParentForm()) form->ControlGone(this);
  if (parent_) parent_->RemoveControl(this);
  SetPopupMenu(nullptr);
}

std::intptr_t TControl::Perform(std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(m); break;
    case WM_LBUTTONUP: WMLButtonUp(m); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(m); break;
    case WM_RBUTTONDOWN: WMRButtonDown(m); break;
    case WM_RBUTTONUP: WMRButtonUp(m); break;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(m); break;
    case WM_MBUTTONDOWN: WMMButtonDown(m); break;
    case WM_MBUTTONUP: WMMButtonUp(m); break;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(m); break;
    case WM_MOUSEMOVE: WMMouseMove(m); break;
    case WM_CANCELMODE: WMCancelMode(m); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); break;
    case CM_COLORCHANGED: CMColorChanged(m); break;
    case CM_FONTCHANGED: CMFontChanged(m); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(m); break;
    case CM_TEXTCHANGED: CMTextChanged(m); break;
    case CM_CURSORCHANGED: CMCursorChanged(m); break;
    case CM_MOUSEENTER: CMMouseEnter(m); break;
    case CM_MOUSELEAVE: CMMouseLeave(m); break;
    case CM_HITTEST: CMHitTest(m); break;
    case CM_DIALOGCHAR: CMDialogChar(m); break;
    case CM_DIALOGKEY: CMDialogKey(m); break;
    default: DefaultHandler(m); break;
  }
}

void TControl::DefaultHandler(TMessage&) {}

// ---- 3. place and state ----------------------------------------------------------

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (const TWinControl* p = parent; p; p = p->parent_)
    if (p == this) throw EInvalidOperation("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  ApplyBounds(left, top, width, height);
  Invalidate();
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::ApplyBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
}

gdi::TRect TControl::GetClientRect() const { return {0, 0, width_, height_}; }

// The frame of a control is what lies between its bounds and its client area.
void TControl::SetClientWidth(int width) { SetWidth(width + width_ - ClientWidth()); }
void TControl::SetClientHeight(int height) { SetHeight(height + height_ - ClientHeight()); }

gdi::TPoint TControl::ClientOrigin() const {
  if (!parent_) {
    // A pop-up sits in its form's client area.
    if (const auto* w = dynamic_cast<const TWinControl*>(this))
      if (const TForm* host = ControlAccess::PopupHost(w)) {
        const gdi::TPoint o = host->ClientOrigin();
        return {o.X + left_, o.Y + top_};
      }
    return {left_, top_};
  }
  const gdi::TPoint o = parent_->ClientOrigin();
  return {o.X + left_, o.Y + top_};
}

gdi::TPoint TControl::ClientToScreen(const gdi::TPoint& point) const {
  const gdi::TPoint o = ClientOrigin();
  return {point.X + o.X, point.Y + o.Y};
}

gdi::TPoint TControl::ScreenToClient(const gdi::TPoint& point) const {
  const gdi::TPoint o = ClientOrigin();
  return {point.X - o.X, point.Y - o.Y};
}

namespace {
int MulDiv(int value, int m, int d) {
  if (d == 0) return value;
  const long long product = static_cast<long long>(value) * m;
  // Rounded half away from zero, as the classic routine does.
  const long long half = (d > 0 ? d : -d) / 2;
  return static_cast<int>(product >= 0 ? (product + half) / d : (product - half) / d);
}
}  // namespace

void TControl::ChangeScale(int m, int d) {
  if (m == d) return;
  const int left = MulDiv(left_, m, d), top = MulDiv(top_, m, d);
  const int right = (controlStyle_ & csFixedWidth) ? left + width_ : MulDiv(left_ + width_, m, d);
  const int bottom = (controlStyle_ & csFixedHeight) ? top + height_ : MulDiv(top_ + height_, m, d);
  SetBounds(left, top, right - left, bottom - top);
  if (!parentFont_) font_->SetHeight(MulDiv(font_->Height(), m, d));
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = dynamic_cast<TWinControl*>(this) ? parent_->winControls_ : parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end() || it + 1 == list.end()) return;
  list.erase(it);
  list.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = dynamic_cast<TWinControl*>(this) ? parent_->winControls_ : parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end() || it == list.begin()) return;
  list.erase(it);
  list.insert(list.begin(), this);
  Invalidate();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  if (parent_ && align_ != alNone) parent_->Realign();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
}

bool TControl::MouseCapture() const {
  const TForm* form = ParentForm();
  return form && form->CaptureControl() == this;
}

void TControl::SetMouseCapture(bool capture) {
  TForm* form = ParentForm();
  if (!form) return;
  if (capture)
    form->SetCaptureControl(this);
  else if (form->CaptureControl() == this)
    form->SetCaptureControl(nullptr);
}

// ---- 4. looks and inheritance from the parent ---------------------------------------

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool parentColor) {
  if (parentColor == parentColor_) return;
  parentColor_ = parentColor;
  if (parentColor && !HasState(csLoading)) UpdateParentColor();
}

void TControl::UpdateParentColor() {
  if (!parentColor_ || !parent_) return;
  if (parent_->color_ != color_) {
    color_ = parent_->color_;
    Perform(CM_COLORCHANGED);
  }
}

void TControl::SetParentFont(bool parentFont) {
  if (parentFont == parentFont_) return;
  parentFont_ = parentFont;
  if (parentFont && !HasState(csLoading)) UpdateParentFont();
}

void TControl::UpdateParentFont() {
  if (!parentFont_ || !parent_) return;
  {
    updatingFont_ = true;
    const base::ScopeExit reset([this] { updatingFont_ = false; });
    font_->Assign(parent_->font_.get());
  }
  // Assign reports no change when the fonts were equal; tell the control anyway.
  Perform(CM_FONTCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (updatingFont_) return;
  parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool showHint) {
  if (showHint == showHint_) return;
  showHint_ = showHint;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool parentShowHint) {
  if (parentShowHint == parentShowHint_) return;
  parentShowHint_ = parentShowHint;
  if (parentShowHint && parent_ && !HasState(csLoading)) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) {
  // The place changes look whichever way the control went.
  if (TForm* form = ParentForm()) {
    bool shown = true;
    for (const TControl* p = parent_; p && p != form; p = p->parent_) shown = shown && p->visible_;
    if (shown) form->InvalidateRect(RectInForm());
  }
}

void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMParentColorChanged(TMessage&) { UpdateParentColor(); }
void TControl::CMParentFontChanged(TMessage&) { UpdateParentFont(); }

void TControl::CMParentShowHintChanged(TMessage&) {
  if (parentShowHint_ && parent_) showHint_ = parent_->showHint_;
}

void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMCursorChanged(TMessage&) {
  if (TForm* form = ParentForm()) form->UpdateCursor();
}

void TControl::CMMouseEnter(TMessage&) {}
void TControl::CMMouseLeave(TMessage&) {}
void TControl::CMHitTest(TMessage& m) { m.Result = 1; }
void TControl::CMDialogChar(TMessage&) {}
void TControl::CMDialogKey(TMessage&) {}

// ---- 5. mouse messages ------------------------------------------------------------
//
//   message          capture              state              calls
//   L down           on (csCaptureMouse)  csLButtonDown,     MouseDown
//                                         csClicked (csClickEvents)
//   L double click   on (csCaptureMouse)  csLButtonDown      MouseDown(ssDouble), DblClick
//                                                            (csClickEvents)
//   L up             off when no button   both cleared       Click when csClicked and
//                    is held any more                        inside, then MouseUp
//   R/M down, up     as L                 -                  MouseDown, MouseUp;
//                                                            R up opens the popup menu
//
// The form only sends a double-click message to controls with
// csDoubleClicks; others get an ordinary press.

namespace {
constexpr TShiftState kButtons = ssLeft | ssRight | ssMiddle;
}

void TControl::DoMouseDown(TMessage& m, TMouseButton button, TShiftState extra) {
  if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
  const gdi::TPoint p = PointFromParam(m.LParam);
  MouseDown(button, static_cast<TShiftState>(m.WParam) | extra, p.X, p.Y);
}

void TControl::DoMouseUp(TMessage& m, TMouseButton button) {
  const gdi::TPoint p = PointFromParam(m.LParam);
  MouseUp(button, static_cast<TShiftState>(m.WParam), p.X, p.Y);
}

namespace {
bool NoButtonHeld(const TMessage& m) { return (static_cast<TShiftState>(m.WParam) & kButtons) == 0; }
}  // namespace

void TControl::WMLButtonDown(TMessage& m) {
  controlState_ |= csLButtonDown;
  if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
  DoMouseDown(m, mbLeft, 0);
}

void TControl::WMLButtonDblClk(TMessage& m) {
  controlState_ |= csLButtonDown;
  DoMouseDown(m, mbLeft, ssDouble);
  if (controlStyle_ & csClickEvents) DblClick();
}

void TControl::WMLButtonUp(TMessage& m) {
  if ((controlStyle_ & csCaptureMouse) && NoButtonHeld(m)) SetMouseCapture(false);
  const bool clicked = (controlState_ & csClicked) != 0;
  controlState_ &= ~(csClicked | csLButtonDown);
  if (clicked) {
    const gdi::TRect r = GetClientRect();
    const gdi::TPoint p = PointFromParam(m.LParam);
    if (gdi::PtInRect(&r, p)) Click();
  }
  DoMouseUp(m, mbLeft);
}

void TControl::WMRButtonDown(TMessage& m) { DoMouseDown(m, mbRight, 0); }
void TControl::WMRButtonDblClk(TMessage& m) { DoMouseDown(m, mbRight, ssDouble); }

void TControl::WMRButtonUp(TMessage& m) {
  if ((controlStyle_ & csCaptureMouse) && NoButtonHeld(m)) SetMouseCapture(false);
  DoMouseUp(m, mbRight);
  // The nearest control up the parents that names a menu opens it.
  for (TControl* c = this; c; c = c->parent_) {
    if (!c->popupMenu_) continue;
    if (c->popupMenu_->AutoPopup()) {
      const gdi::TPoint screen = ClientToScreen(PointFromParam(m.LParam));
      c->popupMenu_->SetPopupComponent(c);
      c->popupMenu_->Popup(screen.X, screen.Y);
    }
    break;
  }
}

void TControl::WMMButtonDown(TMessage& m) { DoMouseDown(m, mbMiddle, 0); }
void TControl::WMMButtonDblClk(TMessage& m) { DoMouseDown(m, mbMiddle, ssDouble); }

void TControl::WMMButtonUp(TMessage& m) {
  if ((controlStyle_ & csCaptureMouse) && NoButtonHeld(m)) SetMouseCapture(false);
  DoMouseUp(m, mbMiddle);
}

void TControl::WMMouseMove(TMessage& m) {
  const gdi::TPoint p = PointFromParam(m.LParam);
  MouseMove(static_cast<TShiftState>(m.WParam), p.X, p.Y);
}

void TControl::WMCancelMode(TMessage&) {
  SetMouseCapture(false);
  controlState_ &= ~(csClicked | csLButtonDown);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!(controlStyle_ & csNoStdEvents)) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (!(controlStyle_ & csNoStdEvents)) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!(controlStyle_ & csNoStdEvents)) OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() { OnClick(this); }
void TControl::DblClick() { OnDblClick(this); }

// ---- 6. painting, streams, helpers ---------------------------------------------------

TForm* GetParentForm(const TControl* control) {
  if (!control) return nullptr;
  const TControl* root = control;
  while (root->Parent()) root = root->Parent();
  if (auto* form = dynamic_cast<const TForm*>(root)) return const_cast<TForm*>(form);
  if (auto* w = dynamic_cast<const TWinControl*>(root)) return ControlAccess::PopupHost(w);
  return nullptr;
}

TForm* TControl::ParentForm() const { return GetParentForm(this); }

gdi::TRect TControl::RectInForm() const {
  if (auto* form = dynamic_cast<const TForm*>(this)) return form->GetClientRect();
  int x = left_, y = top_;
  for (const TControl* p = parent_; p && !dynamic_cast<const TForm*>(p); p = p->parent_) {
    x += p->left_;
    y += p->top_;
  }
  return {x, y, x + width_, y + height_};
}

void TControl::Invalidate() {
  TForm* form = ParentForm();
  if (!form || !visible_) return;
  for (const TControl* p = parent_; p && p != form; p = p->parent_)
    if (!p->visible_) return;
  form->InvalidateRect(RectInForm());
}

void TControl::Update() {
  if (TForm* form = ParentForm()) form->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::SetName(const std::string& name) {
  // A caption that was the old name follows the name, as on the designer.
  const bool follow = (controlStyle_ & csSetCaption) && !HasState(csLoading) && Name() == text_ &&
                      !(Owner() && Owner()->HasState(csLoading));
  TComponent::SetName(name);
  if (follow) SetText(name);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_) {
    if (parentColor_) UpdateParentColor();
    if (parentFont_) UpdateParentFont();
    if (parentShowHint_) showHint_ = parent_->showHint_;
  }
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::ReadChildParent(TComponent* child) {
  auto* control = dynamic_cast<TControl*>(child);
  if (!control) return;
  TWinControl* parent = dynamic_cast<TWinControl*>(this);
  if (!parent) parent = dynamic_cast<TWinControl*>(child->Owner());
  if (parent) control->SetParent(parent);
}

bool TControl::IsColorStored() const { return !parentColor_ && color_ != clWindow; }
bool TControl::IsFontStored() const { return !parentFont_; }
bool TControl::IsParentColorStored() const { return parentColor_; }
bool TControl::IsParentFontStored() const { return !parentFont_; }
bool TControl::IsCaptionStored() const { return !text_.empty(); }
bool TControl::IsVisibleStored() const { return !visible_; }
bool TControl::IsSizeStored() const { return true; }

}  // namespace toolkit
