// Little-endian integers in bytes: the lowest byte first on every machine,
// at any alignment, and never a byte read beyond the end of a span.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "base/ByteOrder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ByteOrder, SixteenBitsLowestByteFirst) {
  const struct {
    std::uint16_t value;
    Bytes bytes;
  } cases[] = {
      {0x0000, {0x00, 0x00}}, {0x0001, {0x01, 0x00}}, {0x0100, {0x00, 0x01}},
      {0x1234, {0x34, 0x12}}, {0xFFFF, {0xFF, 0xFF}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::LoadLe16(c.bytes.data()), c.value) << std::hex << c.value;
    EXPECT_EQ(base::LoadLe16(c.bytes, 0), c.value) << std::hex << c.value;
    Bytes stored(2, 0xAA);
    base::StoreLe16(stored.data(), c.value);
    EXPECT_EQ(stored, c.bytes) << std::hex << c.value;
    Bytes appended{0x55};
    base::AppendLe16(appended, c.value);
    EXPECT_EQ(appended, (Bytes{0x55, c.bytes[0], c.bytes[1]})) << std::hex << c.value;
  }
}

TEST(ByteOrder, ThirtyTwoBitsLowestByteFirstSignedAndUnsigned) {
  const struct {
    std::uint32_t value;
    std::int32_t signedValue;
    Bytes bytes;
  } cases[] = {
      {0x00000000u, 0, {0x00, 0x00, 0x00, 0x00}},
      {0x00000001u, 1, {0x01, 0x00, 0x00, 0x00}},
      {0x12345678u, 0x12345678, {0x78, 0x56, 0x34, 0x12}},
      {0x7FFFFFFFu, 0x7FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
      {0x80000000u, INT32_MIN, {0x00, 0x00, 0x00, 0x80}},
      {0xFFFFFFFCu, -4, {0xFC, 0xFF, 0xFF, 0xFF}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::LoadLe32(c.bytes.data()), c.value) << std::hex << c.value;
    EXPECT_EQ(base::LoadLe32(c.bytes, 0), c.value) << std::hex << c.value;
    EXPECT_EQ(base::LoadLeInt32(c.bytes.data()), c.signedValue) << std::hex << c.value;
    EXPECT_EQ(base::LoadLeInt32(c.bytes, 0), c.signedValue) << std::hex << c.value;
    Bytes stored(4, 0xAA);
    base::StoreLe32(stored.data(), c.value);
    EXPECT_EQ(stored, c.bytes) << std::hex << c.value;
    Bytes appended{0x55};
    base::AppendLe32(appended, c.value);
    EXPECT_EQ(appended, (Bytes{0x55, c.bytes[0], c.bytes[1], c.bytes[2], c.bytes[3]})) << std::hex << c.value;
  }
}

TEST(ByteOrder, ReadsAndWritesAtAnyOffsetAndTouchesNothingElse) {
  const Bytes bytes{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16};
  const struct {
    std::size_t at;
    std::uint16_t le16;
    std::uint32_t le32;
  } cases[] = {
      {0, 0x1110, 0x13121110u},
      {1, 0x1211, 0x14131211u},
      {3, 0x1413, 0x16151413u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::LoadLe16(bytes, c.at), c.le16) << "at " << c.at;
    EXPECT_EQ(base::LoadLe16(bytes.data() + c.at), c.le16) << "at " << c.at;
    EXPECT_EQ(base::LoadLe32(bytes, c.at), c.le32) << "at " << c.at;
    EXPECT_EQ(base::LoadLe32(bytes.data() + c.at), c.le32) << "at " << c.at;
    Bytes out(7, 0);
    base::StoreLe32(out.data() + c.at, 0xA1B2C3D4u);
    Bytes expected(7, 0);
    expected[c.at] = 0xD4, expected[c.at + 1] = 0xC3, expected[c.at + 2] = 0xB2, expected[c.at + 3] = 0xA1;
    EXPECT_EQ(out, expected) << "at " << c.at;
  }
}

TEST(ByteOrder, ValuesRunningPastTheEndOfASpanAreRefused) {
  const Bytes bytes{1, 2, 3, 4, 5};
  const struct {
    std::size_t at;
    bool fits16;
    bool fits32;
  } cases[] = {
      {0, true, true},
      {1, true, true},
      {2, true, false},
      {3, true, false},
      {4, false, false},
      {5, false, false},
      {SIZE_MAX - 1, false, false},
  };
  for (const auto& c : cases) {
    if (c.fits16)
      EXPECT_NO_THROW(base::LoadLe16(bytes, c.at)) << "at " << c.at;
    else
      EXPECT_THROW(base::LoadLe16(bytes, c.at), std::out_of_range) << "at " << c.at;
    if (c.fits32) {
      EXPECT_NO_THROW(base::LoadLe32(bytes, c.at)) << "at " << c.at;
      EXPECT_NO_THROW(base::LoadLeInt32(bytes, c.at)) << "at " << c.at;
    } else {
      EXPECT_THROW(base::LoadLe32(bytes, c.at), std::out_of_range) << "at " << c.at;
      EXPECT_THROW(base::LoadLeInt32(bytes, c.at), std::out_of_range) << "at " << c.at;
    }
  }
}

}  // namespace
