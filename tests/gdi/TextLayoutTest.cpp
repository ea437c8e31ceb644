#include "gdi/TextLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace gdi {
namespace {

// Widths simple enough to work out by hand: 6 pixels a character, 'W' 10,
// '.' 2 (so "..." is 6), lines 10 high with 3 of external leading.
class FakeFont : public TextMeasure {
 public:
  explicit FakeFont(LONG lineHeight = 10) {
    tm_.tmHeight = lineHeight;
    tm_.tmAscent = 8;
    tm_.tmDescent = 2;
    tm_.tmExternalLeading = 3;
    tm_.tmAveCharWidth = 5;
  }
  const TEXTMETRICA& Metrics() const override { return tm_; }
  LONG CharWidth(unsigned char c) const override { return c == 'W' ? 10 : c == '.' ? 2 : 6; }
  LONG Width(std::string_view text) const {
    LONG width = 0;
    for (const char c : text) width += CharWidth(static_cast<unsigned char>(c));
    return width;
  }

 private:
  TEXTMETRICA tm_;
};

const FakeFont kFont;

std::vector<std::string> Texts(const TextLayout& layout) {
  std::vector<std::string> texts;
  for (const TextLine& line : layout.lines) texts.push_back(line.text);
  return texts;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

TEST(TextLayoutLines, BreakAtCrLfAndTheirPairs) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(Texts(LayoutText(kFont, "ab\r\ncd\n\ref\rgh\nij", {0, 0, 200, 200}, 0)),
            (Lines{"ab", "cd", "ef", "gh", "ij"}));
  // Two of the same in a row are two breaks; a final break opens no line.
  EXPECT_EQ(Texts(LayoutText(kFont, "ab\n\ncd\r\r", {0, 0, 200, 200}, 0)), (Lines{"ab", "", "cd", ""}));

  const TextLayout layout = LayoutText(kFont, "a\nb\nc", {5, 7, 200, 200}, 0);
  ASSERT_EQ(layout.lines.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(layout.lines[i].x, 5);
    EXPECT_EQ(layout.lines[i].y, 7 + 10 * static_cast<LONG>(i));
  }
  EXPECT_EQ(layout.height, 30);
}

TEST(TextLayoutLines, SingleLineIgnoresLineBreaks) {
  const TextLayout layout = LayoutText(kFont, "ab\r\ncd\ne", {0, 0, 200, 200}, DT_SINGLELINE);
  EXPECT_EQ(Texts(layout), std::vector<std::string>{"abcde"});
  EXPECT_EQ(layout.height, 10);
}

TEST(TextLayoutLines, ExternalLeadingIsAddedOnlyOnRequest) {
  EXPECT_EQ(LayoutText(kFont, "a\nb", {0, 0, 200, 200}, 0).height, 20);
  const TextLayout spaced = LayoutText(kFont, "a\nb", {0, 0, 200, 200}, DT_EXTERNALLEADING);
  EXPECT_EQ(spaced.height, 26);
  EXPECT_EQ(spaced.lines[1].y, 13);
}

TEST(TextLayoutLines, LinesBelowTheRectangleAreDroppedUnlessUnclipped) {
  const std::string text = "1\n2\n3\n4\n5";
  // The line crossing the bottom edge is the last one laid out.
  EXPECT_EQ(LayoutText(kFont, text, {0, 0, 100, 25}, 0).lines.size(), 3u);
  EXPECT_EQ(LayoutText(kFont, text, {0, 0, 100, 25}, 0).height, 30);
  // DT_EDITCONTROL shows only whole lines.
  EXPECT_EQ(LayoutText(kFont, text, {0, 0, 100, 25}, DT_EDITCONTROL).lines.size(), 2u);
  EXPECT_EQ(LayoutText(kFont, text, {0, 0, 100, 25}, DT_NOCLIP).lines.size(), 5u);
  EXPECT_EQ(LayoutText(kFont, text, {0, 0, 100, 25}, DT_CALCRECT).height, 50);
}

TEST(TextLayoutWordBreak, LinesFitAndGiveBackTheWords) {
  const std::string text = "the quick brown fox jumps over the lazy dog and keeps on running far";
  for (const LONG width : {40, 50, 61, 100, 150}) {
    const TextLayout layout = LayoutText(kFont, text, {0, 0, width, 1000}, DT_WORDBREAK);
    std::string joined;
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
      const std::string& line = layout.lines[i].text;
      if (Words(line).size() > 1) {
        EXPECT_LE(kFont.Width(line), width) << "'" << line << "' at width " << width;
      }
      EXPECT_EQ(layout.lines[i].y, static_cast<LONG>(10 * i));
      if (i + 1 < layout.lines.size()) {
        // Greedy: the next line's first word would not have fitted here.
        const std::string next = Words(layout.lines[i + 1].text).front();
        EXPECT_GT(kFont.Width(line + " " + next), width) << "'" << line << "' + " << next;
      }
      joined += (i ? " " : "") + line;
    }
    EXPECT_EQ(Words(joined), Words(text)) << width;
    EXPECT_EQ(joined, text) << "single spaces are consumed by the breaks";
  }
}

TEST(TextLayoutWordBreak, AnOverlongWordOverflowsOnItsOwnLine) {
  const TextLayout layout = LayoutText(kFont, "ab unbreakable cd", {0, 0, 30, 1000}, DT_WORDBREAK);
  EXPECT_EQ(Texts(layout), (std::vector<std::string>{"ab", "unbreakable", "cd"}));
  EXPECT_EQ(LayoutText(kFont, "ab unbreakable cd", {0, 0, 30, 1000}, DT_WORDBREAK | DT_CALCRECT).extent.Right,
            kFont.Width("unbreakable"));
}

TEST(TextLayoutWordBreak, EditControlBreaksInsideWords) {
  const TextLayout layout =
      LayoutText(kFont, "ab unbreakable", {0, 0, 30, 1000}, DT_WORDBREAK | DT_EDITCONTROL);
  std::string joined;
  for (const TextLine& line : layout.lines) {
    EXPECT_LE(kFont.Width(line.text), 30) << line.text;
    EXPECT_FALSE(line.text.empty());
    joined += line.text;
  }
  EXPECT_EQ(joined, "abunbreakable");
}

TEST(TextLayoutWordBreak, AnyWidthMakesProgress) {
  // Classic DrawText: "line1 line2" in a one-pixel rectangle is two lines,
  // one per character with DT_EDITCONTROL.
  EXPECT_EQ(LayoutText(kFont, "line1 line2", {0, 0, 1, 1}, DT_CALCRECT | DT_WORDBREAK).height, 20);
  EXPECT_EQ(
      LayoutText(kFont, "line1 line2", {0, 0, 1, 1}, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL).height,
      100);
  EXPECT_EQ(LayoutText(kFont, "line1 line2", {0, 0, -5, 1}, DT_CALCRECT | DT_WORDBREAK).height, 20);
}

TEST(TextLayoutWordBreak, ParagraphsBreakIndependently) {
  const TextLayout layout = LayoutText(kFont, "aa bb\ncc dd ee", {0, 0, 25, 1000}, DT_WORDBREAK);
  EXPECT_EQ(Texts(layout), (std::vector<std::string>{"aa", "bb", "cc", "dd", "ee"}));
}

TEST(TextLayoutEllipsis, EndEllipsisCutsToTheLongestFittingPrefix) {
  const std::string text = "abcdefghijklmnop";  // 96 pixels
  const TRect rc{10, 0, 60, 20};
  const TextLayout layout = LayoutText(kFont, text, rc, DT_SINGLELINE | DT_END_ELLIPSIS);
  ASSERT_EQ(layout.lines.size(), 1u);
  const std::string& shown = layout.lines[0].text;
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  const std::string kept = shown.substr(0, shown.size() - 3);
  EXPECT_EQ(text.substr(0, kept.size()), kept);
  EXPECT_LE(kFont.Width(shown), rc.Width());
  EXPECT_GT(kFont.Width(text.substr(0, kept.size() + 1) + "..."), rc.Width());
  EXPECT_EQ(shown, "abcdefg...");  // 7 * 6 + 6 = 48 of 50

  const TextLayout measured = LayoutText(kFont, text, rc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_EQ(measured.extent, (TRect{10, 0, 10 + kFont.Width(shown), 10}));
}

TEST(TextLayoutEllipsis, TextThatFitsIsLeftAlone) {
  const TextLayout layout = LayoutText(kFont, "abcdefgh", {0, 0, 48, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(layout.lines[0].text, "abcdefgh");
}

TEST(TextLayoutEllipsis, EndEllipsisMarksWhereMultiLineTextIsCut) {
  // Only the line that ends the text, or the last one shown, gets it.
  const TextLayout cut = LayoutText(kFont, "abcdefghij\nxy\nabcdefghij", {0, 0, 30, 100}, DT_END_ELLIPSIS);
  EXPECT_EQ(Texts(cut), (std::vector<std::string>{"abcdefghij", "xy", "abcd..."}));

  const TextLayout clipped =
      LayoutText(kFont, "aa bb cc dd ee ff", {0, 0, 40, 20}, DT_WORDBREAK | DT_END_ELLIPSIS | DT_EDITCONTROL);
  EXPECT_EQ(Texts(clipped), (std::vector<std::string>{"aa bb", "cc dd..."}));
}

TEST(TextLayoutEllipsis, WordEllipsisCutsEveryOverlongLine) {
  const TextLayout layout =
      LayoutText(kFont, "abcdefghij\nxy\nabcdefghij", {0, 0, 30, 100}, DT_WORD_ELLIPSIS);
  EXPECT_EQ(Texts(layout), (std::vector<std::string>{"abcd...", "xy", "abcd..."}));
}

TEST(TextLayoutEllipsis, PathEllipsisKeepsTheLastComponent) {
  const std::string path = "C:\\Program Files\\Lumivant\\shot.bmp";
  const TextLayout layout = LayoutText(kFont, path, {0, 0, 100, 20}, DT_SINGLELINE | DT_PATH_ELLIPSIS);
  const std::string& shown = layout.lines[0].text;
  EXPECT_LE(kFont.Width(shown), 100) << shown;
  EXPECT_EQ(shown.substr(shown.size() - 9), "\\shot.bmp") << shown;
  const std::size_t dots = shown.find("...");
  ASSERT_NE(dots, std::string::npos) << shown;
  EXPECT_EQ(path.substr(0, dots), shown.substr(0, dots));
  EXPECT_EQ(shown, "C:\\Prog...\\shot.bmp");  // 42 + 6 + 50 = 98 of 100
}

TEST(TextLayoutAlignment, CentredLinesRoundTheOffsetDown) {
  // 101 - 50 = 51 spare pixels: 25 to the left, 26 to the right.
  const TextLayout layout = LayoutText(kFont, "WWWW.....", {20, 0, 121, 50}, DT_CENTER);
  ASSERT_EQ(kFont.Width("WWWW....."), 50);
  EXPECT_EQ(layout.lines[0].x, 20 + 25);
  const TextLayout lines = LayoutText(kFont, "a\nabc", {0, 0, 100, 50}, DT_CENTER);
  EXPECT_EQ(lines.lines[0].x, 47);
  EXPECT_EQ(lines.lines[1].x, 41);
}

TEST(TextLayoutAlignment, OverwideCentredTextHangsOutOnBothSides) {
  // 14 pixels into 11: -1.5 truncates toward zero, as DrawText does, so
  // the text hangs out 1 pixel on the left and 2 on the right.
  const TextLayout layout = LayoutText(kFont, "W..", {0, 0, 11, 10}, DT_CENTER | DT_SINGLELINE);
  ASSERT_EQ(kFont.Width("W.."), 14);
  EXPECT_EQ(layout.lines[0].x, -1);
}

TEST(TextLayoutAlignment, RightAlignedLinesEndAtTheRightEdge) {
  const TextLayout layout = LayoutText(kFont, "a\nWabc", {0, 0, 100, 50}, DT_RIGHT);
  ASSERT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(layout.lines[0].x, 94);
  EXPECT_EQ(layout.lines[1].x, 72);
}

TEST(TextLayoutAlignment, VerticalPlacementAppliesToSingleLinesOnly) {
  const TRect rc{0, 10, 100, 31};  // 21 high, lines are 10
  const TextLayout centred = LayoutText(kFont, "a", rc, DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(centred.lines[0].y, 15);
  EXPECT_EQ(centred.height, 15);  // from the top to the bottom of the text
  const TextLayout bottom = LayoutText(kFont, "a", rc, DT_SINGLELINE | DT_BOTTOM);
  EXPECT_EQ(bottom.lines[0].y, 21);
  EXPECT_EQ(bottom.height, 21);
  EXPECT_EQ(LayoutText(kFont, "a", rc, DT_VCENTER).lines[0].y, 10);
  EXPECT_EQ(LayoutText(kFont, "a", rc, DT_BOTTOM).height, 10);

  // Text placed wholly above the rectangle's top reports its bottom's
  // offset, 0, as 1: DrawTextA returns 0 only on failure.
  const TextLayout flat = LayoutText(kFont, "a", TRect{0, 0, 0, 0}, DT_SINGLELINE | DT_BOTTOM);
  EXPECT_EQ(flat.lines[0].y, -10);
  EXPECT_EQ(flat.height, 1);
}

TEST(TextLayoutAlignment, VerticalCentringMatchesClassicRounding) {
  // Rectangle heights around one line of 13, top at 0 and at 1: the bottom
  // of the text by the classic rounding for a 13-pixel line.
  const FakeFont tall(13);
  struct Case {
    LONG top, bottom, textBottom;
  };
  for (const Case c : {Case{0, -2, 6}, Case{0, 0, 7}, Case{0, 1, 7}, Case{0, 12, 13}, Case{0, 15, 14},
                       Case{1, -2, 6}, Case{1, 0, 7}, Case{1, 13, 14}, Case{1, 15, 14}}) {
    const TextLayout layout =
        LayoutText(tall, "ABCabc123g", {0, c.top, 0, c.bottom}, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
    EXPECT_EQ(layout.extent.Bottom, c.textBottom) << c.top << ".." << c.bottom;
    EXPECT_EQ(layout.extent.Top, c.top);
    EXPECT_EQ(layout.height, c.textBottom - c.top);
  }
}

TEST(TextLayoutPrefix, AmpersandUnderlinesTheNextCharacter) {
  const TextLayout file = LayoutText(kFont, "&File", {3, 0, 100, 20}, DT_SINGLELINE);
  EXPECT_EQ(file.lines[0].text, "File");
  EXPECT_EQ(file.lines[0].underlineX, 3);
  EXPECT_EQ(file.lines[0].underlineWidth, 5);  // the advance less its spacing column

  const TextLayout saveAs = LayoutText(kFont, "Save &As", {3, 0, 100, 20}, DT_SINGLELINE);
  EXPECT_EQ(saveAs.lines[0].text, "Save As");
  EXPECT_EQ(saveAs.lines[0].underlineX, 3 + 30);

  const TextLayout centred = LayoutText(kFont, "Save &As", {0, 0, 100, 20}, DT_SINGLELINE | DT_CENTER);
  EXPECT_EQ(centred.lines[0].underlineX, centred.lines[0].x + 30);
}

TEST(TextLayoutPrefix, DoubledAndTrailingAmpersands) {
  const TextLayout doubled = LayoutText(kFont, "R&&D", {0, 0, 100, 20}, DT_SINGLELINE);
  EXPECT_EQ(doubled.lines[0].text, "R&D");
  EXPECT_EQ(doubled.lines[0].underlineWidth, 0);
  EXPECT_EQ(LayoutText(kFont, "Fish &", {0, 0, 100, 20}, 0).lines[0].text, "Fish ");
  EXPECT_EQ(LayoutText(kFont, "a&\nb", {0, 0, 100, 20}, DT_NOCLIP).lines[0].text, "a");
  // Only the first prefix of a line is underlined.
  const TextLayout two = LayoutText(kFont, "&a&b", {0, 0, 100, 20}, 0);
  EXPECT_EQ(two.lines[0].text, "ab");
  EXPECT_EQ(two.lines[0].underlineX, 0);
  // The prefixed character counts in measuring; the '&' does not.
  EXPECT_EQ(LayoutText(kFont, "&a&&b", {0, 0, 100, 20}, DT_CALCRECT).extent.Width(), 18);
}

TEST(TextLayoutPrefix, PrefixFlags) {
  const TRect rc{0, 0, 100, 20};
  const TextLayout none = LayoutText(kFont, "&File && Exit", rc, DT_NOPREFIX);
  EXPECT_EQ(none.lines[0].text, "&File && Exit");
  EXPECT_EQ(none.lines[0].underlineWidth, 0);

  const TextLayout hidden = LayoutText(kFont, "E&xit", rc, DT_HIDEPREFIX);
  EXPECT_EQ(hidden.lines[0].text, "Exit");
  EXPECT_EQ(hidden.lines[0].underlineWidth, 0);

  const TextLayout only = LayoutText(kFont, "E&xit", rc, DT_PREFIXONLY);
  EXPECT_EQ(only.lines[0].text, "");
  EXPECT_EQ(only.lines[0].underlineX, 6);
  EXPECT_EQ(only.lines[0].underlineWidth, 5);
}

TEST(TextLayoutPrefix, EllipsisDropsACutOffUnderline) {
  const TextLayout cut =
      LayoutText(kFont, "abcdefghi&jklmnop", {0, 0, 50, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(cut.lines[0].text, "abcdefg...");
  EXPECT_EQ(cut.lines[0].underlineWidth, 0);
  const TextLayout kept =
      LayoutText(kFont, "a&bcdefghijklmnop", {0, 0, 50, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(kept.lines[0].underlineX, 6);
}

TEST(TextLayoutTabs, TabsAdvanceToTheNextStopOfEightAverageWidths) {
  // Stops every 8 * 5 = 40 pixels from the line's start.
  const TextLayout layout = LayoutText(kFont, "a\tbcdefgh\tW", {7, 0, 300, 20}, DT_EXPANDTABS);
  ASSERT_EQ(Texts(layout), (std::vector<std::string>{"a", "bcdefgh", "W"}));
  EXPECT_EQ(layout.lines[0].x, 7);
  EXPECT_EQ(layout.lines[1].x, 7 + 40);
  // "bcdefgh" ends at 82, past the second stop: the tab goes on to the third.
  EXPECT_EQ(layout.lines[2].x, 7 + 120);
  for (const TextLine& run : layout.lines) EXPECT_EQ(run.y, 0);
  EXPECT_EQ(LayoutText(kFont, "a\tbcdefgh\tW", {7, 0, 300, 20}, DT_EXPANDTABS | DT_CALCRECT).extent.Width(),
            130);
}

TEST(TextLayoutTabs, TabStopSetsTheLengthAndTextOnAStopMovesOn) {
  // Three average widths: stops every 15 pixels. The length sits in the bits
  // of DT_NOCLIP | DT_EXTERNALLEADING, which must not take effect.
  const TextLayout layout =
      LayoutText(kFont, "WWW\tx\t\ty", {0, 0, 300, 20}, DT_EXPANDTABS | DT_TABSTOP | (3u << 8));
  ASSERT_EQ(Texts(layout), (std::vector<std::string>{"WWW", "x", "y"}));
  EXPECT_EQ(layout.lines[1].x, 45);  // "WWW" ends on the stop at 30
  EXPECT_EQ(layout.lines[2].x, 75);  // 51 -> 60, and the second tab -> 75
  EXPECT_EQ(layout.height, 10);
  EXPECT_EQ(DrawTextFlags(DT_EXPANDTABS | DT_TABSTOP | (4u << 8)), DT_EXPANDTABS | DT_TABSTOP);
  EXPECT_EQ(DrawTextFlags(DT_CALCRECT | DT_NOCLIP), DT_CALCRECT | DT_NOCLIP);
}

TEST(TextLayoutTabs, LeadingAndTrailingTabsMakeNoEmptyRuns) {
  const TextLayout leading = LayoutText(kFont, "\t&ab\t", {0, 0, 300, 20}, DT_EXPANDTABS);
  ASSERT_EQ(Texts(leading), std::vector<std::string>{"ab"});
  EXPECT_EQ(leading.lines[0].x, 40);
  EXPECT_EQ(leading.lines[0].underlineX, 40);
  const TextLayout onlyTabs = LayoutText(kFont, "\t\t", {0, 0, 300, 20}, DT_EXPANDTABS | DT_CALCRECT);
  EXPECT_EQ(Texts(onlyTabs), std::vector<std::string>{""});
  EXPECT_EQ(onlyTabs.extent.Width(), 80);
}

TEST(TextLayoutTabs, UnexpandedTabsAreOrdinaryCharacters) {
  const TextLayout layout = LayoutText(kFont, "a\tb", {0, 0, 300, 20}, DT_CALCRECT);
  EXPECT_EQ(Texts(layout), std::vector<std::string>{"a\tb"});
  EXPECT_EQ(layout.extent.Width(), 18);
}

TEST(TextLayoutTabs, UnderlineFollowsItsRun) {
  const TextLayout layout = LayoutText(kFont, "ab\tc&d", {0, 0, 300, 20}, DT_EXPANDTABS);
  ASSERT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(layout.lines[0].underlineWidth, 0);
  EXPECT_EQ(layout.lines[1].underlineX, 40 + 6);
}

TEST(TextLayoutCalcRect, SingleAndMultiLineExtents) {
  const TRect rc{5, 7, 50, 9};
  EXPECT_EQ(LayoutText(kFont, "Wab", rc, DT_CALCRECT | DT_SINGLELINE).extent, (TRect{5, 7, 27, 17}));
  const TextLayout multi = LayoutText(kFont, "ab\nWabcd\nc", rc, DT_CALCRECT);
  EXPECT_EQ(multi.extent, (TRect{5, 7, 5 + 34, 7 + 30}));
  EXPECT_EQ(multi.height, 30);
  // Word breaking measures at the rectangle's width.
  const TextLayout broken = LayoutText(kFont, "aaa bbb ccc", {0, 0, 45, 0}, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(broken.extent, (TRect{0, 0, 42, 20}));
}

TEST(TextLayoutCalcRect, EmptyText) {
  // Classic DrawText: one line high, but an empty rectangle unless single-line.
  const TextLayout multi = LayoutText(kFont, "", {10, 10, 100, 100}, DT_CALCRECT);
  EXPECT_EQ(multi.extent, (TRect{10, 10, 10, 10}));
  EXPECT_EQ(multi.height, 10);
  EXPECT_TRUE(multi.lines.empty());
  const TextLayout single = LayoutText(kFont, "", {10, 10, 100, 100}, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(single.extent, (TRect{10, 10, 10, 20}));
  EXPECT_EQ(single.height, 10);
}

TEST(TextLayoutRealFont, LabelFontMeasures) {
  LOGFONTA lf;
  lf.lfHeight = -11;
  const auto face = FontFace::Realize(lf);
  const TextLayout w = LayoutText(*face, "W", {0, 0, 0, 0}, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(w.extent, (TRect{0, 0, face->CharWidth('W'), 13}));

  const std::string text = "Lumivant takes screenshots of arranger keyboards";
  const TextLayout wrapped = LayoutText(*face, text, {0, 0, 90, 0}, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_GT(wrapped.lines.size(), 1u);
  EXPECT_EQ(wrapped.height, 13 * static_cast<LONG>(wrapped.lines.size()));
  LONG widest = 0;
  for (const TextLine& line : wrapped.lines) {
    EXPECT_LE(face->TextWidth(line.text), 90) << line.text;
    widest = std::max(widest, face->TextWidth(line.text));
  }
  EXPECT_EQ(wrapped.extent.Right, widest);

  const TextLayout cut = LayoutText(*face, text, {0, 0, 90, 13}, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(face->TextWidth(cut.lines[0].text), 90);
  EXPECT_EQ(cut.lines[0].text.substr(cut.lines[0].text.size() - 3), "...");
}

}  // namespace
}  // namespace gdi
