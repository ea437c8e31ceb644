// Drawing helpers of the control library: bitmaps drawn with one colour
// treated as transparent, and the choice of that colour from a pixel.
//
// The functions work on raw gdi handles owned by the caller. The bitmap handed
// to them is selected into a context of their own for the call, so it must not
// be selected into any other context at that moment.
#pragma once

#include <mutex>

#include "gdi/GdiTypes.h"
#include "toolkit/Colors.h"

namespace controls {

// Module start-up and shutdown, nestable: only the outermost pair creates and
// deletes the process-wide drawing lock.
void MmutilsStartup();
void MmutilsShutdown();

// Whether the drawing lock exists (between start-up and shutdown).
bool DrawingLockExists();
// The drawing lock itself, or null outside start-up and shutdown. Whoever
// holds it keeps every transparent drawing call waiting.
std::recursive_mutex* DrawingLock();

// `low` when value < low, else `high` when value > high, else value. The low
// bound is tested first, so an empty range (high < low) gives `high` for any
// value at or above `low`.
int MinMax(int value, int low, int high);

// The bitmap's size in pixels; 0 × 0 for a handle that is not a bitmap.
void GetBitmapSize(gdi::HBITMAP bitmap, int& width, int& height);

// The colour of the pixel at `point`, the point first brought inside the
// bitmap. A plain red-green-blue value, as gdi::GetPixel gives it.
toolkit::TColor GetTransparentColorEx(gdi::HBITMAP bitmap, const gdi::TPoint& point);
// The colour of the bottom-left pixel.
toolkit::TColor GetTransparentColor(gdi::HBITMAP bitmap);

// Draws `source` (bitmap pixels) at (x, y) of `dest`, unstretched: the
// destination keeps its pixels where the bitmap has `transparent`, and
// elsewhere is combined with the bitmap by `rop`. A system colour is resolved
// at the time of the call. The bitmap is as before when the call returns.
void DrawTransparentBitmapROP(gdi::HDC dest, gdi::HBITMAP bitmap, int x, int y, const gdi::TRect& source,
                              toolkit::TColor transparent, gdi::DWORD rop);
// The same with SRCPAINT: the bitmap's non-transparent pixels replace the
// destination's, black ones included.
void DrawTransparentBitmapEx(gdi::HDC dest, gdi::HBITMAP bitmap, int x, int y, const gdi::TRect& source,
                             toolkit::TColor transparent);
// The whole bitmap with SRCPAINT.
void DrawTransparentBitmap(gdi::HDC dest, gdi::HBITMAP bitmap, int x, int y, toolkit::TColor transparent);

}  // namespace controls
