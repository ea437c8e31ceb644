// Drag and drop through real mouse and key events on the headless backend.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/ControlTestSupport.h"

namespace toolkit::controltest {
namespace {

const char* StateName(TDragState state) {
  switch (state) {
    case dsDragEnter: return "enter";
    case dsDragLeave: return "leave";
    default: return "move";
  }
}

// A source at (0, 0) and a target at (100, 0), both 40 x 40, on one form;
// every drag event goes to `drags` as "<control>.<event> ...".
class DragDrop : public HeadlessTest {
 public:
  void PressEscape() { KeyDown(VK_ESCAPE); }
  void PressRight() { Send(MouseEvent(EventType::MouseDown, 110, 10, platform::MouseButton::Right)); }

 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(200, 100);
    source = new TProbe(form, form, "src", &log_);
    source->SetBounds(0, 0, 40, 40);
    source->SetDragMode(dmAutomatic);
    target = new TProbe(form, form, "dst", &log_);
    target->SetBounds(100, 0, 40, 40);
    source->OnStartDrag = TStartDragEvent([this](TObject*) { drags.push_back("src.start"); });
    source->OnEndDrag = TEndDragEvent([this](TObject*, TObject* to, int x, int y) {
      drags.push_back("src.end " + (to ? static_cast<TComponent*>(to)->Name() : std::string("none")) + " " +
                      Point(x, y));
    });
    target->OnDragOver =
        TDragOverEvent([this](TObject*, TObject* from, int x, int y, TDragState state, bool& accept) {
          drags.push_back(std::string("dst.over ") + StateName(state) + " " + Point(x, y));
          EXPECT_EQ(from, source);
          accept = accepts;
        });
    target->OnDragDrop = TDragDropEvent([this](TObject*, TObject* from, int x, int y) {
      drags.push_back("dst.drop " + Point(x, y));
      EXPECT_EQ(from, source);
    });
  }
  static std::string Point(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

  bool Clicked() const {
    for (const std::string& entry : log_)
      if (entry == "src.click") return true;
    return false;
  }

  TForm* form = nullptr;
  TProbe* source = nullptr;
  TProbe* target = nullptr;
  bool accepts = true;
  std::vector<std::string> drags;
};

TEST_F(DragDrop, OntoATargetThatAcceptsItIsDropped) {
  Press(10, 10);
  Drag(12, 11);  // below the threshold of 5 pixels
  EXPECT_TRUE(drags.empty());
  EXPECT_EQ(Screen->Cursor(), crDefault);
  Drag(20, 10);
  EXPECT_TRUE(source->Dragging());
  EXPECT_EQ(Screen->Cursor(), crNoDrop) << "over the source, which takes no drop";
  Drag(110, 10);
  EXPECT_EQ(Screen->Cursor(), crDrag);
  Drag(115, 12);
  Release(115, 12);
  EXPECT_EQ(drags, (std::vector<std::string>{"src.start", "dst.over enter 10,10", "dst.over move 15,12",
                                             "dst.drop 15,12", "src.end dst 15,12"}));
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_FALSE(Clicked()) << "a drag is no click";
}

TEST_F(DragDrop, OntoATargetThatRefusesItEndsWithNoTarget) {
  accepts = false;
  Press(10, 10);
  Drag(110, 10);
  EXPECT_EQ(Screen->Cursor(), crNoDrop);
  Release(110, 10);
  EXPECT_EQ(drags, (std::vector<std::string>{"src.start", "dst.over enter 10,10", "dst.over leave 10,10",
                                             "src.end none 110,10"}));
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(DragDrop, BelowTheThresholdItIsAPlainClick) {
  Press(10, 10);
  Drag(14, 13);
  Release(14, 13);
  EXPECT_TRUE(drags.empty());
  EXPECT_TRUE(Clicked());
  EXPECT_FALSE(source->Dragging());
}

TEST_F(DragDrop, EscapeOrARightPressCancels) {
  struct Case {
    const char* name;
    void (DragDrop::*cancel)();
  } const cases[] = {
      {"Escape", &DragDrop::PressEscape},
      {"right press", &DragDrop::PressRight},
  };
  for (const Case& c : cases) {
    drags.clear();
    Press(10, 10);
    Drag(110, 10);
    (this->*c.cancel)();
    EXPECT_EQ(drags, (std::vector<std::string>{"src.start", "dst.over enter 10,10", "dst.over leave 10,10",
                                               "src.end none 110,10"}))
        << c.name;
    EXPECT_FALSE(source->Dragging()) << c.name;
    Drag(120, 10);
    Send(MouseEvent(EventType::MouseUp, 120, 10));
    Send(MouseEvent(EventType::MouseUp, 120, 10, platform::MouseButton::Right));
    EXPECT_EQ(drags.size(), 4u) << c.name << ": nothing more after the cancel";
  }
}

TEST_F(DragDrop, ManualDragsStartOnlyWhenAskedAndEndDragDrops) {
  source->SetDragMode(dmManual);
  Press(10, 10);
  Drag(110, 10);
  Release(110, 10);
  EXPECT_TRUE(drags.empty());
  Move(20, 20);
  source->BeginDrag(true);
  Move(110, 20);
  source->EndDrag(true);
  EXPECT_EQ(drags, (std::vector<std::string>{"src.start", "dst.over enter 10,20", "dst.drop 10,20",
                                             "src.end dst 10,20"}));
}

}  // namespace
}  // namespace toolkit::controltest
