#include "app/CommandLine.h"

#include <ostream>
#include <string_view>
#include <utility>

#include "app/PortCommands.h"

namespace {

constexpr const char* kUsage =
    "Usage: lumivant [--list-ports | --send PORT [--model tyros|tyros2] | --help | --version]\n"
    "Without arguments, opens the window.\n"
    "  --list-ports    lists the MIDI outputs, one a line: NUMBER, a tab, NAME\n"
    "  --send PORT     makes the instrument on PORT save a picture of its display;\n"
    "                  PORT is a NUMBER, a NAME, or a part of exactly one name\n"
    "  --model MODEL   tyros or tyros2 (the default)\n"
    "Exit status: 0 done, 1 no such port or not delivered, 2 bad arguments.\n";

// The options that come alone.
constexpr std::pair<std::string_view, CommandLine::Action> kAlone[] = {
    {"--help", CommandLine::Action::Help},
    {"--version", CommandLine::Action::Version},
    {"--list-ports", CommandLine::Action::ListPorts},
};

std::optional<int> Model(const std::string& name) {
  if (name == "tyros") return midi::kTyros;
  if (name == "tyros2") return midi::kTyros2;
  return std::nullopt;
}

}  // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (const auto& [option, action] : kAlone) {
    if (args.size() == 1 && args[0] == option) {
      line.action = action;
      return line;
    }
  }
  // --send PORT and --model MODEL, each at most once, in either order.
  bool port = false, model = false;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    if (i + 1 == args.size() || args[i + 1].starts_with("--")) return std::nullopt;
    if (args[i] == "--send" && !port) {
      port = true;
      line.port = args[i + 1];
    } else if (args[i] == "--model" && !model) {
      const std::optional<int> selector = Model(args[i + 1]);
      if (!selector) return std::nullopt;
      model = true;
      line.model = *selector;
    } else {
      return std::nullopt;
    }
  }
  if (!port) return std::nullopt;
  line.action = CommandLine::Action::Send;
  return line;
}

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::optional<CommandLine> line = ParseCommandLine(args);
  if (!line) {
    err << kUsage;
    return 2;
  }
  switch (line->action) {
    case CommandLine::Action::Help: out << kUsage; return 0;
    case CommandLine::Action::Version: out << "lumivant " LUMIVANT_VERSION "\n"; return 0;
    case CommandLine::Action::ListPorts: ListPorts(out); return 0;
    case CommandLine::Action::Send: return SendScreenshot(line->port, line->model, err);
  }
  return 2;
}
