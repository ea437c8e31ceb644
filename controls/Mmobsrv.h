// Change notification between a subject and its observers. A subject does
// not own its observers and an observer is registered with at most one
// subject, at most once; each side lets go of the other when freed.
#pragma once

#include <vector>

#include "toolkit/Classes.h"

namespace controls {

class TMMObserver;

// Sender: the observer; Data: what the subject passed on.
using TMMObsNotifyEvent = toolkit::TEvent<toolkit::TObject*, toolkit::TObject*>;

class TMMObservable : public toolkit::TObject {
  TOOLKIT_CLASS(TMMObservable, toolkit::TObject)
 public:
  TMMObservable() = default;
  // Detaches every observer (last first) without telling it.
  ~TMMObservable() override;
  TMMObservable(const TMMObservable&) = delete;
  TMMObservable& operator=(const TMMObservable&) = delete;

  // Registers `observer` at the end, taking it from any subject it was
  // registered with first (this one included).
  void AddObserver(TMMObserver* observer);
  // Only an observer registered here is taken out.
  void RemoveObserver(TMMObserver* observer);
  // Tells every observer, the last registered first, unless locked. An
  // observer may unregister itself from its handler.
  void NotifyObservers(toolkit::TObject* data);

  void Lock() { ++lockCount_; }
  void Unlock() { --lockCount_; }
  int LockCount() const { return lockCount_; }
  int ObserverCount() const { return static_cast<int>(observers_.size()); }

 private:
  std::vector<TMMObserver*> observers_;
  int lockCount_ = 0;
};

class TMMObserver : public toolkit::TObject {
  TOOLKIT_CLASS(TMMObserver, toolkit::TObject)
  friend class TMMObservable;

 public:
  TMMObserver() = default;
  // Unregisters itself from its subject, if any.
  ~TMMObserver() override;
  TMMObserver(const TMMObserver&) = delete;
  TMMObserver& operator=(const TMMObserver&) = delete;

  // DoNotify unless locked.
  virtual void Notify(toolkit::TObject* data);
  void DoNotify(toolkit::TObject* data);

  void Lock() { ++lockCount_; }
  void UnLock() { --lockCount_; }
  bool GetLocked() const { return lockCount_ != 0; }
  TMMObservable* Subject() const { return subject_; }

  TMMObsNotifyEvent OnNotify;

 private:
  TMMObservable* subject_ = nullptr;
  int lockCount_ = 0;
};

}  // namespace controls
