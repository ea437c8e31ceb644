// The text form: conversion both ways, its value syntax, @file, and the
// errors of each direction.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/Expect.h"
#include "tests/toolkit/StreamTestForms.h"
#include "tests/support/ScratchDir.h"

namespace toolkit::streamtest {
namespace {

namespace fs = std::filesystem;
using testsupport::ThrowsWithMessage;

// Every kind of value the text form has.
constexpr const char* kEveryValue = R"(object Form1: TStreamForm
  Caption = 'It''s'#13#10'here'
  OnShow = FormShow
  object Widget1: TStreamWidget
    Tag = -9223372036854775808
    Caption = 'part one ' +
      'part two'
    Big = 9223372036854775807
    Enabled = False
    Kind = wkRound
    Options = [woBorder, woGlow]
    Color = clRed
    Font.Color = 1193046
    Font.Style = []
    Lines.Strings = (
      'a'
      ''
      'c')
    Buddy = Widget2
    Target = Form1
    OnClick = WidgetClick
    Data = {
      000102FF}
    Points = (
      1
      -300
      $10)
  end
  object Widget2: TStreamWidget
    Big = 300
    Data = {}
    Points = ()
    object TStreamWidget
      Caption = #233'x'
    end
  end
end
)";

class ObjectTextTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamTestClasses(); }
};

TEST_F(ObjectTextTest, TextToBinaryToTextIsStable) {
  const std::vector<std::uint8_t> binary = TextToBinary(kEveryValue);
  const std::string text = BinaryToText(binary);
  EXPECT_EQ(TextToBinary(text), binary);
  EXPECT_EQ(BinaryToText(TextToBinary(text)), text);
}

TEST_F(ObjectTextTest, TextReadsIntoComponents) {
  TStreamForm form(nullptr);
  ReadFromBytes(TextToBinary(kEveryValue), form);
  EXPECT_EQ(form.Caption(), "It's\r\nhere");
  ASSERT_EQ(form.ComponentCount(), 3);
  auto* w1 = dynamic_cast<TStreamWidget*>(form.FindComponent("Widget1"));
  auto* w2 = dynamic_cast<TStreamWidget*>(form.FindComponent("Widget2"));
  auto* inner = dynamic_cast<TStreamWidget*>(form.Components(2));
  ASSERT_TRUE(w1 && w2 && inner);
  EXPECT_EQ(w1->Tag(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(w1->Big(), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(w1->Caption(), "part one part two");
  EXPECT_EQ(w1->Options(), woBorder | woGlow);
  EXPECT_EQ(w1->Lines()->Count(), 3);
  EXPECT_EQ(w1->Data, (std::vector<std::uint8_t>{0, 1, 2, 0xFF}));
  EXPECT_EQ(w1->Points, (std::vector<std::int64_t>{1, -300, 16}));
  EXPECT_EQ(w1->Buddy(), w2);
  EXPECT_EQ(w1->Target(), &form);
  EXPECT_EQ(inner->Parent(), w2);
  EXPECT_EQ(inner->Caption(), "\xC3\xA9x");  // #233 is é, kept as UTF-8
}

TEST_F(ObjectTextTest, WrittenFormsConvertBothWaysUnchanged) {
  TStreamForm form(nullptr);
  form.SetName("Form1");
  auto* widget = new TStreamWidget(&form);
  widget->SetName("W");
  std::string caption;
  for (int i = 0; i < 600; ++i)
    caption += static_cast<char>(i % 7 == 0 ? '\n' : i % 5 == 0 ? '\'' : 'a' + i % 26);
  caption += "\xE2\x82\xAC";  // a euro sign at the end of a piece
  widget->SetCaption(caption);
  for (int i = 0; i < 1000; ++i) widget->Data.push_back(static_cast<std::uint8_t>(i * 31));
  const std::vector<std::uint8_t> binary = WriteToBytes(form);
  const std::string text = BinaryToText(binary);
  EXPECT_EQ(TextToBinary(text), binary);
  // Long strings and binary values are wrapped.
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 90u) << line;
}

TEST_F(ObjectTextTest, FileValuesComeFromBesideTheText) {
  const fs::path dir = testsupport::MakeScratchDir("lumivant-text");
  ASSERT_FALSE(dir.empty());
  std::ofstream(dir / "blob.bin", std::ios::binary) << std::string("\x00\x01\x02\xFE", 4);
  const std::string text =
      "object Form1: TStreamForm\n object W: TStreamWidget\n  Data = @file('blob.bin')\n end\nend\n";
  TStreamForm form(nullptr);
  ReadFromBytes(TextToBinary(text, dir.string()), form);
  EXPECT_EQ(dynamic_cast<TStreamWidget*>(form.Components(0))->Data,
            (std::vector<std::uint8_t>{0, 1, 2, 0xFE}));

  const std::string missing = "object Form1: TStreamForm\n Data = @file('missing.bmp')\nend\n";
  EXPECT_TRUE(ThrowsWithMessage<EFOpenError>([&] { TextToBinary(missing, dir.string()); },
                                             dir.string() + "/missing.bmp"));
  fs::remove_all(dir);
}

TEST_F(ObjectTextTest, ParseErrorsNameTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"", "'object' expected on line 1"},
      {"object Form1: TStreamForm\n", "'end' expected on line 2"},
      {"object Form1 TStreamForm\nend", "'end' expected on line 1"},
      {"object Form1: TStreamForm\n  Caption = 'open\nend", "Unterminated string on line 2"},
      {"object Form1: TStreamForm\n  Caption = )\nend", "Value expected on line 2"},
      {"object Form1: TStreamForm\n  Big = 1.5\nend", "Only whole numbers are allowed on line 2"},
      {"object Form1: TStreamForm\n  Big = 9223372036854775808\nend", "Number out of range on line 2"},
      {"object Form1: TStreamForm\n  Big = 99999999999999999999\nend", "Number out of range on line 2"},
      {"object Form1: TStreamForm\n  Data = {0A0}\nend", "odd number of digits on line 2"},
      {"object Form1: TStreamForm\n  Data = {0G}\nend", "Invalid binary value on line 2"},
      {"object Form1: TStreamForm\n  Data = {00", "Unterminated binary value on line 2"},
      {"object Form1: TStreamForm\n  Options = [a b]\nend", "',' expected on line 2"},
      {"object Form1: TStreamForm\n  Caption = #1114112\nend", "Character code out of range on line 2"},
      {"object Form1: TStreamForm\n  Caption = 'a' +\nend", "String expected on line 3"},
      {"object Form1: TStreamForm\n  Data = @files('x')\nend", "'file' or 'bitmap' expected on line 2"},
      {"object Form1: TStreamForm\n  Caption = ;\nend", "Invalid character #59 on line 2"},
      {"inherited Form1: TStreamForm\nend", "not supported on line 1"},
      {"object Form1: TStreamForm\nend\nend", "End of file expected on line 3"},
  };
  for (const Case& c : cases)
    EXPECT_TRUE(ThrowsWithMessage<EParserError>([&] { TextToBinary(c.text); }, c.message)) << c.text;
}

TEST_F(ObjectTextTest, PropertiesMayBeNamedLikeKeywords) {
  const std::vector<std::uint8_t> binary =
      TextToBinary("object O: TComponent\n  End = 1\n  Object.End = 2\nend");
  EXPECT_NE(Find(binary,
                 "\x03"
                 "End"),
            -1);
  EXPECT_NE(Find(binary,
                 "\x0A"
                 "Object.End"),
            -1);
  EXPECT_EQ(TextToBinary(BinaryToText(binary)), binary);
}

TEST_F(ObjectTextTest, BinaryWhoseNamesWouldNotParseIsRefused) {
  const auto stream = [](const std::string& className, const std::string& name, const std::string& prop) {
    std::vector<std::uint8_t> b = {'L', 'V', 'F', '1'};
    for (const std::string& s : {className, name, prop}) {
      b.push_back(static_cast<std::uint8_t>(s.size()));
      b.insert(b.end(), s.begin(), s.end());
    }
    for (int v : {2, 1, 0, 0}) b.push_back(static_cast<std::uint8_t>(v));  // vaInt8 1, ends
    return b;
  };
  EXPECT_NO_THROW(BinaryToText(stream("TForm", "F", "Font.Size")));
  EXPECT_THROW(BinaryToText(stream("T Form", "F", "Size")), EReadError);
  EXPECT_THROW(BinaryToText(stream("TForm", "1F", "Size")), EReadError);
  EXPECT_THROW(BinaryToText(stream("TForm", "F", "Font..Size")), EReadError);
  EXPECT_THROW(BinaryToText(stream("TForm", "F", "Size=")), EReadError);
}

TEST_F(ObjectTextTest, FailedConversionsWriteNothing) {
  TMemoryStream input;
  const std::string bad = "object Form1: TStreamForm\n  Big = 1\n  Caption = 'x\nend";
  input.WriteBuffer(bad.data(), static_cast<std::int64_t>(bad.size()));
  input.SetPosition(0);
  TMemoryStream output;
  output.WriteBuffer("keep", 4);
  EXPECT_THROW(ObjectTextToBinary(input, output), EParserError);
  EXPECT_EQ(output.Size(), 4);

  std::vector<std::uint8_t> truncated = TextToBinary(kEveryValue);
  truncated.resize(truncated.size() - 1);
  TMemoryStream binary;
  binary.WriteBuffer(truncated.data(), static_cast<std::int64_t>(truncated.size()));
  binary.SetPosition(0);
  EXPECT_THROW(ObjectBinaryToText(binary, output), EReadError);
  EXPECT_EQ(output.Size(), 4);
}

}  // namespace
}  // namespace toolkit::streamtest
