// The outer framing of a "ListItems" stream: where each item lies and how
// long it is, checked without decoding anything, so that a damaged stream
// is named precisely before the list reads it.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace bitmaplist {

inline constexpr char kPlainMagic[] = "MBML";
inline constexpr char kCompressedMagic[] = "MBMC";

// The stream is not well framed; the message says where and how.
class EFraming : public std::runtime_error {
 public:
  explicit EFraming(const std::string& message) : std::runtime_error(message) {}
};

struct ItemFrame {
  std::int64_t offset = 0;  // of its length field
  std::int64_t length = 0;  // L (plain) or T (compressed), without the field itself
  int blocks = 0;           // compressed items only

  std::int64_t End() const { return offset + 4 + length; }
};

struct ListFrame {
  bool compressed = false;
  std::vector<ItemFrame> items;
};

// Walks the whole stream; EFraming on a wrong magic, a negative count or
// length, an item or block running past its end, or bytes after the last
// item.
ListFrame ParseFraming(std::span<const std::uint8_t> bytes);

}  // namespace bitmaplist
