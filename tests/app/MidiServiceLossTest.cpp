// The MIDI service goes away under the running window, between the fill
// and a command or in the middle of a send, and comes back for "Scan".
#include "tests/app/AppTestSupport.h"
#include "tests/support/ScriptedMidiSystems.h"

namespace apptest {
namespace {

using platform::MidiSystem;

TEST_F(WindowTest, AServiceLostAfterTheFillTakesACommandQuietlyAndScanShowsItEmpty) {
  SetDevices({{"tyros:input"}});
  TOrbiscope& w = Open();
  const std::vector<std::uint32_t> before = backend_->Windows().back()->pixels;
  midi_.Lose();
  Type("a");
  EXPECT_TRUE(midi_.Sent("tyros:input").empty());
  EXPECT_EQ(w.HeldPort(), nullptr);
  EXPECT_TRUE(backend_->MessageBoxes().empty());
  EXPECT_EQ(backend_->Windows().back()->pixels, before);
  w.Button1->Click();
  EXPECT_TRUE(Entries().empty());
}

TEST_F(WindowTest, AServiceLostDuringASendTakesTheRestQuietlyAndThePortIsLetGo) {
  SetDevices({{"tyros:input"}});
  TOrbiscope& w = Open();
  midi_.OnSend = [&](const std::string&, const Bytes&) { midi_.Lose(); };
  Type("a");
  EXPECT_EQ(midi_.Sent("tyros:input"), std::vector<Bytes>{Tyros2Sequence().front()});
  EXPECT_EQ(w.HeldPort(), nullptr);
  EXPECT_EQ(midi_.OpenCount("tyros:input"), 0);
  Type("b");
  EXPECT_EQ(midi_.Sent("tyros:input").size(), 1u);
  EXPECT_TRUE(backend_->MessageBoxes().empty());
}

// The window on the default service, over systems the test starts and stops.
class WindowOnSystems : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    platform::UseMidiService(&service_);
  }
  testsupport::ScriptedMidiSystems systems_;
  platform::SystemMidiService service_{{MidiSystem::AlsaSequencer, MidiSystem::Jack}, systems_.Opener()};
};

TEST_F(WindowOnSystems, ScanFindsAServerStartedLaterAndOneStartedAgain) {
  TOrbiscope& w = Open();  // no server yet
  EXPECT_TRUE(Entries().empty());
  systems_.Start(MidiSystem::Jack, {{"tyros:input"}});
  Type("a");  // not listed before "Scan": nothing selected, nothing sent
  w.Button1->Click();
  EXPECT_EQ(Entries(), std::vector<std::string>{"tyros:input"});
  Type("a");
  EXPECT_EQ(systems_.Last(MidiSystem::Jack).Sent("tyros:input"), Tyros2Sequence());

  systems_.Stop(MidiSystem::Jack);
  Type("b");
  w.Button1->Click();
  EXPECT_TRUE(Entries().empty());
  systems_.Start(MidiSystem::Jack, {{"tyros2:input"}});
  w.Button1->Click();
  EXPECT_EQ(Entries(), std::vector<std::string>{"tyros2:input"});
  Type("c");
  EXPECT_EQ(systems_.Last(MidiSystem::Jack).Sent("tyros2:input"), Tyros2Sequence());
  EXPECT_EQ(systems_.opens, 2);
}

}  // namespace
}  // namespace apptest
