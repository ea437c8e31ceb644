// TStream, TMemoryStream and TFileStream (over a POSIX file descriptor).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "toolkit/Classes.h"

namespace toolkit {

// ---- TStream --------------------------------------------------------------------

std::int64_t TStream::Size() {
  const std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError("This stream cannot change its size"); }

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count < 0 || (count > 0 && Read(buffer, count) != count)) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count < 0 || (count > 0 && Write(buffer, count) != count)) throw EWriteError(SWriteError);
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count < 0) throw EReadError(SReadError);
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr std::int64_t kChunk = 64 * 1024;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(count, kChunk)));
  for (std::int64_t left = count; left > 0;) {
    const std::int64_t n = std::min(left, kChunk);
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

// ---- TMemoryStream --------------------------------------------------------------

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t available = Size() - position_;
  const std::int64_t n = std::min(count, available);
  if (n <= 0) return 0;
  std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  if (count > std::numeric_limits<std::int64_t>::max() - position_) throw EWriteError(SWriteError);
  const std::int64_t end = position_ + count;
  if (end > Size()) data_.resize(static_cast<std::size_t>(end));
  std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
  position_ = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const std::int64_t base = origin == TSeekOrigin::soBeginning ? 0
                            : origin == TSeekOrigin::soCurrent ? position_
                                                                : Size();
  if (offset < -base) throw EStreamError("Cannot seek before the start of the stream");
  // Past the end is allowed: a write there fills the gap with zeros.
  position_ = base + offset;
  return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) throw EStreamError("Invalid stream size");
  data_.resize(static_cast<std::size_t>(size));
  position_ = std::min(position_, size);
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const std::int64_t size = stream.Size();
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  stream.ReadBuffer(data.data(), size);
  data_ = std::move(data);
  position_ = 0;
}

void TMemoryStream::SaveToStream(TStream& stream) { stream.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TSafeFileStream file(fileName);
  SaveToStream(file);
  file.Commit();
}

// ---- TFileStream ----------------------------------------------------------------

namespace {

std::string SystemError(int error) { return std::strerror(error); }

std::string FileError(const char* pattern, const std::string& fileName, int error) {
  return Format(pattern, fileName.c_str()) + ". " + SystemError(error);
}

int AccessFlags(unsigned mode) {
  switch (mode & 3u) {
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    default: return O_RDONLY;
  }
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, unsigned mode) {
  if ((mode & fmCreate) == fmCreate) {
    fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) throw EFCreateError(FileError(SFCreateError, fileName, errno));
    return;
  }
  fd_ = ::open(fileName.c_str(), AccessFlags(mode) | O_CLOEXEC);
  if (fd_ < 0) throw EFOpenError(FileError(SFOpenError, fileName, errno));
  // Linux opens folders for reading; a stream over one could never read.
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd_);
    fd_ = -1;
    throw EFOpenError(FileError(SFOpenError, fileName, error));
  }
}

TFileStream::~TFileStream() { Close(); }

int TFileStream::Close() {
  if (fd_ < 0) return 0;
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0 ? 0 : errno;
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(count - done, 1 << 30));
    const ssize_t n = ::read(fd_, bytes + done, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError(std::string(SReadError) + ". " + SystemError(errno));
    if (n == 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(count - done, 1 << 30));
    const ssize_t n = ::write(fd_, bytes + done, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EWriteError(std::string(SWriteError) + ". " + SystemError(errno));
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                         : SEEK_END;
  const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (position < 0) throw EStreamError("Cannot seek in the file. " + SystemError(errno));
  return position;
}

void TFileStream::SetSize(std::int64_t size) {
  if (size < 0) throw EStreamError("Invalid stream size");
  const std::int64_t position = Position();
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
    throw EStreamError("Cannot change the file's size. " + SystemError(errno));
  if (position > size) SetPosition(size);
}

}  // namespace toolkit
