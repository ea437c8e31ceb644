#include "midi/PortChoice.h"

#include <algorithm>
#include <charconv>

#include "base/AsciiCase.h"
#include "base/Cp1252.h"

namespace midi {

std::string Utf8Name(const OutputPort& port) { return base::Cp1252ToUtf8(port.name); }

namespace {

bool HoldsIgnoringCase(std::string_view text, std::string_view part) {
  const auto same = [](char a, char b) { return base::AsciiLower(a) == base::AsciiLower(b); };
  return std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

}  // namespace

std::vector<std::size_t> MatchOutputPorts(const std::vector<OutputPort>& ports, std::string_view wanted) {
  std::vector<std::size_t> found;
  if (wanted.empty()) return found;
  if (std::all_of(wanted.begin(), wanted.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    std::size_t index = 0;
    const bool fits = std::from_chars(wanted.data(), wanted.data() + wanted.size(), index).ec == std::errc();
    if (fits && index < ports.size()) found.push_back(index);
    return found;
  }
  for (std::size_t i = 0; i < ports.size(); ++i)
    if (Utf8Name(ports[i]) == wanted) found.push_back(i);
  if (!found.empty()) return found;
  for (std::size_t i = 0; i < ports.size(); ++i)
    if (HoldsIgnoringCase(Utf8Name(ports[i]), wanted)) found.push_back(i);
  return found;
}

}  // namespace midi
