// Draws Lumivant's artwork into a folder:
//
//   background.bmp     300 x 300, the main window: the title over a black band
//                      and an arranger keyboard lit from the right, its left
//                      side falling into shadow where the controls sit
//   scr.bmp            120 x 25, the word "Screenshot"
//   form-icon.ico      16 x 16, 16 colours, mottled yellow, olive and white
//   lumivant.ico       the application icon, 48/32/16 px in 256 and 16 colours
//   lumivant-NN.png    the application icon in true colour: the icon file's
//                      48/32/16 px images, and 128 and 256 px for desktops
//                      that show it larger
//
// The files are committed; after changing the drawing, re-render them with
//   build/bin/render_artwork resources/art
// Every run gives the same bytes (no clock, no randomness, fixed fonts).

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "gdi/BmpFile.h"
#include "gdi/Gdi.h"
#include "tools/artwork/Output.h"
#include "tools/artwork/Paint.h"

namespace artwork {

namespace {

namespace fs = std::filesystem;

// ---- the canvas -------------------------------------------------------------------

struct Canvas {
  int w, h;
  std::vector<Rgb> px;
  Canvas(int width, int height) : w(width), h(height), px(std::size_t(width) * height) {}
  Rgb& At(int x, int y) { return px[std::size_t(y) * w + x]; }
  const Rgb& At(int x, int y) const { return px[std::size_t(y) * w + x]; }
  void Blend(int x, int y, Rgb c, double alpha) { At(x, y) = Mix(At(x, y), c, alpha); }
};

// ---- shapes -------------------------------------------------------------------

Box Circle(double cx, double cy, double r) { return {cx - r, cy - r, cx + r, cy + r, r}; }
Box Moved(Box b, double dx, double dy) { return {b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy, b.r}; }

// Calls fn(x, y, distance) for every pixel within `margin` of the box.
template <class Fn>
void ForEachNear(const Canvas& c, const Box& b, double margin, Fn fn) {
  const int y0 = std::max(0, int(std::floor(b.y0 - margin)));
  const int y1 = std::min(c.h, int(std::ceil(b.y1 + margin)));
  const int x0 = std::max(0, int(std::floor(b.x0 - margin)));
  const int x1 = std::min(c.w, int(std::ceil(b.x1 + margin)));
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) fn(x, y, Distance(b, x + 0.5, y + 0.5));
}

using Shader = std::function<Rgb(double x, double y)>;
Shader Flat(Rgb c) {
  return [c](double, double) { return c; };
}
Shader Vertical(const Box& b, Rgb top, Rgb bottom) {
  return [=](double, double y) { return Mix(top, bottom, Clamp01((y - b.y0) / (b.y1 - b.y0))); };
}

// Fills the box with anti-aliased edges. With `relief` the rim `rim` pixels
// wide turns towards white where it faces the light and towards black where
// it faces away (a raised part; negative relief sinks it).
void Paint(Canvas& c, const Box& b, const Shader& face, double relief = 0, double rim = 1) {
  ForEachNear(c, b, 1, [&](int x, int y, double d) {
    const double cover = Clamp01(0.5 - d);
    if (cover <= 0) return;
    const double px = x + 0.5, py = y + 0.5;
    Rgb col = face(px, py);
    if (relief != 0) {
      const double nx = Distance(b, px + 0.5, py) - Distance(b, px - 0.5, py);
      const double ny = Distance(b, px, py + 0.5) - Distance(b, px, py - 0.5);
      const double facing = relief * (nx * kLightX + ny * kLightY) / std::max(std::hypot(nx, ny), 1e-9);
      const double edge = SmoothStep(-rim, 0.0, d);
      col = Mix(col, facing > 0 ? Grey(255) : Grey(0), std::min(std::abs(facing) * edge, 1.0));
    }
    c.Blend(x, y, col, cover);
  });
}

// Darkens softly around the box: the shadow a part casts, away from the light.
void Shadow(Canvas& c, const Box& b, double soft, double strength) {
  ForEachNear(c, b, soft, [&](int x, int y, double d) {
    c.At(x, y) = c.At(x, y) * (1 - strength * (1 - SmoothStep(-soft, soft, d)));
  });
}

// Adds a soft round glow of the given colour: a highlight on a shiny part.
void Glow(Canvas& c, double cx, double cy, double r, Rgb col, double strength) {
  ForEachNear(c, Circle(cx, cy, r), 0, [&](int x, int y, double d) {
    const double a = strength * SmoothStep(0, r, -d);
    c.At(x, y) = c.At(x, y) + col * a;
  });
}

// ---- text ---------------------------------------------------------------------

// The layer's text is aliased; drawing it this many times larger and
// averaging it down gives smooth edges.
constexpr int kSuper = 4;

struct Mask {
  int w = 0, h = 0;
  std::vector<double> a;
};

// Keeps only ink whose whole disc of radius `r` is ink: thins every stroke.
std::vector<std::uint8_t> Erode(const std::vector<std::uint8_t>& ink, int w, int h, int r) {
  std::vector<std::uint8_t> out(ink.size(), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool all = ink[std::size_t(y) * w + x] != 0;
      for (int dy = -r; all && dy <= r; ++dy)
        for (int dx = -r; all && dx <= r; ++dx) {
          if (dx * dx + dy * dy > r * r) continue;
          const int sx = x + dx, sy = y + dy;
          all = sx >= 0 && sy >= 0 && sx < w && sy < h && ink[std::size_t(sy) * w + sx] != 0;
        }
      out[std::size_t(y) * w + x] = all;
    }
  return out;
}

Mask Downsample(const std::vector<std::uint8_t>& ink, int w, int h) {
  Mask m{w / kSuper, h / kSuper, {}};
  m.a.assign(std::size_t(m.w) * m.h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      m.a[std::size_t(y / kSuper) * m.w + x / kSuper] += ink[std::size_t(y) * w + x];
  for (double& v : m.a) v /= kSuper * kSuper;
  return m;
}

// The text's coverage in Tahoma of `em` pixels, strokes thinned by `thin`
// pixels of the large drawing.
Mask RenderText(const std::string& text, int em, bool bold, int thin) {
  const gdi::HDC dc = gdi::CreateCompatibleDC(0);
  gdi::LOGFONTA lf;
  lf.lfHeight = -em * kSuper;
  lf.lfWeight = bold ? gdi::FW_BOLD : gdi::FW_NORMAL;
  std::strcpy(lf.lfFaceName, "Tahoma");
  const gdi::HFONT font = gdi::CreateFontIndirectA(&lf);
  gdi::SelectObject(dc, font);
  gdi::SIZE extent;
  gdi::GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &extent);
  const int pad = 2 * kSuper;
  const int w = (extent.cx + 2 * pad + kSuper - 1) / kSuper * kSuper;
  const int h = (extent.cy + kSuper - 1) / kSuper * kSuper;

  gdi::BITMAPINFOHEADER header;
  header.biWidth = w;
  header.biHeight = -h;
  header.biBitCount = 24;
  const gdi::HBITMAP bitmap = gdi::CreateDIBSection(dc, header);
  gdi::SelectObject(dc, bitmap);
  gdi::SetTextColor(dc, gdi::RGB(255, 255, 255));
  gdi::SetBkMode(dc, gdi::TRANSPARENT);
  gdi::TextOutA(dc, pad, 0, text.c_str(), int(text.size()));

  std::vector<std::uint8_t> ink(std::size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    const gdi::BYTE* row = gdi::GetBitmapRow(bitmap, y);
    for (int x = 0; x < w; ++x) ink[std::size_t(y) * w + x] = row[3 * x] != 0;
  }
  gdi::DeleteDC(dc);
  gdi::DeleteObject(bitmap);
  gdi::DeleteObject(font);
  return Downsample(thin > 0 ? Erode(ink, w, h, thin) : ink, w, h);
}

// Draws the mask with its top-left corner at (x, y).
void DrawMask(Canvas& c, const Mask& m, int x, int y, const Shader& colour) {
  for (int my = 0; my < m.h; ++my)
    for (int mx = 0; mx < m.w; ++mx) {
      const int cx = x + mx, cy = y + my;
      if (cx < 0 || cy < 0 || cx >= c.w || cy >= c.h) continue;
      c.Blend(cx, cy, colour(cx + 0.5, cy + 0.5), m.a[std::size_t(my) * m.w + mx]);
    }
}

void DrawCentredText(Canvas& c, const Mask& m, int y, const Shader& colour) {
  DrawMask(c, m, (c.w - m.w) / 2, y, colour);
}

// ---- the main window's background ---------------------------------------------

// Brushed metal: faint streaks along the rows over a vertical gradient.
Shader BrushedMetal(const Box& b, Rgb top, Rgb bottom) {
  return [=](double x, double y) {
    const double streak = Noise(0, int(y), 7) * 10 + Noise(int(x) / 9, int(y), 8) * 5 - 7.5;
    return Mix(top, bottom, Clamp01((y - b.y0) / (b.y1 - b.y0))) + Grey(streak);
  };
}

// A small plastic panel button with its shadow.
void Button(Canvas& c, const Box& b, double shade) {
  Shadow(c, Moved(b, -1.2, 1.2), 1.5, 0.55);
  Paint(c, b, Vertical(b, Grey(shade + 25), Grey(shade - 15)), 0.45, 1.2);
}

void DrawCabinet(Canvas& c) {
  const Box body{-20, 116, 320, 340, 12};
  Paint(c, body, Vertical(body, Grey(78), Grey(30)), 0.55, 3);
  const Box panel{-10, 122, 310, 232, 7};
  Paint(c, panel, BrushedMetal(panel, Grey(176), Grey(122)), 0.4, 2.5);
  // The felt strip in front of the keys.
  Paint(c, Box{-10, 238.5, 310, 241, 0}, Flat({125, 22, 24}));
}

void DrawScreen(Canvas& c) {
  const Box bezel{107, 127, 263, 218, 5};
  Shadow(c, Moved(bezel, -2, 2), 3, 0.6);
  Paint(c, bezel, Vertical(bezel, Grey(58), Grey(26)), 0.5, 2);
  const Box glass{113, 132, 257, 213, 2};
  Paint(
      c, glass,
      [&](double x, double y) {
        const Rgb base = Mix({17, 27, 46}, {5, 8, 15}, (y - glass.y0) / (glass.y1 - glass.y0));
        // A faint diagonal reflection across the glass.
        return base + Grey(7 * SmoothStep(14, 0, std::abs(x - 0.7 * y - 95)));
      },
      -0.5, 2);
  // Dim menu labels at the screen's edges, beside the buttons that pick them.
  const Rgb label{20, 36, 64};
  Paint(c, Box{116, 135, 254, 140, 1}, Flat(label));
  for (int row = 0; row < 5; ++row) {
    const double y = 147 + row * 11;
    Paint(c, Box{117, y, 137, y + 5, 1}, Flat(label));
    Paint(c, Box{233, y, 253, y + 5, 1}, Flat(label));
  }
  for (int tab = 0; tab < 8; ++tab) {
    const double x = 117 + tab * 17.4;
    Paint(c, Box{x, 205, x + 14, 209.5, 1}, Flat(label * 0.8));
  }
}

void DrawPanelButtons(Canvas& c) {
  // One button beside each menu label, left and right of the screen.
  for (int row = 0; row < 5; ++row) {
    const double y = 147 + row * 11;
    Button(c, Box{94, y, 103, y + 6, 1.5}, 120);
    Button(c, Box{267, y, 276, y + 6, 1.5}, 120);
  }
  // Pairs under the screen, then a long row continuing to the left.
  for (int k = 0; k < 8; ++k) {
    const double x = 117 + k * 17.4;
    Button(c, Box{x, 220.5, x + 13, 224.5, 1.2}, 112);
    Button(c, Box{x, 226, x + 13, 230, 1.2}, 96);
  }
  for (int k = 0; k < 6; ++k) {
    const double x = 6 + k * 16;
    Button(c, Box{x, 223, x + 11, 229, 1.2}, 120);
  }
  // A cluster above the dial at the right end, some with lit indicators.
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 2; ++col) {
      const double x = 282 + col * 12, y = 134 + row * 10;
      Button(c, Box{x, y, x + 9, y + 5.5, 1.3}, 140);
      if ((row + col) % 2 == 0) Paint(c, Box{x + 1.5, y - 2.2, x + 3.5, y - 0.8, 0.7}, Flat({255, 70, 50}));
    }
}

void DrawDial(Canvas& c) {
  const double cx = 289, cy = 197, r = 12;
  Shadow(c, Circle(cx - 2.5, cy + 2.5, r), 3, 0.7);
  const Box dial = Circle(cx, cy, r);
  Paint(c, dial, Vertical(dial, Grey(200), Grey(90)), 0.6, 2.5);
  const Box top = Circle(cx, cy, r - 3);
  Paint(c, top, Vertical(top, Grey(120), Grey(175)), 0.4, 1.5);
  Paint(c, Circle(cx + 3.5, cy - 3, 1.8), Flat(Grey(95)), -0.6, 1.2);
  Glow(c, cx + 4, cy - 6, 5, Grey(255), 0.35);
}

// The keyboard's white key index within an octave after which a black key sits.
bool HasBlackKeyAfter(int whiteKey) {
  const int inOctave = ((whiteKey % 7) + 7) % 7;
  return inOctave != 2 && inOctave != 6;
}

void DrawKeys(Canvas& c) {
  constexpr double kTop = 241, kWidth = 11, kLeft = -3, kBlackWidth = 7, kBlackEnd = 277;
  const int count = int((c.w - kLeft) / kWidth) + 1;
  for (int i = 0; i < count; ++i) {
    const double x = kLeft + i * kWidth;
    const Box key{x + 0.5, kTop - 4, x + kWidth - 0.5, c.h + 4.0, 1.5};
    Paint(c, key, Vertical(key, Grey(150), Grey(238)), 0.4, 1.5);
  }
  // The rail's shadow falls on the far end of the keys.
  Shadow(c, Box{-10, 230, 310, kTop, 0}, 3, 0.6);
  for (int i = -1; i < count; ++i) {
    if (!HasBlackKeyAfter(i)) continue;
    const double x = kLeft + (i + 1) * kWidth;
    const Box key{x - kBlackWidth / 2, kTop - 4, x + kBlackWidth / 2, kBlackEnd, 1.5};
    Shadow(c, Moved(key, -2, 2), 2.5, 0.55);
    Paint(c, key, Vertical(key, Grey(6), Grey(34)), 0.5, 1.8);
    // The sloped front end catches the light.
    Paint(c, Box{key.x0 + 1, kBlackEnd - 5, key.x1 - 1, kBlackEnd - 1, 1}, Flat(Grey(62)), 0.4, 1);
  }
}

// The keyboard is lit from the right; its left side falls into darkness,
// which keeps the labels and controls drawn over it readable.
void LightFromRight(Canvas& c) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const double light = SmoothStep(195, 355, x + 0.52 * y);
      c.At(x, y) = c.At(x, y) * (light * (0.85 + 0.15 * light));
    }
}

void DrawTitle(Canvas& c) {
  const Mask title = RenderText("Lumivant", 40, false, 3);
  DrawCentredText(c, title, 2, [](double, double y) { return Mix(Grey(236), Grey(176), (y - 8) / 34); });
  const Mask subtitle = RenderText("Screenshots for Tyros and Tyros 2", 11, false, 0);
  DrawCentredText(c, subtitle, 44, Flat(Grey(128)));
}

Canvas DrawBackground() {
  Canvas c(300, 300);
  DrawCabinet(c);
  DrawScreen(c);
  DrawPanelButtons(c);
  DrawDial(c);
  DrawKeys(c);
  LightFromRight(c);
  DrawTitle(c);
  return c;
}

Canvas DrawCaption() {
  Canvas c(120, 25);
  const Mask word = RenderText("Screenshot", 17, false, 0);
  DrawMask(c, word, (c.w - word.w) / 2, 1, Flat(Grey(160)));
  return c;
}

// ---- icons ----------------------------------------------------------------------

// The application icon, designed on a 48-pixel grid and scaled to `size`.
Canvas DrawAppIcon(int size) {
  Canvas c(size, size);
  const double u = size / 48.0;
  const Box ground{0, 0, double(size), double(size), 0};
  Paint(c, ground, Vertical(ground, {44, 46, 54}, {12, 13, 16}));
  // Rows of short bars, the panel buttons either side.
  const double barHeight = std::max(2.6 * u, 1.0);
  for (int row = 0; row < 4; ++row) {
    const double y = std::round((19 + row * 7) * u);
    for (const double x : {3.0, 38.0}) {
      const Box bar{std::round(x * u), y, std::round((x + 7) * u), y + barHeight, 0.6 * u};
      Paint(c, bar, Vertical(bar, Grey(215), Grey(135)), 0.3, u);
    }
  }
  // The lens: a silver barrel, a black mount, blue glass with reflections.
  const double cx = 24 * u, cy = 29.5 * u;
  const Box barrel = Circle(cx, cy, 13.5 * u);
  Shadow(c, Moved(barrel, -u, u), 2 * u, 0.6);
  Paint(c, barrel, Vertical(barrel, Grey(225), Grey(95)), 0.5, 2 * u);
  Paint(c, Circle(cx, cy, 10.5 * u), Flat(Grey(10)), -0.4, u);
  const Box glass = Circle(cx, cy, 8.5 * u);
  Paint(c, glass, Vertical(glass, {15, 30, 110}, {30, 64, 220}));
  Paint(c, Circle(cx, cy, 4 * u), Flat({4, 8, 20}));
  Glow(c, cx + 3 * u, cy - 4 * u, 3.5 * u, Grey(255), 0.9);
  Glow(c, cx - 3.5 * u, cy + 4 * u, 1.6 * u, {120, 170, 255}, 0.6);
  // White lettering above; at 16 pixels only a hint of it.
  if (size >= 32) {
    DrawCentredText(c, RenderText("LUM", int(std::lround(11 * u)), true, 0), int(std::lround(1.5 * u)),
                    Flat(Grey(250)));
  } else {
    for (const double x : {4.0, 7.0, 10.0}) Paint(c, Box{x, 2, x + 2, 4, 0.3}, Flat(Grey(240)));
  }
  return c;
}

// ---- palettes and colour reduction ----------------------------------------------

struct Indexed {
  int size = 0;
  int bits = 0;
  std::vector<gdi::RGBQUAD> palette;  // 1 << bits entries
  std::vector<std::uint8_t> index;    // size * size, rows top-down
};

gdi::RGBQUAD Quad(int r, int g, int b) { return {gdi::BYTE(b), gdi::BYTE(g), gdi::BYTE(r), 0}; }

// The sixteen colours every display could show, in their usual order.
std::vector<gdi::RGBQUAD> VgaPalette() {
  return {Quad(0, 0, 0),       Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
          Quad(0, 0, 128),     Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192),
          Quad(128, 128, 128), Quad(255, 0, 0),   Quad(0, 255, 0),   Quad(255, 255, 0),
          Quad(0, 0, 255),     Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
}

// The 256 most frequent colours, each the mean of the pixels that fall into
// one cell of a 16-level colour cube; ties go to the lower cell.
std::vector<gdi::RGBQUAD> PopularPalette(const Canvas& c) {
  struct Cell {
    int count = 0;
    Rgb sum;
  };
  std::map<int, Cell> cells;
  for (const Rgb& p : c.px) {
    Cell& cell = cells[(ToByte(p.r) >> 4) << 8 | (ToByte(p.g) >> 4) << 4 | ToByte(p.b) >> 4];
    ++cell.count;
    cell.sum = cell.sum + p;
  }
  std::vector<std::pair<int, Cell>> ranked(cells.begin(), cells.end());
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.second.count > b.second.count; });
  std::vector<gdi::RGBQUAD> palette(256);
  for (std::size_t i = 0; i < std::min<std::size_t>(ranked.size(), 256); ++i) {
    const Rgb mean = ranked[i].second.sum * (1.0 / ranked[i].second.count);
    palette[i] = Quad(ToByte(mean.r), ToByte(mean.g), ToByte(mean.b));
  }
  return palette;
}

// Nearest palette entry, green weighted most as the eye does.
std::uint8_t Nearest(const std::vector<gdi::RGBQUAD>& palette, Rgb p) {
  std::size_t best = 0;
  double bestDistance = 1e300;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const double dr = p.r - palette[i].rgbRed, dg = p.g - palette[i].rgbGreen, db = p.b - palette[i].rgbBlue;
    const double distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (distance < bestDistance) bestDistance = distance, best = i;
  }
  return std::uint8_t(best);
}

Indexed Reduce(const Canvas& c, int bits, std::vector<gdi::RGBQUAD> palette) {
  Indexed out{c.w, bits, std::move(palette), {}};
  for (const Rgb& p : c.px) out.index.push_back(Nearest(out.palette, p));
  return out;
}

// The small form icon: olive, yellow and white blotches from smoothed noise.
Indexed DrawFormIcon() {
  constexpr int kSize = 16, kCell = 4;
  Indexed icon{kSize, 4, VgaPalette(), {}};
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int gx = x / kCell, gy = y / kCell;
      const double fx = (x % kCell + 0.5) / kCell, fy = (y % kCell + 0.5) / kCell;
      const double top = Noise(gx, gy, 3) * (1 - fx) + Noise(gx + 1, gy, 3) * fx;
      const double bottom = Noise(gx, gy + 1, 3) * (1 - fx) + Noise(gx + 1, gy + 1, 3) * fx;
      const double v = 0.65 * (top * (1 - fy) + bottom * fy) + 0.35 * Noise(x, y, 4);
      icon.index.push_back(v < 0.38 ? 3 : v < 0.66 ? 11 : 15);  // olive, yellow, white
    }
  return icon;
}

// ---- file formats ----------------------------------------------------------------

Bytes Bmp24(const Canvas& c) {
  gdi::DibImage image;
  image.width = c.w;
  image.height = c.h;
  image.bitCount = 24;
  image.bits.assign(image.Stride() * c.h, 0);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const Rgb& p = c.At(x, y);
      std::uint8_t* px = image.Row(y) + 3 * x;
      px[0] = ToByte(p.b), px[1] = ToByte(p.g), px[2] = ToByte(p.r);
    }
  return gdi::WriteBmp(image);
}

// One icon image: the info header (height counting both masks), the colour
// table, the colour rows and an all-opaque AND mask, both bottom-up.
Bytes IconImage(const Indexed& icon) {
  const std::size_t colourStride = gdi::DibImage::StrideFor(icon.size, gdi::WORD(icon.bits));
  const std::size_t maskStride = gdi::DibImage::StrideFor(icon.size, 1);
  Writer w;
  w.U32(40), w.U32(icon.size), w.U32(2 * icon.size), w.U16(1), w.U16(icon.bits);
  w.U32(0), w.U32(std::uint32_t((colourStride + maskStride) * icon.size));
  w.U32(0), w.U32(0), w.U32(0), w.U32(0);
  for (const gdi::RGBQUAD& q : icon.palette) w.U8(q.rgbBlue), w.U8(q.rgbGreen), w.U8(q.rgbRed), w.U8(0);
  const int perByte = 8 / icon.bits;
  for (int y = icon.size - 1; y >= 0; --y) {
    Bytes row(colourStride, 0);
    for (int x = 0; x < icon.size; ++x) {
      const int shift = (perByte - 1 - x % perByte) * icon.bits;
      row[std::size_t(x / perByte)] |= std::uint8_t(icon.index[std::size_t(y) * icon.size + x] << shift);
    }
    w.Append(row);
  }
  w.Append(Bytes(maskStride * icon.size, 0));
  return w.out;
}

Bytes Ico(const std::vector<Indexed>& icons) {
  Writer w;
  w.U16(0), w.U16(1), w.U16(unsigned(icons.size()));
  std::uint32_t offset = std::uint32_t(6 + 16 * icons.size());
  std::vector<Bytes> images;
  for (const Indexed& icon : icons) {
    images.push_back(IconImage(icon));
    w.U8(icon.size & 0xFF), w.U8(icon.size & 0xFF), w.U8(icon.bits == 4 ? 16 : 0), w.U8(0);
    w.U16(1), w.U16(icon.bits), w.U32(std::uint32_t(images.back().size())), w.U32(offset);
    offset += std::uint32_t(images.back().size());
  }
  for (const Bytes& image : images) w.Append(image);
  return w.out;
}

void PngChunk(Writer& w, const char* type, const Bytes& data) {
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  w.U32BigEndian(std::uint32_t(data.size()));
  w.Append(typed);
  w.U32BigEndian(std::uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
}

// Eight-bit RGB, no interlace, every row unfiltered.
Bytes Png(const Canvas& c) {
  Bytes raw;
  for (int y = 0; y < c.h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < c.w; ++x)
      for (const double v : {c.At(x, y).r, c.At(x, y).g, c.At(x, y).b}) raw.push_back(ToByte(v));
  }
  Bytes packed(compressBound(uLong(raw.size())));
  uLongf packedSize = uLongf(packed.size());
  if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 9) != Z_OK)
    throw std::runtime_error("zlib failed");
  packed.resize(packedSize);

  Writer header;
  header.U32BigEndian(std::uint32_t(c.w)), header.U32BigEndian(std::uint32_t(c.h));
  for (const unsigned v : {8u, 2u, 0u, 0u, 0u}) header.U8(v);  // depth, RGB, methods
  Writer w;
  w.Append({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
  PngChunk(w, "IHDR", header.out);
  PngChunk(w, "IDAT", packed);
  PngChunk(w, "IEND", {});
  return w.out;
}

std::string AppIconPng(int size) { return "lumivant-" + std::to_string(size) + ".png"; }

void RenderAll(const fs::path& dir) {
  fs::create_directories(dir);
  WriteFile(dir / "background.bmp", Bmp24(DrawBackground()));
  WriteFile(dir / "scr.bmp", Bmp24(DrawCaption()));
  WriteFile(dir / "form-icon.ico", Ico({DrawFormIcon()}));
  std::vector<Indexed> icons;
  for (const int size : {48, 32, 16}) {
    const Canvas art = DrawAppIcon(size);
    icons.push_back(Reduce(art, 8, PopularPalette(art)));
    icons.push_back(Reduce(art, 4, VgaPalette()));
    WriteFile(dir / AppIconPng(size), Png(art));
  }
  WriteFile(dir / "lumivant.ico", Ico(icons));
  for (const int size : {128, 256}) WriteFile(dir / AppIconPng(size), Png(DrawAppIcon(size)));
}

}  // namespace

}  // namespace artwork

int main(int argc, char** argv) {
  return artwork::RunRenderer(argc, argv, "render_artwork", artwork::RenderAll);
}
