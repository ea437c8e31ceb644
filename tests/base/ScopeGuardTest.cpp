// Guards that undo work however a scope is left, and restorers that put a
// variable back.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "base/ScopeGuard.h"

namespace {

enum class Leave { normally, byException, byReturn };

// Leaves a scope holding a guard the way `how` says.
void LeaveScope(Leave how, std::string& log) {
  const base::ScopeExit guard([&log] { log += "undo;"; });
  log += "body;";
  if (how == Leave::byReturn) return;
  if (how == Leave::byException) throw std::runtime_error("body failed");
  log += "end;";
}

TEST(ScopeExit, RunsOnceAfterTheBodyHoweverTheScopeIsLeft) {
  const struct {
    Leave how;
    const char* expected;
  } cases[] = {
      {Leave::normally, "body;end;undo;"},
      {Leave::byReturn, "body;undo;"},
      {Leave::byException, "body;undo;"},
  };
  for (const auto& c : cases) {
    std::string log;
    try {
      LeaveScope(c.how, log);
    } catch (const std::runtime_error&) {
      log += "caught;";
    }
    EXPECT_EQ(log, std::string(c.expected) + (c.how == Leave::byException ? "caught;" : ""));
  }
}

TEST(ScopeExit, AnUndoThatThrowsPassesOnlyWhenNoOtherExceptionDoes) {
  const struct {
    bool bodyThrows;
    const char* seen;
  } cases[] = {
      {false, "undo failed"},
      {true, "body failed"},
  };
  for (const auto& c : cases) {
    std::string seen;
    try {
      const base::ScopeExit guard([] { throw std::runtime_error("undo failed"); });
      if (c.bodyThrows) throw std::runtime_error("body failed");
    } catch (const std::runtime_error& e) {
      seen = e.what();
    }
    EXPECT_EQ(seen, c.seen) << "body throws: " << c.bodyThrows;
  }
}

TEST(ScopeExit, NestedGuardsUndoInReverseOrder) {
  std::string log;
  {
    const base::ScopeExit outer([&log] { log += "outer;"; });
    const base::ScopeExit inner([&log] { log += "inner;"; });
  }
  EXPECT_EQ(log, "inner;outer;");
}

TEST(ValueRestorer, HoldsTheValueForTheScopeAndPutsTheOldOneBack) {
  const struct {
    int before;
    int during;
    bool throws;
  } cases[] = {{0, 1, false}, {0, 1, true}, {5, -3, false}, {7, 7, true}};
  for (const auto& c : cases) {
    int variable = c.before;
    int seen = 0;
    try {
      const base::ValueRestorer restore(variable, c.during);
      seen = variable;
      if (c.throws) throw std::runtime_error("failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(seen, c.during) << c.before << " -> " << c.during;
    EXPECT_EQ(variable, c.before) << c.before << " -> " << c.during << (c.throws ? " by exception" : "");
  }
}

}  // namespace
