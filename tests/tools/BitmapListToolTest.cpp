// The bitmaplist tool, run as a program: packing and unpacking give the
// files back, conversions are lossless, and every failure is one line that
// names the file and leaves the outputs as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ProgramRun.h"
#include "toolkit/Bitmap.h"

#ifndef LUMIVANT_BITMAPLIST
#error "LUMIVANT_BITMAPLIST must name the bitmaplist program"
#endif

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 87;
constexpr int kHeight = 65;
constexpr std::size_t kBmpBytes = 54 + kWidth * kHeight * 4;  // 22,674

using testsupport::Slurp;
using testsupport::Spill;

// Both check that the four bytes are there, as the string's own at() would.
std::int32_t Int32At(const std::string& bytes, std::size_t at) {
  bytes.at(at + 3);
  return base::LoadLeInt32(bytes.data() + at);
}

void PutInt32(std::string& bytes, std::size_t at, std::int32_t value) {
  bytes.at(at + 3);
  base::StoreLe32(bytes.data() + at, static_cast<std::uint32_t>(value));
}

std::string Int32Bytes(std::int32_t value) {
  std::string bytes(4, '\0');
  PutInt32(bytes, 0, value);
  return bytes;
}

// A 32-bit picture: `pixel(x, y)` gives the BGRA bytes of each pixel.
template <typename Pixel>
void MakeBmp(const fs::path& path, Pixel pixel) {
  toolkit::TBitmap bitmap;
  bitmap.SetSize(kWidth, kHeight);
  bitmap.SetPixelFormat(toolkit::pf32bit);
  for (int y = 0; y < kHeight; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < kWidth; ++x) {
      const std::uint32_t bgra = pixel(x, y);
      for (int i = 0; i < 4; ++i) row[x * 4 + i] = static_cast<std::uint8_t>(bgra >> (8 * i));
    }
  }
  bitmap.SaveToFile(path.string());
}

class BitmapListToolTest : public ::testing::Test {
 protected:
  using Result = testsupport::ProgramResult;

  void SetUp() override {
    dir_ = testsupport::MakeScratchDir("lumivant-bitmaplist");
    ASSERT_FALSE(dir_.empty());
    // Two halves and a frame: large uniform areas.
    MakeBmp(dir_ / "a.bmp", [](int x, int y) -> std::uint32_t {
      if (x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1) return 0x00000000;
      return x < kWidth / 2 ? 0x00336699 : 0x00CC9966;
    });
    // A pattern in every pixel.
    MakeBmp(dir_ / "b.bmp", [](int x, int y) -> std::uint32_t {
      const auto v = static_cast<std::uint32_t>(x * 37 + y * 101 + x * y * 7);
      return (v * 2654435761u) & 0x00FFFFFF;
    });
    ASSERT_EQ(fs::file_size(dir_ / "a.bmp"), kBmpBytes);
    ASSERT_EQ(fs::file_size(dir_ / "b.bmp"), kBmpBytes);
    inputs_ = {"a.bmp", "b.bmp"};
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string P(const std::string& name) const { return (dir_ / name).make_preferred().string(); }

  Result Run(std::initializer_list<std::string> args) const {
    std::string command = testsupport::ShellQuoted(LUMIVANT_BITMAPLIST);
    for (const std::string& arg : args) command += " " + testsupport::ShellQuoted(arg);
    return testsupport::RunCommand(command, dir_);
  }

  // Runs the tool expecting a failure about `file`: status 1, one line on
  // stderr that names it, nothing on stdout.
  void ExpectFailure(std::initializer_list<std::string> args, const std::string& file,
                     const std::string& problem = "") const {
    const Result r = Run(args);
    std::string shown;
    for (const std::string& arg : args) shown += " " + arg;
    EXPECT_EQ(r.status, 1) << shown << "\n" << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("bitmaplist: " + file + ": ", 0), 0u) << shown << "\n" << r.err;
    if (!problem.empty()) {
      EXPECT_NE(r.err.find(problem), std::string::npos) << shown << "\n" << r.err;
    }
    EXPECT_EQ(r.out, "") << shown;
  }

  void ExpectUsageError(std::initializer_list<std::string> args, const std::string& problem) const {
    const Result r = Run(args);
    std::string shown;
    for (const std::string& arg : args) shown += " " + arg;
    EXPECT_EQ(r.status, 1) << shown;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("bitmaplist: ", 0), 0u) << shown << "\n" << r.err;
    EXPECT_NE(r.err.find(problem), std::string::npos) << shown << "\n" << r.err;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << shown << "\n" << r.err;
    EXPECT_EQ(r.out, "") << shown;
  }

  // Everything in the folder, sorted, folders with a trailing slash.
  std::vector<std::string> Entries(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      std::string name = fs::relative(entry.path(), folder).generic_string();
      if (entry.is_directory()) name += "/";
      names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Packs a.bmp and b.bmp into `name`; its bytes.
  std::string Pack(const std::string& name, bool compressed) const {
    const Result r = compressed ? Run({"pack", "--compressed", P(name), P("a.bmp"), P("b.bmp")})
                                : Run({"pack", P(name), P("a.bmp"), P("b.bmp")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return Slurp(dir_ / name);
  }

  fs::path dir_;
  std::vector<std::string> inputs_;
};

TEST_F(BitmapListToolTest, PackThenUnpackGivesTheFilesBack) {
  const std::string plain = Pack("list.bin", false);
  ASSERT_EQ(plain.size(), 45364u);
  EXPECT_EQ(plain.substr(0, 4), "MBML");
  EXPECT_EQ(Int32At(plain, 4), 2);
  EXPECT_EQ(Int32At(plain, 8), static_cast<std::int32_t>(kBmpBytes));
  EXPECT_EQ(plain.substr(12, kBmpBytes), Slurp(dir_ / "a.bmp"));
  EXPECT_EQ(plain.substr(12 + kBmpBytes + 4), Slurp(dir_ / "b.bmp"));

  const Result r = Run({"unpack", P("list.bin"), P("out")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Entries(dir_ / "out"), (std::vector<std::string>{"0.bmp", "1.bmp"}));
  EXPECT_EQ(Slurp(dir_ / "out" / "0.bmp"), Slurp(dir_ / "a.bmp"));
  EXPECT_EQ(Slurp(dir_ / "out" / "1.bmp"), Slurp(dir_ / "b.bmp"));
}

TEST_F(BitmapListToolTest, CompressedPackUnpacksToTheSameFiles) {
  const std::string compressed = Pack("list.bin", true);
  EXPECT_EQ(compressed.substr(0, 4), "MBMC");
  EXPECT_EQ(Int32At(compressed, 4), 2);
  ASSERT_EQ(Run({"unpack", P("list.bin"), P("out/deeper/")}).status, 0);
  EXPECT_EQ(Entries(dir_ / "out"), (std::vector<std::string>{"deeper/", "deeper/0.bmp", "deeper/1.bmp"}));
  EXPECT_EQ(Slurp(dir_ / "out" / "deeper" / "0.bmp"), Slurp(dir_ / "a.bmp"));
  EXPECT_EQ(Slurp(dir_ / "out" / "deeper" / "1.bmp"), Slurp(dir_ / "b.bmp"));
}

TEST_F(BitmapListToolTest, UnpackReplacesEarlierFiles) {
  Pack("list.bin", false);
  fs::create_directory(dir_ / "out");
  Spill(dir_ / "out" / "0.bmp", "old");
  Spill(dir_ / "out" / "keep.txt", "mine");
  ASSERT_EQ(Run({"unpack", P("list.bin"), P("out")}).status, 0);
  EXPECT_EQ(Entries(dir_ / "out"), (std::vector<std::string>{"0.bmp", "1.bmp", "keep.txt"}));
  EXPECT_EQ(Slurp(dir_ / "out" / "0.bmp"), Slurp(dir_ / "a.bmp"));
  EXPECT_EQ(Slurp(dir_ / "out" / "keep.txt"), "mine");
}

TEST_F(BitmapListToolTest, PackWithoutInputsIsAnEmptyList) {
  Result r = Run({"pack", P("empty.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Slurp(dir_ / "empty.bin"), std::string("MBML\0\0\0\0", 8));
  r = Run({"pack", "--compressed", P("empty-c.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Slurp(dir_ / "empty-c.bin"), std::string("MBMC\0\0\0\0", 8));

  r = Run({"info", P("empty.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, P("empty.bin") + ": plain (MBML), 0 bitmaps, 8 bytes\n");
  ASSERT_EQ(Run({"unpack", P("empty-c.bin"), P("out")}).status, 0);
  EXPECT_TRUE(fs::is_directory(dir_ / "out"));
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST_F(BitmapListToolTest, ConvertRoundTripsAndCompresses) {
  const std::string plain = Pack("plain.bin", false);
  Result r = Run({"convert", "--compressed", P("plain.bin"), P("compressed.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::string compressed = Slurp(dir_ / "compressed.bin");
  EXPECT_EQ(compressed.substr(0, 4), "MBMC");
  EXPECT_EQ(compressed, Pack("packed-compressed.bin", true));

  ASSERT_EQ(Run({"convert", "--plain", P("compressed.bin"), P("back.bin")}).status, 0);
  EXPECT_EQ(Slurp(dir_ / "back.bin"), plain);
  // Converting to the variant a stream already has changes nothing.
  ASSERT_EQ(Run({"convert", "--compressed", P("compressed.bin"), P("again.bin")}).status, 0);
  EXPECT_EQ(Slurp(dir_ / "again.bin"), compressed);
  // In place.
  ASSERT_EQ(Run({"convert", "--plain", P("again.bin"), P("again.bin")}).status, 0);
  EXPECT_EQ(Slurp(dir_ / "again.bin"), plain);

  // The picture with large uniform areas codes much smaller.
  ASSERT_EQ(Run({"pack", P("a-plain.bin"), P("a.bmp")}).status, 0);
  ASSERT_EQ(Run({"convert", "--compressed", P("a-plain.bin"), P("a-compressed.bin")}).status, 0);
  const auto plainSize = fs::file_size(dir_ / "a-plain.bin");
  const auto compressedSize = fs::file_size(dir_ / "a-compressed.bin");
  EXPECT_EQ(plainSize, 8 + 4 + kBmpBytes);
  EXPECT_LT(compressedSize * 4, plainSize) << compressedSize;
}

TEST_F(BitmapListToolTest, InfoShowsVariantCountSizesDepthsAndLengths) {
  Pack("plain.bin", false);
  Result r = Run({"info", P("plain.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, P("plain.bin") +
                       ": plain (MBML), 2 bitmaps, 45364 bytes\n"
                       "  0: 87 x 65, 32-bit, 22674 bytes\n"
                       "  1: 87 x 65, 32-bit, 22674 bytes\n");

  const std::string compressed = Pack("compressed.bin", true);
  const std::int32_t total0 = Int32At(compressed, 8);
  const std::int32_t total1 = Int32At(compressed, 12 + static_cast<std::size_t>(total0));
  r = Run({"info", P("compressed.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, P("compressed.bin") + ": compressed (MBMC), 2 bitmaps, " +
                       std::to_string(compressed.size()) +
                       " bytes\n"
                       "  0: 87 x 65, 32-bit, " +
                       std::to_string(total0) +
                       " bytes coded, 22674 decoded\n"
                       "  1: 87 x 65, 32-bit, " +
                       std::to_string(total1) + " bytes coded, 22674 decoded\n");
}

TEST_F(BitmapListToolTest, AnEmptyBitmapIsShownAndNotUnpacked) {
  const std::string a = Slurp(dir_ / "a.bmp");
  const std::string item = Int32Bytes(static_cast<std::int32_t>(a.size())) + a;
  const std::string plain = "MBML" + Int32Bytes(3) + item + Int32Bytes(0) + item;
  Spill(dir_ / "plain.bin", plain);
  ASSERT_EQ(Run({"convert", "--compressed", P("plain.bin"), P("compressed.bin")}).status, 0);
  ASSERT_EQ(Run({"convert", "--plain", P("compressed.bin"), P("back.bin")}).status, 0);
  EXPECT_EQ(Slurp(dir_ / "back.bin"), plain);

  Result r = Run({"info", P("plain.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, P("plain.bin") +
                       ": plain (MBML), 3 bitmaps, 45368 bytes\n"
                       "  0: 87 x 65, 32-bit, 22674 bytes\n"
                       "  1: empty, 0 bytes\n"
                       "  2: 87 x 65, 32-bit, 22674 bytes\n");
  r = Run({"info", P("compressed.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n  1: empty, 0 bytes coded, 0 decoded\n"), std::string::npos) << r.out;

  r = Run({"unpack", P("compressed.bin"), P("out")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "bitmap 1 is empty: " + P("out") + "/1.bmp not written\n");
  EXPECT_EQ(Entries(dir_ / "out"), (std::vector<std::string>{"0.bmp", "2.bmp"}));
  EXPECT_EQ(Slurp(dir_ / "out" / "2.bmp"), a);
}

TEST_F(BitmapListToolTest, MissingInputFile) {
  Spill(dir_ / "old.bin", "precious");
  ExpectFailure({"pack", P("new.bin"), P("a.bmp"), P("missing.bmp")}, P("missing.bmp"), "No such file");
  ExpectFailure({"pack", P("old.bin"), P("missing.bmp")}, P("missing.bmp"), "No such file");
  ExpectFailure({"unpack", P("missing.bin"), P("out")}, P("missing.bin"), "No such file");
  ExpectFailure({"info", P("missing.bin")}, P("missing.bin"), "No such file");
  ExpectFailure({"convert", "--plain", P("missing.bin"), P("old.bin")}, P("missing.bin"), "No such file");
  ExpectFailure({"pack", P("new.bin"), dir_.string()}, dir_.string());  // a folder is no BMP
  EXPECT_EQ(Slurp(dir_ / "old.bin"), "precious");
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"a.bmp", "b.bmp", "old.bin"}));
}

TEST_F(BitmapListToolTest, WrongMagic) {
  std::string stream = Pack("list.bin", false);
  Spill(dir_ / "old.bin", "precious");
  for (const std::string& magic : {std::string("MBMX"), std::string("mbml"), std::string("BM6X")}) {
    Spill(dir_ / "bad.bin", magic + stream.substr(4));
    ExpectFailure({"info", P("bad.bin")}, P("bad.bin"), "not a bitmap list stream");
    ExpectFailure({"unpack", P("bad.bin"), P("out")}, P("bad.bin"), "not a bitmap list stream");
    ExpectFailure({"convert", "--compressed", P("bad.bin"), P("old.bin")}, P("bad.bin"),
                  "not a bitmap list stream");
  }
  // A BMP file where a list is expected.
  ExpectFailure({"info", P("a.bmp")}, P("a.bmp"), "not a bitmap list stream");
  Spill(dir_ / "empty.bin", "");
  ExpectFailure({"info", P("empty.bin")}, P("empty.bin"), "empty");
  EXPECT_EQ(Slurp(dir_ / "old.bin"), "precious");
  EXPECT_EQ(Entries(dir_),
            (std::vector<std::string>{"a.bmp", "b.bmp", "bad.bin", "empty.bin", "list.bin", "old.bin"}));
}

TEST_F(BitmapListToolTest, TruncatedStreams) {
  const std::string plain = Pack("plain.bin", false);
  const std::string compressed = Pack("compressed.bin", true);
  Spill(dir_ / "old.bin", "precious");
  for (const std::string* stream : {&plain, &compressed}) {
    const std::size_t n = stream->size();
    for (std::size_t cut :
         {std::size_t{2}, std::size_t{4}, std::size_t{7}, std::size_t{8}, std::size_t{10}, std::size_t{12},
          std::size_t{13}, std::size_t{17}, std::size_t{100}, n / 2, n - 4, n - 1}) {
      SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(n));
      Spill(dir_ / "cut.bin", stream->substr(0, cut));
      ExpectFailure({"info", P("cut.bin")}, P("cut.bin"), "truncated");
      ExpectFailure({"unpack", P("cut.bin"), P("out")}, P("cut.bin"), "truncated");
      ExpectFailure({"convert", "--plain", P("cut.bin"), P("old.bin")}, P("cut.bin"), "truncated");
      ExpectFailure({"convert", "--compressed", P("cut.bin"), P("new.bin")}, P("cut.bin"), "truncated");
    }
  }
  EXPECT_EQ(Slurp(dir_ / "old.bin"), "precious");
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"a.bmp", "b.bmp", "compressed.bin", "cut.bin", "old.bin",
                                                     "plain.bin"}));
}

TEST_F(BitmapListToolTest, CorruptStreams) {
  const std::string plain = Pack("plain.bin", false);
  const std::string compressed = Pack("compressed.bin", true);
  Spill(dir_ / "old.bin", "precious");
  std::vector<std::pair<std::string, std::string>> cases;  // stream, what the message says

  // The first block's flag says "stored": the coded bytes come out as they
  // are, which is no BMP image.
  ASSERT_EQ(compressed.at(16), '\x40');
  std::string bad = compressed;
  bad.at(16) = '\x80';
  cases.emplace_back(bad, "bitmap 0: not a valid BMP image");
  // Coded data that refers back before the start of the block.
  bad = compressed;
  std::fill(bad.begin() + 17, bad.begin() + 16 + Int32At(compressed, 12), '\xFF');
  cases.emplace_back(bad, "bitmap 0: Compressed block is corrupt");
  // A block longer than its bitmap.
  bad = compressed;
  PutInt32(bad, 12, Int32At(compressed, 8));
  cases.emplace_back(bad, "corrupt");
  // A negative block length.
  bad = compressed;
  PutInt32(bad, 12, -1);
  cases.emplace_back(bad, "corrupt");
  // A negative count and item length.
  bad = plain;
  PutInt32(bad, 4, -2);
  cases.emplace_back(bad, "corrupt");
  bad = plain;
  PutInt32(bad, 8, -1);
  cases.emplace_back(bad, "corrupt");
  // A stray byte after the last bitmap.
  cases.emplace_back(plain + "x", "corrupt");
  cases.emplace_back(compressed + "x", "corrupt");

  for (const auto& [stream, problem] : cases) {
    SCOPED_TRACE(problem);
    Spill(dir_ / "bad.bin", stream);
    ExpectFailure({"info", P("bad.bin")}, P("bad.bin"), problem);
    ExpectFailure({"unpack", P("bad.bin"), P("out")}, P("bad.bin"), problem);
    ExpectFailure({"convert", "--plain", P("bad.bin"), P("old.bin")}, P("bad.bin"), problem);
  }
  EXPECT_EQ(Slurp(dir_ / "old.bin"), "precious");
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"a.bmp", "b.bmp", "bad.bin", "compressed.bin", "old.bin",
                                                     "plain.bin"}));
}

TEST_F(BitmapListToolTest, PayloadThatIsNoBmp) {
  const std::string text = "this is not a picture";
  Spill(dir_ / "notes.bmp", text);
  Spill(dir_ / "old.bin", "precious");
  ExpectFailure({"pack", P("old.bin"), P("a.bmp"), P("notes.bmp")}, P("notes.bmp"), "not a valid BMP image");
  ExpectFailure({"pack", "--compressed", P("new.bin"), P("notes.bmp")}, P("notes.bmp"),
                "not a valid BMP image");

  // A well-framed list whose second item is text.
  const std::string a = Slurp(dir_ / "a.bmp");
  Spill(dir_ / "bad.bin", "MBML" + Int32Bytes(2) + Int32Bytes(static_cast<std::int32_t>(a.size())) + a +
                              Int32Bytes(static_cast<std::int32_t>(text.size())) + text);
  ExpectFailure({"info", P("bad.bin")}, P("bad.bin"), "bitmap 1: not a valid BMP image");
  ExpectFailure({"unpack", P("bad.bin"), P("out")}, P("bad.bin"), "bitmap 1: not a valid BMP image");
  ExpectFailure({"convert", "--compressed", P("bad.bin"), P("old.bin")}, P("bad.bin"), "bitmap 1");
  // The same, compressed: the blocks decode, to text.
  Spill(dir_ / "text.bin",
        "MBML" + Int32Bytes(1) + Int32Bytes(static_cast<std::int32_t>(text.size())) + text);
  ASSERT_EQ(Run({"convert", "--compressed", P("text.bin"), P("text-c.bin")}).status, 1);
  EXPECT_EQ(Entries(dir_),
            (std::vector<std::string>{"a.bmp", "b.bmp", "bad.bin", "notes.bmp", "old.bin", "text.bin"}));
  EXPECT_EQ(Slurp(dir_ / "old.bin"), "precious");
}

TEST_F(BitmapListToolTest, OutputsThatCannotBeWritten) {
  Pack("list.bin", false);
  ExpectFailure({"pack", P("no/such/dir/x.bin"), P("a.bmp")}, P("no/such/dir/x.bin"));
  fs::create_directory(dir_ / "folder");
  ExpectFailure({"convert", "--compressed", P("list.bin"), P("folder")}, P("folder"));
  // DIR is a file, or lies under one.
  Spill(dir_ / "file", "precious");
  ExpectFailure({"unpack", P("list.bin"), P("file")}, P("file"), "not a folder");
  ExpectFailure({"unpack", P("list.bin"), P("file/sub")}, P("file/sub"));
  EXPECT_EQ(Slurp(dir_ / "file"), "precious");
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"a.bmp", "b.bmp", "file", "folder/", "list.bin"}));
}

TEST_F(BitmapListToolTest, FailedUnpackTakesBackWhatItWrote) {
  Pack("list.bin", false);
  fs::create_directories(dir_ / "out" / "1.bmp");  // where the second file should go
  Spill(dir_ / "out" / "0.bmp", "old");
  ExpectFailure({"unpack", P("list.bin"), P("out")}, P("out/1.bmp"));
  EXPECT_EQ(Entries(dir_ / "out"), (std::vector<std::string>{"0.bmp", "1.bmp/"}));
  EXPECT_EQ(Slurp(dir_ / "out" / "0.bmp"), "old");

  // A stream that does not decode makes no folder.
  Spill(dir_ / "bad.bin", "MBML" + Int32Bytes(1) + Int32Bytes(5) + "hello");
  ExpectFailure({"unpack", P("bad.bin"), P("made/deep")}, P("bad.bin"));
  EXPECT_FALSE(fs::exists(dir_ / "made"));
}

TEST_F(BitmapListToolTest, UsageErrors) {
  Pack("list.bin", false);
  Spill(dir_ / "old.bin", "precious");
  ExpectUsageError({"frobnicate", P("list.bin")}, "unknown command 'frobnicate'");
  ExpectUsageError({"--frobnicate"}, "unknown option '--frobnicate'");
  ExpectUsageError({"pack", "--fast", P("old.bin"), P("a.bmp")}, "unknown option '--fast'");
  ExpectUsageError({"pack", "--plain", P("old.bin"), P("a.bmp")}, "unknown option '--plain'");
  ExpectUsageError({"info", "--compressed", P("list.bin")}, "unknown option '--compressed'");
  ExpectUsageError({"pack"}, "pack expects");
  ExpectUsageError({"unpack", P("list.bin")}, "unpack expects");
  ExpectUsageError({"unpack", P("list.bin"), P("out"), P("more")}, "unpack expects");
  ExpectUsageError({"info"}, "info expects");
  ExpectUsageError({"info", P("list.bin"), P("old.bin")}, "info expects");
  ExpectUsageError({"convert", P("list.bin"), P("old.bin")}, "--compressed and --plain");
  ExpectUsageError({"convert", "--plain", "--compressed", P("list.bin"), P("old.bin")},
                   "--compressed and --plain");
  ExpectUsageError({"convert", "--plain", P("list.bin")}, "convert expects");
  ExpectUsageError({"--version", "extra"}, "unknown option '--version'");

  const Result r = Run({});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("usage: bitmaplist"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  EXPECT_EQ(Slurp(dir_ / "old.bin"), "precious");
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"a.bmp", "b.bmp", "list.bin", "old.bin"}));
}

TEST_F(BitmapListToolTest, HelpNamesEveryCommand) {
  for (const char* flag : {"--help", "-h"}) {
    const Result r = Run({flag});
    EXPECT_EQ(r.status, 0) << flag;
    EXPECT_EQ(r.err, "") << flag;
    for (const char* word : {"pack", "unpack", "info", "convert", "--compressed", "--plain", "MBML", "MBMC",
                             "8-byte", "Exit status"})
      EXPECT_NE(r.out.find(word), std::string::npos) << flag << " " << word;
  }
  const Result r = Run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("bitmaplist ", 0), 0u) << r.out;
}

}  // namespace
