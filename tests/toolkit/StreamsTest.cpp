// Memory and file streams: reading, writing, seeking, copying, and the
// errors of each, with every file descriptor closed again.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Expect.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Classes.h"
#include "tests/support/ScratchDir.h"

namespace toolkit {
namespace {

namespace fs = std::filesystem;
using testsupport::ThrownMessage;
using testsupport::ThrowsWithMessage;

// The process's open descriptors, where the system lists them (Linux; under
// wine the list is the emulator's own, which changes by itself).
int OpenDescriptors() {
#ifdef _WIN32
  return 0;
#endif
  int count = 0;
  std::error_code ec;
  for (fs::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec)) ++count;
  return count;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::MakeScratchDir("lumivant-streams");
    ASSERT_FALSE(dir_.empty());
    descriptors_ = OpenDescriptors();
  }
  void TearDown() override {
    EXPECT_EQ(OpenDescriptors(), descriptors_) << "a file descriptor was left open";
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Slurp(const std::string& name) const {
    std::ostringstream text;
    text << std::ifstream(Path(name), std::ios::binary).rdbuf();
    return text.str();
  }
  // Everything in the folder, temporaries included, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
  int descriptors_ = 0;
};

#ifndef _WIN32
// Writes beyond `bytes` into any file fail with an error instead of ending
// the process, while the guard lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, handler_);
  }

 private:
  void (*handler_)(int);
  rlimit old_{};
};
#endif

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
  EXPECT_EQ(ThrownMessage<EReadError>([&] { s.ReadBuffer(buffer, 3); }), "Stream read error");
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

// Names are UTF-8 on every system: on disk the file has the very name given.
TEST_F(FileStreamTest, NamesAreUtf8) {
  const std::string name =
      "Gr\xC3\xB6\xC3\x9F"
      "e-\xD0\xB6.bin";  // "Größe-ж.bin"
  const std::string path = dir_.string() + "/" + name;
  {
    TSafeFileStream out(path);
    out.WriteBuffer("x", 1);
    out.Commit();
  }
  TFileStream in(path, fmOpenRead);
  EXPECT_EQ(in.Size(), 1);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    const std::u8string utf8 = entry.path().filename().u8string();
    names.emplace_back(utf8.begin(), utf8.end());
  }
  EXPECT_EQ(names, std::vector<std::string>{name});
}

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
  {
    TFileStream out(Path("b.bin"), fmCreate);
    out.WriteBuffer("0123456789", 10);
  }
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
  EXPECT_EQ(ThrownMessage<EFOpenError>([&] { TFileStream f(path, fmOpenRead); }),
            "Cannot open file \"" + path + "\". No such file or directory");
}

TEST_F(FileStreamTest, UncreatableFileNamesTheFileAndTheReason) {
  const std::string path = Path("no/such/folder/x.bin");
  EXPECT_EQ(ThrownMessage<EFCreateError>([&] { TFileStream f(path, fmCreate); }),
            "Cannot create file \"" + path + "\". No such file or directory");
}

TEST_F(FileStreamTest, AFolderIsNotAFile) {
  EXPECT_TRUE(
      ThrowsWithMessage<EFOpenError>([&] { TFileStream f(dir_.string(), fmOpenRead); }, "Is a directory"));
}

TEST_F(FileStreamTest, WritingAReadOnlyStreamFails) {
  { TFileStream out(Path("c.bin"), fmCreate); }
  TFileStream in(Path("c.bin"), fmOpenRead);
  EXPECT_THROW(in.WriteBuffer("x", 1), EWriteError);
}

TEST_F(FileStreamTest, AFailedCallSaysWhatFailedAndTheSystemsReason) {
  { TFileStream out(Path("d.bin"), fmCreate); }
  TFileStream in(Path("d.bin"), fmOpenRead);
  EXPECT_EQ(ThrownMessage<EWriteError>([&] { in.Write("x", 1); }), "Stream write error. Bad file descriptor");
  EXPECT_EQ(ThrownMessage<EStreamError>([&] { in.Seek(-1, TSeekOrigin::soBeginning); }),
            "Cannot seek in the file. Invalid argument");
  EXPECT_TRUE(ThrowsWithMessage<EStreamError>([&] { in.SetSize(0); }, "Cannot change the file's size. "));
  TFileStream out(Path("d.bin"), fmOpenWrite);
  char buffer[1];
  EXPECT_EQ(ThrownMessage<EReadError>([&] { out.Read(buffer, 1); }),
            "Stream read error. Bad file descriptor");
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

// ---- saving over a file ------------------------------------------------------------

// A full disk, symbolic links and devices, as POSIX systems have them.
#ifndef _WIN32
TEST_F(FileStreamTest, ASaveThatFailsPartWayKeepsTheOldFile) {
  TMemoryStream memory;
  memory.SetSize(70000);
  TBitmap bitmap;
  bitmap.SetSize(100, 100);  // 40,054 bytes as a BMP file
  TPicture picture;
  picture.Bitmap()->SetSize(100, 100);
  const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> saves = {
      {"memory stream", [&](const std::string& file) { memory.SaveToFile(file); }},
      {"bitmap", [&](const std::string& file) { bitmap.SaveToFile(file); }},
      {"picture", [&](const std::string& file) { picture.SaveToFile(file); }},
  };
  for (const auto& [what, save] : saves) {
    SCOPED_TRACE(what);
    std::ofstream(Path("kept.bin")) << "the earlier file";
    try {
      const FileSizeLimit limit(4096);
      save(Path("kept.bin"));
      ADD_FAILURE() << "the save went through";
    } catch (const Exception&) {
    }
    const std::string kept = Slurp("kept.bin");
    EXPECT_TRUE(kept == "the earlier file") << "now " << kept.size() << " bytes";
    EXPECT_THROW(save(Path("missing/kept.bin")), EFCreateError);
    EXPECT_EQ(Names(), std::vector<std::string>{"kept.bin"}) << "a temporary was left behind";
  }
}

TEST_F(FileStreamTest, ASafeFileTakesItsNameOnlyOnCommit) {
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  std::ofstream(Path("real.bin")) << "old";
  fs::permissions(Path("real.bin"), mode);
  fs::create_symlink("real.bin", dir_ / "link.bin");
  fs::create_symlink("later.bin", dir_ / "ahead.bin");  // names no file yet
  {
    TSafeFileStream uncommitted(Path("link.bin"));
    uncommitted.WriteBuffer("new", 3);
    EXPECT_EQ(Names().size(), 4u) << "the temporary lies beside the file";
  }
  EXPECT_EQ(Slurp("real.bin"), "old");
  for (const char* name : {"link.bin", "ahead.bin"}) {
    TSafeFileStream file(Path(name));
    file.WriteBuffer("new", 3);
    file.Commit();
  }
  EXPECT_EQ(Slurp("real.bin"), "new");
  EXPECT_EQ(Slurp("later.bin"), "new");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.bin") && fs::is_symlink(dir_ / "ahead.bin")) << "links stay links";
  EXPECT_EQ(fs::status(Path("real.bin")).permissions(), mode);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ahead.bin", "later.bin", "link.bin", "real.bin"}));

  TSafeFileStream device("/dev/null");  // written through: it cannot be replaced
  device.WriteBuffer("x", 1);
  EXPECT_NO_THROW(device.Commit());
}
#endif

}  // namespace
}  // namespace toolkit
