#include "tools/bitmaplist/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "toolkit/Classes.h"

namespace bitmaplist {

namespace fs = std::filesystem;

namespace {

std::string Why(int error) { return std::strerror(error); }

// The system's reason, which a file error of the toolkit gives after its
// last full stop, without the words naming the file: the line names it.
std::string Reason(const toolkit::Exception& e) {
  const std::size_t stop = e.Message.rfind(". ");
  return stop == std::string::npos ? e.Message : e.Message.substr(stop + 2);
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// A new empty file named `prefix` plus six random characters, with the
// permissions of `mode`; its path, or Failure naming `shownAs`.
std::string MakeTemporary(const std::string& prefix, mode_t mode, const std::string& shownAs) {
  std::string temp = prefix + "XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw Failure{shownAs, "cannot create: " + Why(errno)};
  // mkstemp makes the file private; the result should look like any other
  // file the user makes.
  ::fchmod(fd, mode);
  ::close(fd);
  return temp;
}

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Failure{path, "cannot open: " + Why(errno)};
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      throw Failure{path, "cannot read: " + Why(error)};
    }
    if (n == 0) break;
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  ::close(fd);
  return bytes;
}

void ReplaceFile(const std::string& output, std::span<const std::uint8_t> bytes) {
  try {
    toolkit::TSafeFileStream file(output);
    file.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    file.Commit();
  } catch (const toolkit::EFCreateError& e) {
    throw Failure{output, "cannot create: " + Reason(e)};
  } catch (const toolkit::EStreamError& e) {
    throw Failure{output, "cannot write: " + Reason(e)};
  }
}

FileSet::FileSet(std::string dir) : dir_(std::move(dir)) {
  std::vector<fs::path> missing;
  std::error_code ec;
  fs::path start = fs::path(dir_).lexically_normal();
  if (!start.has_filename() && start.has_parent_path()) start = start.parent_path();  // "out/"
  for (fs::path p = start; !p.empty(); p = p.parent_path()) {
    if (fs::exists(fs::symlink_status(p, ec)) || p == p.parent_path()) break;
    missing.push_back(p);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (::mkdir(it->c_str(), 0777) == 0) {
      madeDirs_.push_back(it->string());
    } else if (errno != EEXIST) {
      const int error = errno;
      Discard();
      const std::string which = *it == start ? "" : " " + it->string();
      throw Failure{dir_, "cannot create folder" + which + ": " + Why(error)};
    }
  }
  if (!fs::is_directory(dir_, ec)) {
    Discard();
    throw Failure{dir_, "not a folder"};
  }
}

FileSet::~FileSet() {
  if (!committed_) Discard();
}

std::string FileSet::Stage(const std::string& name) {
  const std::string final = (fs::path(dir_) / name).string();
  const std::string temp =
      MakeTemporary((fs::path(dir_) / ("." + name + ".")).string(), NewFileMode(), final);
  staged_.emplace_back(temp, final);
  return temp;
}

void FileSet::Commit() {
  // A failure reports a copy of the name: Discard clears the list.
  const auto fail = [this](std::string file, const std::string& problem) {
    Discard();
    throw Failure{std::move(file), problem};
  };
  for (const auto& [temp, final] : staged_) {
    // A file about to be replaced is kept under a second name until the
    // whole set is in place, so a failed commit can put it back.
    struct stat info {};
    if (::lstat(final.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      const std::string backup = MakeTemporary(temp + ".old", 0600, final);
      ::unlink(backup.c_str());
      // Where hard links are not to be had, the file moves aside instead.
      if (::link(final.c_str(), backup.c_str()) != 0 && ::rename(final.c_str(), backup.c_str()) != 0) {
        const int error = errno;
        fail(final, "cannot keep the earlier file: " + Why(error));
      }
      backups_.emplace_back(backup, final);
    }
    if (::rename(temp.c_str(), final.c_str()) != 0) {
      const int error = errno;
      fail(final, "cannot write: " + Why(error));
    }
    placed_.push_back(final);
  }
  for (const auto& [backup, final] : backups_) ::unlink(backup.c_str());
  backups_.clear();
  committed_ = true;
}

void FileSet::Discard() {
  for (const auto& [temp, final] : staged_) ::unlink(temp.c_str());
  for (const std::string& file : placed_) ::unlink(file.c_str());
  for (const auto& [backup, final] : backups_) ::rename(backup.c_str(), final.c_str());
  // Only folders left empty go: rmdir refuses the others.
  for (auto it = madeDirs_.rbegin(); it != madeDirs_.rend(); ++it) ::rmdir(it->c_str());
  staged_.clear();
  placed_.clear();
  backups_.clear();
  madeDirs_.clear();
}

}  // namespace bitmaplist
