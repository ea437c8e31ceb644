// Lines, rectangles, ellipses and the focus frame, drawn with the selected
// pen and brush through the context's binary raster operation.
#include <algorithm>
#include <span>
#include <vector>

#include "gdi/DcAccess.h"
#include "gdi/Gdi.h"
#include "gdi/PenStroke.h"
#include "gdi/ShapePaint.h"

namespace gdi {
using namespace detail;

namespace {

void StrokeLogical(const Target& t, std::span<const POINT> points, bool closed) {
  std::vector<POINT> device;
  device.reserve(points.size());
  for (const POINT& p : points) device.push_back(ToDevice(t.dc->state, p.X, p.Y));
  StrokePath(t, device, closed);
}

}  // namespace

BOOL MoveToEx(HDC handle, int x, int y, POINT* previous) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc) return FALSE;
  if (previous) *previous = dc->state.penPos;
  dc->state.penPos = {x, y};
  return TRUE;
}

BOOL LineTo(HDC handle, int x, int y) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t) return FALSE;
  const POINT path[] = {t.dc->state.penPos, {x, y}};
  StrokeLogical(t, path, false);
  t.dc->state.penPos = {x, y};
  return TRUE;
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
  if (!points || count < 2) return FALSE;
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t) return FALSE;
  StrokeLogical(t, std::span<const POINT>(points, static_cast<std::size_t>(count)), false);
  return TRUE;
}

// The outline runs through the corner pixels (left, top) and (right - 1,
// bottom - 1), starting at the top right and going round counter-clockwise;
// an inside-frame pen moves it in so that the pen stays within the bounds.
// The brush fills what the outline encloses and leaves the pen's pixels.
BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t) return FALSE;
  const TRect box = RectToDevice(t.dc->state, {std::min(left, right), std::min(top, bottom),
                                               std::max(left, right), std::max(top, bottom)});
  if (Empty(box)) return TRUE;
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  const std::uint8_t table = Rop2Table(t.dc->state.rop2);
  const PenObject& pen = DcPen(*t.dc);
  const BrushObject& brush = DcBrush(*t.dc);
  const LONG w = pen.style == PS_NULL ? 0 : pen.width;
  LONG x0 = box.Left, y0 = box.Top, x1 = box.Right - 1, y1 = box.Bottom - 1;
  if (pen.style == PS_INSIDEFRAME) {
    x0 += w / 2;
    y0 += w / 2;
    x1 -= (w - 1) / 2;
    y1 -= (w - 1) / 2;
  }
  if (!brush.null)
    FillBox(t, area, {x0 + (w + 1) / 2, y0 + (w + 1) / 2, x1 - w / 2, y1 - w / 2},
            BrushFillFor(*t.bitmap, brush), table);
  const POINT outline[] = {{x1, y0}, {x0, y0}, {x0, y1}, {x1, y1}};
  StrokePath(t, outline, true);
  return TRUE;
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t) return FALSE;
  const TRect box = RectToDevice(t.dc->state, {std::min(left, right), std::min(top, bottom),
                                               std::max(left, right), std::max(top, bottom)});
  if (box.Width() < 1 || box.Height() < 1) return TRUE;
  const double cx = (box.Left + box.Right - 1) / 2.0, cy = (box.Top + box.Bottom - 1) / 2.0;
  const double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
  auto inside = [&](LONG x, LONG y) {
    const double nx = (x - cx) / rx, ny = (y - cy) / ry;
    return nx * nx + ny * ny <= 1.0;
  };
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  const std::uint8_t table = Rop2Table(t.dc->state.rop2);
  const PenObject& pen = DcPen(*t.dc);
  const BrushObject& brush = DcBrush(*t.dc);
  const std::uint32_t penPixel = PixelForColor(*t.bitmap, pen.color);
  const BrushFill brushFill = BrushFillFor(*t.bitmap, brush);
  for (LONG y = box.Top; y < box.Bottom; ++y)
    for (LONG x = box.Left; x < box.Right; ++x) {
      if (!inside(x, y)) continue;
      const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      if (edge && pen.style != PS_NULL)
        Span(t, area, y, x, x + 1, penPixel, table);
      else if (!brush.null)
        Span(t, area, y, x, x + 1, brushFill.At(x, y), table);
    }
  return TRUE;
}

BOOL DrawFocusRect(HDC handle, const RECT* rect) {
  if (!rect) return FALSE;
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t) return FALSE;
  const TRect r = RectToDevice(t.dc->state, *rect);
  if (Empty(r)) return TRUE;
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  const std::uint8_t invert = Rop2Table(R2_NOT);
  // Every other pixel of the frame, on a checkerboard fixed to the surface.
  auto dot = [&](LONG x, LONG y) {
    if (((x + y) & 1) == 0) Span(t, area, y, x, x + 1, 0, invert);
  };
  for (LONG x = r.Left; x < r.Right; ++x) {
    dot(x, r.Top);
    if (r.Bottom - 1 > r.Top) dot(x, r.Bottom - 1);
  }
  for (LONG y = r.Top + 1; y < r.Bottom - 1; ++y) {
    dot(r.Left, y);
    if (r.Right - 1 > r.Left) dot(r.Right - 1, y);
  }
  return TRUE;
}

}  // namespace gdi
