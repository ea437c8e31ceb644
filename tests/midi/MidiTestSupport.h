// What the tests of the port list and the command share: the MIDI double in
// place of the MIDI service for the length of each test.
#pragma once

#include <gtest/gtest.h>

#include "platform/MidiOutDouble.h"

namespace midi {

class OnMidiDouble : public ::testing::Test {
 protected:
  void SetUp() override { platform::UseMidiDouble(&midi_); }
  void TearDown() override { platform::UseMidiDouble(nullptr); }

  platform::MidiDouble midi_;
};

}  // namespace midi
