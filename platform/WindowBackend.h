// What the operating system gives a window: one small interface with a real
// implementation (SDL2) and a headless one for tests. The framework draws
// into 32-bit surfaces of its own and hands them over to be shown.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/PlatformError.h"

namespace platform {

// No display, or no window on it: the message says why.
class WindowError : public PlatformError {
 public:
  using PlatformError::PlatformError;
};

// 32-bit pixels, 0x00RRGGBB (blue, green, red, zero in memory), rows top-down.
struct SurfaceView {
  const std::uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  int stride = 0;  // in pixels
};

struct IconImage {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;  // 0xAARRGGBB, rows top-down
};

struct CursorImage {
  int width = 0, height = 0;
  int hotX = 0, hotY = 0;
  std::vector<std::uint32_t> argb;
};

enum class MouseButton { Left, Right, Middle };

// Shift state bits, as the framework's TShiftState.
enum ShiftBits : unsigned {
  kShift = 1,
  kAlt = 2,
  kCtrl = 4,
  kLeft = 8,
  kRight = 16,
  kMiddle = 32,
  kDouble = 64,
};

// Key codes are the classic virtual-key codes (VK_LEFT 0x25, 'A' 0x41 ...).
// Text carries printable characters only: control characters (Backspace 8,
// Tab 9, Enter 13, Escape 27, Ctrl+letter, Delete 127) never arrive as Text,
// and nor does anything typed while Ctrl is held without Alt. The framework
// makes those key-press characters itself from the KeyDown events.
// MouseDown of the second press of a double click has clicks 2 and kDouble.
struct Event {
  enum class Type {
    MouseDown,
    MouseUp,
    MouseMove,
    MouseLeave,
    KeyDown,
    KeyUp,
    Text,
    Close,
    Expose,
  } type = Type::Expose;
  int x = 0, y = 0;  // client coordinates, mouse events
  MouseButton button = MouseButton::Left;
  unsigned shift = 0;   // ShiftBits
  int clicks = 1;       // 2 for the second press of a double click
  unsigned key = 0;     // virtual-key code
  bool repeat = false;  // key-down from auto-repeat
  std::string text;     // Text: UTF-8 as typed
};

enum class MessageBoxIcon { None, Error, Warning, Information };

struct WindowSpec {
  std::string title;
  int clientWidth = 0, clientHeight = 0;
  bool dialogFrame = true;  // fixed size; only the close button
  bool centred = true;      // outer frame centred on the primary screen
  std::vector<IconImage> icons;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual void SetTitle(const std::string& title) = 0;
  // Shows the surface (client area) now.
  virtual void Present(const SurfaceView& surface) = 0;
  virtual void SetCursor(const CursorImage* cursor) = 0;  // null: the arrow
  virtual void CaptureMouse(bool capture) = 0;
  // Window position of the client area on the screen.
  virtual void ClientOrigin(int& x, int& y) const = 0;
  virtual void Show() = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  // Throws WindowError with a clear message when no window can be made.
  virtual std::unique_ptr<Window> OpenWindow(const WindowSpec& wanted) = 0;
  // Waits for the next event (or returns at once with `wait` false);
  // false when there is none.
  virtual bool NextEvent(Event& event, bool wait) = 0;
  // Blocks until the user presses OK.
  virtual void ShowMessageBox(const std::string& title, const std::string& text, MessageBoxIcon icon) = 0;
  virtual void ScreenSize(int& width, int& height) const = 0;
  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
};

// The SDL2 backend; throws WindowError ("no display: ...") when SDL
// cannot open a display.
std::unique_ptr<Backend> CreateSdlBackend();

// The headless backend: no display; tests inject events and read what was
// shown and which message boxes were asked for.
class HeadlessBackend : public Backend {
 public:
  struct Shown {
    std::string title;
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // width x height: the last presented surface
    bool visible = false;               // Show() was called
  };
  struct Box {
    std::string title, text;
    MessageBoxIcon icon = MessageBoxIcon::None;
  };

  std::unique_ptr<Window> OpenWindow(const WindowSpec& wanted) override;
  bool NextEvent(Event& event, bool wait) override;
  void ShowMessageBox(const std::string& title, const std::string& text, MessageBoxIcon icon) override;
  void ScreenSize(int& width, int& height) const override;
  std::string ClipboardText() override { return clipboard_; }
  void SetClipboardText(const std::string& text) override { clipboard_ = text; }

  void Inject(const Event& event) { queue_.push_back(event); }
  // From now on OpenWindow throws WindowError(message), as the SDL
  // backend does when no window can be made; an empty message ends that.
  void RefuseWindows(std::string message) { refusal_ = std::move(message); }
  const std::vector<Box>& MessageBoxes() const { return boxes_; }
  // The windows made so far, in order; their last presented surfaces.
  const std::vector<std::shared_ptr<Shown>>& Windows() const { return windows_; }
  int PresentCount() const { return *presents_; }

 private:
  std::deque<Event> queue_;
  std::vector<Box> boxes_;
  std::vector<std::shared_ptr<Shown>> windows_;
  std::string clipboard_;
  std::string refusal_;
  // Shared with the windows, which may outlive the backend.
  std::shared_ptr<int> presents_ = std::make_shared<int>(0);
};

}  // namespace platform
