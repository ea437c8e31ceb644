// The bitmap button on a headless window: mouse sequences as event logs,
// frames and glyphs as pixels, the double buffer and the cache.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/Mmbmpbtn.h"
#include "tests/toolkit/ControlTestSupport.h"
#include "toolkit/Menus.h"
#include "toolkit/Streaming.h"

namespace controls {
namespace {

using namespace toolkit;
using toolkit::controltest::EventType;
using toolkit::controltest::HeadlessTest;

constexpr gdi::COLORREF kFace = 0xC8D0D4, kDkShadow = 0x404040, kShadow = 0x808080, kWhite = 0xFFFFFF,
                        kBlack = 0, kRed = 0x0000FF;
constexpr gdi::COLORREF kGround = 0x00302010;  // the faces' transparent ground

// A face: the ground everywhere, a red block at (5, 5)-(15, 15).
std::unique_ptr<TBitmap> Face(int width, int height, gdi::COLORREF mark = kRed) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  TCanvas* c = bitmap->Canvas();
  c->Brush()->SetColor(static_cast<TColor>(kGround));
  c->FillRect({0, 0, width, height});
  c->Brush()->SetColor(static_cast<TColor>(mark));
  c->FillRect({5, 5, 15, 15});
  bitmap->FreeCanvasHandle();
  return bitmap;
}

// Logs each quick redraw with the state it shows.
class LoggedButton : public TMMBitmapButton {
 public:
  LoggedButton(TComponent* owner, std::string* log) : TMMBitmapButton(owner), log_(log) {}
  void RedrawButton() override {
    *log_ += ButtonState() == bsDown ? "D " : "U ";
    TMMBitmapButton::RedrawButton();
  }

 private:
  std::string* log_;
};

class ButtonTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(200, 120);
    list = new TMMBitmapList(form);
    list->Add(Face(87, 65).get());
    list->Add(Face(87, 65, 0x00FF00).get());
    button = new LoggedButton(form, &log);
    button->SetParent(form);
    button->SetBounds(10, 10, 87, 65);
    button->SetButtonStyle(bsDark);
    button->SetBitmaps(list);
    button->SetBitmapIndex(0);
    button->SetDoubleBuffer(true);
    button->OnMouseDown =
        TMouseEvent([this](TObject*, TMouseButton, TShiftState, int, int) { log += "md "; });
    button->OnMouseUp = TMouseEvent([this](TObject*, TMouseButton, TShiftState, int, int) { log += "mu "; });
    button->OnClick = TNotifyEvent([this](TObject*) { log += "click "; });
    form->Update();
    log.clear();
  }
  void RightPress(int x, int y) {
    Send(MouseEvent(EventType::MouseDown, x, y, platform::MouseButton::Right));
  }
  void RightRelease(int x, int y) {
    Send(MouseEvent(EventType::MouseUp, x, y, platform::MouseButton::Right));
  }
  gdi::COLORREF At(int x, int y) { return form->SurfacePixel(x, y); }

  TForm* form = nullptr;
  TMMBitmapList* list = nullptr;
  LoggedButton* button = nullptr;
  std::string log;
};

// ---- mouse ----------------------------------------------------------------------------

TEST_F(ButtonTest, PressDragOutReleaseOutsideGivesNoClick) {
  Press(40, 40);
  Move(150, 100);
  Release(150, 100);
  EXPECT_EQ(log, "D md U U mu ");
  EXPECT_FALSE(button->Tracking());
}

TEST_F(ButtonTest, OutAndBackInGivesOneClickAfterTheReleasedPicture) {
  Press(40, 40);
  Move(150, 100);
  Move(45, 45);
  Release(45, 45);
  EXPECT_EQ(log, "D md U D U mu click ");
}

TEST_F(ButtonTest, HoldingGivesNoRepeatedClicks) {
  Press(40, 40);
  for (int i = 0; i < 5; ++i) Move(41 + i, 40);
  Release(46, 40);
  EXPECT_EQ(log, "D md U mu click ");
}

TEST_F(ButtonTest, RightButtonOnlyWhenAllowed) {
  RightPress(40, 40);
  RightRelease(40, 40);
  EXPECT_EQ(log, "md mu ") << "events, no picture, no click";
  log.clear();
  button->SetAllowRightMouse(true);
  RightPress(40, 40);
  RightRelease(40, 40);
  EXPECT_EQ(log, "D md U mu click ");
}

TEST_F(ButtonTest, ADoubleClickIsTwoClicks) {
  Press(40, 40);
  Release(40, 40);
  Press(40, 40, 2);
  Release(40, 40);
  EXPECT_EQ(log, "D md U mu click D md U mu click ");
}

TEST_F(ButtonTest, SwitchTogglesDownOnReleasesInside) {
  button->SetSwitch(true);
  Press(40, 40);
  Release(40, 40);
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(button->ButtonState(), bsDown);
  Press(40, 40);
  Release(150, 100);
  EXPECT_TRUE(button->Down()) << "a release outside changes nothing";
  Press(40, 40);
  Release(40, 40);
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(button->ButtonState(), bsUp);
}

TEST_F(ButtonTest, DownStaysPressedThroughClicks) {
  button->SetDown(true);
  EXPECT_EQ(button->ButtonState(), bsDown);
  log.clear();
  Press(40, 40);
  Move(150, 100);
  Move(40, 40);
  Release(40, 40);
  EXPECT_EQ(button->ButtonState(), bsDown);
  EXPECT_EQ(log, "D md D mu click ") << "moves change nothing while Down";
}

TEST_F(ButtonTest, ADisabledButtonIgnoresPresses) {
  button->SetEnabled(false);
  log.clear();
  Press(40, 40);
  Release(40, 40);
  EXPECT_EQ(log, "");
}

TEST_F(ButtonTest, PopupMenuPlaysTheReleaseAfterTheMenuCloses) {
  auto* menu = new TPopupMenu(form);
  button->SetPopupMenu(menu);
  Press(40, 40);
  EXPECT_EQ(log, "D md U mu click ");
  EXPECT_EQ(menu->PopupCount(), 1);
  EXPECT_EQ(menu->PopupComponent(), button);
  const gdi::TPoint expected = button->ClientToScreen({0, 67});
  EXPECT_EQ(menu->PopupPoint().X, expected.X);
  EXPECT_EQ(menu->PopupPoint().Y, expected.Y);
  Release(40, 40);
  EXPECT_EQ(log, "D md U mu click ") << "the real release finds nothing to do";
}

TEST_F(ButtonTest, AcceleratorClicksOnlyWhenEnabled) {
  button->SetCaption("&Go");
  EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'G'), 1);
  EXPECT_EQ(log, "click ");
  EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'x'), 0);
  button->SetEnabled(false);
  EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'G'), 0);
  EXPECT_EQ(log, "click ");
}

TEST_F(ButtonTest, EnterAndLeaveAreToldOnlyWhenEnabled) {
  button->OnMouseEnter = TNotifyEvent([this](TObject* s) {
    EXPECT_EQ(s, button);
    log += "enter ";
  });
  button->OnMouseExit = TNotifyEvent([this](TObject*) { log += "exit "; });
  Move(40, 40);
  EXPECT_TRUE(button->MouseInside());
  Move(150, 100);
  EXPECT_EQ(log, "enter exit ") << "bsDark redraws nothing for hover";
  button->SetEnabled(false);
  Move(40, 40);
  Move(150, 100);
  EXPECT_EQ(log, "enter exit ");
}

TEST_F(ButtonTest, DisablingWhilePressedForgetsThePress) {
  Press(40, 40);
  button->SetEnabled(false);
  EXPECT_EQ(button->ButtonState(), bsUp);
  EXPECT_FALSE(button->Tracking());
  EXPECT_FALSE(button->PressedInside());
  Release(40, 40);
  EXPECT_EQ(log, "D md ") << "no release handling, no click";
}

TEST_F(ButtonTest, ScalingScalesTheMargins) {
  button->SetMarginLeft(3);
  button->SetMarginBottom(-5);
  button->ChangeScale(3, 2);
  EXPECT_EQ(button->MarginLeft(), 4);
  EXPECT_EQ(button->MarginBottom(), -7) << "truncated toward zero";
  EXPECT_EQ(button->Width(), 131) << "the framework rounds the size";
}

// ---- pixels ---------------------------------------------------------------------------

TEST_F(ButtonTest, MainWindowCaseFramesAndGlyph) {
  EXPECT_EQ(At(10, 10), kFace) << "rest: top-left in clBtnFace";
  EXPECT_EQ(At(96, 74), kDkShadow) << "bottom-right in cl3DDkShadow";
  EXPECT_EQ(At(15, 15), kRed) << "glyph at (0, 0)";
  EXPECT_EQ(At(14, 14), kFace) << "the ground is transparent: the form shows";
  Press(40, 40);
  EXPECT_EQ(At(10, 10), kDkShadow);
  EXPECT_EQ(At(96, 74), kFace);
  EXPECT_EQ(At(15, 15), kFace) << "moved one pixel right and down";
  EXPECT_EQ(At(16, 16), kRed);
  Release(40, 40);
  EXPECT_EQ(At(15, 15), kRed);
}

TEST_F(ButtonTest, FaceSwitchIsOnTheSurfaceAtOnce) {
  button->SetBitmapIndex(1);
  EXPECT_EQ(At(15, 15), 0x00FF00u);
  button->SetBitmapIndex(0);
  EXPECT_EQ(At(15, 15), kRed);
}

TEST_F(ButtonTest, ExplorerStyleGreyUntilTheMouseComes) {
  button->SetButtonStyle(bsExplorer);
  form->Update();
  EXPECT_EQ(At(15, 15), 0x1C1C1Cu) << "the grey copy of red (11, 59, 30)";
  EXPECT_EQ(At(10, 40), 0x232323u)
      << "the grey copy's ground is grey too: it no longer matches the transparent colour";
  Move(40, 40);
  EXPECT_EQ(At(15, 15), kRed);
  EXPECT_EQ(At(10, 40), kWhite) << "raised: highlight left";
  EXPECT_EQ(At(96, 40), kShadow);
  Press(40, 40);
  EXPECT_EQ(At(10, 40), kShadow) << "sunken while pressed";
  EXPECT_EQ(At(96, 40), kWhite);
  Release(40, 40);
  Move(150, 100);
  EXPECT_EQ(At(15, 15), 0x1C1C1Cu);
}

TEST_F(ButtonTest, DisabledDrawsTheDisabledCopy) {
  button->SetEnabled(false);
  EXPECT_EQ(At(15, 15), kShadow) << "the glyph's shape in clBtnShadow";
}

struct StyleCase {
  TMMButtonStyle style;
  gdi::COLORREF upLeft[2], upRight[2], downLeft[2], downRight[2];
};

// A 20 x 20 button without glyph, filled red, BorderWidth 2: the two
// outermost columns on each side, at rest and pressed.
TEST_F(ButtonTest, EveryStyleFramesUpAndDown) {
  const StyleCase cases[] = {
      {bsRegular, {kWhite, kWhite}, {kBlack, kBlack}, {kBlack, kBlack}, {kWhite, kWhite}},
      {bsIndent, {kShadow, kShadow}, {kWhite, kWhite}, {kBlack, kBlack}, {kWhite, kWhite}},
      {bsLight, {kWhite, kRed}, {kShadow, kRed}, {kShadow, kRed}, {kWhite, kRed}},
      {bsDark, {kFace, kRed}, {kDkShadow, kRed}, {kDkShadow, kRed}, {kFace, kRed}},
      {bsMono, {kWhite, kRed}, {kDkShadow, kRed}, {kDkShadow, kRed}, {kWhite, kRed}},
      {bsExplorer, {kRed, kRed}, {kRed, kRed}, {kShadow, kShadow}, {kWhite, kWhite}},
      {bsHighLight, {kRed, kRed}, {kRed, kRed}, {kRed, kRed}, {kRed, kRed}},
      {bsNone, {kRed, kRed}, {kRed, kRed}, {kRed, kRed}, {kRed, kRed}},
  };
  auto* b = new TMMBitmapButton(form);
  b->SetParent(form);
  b->SetBounds(120, 10, 20, 20);
  b->SetTransparent(false);
  b->SetColor(clRed);
  b->SetBorderWidth(2);
  for (const StyleCase& c : cases) {
    b->SetDown(false);
    b->SetButtonStyle(c.style);
    b->Repaint();
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(At(120 + i, 20), c.upLeft[i]) << "style " << c.style << " up, left column " << i;
      EXPECT_EQ(At(139 - i, 20), c.upRight[i]) << "style " << c.style << " up, right column " << i;
    }
    b->SetDown(true);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(At(120 + i, 20), c.downLeft[i]) << "style " << c.style << " down, left column " << i;
      EXPECT_EQ(At(139 - i, 20), c.downRight[i]) << "style " << c.style << " down, right column " << i;
    }
  }
}

// A 14 x 12 button without glyph, filled red, its frame drawn by a pen alone:
// a BorderWidth 3 ground held down without ShowPressed (a 3-pixel pen round
// the rectangle from (1, 1), its corners joined round), and the design-time
// dotted outline. '#' is the pen, 'o' the button's colour, '.' the form.
TEST_F(ButtonTest, PenFramesArePixelForPixelTheClassicOnes) {
  struct Case {
    const char* what;
    TMMButtonStyle style;
    bool designing;
    const char* rows[12];
  };
  const Case cases[] = {
      {"bsRegular, BorderWidth 3, held down",
       bsRegular,
       false,
       {".#############", "##############", "##############", "###ooooooooo##", "###ooooooooo##",
        "###ooooooooo##", "###ooooooooo##", "###ooooooooo##", "###ooooooooo##", "###ooooooooo##",
        "##############", "##############"}},
      {"design-time outline",
       bsNone,
       true,
       {"##ooo###ooo###", "#ooooooooooooo", "oooooooooooooo", "oooooooooooooo", "ooooooooooooo#",
        "#oooooooooooo#", "#oooooooooooo#", "#ooooooooooooo", "oooooooooooooo", "oooooooooooooo",
        "ooooooooooooo#", "###ooo###ooo##"}},
  };
  auto* b = new TMMBitmapButton(form);
  b->SetParent(form);
  b->SetBounds(150, 10, 14, 12);
  b->SetTransparent(false);
  b->SetColor(clRed);
  b->SetDesignColor(clBlack);
  b->SetBorderWidth(3);
  b->SetShowPressed(false);
  for (const Case& c : cases) {
    b->SetButtonStyle(c.style);
    b->SetDown(!c.designing);
    b->SetDesigning(c.designing);
    b->Repaint();
    for (int y = 0; y < 12; ++y) {
      std::string row;
      for (int x = 0; x < 14; ++x) {
        const gdi::COLORREF pixel = At(150 + x, 10 + y);
        row += pixel == kBlack ? '#' : pixel == kRed ? 'o' : pixel == kFace ? '.' : '?';
      }
      EXPECT_EQ(row, c.rows[y]) << c.what << ", row " << y;
    }
  }
}

// ---- glyph guessing, setters ------------------------------------------------------------

TEST_F(ButtonTest, NumberOfGlyphsIsGuessedFromTheShape) {
  list->Add(Face(48, 24).get());
  list->Add(Face(240, 24).get());
  button->SetBitmapIndex(0);
  EXPECT_EQ(button->NumGlyphs(), 1);
  button->SetBitmapIndex(2);
  EXPECT_EQ(button->NumGlyphs(), 2);
  button->SetNumGlyphs(1);
  button->SetBitmapIndex(3);
  EXPECT_EQ(button->NumGlyphs(), 4);
  button->SetBitmapIndex(2);
  EXPECT_EQ(button->NumGlyphs(), 4) << "never guessed back down";
}

TEST_F(ButtonTest, SettersKeepTheirBounds) {
  button->SetNumGlyphs(0);
  EXPECT_EQ(button->NumGlyphs(), 1);
  button->SetDownIndentHoriz(-3);
  EXPECT_EQ(button->DownIndentHoriz(), 0);
  button->SetDownIndentVert(4);
  EXPECT_EQ(button->DownIndentVert(), 4);
}

TEST_F(ButtonTest, AHandlerChoosesTheGlyphAndAnIndexOutsideDrawsNothing) {
  int asked = 0;
  button->OnGetGlyphIndex = TMMGetGylphIndex([&](TObject* sender, bool isDown, int& index) {
    EXPECT_EQ(sender, button);
    EXPECT_FALSE(isDown);
    ++asked;
    index = 40;
  });
  button->Repaint();
  EXPECT_GT(asked, 0);
  EXPECT_EQ(At(15, 15), kFace) << "slot 40 lies outside the strip";
}

TEST_F(ButtonTest, ABorrowedStripIsLetGoWhenTheListFreesIt) {
  list->Add(Face(48, 24).get());
  button->SetBitmapIndex(2);
  ASSERT_EQ(button->NumGlyphs(), 2);
  ASSERT_FALSE(button->OwnsGlyphStrip());
  ASSERT_EQ(button->GlyphStrip(), list->Get(2));
  list->Delete(2);  // the strip's bitmap is freed; the list reports the change
  EXPECT_EQ(button->GlyphStrip(), nullptr);
  button->Repaint();  // draws nothing from freed memory (the sanitizer build checks)
  list->Add(Face(48, 24).get());
  EXPECT_EQ(button->GlyphStrip(), list->Get(2)) << "the new bitmap is taken up";
}

TEST_F(ButtonTest, AZeroWidthBitmapGuessesNothingAndDrawsNothing) {
  auto empty = std::make_unique<TBitmap>();
  empty->SetPixelFormat(pf32bit);
  empty->SetSize(0, 10);
  list->Add(empty.get());
  button->SetBitmapIndex(2);
  EXPECT_EQ(button->NumGlyphs(), 1);
  button->Repaint();
  EXPECT_EQ(At(15, 15), kFace);
}

// ---- double buffer and cache -----------------------------------------------------------

TEST_F(ButtonTest, QuickRedrawUsesTheBackgroundOfTheLastPaint) {
  ASSERT_NE(button->BufferBitmap(), nullptr);
  EXPECT_EQ(button->BufferBitmap()->Width(), 87);
  EXPECT_EQ(button->BufferBitmap()->Height(), 130);
  // Something paints over the ground at (30, 30) outside a full paint.
  gdi::HDC dc = gdi::GetDC(form->Handle());
  gdi::SetPixel(dc, 30, 30, 0x00FF00FF);
  gdi::ReleaseDC(form->Handle(), dc);
  Press(40, 40);
  EXPECT_EQ(At(31, 31), kFace) << "the kept background, not what was on the screen";
  EXPECT_EQ(At(30, 30), kFace);

  button->SetBounds(10, 10, 60, 50);
  EXPECT_EQ(button->BufferBitmap()->Width(), 60);
  EXPECT_EQ(button->BufferBitmap()->Height(), 100);
  button->SetDoubleBuffer(false);
  EXPECT_EQ(button->BufferBitmap(), nullptr);
}

TEST_F(ButtonTest, ACachedButtonPaintsByOneCopy) {
  button->SetCacheBtn(true);
  button->Repaint();
  EXPECT_FALSE(button->FNeedsCacheRefresh());
  // A mark in the cache reaches the screen: the next paint only copies.
  TCanvas* cache = button->CacheBitmap()->Canvas();
  cache->SetPixel(7, 7, static_cast<TColor>(0x00FF00FF));
  button->CacheBitmap()->FreeCanvasHandle();
  button->Repaint();
  EXPECT_EQ(At(17, 17), 0xFF00FFu);
  button->SetSpacing(5);
  EXPECT_TRUE(button->FNeedsCacheRefresh());
  button->Repaint();
  EXPECT_EQ(At(17, 17), kRed) << "a changed setting paints afresh";
}

// ---- colour from the parent -------------------------------------------------------------

TEST_F(ButtonTest, AnOpaqueButtonIsFilledWithItsParentsColour) {
  form->SetColor(clLime);
  auto* plain = new TMMBitmapButton(form);
  plain->SetParent(form);
  plain->SetBounds(120, 10, 30, 30);
  plain->SetTransparent(false);
  form->Update();
  EXPECT_TRUE(plain->ParentColor());
  EXPECT_EQ(plain->Color(), clLime);
  EXPECT_EQ(At(135, 25), 0x00FF00u);
  form->SetColor(clBlue);
  form->Update();
  EXPECT_EQ(At(135, 25), 0xFF0000u) << "the parent's new colour follows";
}

// A description that leaves ParentColor out means true; writing leaves the
// default out and writes the other value.
TEST_F(ButtonTest, ParentColorIsTrueUnlessTheDescriptionSaysOtherwise) {
  RegisterClass(TMMBitmapButton::StaticClass());
  struct Case {
    const char* lines;
    bool parentColor;
    TColor color;
    const char* written;  // what writing it back holds, or null for nothing about colour
  };
  for (const Case& c : {Case{"", true, clLime, nullptr},
                        Case{"ParentColor = False\n", false, clWindow, "ParentColor = False"},
                        Case{"Color = clRed\n", false, clRed, "Color = clRed"}}) {
    const std::string source = std::string(
                                   "object Holder: TForm\n  Color = clLime\n"
                                   "  object Camera: TMMBitmapButton\n") +
                               c.lines + "  end\nend\n";
    TMemoryStream text, binary;
    text.Write(source.data(), static_cast<std::int64_t>(source.size()));
    text.SetPosition(0);
    ObjectTextToBinary(text, binary);
    binary.SetPosition(0);
    TComponent owner(nullptr);
    auto* holder = new TForm(&owner);
    ReadComponent(binary, holder);
    auto* camera = dynamic_cast<TMMBitmapButton*>(holder->FindComponent("Camera"));
    ASSERT_NE(camera, nullptr) << c.lines;
    EXPECT_EQ(camera->ParentColor(), c.parentColor) << c.lines;
    EXPECT_EQ(camera->Color(), c.color) << c.lines;

    TMemoryStream again, againText;
    WriteComponent(again, holder);
    again.SetPosition(0);
    ObjectBinaryToText(again, againText);
    const std::string written(againText.Bytes().begin(), againText.Bytes().end());
    const std::string block = written.substr(written.find("object Camera"));
    if (c.written)
      EXPECT_NE(block.find(c.written), std::string::npos) << block;
    else
      EXPECT_EQ(block.find("Color"), std::string::npos) << block;
  }
}

}  // namespace
}  // namespace controls
