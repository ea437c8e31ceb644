// Files through POSIX descriptors.
#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace platform {

namespace fs = std::filesystem;

namespace {

int AccessFlags(File::Access access) {
  switch (access) {
    case File::Access::Write: return O_WRONLY;
    case File::Access::ReadWrite: return O_RDWR;
    default: return O_RDONLY;
  }
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

File File::Open(const std::string& fileName, Access access) {
  File file(::open(fileName.c_str(), AccessFlags(access) | O_CLOEXEC));
  if (file.fd_ < 0) throw FileError("open " + fileName, errno);
  // Linux opens folders for reading; reading one could never succeed.
  struct stat info {};
  if (::fstat(file.fd_, &info) != 0) throw FileError("open " + fileName, errno);
  if (S_ISDIR(info.st_mode)) throw FileError("open " + fileName, EISDIR);
  return file;
}

File File::Create(const std::string& fileName) {
  File file(::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.fd_ < 0) throw FileError("create " + fileName, errno);
  return file;
}

File File::CreateNew(const std::string& fileName) {
  File file(::open(fileName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (file.fd_ < 0) throw FileError("create " + fileName, errno);
  return file;
}

std::int64_t File::Seek(std::int64_t offset, Origin origin) {
  const int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
  const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (position < 0) throw FileError("seek", errno);
  return position;
}

void File::Truncate(std::int64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw FileError("truncate", errno);
}

Replacement BeginReplace(const std::string& fileName) {
  const std::string action = "create " + fileName;
  Replacement r;
  struct stat info {};
  const bool exists = ::stat(fileName.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) throw FileError(action, errno);
  if (exists && S_ISDIR(info.st_mode)) throw FileError(action, EISDIR);
  if (exists && (!S_ISREG(info.st_mode) || IsSystemName(fileName))) {
    r.file = File(::open(fileName.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (r.file.fd_ < 0) throw FileError(action, errno);
    return r;
  }
  const fs::path target = FollowLinks(fileName);
  r.target = target.string();
  r.temp = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  r.file = File(::mkostemp(r.temp.data(), O_CLOEXEC));
  if (r.file.fd_ < 0) throw FileError(action, errno);
  if (exists && (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) &&
      ::fchown(r.file.fd_, info.st_uid, info.st_gid) != 0) {
    // Only the superuser gives files away; anyone else keeps what they save.
  }
  // Set after the owner, which clears the set-user bits. mkostemp makes
  // the file private; a new one looks like any other the user makes.
  ::fchmod(r.file.fd_, exists ? info.st_mode & 07777 : NewFileMode());
  return r;
}

void FinishReplace(File& file, const std::string& temp, const std::string& target) {
  int error = !temp.empty() && ::fsync(file.fd_) != 0 ? errno : 0;
  const int closeError = file.Release();
  if (error == 0) error = closeError;
  if (error == 0 && !temp.empty() && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) throw FileError("replace " + target, error);
}

void RemoveFile(const std::string& fileName) noexcept { ::unlink(fileName.c_str()); }

}  // namespace platform
