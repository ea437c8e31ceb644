#include "toolkit/Dialogs.h"

#include "toolkit/ClassBuilder.h"

namespace toolkit {

const TClassInfo& TCommonDialog::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TCommonDialog>("TCommonDialog", &TComponent::StaticClass())
          .Creatable()
          .Bool("Ctl3D", &TCommonDialog::Ctl3D, &TCommonDialog::SetCtl3D, true)
          .Int("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext, 0)
          .Build();
  return info;
}

TCommonDialog::TCommonDialog(TComponent* owner) : TComponent(owner) {}

}  // namespace toolkit
