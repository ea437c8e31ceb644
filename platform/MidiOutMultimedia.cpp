// The MIDI service of Windows: its multimedia system, mapper included.
#include <memory>
#include <string>

#include "platform/MidiServices.h"
#include "platform/MultimediaPorts.h"

namespace platform {

namespace {

class MultimediaService final : public MidiOutService {
 public:
  unsigned Count() override { return multimedia::DeviceCount(); }
  mm::MMRESULT Name(unsigned device, std::string& name) override {
    return multimedia::DeviceName(device, name);
  }
  mm::MMRESULT Open(unsigned device, std::uint64_t& port) override {
    return multimedia::OpenDevice(device, port);
  }
  mm::MMRESULT Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) override {
    return multimedia::SendLong(port, bytes, size);
  }
  mm::MMRESULT Close(std::uint64_t port) override { return multimedia::CloseDevice(port); }
  bool HasMapper() override { return true; }
};

}  // namespace

std::unique_ptr<MidiOutService> OpenMidiSystem(MidiSystem system) {
  switch (system) {
    case MidiSystem::Multimedia: return std::make_unique<MultimediaService>();
    case MidiSystem::AlsaSequencer:
    case MidiSystem::Jack: return nullptr;  // Linux only
    case MidiSystem::None: break;
  }
  return std::make_unique<NoMidiService>();
}

const std::vector<MidiSystem>& MidiSystemsToTry() {
  static const std::vector<MidiSystem> systems{MidiSystem::Multimedia};
  return systems;
}

}  // namespace platform
