// The port list's reading of the devices: one entry per readable device, in
// device order, each with its own device number.
#include "midi/OutputPorts.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/midi/MidiTestSupport.h"

namespace midi {
namespace {

using namespace platform::mm;

using Entries = std::vector<std::pair<std::string, UINT>>;

// ReadOutputPorts' entries, and the device count it reports in `count`.
Entries Read(UINT& count) {
  MIDIOUTCAPSA caps{};
  Entries entries;
  for (const OutputPort& port : ReadOutputPorts(count, caps)) entries.emplace_back(port.name, port.device);
  return entries;
}

using OutputPorts = OnMidiDouble;

TEST_F(OutputPorts, EveryDeviceIsAnEntryInDeviceOrder) {
  midi_.SetDevices({{"Port A"}, {"Port B"}, {"Port C"}});
  UINT count = 0;
  EXPECT_EQ(Read(count), (Entries{{"Port A", 0}, {"Port B", 1}, {"Port C", 2}}));
  EXPECT_EQ(count, 3u);
}

TEST_F(OutputPorts, AnUnreadableDeviceIsLeftOutAndLaterEntriesKeepTheirNumbers) {
  midi_.SetDevices({{"Port A"}, {"Port B", MMSYSERR_NODRIVER}, {"Port C"}, {"Port D", MMSYSERR_ERROR}});
  UINT count = 0;
  EXPECT_EQ(Read(count), (Entries{{"Port A", 0}, {"Port C", 2}}));
  EXPECT_EQ(count, 4u);
}

TEST_F(OutputPorts, NoDevicesGiveNoEntries) {
  UINT count = 7;
  EXPECT_TRUE(Read(count).empty());
  EXPECT_EQ(count, 0u);
}

TEST_F(OutputPorts, EqualNamesStayTwoEntries) {
  midi_.SetDevices({{"Same"}, {"Same"}});
  UINT count = 0;
  EXPECT_EQ(Read(count), (Entries{{"Same", 0}, {"Same", 1}}));
}

}  // namespace
}  // namespace midi
