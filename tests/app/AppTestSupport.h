// The main window on the headless backend with the MIDI double behind the
// port list: each test scripts the devices, creates the window as the
// program does, then drives it with events.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/Unit1.h"
#include "platform/MidiOutDouble.h"
#include "resources/Resources.h"
#include "tests/support/TyrosMessages.h"
#include "tests/toolkit/ControlTestSupport.h"

namespace apptest {

using Bytes = std::vector<unsigned char>;
using platform::MidiDouble;
using testsupport::kTyros1;
using testsupport::Tyros2Sequence;
using testsupport::TyrosSequence;

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
