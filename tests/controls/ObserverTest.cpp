// The subject and observer pair: order, moves, locks, and letting go.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/Mmobsrv.h"

namespace controls {
namespace {

using toolkit::TObject;

// An observer that writes its name into a shared log when told.
struct Named {
  Named(const std::string& name, std::string* log) {
    observer.OnNotify = TMMObsNotifyEvent([this, name, log](TObject* sender, TObject*) {
      EXPECT_EQ(sender, &observer);
      *log += name;
    });
  }
  TMMObserver observer;
};

TEST(Observers, LastRegisteredIsToldFirstAndRegisteringAgainMovesToTheEnd) {
  std::string log;
  TMMObservable subject;
  Named a("A", &log), b("B", &log), c("C", &log);
  subject.AddObserver(&a.observer);
  subject.AddObserver(&b.observer);
  subject.NotifyObservers(nullptr);
  EXPECT_EQ(log, "BA");

  log.clear();
  subject.AddObserver(&a.observer);
  subject.AddObserver(&c.observer);
  subject.NotifyObservers(nullptr);
  EXPECT_EQ(log, "CAB");
  EXPECT_EQ(subject.ObserverCount(), 3) << "registered once each";
}

TEST(Observers, AnObserverBelongsToOneSubject) {
  std::string log;
  TMMObservable first, second;
  Named a("A", &log);
  first.AddObserver(&a.observer);
  second.AddObserver(&a.observer);
  EXPECT_EQ(a.observer.Subject(), &second);
  EXPECT_EQ(first.ObserverCount(), 0);
  first.RemoveObserver(&a.observer);  // not registered there: nothing
  EXPECT_EQ(a.observer.Subject(), &second);
  first.NotifyObservers(nullptr);
  second.NotifyObservers(nullptr);
  EXPECT_EQ(log, "A");
  first.AddObserver(nullptr);
  EXPECT_EQ(first.ObserverCount(), 0);
}

TEST(Observers, DataReachesTheHandlerAndLocksMute) {
  TMMObservable subject;
  TMMObserver observer;
  TObject data;
  TObject* seen = nullptr;
  int calls = 0;
  observer.OnNotify = TMMObsNotifyEvent([&](TObject*, TObject* d) {
    seen = d;
    ++calls;
  });
  subject.AddObserver(&observer);
  subject.NotifyObservers(&data);
  EXPECT_EQ(seen, &data);

  subject.Lock();
  subject.NotifyObservers(&data);
  subject.Unlock();
  observer.Lock();
  EXPECT_TRUE(observer.GetLocked());
  subject.NotifyObservers(&data);
  observer.UnLock();
  EXPECT_EQ(calls, 1);
  subject.NotifyObservers(&data);
  EXPECT_EQ(calls, 2);
}

TEST(Observers, LeavingFromAHandlerDoesNotDisturbTheWalk) {
  std::string log;
  TMMObservable subject;
  Named a("A", &log), b("B", &log);
  TMMObserver leaving;
  leaving.OnNotify = TMMObsNotifyEvent([&](TObject*, TObject*) {
    log += "L";
    subject.RemoveObserver(&leaving);
  });
  subject.AddObserver(&a.observer);
  subject.AddObserver(&leaving);
  subject.AddObserver(&b.observer);
  subject.NotifyObservers(nullptr);
  EXPECT_EQ(log, "BLA");
  log.clear();
  subject.NotifyObservers(nullptr);
  EXPECT_EQ(log, "BA");
}

TEST(Observers, EachSideLetsGoOfTheOtherWhenFreed) {
  std::string log;
  auto subject = std::make_unique<TMMObservable>();
  Named kept("K", &log);
  {
    Named shortLived("S", &log);
    subject->AddObserver(&shortLived.observer);
    subject->AddObserver(&kept.observer);
  }
  EXPECT_EQ(subject->ObserverCount(), 1);
  subject->NotifyObservers(nullptr);
  EXPECT_EQ(log, "K");

  subject.reset();
  EXPECT_EQ(kept.observer.Subject(), nullptr) << "detached";
  EXPECT_EQ(log, "K") << "without being told";
}

}  // namespace
}  // namespace controls
