// Geometry of wide pens. A dot of width w spans the w pixels from p - w/2
// (rounded down) across a point p, so an even width has its centre half a
// pixel before p.
#include "gdi/PenCover.h"

#include <algorithm>
#include <cmath>

#include "gdi/DcAccess.h"

namespace gdi::detail {

namespace {

// The doubled offset of pixel coordinate v from the centre of a dot on p,
// a whole number for either parity of the width.
long long Doubled(LONG v, LONG p, int width) { return 2LL * (v - p) + (1 - width % 2); }

}  // namespace

PenCover::PenCover(std::span<const POINT> points, bool closed, int width, const TRect& limit)
    : width_(width) {
  if (points.empty()) return;
  LONG left = points[0].X, top = points[0].Y, right = left, bottom = top;
  for (const POINT& p : points) {
    left = std::min(left, p.X);
    right = std::max(right, p.X);
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  bounds_ = Intersect({left - width, top - width, right + width + 1, bottom + width + 1}, limit);
  cells_.assign(static_cast<std::size_t>(bounds_.Width()) * static_cast<std::size_t>(bounds_.Height()), 0);
  for (const POINT& p : points) AddDot(p);
  for (std::size_t i = 1; i < points.size(); ++i) AddSegment(points[i - 1], points[i]);
  if (closed && points.size() > 2) AddSegment(points.back(), points.front());
}

bool PenCover::Covers(LONG x, LONG y) const { return InBounds(x, y) && cells_[Index(x, y)] != 0; }

void PenCover::Mark(LONG x, LONG y) {
  if (InBounds(x, y)) cells_[Index(x, y)] = 1;
}

bool PenCover::InBounds(LONG x, LONG y) const {
  return x >= bounds_.Left && x < bounds_.Right && y >= bounds_.Top && y < bounds_.Bottom;
}

std::size_t PenCover::Index(LONG x, LONG y) const {
  return static_cast<std::size_t>(y - bounds_.Top) * static_cast<std::size_t>(bounds_.Width()) +
         static_cast<std::size_t>(x - bounds_.Left);
}

// The round dot: the pixels whose centres lie within w/2 - 1/4 of the centre,
// i.e. (2·dx)² + (2·dy)² <= (w - 1/2)², which for whole numbers is <= w(w-1).
void PenCover::AddDot(POINT centre) {
  const LONG first = -(width_ / 2);
  const long long limit = static_cast<long long>(width_) * (width_ - 1);
  for (LONG dy = first; dy < first + width_; ++dy)
    for (LONG dx = first; dx < first + width_; ++dx) {
      const long long x2 = Doubled(centre.X + dx, centre.X, width_),
                      y2 = Doubled(centre.Y + dy, centre.Y, width_);
      if (x2 * x2 + y2 * y2 <= limit) Mark(centre.X + dx, centre.Y + dy);
    }
}

// The band is the parallelogram spanned by the segment and its two offsets
// half the width across it. The offset to the right (down for a horizontal
// segment) is rounded away from zero, the other one to the nearest whole
// number; a pixel is inside when its top left corner point is, points on a
// left or top edge counting as inside.
void PenCover::AddSegment(POINT a, POINT b) {
  const LONG dx = b.X - a.X, dy = b.Y - a.Y;
  if (dx == 0 && dy == 0) return;
  const double scale =
      width_ / (2.0 * std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
  double hx = -dy * scale, hy = dx * scale;
  if (hx < 0 || (hx == 0 && hy < 0)) {
    hx = -hx;
    hy = -hy;
  }
  auto away = [](double v) { return static_cast<LONG>(v < 0 ? std::floor(v) : std::ceil(v)); };
  auto nearest = [](double v) { return static_cast<LONG>(std::floor(v + 0.5)); };
  const POINT outer{away(hx), away(hy)}, inner{nearest(-hx), nearest(-hy)};
  const POINT quad[] = {{a.X + outer.X, a.Y + outer.Y},
                        {b.X + outer.X, b.Y + outer.Y},
                        {b.X + inner.X, b.Y + inner.Y},
                        {a.X + inner.X, a.Y + inner.Y}};
  for (LONG y = bounds_.Top; y < bounds_.Bottom; ++y) {
    // Each edge crossing row y has the pixels before its crossing point on
    // its left; inside is an odd count of those, a run for a convex shape.
    LONG runStart = bounds_.Right, runEnd = bounds_.Left;
    int crossings = 0;
    for (int i = 0; i < 4; ++i) {
      const POINT p = quad[i], q = quad[(i + 1) % 4];
      if ((p.Y <= y) == (q.Y <= y)) continue;
      long long num =
          static_cast<long long>(p.X) * (q.Y - p.Y) + static_cast<long long>(y - p.Y) * (q.X - p.X);
      long long den = q.Y - p.Y;
      if (den < 0) {
        num = -num;
        den = -den;
      }
      const long long whole = num >= 0 ? num / den : -((-num + den - 1) / den);
      const LONG limit = static_cast<LONG>(whole * den == num ? whole : whole + 1);
      runStart = std::min(runStart, limit);
      runEnd = std::max(runEnd, limit);
      ++crossings;
    }
    if (crossings < 2) continue;
    for (LONG x = std::max(runStart, bounds_.Left); x < std::min(runEnd, bounds_.Right); ++x) Mark(x, y);
  }
}

}  // namespace gdi::detail
