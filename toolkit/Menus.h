// The pop-up menu a control names for its context menu. Only what the
// controls need of it: whether a right click opens it, the OnPopup event,
// and the call that opens it, which records where it was asked for.
#pragma once

#include "gdi/GdiTypes.h"
#include "toolkit/Classes.h"

namespace toolkit {

class TPopupMenu : public TComponent {
  TOOLKIT_CLASS(TPopupMenu, TComponent)
 public:
  explicit TPopupMenu(TComponent* owner);

  // Whether a right click on a control that names this menu opens it.
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }
  // The control the menu was last opened for.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component);

  // Opens the menu at (x, y) in screen coordinates: OnPopup, then the point
  // is recorded. No menu is drawn.
  virtual void Popup(int x, int y);
  int PopupCount() const { return popupCount_; }
  gdi::TPoint PopupPoint() const { return popupPoint_; }

  void Notification(TComponent* component, TOperation operation) override;

  TNotifyEvent OnPopup;

 private:
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
  int popupCount_ = 0;
  gdi::TPoint popupPoint_{};
};

}  // namespace toolkit
