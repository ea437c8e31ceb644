#include "platform/MidiOutDouble.h"

#include <algorithm>

namespace platform {

using namespace mm;

void MidiDouble::SetDevices(std::vector<Device> devices) {
  std::lock_guard lock(mutex_);
  devices_ = std::move(devices);
}

MidiDouble::Device& MidiDouble::At(unsigned index) {
  std::lock_guard lock(mutex_);
  return devices_.at(index);
}

std::vector<std::vector<unsigned char>> MidiDouble::Sent(const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto it = sent_.find(name);
  return it == sent_.end() ? std::vector<std::vector<unsigned char>>{} : it->second;
}

int MidiDouble::OpenCount(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(
      std::count_if(open_.begin(), open_.end(), [&](const auto& p) { return p.second == name; }));
}

// Looked up by name: the device may have moved in the listing since it
// was opened.
const MidiDouble::Device* MidiDouble::Named(const std::string& name) const {
  auto it = std::find_if(devices_.begin(), devices_.end(), [&](const Device& d) { return d.name == name; });
  return it == devices_.end() ? nullptr : &*it;
}

void MidiDouble::Lose() {
  std::lock_guard lock(mutex_);
  lost_ = true;
}

bool MidiDouble::Live() {
  std::lock_guard lock(mutex_);
  return !lost_;
}

unsigned MidiDouble::Count() {
  std::lock_guard lock(mutex_);
  return lost_ ? 0 : static_cast<unsigned>(devices_.size());
}

MMRESULT MidiDouble::Name(unsigned device, std::string& name) {
  std::lock_guard lock(mutex_);
  if (lost_) return MMSYSERR_NODRIVER;
  if (device >= devices_.size()) return MMSYSERR_BADDEVICEID;
  if (devices_[device].capsResult != MMSYSERR_NOERROR) return devices_[device].capsResult;
  name = devices_[device].name;
  return MMSYSERR_NOERROR;
}

MMRESULT MidiDouble::Open(unsigned device, std::uint64_t& port) {
  std::lock_guard lock(mutex_);
  if (lost_) return MMSYSERR_NODRIVER;
  if (device >= devices_.size()) return MMSYSERR_BADDEVICEID;
  if (devices_[device].openResult != MMSYSERR_NOERROR) return devices_[device].openResult;
  port = nextPort_++;
  open_.emplace(port, devices_[device].name);
  return MMSYSERR_NOERROR;
}

MMRESULT MidiDouble::Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) {
  std::vector<unsigned char> message(bytes, bytes + size);
  std::string device;
  {
    std::lock_guard lock(mutex_);
    auto it = open_.find(port);
    if (it == open_.end()) return MMSYSERR_INVALHANDLE;
    if (lost_) return MMSYSERR_NODRIVER;
    device = it->second;
    if (const Device* d = Named(device); d && d->sendResult != MMSYSERR_NOERROR) return d->sendResult;
  }
  // Outside the lock: the hook may ask the double anything.
  if (OnSend) OnSend(device, message);
  std::lock_guard lock(mutex_);
  sent_[device].push_back(std::move(message));
  return MMSYSERR_NOERROR;
}

MMRESULT MidiDouble::Close(std::uint64_t port) {
  std::lock_guard lock(mutex_);
  auto it = open_.find(port);
  if (it == open_.end()) return MMSYSERR_INVALHANDLE;
  if (const Device* d = Named(it->second); !lost_ && d && d->closeResult != MMSYSERR_NOERROR)
    return d->closeResult;
  open_.erase(it);
  return MMSYSERR_NOERROR;
}

void UseMidiDouble(MidiDouble* d) { UseMidiService(d); }

}  // namespace platform
