#pragma once
// Comparing names without regard to case: font faces, identifiers, colour
// and cursor names. Only the letters A-Z fold; every other byte compares as
// it is, whatever the locale.

#include <string_view>

namespace base {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace base
