// BitBlt of a 300 × 300 colour surface against memcpy of the same bytes, and
// the monochrome blits of a transparent draw against a plain copy.
#include <cstring>
#include <random>
#include <vector>

#include "bench/Measure.h"
#include "gdi/Gdi.h"

using namespace gdi;

namespace {

struct Surface {
  HDC dc = CreateCompatibleDC(0);
  HBITMAP bitmap;
  HGDIOBJ old;
  explicit Surface(int side) : Surface(side, side, 32) {}
  Surface(int width, int height, UINT bitCount) : bitmap(CreateBitmap(width, height, 1, bitCount, nullptr)) {
    old = SelectObject(dc, bitmap);
    std::mt19937 rng(3);
    for (int y = 0; y < height; ++y) {
      auto* row = GetBitmapRow(bitmap, y);
      if (bitCount == 1) {
        for (int x = 0; x < (width + 7) / 8; ++x) row[x] = static_cast<unsigned char>(rng());
        continue;
      }
      // A third of the pixels in the colour a mask is made from.
      auto* pixels = reinterpret_cast<std::uint32_t*>(row);
      for (int x = 0; x < width; ++x) pixels[x] = rng() % 3 == 0 ? 0xFF00FF : rng() & 0xFFFFFF;
    }
  }
  ~Surface() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

}  // namespace

int main() {
  constexpr int kSide = 300;
  Surface src(kSide), dst(kSide);
  const std::size_t bytes = std::size_t{kSide} * kSide * 4;
  std::vector<unsigned char> a(bytes, 1), b(bytes, 2);
  const double copy = bench::MedianSeconds([&] {
    std::memcpy(b.data(), a.data(), bytes);
    bench::KeepAlive(b.data());
  });
  auto blit = [&](DWORD rop) {
    return bench::MedianSeconds([&] { BitBlt(dst.dc, 0, 0, kSide, kSide, src.dc, 0, 0, rop); });
  };
  std::printf("BitBlt of %d x %d, 32 bits per pixel (%zu bytes)\n", kSide, kSide, bytes);
  bool met = true;
  met &= bench::Report("BitBlt SRCCOPY", blit(SRCCOPY), "memcpy", copy, 1.5);
  met &= bench::Report("BitBlt SRCAND", blit(SRCAND), "memcpy", copy, 3.0);
  met &= bench::Report("BitBlt 0x00E20746 (generic)", blit(0x00E20746), "memcpy", copy, 10.0);
  met &= bench::Report("BitBlt 0x00B8074A (generic)", blit(0x00B8074A), "memcpy", copy, 10.0);

  // The blits a transparent draw makes with its masks, on a button face,
  // beside a plain copy of the face onto the large surface.
  constexpr int kFaceWidth = 87, kFaceHeight = 65;
  Surface face(kFaceWidth, kFaceHeight, 32), faceCopy(kFaceWidth, kFaceHeight, 32);
  Surface mask(kFaceWidth, kFaceHeight, 1), inverse(kFaceWidth, kFaceHeight, 1);
  SetBkColor(face.dc, RGB(255, 0, 255));
  auto faceBlit = [&](HDC to, HDC from, DWORD rop, int x = 0) {
    return bench::MedianSeconds([&] { BitBlt(to, x, 0, kFaceWidth - x, kFaceHeight, from, 0, 0, rop); }, 101,
                                200);
  };
  const double faceCopyTime = bench::MedianSeconds(
      [&] { BitBlt(dst.dc, 100, 100, kFaceWidth, kFaceHeight, face.dc, 0, 0, SRCCOPY); }, 101, 200);
  std::printf("Mask blits of %d x %d\n", kFaceWidth, kFaceHeight);
  met &= bench::Report("colour to mono SRCCOPY", faceBlit(mask.dc, face.dc, SRCCOPY), "BitBlt", faceCopyTime,
                       2.5);
  met &= bench::Report("mono to mono NOTSRCCOPY", faceBlit(inverse.dc, mask.dc, NOTSRCCOPY), "BitBlt",
                       faceCopyTime, 1.0);
  met &= bench::Report("mono to mono SRCAND at x 3", faceBlit(inverse.dc, mask.dc, SRCAND, 3), "BitBlt",
                       faceCopyTime, 2.0);
  met &= bench::Report("mono to colour SRCAND", faceBlit(faceCopy.dc, mask.dc, SRCAND), "BitBlt",
                       faceCopyTime, 2.5);
  std::printf("%s\n", met ? "all targets met" : "some targets missed");
  return 0;
}
