// The screenshot command from the window: the bytes per model, the device
// it goes to, and the quiet handling of every MIDI failure.
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace platform::mm;

TEST_F(WindowTest, ATypedCharacterSendsTheTyros2SequenceAndClosesThePort) {
  SetDevices({{"Port A"}, {"Port B"}});
  TOrbiscope& w = Open();
  ASSERT_TRUE(w.RB2->Checked());
  Type("a");
  EXPECT_EQ(midi_.Sent("Port A"), Tyros2Sequence());
  EXPECT_TRUE(midi_.Sent("Port B").empty());
  EXPECT_EQ(midi_.OpenCount("Port A"), 0);
  EXPECT_EQ(w.HeldPort(), nullptr);
}

TEST_F(WindowTest, WithRB1CheckedExactlyTheTwoTyrosMessagesGo) {
  SetDevices({{"Port A"}, {"Port B"}});
  TOrbiscope& w = Open();
  w.MidiOutputs->SetItemIndex(1);
  Press(34 + 8, 180 + 8);  // the radio button itself
  Release(34 + 8, 180 + 8);
  ASSERT_TRUE(w.RB1->Checked());
  EXPECT_FALSE(w.RB2->Checked());
  Type("q");
  EXPECT_EQ(midi_.Sent("Port B"), TyrosSequence());
  // Switching back takes effect with the next command.
  w.RB2->SetChecked(true);
  Type("q");
  std::vector<Bytes> both = TyrosSequence();
  for (const Bytes& m : Tyros2Sequence()) both.push_back(m);
  EXPECT_EQ(midi_.Sent("Port B"), both);
}

TEST_F(WindowTest, ClickingAModelLabelChangesNothing) {
  SetDevices({{"Port A"}});
  TOrbiscope& w = Open();
  Press(54 + 10, 176 + 8);  // "Tyros"
  Release(54 + 10, 176 + 8);
  EXPECT_TRUE(w.RB2->Checked());
  EXPECT_FALSE(w.RB1->Checked());
}

TEST_F(WindowTest, KeysWithoutACharacterSendNothing) {
  SetDevices({{"Port A"}});
  Open();
  constexpr unsigned kF5 = 0x74;
  for (unsigned key :
       {unsigned{toolkit::VK_LEFT}, kF5, unsigned{toolkit::VK_SHIFT}, unsigned{toolkit::VK_CONTROL}}) {
    KeyDown(key);
    KeyUp(key);
  }
  EXPECT_TRUE(midi_.Sent("Port A").empty());
}

TEST_F(WindowTest, EveryRepeatedCharacterIsAFullCommand) {
  SetDevices({{"Port A"}});
  Open();
  KeyDown('K');
  Type("k");
  KeyDown('K', 0, true);
  Type("k");
  KeyDown('K', 0, true);
  Type("k");
  KeyUp('K');
  EXPECT_EQ(midi_.Sent("Port A").size(), 9u);
  EXPECT_EQ(midi_.OpenCount("Port A"), 0);
}

TEST_F(WindowTest, TypingIntoThePortListSendsAndStillEditsIt) {
  SetDevices({{"Port A"}});
  TOrbiscope& w = Open();
  w.MidiOutputs->SetFocus();
  w.MidiOutputs->SelectAll();
  Type("z");
  EXPECT_EQ(w.MidiOutputs->Text(), "z");
  EXPECT_EQ(midi_.Sent("Port A"), Tyros2Sequence());
  // The edited text selects no entry: the next command addresses the
  // mapper, which does not exist here, and sends nothing.
  EXPECT_EQ(w.MidiOutputs->ItemIndex(), -1);
  Type("y");
  EXPECT_EQ(midi_.Sent("Port A").size(), 3u);
  EXPECT_TRUE(backend_->MessageBoxes().empty());
}

// Typed on layouts whose letters Windows-1252 lacks: ж, λ, ł, and 日本 as
// one piece of text, with the commands each makes.
const struct {
  const char* text;
  std::size_t commands;
} kForeignText[] = {{"\xD0\xB6", 1}, {"\xCE\xBB", 1}, {"\xC5\x82", 1}, {"\xE6\x97\xA5\xE6\x9C\xAC", 2}};

TEST_F(WindowTest, EveryCharacterTheCodePageLacksIsAWholeCommand) {
  SetDevices({{"Port A"}});
  Open();
  std::vector<Bytes> expected;
  for (const auto& typed : kForeignText) {
    Type(typed.text);
    for (std::size_t i = 0; i < typed.commands; ++i)
      for (const Bytes& m : Tyros2Sequence()) expected.push_back(m);
    EXPECT_EQ(midi_.Sent("Port A"), expected) << typed.text;
  }
  EXPECT_EQ(midi_.OpenCount("Port A"), 0);
}

TEST_F(WindowTest, ThePortListTypesAQuestionMarkForEachOfThem) {
  SetDevices({{"Port A"}});
  TOrbiscope& w = Open();
  w.MidiOutputs->SetFocus();
  w.MidiOutputs->SelectAll();
  for (const auto& typed : kForeignText) Type(typed.text);
  EXPECT_EQ(w.MidiOutputs->Text(), "?????");
}

TEST_F(WindowTest, NoEntrySelectedSendsNothing) {
  Open();
  Type("a");
  SetDevices({{"Port A"}});  // appears, but is not listed until "Scan"
  Type("a");
  EXPECT_TRUE(midi_.Sent("Port A").empty());
  EXPECT_TRUE(backend_->MessageBoxes().empty());
}

TEST_F(WindowTest, ARefusedOpenSendsAndShowsNothing) {
  SetDevices({{"Busy", MMSYSERR_NOERROR, MMSYSERR_ALLOCATED}});
  TOrbiscope& w = Open();
  const std::vector<std::uint32_t> before = backend_->Windows().back()->pixels;
  Type("a");
  EXPECT_TRUE(midi_.Sent("Busy").empty());
  EXPECT_TRUE(backend_->MessageBoxes().empty());
  EXPECT_EQ(w.HeldPort(), nullptr);
  EXPECT_EQ(backend_->Windows().back()->pixels, before);
  // The next command simply tries again.
  midi_.At(0).openResult = MMSYSERR_NOERROR;
  Type("a");
  EXPECT_EQ(midi_.Sent("Busy"), Tyros2Sequence());
}

TEST_F(WindowTest, ARefusedCloseIsRetriedAtTheStartOfTheNextCommand) {
  SetDevices({{"Sticky", MMSYSERR_NOERROR, MMSYSERR_NOERROR, MIDIERR_STILLPLAYING}});
  TOrbiscope& w = Open();
  Type("a");
  EXPECT_EQ(midi_.Sent("Sticky"), Tyros2Sequence());
  EXPECT_NE(w.HeldPort(), nullptr);
  EXPECT_EQ(midi_.OpenCount("Sticky"), 1);
  // Still refused: the port stays held and no second one is opened.
  Type("a");
  EXPECT_EQ(midi_.OpenCount("Sticky"), 1);
  EXPECT_EQ(midi_.Sent("Sticky").size(), 3u);
  midi_.At(0).closeResult = MMSYSERR_NOERROR;
  Type("a");
  EXPECT_EQ(midi_.OpenCount("Sticky"), 0);
  EXPECT_EQ(midi_.Sent("Sticky").size(), 6u);
  EXPECT_EQ(w.HeldPort(), nullptr);
  EXPECT_TRUE(backend_->MessageBoxes().empty());
}

}  // namespace
}  // namespace apptest
