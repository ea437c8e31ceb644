#pragma once
// The service the classic functions run on by default: the first MIDI
// system, in order, that answers. Counting its devices looks for one again
// while none answers or the one held has gone, so a sound server started,
// stopped or restarted under the running program is followed; nothing else
// changes which service is held. A port stays with the service that opened
// it, which lives on until the port is closed.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/MidiOut.h"

namespace platform {

class SystemMidiService final : public MidiOutService {
 public:
  // `open` gives a system's service, or null when that system can't be
  // reached now.
  using Opener = std::function<std::unique_ptr<MidiOutService>(MidiSystem)>;
  SystemMidiService(std::vector<MidiSystem> systems, Opener open);

  // The system of the service held now.
  MidiSystem System() const { return system_; }

  unsigned Count() override;
  mm::MMRESULT Name(unsigned device, std::string& name) override;
  mm::MMRESULT Open(unsigned device, std::uint64_t& port) override;
  mm::MMRESULT Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) override;
  mm::MMRESULT Close(std::uint64_t port) override;
  bool HasMapper() override;

 private:
  struct Port {
    std::shared_ptr<MidiOutService> service;
    std::uint64_t port;
  };

  // Lets go of the service held, then holds the first that answers.
  void Find();

  std::vector<MidiSystem> systems_;
  Opener open_;
  MidiSystem system_ = MidiSystem::None;
  std::shared_ptr<MidiOutService> held_;  // null while none answers
  std::map<std::uint64_t, Port> ports_;
  std::uint64_t nextPort_ = 1;
};

}  // namespace platform
