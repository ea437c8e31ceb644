// Transparent drawing of an 87 × 65 button face onto a 300 × 300 surface,
// against a plain copy of the same size.
#include <cstdint>
#include <cstdio>
#include <random>

#include "bench/Measure.h"
#include "controls/Mmutils.h"
#include "gdi/Gdi.h"

using namespace gdi;

namespace {

constexpr int kFaceWidth = 87, kFaceHeight = 65, kSurface = 300;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// Random colours, about a third of them the transparent one, as a glyph on
// its face has.
void FillFace(HBITMAP bitmap, std::mt19937& rng) {
  for (int y = 0; y < kFaceHeight; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(GetBitmapRow(bitmap, y));
    for (int x = 0; x < kFaceWidth; ++x) row[x] = rng() % 3 == 0 ? 0xFF00FF : rng() & 0xFFFFFF;
  }
}

struct Context {
  HDC dc = CreateCompatibleDC(0);
  HBITMAP bitmap;
  HGDIOBJ old;
  Context(int width, int height) : bitmap(CreateBitmap(width, height, 1, 32, nullptr)) {
    old = SelectObject(dc, bitmap);
  }
  ~Context() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

}  // namespace

int main() {
  controls::MmutilsStartup();
  std::mt19937 rng(9);
  Context surface(kSurface, kSurface);
  for (int y = 0; y < kSurface; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(GetBitmapRow(surface.bitmap, y));
    for (int x = 0; x < kSurface; ++x) row[x] = rng() & 0xFFFFFF;
  }
  // The drawing call wants its bitmap free; the copy's face sits in a context.
  const HBITMAP face = CreateBitmap(kFaceWidth, kFaceHeight, 1, 32, nullptr);
  FillFace(face, rng);
  Context copyFace(kFaceWidth, kFaceHeight);
  FillFace(copyFace.bitmap, rng);

  const TRect whole{0, 0, kFaceWidth, kFaceHeight};
  const double copy = bench::MedianSeconds(
      [&] { BitBlt(surface.dc, 100, 100, kFaceWidth, kFaceHeight, copyFace.dc, 0, 0, SRCCOPY); }, 101, 200);
  const double transparent = bench::MedianSeconds(
      [&] {
        controls::DrawTransparentBitmapEx(surface.dc, face, 100, 100, whole,
                                          static_cast<toolkit::TColor>(kTransparent));
      },
      101, 200);

  std::printf("Transparent blit of a %d x %d face onto a %d x %d surface, 32 bits per pixel\n", kFaceWidth,
              kFaceHeight, kSurface, kSurface);
  const bool met = bench::Report("DrawTransparentBitmapEx", transparent, "BitBlt", copy, 4.0);
  std::printf("%s\n", met ? "all targets met" : "some targets missed");
  DeleteObject(face);
  controls::MmutilsShutdown();
  return 0;
}
