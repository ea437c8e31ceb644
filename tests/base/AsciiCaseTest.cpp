#include "base/AsciiCase.h"

#include <gtest/gtest.h>

namespace {

TEST(AsciiCase, OnlyTheLettersAToZFold) {
  struct Row {
    const char* a;
    const char* b;
    bool same;
  } const rows[] = {
      {"Tahoma", "TAHOMA", true},
      {"crHandPoint", "CRHANDPOINT", true},
      {"", "", true},
      {"Tahoma", "Tahom", false},
      {"a[", "A{", false},
      {"\xC4", "\xE4", false},
      {"@", "`", false},
      {"Z", "z", true},
  };
  for (const Row& row : rows)
    EXPECT_EQ(base::SameAsciiText(row.a, row.b), row.same) << row.a << " ~ " << row.b;
}

}  // namespace
