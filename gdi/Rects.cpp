// Rectangle arithmetic. Right and Bottom are exclusive throughout.
#include <algorithm>

#include "gdi/Gdi.h"

namespace gdi {

BOOL IsRectEmpty(const RECT* rect) { return !rect || rect->Right <= rect->Left || rect->Bottom <= rect->Top; }

BOOL InflateRect(RECT* rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->Left -= dx;
  rect->Top -= dy;
  rect->Right += dx;
  rect->Bottom += dy;
  return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->Left += dx;
  rect->Right += dx;
  rect->Top += dy;
  rect->Bottom += dy;
  return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT p) {
  return rect && p.X >= rect->Left && p.X < rect->Right && p.Y >= rect->Top && p.Y < rect->Bottom;
}

BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  RECT r{std::max(a->Left, b->Left), std::max(a->Top, b->Top), std::min(a->Right, b->Right),
         std::min(a->Bottom, b->Bottom)};
  if (IsRectEmpty(&r)) {
    *out = {};
    return FALSE;
  }
  *out = r;
  return TRUE;
}

BOOL UnionRect(RECT* out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    *out = IsRectEmpty(b) ? RECT{} : *b;
  } else if (IsRectEmpty(b)) {
    *out = *a;
  } else {
    *out = {std::min(a->Left, b->Left), std::min(a->Top, b->Top), std::max(a->Right, b->Right),
            std::max(a->Bottom, b->Bottom)};
  }
  return !IsRectEmpty(out);
}

}  // namespace gdi
