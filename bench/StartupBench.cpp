// Start-up of a program to its first shown frame, and its resident memory
// then, beside a bare SDL2 window started the same way.
// Usage: startup_bench PROGRAM BARE_WINDOW [RUNS]
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "bench/ChildWindow.h"

namespace {

struct Sample {
  double seconds;
  double rssMb;
  double shmemMb;  // of rssMb: shared memory, such as a JACK server's segment
};

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// A "Name:   123 kB" line of /proc/<pid>/status, in MB.
double StatusMb(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024.0;
  return 0;
}

bool Run(Display* dpy, const char* path, const bench::FirstFrame& frame, Sample& out) {
  const auto start = bench::Clock::now();
  const pid_t pid = bench::Spawn(path);
  if (pid < 0) return false;
  const Window w = bench::WaitForFrame(dpy, pid, frame);
  const std::chrono::duration<double> elapsed = bench::Clock::now() - start;
  if (w != 0) out = {elapsed.count(), StatusMb(pid, "VmRSS"), StatusMb(pid, "RssShmem")};
  bench::Stop(pid);
  return w != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PROGRAM BARE_WINDOW [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
  Display* dpy = bench::OpenDisplayOrDie();
  // The Scan button's face above its caption, and the bare window's fill.
  const bench::FirstFrame program{"Lumivant", 222, 76, 212, 208, 200};
  const bench::FirstFrame bare{"Bare", 150, 150, 40, 120, 200};

  std::vector<double> programTimes, bareTimes, programRss, bareRss, programUnshared, programShmem;
  for (int i = 0; i < runs; ++i) {
    // Alternating spreads any drift in the machine's load over both.
    for (const bool real : {false, true}) {
      Sample s{};
      if (!Run(dpy, real ? argv[1] : argv[2], real ? program : bare, s)) {
        std::fprintf(stderr, "%s showed no first frame\n", real ? argv[1] : argv[2]);
        return 1;
      }
      (real ? programTimes : bareTimes).push_back(s.seconds);
      (real ? programRss : bareRss).push_back(s.rssMb);
      if (real) {
        programUnshared.push_back(s.rssMb - s.shmemMb);
        programShmem.push_back(s.shmemMb);
      }
    }
  }

  const double t = Median(programTimes), ref = Median(bareTimes);
  const double rss = Median(programRss), refRss = Median(bareRss);
  const bool fast = t / ref <= 1.5, small = rss < 30.0;
  std::printf("Start-up to the first shown frame, median of %d runs each\n", runs);
  std::printf("%-28s %9.2f ms   %-8s %9.2f ms   ratio %6.2f (target <= %.2f): %s\n",
              "start-up to first frame", t * 1e3, "bare", ref * 1e3, t / ref, 1.5, fast ? "met" : "MISSED");
  std::printf("%-28s %9.2f MB   %-8s %9.2f MB   (target < %.2f MB): %s\n", "resident memory then", rss,
              "bare", refRss, 30.0, small ? "met" : "MISSED");
  // JACK clients map the server's shared segment; it is counted in every
  // client's VmRSS but belongs to the server.
  std::printf("%-28s %9.2f MB   (shared memory, RssShmem: %.2f MB)\n", "resident less shared memory",
              Median(programUnshared), Median(programShmem));
  std::printf("%s\n", fast && small ? "all targets met" : "some targets missed");
  XCloseDisplay(dpy);
  return 0;
}
