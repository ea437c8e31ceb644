// The control bases on a headless window: bevel geometry, the transparent
// flag, what each base paints, the panel's caption and child alignment.
#include <gtest/gtest.h>

#include <string>

#include "controls/Mmobj.h"
#include "tests/toolkit/ControlTestSupport.h"

namespace controls {
namespace {

using namespace toolkit;
using toolkit::controltest::HeadlessTest;

constexpr gdi::COLORREF kFace = 0xC8D0D4;  // clBtnFace, the form's colour
constexpr gdi::COLORREF kGrey = 0x808080, kWhite = 0xFFFFFF, kRed = 0x0000FF;

// Counts its paints.
class CountingGraphic : public TMMGraphicControl {
 public:
  using TMMGraphicControl::TMMGraphicControl;
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    TMMGraphicControl::Paint();
  }
};

class ControlBases : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(200, 100);
  }
  template <typename C>
  C* Make(int left, int top, int width, int height) {
    auto* control = new C(form);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    form->Update();
    return control;
  }
  // Rows of the form's surface between `top` and `bottom` that hold a pixel
  // of `ink` in the columns from `left` to `right`.
  std::pair<int, int> InkRows(int left, int top, int right, int bottom, gdi::COLORREF ink) {
    int first = -1, last = -1;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (form->SurfacePixel(x, y) == ink) {
          if (first < 0) first = y;
          last = y;
        }
    return {first, last};
  }
  std::pair<int, int> InkColumns(int left, int top, int right, int bottom, gdi::COLORREF ink) {
    int first = -1, last = -1;
    for (int x = left; x < right; ++x)
      for (int y = top; y < bottom; ++y)
        if (form->SurfacePixel(x, y) == ink) {
          if (first < 0) first = x;
          last = x;
          break;
        }
    return {first, last};
  }
  TForm* form = nullptr;
};

TEST_F(ControlBases, GraphicControlTakesItsBevelFromItsRectangle) {
  auto* control = Make<TMMGraphicControl>(10, 10, 40, 20);
  EXPECT_EQ(control->BevelExtend(), 1);
  const gdi::TRect r = control->BeveledRect();
  EXPECT_EQ(r.Left, 1);
  EXPECT_EQ(r.Top, 1);
  EXPECT_EQ(r.Right, 39);
  EXPECT_EQ(r.Bottom, 19);
  EXPECT_TRUE(control->ControlStyle() & csOpaque);
  EXPECT_FALSE(control->Transparent());

  control->Bevel()->SetBorderWidth(2);
  EXPECT_EQ(control->BeveledRect().Left, 3);
}

TEST_F(ControlBases, OpaqueGraphicControlPaintsBevelAndFace) {
  auto* control = Make<TMMGraphicControl>(10, 10, 40, 20);
  control->SetColor(clRed);
  form->Update();
  EXPECT_EQ(form->SurfacePixel(10, 10), kGrey);
  EXPECT_EQ(form->SurfacePixel(49, 29), kWhite);
  EXPECT_EQ(form->SurfacePixel(11, 11), kRed);
  EXPECT_EQ(form->SurfacePixel(48, 28), kRed);
  EXPECT_EQ(form->SurfacePixel(50, 30), kFace);
}

TEST_F(ControlBases, TransparentFlagRepaintsOnlyOnAChange) {
  auto* control = Make<CountingGraphic>(10, 10, 40, 20);
  control->SetColor(clRed);
  form->Update();
  const int before = control->paints;

  control->SetTransparent(false);
  EXPECT_EQ(control->paints, before) << "same value: no repaint";

  control->SetTransparent(true);
  EXPECT_EQ(control->paints, before + 1) << "painted before the setter returned";
  EXPECT_FALSE(control->ControlStyle() & csOpaque);
  EXPECT_EQ(form->SurfacePixel(10, 10), kGrey) << "the bevel is still painted";
  EXPECT_EQ(form->SurfacePixel(30, 20), kFace) << "the face lets the form show";

  control->SetTransparent(true);
  EXPECT_EQ(control->paints, before + 1);
  control->SetTransparent(false);
  EXPECT_TRUE(control->ControlStyle() & csOpaque);
  EXPECT_EQ(control->paints, before + 2);
  EXPECT_EQ(form->SurfacePixel(30, 20), kRed);
}

TEST_F(ControlBases, BevelChangesRepaintLaterAndSetBevelCopies) {
  auto* control = Make<CountingGraphic>(10, 10, 40, 20);
  const int before = control->paints;
  TMMBevel wanted;
  wanted.SetBevelOuter(bvRaised);
  control->SetBevel(&wanted);
  EXPECT_NE(control->Bevel(), &wanted);
  EXPECT_EQ(control->paints, before) << "a change only marks the control";
  form->Update();
  EXPECT_EQ(control->paints, before + 1);
  EXPECT_EQ(form->SurfacePixel(10, 10), kWhite) << "raised now";

  wanted.SetBevelOuter(bvNone);
  EXPECT_EQ(control->Bevel()->BevelOuter(), bvRaised) << "the control kept a copy";
}

TEST_F(ControlBases, PointsAndRectanglesBetweenControls) {
  auto* a = Make<TMMGraphicControl>(10, 20, 40, 20);
  auto* b = Make<TMMGraphicControl>(70, 5, 40, 20);
  const gdi::TPoint p = a->ClientToClient(b, {3, 4});
  EXPECT_EQ(p.X, 70 + 3 - 10);
  EXPECT_EQ(p.Y, 5 + 4 - 20);
  const gdi::TRect ra = a->ScreenRect({0, 0, 40, 20});
  const gdi::TRect rb = b->ScreenRect({0, 0, 40, 20});
  EXPECT_EQ(rb.Left - ra.Left, 60);
  EXPECT_EQ(rb.Top - ra.Top, -15);
  EXPECT_EQ(ra.Right - ra.Left, 40);
  EXPECT_EQ(ra.Bottom - ra.Top, 20);

  auto* windowed = Make<TMMWinControl>(100, 50, 30, 30);
  const gdi::TPoint q = windowed->ClientToClient(a, {0, 0});
  EXPECT_EQ(q.X, -90);
  EXPECT_EQ(q.Y, -30);
}

TEST_F(ControlBases, CustomControlAlwaysFillsItsFace) {
  auto* control = Make<TMMCustomControl>(20, 20, 30, 30);
  control->SetColor(clRed);
  control->Repaint();
  EXPECT_EQ(form->SurfacePixel(20, 20), kGrey);
  EXPECT_EQ(form->SurfacePixel(35, 35), kRed);
  EXPECT_TRUE(control->ControlStyle() & csOpaque);
}

TEST_F(ControlBases, PanelUsesOnlyItsOwnBevel) {
  auto* panel = Make<TMMCustomPanel>(0, 0, 100, 41);
  EXPECT_EQ(panel->BevelOuter(), bvNone);
  EXPECT_EQ(panel->BevelInner(), bvNone);
  EXPECT_EQ(panel->BorderWidth(), 0);
  panel->SetColor(clRed);
  panel->Repaint();
  EXPECT_EQ(form->SurfacePixel(0, 0), kGrey) << "the bevel is lowered, not the panel's raised frame";
  EXPECT_EQ(form->SurfacePixel(1, 1), kRed);
}

TEST_F(ControlBases, PanelAlignsChildrenInsideTheBevel) {
  auto* panel = Make<TMMCustomPanel>(0, 0, 100, 50);
  auto* child = new TMMGraphicControl(form);
  child->SetParent(panel);
  child->SetAlign(alClient);
  EXPECT_EQ(child->Left(), 1);
  EXPECT_EQ(child->Width(), 98);

  panel->Bevel()->SetBorderWidth(4);
  EXPECT_EQ(child->Left(), 5) << "a bevel change realigns at once";
  EXPECT_EQ(child->Top(), 5);
  EXPECT_EQ(child->Width(), 90);
  EXPECT_EQ(child->Height(), 40);
}

TEST_F(ControlBases, PanelFillBevelDecidesTheBorderRings) {
  auto* panel = Make<TMMCustomPanel>(0, 0, 60, 30);
  panel->Bevel()->SetBevelOuter(bvNone);
  panel->Bevel()->SetBorderWidth(2);
  panel->Bevel()->SetBorderColor(static_cast<TColor>(0x00112233));
  panel->SetColor(clRed);
  panel->Repaint();
  EXPECT_EQ(form->SurfacePixel(0, 10), 0x112233u);
  EXPECT_EQ(form->SurfacePixel(1, 10), 0x112233u);
  EXPECT_EQ(form->SurfacePixel(2, 10), kRed);

  // Rings left unpainted show what lies below the panel: the form's colour.
  panel->SetFillBevel(false);
  panel->Repaint();
  EXPECT_EQ(form->SurfacePixel(0, 10), kFace);
  EXPECT_EQ(form->SurfacePixel(1, 10), kFace);
  EXPECT_EQ(form->SurfacePixel(2, 10), kRed);
}

TEST_F(ControlBases, PanelHandlersReplaceItsPainting) {
  auto* panel = Make<TMMCustomPanel>(0, 0, 60, 30);
  panel->SetColor(clRed);
  gdi::TRect filled{};
  TObject* fillSender = nullptr;
  panel->OnFill = TMMPanelFillEvent([&](TObject* sender, TCanvas* canvas, const gdi::TRect& r) {
    fillSender = sender;
    filled = r;
    canvas->Brush()->SetColor(static_cast<TColor>(0x0000FF00));
    canvas->FillRect(r);
  });
  panel->Repaint();
  EXPECT_EQ(fillSender, panel);
  EXPECT_EQ(filled.Left, 1);
  EXPECT_EQ(filled.Bottom, 29);
  EXPECT_EQ(form->SurfacePixel(30, 15), 0x00FF00u);

  int customPaints = 0;
  panel->OnCustomPaint = TNotifyEvent([&](TObject* sender) {
    EXPECT_EQ(sender, panel);
    ++customPaints;
  });
  fillSender = nullptr;
  panel->SetColor(clBlue);
  panel->Repaint();
  EXPECT_EQ(customPaints, 1);
  EXPECT_EQ(fillSender, nullptr);
  EXPECT_EQ(form->SurfacePixel(30, 15), kFace) << "the panel painted nothing itself";
}

TEST_F(ControlBases, PanelCaptionIsCentredVerticallyAndAligned) {
  auto* panel = Make<TMMCustomPanel>(0, 0, 100, 41);
  panel->SetCaption("WWW");
  panel->Repaint();
  // Inner rectangle (1, 1, 99, 40); the -11 font is 13 high: rows 14 to 26.
  auto [top, bottom] = InkRows(1, 1, 99, 40, 0);
  EXPECT_GE(top, 14);
  EXPECT_LE(bottom, 26);
  EXPECT_GT(bottom, top + 4);
  auto [left, right] = InkColumns(1, 1, 99, 40, 0);
  EXPECT_LE(std::abs((left - 1) - (98 - right)), 2) << "centred: " << left << ".." << right;

  panel->SetBounds(0, 0, 100, 43);
  form->Update();
  auto [top2, bottom2] = InkRows(1, 1, 99, 42, 0);
  EXPECT_EQ(top2, top + 1) << "two rows more move the caption down one";
  EXPECT_EQ(bottom2, bottom + 1);

  panel->SetAlignment(taLeftJustify);
  panel->Repaint();
  auto [leftL, rightL] = InkColumns(1, 1, 99, 42, 0);
  EXPECT_LE(leftL, 2);
  EXPECT_EQ(rightL - leftL, right - left);

  panel->SetAlignment(taRightJustify);
  panel->Repaint();
  auto [leftR, rightR] = InkColumns(1, 1, 99, 42, 0);
  EXPECT_GE(rightR, 96);
  EXPECT_EQ(rightR - leftR, right - left);
}

// A component that counts how often its designing state really changes.
class CountingComponent : public TMMComponent {
 public:
  using TMMComponent::TMMComponent;
  int changes = 0;
  void ChangeDesigning(bool designing) override {
    ++changes;
    TMMComponent::ChangeDesigning(designing);
  }
};

TEST(DesigningState, ChangesReachOwnedComponentsOnlyOnARealChange) {
  CountingComponent owner(nullptr);
  auto* child = new TMMNonVisualComponent(&owner);
  owner.DesigningChanged(false);
  EXPECT_EQ(owner.changes, 0);
  owner.DesigningChanged(true);
  owner.DesigningChanged(true);
  EXPECT_EQ(owner.changes, 1);
  EXPECT_TRUE(owner.HasState(csDesigning));
  EXPECT_TRUE(child->HasState(csDesigning));
  owner.DesigningChanged(false);
  EXPECT_FALSE(child->HasState(csDesigning));
  EXPECT_EQ(owner.changes, 2);
}

}  // namespace
}  // namespace controls
