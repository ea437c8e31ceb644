// The label, the image, the panel, the common dialog, and how the standard
// controls stream.
#include <gtest/gtest.h>

#include "tests/toolkit/StdCtrlTestSupport.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Streaming.h"

namespace toolkit::stdtest {
namespace {

// ---- TLabel ----------------------------------------------------------------------------------

class StdLabelTest : public StdCtrlTest {
 protected:
  TLabel* MakeLabel(const std::string& caption, int left = 10, int top = 20) {
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetCaption(caption);
    return label;
  }
  // The label's pixels against an image of the same size.
  void ExpectLooksLike(const TLabel& label, const MemoryImage& expected) {
    int wrong = 0;
    for (int y = 0; y < label.Height(); ++y)
      for (int x = 0; x < label.Width(); ++x)
        if (Pixel(label.Left() + x, label.Top() + y) != expected.Pixel(x, y) && ++wrong < 5)
          ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(wrong, 0);
  }
  // The first row of `r` (form coordinates) with a pixel unlike `background`.
  int FirstInkRow(const gdi::TRect& r, gdi::COLORREF background) const {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Pixel(x, y) != background) return y;
    return -1;
  }
};

TEST_F(StdLabelTest, AutoSizeIsTheDrawTextExtentAndFollowsCaptionAndFont) {
  TLabel* label = MakeLabel("V.1.03");
  gdi::TRect r = CalcRect(*label->Font(), "V.1.03", gdi::DT_EXPANDTABS);
  EXPECT_EQ(label->Width(), r.Width());
  EXPECT_EQ(label->Height(), 13);

  label->SetCaption("Tyros && 2");
  r = CalcRect(*label->Font(), "Tyros && 2", gdi::DT_EXPANDTABS);
  EXPECT_EQ(label->Width(), r.Width());
  EXPECT_LT(r.Width(), CalcRect(*label->Font(), "Tyros && 2", gdi::DT_NOPREFIX).Width());

  label->Font()->SetHeight(-16);
  r = CalcRect(*label->Font(), "Tyros && 2", gdi::DT_EXPANDTABS);
  EXPECT_EQ(label->Width(), r.Width());
  EXPECT_EQ(label->Height(), r.Height());
  EXPECT_GT(label->Height(), 13);

  // Without auto size the label keeps what it has.
  label->SetAutoSize(false);
  const int width = label->Width();
  label->SetCaption("a much longer caption than before");
  EXPECT_EQ(label->Width(), width);
  // Turned on again, it fits the text at once.
  label->SetAutoSize(true);
  EXPECT_EQ(label->Width(), CalcRect(*label->Font(), "a much longer caption than before", 0).Width());
}

TEST_F(StdLabelTest, AutoSizeKeepsTheRightEdgeOfARightJustifiedLabelAndMeasuresAnEmptyCaption) {
  TLabel* label = MakeLabel("Scan");
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption("Scan again");
  EXPECT_EQ(label->Left() + label->Width(), right);
  EXPECT_LT(label->Left(), 10);

  label->SetCaption("");
  EXPECT_EQ(label->Width(), CalcRect(*label->Font(), " ", 0).Width());
  EXPECT_EQ(label->Height(), 13);
}

TEST_F(StdLabelTest, DrawsItsCaptionAsDrawTextDoesWithTheAcceleratorUnderlined) {
  TLabel* label = MakeLabel("&Tyros && Co");
  Paint();
  const gdi::COLORREF face = Rgb(clBtnFace);
  MemoryImage expected(label->Width(), label->Height(), face);
  expected.Text(*label->Font(), "&Tyros && Co", {0, 0, label->Width(), label->Height()}, gdi::DT_EXPANDTABS,
                Rgb(clWindowText));
  ExpectLooksLike(*label, expected);

  // Shown literally, the "&" are letters and there is no underline.
  label->SetShowAccelChar(false);
  Paint();
  MemoryImage literal(label->Width(), label->Height(), face);
  literal.Text(*label->Font(), "&Tyros && Co", {0, 0, label->Width(), label->Height()},
               gdi::DT_EXPANDTABS | gdi::DT_NOPREFIX, Rgb(clWindowText));
  ExpectLooksLike(*label, literal);
}

TEST_F(StdLabelTest, TransparentLabelDrawsOnlyItsLetters) {
  form->SetColor(clGreen);
  TLabel* label = MakeLabel("FLOPPY");
  label->Font()->SetColor(clWhite);
  label->SetColor(clRed);
  label->SetTransparent(true);
  Paint();
  const gdi::TRect r = label->BoundsRect();
  const int area = r.Width() * r.Height();
  const int green = Count(r, Rgb(clGreen)), white = Count(r, Rgb(clWhite));
  EXPECT_GT(white, 10);
  EXPECT_GT(green, white);
  EXPECT_EQ(green + white, area);

  label->SetTransparent(false);
  Paint();
  EXPECT_EQ(Count(r, Rgb(clGreen)), 0);
  EXPECT_EQ(Count(r, Rgb(clRed)), green);
  EXPECT_EQ(Count(r, Rgb(clWhite)), white);
}

TEST_F(StdLabelTest, TakesItsParentsColourUntilGivenOne) {
  form->SetColor(clNavy);
  TLabel* label = MakeLabel("x");
  EXPECT_TRUE(label->ParentColor());
  EXPECT_EQ(label->Color(), clNavy);
  label->SetColor(clRed);
  EXPECT_FALSE(label->ParentColor());
  form->SetColor(clTeal);
  EXPECT_EQ(label->Color(), clRed);
}

TEST_F(StdLabelTest, DisabledCaptionIsEngravedWhiteUnderGrey) {
  TLabel* label = MakeLabel("Disabled");
  label->SetEnabled(false);
  Paint();
  MemoryImage expected(label->Width(), label->Height(), Rgb(clBtnFace));
  expected.Text(*label->Font(), "Disabled", {1, 1, label->Width() + 1, label->Height() + 1},
                gdi::DT_EXPANDTABS, Rgb(clBtnHighlight));
  expected.Text(*label->Font(), "Disabled", {0, 0, label->Width(), label->Height()}, gdi::DT_EXPANDTABS,
                Rgb(clBtnShadow));
  ExpectLooksLike(*label, expected);
  EXPECT_EQ(Count(label->BoundsRect(), Rgb(clWindowText)), 0);
}

TEST_F(StdLabelTest, LayoutPlacesTheTextAtTheTopCentreOrBottom) {
  TLabel* label = MakeLabel("Hig");
  label->SetAutoSize(false);
  label->SetBounds(10, 20, 60, 41);
  const gdi::TRect r = label->BoundsRect();
  const gdi::COLORREF face = Rgb(clBtnFace);
  Paint();
  const int top = FirstInkRow(r, face);
  ASSERT_GE(top, 20);
  label->SetLayout(tlCenter);
  Paint();
  EXPECT_EQ(FirstInkRow(r, face), top + (41 - 13) / 2);
  label->SetLayout(tlBottom);
  Paint();
  EXPECT_EQ(FirstInkRow(r, face), top + 41 - 13);
}

TEST_F(StdLabelTest, WordWrapBreaksAtTheWidthAndGrowsDownwards) {
  TLabel* label = MakeLabel("one two three four");
  const int oneLine = label->Width();
  label->SetAutoSize(false);
  label->SetWidth(oneLine / 2);
  label->SetWordWrap(true);
  label->SetAutoSize(true);
  const gdi::TRect r =
      CalcRect(*label->Font(), "one two three four", gdi::DT_WORDBREAK, {0, 0, oneLine / 2, 0});
  EXPECT_EQ(label->Height(), r.Height());
  EXPECT_GE(label->Height(), 26);
  EXPECT_LE(label->Width(), oneLine / 2);
}

TEST_F(StdLabelTest, AcceleratorFocusesTheFocusControlAndForgetsItWhenFreed) {
  auto* first = new TButton(form);
  first->SetParent(form);
  first->SetBounds(10, 100, 60, 21);
  auto* target = new TButton(form);
  target->SetParent(form);
  target->SetBounds(80, 100, 60, 21);
  TLabel* label = MakeLabel("&Port");
  label->SetFocusControl(target);
  first->SetFocus();
  KeyDown('P', platform::kAlt);
  KeyUp('P', platform::kAlt);
  EXPECT_TRUE(target->Focused());

  delete target;
  EXPECT_EQ(label->FocusControl(), nullptr);
  first->SetFocus();
  KeyDown('P', platform::kAlt);  // nothing to focus, nothing breaks
  EXPECT_TRUE(first->Focused());
}

// ---- TImage ----------------------------------------------------------------------------------

class StdImageTest : public StdCtrlTest {
 protected:
  static gdi::COLORREF Source(int x, int y) {
    return gdi::RGB(static_cast<gdi::BYTE>(40 * x + 5), static_cast<gdi::BYTE>(60 * y + 7), 99);
  }
  // A 4 × 3 picture, every pixel its own colour.
  TImage* MakeImage(int left, int top, int width, int height) {
    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(left, top, width, height);
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(4, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) bitmap.Canvas()->SetPixel(x, y, static_cast<TColor>(Source(x, y)));
    image->Picture()->SetGraphic(&bitmap);
    return image;
  }
};

TEST_F(StdImageTest, DrawsThePictureUnscaledAtItsTopLeftClippedToItsRectangle) {
  TImage* image = MakeImage(10, 10, 3, 2);
  Paint();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Pixel(10 + x, 10 + y), Source(x, y)) << x << "," << y;
  // Cut off at the control's edge: what is beyond is the form's.
  EXPECT_EQ(Pixel(13, 10), Rgb(clBtnFace));
  EXPECT_EQ(Pixel(10, 12), Rgb(clBtnFace));
  EXPECT_TRUE(image->ControlStyle() & csOpaque);

  // Larger than the picture: the rest shows what lies below.
  image->SetBounds(10, 10, 7, 6);
  Paint();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(10 + x, 10 + y), Source(x, y));
  EXPECT_EQ(Pixel(14, 10), Rgb(clBtnFace));
  EXPECT_EQ(Pixel(10, 13), Rgb(clBtnFace));
  EXPECT_EQ(Pixel(16, 15), Rgb(clBtnFace));
  EXPECT_FALSE(image->ControlStyle() & csOpaque);
}

TEST_F(StdImageTest, CentreAndStretch) {
  TImage* image = MakeImage(20, 20, 8, 7);
  image->SetCenter(true);
  Paint();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(22 + x, 22 + y), Source(x, y));
  EXPECT_EQ(Pixel(21, 22), Rgb(clBtnFace));
  EXPECT_EQ(Pixel(22, 25), Rgb(clBtnFace));

  image->SetStretch(true);
  image->SetBounds(20, 20, 8, 6);
  Paint();
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(Pixel(20 + x, 20 + y), Source(x / 2, y / 2));
  EXPECT_TRUE(image->ControlStyle() & csOpaque);
}

TEST_F(StdImageTest, TransparentLeavesOutTheBottomLeftColour) {
  TImage* image = MakeImage(10, 10, 4, 3);
  // The bottom-left colour also at the top-right.
  image->Picture()->Bitmap()->Canvas()->SetPixel(3, 0, static_cast<TColor>(Source(0, 2)));
  form->SetColor(clFuchsia);
  image->SetTransparent(true);
  EXPECT_FALSE(image->ControlStyle() & csOpaque);
  Paint();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool hole = (x == 0 && y == 2) || (x == 3 && y == 0);
      EXPECT_EQ(Pixel(10 + x, 10 + y), hole ? Rgb(clFuchsia) : Source(x, y)) << x << "," << y;
    }
}

TEST_F(StdImageTest, AutoSizeTakesThePictureSize) {
  TImage* image = MakeImage(5, 6, 50, 50);
  EXPECT_EQ(image->Width(), 50);
  image->SetAutoSize(true);
  EXPECT_EQ(image->BoundsRect(), (gdi::TRect{5, 6, 9, 9}));
  TBitmap larger;
  larger.SetSize(20, 10);
  image->Picture()->SetGraphic(&larger);
  EXPECT_EQ(image->BoundsRect(), (gdi::TRect{5, 6, 25, 16}));
}

// ---- TPanel ----------------------------------------------------------------------------------

class StdPanelTest : public StdCtrlTest {
 protected:
  TPanel* MakePanel() {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 100, 40);
    return panel;
  }
};

TEST_F(StdPanelTest, RaisedByDefaultWithTheCaptionCentred) {
  TPanel* panel = MakePanel();
  panel->SetCaption("Mid");
  form->SetColor(clWhite);
  Paint();
  EXPECT_EQ(Pixel(10, 10), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(10, 48), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(109, 10), Rgb(clBtnShadow));  // the top-right corner is the shadow's
  EXPECT_EQ(Pixel(109, 49), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(11, 11), Rgb(clBtnFace));
  // The caption's ink lies around the middle, nowhere near the sides.
  const gdi::TRect left{11, 11, 40, 49}, middle{40, 11, 80, 49}, right{80, 11, 109, 49};
  EXPECT_EQ(Count(left, Rgb(clWindowText)), 0);
  EXPECT_EQ(Count(right, Rgb(clWindowText)), 0);
  EXPECT_GT(Count(middle, Rgb(clWindowText)), 10);
}

TEST_F(StdPanelTest, FrameRingsFromTheOutsideIn) {
  TPanel* panel = MakePanel();
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(1);
  panel->SetBevelInner(bvLowered);
  panel->SetColor(clSilver);
  Paint();
  // Outer bevel (raised) in rings 0 and 1, the border in ring 2, the inner
  // bevel (lowered) in rings 3 and 4, the face from 5.
  for (int ring : {0, 1}) EXPECT_EQ(Pixel(10 + ring, 30), Rgb(clBtnHighlight)) << ring;
  EXPECT_EQ(Pixel(12, 30), Rgb(clSilver));
  for (int ring : {3, 4}) {
    EXPECT_EQ(Pixel(10 + ring, 30), Rgb(clBtnShadow)) << ring;
    EXPECT_EQ(Pixel(109 - ring, 30), Rgb(clBtnHighlight)) << ring;
  }
  EXPECT_EQ(Pixel(15, 30), Rgb(clSilver));
  EXPECT_EQ(panel->FrameExtent(), 5);

  panel->SetBorderStyle(bsSingle);
  Paint();
  EXPECT_EQ(Pixel(10, 30), Rgb(clWindowFrame));
  EXPECT_EQ(Pixel(11, 30), Rgb(clBtnHighlight));
  EXPECT_EQ(panel->FrameExtent(), 6);
}

TEST_F(StdPanelTest, ChildrenAreAlignedInsideTheFrame) {
  TPanel* panel = MakePanel();
  auto* top = new TPanel(form);
  top->SetParent(panel);
  top->SetHeight(10);
  top->SetAlign(alTop);
  auto* rest = new TPanel(form);
  rest->SetParent(panel);
  rest->SetAlign(alClient);
  EXPECT_EQ(top->BoundsRect(), (gdi::TRect{1, 1, 99, 11}));
  EXPECT_EQ(rest->BoundsRect(), (gdi::TRect{1, 11, 99, 39}));
  panel->SetBorderWidth(3);
  panel->SetBevelInner(bvRaised);
  EXPECT_EQ(top->BoundsRect(), (gdi::TRect{5, 5, 95, 15}));
  EXPECT_EQ(rest->BoundsRect(), (gdi::TRect{5, 15, 95, 35}));
}

// ---- TCommonDialog ------------------------------------------------------------------------------

TEST(StdCommonDialogTest, ShowsNothingAndKeepsItsSettings) {
  TComponent owner(nullptr);
  auto* dialog = new TCommonDialog(&owner);
  EXPECT_FALSE(dialog->Execute());
  EXPECT_TRUE(dialog->Ctl3D());
  EXPECT_EQ(dialog->HelpContext(), 0);
  dialog->SetCtl3D(false);
  dialog->SetHelpContext(17);
  EXPECT_FALSE(dialog->Ctl3D());
  EXPECT_EQ(dialog->HelpContext(), 17);
}

// ---- streams ------------------------------------------------------------------------------------

class StdStreamTest : public StdCtrlTest {
 protected:
  static std::string AsText(TComponent* root) {
    TMemoryStream binary;
    WriteComponent(binary, root);
    binary.SetPosition(0);
    TMemoryStream text;
    ObjectBinaryToText(binary, text);
    return std::string(text.Bytes().begin(), text.Bytes().end());
  }
  static std::string Block(const std::string& text, const std::string& name) {
    const auto start = text.find("object " + name + ":");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find("end", start) - start);
  }
};

TEST_F(StdStreamTest, EveryStandardClassCanBeCreatedByName) {
  for (const char* name :
       {"TLabel", "TImage", "TButton", "TRadioButton", "TComboBox", "TPanel", "TCommonDialog"}) {
    const TClassInfo* info = FindClass(name);
    ASSERT_NE(info, nullptr) << name;
    ASSERT_TRUE(info->Create) << name;
    TComponent* made = info->Create(form);
    EXPECT_EQ(made->ClassName(), name);
    delete made;
  }
}

TEST_F(StdStreamTest, DefaultsAreLeftOutAndValuesComeBack) {
  form->SetName("Form1");
  auto* label = new TLabel(form);
  label->SetName("Label1");
  label->SetParent(form);
  auto* button = new TButton(form);
  button->SetName("Button1");
  button->SetParent(form);
  auto* rb1 = new TRadioButton(form);
  rb1->SetName("RB1");
  rb1->SetParent(form);
  rb1->SetCaption("");
  auto* rb2 = new TRadioButton(form);
  rb2->SetName("RB2");
  rb2->SetParent(form);
  rb2->SetChecked(true);
  auto* combo = new TComboBox(form);
  combo->SetName("MidiOutputs");
  combo->SetParent(form);
  combo->Items()->Add("Alpha");
  combo->Items()->Add("Beta");
  combo->SetItemIndex(1);
  auto* image = new TImage(form);
  image->SetName("SCR");
  image->SetParent(form);
  image->Picture()->Bitmap()->SetSize(3, 2);
  auto* panel = new TPanel(form);
  panel->SetName("Panel1");
  panel->SetParent(form);
  panel->SetBevelInner(bvLowered);

  const std::string text = AsText(form);
  const std::string labelBlock = Block(text, "Label1");
  for (const char* absent :
       {"AutoSize", "ShowAccelChar", "Transparent", "Alignment", "Layout", "ParentColor", "Color"})
    EXPECT_EQ(labelBlock.find(absent), std::string::npos) << absent << "\n" << labelBlock;
  EXPECT_NE(labelBlock.find("Caption = 'Label1'"), std::string::npos) << labelBlock;
  const std::string buttonBlock = Block(text, "Button1");
  EXPECT_EQ(buttonBlock.find("TabStop"), std::string::npos) << buttonBlock;
  EXPECT_EQ(buttonBlock.find("Default"), std::string::npos) << buttonBlock;
  EXPECT_EQ(Block(text, "RB1").find("TabStop"), std::string::npos);
  EXPECT_EQ(Block(text, "RB1").find("Checked"), std::string::npos);
  EXPECT_NE(Block(text, "RB2").find("Checked = True"), std::string::npos);
  EXPECT_NE(Block(text, "RB2").find("TabStop = True"), std::string::npos);
  const std::string comboBlock = Block(text, "MidiOutputs");
  EXPECT_NE(comboBlock.find("Items.Strings"), std::string::npos) << comboBlock;
  EXPECT_NE(comboBlock.find("Text = 'Beta'"), std::string::npos) << comboBlock;
  EXPECT_NE(comboBlock.find("ItemHeight = 13"), std::string::npos) << comboBlock;
  EXPECT_EQ(comboBlock.find("Caption"), std::string::npos) << comboBlock;
  EXPECT_EQ(comboBlock.find("DropDownCount"), std::string::npos) << comboBlock;
  EXPECT_NE(Block(text, "SCR").find("Picture.Data"), std::string::npos);
  const std::string panelBlock = Block(text, "Panel1");
  EXPECT_NE(panelBlock.find("BevelInner = bvLowered"), std::string::npos) << panelBlock;
  EXPECT_EQ(panelBlock.find("BevelOuter"), std::string::npos) << panelBlock;
  EXPECT_EQ(panelBlock.find("Color"), std::string::npos) << panelBlock;

  TMemoryStream binary;
  WriteComponent(binary, form);
  binary.SetPosition(0);
  TComponent owner(nullptr);  // apart from the first form: the names repeat
  auto* copy = new TForm(&owner);
  ReadComponent(binary, copy);
  auto* combo2 = dynamic_cast<TComboBox*>(copy->FindComponent("MidiOutputs"));
  ASSERT_NE(combo2, nullptr);
  EXPECT_EQ(combo2->Items()->Count(), 2);
  EXPECT_EQ(combo2->ItemIndex(), 1);
  EXPECT_EQ(combo2->Text(), "Beta");
  auto* rb1b = dynamic_cast<TRadioButton*>(copy->FindComponent("RB1"));
  auto* rb2b = dynamic_cast<TRadioButton*>(copy->FindComponent("RB2"));
  ASSERT_TRUE(rb1b && rb2b);
  EXPECT_FALSE(rb1b->Checked());
  EXPECT_FALSE(rb1b->TabStop());
  EXPECT_TRUE(rb2b->Checked());
  EXPECT_TRUE(rb2b->TabStop());
  auto* image2 = dynamic_cast<TImage*>(copy->FindComponent("SCR"));
  ASSERT_NE(image2, nullptr);
  EXPECT_EQ(image2->Picture()->Width(), 3);
  EXPECT_EQ(image2->Picture()->Height(), 2);
  auto* label2 = dynamic_cast<TLabel*>(copy->FindComponent("Label1"));
  ASSERT_NE(label2, nullptr);
  EXPECT_TRUE(label2->AutoSize());
  EXPECT_TRUE(label2->ParentColor());
  auto* panel2 = dynamic_cast<TPanel*>(copy->FindComponent("Panel1"));
  ASSERT_NE(panel2, nullptr);
  EXPECT_EQ(panel2->BevelInner(), bvLowered);
  EXPECT_EQ(panel2->BevelOuter(), bvRaised);
}

TEST_F(StdStreamTest, AComboBoxTextThatNamesAnEntryReadsAsThatEntry) {
  const std::string text =
      "object Form1: TForm\n"
      "  object Box: TComboBox\n"
      "    Left = 4\n"
      "    Top = 4\n"
      "    Width = 100\n"
      "    Height = 21\n"
      "    ItemHeight = 13\n"
      "    Text = 'GAMMA'\n"
      "    Items.Strings = (\n"
      "      'Alpha'\n"
      "      'Gamma')\n"
      "  end\n"
      "end\n";
  TMemoryStream source, binary;
  source.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  source.SetPosition(0);
  ObjectTextToBinary(source, binary);
  binary.SetPosition(0);
  TComponent owner(nullptr);
  auto* copy = new TForm(&owner);
  ReadComponent(binary, copy);
  auto* box = dynamic_cast<TComboBox*>(copy->FindComponent("Box"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(box->Text(), "GAMMA");
  EXPECT_EQ(box->ItemHeight(), 13);
}

}  // namespace
}  // namespace toolkit::stdtest
