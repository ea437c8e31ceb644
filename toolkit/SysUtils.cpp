#include "toolkit/SysUtils.h"

#include <cstdarg>
#include <cstdio>

#include "base/AsciiCase.h"

namespace toolkit {

std::string Format(const char* pattern, ...) {
  va_list args;
  va_start(args, pattern);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, pattern, args);
  va_end(args);
  std::string result;
  if (length > 0) {
    // vsnprintf writes the terminating zero too; std::string keeps room for it.
    result.resize(static_cast<std::size_t>(length));
    std::vsnprintf(result.data(), result.size() + 1, pattern, again);
  }
  va_end(again);
  return result;
}

namespace {
bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
}  // namespace

bool SameText(const std::string& a, const std::string& b) { return base::SameAsciiText(a, b); }

bool IsValidIdent(const std::string& ident) {
  if (ident.empty() || !IsIdentStart(ident[0])) return false;
  for (char c : ident)
    if (!IsIdentChar(c)) return false;
  return true;
}

}  // namespace toolkit
