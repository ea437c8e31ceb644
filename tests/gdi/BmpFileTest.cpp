// The BMP file codec: round trips of every format it writes, files laid out
// by hand the way other writers lay them out (older and newer headers, RLE,
// top-down rows), and a corpus of broken files that must all be refused.
#include "gdi/BmpFile.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "tests/support/Expect.h"

// Largest single allocation made through operator new since the last reset:
// lets the limit tests see that a reader refused a huge claim instead of
// allocating for it first. This replaces the global operator new of the
// whole gdi_tests program; it only forwards to malloc.
namespace {
std::atomic<std::size_t> gLargestAllocation{0};
}  // namespace

void* operator new(std::size_t size) {
  std::size_t seen = gLargestAllocation.load(std::memory_order_relaxed);
  while (size > seen && !gLargestAllocation.compare_exchange_weak(seen, size)) {
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// Kept out of line so that the compiler does not pair an inlined free() with
// operator new and warn of a mismatch.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace gdi {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::Mentions;
using testsupport::ThrownMessage;

// ---- Building files field by field, independently of WriteBmp

struct BmpFields {
  std::array<char, 2> magic{'B', 'M'};
  std::optional<std::uint32_t> fileSize;    // default: the built size
  std::optional<std::uint32_t> bitsOffset;  // default: right after the gap
  std::uint32_t infoSize = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 8;
  std::uint32_t compression = BI_RGB;
  std::uint32_t sizeImage = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t clrImportant = 0;
  // Inside the header from 52 bytes on; after a 40-byte header with BI_BITFIELDS.
  std::array<std::uint32_t, 3> masks{0, 0, 0};
  Bytes table;   // colour table, raw
  Bytes gap;     // between the table and the pixels (a V5 profile, say)
  Bytes pixels;  // rows or RLE stream, raw
};

Bytes Build(const BmpFields& f) {
  Bytes info;
  if (f.infoSize == 12) {
    base::AppendLe32(info, 12);
    base::AppendLe16(info, static_cast<std::uint32_t>(f.width));
    base::AppendLe16(info, static_cast<std::uint32_t>(f.height));
    base::AppendLe16(info, f.planes);
    base::AppendLe16(info, f.bitCount);
  } else {
    base::AppendLe32(info, f.infoSize);
    base::AppendLe32(info, static_cast<std::uint32_t>(f.width));
    base::AppendLe32(info, static_cast<std::uint32_t>(f.height));
    base::AppendLe16(info, f.planes);
    base::AppendLe16(info, f.bitCount);
    base::AppendLe32(info, f.compression);
    base::AppendLe32(info, f.sizeImage);
    base::AppendLe32(info, static_cast<std::uint32_t>(f.xPelsPerMeter));
    base::AppendLe32(info, static_cast<std::uint32_t>(f.yPelsPerMeter));
    base::AppendLe32(info, f.clrUsed);
    base::AppendLe32(info, f.clrImportant);
    for (std::uint32_t m : f.masks) base::AppendLe32(info, m);
    info.resize(f.infoSize < 16 ? 16 : f.infoSize, 0);
  }
  if (f.infoSize == 40 && f.compression == BI_BITFIELDS) {
    for (std::uint32_t m : f.masks) base::AppendLe32(info, m);
  }
  const std::size_t headers = 14 + info.size() + f.table.size() + f.gap.size();
  const std::size_t total = headers + f.pixels.size();

  Bytes out{static_cast<std::uint8_t>(f.magic[0]), static_cast<std::uint8_t>(f.magic[1])};
  base::AppendLe32(out, f.fileSize.value_or(static_cast<std::uint32_t>(total)));
  base::AppendLe32(out, 0);
  base::AppendLe32(out, f.bitsOffset.value_or(static_cast<std::uint32_t>(headers)));
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), f.table.begin(), f.table.end());
  out.insert(out.end(), f.gap.begin(), f.gap.end());
  out.insert(out.end(), f.pixels.begin(), f.pixels.end());
  return out;
}

// `entries` distinct colours, 4 bytes each (3 for the OS/2 layout).
Bytes ColourTable(std::size_t entries, std::size_t entrySize = 4) {
  Bytes out;
  for (std::size_t i = 0; i < entries; ++i) {
    out.push_back(static_cast<std::uint8_t>(i * 3));
    out.push_back(static_cast<std::uint8_t>(255 - i));
    out.push_back(static_cast<std::uint8_t>(i * 7 + 1));
    if (entrySize == 4) out.push_back(static_cast<std::uint8_t>(i & 1));
  }
  return out;
}

RGBQUAD EntryOf(std::size_t i, bool core = false) {
  return RGBQUAD{static_cast<BYTE>(i * 3), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7 + 1),
                 static_cast<BYTE>(core ? 0 : i & 1)};
}

// ---- Images and their comparison

DibImage MakeImage(LONG width, LONG height, WORD bitCount, std::size_t paletteSize, std::uint32_t seed) {
  std::mt19937 random(seed);
  DibImage image;
  image.width = width;
  image.height = height;
  image.bitCount = bitCount;
  image.bits.resize(image.Stride() * static_cast<std::size_t>(height));
  for (std::uint8_t& b : image.bits) b = static_cast<std::uint8_t>(random());
  for (std::size_t i = 0; i < paletteSize; ++i) {
    image.palette.push_back(RGBQUAD{static_cast<BYTE>(random()), static_cast<BYTE>(random()),
                                    static_cast<BYTE>(random()), static_cast<BYTE>(random() & 1)});
  }
  return image;
}

void ExpectSameImage(const DibImage& want, const DibImage& got) {
  EXPECT_EQ(want.width, got.width);
  EXPECT_EQ(want.height, got.height);
  EXPECT_EQ(want.bitCount, got.bitCount);
  EXPECT_EQ(want.redMask, got.redMask);
  EXPECT_EQ(want.greenMask, got.greenMask);
  EXPECT_EQ(want.blueMask, got.blueMask);
  EXPECT_TRUE(want.palette == got.palette) << "palettes differ";
  EXPECT_TRUE(want.bits == got.bits) << "pixels differ";
  EXPECT_EQ(want.bottomUp, got.bottomUp);
  EXPECT_EQ(want.bitfields, got.bitfields);
  EXPECT_EQ(want.xPelsPerMeter, got.xPelsPerMeter);
  EXPECT_EQ(want.yPelsPerMeter, got.yPelsPerMeter);
  EXPECT_EQ(want.clrImportant, got.clrImportant);
}

// Colour index of pixel (x, y), y counted from the top, on 4 or 8 bits per pixel.
unsigned IndexAt(const DibImage& image, int x, int y) {
  const std::uint8_t* row = image.Row(y);
  if (image.bitCount == 8) return row[x];
  return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
}

void ExpectIndices(const DibImage& image, const std::vector<std::vector<unsigned>>& topDown) {
  ASSERT_EQ(static_cast<std::size_t>(image.height), topDown.size());
  for (int y = 0; y < image.height; ++y) {
    ASSERT_EQ(static_cast<std::size_t>(image.width), topDown[y].size());
    for (int x = 0; x < image.width; ++x) {
      EXPECT_EQ(topDown[y][x], IndexAt(image, x, y)) << "at x=" << x << " y=" << y;
    }
  }
}

std::string ReadError(const Bytes& file) {
  return ThrownMessage<BitmapError>([&] { ReadBmp(file); });
}

std::string WriteError(const DibImage& image) {
  return ThrownMessage<BitmapError>([&] { WriteBmp(image); });
}

// ---- Round trips of every format WriteBmp produces

struct Format {
  const char* name;
  WORD bitCount;
  std::size_t paletteSize;
  bool bitfields;
  std::array<DWORD, 3> masks;
  LONG width;
  LONG height;
};

const Format kFormats[] = {
    {"Mono", 1, 2, false, {}, 13, 5},
    {"MonoOneEntry", 1, 1, false, {}, 33, 3},
    {"Nibble", 4, 16, false, {}, 7, 4},
    {"NibbleShortTable", 4, 5, false, {}, 9, 3},
    {"Byte", 8, 256, false, {}, 3, 6},
    {"ByteShortTable", 8, 20, false, {}, 5, 2},
    {"Rgb555", 16, 0, false, {}, 3, 4},
    {"Rgb565", 16, 0, true, {0xF800, 0x07E0, 0x001F}, 5, 3},
    {"Rgb24", 24, 0, false, {}, 5, 4},
    {"Rgb24WithHintTable", 24, 12, false, {}, 2, 2},
    {"Rgb32", 32, 0, false, {}, 4, 3},
    {"Rgb32TenBitFields", 32, 0, true, {0x3FF00000, 0x000FFC00, 0x000003FF}, 3, 5},
};

class BmpRoundTrip : public testing::TestWithParam<std::tuple<Format, bool>> {};

TEST_P(BmpRoundTrip, ReadsBackTheSameImageAndBytes) {
  const auto& [format, bottomUp] = GetParam();
  DibImage image = MakeImage(format.width, format.height, format.bitCount, format.paletteSize,
                             format.bitCount * 31u + format.width);
  image.bitfields = format.bitfields;
  image.redMask = format.masks[0];
  image.greenMask = format.masks[1];
  image.blueMask = format.masks[2];
  image.bottomUp = bottomUp;
  image.xPelsPerMeter = 2835;
  image.yPelsPerMeter = 3780;
  image.clrImportant = static_cast<DWORD>(format.paletteSize / 2);

  const Bytes file = WriteBmp(image);

  // The file itself, as any reader would see it.
  ASSERT_GE(file.size(), 54u);
  EXPECT_EQ('B', file[0]);
  EXPECT_EQ('M', file[1]);
  EXPECT_EQ(file.size(), base::LoadLe32(file, 2));
  EXPECT_EQ(40u, base::LoadLe32(file, 14));
  const auto fileHeight = static_cast<std::int32_t>(base::LoadLe32(file, 22));
  EXPECT_EQ(bottomUp ? image.height : -image.height, fileHeight);
  EXPECT_EQ(format.bitfields ? BI_BITFIELDS : BI_RGB, base::LoadLe32(file, 30));
  const std::size_t bitsOffset = base::LoadLe32(file, 10);
  const std::size_t stride = image.Stride();
  ASSERT_EQ(file.size(), bitsOffset + stride * image.height);
  const std::size_t tableOffset = 54 + (format.bitfields ? 12 : 0);
  for (std::size_t i = 0; i < image.palette.size(); ++i) {
    const RGBQUAD& e = image.palette[i];
    EXPECT_EQ(e.rgbBlue, file[tableOffset + 4 * i]);
    EXPECT_EQ(e.rgbRed, file[tableOffset + 4 * i + 2]);
  }
  const auto firstFileRow = file.begin() + static_cast<std::ptrdiff_t>(bitsOffset);
  const std::uint8_t* expectedFirst = image.Row(bottomUp ? image.height - 1 : 0);
  EXPECT_TRUE(std::equal(expectedFirst, expectedFirst + stride, firstFileRow))
      << "first row in the file is not the " << (bottomUp ? "bottom" : "top") << " row";

  std::size_t consumed = 0;
  const DibImage read = ReadBmp(file, &consumed);
  EXPECT_EQ(file.size(), consumed);
  ExpectSameImage(image, read);
  EXPECT_TRUE(WriteBmp(read) == file) << "re-written file differs";
}

INSTANTIATE_TEST_SUITE_P(AllFormats, BmpRoundTrip,
                         testing::Combine(testing::ValuesIn(kFormats), testing::Bool()),
                         [](const testing::TestParamInfo<BmpRoundTrip::ParamType>& param) {
                           return std::string(std::get<0>(param.param).name) +
                                  (std::get<1>(param.param) ? "BottomUp" : "TopDown");
                         });

// ---- The 32-bit case that must come out exactly

TEST(BmpCanonical, ThirtyTwoBit87x65IsByteExact) {
  DibImage image;
  image.width = 87;
  image.height = 65;
  image.bitCount = 32;
  image.bits.resize(image.Stride() * 65);
  for (int y = 0; y < 65; ++y) {
    for (int x = 0; x < 87; ++x) {
      std::uint8_t* p = image.Row(y) + 4 * x;
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = static_cast<std::uint8_t>(x * y);
      p[3] = 0;
    }
  }

  BmpFields expected;
  expected.width = 87;
  expected.height = 65;
  expected.bitCount = 32;
  expected.sizeImage = 87 * 4 * 65;
  for (int y = 64; y >= 0; --y) {
    expected.pixels.insert(expected.pixels.end(), image.Row(y), image.Row(y) + 87 * 4);
  }

  const Bytes file = WriteBmp(image);
  ASSERT_EQ(22674u, file.size());
  EXPECT_EQ(22674u, base::LoadLe32(file, 2));
  EXPECT_EQ(54u, base::LoadLe32(file, 10));
  EXPECT_EQ(0u, base::LoadLe32(file, 30));  // BI_RGB
  EXPECT_EQ(22620u, base::LoadLe32(file, 34));
  EXPECT_EQ(0u, base::LoadLe32(file, 46));  // biClrUsed
  EXPECT_TRUE(file == Build(expected)) << "bytes differ from the hand-built file";

  std::size_t consumed = 0;
  const DibImage read = ReadBmp(file, &consumed);
  EXPECT_EQ(22674u, consumed);
  ExpectSameImage(image, read);
  EXPECT_TRUE(WriteBmp(read) == file);
}

// ---- Layouts other writers produce

TEST(BmpForeignLayouts, V5HeaderWithBitfieldsInsideIt) {
  BmpFields f;
  f.infoSize = 124;
  f.width = 2;
  f.height = 2;
  f.bitCount = 16;
  f.compression = BI_BITFIELDS;
  f.masks = {0xF800, 0x07E0, 0x001F};
  f.gap = Bytes(16, 0xEE);              // profile data before the pixels
  f.pixels = {0x00, 0xF8, 0x1F, 0x00,   // bottom: red, blue
              0xE0, 0x07, 0xFF, 0xFF};  // top: green, white
  const Bytes file = Build(f);

  const DibImage image = ReadBmp(file);
  EXPECT_TRUE(image.bitfields);
  EXPECT_EQ(0xF800u, image.redMask);
  EXPECT_EQ(0x07E0u, image.greenMask);
  EXPECT_EQ(0x001Fu, image.blueMask);
  EXPECT_TRUE(image.bottomUp);
  EXPECT_EQ((Bytes{0xE0, 0x07, 0xFF, 0xFF, 0x00, 0xF8, 0x1F, 0x00}), image.bits);

  // Written back in the plain form: 40-byte header, masks after it.
  const Bytes plain = WriteBmp(image);
  EXPECT_EQ(40u, base::LoadLe32(plain, 14));
  EXPECT_EQ(0xF800u, base::LoadLe32(plain, 54));
  ExpectSameImage(image, ReadBmp(plain));
}

TEST(BmpForeignLayouts, V2ToV4HeadersTakeMasksOnlyWithBitfields) {
  for (const std::uint32_t infoSize : {52u, 56u, 108u}) {
    SCOPED_TRACE(infoSize);
    BmpFields f;
    f.infoSize = infoSize;
    f.width = 1;
    f.height = 1;
    f.bitCount = 32;
    f.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    f.pixels = {1, 2, 3, 4};

    f.compression = BI_BITFIELDS;
    const DibImage withFields = ReadBmp(Build(f));
    EXPECT_TRUE(withFields.bitfields);
    EXPECT_EQ(0x00FF0000u, withFields.redMask);
    EXPECT_EQ(0x000000FFu, withFields.blueMask);

    // The mask fields exist in the header but mean nothing without BI_BITFIELDS.
    f.compression = BI_RGB;
    const DibImage plain = ReadBmp(Build(f));
    EXPECT_FALSE(plain.bitfields);
    EXPECT_EQ(0u, plain.redMask | plain.greenMask | plain.blueMask);
    EXPECT_EQ((Bytes{1, 2, 3, 4}), plain.bits);
  }
}

TEST(BmpForeignLayouts, BitfieldsAfterInfoHeaderThenHintTable) {
  BmpFields f;
  f.width = 1;
  f.height = 1;
  f.bitCount = 32;
  f.compression = BI_BITFIELDS;
  f.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  f.clrUsed = 2;
  f.table = ColourTable(2);
  f.pixels = {9, 8, 7, 0};
  const DibImage image = ReadBmp(Build(f));
  EXPECT_EQ(0x000000FFu, image.redMask);
  EXPECT_EQ(0x00FF0000u, image.blueMask);
  ASSERT_EQ(2u, image.palette.size());
  EXPECT_EQ(EntryOf(1), image.palette[1]);
  EXPECT_EQ((Bytes{9, 8, 7, 0}), image.bits);
}

TEST(BmpForeignLayouts, Os2CoreHeaderWithThreeByteEntries) {
  BmpFields f;
  f.infoSize = 12;
  f.width = 3;
  f.height = 2;
  f.bitCount = 4;
  f.table = ColourTable(16, 3);
  f.pixels = {0x12, 0x30, 0, 0,   // bottom
              0xAB, 0xC0, 0, 0};  // top
  DibImage image = ReadBmp(Build(f));
  ASSERT_EQ(16u, image.palette.size());
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(EntryOf(i, true), image.palette[i]) << i;
  ExpectIndices(image, {{0xA, 0xB, 0xC}, {1, 2, 3}});
  ExpectSameImage(image, ReadBmp(WriteBmp(image)));

  f.bitCount = 24;
  f.table.clear();
  f.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0,  // bottom
              9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0};
  image = ReadBmp(Build(f));
  EXPECT_TRUE(image.palette.empty());
  EXPECT_EQ(9, image.Row(0)[0]);
  EXPECT_EQ(1, image.Row(1)[0]);
}

TEST(BmpForeignLayouts, TopDownRowsAndStatedTableSizes) {
  BmpFields f;
  f.width = 2;
  f.height = -3;
  f.bitCount = 8;
  f.clrUsed = 256;  // a full table, stated rather than implied
  f.table = ColourTable(256);
  f.pixels = {1, 2, 0, 0, 3, 4, 0, 0, 5, 6, 0, 0};
  DibImage image = ReadBmp(Build(f));
  EXPECT_FALSE(image.bottomUp);
  EXPECT_EQ(256u, image.palette.size());
  ExpectIndices(image, {{1, 2}, {3, 4}, {5, 6}});

  f.clrUsed = 3;
  f.table = ColourTable(3);
  image = ReadBmp(Build(f));
  ASSERT_EQ(3u, image.palette.size());
  EXPECT_EQ(EntryOf(2), image.palette[2]);
  ExpectIndices(image, {{1, 2}, {3, 4}, {5, 6}});
}

// Files in the form most writers use (40-byte header, full colour tables
// implied by biClrUsed 0, biSizeImage filled in) come back byte for byte.
TEST(BmpForeignLayouts, CommonFormsRewriteByteForByte) {
  struct Form {
    const char* name;
    std::uint16_t bitCount;
    std::int32_t width, height;
    std::size_t tableEntries;
    std::uint32_t clrUsed;
    std::uint32_t compression;
    std::array<std::uint32_t, 3> masks;
  };
  const Form forms[] = {
      {"1 bit", 1, 20, 3, 2, 0, BI_RGB, {}},
      {"4 bits", 4, 5, 4, 16, 0, BI_RGB, {}},
      {"8 bits", 8, 3, 2, 256, 0, BI_RGB, {}},
      {"8 bits, short table", 8, 3, 2, 10, 10, BI_RGB, {}},
      {"16 bits 5-6-5", 16, 3, 2, 0, 0, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}},
      {"24 bits top-down", 24, 3, -2, 0, 0, BI_RGB, {}},
      {"32 bits", 32, 2, 2, 0, 0, BI_RGB, {}},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.name);
    BmpFields f;
    f.width = form.width;
    f.height = form.height;
    f.bitCount = form.bitCount;
    f.compression = form.compression;
    f.masks = form.masks;
    f.clrUsed = form.clrUsed;
    f.table = ColourTable(form.tableEntries);
    f.xPelsPerMeter = 3779;
    f.yPelsPerMeter = 3779;
    const std::size_t rows = static_cast<std::size_t>(std::abs(form.height));
    f.sizeImage = static_cast<std::uint32_t>(DibImage::StrideFor(form.width, form.bitCount) * rows);
    for (std::size_t i = 0; i < f.sizeImage; ++i) f.pixels.push_back(static_cast<std::uint8_t>(i * 37));
    const Bytes file = Build(f);
    EXPECT_TRUE(WriteBmp(ReadBmp(file)) == file);
  }
}

TEST(BmpForeignLayouts, WrongFileSizeIsTolerated) {
  BmpFields f;
  f.width = 1;
  f.height = 1;
  f.bitCount = 24;
  f.pixels = {1, 2, 3, 0};
  for (const std::uint32_t fileSize : {0u, 10u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(fileSize);
    f.fileSize = fileSize;
    std::size_t consumed = 0;
    EXPECT_EQ((Bytes{1, 2, 3, 0}), ReadBmp(Build(f), &consumed).bits);
    EXPECT_EQ(58u, consumed);
  }
}

// ---- RLE

BmpFields RleFile(std::int32_t width, std::int32_t height, WORD bitCount, Bytes stream) {
  BmpFields f;
  f.width = width;
  f.height = height;
  f.bitCount = bitCount;
  f.compression = bitCount == 8 ? BI_RLE8 : BI_RLE4;
  f.clrUsed = 16;
  f.table = ColourTable(16);
  f.sizeImage = static_cast<std::uint32_t>(stream.size());
  f.pixels = std::move(stream);
  return f;
}

// Rows from the bottom: runs and an odd absolute run; a run and a delta up
// into the next row; end-of-line; a run ended by end-of-bitmap. The stream
// ends on end-of-bitmap with no end-of-line before it.
const Bytes kRle8Stream = {0x03, 0x05, 0x00, 0x03, 0x07, 0x08, 0x09, 0x00, 0x00, 0x00,  // bottom row
                           0x02, 0x01, 0x00, 0x02, 0x02, 0x01,                          // delta to (4, 2)
                           0x02, 0x0A, 0x00, 0x00,                                      // row 2, then EOL
                           0x04, 0x0B, 0x00, 0x01};                                     // top row, EOB

TEST(BmpRle, Rle8RunsAbsoluteDeltaAndEscapes) {
  const DibImage image = ReadBmp(Build(RleFile(6, 4, 8, kRle8Stream)));
  EXPECT_EQ(8, image.bitCount);
  EXPECT_FALSE(image.bitfields);
  EXPECT_TRUE(image.bottomUp);
  EXPECT_EQ(16u, image.palette.size());
  ExpectIndices(image,
                {{0xB, 0xB, 0xB, 0xB, 0, 0}, {0, 0, 0, 0, 0xA, 0xA}, {1, 1, 0, 0, 0, 0}, {5, 5, 5, 7, 8, 9}});
  // Decoded rows are ordinary 8-bit rows: written uncompressed, read back equal.
  const Bytes plain = WriteBmp(image);
  EXPECT_EQ(BI_RGB, base::LoadLe32(plain, 30));
  ExpectSameImage(image, ReadBmp(plain));
}

TEST(BmpRle, Rle4NibblePairsOddAbsoluteRunAndDelta) {
  const Bytes stream = {0x04, 0x12, 0x00, 0x03, 0x34, 0x50, 0x00, 0x00,  // 1 2 1 2, then 3 4 5
                        0x00, 0x02, 0x03, 0x00, 0x03, 0xAB, 0x00, 0x00,  // skip 3, then A B A
                        0x00, 0x05, 0xCD, 0xEF, 0x10, 0x00,              // 5 pixels, 3 bytes, padded
                        0x00, 0x01};
  const DibImage image = ReadBmp(Build(RleFile(7, 3, 4, stream)));
  EXPECT_EQ(4, image.bitCount);
  ExpectIndices(image, {{0xC, 0xD, 0xE, 0xF, 1, 0, 0}, {0, 0, 0, 0xA, 0xB, 0xA, 0}, {1, 2, 1, 2, 3, 4, 5}});
  ExpectSameImage(image, ReadBmp(WriteBmp(image)));
}

TEST(BmpRle, RunsPastTheRowOrImageAreClipped) {
  const Bytes stream = {0x05, 0x07, 0x00, 0x00,              // a run of 5 in a row of 3
                        0x00, 0x04, 0x01, 0x02, 0x03, 0x04,  // an absolute run of 4 likewise
                        0x00, 0x02, 0x00, 0x05, 0x03, 0x09,  // delta above the image, then a run
                        0x00, 0x01};
  const DibImage image = ReadBmp(Build(RleFile(3, 2, 8, stream)));
  ExpectIndices(image, {{1, 2, 3}, {7, 7, 7}});
  EXPECT_EQ(0, image.bits[3]) << "run spilled into the row padding";
  EXPECT_EQ(0, image.bits[7]) << "run spilled into the row padding";

  const Bytes nibbles = {0x09, 0x56, 0x00, 0x00, 0x00, 0x01};  // 9 pixels in a row of 3
  const DibImage four = ReadBmp(Build(RleFile(3, 2, 4, nibbles)));
  ExpectIndices(four, {{0, 0, 0}, {5, 6, 5}});
  EXPECT_EQ(0, four.Row(1)[1] & 0x0F) << "run spilled into the row padding";
}

TEST(BmpRle, StreamMayEndAfterTheLastRowWithoutEndOfBitmap) {
  const Bytes stream = {0x02, 0x03, 0x00, 0x00, 0x02, 0x04, 0x00, 0x00};
  std::size_t consumed = 0;
  const Bytes file = Build(RleFile(2, 2, 8, stream));
  const DibImage image = ReadBmp(file, &consumed);
  ExpectIndices(image, {{4, 4}, {3, 3}});
  EXPECT_EQ(file.size(), consumed);
}

// ---- Broken files

// Valid files of several layouts, each refused when cut short anywhere.
std::vector<Bytes> ValidSamples() {
  std::vector<Bytes> samples;
  samples.push_back(WriteBmp(MakeImage(5, 3, 8, 7, 1)));
  DibImage topDown = MakeImage(3, 2, 32, 0, 2);
  topDown.bottomUp = false;
  samples.push_back(WriteBmp(topDown));

  BmpFields v5;
  v5.infoSize = 124;
  v5.width = 3;
  v5.height = 2;
  v5.bitCount = 16;
  v5.compression = BI_BITFIELDS;
  v5.masks = {0xF800, 0x07E0, 0x001F};
  v5.gap = Bytes(8, 0);
  v5.pixels = Bytes(16, 0x5A);
  samples.push_back(Build(v5));

  BmpFields core;
  core.infoSize = 12;
  core.width = 5;
  core.height = 2;
  core.bitCount = 4;
  core.table = ColourTable(16, 3);
  core.pixels = Bytes(8, 0x21);
  samples.push_back(Build(core));

  samples.push_back(Build(RleFile(6, 4, 8, kRle8Stream)));
  return samples;
}

TEST(BmpMalformed, TruncatedAtEveryOffset) {
  for (const Bytes& sample : ValidSamples()) {
    ASSERT_NO_THROW(ReadBmp(sample));
    for (std::size_t size = 0; size < sample.size(); ++size) {
      const Bytes cut(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(size));
      const std::string message = ReadError(cut);
      EXPECT_TRUE(message.find("truncated") != std::string::npos ||
                  message.find("beyond the end") != std::string::npos)
          << "cut to " << size << " of " << sample.size() << " bytes: " << message;
    }
  }
}

BmpFields SmallIndexedFile() {
  BmpFields f;
  f.width = 4;
  f.height = 2;
  f.bitCount = 8;
  f.clrUsed = 4;
  f.table = ColourTable(4);
  f.pixels = {0, 1, 2, 3, 3, 2, 1, 0};
  return f;
}

struct Corruption {
  const char* what;
  void (*apply)(BmpFields&);
  const char* mentions;
};

const Corruption kCorruptions[] = {
    {"wrong magic",
     [](BmpFields& f) {
       f.magic = {'B', 'A'};
     },
     "signature"},
    {"swapped magic",
     [](BmpFields& f) {
       f.magic = {'M', 'B'};
     },
     "signature"},
    {"info size 20", [](BmpFields& f) { f.infoSize = 20; }, "info header size"},
    {"info size 64 (OS/2 2.x)", [](BmpFields& f) { f.infoSize = 64; }, "info header size"},
    {"zero width", [](BmpFields& f) { f.width = 0; }, "width"},
    {"negative width", [](BmpFields& f) { f.width = -4; }, "width"},
    {"zero height", [](BmpFields& f) { f.height = 0; }, "height is zero"},
    {"zero core width",
     [](BmpFields& f) {
       f.infoSize = 12;
       f.width = 0;
     },
     "width"},
    {"no planes", [](BmpFields& f) { f.planes = 0; }, "plane count"},
    {"two planes", [](BmpFields& f) { f.planes = 2; }, "plane count"},
    {"bit count 0", [](BmpFields& f) { f.bitCount = 0; }, "bit count"},
    {"bit count 2", [](BmpFields& f) { f.bitCount = 2; }, "bit count"},
    {"bit count 64", [](BmpFields& f) { f.bitCount = 64; }, "bit count"},
    {"JPEG compression", [](BmpFields& f) { f.compression = 4; }, "compression"},
    {"PNG compression", [](BmpFields& f) { f.compression = 5; }, "compression"},
    {"alpha bit fields", [](BmpFields& f) { f.compression = 6; }, "compression"},
    {"RLE8 on 4 bits",
     [](BmpFields& f) {
       f.compression = BI_RLE8;
       f.bitCount = 4;
     },
     "RLE8"},
    {"RLE4 on 8 bits", [](BmpFields& f) { f.compression = BI_RLE4; }, "RLE4"},
    {"RLE8 on 24 bits",
     [](BmpFields& f) {
       f.compression = BI_RLE8;
       f.bitCount = 24;
     },
     "RLE8"},
    {"RLE top-down",
     [](BmpFields& f) {
       f.compression = BI_RLE8;
       f.height = -2;
     },
     "bottom-up"},
    {"bit fields on 24 bits",
     [](BmpFields& f) {
       f.compression = BI_BITFIELDS;
       f.bitCount = 24;
     },
     "bit fields"},
    {"bit fields on 8 bits", [](BmpFields& f) { f.compression = BI_BITFIELDS; }, "bit fields"},
    {"overlapping masks",
     [](BmpFields& f) {
       f.bitCount = 16;
       f.compression = BI_BITFIELDS;
       f.masks = {0xF800, 0x0FE0, 0x001F};
     },
     "overlap"},
    {"gapped mask",
     [](BmpFields& f) {
       f.bitCount = 32;
       f.compression = BI_BITFIELDS;
       f.masks = {0x00FF00FF, 0, 0};
     },
     "contiguous"},
    {"mask past 16 bits",
     [](BmpFields& f) {
       f.bitCount = 16;
       f.compression = BI_BITFIELDS;
       f.masks = {0x1F0000, 0x07E0, 0x001F};
     },
     "wider"},
    {"pixel offset past the end", [](BmpFields& f) { f.bitsOffset = 0x7FFFFFF0; }, "beyond the end"},
    {"pixel offset in the file header", [](BmpFields& f) { f.bitsOffset = 10; }, "overlaps"},
    {"pixel offset in the colour table", [](BmpFields& f) { f.bitsOffset = 60; }, "overlaps"},
    {"pixel offset zero", [](BmpFields& f) { f.bitsOffset = 0; }, "overlaps"},
    {"257 colours at 8 bits", [](BmpFields& f) { f.clrUsed = 257; }, "too big"},
    {"huge colour count", [](BmpFields& f) { f.clrUsed = 0xFFFFFFFF; }, "too big"},
    {"17 colours at 4 bits",
     [](BmpFields& f) {
       f.bitCount = 4;
       f.clrUsed = 17;
     },
     "too big"},
    {"3 colours at 1 bit",
     [](BmpFields& f) {
       f.bitCount = 1;
       f.clrUsed = 3;
     },
     "too big"},
    {"257 colours at 24 bits",
     [](BmpFields& f) {
       f.bitCount = 24;
       f.clrUsed = 257;
     },
     "too big"},
    {"20000 x 20000 x 32",
     [](BmpFields& f) {
       f.width = 20000;
       f.height = 20000;
       f.bitCount = 32;
       f.clrUsed = 0;
     },
     "too large"},
    {"most negative height", [](BmpFields& f) { f.height = INT32_MIN; }, "too large"},
    {"widest width",
     [](BmpFields& f) {
       f.width = INT32_MAX;
       f.bitCount = 32;
     },
     "too large"},
    {"pixel data one byte short", [](BmpFields& f) { f.pixels.pop_back(); }, "pixel data truncated"},
    {"RLE absolute run short",
     [](BmpFields& f) {
       f.compression = BI_RLE8;
       f.pixels = {0x00, 0x05, 1, 2, 3};
     },
     "RLE data truncated"},
    {"RLE delta short",
     [](BmpFields& f) {
       f.compression = BI_RLE8;
       f.pixels = {0x00, 0x02, 0x01};
     },
     "RLE data truncated"},
    {"RLE ends mid-image",
     [](BmpFields& f) {
       f.compression = BI_RLE8;
       f.pixels = {0x04, 0x01, 0x00, 0x00};
     },
     "RLE data truncated"},
    {"RLE absolute run missing its pad byte",
     [](BmpFields& f) {
       f.compression = BI_RLE8;
       f.pixels = {0x00, 0x03, 1, 2, 3};
     },
     "RLE data truncated"},
};

TEST(BmpMalformed, CorruptedFieldsAreNamed) {
  ASSERT_NO_THROW(ReadBmp(Build(SmallIndexedFile())));
  for (const Corruption& c : kCorruptions) {
    BmpFields f = SmallIndexedFile();
    c.apply(f);
    const std::string message = ReadError(Build(f));
    SCOPED_TRACE(c.what);
    EXPECT_EQ(0u, message.find("Bitmap image is not valid: ")) << message;
    EXPECT_TRUE(Mentions(message, c.mentions));
  }
}

// ---- Size limit: refused before anything large is allocated

std::string ReadErrorWatchingAllocations(const Bytes& file, std::size_t& largest) {
  gLargestAllocation = 0;
  std::string message = ReadError(file);
  largest = gLargestAllocation;
  return message;
}

TEST(BmpLimits, HugeClaimsAreRefusedBeforeAllocating) {
  BmpFields f;
  f.bitCount = 32;
  f.width = 20000;
  f.height = 20000;
  const Bytes huge = Build(f);
  ASSERT_LT(huge.size(), 64u);
  std::size_t largest = 0;
  EXPECT_TRUE(Mentions(ReadErrorWatchingAllocations(huge, largest), "too large"));
  EXPECT_LT(largest, 4096u);

  // Just under the limit: allowed in size, but the rows are not there.
  f.width = 8000;
  f.height = 8000;
  EXPECT_TRUE(Mentions(ReadErrorWatchingAllocations(Build(f), largest), "pixel data truncated"));
  EXPECT_LT(largest, 4096u);

  // A colour count far beyond the bytes present.
  f.width = 1;
  f.height = 1;
  f.bitCount = 24;
  f.clrUsed = 200;
  EXPECT_TRUE(Mentions(ReadErrorWatchingAllocations(Build(f), largest), "colour table truncated"));
  EXPECT_LT(largest, 512u);
}

TEST(BmpLimits, LimitIsInclusive) {
  BmpFields f;
  f.bitCount = 8;
  f.table = ColourTable(256);
  f.height = 16384;
  f.width = 16384;  // exactly kMaxBmpPixelBytes of rows
  static_assert(16384u * 16384u == kMaxBmpPixelBytes);
  EXPECT_TRUE(Mentions(ReadError(Build(f)), "pixel data truncated"));
  f.width = 16385;
  EXPECT_TRUE(Mentions(ReadError(Build(f)), "too large"));
  f.width = 16384;
  f.height = -16385;
  EXPECT_TRUE(Mentions(ReadError(Build(f)), "too large"));
}

TEST(BmpLimits, RleImageAtTheLimitDecodes) {
  // Two bytes of stream may stand for a whole blank image; its size is
  // bounded by the limit alone.
  const DibImage image = ReadBmp(Build(RleFile(16384, 16384, 8, {0x00, 0x01})));
  EXPECT_EQ(kMaxBmpPixelBytes, image.bits.size());
}

// ---- consumed

TEST(BmpConsumed, FileSizeWhenSaneElseEndOfPixels) {
  const Bytes file = WriteBmp(MakeImage(3, 3, 24, 0, 5));
  const std::size_t pixelEnd = file.size();
  Bytes padded = file;
  padded.insert(padded.end(), 6, 0xAB);  // another file follows, say
  std::size_t consumed = 0;

  ReadBmp(padded, &consumed);
  EXPECT_EQ(pixelEnd, consumed) << "bfSize as written";

  Bytes claimsTrailer = padded;
  claimsTrailer[2] = static_cast<std::uint8_t>(pixelEnd + 6);
  ReadBmp(claimsTrailer, &consumed);
  EXPECT_EQ(pixelEnd + 6, consumed) << "bfSize covering bytes after the pixels";

  Bytes beyondBuffer = padded;
  beyondBuffer[2] = static_cast<std::uint8_t>(pixelEnd + 7);
  ReadBmp(beyondBuffer, &consumed);
  EXPECT_EQ(pixelEnd, consumed) << "bfSize past the buffer";

  Bytes shortSize = padded;
  shortSize[2] = static_cast<std::uint8_t>(pixelEnd - 1);
  ReadBmp(shortSize, &consumed);
  EXPECT_EQ(pixelEnd, consumed) << "bfSize cutting into the pixels";

  EXPECT_NO_THROW(ReadBmp(padded, nullptr));
}

TEST(BmpConsumed, RleEndsAtEndOfBitmap) {
  BmpFields f = RleFile(6, 4, 8, kRle8Stream);
  const std::size_t end = Build(f).size();
  f.fileSize = 0;
  f.pixels.insert(f.pixels.end(), {0x00, 0x00, 0x00, 0x00});
  std::size_t consumed = 0;
  ReadBmp(Build(f), &consumed);
  EXPECT_EQ(end, consumed);
}

// ---- Writing refuses images it cannot express

struct BadImage {
  const char* what;
  void (*apply)(DibImage&);
  const char* mentions;
};

const BadImage kBadImages[] = {
    {"bit count 2", [](DibImage& i) { i.bitCount = 2; }, "bit count"},
    {"zero width", [](DibImage& i) { i.width = 0; }, "empty"},
    {"zero height", [](DibImage& i) { i.height = 0; }, "empty"},
    {"pixels one byte short", [](DibImage& i) { i.bits.pop_back(); }, "pixel buffer"},
    {"pixels one byte long", [](DibImage& i) { i.bits.push_back(0); }, "pixel buffer"},
    {"17 colours at 4 bits",
     [](DibImage& i) {
       i.bitCount = 4;
       i.bits.resize(i.Stride() * i.height);
       i.palette.resize(17);
     },
     "too big"},
    {"257 colours at 8 bits", [](DibImage& i) { i.palette.resize(257); }, "too big"},
    {"no colour table at 8 bits", [](DibImage& i) { i.palette.clear(); }, "missing"},
    {"bit fields at 8 bits", [](DibImage& i) { i.bitfields = true; }, "bit fields"},
    {"masks without bit fields",
     [](DibImage& i) {
       i.bitCount = 16;
       i.palette.clear();
       i.bits.resize(i.Stride() * i.height);
       i.redMask = 0xF800;
     },
     "without bit fields"},
    {"overlapping masks",
     [](DibImage& i) {
       i.bitCount = 32;
       i.palette.clear();
       i.bits.resize(i.Stride() * i.height);
       i.bitfields = true;
       i.redMask = 0xFF00;
       i.greenMask = 0x0FF0;
     },
     "overlap"},
    {"20000 x 20000 x 32",
     [](DibImage& i) {
       i.width = 20000;
       i.height = 20000;
       i.bitCount = 32;
       i.palette.clear();
     },
     "too large"},
};

TEST(BmpWrite, RefusesImagesItCannotExpress) {
  ASSERT_NO_THROW(WriteBmp(MakeImage(5, 3, 8, 4, 9)));
  for (const BadImage& bad : kBadImages) {
    DibImage image = MakeImage(5, 3, 8, 4, 9);
    bad.apply(image);
    SCOPED_TRACE(bad.what);
    EXPECT_TRUE(Mentions(WriteError(image), bad.mentions));
  }
}

}  // namespace
}  // namespace gdi
