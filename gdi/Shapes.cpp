// Lines, rectangles, ellipses and the focus frame, drawn with the selected
// pen and brush through the context's binary raster operation.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gdi/DcAccess.h"
#include "gdi/Gdi.h"
#include "gdi/PixelFormat.h"
#include "gdi/RasterOps.h"

namespace gdi {
using namespace detail;

namespace {

// A binary operation (pen or brush with destination) as the ternary table
// that ignores the source: binary bit (pen·2 + dest) is ternary bit
// (pen·4 + source·2 + dest) for both source values.
std::uint8_t Rop2Table(int rop2) {
  const unsigned binary = static_cast<unsigned>(rop2 - 1) & 0x0F;
  std::uint8_t table = 0;
  for (unsigned i = 0; i < 8; ++i) {
    const unsigned pen = (i >> 2) & 1, dest = i & 1;
    if ((binary >> (pen * 2 + dest)) & 1) table = static_cast<std::uint8_t>(table | (1u << i));
  }
  return table;
}

// Draws one horizontal run [x0, x1) of row y (device coordinates) with the
// colour as pattern.
void Span(const Target& t, const TRect& area, LONG y, LONG x0, LONG x1, std::uint32_t pixel,
          std::uint8_t table) {
  if (y < area.Top || y >= area.Bottom) return;
  x0 = std::max(x0, area.Left);
  x1 = std::min(x1, area.Right);
  if (x1 <= x0) return;
  std::vector<std::uint32_t> row(static_cast<std::size_t>(x1 - x0));
  ReadRow(t.bitmap->image, y, x0, x1 - x0, row.data());
  RopRow(table)(row.data(), nullptr, pixel, row.size());
  WriteRow(t.bitmap->image, y, x0, x1 - x0, row.data());
}

void FillBox(const Target& t, const TRect& area, const TRect& box, std::uint32_t pixel, std::uint8_t table) {
  for (LONG y = box.Top; y < box.Bottom; ++y) Span(t, area, y, box.Left, box.Right, pixel, table);
}

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

// Bresenham from a to b, the end point excluded; `plot` gets device points.
template <typename Plot>
void WalkLine(POINT a, POINT b, Plot plot) {
  LONG dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
  const LONG sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  LONG err = dx + dy;
  while (a.X != b.X || a.Y != b.Y) {
    plot(a);
    const LONG e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      a.X += sx;
    }
    if (e2 <= dx) {
      err += dx;
      a.Y += sy;
    }
  }
}

void PenLine(const Target& t, POINT from, POINT to) {
  const PenObject& pen = DcPen(*t.dc);
  if (pen.style == PS_NULL) return;
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  const std::uint32_t pixel = PixelForColor(*t.bitmap, pen.color);
  const std::uint8_t table = Rop2Table(t.dc->state.rop2);
  const std::vector<int> dashes = pen.width == 1 ? DashPattern(pen.style) : std::vector<int>{};
  const LONG half = (pen.width - 1) / 2;
  std::size_t dash = 0;
  int left = dashes.empty() ? 0 : dashes[0];
  WalkLine(ToDevice(t.dc->state, from.X, from.Y), ToDevice(t.dc->state, to.X, to.Y), [&](POINT p) {
    const bool on = dashes.empty() || dash % 2 == 0;
    if (!dashes.empty() && --left == 0) {
      dash = (dash + 1) % dashes.size();
      left = dashes[dash];
    }
    if (!on) return;
    const TRect box{p.X - half, p.Y - half, p.X - half + pen.width, p.Y - half + pen.width};
    FillBox(t, area, box, pixel, table);
  });
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
  PenLine(t, t.dc->state.penPos, {x, y});
  t.dc->state.penPos = {x, y};
  return TRUE;
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
  if (!points || count < 2) return FALSE;
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t) return FALSE;
  for (int i = 1; i < count; ++i) PenLine(t, points[i - 1], points[i]);
  return TRUE;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t) return FALSE;
  TRect box = RectToDevice(t.dc->state, {std::min(left, right), std::min(top, bottom), std::max(left, right),
                                         std::max(top, bottom)});
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  const std::uint8_t table = Rop2Table(t.dc->state.rop2);
  const PenObject& pen = DcPen(*t.dc);
  const BrushObject& brush = DcBrush(*t.dc);
  if (pen.style == PS_NULL) {
    // Without an outline the classic call fills one pixel less on the
    // right and at the bottom.
    box.Right -= 1;
    box.Bottom -= 1;
    if (!brush.null) FillBox(t, area, box, PixelForColor(*t.bitmap, brush.color), table);
    return TRUE;
  }
  const LONG w = std::min<LONG>(pen.width, std::max<LONG>(1, std::min(box.Width(), box.Height()) / 2));
  if (!brush.null)
    FillBox(t, area, {box.Left + w, box.Top + w, box.Right - w, box.Bottom - w},
            PixelForColor(*t.bitmap, brush.color), table);
  const std::uint32_t pixel = PixelForColor(*t.bitmap, pen.color);
  FillBox(t, area, {box.Left, box.Top, box.Right, box.Top + w}, pixel, table);
  FillBox(t, area, {box.Left, box.Bottom - w, box.Right, box.Bottom}, pixel, table);
  FillBox(t, area, {box.Left, box.Top + w, box.Left + w, box.Bottom - w}, pixel, table);
  FillBox(t, area, {box.Right - w, box.Top + w, box.Right, box.Bottom - w}, pixel, table);
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
  const std::uint32_t brushPixel = PixelForColor(*t.bitmap, brush.color);
  for (LONG y = box.Top; y < box.Bottom; ++y)
    for (LONG x = box.Left; x < box.Right; ++x) {
      if (!inside(x, y)) continue;
      const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      if (edge && pen.style != PS_NULL)
        Span(t, area, y, x, x + 1, penPixel, table);
      else if (!brush.null)
        Span(t, area, y, x, x + 1, brushPixel, table);
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
