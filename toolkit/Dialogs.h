// The base of the dialog components: nothing visual of its own.
#pragma once

#include "toolkit/Classes.h"

namespace toolkit {

class TCommonDialog : public TComponent {
  TOOLKIT_CLASS(TCommonDialog, TComponent)
 public:
  explicit TCommonDialog(TComponent* owner);

  // Shows the dialog; true when the user accepted it. There is nothing to
  // show here.
  virtual bool Execute() { return false; }

  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value) { ctl3D_ = value; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int value) { helpContext_ = value; }

 private:
  bool ctl3D_ = true;
  int helpContext_ = 0;
};

}  // namespace toolkit
