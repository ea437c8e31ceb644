// The MIDI systems of Linux: the ALSA sequencer, else JACK.

#include "platform/MidiServices.h"

namespace platform {

std::unique_ptr<MidiOutService> OpenMidiSystem(MidiSystem system) {
  switch (system) {
    case MidiSystem::AlsaSequencer: return OpenAlsaSequencer();
    case MidiSystem::Jack: return OpenJackServer();
    case MidiSystem::Multimedia: return nullptr;  // Windows only
    case MidiSystem::None: break;
  }
  return std::make_unique<NoMidiService>();
}

const std::vector<MidiSystem>& MidiSystemsToTry() {
  static const std::vector<MidiSystem> systems{MidiSystem::AlsaSequencer, MidiSystem::Jack};
  return systems;
}

}  // namespace platform
