// Which source pixels make each destination pixel of a stretch, one axis at
// a time.
#pragma once

#include <vector>

#include "gdi/GdiTypes.h"

namespace gdi::detail {

// The source pixels [first, first + count) on one destination pixel, in
// device coordinates.
struct SourceSpan {
  LONG first = 0;
  LONG count = 0;
};

// What is kept of the source pixels that fall on one destination pixel:
// all of them (to be joined), or the first or the last met when walking the
// source from where the call starts it.
enum class SpanPick { All, First, Last };

// The spans of one axis. The destination covers |dstExtent| pixels; the
// source starts at `srcStart` and runs |srcExtent| pixels, towards smaller
// coordinates when the extent is negative. `spans` gets one span for each
// destination pixel, in ascending coordinates.
void MapStretchAxis(LONG dstExtent, LONG srcStart, LONG srcExtent, SpanPick pick,
                    std::vector<SourceSpan>& spans);

}  // namespace gdi::detail
