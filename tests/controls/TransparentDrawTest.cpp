// Transparent bitmap drawing and the transparent colour helpers of Mmutils.
//
// Sections
//   1. helpers
//   2. the SRCPAINT pixel rule and the caller's bitmap
//   3. source rectangles, offsets and clipping
//   4. other destinations and raster operations
//   5. picking the transparent colour
//   6. MinMax and GetBitmapSize
//   7. module start-up, shutdown and the drawing lock
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "controls/Mmutils.h"
#include "gdi/Gdi.h"
#include "tests/gdi/GdiTestUtil.h"
#include "toolkit/Colors.h"

namespace controls {
namespace {

using gdi::COLORREF;
using gdi::HBITMAP;
using gdi::HDC;
using gdi::RGB;
using gdi::TRect;
using gdi::test::Canvas;

// ---- 1. helpers -------------------------------------------------------------

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
// One step off magenta: a loose colour compare would take it as transparent.
constexpr COLORREF kNearMagenta = RGB(254, 0, 255);

// A pixel grid, row by row.
struct Pixels {
  int width = 0, height = 0;
  std::vector<COLORREF> values;
  COLORREF at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
  friend bool operator==(const Pixels&, const Pixels&) = default;
};

Pixels Read(HDC dc, int width, int height) {
  Pixels p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.values.push_back(gdi::GetPixel(dc, x, y));
  return p;
}

// A bitmap selected into no context, as the drawing functions want it.
class Glyph {
 public:
  Glyph(int width, int height, const std::vector<COLORREF>& pixels)
      : Glyph(gdi::CreateBitmap(width, height, 1, 32, nullptr)) {
    Edit([&](HDC dc) {
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          gdi::SetPixel(dc, x, y, pixels[static_cast<std::size_t>(y) * width + x]);
    });
  }
  explicit Glyph(HBITMAP adopted) : bitmap_(adopted) {}
  ~Glyph() { gdi::DeleteObject(bitmap_); }
  Glyph(const Glyph&) = delete;
  Glyph& operator=(const Glyph&) = delete;

  HBITMAP get() const { return bitmap_; }

  Pixels Read() const {
    Pixels p;
    int width = 0, height = 0;
    GetBitmapSize(bitmap_, width, height);
    Edit([&](HDC dc) { p = controls::Read(dc, width, height); });
    return p;
  }

  // Works on the pixels through a context of its own, then lets go again.
  template <typename F>
  void Edit(F&& f) const {
    const HDC dc = gdi::CreateCompatibleDC(0);
    const gdi::HGDIOBJ old = gdi::SelectObject(dc, bitmap_);
    f(dc);
    gdi::SelectObject(dc, old);
    gdi::DeleteDC(dc);
  }

 private:
  HBITMAP bitmap_;
};

std::vector<COLORREF> RandomColours(std::mt19937& rng, std::size_t count,
                                    const std::vector<COLORREF>& choices) {
  std::vector<COLORREF> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(choices[rng() % choices.size()]);
  return out;
}

void FillRandom(const Canvas& canvas, std::mt19937& rng, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) gdi::SetPixel(canvas.dc(), x, y, rng() & 0xFFFFFF);
}

// What SRCPAINT transparent drawing must leave: the glyph's source rectangle
// at (x, y), transparent pixels keeping the destination, inside `visible`.
Pixels Expected(const Pixels& before, const Pixels& glyph, const TRect& src, int x, int y,
                COLORREF transparent, const TRect& visible) {
  Pixels out = before;
  for (int gy = src.Top; gy < src.Bottom; ++gy)
    for (int gx = src.Left; gx < src.Right; ++gx) {
      const int dx = x + gx - src.Left, dy = y + gy - src.Top;
      if (dx < visible.Left || dx >= visible.Right || dy < visible.Top || dy >= visible.Bottom) continue;
      const COLORREF g = glyph.at(gx, gy);
      if (g != transparent) out.values[static_cast<std::size_t>(dy) * out.width + dx] = g;
    }
  return out;
}

// Every test checks that a drawing call leaves no gdi object behind.
class TransparentDraw : public ::testing::Test {
 protected:
  void SetUp() override { liveAtStart_ = gdi::GdiLiveObjectCount(); }

  void DrawEx(HDC dest, const Glyph& glyph, int x, int y, const TRect& src, toolkit::TColor transparent) {
    const std::size_t before = gdi::GdiLiveObjectCount();
    DrawTransparentBitmapEx(dest, glyph.get(), x, y, src, transparent);
    EXPECT_EQ(gdi::GdiLiveObjectCount(), before) << "a drawing call leaked gdi objects";
  }

  void TearDown() override { EXPECT_EQ(gdi::GdiLiveObjectCount(), liveAtStart_); }

 private:
  std::size_t liveAtStart_ = 0;
};

// ---- 2. the SRCPAINT pixel rule and the caller's bitmap ----------------------

TEST_F(TransparentDraw, TransparentKeepsDestinationBlackPaintsBlackOthersCopy) {
  const Glyph glyph(3, 2,
                    {kMagenta, kBlack, kRed,  //
                     kNearMagenta, kWhite, kMagenta});
  Canvas dest(3, 2);
  dest.Fill(RGB(10, 200, 30));
  DrawEx(dest.dc(), glyph, 0, 0, TRect{0, 0, 3, 2}, static_cast<toolkit::TColor>(kMagenta));
  const COLORREF bg = RGB(10, 200, 30);
  EXPECT_EQ(Read(dest.dc(), 3, 2).values, (std::vector<COLORREF>{bg, kBlack, kRed,  //
                                                                 kNearMagenta, kWhite, bg}));
}

TEST_F(TransparentDraw, RandomPixelsFollowTheRule) {
  std::mt19937 rng(7);
  constexpr int kW = 13, kH = 9;
  const Glyph glyph(
      kW, kH,
      RandomColours(rng, kW * kH, {kMagenta, kBlack, kWhite, kRed, kNearMagenta, RGB(0x12, 0x34, 0x56)}));
  Canvas dest(kW, kH);
  FillRandom(dest, rng, kW, kH);
  const Pixels before = Read(dest.dc(), kW, kH);
  DrawEx(dest.dc(), glyph, 0, 0, TRect{0, 0, kW, kH}, static_cast<toolkit::TColor>(kMagenta));
  EXPECT_EQ(Read(dest.dc(), kW, kH),
            Expected(before, glyph.Read(), TRect{0, 0, kW, kH}, 0, 0, kMagenta, TRect{0, 0, kW, kH}));
}

TEST_F(TransparentDraw, BitmapUnchangedIncludingItsTransparentPixels) {
  std::mt19937 rng(11);
  constexpr int kW = 8, kH = 6;
  const Glyph glyph(kW, kH, RandomColours(rng, kW * kH, {kMagenta, kBlack, kGreen, kWhite}));
  const Pixels before = glyph.Read();
  Canvas dest(20, 20);
  dest.Fill(kWhite);
  // A source rectangle inside the bitmap too: only part of it is worked on.
  DrawEx(dest.dc(), glyph, 0, 0, TRect{0, 0, kW, kH}, static_cast<toolkit::TColor>(kMagenta));
  DrawEx(dest.dc(), glyph, 5, 5, TRect{2, 1, 7, 5}, static_cast<toolkit::TColor>(kMagenta));
  EXPECT_EQ(glyph.Read(), before);
}

TEST_F(TransparentDraw, BitmapIsFreeAgainAfterTheCall) {
  const Glyph glyph(2, 2, {kRed, kRed, kRed, kMagenta});
  Canvas dest(4, 4);
  DrawEx(dest.dc(), glyph, 0, 0, TRect{0, 0, 2, 2}, static_cast<toolkit::TColor>(kMagenta));
  // Left selected in some context, it could neither be selected nor deleted.
  const HDC dc = gdi::CreateCompatibleDC(0);
  EXPECT_NE(gdi::SelectObject(dc, glyph.get()), 0u);
  gdi::DeleteDC(dc);
}

TEST_F(TransparentDraw, SystemColourMatchedByItsCurrentValue) {
  const COLORREF face = toolkit::ColorToRGB(toolkit::clBtnFace);
  // The system colour's bare index as a colour must stay opaque.
  const COLORREF index = static_cast<COLORREF>(toolkit::clBtnFace) & 0xFFFFFF;
  ASSERT_NE(face, index);
  const Glyph glyph(3, 1, {face, index, kRed});
  Canvas dest(3, 1);
  dest.Fill(kGreen);
  DrawEx(dest.dc(), glyph, 0, 0, TRect{0, 0, 3, 1}, toolkit::clBtnFace);
  EXPECT_EQ(Read(dest.dc(), 3, 1).values, (std::vector<COLORREF>{kGreen, index, kRed}));
}

TEST_F(TransparentDraw, EmptySourceRectangleChangesNothing) {
  std::mt19937 rng(5);
  const Glyph glyph(4, 4, RandomColours(rng, 16, {kRed, kBlack, kMagenta}));
  const Pixels glyphBefore = glyph.Read();
  Canvas dest(6, 6);
  FillRandom(dest, rng, 6, 6);
  const Pixels destBefore = Read(dest.dc(), 6, 6);
  const TRect empties[] = {
      {1, 0, 1, 4},  // zero width
      {0, 2, 4, 2},  // zero height
      {3, 3, 1, 1},  // right and bottom before left and top
  };
  for (const TRect& r : empties) {
    DrawEx(dest.dc(), glyph, 1, 1, r, static_cast<toolkit::TColor>(kMagenta));
    EXPECT_EQ(Read(dest.dc(), 6, 6), destBefore) << r.Left << "," << r.Top;
    EXPECT_EQ(glyph.Read(), glyphBefore) << r.Left << "," << r.Top;
  }
}

// ---- 3. source rectangles, offsets and clipping ------------------------------

TEST_F(TransparentDraw, SourceRectangleAwayFromTheOriginAtAnOffset) {
  std::mt19937 rng(21);
  constexpr int kGW = 9, kGH = 7, kD = 16;
  const Glyph glyph(kGW, kGH, RandomColours(rng, kGW * kGH, {kMagenta, kBlack, kRed, kWhite}));
  Canvas dest(kD, kD);
  FillRandom(dest, rng, kD, kD);
  const Pixels before = Read(dest.dc(), kD, kD);
  const TRect src{3, 2, 8, 6};
  DrawEx(dest.dc(), glyph, 10, 4, src, static_cast<toolkit::TColor>(kMagenta));
  EXPECT_EQ(Read(dest.dc(), kD, kD),
            Expected(before, glyph.Read(), src, 10, 4, kMagenta, TRect{0, 0, kD, kD}));
}

TEST_F(TransparentDraw, PartlyOutsideTheDestination) {
  std::mt19937 rng(33);
  constexpr int kG = 6, kD = 10;
  const Glyph glyph(kG, kG, RandomColours(rng, kG * kG, {kMagenta, kBlack, kGreen}));
  const Pixels glyphBefore = glyph.Read();
  const struct { int x, y; } corners[] = {{-3, -2}, {7, 6}, {-4, 8}};
  for (auto [x, y] : corners) {
    Canvas dest(kD, kD);
    FillRandom(dest, rng, kD, kD);
    const Pixels before = Read(dest.dc(), kD, kD);
    DrawEx(dest.dc(), glyph, x, y, TRect{0, 0, kG, kG}, static_cast<toolkit::TColor>(kMagenta));
    EXPECT_EQ(Read(dest.dc(), kD, kD),
              Expected(before, glyphBefore, TRect{0, 0, kG, kG}, x, y, kMagenta, TRect{0, 0, kD, kD}))
        << "at " << x << "," << y;
  }
  EXPECT_EQ(glyph.Read(), glyphBefore);
}

TEST_F(TransparentDraw, DestinationClippingIsRespected) {
  std::mt19937 rng(44);
  constexpr int kG = 8, kD = 12;
  const Glyph glyph(kG, kG, RandomColours(rng, kG * kG, {kMagenta, kBlack, kRed}));
  Canvas dest(kD, kD);
  FillRandom(dest, rng, kD, kD);
  const Pixels before = Read(dest.dc(), kD, kD);
  const TRect clip{4, 3, 9, 7};
  gdi::IntersectClipRect(dest.dc(), clip.Left, clip.Top, clip.Right, clip.Bottom);
  DrawEx(dest.dc(), glyph, 2, 1, TRect{0, 0, kG, kG}, static_cast<toolkit::TColor>(kMagenta));
  gdi::SelectClipRgn(dest.dc(), nullptr);
  EXPECT_EQ(Read(dest.dc(), kD, kD),
            Expected(before, glyph.Read(), TRect{0, 0, kG, kG}, 2, 1, kMagenta, clip));
}

TEST_F(TransparentDraw, WholeBitmapWithDrawTransparentBitmap) {
  std::mt19937 rng(55);
  const Glyph glyph(5, 4, RandomColours(rng, 20, {kMagenta, kBlack, kRed, kWhite}));
  Canvas dest(10, 10);
  FillRandom(dest, rng, 10, 10);
  const Pixels before = Read(dest.dc(), 10, 10);
  const std::size_t live = gdi::GdiLiveObjectCount();
  DrawTransparentBitmap(dest.dc(), glyph.get(), 3, 5, static_cast<toolkit::TColor>(kMagenta));
  EXPECT_EQ(gdi::GdiLiveObjectCount(), live);
  EXPECT_EQ(Read(dest.dc(), 10, 10),
            Expected(before, glyph.Read(), TRect{0, 0, 5, 4}, 3, 5, kMagenta, TRect{0, 0, 10, 10}));
}

// ---- 4. other destinations and raster operations -----------------------------

TEST_F(TransparentDraw, OntoA24BitSectionDestination) {
  std::mt19937 rng(66);
  constexpr int kD = 7;
  gdi::BITMAPINFOHEADER header;
  header.biWidth = kD;
  header.biHeight = kD;
  header.biBitCount = 24;
  Canvas dest(gdi::CreateDIBSection(0, header));
  ASSERT_TRUE(gdi::IsDIBSection(dest.bitmap()));
  FillRandom(dest, rng, kD, kD);
  const Pixels before = Read(dest.dc(), kD, kD);
  const Glyph glyph(4, 4, RandomColours(rng, 16, {kMagenta, kBlack, kRed, kNearMagenta}));
  DrawEx(dest.dc(), glyph, 2, 1, TRect{0, 0, 4, 4}, static_cast<toolkit::TColor>(kMagenta));
  EXPECT_EQ(Read(dest.dc(), kD, kD),
            Expected(before, glyph.Read(), TRect{0, 0, 4, 4}, 2, 1, kMagenta, TRect{0, 0, kD, kD}));
}

TEST_F(TransparentDraw, OntoAWindowContext) {
  // A 32-bit surface of which the window owns the area (5, 4)-(15, 12).
  constexpr int kS = 20;
  Canvas surface(kS, kS);
  std::mt19937 rng(77);
  FillRandom(surface, rng, kS, kS);
  const Pixels before = Read(surface.dc(), kS, kS);
  const TRect area{5, 4, 15, 12};
  constexpr gdi::HWND kWindow = 0x4711;
  gdi::RegisterWindowSurface(kWindow, surface.bitmap(), area);
  const HDC dc = gdi::GetDC(kWindow);
  ASSERT_NE(dc, 0u);
  const Glyph glyph(6, 6, RandomColours(rng, 36, {kMagenta, kBlack, kRed}));
  // Starts above-left of the client area: only the part inside it may land.
  DrawEx(dc, glyph, -2, -1, TRect{0, 0, 6, 6}, static_cast<toolkit::TColor>(kMagenta));
  gdi::ReleaseDC(kWindow, dc);
  gdi::UnregisterWindowSurface(kWindow);
  EXPECT_EQ(Read(surface.dc(), kS, kS),
            Expected(before, glyph.Read(), TRect{0, 0, 6, 6}, area.Left - 2, area.Top - 1, kMagenta, area));
}

TEST_F(TransparentDraw, CallersRasterOperationCombinesTheBitmap) {
  const Glyph glyph(2, 1, {kMagenta, kRed});
  const Pixels glyphBefore = glyph.Read();
  const COLORREF bg = RGB(0x30, 0x60, 0x90);
  struct Case {
    gdi::DWORD rop;
    std::vector<COLORREF> want;
  } cases[] = {
      // Transparent pixels are black in the bitmap by the time it is combined.
      {gdi::SRCCOPY, {kBlack, kRed}},
      {gdi::SRCINVERT, {bg, kRed}},
      {gdi::SRCAND, {kBlack, kBlack}},
  };
  for (const Case& c : cases) {
    Canvas dest(2, 1);
    dest.Fill(bg);
    DrawTransparentBitmapROP(dest.dc(), glyph.get(), 0, 0, TRect{0, 0, 2, 1},
                             static_cast<toolkit::TColor>(kMagenta), c.rop);
    EXPECT_EQ(Read(dest.dc(), 2, 1).values, c.want) << std::hex << c.rop;
    EXPECT_EQ(glyph.Read(), glyphBefore);
  }
}

// ---- 5. picking the transparent colour --------------------------------------

class TransparentColor : public ::testing::Test {
 protected:
  // 5 x 4, every pixel a colour of its own.
  static std::vector<COLORREF> Numbered() {
    std::vector<COLORREF> v;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x)
        v.push_back(RGB(static_cast<gdi::BYTE>(10 + x), 0, static_cast<gdi::BYTE>(100 + y)));
    return v;
  }
  static toolkit::TColor At(int x, int y) {
    return static_cast<toolkit::TColor>(
        RGB(static_cast<gdi::BYTE>(10 + x), 0, static_cast<gdi::BYTE>(100 + y)));
  }
  Glyph glyph_{5, 4, Numbered()};
};

TEST_F(TransparentColor, PointInsideReadsThatPixel) {
  EXPECT_EQ(GetTransparentColorEx(glyph_.get(), gdi::TPoint{3, 2}), At(3, 2));
  EXPECT_EQ(GetTransparentColorEx(glyph_.get(), gdi::TPoint{4, 3}), At(4, 3));
}

TEST_F(TransparentColor, PointOutsideReadsTheNearestEdgePixel) {
  EXPECT_EQ(GetTransparentColorEx(glyph_.get(), gdi::TPoint{-5, -5}), At(0, 0));
  EXPECT_EQ(GetTransparentColorEx(glyph_.get(), gdi::TPoint{5 + 10, 3}), At(4, 3));
  EXPECT_EQ(GetTransparentColorEx(glyph_.get(), gdi::TPoint{2, 4}), At(2, 3));
  EXPECT_EQ(GetTransparentColorEx(glyph_.get(), gdi::TPoint{5, -1}), At(4, 0));
}

TEST_F(TransparentColor, DefaultIsTheBottomLeftPixel) {
  EXPECT_EQ(GetTransparentColor(glyph_.get()), At(0, 3));
  const Glyph single(1, 1, {RGB(1, 2, 3)});
  EXPECT_EQ(GetTransparentColor(single.get()), static_cast<toolkit::TColor>(RGB(1, 2, 3)));
}

TEST_F(TransparentColor, LeavesNothingBehindAndTheBitmapFree) {
  const std::size_t live = gdi::GdiLiveObjectCount();
  GetTransparentColor(glyph_.get());
  GetTransparentColorEx(glyph_.get(), gdi::TPoint{9, 9});
  EXPECT_EQ(gdi::GdiLiveObjectCount(), live);
  const HDC dc = gdi::CreateCompatibleDC(0);
  EXPECT_NE(gdi::SelectObject(dc, glyph_.get()), 0u);
  gdi::DeleteDC(dc);
}

TEST_F(TransparentColor, NotABitmapGivesTheInvalidColour) {
  const std::size_t live = gdi::GdiLiveObjectCount();
  EXPECT_EQ(GetTransparentColor(0), static_cast<toolkit::TColor>(gdi::CLR_INVALID));
  EXPECT_EQ(gdi::GdiLiveObjectCount(), live);
}

// ---- 6. MinMax and GetBitmapSize ---------------------------------------------

TEST(MmutilsMinMax, ClampsIntoTheRange) {
  EXPECT_EQ(MinMax(5, 0, 9), 5);
  EXPECT_EQ(MinMax(0, 0, 9), 0);
  EXPECT_EQ(MinMax(9, 0, 9), 9);
  EXPECT_EQ(MinMax(-5, 0, 9), 0);
  EXPECT_EQ(MinMax(12, 0, 9), 9);
}

TEST(MmutilsMinMax, EmptyRangeTestsTheLowBoundFirst) {
  // high < low: below low gives low, at or above low gives high.
  EXPECT_EQ(MinMax(2, 3, 1), 3);
  EXPECT_EQ(MinMax(3, 3, 1), 1);
  EXPECT_EQ(MinMax(7, 3, 1), 1);
  // What an empty bitmap's clamp does: MinMax(x, 0, -1).
  EXPECT_EQ(MinMax(0, 0, -1), -1);
}

TEST(MmutilsBitmapSize, WidthAndHeightOfColourAndMonochromeBitmaps) {
  const Glyph colour(gdi::CreateBitmap(87, 65, 1, 32, nullptr));
  const Glyph mono(gdi::CreateBitmap(17, 3, 1, 1, nullptr));
  int w = -1, h = -1;
  GetBitmapSize(colour.get(), w, h);
  EXPECT_EQ(w, 87);
  EXPECT_EQ(h, 65);
  GetBitmapSize(mono.get(), w, h);
  EXPECT_EQ(w, 17);
  EXPECT_EQ(h, 3);
  GetBitmapSize(0, w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
}

// ---- 7. module start-up, shutdown and the drawing lock -----------------------

// The tests here assume nothing else in this program started the module.
class MmutilsLifecycle : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(DrawingLockExists()) << "module already started"; }
  void TearDown() override { EXPECT_FALSE(DrawingLockExists()) << "test left the module started"; }
};

TEST_F(MmutilsLifecycle, LockExistsBetweenStartupAndShutdownOnly) {
  EXPECT_EQ(DrawingLock(), nullptr);
  MmutilsStartup();
  EXPECT_TRUE(DrawingLockExists());
  EXPECT_NE(DrawingLock(), nullptr);
  MmutilsShutdown();
  EXPECT_FALSE(DrawingLockExists());
  EXPECT_EQ(DrawingLock(), nullptr);
}

TEST_F(MmutilsLifecycle, NestedCallsWorkOnlyAtTheOutermostPair) {
  MmutilsStartup();
  std::recursive_mutex* const lock = DrawingLock();
  MmutilsStartup();
  EXPECT_EQ(DrawingLock(), lock) << "a second start-up replaced the lock";
  MmutilsShutdown();
  EXPECT_EQ(DrawingLock(), lock) << "an inner shutdown deleted the lock";
  MmutilsShutdown();
  EXPECT_FALSE(DrawingLockExists());
}

TEST_F(MmutilsLifecycle, UnmatchedShutdownCancelsTheNextStartup) {
  // One signed counter: shutdown from 0 takes it to 1, start-up back to 0.
  MmutilsShutdown();
  MmutilsStartup();
  EXPECT_FALSE(DrawingLockExists());
  MmutilsStartup();
  EXPECT_TRUE(DrawingLockExists());
  MmutilsShutdown();
}

TEST_F(MmutilsLifecycle, DrawsWithoutTheLockOutsideStartupAndShutdown) {
  const Glyph glyph(2, 1, {kMagenta, kRed});
  Canvas dest(2, 1);
  dest.Fill(kGreen);
  DrawTransparentBitmapEx(dest.dc(), glyph.get(), 0, 0, TRect{0, 0, 2, 1},
                          static_cast<toolkit::TColor>(kMagenta));
  EXPECT_EQ(Read(dest.dc(), 2, 1).values, (std::vector<COLORREF>{kGreen, kRed}));
}

TEST_F(MmutilsLifecycle, DrawingWaitsForTheLockAndReleasesIt) {
  MmutilsStartup();
  const Glyph glyph(2, 1, {kMagenta, kRed});
  Canvas dest(2, 1);
  dest.Fill(kGreen);

  DrawingLock()->lock();
  std::atomic<bool> started{false};
  std::thread drawer([&] {
    started = true;
    DrawTransparentBitmapEx(dest.dc(), glyph.get(), 0, 0, TRect{0, 0, 2, 1},
                            static_cast<toolkit::TColor>(kMagenta));
  });
  while (!started) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(gdi::GetPixel(dest.dc(), 1, 0), kGreen) << "drew while another thread held the lock";
  DrawingLock()->unlock();
  drawer.join();
  EXPECT_EQ(gdi::GetPixel(dest.dc(), 1, 0), kRed);

  // Free again once the call has returned.
  bool freeAfter = false;
  std::thread probe([&] {
    freeAfter = DrawingLock()->try_lock();
    if (freeAfter) DrawingLock()->unlock();
  });
  probe.join();
  EXPECT_TRUE(freeAfter);
  MmutilsShutdown();
}

}  // namespace
}  // namespace controls
