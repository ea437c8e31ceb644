// Reading and writing pixels of a bitmap in any of its formats, through one
// working form: 0x00RRGGBB, which is also the memory layout of the 32-bit
// surfaces (blue, green, red, zero).
#pragma once

#include <cstdint>

#include "gdi/DibImage.h"
#include "gdi/GdiTypes.h"

namespace gdi::detail {

constexpr std::uint32_t kRgbWhite = 0xFFFFFF;

constexpr std::uint32_t ColorToRgb(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF RgbToColor(std::uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// True when the pixels are 32-bit 0x00RRGGBB words already, so rows can be
// worked on in place.
bool IsPlain32(const DibImage& image);

// True for a 1-bit image whose table is black then white: its bits are the
// pixels' values themselves, so rows can be worked on as packed bits.
bool IsPlainMono(const DibImage& image);

// The table index WriteRow stores for `rgb` in an indexed image.
unsigned StoredIndex(const DibImage& image, std::uint32_t rgb);

// Reads `count` pixels of row `y` from column `x` into `out` as 0x00RRGGBB.
// Indexed formats go through their colour table; a monochrome bitmap's table
// is black and white, so its bits read as 0 and 0xFFFFFF.
void ReadRow(const DibImage& image, LONG y, LONG x, LONG count, std::uint32_t* out);

// Writes `count` pixels to row `y` from column `x`, each reduced to the
// nearest colour the format can hold.
void WriteRow(DibImage& image, LONG y, LONG x, LONG count, const std::uint32_t* in);

// Images of 4 or 8 bits per pixel: the table indices themselves, which the
// raster operations work on.
bool IsPaletted(const DibImage& image);
void ReadIndexRow(const DibImage& image, LONG y, LONG x, LONG count, std::uint32_t* out);
void WriteIndexRow(DibImage& image, LONG y, LONG x, LONG count, const std::uint32_t* in);

// The colour a single pixel of this format would hold for `rgb`.
std::uint32_t NearestRepresentable(const DibImage& image, std::uint32_t rgb);

}  // namespace gdi::detail
