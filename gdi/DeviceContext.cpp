// Device contexts, their state, and the object calls (select, delete, query).
#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "gdi/DcAccess.h"
#include "gdi/Gdi.h"
#include "gdi/PixelFormat.h"

namespace gdi {
using namespace detail;

namespace detail {
std::uint32_t PixelForColor(const BitmapObject& bitmap, COLORREF color) {
  return NearestRepresentable(bitmap.image, ColorToRgb(color));
}
}  // namespace detail

namespace {

DcObject NewContext(HBITMAP bitmap, HWND window) {
  DcObject dc;
  dc.bitmap = bitmap;
  dc.window = window;
  dc.state.brush = Stock(WHITE_BRUSH);
  dc.state.pen = Stock(BLACK_PEN);
  dc.state.font = Stock(SYSTEM_FONT);
  return dc;
}

template <typename Field, typename Value>
Value Exchange(HDC handle, Field DcState::*field, Value value, Value failure) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc) return failure;
  Value previous = dc->state.*field;
  dc->state.*field = value;
  return previous;
}

template <typename Field>
Field Read(HDC handle, Field DcState::*field, Field failure) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  return dc ? dc->state.*field : failure;
}

template <typename T>
int CopyOut(const T& value, int size, void* out) {
  if (!out) return static_cast<int>(sizeof(T));
  if (size < static_cast<int>(sizeof(T))) return 0;
  std::memcpy(out, &value, sizeof(T));
  return static_cast<int>(sizeof(T));
}

}  // namespace

// ---- objects ----------------------------------------------------------------

HGDIOBJ GetStockObject(int index) {
  auto lock = LockTable();
  return Stock(index);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto lock = LockTable();
  return Insert(BrushObject{color & 0xFFFFFF, false});
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return 0;
  auto lock = LockTable();
  return Insert(PenObject{style, width < 1 ? 1 : width, color & 0xFFFFFF});
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  Object* found = Find(object);
  if (!dc || !found) return 0;
  HGDIOBJ previous = 0;
  if (auto* bitmap = std::get_if<BitmapObject>(found)) {
    if (dc->window) return 0;  // a window context draws on its window only
    if (bitmap->selectedIn && bitmap->selectedIn != handle && !IsStock(object)) return 0;
    previous = dc->bitmap;
    if (auto* old = DcBitmap(*dc); old && !IsStock(previous)) old->selectedIn = 0;
    if (!IsStock(object)) bitmap->selectedIn = handle;
    dc->bitmap = object;
  } else if (std::holds_alternative<BrushObject>(*found)) {
    previous = std::exchange(dc->state.brush, object);
  } else if (std::holds_alternative<PenObject>(*found)) {
    previous = std::exchange(dc->state.pen, object);
  } else if (std::holds_alternative<FontObject>(*found)) {
    previous = std::exchange(dc->state.font, object);
  }
  return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
  auto lock = LockTable();
  Object* found = Find(object);
  if (!found || std::holds_alternative<DcObject>(*found)) return FALSE;
  if (IsStock(object)) return TRUE;
  if (auto* bitmap = std::get_if<BitmapObject>(found); bitmap && bitmap->selectedIn) {
    // Still selected somewhere: the classic call refuses.
    if (FindAs<DcObject>(bitmap->selectedIn)) return FALSE;
  }
  Erase(object);
  return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
  auto lock = LockTable();
  Object* found = Find(object);
  if (!found) return 0;
  if (auto* bitmap = std::get_if<BitmapObject>(found)) {
    BITMAP bm;
    bm.bmWidth = bitmap->image.width;
    bm.bmHeight = bitmap->image.height;
    bm.bmWidthBytes = static_cast<LONG>(bitmap->image.Stride());
    bm.bmPlanes = 1;
    bm.bmBitsPixel = bitmap->image.bitCount;
    bm.bmBits = bitmap->section ? bitmap->image.bits.data() : nullptr;
    return CopyOut(bm, size, out);
  }
  if (auto* brush = std::get_if<BrushObject>(found))
    return CopyOut(LOGBRUSH{brush->null ? BS_NULL : BS_SOLID, brush->color, 0}, size, out);
  if (auto* pen = std::get_if<PenObject>(found))
    return CopyOut(LOGPEN{static_cast<UINT>(pen->style), POINT{pen->width, 0}, pen->color}, size, out);
  if (auto* font = std::get_if<FontObject>(found)) return CopyOut(font->logFont, size, out);
  return 0;
}

HGDIOBJ GetCurrentObject(HDC handle, UINT kind) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc) return 0;
  switch (kind) {
    case OBJ_BITMAP: return dc->bitmap;
    case OBJ_BRUSH: return dc->state.brush;
    case OBJ_PEN: return dc->state.pen;
    case OBJ_FONT: return dc->state.font;
    default: return 0;
  }
}

std::size_t GdiLiveObjectCount() {
  auto lock = LockTable();
  return LiveCount();
}

// ---- contexts -----------------------------------------------------------------

HDC CreateCompatibleDC(HDC like) {
  auto lock = LockTable();
  if (like && !FindAs<DcObject>(like)) return 0;
  return Insert(NewContext(Stock(DEFAULT_BITMAP), 0));
}

BOOL DeleteDC(HDC handle) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc) return FALSE;
  if (auto* bitmap = DcBitmap(*dc); bitmap && bitmap->selectedIn == handle) bitmap->selectedIn = 0;
  Erase(handle);
  return TRUE;
}

void RegisterWindowSurface(HWND window, HBITMAP surface, const TRect& area) {
  auto lock = LockTable();
  SetWindowSurface(window, WindowSurface{surface, area});
}

void UnregisterWindowSurface(HWND window) {
  auto lock = LockTable();
  SetWindowSurface(window, std::nullopt);
}

HDC GetDC(HWND window) {
  auto lock = LockTable();
  const auto surface = FindWindowSurface(window);
  if (!surface || !FindAs<BitmapObject>(surface->surface)) return 0;
  DcObject dc = NewContext(surface->surface, window);
  dc.state.dcOrg = {surface->area.Left, surface->area.Top};
  dc.windowArea = surface->area;
  return Insert(std::move(dc));
}

int ReleaseDC(HWND window, HDC handle) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc || dc->window != window) return 0;
  Erase(handle);
  return 1;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  return Exchange(dc, &DcState::bkColor, color & 0xFFFFFF, CLR_INVALID);
}
COLORREF SetTextColor(HDC dc, COLORREF color) {
  return Exchange(dc, &DcState::textColor, color & 0xFFFFFF, CLR_INVALID);
}

int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Exchange(dc, &DcState::bkMode, mode, 0);
}

int SetMapMode(HDC dc, int mode) {
  if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  return Exchange(dc, &DcState::mapMode, mode, 0);
}
int GetMapMode(HDC dc) { return Read(dc, &DcState::mapMode, 0); }

int SetROP2(HDC dc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return Exchange(dc, &DcState::rop2, rop2, 0);
}

int SetStretchBltMode(HDC dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Exchange(dc, &DcState::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC dc) { return Read(dc, &DcState::stretchMode, 0); }

int SaveDC(HDC handle) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc) return 0;
  dc->saved.push_back(dc->state);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int saved) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc) return FALSE;
  const int depth = static_cast<int>(dc->saved.size());
  const int level = saved < 0 ? depth + saved + 1 : saved;
  if (level < 1 || level > depth) return FALSE;
  dc->state = dc->saved[static_cast<std::size_t>(level - 1)];
  dc->saved.resize(static_cast<std::size_t>(level - 1));
  return TRUE;
}

// ---- clipping and origins -------------------------------------------------------

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t) return RGN_ERROR;
  // Corners in either order; the clip is kept apart from the surface, so a
  // clip set before a bitmap is selected applies to that bitmap.
  const TRect wanted = RectToDevice(t.dc->state, {std::min(left, right), std::min(top, bottom),
                                                  std::max(left, right), std::max(top, bottom)});
  std::optional<TRect>& clip = t.dc->state.clip;
  clip = clip ? Intersect(*clip, wanted) : Intersect(wanted, wanted);
  return Empty(DrawableArea(*t.dc, *t.bitmap)) ? NULLREGION : SIMPLEREGION;
}

int SelectClipRgn(HDC handle, std::nullptr_t) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc) return RGN_ERROR;
  dc->state.clip.reset();
  return SIMPLEREGION;
}

int GetClipBox(HDC handle, RECT* rect) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t || !rect) return RGN_ERROR;
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  const POINT a = ToLogical(t.dc->state, area.Left, area.Top);
  const POINT b = ToLogical(t.dc->state, area.Right, area.Bottom);
  *rect = Empty(area) ? TRect{} : TRect{a.X, a.Y, b.X, b.Y};
  return Empty(area) ? NULLREGION : SIMPLEREGION;
}

BOOL RectVisible(HDC handle, const RECT* rect) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  if (!t || !rect) return FALSE;
  TRect r = *rect;
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return !Empty(Intersect(DrawableArea(*t.dc, *t.bitmap), RectToDevice(t.dc->state, r)));
}

BOOL SetWindowOrgEx(HDC handle, int x, int y, POINT* previous) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc) return FALSE;
  if (previous) *previous = dc->state.windowOrg;
  dc->state.windowOrg = {x, y};
  return TRUE;
}

BOOL GetWindowOrgEx(HDC handle, POINT* origin) {
  auto lock = LockTable();
  auto* dc = FindAs<DcObject>(handle);
  if (!dc || !origin) return FALSE;
  *origin = dc->state.windowOrg;
  return TRUE;
}

}  // namespace gdi
