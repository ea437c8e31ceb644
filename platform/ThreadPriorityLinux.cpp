// On Linux a normal thread's priority is its nice value, which the kernel
// keeps per thread. Each classic step takes one nice value; reading maps a
// nice value back to the step it lies nearest to.
#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

struct Step {
  int priority;
  int nice;
};
constexpr Step kSteps[] = {{-15, 19}, {-2, 10}, {-1, 5}, {0, 0}, {1, -5}, {2, -10}, {15, -20}};

int NiceFor(int priority) {
  const Step* best = &kSteps[0];
  for (const Step& step : kSteps)
    if (std::abs(step.priority - priority) < std::abs(best->priority - priority)) best = &step;
  return best->nice;
}

int PriorityFor(int nice) {
  const Step* best = &kSteps[0];
  for (const Step& step : kSteps)
    if (std::abs(step.nice - nice) < std::abs(best->nice - nice)) best = &step;
  return best->priority;
}

}  // namespace

ThreadId CurrentThreadId() { return static_cast<ThreadId>(syscall(SYS_gettid)); }

bool SetThreadPriority(ThreadId thread, int priority) {
  if (thread <= 0) return false;
  return setpriority(PRIO_PROCESS, static_cast<id_t>(thread), NiceFor(priority)) == 0;
}

int GetThreadPriority(ThreadId thread) {
  if (thread <= 0) return 0;
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
  if (nice == -1 && errno != 0) return 0;
  return PriorityFor(nice);
}

}  // namespace platform
