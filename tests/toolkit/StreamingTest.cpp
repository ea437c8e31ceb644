// Writing components to the binary stream form and reading them back:
// every property kind, the value encodings, defaults, references, events,
// children, and the order of loading.
#include <gtest/gtest.h>

#include <limits>

#include "tests/support/Expect.h"
#include "tests/toolkit/StreamTestForms.h"

namespace toolkit::streamtest {
namespace {

using testsupport::ThrowsWithMessage;

class StreamingTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamTestClasses(); }

  // A form with a value of every kind that differs from its default.
  static void Populate(TStreamForm& form) {
    form.SetName("Form1");
    form.SetCaption("Streaming");
    form.OnShow = TNotifyEvent(&form, &TStreamForm::FormShow, "FormShow");
    auto* w1 = new TStreamWidget(&form);
    w1->SetName("Widget1");
    auto* w2 = new TStreamWidget(&form);
    w2->SetName("Widget2");
    auto* w3 = new TStreamWidget(&form);
    w3->SetName("Inner");
    w3->SetParent(w2);

    w1->SetCaption("short");
    w1->SetBig(-70000);
    w1->SetEnabled(false);
    w1->SetKind(TWidgetKind::wkSquare);
    w1->SetOptions(woBorder | woGlow);
    w1->SetColor(clRed);
    w1->SetTag(42);
    w1->Font()->SetColor(0x123456);
    w1->Font()->SetHeight(20);
    w1->Font()->SetName("Tahoma");
    w1->Font()->SetStyle(fsBold | fsUnderline);
    w1->Lines()->Add("first");
    w1->Lines()->Add("it's #2");
    w1->SetBuddy(w2);
    w1->SetTarget(&form);
    w1->OnClick = TNotifyEvent(&form, &TStreamForm::WidgetClick, "WidgetClick");
    w1->OnValue = TEvent<TObject*, int>(&form, &TStreamForm::ValueChanged, "ValueChanged");
    for (int i = 0; i < 256; ++i) w1->Data.push_back(static_cast<std::uint8_t>(255 - i));
    w1->Points = {1, -300, 70000, std::numeric_limits<std::int64_t>::min()};

    w2->SetCaption(std::string(300, 'L') + "\r\n'end'");
    w2->SetBig(std::int64_t{1} << 40);
    w2->SetColor(0x0A0B0C);
    w2->SetBuddy(w3);
    w3->SetCaption("inside");
    w3->SetBuddy(w1);
  }

  static TStreamWidget* Widget(TComponent& form, const char* name) {
    auto* widget = dynamic_cast<TStreamWidget*>(form.FindComponent(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
};

void ExpectSameWidget(const TStreamWidget& read, const TStreamWidget& written) {
  SCOPED_TRACE(written.Name());
  EXPECT_EQ(read.Caption(), written.Caption());
  EXPECT_EQ(read.Big(), written.Big());
  EXPECT_EQ(read.Enabled(), written.Enabled());
  EXPECT_EQ(read.Kind(), written.Kind());
  EXPECT_EQ(read.Options(), written.Options());
  EXPECT_EQ(read.Color(), written.Color());
  EXPECT_EQ(read.Tag(), written.Tag());
  EXPECT_EQ(read.Font()->Color(), written.Font()->Color());
  EXPECT_EQ(read.Font()->Height(), written.Font()->Height());
  EXPECT_EQ(read.Font()->Name(), written.Font()->Name());
  EXPECT_EQ(read.Font()->Style(), written.Font()->Style());
  EXPECT_EQ(read.Lines()->Text(), written.Lines()->Text());
  EXPECT_EQ(read.Data, written.Data);
  EXPECT_EQ(read.Points, written.Points);
  EXPECT_EQ(read.Buddy() ? read.Buddy()->Name() : "", written.Buddy() ? written.Buddy()->Name() : "");
  EXPECT_EQ(read.Parent() ? read.Parent()->Name() : "", written.Parent() ? written.Parent()->Name() : "");
  EXPECT_EQ(read.OnClick.Name, written.OnClick.Name);
  EXPECT_EQ(read.OnValue.Name, written.OnValue.Name);
}

TEST_F(StreamingTest, EveryPropertyKindReadsBackEqual) {
  TStreamForm written(nullptr);
  Populate(written);
  const std::vector<std::uint8_t> bytes = WriteToBytes(written);

  TStreamForm read(nullptr);
  ReadFromBytes(bytes, read);
  EXPECT_EQ(read.Name(), "Form1");
  EXPECT_EQ(read.Caption(), "Streaming");
  ASSERT_EQ(read.ComponentCount(), 3);
  for (const char* name : {"Widget1", "Widget2", "Inner"})
    ExpectSameWidget(*Widget(read, name), *Widget(written, name));
  // Writing what was read gives the same stream again.
  EXPECT_EQ(WriteToBytes(read), bytes);
}

TEST_F(StreamingTest, ReferencesAndEventsBindToTheNewComponents) {
  TStreamForm written(nullptr);
  Populate(written);
  TStreamForm read(nullptr);
  ReadFromBytes(WriteToBytes(written), read);

  TStreamWidget* w1 = Widget(read, "Widget1");
  TStreamWidget* w2 = Widget(read, "Widget2");
  TStreamWidget* inner = Widget(read, "Inner");
  EXPECT_EQ(w1->Buddy(), w2);
  EXPECT_EQ(w2->Buddy(), inner);
  EXPECT_EQ(inner->Buddy(), w1);  // a reference back to one read earlier
  EXPECT_EQ(w1->Target(), &read);
  EXPECT_EQ(inner->Parent(), w2);

  w1->OnClick(w1);
  EXPECT_EQ(read.Clicks, 1);
  EXPECT_EQ(read.LastSender, w1);
  EXPECT_EQ(written.Clicks, 0);
  EXPECT_EQ(w1->OnClick.Data, &read);
  read.OnShow(&read);
  EXPECT_EQ(read.Shows, 1);
  EXPECT_FALSE(w2->OnClick);
}

TEST_F(StreamingTest, ComponentsAreFlaggedWhileReadingThenLoadedInOrder) {
  TStreamForm written(nullptr);
  Populate(written);
  TStreamForm read(nullptr);
  ReadFromBytes(WriteToBytes(written), read);

  for (const char* name : {"Widget1", "Widget2", "Inner"}) {
    const TComponentState seen = Widget(read, name)->StateAtCaption;
    EXPECT_TRUE((seen & csLoading) && (seen & csReading)) << name;
    EXPECT_EQ(Widget(read, name)->ComponentState() & (csLoading | csReading), 0u) << name;
  }
  EXPECT_EQ(read.ComponentState() & (csLoading | csReading), 0u);
  EXPECT_EQ(read.LoadedLog, (std::vector<std::string>{"", "Widget1", "Widget2", "Inner"}));
}

TEST_F(StreamingTest, IntegersTakeTheSmallestType) {
  struct Case {
    std::int64_t value;
    TValueType type;
  };
  const std::int64_t min32 = std::numeric_limits<std::int32_t>::min();
  const Case cases[] = {
      {1, TValueType::vaInt8},
      {127, TValueType::vaInt8},
      {-128, TValueType::vaInt8},
      {128, TValueType::vaInt16},
      {-129, TValueType::vaInt16},
      {32767, TValueType::vaInt16},
      {-32768, TValueType::vaInt16},
      {32768, TValueType::vaInt32},
      {min32, TValueType::vaInt32},
      {min32 - 1, TValueType::vaInt64},
      {std::int64_t{1} << 32, TValueType::vaInt64},
      {std::numeric_limits<std::int64_t>::min(), TValueType::vaInt64},
      {std::numeric_limits<std::int64_t>::max(), TValueType::vaInt64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    TStreamForm form(nullptr);
    (new TStreamWidget(&form))->SetBig(c.value);
    const std::vector<std::uint8_t> bytes = WriteToBytes(form);
    const std::ptrdiff_t at = Find(bytes,
                                   "\x03"
                                   "Big");
    ASSERT_GE(at, 0);
    EXPECT_EQ(bytes[static_cast<std::size_t>(at) + 4], static_cast<std::uint8_t>(c.type));
    TStreamForm read(nullptr);
    ReadFromBytes(bytes, read);
    EXPECT_EQ(dynamic_cast<TStreamWidget*>(read.Components(0))->Big(), c.value);
  }
}

TEST_F(StreamingTest, BinaryValuesAreTheLengthThenTheBytes) {
  TStreamForm form(nullptr);
  auto* widget = new TStreamWidget(&form);
  widget->Data = {0x01, 0x00, 0xFF};
  const std::vector<std::uint8_t> bytes = WriteToBytes(form);
  const std::vector<std::uint8_t> expected = {4, 'D', 'a', 't', 'a', 0x0A, 3, 0, 0, 0, 0x01, 0x00, 0xFF};
  const std::ptrdiff_t at = Find(bytes,
                                 "\x04"
                                 "Data");
  ASSERT_GE(at, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + at, bytes.begin() + at + 13), expected);
}

TEST_F(StreamingTest, StringsPastTwoHundredFiftyFiveBytesAreLong) {
  TStreamForm form(nullptr);
  auto* widget = new TStreamWidget(&form);
  for (std::size_t length : {255u, 256u}) {
    widget->SetCaption(std::string(length, 'x'));
    const std::vector<std::uint8_t> bytes = WriteToBytes(form);
    const std::ptrdiff_t at = Find(bytes,
                                   "\x07"
                                   "Caption");
    ASSERT_GE(at, 0);
    const TValueType expected = length == 255 ? TValueType::vaString : TValueType::vaLString;
    EXPECT_EQ(bytes[static_cast<std::size_t>(at) + 8], static_cast<std::uint8_t>(expected)) << length;
  }
}

TEST_F(StreamingTest, DefaultsAndEmptyValuesAreLeftOut) {
  TStreamForm form(nullptr);
  auto* widget = new TStreamWidget(&form);
  widget->SetName("Plain");
  const std::vector<std::uint8_t> plain = WriteToBytes(form);
  for (const char* name : {"Caption", "Big", "Enabled", "Kind", "Options", "Color", "Tag", "Font", "Lines",
                           "Buddy", "Target", "Note", "OnClick", "Data", "Points", "OnShow"})
    EXPECT_EQ(Find(plain, name), -1) << name << " was written";

  // The same properties away from their defaults are written.
  widget->SetEnabled(false);
  widget->SetColor(clBlack);
  widget->Font()->SetHeight(-12);
  widget->SetTag(-1);
  const std::vector<std::uint8_t> changed = WriteToBytes(form);
  for (const char* name : {"Enabled", "Color", "Font.Height", "Tag"})
    EXPECT_NE(Find(changed, name), -1) << name << " was not written";
}

TEST_F(StreamingTest, StoredFalseLeavesAValueOut) {
  TStreamForm form(nullptr);
  auto* widget = new TStreamWidget(&form);
  widget->SetNote("remember me");
  EXPECT_NE(Find(WriteToBytes(form), "remember me"), -1);
  widget->SetTransient(true);
  EXPECT_EQ(Find(WriteToBytes(form), "remember me"), -1);
}

TEST_F(StreamingTest, ColoursAreWrittenByNameWhereTheyHaveOne) {
  TStreamForm form(nullptr);
  auto* widget = new TStreamWidget(&form);
  widget->SetColor(clRed);
  widget->Font()->SetColor(0x123456);
  const std::vector<std::uint8_t> bytes = WriteToBytes(form);
  EXPECT_NE(Find(bytes, std::string("\x05"
                                    "Color\x07\x05"
                                    "clRed")),
            -1);
  EXPECT_NE(Find(bytes, std::string("\x0A"
                                    "Font.Color\x04\x56\x34\x12\x00",
                                    16)),
            -1);
  TStreamForm read(nullptr);
  ReadFromBytes(bytes, read);
  auto* back = dynamic_cast<TStreamWidget*>(read.Components(0));
  EXPECT_EQ(back->Color(), clRed);
  EXPECT_EQ(back->Font()->Color(), 0x123456);
}

TEST_F(StreamingTest, HandlersSetInCodeAreNotWritten) {
  TStreamForm form(nullptr);
  auto* widget = new TStreamWidget(&form);
  widget->OnClick = TNotifyEvent([](TObject*) {});
  TStreamForm other(nullptr);
  auto* elsewhere = new TStreamWidget(&form);
  elsewhere->SetName("Elsewhere");
  elsewhere->OnClick = TNotifyEvent(&other, &TStreamForm::WidgetClick, "WidgetClick");  // not this root's
  EXPECT_EQ(Find(WriteToBytes(form), "OnClick"), -1);
}

TEST_F(StreamingTest, DefaultGetChildrenWritesWhatTheRootOwns) {
  TComponent root(nullptr);
  root.SetName("Root");
  auto* a = new TStreamWidget(&root);
  a->SetName("A");
  a->SetCaption("a");
  auto* b = new TStreamWidget(&root);
  b->SetName("B");
  b->SetBuddy(a);
  new TStreamWidget(a);  // owned by A, not the root: not a child in the stream

  TComponent read(nullptr);
  ReadFromBytes(WriteToBytes(root), read);
  ASSERT_EQ(read.ComponentCount(), 2);
  auto* readA = dynamic_cast<TStreamWidget*>(read.Components(0));
  auto* readB = dynamic_cast<TStreamWidget*>(read.Components(1));
  ASSERT_TRUE(readA && readB);
  EXPECT_EQ(readA->Caption(), "a");
  EXPECT_EQ(readB->Buddy(), readA);
  EXPECT_EQ(readA->ComponentCount(), 0);
}

TEST_F(StreamingTest, ReferencesOutsideTheRootCannotBeWritten) {
  TStreamForm form(nullptr);
  TStreamForm other(nullptr);
  auto* stranger = new TStreamWidget(&other);
  stranger->SetName("Stranger");
  auto* widget = new TStreamWidget(&form);
  widget->SetName("W");
  widget->SetTarget(stranger);
  EXPECT_TRUE(ThrowsWithMessage<EWriteError>([&] { WriteToBytes(form); }, "W.Target"));
  // An owned component of a named component is reached by its path.
  auto* holder = new TStreamWidget(&form);
  holder->SetName("Holder");
  auto* owned = new TStreamWidget(holder);
  owned->SetName("Owned");
  widget->SetTarget(owned);
  EXPECT_NE(Find(WriteToBytes(form), "Holder.Owned"), -1);
}

TEST_F(StreamingTest, ReadingLeavesTheStreamAfterTheComponent) {
  TStreamForm form(nullptr);
  Populate(form);
  TMemoryStream stream;
  WriteComponent(stream, &form);
  const std::int64_t end = stream.Position();
  stream.WriteBuffer("trailing", 8);
  stream.SetPosition(0);
  TStreamForm read(nullptr);
  ReadComponent(stream, &read);
  EXPECT_EQ(stream.Position(), end);
}

}  // namespace
}  // namespace toolkit::streamtest
