#include <gtest/gtest.h>

#include "gdi/Gdi.h"
#include "tests/gdi/GdiTestUtil.h"

namespace gdi {
namespace {

using test::Canvas;

constexpr COLORREF kBack = RGB(10, 10, 10);
constexpr COLORREF kInk = RGB(200, 100, 50);

// Moves the window origin, narrows the clip in the moved coordinates, then
// blits a larger block: only the clipped part, at its device position,
// changes.
TEST(ClipAndOrigin, BlitTouchesExactlyTheClippedArea) {
  Canvas dst(20, 20), src(20, 20);
  dst.Fill(kBack);
  src.Fill(kInk);
  POINT previous{1, 1};
  ASSERT_TRUE(SetWindowOrgEx(dst.dc(), -4, -3, &previous));
  EXPECT_EQ(previous, (POINT{0, 0}));
  // Logical (2, 2)-(6, 5) is device (6, 5)-(10, 8).
  EXPECT_EQ(IntersectClipRect(dst.dc(), 2, 2, 6, 5), SIMPLEREGION);
  BitBlt(dst.dc(), 0, 0, 12, 12, src.dc(), 0, 0, SRCCOPY);
  SetWindowOrgEx(dst.dc(), 0, 0, nullptr);
  SelectClipRgn(dst.dc(), nullptr);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 6 && x < 10 && y >= 5 && y < 8;
      ASSERT_EQ(GetPixel(dst.dc(), x, y), inside ? kInk : kBack) << x << "," << y;
    }
}

TEST(ClipAndOrigin, ClipsOnlyEverNarrow) {
  Canvas c(10, 10);
  IntersectClipRect(c.dc(), 0, 0, 5, 5);
  IntersectClipRect(c.dc(), 3, 3, 9, 9);
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{3, 3, 5, 5}));
  EXPECT_EQ(IntersectClipRect(c.dc(), 7, 7, 8, 8), NULLREGION);
  const RECT r{0, 0, 10, 10};
  EXPECT_FALSE(RectVisible(c.dc(), &r));
}

TEST(ClipAndOrigin, CornersInEitherOrderAndAClipSetBeforeTheBitmap) {
  Canvas c(10, 10);
  IntersectClipRect(c.dc(), 6, 7, 2, 3);
  RECT box;
  GetClipBox(c.dc(), &box);
  EXPECT_EQ(box, (RECT{2, 3, 6, 7}));

  // A bare context holds a 1 x 1 bitmap; its clip must not shrink to that.
  const HDC dc = CreateCompatibleDC(0);
  IntersectClipRect(dc, 2, 2, 5, 4);
  const HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, 8, 8, WHITENESS);
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{2, 2, 5, 4}));
  SelectObject(dc, old);
  DeleteDC(dc);
  const Canvas result(bitmap);
  EXPECT_EQ(GetPixel(result.dc(), 2, 2), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(result.dc(), 4, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(result.dc(), 5, 3), 0u);
  EXPECT_EQ(GetPixel(result.dc(), 1, 2), 0u);
}

TEST(ClipAndOrigin, RectVisibleFollowsClipAndOrigin) {
  Canvas c(10, 10);
  SetWindowOrgEx(c.dc(), -5, -5, nullptr);
  IntersectClipRect(c.dc(), 0, 0, 2, 2);  // device (5, 5)-(7, 7)
  const RECT hit{1, 1, 3, 3}, miss{2, 2, 4, 4}, far{-5, -5, 0, 0};
  EXPECT_TRUE(RectVisible(c.dc(), &hit));
  EXPECT_FALSE(RectVisible(c.dc(), &miss));
  EXPECT_FALSE(RectVisible(c.dc(), &far));
  EXPECT_EQ(GetPixel(c.dc(), 2, 2), CLR_INVALID);  // outside the clip
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), 0u);
}

TEST(ClipAndOrigin, SourceOriginMovesTheReadPosition) {
  Canvas src(4, 4), dst(4, 4);
  src.Fill(0);
  SetPixel(src.dc(), 3, 3, kInk);
  SetWindowOrgEx(src.dc(), -2, -2, nullptr);  // logical (1, 1) is device (3, 3)
  BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 1, 1, SRCCOPY);
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), kInk);
}

}  // namespace
}  // namespace gdi
