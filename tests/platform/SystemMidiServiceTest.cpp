// The default MIDI service follows the systems as they come and go.
#include "platform/SystemMidiService.h"

#include <gtest/gtest.h>

#include "tests/support/ScriptedMidiSystems.h"

namespace platform {
namespace {

using namespace mm;
using testsupport::ScriptedMidiSystems;

class SystemMidiServiceTest : public ::testing::Test {
 protected:
  ScriptedMidiSystems systems_;
  SystemMidiService service_{{MidiSystem::AlsaSequencer, MidiSystem::Jack}, systems_.Opener()};
};

TEST_F(SystemMidiServiceTest, EachCountLooksAgainOnlyWhileNoneAnswersOrTheOneHeldHasGone) {
  EXPECT_EQ(service_.Count(), 0u);
  EXPECT_EQ(service_.System(), MidiSystem::None);

  systems_.Start(MidiSystem::Jack, {{"tyros:input"}});
  EXPECT_EQ(service_.Count(), 1u);  // a server started after the program
  EXPECT_EQ(service_.System(), MidiSystem::Jack);

  systems_.Start(MidiSystem::AlsaSequencer, {{"a"}, {"b"}});
  EXPECT_EQ(service_.Count(), 1u);  // the one held lives: kept
  EXPECT_EQ(systems_.opens, 1);

  systems_.Stop(MidiSystem::Jack);
  EXPECT_EQ(service_.Count(), 2u);  // looked again, in order
  EXPECT_EQ(service_.System(), MidiSystem::AlsaSequencer);

  systems_.Stop(MidiSystem::AlsaSequencer);
  EXPECT_EQ(service_.Count(), 0u);
  EXPECT_EQ(service_.System(), MidiSystem::None);
}

TEST_F(SystemMidiServiceTest, AServiceThatWentIsLetGoBeforeTheNextOpens) {
  systems_.Start(MidiSystem::Jack, {{"tyros:input"}});
  ASSERT_EQ(service_.Count(), 1u);
  systems_.Stop(MidiSystem::Jack);
  systems_.Start(MidiSystem::Jack, {{"tyros2:input"}});
  EXPECT_EQ(service_.Count(), 1u);
  EXPECT_EQ(systems_.opens, 2);
  EXPECT_EQ(systems_.aliveAtLastOpen, 0);
  EXPECT_EQ(systems_.Alive(), 1);
}

TEST_F(SystemMidiServiceTest, OnlyACountChangesTheServiceSoDeviceNumbersStayWithIt) {
  ASSERT_EQ(service_.Count(), 0u);
  systems_.Start(MidiSystem::Jack, {{"tyros:input"}});
  std::uint64_t port = 0;
  std::string name;
  EXPECT_EQ(service_.Name(0, name), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(service_.Open(0, port), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(systems_.opens, 0);
  ASSERT_EQ(service_.Count(), 1u);
  EXPECT_EQ(service_.Open(0, port), MMSYSERR_NOERROR);
}

TEST_F(SystemMidiServiceTest, APortOpenedBeforeItsServiceWentSendsNothingAndClosesAtOnce) {
  systems_.Start(MidiSystem::Jack, {{"tyros:input"}});
  ASSERT_EQ(service_.Count(), 1u);
  std::uint64_t port = 0;
  ASSERT_EQ(service_.Open(0, port), MMSYSERR_NOERROR);
  systems_.Stop(MidiSystem::Jack);
  systems_.Start(MidiSystem::Jack, {{"tyros:input"}});
  ASSERT_EQ(service_.Count(), 1u);  // the server again, under the same name

  const unsigned char message[] = {0xF0, 0x7E, 0xF7};
  EXPECT_EQ(service_.Send(port, message, sizeof message), MMSYSERR_NODRIVER);
  EXPECT_TRUE(systems_.Last(MidiSystem::Jack).Sent("tyros:input").empty());
  EXPECT_EQ(systems_.Alive(), 2);  // the old one stays while its port is open
  EXPECT_EQ(service_.Close(port), MMSYSERR_NOERROR);
  EXPECT_EQ(systems_.Alive(), 1);
  EXPECT_EQ(service_.Close(port), MMSYSERR_INVALHANDLE);

  // The new server's port takes what is sent now.
  ASSERT_EQ(service_.Open(0, port), MMSYSERR_NOERROR);
  EXPECT_EQ(service_.Send(port, message, sizeof message), MMSYSERR_NOERROR);
  EXPECT_EQ(service_.Close(port), MMSYSERR_NOERROR);
  EXPECT_EQ(systems_.Last(MidiSystem::Jack).Sent("tyros:input").size(), 1u);
}

}  // namespace
}  // namespace platform
