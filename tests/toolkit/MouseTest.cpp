// Mouse routing: which control a press, move and release go to, capture,
// click and double-click rules, enter and leave, and the context menu.
#include <gtest/gtest.h>

#include "ControlTestSupport.h"

namespace toolkit::controltest {
namespace {

class Mouse : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(200, 100);
    a = new TProbe(form, form, "a", &log);
    a->SetBounds(10, 10, 40, 30);  // 10..50 x 10..40
    b = new TProbe(form, form, "b", &log);
    b->SetBounds(100, 10, 40, 30);  // 100..140 x 10..40
    form->OnMouseDown = TMouseEvent([this](TObject*, TMouseButton, TShiftState, int x, int y) {
      log.push_back("form.down " + std::to_string(x) + "," + std::to_string(y));
    });
    log.clear();
  }
  // Only the entries that start with one of the prefixes.
  Log Only(std::initializer_list<std::string> prefixes) const {
    Log out;
    for (const std::string& entry : log)
      for (const std::string& p : prefixes)
        if (entry.rfind(p, 0) == 0) {
          out.push_back(entry);
          break;
        }
    return out;
  }

  TForm* form = nullptr;
  TProbe* a = nullptr;
  TProbe* b = nullptr;
  Log log;
};

TEST_F(Mouse, ClickIsAPressAndAReleaseInside) {
  Press(20, 20);
  Release(25, 22);
  // Enter and leave are checked after each event, so the enter follows.
  EXPECT_EQ(Only({"a."}), (Log{"a.down 10,10", "a.enter", "a.click", "a.up 15,12"}));
}

TEST_F(Mouse, CaptureKeepsMovesAndReleaseWithThePressedControl) {
  Press(20, 20);
  EXPECT_EQ(form->CaptureControl(), a);
  Move(120, 20);   // over b
  Move(-30, 150);  // outside the window
  Release(-30, 150);
  EXPECT_EQ(Only({"a.down", "a.move", "a.up", "a.click", "b.down", "b.move", "b.up"}),
            (Log{"a.down 10,10", "a.move 110,10", "a.move -40,140", "a.up -40,140"}));
  EXPECT_EQ(form->CaptureControl(), nullptr);
  // Free again: the next move goes to what is under the pointer.
  log.clear();
  Move(110, 15);
  EXPECT_EQ(Only({"a.move", "b.move"}), (Log{"b.move 10,5"}));
}

TEST_F(Mouse, ReleaseOutsideThePressedControlIsNoClick) {
  Press(20, 20);
  Release(120, 20);
  EXPECT_EQ(Only({"a.click", "b.click", "a.up", "b.up"}), (Log{"a.up 110,10"}));
}

TEST_F(Mouse, DragOutAndBackInStillClicks) {
  Press(20, 20);
  Move(150, 90);
  Move(30, 30);
  Release(30, 30);
  EXPECT_EQ(Only({"a.click"}), (Log{"a.click"}));
}

TEST_F(Mouse, WithoutCaptureStyleTheReleaseGoesToWhatIsUnderThePointer) {
  a->SetControlStyle(a->ControlStyle() & ~csCaptureMouse);
  Press(20, 20);
  EXPECT_EQ(form->CaptureControl(), nullptr);
  Release(120, 20);
  EXPECT_EQ(Only({"a.up", "b.up", "a.click", "b.click"}), (Log{"b.up 20,10"}));
}

TEST_F(Mouse, CaptureLastsUntilEveryButtonIsUp) {
  Press(20, 20);
  Send(MouseEvent(EventType::MouseDown, 120, 20, platform::MouseButton::Right));
  Send(MouseEvent(EventType::MouseUp, 120, 20));  // left up, right still held
  EXPECT_EQ(form->CaptureControl(), a);
  Send(MouseEvent(EventType::MouseUp, 120, 20, platform::MouseButton::Right));
  EXPECT_EQ(form->CaptureControl(), nullptr);
  EXPECT_EQ(Only({"a.downR", "a.upR", "b.down", "b.up"}), (Log{"a.downR 110,10", "a.upR 110,10"}));
}

TEST_F(Mouse, SecondPressOfADoubleClickIsAnOrdinaryPressWithoutDoubleClickStyle) {
  a->SetControlStyle(a->ControlStyle() & ~csDoubleClicks);
  Press(20, 20);
  Release(20, 20);
  Press(20, 20, 2);
  Release(20, 20);
  EXPECT_EQ(Only({"a.down", "a.up", "a.click", "a.dblclick"}),
            (Log{"a.down 10,10", "a.click", "a.up 10,10", "a.down 10,10", "a.click", "a.up 10,10"}));
}

TEST_F(Mouse, DoubleClickStyleTurnsTheSecondPressIntoADoubleClick) {
  ASSERT_TRUE(a->ControlStyle() & csDoubleClicks);  // the default
  Press(20, 20);
  Release(20, 20);
  Press(20, 20, 2);
  Release(20, 20);
  EXPECT_EQ(
      Only({"a.down", "a.up", "a.click", "a.dblclick"}),
      (Log{"a.down 10,10", "a.click", "a.up 10,10", "a.down double 10,10", "a.dblclick", "a.up 10,10"}));
}

TEST_F(Mouse, EnterAndLeaveComeInPairsAsThePointerMoves) {
  Move(20, 20);
  Move(30, 25);  // still over a: nothing new
  Move(120, 20);
  Move(70, 70);  // the form itself
  LeaveWindow();
  EXPECT_EQ(Only({"a.enter", "a.leave", "b.enter", "b.leave"}),
            (Log{"a.enter", "a.leave", "b.enter", "b.leave"}));
  EXPECT_EQ(form->MouseControl(), nullptr);
}

TEST_F(Mouse, EnterAndLeaveAreTrackedDuringCapture) {
  Press(20, 20);
  Move(120, 20);
  Move(20, 20);
  Release(20, 20);
  EXPECT_EQ(Only({"a.enter", "a.leave", "b.enter", "b.leave"}),
            (Log{"a.enter", "a.leave", "b.enter", "b.leave", "a.enter"}));
}

TEST_F(Mouse, MovingOutsideTheWindowDuringCaptureLeaves) {
  Press(20, 20);
  Move(-5, 20);
  EXPECT_EQ(Only({"a.enter", "a.leave"}), (Log{"a.enter", "a.leave"}));
  EXPECT_EQ(form->MouseControl(), nullptr);
}

TEST_F(Mouse, TopmostControlTakesThePoint) {
  auto* top = new TProbe(form, form, "top", &log);
  top->SetBounds(30, 20, 40, 30);  // overlaps a
  Press(35, 25);
  EXPECT_EQ(Only({"a.down", "top.down"}), (Log{"top.down 5,5"}));
  Release(35, 25);
  log.clear();
  top->SendToBack();
  Press(35, 25);
  EXPECT_EQ(Only({"a.down", "top.down"}), (Log{"a.down 25,15"}));
}

TEST_F(Mouse, DisabledWindowlessControlIsTransparent) {
  auto* top = new TProbe(form, form, "top", &log);
  top->SetBounds(30, 20, 40, 30);
  top->SetEnabled(false);
  Press(35, 25);
  EXPECT_EQ(Only({"a.down", "top.down"}), (Log{"a.down 25,15"}));
  Release(35, 25);
  log.clear();
  Press(60, 45);  // only the disabled one is there: the form gets it
  EXPECT_EQ(Only({"top.down", "form.down"}), (Log{"form.down 60,45"}));
}

TEST_F(Mouse, HiddenControlIsNotHit) {
  a->Hide();
  Press(20, 20);
  EXPECT_EQ(Only({"a.down", "form.down"}), (Log{"form.down 20,20"}));
}

TEST_F(Mouse, WindowedControlsPassThePointToTheirChildren) {
  auto* panel = new TKeyProbe(form, form, "panel", &log);
  panel->SetBounds(60, 50, 100, 40);
  auto* inner = new TProbe(form, panel, "inner", &log);
  inner->SetBounds(10, 5, 20, 20);
  Press(75, 60);
  Release(75, 60);
  Press(150, 80);
  EXPECT_EQ(Only({"inner.down", "panel.down"}), (Log{"inner.down 5,5", "panel.down 90,30"}));
}

TEST_F(Mouse, WindowedControlsLieAboveWindowlessOnes) {
  // As on the desktop: a windowed control is a window of its own over its
  // parent, which draws the windowless ones. A picture under the whole form
  // must not swallow the clicks meant for the buttons on it.
  auto* panel = new TKeyProbe(form, form, "panel", &log);
  panel->SetBounds(0, 0, 30, 60);  // over the left part of a
  Press(20, 20);
  Release(20, 20);
  Press(40, 20);  // a, beside the panel
  EXPECT_EQ(Only({"a.down", "panel.down"}), (Log{"panel.down 20,20", "a.down 30,10"}));
}

TEST_F(Mouse, HitTestLetsAControlDeclinePoints) {
  class TRing : public TProbe {
   public:
    using TProbe::TProbe;

   protected:
    void CMHitTest(TMessage& m) override {
      const gdi::TPoint p = PointFromParam(m.LParam);
      m.Result = p.X < 5 ? 1 : 0;  // only its left edge
    }
  };
  auto* ring = new TRing(form, form, "ring", &log);
  ring->SetBounds(10, 10, 40, 30);  // on top of a
  Press(12, 12);
  Release(12, 12);
  Press(30, 20);
  EXPECT_EQ(Only({"a.down", "ring.down"}), (Log{"ring.down 2,2", "a.down 20,10"}));
}

TEST_F(Mouse, RightClickOpensThePopupMenuOfTheNearestParent) {
  auto* menu = new TPopupMenu(form);
  int popups = 0;
  menu->OnPopup = TNotifyEvent([&](TObject*) { ++popups; });
  form->SetPopupMenu(menu);
  Send(MouseEvent(EventType::MouseDown, 20, 20, platform::MouseButton::Right));
  Send(MouseEvent(EventType::MouseUp, 22, 21, platform::MouseButton::Right));
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(menu->PopupComponent(), form);
  EXPECT_EQ(menu->PopupPoint(), form->ClientToScreen({22, 21}));
  menu->SetAutoPopup(false);
  Send(MouseEvent(EventType::MouseDown, 20, 20, platform::MouseButton::Right));
  Send(MouseEvent(EventType::MouseUp, 20, 20, platform::MouseButton::Right));
  EXPECT_EQ(menu->PopupCount(), 1);
}

TEST_F(Mouse, ExplicitCaptureTakesEveryEvent) {
  b->SetMouseCapture(true);
  Press(20, 20);
  Release(20, 20);
  EXPECT_EQ(Only({"a.down", "b.down", "b.up", "b.click"}), (Log{"b.down -80,10", "b.up -80,10"}));
  // It held the capture before the press, so the release does not end it.
  b->SetControlStyle(b->ControlStyle() & ~csCaptureMouse);
  b->SetMouseCapture(true);
  Press(20, 20);
  Release(20, 20);
  EXPECT_EQ(form->CaptureControl(), b);
}

TEST_F(Mouse, FreeingTheCapturingControlFreesTheMouse) {
  Press(20, 20);
  delete a;
  EXPECT_EQ(form->CaptureControl(), nullptr);
  EXPECT_EQ(form->MouseControl(), nullptr);
  Release(120, 20);  // goes to what is there, nothing dangles
  EXPECT_EQ(Only({"b.up"}), (Log{"b.up 20,10"}));
}

}  // namespace
}  // namespace toolkit::controltest
