// Geometry of wide pens. A pen of width w spans the w pixels from
// p - w/2 (rounded down) across a point p, so an even width has its centre
// half a pixel before p. Distances are worked in doubled coordinates, where
// pixel centres and that centre are whole numbers.
#include "gdi/PenCover.h"

#include <algorithm>

namespace gdi::detail {

namespace {

// The doubled offset of pixel coordinate v from the pen's centre on p.
long long Doubled(LONG v, LONG p, int width) { return 2LL * (v - p) + (1 - width % 2); }

}  // namespace

PenCover::PenCover(std::span<const POINT> points, bool closed, int width) : width_(width) {
  if (points.empty()) return;
  LONG left = points[0].X, top = points[0].Y, right = left, bottom = top;
  for (const POINT& p : points) {
    left = std::min(left, p.X);
    right = std::max(right, p.X);
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  bounds_ = {left - width, top - width, right + width + 1, bottom + width + 1};
  cells_.assign(static_cast<std::size_t>(bounds_.Width()) * static_cast<std::size_t>(bounds_.Height()), 0);
  for (const POINT& p : points) AddDot(p);
  for (std::size_t i = 1; i < points.size(); ++i) AddSegment(points[i - 1], points[i]);
  if (closed && points.size() > 2) AddSegment(points.back(), points.front());
}

bool PenCover::Covers(LONG x, LONG y) const {
  if (x < bounds_.Left || x >= bounds_.Right || y < bounds_.Top || y >= bounds_.Bottom) return false;
  return cells_[static_cast<std::size_t>(y - bounds_.Top) * static_cast<std::size_t>(bounds_.Width()) +
                static_cast<std::size_t>(x - bounds_.Left)] != 0;
}

void PenCover::Mark(LONG x, LONG y) {
  cells_[static_cast<std::size_t>(y - bounds_.Top) * static_cast<std::size_t>(bounds_.Width()) +
         static_cast<std::size_t>(x - bounds_.Left)] = 1;
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

// The band: pixels whose centres project onto the segment and lie within w/2
// of it.
void PenCover::AddSegment(POINT a, POINT b) {
  const long long dx = b.X - a.X, dy = b.Y - a.Y, length2 = dx * dx + dy * dy;
  if (length2 == 0) return;
  const long long reach2 = static_cast<long long>(width_) * width_ * length2;
  for (LONG y = bounds_.Top; y < bounds_.Bottom; ++y)
    for (LONG x = bounds_.Left; x < bounds_.Right; ++x) {
      const long long px = Doubled(x, a.X, width_), py = Doubled(y, a.Y, width_);
      const long long along = px * dx + py * dy, across = px * dy - py * dx;
      if (along >= 0 && along <= 2 * length2 && across * across <= reach2) Mark(x, y);
    }
}

}  // namespace gdi::detail
