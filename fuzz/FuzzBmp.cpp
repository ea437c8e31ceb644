// Feeds arbitrary bytes to the BMP reader. Whatever it accepts must write
// back out and read again to the same image, and that second file must be a
// fixed point of read-then-write.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/ByteOrder.h"
#include "gdi/BmpFile.h"

namespace {

bool SameImage(const gdi::DibImage& a, const gdi::DibImage& b) {
  return a.width == b.width && a.height == b.height && a.bitCount == b.bitCount && a.redMask == b.redMask &&
         a.greenMask == b.greenMask && a.blueMask == b.blueMask && a.palette == b.palette &&
         a.bits == b.bits && a.bottomUp == b.bottomUp && a.bitfields == b.bitfields &&
         a.xPelsPerMeter == b.xPelsPerMeter && a.yPelsPerMeter == b.yPelsPerMeter &&
         a.clrImportant == b.clrImportant;
}

// A few RLE bytes may stand for a blank image of up to kMaxBmpPixelBytes.
// Decoding such claims is correct (the unit tests cover the limit) but slow
// enough to starve the search, so the harness passes over large ones.
bool IsLargeRleClaim(const std::uint8_t* data, std::size_t size) {
  constexpr std::int64_t kMaxRlePixels = std::int64_t{1} << 20;
  if (size < 34) return false;
  const std::uint32_t compression = base::LoadLe32(data + 30);
  const bool rle = compression == gdi::BI_RLE8 || compression == gdi::BI_RLE4;
  if (base::LoadLe32(data + 14) < 40 || !rle) return false;
  const std::int64_t width = base::LoadLeInt32(data + 18);
  const std::int64_t height = base::LoadLeInt32(data + 22);
  return std::abs(width) * std::abs(height) > kMaxRlePixels;
}

[[noreturn]] void Crash(const char* what) {
  std::fprintf(stderr, "FuzzBmp: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (IsLargeRleClaim(data, size)) return 0;
  gdi::DibImage image;
  std::size_t consumed = 0;
  try {
    image = gdi::ReadBmp({data, size}, &consumed);
  } catch (const gdi::BitmapError&) {
    return 0;
  }
  if (consumed == 0 || consumed > size) Crash("consumed outside the input");
  if (image.bits.size() != image.Stride() * static_cast<std::size_t>(image.height)) {
    Crash("pixel buffer does not match the image size");
  }

  // Anything else thrown from here on escapes and is reported as a crash.
  const std::vector<std::uint8_t> file = gdi::WriteBmp(image);
  std::size_t fileConsumed = 0;
  const gdi::DibImage again = gdi::ReadBmp(file, &fileConsumed);
  if (fileConsumed != file.size()) Crash("re-read did not consume the written file");
  if (!SameImage(image, again)) Crash("re-read image differs");
  if (gdi::WriteBmp(again) != file) Crash("second write differs");
  return 0;
}
