#include <gtest/gtest.h>

#include <array>

#include "gdi/Gdi.h"
#include "tests/gdi/GdiTestUtil.h"

namespace gdi {
namespace {

using test::Canvas;

int WhitePixels(const Canvas& c, int x0, int y0) {
  int n = 0;
  for (int y = y0; y < y0 + 8; ++y)
    for (int x = x0; x < x0 + 8; ++x) n += GetPixel(c.dc(), x, y) != 0;
  return n;
}

// A brush on a monochrome bitmap: black and white as they are, any other
// colour an 8 × 8 dither with as many white pixels as its grey has steps.
TEST(Brushes, GreyBrushesAreDitheredOnMonochromeBitmapsTheSameByEveryCall) {
  const struct {
    COLORREF colour;
    int whites;  // of 64, as measured on the reference implementation
  } cases[] = {{RGB(128, 128, 128), 32}, {RGB(192, 192, 192), 48}, {RGB(255, 0, 0), 19},
               {RGB(0, 255, 0), 38},     {RGB(0, 0, 255), 7},      {RGB(200, 100, 50), 31},
               {RGB(1, 1, 1), 0},        {RGB(254, 254, 254), 64}, {RGB(0, 0, 0), 0},
               {RGB(255, 255, 255), 64}};
  for (const auto& c : cases) {
    Canvas patBlt(16, 16, 1), fillRect(16, 16, 1), rectangle(16, 16, 1);
    const HBRUSH brush = CreateSolidBrush(c.colour);
    SelectObject(patBlt.dc(), brush);
    PatBlt(patBlt.dc(), 3, 2, 13, 14, PATCOPY);
    const RECT all{0, 0, 16, 16};
    FillRect(fillRect.dc(), &all, brush);
    SelectObject(rectangle.dc(), brush);
    SelectObject(rectangle.dc(), GetStockObject(NULL_PEN));
    Rectangle(rectangle.dc(), 0, 0, 17, 17);
    EXPECT_EQ(WhitePixels(fillRect, 0, 0), c.whites) << std::hex << c.colour;
    // Fixed to the bitmap's pixels, wherever the call starts.
    for (int y = 2; y < 16; ++y)
      for (int x = 3; x < 16; ++x) {
        EXPECT_EQ(GetPixel(patBlt.dc(), x, y), GetPixel(fillRect.dc(), x, y)) << x << "," << y;
        EXPECT_EQ(GetPixel(rectangle.dc(), x, y), GetPixel(fillRect.dc(), x, y)) << x << "," << y;
      }
    SelectObject(patBlt.dc(), GetStockObject(WHITE_BRUSH));
    SelectObject(rectangle.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
  }
}

TEST(Brushes, TheNullBrushLeavesAPatternOperationsDestination) {
  Canvas c(4, 4);
  c.Fill(RGB(10, 20, 30));
  SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
  PatBlt(c.dc(), 0, 0, 4, 4, PATCOPY);
  PatBlt(c.dc(), 0, 0, 2, 4, PATINVERT);
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(10, 20, 30));
  PatBlt(c.dc(), 0, 0, 2, 4, DSTINVERT);  // no pattern in it
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(245, 235, 225));
  EXPECT_EQ(GetPixel(c.dc(), 2, 1), RGB(10, 20, 30));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
}

// Onto a 4-bit section the operations work on the table's indices, whatever
// colours the table holds.
TEST(Palettes, RasterOperationsWorkOnTableIndices) {
  std::array<RGBQUAD, 16> table{};
  for (int i = 0; i < 16; ++i) table[i] = {static_cast<BYTE>(i * 16), static_cast<BYTE>(i), 200, 0};
  auto colour = [&](int index) {
    return RGB(table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue);
  };
  BITMAPINFOHEADER header;
  header.biWidth = 4;
  header.biHeight = -2;
  header.biBitCount = 4;
  Canvas c(CreateDIBSection(0, header, table));
  PatBlt(c.dc(), 0, 0, 1, 1, BLACKNESS);
  PatBlt(c.dc(), 1, 0, 1, 1, WHITENESS);
  SetPixel(c.dc(), 2, 0, colour(3));
  PatBlt(c.dc(), 2, 0, 1, 1, DSTINVERT);
  const HBRUSH brush = CreateSolidBrush(colour(5));
  SelectObject(c.dc(), brush);
  SetPixel(c.dc(), 3, 0, colour(9));
  PatBlt(c.dc(), 3, 0, 1, 1, PATINVERT);
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
  EXPECT_EQ(GetPixel(c.dc(), 0, 0), colour(0));
  EXPECT_EQ(GetPixel(c.dc(), 1, 0), colour(15));
  EXPECT_EQ(GetPixel(c.dc(), 2, 0), colour(12));
  EXPECT_EQ(GetPixel(c.dc(), 3, 0), colour(9 ^ 5));
}

}  // namespace
}  // namespace gdi
