// Windows' own scale is the classic one: the priorities pass as they are,
// after the nearest step is found for a value between steps.
#include <windows.h>

#include <cstdlib>

#include "platform/ThreadPriority.h"

namespace platform {

namespace {

constexpr int kSteps[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                          THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                          THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                          THREAD_PRIORITY_TIME_CRITICAL};

int NearestStep(int priority) {
  int best = kSteps[0];
  for (int step : kSteps)
    if (std::abs(step - priority) < std::abs(best - priority)) best = step;
  return best;
}

}  // namespace

ThreadId CurrentThreadId() { return static_cast<ThreadId>(::GetCurrentThreadId()); }

bool SetThreadPriority(ThreadId thread, int priority) {
  if (thread <= 0) return false;
  const HANDLE handle = ::OpenThread(THREAD_SET_INFORMATION, FALSE, static_cast<DWORD>(thread));
  if (!handle) return false;
  const bool done = ::SetThreadPriority(handle, NearestStep(priority)) != 0;
  ::CloseHandle(handle);
  return done;
}

int GetThreadPriority(ThreadId thread) {
  if (thread <= 0) return 0;
  const HANDLE handle = ::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(thread));
  if (!handle) return 0;
  const int priority = ::GetThreadPriority(handle);
  ::CloseHandle(handle);
  return priority == THREAD_PRIORITY_ERROR_RETURN ? 0 : NearestStep(priority);
}

}  // namespace platform
