#include "midi/OutputPorts.h"

#include <cstring>

namespace midi {

using namespace platform::mm;

std::vector<OutputPort> ReadOutputPorts(UINT& count, MIDIOUTCAPSA& caps) {
  count = midiOutGetNumDevs();
  std::vector<OutputPort> ports;
  for (UINT i = 0; i < count; ++i) {
    if (midiOutGetDevCapsA(i, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
    // The name is meant to end in a zero; a driver that fills all 32 bytes
    // still gives at most 31 characters here.
    ports.push_back({std::string(caps.szPname, strnlen(caps.szPname, MAXPNAMELEN - 1)), i});
  }
  return ports;
}

}  // namespace midi
