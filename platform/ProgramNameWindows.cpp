#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/ProgramName.h"
#include "platform/WideText.h"

namespace platform {

// The program file's name without ".exe", as a command would name it.
std::string ProgramName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "lumivant";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return WideToUtf8(std::filesystem::path(path).stem().wstring());
}

}  // namespace platform
