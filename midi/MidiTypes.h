// The MIDI output types the window keeps, by their classic names, so that
// the program reaches the MIDI service only through this folder.
#pragma once

#include "platform/MidiOut.h"

namespace midi {

using platform::mm::HMIDIOUT;
using platform::mm::MIDI_MAPPER;
using platform::mm::MIDIHDR;
using platform::mm::MIDIOUTCAPSA;
using platform::mm::UINT;

}  // namespace midi
