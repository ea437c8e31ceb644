// Keyboard routing: the order in which the form (with key preview) and the
// focused control see key-downs, characters and key-ups; Tab order;
// arrows among radio buttons; push buttons and accelerators.
#include <gtest/gtest.h>

#include "ControlTestSupport.h"

namespace toolkit::controltest {
namespace {

class Keyboard : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm();
    form->SetKeyPreview(true);
    form->OnKeyDown = TKeyEvent([this](TObject*, WORD& key, TShiftState) {
      log.push_back("form.KeyDown " + std::to_string(key));
      if (key == stopKeyDown) key = 0;
    });
    form->OnKeyPress = TKeyPressEvent([this](TObject*, char& key) {
      log.push_back("form.KeyPress " + std::to_string(static_cast<unsigned char>(key)));
      if (key == stopKeyPress) key = 0;
    });
    form->OnKeyUp = TKeyEvent(
        [this](TObject*, WORD& key, TShiftState) { log.push_back("form.KeyUp " + std::to_string(key)); });
    edit = new TKeyProbe(form, form, "edit", &log, DLGC_WANTCHARS | DLGC_WANTARROWS);
    edit->SetBounds(0, 0, 50, 20);
    other = new TKeyProbe(form, form, "other", &log);
    other->SetBounds(0, 30, 50, 20);
    edit->SetFocus();
    log.clear();
  }

  TForm* form = nullptr;
  TKeyProbe* edit = nullptr;
  TKeyProbe* other = nullptr;
  Log log;
  WORD stopKeyDown = 0xFFFF;
  char stopKeyPress = 0;  // 0 never arrives: nothing stopped
};

TEST_F(Keyboard, LetterGoesDownPressAndUpFormFirst) {
  KeyDown('A');
  Type("a");
  KeyUp('A');
  EXPECT_EQ(log, (Log{"form.KeyDown 65", "edit.KeyDown 65", "form.KeyPress 97", "edit.KeyPress 97",
                      "form.KeyUp 65", "edit.KeyUp 65"}));
}

TEST_F(Keyboard, WithoutPreviewOnlyTheControlHearsTheKey) {
  form->SetKeyPreview(false);
  KeyDown('B', platform::kShift);
  Type("B");
  KeyUp('B', platform::kShift);
  EXPECT_EQ(log, (Log{"edit.KeyDown 66", "edit.KeyPress 66", "edit.KeyUp 66"}));
}

TEST_F(Keyboard, HeldKeyRepeatsKeyDownAndCharacterThenOneKeyUp) {
  KeyDown('X');
  Type("x");
  KeyDown('X', 0, true);
  Type("x");
  KeyDown('X', 0, true);
  Type("x");
  KeyUp('X');
  Log expected;
  for (int i = 0; i < 3; ++i)
    expected.insert(expected.end(),
                    {"form.KeyDown 88", "edit.KeyDown 88", "form.KeyPress 120", "edit.KeyPress 120"});
  expected.insert(expected.end(), {"form.KeyUp 88", "edit.KeyUp 88"});
  EXPECT_EQ(log, expected);
}

TEST_F(Keyboard, ControlKeysMakeTheirCharacters) {
  KeyDown(VK_BACK);
  KeyUp(VK_BACK);
  EXPECT_EQ(log, (Log{"form.KeyDown 8", "edit.KeyDown 8", "form.KeyPress 8", "edit.KeyPress 8",
                      "form.KeyUp 8", "edit.KeyUp 8"}));
  log.clear();
  KeyDown(VK_RETURN);
  KeyUp(VK_RETURN);
  EXPECT_EQ(log, (Log{"form.KeyDown 13", "edit.KeyDown 13", "form.KeyPress 13", "edit.KeyPress 13",
                      "form.KeyUp 13", "edit.KeyUp 13"}));
  log.clear();
  KeyDown(VK_ESCAPE);
  KeyUp(VK_ESCAPE);
  EXPECT_EQ(log, (Log{"form.KeyDown 27", "edit.KeyDown 27", "form.KeyPress 27", "edit.KeyPress 27",
                      "form.KeyUp 27", "edit.KeyUp 27"}));
}

TEST_F(Keyboard, CtrlLetterMakesItsControlCharacter) {
  KeyDown(VK_CONTROL, platform::kCtrl);
  KeyDown('A', platform::kCtrl);
  KeyUp('A', platform::kCtrl);
  KeyUp(VK_CONTROL);
  EXPECT_EQ(
      log, (Log{"form.KeyDown 17", "edit.KeyDown 17", "form.KeyDown 65", "edit.KeyDown 65", "form.KeyPress 1",
                "edit.KeyPress 1", "form.KeyUp 65", "edit.KeyUp 65", "form.KeyUp 17", "edit.KeyUp 17"}));
  log.clear();
  KeyDown('Z', platform::kCtrl);
  EXPECT_EQ(log, (Log{"form.KeyDown 90", "edit.KeyDown 90", "form.KeyPress 26", "edit.KeyPress 26"}));
}

TEST_F(Keyboard, ArrowWantedByTheControlMakesNoCharacter) {
  KeyDown(VK_LEFT);
  KeyUp(VK_LEFT);
  EXPECT_EQ(log, (Log{"form.KeyDown 37", "edit.KeyDown 37", "form.KeyUp 37", "edit.KeyUp 37"}));
  EXPECT_TRUE(edit->Focused());
}

TEST_F(Keyboard, TabMovesTheFocusAndTypesNothing) {
  KeyDown(VK_TAB);
  KeyUp(VK_TAB);
  // The key-up goes to the control that has the focus by then.
  EXPECT_EQ(log, (Log{"form.KeyDown 9", "edit.Exit", "other.Enter", "form.KeyUp 9", "other.KeyUp 9"}));
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(form->ActiveControl(), other);
}

TEST_F(Keyboard, PreviewSettingKeyToZeroStopsTheKeyDownButNotItsCharacter) {
  stopKeyDown = VK_RETURN;
  KeyDown(VK_RETURN);
  EXPECT_EQ(log, (Log{"form.KeyDown 13", "form.KeyPress 13", "edit.KeyPress 13"}));
  log.clear();
  stopKeyDown = VK_TAB;
  KeyDown(VK_TAB);
  EXPECT_EQ(log, (Log{"form.KeyDown 9"}));
  EXPECT_TRUE(edit->Focused());
}

TEST_F(Keyboard, PreviewSettingKeyPressToZeroStopsTheCharacter) {
  stopKeyPress = 'q';
  Type("q");
  EXPECT_EQ(log, (Log{"form.KeyPress 113"}));
}

TEST_F(Keyboard, PreviewSettingKeyUpToZeroStopsTheKeyUp) {
  form->OnKeyUp = TKeyEvent([this](TObject*, WORD& key, TShiftState) {
    log.push_back("form.KeyUp " + std::to_string(key));
    key = 0;
  });
  KeyUp('A');
  EXPECT_EQ(log, (Log{"form.KeyUp 65"}));
}

TEST_F(Keyboard, KeysGoToTheFormWhenNothingHasTheFocus) {
  form->SetActiveControl(nullptr);
  log.clear();
  KeyDown('A');
  Type("a");
  KeyUp('A');
  // The form is the target: it hears each key once.
  EXPECT_EQ(log, (Log{"form.KeyDown 65", "form.KeyPress 97", "form.KeyUp 65"}));
}

TEST_F(Keyboard, TextBecomesWindows1252Characters) {
  Type("\xC3\xA9\xE2\x82\xAC\xE4\xB8\x80z");  // é, €, a CJK character, z
  EXPECT_EQ(log, (Log{"form.KeyPress 233", "edit.KeyPress 233", "form.KeyPress 128", "edit.KeyPress 128",
                      "form.KeyPress 63", "edit.KeyPress 63", "form.KeyPress 122", "edit.KeyPress 122"}));
}

TEST_F(Keyboard, EveryCharacterTheCodePageLacksIsOneQuestionMark) {
  const struct {
    const char* text;
    int presses;
  } cases[] = {
      {"\xD0\xB6", 1},                  // ж
      {"\xCE\xBB", 1},                  // λ
      {"\xC5\x82", 1},                  // ł
      {"\xE6\x97\xA5\xE6\x9C\xAC", 2},  // 日本
      {"\xF0\x9F\x8E\xB9", 1},          // an emoji, beyond 16 bits
      {"\x01\x7F\xC2\x81\xC2\x85", 0},  // control characters never type
  };
  for (const auto& c : cases) {
    log.clear();
    Type(c.text);
    Log expected;
    for (int i = 0; i < c.presses; ++i)
      expected.insert(expected.end(), {"form.KeyPress 63", "edit.KeyPress 63"});
    EXPECT_EQ(log, expected) << c.text;
  }
}

// ---- tab order ---------------------------------------------------------------------------

class TabOrder : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    form = MakeForm(200, 100, false);
    for (const char* name : {"a", "b", "c", "d"}) {
      auto* probe = new TKeyProbe(form, form, name, &log);
      probe->SetBounds(0, 0, 10, 10);
      probes.push_back(probe);
    }
    form->Show();
    log.clear();
  }
  std::string Focused() const { return form->ActiveControl() ? form->ActiveControl()->Name() : "form"; }
  std::string TabFrom(unsigned shift = 0) {
    KeyDown(VK_TAB, shift);
    KeyUp(VK_TAB, shift);
    return Focused();
  }

  TForm* form = nullptr;
  std::vector<TKeyProbe*> probes;
  Log log;
};

TEST_F(TabOrder, ShowingFocusesTheFirstTabStop) { EXPECT_EQ(Focused(), "a"); }

TEST_F(TabOrder, TabGoesForwardAndWraps) {
  EXPECT_EQ(TabFrom(), "b");
  EXPECT_EQ(TabFrom(), "c");
  EXPECT_EQ(TabFrom(), "d");
  EXPECT_EQ(TabFrom(), "a");
}

TEST_F(TabOrder, ShiftTabGoesBackAndWraps) {
  EXPECT_EQ(TabFrom(platform::kShift), "d");
  EXPECT_EQ(TabFrom(platform::kShift), "c");
}

TEST_F(TabOrder, FollowsTabOrderNotCreationOrder) {
  probes[3]->SetTabOrder(0);  // d a b c
  EXPECT_EQ(probes[3]->TabOrder(), 0);
  EXPECT_EQ(probes[0]->TabOrder(), 1);
  EXPECT_EQ(TabFrom(), "b");
  EXPECT_EQ(TabFrom(), "c");
  EXPECT_EQ(TabFrom(), "d");
  EXPECT_EQ(TabFrom(), "a");
}

TEST_F(TabOrder, SkipsControlsWithoutTabStopHiddenOrDisabled) {
  probes[1]->SetTabStop(false);
  probes[2]->Hide();
  EXPECT_EQ(TabFrom(), "d");
  probes[0]->SetEnabled(false);
  EXPECT_EQ(TabFrom(), "d");  // nothing else can take it
}

TEST_F(TabOrder, ChildrenOfAContainerFollowIt) {
  auto* panel = new TKeyProbe(form, form, "panel", &log);
  panel->SetTabStop(false);
  panel->SetTabOrder(1);  // a panel b c d
  auto* inner = new TKeyProbe(form, panel, "inner", &log);
  (void)inner;
  EXPECT_EQ(TabFrom(), "inner");
  EXPECT_EQ(TabFrom(), "b");
}

TEST_F(TabOrder, OutOfRangeTabOrderGoesLast) {
  probes[0]->SetTabOrder(99);
  EXPECT_EQ(probes[0]->TabOrder(), 3);
  probes[0]->SetTabOrder(-5);
  EXPECT_EQ(probes[0]->TabOrder(), 3);
}

TEST_F(TabOrder, FocusByTabSelectsAllOfAnEditField) {
  // EM_SETSEL is what an edit field selects its text by.
  class TEditLike : public TKeyProbe {
   public:
    using TKeyProbe::TKeyProbe;
    int selections = 0;

   protected:
    void WndProc(TMessage& m) override {
      if (m.Msg == EM_SETSEL && m.WParam == 0 && m.LParam == -1) ++selections;
      TKeyProbe::WndProc(m);
    }
  };
  auto* edit = new TEditLike(form, form, "edit", &log, DLGC_HASSETSEL | DLGC_WANTCHARS);
  edit->SetTabOrder(1);
  TabFrom();
  EXPECT_EQ(Focused(), "edit");
  EXPECT_EQ(edit->selections, 1);
  TabFrom();
  edit->SetFocus();
  EXPECT_EQ(edit->selections, 1);  // not by SetFocus
}

// ---- arrows, buttons, accelerators -----------------------------------------------------

TEST_F(Keyboard, ArrowsMoveAmongRadioButtonsAndCheckThem) {
  auto* r1 = new TKeyProbe(form, form, "r1", &log, DLGC_RADIOBUTTON);
  auto* r2 = new TKeyProbe(form, form, "r2", &log, DLGC_RADIOBUTTON);
  auto* r3 = new TKeyProbe(form, form, "r3", &log, DLGC_RADIOBUTTON);
  r1->SetFocus();
  r1->checked = true;
  log.clear();
  KeyDown(VK_DOWN);
  KeyUp(VK_DOWN);
  EXPECT_EQ(log, (Log{"form.KeyDown 40", "r1.Exit", "r2.Enter", "r2.Click", "form.KeyUp 40", "r2.KeyUp 40"}));
  EXPECT_TRUE(r2->checked);
  EXPECT_FALSE(r1->checked);
  KeyDown(VK_RIGHT);
  EXPECT_TRUE(r3->Focused());
  KeyDown(VK_RIGHT);  // wraps within the group; other controls are not in it
  EXPECT_TRUE(r1->Focused());
  KeyDown(VK_UP);
  EXPECT_TRUE(r3->Focused());
  EXPECT_TRUE(r3->checked);
  EXPECT_FALSE(r1->checked);
}

TEST_F(Keyboard, ArrowsStayWithAControlThatWantsThem) {
  auto* combo = new TKeyProbe(form, form, "combo", &log, DLGC_WANTARROWS | DLGC_RADIOBUTTON);
  new TKeyProbe(form, form, "r", &log, DLGC_RADIOBUTTON);
  combo->SetFocus();
  log.clear();
  KeyDown(VK_DOWN);
  EXPECT_EQ(log, (Log{"form.KeyDown 40", "combo.KeyDown 40"}));
  EXPECT_TRUE(combo->Focused());
}

TEST_F(Keyboard, EnterClicksAFocusedPushButtonAndTypesNothing) {
  auto* button = new TKeyProbe(form, form, "button", &log);
  button->clickOnEnter = true;
  button->SetFocus();
  log.clear();
  KeyDown(VK_RETURN);
  KeyUp(VK_RETURN);
  EXPECT_EQ(log, (Log{"form.KeyDown 13", "button.Click", "form.KeyUp 13", "button.KeyUp 13"}));
}

TEST_F(Keyboard, EscapeNobodyTakesReachesTheControl) {
  other->SetFocus();
  log.clear();
  KeyDown(VK_ESCAPE);
  EXPECT_EQ(log, (Log{"form.KeyDown 27", "other.KeyDown 27", "form.KeyPress 27", "other.KeyPress 27"}));
}

TEST_F(Keyboard, AltLetterIsOfferedAsAccelerator) {
  other->accelerator = "s";
  KeyDown(VK_MENU, platform::kAlt);
  KeyDown('S', platform::kAlt);
  Type("s");  // what some systems type with Alt held
  KeyUp('S', platform::kAlt);
  EXPECT_EQ(log, (Log{"form.KeyDown 18", "edit.KeyDown 18", "form.KeyDown 83", "other.Accelerator",
                      "form.KeyUp 83", "edit.KeyUp 83"}));
}

TEST_F(Keyboard, AltLetterNobodyTakesIsAKeyDownWithoutCharacter) {
  KeyDown('Q', platform::kAlt);
  Type("q");
  EXPECT_EQ(log, (Log{"form.KeyDown 81", "edit.KeyDown 81"}));
}

TEST_F(Keyboard, LetterAloneIsAnAcceleratorOnlyWhenTheControlTakesNoCharacters) {
  other->accelerator = "s";
  Type("s");  // the edit field takes characters: typed
  EXPECT_EQ(log, (Log{"form.KeyPress 115", "edit.KeyPress 115"}));
  auto* button = new TKeyProbe(form, form, "button", &log);
  button->SetFocus();
  log.clear();
  Type("s");
  Type("t");
  EXPECT_EQ(log, (Log{"other.Accelerator", "form.KeyPress 116", "button.KeyPress 116"}));
}

}  // namespace
}  // namespace toolkit::controltest
