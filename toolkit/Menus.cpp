#include "toolkit/Menus.h"

#include "toolkit/ClassBuilder.h"

namespace toolkit {

const TClassInfo& TPopupMenu::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TPopupMenu>("TPopupMenu", &TComponent::StaticClass())
          .Creatable()
          .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
          .Event("OnPopup", &TPopupMenu::OnPopup)
          .Build();
  return info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (component == popupComponent_) return;
  if (popupComponent_) RemoveFreeNotification(popupComponent_);
  popupComponent_ = component;
  if (component) component->FreeNotification(this);
}

void TPopupMenu::Popup(int x, int y) {
  OnPopup(this);
  popupPoint_ = {x, y};
  ++popupCount_;
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

}  // namespace toolkit
