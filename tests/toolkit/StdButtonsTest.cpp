// The push button and the radio button: looks, mouse, keys, groups.
#include <gtest/gtest.h>

#include "tests/toolkit/StdCtrlTestSupport.h"
#include "toolkit/ExtCtrls.h"

namespace toolkit::stdtest {
namespace {

// ---- TButton -------------------------------------------------------------------------------

class StdButtonTest : public StdCtrlTest {
 protected:
  void SetUp() override {
    StdCtrlTest::SetUp();
    button = MakeButton("Scan", 20, 30, &clicks);
  }
  TButton* MakeButton(const std::string& caption, int left, int top, int* counter) {
    auto* b = new TButton(form);
    b->SetParent(form);
    b->SetBounds(left, top, 75, 25);
    b->SetCaption(caption);
    b->OnClick = TNotifyEvent([counter](TObject*) { ++*counter; });
    return b;
  }
  gdi::TRect Face() const { return {22, 32, 93, 53}; }
  gdi::TRect Caption() const { return InkBox(Face(), Rgb(clBtnText)); }

  TButton* button = nullptr;
  int clicks = 0;
};

TEST_F(StdButtonTest, RaisedFaceWithADarkOuterEdgeAndTheCaptionCentred) {
  Paint();
  for (const gdi::TPoint p : {gdi::TPoint{20, 30}, {94, 30}, {20, 54}, {94, 54}, {57, 30}, {20, 42}})
    EXPECT_EQ(Pixel(p.X, p.Y), Rgb(cl3DDkShadow)) << p.X << "," << p.Y;
  EXPECT_EQ(Pixel(21, 31), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(21, 52), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(93, 53), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(93, 31), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(22, 32), Rgb(clBtnFace));
  const gdi::TRect ink = Caption();
  ASSERT_LT(ink.Left, ink.Right);
  // Centred: as much room on either side, give or take the odd pixel.
  EXPECT_LE(std::abs((ink.Left - 20) - (95 - ink.Right)), 2);
  EXPECT_LE(std::abs((ink.Top - 30) - (55 - ink.Bottom)), 4);
}

TEST_F(StdButtonTest, PushedWhileHeldInsideRaisedWhenDraggedOutClickOnlyOnReleaseInside) {
  Paint();
  const gdi::TRect raised = Caption();
  Press(40, 40);
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(Pixel(21, 31), Rgb(clBtnShadow));
  // The caption moves one pixel down and right.
  const gdi::TRect pushed = Caption();
  EXPECT_EQ(pushed.Left, raised.Left + 1);
  EXPECT_EQ(pushed.Top, raised.Top + 1);
  EXPECT_EQ(clicks, 0);

  Drag(200, 150);
  EXPECT_FALSE(button->Pressed());
  EXPECT_EQ(Pixel(21, 31), Rgb(clBtnHighlight));
  Drag(41, 41);
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(Pixel(21, 31), Rgb(clBtnShadow));
  Drag(200, 150);
  Release(200, 150);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(Pixel(21, 31), Rgb(clBtnHighlight));

  Press(40, 40);
  Drag(60, 45);
  Release(60, 45);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Pressed());
  EXPECT_EQ(Pixel(21, 31), Rgb(clBtnHighlight));
  EXPECT_TRUE(button->Focused());
}

TEST_F(StdButtonTest, ADoubleClickIsTwoClicks) {
  Click(40, 40);
  Press(40, 40, 2);
  Release(40, 40);
  EXPECT_EQ(clicks, 2);
}

TEST_F(StdButtonTest, SpaceClicksOnReleaseEnterAtOnce) {
  button->SetFocus();
  KeyDown(VK_SPACE);
  TypeKeys(" ");
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(clicks, 0);
  Paint();
  EXPECT_EQ(Pixel(21, 31), Rgb(clBtnShadow));
  KeyUp(VK_SPACE);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Pressed());

  KeyDown(VK_RETURN);
  EXPECT_EQ(clicks, 2);
  KeyUp(VK_RETURN);
  EXPECT_EQ(clicks, 2);
  // Space lost with the focus is no click.
  KeyDown(VK_SPACE);
  int other = 0;
  TButton* second = MakeButton("Other", 120, 30, &other);
  second->SetFocus();
  KeyUp(VK_SPACE);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(other, 0);
}

TEST_F(StdButtonTest, EnterGoesToTheFocusedButtonElseTheDefaultOneEscapeToTheCancelOne) {
  int defaults = 0, cancels = 0;
  TButton* ok = MakeButton("OK", 120, 30, &defaults);
  ok->SetDefault(true);
  TButton* cancel = MakeButton("Cancel", 200, 30, &cancels);
  cancel->SetCancel(true);
  auto* radio = new TRadioButton(form);
  radio->SetParent(form);
  radio->SetBounds(20, 100, 100, 17);

  button->SetFocus();
  Key(VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(defaults, 0);

  radio->SetFocus();
  Key(VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(defaults, 1);

  Key(VK_ESCAPE);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(defaults, 1);
}

TEST_F(StdButtonTest, DottedFocusRectangleOnlyWhenFocused) {
  auto* other = new TRadioButton(form);
  other->SetParent(form);
  other->SetBounds(20, 100, 100, 17);
  other->SetFocus();
  Paint();
  const gdi::TRect row{24, 34, 91, 35};  // the focus frame's top edge
  EXPECT_EQ(Count(row, Rgb(clBtnFace)), row.Width());
  button->SetFocus();
  Paint();
  const int face = Count(row, Rgb(clBtnFace));
  EXPECT_GT(face, 10);  // dotted: every other pixel
  EXPECT_LT(face, row.Width() - 10);
}

TEST_F(StdButtonTest, DisabledCaptionIsEngraved) {
  button->SetEnabled(false);
  Paint();
  EXPECT_EQ(Count(Face(), Rgb(clBtnText)), 0);
  const gdi::TRect grey = InkBox(Face(), Rgb(clBtnShadow));
  const gdi::TRect white = InkBox(Face(), Rgb(clBtnHighlight));
  ASSERT_LT(grey.Left, grey.Right);
  EXPECT_EQ(white.Left, grey.Left + 1);
  EXPECT_EQ(white.Top, grey.Top + 1);
  Click(40, 40);
  EXPECT_EQ(clicks, 0);
}

TEST_F(StdButtonTest, TheMarkedLetterClicks) {
  button->SetCaption("&Scan");
  auto* radio = new TRadioButton(form);
  radio->SetParent(form);
  radio->SetBounds(20, 100, 100, 17);
  radio->SetFocus();
  KeyDown('S', platform::kAlt);
  KeyUp('S', platform::kAlt);
  EXPECT_EQ(clicks, 1);
  // The letter alone, while the focused control takes no characters.
  TypeKeys("s");
  EXPECT_EQ(clicks, 2);
  TypeKeys("x");
  EXPECT_EQ(clicks, 2);
}

// ---- TRadioButton ------------------------------------------------------------------------------

// The two model buttons of the main window, with the labels beside them.
class StdRadioTest : public StdCtrlTest {
 protected:
  void SetUp() override {
    StdCtrlTest::SetUp();
    form->SetColor(clBlack);
    rb1 = MakeRadio(34, 180, &clicks1);
    rb2 = MakeRadio(34, 136, &clicks2);
    rb1->SetTabOrder(0);
    rb2->SetTabOrder(1);
    rb2->SetChecked(true);
    label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(54, 176, 38, 20);
    label->SetCaption("Tyros");
    label->SetTransparent(true);
  }
  TRadioButton* MakeRadio(int left, int top, int* counter, TWinControl* parent = nullptr) {
    auto* rb = new TRadioButton(form);
    rb->SetParent(parent ? parent : form);
    rb->SetBounds(left, top, 17, 17);
    rb->SetCaption("");
    rb->SetColor(clBlack);
    rb->OnClick = TNotifyEvent([counter](TObject*) { ++*counter; });
    return rb;
  }

  TRadioButton* rb1 = nullptr;
  TRadioButton* rb2 = nullptr;
  TLabel* label = nullptr;
  int clicks1 = 0, clicks2 = 0;
};

TEST_F(StdRadioTest, AClickChecksItUnchecksItsSiblingsAndLeavesOtherGroupsAlone) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(150, 100, 100, 60);
  int clicks3 = 0;
  TRadioButton* inPanel = MakeRadio(10, 10, &clicks3, panel);
  inPanel->SetChecked(true);

  Click(40, 188);
  EXPECT_TRUE(rb1->Checked());
  EXPECT_FALSE(rb2->Checked());
  EXPECT_TRUE(inPanel->Checked());
  EXPECT_EQ(clicks1, 1);
  EXPECT_EQ(clicks2, 0);
  // Clicking the checked one again changes nothing and reports nothing.
  Click(40, 188);
  EXPECT_EQ(clicks1, 1);
  EXPECT_TRUE(rb1->Checked());

  Click(40, 144);
  EXPECT_FALSE(rb1->Checked());
  EXPECT_TRUE(rb2->Checked());
  EXPECT_EQ(clicks2, 1);
  EXPECT_TRUE(inPanel->Checked());
}

TEST_F(StdRadioTest, OnlyTheButtonRespondsNotTheLabelBesideIt) {
  Click(60, 182);  // on the label
  EXPECT_FALSE(rb1->Checked());
  EXPECT_TRUE(rb2->Checked());
  Click(52, 188);  // just right of the button: nothing there
  EXPECT_FALSE(rb1->Checked());
  Click(50, 196);  // the button's last pixel
  EXPECT_TRUE(rb1->Checked());
}

TEST_F(StdRadioTest, ReleaseOutsideIsNoClick) {
  Press(40, 188);
  Drag(120, 60);
  Release(120, 60);
  EXPECT_FALSE(rb1->Checked());
  EXPECT_EQ(clicks1, 0);
}

TEST_F(StdRadioTest, TabStopExactlyWhenCheckedAndSetCheckedIsNoClick) {
  EXPECT_FALSE(rb1->TabStop());
  EXPECT_TRUE(rb2->TabStop());
  rb1->SetChecked(true);
  EXPECT_TRUE(rb1->TabStop());
  EXPECT_FALSE(rb2->TabStop());
  EXPECT_FALSE(rb2->Checked());
  EXPECT_EQ(clicks1, 0);
  rb1->SetChecked(false);
  EXPECT_FALSE(rb1->TabStop());
  EXPECT_FALSE(rb2->Checked());
}

TEST_F(StdRadioTest, ArrowsMoveAmongTheGroupAndCheckTheOneReached) {
  rb2->SetFocus();
  Key(VK_DOWN);
  EXPECT_TRUE(rb1->Focused());
  EXPECT_TRUE(rb1->Checked());
  EXPECT_FALSE(rb2->Checked());
  EXPECT_EQ(clicks1, 1);
  Key(VK_UP);
  EXPECT_TRUE(rb2->Focused());
  EXPECT_TRUE(rb2->Checked());
  EXPECT_FALSE(rb1->Checked());
  Key(VK_RIGHT);
  EXPECT_TRUE(rb1->Checked());
  Key(VK_LEFT);
  EXPECT_TRUE(rb2->Checked());
  EXPECT_EQ(clicks1, 2);
  EXPECT_EQ(clicks2, 2);
}

TEST_F(StdRadioTest, SpaceChecksTheFocusedButton) {
  rb1->SetFocus();
  KeyDown(VK_SPACE);
  EXPECT_FALSE(rb1->Checked());
  KeyUp(VK_SPACE);
  EXPECT_TRUE(rb1->Checked());
  EXPECT_FALSE(rb2->Checked());
}

TEST_F(StdRadioTest, RoundMarkAtTheLeftVerticallyCentred) {
  Paint();
  // rb1, unchecked: the 13 × 13 cell at (34, 182).
  EXPECT_EQ(Pixel(38, 182), Rgb(clBtnShadow));     // outer ring, top
  EXPECT_EQ(Pixel(34, 186), Rgb(clBtnShadow));     // outer ring, left
  EXPECT_EQ(Pixel(35, 186), Rgb(cl3DDkShadow));    // inner ring, left
  EXPECT_EQ(Pixel(38, 193), Rgb(clBtnHighlight));  // outer ring, bottom
  EXPECT_EQ(Pixel(45, 186), Rgb(clBtnHighlight));  // outer ring, right
  EXPECT_EQ(Pixel(44, 186), Rgb(cl3DLight));       // inner ring, right
  EXPECT_EQ(Pixel(39, 187), Rgb(clWindow));        // inside
  EXPECT_EQ(Pixel(34, 182), Rgb(clBlack));         // the corner is the button's colour
  EXPECT_EQ(Pixel(50, 181), Rgb(clBlack));
  // rb2, checked: a 4 × 4 dot in the middle.
  EXPECT_EQ(Pixel(39, 143), Rgb(clWindowText));
  EXPECT_EQ(Pixel(40, 145), Rgb(clWindowText));
  EXPECT_EQ(Pixel(38, 142), Rgb(clWindow));  // the dot's rounded corner
  EXPECT_EQ(Pixel(38, 143), Rgb(clWindowText));

  // A taller button keeps the mark in the middle.
  rb1->SetBounds(34, 170, 17, 25);
  Paint();
  EXPECT_EQ(Pixel(38, 176), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(38, 187), Rgb(clBtnHighlight));
}

TEST_F(StdRadioTest, HeldDownTheMarkTurnsGrey) {
  // (37, 185) is inside the mark, clear of the dot.
  Press(40, 188);
  EXPECT_EQ(Pixel(37, 185), Rgb(clBtnFace));
  Drag(120, 60);
  EXPECT_EQ(Pixel(37, 185), Rgb(clWindow));
  Drag(40, 188);
  EXPECT_EQ(Pixel(37, 185), Rgb(clBtnFace));
  Release(40, 188);
  EXPECT_EQ(Pixel(37, 185), Rgb(clWindow));
  EXPECT_EQ(Pixel(40, 188), Rgb(clWindowText));  // checked now
}

TEST_F(StdRadioTest, SpaceHoldsItDownUntilTheFocusLeavesWithoutAClick) {
  rb1->SetFocus();
  KeyDown(VK_SPACE);
  EXPECT_TRUE(rb1->Pressed());
  EXPECT_EQ(Pixel(37, 185), Rgb(clBtnFace));
  rb2->SetFocus();
  Paint();
  EXPECT_FALSE(rb1->Pressed());
  EXPECT_EQ(Pixel(37, 185), Rgb(clWindow));
  KeyUp(VK_SPACE);
  EXPECT_EQ(clicks1, 0);
  EXPECT_FALSE(rb1->Checked());
}

TEST_F(StdRadioTest, CaptionToTheRightWithAFocusRectangleOnlyWhenThereIsOne) {
  auto* rb = new TRadioButton(form);
  rb->SetParent(form);
  rb->SetBounds(100, 20, 120, 17);
  rb->SetCaption("Tyros");
  rb->Font()->SetColor(clYellow);
  rb->SetColor(clBlack);
  Paint();
  const gdi::TRect area = rb->BoundsRect();
  const gdi::TRect text = InkBox(area, Rgb(clYellow));
  EXPECT_GE(text.Left, 100 + 13 + 1);
  EXPECT_LE(std::abs((text.Top - 20) - (37 - text.Bottom)), 4);
  const gdi::TRect caption = rb->CaptionRect();
  const gdi::TRect above{100 + caption.Left, 20 + caption.Top - 1, 100 + caption.Right, 20 + caption.Top};
  EXPECT_EQ(Count(above, Rgb(clBlack)), above.Width());

  rb->SetFocus();
  Paint();
  EXPECT_LT(Count(above, Rgb(clBlack)), above.Width() - 5);

  // No caption: nothing but the mark on the button's colour, focused or not.
  rb->SetCaption("");
  Paint();
  const gdi::TRect beside{100 + 13, 20, 220, 37};
  EXPECT_EQ(Count(beside, Rgb(clBlack)), beside.Width() * beside.Height());
}

}  // namespace
}  // namespace toolkit::stdtest
