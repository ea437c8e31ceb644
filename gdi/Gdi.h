// The graphics device layer: a software implementation of the classic
// device-context API with the classic names, argument order and effects.
//
// Index
//   1. constants            4. bitmaps and pixels      7. lines and shapes
//   2. objects and handles  5. raster operations       8. text
//   3. device contexts      6. clipping and origins    9. rectangles
//
// Stale or foreign handles never crash: the call does nothing and returns its
// failure value. Every call is safe from any thread (one table lock).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "gdi/DibImage.h"
#include "gdi/Font.h"
#include "gdi/GdiTypes.h"
#include "gdi/TextLayout.h"

namespace gdi {

// ---- 1. constants ---------------------------------------------------------

// Ternary raster operations: bits 16-23 are the truth table, indexed by
// pattern·4 + source·2 + destination.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Binary raster operations for pens.
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
              R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
              R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;

// How StretchBlt joins the source pixels that fall on one destination pixel
// when shrinking: AND (keeps black), OR (keeps white), or one of them.
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6,
              MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;

// Region kinds returned by the clipping calls.
constexpr int RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;

// Stock objects.
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, SYSTEM_FONT = 13,
              DEFAULT_GUI_FONT = 17;
// Not a classic stock index: the 1 × 1 monochrome bitmap every new memory
// context starts with.
constexpr int DEFAULT_BITMAP = 100;

// Pen styles.
constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
              PS_INSIDEFRAME = 6;

// Object kinds (GetCurrentObject).
constexpr UINT OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_FONT = 6, OBJ_BITMAP = 7;

struct LOGBRUSH {
  UINT lbStyle = 0;  // BS_SOLID 0, BS_NULL 1
  COLORREF lbColor = 0;
  std::uintptr_t lbHatch = 0;
};
constexpr UINT BS_SOLID = 0, BS_NULL = 1;

struct LOGPEN {
  UINT lopnStyle = PS_SOLID;
  POINT lopnWidth{1, 0};
  COLORREF lopnColor = 0;
};

// ---- 2. objects and handles ------------------------------------------------

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Fails (FALSE) for a bitmap still selected into a context. Stock objects are
// never freed; deleting one succeeds and does nothing.
BOOL DeleteObject(HGDIOBJ object);
// Fills `out` with a BITMAP, LOGBRUSH, LOGPEN or LOGFONTA; returns the bytes
// written, or the size needed when `out` is null; 0 on failure.
int GetObjectA(HGDIOBJ object, int size, void* out);
HGDIOBJ GetCurrentObject(HDC dc, UINT kind);

HBRUSH CreateSolidBrush(COLORREF color);
HPEN CreatePen(int style, int width, COLORREF color);

// Objects alive in the table, stock objects not counted: a drawing routine
// that frees what it makes leaves this where it found it.
std::size_t GdiLiveObjectCount();

// ---- 3. device contexts ----------------------------------------------------

// A memory context: 1 × 1 monochrome bitmap selected, white background,
// black text, opaque background mode, text mapping mode, no clipping,
// origins (0, 0). `like` may be 0 (the screen).
HDC CreateCompatibleDC(HDC like);
// Frees the context; the bitmap selected in it stays alive.
BOOL DeleteDC(HDC dc);

// Window contexts. The framework registers the surface that backs a window
// and where in it the window's client area lies; GetDC then gives a context
// whose origin is that area's corner and whose clipping is that area.
void RegisterWindowSurface(HWND window, HBITMAP surface, const TRect& area);
void UnregisterWindowSurface(HWND window);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// The setters return the value they replace.
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// Saves origins, clipping, colours, modes and the selected brush, pen and
// font; RestoreDC(dc, -1) returns to the last saved state.
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);

// ---- 4. bitmaps and pixels -------------------------------------------------

// One plane only; 1 bit per pixel gives a monochrome bitmap, anything else a
// 32-bit colour bitmap. `bits`, when given, are rows of the requested depth
// padded to 16 bits, as the classic call takes them.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// The format of the bitmap selected in `dc`: monochrome for a bare memory
// context, colour for a window context or a context holding a colour bitmap.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A device-independent section of 1, 4, 8, 16, 24 or 32 bits per pixel, its
// pixels zero. `colors` is the colour table (or, for BI_BITFIELDS, the three
// masks in its first three entries read as DWORDs).
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFOHEADER& header, std::span<const RGBQUAD> colors = {});
// A section holding a copy of `image` (format, palette, masks and pixels).
HBITMAP CreateDIBSectionFromImage(const DibImage& image);
// A copy of any bitmap's pixels in its own format (monochrome bitmaps come as
// 1 bit per pixel with a black-and-white table). False for a bad handle.
bool GetBitmapImage(HBITMAP bitmap, DibImage& out);
// A new bitmap of the same kind, format and pixels; 0 for a bad handle.
HBITMAP CopyBitmap(HBITMAP bitmap);
// Whether the bitmap is a device-independent section.
bool IsDIBSection(HBITMAP bitmap);
// Direct access to one row of a bitmap's pixels (top-down, its own format);
// null for a bad handle or row. Valid until the bitmap is deleted.
BYTE* GetBitmapRow(HBITMAP bitmap, LONG y);

COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);

// ---- 5. raster operations --------------------------------------------------

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// Nearest-pixel stretch; negative extents mirror.
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);

// ---- 6. clipping and origins -----------------------------------------------

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
// Removes the clipping (a null region is the only one this layer takes).
int SelectClipRgn(HDC dc, std::nullptr_t);
int GetClipBox(HDC dc, RECT* rect);
BOOL RectVisible(HDC dc, const RECT* rect);

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetWindowOrgEx(HDC dc, POINT* origin);

// ---- 7. lines and shapes ---------------------------------------------------

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// Draws with the selected pen from the current position up to, not
// including, (x, y).
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
// Outline with the pen, inside filled with the brush.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
// The dotted focus frame, drawn by inversion: drawing it twice removes it.
BOOL DrawFocusRect(HDC dc, const RECT* rect);

// ---- 8. text ----------------------------------------------------------------
//
// 8-bit Windows-1252 text in the selected font, in the text colour, over the
// background colour in opaque mode. A `count` of -1 means up to the NUL.
// Realizing a font whose files are missing throws EFontMissing.

HFONT CreateFontIndirectA(const LOGFONTA* logFont);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size);
// The text's cell has its top-left corner at (x, y).
BOOL TextOutA(HDC dc, int x, int y, const char* text, int count);
// Lays out and draws text in `rect` by the DT_ flags (TextLayout.h); with
// DT_CALCRECT only stores the text's extent in `rect`. Returns the text's
// height (with DT_VCENTER or DT_BOTTOM, the offset of its bottom from the
// rectangle's top).
int DrawTextA(HDC dc, const char* text, int count, RECT* rect, UINT format);

// ---- 9. rectangles ---------------------------------------------------------

BOOL IsRectEmpty(const RECT* rect);
BOOL InflateRect(RECT* rect, int dx, int dy);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b);

}  // namespace gdi
