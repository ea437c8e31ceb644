#include "controls/Mmobsrv.h"

#include <algorithm>

#include "toolkit/ClassBuilder.h"

namespace controls {

using namespace toolkit;

const TClassInfo& TMMObservable::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMObservable>("TMMObservable", &TObject::StaticClass()).Build();
  return info;
}

const TClassInfo& TMMObserver::StaticClass() {
  static const TClassInfo info = ClassBuilder<TMMObserver>("TMMObserver", &TObject::StaticClass()).Build();
  return info;
}

TMMObservable::~TMMObservable() {
  while (!observers_.empty()) RemoveObserver(observers_.back());
}

void TMMObservable::AddObserver(TMMObserver* observer) {
  if (!observer) return;
  if (observer->subject_) observer->subject_->RemoveObserver(observer);
  observers_.push_back(observer);
  observer->subject_ = this;
}

void TMMObservable::RemoveObserver(TMMObserver* observer) {
  if (!observer || observer->subject_ != this) return;
  observers_.erase(std::find(observers_.begin(), observers_.end(), observer));
  observer->subject_ = nullptr;
}

void TMMObservable::NotifyObservers(TObject* data) {
  if (lockCount_ != 0) return;
  // Walks down from the count read once; an observer that leaves (or
  // others that leave) from a handler shortens the list under the walk,
  // so each index is checked again before use.
  for (auto i = static_cast<std::ptrdiff_t>(observers_.size()) - 1; i >= 0; --i) {
    if (i >= static_cast<std::ptrdiff_t>(observers_.size())) continue;
    observers_[static_cast<std::size_t>(i)]->Notify(data);
  }
}

TMMObserver::~TMMObserver() {
  if (subject_) subject_->RemoveObserver(this);
}

void TMMObserver::Notify(TObject* data) {
  if (lockCount_ == 0) DoNotify(data);
}

void TMMObserver::DoNotify(TObject* data) {
  if (OnNotify) OnNotify(this, data);
}

}  // namespace controls
