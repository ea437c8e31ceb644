// Which source pixels StretchBlt puts where, and how each stretch mode joins
// or blends them, on one-row (or one-column) bitmaps.
#include <cstdlib>
#include <vector>

#include "tests/gdi/GdiTestUtil.h"

namespace gdi::test {
namespace {

struct Row {
  const char* what;
  int mode;
  bool vertical;
  std::vector<COLORREF> source;
  int srcExtent, dstExtent;  // negative: the call starts at the far end
  std::vector<COLORREF> expected;
};

std::vector<COLORREF> Stretch(const Row& r) {
  const int n = static_cast<int>(r.source.size()), d = std::abs(r.dstExtent);
  Canvas src(r.vertical ? 1 : n, r.vertical ? n : 1), dst(r.vertical ? 1 : d, r.vertical ? d : 1);
  for (int i = 0; i < n; ++i) SetPixel(src.dc(), r.vertical ? 0 : i, r.vertical ? i : 0, r.source[i]);
  SetStretchBltMode(dst.dc(), r.mode);
  const int s = r.srcExtent < 0 ? n - 1 : 0, t = r.dstExtent < 0 ? d - 1 : 0;
  if (r.vertical)
    StretchBlt(dst.dc(), 0, t, 1, r.dstExtent, src.dc(), 0, s, 1, r.srcExtent, SRCCOPY);
  else
    StretchBlt(dst.dc(), t, 0, r.dstExtent, 1, src.dc(), s, 0, r.srcExtent, 1, SRCCOPY);
  std::vector<COLORREF> out;
  for (int i = 0; i < d; ++i) out.push_back(GetPixel(dst.dc(), r.vertical ? 0 : i, r.vertical ? i : 0));
  return out;
}

const std::vector<COLORREF> kFive{1, 2, 3, 4, 5}, kNine{1, 2, 3, 4, 5, 6, 7, 8, 9};
const std::vector<COLORREF> kBits{0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100};
const std::vector<COLORREF> kHoles{0x1FE, 0x1FD, 0x1FB, 0x1F7, 0x1EF};

const Row kRows[] = {
    // Growing: the source pixel under each destination pixel's centre, the
    // earlier one on a tie.
    {"2 to 3", COLORONCOLOR, false, {1, 2}, 2, 3, {1, 1, 2}},
    {"3 to 5", COLORONCOLOR, false, {1, 2, 3}, 3, 5, {1, 1, 2, 3, 3}},
    {"2 to 3 mirrored", COLORONCOLOR, false, {1, 2}, 2, -3, {2, 1, 1}},
    {"2 to 5 from the far end", COLORONCOLOR, false, {1, 2}, -2, 5, {2, 2, 2, 1, 1}},
    // Shrinking keeps the last pixel of a group along a row, the first down a
    // column; onto one pixel, both running forward, the last is left out.
    {"9 to 4", COLORONCOLOR, false, kNine, 9, 4, {2, 5, 7, 9}},
    {"5 to 2", COLORONCOLOR, false, kFive, 5, 2, {3, 5}},
    {"5 to 1", COLORONCOLOR, false, kFive, 5, 1, {4}},
    {"5 to 1 mirrored", COLORONCOLOR, false, kFive, 5, -1, {5}},
    {"3 to 2 down a column", COLORONCOLOR, true, {1, 2, 3}, 3, 2, {1, 3}},
    {"2 to 1", COLORONCOLOR, false, {1, 2}, 2, 1, {1}},
    // BLACKONWHITE ANDs the group, WHITEONBLACK ORs it.
    {"5 to 2 AND", BLACKONWHITE, false, kHoles, 5, 2, {0x1F8, 0x1E7}},
    {"5 to 1 AND", BLACKONWHITE, false, kHoles, 5, 1, {0x1F0}},
    {"5 to 1 AND mirrored", BLACKONWHITE, false, kHoles, 5, -1, {0x1E0}},
    {"9 to 4 OR", WHITEONBLACK, false, kBits, 9, 4, {0x3, 0x1C, 0x60, 0x180}},
    {"9 to 4 OR down a column", WHITEONBLACK, true, kBits, 9, 4, {0x3, 0x1C, 0x60, 0x180}},
    // HALFTONE blends the two pixels around the point each destination pixel
    // samples: i * source / destination from the source's first pixel.
    {"blend 2 to 3", HALFTONE, false, {0, 255}, 2, 3, {0, 170, 255}},
    {"blend 2 to 3 mirrored", HALFTONE, false, {0, 255}, 2, -3, {255, 85, 0}},
    {"blend 5 to 7", HALFTONE, false, {0, 0, 255, 0, 0}, 5, 7, {0, 0, 109, 219, 36, 0, 0}},
    {"blend 3 to 10 down a column",
     HALFTONE,
     true,
     {90, 255, 90},
     3,
     10,
     {90, 140, 189, 239, 222, 173, 123, 90, 90, 90}},
};

TEST(Stretch, SourcePixelsByModeAndExtent) {
  for (const Row& r : kRows) EXPECT_EQ(Stretch(r), r.expected) << r.what;
}

TEST(Stretch, HalftoneTiesFollowWhereTheSourceStarts) {
  // The same blend from the second column rounds its tie at 0.9 down.
  Canvas src(4, 1), dst(10, 1);
  const COLORREF levels[] = {0, 90, 255, 90};
  for (int i = 0; i < 4; ++i) SetPixel(src.dc(), i, 0, levels[i]);
  SetStretchBltMode(dst.dc(), HALFTONE);
  StretchBlt(dst.dc(), 0, 0, 10, 1, src.dc(), 1, 0, 3, 1, SRCCOPY);
  EXPECT_EQ(GetPixel(dst.dc(), 3, 0), 238u);
}

TEST(Stretch, HalftoneOntoMonochromeTakesTheFirstColour) {
  Canvas src(2, 1, 1), dst(5, 1, 1);
  src.Fill(RGB(255, 255, 255));
  dst.Fill(RGB(255, 255, 255));
  SetStretchBltMode(dst.dc(), HALFTONE);
  StretchBlt(dst.dc(), 1, 0, 3, 1, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dst.dc(), 2, 0), 0u);
  EXPECT_EQ(GetPixel(dst.dc(), 4, 0), RGB(255, 255, 255));
}

}  // namespace
}  // namespace gdi::test
