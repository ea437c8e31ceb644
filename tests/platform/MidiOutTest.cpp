#include "platform/MidiOut.h"
#include "platform/MidiOutDouble.h"

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace platform;
using namespace platform::mm;
using Bytes = std::vector<unsigned char>;

namespace {

std::optional<std::string> GetEnv(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::optional<std::string>(v) : std::nullopt;
}

void SetOrUnset(const char* name, const std::optional<std::string>& value) {
  if (value)
    setenv(name, value->c_str(), 1);
  else
    unsetenv(name);
}

std::string CapsName(UINT device) {
  MIDIOUTCAPSA caps;
  std::memset(&caps, 0x55, sizeof caps);
  if (midiOutGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return "<failed>";
  return std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
}

MMRESULT SendLong(HMIDIOUT h, const Bytes& bytes) {
  std::vector<char> data(bytes.begin(), bytes.end());
  MIDIHDR hdr{};
  hdr.lpData = data.data();
  hdr.dwBufferLength = static_cast<DWORD>(data.size());
  if (MMRESULT r = midiOutPrepareHeader(h, &hdr, sizeof hdr); r != MMSYSERR_NOERROR) return r;
  const MMRESULT sent = midiOutLongMsg(h, &hdr, sizeof hdr);
  if (sent == MMSYSERR_NOERROR && !(hdr.dwFlags & MHDR_DONE)) return MMSYSERR_ERROR;
  if (MMRESULT r = midiOutUnprepareHeader(h, &hdr, sizeof hdr); r != MMSYSERR_NOERROR) return r;
  return sent;
}

Bytes SysEx(unsigned char n) { return {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, n, 0xF7}; }

class MidiOutOnDouble : public ::testing::Test {
 protected:
  void SetUp() override {
    double_.SetDevices({{"Tyros Port 1"}, {"Tyros Port 2"}, {"Other"}});
    UseMidiDouble(&double_);
  }
  void TearDown() override { UseMidiDouble(nullptr); }
  MidiDouble double_;
};

TEST_F(MidiOutOnDouble, ListsDevicesInTheServiceOrderAtEachCall) {
  ASSERT_EQ(midiOutGetNumDevs(), 3u);
  EXPECT_EQ(CapsName(0), "Tyros Port 1");
  EXPECT_EQ(CapsName(2), "Other");
  double_.SetDevices({{"Other"}, {"Tyros Port 1"}});
  ASSERT_EQ(midiOutGetNumDevs(), 2u);
  EXPECT_EQ(CapsName(0), "Other");
  EXPECT_EQ(CapsName(1), "Tyros Port 1");
}

TEST_F(MidiOutOnDouble, CapsDescribeAPlainPort) {
  MIDIOUTCAPSA caps;
  std::memset(&caps, 0x55, sizeof caps);
  ASSERT_EQ(midiOutGetDevCapsA(1, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_EQ(caps.wTechnology, MOD_MIDIPORT);
  EXPECT_EQ(caps.wChannelMask, 0xFFFF);
  EXPECT_EQ(caps.dwSupport, 0u);
  EXPECT_EQ(caps.wVoices, 0);
  EXPECT_STREQ(caps.szPname, "Tyros Port 2");
}

TEST_F(MidiOutOnDouble, NamesAreCutTo31Characters) {
  const std::string longName = "Yamaha Tyros5 MIDI Port 1 (USB) with more text";
  double_.SetDevices({{longName}});
  MIDIOUTCAPSA caps;
  std::memset(&caps, 0x55, sizeof caps);
  ASSERT_EQ(midiOutGetDevCapsA(0, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_EQ(caps.szPname[31], '\0');
  EXPECT_EQ(std::string(caps.szPname), longName.substr(0, 31));
}

TEST_F(MidiOutOnDouble, CutNameNeverEndsInHalfACharacter) {
  // "é", two bytes of UTF-8, is one byte of the code page: the 31st character.
  double_.SetDevices({{std::string(30, 'a') + "\xC3\xA9" + "b"}});
  EXPECT_EQ(CapsName(0), std::string(30, 'a') + "\xE9");
}

TEST_F(MidiOutOnDouble, UnreadableCapsFailWithTheDevicesCode) {
  double_.At(1).capsResult = MMSYSERR_NODRIVER;
  MIDIOUTCAPSA caps{};
  EXPECT_EQ(midiOutGetDevCapsA(1, &caps, sizeof caps), MMSYSERR_NODRIVER);
  EXPECT_EQ(CapsName(0), "Tyros Port 1");
  EXPECT_EQ(CapsName(2), "Other");
}

TEST_F(MidiOutOnDouble, BadArgumentsToCapsAreRefused) {
  MIDIOUTCAPSA caps{};
  EXPECT_EQ(midiOutGetDevCapsA(0, nullptr, sizeof caps), MMSYSERR_INVALPARAM);
  EXPECT_EQ(midiOutGetDevCapsA(3, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(midiOutGetDevCapsA(MIDI_MAPPER, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
}

TEST_F(MidiOutOnDouble, ShortCapsBufferGetsOnlyWhatFits) {
  MIDIOUTCAPSA caps;
  std::memset(&caps, 0x55, sizeof caps);
  ASSERT_EQ(midiOutGetDevCapsA(0, &caps, offsetof(MIDIOUTCAPSA, szPname) + 5), MMSYSERR_NOERROR);
  EXPECT_EQ(std::string(caps.szPname, 5), "Tyros");
  EXPECT_EQ(caps.szPname[5], 0x55);
}

TEST_F(MidiOutOnDouble, MapperDoesNotOpen) {
  HMIDIOUT h = reinterpret_cast<HMIDIOUT>(1);
  EXPECT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(midiOutOpen(&h, 0xFFFFFFFFu, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(midiOutOpen(&h, 3, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(double_.OpenCount("Tyros Port 1") + double_.OpenCount("Other"), 0);
}

TEST_F(MidiOutOnDouble, CallbacksOtherThanNoneAreRefused) {
  HMIDIOUT h = nullptr;
  EXPECT_EQ(midiOutOpen(&h, 0, 0, 0, 0x00030000 /* CALLBACK_FUNCTION */), MMSYSERR_INVALPARAM);
  EXPECT_EQ(double_.OpenCount("Tyros Port 1"), 0);
  EXPECT_EQ(midiOutOpen(nullptr, 0, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
}

TEST_F(MidiOutOnDouble, UnpreparedHeaderIsRefused) {
  HMIDIOUT h = nullptr;
  ASSERT_EQ(midiOutOpen(&h, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  Bytes msg = SysEx(1);
  MIDIHDR hdr{};
  hdr.lpData = reinterpret_cast<char*>(msg.data());
  hdr.dwBufferLength = static_cast<DWORD>(msg.size());
  EXPECT_EQ(midiOutLongMsg(h, &hdr, sizeof hdr), MIDIERR_UNPREPARED);
  EXPECT_TRUE(double_.Sent("Tyros Port 1").empty());

  ASSERT_EQ(midiOutPrepareHeader(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  EXPECT_TRUE(hdr.dwFlags & MHDR_PREPARED);
  EXPECT_EQ(midiOutLongMsg(h, &hdr, sizeof hdr - 1), MMSYSERR_INVALPARAM);
  ASSERT_EQ(midiOutLongMsg(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  EXPECT_TRUE(hdr.dwFlags & MHDR_DONE);
  ASSERT_EQ(midiOutUnprepareHeader(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  EXPECT_FALSE(hdr.dwFlags & MHDR_PREPARED);
  EXPECT_EQ(midiOutLongMsg(h, &hdr, sizeof hdr), MIDIERR_UNPREPARED);

  EXPECT_EQ(double_.Sent("Tyros Port 1"), std::vector<Bytes>{msg});
  EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(MidiOutOnDouble, EmptyMessageIsRefused) {
  HMIDIOUT h = nullptr;
  ASSERT_EQ(midiOutOpen(&h, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_EQ(SendLong(h, {}), MMSYSERR_INVALPARAM);
  EXPECT_TRUE(double_.Sent("Tyros Port 1").empty());
  EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(MidiOutOnDouble, RecordsEveryMessageWholePerDevice) {
  HMIDIOUT a = nullptr, b = nullptr;
  ASSERT_EQ(midiOutOpen(&a, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  ASSERT_EQ(midiOutOpen(&b, 2, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_NE(a, b);
  EXPECT_EQ(SendLong(a, SysEx(1)), MMSYSERR_NOERROR);
  EXPECT_EQ(SendLong(b, SysEx(2)), MMSYSERR_NOERROR);
  EXPECT_EQ(SendLong(a, SysEx(3)), MMSYSERR_NOERROR);
  EXPECT_EQ(double_.Sent("Tyros Port 1"), (std::vector<Bytes>{SysEx(1), SysEx(3)}));
  EXPECT_EQ(double_.Sent("Other"), std::vector<Bytes>{SysEx(2)});
  EXPECT_TRUE(double_.Sent("Tyros Port 2").empty());
  EXPECT_EQ(midiOutClose(a), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(b), MMSYSERR_NOERROR);
}

TEST_F(MidiOutOnDouble, RefusedOpenGivesNoHandle) {
  double_.At(1).openResult = MMSYSERR_ALLOCATED;
  HMIDIOUT h = reinterpret_cast<HMIDIOUT>(1);
  EXPECT_EQ(midiOutOpen(&h, 1, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(double_.OpenCount("Tyros Port 2"), 0);
  ASSERT_EQ(midiOutOpen(&h, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(MidiOutOnDouble, RefusedCloseKeepsTheHandle) {
  HMIDIOUT h = nullptr;
  ASSERT_EQ(midiOutOpen(&h, 2, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  double_.At(2).closeResult = MMSYSERR_ERROR;
  EXPECT_EQ(midiOutClose(h), MMSYSERR_ERROR);
  EXPECT_EQ(double_.OpenCount("Other"), 1);
  EXPECT_EQ(SendLong(h, SysEx(7)), MMSYSERR_NOERROR);
  double_.At(2).closeResult = MMSYSERR_NOERROR;
  EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(double_.OpenCount("Other"), 0);
  EXPECT_EQ(double_.Sent("Other"), std::vector<Bytes>{SysEx(7)});
}

TEST_F(MidiOutOnDouble, ClosedHandleIsInvalid) {
  HMIDIOUT h = nullptr;
  ASSERT_EQ(midiOutOpen(&h, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  ASSERT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
  MIDIHDR hdr{};
  EXPECT_EQ(midiOutPrepareHeader(h, &hdr, sizeof hdr), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiOutLongMsg(h, &hdr, sizeof hdr), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiOutClose(h), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiOutClose(nullptr), MMSYSERR_INVALHANDLE);
  // A new handle is never the old one come back.
  HMIDIOUT again = nullptr;
  ASSERT_EQ(midiOutOpen(&again, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_NE(again, h);
  EXPECT_EQ(midiOutClose(again), MMSYSERR_NOERROR);
}

// --- the systems themselves ---------------------------------------------

TEST(MidiOutSystems, AbsentJackIsSilent) {
  const auto saved = GetEnv("JACK_DEFAULT_SERVER");
  setenv("JACK_DEFAULT_SERVER", ("lumivant-absent-" + std::to_string(getpid())).c_str(), 1);
  testing::internal::CaptureStderr();
  auto service = OpenMidiSystem(MidiSystem::Jack);
  const std::string err = testing::internal::GetCapturedStderr();
  SetOrUnset("JACK_DEFAULT_SERVER", saved);
  EXPECT_EQ(service, nullptr);
  EXPECT_EQ(err, "");
}

TEST(MidiOutSystems, AlsaSequencerProbeIsSilent) {
  testing::internal::CaptureStderr();
  auto service = OpenMidiSystem(MidiSystem::AlsaSequencer);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "");
  if (access("/dev/snd/seq", F_OK) != 0) {
    EXPECT_EQ(service, nullptr);
  }
}

TEST(MidiOutSystems, NoSystemListsNothing) {
  auto none = OpenMidiSystem(MidiSystem::None);
  ASSERT_NE(none, nullptr);
  UseMidiService(none.get());
  EXPECT_EQ(midiOutGetNumDevs(), 0u);
  HMIDIOUT h = nullptr;
  EXPECT_EQ(midiOutOpen(&h, 0, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  UseMidiService(nullptr);
}

// --- a real JACK server, with a MIDI sink standing in for the instrument --

bool OnPath(const char* tool) {
  return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

class MidiOutOnJack : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    problem_.clear();
    if (!OnPath("jackd")) {
      problem_ = "jackd not installed";
      skip_ = GetEnv("CI") != std::optional<std::string>("true");
      return;
    }
    skip_ = false;
    savedServer_ = GetEnv("JACK_DEFAULT_SERVER");
    const std::string server = "lumivant-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    jackd_ = fork();
    if (jackd_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);  // jackd outlived a crashed test on SIGTERM
      int devnull = open("/dev/null", O_RDWR);
      dup2(devnull, 1);
      dup2(devnull, 2);
      // Synchronous: without real-time scheduling a busy machine can make
      // the sink miss a cycle, and with it what was delivered in it.
      execlp("jackd", "jackd", "--no-realtime", "-S", "-n", server.c_str(), "-d", "dummy", "-r", "48000",
             "-p", "256", static_cast<char*>(nullptr));
      _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!sink_ && std::chrono::steady_clock::now() < deadline) {
      if (waitpid(jackd_, nullptr, WNOHANG) == jackd_) {
        jackd_ = -1;
        break;
      }
      sink_ = jack_client_open(kSinkClient, static_cast<jack_options_t>(JackNoStartServer | JackUseExactName),
                               nullptr);
      if (!sink_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!sink_) {
      problem_ = "jackd did not start";
      return;
    }
    in_ = jack_port_register(sink_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(sink_, &Receive, nullptr);
    if (!in_ || jack_activate(sink_) != 0) {
      problem_ = "sink client did not start";
      return;
    }
    // A server just started may still turn a client away for a moment
    // (seen with the sink above); the service is asked again until then.
    const auto serviceDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!(service_ = OpenMidiSystem(MidiSystem::Jack)) &&
           std::chrono::steady_clock::now() < serviceDeadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!service_) problem_ = "no JACK service although jackd runs";
  }

  static void TearDownTestSuite() {
    UseMidiService(nullptr);
    service_.reset();
    if (sink_) jack_client_close(sink_);
    sink_ = nullptr;
    if (jackd_ > 0) {
      kill(jackd_, SIGTERM);
      waitpid(jackd_, nullptr, 0);
      jackd_ = -1;
    }
    SetOrUnset("JACK_DEFAULT_SERVER", savedServer_);
  }

  void SetUp() override {
    if (!problem_.empty()) {
      if (skip_) GTEST_SKIP() << problem_;
      FAIL() << problem_;
    }
    UseMidiService(service_.get());
    std::lock_guard lock(mutex_);
    received_.clear();
  }
  void TearDown() override { UseMidiService(nullptr); }

  static int Receive(jack_nframes_t frames, void*) {
    void* buf = jack_port_get_buffer(in_, frames);
    const jack_nframes_t n = jack_midi_get_event_count(buf);
    std::lock_guard lock(mutex_);
    for (jack_nframes_t i = 0; i < n; ++i) {
      jack_midi_event_t ev;
      if (jack_midi_event_get(&ev, buf, i) == 0) received_.emplace_back(ev.buffer, ev.buffer + ev.size);
    }
    return 0;
  }

  static std::vector<Bytes> Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }

  static std::optional<UINT> SinkDevice() {
    const std::string name = std::string(jack_port_name(in_)).substr(0, 31);
    const UINT n = midiOutGetNumDevs();
    for (UINT i = 0; i < n; ++i)
      if (CapsName(i) == name) return i;
    return std::nullopt;
  }

  static constexpr const char* kSinkClient = "LumivantSinkWithAClientNameLongerThanCaps";
  static inline std::string problem_;
  static inline bool skip_ = false;
  static inline pid_t jackd_ = -1;
  static inline std::optional<std::string> savedServer_;
  static inline jack_client_t* sink_ = nullptr;
  static inline jack_port_t* in_ = nullptr;
  static inline std::unique_ptr<MidiOutService> service_;
  static inline std::mutex mutex_;
  static inline std::vector<Bytes> received_;
};

TEST_F(MidiOutOnJack, PortListShowsTheSinkCut) {
  const std::string full = jack_port_name(in_);
  ASSERT_GT(full.size(), 31u);
  const auto device = SinkDevice();
  ASSERT_TRUE(device.has_value()) << "no device named " << full.substr(0, 31);
  // Our own listening port is not something to send screenshots to.
  const UINT n = midiOutGetNumDevs();
  for (UINT i = 0; i < n; ++i) EXPECT_EQ(CapsName(i).find("monitor"), std::string::npos) << i;
  HMIDIOUT h = nullptr;
  EXPECT_EQ(midiOutOpen(&h, n, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
}

TEST_F(MidiOutOnJack, EveryMessageArrivesWholeBeforeCloseReturns) {
  for (int i = 0; i < 100; ++i) {
    const auto device = SinkDevice();
    ASSERT_TRUE(device.has_value());
    HMIDIOUT h = nullptr;
    ASSERT_EQ(midiOutOpen(&h, *device, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR) << "cycle " << i;
    ASSERT_EQ(SendLong(h, SysEx(static_cast<unsigned char>(i))), MMSYSERR_NOERROR) << "cycle " << i;
    ASSERT_EQ(midiOutClose(h), MMSYSERR_NOERROR) << "cycle " << i;
    // Close returns once the instrument's input has the message in a cycle;
    // the sink's own callback may still be busy with that cycle. A message
    // lost by closing too early never comes, and fails here.
    auto got = Received();
    for (int wait = 0; wait < 200 && got.size() < static_cast<std::size_t>(i + 1); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      got = Received();
    }
    ASSERT_EQ(got.size(), static_cast<std::size_t>(i + 1)) << "cycle " << i;
    EXPECT_EQ(got.back(), SysEx(static_cast<unsigned char>(i))) << "cycle " << i;
  }
  std::vector<Bytes> expected;
  for (int i = 0; i < 100; ++i) expected.push_back(SysEx(static_cast<unsigned char>(i)));
  EXPECT_EQ(Received(), expected);
}

}  // namespace
