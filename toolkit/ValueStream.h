// The value encoding shared by the component reader and writer and by the
// text conversion: the signature, short strings and typed values. Every
// length is checked against the bytes left before anything is allocated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Streaming.h"

namespace toolkit::detail {

// Objects, lists and nested properties deeper than this are refused, so
// that a hostile stream cannot exhaust the stack.
inline constexpr int kMaxNesting = 64;

bool IsIntegerValue(TValueType type);
bool IsStringValue(TValueType type);

class ValueReader {
 public:
  explicit ValueReader(TStream& stream) : stream_(stream) {}

  void ReadSignature();
  // The byte that starts an object: no flags (inherited, inline, ordered).
  void CheckObjectPrefix();
  std::uint8_t ReadByte(const char* what);
  bool NextIsZero();  // an end of properties, children or list, not consumed
  TValueType PeekValue();
  TValueType ReadValue();
  std::string ReadShortString(const char* what);
  // The payload of a value whose type was just read.
  std::int64_t ReadInteger(TValueType type);
  std::string ReadString(TValueType type);
  std::vector<std::uint8_t> ReadBinary();
  std::vector<std::string> ReadSet();

  [[noreturn]] void Fail(const std::string& problem);

 private:
  void ReadExact(void* buffer, std::int64_t count, const char* what);
  std::uint32_t ReadLength(const char* what);
  std::int64_t Remaining();

  TStream& stream_;
  std::int64_t end_ = -1;
};

class ValueWriter {
 public:
  explicit ValueWriter(TStream& stream) : stream_(stream) {}

  void WriteSignature();
  void WriteByte(std::uint8_t byte) { stream_.WriteBuffer(&byte, 1); }
  void WriteValue(TValueType type) { WriteByte(static_cast<std::uint8_t>(type)); }
  void WriteShortString(const std::string& text, const char* what);
  void WriteInteger(std::int64_t value);  // the smallest integer type that holds it
  void WriteString(const std::string& text);
  void WriteIdent(const std::string& ident);
  void WriteBinary(const std::uint8_t* data, std::size_t size);
  void WriteSet(const std::vector<std::string>& members);

 private:
  void WriteLittleEndian(std::uint64_t value, int bytes);
  TStream& stream_;
};

}  // namespace toolkit::detail
