// Plain value types of the graphics device layer: colours, rectangles,
// points, handles and the classic structures, with their classic names.
#pragma once

#include <cstdint>

namespace gdi {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// 0x00BBGGRR: red in the lowest byte.
using COLORREF = std::uint32_t;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

// Right and Bottom are exclusive.
struct TRect {
  LONG Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr LONG Width() const { return Right - Left; }
  constexpr LONG Height() const { return Bottom - Top; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};
using RECT = TRect;

struct TPoint {
  LONG X = 0, Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};
using POINT = TPoint;

struct SIZE {
  LONG cx = 0, cy = 0;
  friend constexpr bool operator==(const SIZE&, const SIZE&) = default;
};

// Handles are opaque numbers into the process-wide object table. 0 is never
// a valid handle. One integral type serves every kind, as the classic API's
// untyped handles do; the table checks the kind on every use.
using HGDIOBJ = std::uintptr_t;
using HDC = HGDIOBJ;
using HBITMAP = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HPEN = HGDIOBJ;
using HFONT = HGDIOBJ;
using HPALETTE = HGDIOBJ;
// A window is named by the framework; the layer only maps it to a surface.
using HWND = std::uintptr_t;

struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
  friend constexpr bool operator==(const RGBQUAD&, const RGBQUAD&) = default;
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: rows top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

}  // namespace gdi
