// The module's numbered resources: .cur decoding (hot spot, size, colours,
// the AND mask), malformed cursor files, icons and strings by number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "toolkit/Forms.h"
#include "toolkit/ModuleResources.h"

namespace toolkit {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 32-bit bitmap entry from 0xAARRGGBB pixels (top-down) and the pixels
// whose AND mask bit is set: header, rows bottom-up, mask bottom-up.
Bytes Entry32(int w, int h, const std::vector<std::uint32_t>& argb, const std::vector<bool>& clear) {
  Bytes v;
  base::AppendLe32(v, 40);
  base::AppendLe32(v, static_cast<std::uint32_t>(w));
  base::AppendLe32(v, static_cast<std::uint32_t>(2 * h));
  base::AppendLe16(v, 1);
  base::AppendLe16(v, 32);
  for (int i = 0; i < 6; ++i) base::AppendLe32(v, 0);
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) base::AppendLe32(v, argb[static_cast<std::size_t>(y * w + x)]);
  const std::size_t stride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(stride, 0);
    for (int x = 0; x < w; ++x)
      if (clear[static_cast<std::size_t>(y * w + x)])
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    v.insert(v.end(), row.begin(), row.end());
  }
  return v;
}

// A 1-bit 8 x 8 entry, black and white, with `white` and `clear` as row bytes
// (bit 7 the left pixel), top-down.
Bytes EntryMono(const std::vector<std::uint8_t>& white, const std::vector<std::uint8_t>& clear) {
  Bytes v;
  base::AppendLe32(v, 40);
  base::AppendLe32(v, 8);
  base::AppendLe32(v, 16);
  base::AppendLe16(v, 1);
  base::AppendLe16(v, 1);
  for (int i = 0; i < 6; ++i) base::AppendLe32(v, 0);
  base::AppendLe32(v, 0x000000);
  base::AppendLe32(v, 0xFFFFFF);
  for (int y = 7; y >= 0; --y) v.insert(v.end(), {white[static_cast<std::size_t>(y)], 0, 0, 0});
  for (int y = 7; y >= 0; --y) v.insert(v.end(), {clear[static_cast<std::size_t>(y)], 0, 0, 0});
  return v;
}

struct DirEntry {
  int side;
  unsigned hotX, hotY;
  Bytes image;
};

Bytes File(const std::vector<DirEntry>& entries, unsigned type = 2) {
  Bytes v;
  base::AppendLe16(v, 0);
  base::AppendLe16(v, type);
  base::AppendLe16(v, static_cast<unsigned>(entries.size()));
  auto offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const DirEntry& e : entries) {
    v.insert(v.end(), {static_cast<std::uint8_t>(e.side), static_cast<std::uint8_t>(e.side), 0, 0});
    base::AppendLe16(v, e.hotX);
    base::AppendLe16(v, e.hotY);
    base::AppendLe32(v, static_cast<std::uint32_t>(e.image.size()));
    base::AppendLe32(v, offset);
    offset += static_cast<std::uint32_t>(e.image.size());
  }
  for (const DirEntry& e : entries) v.insert(v.end(), e.image.begin(), e.image.end());
  return v;
}

// 32 x 32: a colour per quarter (red top left, green top right, blue bottom
// left, white bottom right), no alpha of its own, the leftmost column and
// the bottom row masked out.
struct Sample {
  std::vector<std::uint32_t> argb;
  std::vector<bool> clear;
};
Sample Quarters() {
  Sample s;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool top = y < 16, left = x < 16;
      s.argb.push_back(top ? (left ? 0xFF0000u : 0x00FF00u) : (left ? 0x0000FFu : 0xFFFFFFu));
      s.clear.push_back(x == 0 || y == 31);
    }
  return s;
}

Bytes QuartersCursor(unsigned hotX = 5, unsigned hotY = 7) {
  const Sample s = Quarters();
  return File({{32, hotX, hotY, Entry32(32, 32, s.argb, s.clear)}});
}

constexpr int kId = 7001;

// Registers `bytes` as cursor kId, loads it into an image holding a marker,
// and says whether it loaded; a refused file must leave the image alone.
bool LoadAs(const Bytes& bytes, platform::CursorImage& image) {
  RegisterCursorResource(kId, bytes.data(), bytes.size());
  image = {};
  image.width = -1;
  const bool ok = LoadCursorResource(kId, image);
  UnregisterCursorResource(kId);
  if (!ok) {
    EXPECT_EQ(image.width, -1) << "a refused cursor changed the image";
  }
  return ok;
}

std::uint32_t At(const platform::CursorImage& image, int x, int y) {
  return image.argb[static_cast<std::size_t>(y * image.width + x)];
}

// ---- decoding -------------------------------------------------------------------------

TEST(ModuleResources, CursorHasItsSizeHotSpotAndColours) {
  platform::CursorImage image;
  ASSERT_TRUE(LoadAs(QuartersCursor(5, 7), image));
  EXPECT_EQ(image.width, 32);
  EXPECT_EQ(image.height, 32);
  EXPECT_EQ(image.hotX, 5);
  EXPECT_EQ(image.hotY, 7);
  ASSERT_EQ(image.argb.size(), 32u * 32u);
  EXPECT_EQ(At(image, 1, 0), 0xFFFF0000u);   // red, top left
  EXPECT_EQ(At(image, 31, 0), 0xFF00FF00u);  // green, top right
  EXPECT_EQ(At(image, 1, 30), 0xFF0000FFu);  // blue, bottom left
  EXPECT_EQ(At(image, 31, 30), 0xFFFFFFFFu);
}

TEST(ModuleResources, CursorIsClearWhereTheAndMaskIsSet) {
  platform::CursorImage image;
  ASSERT_TRUE(LoadAs(QuartersCursor(), image));
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(At(image, 0, i) >> 24, 0u) << "left column, row " << i;
    EXPECT_EQ(At(image, i, 31) >> 24, 0u) << "bottom row, column " << i;
  }
  EXPECT_EQ(At(image, 1, 1) >> 24, 0xFFu);
  EXPECT_EQ(At(image, 30, 30) >> 24, 0xFFu);
}

TEST(ModuleResources, MonochromeCursorUsesItsTableAndMask) {
  // The top row white, the left column masked out.
  const Bytes file = File(
      {{8, 3, 4, EntryMono({0xFF, 0, 0, 0, 0, 0, 0, 0}, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80})}});
  platform::CursorImage image;
  ASSERT_TRUE(LoadAs(file, image));
  EXPECT_EQ(image.width, 8);
  EXPECT_EQ(image.height, 8);
  EXPECT_EQ(image.hotX, 3);
  EXPECT_EQ(image.hotY, 4);
  EXPECT_EQ(At(image, 1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(At(image, 1, 1), 0xFF000000u);
  EXPECT_EQ(At(image, 0, 0) >> 24, 0u);
  EXPECT_EQ(At(image, 0, 5) >> 24, 0u);
}

TEST(ModuleResources, CursorWithAlphaOfItsOwnKeepsIt) {
  std::vector<std::uint32_t> argb(4 * 4, 0x80112233u);
  argb[0] = 0xFF445566u;
  const Bytes file = File({{4, 1, 2, Entry32(4, 4, argb, std::vector<bool>(16, false))}});
  platform::CursorImage image;
  ASSERT_TRUE(LoadAs(file, image));
  EXPECT_EQ(At(image, 0, 0), 0xFF445566u);
  EXPECT_EQ(At(image, 3, 3), 0x80112233u);
}

TEST(ModuleResources, CursorPrefersThe32By32Entry) {
  const Sample s = Quarters();
  const Bytes small =
      Entry32(16, 16, std::vector<std::uint32_t>(256, 0x123456), std::vector<bool>(256, false));
  const Bytes big = Entry32(32, 32, s.argb, s.clear);
  platform::CursorImage image;
  ASSERT_TRUE(LoadAs(File({{16, 1, 1, small}, {32, 9, 10, big}}), image));
  EXPECT_EQ(image.width, 32);
  EXPECT_EQ(image.hotX, 9);
  EXPECT_EQ(image.hotY, 10);
  // Without one, the first.
  const Bytes other = Entry32(8, 8, std::vector<std::uint32_t>(64, 0), std::vector<bool>(64, false));
  ASSERT_TRUE(LoadAs(File({{16, 2, 3, small}, {8, 4, 4, other}}), image));
  EXPECT_EQ(image.width, 16);
  EXPECT_EQ(image.hotX, 2);
  EXPECT_EQ(image.hotY, 3);
  EXPECT_EQ(At(image, 15, 15), 0xFF123456u);
}

TEST(ModuleResources, CursorHotSpotOffThePictureIsPulledOntoIt) {
  platform::CursorImage image;
  ASSERT_TRUE(LoadAs(QuartersCursor(40, 1000), image));
  EXPECT_EQ(image.hotX, 31);
  EXPECT_EQ(image.hotY, 31);
}

// ---- malformed cursor files ------------------------------------------------------------

// Each length is copied into a buffer of exactly that size, so that a read
// past the end is caught by the address sanitizer.
bool DecodesCut(const Bytes& file, std::size_t length) {
  const auto cut = std::make_unique<std::uint8_t[]>(length ? length : 1);
  std::copy(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length), cut.get());
  platform::CursorImage image;
  return DecodeCursor(length ? cut.get() : nullptr, length, image);
}

TEST(ModuleResources, CursorCutShortAtEveryLengthIsRefused) {
  const Bytes file = QuartersCursor();
  for (std::size_t length = 0; length < file.size(); ++length) {
    ASSERT_FALSE(DecodesCut(file, length)) << length << " bytes";
    platform::CursorImage image;
    ASSERT_FALSE(LoadAs(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length)), image))
        << length << " bytes";
  }
  EXPECT_TRUE(DecodesCut(file, file.size()));
}

TEST(ModuleResources, CursorEntryCutShortWithADirectoryToMatchIsNotReadPastItsEnd) {
  // The directory states the shorter size, so every cut reaches the bitmap
  // decoder. A 32-bit entry may lack its AND mask; short of its colour rows
  // it is refused.
  const Bytes file = QuartersCursor();
  constexpr std::size_t kHeaderAndRows = 22 + 40 + 32 * 32 * 4;
  for (std::size_t length = 23; length <= file.size(); ++length) {
    Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
    const auto entryBytes = static_cast<std::uint32_t>(length - 22);
    for (int i = 0; i < 4; ++i)
      cut[14 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(entryBytes >> (8 * i));
    const bool decoded = DecodesCut(cut, cut.size());
    EXPECT_EQ(decoded, length >= kHeaderAndRows) << length << " bytes";
  }
}

TEST(ModuleResources, MalformedCursorFilesAreRefused) {
  const Bytes good = QuartersCursor();
  platform::CursorImage image;
  ASSERT_TRUE(LoadAs(good, image));
  auto refused = [&](const Bytes& bytes, const char* what) {
    platform::CursorImage refusedImage;
    EXPECT_FALSE(LoadAs(bytes, refusedImage)) << what;
  };
  refused({}, "no bytes");
  refused(File({{32, 0, 0, good}}, 1), "an icon file");
  auto badType = good;
  badType[2] = 3;
  refused(badType, "type 3");
  auto reserved = good;
  reserved[0] = 1;
  refused(reserved, "reserved word set");
  auto noEntries = good;
  noEntries[4] = 0;
  refused(noEntries, "no entries");
  auto hugeCount = good;
  hugeCount[4] = 0xFF;
  refused(hugeCount, "more entries than the file holds");
  auto pastEnd = good;
  pastEnd[6 + 12 + 2] = 0x01;  // the entry's offset 64 KiB on
  refused(pastEnd, "entry offset past the end");
  auto offsetAtEnd = good;
  const auto end = static_cast<std::uint32_t>(good.size());
  for (int i = 0; i < 4; ++i)
    offsetAtEnd[18 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(end >> (8 * i));
  refused(offsetAtEnd, "entry offset at the end");
  auto tooLong = good;
  tooLong[6 + 8 + 1] = 0xFF;  // the entry's size beyond the file
  refused(tooLong, "entry size past the end");
  auto zeroSize = good;
  for (int i = 0; i < 4; ++i) zeroSize[14 + static_cast<std::size_t>(i)] = 0;
  refused(zeroSize, "entry size zero");
  auto badBits = good;
  badBits[22 + 14] = 16;
  refused(badBits, "16 bits");
  auto compressed = good;
  compressed[22 + 16] = 1;
  refused(compressed, "compressed");
  auto oddHeight = good;
  oddHeight[22 + 8] = 63;
  refused(oddHeight, "odd height");
  auto zeroWidth = good;
  zeroWidth[22 + 4] = 0;
  refused(zeroWidth, "zero width");
  auto hugeHeader = good;
  hugeHeader[22 + 3] = 0x7F;
  refused(hugeHeader, "header past the end");
  const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
  refused(File({{32, 0, 0, png}}), "only a PNG entry");
}

// ---- by number ---------------------------------------------------------------------------

TEST(ModuleResources, MissingNumbersGiveNothing) {
  platform::CursorImage image;
  image.width = 12;
  EXPECT_FALSE(LoadCursorResource(6999, image));
  EXPECT_EQ(image.width, 12);
  EXPECT_EQ(LoadIconResource(6999), nullptr);
  EXPECT_EQ(LoadStringResource(6999), "");
}

TEST(ModuleResources, UnregisteredCursorIsGone) {
  const Bytes file = QuartersCursor();
  RegisterCursorResource(kId, file.data(), file.size());
  platform::CursorImage image;
  EXPECT_TRUE(LoadCursorResource(kId, image));
  UnregisterCursorResource(kId);
  EXPECT_FALSE(LoadCursorResource(kId, image));
}

TEST(ModuleResources, CursorBytesAreCopiedWhenRegistered) {
  Bytes file = QuartersCursor(4, 6);
  RegisterCursorResource(kId, file.data(), file.size());
  std::fill(file.begin(), file.end(), 0xEE);
  platform::CursorImage image;
  EXPECT_TRUE(LoadCursorResource(kId, image));
  EXPECT_EQ(image.hotX, 4);
  UnregisterCursorResource(kId);
}

TEST(ModuleResources, StringsRoundTrip) {
  RegisterStringResource(7101, "Port");
  RegisterStringResource(7102,
                         "Gr\xC3\xB6\xC3\x9F"
                         "e \xE2\x80\x94 \xE2\x99\xAA");
  RegisterStringResource(7103, std::string("a\0b", 3));
  EXPECT_EQ(LoadStringResource(7101), "Port");
  EXPECT_EQ(LoadStringResource(7102),
            "Gr\xC3\xB6\xC3\x9F"
            "e \xE2\x80\x94 \xE2\x99\xAA");
  EXPECT_EQ(LoadStringResource(7103), std::string("a\0b", 3));
  RegisterStringResource(7101, "Ports");
  EXPECT_EQ(LoadStringResource(7101), "Ports");
  for (int id : {7101, 7102, 7103}) UnregisterStringResource(id);
  EXPECT_EQ(LoadStringResource(7101), "");
}

TEST(ModuleResources, IconResourceLoads) {
  const Sample s = Quarters();
  const Bytes file = File({{32, 1, 32, Entry32(32, 32, s.argb, s.clear)}}, 1);
  RegisterIconResource(7201, file.data(), file.size());
  const std::unique_ptr<TIcon> icon = LoadIconResource(7201);
  ASSERT_NE(icon, nullptr);
  ASSERT_EQ(icon->Images().size(), 1u);
  EXPECT_EQ(icon->Images()[0].width, 32);
  EXPECT_EQ(icon->Images()[0].argb[1], 0xFFFF0000u);
  EXPECT_EQ(icon->Images()[0].argb[0] >> 24, 0u);
  EXPECT_EQ(icon->Data(), file);
  UnregisterIconResource(7201);
  EXPECT_EQ(LoadIconResource(7201), nullptr);
}

TEST(ModuleResources, InvalidIconResourceGivesNull) {
  const Bytes cursor = QuartersCursor();  // a cursor is not an icon
  RegisterIconResource(7202, cursor.data(), cursor.size());
  EXPECT_EQ(LoadIconResource(7202), nullptr);
  const Bytes junk(100, 0xAB);
  RegisterIconResource(7202, junk.data(), junk.size());
  EXPECT_EQ(LoadIconResource(7202), nullptr);
  UnregisterIconResource(7202);
}

}  // namespace
}  // namespace toolkit
