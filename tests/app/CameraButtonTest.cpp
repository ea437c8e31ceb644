// The camera button on the main window: which face shows when, what a
// click sends, the stored faces, and that nothing leaks under load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>

#include "app/Unit1.h"
#include "gdi/Gdi.h"
#include "tests/app/AppTestSupport.h"
#include "toolkit/Forms.h"

namespace apptest {
namespace {

using namespace toolkit;

constexpr int kLeft = 180, kTop = 142, kWidth = 87, kHeight = 65;
constexpr int kInX = kLeft + 40, kInY = kTop + 30;  // a point on the button

class CameraTest : public WindowTest {
 protected:
  TOrbiscope& OpenWith(std::vector<MidiDouble::Device> devices) {
    SetDevices(std::move(devices));
    TOrbiscope& w = Open();
    w.Update();
    return w;
  }
  int Face() const { return Orbiscope->MMBitmapButton1->BitmapIndex(); }
  // Both models' sequences hold the first Tyros message once.
  std::size_t Commands() const {
    const auto sent = midi_.Sent("Port A");
    return static_cast<std::size_t>(std::count(sent.begin(), sent.end(), kTyros1));
  }
  void RightClick(int x, int y) {
    Send(MouseEvent(platform::Event::Type::MouseDown, x, y, platform::MouseButton::Right));
    Send(MouseEvent(platform::Event::Type::MouseUp, x, y, platform::MouseButton::Right));
  }
  void MiddleClick(int x, int y) {
    Send(MouseEvent(platform::Event::Type::MouseDown, x, y, platform::MouseButton::Middle));
    Send(MouseEvent(platform::Event::Type::MouseUp, x, y, platform::MouseButton::Middle));
  }
  // A pixel of face `index` as stored, at (x, y) of the face.
  gdi::COLORREF FacePixel(int index, int x, int y) {
    return static_cast<gdi::COLORREF>(Orbiscope->MMBitmapList1->Get(index)->Canvas()->Pixel(x, y));
  }
};

TEST_F(CameraTest, TheListHoldsTwoFacesAndWritesThemBackByteForByte) {
  TOrbiscope& w = OpenWith({{"Port A"}});
  ASSERT_EQ(w.MMBitmapList1->Count(), 2);
  EXPECT_EQ(w.MMBitmapList1->DesignTop(), 127);
  for (int i = 0; i < 2; ++i) {
    TBitmap* face = w.MMBitmapList1->Get(i);
    EXPECT_EQ(face->Width(), kWidth);
    EXPECT_EQ(face->Height(), kHeight);
  }
  // The stored "ListItems" bytes, found in the window's description: the
  // raw-byte value 0x0A, its length, then "MBML".
  const std::vector<std::uint8_t>& form = *FindFormResource("TOrbiscope");
  const std::uint8_t head[] = {0x0A, 0x34, 0xB1, 0x00, 0x00, 'M', 'B', 'M', 'L'};  // 45364
  const auto at = std::search(form.begin(), form.end(), std::begin(head), std::end(head));
  ASSERT_NE(at, form.end());
  const std::vector<std::uint8_t> stored(at + 5, at + 5 + 45364);
  TMemoryStream written;
  w.MMBitmapList1->SaveToStream(written);
  EXPECT_EQ(written.Bytes(), stored);
}

TEST_F(CameraTest, AClickShowsTheFlashWhilePressedAndSendsOnceWithTheRestingFaceShown) {
  TOrbiscope& w = OpenWith({{"Port A"}});
  int faceAtClick = -1;
  const TNotifyEvent send = w.MMBitmapButton1->OnClick;
  w.MMBitmapButton1->OnClick = TNotifyEvent([&](TObject* sender) {
    faceAtClick = Face();
    send(sender);
  });
  Press(kInX, kInY);
  EXPECT_EQ(Face(), 1);
  EXPECT_EQ(Commands(), 0u);
  Release(kInX, kInY);
  EXPECT_EQ(Face(), 0);
  EXPECT_EQ(faceAtClick, 0);
  EXPECT_EQ(midi_.Sent("Port A"), Tyros2Sequence());
}

TEST_F(CameraTest, ClicksThatSendNothing) {
  OpenWith({{"Port A"}});
  Press(kInX, kInY);
  Move(20, 20);
  Release(20, 20);
  EXPECT_EQ(Face(), 0);
  RightClick(kInX, kInY);
  EXPECT_EQ(Face(), 0);
  MiddleClick(kInX, kInY);
  EXPECT_EQ(Face(), 0);
  EXPECT_EQ(Commands(), 0u);
}

TEST_F(CameraTest, ADoubleClickSendsTwice) {
  OpenWith({{"Port A"}});
  Press(kInX, kInY);
  Release(kInX, kInY);
  Press(kInX, kInY, 2);
  EXPECT_EQ(Face(), 1);
  Release(kInX, kInY);
  EXPECT_EQ(Commands(), 2u);
}

TEST_F(CameraTest, KeysSwitchTheFaceAndOnlyCharactersSend) {
  OpenWith({{"Port A"}});
  for (unsigned key : {unsigned{VK_LEFT}, unsigned{VK_SHIFT}}) {
    KeyDown(key);
    EXPECT_EQ(Face(), 1);
    KeyUp(key);
    EXPECT_EQ(Face(), 0);
  }
  EXPECT_EQ(Commands(), 0u);

  KeyDown('K');
  Type("k");
  for (int i = 0; i < 3; ++i) {
    KeyDown('K', 0, true);
    Type("k");
    EXPECT_EQ(Face(), 1);
  }
  KeyUp('K');
  EXPECT_EQ(Face(), 0);
  EXPECT_EQ(Commands(), 4u);
}

TEST_F(CameraTest, AKeyReleasedWhileTheMouseIsHeldShowsTheRestingFace) {
  OpenWith({{"Port A"}});
  Press(kInX, kInY);
  KeyDown(VK_LEFT);
  KeyUp(VK_LEFT);
  EXPECT_EQ(Face(), 0);
  Release(kInX, kInY);
  EXPECT_EQ(Face(), 0);
}

TEST_F(CameraTest, FramesAndFacesOnTheSurface) {
  TOrbiscope& w = OpenWith({{"Port A"}});
  constexpr gdi::COLORREF kBtnFace = 0xC8D0D4, kDkShadow = 0x404040;
  EXPECT_EQ(w.SurfacePixel(kLeft, kTop), kBtnFace);
  EXPECT_EQ(w.SurfacePixel(kLeft + kWidth - 1, kTop + kHeight - 1), kDkShadow);
  // The lens centre, never the transparent ground.
  const int lx = 43, ly = 36;
  ASSERT_NE(FacePixel(0, lx, ly), FacePixel(0, 0, kHeight - 1));
  EXPECT_EQ(w.SurfacePixel(kLeft + lx, kTop + ly), FacePixel(0, lx, ly)) << "the resting face at (0, 0)";

  Press(kInX, kInY);
  EXPECT_EQ(w.SurfacePixel(kLeft, kTop), kDkShadow) << "sunken";
  EXPECT_EQ(w.SurfacePixel(kLeft + kWidth - 1, kTop + kHeight - 1), kBtnFace);
  EXPECT_EQ(w.SurfacePixel(kLeft + lx + 1, kTop + ly + 1), FacePixel(1, lx, ly))
      << "the flashing face, one pixel down and right";
  Release(kInX, kInY);

  KeyDown('A');
  EXPECT_EQ(w.SurfacePixel(kLeft + lx, kTop + ly), FacePixel(1, lx, ly))
      << "a key shows the flash, not pressed";
  EXPECT_EQ(w.SurfacePixel(kLeft, kTop), kBtnFace);
  KeyUp('A');
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

TEST_F(CameraTest, NothingLeaksUnderLoad) {
  OpenWith({{"Port A"}});
  // Warm up: the first switches and command make what is kept for later.
  KeyDown(VK_LEFT);
  KeyUp(VK_LEFT);
  Type("a");
  const std::size_t objects = gdi::GdiLiveObjectCount();
  const long before = ResidentKiB();
  for (int i = 0; i < 5000; ++i) {
    KeyDown(VK_SHIFT);
    KeyUp(VK_SHIFT);
  }
  for (int i = 0; i < 2000; ++i) Type("a");
  const long after = ResidentKiB();
  std::printf("10000 face switches, 2000 commands: gdi objects %zu -> %zu, resident memory %ld -> %ld KiB\n",
              objects, gdi::GdiLiveObjectCount(), before, after);
  EXPECT_EQ(gdi::GdiLiveObjectCount(), objects);
  EXPECT_EQ(midi_.OpenCount("Port A"), 0);
  EXPECT_EQ(Commands(), 2001u);
#if !defined(__SANITIZE_ADDRESS__)
  // The address sanitizer keeps freed memory in quarantine: flat only without it.
  EXPECT_LT(after - before, 8 * 1024) << "memory stays flat";
#endif
}

}  // namespace
}  // namespace apptest
