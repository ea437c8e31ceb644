#include "tools/bitmaplist/ListFraming.h"

#include <cstring>

#include "base/ByteOrder.h"

namespace bitmaplist {

namespace {

std::int32_t Int32At(std::span<const std::uint8_t> bytes, std::int64_t offset) {
  return base::LoadLeInt32(bytes, static_cast<std::size_t>(offset));
}

// The first bytes as text a terminal shows safely.
std::string Shown(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    const unsigned char c = bytes[i];
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      text += static_cast<char>(c);
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      text += "\\x";
      text += kHex[c >> 4];
      text += kHex[c & 15];
    }
  }
  return text;
}

std::string Str(std::int64_t value) { return std::to_string(value); }

bool StartsLike(std::span<const std::uint8_t> bytes, const char* magic) {
  return std::memcmp(bytes.data(), magic, bytes.size()) == 0;
}

}  // namespace

ListFrame ParseFraming(std::span<const std::uint8_t> bytes) {
  const auto size = static_cast<std::int64_t>(bytes.size());
  if (size == 0) throw EFraming("empty file, not a bitmap list stream");
  const auto head = bytes.first(std::min<std::size_t>(bytes.size(), 4));
  if (!StartsLike(head, kPlainMagic) && !StartsLike(head, kCompressedMagic))
    throw EFraming("not a bitmap list stream: it starts with \"" + Shown(head) + "\", not MBML or MBMC");
  if (size < 8)
    throw EFraming("truncated: the stream ends inside its 8-byte header, after " + Str(size) + " bytes");

  ListFrame frame;
  frame.compressed = StartsLike(head, kCompressedMagic);
  const std::int32_t count = Int32At(bytes, 4);
  if (count < 0) throw EFraming("corrupt: negative bitmap count " + Str(count));

  std::int64_t pos = 8;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string which = "bitmap " + Str(i) + " of " + Str(count);
    if (pos == size)
      throw EFraming("truncated: the stream ends before " + which + ", after " + Str(size) + " bytes");
    if (pos + 4 > size)
      throw EFraming("truncated: the stream ends inside the length of " + which + ", after " + Str(size) +
                     " bytes");
    ItemFrame item;
    item.offset = pos;
    item.length = Int32At(bytes, pos);
    if (item.length < 0)
      throw EFraming("corrupt: " + which + " has a negative length " + Str(item.length) + " at offset " +
                     Str(pos));
    if (item.End() > size)
      throw EFraming("truncated: " + which + " needs " + Str(item.length) + " bytes after offset " +
                     Str(pos + 4) + ", the stream has " + Str(size - pos - 4));
    if (frame.compressed) {
      // The blocks must fill the item exactly: a length that disagrees
      // with its blocks means the item was damaged.
      for (std::int64_t block = pos + 4; block < item.End(); ++item.blocks) {
        const std::string where =
            "corrupt: " + which + ", block " + Str(item.blocks) + " at offset " + Str(block);
        if (block + 4 > item.End()) throw EFraming(where + ": its length crosses the end of the bitmap");
        const std::int32_t length = Int32At(bytes, block);
        if (length <= 0) throw EFraming(where + ": length " + Str(length));
        if (block + 4 + length > item.End())
          throw EFraming(where + ": its " + Str(length) + " bytes run past the end of the bitmap");
        block += 4 + length;
      }
    }
    frame.items.push_back(item);
    pos = item.End();
  }
  if (pos != size)
    throw EFraming("corrupt: " + Str(size - pos) + " bytes follow the last bitmap (from offset " + Str(pos) +
                   ")");
  return frame;
}

}  // namespace bitmaplist
