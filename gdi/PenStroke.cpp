// Pen strokes: one-pixel lines with their dash patterns, and wide pens.
#include "gdi/PenStroke.h"

#include <vector>

#include "gdi/Gdi.h"
#include "gdi/LinePixels.h"
#include "gdi/PenCover.h"
#include "gdi/ShapePaint.h"

namespace gdi::detail {

namespace {

// On-off lengths of the dashed pen styles, starting with a drawn run.
std::vector<int> DashPattern(int style) {
  switch (style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

// Walks a dash pattern one pixel at a time.
class Dashes {
 public:
  explicit Dashes(int style) : runs_(DashPattern(style)), left_(runs_.empty() ? 0 : runs_[0]) {}

  // Whether the next pixel is drawn, then moves past it.
  bool Next() {
    if (runs_.empty()) return true;
    const bool on = run_ % 2 == 0;
    if (--left_ == 0) {
      run_ = (run_ + 1) % runs_.size();
      left_ = runs_[run_];
    }
    return on;
  }

 private:
  std::vector<int> runs_;
  std::size_t run_ = 0;
  int left_;
};

// The gaps of a dashed pen take the background colour when the background
// mode is opaque, through the same raster operation.
void ThinStroke(const Target& t, std::span<const POINT> points, bool closed) {
  const PenObject& pen = DcPen(*t.dc);
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  const std::uint8_t table = Rop2Table(t.dc->state.rop2);
  const std::uint32_t ink = PixelForColor(*t.bitmap, pen.color);
  const std::uint32_t paper = PixelForColor(*t.bitmap, t.dc->state.bkColor);
  const bool opaque = t.dc->state.bkMode == OPAQUE;
  Dashes dashes(pen.style);
  auto plot = [&](POINT p) {
    const bool on = dashes.Next();
    if (on || opaque) Span(t, area, p.Y, p.X, p.X + 1, on ? ink : paper, table);
  };
  for (std::size_t i = 1; i < points.size(); ++i) ForEachLinePixel(points[i - 1], points[i], plot);
  if (closed && points.size() > 2) ForEachLinePixel(points.back(), points.front(), plot);
}

void WideStroke(const Target& t, std::span<const POINT> points, bool closed) {
  const PenObject& pen = DcPen(*t.dc);
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  const PenCover cover(points, closed, pen.width, area);
  const std::uint8_t table = Rop2Table(t.dc->state.rop2);
  const std::uint32_t ink = PixelForColor(*t.bitmap, pen.color);
  const TRect& box = cover.Bounds();
  for (LONG y = box.Top; y < box.Bottom; ++y)
    for (LONG x = box.Left; x < box.Right;) {
      if (!cover.Covers(x, y)) {
        ++x;
        continue;
      }
      const LONG start = x;
      while (x < box.Right && cover.Covers(x, y)) ++x;
      Span(t, area, y, start, x, ink, table);
    }
}

}  // namespace

void StrokePath(const Target& t, std::span<const POINT> points, bool closed) {
  const PenObject& pen = DcPen(*t.dc);
  if (pen.style == PS_NULL || points.empty()) return;
  if (pen.width > 1)
    WideStroke(t, points, closed);
  else
    ThinStroke(t, points, closed);
}

}  // namespace gdi::detail
