// The MIDI output devices as the port list shows them.
#pragma once

#include <string>
#include <vector>

#include "midi/MidiTypes.h"

namespace midi {

// One entry of the port list: the device's name and its number.
struct OutputPort {
  std::string name;
  UINT device;
};

// Sets `count` to the number of devices the system reports and returns one
// entry per device whose capabilities could be read into `caps`, in device
// order. Unreadable devices are left out silently; each entry keeps its own
// device number, so later entries still open the device they name.
std::vector<OutputPort> ReadOutputPorts(UINT& count, MIDIOUTCAPSA& caps);

}  // namespace midi
