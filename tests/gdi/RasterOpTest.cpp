#include <gtest/gtest.h>

#include <random>

#include "gdi/Blit.h"
#include "gdi/Gdi.h"
#include "tests/gdi/GdiTestUtil.h"

namespace gdi {
namespace {

using test::Canvas;

using test::BlitWithBrush;
using test::ByTruthTable;

constexpr int kSide = 9;

struct RopCase {
  bool monochrome;
  bool rowByRow = false;  // monochrome blits through the working form, not packed bits
};

class EveryRasterOperation : public ::testing::TestWithParam<RopCase> {};

TEST_P(EveryRasterOperation, FollowsItsTruthTable) {
  const bool mono = GetParam().monochrome;
  const UINT depth = mono ? 1 : 32;
  detail::SetPackedBlits(!GetParam().rowByRow);
  std::mt19937 rng(1234);
  Canvas src(kSide, kSide, depth), dst(kSide, kSide, depth), before(kSide, kSide, depth);
  for (int code = 0; code < 256; ++code) {
    const auto table = static_cast<std::uint8_t>(code);
    test::FillRandom(src, rng, mono);
    test::FillRandom(before, rng, mono);
    const COLORREF brushColor = mono ? ((rng() & 1) ? RGB(255, 255, 255) : 0) : (rng() & 0xFFFFFF);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, kSide, kSide, before.dc(), 0, 0, SRCCOPY));
    ASSERT_TRUE(BlitWithBrush(brushColor, dst.dc(), 0, kSide, kSide, src.dc(), 0, table)) << code;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const COLORREF want =
            ByTruthTable(table, brushColor, GetPixel(src.dc(), x, y), GetPixel(before.dc(), x, y));
        ASSERT_EQ(GetPixel(dst.dc(), x, y), want) << "code " << code << " at " << x << "," << y;
      }
  }
  detail::SetPackedBlits(true);
}

INSTANTIATE_TEST_SUITE_P(ColourAndMonochrome, EveryRasterOperation,
                         ::testing::Values(RopCase{false}, RopCase{true}, RopCase{true, true}),
                         [](const auto& test) {
                           if (!test.param.monochrome) return "Colour";
                           return test.param.rowByRow ? "MonoRowByRow" : "Mono";
                         });

TEST(RasterOperations, NamedCodesByHand) {
  Canvas src(1, 1), dst(1, 1);
  const COLORREF s = RGB(0x12, 0xF0, 0x0F), d = RGB(0x81, 0x3C, 0xFF);
  struct Case {
    DWORD rop;
    COLORREF want;
  } cases[] = {
      {SRCCOPY, s},
      {NOTSRCCOPY, RGB(0xED, 0x0F, 0xF0)},
      {SRCAND, RGB(0x00, 0x30, 0x0F)},
      {SRCPAINT, RGB(0x93, 0xFC, 0xFF)},
  };
  for (const Case& c : cases) {
    SetPixel(src.dc(), 0, 0, s);
    SetPixel(dst.dc(), 0, 0, d);
    BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, c.rop);
    EXPECT_EQ(GetPixel(dst.dc(), 0, 0), c.want) << std::hex << c.rop;
  }
}

// 0x00E20746 takes the brush where the source is set and keeps the
// destination where it is clear: with a monochrome source that paints a
// shape in the brush colour.
TEST(RasterOperations, E20746PaintsBrushThroughMonochromeMask) {
  Canvas mask(3, 1, 1), dst(3, 1);
  SetPixel(mask.dc(), 0, 0, RGB(255, 255, 255));
  SetPixel(mask.dc(), 1, 0, 0);
  SetPixel(mask.dc(), 2, 0, RGB(255, 255, 255));
  dst.Fill(RGB(10, 20, 30));
  // Source bits expand to the destination's colours first: white bits to
  // the background colour (all ones), black bits to the text colour (zero).
  SetBkColor(dst.dc(), RGB(255, 255, 255));
  SetTextColor(dst.dc(), 0);
  const HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
  const HGDIOBJ old = SelectObject(dst.dc(), red);
  BitBlt(dst.dc(), 0, 0, 3, 1, mask.dc(), 0, 0, 0x00E20746);
  SelectObject(dst.dc(), old);
  DeleteObject(red);
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), RGB(200, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 1, 0), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(dst.dc(), 2, 0), RGB(200, 0, 0));
}

TEST(DepthConversion, ColourToMonochromeUsesSourceBackground) {
  Canvas colour(3, 1), mono(3, 1, 1);
  SetPixel(colour.dc(), 0, 0, RGB(0, 128, 255));
  SetPixel(colour.dc(), 1, 0, RGB(255, 255, 255));
  SetPixel(colour.dc(), 2, 0, RGB(0, 128, 254));
  SetBkColor(colour.dc(), RGB(0, 128, 255));
  SetBkColor(mono.dc(), RGB(1, 2, 3));  // the destination's colours play no part
  SetTextColor(mono.dc(), RGB(4, 5, 6));
  BitBlt(mono.dc(), 0, 0, 3, 1, colour.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mono.dc(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mono.dc(), 1, 0), RGB(0, 0, 0));  // white is not the background here
  EXPECT_EQ(GetPixel(mono.dc(), 2, 0), RGB(0, 0, 0));
}

TEST(DepthConversion, MonochromeToColourUsesDestinationColours) {
  Canvas mono(2, 1, 1), colour(2, 1);
  SetPixel(mono.dc(), 0, 0, RGB(255, 255, 255));
  SetPixel(mono.dc(), 1, 0, 0);
  SetBkColor(mono.dc(), RGB(9, 9, 9));  // the source's colours play no part
  SetTextColor(mono.dc(), RGB(7, 7, 7));
  SetBkColor(colour.dc(), RGB(0x20, 0x40, 0x60));
  SetTextColor(colour.dc(), RGB(0xA0, 0xB0, 0xC0));
  BitBlt(colour.dc(), 0, 0, 2, 1, mono.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(colour.dc(), 0, 0), RGB(0x20, 0x40, 0x60));
  EXPECT_EQ(GetPixel(colour.dc(), 1, 0), RGB(0xA0, 0xB0, 0xC0));

  // The converted source then takes part in the operation like any other.
  colour.Fill(RGB(0xFF, 0x0F, 0xF0));
  BitBlt(colour.dc(), 0, 0, 2, 1, mono.dc(), 0, 0, SRCAND);
  EXPECT_EQ(GetPixel(colour.dc(), 0, 0), RGB(0x20, 0x00, 0x60));
  EXPECT_EQ(GetPixel(colour.dc(), 1, 0), RGB(0xA0, 0x00, 0xC0));
}

TEST(Blits, OverlappingCopyWithinOneSurface) {
  Canvas c(6, 1);
  for (int x = 0; x < 6; ++x) SetPixel(c.dc(), x, 0, RGB(x * 10, 0, 0));
  BitBlt(c.dc(), 2, 0, 4, 1, c.dc(), 0, 0, SRCCOPY);
  const COLORREF want[6] = {RGB(0, 0, 0),  RGB(10, 0, 0), RGB(0, 0, 0),
                            RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0)};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(GetPixel(c.dc(), x, 0), want[x]) << x;
}

TEST(Blits, SourceOutsideItsSurfaceLeavesDestinationAlone) {
  Canvas src(4, 4), dst(4, 4);
  src.Fill(RGB(1, 1, 1));
  dst.Fill(RGB(9, 9, 9));
  BitBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 2, 3, SRCCOPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(GetPixel(dst.dc(), x, y), (x < 2 && y < 1) ? RGB(1, 1, 1) : RGB(9, 9, 9)) << x << "," << y;
}

TEST(Blits, PatBltAndStretch) {
  Canvas c(4, 4), src(2, 2);
  c.Fill(0);
  const HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  const HGDIOBJ old = SelectObject(c.dc(), blue);
  PatBlt(c.dc(), 3, 3, -2, -2, PATCOPY);  // negative extents: (x - 2, x], the start included
  SelectObject(c.dc(), old);
  DeleteObject(blue);
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), 0u);
  EXPECT_EQ(GetPixel(c.dc(), 2, 2), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(c.dc(), 3, 3), RGB(0, 0, 255));

  SetPixel(src.dc(), 0, 0, RGB(1, 0, 0));
  SetPixel(src.dc(), 1, 0, RGB(2, 0, 0));
  SetPixel(src.dc(), 0, 1, RGB(3, 0, 0));
  SetPixel(src.dc(), 1, 1, RGB(4, 0, 0));
  StretchBlt(c.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(1, 0, 0));
  EXPECT_EQ(GetPixel(c.dc(), 2, 1), RGB(2, 0, 0));
  EXPECT_EQ(GetPixel(c.dc(), 3, 3), RGB(4, 0, 0));
  StretchBlt(c.dc(), 3, 0, -4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY);  // mirrored
  EXPECT_EQ(GetPixel(c.dc(), 0, 0), RGB(2, 0, 0));
  EXPECT_EQ(GetPixel(c.dc(), 3, 0), RGB(1, 0, 0));
}

TEST(Blits, IndexedSectionTakesNearestTableColour) {
  BITMAPINFOHEADER header;
  header.biWidth = 2;
  header.biHeight = 1;
  header.biBitCount = 8;
  const RGBQUAD table[3] = {{0, 0, 0, 0}, {0, 0, 200, 0}, {250, 250, 250, 0}};  // black, red, white
  header.biClrUsed = 3;
  Canvas section(CreateDIBSection(0, header, table));
  Canvas colour(2, 1);
  SetPixel(colour.dc(), 0, 0, RGB(180, 20, 10));
  SetPixel(colour.dc(), 1, 0, RGB(240, 240, 255));
  BitBlt(section.dc(), 0, 0, 2, 1, colour.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(section.dc(), 0, 0), RGB(200, 0, 0));
  EXPECT_EQ(GetPixel(section.dc(), 1, 0), RGB(250, 250, 250));
  EXPECT_EQ(GetBitmapRow(section.bitmap(), 0)[0], 1);
  EXPECT_EQ(GetBitmapRow(section.bitmap(), 0)[1], 2);
}

TEST(Blits, SixteenBitSectionRoundsToFiveBits) {
  BITMAPINFOHEADER header;
  header.biWidth = 1;
  header.biHeight = -1;
  header.biBitCount = 16;
  Canvas section(CreateDIBSection(0, header));
  EXPECT_EQ(SetPixel(section.dc(), 0, 0, RGB(255, 128, 7)), RGB(255, 132, 0));
  EXPECT_EQ(GetPixel(section.dc(), 0, 0), RGB(255, 132, 0));
}

}  // namespace
}  // namespace gdi
