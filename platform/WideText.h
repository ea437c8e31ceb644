// Windows names files and devices in UTF-16; the layers above speak UTF-8.
#pragma once

#include <string>

namespace platform {

// Malformed input becomes U+FFFD, as the system's own conversion does.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

}  // namespace platform
