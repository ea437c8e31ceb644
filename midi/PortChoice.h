// The port list as a user reads and names it outside the window: names in
// UTF-8, and the entries that what they typed names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "midi/OutputPorts.h"

namespace midi {

// The entry's name as the service gave it, back from the window's code page.
std::string Utf8Name(const OutputPort& port);

// The indexes of the entries `wanted` names, in list order. Digits alone
// are an entry's index (0 is the first); anything else is every entry of
// exactly that name, or, when there is none, every entry whose name holds
// it, letters A-Z in either case. More than one index: ambiguous; none: no
// such port.
std::vector<std::size_t> MatchOutputPorts(const std::vector<OutputPort>& ports, std::string_view wanted);

}  // namespace midi
