// The MIDI services of Linux, on RtMidi: the ALSA sequencer, else JACK.

#include "platform/MidiServices.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <unistd.h>
#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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
  // The MIDI inputs of the graph in the server's order, our own left out.
  std::vector<std::string> Destinations() const {
    std::vector<std::string> names;
    const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    if (ports == nullptr) return names;
    const std::string own = jack_port_name(in_);
    for (const char** p = ports; *p != nullptr; ++p)
      if (own != *p) names.emplace_back(*p);
    jack_free(ports);
    return names;
  }
  std::uint64_t BytesSeen() const { return seen_.load(std::memory_order_acquire); }

  // Connects our input to the output port whose short name is `portName`
  // and gives that port's full name.
  bool Watch(const std::string& portName, std::string& fullName) {
    const std::string pattern = ":" + portName + "$";
    const char** ports = jack_get_ports(client_, pattern.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    if (ports == nullptr) return false;
    const bool ok = ports[0] != nullptr && ports[1] == nullptr &&
                    jack_connect(client_, ports[0], jack_port_name(in_)) == 0;
    if (ok) fullName = ports[0];
    jack_free(ports);
    return ok;
  }

  // Whether port `from` is connected both to `to` and to our input.
  bool Connected(const std::string& from, const std::string& to) const {
    jack_port_t* port = jack_port_by_name(client_, from.c_str());
    if (port == nullptr) return false;
    const char** names = jack_port_get_all_connections(client_, port);
    if (names == nullptr) return false;
    bool toTarget = false, toUs = false;
    const std::string us = jack_port_name(in_);
    for (const char** n = names; *n != nullptr; ++n) {
      toTarget = toTarget || to == *n;
      toUs = toUs || us == *n;
    }
    jack_free(names);
    return toTarget && toUs;
  }

  // Until a process cycle has run with `count` ports connected to our input:
  // the server takes graph changes in at the start of a cycle, when it can.
  void WaitConnected(int count) const {
    WaitFor([&] { return live_.load(std::memory_order_acquire) == count; });
  }

  // Until `cycles` more process cycles have started.
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
    m->live_.store(jack_port_connected(m->in_), std::memory_order_release);
    m->cycles_.fetch_add(1, std::memory_order_release);
    return 0;
  }
  static void Shutdown(void* self) { static_cast<JackMonitor*>(self)->gone_ = true; }

  jack_client_t* client_;
  jack_port_t* in_ = nullptr;
  std::atomic<std::uint64_t> cycles_{0};
  std::atomic<std::uint64_t> seen_{0};
  std::atomic<int> live_{0};  // connections in the graph of the last cycle
  std::atomic<bool> gone_{false};
};

class RtMidiService final : public MidiOutService {
 public:
  static std::unique_ptr<RtMidiService> Open(RtMidi::Api api, std::unique_ptr<JackMonitor> monitor) {
    try {
      // Over JACK the monitor's client lists the ports; a client more
      // would only slow the start.
      auto lister = monitor ? nullptr : std::make_unique<RtMidiOut>(api, "Lumivant");
      return std::unique_ptr<RtMidiService>(new RtMidiService(api, std::move(lister), std::move(monitor)));
    } catch (const RtMidiError&) {
      return nullptr;
    }
  }

  // RtMidi frees a JACK client's ring buffer before closing the client: its
  // port is closed first, as on every disconnect.
  ~RtMidiService() override {
    std::lock_guard lock(mutex_);
    Unpark();
    while (!ports_.empty()) {
      std::unique_ptr<RtMidiOut> out = std::move(ports_.begin()->second->out);
      ports_.erase(ports_.begin());
      Disconnect(std::move(out));
    }
  }

  unsigned Count() override {
    std::lock_guard lock(mutex_);
    return static_cast<unsigned>(Devices().size());
  }

  MMRESULT Name(unsigned device, std::string& name) override {
    std::lock_guard lock(mutex_);
    const std::vector<std::string> devices = Devices();
    name = device < devices.size() ? devices[device] : std::string();
    return name.empty() ? MMSYSERR_BADDEVICEID : MMSYSERR_NOERROR;
  }

  MMRESULT Open(unsigned device, std::uint64_t& port) override {
    std::lock_guard lock(mutex_);
    const std::vector<std::string> devices = Devices();
    if (device >= devices.size() || devices[device].empty()) return MMSYSERR_BADDEVICEID;
    const std::string& destination = devices[device];
    std::unique_ptr<Connection> conn;
    if (parked_ && parked_->destination == destination &&
        monitor_->Connected(parked_->fullName, destination)) {
      conn = std::move(parked_);
    } else {
      Unpark();
      MMRESULT r = Connect(destination, conn);
      if (r != MMSYSERR_NOERROR) return r;
    }
    conn->out->setErrorCallback(&Connection::OnError, conn.get());
    if (monitor_) conn->seenAtOpen = monitor_->BytesSeen();
    conn->sentAtOpen = sentBytes_;
    conn->sentUpTo = sentBytes_;
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
    std::unique_ptr<Connection> conn = std::move(it->second);
    ports_.erase(it);
    // Until the monitor has seen as many bytes since this port opened as
    // were sent since (exact while one port is open, as the program has);
    // one more cycle lets the instrument's client finish that cycle.
    if (monitor_ && conn->sentUpTo > conn->sentAtOpen) {
      monitor_->WaitSeen(conn->seenAtOpen + (conn->sentUpTo - conn->sentAtOpen));
      monitor_->WaitCycles(1);
    }
    conn->out->setErrorCallback(nullptr, nullptr);
    if (monitor_ && !parked_) {
      parked_ = std::move(conn);
      return MMSYSERR_NOERROR;
    }
    Disconnect(std::move(conn->out));
    return MMSYSERR_NOERROR;
  }

 private:
  struct Connection {
    std::unique_ptr<RtMidiOut> out;
    bool failed = false;
    std::string destination;       // the device's port
    std::string fullName;          // our port, over JACK
    std::uint64_t sentAtOpen = 0;  // sentBytes_ when opened
    std::uint64_t sentUpTo = 0;    // sentBytes_ after this port's last message
    std::uint64_t seenAtOpen = 0;  // the monitor's count when opened
    static void OnError(RtMidiError::Type, const std::string&, void* self) {
      static_cast<Connection*>(self)->failed = true;
    }
  };

  RtMidiService(RtMidi::Api api, std::unique_ptr<RtMidiOut> lister, std::unique_ptr<JackMonitor> monitor)
      : api_(api), lister_(std::move(lister)), monitor_(std::move(monitor)) {
    if (lister_) lister_->setErrorCallback(&ListerError, this);
  }

  // The devices now, in the service's order.
  std::vector<std::string> Devices() {
    if (monitor_) return monitor_->Destinations();
    std::vector<std::string> names;
    const unsigned n = lister_->getPortCount();
    for (unsigned i = 0; i < n; ++i) {
      listerFailed_ = false;
      std::string name = lister_->getPortName(i);
      names.push_back(listerFailed_ ? std::string() : std::move(name));  // empty: unreadable
    }
    return names;
  }

  // A new connection to `destination`, in the graph once this returns.
  MMRESULT Connect(const std::string& destination, std::unique_ptr<Connection>& result) {
    auto conn = std::make_unique<Connection>();
    conn->destination = destination;
    try {
      conn->out = TakeClient();
      conn->out->setErrorCallback(&Connection::OnError, conn.get());
      const auto index = Index(*conn->out, destination);
      if (!index) {
        Idle(std::move(conn->out));
        return MMSYSERR_BADDEVICEID;  // gone since it was listed
      }
      // A name of its own, so the monitor finds this port among others.
      const std::string portName = "out-" + std::to_string(getpid()) + "-" + std::to_string(nextPort_);
      conn->out->openPort(*index, portName);
      if (conn->failed || !conn->out->isPortOpen() ||
          (monitor_ && !monitor_->Watch(portName, conn->fullName))) {
        Disconnect(std::move(conn->out));
        return MMSYSERR_ERROR;
      }
    } catch (const RtMidiError&) {
      return MMSYSERR_ERROR;
    }
    // What is sent before the connections are in the graph goes nowhere.
    // The instrument's was asked for before ours, so it is in when ours is.
    if (monitor_) {
      monitor_->WaitConnected(static_cast<int>(ports_.size()) + 1);
      monitor_->WaitCycles(2);
    }
    result = std::move(conn);
    return MMSYSERR_NOERROR;
  }

  // Closes the port of `out` and keeps the client for the next connection.
  void Disconnect(std::unique_ptr<RtMidiOut> out) {
    out->closePort();
    // Until the graph has let go of the port: a callback that began while it
    // was open is done with it then, and connections are counted afresh.
    if (monitor_) {
      monitor_->WaitConnected(static_cast<int>(ports_.size() + (parked_ ? 1 : 0)));
      monitor_->WaitCycles(1);
    }
    Idle(std::move(out));
  }

  void Unpark() {
    if (!parked_) return;
    std::unique_ptr<RtMidiOut> out = std::move(parked_->out);
    parked_.reset();
    Disconnect(std::move(out));
  }

  // A client with no port open: one kept from an earlier connection, or new.
  std::unique_ptr<RtMidiOut> TakeClient() {
    if (idle_.empty()) return std::make_unique<RtMidiOut>(api_, "Lumivant");
    std::unique_ptr<RtMidiOut> out = std::move(idle_.back());
    idle_.pop_back();
    return out;
  }

  // Keeps `out` (no port open, no callback busy with one) for the next open.
  void Idle(std::unique_ptr<RtMidiOut> out) {
    if (!idle_.empty()) return;
    out->setErrorCallback(nullptr, nullptr);
    idle_.push_back(std::move(out));
  }

  // RtMidi's number, in `out`'s own listing, of the port named `name`.
  static std::optional<unsigned> Index(RtMidiOut& out, const std::string& name) {
    const unsigned n = out.getPortCount();
    for (unsigned i = 0; i < n; ++i)
      if (out.getPortName(i) == name) return i;
    return std::nullopt;
  }

  static void ListerError(RtMidiError::Type, const std::string&, void* self) {
    static_cast<RtMidiService*>(self)->listerFailed_ = true;
  }

  std::mutex mutex_;
  RtMidi::Api api_;
  std::unique_ptr<RtMidiOut> lister_;
  bool listerFailed_ = false;
  // Declared before the connections, so its client is closed after theirs.
  std::unique_ptr<JackMonitor> monitor_;
  std::map<std::uint64_t, std::unique_ptr<Connection>> ports_;
  std::vector<std::unique_ptr<RtMidiOut>> idle_;  // port closed, callback done with it
  // Over JACK the last connection closed stays connected, its messages all
  // delivered: opening the same device again then changes nothing in the
  // graph. A graph change takes effect at a cycle the server picks, and
  // what is sent before it is lost; avoiding it also saves the wait.
  std::unique_ptr<Connection> parked_;
  std::uint64_t nextPort_ = 1;
  std::uint64_t sentBytes_ = 0;
};

}  // namespace

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
    case MidiSystem::Multimedia: return nullptr;  // Windows only
    case MidiSystem::None: break;
  }
  return std::make_unique<NoMidiService>();
}

const std::vector<MidiSystem>& MidiSystemsToTry() {
  static const std::vector<MidiSystem> systems{MidiSystem::AlsaSequencer, MidiSystem::Jack};
  return systems;
}

}  // namespace platform
