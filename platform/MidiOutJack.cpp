// MIDI output to a running JACK server, through one client of our own: a
// port of ours per connection, written from the client's process callback.

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/MidiServices.h"

namespace platform {
namespace {

using namespace mm;
using Clock = std::chrono::steady_clock;

void QuietJack(const char*) {}

// A port of ours, connected to one device's port. Messages wait in `queue`
// (each a 32-bit length, then its bytes) until a cycle in which the
// connection is in the graph; the device's client, after ours in that
// cycle, has them then.
struct Output {
  jack_port_t* port = nullptr;
  jack_ringbuffer_t* queue = nullptr;
  std::string destination;
  std::uint64_t queued = 0;              // bytes handed over
  std::atomic<std::uint64_t> passed{0};  // bytes written out (or dropped) by the callback

  ~Output() {
    if (queue != nullptr) jack_ringbuffer_free(queue);
  }

  // In the process callback: as many whole messages as fit this cycle.
  void Pass(void* buffer) {
    std::uint64_t passed_now = passed.load(std::memory_order_relaxed);
    std::uint32_t size = 0;
    while (jack_ringbuffer_peek(queue, reinterpret_cast<char*>(&size), sizeof size) == sizeof size &&
           jack_ringbuffer_read_space(queue) >= sizeof size + size) {
      jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, size);
      // Full for this cycle: the rest goes in the next. One that does not
      // fit an empty buffer never will and is dropped.
      if (event == nullptr && jack_midi_get_event_count(buffer) > 0) break;
      jack_ringbuffer_read_advance(queue, sizeof size);
      if (event != nullptr)
        jack_ringbuffer_read(queue, reinterpret_cast<char*>(event), size);
      else
        jack_ringbuffer_read_advance(queue, size);
      passed_now += size;
    }
    passed.store(passed_now, std::memory_order_release);
  }
};

class JackService final : public MidiOutService {
 public:
  static std::unique_ptr<JackService> Open() {
    jack_set_error_function(&QuietJack);
    jack_set_info_function(&QuietJack);
    jack_client_t* client = jack_client_open("Lumivant", JackNoStartServer, nullptr);
    if (client == nullptr) return nullptr;
    std::unique_ptr<JackService> service(new JackService(client));
    jack_on_shutdown(client, &JackService::Shutdown, service.get());
    if (jack_set_process_callback(client, &JackService::Process, service.get()) != 0 ||
        jack_activate(client) != 0)
      return nullptr;
    return service;
  }

  ~JackService() override {
    std::lock_guard lock(mutex_);
    if (!LetGoIfGone()) {
      Unpark();
      for (auto& [port, out] : ports_) Disconnect(std::move(out));
    }
    if (client_ != nullptr) jack_client_close(client_);
  }

  unsigned Count() override {
    std::lock_guard lock(mutex_);
    return LetGoIfGone() ? 0 : static_cast<unsigned>(Devices().size());
  }

  MMRESULT Name(unsigned device, std::string& name) override {
    std::lock_guard lock(mutex_);
    if (LetGoIfGone()) return MMSYSERR_NODRIVER;
    const std::vector<std::string> devices = Devices();
    if (device >= devices.size()) return MMSYSERR_BADDEVICEID;
    name = devices[device];
    return MMSYSERR_NOERROR;
  }

  MMRESULT Open(unsigned device, std::uint64_t& port) override {
    std::lock_guard lock(mutex_);
    if (LetGoIfGone()) return MMSYSERR_NODRIVER;
    const std::vector<std::string> devices = Devices();
    if (device >= devices.size()) return MMSYSERR_BADDEVICEID;
    std::unique_ptr<Output> out;
    if (parked_ && parked_->destination == devices[device] &&
        jack_port_connected_to(parked_->port, devices[device].c_str())) {
      out = std::move(parked_);
    } else {
      Unpark();
      if (MMRESULT r = Connect(devices[device], out); r != MMSYSERR_NOERROR) return r;
    }
    port = nextPort_++;
    ports_.emplace(port, std::move(out));
    return MMSYSERR_NOERROR;
  }

  MMRESULT Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) override {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
    if (LetGoIfGone()) return MMSYSERR_NODRIVER;
    Output& out = *it->second;
    const auto length = static_cast<std::uint32_t>(size);
    const std::size_t need = sizeof length + size;
    if (size > kQueueBytes / 2) return MMSYSERR_INVALPARAM;
    WaitFor([&] { return jack_ringbuffer_write_space(out.queue) >= need; });
    if (jack_ringbuffer_write_space(out.queue) < need) return gone_ ? MMSYSERR_NODRIVER : MMSYSERR_ERROR;
    jack_ringbuffer_write(out.queue, reinterpret_cast<const char*>(&length), sizeof length);
    jack_ringbuffer_write(out.queue, reinterpret_cast<const char*>(bytes), size);
    out.queued += size;
    return MMSYSERR_NOERROR;
  }

  MMRESULT Close(std::uint64_t port) override {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return MMSYSERR_INVALHANDLE;
    std::unique_ptr<Output> out = std::move(it->second);
    ports_.erase(it);
    if (LetGoIfGone()) return MMSYSERR_NOERROR;
    // Until the callback has written out all that was handed over; one more
    // cycle lets the device's client finish the cycle that has the last.
    if (out->passed.load(std::memory_order_acquire) < out->queued) {
      WaitFor([&] { return out->passed.load(std::memory_order_acquire) >= out->queued; });
      WaitCycles(1);
    }
    if (LetGoIfGone()) return MMSYSERR_NOERROR;  // went while we waited
    if (!parked_)
      parked_ = std::move(out);
    else
      Disconnect(std::move(out));
    return MMSYSERR_NOERROR;
  }

  bool Live() override {
    std::lock_guard lock(mutex_);
    return !LetGoIfGone();
  }

 private:
  static constexpr std::size_t kQueueBytes = 1 << 16;
  static constexpr std::size_t kSlots = 8;

  explicit JackService(jack_client_t* client) : client_(client) {}

  // The MIDI inputs of the graph, in the server's order.
  std::vector<std::string> Devices() const {
    std::vector<std::string> names;
    const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    if (ports == nullptr) return names;
    for (const char** p = ports; *p != nullptr; ++p) names.emplace_back(*p);
    jack_free(ports);
    return names;
  }

  // A new port of ours, connected to `destination`: the connection is in
  // the graph from a cycle the server picks, and what is handed over waits
  // for it.
  MMRESULT Connect(const std::string& destination, std::unique_ptr<Output>& result) {
    std::atomic<Output*>* slot = nullptr;
    for (auto& s : slots_)
      if (!slot && s.load(std::memory_order_relaxed) == nullptr) slot = &s;
    if (slot == nullptr) return MMSYSERR_ALLOCATED;
    auto out = std::make_unique<Output>();
    out->destination = destination;
    out->queue = jack_ringbuffer_create(kQueueBytes);
    const std::string name = "out-" + std::to_string(nextPort_);
    out->port = jack_port_register(client_, name.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (out->queue == nullptr || out->port == nullptr) {
      if (out->port != nullptr) jack_port_unregister(client_, out->port);
      return MMSYSERR_NOMEM;
    }
    slot->store(out.get(), std::memory_order_release);
    if (jack_connect(client_, jack_port_name(out->port), destination.c_str()) != 0) {
      Disconnect(std::move(out));
      return MMSYSERR_BADDEVICEID;  // gone since it was listed
    }
    result = std::move(out);
    return MMSYSERR_NOERROR;
  }

  // Takes the port away, once the callback is done with it.
  void Disconnect(std::unique_ptr<Output> out) {
    for (auto& slot : slots_)
      if (slot.load(std::memory_order_relaxed) == out.get()) slot.store(nullptr, std::memory_order_release);
    WaitCycles(1);
    jack_port_unregister(client_, out->port);
  }

  void Unpark() {
    if (parked_) Disconnect(std::move(parked_));
  }

  // Whether the server has gone; the first call that finds it so leaves it:
  // closing the client ends its threads, so no callback uses a port any
  // more, and every port is let go without a word to the server.
  bool LetGoIfGone() {
    if (!gone_.load()) return false;
    if (client_ != nullptr) {
      jack_client_close(client_);
      client_ = nullptr;
    }
    for (auto& slot : slots_) slot.store(nullptr);
    parked_.reset();
    for (auto& [port, out] : ports_) out.reset();
    return true;
  }

  // Until `done`, the server's going, or a limit: a live server answers
  // within a few periods however loaded the machine; the limit only keeps a
  // stalled one from hanging the caller.
  template <class Done>
  void WaitFor(Done done) const {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (!done() && !gone_.load() && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::microseconds(500));
  }

  // Until `cycles` more process cycles have ended.
  void WaitCycles(unsigned cycles) const {
    const std::uint64_t target = cycles_.load(std::memory_order_acquire) + cycles;
    WaitFor([&] { return cycles_.load(std::memory_order_acquire) >= target; });
  }

  static int Process(jack_nframes_t frames, void* self) {
    auto* s = static_cast<JackService*>(self);
    for (auto& slot : s->slots_) {
      Output* out = slot.load(std::memory_order_acquire);
      if (out == nullptr) continue;
      void* buffer = jack_port_get_buffer(out->port, frames);
      jack_midi_clear_buffer(buffer);
      // Sent before its connection is in the graph, a message would go nowhere.
      if (jack_port_connected(out->port) > 0) out->Pass(buffer);
    }
    s->cycles_.fetch_add(1, std::memory_order_release);  // last: done with every port
    return 0;
  }

  // On the client library's own thread, which must not close the client.
  static void Shutdown(void* self) { static_cast<JackService*>(self)->gone_ = true; }

  std::mutex mutex_;
  jack_client_t* client_;
  std::atomic<bool> gone_{false};
  std::atomic<std::uint64_t> cycles_{0};
  std::array<std::atomic<Output*>, kSlots> slots_{};  // the ports the callback serves
  std::map<std::uint64_t, std::unique_ptr<Output>> ports_;
  // The last connection closed stays, its messages all delivered: opening
  // the same device again then changes nothing in the graph and needs no
  // wait for a connection.
  std::unique_ptr<Output> parked_;
  std::uint64_t nextPort_ = 1;
};

}  // namespace

std::unique_ptr<MidiOutService> OpenJackServer() { return JackService::Open(); }

}  // namespace platform
