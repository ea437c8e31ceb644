// Bitmap creation and single-pixel access.
#include <cstring>

#include "gdi/BmpFile.h"
#include "gdi/DcAccess.h"
#include "gdi/Gdi.h"
#include "gdi/PixelFormat.h"

namespace gdi {
using namespace detail;

namespace {

bool SupportedDepth(UINT bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
         bitCount == 32;
}

// Refuses sizes whose pixels could not reasonably be held, before allocating.
bool SizeAcceptable(LONG width, LONG height, UINT bitCount) {
  if (width <= 0 || height <= 0) return false;
  const auto bytes = static_cast<unsigned long long>(DibImage::StrideFor(width, bitCount)) *
                     static_cast<unsigned long long>(height);
  return bytes <= kMaxBmpPixelBytes;
}

DibImage BlankImage(LONG width, LONG height, WORD bitCount) {
  DibImage image;
  image.width = width;
  image.height = height;
  image.bitCount = bitCount;
  image.bits.assign(image.Stride() * static_cast<std::size_t>(height), 0);
  return image;
}

HBITMAP InsertMonochrome(LONG width, LONG height) {
  BitmapObject bitmap;
  bitmap.image = BlankImage(width, height, 1);
  bitmap.image.palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  return Insert(std::move(bitmap));
}

HBITMAP InsertColour(LONG width, LONG height) {
  BitmapObject bitmap;
  bitmap.image = BlankImage(width, height, 32);
  return Insert(std::move(bitmap));
}

// The device position of logical (x, y), when it may be read or drawn.
bool DrawablePoint(const Target& t, int x, int y, POINT& device) {
  if (!t) return false;
  device = ToDevice(t.dc->state, x, y);
  const TRect area = DrawableArea(*t.dc, *t.bitmap);
  return device.X >= area.Left && device.X < area.Right && device.Y >= area.Top && device.Y < area.Bottom;
}

bool ValidImage(const DibImage& image) {
  if (!SupportedDepth(image.bitCount) || !SizeAcceptable(image.width, image.height, image.bitCount))
    return false;
  if (image.bits.size() != image.Stride() * static_cast<std::size_t>(image.height)) return false;
  if (image.bitCount <= 8 && image.palette.size() > (std::size_t{1} << image.bitCount)) return false;
  return true;
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || bitsPerPixel == 0 || bitsPerPixel > 32) return 0;
  const WORD depth = bitsPerPixel == 1 ? 1 : 32;
  if (!SizeAcceptable(width, height, depth)) return 0;
  auto lock = LockTable();
  const HBITMAP handle = depth == 1 ? InsertMonochrome(width, height) : InsertColour(width, height);
  if (bits && handle) {
    // The classic call takes rows padded to 16 bits, in the requested depth.
    auto* bitmap = FindAs<BitmapObject>(handle);
    const std::size_t sourceStride = ((static_cast<std::size_t>(width) * bitsPerPixel + 15) / 16) * 2;
    const auto* source = static_cast<const std::uint8_t*>(bits);
    if (bitsPerPixel == 1 || bitsPerPixel == 32) {
      const std::size_t rowBytes = (static_cast<std::size_t>(width) * bitsPerPixel + 7) / 8;
      for (LONG y = 0; y < height; ++y)
        std::memcpy(bitmap->image.Row(y), source + y * sourceStride, rowBytes);
    } else {
      // Other depths are converted through a temporary image of that format.
      DibImage from;
      from.width = width;
      from.height = 1;
      from.bitCount = static_cast<WORD>(bitsPerPixel);
      if (!SupportedDepth(bitsPerPixel) || bitsPerPixel <= 8) return handle;
      from.bits.resize(from.Stride());
      std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
      for (LONG y = 0; y < height; ++y) {
        std::memcpy(from.bits.data(), source + y * sourceStride, (width * bitsPerPixel + 7) / 8);
        ReadRow(from, 0, 0, width, row.data());
        WriteRow(bitmap->image, y, 0, width, row.data());
      }
    }
  }
  return handle;
}

HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height) {
  auto lock = LockTable();
  if (width == 0 || height == 0) return Stock(DEFAULT_BITMAP);
  bool monochrome = false;
  if (handle) {
    auto* dc = FindAs<DcObject>(handle);
    if (!dc) return 0;
    const BitmapObject* selected = DcBitmap(*dc);
    monochrome = selected && selected->Monochrome();
  }
  if (!SizeAcceptable(width, height, monochrome ? 1 : 32)) return 0;
  return monochrome ? InsertMonochrome(width, height) : InsertColour(width, height);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFOHEADER& header, std::span<const RGBQUAD> colors) {
  const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  if (header.biPlanes != 1 || !SupportedDepth(header.biBitCount) ||
      !SizeAcceptable(header.biWidth, height, header.biBitCount))
    return 0;
  if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) return 0;
  DibImage image = BlankImage(header.biWidth, height, header.biBitCount);
  image.bottomUp = header.biHeight > 0;
  if (header.biCompression == BI_BITFIELDS) {
    if ((header.biBitCount != 16 && header.biBitCount != 32) || colors.size() < 3) return 0;
    DWORD masks[3];
    std::memcpy(masks, colors.data(), sizeof masks);
    image.redMask = masks[0];
    image.greenMask = masks[1];
    image.blueMask = masks[2];
    image.bitfields = true;
  } else if (header.biBitCount <= 8) {
    const std::size_t maxColors = std::size_t{1} << header.biBitCount;
    std::size_t count = header.biClrUsed ? header.biClrUsed : maxColors;
    count = std::min({count, maxColors, colors.size()});
    image.palette.assign(colors.begin(), colors.begin() + static_cast<std::ptrdiff_t>(count));
  }
  return CreateDIBSectionFromImage(image);
}

HBITMAP CreateDIBSectionFromImage(const DibImage& image) {
  if (!ValidImage(image)) return 0;
  BitmapObject bitmap;
  bitmap.image = image;
  bitmap.section = true;
  // An indexed section always has a full table to look colours up in.
  if (bitmap.image.bitCount <= 8) bitmap.image.palette.resize(std::size_t{1} << image.bitCount);
  auto lock = LockTable();
  return Insert(std::move(bitmap));
}

bool GetBitmapImage(HBITMAP handle, DibImage& out) {
  auto lock = LockTable();
  auto* bitmap = FindAs<BitmapObject>(handle);
  if (!bitmap) return false;
  out = bitmap->image;
  return true;
}

HBITMAP CopyBitmap(HBITMAP handle) {
  auto lock = LockTable();
  auto* bitmap = FindAs<BitmapObject>(handle);
  if (!bitmap) return 0;
  BitmapObject copy;
  copy.image = bitmap->image;
  copy.section = bitmap->section;
  return Insert(std::move(copy));
}

bool IsDIBSection(HBITMAP handle) {
  auto lock = LockTable();
  auto* bitmap = FindAs<BitmapObject>(handle);
  return bitmap && bitmap->section;
}

BYTE* GetBitmapRow(HBITMAP handle, LONG y) {
  auto lock = LockTable();
  auto* bitmap = FindAs<BitmapObject>(handle);
  if (!bitmap || y < 0 || y >= bitmap->image.height) return nullptr;
  return bitmap->image.Row(y);
}

COLORREF GetPixel(HDC handle, int x, int y) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  POINT p;
  if (!DrawablePoint(t, x, y, p)) return CLR_INVALID;
  std::uint32_t rgb;
  ReadRow(t.bitmap->image, p.Y, p.X, 1, &rgb);
  return RgbToColor(rgb);
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color) {
  auto lock = LockTable();
  Target t = FindTarget(handle);
  POINT p;
  if (!DrawablePoint(t, x, y, p)) return CLR_INVALID;
  const std::uint32_t rgb = PixelForColor(*t.bitmap, color);
  WriteRow(t.bitmap->image, p.Y, p.X, 1, &rgb);
  return RgbToColor(rgb);
}

}  // namespace gdi
