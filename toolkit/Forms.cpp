// TForm: class information, life, geometry, the platform window, closing,
// pop-ups and streams. Painting is in FormPaint.cpp, focus in
// FocusControl.cpp, input in MouseRouting.cpp and KeyRouting.cpp.
#include "toolkit/Forms.h"

#include <algorithm>

#include "toolkit/ClassBuilder.h"
#include "toolkit/ControlAccess.h"
#include "toolkit/Streaming.h"

namespace toolkit {

const TEnumInfo kFormBorderStyleNames{
    {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const TEnumInfo kPositionNames{{"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
                                "poOwnerFormCenter"}};

const TClassInfo& TForm::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TForm>("TForm", &TWinControl::StaticClass())
          .Creatable()
          .Ref("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl)
          .Enum("BorderStyle", kFormBorderStyleNames, &TForm::BorderStyle, &TForm::SetBorderStyle, bsSizeable)
          .Int("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
          .Int("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
          .Nested("Icon", &TForm::Icon)
          .StoredWhen(&TForm::IsIconStored)
          .Bool("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview, false)
          .Bool("OldCreateOrder", &TForm::OldCreateOrder, &TForm::SetOldCreateOrder)
          .Enum("Position", kPositionNames, &TForm::Position, &TForm::SetPosition, poDesigned)
          .Int("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch)
          .Int("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight)
          .Event("OnClose", &TForm::OnClose)
          .Event("OnCloseQuery", &TForm::OnCloseQuery)
          .Event("OnCreate", &TForm::OnCreate)
          .Event("OnDestroy", &TForm::OnDestroy)
          .Event("OnHide", &TForm::OnHide)
          .Event("OnPaint", &TForm::OnPaint)
          .Event("OnShow", &TForm::OnShow)
          .Build();
  return info;
}

TForm::TForm(TComponent* owner)
    : TWinControl(owner), icon_(std::make_unique<TIcon>()), canvas_(std::make_unique<TControlCanvas>(this)) {
  visible_ = false;
  color_ = clBtnFace;
  parentFont_ = false;
  if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
  Destroying();
  DoDestroy();
  for (TWinControl* popup : std::vector<TWinControl*>(popups_)) HidePopup(popup);
  SetCaptureControl(nullptr);
  mouseControl_ = nullptr;
  activeControl_ = nullptr;
  window_.reset();
  DestroyChildControls();
  canvas_->FreeHandle();
  FreeSurface();
  if (Screen) Screen->RemoveForm(this);
  if (Application) Application->FormGone(this);
}

void TForm::AfterConstruction() {
  if (const auto* description = FindFormResource(ClassName()))
    ReadComponentFromBytes(description->data(), description->size(), this);
  DoCreate();
  // Visible from the description: shown now that the form is made.
  if (visible_ && !window_) {
    TMessage m{CM_VISIBLECHANGED, 1, 0, 0};
    CMVisibleChanged(m);
  }
}

void TForm::DoCreate() {
  try {
    OnCreate(this);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

void TForm::DoDestroy() {
  try {
    OnDestroy(this);
  } catch (...) {
    // Destruction goes on whatever a handler says.
    if (Application) Application->HandleException(this);
  }
}

// ---- geometry ---------------------------------------------------------------------

int TForm::FrameWidth() const {
  switch (borderStyle_) {
    case bsNone: return 0;
    case bsSizeable:
    case bsSizeToolWin: return 4;
    default: return 3;
  }
}

int TForm::FrameTop() const {
  switch (borderStyle_) {
    case bsNone: return 0;
    case bsToolWindow:
    case bsSizeToolWin: return FrameWidth() + 16;
    default: return FrameWidth() + 19;
  }
}

gdi::TRect TForm::GetClientRect() const { return {0, 0, clientWidth_, clientHeight_}; }

void TForm::SetBounds(int left, int top, int width, int height) {
  const int frame = FrameWidth(), frameTop = FrameTop();
  const int cw = std::max(0, width - 2 * frame), ch = std::max(0, height - frameTop - frame);
  const bool resized = cw != clientWidth_ || ch != clientHeight_;
  clientWidth_ = cw;
  clientHeight_ = ch;
  ApplyBounds(left, top, cw + 2 * frame, ch + frameTop + frame);
  if (resized) {
    MakeSurface();
    Invalidate();
    Realign();
  }
}

void TForm::SetClientWidth(int width) { SetBounds(Left(), Top(), width + 2 * FrameWidth(), Height()); }

void TForm::SetClientHeight(int height) {
  SetBounds(Left(), Top(), Width(), height + FrameTop() + FrameWidth());
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_) return;
  const int cw = clientWidth_, ch = clientHeight_;
  borderStyle_ = style;
  ApplyBounds(Left(), Top(), cw + 2 * FrameWidth(), ch + FrameTop() + FrameWidth());
}

gdi::TPoint TForm::ClientOrigin() const {
  if (window_) {
    int x = 0, y = 0;
    window_->ClientOrigin(x, y);
    return {x, y};
  }
  return {Left() + FrameWidth(), Top() + FrameTop()};
}

void TForm::SetParent(TWinControl* parent) {
  if (parent) throw EInvalidOperation("A form cannot have a parent");
}

// ---- the window ------------------------------------------------------------------

void TForm::CMVisibleChanged(TMessage& m) {
  if (HasState(csLoading) || HasState(csDestroying)) return;
  if (m.WParam) {
    OnShow(this);
    OpenWindow();
  } else {
    CloseWindow();
    OnHide(this);
  }
}

void TForm::OpenWindow() {
  if (!window_) {
    platform::Backend* backend = Application ? Application->Backend() : nullptr;
    if (backend) {
      platform::WindowSpec request;
      request.title = Caption();
      request.clientWidth = clientWidth_;
      request.clientHeight = clientHeight_;
      request.dialogFrame = borderStyle_ != bsSizeable && borderStyle_ != bsSizeToolWin;
      request.centred = position_ == poScreenCenter || position_ == poDesktopCenter ||
                        position_ == poMainFormCenter || position_ == poOwnerFormCenter;
      request.icons = icon_->Images();
      try {
        window_ = backend->OpenWindow(request);
      } catch (const platform::WindowError& e) {
        throw EWindowError(e.what());
      }
    }
  }
  if (Screen) Screen->FormShown(this);
  // The focus starts at the first control in tab order unless one was named.
  if (!activeControl_)
    if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FocusControl(first, false);
  Invalidate();
  Update();
  if (window_) {
    window_->Show();
    UpdateCursor();
    Present();
  }
}

void TForm::CloseWindow() {
  SetCaptureControl(nullptr);
  window_.reset();
  shownCursor_ = nullptr;
  cursorShown_ = false;
  pointerInside_ = false;
  mouseControl_ = nullptr;
}

void TForm::CMTextChanged(TMessage& m) {
  TWinControl::CMTextChanged(m);
  if (window_) window_->SetTitle(Caption());
}

bool TForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (closing_) return;
  closing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{closing_};
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  OnClose(this, action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  if (action == caFree)
    Release();
  else
    Hide();
}

void TForm::Release() {
  if (Application) {
    auto& list = Application->released_;
    if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
  }
}

// ---- pop-ups ---------------------------------------------------------------------------

void TForm::ShowPopup(TWinControl* popup) {
  if (!popup) return;
  if (popup->Parent()) throw EInvalidOperation("A pop-up cannot have a parent");
  popups_.erase(std::remove(popups_.begin(), popups_.end(), popup), popups_.end());
  popups_.push_back(popup);
  ControlAccess::SetPopupHost(popup, this);
  if (!overlay_ && clientWidth_ > 0 && clientHeight_ > 0)
    overlay_ = gdi::CreateBitmap(clientWidth_, clientHeight_, 1, 32, nullptr);
  ControlAccess::SyncWindowSurfaces(popup);
  InvalidateRect(popup->BoundsRect());
}

void TForm::HidePopup(TWinControl* popup) {
  const auto it = std::find(popups_.begin(), popups_.end(), popup);
  if (it == popups_.end()) return;
  popups_.erase(it);
  ControlGone(popup);
  InvalidateRect(popup->BoundsRect());
  ControlAccess::SetPopupHost(popup, nullptr);
  ControlAccess::ReleaseWindowSurfaces(popup);
}

TWinControl* TForm::Popups(int index) const {
  if (index < 0 || index >= PopupCount()) throw EListError(Format(SListIndexError, index));
  return popups_[static_cast<std::size_t>(index)];
}

// ---- controls going away ------------------------------------------------------------------

void TForm::ControlGone(TControl* control) {
  auto* window = dynamic_cast<TWinControl*>(control);
  auto gone = [&](const TControl* c) {
    return c && (c == control || (window && window->ContainsControl(c)));
  };
  if (gone(dragSource_)) {
    if (dragActive_ && Screen) Screen->SetCursor(cursorBeforeDrag_);
    dragSource_ = dragTarget_ = nullptr;
    dragActive_ = dragAccepted_ = false;
  }
  if (gone(dragTarget_)) {
    dragTarget_ = nullptr;
    dragAccepted_ = false;
  }
  if (gone(captureControl_)) SetCaptureControl(nullptr);
  if (gone(mouseControl_)) mouseControl_ = nullptr;
  if (gone(activeControl_)) activeControl_ = nullptr;
}

void TForm::SetCaptureControl(TControl* control) {
  if (control == captureControl_) return;
  captureControl_ = control;
  if (window_) window_->CaptureMouse(control != nullptr);
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == activeControl_) activeControl_ = nullptr;
  if (component == captureControl_) SetCaptureControl(nullptr);
  if (component == mouseControl_) mouseControl_ = nullptr;
}

// ---- streams ---------------------------------------------------------------------------------

void TForm::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  TWinControl::GetChildren(proc, root);
  // Owned components without a parent (menus): written by the form itself.
  if (root == this)
    for (int i = 0; i < ComponentCount(); ++i)
      if (!dynamic_cast<TControl*>(Components(i))) proc(Components(i));
}

void TForm::Loaded() {
  TWinControl::Loaded();
  SyncWindowSurfaces();
}

bool TForm::IsColorStored() const { return !ParentColor() && Color() != clBtnFace; }
bool TForm::IsParentFontStored() const { return ParentFont(); }
bool TForm::IsVisibleStored() const { return Visible(); }

}  // namespace toolkit
