// Mouse input of a form: which control an event goes to, capture, double
// clicks, enter and leave, and the cursor.
//
//   event        goes to                                   then
//   move         the capturing control, else the control   enter/leave check
//                under the pointer (FindTarget)
//   press        the same; a second press of a double      enter/leave check
//                click is a double click only for
//                csDoubleClicks controls
//   release      the same (the pressed control keeps the   enter/leave check
//                capture until every button is up)
//   leave        -                                         the control under
//                                                          the pointer: none
//
// Points reach each control in its own client coordinates, also when they
// lie outside it or outside the window.
#include "toolkit/Forms.h"

namespace toolkit {

namespace {
constexpr TShiftState kModifiers = ssShift | ssAlt | ssCtrl;

TShiftState ButtonBit(platform::MouseButton button) {
  switch (button) {
    case platform::MouseButton::Right: return ssRight;
    case platform::MouseButton::Middle: return ssMiddle;
    default: return ssLeft;
  }
}

std::uint32_t PressMessage(platform::MouseButton button, bool doubleClick) {
  switch (button) {
    case platform::MouseButton::Right: return doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    case platform::MouseButton::Middle: return doubleClick ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
    default: return doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
  }
}

std::uint32_t ReleaseMessage(platform::MouseButton button) {
  switch (button) {
    case platform::MouseButton::Right: return WM_RBUTTONUP;
    case platform::MouseButton::Middle: return WM_MBUTTONUP;
    default: return WM_LBUTTONUP;
  }
}

// Down through windowed controls to the one that takes the point. Windowed
// children lie above the windowless ones, so they are asked first.
TControl* Descend(TWinControl* window, gdi::TPoint point) {
  while (TWinControl* inner = window->WindowAtPos(point)) {
    point = {point.X - inner->Left(), point.Y - inner->Top()};
    window = inner;
  }
  if (TControl* hit = window->ControlAtPos(point, false, false)) return hit;
  return window;
}
}  // namespace

TControl* TForm::FindTarget(const gdi::TPoint& point) const {
  for (auto it = popups_.rbegin(); it != popups_.rend(); ++it) {
    TWinControl* popup = *it;
    const gdi::TRect r = popup->BoundsRect();
    if (popup->Visible() && popup->Enabled() && gdi::PtInRect(&r, point))
      return Descend(popup, {point.X - r.Left, point.Y - r.Top});
  }
  return Descend(const_cast<TForm*>(this), point);
}

void TForm::RouteMouse(const platform::Event& event) {
  using Type = platform::Event::Type;
  const gdi::TPoint point{event.x, event.y};
  if (event.type == Type::MouseLeave) {
    TrackMouse(point, false);
    return;
  }
  lastPoint_ = point;
  // Buttons are counted here, so that a lost flag in an event cannot leave
  // a capture hanging.
  if (event.type == Type::MouseDown) buttons_ |= ButtonBit(event.button);
  if (event.type == Type::MouseUp) buttons_ &= ~ButtonBit(event.button);
  const TShiftState shift = (event.shift & kModifiers) | buttons_;
  if (RouteDragMouse(event)) {
    TrackMouse(point, true);
    return;
  }

  TControl* target = captureControl_ ? captureControl_ : FindTarget(point);
  // A left press on a dmAutomatic control arms a drag; the press itself
  // goes on as usual.
  if (event.type == Type::MouseDown && event.button == platform::MouseButton::Left &&
      target->DragMode() == dmAutomatic && !(target->ComponentState() & csDesigning)) {
    target->BeginDrag(false);
  }
  const gdi::TRect at = target->RectInForm();
  const std::intptr_t where = MakePointParam(point.X - at.Left, point.Y - at.Top);
  switch (event.type) {
    case Type::MouseMove: target->Perform(WM_MOUSEMOVE, shift, where); break;
    case Type::MouseDown: {
      const bool second = event.clicks == 2 || (event.shift & ssDouble);
      const bool doubleClick = second && (target->ControlStyle() & csDoubleClicks);
      target->Perform(PressMessage(event.button, doubleClick), shift, where);
      break;
    }
    case Type::MouseUp: target->Perform(ReleaseMessage(event.button), shift, where); break;
    default: break;
  }
  // `target` may be gone now: nothing below looks at it.
  const gdi::TRect client = GetClientRect();
  TrackMouse(point, gdi::PtInRect(&client, point) != 0);
}

void TForm::TrackMouse(const gdi::TPoint& point, bool inside) {
  pointerInside_ = inside;
  TControl* now = inside ? FindTarget(point) : nullptr;
  if (now != mouseControl_) {
    TControl* old = mouseControl_;
    mouseControl_ = now;
    if (old) old->Perform(CM_MOUSELEAVE);
    // A leave handler may have freed or hidden the new one.
    if (now && mouseControl_ == now) now->Perform(CM_MOUSEENTER);
  }
  UpdateCursor();
}

void TForm::UpdateCursor() {
  if (!window_) return;
  TCursor cursor = Screen ? Screen->Cursor() : crDefault;
  // The nearest control up the parents (a pop-up's parent is its form)
  // that names a cursor.
  if (cursor == crDefault) {
    for (const TControl* c = captureControl_ ? captureControl_ : mouseControl_; c;) {
      if (c->Cursor() != crDefault) {
        cursor = c->Cursor();
        break;
      }
      if (c->Parent()) {
        c = c->Parent();
      } else {
        const TControl* host = GetParentForm(c);
        c = host != c ? host : nullptr;
      }
    }
  }
  const platform::CursorImage* image =
      (cursor == crDefault || cursor == crArrow || !Screen) ? nullptr : Screen->Cursors(cursor);
  if (cursorShown_ && image == shownCursor_) return;
  window_->SetCursor(image);
  shownCursor_ = image;
  cursorShown_ = true;
}

}  // namespace toolkit
