// A form's surface: marking, painting, pop-up overlay and presenting.
#include <algorithm>
#include <cstring>

#include "base/ScopeGuard.h"
#include "toolkit/Forms.h"

namespace toolkit {

void TForm::MakeSurface() {
  // Contexts made on the old surface must not outlive it.
  TControlCanvas::FreeDeviceContexts();
  const bool sized = clientWidth_ > 0 && clientHeight_ > 0;
  const gdi::HBITMAP oldSurface = surface_, oldOverlay = overlay_;
  surface_ = sized ? gdi::CreateBitmap(clientWidth_, clientHeight_, 1, 32, nullptr) : 0;
  overlay_ = sized && oldOverlay ? gdi::CreateBitmap(clientWidth_, clientHeight_, 1, 32, nullptr) : 0;
  SyncWindowSurfaces();
  for (TWinControl* popup : popups_) popup->SyncWindowSurfaces();
  if (oldSurface) gdi::DeleteObject(oldSurface);
  if (oldOverlay) gdi::DeleteObject(oldOverlay);
}

void TForm::FreeSurface() {
  ReleaseWindowSurfaces();
  if (surface_) gdi::DeleteObject(surface_);
  if (overlay_) gdi::DeleteObject(overlay_);
  surface_ = overlay_ = 0;
}

void TForm::Invalidate() { InvalidateRect(GetClientRect()); }

void TForm::InvalidateRect(const gdi::TRect& rect) {
  if (HasState(csDestroying)) return;
  const gdi::TRect client = GetClientRect();
  gdi::TRect part{};
  if (!gdi::IntersectRect(&part, &rect, &client)) return;
  if (gdi::IsRectEmpty(&dirty_))
    dirty_ = part;
  else
    gdi::UnionRect(&dirty_, &dirty_, &part);
}

void TForm::Update() {
  if (painting_ || !surface_ || gdi::IsRectEmpty(&dirty_)) return;
  const gdi::TRect clip = dirty_;
  dirty_ = {};
  const base::ValueRestorer painting(painting_, true);
  PaintHandler(clip);
  PaintPopups(clip);
  // As on the classic desktop, what a synchronous update painted is on the
  // window when it returns: a handler that shows a face and then sends a
  // command keeps that face on the screen while the command goes out.
  Present();
}

void TForm::PaintPopups(const gdi::TRect& clip) {
  if (!overlay_) return;
  const std::vector<TWinControl*> list = popups_;
  for (TWinControl* popup : list) {
    if (!popup->Visible()) continue;
    const gdi::TRect r = popup->BoundsRect();
    gdi::TRect part{};
    if (!gdi::IntersectRect(&part, &r, &clip)) continue;
    gdi::OffsetRect(&part, -r.Left, -r.Top);
    popup->PaintHandler(part);
  }
}

void TForm::PaintWindow(gdi::HDC dc) {
  canvas_->FreeHandle();
  canvas_->Lock();
  canvas_->SetHandle(dc);
  const base::ScopeExit release([this] {
    canvas_->SetHandle(0);
    canvas_->Unlock();
  });
  Paint();
}

gdi::COLORREF TForm::SurfacePixel(int x, int y) const {
  if (x < 0 || x >= clientWidth_) return gdi::CLR_INVALID;
  const gdi::BYTE* row = gdi::GetBitmapRow(surface_, y);
  if (!row) return gdi::CLR_INVALID;
  std::uint32_t p;
  std::memcpy(&p, row + static_cast<std::size_t>(x) * 4, 4);
  return gdi::RGB(static_cast<gdi::BYTE>(p >> 16), static_cast<gdi::BYTE>(p >> 8), static_cast<gdi::BYTE>(p));
}

void TForm::Present() {
  if (!window_ || !surface_) return;
  const int w = clientWidth_, h = clientHeight_;
  presented_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y)
    if (const gdi::BYTE* row = gdi::GetBitmapRow(surface_, y))
      std::memcpy(presented_.data() + static_cast<std::size_t>(y) * w, row, static_cast<std::size_t>(w) * 4);
  // Pop-ups, each where it stands, the last shown on top.
  for (TWinControl* popup : popups_) {
    if (!popup->Visible() || !overlay_) continue;
    const gdi::TRect client = GetClientRect();
    const gdi::TRect bounds = popup->BoundsRect();
    gdi::TRect r{};
    if (!gdi::IntersectRect(&r, &bounds, &client)) continue;
    for (int y = r.Top; y < r.Bottom; ++y)
      if (const gdi::BYTE* row = gdi::GetBitmapRow(overlay_, y))
        std::memcpy(presented_.data() + static_cast<std::size_t>(y) * w + r.Left,
                    row + static_cast<std::size_t>(r.Left) * 4, static_cast<std::size_t>(r.Width()) * 4);
  }
  platform::SurfaceView view;
  view.pixels = presented_.data();
  view.width = w;
  view.height = h;
  view.stride = w;
  window_->Present(view);
}

}  // namespace toolkit
