// Memory and file streams: reading, writing, seeking, copying, and the
// errors of each, with every file descriptor closed again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "toolkit/Classes.h"

namespace toolkit {
namespace {

namespace fs = std::filesystem;

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "lumivant-streams-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    descriptors_ = OpenDescriptors();
  }
  void TearDown() override {
    EXPECT_EQ(OpenDescriptors(), descriptors_) << "a file descriptor was left open";
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
  int descriptors_ = 0;
};

// ---- TMemoryStream --------------------------------------------------------------

TEST(MemoryStream, ReadsWhatWasWrittenAndStopsAtTheEnd) {
  TMemoryStream s;
  s.WriteBuffer("hello world", 11);
  EXPECT_EQ(s.Size(), 11);
  EXPECT_EQ(s.Position(), 11);
  s.SetPosition(6);
  char buffer[16] = {};
  EXPECT_EQ(s.Read(buffer, 16), 5);
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_EQ(s.Read(buffer, 16), 0);
  EXPECT_EQ(s.Seek(-5, TSeekOrigin::soEnd), 6);
  EXPECT_EQ(s.Seek(2, TSeekOrigin::soCurrent), 8);
  EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  TMemoryStream s;
  s.SetPosition(3);
  s.WriteBuffer("x", 1);
  EXPECT_EQ(s.Bytes(), (std::vector<std::uint8_t>{0, 0, 0, 'x'}));
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(s.Size(), 2);
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, ReadBufferNeedsEveryByte) {
  TMemoryStream s;
  s.WriteBuffer("abc", 3);
  s.SetPosition(1);
  char buffer[4];
  try {
    s.ReadBuffer(buffer, 3);
    FAIL() << "short read accepted";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  s.SetPosition(0);
  EXPECT_NO_THROW(s.ReadBuffer(buffer, 3));
  EXPECT_NO_THROW(s.ReadBuffer(buffer, 0));
}

TEST(MemoryStream, CopyFromTakesAllOrACount) {
  TMemoryStream source;
  source.WriteBuffer("0123456789", 10);
  source.SetPosition(7);
  TMemoryStream all;
  EXPECT_EQ(all.CopyFrom(source, 0), 10);  // 0: the whole source from its start
  EXPECT_EQ(all.Bytes(), Bytes("0123456789"));
  source.SetPosition(2);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(source, 3), 3);
  EXPECT_EQ(part.Bytes(), Bytes("234"));
  EXPECT_THROW(part.CopyFrom(source, 6), EReadError);  // five left
}

TEST(MemoryStream, LoadFromStreamTakesTheWholeSource) {
  TMemoryStream source;
  source.WriteBuffer("abcdef", 6);
  TMemoryStream copy;
  copy.WriteBuffer("old content", 11);
  copy.LoadFromStream(source);
  EXPECT_EQ(copy.Bytes(), Bytes("abcdef"));
  EXPECT_EQ(copy.Position(), 0);
}

// ---- TFileStream ----------------------------------------------------------------

TEST_F(FileStreamTest, CreatesWritesAndReadsBack) {
  {
    TFileStream out(Path("a.bin"), fmCreate);
    out.WriteBuffer("file bytes", 10);
    EXPECT_EQ(out.Size(), 10);
  }
  TFileStream in(Path("a.bin"), fmOpenRead);
  EXPECT_EQ(in.Size(), 10);
  char buffer[32] = {};
  EXPECT_EQ(in.Read(buffer, 32), 10);
  EXPECT_EQ(std::string(buffer, 10), "file bytes");
  in.SetPosition(5);
  in.ReadBuffer(buffer, 5);
  EXPECT_EQ(std::string(buffer, 5), "bytes");
  EXPECT_THROW(in.ReadBuffer(buffer, 1), EReadError);
}

TEST_F(FileStreamTest, ReadWriteModeAndSetSize) {
  { TFileStream out(Path("b.bin"), fmCreate); out.WriteBuffer("0123456789", 10); }
  TFileStream f(Path("b.bin"), fmOpenReadWrite);
  f.Seek(0, TSeekOrigin::soEnd);
  f.SetSize(4);
  EXPECT_EQ(f.Size(), 4);
  EXPECT_EQ(f.Position(), 4);
  f.WriteBuffer("X", 1);
  EXPECT_EQ(fs::file_size(Path("b.bin")), 5u);
}

TEST_F(FileStreamTest, MissingFileNamesTheFileAndTheReason) {
  const std::string path = Path("missing.txt");
  try {
    TFileStream f(path, fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message, "Cannot open file \"" + path + "\". No such file or directory");
  }
}

TEST_F(FileStreamTest, UncreatableFileNamesTheFileAndTheReason) {
  const std::string path = Path("no/such/folder/x.bin");
  try {
    TFileStream f(path, fmCreate);
    FAIL() << "created a file in a missing folder";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message, "Cannot create file \"" + path + "\". No such file or directory");
  }
}

TEST_F(FileStreamTest, AFolderIsNotAFile) {
  try {
    TFileStream f(dir_.string(), fmOpenRead);
    FAIL() << "opened a folder";
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message.find("Is a directory"), std::string::npos) << e.Message;
  }
}

TEST_F(FileStreamTest, WritingAReadOnlyStreamFails) {
  { TFileStream out(Path("c.bin"), fmCreate); }
  TFileStream in(Path("c.bin"), fmOpenRead);
  EXPECT_THROW(in.WriteBuffer("x", 1), EWriteError);
}

TEST_F(FileStreamTest, MemoryStreamSavesAndLoadsFiles) {
  TMemoryStream out;
  std::vector<std::uint8_t> bytes(70000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  out.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  out.SaveToFile(Path("d.bin"));
  TMemoryStream in;
  in.LoadFromFile(Path("d.bin"));
  EXPECT_EQ(in.Bytes(), bytes);
  EXPECT_THROW(in.LoadFromFile(Path("none.bin")), EFOpenError);
  EXPECT_EQ(in.Bytes(), bytes);  // a failed load keeps what was there
}

}  // namespace
}  // namespace toolkit
