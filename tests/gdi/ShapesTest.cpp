#include <gtest/gtest.h>

#include <string>

#include "gdi/Gdi.h"
#include "tests/gdi/GdiTestUtil.h"

namespace gdi {
namespace {

using test::Canvas;

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0);

// The canvas as rows of '#' (black), 'B' (blue), 'R' (red) and '.' (white).
std::string Picture(const Canvas& c, int width, int height) {
  std::string out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF p = GetPixel(c.dc(), x, y);
      out += p == 0 ? '#' : p == kBlue ? 'B' : p == kRed ? 'R' : p == kWhite ? '.' : '?';
    }
    out += '\n';
  }
  return out;
}

// Selects a new pen and brush into a canvas and frees them at the end.
struct Tools {
  Tools(const Canvas& c, int style, int width, COLORREF pen, HBRUSH brush)
      : dc(c.dc()), penHandle(CreatePen(style, width, pen)), brushHandle(brush) {
    oldPen = SelectObject(dc, penHandle);
    oldBrush = SelectObject(dc, brushHandle);
  }
  ~Tools() {
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(penHandle);
    DeleteObject(brushHandle);
  }
  HDC dc;
  HPEN penHandle;
  HBRUSH brushHandle;
  HGDIOBJ oldPen, oldBrush;
};

TEST(Lines, HalfwayStepsGoToTheSmallerCoordinateEitherWay) {
  struct Case {
    POINT from, to;
    const char* picture;
  };
  const Case cases[] = {
      {{0, 0}, {2, 1}, "##.\n...\n"},
      {{2, 1}, {0, 0}, ".#.\n..#\n"},
      {{0, 0}, {1, 2}, "#.\n#.\n..\n"},
      {{1, 2}, {0, 0}, "..\n#.\n.#\n"},
  };
  for (const Case& k : cases) {
    Canvas c(3, 3);
    c.Fill(kWhite);
    MoveToEx(c.dc(), k.from.X, k.from.Y, nullptr);
    LineTo(c.dc(), k.to.X, k.to.Y);
    const std::string expected = k.picture;
    const int width = static_cast<int>(expected.find('\n'));
    EXPECT_EQ(Picture(c, width, static_cast<int>(expected.size()) / (width + 1)), expected);
  }
}

TEST(Lines, DashGapsTakeTheBackgroundThroughTheRasterOperation) {
  Canvas c(8, 3);
  c.Fill(kWhite);
  Tools tools(c, PS_DOT, 1, 0, CreateSolidBrush(kWhite));
  SetBkColor(c.dc(), kBlue);
  for (int y = 0; y < 3; ++y) {
    SetBkMode(c.dc(), y == 1 ? TRANSPARENT : OPAQUE);
    SetROP2(c.dc(), y == 2 ? R2_XORPEN : R2_COPYPEN);
    MoveToEx(c.dc(), 0, y, nullptr);
    LineTo(c.dc(), 8, y);
  }
  EXPECT_EQ(Picture(c, 8, 2), "###BBB##\n###...##\n");
  EXPECT_EQ(GetPixel(c.dc(), 3, 2), RGB(255, 255, 0));
  EXPECT_EQ(GetPixel(c.dc(), 0, 2), kWhite);
}

TEST(Rectangles, DashesRunRoundTheOutlineFromTheTopRight) {
  Canvas c(5, 4);
  c.Fill(kWhite);
  Tools tools(c, PS_DOT, 1, 0, GetStockObject(NULL_BRUSH));
  SetBkMode(c.dc(), TRANSPARENT);
  Rectangle(c.dc(), 0, 0, 5, 4);
  EXPECT_EQ(Picture(c, 5, 4), "..###\n....#\n#...#\n##...\n");
}

TEST(Rectangles, WidePensAreCentredOrInsideTheFrame) {
  struct Case {
    int style, width;
    RECT box;
    const char* picture;
  };
  const Case cases[] = {
      {PS_SOLID,
       3,
       {2, 2, 8, 7},
       "..........\n..######..\n.########.\n.########.\n.###BB###.\n"
       ".########.\n.########.\n..######..\n..........\n"},
      {PS_INSIDEFRAME,
       3,
       {2, 2, 8, 7},
       "..........\n..........\n...####...\n..######..\n..######..\n"
       "..######..\n...####...\n..........\n..........\n"},
      {PS_INSIDEFRAME,
       2,
       {1, 1, 8, 7},
       "..........\n.#######..\n.#######..\n.##BBB##..\n.##BBB##..\n"
       ".#######..\n.#######..\n..........\n..........\n"},
  };
  for (const Case& k : cases) {
    Canvas c(10, 9);
    c.Fill(kWhite);
    Tools tools(c, k.style, k.width, 0, CreateSolidBrush(kBlue));
    Rectangle(c.dc(), k.box.Left, k.box.Top, k.box.Right, k.box.Bottom);
    EXPECT_EQ(Picture(c, 10, 9), k.picture) << k.style << " " << k.width;
  }
}

TEST(Rectangles, NoWidthOrNoHeightDrawsNothing) {
  Canvas c(6, 6);
  c.Fill(kWhite);
  Tools tools(c, PS_SOLID, 3, 0, CreateSolidBrush(kBlue));
  Rectangle(c.dc(), 2, 1, 2, 5);
  Rectangle(c.dc(), 1, 3, 5, 3);
  EXPECT_EQ(Picture(c, 6, 6), "......\n......\n......\n......\n......\n......\n");
}

TEST(Lines, WidePenCoversEachPixelOnce) {
  Canvas c(10, 6);
  c.Fill(kWhite);
  Tools tools(c, PS_SOLID, 3, 0, CreateSolidBrush(kWhite));
  SetROP2(c.dc(), R2_NOT);
  MoveToEx(c.dc(), 2, 1, nullptr);
  LineTo(c.dc(), 8, 3);
  EXPECT_EQ(Picture(c, 10, 6), "..####....\n.########.\n..#######.\n.....#####\n........#.\n..........\n");
}

}  // namespace
}  // namespace gdi
