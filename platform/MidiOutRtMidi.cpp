// The classic MIDI output functions, and the service behind them on RtMidi.

#include "platform/MidiOut.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
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

// A client of our own that only counts process cycles. RtMidi's JACK port
// sends from a ring buffer drained in its process callback, so a message is
// out once a whole cycle has begun and ended after it was queued; counting
// cycles tells when that is, whatever the period or a stalled server.
class JackCycles {
 public:
  static std::unique_ptr<JackCycles> Open() {
    jack_set_error_function(&QuietJack);
    jack_set_info_function(&QuietJack);
    jack_client_t* client = jack_client_open("Lumivant", JackNoStartServer, nullptr);
    if (client == nullptr) return nullptr;
    std::unique_ptr<JackCycles> cycles(new JackCycles(client));
    jack_on_shutdown(client, &JackCycles::Shutdown, cycles.get());
    if (jack_set_process_callback(client, &JackCycles::Process, cycles.get()) != 0 ||
        jack_activate(client) != 0)
      return nullptr;
    return cycles;
  }

  ~JackCycles() { jack_client_close(client_); }

  std::uint64_t Now() const { return count_.load(std::memory_order_acquire); }

  // Until `cycles` more process cycles have started after `from`: the one
  // running at `from` may have passed RtMidi's callback already, the next
  // carries the message, and the one after starts once that is finished.
  void WaitPast(std::uint64_t from, unsigned cycles) const {
    const jack_nframes_t rate = std::max<jack_nframes_t>(jack_get_sample_rate(client_), 1);
    const auto period =
        std::chrono::microseconds(std::uint64_t{jack_get_buffer_size(client_)} * 1000000 / rate);
    const auto deadline = Clock::now() + std::max<Clock::duration>(
                                             std::chrono::milliseconds(200), period * (cycles + 2));
    while (Now() < from + cycles && !gone_.load() && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::microseconds(500));
  }

 private:
  explicit JackCycles(jack_client_t* client) : client_(client) {}
  static int Process(jack_nframes_t, void* self) {
    static_cast<JackCycles*>(self)->count_.fetch_add(1, std::memory_order_release);
    return 0;
  }
  static void Shutdown(void* self) { static_cast<JackCycles*>(self)->gone_ = true; }

  jack_client_t* client_;
  std::atomic<std::uint64_t> count_{0};
  std::atomic<bool> gone_{false};
};

// Cycles to wait after a connect or a send; see JackCycles::WaitPast.
constexpr unsigned kSettleCycles = 3;

class RtMidiService final : public MidiOutService {
 public:
  static std::unique_ptr<RtMidiService> Open(RtMidi::Api api, std::unique_ptr<JackCycles> cycles) {
    try {
      auto lister = std::make_unique<RtMidiOut>(api, "Lumivant");
      return std::unique_ptr<RtMidiService>(
          new RtMidiService(api, std::move(lister), std::move(cycles)));
    } catch (const RtMidiError&) {
      return nullptr;
    }
  }

  unsigned Count() override {
    std::lock_guard lock(mutex_);
    return lister_->getPortCount();
  }

  MMRESULT Name(unsigned device, std::string& name) override {
    std::lock_guard lock(mutex_);
    listerFailed_ = false;
    name = lister_->getPortName(device);
    return listerFailed_ || name.empty() ? MMSYSERR_BADDEVICEID : MMSYSERR_NOERROR;
  }

  MMRESULT Open(unsigned device, std::uint64_t& port) override {
    std::lock_guard lock(mutex_);
    auto conn = std::make_unique<Connection>();
    try {
      conn->out = std::make_unique<RtMidiOut>(api_, "Lumivant");
      conn->out->setErrorCallback(&Connection::OnError, conn.get());
      if (device >= conn->out->getPortCount()) return MMSYSERR_BADDEVICEID;
      conn->out->openPort(device, "out");
    } catch (const RtMidiError&) {
      return MMSYSERR_ERROR;
    }
    if (conn->failed || !conn->out->isPortOpen()) {
      conn->out->closePort();
      if (cycles_) cycles_->WaitPast(cycles_->Now(), 2);  // as in Close
      return MMSYSERR_ERROR;
    }
    // A new connection joins the graph at a cycle boundary; what is sent
    // before that goes nowhere.
    if (cycles_) cycles_->WaitPast(cycles_->Now(), kSettleCycles);
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
    conn.sent = true;
    if (cycles_) conn.sentAt = cycles_->Now();
    return MMSYSERR_NOERROR;
  }

  MMRESULT Close(std::uint64_t port) override {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
    RtMidiOut& out = *it->second->out;
    if (cycles_ && it->second->sent) cycles_->WaitPast(it->second->sentAt, kSettleCycles);
    out.closePort();
    // RtMidi frees its JACK ring buffer before closing the client, so a
    // process callback that began while the port was still open could read
    // freed memory; once it has finished, a callback only sees no port.
    if (cycles_) cycles_->WaitPast(cycles_->Now(), 2);
    ports_.erase(it);
    return MMSYSERR_NOERROR;
  }

 private:
  struct Connection {
    std::unique_ptr<RtMidiOut> out;
    bool failed = false;
    bool sent = false;
    std::uint64_t sentAt = 0;
    static void OnError(RtMidiError::Type, const std::string&, void* self) {
      static_cast<Connection*>(self)->failed = true;
    }
  };

  RtMidiService(RtMidi::Api api, std::unique_ptr<RtMidiOut> lister,
                std::unique_ptr<JackCycles> cycles)
      : api_(api), lister_(std::move(lister)), cycles_(std::move(cycles)) {
    lister_->setErrorCallback(&ListerError, this);
  }

  static void ListerError(RtMidiError::Type, const std::string&, void* self) {
    static_cast<RtMidiService*>(self)->listerFailed_ = true;
  }

  std::mutex mutex_;
  RtMidi::Api api_;
  std::unique_ptr<RtMidiOut> lister_;
  bool listerFailed_ = false;
  // Declared after every RtMidiOut so it is the last JACK client closed.
  std::unique_ptr<JackCycles> cycles_;
  std::map<std::uint64_t, std::unique_ptr<Connection>> ports_;
  std::uint64_t nextPort_ = 1;
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
      auto cycles = JackCycles::Open();
      if (!cycles) return nullptr;
      return RtMidiService::Open(RtMidi::UNIX_JACK, std::move(cycles));
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
