#include "toolkit/ValueStream.h"

#include <cstring>
#include <limits>

#include "base/ByteOrder.h"

namespace toolkit::detail {

namespace {
// "Lumivant form, version 1".
constexpr char kSignature[4] = {'L', 'V', 'F', '1'};
constexpr std::uint8_t kLastValueType = static_cast<std::uint8_t>(TValueType::vaUTF8String);
constexpr std::uint32_t kMaxLength = std::numeric_limits<std::int32_t>::max();
}  // namespace

bool IsIntegerValue(TValueType type) {
  return type == TValueType::vaInt8 || type == TValueType::vaInt16 || type == TValueType::vaInt32 ||
         type == TValueType::vaInt64;
}

bool IsStringValue(TValueType type) {
  return type == TValueType::vaString || type == TValueType::vaLString || type == TValueType::vaUTF8String;
}

// ---- ValueReader ----------------------------------------------------------------

void ValueReader::Fail(const std::string& problem) {
  throw EReadError(std::string(SInvalidImage) + ": " + problem);
}

std::int64_t ValueReader::Remaining() {
  if (end_ < 0) end_ = stream_.Size();
  return end_ - stream_.Position();
}

void ValueReader::ReadExact(void* buffer, std::int64_t count, const char* what) {
  if (count > Remaining()) Fail(std::string(what) + " runs past the end of the stream");
  stream_.ReadBuffer(buffer, count);
}

std::uint8_t ValueReader::ReadByte(const char* what) {
  std::uint8_t byte = 0;
  ReadExact(&byte, 1, what);
  return byte;
}

void ValueReader::ReadSignature() {
  char signature[4];
  if (Remaining() < 4) Fail("the stream is too short for a component stream");
  stream_.ReadBuffer(signature, 4);
  if (std::memcmp(signature, kSignature, 4) != 0) Fail("the stream does not start with LVF1");
}

void ValueReader::CheckObjectPrefix() {
  const std::uint8_t first = ReadByte("an object");
  stream_.Seek(-1, TSeekOrigin::soCurrent);
  if ((first & 0xF0) == 0xF0) Fail("inherited, inline and ordered components are not supported");
}

bool ValueReader::NextIsZero() {
  const std::uint8_t byte = ReadByte("a list");
  stream_.Seek(-1, TSeekOrigin::soCurrent);
  return byte == 0;
}

TValueType ValueReader::ReadValue() {
  const std::uint8_t byte = ReadByte("a value");
  if (byte > kLastValueType) Fail("unknown value type " + std::to_string(byte));
  return static_cast<TValueType>(byte);
}

TValueType ValueReader::PeekValue() {
  const TValueType type = ReadValue();
  stream_.Seek(-1, TSeekOrigin::soCurrent);
  return type;
}

std::string ValueReader::ReadShortString(const char* what) {
  const std::uint8_t length = ReadByte(what);
  std::string text(length, '\0');
  ReadExact(text.data(), length, what);
  return text;
}

std::uint32_t ValueReader::ReadLength(const char* what) {
  std::uint8_t bytes[4];
  ReadExact(bytes, 4, what);
  const std::uint32_t length = base::LoadLe32(bytes);
  if (length > kMaxLength || length > Remaining())
    Fail(std::string(what) + " of " + std::to_string(length) + " bytes runs past the end of the stream");
  return length;
}

std::int64_t ValueReader::ReadInteger(TValueType type) {
  int size = 0;
  switch (type) {
    case TValueType::vaInt8: size = 1; break;
    case TValueType::vaInt16: size = 2; break;
    case TValueType::vaInt32: size = 4; break;
    case TValueType::vaInt64: size = 8; break;
    default: Fail("an integer was expected");
  }
  std::uint8_t bytes[8];
  ReadExact(bytes, size, "an integer");
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  // Sign-extend from the value's own width.
  const int unused = 64 - 8 * size;
  return static_cast<std::int64_t>(value << unused) >> unused;
}

std::string ValueReader::ReadString(TValueType type) {
  if (type == TValueType::vaString) return ReadShortString("a string");
  if (type != TValueType::vaLString && type != TValueType::vaUTF8String) Fail("a string was expected");
  std::string text(ReadLength("a string"), '\0');
  ReadExact(text.data(), static_cast<std::int64_t>(text.size()), "a string");
  return text;
}

std::vector<std::uint8_t> ValueReader::ReadBinary() {
  std::vector<std::uint8_t> data(ReadLength("a binary value"));
  ReadExact(data.data(), static_cast<std::int64_t>(data.size()), "a binary value");
  return data;
}

std::vector<std::string> ValueReader::ReadSet() {
  std::vector<std::string> members;
  for (;;) {
    std::string member = ReadShortString("a set");
    if (member.empty()) return members;
    members.push_back(std::move(member));
  }
}

// ---- ValueWriter ----------------------------------------------------------------

void ValueWriter::WriteSignature() { stream_.WriteBuffer(kSignature, 4); }

void ValueWriter::WriteLittleEndian(std::uint64_t value, int bytes) {
  std::uint8_t out[8];
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
  stream_.WriteBuffer(out, bytes);
}

void ValueWriter::WriteShortString(const std::string& text, const char* what) {
  if (text.size() > 255)
    throw EWriteError(std::string(what) + " \"" + text.substr(0, 40) + "...\" is longer than 255 bytes");
  WriteByte(static_cast<std::uint8_t>(text.size()));
  stream_.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void ValueWriter::WriteInteger(std::int64_t value) {
  const auto fits = [value](auto type) {
    using T = decltype(type);
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
  };
  const auto bits = static_cast<std::uint64_t>(value);
  if (fits(std::int8_t{})) {
    WriteValue(TValueType::vaInt8);
    WriteLittleEndian(bits, 1);
  } else if (fits(std::int16_t{})) {
    WriteValue(TValueType::vaInt16);
    WriteLittleEndian(bits, 2);
  } else if (fits(std::int32_t{})) {
    WriteValue(TValueType::vaInt32);
    WriteLittleEndian(bits, 4);
  } else {
    WriteValue(TValueType::vaInt64);
    WriteLittleEndian(bits, 8);
  }
}

void ValueWriter::WriteString(const std::string& text) {
  if (text.size() <= 255) {
    WriteValue(TValueType::vaString);
    WriteShortString(text, "a string");
    return;
  }
  if (text.size() > kMaxLength)
    throw EWriteError("A string of " + std::to_string(text.size()) + " bytes is too long for a stream");
  WriteValue(TValueType::vaLString);
  WriteLittleEndian(text.size(), 4);
  stream_.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void ValueWriter::WriteIdent(const std::string& ident) {
  WriteValue(TValueType::vaIdent);
  WriteShortString(ident, "The identifier");
}

void ValueWriter::WriteBinary(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxLength)
    throw EWriteError("A binary value of " + std::to_string(size) + " bytes is too long for a stream");
  WriteValue(TValueType::vaBinary);
  WriteLittleEndian(size, 4);
  stream_.WriteBuffer(data, static_cast<std::int64_t>(size));
}

void ValueWriter::WriteSet(const std::vector<std::string>& members) {
  WriteValue(TValueType::vaSet);
  for (const std::string& member : members) {
    if (member.empty()) throw EWriteError("A set member has no name");
    WriteShortString(member, "The set member");
  }
  WriteByte(0);
}

}  // namespace toolkit::detail
