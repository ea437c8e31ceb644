// Text drawn through device contexts: where the ink lands, in which colour,
// with which background, inside which clip.
#include <gtest/gtest.h>

#include <cstring>

#include "gdi/Gdi.h"
#include "tests/gdi/GdiTestUtil.h"

namespace gdi {
namespace {

using test::Canvas;

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(200, 30, 40);
constexpr COLORREF kBack = RGB(0, 90, 0);

class WithFont {
 public:
  WithFont(HDC dc, LONG height, LONG weight = FW_NORMAL) : dc_(dc) {
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    font_ = CreateFontIndirectA(&lf);
    old_ = SelectObject(dc_, font_);
  }
  ~WithFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};

// The bounding box of pixels of one colour, and how many there are.
struct Ink {
  RECT box{1000, 1000, -1, -1};
  int count = 0;
};
Ink FindInk(HDC dc, int width, int height, COLORREF color) {
  Ink ink;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (GetPixel(dc, x, y) == color) {
        ++ink.count;
        ink.box = {std::min<LONG>(ink.box.Left, x), std::min<LONG>(ink.box.Top, y),
                   std::max<LONG>(ink.box.Right, x + 1), std::max<LONG>(ink.box.Bottom, y + 1)};
      }
  return ink;
}

TEST(TextDrawing, MeasuringLeavesThePixelsAlone) {
  Canvas c(60, 30);
  c.Fill(kPaper);
  WithFont font(c.dc(), -11);
  RECT r{5, 5, 5, 5};
  const int height = DrawTextA(c.dc(), "W", -1, &r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(height, 13);
  EXPECT_EQ(r.Bottom - r.Top, 13);
  EXPECT_EQ(r.Left, 5);
  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc(), "W", 1, &size));
  EXPECT_EQ(r.Right - r.Left, size.cx);
  EXPECT_EQ(FindInk(c.dc(), 60, 30, kPaper).count, 60 * 30);
}

TEST(TextDrawing, InkLandsInsideTheLineCellInTheTextColour) {
  Canvas c(80, 30);
  c.Fill(kPaper);
  WithFont font(c.dc(), -11);
  SetTextColor(c.dc(), kInk);
  SetBkMode(c.dc(), TRANSPARENT);
  RECT r{10, 4, 80, 30};
  DrawTextA(c.dc(), "Hill", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  TEXTMETRICA tm;
  GetTextMetricsA(c.dc(), &tm);
  SIZE size;
  GetTextExtentPoint32A(c.dc(), "Hill", 4, &size);
  const Ink ink = FindInk(c.dc(), 80, 30, kInk);
  ASSERT_GT(ink.count, 10);
  EXPECT_GE(ink.box.Left, 10);
  EXPECT_LE(ink.box.Right, 10 + size.cx);
  EXPECT_GE(ink.box.Top, 4);
  EXPECT_LE(ink.box.Bottom, 4 + tm.tmAscent);  // no descenders in "Hill"
  // Nothing but ink and paper: the glyphs are not anti-aliased.
  EXPECT_EQ(ink.count + FindInk(c.dc(), 80, 30, kPaper).count, 80 * 30);
  // "l" is a vertical stroke: its ink column runs the height of a capital.
  const int capital = ink.box.Bottom - ink.box.Top;
  EXPECT_GE(capital, 7);
}

TEST(TextDrawing, OpaqueModeFillsTheTextCellOnly) {
  Canvas c(80, 30);
  c.Fill(kPaper);
  WithFont font(c.dc(), -11);
  SetTextColor(c.dc(), kInk);
  SetBkColor(c.dc(), kBack);
  TextOutA(c.dc(), 3, 2, "Ab", 2);
  SIZE size;
  GetTextExtentPoint32A(c.dc(), "Ab", 2, &size);
  const Ink back = FindInk(c.dc(), 80, 30, kBack);
  const Ink ink = FindInk(c.dc(), 80, 30, kInk);
  EXPECT_EQ(back.count + ink.count, size.cx * size.cy);
  EXPECT_EQ(back.box, (RECT{3, 2, 3 + size.cx, 2 + size.cy}));
}

TEST(TextDrawing, ClippedToTheRectangleUnlessNoClip) {
  Canvas c(80, 20);
  WithFont font(c.dc(), -11);
  SetTextColor(c.dc(), kInk);
  SetBkMode(c.dc(), TRANSPARENT);
  c.Fill(kPaper);
  RECT narrow{0, 0, 6, 20};
  DrawTextA(c.dc(), "MMMM", -1, &narrow, DT_SINGLELINE);
  EXPECT_LE(FindInk(c.dc(), 80, 20, kInk).box.Right, 6);
  c.Fill(kPaper);
  DrawTextA(c.dc(), "MMMM", -1, &narrow, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(FindInk(c.dc(), 80, 20, kInk).box.Right, 6);
}

TEST(TextDrawing, CentredAndEllipsisAsTheButtonCaptionUsesThem) {
  Canvas c(100, 20);
  c.Fill(kPaper);
  WithFont font(c.dc(), -11);
  SetTextColor(c.dc(), kInk);
  SetBkMode(c.dc(), TRANSPARENT);
  SIZE size;
  GetTextExtentPoint32A(c.dc(), "OK", 2, &size);
  RECT r{0, 0, 100, 20};
  DrawTextA(c.dc(), "OK", -1, &r, DT_CENTER | DT_END_ELLIPSIS | DT_NOCLIP | DT_SINGLELINE);
  const Ink ink = FindInk(c.dc(), 100, 20, kInk);
  const int left = (100 - size.cx) / 2;
  EXPECT_GE(ink.box.Left, left);
  EXPECT_LE(ink.box.Right, left + size.cx);

  // Too long for its rectangle: measured to fit, ending in the ellipsis.
  RECT small{0, 0, 30, 20};
  DrawTextA(c.dc(), "Screenshot to floppy", -1, &small, DT_CALCRECT | DT_END_ELLIPSIS | DT_SINGLELINE);
  EXPECT_LE(small.Right, 30);
}

TEST(TextDrawing, AmpersandUnderlinesTheNextLetter) {
  Canvas plain(60, 20), marked(60, 20);
  for (Canvas* c : {&plain, &marked}) {
    c->Fill(kPaper);
    SelectObject(c->dc(), GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(c->dc(), kInk);
    SetBkMode(c->dc(), TRANSPARENT);
  }
  RECT r{0, 0, 60, 20};
  DrawTextA(plain.dc(), "Scan", -1, &r, DT_SINGLELINE);
  DrawTextA(marked.dc(), "&Scan", -1, &r, DT_SINGLELINE);
  // The '&' takes no room: the letters stand where they stood, and the only
  // new ink is one row under the "S", below the letters.
  const Ink letters = FindInk(plain.dc(), 60, 20, kInk);
  int added = 0, row = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      const bool before = GetPixel(plain.dc(), x, y) == kInk;
      const bool after = GetPixel(marked.dc(), x, y) == kInk;
      ASSERT_FALSE(before && !after) << x << "," << y;
      if (after && !before) {
        ++added;
        EXPECT_GE(y, letters.box.Bottom);
        EXPECT_TRUE(row < 0 || row == y);
        row = y;
        EXPECT_LT(x, letters.box.Left + 8);
      }
    }
  EXPECT_GE(added, 4);
}

TEST(TextDrawing, MonochromeSurfaceTakesBlackInk) {
  Canvas c(40, 20, 1);
  c.Fill(kPaper);
  WithFont font(c.dc(), -11);
  SetTextColor(c.dc(), RGB(20, 20, 20));
  SetBkMode(c.dc(), TRANSPARENT);
  TextOutA(c.dc(), 0, 0, "X", 1);
  EXPECT_GT(FindInk(c.dc(), 40, 20, 0).count, 5);
}

TEST(TextDrawing, FontsLeaveNoObjectsBehind) {
  const std::size_t start = GdiLiveObjectCount();
  {
    Canvas c(10, 10);
    for (LONG h : {-11, -16, -24}) {
      WithFont font(c.dc(), h, h == -24 ? FW_BOLD : FW_NORMAL);
      TEXTMETRICA tm;
      ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm));
      EXPECT_GT(tm.tmHeight, -h);
    }
  }
  EXPECT_EQ(GdiLiveObjectCount(), start);
}

}  // namespace
}  // namespace gdi
