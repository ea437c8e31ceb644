// The form compiler, run as a program: conversions both ways give what the
// library gives, and failures write nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/FileBytes.h"
#include "tests/support/ProgramRun.h"
#include "tests/toolkit/StreamTestForms.h"

#ifndef LUMIVANT_FORMC
#error "LUMIVANT_FORMC must name the formc program"
#endif

namespace toolkit::streamtest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kForm = R"(object Form1: TStreamForm
  Caption = 'Compiled'
  object W: TStreamWidget
    Kind = wkRound
    Data = @file('art/blob.bin')
    Lines.Strings = (
      'x')
  end
end
)";

using testsupport::Slurp;
using testsupport::Spill;

class FormcTest : public ::testing::Test {
 protected:
  using Result = testsupport::ProgramResult;

  void SetUp() override {
    RegisterStreamTestClasses();
    dir_ = testsupport::MakeScratchDir("lumivant-formc");
    ASSERT_FALSE(dir_.empty());
    fs::create_directory(dir_ / "art");
    Spill(dir_ / "art" / "blob.bin", std::string("\x01\x00\x7F\x80", 4));
    Spill(dir_ / "form.txt", kForm);
  }
  void TearDown() override { fs::remove_all(dir_); }

  Result Run(const std::string& args) const {
    return testsupport::RunCommand(LUMIVANT_FORMC " " + args, dir_);
  }
  std::string P(const std::string& name) const { return (dir_ / name).string(); }

  // What the folder holds besides the inputs: no temporary files left.
  std::vector<std::string> Outputs() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (name != "art" && name != "form.txt") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(FormcTest, ConvertsBothWaysLikeTheLibrary) {
  Result r = Run(P("form.txt") + " " + P("form.bin"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::uint8_t> expected = TextToBinary(kForm, dir_.string());
  const std::string binary = Slurp(dir_ / "form.bin");
  EXPECT_EQ(std::vector<std::uint8_t>(binary.begin(), binary.end()), expected);

  r = Run("--to-text " + P("form.bin") + " " + P("back.txt"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Slurp(dir_ / "back.txt"), BinaryToText(expected));

  ASSERT_EQ(Run(P("back.txt") + " " + P("again.bin")).status, 0);
  EXPECT_EQ(Slurp(dir_ / "again.bin"), binary);
  EXPECT_EQ(Outputs(), (std::vector<std::string>{"again.bin", "back.txt", "form.bin"}));
}

TEST_F(FormcTest, FailuresNameTheFileAndWriteNothing) {
  Spill(dir_ / "bad.txt", "object Form1: TStreamForm\n  Caption = 'open\nend\n");
  Spill(dir_ / "old.bin", "old");
  Result r = Run(P("bad.txt") + " " + P("old.bin"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "formc: " + P("bad.txt") + ": Unterminated string on line 2\n");
  EXPECT_EQ(Slurp(dir_ / "old.bin"), "old");

  r = Run(P("missing.txt") + " " + P("new.bin"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("formc: " + P("missing.txt") + ": ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;

  r = Run("--to-text " + P("form.txt") + " " + P("new.txt"));  // text is not a binary stream
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("Invalid stream format"), std::string::npos) << r.err;

  r = Run(P("form.txt") + " " + P("no/such/dir/x.bin"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no/such/dir/x.bin"), std::string::npos) << r.err;

  EXPECT_EQ(Outputs(), (std::vector<std::string>{"bad.txt", "old.bin"}));
}

// Symbolic links and devices, as POSIX systems have them.
#ifndef _WIN32
TEST_F(FormcTest, WritesThroughLinksAndDevices) {
  Spill(dir_ / "real.bin", "old");
  fs::create_symlink("real.bin", dir_ / "link.bin");
  const Result r = Run(P("form.txt") + " " + P("link.bin"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.bin"));
  const std::vector<std::uint8_t> expected = TextToBinary(kForm, dir_.string());
  EXPECT_EQ(Slurp(dir_ / "real.bin"), std::string(expected.begin(), expected.end()));
  EXPECT_EQ(Run(P("form.txt") + " /dev/null").status, 0);
  EXPECT_EQ(Outputs(), (std::vector<std::string>{"link.bin", "real.bin"}));
}
#endif

TEST_F(FormcTest, HelpAndUsage) {
  Result r = Run("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: formc"), std::string::npos);
  for (const char* args : {"", "one", "--to-text a", "--bogus a b", "a b c"}) {
    r = Run(args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(r.err, "formc: expected an input and an output file (formc --help)\n") << args;
  }
}

}  // namespace
}  // namespace toolkit::streamtest
