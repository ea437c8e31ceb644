// The pixel store behind every bitmap of the layer, and the value the BMP
// file codec reads and writes. Rows are held top-down in the image's own
// format, each padded to a multiple of four bytes, exactly as a BMP file's
// pixel rows are (only their order may differ).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gdi/GdiTypes.h"

namespace gdi {

struct DibImage {
  LONG width = 0;
  LONG height = 0;
  WORD bitCount = 0;  // 1, 4, 8, 16, 24 or 32

  // Channel masks for 16 and 32 bits per pixel. All zero means the default
  // layout: 5-5-5 for 16 bits, 8-8-8 (blue in the lowest byte) for 32.
  DWORD redMask = 0, greenMask = 0, blueMask = 0;

  // The colour table: required for 1, 4 and 8 bits per pixel (at most
  // 2^bitCount entries), optional and informative for the other depths.
  std::vector<RGBQUAD> palette;

  // width × height pixels, rows top-down, `Stride()` bytes each.
  std::vector<std::uint8_t> bits;

  // What a BMP file said beyond the pixels, kept so that reading a file and
  // writing it again gives the same bytes.
  bool bottomUp = true;
  bool bitfields = false;  // written as BI_BITFIELDS
  LONG xPelsPerMeter = 0;
  LONG yPelsPerMeter = 0;
  DWORD clrImportant = 0;

  static constexpr std::size_t StrideFor(LONG width, WORD bitCount) {
    return ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  }
  std::size_t Stride() const { return StrideFor(width, bitCount); }
  std::uint8_t* Row(LONG y) { return bits.data() + static_cast<std::size_t>(y) * Stride(); }
  const std::uint8_t* Row(LONG y) const { return bits.data() + static_cast<std::size_t>(y) * Stride(); }
  bool Empty() const { return width <= 0 || height <= 0; }
};

}  // namespace gdi
