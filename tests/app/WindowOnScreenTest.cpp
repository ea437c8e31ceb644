// The main window on a real X server: what the window shows (read back from
// the X server, not from the form's surface) at the moment a command goes
// out. Input comes as real X events (XTest), the command goes to the MIDI
// double, whose send hook reads the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "app/Unit1.h"
#include "platform/MidiOutDouble.h"
#include "platform/WindowBackend.h"
#include "resources/Resources.h"
#include "tests/support/XvfbServer.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// Xlib's macros, spelled like names used below.
#undef None
#undef Expose

namespace apptest {
namespace {

using namespace std::chrono_literals;
using namespace toolkit;
using Pixels = std::vector<unsigned long>;

constexpr int kLeft = 180, kTop = 142, kWidth = 87, kHeight = 65;  // the camera button

// How many pixels two pictures of the button differ in.
std::size_t Differing(const Pixels& a, const Pixels& b) {
  if (a.size() != b.size()) return std::max(a.size(), b.size());
  std::size_t n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

class WindowOnScreen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { problem_ = xvfb_.Start(800, 600); }
  static void TearDownTestSuite() { xvfb_.Stop(); }

  void SetUp() override {
    if (!problem_.what.empty()) {
      if (problem_.skip) GTEST_SKIP() << problem_.what;
      FAIL() << problem_.what;
    }
    probe_ = XOpenDisplay(xvfb_.Display().c_str());
    ASSERT_NE(probe_, nullptr);
    Application->SetBackend(platform::CreateSdlBackend());
    Application->SetTitle("Lumivant");
    Application->OnException.Clear();
    Application->Initialize();
    RegisterClass(TOrbiscope::StaticClass());
    RegisterResources();
    midi_.SetDevices({{"Tyros"}});
    midi_.OnSend = [this](const std::string&, const std::vector<unsigned char>& message) {
      if (!atSend_.empty()) return;
      atSend_ = Window();
      surfaceAtSend_ = Surface();
      firstByte_ = message.empty() ? 0 : message[0];
    };
    platform::UseMidiDouble(&midi_);
    Application->CreateForm(Orbiscope);
    Orbiscope->Show();
    Settle();
    const gdi::TPoint origin = Orbiscope->ClientOrigin();
    originX_ = origin.X;
    originY_ = origin.Y;
  }

  void TearDown() override {
    Application->DestroyComponents();
    Application->SetBackend(nullptr);
    Orbiscope = nullptr;
    platform::UseMidiDouble(nullptr);
    if (probe_) XCloseDisplay(probe_);
  }

  // Runs the message loop until `done` holds or two seconds have passed.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < deadline) {
      Application->ProcessMessages();
      if (done()) return true;
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }
  // Lets what the X server has for the program arrive and be handled.
  void Settle() {
    XSync(probe_, False);
    const auto until = std::chrono::steady_clock::now() + 300ms;
    PumpUntil([&] { return std::chrono::steady_clock::now() > until; });
  }

  // The button's rectangle as the X server shows it, 0x00RRGGBB.
  Pixels Window() const {
    XImage* image = XGetImage(probe_, DefaultRootWindow(probe_), originX_ + kLeft, originY_ + kTop, kWidth,
                              kHeight, AllPlanes, ZPixmap);
    Pixels out;
    if (!image) return out;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) out.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return out;
  }
  // The same rectangle of the form's surface, 0x00RRGGBB.
  static Pixels Surface() {
    Pixels out;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const gdi::COLORREF c = Orbiscope->SurfacePixel(kLeft + x, kTop + y);
        out.push_back((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
      }
    return out;
  }

  // Real input, through the X server.
  void MoveTo(int x, int y) {
    XTestFakeMotionEvent(probe_, -1, originX_ + x, originY_ + y, CurrentTime);
    XSync(probe_, False);
  }
  void Button(bool down) {
    XTestFakeButtonEvent(probe_, 1, down ? True : False, CurrentTime);
    XSync(probe_, False);
  }
  void Key(KeySym sym, bool down) {
    XTestFakeKeyEvent(probe_, XKeysymToKeycode(probe_, sym), down ? True : False, CurrentTime);
    XSync(probe_, False);
  }
  std::size_t Messages() const { return midi_.Sent("Tyros").size(); }

  static inline testsupport::XvfbServer xvfb_;
  static inline testsupport::XvfbProblem problem_;
  Display* probe_ = nullptr;
  platform::MidiDouble midi_;
  int originX_ = 0, originY_ = 0;
  Pixels atSend_, surfaceAtSend_;
  unsigned char firstByte_ = 0;
};

// The click's command runs inside the release: the released frame and the
// resting face are on the window by then, not only on the surface.
TEST_F(WindowOnScreen, AClickSendsWithTheRestingFaceOnTheWindow) {
  const Pixels rest = Window();
  ASSERT_EQ(rest.size(), static_cast<std::size_t>(kWidth * kHeight));
  MoveTo(kLeft + 40, kTop + 30);
  Button(true);
  Settle();
  const Pixels held = Window();
  ASSERT_GT(Differing(held, rest), 0u) << "the pressed look and the flash show while the button is held";
  Button(false);
  ASSERT_TRUE(PumpUntil([&] { return Messages() > 0; })) << "the click sent nothing";
  EXPECT_EQ(firstByte_, 0xF0);
  EXPECT_EQ(Differing(atSend_, surfaceAtSend_), 0u) << "the window lags behind the surface";
  EXPECT_EQ(Differing(atSend_, rest), 0u) << "face 0 and the raised frame are on the window";
}

// Enter makes its character inside its key-down: the flash shown by the
// key-down is on the window before the first byte leaves.
TEST_F(WindowOnScreen, EnterShowsTheFlashOnTheWindowBeforeTheFirstByte) {
  const Pixels rest = Window();
  MoveTo(kLeft + 40, kTop + 30);
  Settle();
  XSetInputFocus(probe_, PointerRoot, RevertToPointerRoot, CurrentTime);
  Key(XK_Return, true);
  ASSERT_TRUE(PumpUntil([&] { return Messages() > 0; })) << "Enter sent nothing";
  Key(XK_Return, false);
  Settle();
  EXPECT_EQ(Orbiscope->MMBitmapButton1->BitmapIndex(), 0);
  EXPECT_EQ(Differing(atSend_, surfaceAtSend_), 0u) << "the window lags behind the surface";
  EXPECT_GT(Differing(atSend_, rest), 0u) << "face 1 is on the window before the first byte is sent";
  EXPECT_EQ(Differing(Window(), rest), 0u) << "face 0 again after the release";
}

}  // namespace
}  // namespace apptest
