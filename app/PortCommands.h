// The two things the command line does with MIDI outputs.
#pragma once

#include <iosfwd>
#include <string>

// Writes the port list to `out`, one entry a line: its index in the list,
// a tab, its name in UTF-8. The window's entries, in its order.
void ListPorts(std::ostream& out);

// Sends `model`'s screenshot command to the one port `wanted` names (see
// midi::MatchOutputPorts) and returns 0 once it is delivered. Otherwise 1,
// with one line on `err`; nothing is sent when no single port is named.
int SendScreenshot(const std::string& wanted, int model, std::ostream& err);
