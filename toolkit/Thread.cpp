#include "toolkit/Thread.h"

#include "toolkit/ClassBuilder.h"
#include "toolkit/SyncObjs.h"

namespace toolkit {

namespace {
constexpr int kPriorities[] = {-15, -2, -1, 0, 1, 2, 15};
}

const TClassInfo& TCriticalSection::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TCriticalSection>("TCriticalSection", &TObject::StaticClass()).Build();
  return info;
}

const TClassInfo& TThread::StaticClass() {
  static const TClassInfo info = ClassBuilder<TThread>("TThread", &TObject::StaticClass()).Build();
  return info;
}

int ThreadPriorityValue(TThreadPriority priority) {
  const int index = static_cast<int>(priority);
  return index >= 0 && index <= tpTimeCritical ? kPriorities[index] : 0;
}

TThread::TThread() {
  thread_ = std::thread([this] { Run(); });
  // The handle is known before the constructor returns, so that priorities
  // can be set on a thread that has not started.
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return handle_ != 0; });
}

TThread::~TThread() {
  {
    std::lock_guard lock(mutex_);
    terminated_ = true;
    if (!started_) cancelled_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TThread::Run() {
  {
    std::unique_lock lock(mutex_);
    handle_ = platform::CurrentThreadId();
    wake_.notify_all();
    wake_.wait(lock, [this] { return started_ || cancelled_; });
    if (cancelled_) {
      finished_ = true;
      wake_.notify_all();
      return;
    }
  }
  try {
    Execute();
  } catch (...) {
    fatal_ = std::current_exception();
  }
  std::lock_guard lock(mutex_);
  finished_ = true;
  wake_.notify_all();
}

void TThread::Start() {
  {
    std::lock_guard lock(mutex_);
    if (started_ || cancelled_) return;
    started_ = true;
  }
  wake_.notify_all();
}

bool TThread::Suspended() const {
  std::lock_guard lock(mutex_);
  return !started_;
}

bool TThread::Finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

int TThread::WaitFor() {
  std::unique_lock lock(mutex_);
  if (started_) wake_.wait(lock, [this] { return finished_; });
  return returnValue_;
}

void TThread::SetPriority(TThreadPriority priority) { SetSystemPriority(ThreadPriorityValue(priority)); }

void TThread::SetSystemPriority(int value) { platform::SetThreadPriority(handle_, value); }

TThreadPriority TThread::GetPriority() const {
  const int value = platform::GetThreadPriority(handle_);
  for (int i = tpIdle; i <= tpTimeCritical; ++i)
    if (kPriorities[i] == value) return static_cast<TThreadPriority>(i);
  return tpNormal;
}

}  // namespace toolkit
