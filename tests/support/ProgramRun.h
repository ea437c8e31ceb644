// Running one of the project's programs from a test, as a user would from a
// shell, and catching what it says.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/FileBytes.h"

namespace testsupport {

struct ProgramResult {
  int status;  // the exit status; -1 when it did not exit by itself
  std::string out;
  std::string err;
};

// `text` as one shell word.
inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs the shell command `command` with its output caught in two files in
// `scratch`, which are gone again when it returns.
inline ProgramResult RunCommand(const std::string& command, const std::filesystem::path& scratch) {
  const std::filesystem::path out = scratch / ".stdout", err = scratch / ".stderr";
  const std::string full = command + " >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
  const int raw = std::system(full.c_str());
  ProgramResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}

// A new empty folder in the temporary directory, named after `prefix`.
inline std::filesystem::path MakeScratchDir(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) return {};
  return pattern;
}

}  // namespace testsupport
