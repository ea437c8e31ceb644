// Drag and drop within a form.
//
//   BeginDrag          the drag is armed: the control holds the mouse
//   pointer moves      past the threshold (or at once when immediate):
//                      OnStartDrag, then the control under the pointer is
//                      asked (DragOver: enter, move, leave) whether it takes
//                      a drop; the cursor is the source's DragCursor where it
//                      does, crNoDrop where it does not
//   left release       an accepting target gets DragDrop, a refusing one
//                      sees the drag leave; the source gets OnEndDrag with
//                      the target (null when none took it)
//   Escape, right      cancelled: the control under the pointer sees the
//   press, EndDrag     drag leave; OnEndDrag with no target
//
// A release before the threshold ends the armed drag and is an ordinary
// click: the control saw the press and sees the release as always.
#include <cstdlib>

#include "toolkit/Forms.h"

namespace toolkit {

namespace {
constexpr int kDefaultThreshold = 5;
}  // namespace

// ---- the control's side ---------------------------------------------------------

void TControl::BeginDrag(bool immediate, int threshold) {
  if (TForm* form = ParentForm()) form->BeginDragOf(this, immediate, threshold);
}

void TControl::EndDrag(bool drop) {
  if (TForm* form = ParentForm()) form->EndDragOf(this, drop);
}

bool TControl::Dragging() const {
  const TForm* form = ParentForm();
  return form && form->DragSource() == this;
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = static_cast<bool>(OnDragOver);
  if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoStartDrag() {
  if (OnStartDrag) OnStartDrag(this);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

// ---- the form's side ------------------------------------------------------------

void TForm::BeginDragOf(TControl* source, bool immediate, int threshold) {
  if (dragSource_) return;
  dragSource_ = source;
  dragTarget_ = nullptr;
  dragActive_ = false;
  dragAccepted_ = false;
  dragStart_ = lastPoint_;
  dragThreshold_ = threshold < 0 ? kDefaultThreshold : threshold;
  SetCaptureControl(source);
  if (immediate) StartDrag();
}

void TForm::EndDragOf(TControl* source, bool drop) {
  if (dragSource_ == source) FinishDrag(drop);
}

void TForm::StartDrag() {
  TControl* source = dragSource_;
  // The press becomes the drag: a pushed button comes up, and the release
  // will be no click.
  source->Perform(WM_CANCELMODE);
  if (dragSource_ != source) return;
  SetCaptureControl(source);
  dragActive_ = true;
  cursorBeforeDrag_ = Screen ? Screen->Cursor() : crDefault;
  source->DoStartDrag();
  if (dragSource_ == source) DragTo(lastPoint_);
}

void TForm::DragTo(const gdi::TPoint& point) {
  TControl* target = FindTarget(point);
  if (target != dragTarget_ && dragTarget_) {
    TControl* left = dragTarget_;
    dragTarget_ = nullptr;
    const gdi::TRect at = left->RectInForm();
    bool ignored = false;
    left->DragOver(dragSource_, point.X - at.Left, point.Y - at.Top, dsDragLeave, ignored);
    if (!dragSource_) return;
  }
  const TDragState state = target == dragTarget_ ? dsDragMove : dsDragEnter;
  dragTarget_ = target;
  const gdi::TRect at = target->RectInForm();
  bool accept = false;
  target->DragOver(dragSource_, point.X - at.Left, point.Y - at.Top, state, accept);
  if (!dragSource_) return;
  dragAccepted_ = accept && target->Enabled();
  if (Screen) Screen->SetCursor(dragAccepted_ ? dragSource_->DragCursor() : crNoDrop);
}

void TForm::FinishDrag(bool drop) {
  TControl* source = dragSource_;
  TControl* over = dragTarget_;
  TControl* target = dragActive_ && dragAccepted_ ? dragTarget_ : nullptr;
  const bool active = dragActive_;
  dragSource_ = dragTarget_ = nullptr;
  dragActive_ = dragAccepted_ = false;
  if (captureControl_ == source) SetCaptureControl(nullptr);
  if (!active) return;
  if (Screen) Screen->SetCursor(cursorBeforeDrag_);
  if (!drop) target = nullptr;
  // The control under the pointer that gets no drop sees the drag leave.
  if (over && over != target) {
    const gdi::TRect r = over->RectInForm();
    bool ignored = false;
    over->DragOver(source, lastPoint_.X - r.Left, lastPoint_.Y - r.Top, dsDragLeave, ignored);
  }
  const gdi::TRect r = (target ? target : source)->RectInForm();
  const gdi::TPoint at{lastPoint_.X - r.Left, lastPoint_.Y - r.Top};
  if (target) target->DragDrop(source, at.X, at.Y);
  source->DoEndDrag(target, at.X, at.Y);
}

bool TForm::RouteDragMouse(const platform::Event& event) {
  using Type = platform::Event::Type;
  if (!dragSource_) return false;
  if (!dragActive_) {
    if (event.type == Type::MouseMove && (std::abs(lastPoint_.X - dragStart_.X) >= dragThreshold_ ||
                                          std::abs(lastPoint_.Y - dragStart_.Y) >= dragThreshold_)) {
      StartDrag();
      return true;
    }
    // Released before the threshold: an ordinary click.
    if (event.type == Type::MouseUp) {
      dragSource_ = nullptr;
      return false;
    }
    return false;
  }
  switch (event.type) {
    case Type::MouseMove: DragTo(lastPoint_); break;
    case Type::MouseUp:
      if (event.button == platform::MouseButton::Left) FinishDrag(true);
      break;
    case Type::MouseDown:
      if (event.button == platform::MouseButton::Right) FinishDrag(false);
      break;
    default: break;
  }
  return true;
}

}  // namespace toolkit
