#include "gdi/StretchMap.h"

#include <algorithm>
#include <cstdlib>

namespace gdi::detail {

void MapStretchAxis(LONG dstExtent, LONG srcStart, LONG srcExtent, SpanPick pick,
                    std::vector<SourceSpan>& spans) {
  const long long d = std::abs(dstExtent), s = std::abs(srcExtent);
  const LONG step = srcExtent < 0 ? -1 : 1;
  spans.assign(static_cast<std::size_t>(d), {});
  // Both sides are walked from where the call starts them: source pixel k
  // joins destination pixel i.
  auto join = [&](long long i, long long k) {
    SourceSpan& span = spans[static_cast<std::size_t>(dstExtent < 0 ? d - 1 - i : i)];
    const LONG at = srcStart + step * static_cast<LONG>(k);
    if (span.count == 0) {
      span = {at, 1};
    } else if (pick == SpanPick::All) {
      span.first = std::min(span.first, at);
      ++span.count;
    } else if (pick == SpanPick::Last) {
      span.first = at;
    }
  };
  // A pixel's centre falling exactly on a boundary goes to the pixel before.
  if (d >= s) {
    // Growing: each destination pixel takes the source pixel under its centre.
    for (long long i = 0; i < d; ++i) join(i, ((2 * i + 1) * s - 1) / (2 * d));
    return;
  }
  // Shrinking: each source pixel falls on the destination pixel under its
  // centre. Onto a single pixel, with both sides running forward, the last
  // source pixel is left out.
  const long long used = d == 1 && dstExtent > 0 && srcExtent > 0 ? s - 1 : s;
  for (long long k = 0; k < used; ++k) join(((2 * k + 1) * d - 1) / (2 * s), k);
}

}  // namespace gdi::detail
