// A critical section: one thread at a time, and the holder may enter again
// (each Acquire needs its Release).
#pragma once

#include <mutex>

#include "toolkit/Classes.h"

namespace toolkit {

class TCriticalSection : public TObject {
  TOOLKIT_CLASS(TCriticalSection, TObject)
 public:
  TCriticalSection() = default;
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;

  virtual void Acquire() { mutex_.lock(); }
  virtual void Release() { mutex_.unlock(); }
  void Enter() { Acquire(); }
  void Leave() { Release(); }

 private:
  std::recursive_mutex mutex_;
};

}  // namespace toolkit
