// The program without its window: what its arguments ask for, and doing it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "midi/MessageTable.h"

struct CommandLine {
  enum class Action { Help, Version, ListPorts, Send };
  Action action = Action::Help;
  std::string port;           // Send: a number from ListPorts, a name or a part of one
  int model = midi::kTyros2;  // Send: the window's default model
};

// What `args` (the arguments after the program's name) ask for; nothing
// when they are not a command line the program knows.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args);

// Runs `args` with the program's messages on `out` and `err`; returns the
// exit status: 0 done, 1 the port could not be found or the command not
// delivered, 2 arguments the program does not know (the usage on `err`).
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
