// Start-up as the program runs it: the window from its description, both
// failure paths, and the exit status.
#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "app/Program.h"
#include "toolkit/Streaming.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/XvfbServer.h"

namespace apptest {
namespace {

using namespace toolkit;

TEST_F(WindowTest, TheWindowIsBuiltFromItsDescription) {
  TOrbiscope& w = Open();
  EXPECT_EQ(w.Caption(), "Lumivant");
  EXPECT_EQ(w.ClientWidth(), 300);
  EXPECT_EQ(w.ClientHeight(), 300);
  EXPECT_EQ(w.BorderStyle(), bsDialog);
  EXPECT_EQ(w.Position(), poDesktopCenter);
  EXPECT_TRUE(w.KeyPreview());
  EXPECT_EQ(w.Color(), clBtnFace);
  EXPECT_EQ(w.Font()->Height(), -11);
  EXPECT_EQ(w.Font()->Name(), "MS Sans Serif");
  ASSERT_EQ(w.Icon()->Images().size(), 1u);
  EXPECT_EQ(w.Icon()->Images()[0].width, 16);

  auto* picture = dynamic_cast<TBitmap*>(w.Hintergrund->Picture()->Graphic());
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 300);
  EXPECT_EQ(picture->Height(), 300);
  EXPECT_EQ(picture->PixelFormat(), pf24bit);
  EXPECT_EQ(w.Hintergrund->BoundsRect(), (gdi::TRect{0, 0, 301, 301}));
  auto* scr = dynamic_cast<TBitmap*>(w.SCR->Picture()->Graphic());
  ASSERT_NE(scr, nullptr);
  EXPECT_EQ(scr->Width(), 120);
  EXPECT_EQ(scr->Height(), 25);

  struct Expected {
    TLabel* label;
    int left, top;
    const char* caption;
    int height;
  };
  for (const Expected& e :
       {Expected{w.Label3, 54, 154, "USB/CARD", -11}, Expected{w.Label2, 56, 198, "FLOPPY", -11},
        Expected{w.Label5, 12, 280, "V.1.03", -11}, Expected{w.Label1, 54, 134, "Tyros 2", -16},
        Expected{w.Label4, 54, 176, "Tyros", -16}}) {
    EXPECT_EQ(e.label->Left(), e.left) << e.caption;
    EXPECT_EQ(e.label->Top(), e.top) << e.caption;
    EXPECT_EQ(e.label->Caption(), e.caption);
    EXPECT_EQ(e.label->Font()->Height(), e.height) << e.caption;
    EXPECT_EQ(e.label->Font()->Color(), clWhite) << e.caption;
    EXPECT_TRUE(e.label->Transparent()) << e.caption;
    EXPECT_TRUE(e.label->Visible()) << e.caption;
  }
  EXPECT_FALSE(w.Shoot->Visible());
  EXPECT_FALSE(w.SCR->Visible());
  EXPECT_EQ(w.Shoot->Font()->Color(), 0x067767);  // set by FormCreate over the stored yellow
  EXPECT_FALSE(w.RB1->Checked());
  EXPECT_TRUE(w.RB2->Checked());
  EXPECT_EQ(w.RB1->Color(), clBlack);
  EXPECT_EQ(w.RB1->TabOrder(), 0);
  EXPECT_EQ(w.RB2->TabOrder(), 1);
  EXPECT_EQ(w.MidiOutputs->TabOrder(), 2);
  EXPECT_EQ(w.Button1->TabOrder(), 3);
  EXPECT_EQ(w.Button1->Caption(), "Scan");
  EXPECT_EQ(w.MidiOutputs->BoundsRect(), (gdi::TRect{42, 72, 209, 93}));
  EXPECT_EQ(w.Button1->BoundsRect(), (gdi::TRect{216, 72, 257, 93}));
}

TEST_F(WindowTest, TheLabelsAreWhiteLettersOnTheDarkPicture) {
  Open();
  const auto& shown = *backend_->Windows().back();
  ASSERT_EQ(shown.width, 300);
  // Inside each label's box some pixels are white (its letters) and the
  // rest is the dark picture.
  for (const gdi::TRect& box :
       {gdi::TRect{54, 154, 111, 167}, gdi::TRect{56, 198, 97, 211}, gdi::TRect{12, 280, 43, 293},
        gdi::TRect{54, 134, 105, 154}, gdi::TRect{54, 176, 92, 196}}) {
    int white = 0, dark = 0;
    for (int y = box.Top; y < box.Bottom; ++y)
      for (int x = box.Left; x < box.Right; ++x) {
        const std::uint32_t p = shown.pixels[static_cast<std::size_t>(y) * 300 + x] & 0xFFFFFF;
        white += p == 0xFFFFFF;
        const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        dark += r + g + b < 3 * 64;
      }
    EXPECT_GT(white, 10) << box.Left << "," << box.Top;
    EXPECT_GT(dark, white) << box.Left << "," << box.Top;
  }
}

// Runs the program to its end on the headless backend with the events
// given; returns its exit status.
class ProgramTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    UnregisterFormResource("TOrbiscope");
  }
  int Run(const std::vector<platform::Event>& events) {
    for (const auto& e : events) backend_->Inject(e);
    return RunProgram();
  }
  static platform::Event CloseEvent() {
    platform::Event e;
    e.type = platform::Event::Type::Close;
    return e;
  }
};

TEST_F(ProgramTest, ANormalCloseReturnsZero) {
  RegisterResources();
  SetDevices({{"Port A"}});
  platform::Event key;
  key.type = platform::Event::Type::Text;
  key.text = "s";
  EXPECT_EQ(Run({key, CloseEvent()}), 0);
  EXPECT_EQ(Application->Title(), "Lumivant");
  EXPECT_EQ(midi_.Sent("Port A"), Tyros2Sequence());
  EXPECT_TRUE(backend_->MessageBoxes().empty());
  ASSERT_EQ(backend_->Windows().size(), 1u);
  EXPECT_EQ(backend_->Windows()[0]->title, "Lumivant");
}

TEST_F(ProgramTest, AMissingDescriptionIsShownAndEndsWithStatusOne) {
  EXPECT_EQ(Run({CloseEvent()}), 1);
  ASSERT_EQ(backend_->MessageBoxes().size(), 1u);
  const auto& box = backend_->MessageBoxes()[0];
  EXPECT_EQ(box.title, "Lumivant");
  EXPECT_EQ(box.text, "Resource TORBISCOPE not found.");
  EXPECT_EQ(box.icon, platform::MessageBoxIcon::Error);
  EXPECT_TRUE(backend_->Windows().empty());
}

TEST_F(ProgramTest, AWindowThatCannotBeMadeIsShownAndEndsWithStatusOne) {
  RegisterResources();
  backend_->RefuseWindows("cannot open a window: out of memory");
  EXPECT_EQ(Run({}), 1);
  ASSERT_EQ(backend_->MessageBoxes().size(), 1u);
  const auto& box = backend_->MessageBoxes()[0];
  EXPECT_EQ(box.title, "Lumivant");
  EXPECT_EQ(box.text, "cannot open a window: out of memory.");
  EXPECT_EQ(box.icon, platform::MessageBoxIcon::Error);
  EXPECT_TRUE(backend_->Windows().empty());
}

// Without a display there is no window to show the message in: it goes to
// the terminal, as one line.
TEST_F(ProgramTest, NoDisplayIsSaidOnTheTerminalAndEndsWithStatusOne) {
  testsupport::SavedEnvironment saved{"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("SDL_VIDEODRIVER");
  Application->SetBackend(nullptr);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Run({}), 1);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said.rfind("Lumivant: no display", 0), 0u) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST_F(ProgramTest, ABrokenDescriptionIsShownAndEndsWithStatusOne) {
  const std::vector<std::uint8_t> text = {'L', 'V', 'F', '1', 10, 'T', 'O', 'r', 'b'};  // cut short
  RegisterFormResource("TOrbiscope", text.data(), text.size());
  EXPECT_EQ(Run({CloseEvent()}), 1);
  ASSERT_EQ(backend_->MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_->MessageBoxes()[0].title, "Lumivant");
  EXPECT_FALSE(backend_->MessageBoxes()[0].text.empty());
  EXPECT_TRUE(backend_->Windows().empty());
}

TEST_F(ProgramTest, ADescriptionWithoutAControlNamesIt) {
  const std::string form = R"(object Orbiscope: TOrbiscope
  ClientHeight = 300
  ClientWidth = 300
end
)";
  TMemoryStream text, binary;
  text.WriteBuffer(form.data(), static_cast<std::int64_t>(form.size()));
  text.SetPosition(0);
  ObjectTextToBinary(text, binary);
  RegisterFormResource("TOrbiscope", binary.Memory(), static_cast<std::size_t>(binary.Size()));
  EXPECT_EQ(Run({CloseEvent()}), 1);
  ASSERT_EQ(backend_->MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_->MessageBoxes()[0].text, "The window description has no Hintergrund of class TImage.");
}

// A MIDI system that fails while the list is filled: FormCreate fails.
class FailingService final : public platform::MidiOutService {
 public:
  unsigned Count() override { throw toolkit::EOutOfResources("Out of system resources"); }
  platform::mm::MMRESULT Name(unsigned, std::string&) override { return platform::mm::MMSYSERR_BADDEVICEID; }
  platform::mm::MMRESULT Open(unsigned, std::uint64_t&) override {
    return platform::mm::MMSYSERR_BADDEVICEID;
  }
  platform::mm::MMRESULT Send(std::uint64_t, const unsigned char*, std::size_t) override {
    return platform::mm::MMSYSERR_INVALHANDLE;
  }
  platform::mm::MMRESULT Close(std::uint64_t) override { return platform::mm::MMSYSERR_INVALHANDLE; }
};

TEST_F(ProgramTest, AFailureInsideFormCreateIsShownAndTheWindowStillOpens) {
  RegisterResources();
  FailingService failing;
  platform::UseMidiService(&failing);
  const int status = Run({CloseEvent()});
  platform::UseMidiService(nullptr);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(backend_->MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_->MessageBoxes()[0].title, "Lumivant");
  EXPECT_EQ(backend_->MessageBoxes()[0].text, "Out of system resources.");
  ASSERT_EQ(backend_->Windows().size(), 1u);
  // What the handler did before the failure stands.
  EXPECT_EQ(backend_->Windows()[0]->title, "Lumivant");
}

}  // namespace
}  // namespace apptest
