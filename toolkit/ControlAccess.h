// What the form's routing and painting may call on controls that classes
// keep protected. Only the framework's own sources include this.
#pragma once

#include "toolkit/Controls.h"

namespace toolkit {

struct ControlAccess {
  static unsigned DlgCode(TWinControl* control) {
    return static_cast<unsigned>(control->Perform(WM_GETDLGCODE));
  }
  static TForm* PopupHost(const TWinControl* control) { return control->popupHost_; }
  static void SetPopupHost(TWinControl* control, TForm* form) { control->popupHost_ = form; }
  static void SyncWindowSurfaces(TWinControl* control) { control->SyncWindowSurfaces(); }
  static void ReleaseWindowSurfaces(TWinControl* control) { control->ReleaseWindowSurfaces(); }
  static const std::vector<TWinControl*>& TabList(const TWinControl* c) { return c->tabList_; }
};

}  // namespace toolkit
