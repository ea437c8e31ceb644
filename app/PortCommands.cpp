#include "app/PortCommands.h"

#include <ostream>
#include <vector>

#include "midi/OutputPorts.h"
#include "midi/PortChoice.h"
#include "midi/ScreenshotPort.h"

namespace {

std::vector<midi::OutputPort> Ports() {
  midi::UINT count = 0;
  midi::MIDIOUTCAPSA caps{};
  return midi::ReadOutputPorts(count, caps);
}

}  // namespace

void ListPorts(std::ostream& out) {
  const std::vector<midi::OutputPort> ports = Ports();
  for (std::size_t i = 0; i < ports.size(); ++i) out << i << '\t' << midi::Utf8Name(ports[i]) << '\n';
}

int SendScreenshot(const std::string& wanted, int model, std::ostream& err) {
  const std::vector<midi::OutputPort> ports = Ports();
  const std::vector<std::size_t> found = midi::MatchOutputPorts(ports, wanted);
  if (found.empty()) {
    err << "lumivant: no MIDI output \"" << wanted << "\"\n";
    return 1;
  }
  if (found.size() > 1) {
    err << "lumivant: \"" << wanted << "\" names several MIDI outputs:";
    const char* separator = " \"";
    for (std::size_t i : found) {
      err << separator << midi::Utf8Name(ports[i]) << '"';
      separator = ", \"";
    }
    err << '\n';
    return 1;
  }
  const midi::OutputPort& port = ports[found.front()];
  midi::HMIDIOUT handle = nullptr;
  midi::MIDIHDR header{};
  if (!midi::OpenPort(handle, port.device)) {
    err << "lumivant: cannot open \"" << midi::Utf8Name(port) << "\"\n";
    return 1;
  }
  if (!midi::SendSequence(handle, header, model)) {
    err << "lumivant: sending to \"" << midi::Utf8Name(port) << "\" failed\n";
    return 1;
  }
  return 0;
}
