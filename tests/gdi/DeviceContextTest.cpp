#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gdi/Gdi.h"
#include "tests/gdi/GdiTestUtil.h"

namespace gdi {
namespace {

using test::Canvas;

int BitsPerPixel(HBITMAP bitmap) {
  BITMAP bm;
  return GetObjectA(bitmap, sizeof bm, &bm) ? bm.bmBitsPixel : -1;
}

TEST(DeviceContexts, NewMemoryContextDefaults) {
  const HDC dc = CreateCompatibleDC(0);
  EXPECT_EQ(GetMapMode(dc), MM_TEXT);
  BITMAP bm;
  ASSERT_GT(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm), 0);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
  EXPECT_EQ(SetBkColor(dc, 0), RGB(1, 2, 3));
  EXPECT_EQ(SetTextColor(dc, RGB(4, 5, 6)), 0u);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetMapMode(dc, MM_ANISOTROPIC), MM_TEXT);
  EXPECT_EQ(GetMapMode(dc), MM_ANISOTROPIC);
  EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc, 0), 0);
  EXPECT_EQ(SetStretchBltMode(dc, HALFTONE + 1), 0);
  const int saved = SaveDC(dc);
  EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), BLACKONWHITE);
  RestoreDC(dc, saved);
  EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
  DeleteDC(dc);
}

TEST(DeviceContexts, CompatibleBitmapTakesTheSelectedFormat) {
  const HDC bare = CreateCompatibleDC(0);
  const HBITMAP mono = CreateCompatibleBitmap(bare, 8, 8);
  EXPECT_EQ(BitsPerPixel(mono), 1);

  const HBITMAP surface = CreateBitmap(50, 40, 1, 32, nullptr);
  RegisterWindowSurface(7, surface, {10, 10, 30, 30});
  const HDC window = GetDC(7);
  ASSERT_NE(window, 0u);
  const HBITMAP colour = CreateCompatibleBitmap(window, 8, 8);
  EXPECT_EQ(BitsPerPixel(colour), 32);

  // A memory context holding a colour bitmap makes colour bitmaps too.
  const HGDIOBJ old = SelectObject(bare, colour);
  const HBITMAP colour2 = CreateCompatibleBitmap(bare, 3, 3);
  EXPECT_EQ(BitsPerPixel(colour2), 32);
  SelectObject(bare, old);

  ReleaseDC(7, window);
  UnregisterWindowSurface(7);
  for (HGDIOBJ o : {mono, colour, colour2, surface}) EXPECT_TRUE(DeleteObject(o));
  DeleteDC(bare);
}

TEST(DeviceContexts, WindowContextDrawsInsideItsArea) {
  const HBITMAP surface = CreateBitmap(50, 40, 1, 32, nullptr);
  RegisterWindowSurface(8, surface, {10, 5, 30, 25});
  const HDC window = GetDC(8);
  const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  const RECT huge{-100, -100, 100, 100};
  FillRect(window, &huge, red);
  SetWindowOrgEx(window, 0, 0, nullptr);  // the window's own origin stays
  EXPECT_EQ(GetPixel(window, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(window, -1, 0), CLR_INVALID);
  ReleaseDC(8, window);

  Canvas whole(surface);
  EXPECT_EQ(GetPixel(whole.dc(), 9, 5), 0u);
  EXPECT_EQ(GetPixel(whole.dc(), 10, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(whole.dc(), 29, 24), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(whole.dc(), 30, 24), 0u);
  UnregisterWindowSurface(8);
  DeleteObject(red);
}

TEST(Handles, LiveCountReturnsAfterAnySequence) {
  const std::size_t start = GdiLiveObjectCount();
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    std::vector<HDC> dcs;
    std::vector<HGDIOBJ> objects;
    for (int i = 0; i < 5; ++i) {
      dcs.push_back(CreateCompatibleDC(0));
      objects.push_back(CreateCompatibleBitmap(dcs.back(), 1 + rng() % 20, 1 + rng() % 20));
      objects.push_back(CreateBitmap(4, 4, 1, 32, nullptr));
      objects.push_back(CreateSolidBrush(rng() & 0xFFFFFF));
      objects.push_back(CreatePen(PS_SOLID, 1, 0));
    }
    for (int i = 0; i < 20; ++i) SelectObject(dcs[rng() % dcs.size()], objects[rng() % objects.size()]);
    std::shuffle(dcs.begin(), dcs.end(), rng);
    for (HDC dc : dcs) EXPECT_TRUE(DeleteDC(dc));
    for (HGDIOBJ o : objects) EXPECT_TRUE(DeleteObject(o));
  }
  EXPECT_EQ(GdiLiveObjectCount(), start);
}

TEST(Handles, DeletingAContextLeavesItsBitmapAlive) {
  const std::size_t start = GdiLiveObjectCount();
  const HDC dc = CreateCompatibleDC(0);
  const HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
  SelectObject(dc, bitmap);
  SetPixel(dc, 1, 1, RGB(5, 6, 7));
  EXPECT_FALSE(DeleteObject(bitmap));  // still selected
  DeleteDC(dc);
  EXPECT_EQ(GdiLiveObjectCount(), start + 1);
  Canvas again(bitmap);  // selectable elsewhere, pixels kept; frees it at the end
  EXPECT_EQ(GetPixel(again.dc(), 1, 1), RGB(5, 6, 7));
}

TEST(Handles, BitmapLivesInOneContextAtATime) {
  Canvas a(2, 2);
  const HDC other = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(other, a.bitmap()), 0u);
  DeleteDC(other);
}

TEST(Handles, StaleAndForeignHandlesAreHarmless) {
  const std::size_t start = GdiLiveObjectCount();
  const HDC dc = CreateCompatibleDC(0);
  const HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
  DeleteObject(bitmap);
  DeleteDC(dc);
  // The slots are reused; the old numbers must not reach the new objects.
  const HDC reused = CreateCompatibleDC(0);
  const HBITMAP reusedBitmap = CreateBitmap(2, 2, 1, 32, nullptr);
  SelectObject(reused, reusedBitmap);
  for (HGDIOBJ bad : {dc, bitmap, HGDIOBJ{0}, HGDIOBJ{12345}, ~HGDIOBJ{0}}) {
    EXPECT_EQ(SelectObject(bad, reusedBitmap), 0u);
    EXPECT_EQ(SelectObject(reused, bad), 0u);
    EXPECT_EQ(GetPixel(bad, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(bad, 0, 0, 0), CLR_INVALID);
    EXPECT_FALSE(BitBlt(bad, 0, 0, 1, 1, reused, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(reused, 0, 0, 1, 1, bad, 0, 0, SRCCOPY));
    EXPECT_FALSE(DeleteDC(bad));
    EXPECT_FALSE(DeleteObject(bad));
    EXPECT_EQ(GetObjectA(bad, 0, nullptr), 0);
    EXPECT_EQ(SetBkColor(bad, 0), CLR_INVALID);
    EXPECT_EQ(IntersectClipRect(bad, 0, 0, 1, 1), RGN_ERROR);
  }
  // Deleting the context through its bitmap's number does nothing either.
  EXPECT_FALSE(DeleteDC(reusedBitmap));
  EXPECT_TRUE(DeleteDC(reused));
  DeleteObject(reusedBitmap);
  EXPECT_EQ(GdiLiveObjectCount(), start);
}

TEST(Handles, StockObjectsAreNeitherCountedNorFreed) {
  const std::size_t start = GdiLiveObjectCount();
  const HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  EXPECT_EQ(white, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(white));
  EXPECT_EQ(GetObjectA(white, 0, nullptr), static_cast<int>(sizeof(LOGBRUSH)));
  EXPECT_EQ(GdiLiveObjectCount(), start);
  EXPECT_EQ(GetStockObject(9999), 0u);
}

TEST(Pixels, OutsideTheBitmapIsInvalid) {
  Canvas c(3, 2);
  EXPECT_EQ(GetPixel(c.dc(), 2, 1), 0u);
  for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}})
    EXPECT_EQ(GetPixel(c.dc(), x, y), CLR_INVALID);
  EXPECT_EQ(SetPixel(c.dc(), 3, 0, 0), CLR_INVALID);
}

TEST(Pixels, CreateBitmapTakesWordAlignedRows) {
  // 10 × 2 monochrome: each row is 2 bytes of bits.
  const unsigned char bits[] = {0b10000000, 0b01000000, 0b00000000, 0b11000000};
  Canvas c(CreateBitmap(10, 2, 1, 1, bits));
  EXPECT_EQ(GetPixel(c.dc(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc(), 1, 0), 0u);
  EXPECT_EQ(GetPixel(c.dc(), 9, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc(), 8, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc(), 0, 1), 0u);
}

TEST(Pixels, AbsurdSizesAreRefused) {
  EXPECT_EQ(CreateBitmap(100000, 100000, 1, 32, nullptr), 0u);
  EXPECT_EQ(CreateBitmap(-1, 5, 1, 32, nullptr), 0u);
  const HDC dc = CreateCompatibleDC(0);
  EXPECT_EQ(CreateCompatibleBitmap(dc, 70000, 70000), 0u);
  DeleteDC(dc);
}

TEST(SavedState, RestoreReturnsOriginsClipAndColours) {
  Canvas c(10, 10);
  const int level = SaveDC(c.dc());
  SetWindowOrgEx(c.dc(), 3, 3, nullptr);
  IntersectClipRect(c.dc(), 3, 3, 5, 5);
  SetBkColor(c.dc(), RGB(1, 1, 1));
  EXPECT_EQ(GetPixel(c.dc(), 6, 6), CLR_INVALID);
  EXPECT_TRUE(RestoreDC(c.dc(), level));
  EXPECT_EQ(SetBkColor(c.dc(), 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc(), 6, 6), 0u);
  POINT org{9, 9};
  GetWindowOrgEx(c.dc(), &org);
  EXPECT_EQ(org, (POINT{0, 0}));
  EXPECT_FALSE(RestoreDC(c.dc(), -1));
}

TEST(Shapes, RectangleLinesAndFocusFrame) {
  Canvas c(8, 8);
  c.Fill(RGB(255, 255, 255));
  const HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  const HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  const HGDIOBJ oldPen = SelectObject(c.dc(), pen), oldBrush = SelectObject(c.dc(), brush);
  Rectangle(c.dc(), 1, 1, 5, 5);
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(c.dc(), 4, 4), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(c.dc(), 2, 2), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(c.dc(), 5, 5), RGB(255, 255, 255));
  MoveToEx(c.dc(), 0, 7, nullptr);
  LineTo(c.dc(), 7, 7);  // the end point stays undrawn
  EXPECT_EQ(GetPixel(c.dc(), 6, 7), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(c.dc(), 7, 7), RGB(255, 255, 255));
  SelectObject(c.dc(), oldPen);
  SelectObject(c.dc(), oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);

  Canvas f(6, 6);
  f.Fill(RGB(255, 255, 255));
  const RECT frame{0, 0, 6, 6};
  DrawFocusRect(f.dc(), &frame);
  EXPECT_EQ(GetPixel(f.dc(), 0, 0), 0u);
  EXPECT_EQ(GetPixel(f.dc(), 1, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(f.dc(), 2, 2), RGB(255, 255, 255));
  DrawFocusRect(f.dc(), &frame);  // twice: gone again
  EXPECT_EQ(GetPixel(f.dc(), 0, 0), RGB(255, 255, 255));
}

TEST(Rects, ArithmeticAndHitTesting) {
  RECT r{10, 20, 30, 40};
  InflateRect(&r, 2, -3);
  EXPECT_EQ(r, (RECT{8, 23, 32, 37}));
  OffsetRect(&r, -8, 1);
  EXPECT_EQ(r, (RECT{0, 24, 24, 38}));
  const RECT box{0, 0, 10, 5};
  EXPECT_TRUE(PtInRect(&box, {0, 0}));
  EXPECT_TRUE(PtInRect(&box, {9, 4}));
  EXPECT_FALSE(PtInRect(&box, {10, 4}));
  EXPECT_FALSE(PtInRect(&box, {9, 5}));
  EXPECT_FALSE(PtInRect(&box, {-1, 0}));
  RECT out;
  const RECT other{5, 3, 20, 20};
  EXPECT_TRUE(IntersectRect(&out, &box, &other));
  EXPECT_EQ(out, (RECT{5, 3, 10, 5}));
  const RECT apart{50, 50, 60, 60};
  EXPECT_FALSE(IntersectRect(&out, &box, &apart));
  EXPECT_TRUE(IsRectEmpty(&out));
}

}  // namespace
}  // namespace gdi
