// The bitmap button's glyph strip and caption, and the pixel routines behind
// them: grey and embossed copies, the soft blur, where the caption lands.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/Mmbmpbtn.h"
#include "gdi/TextLayout.h"
#include "tests/toolkit/ControlTestSupport.h"

namespace controls {
namespace {

using namespace toolkit;
using toolkit::controltest::HeadlessTest;

constexpr gdi::COLORREF kFace = 0xC8D0D4;       // clBtnFace
constexpr gdi::COLORREF kShadow = 0x808080;     // clBtnShadow
constexpr gdi::COLORREF kHighlight = 0xFFFFFF;  // clBtnHighlight
constexpr gdi::COLORREF kMagenta = 0xFF00FF;

using PixelFn = std::function<gdi::COLORREF(int x, int y)>;

// A 32-bit bitmap painted pixel by pixel.
std::unique_ptr<TBitmap> Painted(int width, int height, const PixelFn& pixel) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap->Canvas()->SetPixel(x, y, static_cast<TColor>(pixel(x, y)));
  bitmap->FreeCanvasHandle();
  return bitmap;
}

std::unique_ptr<TBitmap> Solid(int width, int height, gdi::COLORREF color) {
  return Painted(width, height, [color](int, int) { return color; });
}

gdi::COLORREF At(TBitmap* bitmap, int x, int y) {
  return static_cast<gdi::COLORREF>(bitmap->Canvas()->Pixel(x, y));
}

// What the disabled look of a glyph must be: the shape in shadow, its
// highlight copy one down-right where the shape does not cover it, face
// elsewhere.
gdi::COLORREF Embossed(const std::function<bool(int, int)>& inShape, int x, int y) {
  if (inShape(x, y)) return kShadow;
  if (x > 0 && y > 0 && inShape(x - 1, y - 1)) return kHighlight;
  return kFace;
}

gdi::COLORREF Grey(gdi::COLORREF c) {
  const int v = (gdi::GetRValue(c) * 11 + gdi::GetGValue(c) * 59 + gdi::GetBValue(c) * 30) / 100;
  return gdi::RGB(static_cast<gdi::BYTE>(v), static_cast<gdi::BYTE>(v), static_cast<gdi::BYTE>(v));
}

// ---- GrayGlyph ------------------------------------------------------------------------

TEST(GrayGlyph, WeighsRedElevenGreenFiftyNineBlueThirty) {
  const std::array<gdi::COLORREF, 5> colours = {gdi::RGB(255, 0, 0), gdi::RGB(0, 255, 0), gdi::RGB(0, 0, 255),
                                                0xFFFFFF, gdi::RGB(10, 20, 30)};
  auto bitmap = Painted(5, 1, [&](int x, int) { return colours[x]; });
  GrayGlyph(bitmap.get(), 11, 59, 30);
  EXPECT_EQ(At(bitmap.get(), 0, 0), gdi::RGB(28, 28, 28));
  EXPECT_EQ(At(bitmap.get(), 1, 0), gdi::RGB(150, 150, 150));
  EXPECT_EQ(At(bitmap.get(), 2, 0), gdi::RGB(76, 76, 76));
  EXPECT_EQ(At(bitmap.get(), 3, 0), 0xFFFFFFu);
  EXPECT_EQ(At(bitmap.get(), 4, 0), gdi::RGB(21, 21, 21));  // 2190 / 100, truncated
}

TEST(GrayGlyph, UsesTheWeightsGivenAndLeavesAnEmptyBitmapAlone) {
  auto bitmap = Solid(2, 2, gdi::RGB(255, 0, 0));
  GrayGlyph(bitmap.get(), 30, 59, 11);
  EXPECT_EQ(At(bitmap.get(), 1, 1), gdi::RGB(76, 76, 76));

  TBitmap empty;
  GrayGlyph(&empty, 11, 59, 30);
  EXPECT_TRUE(empty.Empty());
}

// ---- EmbossGlyph and MaskGlyph --------------------------------------------------------

TEST(EmbossGlyph, BlackShapeInShadowWithHighlightOneDownRight) {
  // Black at (1,1) (2,1) (2,2) and the corner (4,3); a near-black pixel is
  // not part of the shape.
  const auto black = [](int x, int y) {
    return (y == 1 && (x == 1 || x == 2)) || (x == 2 && y == 2) || (x == 4 && y == 3);
  };
  auto bitmap = Painted(5, 4, [&](int x, int y) -> gdi::COLORREF {
    if (black(x, y)) return 0;
    return x == 0 && y == 3 ? 0x010101 : 0xFFFFFF;
  });
  EmbossGlyph(bitmap.get());
  ASSERT_EQ(bitmap->Width(), 5);
  ASSERT_EQ(bitmap->Height(), 4);
  // By hand: the shadow where black was; the highlight at (3,2) and (3,3),
  // under the shadow at (2,2); the corner's highlight falls outside.
  EXPECT_EQ(At(bitmap.get(), 1, 1), kShadow);
  EXPECT_EQ(At(bitmap.get(), 2, 2), kShadow);
  EXPECT_EQ(At(bitmap.get(), 3, 2), kHighlight);
  EXPECT_EQ(At(bitmap.get(), 3, 3), kHighlight);
  EXPECT_EQ(At(bitmap.get(), 2, 3), kFace);
  EXPECT_EQ(At(bitmap.get(), 4, 3), kShadow);
  EXPECT_EQ(At(bitmap.get(), 0, 3), kFace);
  EXPECT_EQ(At(bitmap.get(), 0, 0), kFace);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(bitmap.get(), x, y), Embossed(black, x, y)) << x << "," << y;
}

TEST(EmbossGlyph, EmptyBitmapStaysEmpty) {
  TBitmap empty;
  EmbossGlyph(&empty);
  EXPECT_TRUE(empty.Empty());
  MaskGlyph(&empty);
  EXPECT_TRUE(empty.Empty());
}

TEST(MaskGlyph, ShapeIsWhatIsNeitherWhiteNorTheTopLeftColour) {
  // Magenta ground, white highlights, a shape in several colours.
  const auto colour = [](int x, int y) -> gdi::COLORREF {
    if (x == 0 || y == 0 || x == 7 || y == 5) return kMagenta;
    if (x == 3) return 0xFFFFFF;
    if (y == 2) return gdi::RGB(200, 10, 10);
    return x < 3 ? gdi::RGB(20, 20, 200) : gdi::RGB(0, 0, 0);
  };
  const auto shape = [&](int x, int y) {
    const gdi::COLORREF c = colour(x, y);
    return c != kMagenta && c != 0xFFFFFF;
  };
  auto bitmap = Painted(8, 6, colour);
  MaskGlyph(bitmap.get());
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(At(bitmap.get(), x, y), Embossed(shape, x, y)) << x << "," << y;
  // The white column is not shape: face, or highlight just right of shape.
  EXPECT_EQ(At(bitmap.get(), 3, 2), kHighlight);
  EXPECT_EQ(At(bitmap.get(), 3, 1), kFace);
}

TEST(MaskGlyph, GroundIsWhateverColourTheTopLeftPixelHas) {
  const auto colour = [](int x, int y) -> gdi::COLORREF {
    if (x == 2 && y == 2) return gdi::RGB(0, 128, 0);
    if (x == 1 && y == 1) return kMagenta;  // an ordinary colour here
    return gdi::RGB(10, 20, 30);
  };
  auto bitmap = Painted(4, 4, colour);
  MaskGlyph(bitmap.get());
  const auto shape = [](int x, int y) { return (x == 2 && y == 2) || (x == 1 && y == 1); };
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(bitmap.get(), x, y), Embossed(shape, x, y)) << x << "," << y;
}

// ---- SoftenRect -----------------------------------------------------------------------

struct Rgb {
  int c[3];
};

// The blur worked out in place, as the routine must do it.
std::vector<std::vector<Rgb>> SoftenedByHand(std::vector<std::vector<Rgb>> p) {
  const int h = static_cast<int>(p.size()), w = static_cast<int>(p[0].size());
  for (int y = 1; y <= h - 2; ++y)
    for (int x = 1; x <= w - 2; ++x)
      for (int k = 0; k < 3; ++k)
        p[y][x].c[k] =
            (p[y - 1][x - 1].c[k] + p[y - 1][x].c[k] + p[y - 1][x + 1].c[k] + 2 * p[y][x - 1].c[k] +
             p[y][x + 1].c[k] + 2 * p[y + 1][x].c[k] + p[y + 1][x + 1].c[k]) /
            9;
  return p;
}

gdi::COLORREF Pattern(int x, int y) {
  return gdi::RGB(static_cast<gdi::BYTE>((x * x * 31 + y * y * 53 + x * y * 7) % 256),
                  static_cast<gdi::BYTE>(y * 50 + 3), static_cast<gdi::BYTE>((x * y * 37) % 256));
}

TEST(SoftenRect, OneInnerPixelByHand) {
  // Red channel: 9 18 27 / 36 200 45 / 54 63 72. The pixel itself and the
  // one down-left do not count: (9+18+27 + 2*36 + 45 + 2*63 + 72) / 9 = 41.
  const int red[3][3] = {{9, 18, 27}, {36, 200, 45}, {54, 63, 72}};
  auto bitmap =
      Painted(3, 3, [&](int x, int y) { return gdi::RGB(static_cast<gdi::BYTE>(red[y][x]), 0, 90); });
  SoftenRect(bitmap->Canvas(), {0, 0, 3, 3});
  EXPECT_EQ(At(bitmap.get(), 1, 1), gdi::RGB(41, 0, 90));
  EXPECT_EQ(At(bitmap.get(), 0, 2), gdi::RGB(54, 0, 90));
  EXPECT_EQ(At(bitmap.get(), 2, 1), gdi::RGB(45, 0, 90));
}

TEST(SoftenRect, InPlaceOverTheInnerPixelsOnly) {
  // A 5 x 4 area at (1,1) of a 7 x 6 bitmap.
  auto bitmap = Painted(7, 6, Pattern);
  const gdi::TRect area{1, 1, 6, 5};
  std::vector<std::vector<Rgb>> before(4, std::vector<Rgb>(5));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const gdi::COLORREF c = Pattern(x + 1, y + 1);
      before[y][x] = {{gdi::GetRValue(c), gdi::GetGValue(c), gdi::GetBValue(c)}};
    }
  const auto expected = SoftenedByHand(before);
  SoftenRect(bitmap->Canvas(), area);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 7; ++x) {
      gdi::COLORREF want = Pattern(x, y);  // outside the area and on its edge
      if (x >= 1 && x < 6 && y >= 1 && y < 5) {
        const Rgb& e = expected[y - 1][x - 1];
        want = gdi::RGB(static_cast<gdi::BYTE>(e.c[0]), static_cast<gdi::BYTE>(e.c[1]),
                        static_cast<gdi::BYTE>(e.c[2]));
      }
      EXPECT_EQ(At(bitmap.get(), x, y), want) << x << "," << y;
    }
  }
  // The second inner pixel of a row used the first one's new value.
  const Rgb& first = expected[1][1];
  const Rgb& second = expected[1][2];
  const int naiveRed = (before[0][1].c[0] + before[0][2].c[0] + before[0][3].c[0] + 2 * before[1][1].c[0] +
                        before[1][3].c[0] + 2 * before[2][2].c[0] + before[2][3].c[0]) /
                       9;
  EXPECT_NE(first.c[0], before[1][1].c[0]);
  EXPECT_NE(second.c[0], naiveRed);
}

TEST(SoftenRect, AreasNarrowerOrLowerThanThreeAreUnchanged) {
  auto bitmap = Painted(6, 6, Pattern);
  SoftenRect(bitmap->Canvas(), {0, 0, 2, 6});
  SoftenRect(bitmap->Canvas(), {2, 0, 6, 2});
  SoftenRect(bitmap->Canvas(), {3, 3, 3, 6});
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(At(bitmap.get(), x, y), Pattern(x, y)) << x << "," << y;
}

// ---- the strip ------------------------------------------------------------------------

// A face with a magenta ground, white highlights and coloured shapes.
gdi::COLORREF FacePixel(int x, int y) {
  if (x < 4 || y < 4 || x > 80 || y > 58) return kMagenta;
  if ((x + y) % 11 == 0) return 0xFFFFFF;
  return gdi::RGB(static_cast<gdi::BYTE>(x * 3), static_cast<gdi::BYTE>(y * 4),
                  static_cast<gdi::BYTE>(x ^ y));
}

// Glyph 0 red with a white dot, glyph 1 blue; the ground is green.
gdi::COLORREF PairPixel(int x, int y) {
  if (x % 24 < 2 || y < 2) return gdi::RGB(0, 160, 0);
  if (x == 10 && y == 10) return 0xFFFFFF;
  return x < 24 ? gdi::RGB(220, 0, 0) : gdi::RGB(0, 0, 220);
}

class ButtonGlyphStrip : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(200, 120);
    list = new TMMBitmapList(form);
    list->Add(Painted(87, 65, FacePixel).get());
    list->Add(Painted(48, 24, PairPixel).get());
    button = new TMMBitmapButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 87, 65);
  }
  void Show(int index, TMMButtonStyle style, int numGlyphs) {
    button->SetButtonStyle(style);
    button->SetBitmaps(list);
    button->SetBitmapIndex(index);
    button->SetNumGlyphs(numGlyphs);
  }

  TForm* form = nullptr;
  TMMBitmapList* list = nullptr;
  TMMBitmapButton* button = nullptr;
};

TEST_F(ButtonGlyphStrip, OneGlyphGetsItsGreyAndDisabledCopies) {
  Show(0, bsDark, 1);
  TBitmap* strip = button->GlyphStrip();
  ASSERT_NE(strip, nullptr);
  EXPECT_TRUE(button->OwnsGlyphStrip());
  EXPECT_NE(strip, list->Get(0));
  ASSERT_EQ(strip->Width(), 261);
  ASSERT_EQ(strip->Height(), 65);
  EXPECT_EQ(strip->HandleType(), list->Get(0)->HandleType());
  const auto shape = [](int x, int y) {
    const gdi::COLORREF c = FacePixel(x, y);
    return c != kMagenta && c != 0xFFFFFF;
  };
  int mismatches = 0;
  for (int y = 0; y < 65; ++y) {
    for (int x = 0; x < 87; ++x) {
      mismatches += At(strip, x, y) != FacePixel(x, y);
      mismatches += At(strip, 87 + x, y) != Grey(FacePixel(x, y));
      mismatches += At(strip, 174 + x, y) != Embossed(shape, x, y);
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(At(strip, 87 + 20, 20), Grey(FacePixel(20, 20)));
  EXPECT_EQ(At(strip, 174 + 20, 20), kShadow);
  EXPECT_EQ(At(strip, 174 + 0, 0), kFace);
  // The list's bitmap is untouched.
  EXPECT_EQ(list->Get(0)->Width(), 87);
  EXPECT_EQ(At(list->Get(0), 20, 20), FacePixel(20, 20));
}

TEST_F(ButtonGlyphStrip, AnExtendedStripTakesTheBitmapsHandleType) {
  list->SetHandleType(bmDIB);
  Show(0, bsDark, 1);
  ASSERT_NE(button->GlyphStrip(), nullptr);
  EXPECT_EQ(list->Get(0)->HandleType(), bmDIB);
  EXPECT_EQ(button->GlyphStrip()->HandleType(), bmDIB);
  EXPECT_EQ(At(button->GlyphStrip(), 87 + 30, 30), Grey(FacePixel(30, 30)));
}

TEST_F(ButtonGlyphStrip, RebuildingKeepsTheOwnedStrip) {
  Show(0, bsDark, 1);
  TBitmap* strip = button->GlyphStrip();
  button->PrepareGlyphs();
  EXPECT_EQ(button->GlyphStrip(), strip);
  EXPECT_TRUE(button->OwnsGlyphStrip());
  EXPECT_EQ(strip->Width(), 261);
}

TEST_F(ButtonGlyphStrip, TwoDarkGlyphsDrawFromTheListsBitmap) {
  Show(1, bsDark, 2);
  EXPECT_EQ(button->GlyphStrip(), list->Get(1));
  EXPECT_FALSE(button->OwnsGlyphStrip());
  delete button;  // must not free the list's bitmap
  button = nullptr;
  ASSERT_EQ(list->Count(), 2);
  TBitmap* pair = list->Get(1);
  EXPECT_EQ(pair->Width(), 48);
  EXPECT_EQ(At(pair, 30, 10), PairPixel(30, 10));
}

TEST_F(ButtonGlyphStrip, ExplorerWithAutoGrayExtendsTwoGlyphsToFour) {
  Show(1, bsExplorer, 2);
  button->SetAutoGray(true);
  TBitmap* strip = button->GlyphStrip();
  ASSERT_NE(strip, nullptr);
  EXPECT_TRUE(button->OwnsGlyphStrip());
  ASSERT_EQ(strip->Width(), 4 * 24);
  ASSERT_EQ(strip->Height(), 24);
  const auto shape = [](int x, int y) {
    const gdi::COLORREF c = PairPixel(x, y);
    return c != PairPixel(0, 0) && c != 0xFFFFFF;
  };
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      EXPECT_EQ(At(strip, x, y), PairPixel(x, y));
      EXPECT_EQ(At(strip, 24 + x, y), PairPixel(24 + x, y));
      EXPECT_EQ(At(strip, 48 + x, y), Grey(PairPixel(x, y)));
      EXPECT_EQ(At(strip, 72 + x, y), Embossed(shape, x, y));
    }
  }
  // Without AutoGray the list's bitmap serves again, and the copy is freed.
  button->SetAutoGray(false);
  EXPECT_EQ(button->GlyphStrip(), list->Get(1));
  EXPECT_FALSE(button->OwnsGlyphStrip());
  // HighLight extends as Explorer does.
  button->SetAutoGray(true);
  button->SetButtonStyle(bsHighLight);
  ASSERT_NE(button->GlyphStrip(), nullptr);
  EXPECT_TRUE(button->OwnsGlyphStrip());
  EXPECT_EQ(button->GlyphStrip()->Width(), 96);
}

TEST_F(ButtonGlyphStrip, AutoSizeTakesOneGlyphsSize) {
  Show(1, bsDark, 2);
  button->SetAutoSize(true);
  EXPECT_EQ(button->Width(), 24);
  EXPECT_EQ(button->Height(), 24);
  EXPECT_EQ(button->Left(), 10);
  EXPECT_EQ(button->Top(), 10);
  button->SetBitmapIndex(0);
  button->SetNumGlyphs(1);
  EXPECT_EQ(button->Width(), 87);
  EXPECT_EQ(button->Height(), 65);
}

TEST_F(ButtonGlyphStrip, NothingWhileLoadingOrWithoutABitmap) {
  Show(0, bsDark, 1);
  TBitmap* strip = button->GlyphStrip();
  ASSERT_NE(strip, nullptr);

  button->SetComponentState(button->ComponentState() | csLoading);
  button->SetBitmapIndex(1);
  button->SetNumGlyphs(2);
  button->PrepareGlyphs();
  EXPECT_EQ(button->GlyphStrip(), strip);
  EXPECT_EQ(strip->Width(), 261);
  button->SetComponentState(button->ComponentState() & ~csLoading);
  button->PrepareGlyphs();
  EXPECT_EQ(button->GlyphStrip(), list->Get(1));  // bsDark, two glyphs

  // An index beyond the list: no bitmap, the strip stays.
  button->SetNumGlyphs(1);
  button->SetBitmapIndex(0);
  strip = button->GlyphStrip();
  ASSERT_TRUE(button->OwnsGlyphStrip());
  button->SetBitmapIndex(5);
  button->PrepareGlyphs();
  EXPECT_EQ(button->GlyphStrip(), strip);
  EXPECT_EQ(strip->Width(), 261);
}

TEST_F(ButtonGlyphStrip, SourceRectangleInTheBitmapsGlyphWidth) {
  Show(1, bsExplorer, 2);
  EXPECT_EQ(button->GetSrcRect(0), (gdi::TRect{0, 0, 24, 24}));
  EXPECT_EQ(button->GetSrcRect(1), (gdi::TRect{24, 0, 48, 24}));
  EXPECT_EQ(button->GetSrcRect(3), (gdi::TRect{72, 0, 96, 24}));  // beyond the bitmap, not clamped
  EXPECT_EQ(button->GetSrcRect(7), (gdi::TRect{168, 0, 192, 24}));
  EXPECT_EQ(button->GetSrcRect(-1), (gdi::TRect{-24, 0, 0, 24}));
  button->SetNumGlyphs(3);  // 48 / 3
  EXPECT_EQ(button->GetSrcRect(2), (gdi::TRect{32, 0, 48, 24}));
  button->SetBitmapIndex(0);
  button->SetNumGlyphs(2);  // 87 / 2, truncated
  EXPECT_EQ(button->GetSrcRect(1), (gdi::TRect{43, 0, 86, 65}));
}

// ---- the caption ----------------------------------------------------------------------

// Exposes the caption drawing.
class CaptionButton : public TMMBitmapButton {
 public:
  using TMMBitmapButton::DrawTheText;
  using TMMBitmapButton::TMMBitmapButton;
};

constexpr gdi::COLORREF kGround = 0x604020;

class ButtonCaption : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(200, 120);
    button = new CaptionButton(form);
    button->SetParent(form);
    button->SetBounds(0, 0, 87, 65);
    button->SetCaption("Play");
    button->FSet3DFont(false);
    button->Font()->SetColor(clBlack);
  }

  // The caption drawn by the button over a plain ground.
  std::unique_ptr<TBitmap> Drawn(const gdi::TRect& at, gdi::COLORREF ground = kGround) {
    auto surface = Solid(button->Width(), button->Height(), ground);
    button->DrawTheText(surface->Canvas(), at);
    surface->FreeCanvasHandle();
    return surface;
  }
  // The caption's measured size in the button's font.
  gdi::SIZE Measured(gdi::UINT flags = 0x8420) {
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas()->SetFont(button->Font());
    gdi::TRect r{0, 0, button->Width(), button->Height()};
    probe.Canvas()->DrawText(button->Caption(), r, flags);
    return {r.Width(), r.Height()};
  }
  // The same caption drawn plainly in `color` in `rect` of `canvas`.
  void Reference(TCanvas* canvas, const gdi::TRect& rect, gdi::COLORREF color, gdi::UINT flags = 0x8121) {
    canvas->SetFont(button->Font());
    canvas->TextExtent("");
    const gdi::HDC dc = canvas->Handle();
    gdi::SetBkMode(dc, gdi::TRANSPARENT);
    gdi::SetTextColor(dc, color);
    gdi::TRect r = rect;
    const std::string& text = button->Caption();
    gdi::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, flags);
  }
  std::unique_ptr<TBitmap> ReferenceAt(const gdi::TRect& rect, gdi::COLORREF color) {
    auto surface = Solid(button->Width(), button->Height(), kGround);
    Reference(surface->Canvas(), rect, color);
    surface->FreeCanvasHandle();
    return surface;
  }
  static int Differences(TBitmap* a, TBitmap* b) {
    int n = 0;
    for (int y = 0; y < a->Height(); ++y)
      for (int x = 0; x < a->Width(); ++x) n += At(a, x, y) != At(b, x, y);
    return n;
  }
  // The box around every pixel that is not the ground.
  static gdi::TRect Ink(TBitmap* bitmap) {
    gdi::TRect box{1 << 20, 1 << 20, -1, -1};
    for (int y = 0; y < bitmap->Height(); ++y)
      for (int x = 0; x < bitmap->Width(); ++x)
        if (At(bitmap, x, y) != kGround) {
          box.Left = std::min<int>(box.Left, x);
          box.Top = std::min<int>(box.Top, y);
          box.Right = std::max<int>(box.Right, x + 1);
          box.Bottom = std::max<int>(box.Bottom, y + 1);
        }
    return box;
  }
  static bool Inside(const gdi::TRect& inner, const gdi::TRect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
  }

  const gdi::TRect glyph{20, 10, 67, 55};
  TForm* form = nullptr;
  CaptionButton* button = nullptr;
};

TEST_F(ButtonCaption, CentredOnTheWholeButtonAndMovedWhenPressed) {
  button->SetTextAlign(ttaCenter);
  const gdi::SIZE size = Measured();
  ASSERT_GT(size.cx, 0);
  ASSERT_GT(size.cy, 0);
  const int left = 87 / 2 - size.cx / 2, top = 65 / 2 - size.cy / 2;
  const gdi::TRect place{left, top, left + size.cx, top + size.cy};
  auto drawn = Drawn(glyph);
  EXPECT_TRUE(Inside(Ink(drawn.get()), place));
  auto reference = ReferenceAt(place, 0);
  EXPECT_EQ(Differences(drawn.get(), reference.get()), 0);

  button->SetShowPressed(true);
  button->SetDownIndentHoriz(1);
  button->SetDownIndentVert(1);
  button->SetDown(true);
  ASSERT_EQ(button->ButtonState(), bsDown);
  auto pressed = Drawn(glyph);
  const gdi::TRect moved{left + 1, top + 1, left + size.cx + 1, top + size.cy + 1};
  EXPECT_EQ(Differences(pressed.get(), ReferenceAt(moved, 0).get()), 0);

  // Not moved without ShowPressed.
  button->SetShowPressed(false);
  EXPECT_EQ(Differences(Drawn(glyph).get(), reference.get()), 0);
}

TEST_F(ButtonCaption, AboveAndBelowKeepTheSpacingFromTheGlyph) {
  button->SetSpacing(2);
  const gdi::SIZE size = Measured();
  const gdi::TRect glyphAt{30, 5, 57, 50};
  const int left = 87 / 2 - size.cx / 2;

  button->SetTextAlign(ttaBottom);
  auto below = Drawn(glyphAt);
  const gdi::TRect under{left, 52, left + size.cx, 52 + size.cy};
  EXPECT_GE(Ink(below.get()).Top, 52);
  EXPECT_EQ(Differences(below.get(), ReferenceAt(under, 0).get()), 0);

  button->SetTextAlign(ttaTop);
  auto above = Drawn({30, 40, 57, 60});
  const gdi::TRect over{left, 40 - size.cy - 2, left + size.cx, 40 - 2};
  EXPECT_LE(Ink(above.get()).Bottom, 38);
  EXPECT_EQ(Differences(above.get(), ReferenceAt(over, 0).get()), 0);
}

TEST_F(ButtonCaption, SidesAndCornersFollowTheOffsetTable) {
  button->SetSpacing(3);
  const gdi::SIZE s = Measured();
  const int tw = s.cx, th = s.cy, W = 87, H = 65;
  const gdi::TRect g{20, 20, 60, 40};
  struct Case {
    TMMTextAlign align;
    int dx, dy;
  };
  const Case cases[] = {
      {ttaTopLeft, 3, g.Top - th - 3},        {ttaTopRight, W - tw - 3, g.Top - th - 3},
      {ttaRight, W - tw - 3, H / 2 - th / 2}, {ttaBottomRight, W - tw - 3, g.Bottom + 3},
      {ttaBottomLeft, 3, g.Bottom + 3},       {ttaLeft, 3, H / 2 - th / 2},
  };
  for (const Case& c : cases) {
    button->SetTextAlign(c.align);
    const gdi::TRect place{c.dx, c.dy, c.dx + tw, c.dy + th};
    EXPECT_EQ(Differences(Drawn(g).get(), ReferenceAt(place, 0).get()), 0) << c.align;
  }
}

TEST_F(ButtonCaption, MarginsAreIgnoredButForCentre) {
  button->SetTextAlign(ttaLeft);
  auto plain = Drawn(glyph);
  button->SetMarginLeft(9);
  button->SetMarginTop(7);
  button->SetMarginRight(4);
  button->SetMarginBottom(3);
  EXPECT_EQ(Differences(Drawn(glyph).get(), plain.get()), 0);

  // Centred in the box (9, 7, 83, 62).
  button->SetTextAlign(ttaCenter);
  const gdi::SIZE s = Measured();
  const int aw = 87 - 9 - 4, ah = 65 - 7 - 3;
  const int left = 9 + aw / 2 - s.cx / 2, top = 7 + ah / 2 - s.cy / 2;
  EXPECT_EQ(Differences(Drawn(glyph).get(), ReferenceAt({left, top, left + s.cx, top + s.cy}, 0).get()), 0);
}

TEST_F(ButtonCaption, AMarginBoxCutsTheCaption) {
  button->SetCaption("A caption far too long for this button");
  button->SetTextAlign(ttaCenter);
  button->SetMarginLeft(10);
  button->SetMarginRight(12);
  button->SetMarginTop(5);
  button->SetMarginBottom(6);
  auto drawn = Drawn(glyph);
  const gdi::TRect ink = Ink(drawn.get());
  ASSERT_LT(ink.Left, ink.Right);
  EXPECT_TRUE(Inside(ink, {10, 5, 75, 59}));
}

TEST_F(ButtonCaption, Font3DShadowIsSoftenedOneDownRightOfTheCaption) {
  const gdi::COLORREF fontColour = gdi::RGB(150, 220, 30);
  const gdi::COLORREF shadowColour = gdi::RGB(40, 80, 0);
  button->Font()->SetColor(static_cast<TColor>(fontColour));
  button->Font()->SetSize(28);
  button->Font()->SetStyle(1u << fsBold);
  button->SetCaption("IH");
  button->SetTextAlign(ttaCenter);
  button->FSet3DFont(true);
  const gdi::SIZE s = Measured();
  const int left = 87 / 2 - s.cx / 2, top = 65 / 2 - s.cy / 2;
  const gdi::TRect plain{left, top, left + s.cx, top + s.cy};
  // The blur carries into the rest of its rectangle; on white it settles
  // on the shadow's own colour inside thick strokes.
  auto drawn = Drawn(glyph, 0xFFFFFF);

  // The shadow's colour where the caption does not cover it.
  int shadowPixels = 0, wrongShadow = 0;
  for (int y = 0; y < 65; ++y)
    for (int x = 0; x < 87; ++x) {
      shadowPixels += At(drawn.get(), x, y) == shadowColour;
      wrongShadow += At(drawn.get(), x, y) == gdi::RGB(60, 88, 12);
    }
  EXPECT_GT(shadowPixels, 0);
  EXPECT_EQ(wrongShadow, 0);

  // Step by step: shadow at +1, softened over its rectangle, caption at -1.
  auto expected = Solid(87, 65, 0xFFFFFF);
  gdi::TRect shadow = plain;
  gdi::OffsetRect(&shadow, 1, 1);
  Reference(expected->Canvas(), shadow, shadowColour);
  SoftenRect(expected->Canvas(), shadow);
  gdi::TRect caption = plain;
  gdi::OffsetRect(&caption, -1, -1);
  Reference(expected->Canvas(), caption, fontColour);
  expected->FreeCanvasHandle();
  EXPECT_EQ(Differences(drawn.get(), expected.get()), 0);
}

TEST_F(ButtonCaption, Font3DInAMarginBoxSoftensTheBoxAndItsRim) {
  const gdi::COLORREF fontColour = gdi::RGB(150, 220, 30);
  button->Font()->SetColor(static_cast<TColor>(fontColour));
  button->SetTextAlign(ttaCenter);
  button->FSet3DFont(true);
  button->SetMarginLeft(6);
  button->SetMarginTop(5);
  button->SetMarginRight(7);
  button->SetMarginBottom(4);
  const gdi::SIZE s = Measured();
  const gdi::TRect box{6, 5, 80, 61};
  const int left = box.Left + box.Width() / 2 - s.cx / 2, top = box.Top + box.Height() / 2 - s.cy / 2;

  // Both captions cut at the box; the blur reaches one pixel beyond it.
  auto expected = Solid(87, 65, 0xFFFFFF);
  const auto clipped = [&](const gdi::TRect& rect, gdi::COLORREF color) {
    const gdi::HDC dc = expected->Canvas()->Handle();
    const int saved = gdi::SaveDC(dc);
    gdi::IntersectClipRect(dc, box.Left, box.Top, box.Right, box.Bottom);
    Reference(expected->Canvas(), rect, color);
    gdi::RestoreDC(dc, saved);
  };
  clipped({left + 1, top + 1, left + s.cx + 1, top + s.cy + 1}, gdi::RGB(40, 80, 0));
  SoftenRect(expected->Canvas(), {box.Left - 1, box.Top - 1, box.Right + 1, box.Bottom + 1});
  clipped({left - 1, top - 1, left + s.cx - 1, top + s.cy - 1}, fontColour);
  expected->FreeCanvasHandle();
  EXPECT_EQ(Differences(Drawn(glyph, 0xFFFFFF).get(), expected.get()), 0);
}

TEST_F(ButtonCaption, Font3DResolvesASystemFontColour) {
  button->Font()->SetColor(clBtnFace);  // D4 D0 C8 -> 80 80 80
  button->FSet3DFont(true);
  button->SetTextAlign(ttaCenter);
  const gdi::SIZE s = Measured();
  const int left = 87 / 2 - s.cx / 2, top = 65 / 2 - s.cy / 2;
  auto expected = Solid(87, 65, kGround);
  const gdi::TRect shadow{left + 1, top + 1, left + s.cx + 1, top + s.cy + 1};
  Reference(expected->Canvas(), shadow, gdi::RGB(80, 80, 80));
  SoftenRect(expected->Canvas(), shadow);
  Reference(expected->Canvas(), {left - 1, top - 1, left + s.cx - 1, top + s.cy - 1}, kFace);
  expected->FreeCanvasHandle();
  EXPECT_EQ(Differences(Drawn(glyph).get(), expected.get()), 0);
}

TEST_F(ButtonCaption, DisabledCaptionIsEngravedAndIgnoresFont3D) {
  button->SetTextAlign(ttaCenter);
  button->Font()->SetColor(static_cast<TColor>(gdi::RGB(150, 220, 30)));
  const gdi::SIZE s = Measured();
  const int left = 87 / 2 - s.cx / 2, top = 65 / 2 - s.cy / 2;
  const gdi::TRect place{left, top, left + s.cx, top + s.cy};
  auto expected = Solid(87, 65, kGround);
  Reference(expected->Canvas(), {left + 1, top + 1, left + s.cx + 1, top + s.cy + 1}, kHighlight);
  Reference(expected->Canvas(), place, kShadow);
  expected->FreeCanvasHandle();

  button->SetEnabled(false);
  auto drawn = Drawn(glyph);
  EXPECT_EQ(Differences(drawn.get(), expected.get()), 0);
  // Every shadow pixel has shadow or highlight one down-right, and every
  // highlight pixel shadow one up-left.
  int shadows = 0, highlights = 0;
  for (int y = 0; y + 1 < 65; ++y)
    for (int x = 0; x + 1 < 87; ++x) {
      const gdi::COLORREF c = At(drawn.get(), x, y), next = At(drawn.get(), x + 1, y + 1);
      if (c == kShadow) {
        ++shadows;
        EXPECT_TRUE(next == kShadow || next == kHighlight) << x << "," << y;
      }
      if (next == kHighlight) {
        ++highlights;
        EXPECT_EQ(c, kShadow) << x << "," << y;
      }
    }
  EXPECT_GT(shadows, 0);
  EXPECT_GT(highlights, 0);

  button->FSet3DFont(true);
  EXPECT_EQ(Differences(Drawn(glyph).get(), expected.get()), 0);
}

TEST_F(ButtonCaption, WordWrapMeasuresAndDrawsWithWordBreaks) {
  button->SetCaption("Play the next track");
  button->SetWordWrap(true);
  button->SetTextAlign(ttaCenter);
  const gdi::SIZE s = Measured(0x8410);
  ASSERT_GT(s.cy, Measured(0x8420).cy);  // wraps onto more lines
  const int left = 87 / 2 - s.cx / 2, top = 65 / 2 - s.cy / 2;
  auto expected = Solid(87, 65, kGround);
  Reference(expected->Canvas(), {left, top, left + s.cx, top + s.cy}, 0, 0x8111);
  expected->FreeCanvasHandle();
  EXPECT_EQ(Differences(Drawn(glyph).get(), expected.get()), 0);
}

}  // namespace
}  // namespace controls
