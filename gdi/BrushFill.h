// What a brush lays on a surface: one pixel value, or, on a black-and-white
// surface, a grey as an 8 × 8 ordered dither of black and white pixels fixed
// to the surface's pixel grid.
#pragma once

#include <cstdint>

#include "gdi/DcAccess.h"
#include "gdi/PixelFormat.h"

namespace gdi::detail {

// The grey a colour stands for on a black-and-white surface, 0 to 255.
constexpr int GreyLevel(COLORREF c) {
  return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
}

// Whether the dither of `grey` is white at surface pixel (x, y). Greys below
// 2 are all black, greys from 254 all white.
constexpr bool DitherWhite(int grey, LONG x, LONG y) {
  constexpr std::uint8_t kOrder[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                         {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                         {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                         {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
  return grey >= 254 - 4 * kOrder[y & 7][x & 7];
}

struct BrushFill {
  std::uint32_t pixel = 0;  // the value everywhere, unless dithered
  int grey = -1;            // 0-255 when dithered

  bool Dithered() const { return grey >= 0; }
  std::uint32_t At(LONG x, LONG y) const {
    if (!Dithered()) return pixel;
    return DitherWhite(grey, x, y) ? kRgbWhite : 0;
  }
};

inline BrushFill BrushFillFor(const BitmapObject& bitmap, const BrushObject& brush) {
  if (brush.null) return {};
  if (!bitmap.Monochrome()) return {PixelForColor(bitmap, brush.color)};
  const int grey = GreyLevel(brush.color);
  if (grey < 2 || grey >= 254) return {grey < 2 ? 0 : kRgbWhite};
  return {0, grey};
}

}  // namespace gdi::detail
