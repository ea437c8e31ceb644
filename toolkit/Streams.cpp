// TStream, TMemoryStream and TFileStream (over the platform's files).
#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/Files.h"
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

platform::File::Access AccessOf(unsigned mode) {
  switch (mode & 3u) {
    case fmOpenWrite: return platform::File::Access::Write;
    case fmOpenReadWrite: return platform::File::Access::ReadWrite;
    default: return platform::File::Access::Read;
  }
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, unsigned mode) try
    : TFileStream((mode & fmCreate) == fmCreate ? platform::File::Create(fileName)
                                                : platform::File::Open(fileName, AccessOf(mode))) {
} catch (const platform::FileError& e) {
  if ((mode & fmCreate) == fmCreate) throw EFCreateError(FileErrorText(SFCreateError, fileName, e));
  throw EFOpenError(FileErrorText(SFOpenError, fileName, e));
}

TFileStream::TFileStream(platform::File file) : file_(std::make_unique<platform::File>(std::move(file))) {}

TFileStream::~TFileStream() = default;

std::string TFileStream::FileErrorText(const char* pattern, const std::string& fileName,
                                       const platform::FileError& error) {
  return Format(pattern, fileName.c_str()) + ". " + error.Reason();
}

int TFileStream::Handle() const { return file_->Descriptor(); }

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  try {
    return file_->Read(buffer, count);
  } catch (const platform::FileError& e) {
    throw EReadError(std::string(SReadError) + ". " + e.Reason());
  }
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  try {
    file_->Write(buffer, count);
  } catch (const platform::FileError& e) {
    throw EWriteError(std::string(SWriteError) + ". " + e.Reason());
  }
  return std::max<std::int64_t>(count, 0);
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const platform::File::Origin from = origin == TSeekOrigin::soBeginning ? platform::File::Origin::Begin
                                      : origin == TSeekOrigin::soCurrent ? platform::File::Origin::Current
                                                                         : platform::File::Origin::End;
  try {
    return file_->Seek(offset, from);
  } catch (const platform::FileError& e) {
    throw EStreamError("Cannot seek in the file. " + e.Reason());
  }
}

void TFileStream::SetSize(std::int64_t size) {
  if (size < 0) throw EStreamError("Invalid stream size");
  const std::int64_t position = Position();
  try {
    file_->Truncate(size);
  } catch (const platform::FileError& e) {
    throw EStreamError("Cannot change the file's size. " + e.Reason());
  }
  if (position > size) SetPosition(size);
}

}  // namespace toolkit
