// The bevel: its rings pixel by pixel, and the reports of its changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/Mmobj.h"
#include "toolkit/Bitmap.h"

namespace controls {
namespace {

using namespace toolkit;

constexpr gdi::COLORREF kPaper = 0x00030201;  // never a colour of the scheme
constexpr gdi::COLORREF kWhite = 0xFFFFFF, kGrey = 0x808080, kBlack = 0;

// A 32-bit bitmap filled with kPaper for the bevel to paint on.
class Sheet {
 public:
  Sheet(int width, int height) {
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(width, height);
    bitmap_.Canvas()->Brush()->SetColor(static_cast<TColor>(kPaper));
    bitmap_.Canvas()->FillRect({0, 0, width, height});
  }
  TCanvas* Canvas() { return bitmap_.Canvas(); }
  gdi::COLORREF At(int x, int y) { return static_cast<gdi::COLORREF>(bitmap_.Canvas()->Pixel(x, y)); }
  // The colours of row `y` (or, with `column`, of column `y`).
  std::vector<gdi::COLORREF> Line(int index, bool column = false) {
    std::vector<gdi::COLORREF> out;
    const int n = column ? bitmap_.Height() : bitmap_.Width();
    for (int i = 0; i < n; ++i) out.push_back(column ? At(index, i) : At(i, index));
    return out;
  }
  bool Untouched() {
    for (int y = 0; y < bitmap_.Height(); ++y)
      for (int x = 0; x < bitmap_.Width(); ++x)
        if (At(x, y) != kPaper) return false;
    return true;
  }

 private:
  TBitmap bitmap_;
};

void ExpectRect(const gdi::TRect& r, int left, int top, int right, int bottom) {
  EXPECT_EQ(r.Left, left);
  EXPECT_EQ(r.Top, top);
  EXPECT_EQ(r.Right, right);
  EXPECT_EQ(r.Bottom, bottom);
}

TEST(BevelPaint, NewBevelIsOneLoweredRing) {
  TMMBevel bevel;
  EXPECT_EQ(bevel.GetBevelExtend(), 1);
  EXPECT_EQ(bevel.BorderColor(), clBtnFace);
  EXPECT_EQ(bevel.BorderSpaceColor(), clBlack);
  EXPECT_EQ(bevel.InnerLightColor(), clBtnHighlight);
  EXPECT_EQ(bevel.OuterShadowColor(), clBtnShadow);

  Sheet sheet(6, 4);
  ExpectRect(bevel.PaintBevel(sheet.Canvas(), {0, 0, 6, 4}, true), 1, 1, 5, 3);
  // Lowered: shadow along the top and left, light along the bottom and right.
  EXPECT_EQ(sheet.Line(0), (std::vector<gdi::COLORREF>{kGrey, kGrey, kGrey, kGrey, kGrey, kWhite}));
  EXPECT_EQ(sheet.Line(3), (std::vector<gdi::COLORREF>{kWhite, kWhite, kWhite, kWhite, kWhite, kWhite}));
  EXPECT_EQ(sheet.At(0, 2), kGrey);
  EXPECT_EQ(sheet.At(5, 2), kWhite);
  EXPECT_EQ(sheet.At(2, 1), kPaper);
}

TEST(BevelPaint, SingleBorderIsOneWindowFrameLine) {
  TMMBevel bevel;
  bevel.SetBevelOuter(bvNone);
  bevel.SetBorderStyle(bsSingle);
  EXPECT_EQ(bevel.GetBevelExtend(), 1);
  Sheet sheet(5, 5);
  ExpectRect(bevel.PaintBevel(sheet.Canvas(), {0, 0, 5, 5}, true), 1, 1, 4, 4);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(sheet.At(i, 0), kBlack);
    EXPECT_EQ(sheet.At(i, 4), kBlack);
    EXPECT_EQ(sheet.At(0, i), kBlack);
    EXPECT_EQ(sheet.At(4, i), kBlack);
  }
  EXPECT_EQ(sheet.At(2, 2), kPaper);
}

TEST(BevelPaint, SpaceCutIsCountedButNeitherDrawnNorTaken) {
  TMMBevel bevel;
  bevel.SetBevelOuter(bvSpace);
  bevel.SetBevelOuterWidth(3);
  bevel.SetBevelInner(bvSpace);
  bevel.SetBevelInnerWidth(2);
  EXPECT_EQ(bevel.GetBevelExtend(), 5);
  Sheet sheet(12, 12);
  ExpectRect(bevel.PaintBevel(sheet.Canvas(), {0, 0, 12, 12}, true), 0, 0, 12, 12);
  EXPECT_TRUE(sheet.Untouched());
}

TEST(BevelPaint, BorderRingsArePaintedOnlyWhenAsked) {
  TMMBevel bevel;
  bevel.SetBevelOuter(bvNone);
  bevel.SetBorderWidth(3);
  bevel.SetBorderColor(static_cast<TColor>(0x00405060));

  Sheet painted(12, 10);
  ExpectRect(bevel.PaintBevel(painted.Canvas(), {0, 0, 12, 10}, true), 3, 3, 9, 7);
  for (int ring = 0; ring < 3; ++ring) {
    EXPECT_EQ(painted.At(ring, 5), 0x00405060u) << ring;
    EXPECT_EQ(painted.At(11 - ring, 5), 0x00405060u) << ring;
    EXPECT_EQ(painted.At(6, 9 - ring), 0x00405060u) << ring;
  }
  EXPECT_EQ(painted.At(3, 3), kPaper);

  Sheet kept(12, 10);
  ExpectRect(bevel.PaintBevel(kept.Canvas(), {0, 0, 12, 10}, false), 3, 3, 9, 7);
  EXPECT_TRUE(kept.Untouched());
}

// Top and left in the light colour; bottom and right, with the top-right
// and bottom-left corners, in the shadow colour; two rings.
TEST(BevelPaint, RaisedTwoWideRingCorners) {
  TMMBevel bevel;
  bevel.SetBevelOuter(bvRaised);
  bevel.SetBevelOuterWidth(2);
  bevel.SetOuterLightColor(static_cast<TColor>(0x0000FF00));
  bevel.SetOuterShadowColor(static_cast<TColor>(0x000000FF));
  Sheet sheet(10, 10);
  ExpectRect(bevel.PaintBevel(sheet.Canvas(), {0, 0, 10, 10}, true), 2, 2, 8, 8);

  constexpr gdi::COLORREF light = 0x00FF00, shadow = 0x0000FF;
  for (int ring = 0; ring < 2; ++ring) {
    const int lo = ring, hi = 9 - ring;
    for (int i = lo; i < hi; ++i) {
      EXPECT_EQ(sheet.At(i, lo), light) << "top " << i << " ring " << ring;
      EXPECT_EQ(sheet.At(lo, i), light) << "left " << i << " ring " << ring;
    }
    for (int i = lo; i <= hi; ++i) {
      EXPECT_EQ(sheet.At(hi, i), shadow) << "right " << i;
      EXPECT_EQ(sheet.At(i, hi), shadow) << "bottom " << i;
    }
    EXPECT_EQ(sheet.At(hi, lo), shadow) << "top-right of ring " << ring;
    EXPECT_EQ(sheet.At(lo, hi), shadow) << "bottom-left of ring " << ring;
    EXPECT_EQ(sheet.At(lo, lo), light) << "top-left of ring " << ring;
  }
  EXPECT_EQ(sheet.At(2, 2), kPaper);
  EXPECT_EQ(sheet.At(7, 7), kPaper);
}

// Every ring at once, read along the left column from the outside in.
TEST(BevelPaint, RingsComeInTheirOrder) {
  TMMBevel bevel;
  bevel.SetBorderStyle(bsSingle);
  bevel.SetBevelOuter(bvLowered);
  bevel.SetBorderWidth(1);
  bevel.SetBevelInner(bvRaised);
  bevel.SetBorderSpace(1);
  bevel.SetOuterShadowColor(static_cast<TColor>(0x000001));
  bevel.SetBorderColor(static_cast<TColor>(0x000002));
  bevel.SetInnerLightColor(static_cast<TColor>(0x000003));
  bevel.SetBorderSpaceColor(static_cast<TColor>(0x000004));
  EXPECT_EQ(bevel.GetBevelExtend(), 5);

  Sheet sheet(14, 14);
  ExpectRect(bevel.PaintBevel(sheet.Canvas(), {0, 0, 14, 14}, true), 5, 5, 9, 9);
  const std::vector<gdi::COLORREF> across{kBlack, 1,      2, 3,     4, kPaper, kPaper,
                                          kPaper, kPaper, 4, kGrey, 2, kWhite, kBlack};
  EXPECT_EQ(sheet.Line(7, true), across) << "top rings, the face, bottom rings";
  EXPECT_EQ(sheet.Line(7), across) << "left rings, the face, right rings";
}

TEST(BevelPaint, WidthZeroDrawsNothingForItsRing) {
  TMMBevel bevel;
  bevel.SetBevelOuterWidth(0);
  EXPECT_EQ(bevel.GetBevelExtend(), 0);
  Sheet sheet(4, 4);
  ExpectRect(bevel.PaintBevel(sheet.Canvas(), {0, 0, 4, 4}, true), 0, 0, 4, 4);
  EXPECT_TRUE(sheet.Untouched());
}

// ---- reports --------------------------------------------------------------------------

class BevelReports : public ::testing::Test {
 protected:
  void SetUp() override {
    bevel.OnChanging = TNotifyEvent([this](TObject* sender) {
      EXPECT_EQ(sender, &bevel);
      log += "<";
    });
    bevel.OnChange = TNotifyEvent([this](TObject* sender) {
      EXPECT_EQ(sender, &bevel);
      log += ">";
    });
  }
  TMMBevel bevel;
  std::string log;
};

TEST_F(BevelReports, EachRealChangeReportsOnceAndAnEqualValueNothing) {
  bevel.SetBevelOuter(bvLowered);
  bevel.SetBevelOuterWidth(1);
  bevel.SetBorderColor(clBtnFace);
  EXPECT_EQ(log, "");
  bevel.SetBevelInner(bvRaised);
  bevel.SetBevelInnerWidth(4);
  bevel.SetBevelOuter(bvRaised);
  bevel.SetBevelOuterWidth(2);
  bevel.SetBorderStyle(bsSingle);
  bevel.SetBorderWidth(2);
  bevel.SetBorderSpace(2);
  for (int i = 0; i < 6; ++i) bevel.SetColors(i, static_cast<TColor>(0x10 + i));
  EXPECT_EQ(log, std::string(13, '>'));
  EXPECT_EQ(bevel.OuterLightColor(), static_cast<TColor>(0x14));
}

TEST_F(BevelReports, ColourIndexOutsideTheSixStoresNothingButReports) {
  bevel.SetColors(6, clRed);
  bevel.SetColors(-1, clRed);
  EXPECT_EQ(log, ">>");
  for (int i = 0; i < 6; ++i) bevel.SetColors(i, clRed);
  EXPECT_EQ(log, ">>>>>>>>");
}

TEST_F(BevelReports, BracketsReportOnceWhenTheOutermostCloses) {
  bevel.BeginUpdate();
  EXPECT_EQ(log, "<");
  bevel.SetBorderWidth(1);
  bevel.BeginUpdate();
  bevel.SetBorderSpace(1);
  bevel.EndUpdate();
  bevel.SetColors(2, clRed);
  EXPECT_EQ(log, "<");
  bevel.EndUpdate();
  EXPECT_EQ(log, "<>");

  bevel.BeginUpdate();
  bevel.EndUpdate();
  EXPECT_EQ(log, "<><>") << "an empty bracket still reports";
}

TEST_F(BevelReports, AssignCopiesAllThirteenInOneReportPair) {
  TMMBevel source;
  source.SetBevelInner(bvLowered);
  source.SetBevelOuter(bvRaised);
  source.SetBevelInnerWidth(3);
  source.SetBevelOuterWidth(4);
  source.SetBorderStyle(bsSingle);
  source.SetBorderWidth(5);
  source.SetBorderSpace(6);
  for (int i = 0; i < 6; ++i) source.SetColors(i, static_cast<TColor>(0x100 + i));

  bevel.Assign(&source);
  EXPECT_EQ(log, "<>");
  EXPECT_EQ(bevel.BevelInner(), bvLowered);
  EXPECT_EQ(bevel.BevelOuter(), bvRaised);
  EXPECT_EQ(bevel.BevelInnerWidth(), 3);
  EXPECT_EQ(bevel.BevelOuterWidth(), 4);
  EXPECT_EQ(bevel.BorderStyle(), bsSingle);
  EXPECT_EQ(bevel.BorderWidth(), 5);
  EXPECT_EQ(bevel.BorderSpace(), 6);
  EXPECT_EQ(bevel.BorderColor(), 0x100);
  EXPECT_EQ(bevel.BorderSpaceColor(), 0x101);
  EXPECT_EQ(bevel.InnerLightColor(), 0x102);
  EXPECT_EQ(bevel.InnerShadowColor(), 0x103);
  EXPECT_EQ(bevel.OuterLightColor(), 0x104);
  EXPECT_EQ(bevel.OuterShadowColor(), 0x105);
  EXPECT_EQ(bevel.UpdateCount(), 0);

  log.clear();
  bevel.Assign(&bevel);
  EXPECT_EQ(log, "") << "copying a bevel onto itself changes nothing";
  EXPECT_EQ(bevel.BorderWidth(), 5);
}

TEST_F(BevelReports, AssignFromAnotherClassFailsWithoutReports) {
  TFont font;
  EXPECT_THROW(bevel.Assign(&font), EConvertError);
  EXPECT_EQ(log, "");
  EXPECT_EQ(bevel.UpdateCount(), 0);
}

// A bevel whose change hook fails in the middle of a copy.
class FailingBevel : public TMMBevel {
 public:
  int failAfter = 2;

 protected:
  void Changed() override {
    if (UpdateCount() > 0 && --failAfter == 0) throw Exception("no more");
    TMMBevel::Changed();
  }
};

TEST(BevelAssign, BracketClosesWhenAChangeFails) {
  FailingBevel bevel;
  std::string log;
  bevel.OnChanging = TNotifyEvent([&](TObject*) { log += "<"; });
  bevel.OnChange = TNotifyEvent([&](TObject*) { log += ">"; });
  TMMBevel source;
  source.SetBevelInner(bvRaised);
  source.SetBevelOuter(bvRaised);
  source.SetBorderWidth(2);
  EXPECT_THROW(bevel.Assign(&source), Exception);
  EXPECT_EQ(bevel.UpdateCount(), 0);
  EXPECT_EQ(log, "<>");
  EXPECT_EQ(bevel.BorderWidth(), 0) << "the copy stopped at the failing step";
}

TEST(MMObject, UnmatchedEndUpdateOffsetsLaterBrackets) {
  TMMBevel bevel;
  int changes = 0;
  bevel.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  bevel.EndUpdate();
  EXPECT_EQ(bevel.UpdateCount(), -1);
  bevel.SetBorderWidth(3);
  EXPECT_EQ(changes, 0) << "a count below 0 mutes reports too";
  bevel.BeginUpdate();
  EXPECT_EQ(bevel.UpdateCount(), 0);
  EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace controls
