#include "platform/WindowBackend.h"

#include <algorithm>

namespace platform {
namespace {

constexpr int kScreenWidth = 1024, kScreenHeight = 768;

class HeadlessWindow : public Window {
 public:
  HeadlessWindow(std::shared_ptr<HeadlessBackend::Shown> shown, std::shared_ptr<int> presents)
      : shown_(std::move(shown)), presents_(std::move(presents)) {}

  void SetTitle(const std::string& title) override { shown_->title = title; }

  // Keeps what a real window would show: the surface at the client's top
  // left, cut to the client size, black where it does not reach.
  void Present(const SurfaceView& surface) override {
    const int w = shown_->width, h = shown_->height;
    auto& out = shown_->pixels;
    out.assign(static_cast<std::size_t>(w) * h, 0);
    if (surface.pixels) {
      const int cw = std::min(w, surface.width), ch = std::min(h, surface.height);
      for (int y = 0; y < ch; ++y) {
        const std::uint32_t* row = surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.stride;
        std::copy(row, row + cw, out.begin() + static_cast<std::ptrdiff_t>(y) * w);
      }
    }
    ++*presents_;
  }

  void SetCursor(const CursorImage*) override {}
  void CaptureMouse(bool) override {}

  void ClientOrigin(int& x, int& y) const override {
    x = (kScreenWidth - shown_->width) / 2;
    y = (kScreenHeight - shown_->height) / 2;
  }

  void Show() override { shown_->visible = true; }

 private:
  std::shared_ptr<HeadlessBackend::Shown> shown_;
  std::shared_ptr<int> presents_;
};

}  // namespace

std::unique_ptr<Window> HeadlessBackend::OpenWindow(const WindowSpec& wanted) {
  if (!refusal_.empty()) throw WindowError(refusal_);
  auto shown = std::make_shared<Shown>();
  shown->title = wanted.title;
  shown->width = wanted.clientWidth;
  shown->height = wanted.clientHeight;
  windows_.push_back(shown);
  return std::make_unique<HeadlessWindow>(std::move(shown), presents_);
}

bool HeadlessBackend::NextEvent(Event& event, bool /*wait*/) {
  // Nothing else can ever arrive, so waiting would hang the test.
  if (queue_.empty()) return false;
  event = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

void HeadlessBackend::ShowMessageBox(const std::string& title, const std::string& text, MessageBoxIcon icon) {
  boxes_.push_back({title, text, icon});
}

void HeadlessBackend::ScreenSize(int& width, int& height) const {
  width = kScreenWidth;
  height = kScreenHeight;
}

}  // namespace platform
