// A new empty folder for one test's files.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace testsupport {

// A folder in the temporary directory named after `prefix` that did not
// exist before; empty when none could be made.
inline std::filesystem::path MakeScratchDir(const std::string& prefix) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(random() % 100000000));
    std::error_code ec;
    if (std::filesystem::create_directory(dir, ec)) return dir;
  }
  return {};
}

}  // namespace testsupport
