// The port list: filled at creation and on "Scan", one entry per readable
// device, and each entry opens the device it names.
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace platform::mm;

TEST_F(WindowTest, ThreeDevicesAreListedInOrderWithTheFirstSelected) {
  SetDevices({{"Port A"}, {"Port B"}, {"Port C"}});
  TOrbiscope& w = Open();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Port A", "Port B", "Port C"}));
  EXPECT_EQ(w.MidiOutputs->ItemIndex(), 0);
  EXPECT_EQ(w.MidiOutputs->Text(), "Port A");
}

TEST_F(WindowTest, NoDevicesLeaveTheListAndTheEditFieldEmpty) {
  TOrbiscope& w = Open();
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(w.MidiOutputs->ItemIndex(), -1);
  EXPECT_EQ(w.MidiOutputs->Text(), "");  // not the stored "MidiOutputs"
  EXPECT_TRUE(backend_->MessageBoxes().empty());
}

TEST_F(WindowTest, AnUnreadableDeviceIsLeftOutAndLaterEntriesOpenTheirOwnDevice) {
  SetDevices({{"Port A"}, {"Port B", MMSYSERR_NODRIVER}, {"Port C"}});
  TOrbiscope& w = Open();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Port A", "Port C"}));
  EXPECT_EQ(w.OutputDevices(), (std::vector<UINT>{0, 2}));
  w.MidiOutputs->SetItemIndex(1);
  Type("x");
  EXPECT_EQ(midi_.Sent("Port C"), Tyros2Sequence());
  EXPECT_TRUE(midi_.Sent("Port B").empty());
}

TEST_F(WindowTest, EqualNamesStayTwoEntries) {
  SetDevices({{"Same"}, {"Same"}});
  Open();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Same", "Same"}));
}

TEST_F(WindowTest, ScanRebuildsTheListAndSelectsTheFirstEntryAgain) {
  SetDevices({{"Port A"}, {"Port B"}, {"Port C"}});
  TOrbiscope& w = Open();
  w.MidiOutputs->SetItemIndex(2);
  SetDevices({{"Port D"}, {"Port A"}});
  w.Button1->Click();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Port D", "Port A"}));
  EXPECT_EQ(w.MidiOutputs->ItemIndex(), 0);
  EXPECT_EQ(w.MidiOutputs->Text(), "Port D");
  // A click of the real button does the same.
  SetDevices({{"Port E"}});
  Press(216 + 20, 72 + 10);
  Release(216 + 20, 72 + 10);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Port E"}));
}

TEST_F(WindowTest, ANameOfThirtyOneCharactersIsShownWhole) {
  const std::string name31 = "A port name of 31 characters...";
  ASSERT_EQ(name31.size(), 31u);
  SetDevices({{name31}, {name31 + "and more"}});
  TOrbiscope& w = Open();
  EXPECT_EQ(Entries(), (std::vector<std::string>{name31, name31}));
  EXPECT_EQ(w.MidiOutputs->Text(), name31);
}

TEST_F(WindowTest, NamesAreListedInTheWindowsCodePageAndCutAt31Characters) {
  // The services name their ports in UTF-8: é, the en dash, ж.
  const std::string mixed = "Tyros \xE2\x80\x93 caf\xC3\xA9 \xD0\xB6 " + std::string(20, 'x');
  const struct {
    std::string name, shown;
  } cases[] = {
      {"Caf\xC3\xA9", "Caf\xE9"},
      {"Tyros \xE2\x80\x93 USB", "Tyros \x96 USB"},
      {"\xD0\xB6-Synth", "?-Synth"},
      {mixed, "Tyros \x96 caf\xE9 ? " + std::string(16, 'x')},
  };
  std::vector<MidiDouble::Device> devices;
  std::vector<std::string> shown;
  for (const auto& c : cases) {
    devices.push_back({c.name});
    shown.push_back(c.shown);
  }
  SetDevices(devices);
  TOrbiscope& w = Open();
  EXPECT_EQ(Entries(), shown);
  EXPECT_EQ(w.MidiOutputs->Text(), "Caf\xE9");
}

}  // namespace
}  // namespace apptest
