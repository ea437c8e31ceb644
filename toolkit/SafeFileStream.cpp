// TSafeFileStream: a save written beside its file and put in place whole.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "toolkit/Classes.h"

namespace toolkit {

namespace fs = std::filesystem;

struct TSafeFileStream::TTarget {
  std::string fileName;
  int fd = -1;
  std::string target;
  std::string temp;
};

namespace {

[[noreturn]] void CreateError(const std::string& fileName, int error) {
  throw EFCreateError(Format(SFCreateError, fileName.c_str()) + ". " + std::strerror(error));
}

// Names that stand for a device or an open descriptor, even where they
// lead to a regular file: replacing that file would not reach the reader.
bool IsSystemName(const std::string& fileName) {
  return fileName.rfind("/dev/", 0) == 0 || fileName.rfind("/proc/", 0) == 0;
}

// The file that `fileName` names once its symbolic links are followed,
// also when the last one leads nowhere yet.
fs::path FollowLinks(const std::string& fileName) {
  fs::path path = fileName;
  // The system gives up on chains longer than this too.
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) break;
    const fs::path next = fs::read_symlink(path, ec);
    if (ec) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

TSafeFileStream::TTarget TSafeFileStream::Prepare(const std::string& fileName) {
  TTarget t;
  t.fileName = fileName;
  struct stat info {};
  const bool exists = ::stat(fileName.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) CreateError(fileName, errno);
  if (exists && S_ISDIR(info.st_mode)) CreateError(fileName, EISDIR);
  if (exists && (!S_ISREG(info.st_mode) || IsSystemName(fileName))) {
    t.fd = ::open(fileName.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (t.fd < 0) CreateError(fileName, errno);
    return t;
  }
  const fs::path target = FollowLinks(fileName);
  t.target = target.string();
  t.temp = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  t.fd = ::mkostemp(t.temp.data(), O_CLOEXEC);
  if (t.fd < 0) CreateError(fileName, errno);
  if (exists && (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) &&
      ::fchown(t.fd, info.st_uid, info.st_gid) != 0) {
    // Only the superuser gives files away; anyone else keeps what they save.
  }
  // Set after the owner, which clears the set-user bits. mkostemp makes
  // the file private; a new one looks like any other the user makes.
  ::fchmod(t.fd, exists ? info.st_mode & 07777 : NewFileMode());
  return t;
}

TSafeFileStream::TSafeFileStream(const std::string& fileName) : TSafeFileStream(Prepare(fileName)) {}

TSafeFileStream::TSafeFileStream(TTarget target)
    : TFileStream(target.fd),
      fileName_(std::move(target.fileName)),
      target_(std::move(target.target)),
      temp_(std::move(target.temp)) {}

TSafeFileStream::~TSafeFileStream() {
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

void TSafeFileStream::Commit() {
  // On disk before it takes the name: a crash leaves the old file or the
  // new one, never an empty one.
  int error = !temp_.empty() && ::fsync(Handle()) != 0 ? errno : 0;
  const int closeError = Close();
  if (error == 0) error = closeError;
  if (error == 0 && !temp_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0) error = errno;
  // A failed commit leaves the temporary to the destructor.
  if (error != 0) CreateError(fileName_, error);
  temp_.clear();
}

}  // namespace toolkit
