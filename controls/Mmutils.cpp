#include "controls/Mmutils.h"

#include <memory>

#include "gdi/Gdi.h"

namespace controls {

namespace {

// Start-up decrements, shutdown increments: only the outermost pair works.
int startupCount = 0;
std::unique_ptr<std::recursive_mutex> drawingLock;

// A memory context, deleted when the scope ends unless released earlier.
class ScopedDC {
 public:
  explicit ScopedDC(gdi::HDC like) : dc_(gdi::CreateCompatibleDC(like)) {}
  ~ScopedDC() { Release(); }
  ScopedDC(const ScopedDC&) = delete;
  ScopedDC& operator=(const ScopedDC&) = delete;

  gdi::HDC get() const { return dc_; }
  void Release() {
    if (dc_) gdi::DeleteDC(dc_);
    dc_ = 0;
  }

 private:
  gdi::HDC dc_;
};

// A work bitmap selected into a context. Releasing it selects the context's
// previous object back and deletes the bitmap; a bitmap that could not be
// selected is deleted all the same.
class ScopedWorkBitmap {
 public:
  ScopedWorkBitmap(gdi::HDC dc, gdi::HBITMAP bitmap)
      : dc_(dc), bitmap_(bitmap), previous_(gdi::SelectObject(dc, bitmap)) {}
  ~ScopedWorkBitmap() { Release(); }
  ScopedWorkBitmap(const ScopedWorkBitmap&) = delete;
  ScopedWorkBitmap& operator=(const ScopedWorkBitmap&) = delete;

  void Release() {
    if (!pending_) return;
    pending_ = false;
    if (previous_) gdi::SelectObject(dc_, previous_);
    if (bitmap_) gdi::DeleteObject(bitmap_);
  }

 private:
  gdi::HDC dc_;
  gdi::HBITMAP bitmap_;
  gdi::HGDIOBJ previous_;
  bool pending_ = true;
};

}  // namespace

void MmutilsStartup() {
  if (startupCount-- == 0) drawingLock = std::make_unique<std::recursive_mutex>();
}

void MmutilsShutdown() {
  if (startupCount++ == -1) drawingLock.reset();
}

bool DrawingLockExists() { return drawingLock != nullptr; }

std::recursive_mutex* DrawingLock() { return drawingLock.get(); }

int MinMax(int value, int low, int high) {
  if (low > value) return low;
  if (high < value) return high;
  return value;
}

void GetBitmapSize(gdi::HBITMAP bitmap, int& width, int& height) {
  gdi::BITMAP info;
  gdi::GetObjectA(bitmap, sizeof info, &info);
  width = info.bmWidth;
  height = info.bmHeight;
}

toolkit::TColor GetTransparentColorEx(gdi::HBITMAP bitmap, const gdi::TPoint& point) {
  gdi::TPoint p = point;
  const gdi::HDC dc = gdi::CreateCompatibleDC(0);
  const gdi::HGDIOBJ previous = gdi::SelectObject(dc, bitmap);
  int width = 0, height = 0;
  GetBitmapSize(bitmap, width, height);
  p.X = MinMax(p.X, 0, width - 1);
  p.Y = MinMax(p.Y, 0, height - 1);
  // A bitmap that could not be read gives CLR_INVALID, which comes back as -1.
  const gdi::COLORREF color = gdi::GetPixel(dc, p.X, p.Y);
  gdi::SelectObject(dc, previous);
  gdi::DeleteDC(dc);
  return static_cast<toolkit::TColor>(color);
}

toolkit::TColor GetTransparentColor(gdi::HBITMAP bitmap) {
  // The clamp brings the huge Y to the last row.
  return GetTransparentColorEx(bitmap, gdi::TPoint{0, 0x7FFFFFFE});
}

void DrawTransparentBitmapROP(gdi::HDC dest, gdi::HBITMAP bitmap, int x, int y, const gdi::TRect& source,
                              toolkit::TColor transparent, gdi::DWORD rop) {
  // Take the drawing lock for the whole call. Before start-up or after
  // shutdown there is none; drawing unguarded beats not drawing.
  std::unique_lock<std::recursive_mutex> guard;
  if (drawingLock) guard = std::unique_lock(*drawingLock);

  // The caller's bitmap goes into a context of its own; the stock bitmap
  // it replaces goes with the context.
  ScopedDC src(dest);
  gdi::SelectObject(src.get(), bitmap);

  const int width = source.Right - source.Left;
  const int height = source.Bottom - source.Top;

  ScopedDC inverseMask(dest);
  ScopedDC mask(dest);
  ScopedDC composition(dest);
  ScopedDC backup(dest);

  ScopedWorkBitmap inverseMaskBits(inverseMask.get(), gdi::CreateBitmap(width, height, 1, 1, nullptr));
  ScopedWorkBitmap maskBits(mask.get(), gdi::CreateBitmap(width, height, 1, 1, nullptr));
  ScopedWorkBitmap compositionBits(composition.get(), gdi::CreateCompatibleBitmap(dest, width, height));
  ScopedWorkBitmap backupBits(backup.get(), gdi::CreateCompatibleBitmap(dest, width, height));

  gdi::SetMapMode(src.get(), gdi::GetMapMode(dest));

  // Keep the bitmap's pixels: it is drawn on below.
  gdi::BitBlt(backup.get(), 0, 0, width, height, src.get(), source.Left, source.Top, gdi::SRCCOPY);

  // Mask: 1 where the bitmap has the transparent colour, 0 elsewhere.
  const gdi::COLORREF oldBackground = gdi::SetBkColor(src.get(), toolkit::ColorToRGB(transparent));
  gdi::BitBlt(mask.get(), 0, 0, width, height, src.get(), source.Left, source.Top, gdi::SRCCOPY);
  gdi::SetBkColor(src.get(), oldBackground);

  gdi::BitBlt(inverseMask.get(), 0, 0, width, height, mask.get(), 0, 0, gdi::NOTSRCCOPY);

  // The masks reach colour surfaces as all ones and all zeros because both
  // receiving contexts keep a white background and black text.
  // The background under the bitmap, black where the bitmap is opaque.
  gdi::BitBlt(composition.get(), 0, 0, width, height, dest, x, y, gdi::SRCCOPY);
  gdi::BitBlt(composition.get(), 0, 0, width, height, mask.get(), 0, 0, gdi::SRCAND);

  // The bitmap's transparent pixels turn black (the backup puts them back),
  // then the caller's operation combines it with the background.
  gdi::BitBlt(src.get(), source.Left, source.Top, width, height, inverseMask.get(), 0, 0, gdi::SRCAND);
  gdi::BitBlt(composition.get(), 0, 0, width, height, src.get(), source.Left, source.Top, rop);

  // The one write to the destination.
  gdi::BitBlt(dest, x, y, width, height, composition.get(), 0, 0, gdi::SRCCOPY);

  gdi::BitBlt(src.get(), source.Left, source.Top, width, height, backup.get(), 0, 0, gdi::SRCCOPY);

  // Clean up in this order on the normal path; on an exception the
  // destructors release whatever is left.
  inverseMaskBits.Release();
  maskBits.Release();
  compositionBits.Release();
  backupBits.Release();
  composition.Release();
  inverseMask.Release();
  mask.Release();
  backup.Release();
  // The caller's bitmap is still selected here; deleting the context leaves
  // it alive.
  src.Release();

  // The guard releases the drawing lock last.
}

void DrawTransparentBitmapEx(gdi::HDC dest, gdi::HBITMAP bitmap, int x, int y, const gdi::TRect& source,
                             toolkit::TColor transparent) {
  DrawTransparentBitmapROP(dest, bitmap, x, y, source, transparent, gdi::SRCPAINT);
}

void DrawTransparentBitmap(gdi::HDC dest, gdi::HBITMAP bitmap, int x, int y, toolkit::TColor transparent) {
  int width = 0, height = 0;
  GetBitmapSize(bitmap, width, height);
  DrawTransparentBitmapEx(dest, bitmap, x, y, gdi::TRect{0, 0, width, height}, transparent);
}

}  // namespace controls
