// Streams the reader must refuse: each fails with EReadError saying what is
// wrong, and leaves the root with what it had (run under the sanitizers,
// these also show that nothing created on the way leaks).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Expect.h"
#include "tests/toolkit/StreamTestForms.h"
#include "toolkit/ClassBuilder.h"

namespace toolkit::streamtest {
namespace {

using testsupport::ThrowsWithMessage;

// Creates a helper its owner owns, as some controls do.
class TSpawner : public TComponent {
  TOOLKIT_CLASS(TSpawner, TComponent)
 public:
  explicit TSpawner(TComponent* owner) : TComponent(owner) {
    if (owner) new TComponent(owner);
  }
};

const TClassInfo& TSpawner::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TSpawner>("TSpawner", &TComponent::StaticClass()).Creatable().Build();
  return info;
}

// Builds binary streams byte by byte.
class Bytes {
 public:
  Bytes& Raw(std::initializer_list<int> bytes) {
    for (int b : bytes) data_.push_back(static_cast<std::uint8_t>(b));
    return *this;
  }
  Bytes& Short(const std::string& text) {
    data_.push_back(static_cast<std::uint8_t>(text.size()));
    data_.insert(data_.end(), text.begin(), text.end());
    return *this;
  }
  Bytes& Header(const std::string& className, const std::string& name) {
    return Raw({'L', 'V', 'F', '1'}).Short(className).Short(name);
  }
  std::vector<std::uint8_t> Done() const { return data_; }

 private:
  std::vector<std::uint8_t> data_;
};

class MalformedStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStreamTestClasses();
    RegisterClass(TSpawner::StaticClass());
  }

  // Reads `bytes` into a root that already holds a component, expecting a
  // refusal whose message contains `expected`.
  static void ExpectRefused(const std::vector<std::uint8_t>& bytes, const std::string& expected) {
    TStreamForm root(nullptr);
    root.SetName("Before");
    auto* existing = new TStreamWidget(&root);
    existing->SetName("Existing");
    EXPECT_TRUE(ThrowsWithMessage<EReadError>([&] { ReadFromBytes(bytes, root); }, expected));
    ASSERT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.Components(0), existing);
    EXPECT_EQ(root.Name(), "Before");
    EXPECT_EQ(root.ComponentState(), 0u);
    EXPECT_EQ(existing->ComponentState(), 0u);
    EXPECT_TRUE(root.LoadedLog.empty());
  }

  // A form holding one widget W with `props` and, after it, `after`.
  static std::vector<std::uint8_t> Form(const std::string& props, const std::string& after = "") {
    return TextToBinary("object Form1: TStreamForm\n  object W: TStreamWidget\n" + props + "\n  end\n" +
                        after + "\nend\n");
  }
};

TEST_F(MalformedStreamTest, NotAComponentStream) {
  ExpectRefused({}, "too short");
  ExpectRefused(Bytes().Raw({'L', 'V', 'F', '2', 0, 0, 0, 0}).Done(), "does not start with LVF1");
  ExpectRefused(Bytes().Raw({'L', 'V', 'F', '1', 0xF1}).Short("TStreamForm").Done(), "not supported");
}

TEST_F(MalformedStreamTest, RootOfAnotherClass) {
  ExpectRefused(TextToBinary("object Form1: TStreamWidget\nend"), "cannot be read into a TStreamForm");
}

TEST_F(MalformedStreamTest, UnknownClassAndProperties) {
  ExpectRefused(TextToBinary("object Form1: TStreamForm\n object X: TNoSuchWidget\n end\nend"),
                "Class TNoSuchWidget not found");
  ExpectRefused(Form("Nope = 1"), "Error reading W.Nope: Property Nope does not exist");
  ExpectRefused(Form("Font.Nope = 1"), "Error reading W.Font.Nope: Property Nope does not exist");
  ExpectRefused(Form("Caption.Length = 1"), "Property Caption does not exist");
  ExpectRefused(Form("Buddy.Caption = 'x'"), "Property Buddy does not exist");
  ExpectRefused(Form("Lines.Nope = ('a')"), "Error reading W.Lines.Nope: Property Nope does not exist");
}

TEST_F(MalformedStreamTest, ValuesOfTheWrongType) {
  for (const char* prop :
       {"Big = 'text'", "Enabled = 1", "Kind = wkOval", "Kind = 1", "Options = [woNope]",
        "Options = woBorder", "Color = clNoSuch", "Color = 'red'", "Caption = 12", "Buddy = 5", "OnClick = 7",
        "Font = 1", "Font.Style = fsBold", "Lines.Strings = 'x'", "Lines.Strings = ('a' 2)",
        "Points = (1 'two')", "Data = 'x'", "Tag = True"}) {
    SCOPED_TRACE(prop);
    const std::string name = std::string(prop).substr(0, std::string(prop).find(' '));
    ExpectRefused(Form(prop), "Error reading W." + name + ": Invalid property value");
  }
}

TEST_F(MalformedStreamTest, HandlersMustBeTheRootsAndFitTheEvent) {
  ExpectRefused(Form("OnClick = NoSuchHandler"),
                "Error reading W.OnClick: Handler NoSuchHandler is not a method of TStreamForm");
  ExpectRefused(Form("OnClick = ValueChanged"),
                "Error reading W.OnClick: Handler ValueChanged does not take the event's parameters");
}

TEST_F(MalformedStreamTest, ReferencesMustResolveToTheRightClass) {
  ExpectRefused(Form("Buddy = Ghost"), "Error reading W.Buddy: Component Ghost not found");
  ExpectRefused(Form("Buddy = Form1"), "Error reading W.Buddy: Invalid property value");
  ExpectRefused(Form("Buddy = W.Ghost"), "Component W.Ghost not found");
}

TEST_F(MalformedStreamTest, NamesMustBeUniqueAndValid) {
  ExpectRefused(Form("", "object W: TStreamWidget\nend"), "A component named W already exists");
  ExpectRefused(Form("", "object Existing: TStreamWidget\nend"), "A component named Existing already exists");
  ExpectRefused(Bytes()
                    .Header("TStreamForm", "Form1")
                    .Raw({0})
                    .Short("TStreamWidget")
                    .Short("no good")
                    .Raw({0, 0, 0, 0})
                    .Done(),
                "'no good' is not a valid component name");
}

TEST_F(MalformedStreamTest, LengthsPastTheEnd) {
  const auto widgetWith = [](std::initializer_list<int> value) {
    return Bytes()
        .Header("TStreamForm", "Form1")
        .Raw({0})
        .Short("TStreamWidget")
        .Short("W")
        .Raw(value)
        .Done();
  };
  ExpectRefused(widgetWith({7, 'C', 'a', 'p', 't', 'i', 'o', 'n', 0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'x'}),
                "a string of 2147483647 bytes runs past the end");
  ExpectRefused(widgetWith({7, 'C', 'a', 'p', 't', 'i', 'o', 'n', 0x14, 0xFF, 0xFF, 0xFF, 0xFF}),
                "runs past the end");
  ExpectRefused(widgetWith({4, 'D', 'a', 't', 'a', 0x0A, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2}),
                "a binary value of 4294967295 bytes runs past the end");
  ExpectRefused(widgetWith({4, 'D', 'a', 't', 'a', 0x0A, 0x10, 0, 0, 0, 1, 2}), "runs past the end");
  ExpectRefused(widgetWith({7, 'C', 'a', 'p', 't', 'i', 'o', 'n', 0x06, 200, 'x'}),
                "a string runs past the end");
  ExpectRefused(widgetWith({200, 'C'}), "a property name runs past the end");
  ExpectRefused(widgetWith({3, 'B', 'i', 'g', 0x13, 1, 2, 3}), "an integer runs past the end");
}

TEST_F(MalformedStreamTest, UnknownValueType) {
  ExpectRefused(Bytes().Header("TStreamForm", "Form1").Short("Caption").Raw({0x30, 0, 0, 0}).Done(),
                "unknown value type 48");
}

TEST_F(MalformedStreamTest, TruncatedAtEveryOffset) {
  TStreamForm form(nullptr);
  auto* widget = new TStreamWidget(&form);
  widget->SetName("W");
  widget->SetCaption("caption");
  widget->Lines()->Add("line");
  widget->Data = {1, 2, 3};
  widget->SetBuddy(widget);
  widget->OnClick = TNotifyEvent(&form, &TStreamForm::WidgetClick, "WidgetClick");
  auto* inner = new TStreamWidget(&form);
  inner->SetParent(widget);
  inner->SetBig(1 << 20);
  const std::vector<std::uint8_t> whole = WriteToBytes(form);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    SCOPED_TRACE(size);
    ExpectRefused(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)),
                  size < 4 ? "too short" : "runs past the end");
  }
  TStreamForm read(nullptr);
  EXPECT_NO_THROW(ReadFromBytes(whole, read));
}

TEST_F(MalformedStreamTest, NestingTooDeep) {
  std::string text = "object Form1: TStreamForm\n";
  for (int i = 0; i < 100; ++i) text += "object W" + std::to_string(i) + ": TStreamWidget\n";
  for (int i = 0; i < 100; ++i) text += "end\n";
  text += "end\n";
  // The text form refuses it first; build the binary by hand.
  Bytes bytes;
  bytes.Header("TStreamForm", "Form1").Raw({0});
  for (int i = 0; i < 100; ++i) bytes.Short("TStreamWidget").Short("W" + std::to_string(i)).Raw({0});
  for (int i = 0; i < 101; ++i) bytes.Raw({0});
  EXPECT_THROW(TextToBinary(text), EParserError);
  ExpectRefused(bytes.Done(), "nested too deeply");
}

TEST_F(MalformedStreamTest, WhatTheComponentsReadCreatedGoesToo) {
  ExpectRefused(Form("", "object S: TSpawner\nend\nobject X: TNoSuchWidget\nend"),
                "Class TNoSuchWidget not found");
}

TEST_F(MalformedStreamTest, NoRootToReadInto) {
  TMemoryStream stream;
  EXPECT_THROW(ReadComponent(stream, nullptr), EReadError);
}

}  // namespace
}  // namespace toolkit::streamtest
