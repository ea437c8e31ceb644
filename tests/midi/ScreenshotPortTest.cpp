// The steps of one command on a port: opening, sending the sequence and
// closing, and what each does when the MIDI service refuses.
#include "midi/ScreenshotPort.h"

#include <gtest/gtest.h>

#include "midi/MessageTable.h"
#include "tests/midi/MidiTestSupport.h"
#include "tests/support/TyrosMessages.h"

namespace midi {
namespace {

using namespace platform::mm;
using testsupport::Tyros2Sequence;
using testsupport::TyrosSequence;

using ScreenshotPort = OnMidiDouble;

TEST_F(ScreenshotPort, AnOpenedPortIsHeldUntilReleased) {
  midi_.SetDevices({{"Port A"}, {"Port B"}});
  HMIDIOUT port = nullptr;
  ASSERT_TRUE(OpenPort(port, 1));
  EXPECT_NE(port, nullptr);
  EXPECT_EQ(midi_.OpenCount("Port B"), 1);
  EXPECT_EQ(midi_.OpenCount("Port A"), 0);
  EXPECT_TRUE(ReleasePort(port));
  EXPECT_EQ(port, nullptr);
  EXPECT_EQ(midi_.OpenCount("Port B"), 0);
}

TEST_F(ScreenshotPort, ARefusedOpenHoldsNothing) {
  midi_.SetDevices({{"Busy", MMSYSERR_NOERROR, MMSYSERR_ALLOCATED}});
  HMIDIOUT port = nullptr;
  EXPECT_FALSE(OpenPort(port, 0));
  EXPECT_EQ(port, nullptr);
  EXPECT_EQ(midi_.OpenCount("Busy"), 0);
}

TEST_F(ScreenshotPort, ReleasingWhenNothingIsHeldSucceeds) {
  HMIDIOUT port = nullptr;
  EXPECT_TRUE(ReleasePort(port));
  EXPECT_EQ(port, nullptr);
}

TEST_F(ScreenshotPort, ARefusedCloseKeepsThePortHeld) {
  midi_.SetDevices({{"Sticky", MMSYSERR_NOERROR, MMSYSERR_NOERROR, MIDIERR_STILLPLAYING}});
  HMIDIOUT port = nullptr;
  ASSERT_TRUE(OpenPort(port, 0));
  const HMIDIOUT held = port;
  EXPECT_FALSE(ReleasePort(port));
  EXPECT_EQ(port, held);
  EXPECT_EQ(midi_.OpenCount("Sticky"), 1);
  midi_.At(0).closeResult = MMSYSERR_NOERROR;
  EXPECT_TRUE(ReleasePort(port));
  EXPECT_EQ(midi_.OpenCount("Sticky"), 0);
}

TEST_F(ScreenshotPort, EachModelsSequenceGoesOutInOrderAndThePortIsClosed) {
  midi_.SetDevices({{"Tyros"}, {"Tyros 2"}});
  MIDIHDR header{};
  for (const auto& [device, selector] : {std::pair{0u, kTyros}, std::pair{1u, kTyros2}}) {
    HMIDIOUT port = nullptr;
    ASSERT_TRUE(OpenPort(port, device));
    SendSequence(port, header, selector);
    EXPECT_EQ(port, nullptr);
  }
  EXPECT_EQ(midi_.Sent("Tyros"), TyrosSequence());
  EXPECT_EQ(midi_.Sent("Tyros 2"), Tyros2Sequence());
  EXPECT_EQ(midi_.OpenCount("Tyros"), 0);
  EXPECT_EQ(midi_.OpenCount("Tyros 2"), 0);
}

TEST_F(ScreenshotPort, WhenTheCloseIsRefusedEveryMessageIsStillSentAndThePortStaysHeld) {
  midi_.SetDevices({{"Sticky", MMSYSERR_NOERROR, MMSYSERR_NOERROR, MIDIERR_STILLPLAYING}});
  HMIDIOUT port = nullptr;
  ASSERT_TRUE(OpenPort(port, 0));
  MIDIHDR header{};
  SendSequence(port, header, kTyros2);
  EXPECT_EQ(midi_.Sent("Sticky"), Tyros2Sequence());
  EXPECT_NE(port, nullptr);
  EXPECT_EQ(midi_.OpenCount("Sticky"), 1);
  midi_.At(0).closeResult = MMSYSERR_NOERROR;
  EXPECT_TRUE(ReleasePort(port));
}

// Each way a command can fail, with what went out and whether the port
// was closed all the same.
const struct {
  platform::MidiDouble::Device device;
  bool delivered;
  std::size_t sent;
  bool closed;
} kOutcomes[] = {
    {{"Fine"}, true, 3, true},
    {{"Failing", MMSYSERR_NOERROR, MMSYSERR_NOERROR, MMSYSERR_NOERROR, MMSYSERR_ERROR}, false, 0, true},
    {{"Sticky", MMSYSERR_NOERROR, MMSYSERR_NOERROR, MIDIERR_STILLPLAYING}, false, 3, false},
};

TEST_F(ScreenshotPort, SendSequenceSaysWhetherEveryMessageWentAndThePortClosed) {
  for (const auto& c : kOutcomes) {
    midi_.SetDevices({c.device});
    HMIDIOUT port = nullptr;
    ASSERT_TRUE(OpenPort(port, 0));
    MIDIHDR header{};
    EXPECT_EQ(SendSequence(port, header, kTyros2), c.delivered) << c.device.name;
    EXPECT_EQ(midi_.Sent(c.device.name).size(), c.sent) << c.device.name;
    EXPECT_EQ(port == nullptr, c.closed) << c.device.name;
  }
}

}  // namespace
}  // namespace midi
