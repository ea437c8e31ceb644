// Checks of error messages, for tests of every layer: what a call throws,
// and whether a message names what it should.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace testsupport {

// The message of the E that `call` throws, or "(nothing thrown)" when it
// returns; an exception of another type goes on to the test.
template <class E, class Call>
std::string ThrownMessage(Call&& call) {
  try {
    std::forward<Call>(call)();
  } catch (const E& e) {
    return e.what();
  }
  return "(nothing thrown)";
}

// For EXPECT_TRUE: `message` holds `part`.
inline ::testing::AssertionResult Mentions(const std::string& message, const std::string& part) {
  if (message.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "message \"" << message << "\" does not mention \"" << part << "\"";
}

// For EXPECT_TRUE: `call` throws an E whose message holds `part`.
template <class E, class Call>
::testing::AssertionResult ThrowsWithMessage(Call&& call, const std::string& part) {
  return Mentions(ThrownMessage<E>(std::forward<Call>(call)), part);
}

}  // namespace testsupport
