// What files do alike on every system: errors, ownership of the
// descriptor, and reads and writes in bounded pieces.
#include "platform/Files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {

FileError::FileError(const std::string& action, int error)
    : PlatformError(action + ": " + std::strerror(error)), reason_(std::strerror(error)) {}

namespace {

// One transfer stays well inside what a single system call accepts.
constexpr std::int64_t kMaxTransfer = 1 << 30;

}  // namespace

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

File::~File() { Release(); }

int File::Release() {
  if (fd_ < 0) return 0;
  const int result = ::close(std::exchange(fd_, -1));
  return result == 0 ? 0 : errno;
}

std::int64_t File::Read(void* buffer, std::int64_t count) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const auto want = static_cast<std::size_t>(std::min(count - done, kMaxTransfer));
    const ssize_t n = ::read(fd_, bytes + done, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw FileError("read", errno);
    if (n == 0) break;
    done += n;
  }
  return done;
}

void File::Write(const void* buffer, std::int64_t count) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const auto want = static_cast<std::size_t>(std::min(count - done, kMaxTransfer));
    const ssize_t n = ::write(fd_, bytes + done, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw FileError("write", errno);
    done += n;
  }
}

}  // namespace platform
