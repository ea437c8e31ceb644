// A small measuring harness: the median time of many runs of a piece of work,
// and a line that sets a figure beside its reference.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

// Median seconds of one call of `work`, over `runs` timed batches of
// `perBatch` calls each (after one untimed warm-up batch).
template <typename Work>
double MedianSeconds(Work&& work, int runs = 31, int perBatch = 20) {
  for (int i = 0; i < perBatch; ++i) work();
  std::vector<double> times;
  for (int r = 0; r < runs; ++r) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < perBatch; ++i) work();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    times.push_back(elapsed.count() / perBatch);
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[runs / 2];
}

// Prints "name: 12.3 us, reference 4.5 us, ratio 2.73 (target <= 3.00): met".
inline bool Report(const char* name, double seconds, const char* reference, double refSeconds,
                   double targetRatio) {
  const double ratio = seconds / refSeconds;
  const bool met = ratio <= targetRatio;
  std::printf("%-28s %9.2f us   %-8s %9.2f us   ratio %6.2f (target <= %.2f): %s\n", name, seconds * 1e6,
              reference, refSeconds * 1e6, ratio, targetRatio, met ? "met" : "MISSED");
  return met;
}

// Keeps the optimiser from dropping work whose result is not otherwise used.
inline void KeepAlive(const void* p) { asm volatile("" : : "g"(p) : "memory"); }

}  // namespace bench
