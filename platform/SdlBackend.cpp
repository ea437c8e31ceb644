#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "platform/SdlKeys.h"
#include "platform/SdlSystem.h"
#include "platform/WindowBackend.h"

namespace platform {

namespace {

class SdlBackend;

class SdlWindow : public Window {
 public:
  SdlWindow(SdlBackend* backend, const WindowSpec& wanted);
  ~SdlWindow() override;

  void SetTitle(const std::string& title) override {
    if (window_) SDL_SetWindowTitle(window_, title.c_str());
  }
  void Present(const SurfaceView& surface) override;
  void SetCursor(const CursorImage* cursor) override;
  void CaptureMouse(bool capture) override {
    if (window_) SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
  }
  void ClientOrigin(int& x, int& y) const override {
    x = y = 0;
    if (window_) SDL_GetWindowPosition(window_, &x, &y);
  }
  void Show() override {
    if (window_) SDL_ShowWindow(window_);
  }

  SDL_Window* Handle() const { return window_; }
  // Frees the SDL objects; called by the backend when it goes first.
  void Release();

 private:
  SdlBackend* backend_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureW_ = 0, textureH_ = 0;
};

class SdlBackend : public Backend {
 public:
  SdlBackend();
  ~SdlBackend() override;

  std::unique_ptr<Window> OpenWindow(const WindowSpec& wanted) override {
    return std::make_unique<SdlWindow>(this, wanted);
  }
  bool NextEvent(Event& event, bool wait) override;
  void ShowMessageBox(const std::string& title, const std::string& text, MessageBoxIcon icon) override;
  void ScreenSize(int& width, int& height) const override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override { SDL_SetClipboardText(text.c_str()); }

  void Register(SdlWindow* w) { windows_.push_back(w); }
  void Unregister(SdlWindow* w) { std::erase(windows_, w); }
  SDL_Cursor* CursorFor(const CursorImage* image);

 private:
  bool Translate(const SDL_Event& e, Event& out);
  unsigned Shift() const;

  struct CachedCursor {
    CursorImage image;  // a copy: the pointer alone could be reused for another image
    SDL_Cursor* cursor;
  };
  std::unordered_map<const CursorImage*, CachedCursor> cursors_;
  SDL_Cursor* arrow_ = nullptr;
  std::vector<SdlWindow*> windows_;
  Uint16 mods_ = 0;
  unsigned buttons_ = 0;  // kLeft | kRight | kMiddle held
};

// ---------------------------------------------------------------------------

SDL_Surface* SurfaceFromArgb(const std::vector<std::uint32_t>& argb, int w, int h) {
  if (w <= 0 || h <= 0 || argb.size() < static_cast<std::size_t>(w) * h) return nullptr;
  // SDL only reads the pixels of a surface made this way.
  return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(argb.data()), w, h, 32, w * 4,
                                            SDL_PIXELFORMAT_ARGB8888);
}

SdlWindow::SdlWindow(SdlBackend* backend, const WindowSpec& wanted) : backend_(backend) {
  const int pos = wanted.centred ? SDL_WINDOWPOS_CENTERED : SDL_WINDOWPOS_UNDEFINED;
  window_ = SDL_CreateWindow(wanted.title.c_str(), pos, pos, wanted.clientWidth, wanted.clientHeight,
                             SDL_WINDOW_HIDDEN);
  if (!window_) throw WindowError(std::string("cannot open a window: ") + SDL_GetError());
  // The software renderer needs no GL (Xvfb, remote X) and, unlike the GL one,
  // never recreates the X window, which would lose the properties set below.
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) {
    std::string error = SDL_GetError();
    SDL_DestroyWindow(window_);
    throw WindowError("cannot draw in a window: " + error);
  }

  const IconImage* best = nullptr;
  for (const IconImage& icon : wanted.icons)
    if (!best || icon.width * icon.height > best->width * best->height) best = &icon;
  if (best) {
    if (SDL_Surface* s = SurfaceFromArgb(best->argb, best->width, best->height)) {
      SDL_SetWindowIcon(window_, s);  // copies the pixels
      SDL_FreeSurface(s);
    }
  }
  if (wanted.dialogFrame) MarkAsDialog(window_);
  backend_->Register(this);
}

SdlWindow::~SdlWindow() {
  if (backend_) backend_->Unregister(this);
  Release();
}

void SdlWindow::Release() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  backend_ = nullptr;
}

void SdlWindow::Present(const SurfaceView& surface) {
  if (!renderer_ || !surface.pixels || surface.width <= 0 || surface.height <= 0) return;
  if (!texture_ || textureW_ != surface.width || textureH_ != surface.height) {
    if (texture_) SDL_DestroyTexture(texture_);
    // XRGB8888 is 0x00RRGGBB in a 32-bit word: the surface's own layout.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 surface.width, surface.height);
    if (!texture_) return;
    textureW_ = surface.width;
    textureH_ = surface.height;
  }
  SDL_UpdateTexture(texture_, nullptr, surface.pixels, surface.stride * 4);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  const SDL_Rect where{0, 0, surface.width, surface.height};  // never scaled
  SDL_RenderCopy(renderer_, texture_, nullptr, &where);
  SDL_RenderPresent(renderer_);
}

void SdlWindow::SetCursor(const CursorImage* cursor) {
  if (!backend_) return;
  if (SDL_Cursor* c = backend_->CursorFor(cursor)) SDL_SetCursor(c);
}

// ---------------------------------------------------------------------------

SdlBackend::SdlBackend() {
  PickVideoDriver();
  // One Close per window close; SDL_QUIT then only comes from signals.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // A desktop utility should neither stop the screen saver nor switch off
  // the compositor, both of which SDL does for games by default.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // The software renderer draws into the window surface, which SDL would
  // otherwise back with an OpenGL texture: on X, Mesa loaded, its threads
  // started, the window recreated. Plain images are plenty for this window.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::string error = std::string("no display: ") + SDL_GetError();
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    throw WindowError(error);
  }
  EndOnLostDisplay();
  SDL_StartTextInput();
  mods_ = static_cast<Uint16>(SDL_GetModState());
}

SdlBackend::~SdlBackend() {
  for (SdlWindow* w : windows_) w->Release();
  SDL_SetCursor(SDL_GetDefaultCursor());
  for (auto& [key, cached] : cursors_) SDL_FreeCursor(cached.cursor);
  if (arrow_) SDL_FreeCursor(arrow_);
  SDL_StopTextInput();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

SDL_Cursor* SdlBackend::CursorFor(const CursorImage* image) {
  if (!image) {
    if (!arrow_) arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    return arrow_;
  }
  auto it = cursors_.find(image);
  if (it != cursors_.end()) {
    const CursorImage& had = it->second.image;
    if (had.width == image->width && had.height == image->height && had.hotX == image->hotX &&
        had.hotY == image->hotY && had.argb == image->argb)
      return it->second.cursor;
    if (SDL_GetCursor() == it->second.cursor) SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_FreeCursor(it->second.cursor);
    cursors_.erase(it);
  }
  SDL_Surface* s = SurfaceFromArgb(image->argb, image->width, image->height);
  if (!s) return nullptr;
  SDL_Cursor* cursor = SDL_CreateColorCursor(s, image->hotX, image->hotY);  // copies the pixels
  SDL_FreeSurface(s);
  if (cursor) cursors_.emplace(image, CachedCursor{*image, cursor});
  return cursor;
}

unsigned SdlBackend::Shift() const {
  unsigned shift = buttons_;
  if (mods_ & KMOD_SHIFT) shift |= kShift;
  if (mods_ & KMOD_ALT) shift |= kAlt;
  if (mods_ & KMOD_CTRL) shift |= kCtrl;
  return shift;
}

bool SdlBackend::NextEvent(Event& event, bool wait) {
  SDL_Event e;
  while (wait ? SDL_WaitEvent(&e) : SDL_PollEvent(&e)) {
    event = Event{};
    if (Translate(e, event)) return true;
  }
  return false;
}

bool SdlBackend::Translate(const SDL_Event& e, Event& out) {
  using T = Event::Type;
  switch (e.type) {
    case SDL_QUIT: out.type = T::Close; return true;

    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: out.type = T::Close; return true;
        case SDL_WINDOWEVENT_EXPOSED: out.type = T::Expose; return true;
        case SDL_WINDOWEVENT_LEAVE: out.type = T::MouseLeave; return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          // Modifiers may have changed while another window had the keyboard.
          mods_ = static_cast<Uint16>(SDL_GetModState());
          return false;
        default: return false;
      }

    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      unsigned bit;
      switch (e.button.button) {
        case SDL_BUTTON_LEFT:
          out.button = MouseButton::Left;
          bit = kLeft;
          break;
        case SDL_BUTTON_RIGHT:
          out.button = MouseButton::Right;
          bit = kRight;
          break;
        case SDL_BUTTON_MIDDLE:
          out.button = MouseButton::Middle;
          bit = kMiddle;
          break;
        default: return false;
      }
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      // The pressed button counts as held, the released one no longer.
      buttons_ = down ? (buttons_ | bit) : (buttons_ & ~bit);
      out.type = down ? T::MouseDown : T::MouseUp;
      out.x = e.button.x;
      out.y = e.button.y;
      // SDL counts on (3 for a triple click); the framework expects double
      // clicks to pair up as on the classic desktop.
      out.clicks = (e.button.clicks >= 2 && e.button.clicks % 2 == 0) ? 2 : 1;
      out.shift = Shift();
      if (down && out.clicks == 2) out.shift |= kDouble;
      return true;
    }

    case SDL_MOUSEMOTION: {
      const Uint32 s = e.motion.state;
      buttons_ = (s & SDL_BUTTON_LMASK ? kLeft : 0u) | (s & SDL_BUTTON_RMASK ? kRight : 0u) |
                 (s & SDL_BUTTON_MMASK ? kMiddle : 0u);
      out.type = T::MouseMove;
      out.x = e.motion.x;
      out.y = e.motion.y;
      out.shift = Shift();
      return true;
    }

    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      mods_ = e.key.keysym.mod;
      out.key = VirtualKeyFromSdl(e.key.keysym.scancode, e.key.keysym.sym, (mods_ & KMOD_NUM) != 0);
      if (out.key == 0) return false;
      out.type = e.type == SDL_KEYDOWN ? T::KeyDown : T::KeyUp;
      out.repeat = e.type == SDL_KEYDOWN && e.key.repeat != 0;
      out.shift = Shift();
      return true;
    }

    case SDL_TEXTINPUT: {
      // SDL already drops control characters. Ctrl+digit and the like would
      // still type here, which the classic desktop never does.
      if ((mods_ & KMOD_CTRL) && !(mods_ & KMOD_ALT)) return false;
      out.type = T::Text;
      out.text = e.text.text;
      return !out.text.empty();
    }

    default: return false;
  }
}

void SdlBackend::ShowMessageBox(const std::string& title, const std::string& text, MessageBoxIcon icon) {
  Uint32 flags = 0;
  switch (icon) {
    case MessageBoxIcon::Error: flags = SDL_MESSAGEBOX_ERROR; break;
    case MessageBoxIcon::Warning: flags = SDL_MESSAGEBOX_WARNING; break;
    case MessageBoxIcon::Information: flags = SDL_MESSAGEBOX_INFORMATION; break;
    case MessageBoxIcon::None: break;
  }
  SDL_Window* parent = nullptr;
  for (SdlWindow* w : windows_)
    if (SDL_GetWindowFlags(w->Handle()) & SDL_WINDOW_SHOWN) parent = w->Handle();
  if (SDL_ShowSimpleMessageBox(flags, title.c_str(), text.c_str(), parent) != 0)
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

void SdlBackend::ScreenSize(int& width, int& height) const {
  SDL_Rect r{0, 0, 0, 0};
  SDL_GetDisplayBounds(0, &r);
  width = r.w;
  height = r.h;
}

std::string SdlBackend::ClipboardText() {
  char* text = SDL_GetClipboardText();
  if (!text) return {};
  std::string result = text;
  SDL_free(text);
  return result;
}

}  // namespace

std::unique_ptr<Backend> CreateSdlBackend() { return std::make_unique<SdlBackend>(); }

}  // namespace platform
