#pragma once
// Work undone however a scope is left: a count raised for a call, a flag
// set while painting, a bracket opened around a copy.

#include <exception>
#include <utility>

namespace base {

// Runs `undo` when the scope is left, normally or by an exception. When an
// exception is already passing, whatever `undo` throws is dropped: a second
// exception would end the program, and the first is the one to see.
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F undo) : undo_(std::move(undo)) {}
  ~ScopeExit() noexcept(false) {
    if (std::uncaught_exceptions() > uncaught_) {
      try {
        undo_();
      } catch (...) {
      }
    } else {
      undo_();
    }
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F undo_;
  int uncaught_ = std::uncaught_exceptions();
};

// Gives `variable` a value for the length of a scope and then puts the old
// one back.
template <class T>
class ValueRestorer {
 public:
  ValueRestorer(T& variable, T value) : variable_(variable), saved_(std::move(variable)) {
    variable_ = std::move(value);
  }
  ~ValueRestorer() { variable_ = std::move(saved_); }
  ValueRestorer(const ValueRestorer&) = delete;
  ValueRestorer& operator=(const ValueRestorer&) = delete;

 private:
  T& variable_;
  T saved_;
};

}  // namespace base
