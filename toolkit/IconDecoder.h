// The parts of a .ico or .cur file that TIcon and the module's cursor
// resources share: the directory and the entries stored as bitmaps. Nothing
// here throws on malformed bytes; every size and offset a file states is
// checked against the bytes given before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/WindowBackend.h"

namespace toolkit::iconfile {

constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;

struct DirectoryEntry {
  int width = 0, height = 0;  // as the directory states them, 0 read as 256
  // A .ico entry holds planes and bit count here, a .cur entry its hot spot.
  std::uint16_t planesOrHotX = 0, bitsOrHotY = 0;
  const std::uint8_t* data = nullptr;  // inside the file's bytes
  std::size_t size = 0;
};

// Reads the header and directory of a file of the given type. False when
// the bytes are not such a file, it has no entries, or an entry's bytes lie
// outside the file.
bool ReadDirectory(const std::uint8_t* data, std::size_t size, std::uint16_t type,
                   std::vector<DirectoryEntry>& entries);

// Entries may hold a PNG file instead of a bitmap; those are not decoded.
bool IsPngEntry(const DirectoryEntry& entry);

// Decodes an entry stored as a bitmap (1, 4, 8, 24 or 32 bits, the height
// doubled for the AND mask). Where the entry has no alpha of its own, AND
// mask bits set give alpha 0 and the rest are opaque. False when malformed.
bool DecodeBmpEntry(const std::uint8_t* p, std::size_t size, platform::IconImage& image);

}  // namespace toolkit::iconfile
