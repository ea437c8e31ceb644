// Complete Windows BMP file images: the 14-byte file header beginning "BM",
// the info header, the colour table where the format has one, the pixel rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gdi/DibImage.h"
#include "gdi/GdiError.h"

namespace gdi {

// A file image that is not a bitmap this layer can hold: the message says
// what is wrong with it.
class BitmapError : public GdiError {
 public:
  explicit BitmapError(const std::string& message) : GdiError(message) {}
};

// No image's pixel data may exceed this; larger claims are refused before
// anything is allocated.
constexpr std::size_t kMaxBmpPixelBytes = 256u * 1024u * 1024u;

// Reads one file image from the start of `bytes`. Sets `consumed` to the
// number of bytes the image occupies (the file header's size where it is
// sane, else the end of the pixel data). Throws BitmapError.
DibImage ReadBmp(std::span<const std::uint8_t> bytes, std::size_t* consumed = nullptr);

// Writes the image as a complete file image: uncompressed, rows in the order
// `image.bottomUp` asks for, BI_BITFIELDS when `image.bitfields` is set.
std::vector<std::uint8_t> WriteBmp(const DibImage& image);

}  // namespace gdi
