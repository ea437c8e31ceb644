// What the classic MIDI functions need of each system's services.
#pragma once

#include <memory>
#include <vector>

#include "platform/MidiOut.h"

namespace platform {

// The systems to try, in order, for the default service.
const std::vector<MidiSystem>& MidiSystemsToTry();

// Linux: a service on the ALSA sequencer, or on a JACK server already
// running; null when that can't be reached now.
std::unique_ptr<MidiOutService> OpenAlsaSequencer();
std::unique_ptr<MidiOutService> OpenJackServer();

// A service with no devices: what MidiSystem::None opens.
class NoMidiService final : public MidiOutService {
 public:
  unsigned Count() override { return 0; }
  mm::MMRESULT Name(unsigned, std::string&) override { return mm::MMSYSERR_BADDEVICEID; }
  mm::MMRESULT Open(unsigned, std::uint64_t&) override { return mm::MMSYSERR_BADDEVICEID; }
  mm::MMRESULT Send(std::uint64_t, const unsigned char*, std::size_t) override {
    return mm::MMSYSERR_INVALHANDLE;
  }
  mm::MMRESULT Close(std::uint64_t) override { return mm::MMSYSERR_INVALHANDLE; }
};

}  // namespace platform
