// The steps of one screenshot command on a MIDI output port. The caller
// keeps the port handle and the long-message header; no MIDI failure is
// ever raised or shown.
#pragma once

#include "midi/MidiTypes.h"

namespace midi {

// Closes `port` if one is held; it stays held if the system refuses.
// True when no port is held afterwards.
bool ReleasePort(HMIDIOUT& port);

// Opens device `device` without callback into `port`. False, with nothing
// held, when the system refuses.
bool OpenPort(HMIDIOUT& port, UINT device);

// Hands every message of `selector`'s sequence to `port` through `header`,
// in order, whatever each send returns, then closes the port. True when
// every message was taken and the close, which waits for delivery, went
// through.
bool SendSequence(HMIDIOUT& port, MIDIHDR& header, int selector);

}  // namespace midi
