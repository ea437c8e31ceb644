// Windows-1252: what each byte stands for, and UTF-8 text brought into it
// as the classic ANSI conversion brings it.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/Cp1252.h"

namespace {

struct Case {
  const char* what;
  std::string utf8;
  std::string expected;
};

TEST(Cp1252, Utf8BecomesOneByteACharacterAndQuestionMarksForTheRest) {
  const Case cases[] = {
      {"ASCII, controls included", "Port 1\t~\x7F", "Port 1\t~\x7F"},
      {"Latin-1", "\xC3\xA9\xC3\x9F\xC2\xA0\xC3\xBF", "\xE9\xDF\xA0\xFF"},
      {"euro, ellipsis, en dash, Y diaeresis", "\xE2\x82\xAC\xE2\x80\xA6\xE2\x80\x93\xC5\xB8",
       "\x80\x85\x96\x9F"},
      {"unassigned bytes come back", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", "\x81\x8D\x8F\x90\x9D"},
      {"other C1 controls", "\xC2\x80\xC2\x85\xC2\x9F", "???"},
      {"Cyrillic, Greek, Polish", "\xD0\xB6\xCE\xBB\xC5\x82", "???"},
      {"CJK", "\xE6\x97\xA5\xE6\x9C\xAC", "??"},
      {"emoji beyond the BMP", "a\xF0\x9F\x98\x80z", "a?z"},
      {"highest character", "\xF4\x8F\xBF\xBF", "?"},
      {"stray continuation bytes",
       "a\x80\xBF"
       "b",
       "a??b"},
      {"bytes never valid", "\xC0\xC1\xF5\xFF", "????"},
      {"sequence broken off",
       "\xE2\x82"
       "A\xC3",
       "?A?"},
      {"overlong forms", "\xC0\xAF\xE0\x80\xAF", "?????"},
      {"surrogate", "\xED\xA0\x80", "???"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"cut short at the end", "\xF0\x9F\x98", "?"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(base::Utf8ToCp1252(c.utf8), c.expected) << c.what;
}

TEST(Cp1252, BytesStandForTheirUnicodeCharacters) {
  const std::pair<unsigned char, char32_t> cases[] = {{'A', U'A'},       {0x80, U'\u20AC'}, {0x8D, U'\u008D'},
                                                      {0x96, U'\u2013'}, {0x9F, U'\u0178'}, {0xA0, U'\u00A0'},
                                                      {0xFF, U'\u00FF'}};
  for (const auto& [byte, unicode] : cases) EXPECT_EQ(base::Cp1252ToUnicode(byte), unicode) << int{byte};
}

// Every byte goes out and comes back: what the program copies to the
// clipboard is what it reads back from there.
TEST(Cp1252, EveryByteGoesToUtf8AndBack) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(base::Utf8ToCp1252(base::Cp1252ToUtf8(all)), all);
  EXPECT_EQ(base::Cp1252ToUtf8("\x80 \xE9\x96"), "\xE2\x82\xAC \xC3\xA9\xE2\x80\x93");
}

}  // namespace
