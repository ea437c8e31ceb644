// The SDL backend against a real X server: a private Xvfb, driven with
// xdotool and looked at with xwininfo, xprop and ImageMagick's import.
#include <SDL_keycode.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/SdlKeys.h"
#include "platform/WindowBackend.h"
#include "tests/support/Expect.h"
#include "tests/support/XvfbServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
// Xlib's macros, spelled like names used below.
#undef None
#undef Expose

namespace platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The Xvfb screen is deliberately not a common size, so sizes read back
// cannot match by accident.
constexpr int kScreenW = 1100, kScreenH = 800;
constexpr int kClient = 300;

// Runs a shell command; its standard output, or nullopt when it failed.
std::optional<std::string> Shell(const std::string& command) {
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  char buf[65536];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  return pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

std::string RunOrEmpty(const std::string& command) { return Shell(command).value_or(""); }

// A value after "Label:" in xwininfo's output.
int Field(const std::string& text, const std::string& label) {
  std::size_t at = text.find(label);
  return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + label.size());
}

WindowSpec Wanted(const std::string& title) {
  WindowSpec wanted;
  wanted.title = title;
  wanted.clientWidth = kClient;
  wanted.clientHeight = kClient;
  return wanted;
}

// A gradient, so a flipped, shifted or mis-strided copy shows.
std::uint32_t Pattern(int x, int y) {
  return static_cast<std::uint32_t>((x * 255 / (kClient - 1)) << 16 | (y * 255 / (kClient - 1)) << 8 |
                                    ((x + 2 * y) & 0xFF));
}

class SdlOnXvfb : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const testsupport::XvfbProblem problem =
        xvfb_.Start(kScreenW, kScreenH, {"xdpyinfo", "xdotool", "xwininfo", "xprop", "import"});
    problem_ = problem.what;
    skip_ = problem.skip;
    display_ = xvfb_.Display();
  }

  static void TearDownTestSuite() { xvfb_.Stop(); }

  void SetUp() override {
    if (!problem_.empty()) {
      if (skip_) GTEST_SKIP() << problem_;
      FAIL() << problem_;
    }
    backend_ = CreateSdlBackend();
    title_ = "Lumivant probe " + std::to_string(getpid());
  }

  void TearDown() override {
    window_.reset();
    backend_.reset();
  }

  void OpenShown(WindowSpec wanted) {
    window_ = backend_->OpenWindow(wanted);
    window_->Show();
    // Stride wider than the image, the gap filled with a colour that must not show.
    surface_.assign(static_cast<std::size_t>(kStride) * kClient, 0xFF00FF);
    for (int y = 0; y < kClient; ++y)
      for (int x = 0; x < kClient; ++x) surface_[static_cast<std::size_t>(y) * kStride + x] = Pattern(x, y);
    Present();
    // Let the mapping settle, then start every test from an empty record.
    Pump([](const Event&) { return false; }, 300ms);
    events_.clear();
    std::string id = RunOrEmpty("xdotool search --name '^" + wanted.title + "$'");
    xid_ = std::strtoul(id.c_str(), nullptr, 10);
    ASSERT_NE(xid_, 0u) << "no X window titled " << wanted.title;
    window_->ClientOrigin(originX_, originY_);
  }

  void Present() { window_->Present({surface_.data(), kClient, kClient, kStride}); }

  // Collects events until `done` accepts one or the time is up; redraws on
  // Expose as the framework would.
  bool Pump(const std::function<bool(const Event&)>& done, std::chrono::milliseconds limit = 5s) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      Event e;
      while (backend_->NextEvent(e, false)) {
        if (e.type == Event::Type::Expose) Present();
        events_.push_back(e);
        if (done(e)) return true;
      }
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }

  bool PumpFor(Event::Type type) {
    return Pump([type](const Event& e) { return e.type == type; });
  }

  std::vector<Event> Only(Event::Type type) const {
    std::vector<Event> out;
    for (const Event& e : events_)
      if (e.type == type) out.push_back(e);
    return out;
  }

  static void Xdo(const std::string& args) { EXPECT_TRUE(Shell("xdotool " + args)) << "xdotool " << args; }

  static constexpr int kStride = kClient + 20;
  static inline testsupport::XvfbServer xvfb_;
  static inline std::string display_, problem_;
  static inline bool skip_ = false;

  std::unique_ptr<Backend> backend_;
  std::unique_ptr<Window> window_;
  std::string title_;
  std::vector<std::uint32_t> surface_;
  std::vector<Event> events_;
  unsigned long xid_ = 0;
  int originX_ = 0, originY_ = 0;
};

TEST_F(SdlOnXvfb, WindowHasTheClientSizeIsCentredAndShowsThePresentedPixels) {
  ASSERT_NO_FATAL_FAILURE(OpenShown(Wanted(title_)));
  const std::string info = RunOrEmpty("xwininfo -id " + std::to_string(xid_));
  EXPECT_EQ(Field(info, "Width:"), kClient);
  EXPECT_EQ(Field(info, "Height:"), kClient);
  EXPECT_EQ(Field(info, "Absolute upper-left X:"), originX_);
  EXPECT_EQ(Field(info, "Absolute upper-left Y:"), originY_);
  // No window manager under Xvfb: the client is where the frame would be.
  EXPECT_EQ(originX_, (kScreenW - kClient) / 2);
  EXPECT_EQ(originY_, (kScreenH - kClient) / 2);

  // import now and then comes back empty on a loaded machine: ask again.
  const std::size_t wholeScreen = static_cast<std::size_t>(kScreenW) * kScreenH * 3;
  std::string shot;
  for (int attempt = 0; attempt < 5 && shot.size() != wholeScreen; ++attempt) {
    if (attempt) std::this_thread::sleep_for(200ms);
    shot = RunOrEmpty("import -window root -depth 8 rgb:-");
  }
  ASSERT_EQ(shot.size(), wholeScreen);
  int wrong = 0;
  std::string first;
  for (int y = 0; y < kClient; ++y) {
    for (int x = 0; x < kClient; ++x) {
      const std::size_t at = (static_cast<std::size_t>(originY_ + y) * kScreenW + originX_ + x) * 3;
      const std::uint32_t got = static_cast<std::uint8_t>(shot[at]) << 16 |
                                static_cast<std::uint8_t>(shot[at + 1]) << 8 |
                                static_cast<std::uint8_t>(shot[at + 2]);
      if (got != Pattern(x, y) && wrong++ == 0) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "(%d,%d) is %06X, wanted %06X", x, y, got, Pattern(x, y));
        first = buf;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "first: " << first;
}

TEST_F(SdlOnXvfb, DialogFrameOnlyMovesAndClosesAndCarriesTheLargestIcon) {
  WindowSpec wanted = Wanted(title_);
  for (int size : {16, 48, 32})
    wanted.icons.push_back({size, size, std::vector<std::uint32_t>(size * size, 0xFF336699)});
  ASSERT_NO_FATAL_FAILURE(OpenShown(wanted));
  const std::string props = RunOrEmpty("xprop -id " + std::to_string(xid_));
  EXPECT_NE(props.find("_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG\n"), std::string::npos)
      << props;
  // Functions and decorations given; move and close only; border, title, menu.
  EXPECT_NE(props.find("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x24, 0x1a, 0x0, 0x0"), std::string::npos)
      << props;
  EXPECT_NE(props.find("minimum size: 300 by 300"), std::string::npos) << props;
  EXPECT_NE(props.find("maximum size: 300 by 300"), std::string::npos) << props;
  EXPECT_NE(props.find("Icon (48 x 48)"), std::string::npos) << props;
  EXPECT_EQ(props.find("Icon (16 x 16)"), std::string::npos);
  EXPECT_NE(props.find("WM_NAME(UTF8_STRING) = \"" + title_ + "\""), std::string::npos) << props;

  window_->SetTitle(title_ + " renamed");
  EXPECT_NE(RunOrEmpty("xprop -id " + std::to_string(xid_) + " WM_NAME").find(title_ + " renamed"),
            std::string::npos);
}

TEST_F(SdlOnXvfb, PlainFrameStaysANormalWindow) {
  WindowSpec wanted = Wanted(title_);
  wanted.dialogFrame = false;
  ASSERT_NO_FATAL_FAILURE(OpenShown(wanted));
  const std::string type = RunOrEmpty("xprop -id " + std::to_string(xid_) + " _NET_WM_WINDOW_TYPE");
  EXPECT_NE(type.find("_NET_WM_WINDOW_TYPE_NORMAL"), std::string::npos) << type;
}

TEST_F(SdlOnXvfb, ClicksArriveInClientCoordinatesWithButtonsAndDoubleClicks) {
  ASSERT_NO_FATAL_FAILURE(OpenShown(Wanted(title_)));
  const int x = 40, y = 70;
  Xdo("mousemove --sync " + std::to_string(originX_ + x) + " " + std::to_string(originY_ + y) + " click 1");
  ASSERT_TRUE(PumpFor(Event::Type::MouseUp));
  auto downs = Only(Event::Type::MouseDown), ups = Only(Event::Type::MouseUp);
  ASSERT_EQ(downs.size(), 1u);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(downs[0].x, x);
  EXPECT_EQ(downs[0].y, y);
  EXPECT_EQ(downs[0].button, MouseButton::Left);
  EXPECT_EQ(downs[0].clicks, 1);
  EXPECT_EQ(downs[0].shift, unsigned{kLeft});  // the pressed button is held
  EXPECT_EQ(ups[0].x, x);
  EXPECT_EQ(ups[0].y, y);
  EXPECT_EQ(ups[0].shift, 0u);

  // Past the double-click time, then two presses in quick succession.
  std::this_thread::sleep_for(700ms);
  events_.clear();
  Xdo("click --repeat 2 --delay 60 1");
  int ups2 = 0;
  ASSERT_TRUE(Pump([&](const Event& e) { return e.type == Event::Type::MouseUp && ++ups2 == 2; }));
  downs = Only(Event::Type::MouseDown);
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].clicks, 1);
  EXPECT_EQ(downs[1].clicks, 2);
  EXPECT_EQ(downs[1].shift, unsigned{kLeft | kDouble});

  std::this_thread::sleep_for(700ms);
  events_.clear();
  Xdo("keydown shift click 3 keyup shift");
  ASSERT_TRUE(PumpFor(Event::Type::MouseUp));
  downs = Only(Event::Type::MouseDown);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].button, MouseButton::Right);
  EXPECT_EQ(downs[0].shift, unsigned{kRight | kShift});
}

TEST_F(SdlOnXvfb, MotionAndLeavingTheWindow) {
  ASSERT_NO_FATAL_FAILURE(OpenShown(Wanted(title_)));
  Xdo("mousemove --sync " + std::to_string(originX_ + 12) + " " + std::to_string(originY_ + 34));
  ASSERT_TRUE(
      Pump([](const Event& e) { return e.type == Event::Type::MouseMove && e.x == 12 && e.y == 34; }));
  Xdo("mousemove --sync 2 2");
  EXPECT_TRUE(PumpFor(Event::Type::MouseLeave));
}

TEST_F(SdlOnXvfb, KeysGiveVirtualKeysAndPrintableText) {
  ASSERT_NO_FATAL_FAILURE(OpenShown(Wanted(title_)));
  Xdo("windowfocus --sync " + std::to_string(xid_));
  Xdo("key a");
  ASSERT_TRUE(PumpFor(Event::Type::KeyUp));
  ASSERT_GE(events_.size(), 3u);
  std::vector<Event> keys;
  for (const Event& e : events_)
    if (e.type == Event::Type::KeyDown || e.type == Event::Type::KeyUp || e.type == Event::Type::Text)
      keys.push_back(e);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].type, Event::Type::KeyDown);
  EXPECT_EQ(keys[0].key, 0x41u);
  EXPECT_FALSE(keys[0].repeat);
  EXPECT_EQ(keys[1].type, Event::Type::Text);
  EXPECT_EQ(keys[1].text, "a");
  EXPECT_EQ(keys[2].type, Event::Type::KeyUp);
  EXPECT_EQ(keys[2].key, 0x41u);

  events_.clear();
  Xdo("type b");
  ASSERT_TRUE(PumpFor(Event::Type::Text));
  EXPECT_EQ(Only(Event::Type::Text)[0].text, "b");
  ASSERT_FALSE(Only(Event::Type::KeyDown).empty());
  EXPECT_EQ(Only(Event::Type::KeyDown)[0].key, 0x42u);

  // Control characters and Ctrl shortcuts come as key-downs only; the "z"
  // typed last marks that everything before it has been delivered.
  events_.clear();
  Xdo("key ctrl+a ctrl+1 Return Escape BackSpace Tab Delete F5 Left Next shift+d");
  Xdo("type z");
  ASSERT_TRUE(Pump([](const Event& e) { return e.type == Event::Type::Text && e.text == "z"; }));
  std::vector<unsigned> down;
  for (const Event& e : Only(Event::Type::KeyDown)) down.push_back(e.key);
  const std::vector<unsigned> expected = {0x11, 0x41, 0x11, 0x31, 0x0D, 0x1B, 0x08, 0x09,
                                          0x2E, 0x74, 0x25, 0x22, 0x10, 0x44, 0x5A};
  EXPECT_EQ(down, expected);
  const auto texts = Only(Event::Type::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "D");
  EXPECT_EQ(texts[1].text, "z");
  for (const Event& e : Only(Event::Type::KeyDown)) {
    if (e.key == 0x41 || e.key == 0x31) {
      EXPECT_EQ(e.shift, unsigned{kCtrl}) << e.key;
    } else if (e.key == 0x44) {
      EXPECT_EQ(e.shift, unsigned{kShift});
    } else if (e.key == 0x5A) {
      EXPECT_EQ(e.shift, 0u);
    }
  }
}

TEST_F(SdlOnXvfb, CloseButtonGivesOneClose) {
  ASSERT_NO_FATAL_FAILURE(OpenShown(Wanted(title_)));
  // What a window manager sends when the close button is pressed.
  Display* dpy = XOpenDisplay(display_.c_str());
  ASSERT_NE(dpy, nullptr);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = xid_;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, xid_, False, NoEventMask, &ev);
  XCloseDisplay(dpy);
  ASSERT_TRUE(PumpFor(Event::Type::Close));
  Pump([](const Event&) { return false; }, 300ms);
  EXPECT_EQ(Only(Event::Type::Close).size(), 1u);
}

TEST_F(SdlOnXvfb, CustomCursorIsShownAndTheArrowComesBack) {
  ASSERT_NO_FATAL_FAILURE(OpenShown(Wanted(title_)));
  Xdo("mousemove --sync " + std::to_string(originX_ + 100) + " " + std::to_string(originY_ + 100));
  Pump([](const Event&) { return false; }, 200ms);

  Display* dpy = XOpenDisplay(display_.c_str());
  ASSERT_NE(dpy, nullptr);
  auto current = [dpy] {
    XSync(dpy, False);
    XFixesCursorImage* img = XFixesGetCursorImage(dpy);
    std::vector<unsigned long> out;
    if (img) {
      out = {img->width, img->height, img->xhot, img->yhot};
      // 32-bit ARGB in longs, sign-extended on 64-bit systems.
      for (int i = 0; i < img->width * img->height; ++i) out.push_back(img->pixels[i] & 0xFFFFFFFFul);
      XFree(img);
    }
    return out;
  };

  // SDL talks to the server on its own connection, so what it asked for
  // shows a moment later: look again until it does (or give up).
  auto settled = [&](const std::function<bool(const std::vector<unsigned long>&)>& ok) {
    std::vector<unsigned long> seen;
    for (int i = 0; i < 100; ++i) {
      seen = current();
      if (ok(seen)) break;
      std::this_thread::sleep_for(20ms);
    }
    return seen;
  };
  auto showsColour = [](std::uint32_t argb) {
    return [argb](const std::vector<unsigned long>& c) { return c.size() > 4 && c[4] == argb; };
  };

  CursorImage cursor{16, 16, 3, 5, std::vector<std::uint32_t>(16 * 16, 0xFF00FF00)};
  window_->SetCursor(&cursor);
  auto shown = settled(showsColour(0xFF00FF00u));
  ASSERT_EQ(shown.size(), 4u + 256u);
  EXPECT_EQ(shown[0], 16u);
  EXPECT_EQ(shown[1], 16u);
  EXPECT_EQ(shown[2], 3u);
  EXPECT_EQ(shown[3], 5u);
  EXPECT_EQ(shown[4], 0xFF00FF00u);

  window_->SetCursor(nullptr);
  EXPECT_NE(settled([&](const std::vector<unsigned long>& c) { return c != shown; }), shown);

  // Same object, new picture: the cached cursor must not be reused.
  cursor.argb.assign(cursor.argb.size(), 0xFFFF0000);
  window_->SetCursor(&cursor);
  shown = settled(showsColour(0xFFFF0000u));
  ASSERT_EQ(shown.size(), 4u + 256u);
  EXPECT_EQ(shown[4], 0xFFFF0000u);
  XCloseDisplay(dpy);
}

TEST_F(SdlOnXvfb, ScreenSizeAndClipboard) {
  int w = 0, h = 0;
  backend_->ScreenSize(w, h);
  EXPECT_EQ(w, kScreenW);
  EXPECT_EQ(h, kScreenH);
  const std::string text = "Style \xE2\x80\x94 Gr\xC3\xBC\xC3\x9F";
  backend_->SetClipboardText(text);
  EXPECT_EQ(backend_->ClipboardText(), text);
}

TEST_F(SdlOnXvfb, MessageBoxBelongsToTheWindowAndClosesOnEnter) {
  ASSERT_NO_FATAL_FAILURE(OpenShown(Wanted(title_)));
  const std::string boxTitle = "Lumivant box " + std::to_string(getpid());
  // The user is another process, not a thread: SDL forks to show the box, and
  // a fork while a thread holds the (sanitizer's) allocator lock can hang.
  // SDL names the box with a WM_NAME of type "UTF-8", which xdotool's search
  // does not read; xwininfo does.
  const std::string user =
      "for i in $(seq 600); do"
      "  id=$(xwininfo -root -tree | awk -v t='\"" +
      boxTitle +
      "\"' 'index($0, t) {print $1; exit}');"
      "  if [ -n \"$id\" ]; then xprop -id $id; xdotool windowfocus --sync $id key Return; exit 0; fi;"
      "  sleep 0.05; "
      "done";
  FILE* pipe = popen(user.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  backend_->ShowMessageBox(boxTitle, "Nothing to capture.", MessageBoxIcon::Information);
  std::string props;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) props.append(buf, n);
  pclose(pipe);
  // SDL's X11 box needs the server's core fonts (xfonts-base) and gives up
  // without them; the text then only goes to stderr.
  ASSERT_FALSE(props.empty()) << "no message box window appeared";
  char parent[64];
  std::snprintf(parent, sizeof parent, "WM_TRANSIENT_FOR(WINDOW): window id # 0x%lx", xid_);
  EXPECT_NE(props.find(parent), std::string::npos) << props;
}

// ---------------------------------------------------------------------------

// Redirects file descriptor 2 for as long as it lives.
class StderrCapture {
 public:
  StderrCapture() {
    std::fflush(stderr);
    saved_ = dup(2);
    file_ = std::tmpfile();
    dup2(fileno(file_), 2);
  }
  std::string Text() {
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    std::string out;
    std::rewind(file_);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, file_)) > 0;) out.append(buf, n);
    std::fclose(file_);
    return out;
  }

 private:
  int saved_ = -1;
  FILE* file_ = nullptr;
};

class SdlWithoutDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
  }

  // The message, after checking it is the "no display" error and quiet.
  static void ExpectNoDisplayError() {
    StderrCapture capture;
    const std::string message = testsupport::ThrownMessage<std::runtime_error>([] {
      auto backend = CreateSdlBackend();
      backend->OpenWindow(Wanted("never"));
    });
    const std::string noise = capture.Text();
    EXPECT_EQ(message.rfind("no display", 0), 0u) << "message: " << message;
    EXPECT_EQ(noise, "");
  }

  testsupport::SavedEnvironment saved_{"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
};

TEST_F(SdlWithoutDisplay, UnsetDisplayThrowsQuietly) {
  unsetenv("DISPLAY");
  ExpectNoDisplayError();
}

TEST_F(SdlWithoutDisplay, DeadDisplayThrowsQuietly) {
  setenv("DISPLAY", ":1999", 1);
  ExpectNoDisplayError();
}

// ---------------------------------------------------------------------------

TEST(SdlKeys, LettersAndDigitsFollowTheLayout) {
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_A, SDLK_a, false), 0x41u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_Z, SDLK_z, false), 0x5Au);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_0, SDLK_0, false), 0x30u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_9, SDLK_9, false), 0x39u);
  // AZERTY: the key in the US Q place types a; the digit row types symbols.
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_Q, SDLK_a, false), 0x41u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_1, SDLK_AMPERSAND, false), 0x31u);
  // Cyrillic: no Latin letter, so the key's US place.
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_F, 0x430, false), 0x46u);
}

TEST(SdlKeys, NamedKeys) {
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, false), 0x08u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, false), 0x0Du);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, false), 0x10u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_RCTRL, SDLK_RCTRL, false), 0x11u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_LALT, SDLK_LALT, false), 0x12u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, false), 0x21u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_HOME, SDLK_HOME, false), 0x24u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_DOWN, SDLK_DOWN, false), 0x28u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_INSERT, SDLK_INSERT, false), 0x2Du);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_F1, SDLK_F1, false), 0x70u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_F12, SDLK_F12, false), 0x7Bu);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_F13, SDLK_F13, false), 0x7Cu);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_F24, SDLK_F24, false), 0x87u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, false), 0u);
}

TEST(SdlKeys, NumpadDependsOnNumLock) {
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_KP_0, SDLK_KP_0, true), 0x60u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_KP_7, SDLK_KP_7, true), 0x67u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_KP_7, SDLK_KP_7, false), 0x24u);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, true), 0x6Eu);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, false), 0x2Eu);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, false), 0x6Au);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, true), 0x6Fu);
}

TEST(SdlKeys, Punctuation) {
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, false), 0xBAu);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_SLASH, SDLK_SLASH, false), 0xBFu);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, false), 0xDEu);
  // German: the key in the US minus place types sharp s, slash's place a minus.
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_MINUS, 0xDF, false), 0xBDu);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_SLASH, SDLK_MINUS, false), 0xBDu);
  EXPECT_EQ(VirtualKeyFromSdl(SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, false), 0xE2u);
}

}  // namespace
}  // namespace platform
