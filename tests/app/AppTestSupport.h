// The main window on the headless backend with the MIDI double behind the
// port list: each test scripts the devices, creates the window as the
// program does, then drives it with events.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/Unit1.h"
#include "platform/MidiOutDouble.h"
#include "resources/Resources.h"
#include "tests/toolkit/ControlTestSupport.h"

namespace apptest {

using Bytes = std::vector<unsigned char>;
using platform::MidiDouble;

inline const Bytes kTyros1{0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x00, 0x00, 0xF7};
inline const Bytes kTyros2{0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x01, 0x00, 0xF7};
inline const Bytes kXgSystemOn{0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
inline const Bytes kTyros2Third{0xF0, 0x43, 0x73, 0x01, 0x51, 0x09, 0x00, 0x02, 0x01, 0x03, 0xF7};

inline std::vector<Bytes> TyrosSequence() { return {kTyros1, kTyros2}; }
inline std::vector<Bytes> Tyros2Sequence() { return {kXgSystemOn, kTyros1, kTyros2Third}; }

class WindowTest : public toolkit::controltest::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    toolkit::Application->Initialize();
    toolkit::RegisterClass(TOrbiscope::StaticClass());
    RegisterResources();
    platform::UseMidiDouble(&midi_);
  }
  void TearDown() override {
    HeadlessTest::TearDown();
    Orbiscope = nullptr;
    platform::UseMidiDouble(nullptr);
  }

  void SetDevices(std::vector<MidiDouble::Device> devices) { midi_.SetDevices(std::move(devices)); }

  // The window as start-up makes it, shown.
  TOrbiscope& Open() {
    toolkit::Application->CreateForm(Orbiscope);
    Orbiscope->Show();
    return *Orbiscope;
  }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (int i = 0; i < Orbiscope->MidiOutputs->Items()->Count(); ++i)
      names.push_back(Orbiscope->MidiOutputs->Items()->Get(i));
    return names;
  }

  MidiDouble midi_;
};

}  // namespace apptest
