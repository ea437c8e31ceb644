// The HALFTONE stretch: each destination pixel blends the two-by-two source
// pixels around the point of the source it falls on.
#pragma once

#include <cstdint>
#include <vector>

#include "gdi/GdiTypes.h"

namespace gdi::detail {

// Where one destination pixel falls along one axis: `weight` of the way from
// source pixel `from` to source pixel `to` (device coordinates).
struct BlendSample {
  LONG from = 0;
  LONG to = 0;
  float weight = 0;
};

// The samples of one axis, one for each destination pixel in ascending
// coordinates. The destination covers |dstExtent| pixels; the source starts
// at `srcStart` and runs |srcExtent| pixels, towards smaller coordinates when
// the extent is negative. When exactly one extent is negative the source is
// met backwards, from its last pixel.
void MapBlendAxis(LONG dstExtent, LONG srcStart, LONG srcExtent, std::vector<BlendSample>& samples);

// `weight` of the way from `a` to `b`, channel by channel (0x00RRGGBB),
// rounded to the nearest level.
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, float weight);

}  // namespace gdi::detail
