// The pixels of a one-pixel line: one per step along the longer axis, from
// the start point up to but not including the end point.
#pragma once

#include <cstdlib>

#include "gdi/GdiTypes.h"

namespace gdi::detail {

// Calls plot(POINT) for each pixel in drawing order. The other coordinate is
// the exact one rounded to the nearest integer, and halfway cases go to the
// smaller integer, whichever way the line runs.
template <typename Plot>
void ForEachLinePixel(POINT a, POINT b, Plot plot) {
  const LONG dx = b.X - a.X, dy = b.Y - a.Y;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const LONG steps = xMajor ? std::abs(dx) : std::abs(dy);
  const LONG major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  const LONG unit = major < 0 ? -1 : 1;
  for (LONG i = 0; i < steps; ++i) {
    // The exact offset along the shorter axis is minor·i / steps; rounding
    // it with halves down is floor((2·minor·i + steps - 1) / (2·steps)).
    const long long num = 2LL * minor * i + steps - 1, den = 2LL * steps;
    const long long q = num >= 0 ? num / den : -((-num + den - 1) / den);
    const LONG off = static_cast<LONG>(q), along = unit * i;
    plot(xMajor ? POINT{a.X + along, a.Y + off} : POINT{a.X + off, a.Y + along});
  }
}

}  // namespace gdi::detail
