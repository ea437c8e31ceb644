// The focus: which control of a form has it, how it moves (SetFocus, Tab,
// arrows among radio buttons), and what the controls are told.
#include <algorithm>

#include "toolkit/ControlAccess.h"
#include "toolkit/Forms.h"

namespace toolkit {

// Order: the old control gets WM_KILLFOCUS and CM_EXIT (OnExit), the new one
// WM_SETFOCUS and CM_ENTER (OnEnter), then every control CM_FOCUSCHANGED.
// A handler that moves the focus itself wins: what it did stands.
void TForm::FocusControl(TWinControl* control, bool byTab) {
  if (control == this) control = nullptr;
  if (control != activeControl_) {
    TWinControl* old = activeControl_;
    activeControl_ = control;
    if (old) {
      old->Perform(WM_KILLFOCUS);
      old->Perform(CM_EXIT);
      old->Invalidate();
      if (activeControl_ != control) return;
    }
    if (control) {
      control->SetControlState(control->ControlState() | csFocusing);
      try {
        control->Perform(WM_SETFOCUS);
        control->Perform(CM_ENTER);
      } catch (...) {
        control->SetControlState(control->ControlState() & ~csFocusing);
        throw;
      }
      control->SetControlState(control->ControlState() & ~csFocusing);
      control->Invalidate();
      if (activeControl_ != control) return;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<std::intptr_t>(control));
  }
  // An edit field reached by Tab selects all of its text.
  if (byTab && control && (ControlAccess::DlgCode(control) & DLGC_HASSETSEL))
    control->Perform(EM_SETSEL, 0, -1);
}

void TForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  // A stream names it before the control can take the focus.
  if (HasState(csLoading)) {
    activeControl_ = control;
    return;
  }
  if (control && (GetParentForm(control) != this || !control->CanFocus()))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FocusControl(control, false);
}

void TForm::CMDialogKey(TMessage& m) {
  const auto key = static_cast<WORD>(m.WParam);
  const auto shift = static_cast<TShiftState>(m.LParam & 0xFFFF);
  if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    SelectNext(activeControl_, !(shift & ssShift), true);
    m.Result = 1;
    return;
  }
  const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
  if (arrow && activeControl_ && activeControl_->Parent() &&
      (ControlAccess::DlgCode(activeControl_) & DLGC_RADIOBUTTON)) {
    // The radio buttons of one parent are a group.
    std::vector<TWinControl*> group;
    for (TWinControl* w : ControlAccess::TabList(activeControl_->Parent()))
      if (w == activeControl_ || (w->CanFocus() && (ControlAccess::DlgCode(w) & DLGC_RADIOBUTTON)))
        group.push_back(w);
    const int n = static_cast<int>(group.size());
    const int at = static_cast<int>(std::find(group.begin(), group.end(), activeControl_) - group.begin());
    const bool forward = key == VK_RIGHT || key == VK_DOWN;
    TWinControl* next = group[static_cast<std::size_t>((at + (forward ? 1 : n - 1)) % n)];
    if (next != activeControl_) {
      FocusControl(next, false);
      if (activeControl_ == next) next->Click();
    }
    m.Result = 1;
    return;
  }
  TWinControl::CMDialogKey(m);
}

}  // namespace toolkit
