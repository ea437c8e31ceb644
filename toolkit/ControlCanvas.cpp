// Canvases on controls, the windowless control and the self-drawn windowed
// control.
#include <algorithm>
#include <vector>

#include "toolkit/ClassBuilder.h"
#include "toolkit/Controls.h"

namespace toolkit {

namespace {
// Canvases holding a context they made, freed after each event.
std::vector<TControlCanvas*>& CanvasesWithContext() {
  static std::vector<TControlCanvas*> list;
  return list;
}

// Moves a context's logical origin to (dx, dy) of its current one.
void MoveWindowOrg(gdi::HDC dc, int dx, int dy) {
  gdi::TPoint org{};
  gdi::GetWindowOrgEx(dc, &org);
  gdi::SetWindowOrgEx(dc, org.X - dx, org.Y - dy, nullptr);
}

// Lends `dc` to `canvas` for one paint and takes it back, even when the
// paint throws.
class BorrowedContext {
 public:
  BorrowedContext(TControlCanvas& canvas, gdi::HDC dc) : canvas_(canvas) {
    canvas_.FreeHandle();
    canvas_.Lock();
    canvas_.SetHandle(dc);
  }
  ~BorrowedContext() {
    canvas_.SetHandle(0);
    canvas_.Unlock();
  }
  BorrowedContext(const BorrowedContext&) = delete;
  BorrowedContext& operator=(const BorrowedContext&) = delete;

 private:
  TControlCanvas& canvas_;
};

class PaintingState {
 public:
  PaintingState(TControl& control) : control_(control) {
    control_.SetControlState(control_.ControlState() | csCustomPaint);
  }
  ~PaintingState() { control_.SetControlState(control_.ControlState() & ~csCustomPaint); }
  PaintingState(const PaintingState&) = delete;
  PaintingState& operator=(const PaintingState&) = delete;

 private:
  TControl& control_;
};
}  // namespace

// ---- TControlCanvas --------------------------------------------------------------

const TClassInfo& TControlCanvas::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TControlCanvas>("TControlCanvas", &TCanvas::StaticClass()).Build();
  return info;
}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
  TWinControl* window = dynamic_cast<TWinControl*>(control_);
  const bool windowless = window == nullptr;
  if (windowless) window = control_->Parent();
  if (!window) return;
  const gdi::HWND hwnd = window->Handle();
  const gdi::HDC dc = gdi::GetDC(hwnd);
  if (!dc) return;
  if (windowless) {
    MoveWindowOrg(dc, control_->Left(), control_->Top());
    gdi::IntersectClipRect(dc, 0, 0, control_->Width(), control_->Height());
  }
  ownDc_ = dc;
  window_ = hwnd;
  CanvasesWithContext().push_back(this);
  SetHandle(dc);
}

void TControlCanvas::FreeHandle() {
  if (!ownDc_) return;
  if (HandleAllocated()) SetHandle(0);
  gdi::ReleaseDC(window_, ownDc_);
  ownDc_ = 0;
  window_ = 0;
  auto& list = CanvasesWithContext();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::FreeDeviceContexts() {
  const std::vector<TControlCanvas*> list = CanvasesWithContext();
  for (TControlCanvas* canvas : list)
    if (canvas->LockCount() == 0) canvas->FreeHandle();
}

// ---- TGraphicControl --------------------------------------------------------------

const TClassInfo& TGraphicControl::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TGraphicControl>("TGraphicControl", &TControl::StaticClass()).Build();
  return info;
}

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() { canvas_->FreeHandle(); }

void TGraphicControl::WndProc(TMessage& message) {
  if (message.Msg == WM_PAINT)
    WMPaint(message);
  else
    TControl::WndProc(message);
}

void TGraphicControl::WMPaint(TMessage& message) {
  const auto dc = static_cast<gdi::HDC>(message.WParam);
  if (!dc) return;
  PaintingState painting(*this);
  BorrowedContext borrowed(*canvas_, dc);
  Paint();
}

// ---- TCustomControl ----------------------------------------------------------------

const TClassInfo& TCustomControl::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TCustomControl>("TCustomControl", &TWinControl::StaticClass()).Build();
  return info;
}

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() { canvas_->FreeHandle(); }

void TCustomControl::PaintWindow(gdi::HDC dc) {
  PaintingState painting(*this);
  BorrowedContext borrowed(*canvas_, dc);
  Paint();
}

}  // namespace toolkit
