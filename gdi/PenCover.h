// The pixels a pen wider than one pixel covers along a path: a band along
// each segment and a round dot on every point, each pixel counted once.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gdi/GdiTypes.h"

namespace gdi::detail {

class PenCover {
 public:
  // Covers the path through `points` (device coordinates), back to the first
  // point when `closed`, keeping only the pixels inside `limit`.
  PenCover(std::span<const POINT> points, bool closed, int width, const TRect& limit);

  const TRect& Bounds() const { return bounds_; }
  bool Covers(LONG x, LONG y) const;

 private:
  void AddDot(POINT centre);
  void AddSegment(POINT a, POINT b);
  void Mark(LONG x, LONG y);
  bool InBounds(LONG x, LONG y) const;
  std::size_t Index(LONG x, LONG y) const;

  int width_;
  TRect bounds_;
  std::vector<std::uint8_t> cells_;
};

}  // namespace gdi::detail
