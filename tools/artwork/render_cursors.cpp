// Draws the program's own cursors, 32 x 32 each, into a folder as
// cursor-2001.cur ... cursor-2031.cur (one 32-bit entry with its AND mask).
// resources/cursors/README.md lists them; keep it in step with Cursors().
//
// The files are committed; after changing a drawing, re-render them with
//   build/bin/render_cursors resources/cursors
// Every run gives the same bytes.
//
// Two styles keep every cursor visible on any background: white shapes
// with a black outline, and black shapes with a white edge around them.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tools/artwork/Output.h"
#include "tools/artwork/Paint.h"

namespace artwork {

namespace {

namespace fs = std::filesystem;

constexpr int kSide = 32;
constexpr int kC = 15;  // the centre of symmetric drawings: pixels 0..30 mirror about it

constexpr std::uint32_t kRed = 0xFFE02020;
constexpr std::uint32_t kGrey = 0xFF909090;

// ---- masks and images -------------------------------------------------------------

struct Mask {
  std::array<bool, kSide * kSide> on{};
  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < kSide && y < kSide && on[std::size_t(y * kSide + x)];
  }
  void Set(int x, int y) {
    if (x >= 0 && y >= 0 && x < kSide && y < kSide) on[std::size_t(y * kSide + x)] = true;
  }
};

Mask Where(const std::function<bool(int, int)>& inside) {
  Mask m;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      if (inside(x, y)) m.Set(x, y);
  return m;
}

Mask operator|(const Mask& a, const Mask& b) {
  Mask m;
  for (std::size_t i = 0; i < m.on.size(); ++i) m.on[i] = a.on[i] || b.on[i];
  return m;
}

Mask operator-(const Mask& a, const Mask& b) {
  Mask m;
  for (std::size_t i = 0; i < m.on.size(); ++i) m.on[i] = a.on[i] && !b.on[i];
  return m;
}

// The mask and the pixels next to it: across edges only (thin outlines on
// diagonals), or across corners too (square corners, a fuller edge).
Mask Grow(const Mask& m, bool corners) {
  return Where([&](int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        if (!corners && dx != 0 && dy != 0) continue;
        if (m.At(x + dx, y + dy)) return true;
      }
    return false;
  });
}

Mask Transposed(const Mask& m) {
  return Where([&](int x, int y) { return m.At(y, x); });
}
Mask MirroredX(const Mask& m) {
  return Where([&](int x, int y) { return m.At(2 * kC - x, y); });
}

struct Image {
  std::array<std::uint32_t, kSide * kSide> px{};
  void Fill(const Mask& m, std::uint32_t colour) {
    for (std::size_t i = 0; i < px.size(); ++i)
      if (m.on[i]) px[i] = colour;
  }
};

// A black shape with a white edge around it.
void Solid(Image& image, const Mask& shape) {
  image.Fill(Grow(shape, true), kWhite);
  image.Fill(shape, kBlack);
}
Image Solid(const Mask& shape) {
  Image image;
  Solid(image, shape);
  return image;
}

// A shape filled with `colour` inside a black outline; `edged` puts a white
// edge around the outline too, for shapes whose fill does not carry them on
// a dark background.
void Outlined(Image& image, const Mask& fill, bool squareCorners, bool edged = false,
              std::uint32_t colour = kWhite) {
  const Mask outline = Grow(fill, squareCorners);
  if (edged) image.Fill(Grow(outline, true), kWhite);
  image.Fill(outline, kBlack);
  image.Fill(fill, colour);
}

// The pixels of a picture that are drawn at all, for edging it.
Mask Covered(const Image& image) {
  Mask m;
  for (std::size_t i = 0; i < m.on.size(); ++i) m.on[i] = image.px[i] != kClear;
  return m;
}

double Distance(int x, int y, double cx = kC, double cy = kC) { return std::hypot(x - cx, y - cy); }

// A disc about the centre whose rows step evenly: x^2 + y^2 <= r^2 + r.
Mask Disc(int r) {
  return Where([r](int x, int y) { return (x - kC) * (x - kC) + (y - kC) * (y - kC) <= r * r + r; });
}

// ---- pointers ------------------------------------------------------------------------

// The arrow of every pointer: tip at (0, 0), head 12 wide, tail slanting
// down to the right.
void Arrow(Image& image) {
  Picture(image.px, kSide, 0, 0,
          {"X",         "XX",        "X.X",        "X..X",        "X...X",        "X....X",    "X.....X",
           "X......X",  "X.......X", "X........X", "X.........X", "X......XXXXX", "X...X..X",  "X..XX..X",
           "X.X  X..X", "XX   X..X", "X     X..X", "      X..X",  "       X..X",  "        XX"});
}

Image PlainArrow() {
  Image image;
  Arrow(image);
  return image;
}

// The arrow with a small picture at its lower right, edged white.
Image ArrowWith(int left, int top, std::initializer_list<std::string_view> badge) {
  Image image;
  Arrow(image);
  Image mark;
  Picture(mark.px, kSide, left, top, badge);
  image.Fill(Grow(Covered(mark), true) - Covered(image), kWhite);
  for (std::size_t i = 0; i < image.px.size(); ++i)
    if (mark.px[i] != kClear) image.px[i] = mark.px[i];
  return image;
}

Image ArrowCopy() {
  return ArrowWith(13, 14,
                   {"XXXXXXXXXXX", "X.........X", "X....X....X", "X....X....X", "X....X....X", "X.XXXXXXX.X",
                    "X....X....X", "X....X....X", "X....X....X", "X.........X", "XXXXXXXXXXX"});
}

Image ArrowLink() {
  return ArrowWith(13, 14,
                   {"XXXXXXXXXXX", "X.........X", "X....XXXX.X", "X.....XXX.X", "X....XXXX.X", "X...XXX.X.X",
                    "X..XXX....X", "X..XX.....X", "X..XX.....X", "X.........X", "XXXXXXXXXXX"});
}

Image ArrowHelp() {
  return ArrowWith(
      15, 8, {" XXXXX", "XX...XX", "XX...XX", "     XX", "    XX", "   XX", "   XX", "", "   XX", "   XX"});
}

Image ArrowBusy() {
  return ArrowWith(14, 13,
                   {"XXXXXXXXX", " X.....X", " X.....X", "  X...X", "   X.X", "   X.X", "  X.X.X", " X..X..X",
                    " X.XXX.X", " XXXXXXX", "XXXXXXXXX"});
}

Image ArrowMenu() {
  return ArrowWith(13, 15,
                   {"XXXXXXXXXXX", "X.........X", "X.XXXXXXX.X", "X.........X", "X.XXXXXXX.X", "X.........X",
                    "X.XXXXXXX.X", "X.........X", "XXXXXXXXXXX"});
}

// ---- hands -----------------------------------------------------------------------------

// The hands are drawn alike: fingers two pixels wide between shared
// outlines, the thumb at the left, the knuckles' creases stopping at the palm.
Image HandOpen() {
  Image image;
  Picture(
      image.px, kSide, 6, 3,
      {"        XX", "     XXX..XXX", "    X..X..X..X", "    X..X..X..XXX", "    X..X..X..X..X",
       "    X..X..X..X..X", "XX  X..X..X..X..X", "X.X X..X..X..X..X", "X..XX..X..X..X..X",
       " X..X..X..X..X..X", " X..............X", "  X.............X", "  X.............X",
       "   X............X", "   X............X", "    X..........X", "    X..........X", "    XXXXXXXXXXXX"});
  return image;
}

Image HandGrab() {
  Image image;
  Picture(image.px, kSide, 6, 8,
          {"     XX XX XX", "    X..X..X..XXX", "    X..X..X..X..X", " XX X..X..X..X..X", "X..XX..X..X..X..X",
           "X...X...........X", " X..............X", "  X.............X", "   X............X",
           "    X..........X", "    X..........X", "     X........X", "     XXXXXXXXXX"});
  return image;
}

Image HandPoint() {
  Image image;
  Picture(image.px, kSide, 8, 2,
          {"     XX",           "    X..X",          "    X..X",          "    X..X",
           "    X..X",          "    X..X",          "    X..XXX",        "    X..X..XXX",
           "    X..X..X..XXX",  "    X..X..X..X..X", " XX X..X..X..X..X", "X..XX..X..X..X..X",
           "X...X...........X", " X..............X", "  X.............X", "   X............X",
           "    X..........X",  "    X..........X",  "     X........X",   "     X........X",
           "     XXXXXXXXXX"});
  return image;
}

// ---- zoom --------------------------------------------------------------------------------

// A lens centred on (11, 11) with its handle to the lower right.
Image Magnifier(bool plus) {
  constexpr int c = 11;
  Image image;
  const Mask glass = Where([](int x, int y) { return Distance(x, y, c, c) < 6.5; });
  const Mask rim = Where([](int x, int y) {
    const double d = Distance(x, y, c, c);
    return d >= 6.5 && d < 8.5;
  });
  const Mask handle = Where([](int x, int y) {
    const int along = (x - c) + (y - c), across = (x - c) - (y - c);
    return along >= 14 && along <= 27 && std::abs(across) <= 2;
  });
  Solid(image, rim | handle);
  image.Fill(glass, kWhite);
  const Mask sign = Where([&](int x, int y) {
    const bool bar = y == c && std::abs(x - c) <= 3;
    const bool post = plus && x == c && std::abs(y - c) <= 3;
    return bar || post;
  });
  image.Fill(sign, kBlack);
  return image;
}

// ---- drag and drop ----------------------------------------------------------------------

Image DragSingle() {
  Image image;
  Arrow(image);
  // A dotted outline of what is being dragged, black and white by turns.
  const int x0 = 12, y0 = 17, x1 = 25, y1 = 26;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      if (x != x0 && x != x1 && y != y0 && y != y1) continue;
      image.px[std::size_t(y * kSide + x)] = (x + y) % 2 ? kWhite : kBlack;
    }
  return image;
}

Image DragMultiple() {
  Image image;
  Arrow(image);
  for (int i = 2; i >= 0; --i) {
    const int x0 = 12 + 3 * i, y0 = 14 + 3 * i;
    const Mask sheet = Where([&](int x, int y) { return x > x0 && x < x0 + 9 && y > y0 && y < y0 + 7; });
    Outlined(image, sheet, true);
  }
  return image;
}

// A ring with a bar from top left to bottom right, on a white disc.
Image NoDrop() {
  Image image;
  const Mask inner = Disc(7);
  const Mask bar = Where([&](int x, int y) { return std::abs(x - y) <= 1 && inner.At(x, y); });
  Solid(image, (Disc(10) - inner) | bar);
  image.Fill(inner - bar, kWhite);
  return image;
}

// ---- cross-hairs -----------------------------------------------------------------------

Image CrossThin() {
  return Solid(Where([](int x, int y) {
    return (x == kC && std::abs(y - kC) <= 10) || (y == kC && std::abs(x - kC) <= 10);
  }));
}

Image CrossCircle() {
  return Solid(Where([](int x, int y) {
    const bool ring = std::abs(Distance(x, y) - 8) < 0.5;
    const bool lines = (x == kC && std::abs(y - kC) <= 13) || (y == kC && std::abs(x - kC) <= 13);
    return ring || lines;
  }));
}

// Long hairs that stop short of the centre, leaving it clear but for a dot.
Image CrossPrecise() {
  return Solid(Where([](int x, int y) {
    const int dx = std::abs(x - kC), dy = std::abs(y - kC);
    if (dx == 0 && dy == 0) return true;
    return (x == kC && dy >= 4 && dy <= 14) || (y == kC && dx >= 4 && dx <= 14);
  }));
}

// ---- resize and move -----------------------------------------------------------------

// A double-headed arrow along x through the centre, tips `reach` from it.
Mask LevelArrow(int reach) {
  return Where([reach](int x, int y) {
    const int a = std::abs(x - kC), c = std::abs(y - kC);
    if (a > reach) return false;
    const int head = reach - a;  // 0 at the tip
    if (head <= 4) return c <= head;
    return c == 0;
  });
}

// A double-headed arrow along the diagonal from top left to bottom right,
// its heads right-angled with their legs along x and y.
Mask SlantArrow() {
  constexpr int tip = 5, legs = 6;
  return Where([](int x, int y) {
    if (x + y > 2 * kC) x = 2 * kC - x, y = 2 * kC - y;  // symmetric about the centre
    if (x < tip || y < tip) return false;
    return (x - tip) + (y - tip) <= legs || x == y;
  });
}

Image SizeWE() { return Solid(LevelArrow(11)); }

Image SizeNS() { return Solid(Transposed(LevelArrow(11))); }

Image SizeNWSE() { return Solid(SlantArrow()); }

Image SizeNESW() { return Solid(MirroredX(SlantArrow())); }

Image Move() {
  const Mask centre = Where([](int x, int y) { return std::abs(x - kC) <= 1 && std::abs(y - kC) <= 1; });
  return Solid(LevelArrow(13) | Transposed(LevelArrow(13)) | centre);
}

// ---- splitters -----------------------------------------------------------------------

// A bar of two lines across, with arrows up and down from it.
Mask RowSplitter() {
  return Where([](int x, int y) {
    const int dx = std::abs(x - kC), dy = std::abs(y - kC);
    if (dy == 2 && dx <= 10) return true;  // the bar
    if (dy < 4 || dy > 11) return false;
    const int head = 11 - dy;
    if (head <= 4) return dx <= head;
    return dx == 0;
  });
}

Image SplitRows() { return Solid(RowSplitter()); }

Image SplitColumns() { return Solid(Transposed(RowSplitter())); }

// ---- media marks ---------------------------------------------------------------------

Image Play() {
  return Solid(Where([](int x, int y) { return x >= 9 && (x - 9) + 2 * std::abs(y - kC) <= 12; }));
}

Image Record() {
  Image image;
  Outlined(image, Disc(6), false, true, kRed);
  return image;
}

Image Stop() {
  return Solid(Where([](int x, int y) { return std::abs(x - kC) <= 5 && std::abs(y - kC) <= 5; }));
}

Image Pause() {
  return Solid(Where([](int x, int y) {
    const int dx = std::abs(x - kC);
    return dx >= 2 && dx <= 5 && std::abs(y - kC) <= 6;
  }));
}

// ---- tools ---------------------------------------------------------------------------

// Coordinates along and across a tool lying from its tip at (tipX, tipY) up
// to the right at 45 degrees: `along` grows by 2 for each diagonal step.
struct Slant {
  int along, across;
};
Slant SlantAt(int x, int y, int tipX, int tipY) {
  const int p = x - tipX, q = tipY - y;
  return {p + q, p - q};
}

constexpr int kTipX = 1, kTipY = 30;

Image Pencil() {
  auto part = [](int lo, int hi) {
    return Where([=](int x, int y) {
      const Slant s = SlantAt(x, y, kTipX, kTipY);
      const int a = std::abs(s.across);
      if (s.along < lo || s.along > hi) return false;
      if (s.along <= 9) return 3 * a <= s.along;  // the sharpened cone
      return a <= 3;
    });
  };
  Image image;
  const Mask whole = part(0, 48);
  Outlined(image, whole, false, true);
  image.Fill(part(0, 3), kBlack);    // the lead
  image.Fill(part(38, 41), kGrey);   // the metal band
  image.Fill(part(42, 48), kBlack);  // the eraser
  image.Fill(Where([](int x, int y) {
               const Slant s = SlantAt(x, y, kTipX, kTipY);
               return s.across == 0 && s.along > 14 && s.along < 38;
             }),
             kGrey);
  return image;
}

Image Eyedropper() {
  const Mask tube = Where([](int x, int y) {
    const Slant s = SlantAt(x, y, kTipX, kTipY);
    const int a = std::abs(s.across);
    if (s.along < 0) return false;
    if (s.along <= 10) return a <= 1 && (s.along >= 2 || a == 0);
    return s.along <= 30 && a <= 3;
  });
  const Mask collar = Where([](int x, int y) {
    const Slant s = SlantAt(x, y, kTipX, kTipY);
    return s.along >= 31 && s.along <= 34 && std::abs(s.across) <= 5;
  });
  const Mask bulb = Where([](int x, int y) {
    const Slant s = SlantAt(x, y, kTipX, kTipY);
    const double u = (s.along - 42) / 8.0, v = s.across / 4.5;
    return s.along > 34 && u * u + v * v <= 1;
  });
  // A drop at the tip and a column of ink in the glass.
  const Mask ink = Where([](int x, int y) {
    const Slant s = SlantAt(x, y, kTipX, kTipY);
    return s.along <= 2 || (s.along >= 12 && s.along <= 20 && std::abs(s.across) <= 1);
  });
  Image image;
  Outlined(image, tube, false);
  Solid(image, collar | bulb);
  image.Fill(Where([&](int x, int y) { return ink.At(x, y) && tube.At(x, y); }), kBlack);
  return image;
}

// A wristwatch: white face, black strap, hands at three o'clock.
Image Watch() {
  Image image;
  const Mask strap = Where([](int x, int y) { return std::abs(x - kC) <= 4 && std::abs(y - kC) <= 13; });
  const Mask crown = Where([](int x, int y) { return x >= kC + 9 && x <= kC + 10 && std::abs(y - kC) <= 1; });
  const Mask face = Where([](int x, int y) { return Distance(x, y) < 7.5; });
  const Mask rim = Grow(face, false) - face;
  Solid(image, strap | crown | rim | Grow(rim, false));
  image.Fill(face, kWhite);
  image.Fill(Where([](int x, int y) {
               const int dx = x - kC, dy = y - kC;
               const bool hour = dy == 0 && dx >= 0 && dx <= 3;
               const bool minute = dx == 0 && dy <= 0 && dy >= -5;
               const bool ticks = (std::abs(dx) == 6 && dy == 0) || (std::abs(dy) == 6 && dx == 0);
               return hour || minute || ticks;
             }),
             kBlack);
  return image;
}

// ---- the list ------------------------------------------------------------------------

struct CursorDef {
  int id;
  const char* name;
  int hotX, hotY;
  Image (*draw)();
};

Image ZoomIn() { return Magnifier(true); }
Image ZoomOut() { return Magnifier(false); }

const std::vector<CursorDef>& Cursors() {
  static const std::vector<CursorDef> list{
      {2001, "Arrow", 0, 0, PlainArrow},
      {2002, "ArrowCopy", 0, 0, ArrowCopy},
      {2003, "ArrowLink", 0, 0, ArrowLink},
      {2004, "ArrowHelp", 0, 0, ArrowHelp},
      {2005, "ArrowBusy", 0, 0, ArrowBusy},
      {2006, "ArrowMenu", 0, 0, ArrowMenu},
      {2007, "HandOpen", 15, 16, HandOpen},
      {2008, "HandGrab", 15, 15, HandGrab},
      {2009, "HandPoint", 13, 2, HandPoint},
      {2010, "ZoomIn", 11, 11, ZoomIn},
      {2011, "ZoomOut", 11, 11, ZoomOut},
      {2012, "DragSingle", 0, 0, DragSingle},
      {2013, "DragMultiple", 0, 0, DragMultiple},
      {2014, "NoDrop", kC, kC, NoDrop},
      {2015, "CrossThin", kC, kC, CrossThin},
      {2016, "CrossCircle", kC, kC, CrossCircle},
      {2017, "CrossPrecise", kC, kC, CrossPrecise},
      {2018, "SizeWE", kC, kC, SizeWE},
      {2019, "SizeNS", kC, kC, SizeNS},
      {2020, "SizeNWSE", kC, kC, SizeNWSE},
      {2021, "SizeNESW", kC, kC, SizeNESW},
      {2022, "Move", kC, kC, Move},
      {2023, "SplitRows", kC, kC, SplitRows},
      {2024, "SplitColumns", kC, kC, SplitColumns},
      {2025, "Play", kC, kC, Play},
      {2026, "Record", kC, kC, Record},
      {2027, "Stop", kC, kC, Stop},
      {2028, "Pause", kC, kC, Pause},
      {2029, "Pencil", kTipX, kTipY, Pencil},
      {2030, "Eyedropper", kTipX, kTipY, Eyedropper},
      {2031, "Watch", kC, kC, Watch},
  };
  return list;
}

// ---- the .cur file -------------------------------------------------------------------

// One 32 x 32 entry: the info header (height counting both masks), BGRA
// rows, then the AND mask (1 where clear), both bottom-up.
Bytes Cur(const Image& image, int hotX, int hotY) {
  constexpr std::uint32_t kMaskStride = 4;
  constexpr std::uint32_t kImageBytes = 40 + kSide * kSide * 4 + kMaskStride * kSide;
  Writer w;
  w.U16(0), w.U16(2), w.U16(1);
  w.U8(kSide), w.U8(kSide), w.U8(0), w.U8(0);
  w.U16(unsigned(hotX)), w.U16(unsigned(hotY)), w.U32(kImageBytes), w.U32(6 + 16);
  w.U32(40), w.U32(kSide), w.U32(2 * kSide), w.U16(1), w.U16(32);
  w.U32(0), w.U32(kImageBytes - 40), w.U32(0), w.U32(0), w.U32(0), w.U32(0);
  for (int y = kSide - 1; y >= 0; --y)
    for (int x = 0; x < kSide; ++x) {
      const std::uint32_t p = image.px[std::size_t(y * kSide + x)];
      w.U8(p & 0xFF), w.U8((p >> 8) & 0xFF), w.U8((p >> 16) & 0xFF), w.U8(p >> 24);
    }
  for (int y = kSide - 1; y >= 0; --y) {
    std::uint32_t bits = 0;
    for (int x = 0; x < kSide; ++x)
      if (image.px[std::size_t(y * kSide + x)] == kClear) bits |= 0x80000000u >> x;
    for (int shift = 24; shift >= 0; shift -= 8) w.U8((bits >> shift) & 0xFF);
  }
  return w.out;
}

void RenderAll(const fs::path& dir) {
  fs::create_directories(dir);
  for (const CursorDef& c : Cursors()) {
    const Image image = c.draw();
    WriteFile(dir / ("cursor-" + std::to_string(c.id) + ".cur"), Cur(image, c.hotX, c.hotY));
  }
}

}  // namespace

}  // namespace artwork

int main(int argc, char** argv) {
  return artwork::RunRenderer(argc, argv, "render_cursors", artwork::RenderAll);
}
