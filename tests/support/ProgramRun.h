// Running one of the project's programs from a test, as a user would from a
// shell, and catching what it says.
#pragma once

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/FileBytes.h"
#include "tests/support/ScratchDir.h"

namespace testsupport {

struct ProgramResult {
  int status;  // the exit status; -1 when it did not exit by itself
  std::string out;
  std::string err;
};

// `text` as one word for the shell std::system runs (cmd on Windows, where
// the tests' arguments hold no double quote).
inline std::string ShellQuoted(const std::string& text) {
#ifdef _WIN32
  // Backslashes before the closing quote would escape it: doubled, they
  // stand for themselves.
  const std::size_t kept = text.find_last_not_of('\\') + 1;
  return "\"" + text + std::string(text.size() - kept, '\\') + "\"";
#else
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
#endif
}

// Runs the shell command `command` with its output caught in two files in
// `scratch`, which are gone again when it returns.
inline ProgramResult RunCommand(const std::string& command, const std::filesystem::path& scratch) {
  const std::filesystem::path out = scratch / ".stdout", err = scratch / ".stderr";
  const std::string full = command + " >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
#ifdef _WIN32
  // cmd takes away the first and the last quote of its command line, and
  // hands on the program's exit code; the program writes lines as CR LF.
  // Under wine a process start now and then fails: cmd's own (-1) or the
  // program's (cmd's 9009, "cannot start it"); it is tried again, twice at
  // most.
  int status = -1;
  for (int attempt = 0; attempt < 3 && (status == -1 || status == 9009); ++attempt)
    status = std::system(("\"" + full + "\"").c_str());
  const auto lines = [](std::string text) {
    std::erase(text, '\r');
    return text;
  };
  ProgramResult result{status, lines(Slurp(out)), lines(Slurp(err))};
#else
  const int raw = std::system(full.c_str());
  ProgramResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
#endif
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}

}  // namespace testsupport
