#include "gdi/Halftone.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace gdi::detail {

void MapBlendAxis(LONG dstExtent, LONG srcStart, LONG srcExtent, std::vector<BlendSample>& samples) {
  const LONG d = std::abs(dstExtent), s = std::abs(srcExtent);
  const LONG low = srcExtent < 0 ? srcStart + srcExtent + 1 : srcStart, high = low + s - 1;
  samples.clear();
  samples.reserve(static_cast<std::size_t>(d));
  // The point moves by the ratio of the extents, added up step by step in
  // single precision from the source's first or last pixel: the rounding of
  // that sum decides the ties.
  const float step = static_cast<float>(s) / static_cast<float>(d);
  if ((dstExtent < 0) == (srcExtent < 0)) {
    float point = static_cast<float>(low);
    for (LONG i = 0; i < d; ++i, point = point + step) {
      const auto k = static_cast<LONG>(std::floor(point));
      samples.push_back({std::min(k, high), std::min(k + 1, high), point - static_cast<float>(k)});
    }
    return;
  }
  float point = static_cast<float>(high);
  for (LONG i = 0; i < d; ++i, point = point - step) {
    if (point < static_cast<float>(low)) {
      samples.push_back({low, low, 0});
      continue;
    }
    const auto k = static_cast<LONG>(std::floor(point));
    samples.push_back({k, std::min(k + 1, high), point - static_cast<float>(k)});
  }
}

std::uint32_t Blend(std::uint32_t a, std::uint32_t b, float weight) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const auto x = static_cast<float>((a >> shift) & 0xFF), y = static_cast<float>((b >> shift) & 0xFF);
    out |= static_cast<std::uint32_t>(x + (y - x) * weight + 0.5f) << shift;
  }
  return out;
}

}  // namespace gdi::detail
