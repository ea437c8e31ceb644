// The update bracket: reports held back while it is open, one report at the
// outermost open and one at its close, and a close also on an exception.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "base/UpdateCounter.h"

namespace {

// An object that reports "<" when a change begins and ">" when it is done,
// each only outside a bracket, as the controls' objects do.
class Reporter {
 public:
  void BeginUpdate() {
    updates_.Begin([this] { log += "<"; });
  }
  void EndUpdate() {
    updates_.End([this] { log += ">"; });
  }
  void Change() {
    if (updates_.Idle()) log += "<>";
  }
  int Count() const { return updates_.Count(); }
  base::UpdateCounter& Updates() { return updates_; }

  std::string log;

 private:
  base::UpdateCounter updates_;
};

TEST(UpdateCounter, ReportsOnlyAtTheOutermostOpenAndClose) {
  const struct {
    const char* steps;  // "b" BeginUpdate, "e" EndUpdate, "c" a change
    const char* log;
    int count;
  } cases[] = {
      {"c", "<>", 0},      {"bce", "<>", 0}, {"bbccee", "<>", 0}, {"bbe", "<", 1}, {"bbeec", "<><>", 0},
      {"bebe", "<><>", 0}, {"e", "", -1},    {"ec", "", -1},      {"eb", "", 0},   {"ebc", "<>", 0},
  };
  for (const auto& c : cases) {
    Reporter r;
    for (const char* s = c.steps; *s; ++s) {
      if (*s == 'b') r.BeginUpdate();
      if (*s == 'e') r.EndUpdate();
      if (*s == 'c') r.Change();
    }
    EXPECT_EQ(r.log, c.log) << c.steps;
    EXPECT_EQ(r.Count(), c.count) << c.steps;
  }
}

TEST(UpdateCounter, HoldMutesReportsWithoutReportingItsEnds) {
  const struct {
    bool throws;
    const char* log;
  } cases[] = {{false, ""}, {true, ""}};
  for (const auto& c : cases) {
    Reporter r;
    try {
      const auto hold = r.Updates().Hold();
      EXPECT_EQ(r.Count(), 1);
      r.Change();
      if (c.throws) throw std::runtime_error("failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(r.log, c.log) << "throws: " << c.throws;
    EXPECT_EQ(r.Count(), 0) << "throws: " << c.throws;
    r.Change();
    EXPECT_EQ(r.log, std::string(c.log) + "<>") << "throws: " << c.throws;
  }
}

TEST(UpdateBracket, ClosesOnceWhenTheScopeIsLeftEitherWay) {
  const struct {
    bool throws;
    const char* log;
  } cases[] = {{false, "<>"}, {true, "<>"}};
  for (const auto& c : cases) {
    Reporter r;
    try {
      const auto bracket = base::UpdateBracket(r);
      EXPECT_EQ(r.Count(), 1);
      r.Change();
      r.Change();
      if (c.throws) throw std::runtime_error("failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(r.log, c.log) << "throws: " << c.throws;
    EXPECT_EQ(r.Count(), 0) << "throws: " << c.throws;
  }
}

}  // namespace
