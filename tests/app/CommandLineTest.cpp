// The command line on the MIDI double: what each argument list prints and
// returns, which port a PORT names, the bytes it sends, and each failure.
#include <memory>
#include <sstream>

#include "app/CommandLine.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace platform::mm;

struct Outcome {
  int status;
  std::string out, err;
};

class CommandLineTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::UseMidiDouble(nullptr); }

  // A new double listing `devices`, with nothing sent yet.
  void SetDevices(std::vector<MidiDouble::Device> devices) {
    midi_ = std::make_unique<MidiDouble>();
    midi_->SetDevices(std::move(devices));
    platform::UseMidiDouble(midi_.get());
  }

  Outcome Lumivant(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCommandLine(args, out, err);
    return {status, out.str(), err.str()};
  }

  std::unique_ptr<MidiDouble> midi_;
};

// Where the program speaks for each argument list: 'o' stdout, 'e' stderr,
// '-' neither.
const struct {
  std::vector<std::string> args;
  int status;
  char speaks;
} kArguments[] = {
    {{"--help"}, 0, 'o'},
    {{"--version"}, 0, 'o'},
    {{"--list-ports"}, 0, 'o'},
    {{"--send", "Port A"}, 0, '-'},
    {{"--send", "Port A", "--model", "tyros"}, 0, '-'},
    {{"--model", "tyros2", "--send", "0"}, 0, '-'},
    {{"--send", "Piano"}, 1, 'e'},
    {{"--send", ""}, 1, 'e'},
    {{}, 2, 'e'},
    {{""}, 2, 'e'},
    {{"-h"}, 2, 'e'},
    {{"--bogus"}, 2, 'e'},
    {{"--send"}, 2, 'e'},
    {{"--send", "--model", "tyros"}, 2, 'e'},
    {{"--model", "tyros"}, 2, 'e'},
    {{"--send", "Port A", "--model"}, 2, 'e'},
    {{"--send", "Port A", "--model", "tyros3"}, 2, 'e'},
    {{"--send", "Port A", "--model", "Tyros"}, 2, 'e'},
    {{"--send", "Port A", "extra"}, 2, 'e'},
    {{"--send", "Port A", "--send", "Port A"}, 2, 'e'},
    {{"--send", "Port A", "--model", "tyros", "--model", "tyros"}, 2, 'e'},
    {{"--list-ports", "--help"}, 2, 'e'},
    {{"--version", "x"}, 2, 'e'},
    {{"--list-ports", "--send", "Port A"}, 2, 'e'},
};

TEST_F(CommandLineTest, EachArgumentListGivesItsStatusOnItsStream) {
  for (const auto& c : kArguments) {
    SetDevices({{"Port A"}});
    const Outcome run = Lumivant(c.args);
    const std::string what = ::testing::PrintToString(c.args);
    EXPECT_EQ(run.status, c.status) << what;
    EXPECT_EQ(!run.out.empty(), c.speaks == 'o') << what;
    EXPECT_EQ(!run.err.empty(), c.speaks == 'e') << what;
    // Only a command that says nothing sends.
    EXPECT_EQ(!midi_->Sent("Port A").empty(), c.status == 0 && c.speaks == '-') << what;
  }
}

TEST_F(CommandLineTest, HelpAndBadArgumentsGiveTheSameUsage) {
  SetDevices({});
  const Outcome help = Lumivant({"--help"});
  const Outcome bad = Lumivant({"--bogus"});
  EXPECT_TRUE(help.out.starts_with("Usage: lumivant ")) << help.out;
  EXPECT_EQ(bad.err, help.out);
}

TEST_F(CommandLineTest, PortsAreListedByTheirIndexInTheWindowsList) {
  // The unreadable device takes no entry, so "C" is 1, not its device number 2.
  SetDevices({{"A"}, {"B", MMSYSERR_NODRIVER}, {"C"}, {"Caf\xC3\xA9 \xD0\xB6"}});
  EXPECT_EQ(Lumivant({"--list-ports"}).out, "0\tA\n1\tC\n2\tCaf\xC3\xA9 ?\n");
  EXPECT_EQ(Lumivant({"--send", "1"}).status, 0);
  EXPECT_EQ(midi_->Sent("C"), Tyros2Sequence());
}

TEST_F(CommandLineTest, NoPortsListNothing) {
  SetDevices({});
  const Outcome run = Lumivant({"--list-ports"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

const std::vector<std::string> kNames = {"Tyros 2 USB", "tyros", "Keyboard Port", "Synth A",
                                         "Synth B",     "Same",  "Same"};

// What a PORT names among kNames: the one port sent to, or the error line.
const struct {
  const char* port;
  const char* sentTo;
  const char* error;
} kPorts[] = {
    {"0", "Tyros 2 USB", nullptr},
    {"2", "Keyboard Port", nullptr},
    {"007", nullptr, "lumivant: no MIDI output \"007\"\n"},
    {"99999999999999999999999", nullptr, "lumivant: no MIDI output \"99999999999999999999999\"\n"},
    {"tyros", "tyros", nullptr},  // the exact name, though "Tyros 2 USB" holds it too
    {"Tyros", nullptr, "lumivant: \"Tyros\" names several MIDI outputs: \"Tyros 2 USB\", \"tyros\"\n"},
    {"TYROS 2", "Tyros 2 USB", nullptr},
    {"board p", "Keyboard Port", nullptr},
    {"synth", nullptr, "lumivant: \"synth\" names several MIDI outputs: \"Synth A\", \"Synth B\"\n"},
    {"Same", nullptr, "lumivant: \"Same\" names several MIDI outputs: \"Same\", \"Same\"\n"},
    {"Piano", nullptr, "lumivant: no MIDI output \"Piano\"\n"},
    {"-1", nullptr, "lumivant: no MIDI output \"-1\"\n"},
};

TEST_F(CommandLineTest, APortIsANumberAnExactNameOrAPartOfOneName) {
  for (const auto& c : kPorts) {
    std::vector<MidiDouble::Device> devices;
    for (const std::string& name : kNames) devices.push_back({name});
    SetDevices(devices);
    const Outcome run = Lumivant({"--send", c.port});
    EXPECT_EQ(run.status, c.sentTo ? 0 : 1) << c.port;
    EXPECT_EQ(run.err, c.error ? c.error : "") << c.port;
    for (const std::string& name : kNames) {
      const bool chosen = c.sentTo && name == c.sentTo;
      EXPECT_EQ(midi_->Sent(name), chosen ? Tyros2Sequence() : std::vector<Bytes>{}) << c.port << " " << name;
    }
  }
}

// A port refused at opening, one that takes no message, one whose close
// (the wait for delivery) fails.
const struct {
  MidiDouble::Device device;
  std::size_t sent;
  const char* error;
} kFailures[] = {
    {{"Busy", MMSYSERR_NOERROR, MMSYSERR_ALLOCATED}, 0, "lumivant: cannot open \"Busy\"\n"},
    {{"Gone", MMSYSERR_NOERROR, MMSYSERR_NOERROR, MMSYSERR_NOERROR, MMSYSERR_ERROR},
     0,
     "lumivant: sending to \"Gone\" failed\n"},
    {{"Stuck", MMSYSERR_NOERROR, MMSYSERR_NOERROR, MIDIERR_STILLPLAYING},
     3,
     "lumivant: sending to \"Stuck\" failed\n"},
};

TEST_F(CommandLineTest, AFailingOpenSendOrCloseIsStatusOneWithOneLine) {
  for (const auto& c : kFailures) {
    SetDevices({c.device});
    const Outcome run = Lumivant({"--send", c.device.name});
    EXPECT_EQ(run.status, 1) << c.device.name;
    EXPECT_EQ(run.out, "") << c.device.name;
    EXPECT_EQ(run.err, c.error);
    EXPECT_EQ(midi_->Sent(c.device.name).size(), c.sent) << c.device.name;
  }
}

// The window sends to "Port A" what the command line sends to "Port B":
// first as the window opens and without --model, then for each model.
TEST_F(WindowTest, TheCommandLineSendsWhatTheWindowSendsForEachModel) {
  SetDevices({{"Port A"}, {"Port B"}});
  TOrbiscope& w = Open();
  for (const char* model : {static_cast<const char*>(nullptr), "tyros", "tyros2", "tyros"}) {
    std::vector<std::string> args = {"--send", "Port B"};
    if (model) {
      w.RB1->SetChecked(std::string(model) == "tyros");
      w.RB2->SetChecked(std::string(model) == "tyros2");
      args.insert(args.end(), {"--model", model});
    }
    Type("a");
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(args, out, err), 0);
    EXPECT_EQ(midi_.Sent("Port B"), midi_.Sent("Port A")) << (model ? model : "no --model");
    EXPECT_EQ(midi_.OpenCount("Port B"), 0);
  }
}

}  // namespace
}  // namespace apptest
