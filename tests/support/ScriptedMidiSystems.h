// MIDI systems a test starts and stops under a SystemMidiService: a system
// running when the service looks opens as a new MIDI double listing its
// devices.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/MidiOutDouble.h"
#include "platform/SystemMidiService.h"

namespace testsupport {

class ScriptedMidiSystems {
 public:
  using Devices = std::vector<platform::MidiDouble::Device>;

  void Start(platform::MidiSystem system, Devices devices) { running_[system] = std::move(devices); }
  // As a server that stops: the service opened on it goes too.
  void Stop(platform::MidiSystem system) {
    running_.erase(system);
    if (opened_.count(system) != 0) opened_[system]->Lose();
  }

  platform::SystemMidiService::Opener Opener() {
    return [this](platform::MidiSystem system) -> std::unique_ptr<platform::MidiOutService> {
      auto it = running_.find(system);
      if (it == running_.end()) return nullptr;
      ++opens;
      aliveAtLastOpen = alive_;
      auto service = std::make_unique<Counted>(*this, system);
      service->SetDevices(it->second);
      opened_[system] = service.get();
      return service;
    };
  }

  // The living service opened last on `system`.
  platform::MidiDouble& Last(platform::MidiSystem system) { return *opened_.at(system); }
  int Alive() const { return alive_; }

  int opens = 0;            // services opened
  int aliveAtLastOpen = 0;  // services not yet let go when the last was opened

 private:
  // A double that counts itself among the living.
  class Counted final : public platform::MidiDouble {
   public:
    Counted(ScriptedMidiSystems& systems, platform::MidiSystem system) : systems_(systems), system_(system) {
      ++systems_.alive_;
    }
    ~Counted() override {
      --systems_.alive_;
      if (systems_.opened_[system_] == this) systems_.opened_.erase(system_);
    }

   private:
    ScriptedMidiSystems& systems_;
    platform::MidiSystem system_;
  };

  std::map<platform::MidiSystem, Devices> running_;
  std::map<platform::MidiSystem, platform::MidiDouble*> opened_;
  int alive_ = 0;
};

}  // namespace testsupport
