#pragma once
// The update bracket of an object that reports its changes: reports are held
// back while a bracket is open, and the bracket's outermost open and close
// report once for everything done inside.

#include "base/ScopeGuard.h"

namespace base {

class UpdateCounter {
 public:
  // Not guarded: an unmatched End takes the count below 0, and a count
  // below 0 holds reports back as well.
  int Count() const { return count_; }
  bool Idle() const { return count_ == 0; }

  // `onOutermost` runs before the count rises from 0.
  template <class F>
  void Begin(F&& onOutermost) {
    if (count_ == 0) onOutermost();
    ++count_;
  }

  // `onOutermost` runs after the count falls back to 0.
  template <class F>
  void End(F&& onOutermost) {
    --count_;
    if (count_ == 0) onOutermost();
  }

  // Holds reports back until the returned guard is gone, without reporting
  // either end: for work that is no change, or for the reports themselves.
  [[nodiscard]] auto Hold() {
    ++count_;
    return ScopeExit([this] { --count_; });
  }

 private:
  int count_ = 0;
};

// Opens `object`'s bracket (BeginUpdate) until the returned guard is gone
// (EndUpdate), also when the scope is left by an exception.
template <class T>
[[nodiscard]] auto UpdateBracket(T& object) {
  object.BeginUpdate();
  return ScopeExit([&object] { object.EndUpdate(); });
}

}  // namespace base
