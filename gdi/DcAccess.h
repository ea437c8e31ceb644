// Helpers shared by the drawing calls: coordinate mapping and the area of a
// context's surface that may be touched.
#pragma once

#include <algorithm>

#include "gdi/ObjectTable.h"

namespace gdi::detail {

inline POINT ToDevice(const DcState& s, LONG x, LONG y) {
  return {x - s.windowOrg.X + s.dcOrg.X, y - s.windowOrg.Y + s.dcOrg.Y};
}
inline POINT ToLogical(const DcState& s, LONG x, LONG y) {
  return {x + s.windowOrg.X - s.dcOrg.X, y + s.windowOrg.Y - s.dcOrg.Y};
}
inline TRect RectToDevice(const DcState& s, const TRect& r) {
  const POINT a = ToDevice(s, r.Left, r.Top), b = ToDevice(s, r.Right, r.Bottom);
  return {a.X, a.Y, b.X, b.Y};
}

inline TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return {};
  return r;
}
inline bool Empty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// The pixels a drawing call may touch, in device coordinates: the clipping
// inside the surface.
inline TRect DrawableArea(const DcObject& dc, const BitmapObject& bitmap) {
  TRect area{0, 0, bitmap.image.width, bitmap.image.height};
  if (dc.windowArea) area = Intersect(area, *dc.windowArea);
  return dc.state.clip ? Intersect(*dc.state.clip, area) : area;
}

// A context and the bitmap it draws into, both found under the table lock.
struct Target {
  DcObject* dc = nullptr;
  BitmapObject* bitmap = nullptr;
  explicit operator bool() const { return dc && bitmap; }
};
inline Target FindTarget(HDC handle) {
  Target t;
  t.dc = FindAs<DcObject>(handle);
  if (t.dc) t.bitmap = DcBitmap(*t.dc);
  return t;
}

// A colour as a pixel value for this surface: monochrome surfaces take white
// for light colours and black for dark ones.
std::uint32_t PixelForColor(const BitmapObject& bitmap, COLORREF color);

}  // namespace gdi::detail
