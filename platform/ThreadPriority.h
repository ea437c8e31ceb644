// Scheduling priority of one thread, on the classic scale of the desktop
// this program came from: -15 idle, -2 lowest, -1 below normal, 0 normal,
// 1 above normal, 2 highest, 15 time-critical.
#pragma once

namespace platform {

// The system's number for a thread (on Linux its kernel thread id).
using ThreadId = long;

ThreadId CurrentThreadId();

// Gives the thread the nearest scheduling priority the system has. False
// when the system refuses (raising a priority needs privileges on Linux).
bool SetThreadPriority(ThreadId thread, int priority);
// The thread's priority on the classic scale (the nearest step), 0 for a
// thread that is not there.
int GetThreadPriority(ThreadId thread);

}  // namespace platform
