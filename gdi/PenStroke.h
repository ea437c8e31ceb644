// Drawing the context's pen along a path.
#pragma once

#include <span>

#include "gdi/DcAccess.h"

namespace gdi::detail {

// Strokes the path through `points` (device coordinates), back to the first
// point when `closed`. A one-pixel pen leaves out the path's last point and
// a dashed one keeps its pattern going from segment to segment; a wider pen
// covers every pixel of the path once, with round ends and corners.
void StrokePath(const Target& t, std::span<const POINT> points, bool closed);

}  // namespace gdi::detail
