#include "platform/SystemMidiService.h"

#include <utility>

namespace platform {

using namespace mm;

SystemMidiService::SystemMidiService(std::vector<MidiSystem> systems, Opener open)
    : systems_(std::move(systems)), open_(std::move(open)) {
  Find();
}

void SystemMidiService::Find() {
  held_.reset();
  system_ = MidiSystem::None;
  for (MidiSystem s : systems_) {
    if (std::unique_ptr<MidiOutService> service = open_(s)) {
      held_ = std::move(service);
      system_ = s;
      return;
    }
  }
}

unsigned SystemMidiService::Count() {
  if (!held_ || !held_->Live()) Find();
  return held_ ? held_->Count() : 0;
}

MMRESULT SystemMidiService::Name(unsigned device, std::string& name) {
  return held_ ? held_->Name(device, name) : MMSYSERR_BADDEVICEID;
}

MMRESULT SystemMidiService::Open(unsigned device, std::uint64_t& port) {
  if (!held_) return MMSYSERR_BADDEVICEID;
  std::uint64_t opened = 0;
  if (MMRESULT r = held_->Open(device, opened); r != MMSYSERR_NOERROR) return r;
  port = nextPort_++;
  ports_.emplace(port, Port{held_, opened});
  return MMSYSERR_NOERROR;
}

MMRESULT SystemMidiService::Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) {
  auto it = ports_.find(port);
  if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
  return it->second.service->Send(it->second.port, bytes, size);
}

MMRESULT SystemMidiService::Close(std::uint64_t port) {
  auto it = ports_.find(port);
  if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
  // A refused close leaves the port open, to be closed again.
  if (MMRESULT r = it->second.service->Close(it->second.port); r != MMSYSERR_NOERROR) return r;
  ports_.erase(it);
  return MMSYSERR_NOERROR;
}

bool SystemMidiService::HasMapper() { return held_ && held_->HasMapper(); }

}  // namespace platform
