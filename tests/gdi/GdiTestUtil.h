// Small helpers for the graphics layer's tests: a memory context holding a
// bitmap, freed at the end of the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "gdi/Gdi.h"

namespace gdi::test {

class Canvas {
 public:
  // `bitCount` 1 gives a monochrome bitmap, 32 a colour one.
  Canvas(int width, int height, UINT bitCount = 32)
      : dc_(CreateCompatibleDC(0)), bitmap_(CreateBitmap(width, height, 1, bitCount, nullptr)) {
    old_ = SelectObject(dc_, bitmap_);
  }
  explicit Canvas(HBITMAP bitmap) : dc_(CreateCompatibleDC(0)), bitmap_(bitmap) {
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }

  void Fill(COLORREF color) const {
    const HBRUSH brush = CreateSolidBrush(color);
    BITMAP bm;
    GetObjectA(bitmap_, sizeof bm, &bm);
    const RECT all{0, 0, bm.bmWidth, bm.bmHeight};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Random colours, or black and white only for monochrome surfaces.
inline void FillRandom(const Canvas& canvas, std::mt19937& rng, bool monochrome) {
  BITMAP bm;
  GetObjectA(canvas.bitmap(), sizeof bm, &bm);
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) {
      const COLORREF c = monochrome ? ((rng() & 1) ? RGB(255, 255, 255) : 0) : (rng() & 0xFFFFFF);
      SetPixel(canvas.dc(), x, y, c);
    }
}

// The reference rule of a raster operation, bit by bit: result bit =
// truth-table bit number (pattern·4 + source·2 + destination).
inline COLORREF ByTruthTable(std::uint8_t table, COLORREF p, COLORREF s, COLORREF d) {
  COLORREF r = 0;
  for (int bit = 0; bit < 24; ++bit) {
    const int index = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
    r |= static_cast<COLORREF>((table >> index) & 1) << bit;
  }
  return r;
}

// Blits rows [0, height) of `src` from column `srcX` onto `dst` at column
// `dstX` by the operation whose truth table is `table`, with a solid brush
// of `brushColor` selected into `dst`; the old brush is selected back.
inline BOOL BlitWithBrush(COLORREF brushColor, HDC dst, int dstX, int width, int height, HDC src, int srcX,
                          std::uint8_t table) {
  const HBRUSH brush = CreateSolidBrush(brushColor);
  const HGDIOBJ oldBrush = SelectObject(dst, brush);
  const BOOL done = BitBlt(dst, dstX, 0, width, height, src, srcX, 0, static_cast<DWORD>(table) << 16);
  SelectObject(dst, oldBrush);
  DeleteObject(brush);
  return done;
}

}  // namespace gdi::test
