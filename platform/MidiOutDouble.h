#pragma once
// A scripted stand-in for the MIDI output service, for unit tests: devices
// to list, ones that fail, and a record of every message each was sent.

#include "platform/MidiOut.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class MidiDouble : public MidiOutService {
 public:
  struct Device {
    std::string name;
    mm::MMRESULT capsResult = mm::MMSYSERR_NOERROR;   // else midiOutGetDevCapsA fails so
    mm::MMRESULT openResult = mm::MMSYSERR_NOERROR;   // else midiOutOpen is refused so
    mm::MMRESULT closeResult = mm::MMSYSERR_NOERROR;  // else midiOutClose is refused so
    mm::MMRESULT sendResult = mm::MMSYSERR_NOERROR;   // else midiOutLongMsg fails so, sending nothing
  };

  // Replaces the listing; what devices were sent is kept, by name.
  void SetDevices(std::vector<Device> devices);
  // Scripts the device listed at `index` now.
  Device& At(unsigned index);

  // Every message sent to the device of that name, in order.
  std::vector<std::vector<unsigned char>> Sent(const std::string& name) const;
  // Connections to the device of that name not yet closed.
  int OpenCount(const std::string& name) const;

  // The system behind the double goes, as a sound server that stops: from
  // now on it lists and opens nothing, sends nothing, and closes each port
  // it had at once. What was sent stays on record.
  void Lose();

  // Called with each message as it is sent, before it is recorded: a test
  // can look at the program while a command is going out.
  std::function<void(const std::string& device, const std::vector<unsigned char>& message)> OnSend;

  unsigned Count() override;
  mm::MMRESULT Name(unsigned device, std::string& name) override;
  mm::MMRESULT Open(unsigned device, std::uint64_t& port) override;
  mm::MMRESULT Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) override;
  mm::MMRESULT Close(std::uint64_t port) override;
  bool Live() override;

 private:
  // The first device listed under `name`; called with mutex_ held.
  const Device* Named(const std::string& name) const;

  mutable std::mutex mutex_;
  std::vector<Device> devices_;
  std::map<std::string, std::vector<std::vector<unsigned char>>> sent_;
  std::map<std::uint64_t, std::string> open_;  // port -> device name
  std::uint64_t nextPort_ = 1;
  bool lost_ = false;
};

// Routes the classic functions to `d`; null restores the real service.
void UseMidiDouble(MidiDouble* d);

}  // namespace platform
