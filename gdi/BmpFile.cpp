// Reading and writing Windows BMP file images.
//
// Reading accepts the 12-byte OS/2 core header and the 40, 52, 56, 108 and
// 124-byte info headers, uncompressed rows in either order, BI_BITFIELDS and
// the two RLE schemes (decoded here). Writing always produces the plain
// 40-byte form. Every size taken from the file is checked against the bytes
// actually present before anything is allocated from it.
#include "gdi/BmpFile.h"

#include <bit>
#include <cstring>

#include "base/ByteOrder.h"

namespace gdi {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kFileHeaderSize = 14;
constexpr DWORD kCoreHeaderSize = 12;
constexpr DWORD kInfoHeaderSize = 40;
// Headers from 52 bytes on carry the three colour masks at offset 40.
constexpr DWORD kMasksInHeaderSize = 52;
constexpr std::size_t kMaskBytes = 12;
// On deeper images the colour table only guides palette devices, which hold
// 256 colours at most; the cap keeps every accepted file writable again.
constexpr std::size_t kMaxHintPaletteEntries = 256;

[[noreturn]] void Fail(const std::string& problem) {
  throw BitmapError("Bitmap image is not valid: " + problem);
}

// Compared in 64 bits: offsets and counts straight from the file may be huge.
void Require(Bytes bytes, std::uint64_t at, std::uint64_t count, const char* what) {
  if (at > bytes.size() || count > bytes.size() - at) Fail(std::string(what) + " truncated");
}

// ---- Rules shared by the reader and the writer, so that whatever one
// accepts the other does too.

void CheckBitCount(WORD bitCount) {
  switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: return;
    default: Fail("unsupported bit count " + std::to_string(bitCount));
  }
}

void CheckBitfieldsDepth(WORD bitCount) {
  if (bitCount != 16 && bitCount != 32) {
    Fail("bit fields need 16 or 32 bits per pixel, not " + std::to_string(bitCount));
  }
}

// Each mask one run of bits inside the pixel, no two sharing a bit.
void CheckMasks(DWORD red, DWORD green, DWORD blue, WORD bitCount) {
  DWORD seen = 0;
  for (const DWORD mask : {red, green, blue}) {
    if (bitCount == 16 && mask > 0xFFFFu) Fail("colour mask wider than 16 bits per pixel");
    const DWORD run = mask == 0 ? 0 : mask >> std::countr_zero(mask);
    if ((run & (run + 1)) != 0) Fail("colour mask bits not contiguous");
    if ((mask & seen) != 0) Fail("colour masks overlap");
    seen |= mask;
  }
}

void CheckPaletteSize(std::uint64_t entries, WORD bitCount) {
  const std::size_t limit = bitCount <= 8 ? std::size_t{1} << bitCount : kMaxHintPaletteEntries;
  if (entries > limit) {
    Fail("colour table too big (" + std::to_string(entries) + " entries for " + std::to_string(bitCount) +
         " bits per pixel)");
  }
}

// Bytes of `height` padded rows, refused past kMaxBmpPixelBytes before anyone
// allocates them. `width` and `height` are positive and below 2^32.
std::size_t PixelBytes(std::uint64_t width, std::uint64_t height, WORD bitCount) {
  const std::uint64_t stride = (width * bitCount + 31) / 32 * 4;
  if (stride > kMaxBmpPixelBytes / height) {
    Fail("image too large (" + std::to_string(width) + " x " + std::to_string(height) + " at " +
         std::to_string(bitCount) + " bits per pixel)");
  }
  return static_cast<std::size_t>(stride * height);
}

// The image holds rows top-down; a file holds them bottom-up unless its
// height is negative.
std::size_t ImageRowOf(std::size_t fileRow, const DibImage& image) {
  return image.bottomUp ? static_cast<std::size_t>(image.height) - 1 - fileRow : fileRow;
}

// ---- Reading

struct BmpHeader {
  DWORD fileSize = 0;
  DWORD bitsOffset = 0;
  DWORD infoSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows top-down
  WORD planes = 0;
  WORD bitCount = 0;
  DWORD compression = BI_RGB;
  LONG xPelsPerMeter = 0;
  LONG yPelsPerMeter = 0;
  DWORD clrUsed = 0;
  DWORD clrImportant = 0;
  DWORD masks[3] = {0, 0, 0};
  bool core = false;  // OS/2 layout: 16-bit sizes, 3-byte colour entries
};

bool IsKnownInfoSize(DWORD size) {
  switch (size) {
    case kCoreHeaderSize:
    case kInfoHeaderSize:
    case 52:
    case 56:
    case 108:
    case 124: return true;
    default: return false;
  }
}

void ParseCoreHeader(Bytes info, BmpHeader& h) {
  h.core = true;
  h.width = base::LoadLe16(info, 4);
  h.height = base::LoadLe16(info, 6);
  h.planes = base::LoadLe16(info, 8);
  h.bitCount = base::LoadLe16(info, 10);
}

void ParseInfoHeader(Bytes info, BmpHeader& h) {
  h.width = static_cast<LONG>(base::LoadLe32(info, 4));
  h.height = static_cast<LONG>(base::LoadLe32(info, 8));
  h.planes = base::LoadLe16(info, 12);
  h.bitCount = base::LoadLe16(info, 14);
  h.compression = base::LoadLe32(info, 16);
  h.xPelsPerMeter = static_cast<LONG>(base::LoadLe32(info, 24));
  h.yPelsPerMeter = static_cast<LONG>(base::LoadLe32(info, 28));
  h.clrUsed = base::LoadLe32(info, 32);
  h.clrImportant = base::LoadLe32(info, 36);
  if (h.infoSize >= kMasksInHeaderSize && h.compression == BI_BITFIELDS) {
    for (std::size_t i = 0; i < 3; ++i) h.masks[i] = base::LoadLe32(info, 40 + 4 * i);
  }
}

BmpHeader ParseHeaders(Bytes bytes) {
  Require(bytes, 0, kFileHeaderSize, "file header");
  if (bytes[0] != 'B' || bytes[1] != 'M') Fail("no \"BM\" signature");
  BmpHeader h;
  h.fileSize = base::LoadLe32(bytes, 2);
  h.bitsOffset = base::LoadLe32(bytes, 10);
  Require(bytes, kFileHeaderSize, 4, "info header");
  h.infoSize = base::LoadLe32(bytes, kFileHeaderSize);
  if (!IsKnownInfoSize(h.infoSize)) {
    Fail("unknown info header size (" + std::to_string(h.infoSize) + " bytes)");
  }
  Require(bytes, kFileHeaderSize, h.infoSize, "info header");
  const Bytes info = bytes.subspan(kFileHeaderSize, h.infoSize);
  if (h.infoSize == kCoreHeaderSize) {
    ParseCoreHeader(info, h);
  } else {
    ParseInfoHeader(info, h);
  }
  return h;
}

void CheckFormat(const BmpHeader& h) {
  if (h.width <= 0) Fail("width is not positive (" + std::to_string(h.width) + ")");
  if (h.height == 0) Fail("height is zero");
  if (h.planes != 1) Fail("plane count is " + std::to_string(h.planes) + ", not 1");
  CheckBitCount(h.bitCount);
  switch (h.compression) {
    case BI_RGB: break;
    case BI_RLE8:
    case BI_RLE4: {
      const WORD needed = h.compression == BI_RLE8 ? 8 : 4;
      if (h.bitCount != needed) {
        Fail("RLE" + std::to_string(needed) + " compression needs " + std::to_string(needed) +
             " bits per pixel, not " + std::to_string(h.bitCount));
      }
      if (h.height < 0) Fail("RLE compressed rows must be bottom-up");
      break;
    }
    case BI_BITFIELDS: CheckBitfieldsDepth(h.bitCount); break;
    default: Fail("unsupported compression " + std::to_string(h.compression));
  }
}

// A 40-byte header keeps its masks right after itself; larger ones hold them.
void ReadTrailingMasks(Bytes bytes, BmpHeader& h, std::size_t& at) {
  if (h.compression != BI_BITFIELDS || h.infoSize != kInfoHeaderSize) return;
  Require(bytes, at, kMaskBytes, "colour masks");
  for (std::size_t i = 0; i < 3; ++i) h.masks[i] = base::LoadLe32(bytes, at + 4 * i);
  at += kMaskBytes;
}

std::vector<RGBQUAD> ReadPalette(Bytes bytes, const BmpHeader& h, std::size_t& at) {
  const std::uint64_t fullTable = h.bitCount <= 8 ? std::uint64_t{1} << h.bitCount : 0;
  const std::uint64_t entries = h.core || h.clrUsed == 0 ? fullTable : h.clrUsed;
  CheckPaletteSize(entries, h.bitCount);
  const std::size_t entrySize = h.core ? 3 : 4;
  Require(bytes, at, entries * entrySize, "colour table");
  std::vector<RGBQUAD> palette(static_cast<std::size_t>(entries));
  for (RGBQUAD& entry : palette) {
    entry.rgbBlue = bytes[at];
    entry.rgbGreen = bytes[at + 1];
    entry.rgbRed = bytes[at + 2];
    entry.rgbReserved = h.core ? 0 : bytes[at + 3];
    at += entrySize;
  }
  return palette;
}

void CopyRows(Bytes pixels, DibImage& image) {
  const std::size_t stride = image.Stride();
  for (std::size_t row = 0; row < static_cast<std::size_t>(image.height); ++row) {
    std::memcpy(image.Row(static_cast<LONG>(ImageRowOf(row, image))), pixels.data() + row * stride, stride);
  }
}

// Stores one decoded index. Runs may overshoot a row and deltas may leave the
// image; what falls outside is dropped.
void PutIndex(DibImage& image, std::uint64_t x, std::uint64_t rowFromBottom, std::uint8_t index) {
  if (x >= static_cast<std::uint64_t>(image.width) ||
      rowFromBottom >= static_cast<std::uint64_t>(image.height)) {
    return;
  }
  std::uint8_t* row = image.Row(static_cast<LONG>(image.height - 1 - rowFromBottom));
  if (image.bitCount == 8) {
    row[x] = index;
    return;
  }
  std::uint8_t& pair = row[x / 2];
  pair = x % 2 == 0 ? static_cast<std::uint8_t>((pair & 0x0F) | (index << 4))
                    : static_cast<std::uint8_t>((pair & 0xF0) | index);
}

// RLE4 packs two indices per byte, high nibble first.
std::uint8_t IndexInByte(std::uint8_t value, std::size_t i, bool fourBit) {
  if (!fourBit) return value;
  return i % 2 == 0 ? static_cast<std::uint8_t>(value >> 4) : static_cast<std::uint8_t>(value & 0x0F);
}

// Decodes BI_RLE8 / BI_RLE4 into the zeroed rows of `image`; returns the
// number of stream bytes used. The stream's own end marker bounds it, not
// biSizeImage, which encoders often get wrong.
std::size_t DecodeRle(Bytes stream, DibImage& image) {
  const bool fourBit = image.bitCount == 4;
  const auto height = static_cast<std::uint64_t>(image.height);
  std::uint64_t x = 0;
  std::uint64_t y = 0;  // counted from the bottom row, as the stream runs
  std::size_t at = 0;
  for (;;) {
    if (stream.size() - at < 2) {
      // Some encoders stop after the last row's end-of-line.
      if (y >= height) return at;
      Fail("RLE data truncated");
    }
    const std::uint8_t count = stream[at];
    const std::uint8_t code = stream[at + 1];
    at += 2;
    if (count != 0) {
      for (std::size_t i = 0; i < count; ++i) PutIndex(image, x++, y, IndexInByte(code, i, fourBit));
      continue;
    }
    if (code == 0) {  // end of line
      x = 0;
      ++y;
    } else if (code == 1) {  // end of bitmap
      return at;
    } else if (code == 2) {  // delta
      if (stream.size() - at < 2) Fail("RLE data truncated");
      x += stream[at];
      y += stream[at + 1];
      at += 2;
    } else {  // absolute run of `code` indices, padded to a 16-bit boundary
      const std::size_t dataBytes = fourBit ? (code + 1u) / 2 : code;
      if (stream.size() - at < dataBytes + dataBytes % 2) Fail("RLE data truncated");
      for (std::size_t i = 0; i < code; ++i) {
        PutIndex(image, x++, y, IndexInByte(stream[at + (fourBit ? i / 2 : i)], i, fourBit));
      }
      at += dataBytes + dataBytes % 2;
    }
  }
}

// ---- Writing

void CheckImage(const DibImage& image) {
  CheckBitCount(image.bitCount);
  if (image.Empty()) Fail("image is empty");
  const std::size_t pixelBytes = PixelBytes(static_cast<std::uint64_t>(image.width),
                                            static_cast<std::uint64_t>(image.height), image.bitCount);
  if (image.bits.size() != pixelBytes) {
    Fail("pixel buffer holds " + std::to_string(image.bits.size()) + " bytes, not " +
         std::to_string(pixelBytes));
  }
  CheckPaletteSize(image.palette.size(), image.bitCount);
  if (image.bitCount <= 8 && image.palette.empty()) Fail("colour table missing");
  if (image.bitfields) {
    CheckBitfieldsDepth(image.bitCount);
  } else if (image.redMask != 0 || image.greenMask != 0 || image.blueMask != 0) {
    Fail("colour masks given without bit fields");
  }
  CheckMasks(image.redMask, image.greenMask, image.blueMask, image.bitCount);
}

// A full table on 1, 4 and 8 bits per pixel is written as 0, the form most
// writers use; any other table size is stated.
DWORD ClrUsedFor(const DibImage& image) {
  const std::size_t entries = image.palette.size();
  const bool full = image.bitCount <= 8 && entries == (std::size_t{1} << image.bitCount);
  return full ? 0 : static_cast<DWORD>(entries);
}

class ByteWriter {
 public:
  explicit ByteWriter(std::size_t size) { out_.reserve(size); }
  void U8(std::uint8_t v) { out_.push_back(v); }
  void U16(WORD v) { base::AppendLe16(out_, v); }
  void U32(DWORD v) { base::AppendLe32(out_, v); }
  void Append(const std::uint8_t* data, std::size_t size) { out_.insert(out_.end(), data, data + size); }
  std::vector<std::uint8_t> Take() { return std::move(out_); }

 private:
  std::vector<std::uint8_t> out_;
};

}  // namespace

DibImage ReadBmp(std::span<const std::uint8_t> bytes, std::size_t* consumed) {
  BmpHeader h = ParseHeaders(bytes);
  CheckFormat(h);
  const std::uint64_t height = static_cast<std::uint64_t>(h.height < 0 ? -h.height : h.height);
  const std::size_t pixelBytes = PixelBytes(static_cast<std::uint64_t>(h.width), height, h.bitCount);

  std::size_t at = kFileHeaderSize + h.infoSize;
  ReadTrailingMasks(bytes, h, at);
  CheckMasks(h.masks[0], h.masks[1], h.masks[2], h.bitCount);

  DibImage image;
  image.palette = ReadPalette(bytes, h, at);
  if (h.bitsOffset < at) Fail("pixel data offset " + std::to_string(h.bitsOffset) + " overlaps the headers");
  if (h.bitsOffset > bytes.size()) Fail("pixel data offset beyond the end of the file");

  image.width = static_cast<LONG>(h.width);
  image.height = static_cast<LONG>(height);
  image.bitCount = h.bitCount;
  image.redMask = h.masks[0];
  image.greenMask = h.masks[1];
  image.blueMask = h.masks[2];
  image.bottomUp = h.height > 0;
  image.bitfields = h.compression == BI_BITFIELDS;
  image.xPelsPerMeter = h.xPelsPerMeter;
  image.yPelsPerMeter = h.yPelsPerMeter;
  image.clrImportant = h.clrImportant;

  const Bytes data = bytes.subspan(h.bitsOffset);
  std::size_t end = h.bitsOffset;
  if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
    image.bits.assign(pixelBytes, 0);
    end += DecodeRle(data, image);
  } else {
    Require(data, 0, pixelBytes, "pixel data");
    image.bits.resize(pixelBytes);
    CopyRows(data, image);
    end += pixelBytes;
  }
  if (consumed != nullptr) {
    // bfSize is often wrong in real files: trusted only when it is plausible.
    *consumed = h.fileSize >= end && h.fileSize <= bytes.size() ? h.fileSize : end;
  }
  return image;
}

std::vector<std::uint8_t> WriteBmp(const DibImage& image) {
  CheckImage(image);
  const std::size_t pixelBytes = image.bits.size();
  const std::size_t bitsOffset =
      kFileHeaderSize + kInfoHeaderSize + (image.bitfields ? kMaskBytes : 0) + image.palette.size() * 4;
  const std::size_t fileSize = bitsOffset + pixelBytes;

  ByteWriter w(fileSize);
  w.U8('B');
  w.U8('M');
  w.U32(static_cast<DWORD>(fileSize));
  w.U32(0);
  w.U32(static_cast<DWORD>(bitsOffset));

  w.U32(kInfoHeaderSize);
  w.U32(static_cast<DWORD>(image.width));
  w.U32(static_cast<DWORD>(image.bottomUp ? image.height : -image.height));
  w.U16(1);
  w.U16(image.bitCount);
  w.U32(image.bitfields ? BI_BITFIELDS : BI_RGB);
  w.U32(static_cast<DWORD>(pixelBytes));
  w.U32(static_cast<DWORD>(image.xPelsPerMeter));
  w.U32(static_cast<DWORD>(image.yPelsPerMeter));
  w.U32(ClrUsedFor(image));
  w.U32(image.clrImportant);

  if (image.bitfields) {
    w.U32(image.redMask);
    w.U32(image.greenMask);
    w.U32(image.blueMask);
  }
  for (const RGBQUAD& entry : image.palette) {
    w.U8(entry.rgbBlue);
    w.U8(entry.rgbGreen);
    w.U8(entry.rgbRed);
    w.U8(entry.rgbReserved);
  }
  const std::size_t stride = image.Stride();
  for (std::size_t row = 0; row < static_cast<std::size_t>(image.height); ++row) {
    w.Append(image.Row(static_cast<LONG>(ImageRowOf(row, image))), stride);
  }
  return w.Take();
}

}  // namespace gdi
