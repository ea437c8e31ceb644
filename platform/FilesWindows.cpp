// Files through the C runtime's descriptors, opened by their UTF-16 names so
// that any name the user types reaches the disk as it is.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "platform/Files.h"
#include "platform/WideText.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

int AccessFlags(File::Access access) {
  switch (access) {
    case File::Access::Write: return _O_WRONLY;
    case File::Access::ReadWrite: return _O_RDWR;
    default: return _O_RDONLY;
  }
}

// -1 with errno set when the system refuses.
int OpenByName(const fs::path& path, int flags) {
  int fd = -1;
  const errno_t error =
      ::_wsopen_s(&fd, path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
  if (error != 0) {
    errno = error;
    return -1;
  }
  return fd;
}

// The nearest error number for what the system's file functions report.
int ErrorNumber(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    default: return EIO;
  }
}

}  // namespace

File File::Open(const std::string& fileName, Access access) {
  const fs::path path = Utf8ToWide(fileName);
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw FileError("open " + fileName, EISDIR);
  File file(OpenByName(path, AccessFlags(access)));
  if (file.fd_ < 0) throw FileError("open " + fileName, errno);
  return file;
}

File File::Create(const std::string& fileName) {
  File file(OpenByName(Utf8ToWide(fileName), _O_RDWR | _O_CREAT | _O_TRUNC));
  if (file.fd_ < 0) throw FileError("create " + fileName, errno);
  return file;
}

File File::CreateNew(const std::string& fileName) {
  File file(OpenByName(Utf8ToWide(fileName), _O_RDWR | _O_CREAT | _O_EXCL));
  if (file.fd_ < 0) throw FileError("create " + fileName, errno);
  return file;
}

std::int64_t File::Seek(std::int64_t offset, Origin origin) {
  const int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
  const __int64 position = ::_lseeki64(fd_, offset, whence);
  if (position < 0) throw FileError("seek", errno);
  return position;
}

void File::Truncate(std::int64_t size) {
  if (const errno_t error = ::_chsize_s(fd_, size); error != 0) throw FileError("truncate", error);
}

Replacement BeginReplace(const std::string& fileName) {
  const std::string action = "create " + fileName;
  const fs::path target = Utf8ToWide(fileName);
  Replacement r;
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  if (fs::is_directory(status)) throw FileError(action, EISDIR);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    // A device: written as it is.
    r.file = File(OpenByName(target, _O_WRONLY | _O_TRUNC));
    if (r.file.fd_ < 0) throw FileError(action, errno);
    return r;
  }
  r.target = fileName;
  std::random_device random;
  for (int attempt = 0; attempt < 100 && r.file.fd_ < 0; ++attempt) {
    const fs::path temp = target.parent_path() /
                          (L"." + target.filename().wstring() + L"." + std::to_wstring(random() % 1000000));
    r.file = File(OpenByName(temp, _O_RDWR | _O_CREAT | _O_EXCL));
    if (r.file.fd_ >= 0) r.temp = WideToUtf8(temp.wstring());
    if (r.file.fd_ < 0 && errno != EEXIST) break;
  }
  if (r.file.fd_ < 0) throw FileError(action, errno);
  return r;
}

void FinishReplace(File& file, const std::string& temp, const std::string& target) {
  int error = !temp.empty() && ::_commit(file.fd_) != 0 ? errno : 0;
  const int closeError = file.Release();
  if (error == 0) error = closeError;
  if (error == 0 && !temp.empty() &&
      !::MoveFileExW(Utf8ToWide(temp).c_str(), Utf8ToWide(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = ErrorNumber(::GetLastError());
  }
  if (error != 0) throw FileError("replace " + target, error);
}

void RemoveFile(const std::string& fileName) noexcept { ::_wunlink(Utf8ToWide(fileName).c_str()); }

}  // namespace platform
