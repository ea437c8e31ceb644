// A thread object: a subclass puts its work in Execute. Threads are created
// suspended and run on Start, because C++ cannot call the subclass's
// Execute before the subclass's constructor has finished.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/ThreadPriority.h"
#include "toolkit/Classes.h"

namespace toolkit {

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
  TOOLKIT_CLASS(TThread, TObject)
 public:
  TThread();
  // Terminates and waits. A subclass whose Execute uses the subclass's own
  // members must Terminate and WaitFor in its own destructor.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Runs Execute on the thread; a second call does nothing.
  void Start();
  void Resume() { Start(); }
  // Asks Execute to stop: it should look at Terminated() now and then.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Suspended() const;
  bool Finished() const;
  // Waits until Execute has returned (at once for a thread never started)
  // and gives ReturnValue.
  int WaitFor();

  // The system's number for the thread, valid from construction.
  platform::ThreadId Handle() const { return handle_; }
  platform::ThreadId ThreadID() const { return handle_; }

  TThreadPriority Priority() const { return GetPriority(); }
  virtual void SetPriority(TThreadPriority priority);
  virtual TThreadPriority GetPriority() const;

  // What escaped Execute, if anything.
  std::exception_ptr FatalException() const { return fatal_; }
  int ReturnValue() const { return returnValue_; }

 protected:
  virtual void Execute() = 0;
  void SetReturnValue(int value) { returnValue_ = value; }
  // Gives the thread the system priority `value` (see ThreadPriorityValue).
  void SetSystemPriority(int value);

 private:
  void Run();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool started_ = false;
  bool cancelled_ = false;  // freed without ever being started
  bool finished_ = false;
  std::atomic<bool> terminated_{false};
  platform::ThreadId handle_ = 0;
  std::exception_ptr fatal_;
  int returnValue_ = 0;
  std::thread thread_;
};

// The system priority of each step, idle to time-critical.
int ThreadPriorityValue(TThreadPriority priority);

}  // namespace toolkit
