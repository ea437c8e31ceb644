// The program's compiled-in cursors: every one registered, loadable, and
// each its own picture.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "resources/Resources.h"
#include "toolkit/Forms.h"
#include "toolkit/ModuleResources.h"

namespace {

constexpr int kFirstCursor = 2001, kLastCursor = 2031;

TEST(Resources, EveryCursorLoadsAt32By32WithItsHotSpotInside) {
  RegisterResources();
  for (int id = kFirstCursor; id <= kLastCursor; ++id) {
    platform::CursorImage image;
    ASSERT_TRUE(toolkit::LoadCursorResource(id, image)) << id;
    EXPECT_EQ(image.width, 32) << id;
    EXPECT_EQ(image.height, 32) << id;
    EXPECT_EQ(image.argb.size(), 32u * 32u) << id;
    EXPECT_GE(image.hotX, 0) << id;
    EXPECT_LT(image.hotX, 32) << id;
    EXPECT_GE(image.hotY, 0) << id;
    EXPECT_LT(image.hotY, 32) << id;
    int opaque = 0, clear = 0;
    for (std::uint32_t p : image.argb) {
      const std::uint32_t alpha = p >> 24;
      opaque += alpha == 0xFF;
      clear += alpha == 0;
    }
    EXPECT_EQ(opaque + clear, 32 * 32) << id << ": every pixel fully opaque or fully clear";
    EXPECT_GT(opaque, 0) << id;
    EXPECT_GT(clear, 0) << id;
  }
  platform::CursorImage image;
  EXPECT_FALSE(toolkit::LoadCursorResource(kFirstCursor - 1, image));
  EXPECT_FALSE(toolkit::LoadCursorResource(kLastCursor + 1, image));
  EXPECT_NE(toolkit::FindFormResource("TOrbiscope"), nullptr);
}

TEST(Resources, NoTwoCursorsArePixelIdentical) {
  RegisterResources();
  std::map<std::vector<std::uint32_t>, int> seen;
  for (int id = kFirstCursor; id <= kLastCursor; ++id) {
    platform::CursorImage image;
    ASSERT_TRUE(toolkit::LoadCursorResource(id, image)) << id;
    const auto [it, added] = seen.emplace(image.argb, id);
    EXPECT_TRUE(added) << id << " has the pixels of " << it->second;
  }
}

}  // namespace
