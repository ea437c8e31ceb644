// Colours, the canvas and the three-dimensional frame.
#include <gtest/gtest.h>

#include "toolkit/Bitmap.h"
#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "toolkit/GdiCalls.h"
#include "tests/support/Expect.h"

namespace toolkit {
namespace {

using testsupport::ThrownMessage;

// A bitmap error is a kind of graphics error: it must not come out as a font
// error. The messages are the graphics layer's.
TEST(GdiCalls, TheGraphicsErrorsBecomeTheFrameworksKeepingTheirMessages) {
  EXPECT_EQ(
      ThrownMessage<EInvalidGraphic>([] { CallGdi([]() -> int { throw gdi::BitmapError("bad header"); }); }),
      "bad header");
  EXPECT_EQ(ThrownMessage<EFontError>(
                [] { CallGdi([]() -> int { throw gdi::EFontMissing("font file x is missing"); }); }),
            "font file x is missing");
  EXPECT_EQ(CallGdi([] { return 7; }), 7);
}

TEST(Colors, SystemColoursResolveThroughTheFixedScheme) {
  EXPECT_EQ(ColorToRGB(clBtnFace), gdi::RGB(0xD4, 0xD0, 0xC8));
  EXPECT_EQ(ColorToRGB(clBtnShadow), gdi::RGB(0x80, 0x80, 0x80));
  EXPECT_EQ(ColorToRGB(cl3DDkShadow), gdi::RGB(0x40, 0x40, 0x40));
  EXPECT_EQ(ColorToRGB(clHighlight), gdi::RGB(0x0A, 0x24, 0x6A));
  EXPECT_EQ(ColorToRGB(clInfoBk), gdi::RGB(0xFF, 0xFF, 0xE1));
  EXPECT_EQ(ColorToRGB(clWindowText), 0u);
  // Only the low byte names the system colour.
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x8000FF0F)), ColorToRGB(clBtnFace));
  EXPECT_EQ(ColorToRGB(0x067767), 0x067767u);
  EXPECT_EQ(clBtnFace, static_cast<TColor>(0x8000000F));
  EXPECT_EQ(clRed, 0xFF);
  EXPECT_EQ(clDefault, 0x20000000);
}

TEST(Colors, IdentifiersAndNumbersBothWays) {
  std::string ident;
  EXPECT_TRUE(ColorToIdent(clBtnFace, ident));
  EXPECT_EQ(ident, "clBtnFace");
  EXPECT_FALSE(ColorToIdent(0x067767, ident));
  EXPECT_EQ(StringToColor("clWhite"), clWhite);
  EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
  EXPECT_EQ(StringToColor("$00067767"), 0x067767);
  EXPECT_EQ(StringToColor("423783"), 423783);
  EXPECT_EQ(StringToColor("-2147483633"), clBtnFace);
  for (const char* bad : {"", "$", "clNoSuch", "12x", "$1FFFFFFFF"})
    EXPECT_THROW(StringToColor(bad), EConvertError) << bad;
}

class CanvasTest : public ::testing::Test {
 protected:
  CanvasTest() { bitmap.SetSize(12, 12); }
  TColor At(int x, int y) { return bitmap.Canvas()->Pixel(x, y); }
  TBitmap bitmap;
};

TEST_F(CanvasTest, FillAndTextUseTheCanvasTools) {
  TCanvas* c = bitmap.Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect({0, 0, 12, 12});
  EXPECT_EQ(At(11, 11), static_cast<TColor>(ColorToRGB(clBtnFace)));
  c->Brush()->SetColor(clRed);  // a change after the first use is picked up
  c->FillRect({0, 0, 2, 2});
  EXPECT_EQ(At(1, 1), clRed);
  EXPECT_EQ(At(2, 2), static_cast<TColor>(ColorToRGB(clBtnFace)));

  c->Brush()->SetStyle(bsClear);
  c->Font()->SetColor(clBlue);
  c->TextOut(0, 0, "I");
  int blue = 0, red = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      blue += At(x, y) == clBlue;
      red += At(x, y) == clRed;
    }
  EXPECT_GT(blue, 3);
  EXPECT_GT(red, 0);  // transparent text keeps what is behind it
}

// A raised frame of width 2 on (0, 0, 10, 10): the outer ring's top-left
// colour runs up the left side and along the top; the top-right and
// bottom-left corner pixels take the bottom-right colour.
TEST_F(CanvasTest, Frame3DRingByRing) {
  TCanvas* c = bitmap.Canvas();
  c->Brush()->SetColor(clBlack);
  c->FillRect({0, 0, 12, 12});
  gdi::TRect r{0, 0, 10, 10};
  const TColor light = clWhite, dark = clGray;
  Frame3D(c, r, light, dark, 2);
  EXPECT_EQ(r, (gdi::TRect{2, 2, 8, 8}));
  EXPECT_EQ(At(0, 0), light);
  EXPECT_EQ(At(8, 0), light);
  EXPECT_EQ(At(9, 0), dark);  // top-right corner
  EXPECT_EQ(At(0, 9), dark);  // bottom-left corner
  EXPECT_EQ(At(0, 8), light);
  EXPECT_EQ(At(9, 9), dark);
  EXPECT_EQ(At(1, 1), light);  // second ring
  EXPECT_EQ(At(8, 1), dark);
  EXPECT_EQ(At(1, 8), dark);
  EXPECT_EQ(At(2, 2), clBlack);    // inside untouched
  EXPECT_EQ(At(10, 10), clBlack);  // outside untouched
  EXPECT_EQ(At(10, 0), clBlack);
}

TEST_F(CanvasTest, Frame3DOfWidthZeroDrawsNothing) {
  TCanvas* c = bitmap.Canvas();
  c->Brush()->SetColor(clBlack);
  c->FillRect({0, 0, 12, 12});
  gdi::TRect r{0, 0, 10, 10};
  Frame3D(c, r, clWhite, clWhite, 0);
  EXPECT_EQ(r, (gdi::TRect{0, 0, 10, 10}));
  EXPECT_EQ(At(0, 0), clBlack);
}

TEST_F(CanvasTest, CopyRectFollowsTheCopyMode) {
  TBitmap source;
  source.SetSize(4, 4);
  source.Canvas()->Brush()->SetColor(static_cast<TColor>(0x0F0F0F));
  source.Canvas()->FillRect({0, 0, 4, 4});
  TCanvas* c = bitmap.Canvas();
  c->Brush()->SetColor(static_cast<TColor>(0x3C3C3C));
  c->FillRect({0, 0, 12, 12});
  c->SetCopyMode(cmSrcAnd);
  c->CopyRect({2, 2, 6, 6}, source.Canvas(), {0, 0, 4, 4});
  EXPECT_EQ(At(2, 2), 0x0C0C0C);
  EXPECT_EQ(At(6, 6), 0x3C3C3C);
  c->SetCopyMode(cmSrcCopy);
  c->CopyRect({0, 0, 8, 8}, source.Canvas(), {0, 0, 4, 4});  // stretched
  EXPECT_EQ(At(7, 7), 0x0F0F0F);
}

TEST(Fonts, SizeAndHeightAtNinetySixPixelsPerInch) {
  TFont font;
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Size(), 8);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -16);
  font.SetSize(18);
  EXPECT_EQ(font.Height(), -24);
  int changes = 0;
  font.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  font.SetHeight(-24);  // equal: nothing
  font.SetColor(clWhite);
  font.SetStyle(1u << fsBold);
  EXPECT_EQ(changes, 2);
  TFont copy;
  copy.Assign(&font);
  EXPECT_EQ(copy.Color(), clWhite);
  EXPECT_EQ(copy.Style(), 1u << fsBold);
  EXPECT_EQ(copy.Height(), -24);
}

}  // namespace
}  // namespace toolkit
