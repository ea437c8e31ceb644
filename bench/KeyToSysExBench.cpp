// A typed key to the last byte of the screenshot request at a JACK MIDI
// input of our own, which the program lists first because it is there
// before the program starts.
// Usage: key_to_sysex_bench PROGRAM [RUNS]
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

#include "bench/ChildWindow.h"

namespace {

using namespace std::chrono;
using bench::Clock;

struct Sink {
  jack_port_t* in = nullptr;
  std::uint32_t tail = 0;                 // the last four bytes seen, oldest highest
  std::atomic<std::int64_t> lastSeen{0};  // steady_clock ticks at the end of a request
};

// The third message ends 02 01 03 F7; the first two end otherwise.
int Process(jack_nframes_t frames, void* arg) {
  auto* sink = static_cast<Sink*>(arg);
  void* buf = jack_port_get_buffer(sink->in, frames);
  const jack_nframes_t n = jack_midi_get_event_count(buf);
  for (jack_nframes_t i = 0; i < n; ++i) {
    jack_midi_event_t ev;
    if (jack_midi_event_get(&ev, buf, i) != 0) continue;
    for (std::size_t k = 0; k < ev.size; ++k) {
      sink->tail = sink->tail << 8 | ev.buffer[k];
      if (sink->tail == 0x020103F7u)
        sink->lastSeen.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
    }
  }
  return 0;
}

// Seconds from just before the key press to the end of the request at the
// sink; negative when nothing came within 2 s.
double PressOnce(Display* dpy, KeyCode key, const Sink& sink) {
  const auto t0 = Clock::now();
  XTestFakeKeyEvent(dpy, key, True, 0);
  XTestFakeKeyEvent(dpy, key, False, 0);
  XFlush(dpy);
  const auto deadline = t0 + seconds(2);
  while (Clock::now() < deadline) {
    const Clock::time_point t{Clock::duration{sink.lastSeen.load(std::memory_order_acquire)}};
    if (t > t0) return duration<double>(t - t0).count();
    std::this_thread::sleep_for(microseconds(200));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PROGRAM [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;

  Sink sink;
  jack_client_t* client = jack_client_open("lumivant_bench", JackNoStartServer, nullptr);
  if (client == nullptr) {
    std::fprintf(stderr, "no JACK server (JACK_DEFAULT_SERVER=%s)\n",
                 std::getenv("JACK_DEFAULT_SERVER") ? std::getenv("JACK_DEFAULT_SERVER") : "");
    return 2;
  }
  sink.in = jack_port_register(client, "sysex_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  if (sink.in == nullptr || jack_set_process_callback(client, &Process, &sink) != 0 ||
      jack_activate(client) != 0) {
    std::fprintf(stderr, "cannot set up the JACK MIDI input\n");
    return 2;
  }
  const jack_nframes_t frames = jack_get_buffer_size(client), rate = jack_get_sample_rate(client);
  const double period = static_cast<double>(frames) / rate;

  Display* dpy = bench::OpenDisplayOrDie();
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
    std::fprintf(stderr, "the X server has no XTEST\n");
    return 2;
  }
  const pid_t pid = bench::Spawn(argv[1]);
  const Window w = bench::WaitForFrame(dpy, pid, {"Lumivant", 222, 76, 212, 208, 200});
  if (w == 0) {
    std::fprintf(stderr, "%s showed no window\n", argv[1]);
    return 1;
  }
  XSetInputFocus(dpy, w, RevertToPointerRoot, CurrentTime);
  XSync(dpy, False);
  std::this_thread::sleep_for(milliseconds(200));  // for SDL to take the focus in

  const KeyCode key = XKeysymToKeycode(dpy, XK_a);
  // The first press also finds its way through code and caches not yet warm.
  const double first = PressOnce(dpy, key, sink);
  std::vector<double> times;
  int lost = 0;
  if (first >= 0) {
    for (int i = 0; i < runs; ++i) {
      std::this_thread::sleep_for(milliseconds(100));
      const double t = PressOnce(dpy, key, sink);
      if (t < 0)
        ++lost;
      else
        times.push_back(t);
    }
  }
  bench::Stop(pid);
  XCloseDisplay(dpy);
  jack_client_close(client);

  std::printf("Key press to the last SysEx byte at a JACK MIDI input\n");
  std::printf("JACK period %u frames at %u Hz: %.2f ms\n", frames, rate, period * 1e3);
  if (first < 0) {
    std::printf("the first key press brought no SysEx within 2 s: nothing measured\n");
    return 1;
  }
  std::sort(times.begin(), times.end());
  const double target = period + 1e-3;
  std::printf("%-28s %9.2f ms\n", "first press", first * 1e3);
  if (times.empty()) {
    std::printf("no later press brought SysEx within 2 s\n");
    return 1;
  }
  const double median = times[times.size() / 2];
  std::printf("%-28s %9.2f ms   min %.2f ms, max %.2f ms, %zu of %d presses%s\n", "key to last SysEx byte",
              median * 1e3, times.front() * 1e3, times.back() * 1e3, times.size(), runs,
              lost ? " (others brought nothing in 2 s)" : "");
  const bool met = median <= target && lost == 0;
  std::printf("%-28s %9.2f ms   (period + 1 ms): %s\n", "target", target * 1e3, met ? "met" : "MISSED");
  std::printf("%s\n", met ? "all targets met" : "some targets missed");
  return 0;
}
