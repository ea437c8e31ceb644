// The classic MIDI output functions, and the service behind them on RtMidi.

#include "platform/MidiOut.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <unistd.h>
#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace platform {
namespace {

using namespace mm;
using Clock = std::chrono::steady_clock;

void QuietJack(const char*) {}
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

bool AlsaSequencerOpens() {
  snd_lib_error_set_handler(&QuietAlsa);
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0) return false;
  snd_seq_close(seq);
  return true;
}

// A client of our own that listens to every port we open. RtMidi's JACK port
// sends from a ring buffer drained in its process callback; once our input,
// connected to that port, has seen the bytes, the instrument's input has them
// in the same cycle. It also counts process cycles, to let connections settle.
class JackMonitor {
 public:
  static std::unique_ptr<JackMonitor> Open() {
    jack_set_error_function(&QuietJack);
    jack_set_info_function(&QuietJack);
    jack_client_t* client = jack_client_open("Lumivant", JackNoStartServer, nullptr);
    if (client == nullptr) return nullptr;
    std::unique_ptr<JackMonitor> monitor(new JackMonitor(client));
    monitor->in_ = jack_port_register(client, "monitor", JACK_DEFAULT_MIDI_TYPE,
                                      JackPortIsInput | JackPortIsTerminal, 0);
    jack_on_shutdown(client, &JackMonitor::Shutdown, monitor.get());
    if (monitor->in_ == nullptr ||
        jack_set_process_callback(client, &JackMonitor::Process, monitor.get()) != 0 ||
        jack_activate(client) != 0)
      return nullptr;
    return monitor;
  }

  ~JackMonitor() { jack_client_close(client_); }

  std::uint64_t Cycles() const { return cycles_.load(std::memory_order_acquire); }
  std::string PortName() const { return jack_port_name(in_); }
  std::uint64_t BytesSeen() const { return seen_.load(std::memory_order_acquire); }

  // Connects our input to the output port whose short name is `portName`.
  bool Watch(const std::string& portName) {
    const std::string pattern = ":" + portName + "$";
    const char** ports =
        jack_get_ports(client_, pattern.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    if (ports == nullptr) return false;
    const bool ok = ports[0] != nullptr && ports[1] == nullptr &&
                    jack_connect(client_, ports[0], jack_port_name(in_)) == 0;
    jack_free(ports);
    return ok;
  }

  // Until `cycles` more process cycles have started: a connection made now
  // is in the graph by then.
  void WaitCycles(unsigned cycles) const {
    const std::uint64_t target = Cycles() + cycles;
    WaitFor([&] { return Cycles() >= target; });
  }

  // Until our input has seen `bytes` bytes in all.
  void WaitSeen(std::uint64_t bytes) const {
    WaitFor([&] { return BytesSeen() >= bytes; });
  }

 private:
  explicit JackMonitor(jack_client_t* client) : client_(client) {}

  // A live server answers within a few periods however loaded the machine;
  // the limit only keeps a stalled one from hanging the caller.
  template <class Done>
  void WaitFor(Done done) const {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (!done() && !gone_.load() && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::microseconds(500));
  }

  static int Process(jack_nframes_t frames, void* self) {
    auto* m = static_cast<JackMonitor*>(self);
    void* buf = jack_port_get_buffer(m->in_, frames);
    const jack_nframes_t n = jack_midi_get_event_count(buf);
    std::uint64_t bytes = 0;
    for (jack_nframes_t i = 0; i < n; ++i) {
      jack_midi_event_t ev;
      if (jack_midi_event_get(&ev, buf, i) == 0) bytes += ev.size;
    }
    m->seen_.fetch_add(bytes, std::memory_order_release);
    m->cycles_.fetch_add(1, std::memory_order_release);
    return 0;
  }
  static void Shutdown(void* self) { static_cast<JackMonitor*>(self)->gone_ = true; }

  jack_client_t* client_;
  jack_port_t* in_ = nullptr;
  std::atomic<std::uint64_t> cycles_{0};
  std::atomic<std::uint64_t> seen_{0};
  std::atomic<bool> gone_{false};
};

// Cycles for a new connection to join the graph.
constexpr unsigned kSettleCycles = 3;

class RtMidiService final : public MidiOutService {
 public:
  static std::unique_ptr<RtMidiService> Open(RtMidi::Api api, std::unique_ptr<JackMonitor> monitor) {
    try {
      auto lister = std::make_unique<RtMidiOut>(api, "Lumivant");
      return std::unique_ptr<RtMidiService>(
          new RtMidiService(api, std::move(lister), std::move(monitor)));
    } catch (const RtMidiError&) {
      return nullptr;
    }
  }

  unsigned Count() override {
    std::lock_guard lock(mutex_);
    const unsigned n = lister_->getPortCount();
    unsigned devices = 0;
    for (unsigned i = 0; i < n; ++i) devices += hidden_.empty() || lister_->getPortName(i) != hidden_;
    return devices;
  }

  MMRESULT Name(unsigned device, std::string& name) override {
    std::lock_guard lock(mutex_);
    listerFailed_ = false;
    const auto index = Index(*lister_, device);
    name = index ? lister_->getPortName(*index) : std::string();
    return listerFailed_ || name.empty() ? MMSYSERR_BADDEVICEID : MMSYSERR_NOERROR;
  }

  MMRESULT Open(unsigned device, std::uint64_t& port) override {
    std::lock_guard lock(mutex_);
    auto conn = std::make_unique<Connection>();
    try {
      conn->out = std::make_unique<RtMidiOut>(api_, "Lumivant");
      conn->out->setErrorCallback(&Connection::OnError, conn.get());
      const auto index = Index(*conn->out, device);
      if (!index) return MMSYSERR_BADDEVICEID;
      // A name of its own, so the monitor finds this port among others.
      conn->portName = "out-" + std::to_string(getpid()) + "-" + std::to_string(nextPort_);
      conn->out->openPort(*index, conn->portName);
    } catch (const RtMidiError&) {
      return MMSYSERR_ERROR;
    }
    if (conn->failed || !conn->out->isPortOpen() ||
        (monitor_ && !monitor_->Watch(conn->portName))) {
      conn->out->closePort();
      if (monitor_) monitor_->WaitCycles(2);  // as in Close
      return MMSYSERR_ERROR;
    }
    // A new connection joins the graph at a cycle boundary; what is sent
    // before that goes nowhere.
    if (monitor_) monitor_->WaitCycles(kSettleCycles);
    port = nextPort_++;
    ports_.emplace(port, std::move(conn));
    return MMSYSERR_NOERROR;
  }

  MMRESULT Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) override {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
    Connection& conn = *it->second;
    conn.failed = false;
    conn.out->sendMessage(bytes, size);
    if (conn.failed) return MMSYSERR_ERROR;
    sentBytes_ += size;
    conn.sentUpTo = sentBytes_;
    return MMSYSERR_NOERROR;
  }

  MMRESULT Close(std::uint64_t port) override {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
    RtMidiOut& out = *it->second->out;
    // Everything sent on any port before our last message has been seen,
    // ours included; one more cycle lets the instrument's client finish it.
    if (monitor_ && it->second->sentUpTo > 0) {
      monitor_->WaitSeen(it->second->sentUpTo);
      monitor_->WaitCycles(1);
    }
    out.closePort();
    // RtMidi frees its JACK ring buffer before closing the client, so a
    // process callback that began while the port was still open could read
    // freed memory; once it has finished, a callback only sees no port.
    if (monitor_) monitor_->WaitCycles(2);
    ports_.erase(it);
    return MMSYSERR_NOERROR;
  }

 private:
  struct Connection {
    std::unique_ptr<RtMidiOut> out;
    bool failed = false;
    std::string portName;
    std::uint64_t sentUpTo = 0;  // sentBytes_ after this port's last message
    static void OnError(RtMidiError::Type, const std::string&, void* self) {
      static_cast<Connection*>(self)->failed = true;
    }
  };

  RtMidiService(RtMidi::Api api, std::unique_ptr<RtMidiOut> lister,
                std::unique_ptr<JackMonitor> monitor)
      : api_(api), lister_(std::move(lister)), monitor_(std::move(monitor)) {
    if (monitor_) hidden_ = monitor_->PortName();
    lister_->setErrorCallback(&ListerError, this);
  }

  // RtMidi's number for our device number: the monitor's own input is
  // listed by the service but is not a device.
  std::optional<unsigned> Index(RtMidiOut& out, unsigned device) const {
    const unsigned n = out.getPortCount();
    if (hidden_.empty()) return device < n ? std::optional<unsigned>(device) : std::nullopt;
    for (unsigned i = 0; i < n; ++i) {
      if (out.getPortName(i) == hidden_) continue;
      if (device-- == 0) return i;
    }
    return std::nullopt;
  }

  static void ListerError(RtMidiError::Type, const std::string&, void* self) {
    static_cast<RtMidiService*>(self)->listerFailed_ = true;
  }

  std::mutex mutex_;
  RtMidi::Api api_;
  std::unique_ptr<RtMidiOut> lister_;
  bool listerFailed_ = false;
  // Declared after every RtMidiOut so it is the last JACK client closed.
  std::unique_ptr<JackMonitor> monitor_;
  std::string hidden_;
  std::map<std::uint64_t, std::unique_ptr<Connection>> ports_;
  std::uint64_t nextPort_ = 1;
  std::uint64_t sentBytes_ = 0;
};

class NoService final : public MidiOutService {
 public:
  unsigned Count() override { return 0; }
  MMRESULT Name(unsigned, std::string&) override { return MMSYSERR_BADDEVICEID; }
  MMRESULT Open(unsigned, std::uint64_t&) override { return MMSYSERR_BADDEVICEID; }
  MMRESULT Send(std::uint64_t, const unsigned char*, std::size_t) override {
    return MMSYSERR_INVALHANDLE;
  }
  MMRESULT Close(std::uint64_t) override { return MMSYSERR_INVALHANDLE; }
};

struct Default {
  MidiSystem system = MidiSystem::None;
  std::unique_ptr<MidiOutService> service;
};

Default& TheDefault() {
  static Default* chosen = [] {
    auto* d = new Default;  // left alive: JACK's threads may outlive static destruction
    for (MidiSystem s : {MidiSystem::AlsaSequencer, MidiSystem::Jack}) {
      if ((d->service = OpenMidiSystem(s))) {
        d->system = s;
        break;
      }
    }
    if (!d->service) d->service = std::make_unique<NoService>();
    return d;
  }();
  return *chosen;
}

// Handles are numbers never reused, so a stale one is refused, not misrouted.
struct HandleEntry {
  MidiOutService* service;
  std::uint64_t port;
};

std::mutex gMutex;
MidiOutService* gOverride = nullptr;
std::map<std::uintptr_t, HandleEntry> gHandles;
std::uintptr_t gNextHandle = 1;

MidiOutService& Current() { return gOverride ? *gOverride : *TheDefault().service; }

HandleEntry* Find(HMIDIOUT h) {
  auto it = gHandles.find(reinterpret_cast<std::uintptr_t>(h));
  return it == gHandles.end() ? nullptr : &it->second;
}

// Cut to fit szPname without splitting a UTF-8 sequence.
void CopyName(const std::string& name, char (&dest)[MAXPNAMELEN]) {
  std::size_t n = std::min(name.size(), MAXPNAMELEN - 1);
  if (n < name.size())
    while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
  std::memcpy(dest, name.data(), n);
  std::memset(dest + n, 0, MAXPNAMELEN - n);
}

}  // namespace

MidiSystem DefaultMidiSystem() {
  std::lock_guard lock(gMutex);
  return TheDefault().system;
}

std::unique_ptr<MidiOutService> OpenMidiSystem(MidiSystem system) {
  switch (system) {
    case MidiSystem::AlsaSequencer:
      if (!AlsaSequencerOpens()) return nullptr;
      return RtMidiService::Open(RtMidi::LINUX_ALSA, nullptr);
    case MidiSystem::Jack: {
      auto monitor = JackMonitor::Open();
      if (!monitor) return nullptr;
      return RtMidiService::Open(RtMidi::UNIX_JACK, std::move(monitor));
    }
    case MidiSystem::None:
      break;
  }
  return std::make_unique<NoService>();
}

void UseMidiService(MidiOutService* service) {
  std::lock_guard lock(gMutex);
  gOverride = service;
}

namespace mm {

UINT midiOutGetNumDevs() {
  std::lock_guard lock(gMutex);
  return Current().Count();
}

MMRESULT midiOutGetDevCapsA(UINT_PTR deviceId, MIDIOUTCAPSA* caps, UINT size) {
  if (caps == nullptr || size == 0) return MMSYSERR_INVALPARAM;
  std::lock_guard lock(gMutex);
  if (deviceId >= Current().Count()) return MMSYSERR_BADDEVICEID;
  std::string name;
  if (MMRESULT r = Current().Name(static_cast<unsigned>(deviceId), name); r != MMSYSERR_NOERROR)
    return r;
  MIDIOUTCAPSA full{};
  full.wMid = MM_UNMAPPED;
  full.wPid = MM_PID_UNMAPPED;
  full.vDriverVersion = 0x0100;
  CopyName(name, full.szPname);
  full.wTechnology = MOD_MIDIPORT;
  full.wChannelMask = 0xFFFF;
  std::memcpy(caps, &full, std::min<std::size_t>(size, sizeof full));
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutOpen(HMIDIOUT* out, UINT deviceId, DWORD_PTR, DWORD_PTR, DWORD flags) {
  if (out == nullptr) return MMSYSERR_INVALPARAM;
  *out = nullptr;
  // Only polling callers are served: nothing here would ever call back.
  if ((flags & CALLBACK_TYPEMASK) != CALLBACK_NULL) return MMSYSERR_INVALPARAM;
  std::lock_guard lock(gMutex);
  MidiOutService& service = Current();
  if (deviceId == MIDI_MAPPER || deviceId >= service.Count()) return MMSYSERR_BADDEVICEID;
  std::uint64_t port = 0;
  if (MMRESULT r = service.Open(deviceId, port); r != MMSYSERR_NOERROR) return r;
  const std::uintptr_t h = gNextHandle++;
  gHandles.emplace(h, HandleEntry{&service, port});
  *out = reinterpret_cast<HMIDIOUT>(h);
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutPrepareHeader(HMIDIOUT out, MIDIHDR* hdr, UINT size) {
  std::lock_guard lock(gMutex);
  if (!Find(out)) return MMSYSERR_INVALHANDLE;
  if (hdr == nullptr || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
  hdr->dwFlags |= MHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT out, MIDIHDR* hdr, UINT size) {
  std::lock_guard lock(gMutex);
  if (!Find(out)) return MMSYSERR_INVALHANDLE;
  if (hdr == nullptr || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
  if (hdr->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
  hdr->dwFlags &= ~MHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutLongMsg(HMIDIOUT out, MIDIHDR* hdr, UINT size) {
  std::lock_guard lock(gMutex);
  HandleEntry* open = Find(out);
  if (!open) return MMSYSERR_INVALHANDLE;
  if (hdr == nullptr || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
  if (!(hdr->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
  if (hdr->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
  if (hdr->lpData == nullptr || hdr->dwBufferLength == 0) return MMSYSERR_INVALPARAM;
  hdr->dwFlags &= ~MHDR_DONE;
  const MMRESULT r = open->service->Send(
      open->port, reinterpret_cast<const unsigned char*>(hdr->lpData), hdr->dwBufferLength);
  if (r == MMSYSERR_NOERROR) hdr->dwFlags |= MHDR_DONE;
  return r;
}

MMRESULT midiOutClose(HMIDIOUT out) {
  std::lock_guard lock(gMutex);
  HandleEntry* open = Find(out);
  if (!open) return MMSYSERR_INVALHANDLE;
  // A refused close leaves the handle open, to be closed again.
  if (MMRESULT r = open->service->Close(open->port); r != MMSYSERR_NOERROR) return r;
  gHandles.erase(reinterpret_cast<std::uintptr_t>(out));
  return MMSYSERR_NOERROR;
}

}  // namespace mm
}  // namespace platform
