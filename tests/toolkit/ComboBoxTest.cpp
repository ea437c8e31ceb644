// The editable drop-down combo box: the edit field, the entries, the list.
#include <gtest/gtest.h>

#include "tests/toolkit/StdCtrlTestSupport.h"

namespace toolkit::stdtest {
namespace {

// The port list of the main window: 167 × 21 at (42, 72); the field is
// (44, 74)-(191, 91), the arrow (191, 74)-(207, 91); the list opens at y 93.
class StdComboBoxTest : public StdCtrlTest {
 protected:
  void SetUp() override {
    StdCtrlTest::SetUp();
    combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(42, 72, 167, 21);
    combo->SetText("");
    for (const char* item : {"Alpha", "Beta", "Gamma"}) combo->Items()->Add(item);
    combo->OnChange = TNotifyEvent([this](TObject*) { ++changes; });
    combo->OnClick = TNotifyEvent([this](TObject*) { ++clicks; });
  }
  void FocusByClick() { Click(60, 82); }
  void ClickArrow() { Click(199, 82); }
  static int EntryY(int row) { return 94 + 13 * row + 6; }
  void Fill(int count) {
    combo->Items()->Clear();
    for (int i = 0; i < count; ++i) combo->Items()->Add("Item " + std::to_string(100 + i));
  }
  TButton* MakeButton(int left, int* counter) {
    auto* b = new TButton(form);
    b->SetParent(form);
    b->SetBounds(left, 150, 60, 21);
    b->OnClick = TNotifyEvent([counter](TObject*) { ++*counter; });
    return b;
  }

  TComboBox* combo = nullptr;
  int changes = 0, clicks = 0;
};

// ---- the edit field ------------------------------------------------------------------------

TEST_F(StdComboBoxTest, TypingInsertsAtTheCaretAndReportsEachChange) {
  FocusByClick();
  EXPECT_TRUE(combo->Focused());
  TypeKeys("abc");
  EXPECT_EQ(combo->Text(), "abc");
  EXPECT_EQ(combo->CaretPos(), 3);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(StdComboBoxTest, BackspaceDeleteHomeEndLeftRight) {
  FocusByClick();
  TypeKeys("hello");
  Key(VK_HOME);
  EXPECT_EQ(combo->CaretPos(), 0);
  Key(VK_DELETE);
  EXPECT_EQ(combo->Text(), "ello");
  Key(VK_END);
  EXPECT_EQ(combo->CaretPos(), 4);
  Key(VK_BACK);
  EXPECT_EQ(combo->Text(), "ell");
  Key(VK_LEFT);
  EXPECT_EQ(combo->CaretPos(), 2);
  TypeKeys("X");
  EXPECT_EQ(combo->Text(), "elXl");
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(combo->CaretPos(), 4);
  // At the ends there is nothing to delete.
  Key(VK_DELETE);
  Key(VK_HOME);
  Key(VK_BACK);
  EXPECT_EQ(combo->Text(), "elXl");
  EXPECT_EQ(changes, 5 + 2 + 1);
}

TEST_F(StdComboBoxTest, ShiftExtendsTheSelectionWhichTypingReplaces) {
  FocusByClick();
  TypeKeys("hello world");
  Key(VK_HOME);
  for (int i = 0; i < 5; ++i) Key(VK_RIGHT, platform::kShift);
  EXPECT_EQ(combo->SelStart(), 0);
  EXPECT_EQ(combo->SelText(), "hello");
  TypeKeys("J");
  EXPECT_EQ(combo->Text(), "J world");
  EXPECT_EQ(combo->SelLength(), 0);
  Key(VK_END, platform::kShift);
  EXPECT_EQ(combo->SelText(), " world");
  Key(VK_LEFT);  // collapses to the selection's start
  EXPECT_EQ(combo->CaretPos(), 1);
  EXPECT_EQ(combo->SelLength(), 0);
  Key(VK_END, platform::kShift);
  Key(VK_DELETE);
  EXPECT_EQ(combo->Text(), "J");
  TypeKeys("ab cd");
  Key(VK_LEFT, platform::kCtrl);
  EXPECT_EQ(combo->CaretPos(), 4);
  Key(VK_HOME, platform::kShift);
  Key(VK_BACK);
  EXPECT_EQ(combo->Text(), "cd");
}

TEST_F(StdComboBoxTest, ClipboardCutCopyAndPaste) {
  FocusByClick();
  TypeKeys("copy me");
  Key(VK_HOME, platform::kShift);
  Key('C', platform::kCtrl);
  EXPECT_EQ(backend_->ClipboardText(), "copy me");
  EXPECT_EQ(combo->Text(), "copy me");
  Key(VK_END);
  Key('V', platform::kCtrl);
  EXPECT_EQ(combo->Text(), "copy mecopy me");
  Key(VK_HOME);
  for (int i = 0; i < 4; ++i) Key(VK_RIGHT, platform::kShift);
  Key('X', platform::kCtrl);
  EXPECT_EQ(backend_->ClipboardText(), "copy");
  EXPECT_EQ(combo->Text(), " mecopy me");
  // One line of what is there, also by Shift+Insert.
  backend_->SetClipboardText("one\r\ntwo");
  Key(VK_HOME);
  Key(VK_INSERT, platform::kShift);
  EXPECT_EQ(combo->Text(), "one mecopy me");
  // Nothing selected: copy leaves the clipboard alone.
  Key('C', platform::kCtrl);
  EXPECT_EQ(backend_->ClipboardText(), "one\r\ntwo");
}

// Other programs put UTF-8 there and read it back so.
TEST_F(StdComboBoxTest, TheClipboardHoldsUtf8) {
  FocusByClick();
  backend_->SetClipboardText("Caf\xC3\xA9 \xE2\x80\x93 \xD0\xB6");  // "Café – ж"
  Key('V', platform::kCtrl);
  EXPECT_EQ(combo->Text(), "Caf\xE9 \x96 ?");
  Key(VK_HOME, platform::kShift);
  Key('C', platform::kCtrl);
  EXPECT_EQ(backend_->ClipboardText(), "Caf\xC3\xA9 \xE2\x80\x93 ?");
}

TEST_F(StdComboBoxTest, MaxLengthLimitsWhatIsTyped) {
  combo->SetMaxLength(4);
  FocusByClick();
  TypeKeys("abcdef");
  EXPECT_EQ(combo->Text(), "abcd");
  EXPECT_EQ(changes, 4);
}

TEST_F(StdComboBoxTest, FocusByTabSelectsAllByClickPlacesTheCaret) {
  combo->SetText("Beta");
  int unused = 0;
  TButton* before = MakeButton(10, &unused);
  before->SetTabOrder(0);
  combo->SetTabOrder(1);
  before->SetFocus();
  Key(VK_TAB);
  EXPECT_TRUE(combo->Focused());
  EXPECT_EQ(combo->SelStart(), 0);
  EXPECT_EQ(combo->SelLength(), 4);
  TypeKeys("z");
  EXPECT_EQ(combo->Text(), "z");

  before->SetFocus();
  Click(44 + 2 + 1, 82);  // before the first letter
  EXPECT_TRUE(combo->Focused());
  EXPECT_EQ(combo->SelLength(), 0);
  EXPECT_EQ(combo->CaretPos(), 0);
}

TEST_F(StdComboBoxTest, TheMouseSetsTheCaretAndDragsASelection) {
  combo->SetText("abcdefgh");
  Click(180, 82);
  EXPECT_EQ(combo->CaretPos(), 8);  // right of the text: its end
  Press(46, 82);
  Drag(180, 82);
  Release(180, 82);
  EXPECT_EQ(combo->SelStart(), 0);
  EXPECT_EQ(combo->SelLength(), 8);
  Click(180, 82);
  Press(46, 82, 1, platform::kShift);
  Release(46, 82);
  EXPECT_EQ(combo->SelLength(), 8);
}

TEST_F(StdComboBoxTest, LooksSunkenWhiteWithAnArrowButtonCaretAndSelection) {
  combo->SetText("Alpha");
  Paint();
  EXPECT_EQ(Pixel(42, 72), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(43, 73), Rgb(cl3DDkShadow));
  EXPECT_EQ(Pixel(208, 92), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(207, 91), Rgb(cl3DLight));
  EXPECT_EQ(Pixel(45, 75), Rgb(clWindow));
  EXPECT_GT(Count({44, 74, 191, 91}, Rgb(clWindowText)), 20);
  // The arrow: a raised button with a black triangle in its middle.
  EXPECT_EQ(Pixel(191, 74), Rgb(cl3DLight));
  EXPECT_EQ(Pixel(192, 75), Rgb(clBtnHighlight));
  EXPECT_EQ(Count({191, 74, 207, 91}, Rgb(clBtnText)), 7 + 5 + 3 + 1);
  EXPECT_EQ(Count({44, 74, 191, 91}, Rgb(clHighlight)), 0);

  combo->SetFocus();
  combo->SelectAll();
  Paint();
  EXPECT_GT(Count({44, 74, 191, 91}, Rgb(clHighlight)), 50);
  // The letters are in the highlight's text colour; black is the caret's.
  EXPECT_EQ(Count({44, 74, 191, 91}, Rgb(clWindowText)), 13);
  // Unselected, only the caret: a one-pixel line.
  Key(VK_END);
  Paint();
  EXPECT_EQ(Count({44, 74, 191, 91}, Rgb(clHighlight)), 0);
  const int caretX = combo->Left() + combo->FieldRect().Left + 2 +
                     CalcRect(*combo->Font(), "Alpha", gdi::DT_NOPREFIX).Width();
  EXPECT_EQ(Count({caretX, 74, caretX + 1, 91}, Rgb(clWindowText)), 13);
}

// ---- entries and index ------------------------------------------------------------------------

TEST_F(StdComboBoxTest, UpAndDownChooseThePreviousOrNextEntry) {
  FocusByClick();
  Key(VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->Text(), "Alpha");
  EXPECT_EQ(combo->SelLength(), 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(combo->Text(), "Gamma");
  // At the end: nothing moves, nothing is reported.
  Key(VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(clicks, 3);
  Key(VK_UP);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "Beta");
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(clicks, 4);
  EXPECT_EQ(changes, 4);
}

TEST_F(StdComboBoxTest, OnSelectIsReportedInsteadOfOnChangeWhenSet) {
  int selects = 0;
  combo->OnSelect = TNotifyEvent([&selects](TObject*) { ++selects; });
  FocusByClick();
  Key(VK_DOWN);
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 0);
}

TEST_F(StdComboBoxTest, TextEqualToAnEntryInAnyCaseSelectsItAnyOtherTextNone) {
  combo->SetItemIndex(1);
  FocusByClick();
  Key(VK_END);
  Key(VK_HOME, platform::kShift);
  TypeKeys("gamma");
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "gamma");
  TypeKeys("x");
  EXPECT_EQ(combo->ItemIndex(), -1);
  Key(VK_BACK);
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetText("ALPHA");
  EXPECT_EQ(combo->ItemIndex(), 0);
  combo->SetText("Alph");
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(StdComboBoxTest, ItemIndexPutsTheEntryInTheFieldMinusOneEmptiesIt) {
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->Text(), "Gamma");
  combo->SetItemIndex(7);  // outside: no effect
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "Gamma");
  combo->SetItemIndex(-1);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_EQ(changes + clicks, 0);
  // An entry going away takes the index with it.
  combo->SetItemIndex(2);
  combo->Items()->Delete(2);
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(StdComboBoxTest, ClearEmptiesTheEntriesAndTheField) {
  combo->SetItemIndex(1);
  combo->Clear();
  EXPECT_EQ(combo->Items()->Count(), 0);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_EQ(combo->ItemIndex(), -1);
  // Choosing the first of no entries stays at none.
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  // The fill of the main window: clear, add, choose the first.
  combo->Items()->Add("Port A");
  combo->Items()->Add("Port B");
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Text(), "Port A");
}

// ---- the list ------------------------------------------------------------------------------------

TEST_F(StdComboBoxTest, AClickOnTheArrowOpensTheListUnderTheFieldAndAgainClosesIt) {
  ClickArrow();
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_TRUE(combo->Focused());
  ASSERT_EQ(form->PopupCount(), 1);
  TComboBoxList* list = combo->DropList();
  EXPECT_EQ(form->Popups(0), list);
  EXPECT_EQ(list->BoundsRect(), (gdi::TRect{42, 93, 209, 93 + 3 * 13 + 2}));
  EXPECT_FALSE(list->HasScrollBar());
  // On the window, over what was there: a black frame, white entries.
  EXPECT_EQ(Shown(42, 93), Rgb(clWindowFrame));
  EXPECT_EQ(Shown(100, 133), Rgb(clWindowFrame));
  EXPECT_EQ(Shown(100, 95), Rgb(clWindow));
  EXPECT_EQ(Pixel(100, 95), Rgb(clBtnFace));  // the form itself is untouched

  ClickArrow();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(form->PopupCount(), 0);
  EXPECT_EQ(Shown(100, 95), Rgb(clBtnFace));
  EXPECT_EQ(clicks + changes, 0);
}

TEST_F(StdComboBoxTest, AltDownF4AndAltUpOpenAndClose) {
  combo->SetFocus();
  Key(VK_DOWN, platform::kAlt);
  EXPECT_TRUE(combo->DroppedDown());
  Key(VK_F4);
  EXPECT_FALSE(combo->DroppedDown());
  Key(VK_F4);
  EXPECT_TRUE(combo->DroppedDown());
  Key(VK_UP, platform::kAlt);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(StdComboBoxTest, AtMostEightEntriesHighWithAScrollBarBeyond) {
  Fill(20);
  combo->SetFocus();
  Key(VK_DOWN, platform::kAlt);
  TComboBoxList* list = combo->DropList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Height(), 8 * 13 + 2);
  EXPECT_EQ(list->Rows(), 8);
  ASSERT_TRUE(list->HasScrollBar());
  EXPECT_EQ(list->ScrollBarRect(), (gdi::TRect{167 - 17, 1, 166, 8 * 13 + 1}));
  // The scroll bar is drawn: its up arrow's face and the thumb at the top.
  EXPECT_EQ(Shown(42 + 150 + 2, 93 + 2), Rgb(clBtnHighlight));
  EXPECT_EQ(list->ThumbRect().Top, 1 + 16);

  // The highlight walks down and the entries scroll along.
  for (int i = 0; i < 10; ++i) Key(VK_DOWN);
  EXPECT_EQ(list->HotIndex(), 9);
  EXPECT_EQ(list->TopIndex(), 2);
  EXPECT_GT(list->ThumbRect().Top, 1 + 16);
  // A click on the down arrow scrolls one further, and the list stays.
  Click(42 + 158, 93 + 8 * 13 - 4);
  EXPECT_EQ(list->TopIndex(), 3);
  EXPECT_TRUE(combo->DroppedDown());
  Key(VK_RETURN);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 9);
  EXPECT_EQ(combo->Text(), "Item 109");

  // Fewer entries, a shorter list without a scroll bar.
  Fill(5);
  Key(VK_F4);
  EXPECT_EQ(combo->DropList()->Height(), 5 * 13 + 2);
  EXPECT_FALSE(combo->DropList()->HasScrollBar());
}

TEST_F(StdComboBoxTest, AClickOnAnEntryTakesItAndCloses) {
  ClickArrow();
  Move(100, EntryY(2));
  EXPECT_EQ(combo->DropList()->HotIndex(), 2);
  // The entry under the pointer is highlighted on the window.
  EXPECT_EQ(Shown(100, 94 + 26), Rgb(clHighlight));
  Click(100, EntryY(2));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "Gamma");
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);
}

TEST_F(StdComboBoxTest, PressOnTheArrowDragOntoAnEntryAndReleaseTakesIt) {
  Press(199, 82);
  EXPECT_TRUE(combo->DroppedDown());
  Drag(120, EntryY(0));
  Drag(120, EntryY(1));
  Release(120, EntryY(1));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "Beta");
}

TEST_F(StdComboBoxTest, DownAndEnterTakeAnEntryNotTheDefaultButton) {
  int defaults = 0;
  MakeButton(200, &defaults)->SetDefault(true);
  combo->SetFocus();
  Key(VK_DOWN, platform::kAlt);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), -1);  // only highlighted while the list is down
  Key(VK_RETURN);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "Beta");
  EXPECT_EQ(defaults, 0);
  // With the list up, Enter is the dialog's again.
  Key(VK_RETURN);
  EXPECT_EQ(defaults, 1);
}

TEST_F(StdComboBoxTest, EscapeOrAClickElsewhereClosesWithoutChange) {
  int cancels = 0, scans = 0;
  MakeButton(200, &cancels)->SetCancel(true);
  TButton* scan = MakeButton(100, &scans);
  combo->SetItemIndex(0);
  combo->SetFocus();
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->Text(), "Alpha");
  EXPECT_EQ(cancels, 0);

  ClickArrow();
  Move(100, EntryY(2));
  Click(scan->Left() + 5, scan->Top() + 5);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(scans, 0);  // the press closed the list, nothing else
  EXPECT_EQ(clicks + changes, 0);
  EXPECT_TRUE(combo->Focused());
  // Now the button is free to be clicked.
  Click(scan->Left() + 5, scan->Top() + 5);
  EXPECT_EQ(scans, 1);
}

TEST_F(StdComboBoxTest, TheListClosesWhenTheFocusGoes) {
  int unused = 0;
  TButton* other = MakeButton(10, &unused);
  combo->SetFocus();
  Key(VK_F4);
  other->SetFocus();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(form->PopupCount(), 0);
  EXPECT_EQ(form->CaptureControl(), nullptr);
}

TEST_F(StdComboBoxTest, TheListOpensAboveWhenThereIsNoRoomBelow) {
  combo->SetTop(190);
  combo->SetFocus();
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->DropList()->BoundsRect(), (gdi::TRect{42, 190 - 41, 209, 190}));
}

TEST_F(StdComboBoxTest, ADropDownListOpensOnAnyClickAndJumpsByFirstLetter) {
  combo->SetStyle(csDropDownList);
  combo->SetFocus();
  TypeKeys("g");
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "Gamma");
  TypeKeys("a");
  EXPECT_EQ(combo->ItemIndex(), 0);
  Click(60, 82);
  EXPECT_TRUE(combo->DroppedDown());
  Click(100, EntryY(1));
  EXPECT_EQ(combo->Text(), "Beta");
}

TEST_F(StdComboBoxTest, FreeingTheComboBoxWhileDroppedTakesTheListOffTheForm) {
  combo->SetFocus();
  Key(VK_F4);
  ASSERT_EQ(form->PopupCount(), 1);
  delete combo;
  EXPECT_EQ(form->PopupCount(), 0);
  EXPECT_EQ(form->CaptureControl(), nullptr);
  Click(100, EntryY(1));  // nothing there any more
}

}  // namespace
}  // namespace toolkit::stdtest
