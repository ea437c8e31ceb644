// MIDI output through the ALSA sequencer, on RtMidi.

#include <alsa/asoundlib.h>
#include <rtmidi/RtMidi.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/MidiServices.h"

namespace platform {
namespace {

using namespace mm;

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

bool AlsaSequencerOpens() {
  snd_lib_error_set_handler(&QuietAlsa);
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0) return false;
  snd_seq_close(seq);
  return true;
}

// A device that goes (an instrument unplugged) just leaves the listing, and
// one plugged in again, a new client under the same name, is listed afresh:
// ports are found by name at every open.
class AlsaService final : public MidiOutService {
 public:
  static std::unique_ptr<AlsaService> Open() {
    if (!AlsaSequencerOpens()) return nullptr;
    try {
      return std::unique_ptr<AlsaService>(
          new AlsaService(std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "Lumivant")));
    } catch (const RtMidiError&) {
      return nullptr;
    }
  }

  ~AlsaService() override {
    std::lock_guard lock(mutex_);
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
    std::unique_ptr<Connection> conn;
    if (MMRESULT r = Connect(devices[device], conn); r != MMSYSERR_NOERROR) return r;
    port = nextPort_++;
    ports_.emplace(port, std::move(conn));
    return MMSYSERR_NOERROR;
  }

  // The sequencer has the bytes once this returns: RtMidi drains its
  // output to the kernel with every message.
  MMRESULT Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) override {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
    Connection& conn = *it->second;
    conn.failed = false;
    conn.out->sendMessage(bytes, size);
    return conn.failed ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
  }

  MMRESULT Close(std::uint64_t port) override {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
    std::unique_ptr<Connection> conn = std::move(it->second);
    ports_.erase(it);
    Disconnect(std::move(conn->out));
    return MMSYSERR_NOERROR;
  }

  // The sequencer is the kernel's and rarely goes; when it has, the next
  // count looks for a system again.
  bool Live() override { return AlsaSequencerOpens(); }

 private:
  struct Connection {
    std::unique_ptr<RtMidiOut> out;
    bool failed = false;
    static void OnError(RtMidiError::Type, const std::string&, void* self) {
      static_cast<Connection*>(self)->failed = true;
    }
  };

  explicit AlsaService(std::unique_ptr<RtMidiOut> lister) : lister_(std::move(lister)) {
    lister_->setErrorCallback(&ListerError, this);
  }

  // The devices now, in the sequencer's order.
  std::vector<std::string> Devices() {
    std::vector<std::string> names;
    const unsigned n = lister_->getPortCount();
    for (unsigned i = 0; i < n; ++i) {
      listerFailed_ = false;
      std::string name = lister_->getPortName(i);
      names.push_back(listerFailed_ ? std::string() : std::move(name));  // empty: unreadable
    }
    return names;
  }

  // A new connection to `destination`.
  MMRESULT Connect(const std::string& destination, std::unique_ptr<Connection>& result) {
    auto conn = std::make_unique<Connection>();
    try {
      conn->out = TakeClient();
      conn->out->setErrorCallback(&Connection::OnError, conn.get());
      const auto index = Index(*conn->out, destination);
      if (!index) {
        Idle(std::move(conn->out));
        return MMSYSERR_BADDEVICEID;  // gone since it was listed
      }
      conn->out->openPort(*index, "out");
      if (conn->failed || !conn->out->isPortOpen()) {
        Disconnect(std::move(conn->out));
        return MMSYSERR_ERROR;
      }
    } catch (const RtMidiError&) {
      return MMSYSERR_ERROR;
    }
    result = std::move(conn);
    return MMSYSERR_NOERROR;
  }

  // Closes the port of `out` and keeps the client for the next connection.
  void Disconnect(std::unique_ptr<RtMidiOut> out) {
    out->closePort();
    Idle(std::move(out));
  }

  // A client with no port open: one kept from an earlier connection, or new.
  std::unique_ptr<RtMidiOut> TakeClient() {
    if (!idle_) return std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "Lumivant");
    return std::move(idle_);
  }

  // Keeps `out` (no port open) for the next open.
  void Idle(std::unique_ptr<RtMidiOut> out) {
    if (idle_) return;
    out->setErrorCallback(nullptr, nullptr);
    idle_ = std::move(out);
  }

  // RtMidi's number, in `out`'s own listing, of the port named `name`.
  static std::optional<unsigned> Index(RtMidiOut& out, const std::string& name) {
    const unsigned n = out.getPortCount();
    for (unsigned i = 0; i < n; ++i)
      if (out.getPortName(i) == name) return i;
    return std::nullopt;
  }

  static void ListerError(RtMidiError::Type, const std::string&, void* self) {
    static_cast<AlsaService*>(self)->listerFailed_ = true;
  }

  std::mutex mutex_;
  std::unique_ptr<RtMidiOut> lister_;
  bool listerFailed_ = false;
  std::map<std::uint64_t, std::unique_ptr<Connection>> ports_;
  std::unique_ptr<RtMidiOut> idle_;  // port closed
  std::uint64_t nextPort_ = 1;
};

}  // namespace

std::unique_ptr<MidiOutService> OpenAlsaSequencer() { return AlsaService::Open(); }

}  // namespace platform
