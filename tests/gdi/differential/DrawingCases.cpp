// Seeded drawing cases for comparing two implementations of the device-context
// API: built natively against gdi/ and, for Windows, against <windows.h> (run
// under wine). Each case draws into small memory bitmaps and prints one line,
//   CATEGORY INDEX TAG HASH
// where HASH is the FNV-1a hash of the destination's pixels read back with
// GetPixel and TAG marks cases whose difference may be kept ("overlap",
// "brush-origin") or is "-". `drawing_cases CATEGORY INDEX` prints that
// case's pixels instead.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include "gdi/Gdi.h"
using namespace gdi;
#endif

namespace {

struct Rng {
  std::uint32_t state;
  std::uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
};

// ---- bitmaps of each kind, the same on both sides ----------------------------

enum class Kind { Colour, Mono, Pal4, Pal8 };

COLORREF PaletteColour(int bits, int index) {
  if (bits == 4) {
    static const COLORREF k16[16] = {
        RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
        RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
        RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
    return k16[index];
  }
  // 256 distinct colours, none of them black or white but the ends.
  if (index == 0) return RGB(0, 0, 0);
  if (index == 255) return RGB(255, 255, 255);
  return RGB(static_cast<BYTE>(index), static_cast<BYTE>((index * 37) & 0xFF),
             static_cast<BYTE>(255 - index));
}

HBITMAP Section(int width, int height, int bits) {
  const int colours = bits <= 8 ? 1 << bits : 0;
#ifdef _WIN32
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD table[256];
  } info{};
  BITMAPINFOHEADER& header = info.header;
#else
  BITMAPINFOHEADER header;
  RGBQUAD table[256]{};
  RGBQUAD* const tableOut = table;
#endif
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bits);
  header.biCompression = BI_RGB;
  header.biClrUsed = static_cast<DWORD>(colours);
#ifdef _WIN32
  RGBQUAD* const tableOut = info.table;
#endif
  for (int i = 0; i < colours; ++i) {
    const COLORREF c = PaletteColour(bits, i);
    tableOut[i].rgbRed = GetRValue(c);
    tableOut[i].rgbGreen = GetGValue(c);
    tableOut[i].rgbBlue = GetBValue(c);
  }
#ifdef _WIN32
  void* bitsOut = nullptr;
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bitsOut, nullptr,
                          0);
#else
  return CreateDIBSection(0, header, std::span<const RGBQUAD>(table, static_cast<std::size_t>(colours)));
#endif
}

HBITMAP MakeBitmap(Kind kind, int width, int height) {
  switch (kind) {
    case Kind::Colour: return Section(width, height, 32);
    case Kind::Mono: return CreateBitmap(width, height, 1, 1, nullptr);
    case Kind::Pal4: return Section(width, height, 4);
    case Kind::Pal8: return Section(width, height, 8);
  }
  return 0;
}

COLORREF RandomColour(Rng& rng, Kind kind) {
  switch (kind) {
    case Kind::Mono: return rng.Chance(50) ? RGB(0, 0, 0) : RGB(255, 255, 255);
    case Kind::Pal4: return PaletteColour(4, rng.Below(16));
    case Kind::Pal8: return PaletteColour(8, rng.Below(256));
    case Kind::Colour: break;
  }
  // Few distinct channel values, so the raster operations meet equal bits.
  static const BYTE levels[] = {0, 0x40, 0x80, 0xC0, 0xFF, 0x5A};
  const BYTE r = levels[rng.Below(6)];
  const BYTE g = levels[rng.Below(6)];
  return RGB(r, g, levels[rng.Below(6)]);
}

// A memory context holding a new bitmap of `kind`, filled with random pixels.
struct Surface {
  HDC dc = 0;
  HBITMAP bitmap = 0;
  HGDIOBJ old = 0;
  int width = 0, height = 0;

  Surface(Kind kind, int w, int h, Rng& rng) : width(w), height(h) {
    dc = CreateCompatibleDC(0);
    bitmap = MakeBitmap(kind, w, h);
    old = SelectObject(dc, bitmap);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) SetPixel(dc, x, y, RandomColour(rng, kind));
  }
  ~Surface() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
};

// A brush made and selected for the life of the object (or the null brush).
struct Brush {
  HDC dc;
  HBRUSH brush = 0;
  HGDIOBJ old;
  Brush(HDC d, COLORREF colour, bool null = false) : dc(d) {
    if (!null) brush = CreateSolidBrush(colour);
    old = SelectObject(dc, null ? GetStockObject(NULL_BRUSH) : brush);
  }
  ~Brush() {
    SelectObject(dc, old);
    if (brush) DeleteObject(brush);
  }
};

struct Pen {
  HDC dc;
  HPEN pen;
  HGDIOBJ old;
  Pen(HDC d, int style, int width, COLORREF colour) : dc(d), pen(CreatePen(style, width, colour)) {
    old = SelectObject(dc, pen);
  }
  ~Pen() {
    SelectObject(dc, old);
    DeleteObject(pen);
  }
};

std::uint64_t Hash(const Surface& s) {
  std::uint64_t h = 14695981039346656037ull;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      const COLORREF c = GetPixel(s.dc, x, y);
      for (int b = 0; b < 4; ++b) {
        h ^= (c >> (8 * b)) & 0xFF;
        h *= 1099511628211ull;
      }
    }
  return h;
}

void Dump(const Surface& s) {
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) std::printf(" %06lx", static_cast<unsigned long>(GetPixel(s.dc, x, y)));
    std::printf("\n");
  }
}

// Random numbers drawn one statement at a time: the order in which a call's
// arguments are evaluated is the compiler's.
struct Area {
  int x, y, w, h;
};
Area Pick(Rng& rng, int x0, int x1, int y0, int y1, int w0, int w1, int h0, int h1) {
  Area a{};
  a.x = rng.Between(x0, x1);
  a.y = rng.Between(y0, y1);
  a.w = rng.Between(w0, w1);
  a.h = rng.Between(h0, h1);
  return a;
}

DWORD Rop3(int index) { return static_cast<DWORD>(index & 0xFF) << 16; }

const DWORD kSourceRops[] = {SRCCOPY,    SRCPAINT,    SRCAND,    SRCINVERT, SRCERASE,
                             NOTSRCCOPY, NOTSRCERASE, MERGECOPY, MERGEPAINT};
const DWORD kPatternRops[] = {PATCOPY,
                              PATINVERT,
                              DSTINVERT,
                              BLACKNESS,
                              WHITENESS,
                              0x000A0329 /* PDna */,
                              0x00500325 /* PDna */,
                              0x00A000C9 /* DPa */,
                              0x00FA0089 /* DPo */};

// Grey levels a brush on a monochrome bitmap may have to be dithered from.
COLORREF BrushForMono(Rng& rng) {
  static const COLORREF kBrushes[] = {RGB(0, 0, 0),       RGB(255, 255, 255), RGB(128, 128, 128),
                                      RGB(192, 192, 192), RGB(64, 64, 64),    RGB(255, 0, 0),
                                      RGB(0, 0, 255),     RGB(32, 32, 32),    RGB(224, 224, 224)};
  return rng.Chance(25) ? RandomColour(rng, Kind::Colour) : kBrushes[rng.Below(9)];
}

// A grey brush on a monochrome bitmap is dithered; with an operation that
// reads both the brush and a source, wine lays that dither from a point that
// moves with the source rectangle, where gdi/ keeps it fixed to the bitmap.
std::string BrushOriginTag(COLORREF brush, DWORD rop) {
  const int grey = (GetRValue(brush) * 30 + GetGValue(brush) * 59 + GetBValue(brush) * 11) / 100;
  const unsigned table = (rop >> 16) & 0xFF;
  const bool pattern = (table >> 4) != (table & 0x0F), source = ((table >> 2) & 0x33) != (table & 0x33);
  return grey >= 2 && grey < 254 && pattern && source ? "brush-origin" : "-";
}

// ---- the categories ----------------------------------------------------------

// A case draws and returns the hash of what it drew; `tag` may mark it.
using CaseFn = std::uint64_t (*)(int index, Rng& rng, bool dump, std::string& tag);

std::uint64_t Finish(const Surface& s, bool dump) {
  if (dump) Dump(s);
  return Hash(s);
}

// Colour to colour, every ternary operation twice; the second time half of
// the cases copy within one bitmap.
std::uint64_t BitBltColour(int index, Rng& rng, bool dump, std::string& tag) {
  Surface dst(Kind::Colour, 12, 10, rng);
  Surface src(Kind::Colour, 12, 10, rng);
  Brush brush(dst.dc, RandomColour(rng, Kind::Colour));
  const int w = rng.Between(1, 9), h = rng.Between(1, 8);
  const int x = rng.Between(-2, 8), y = rng.Between(-2, 6);
  const int sx = rng.Between(-1, 6), sy = rng.Between(-1, 5);
  HDC from = src.dc;
  if (index >= 256 && rng.Chance(50)) {
    from = dst.dc;
    const bool apart = x + w <= sx || sx + w <= x || y + h <= sy || sy + h <= y;
    if (!apart) tag = "overlap";
  }
  BitBlt(dst.dc, x, y, w, h, from, sx, sy, Rop3(index));
  return Finish(dst, dump);
}

// Colour to monochrome and back, with random text and background colours.
std::uint64_t MonoConversions(int index, Rng& rng, bool dump, std::string& tag) {
  const bool toMono = index % 2 == 0;
  Surface dst(toMono ? Kind::Mono : Kind::Colour, 11, 9, rng);
  Surface src(toMono ? Kind::Colour : Kind::Mono, 11, 9, rng);
  const COLORREF fill = toMono ? BrushForMono(rng) : RandomColour(rng, Kind::Colour);
  Brush brush(dst.dc, fill);
  SetBkColor(toMono ? src.dc : dst.dc, RandomColour(rng, Kind::Colour));
  SetTextColor(dst.dc, RandomColour(rng, Kind::Colour));
  if (toMono && rng.Chance(30)) {
    const int x = rng.Below(11);
    SetBkColor(src.dc, GetPixel(src.dc, x, rng.Below(9)));
  }
  const DWORD rop = rng.Chance(70) ? kSourceRops[rng.Below(9)] : Rop3(rng.Below(256));
  const Area a = Pick(rng, -1, 3, -1, 3, 1, 10, 1, 8), from = Pick(rng, 0, 3, 0, 3, 0, 0, 0, 0);
  BitBlt(dst.dc, a.x, a.y, a.w, a.h, src.dc, from.x, from.y, rop);
  if (toMono) tag = BrushOriginTag(fill, rop);
  return Finish(dst, dump);
}

// Monochrome to monochrome with every kind of brush.
std::uint64_t MonoBrushes(int index, Rng& rng, bool dump, std::string& tag) {
  Surface dst(Kind::Mono, 16, 8, rng);
  Surface src(Kind::Mono, 16, 8, rng);
  const COLORREF fill = BrushForMono(rng);
  Brush brush(dst.dc, fill);
  const DWORD rop = index < 128 ? Rop3(index * 2 + 1) : kPatternRops[rng.Below(3)];
  const Area a = Pick(rng, -1, 4, -1, 2, 4, 16, 2, 8), from = Pick(rng, 0, 2, 0, 2, 0, 0, 0, 0);
  BitBlt(dst.dc, a.x, a.y, a.w, a.h, src.dc, from.x, from.y, rop);
  tag = BrushOriginTag(fill, rop);
  return Finish(dst, dump);
}

std::uint64_t PatBlts(int, Rng& rng, bool dump, std::string&) {
  const Kind kind = rng.Chance(60) ? Kind::Colour : Kind::Mono;
  Surface dst(kind, 12, 10, rng);
  const bool null = rng.Chance(15);
  Brush brush(dst.dc, kind == Kind::Mono ? BrushForMono(rng) : RandomColour(rng, kind), null);
  int w = rng.Between(0, 9), h = rng.Between(0, 8);
  if (rng.Chance(30)) w = -w;
  if (rng.Chance(30)) h = -h;
  const DWORD rop = rng.Chance(80) ? kPatternRops[rng.Below(9)] : PATCOPY;
  const int x = rng.Between(-2, 11);
  PatBlt(dst.dc, x, rng.Between(-2, 9), w, h, rop);
  return Finish(dst, dump);
}

std::uint64_t StretchBlts(int index, Rng& rng, bool dump, std::string&) {
  const Kind dkind = rng.Chance(70) ? Kind::Colour : Kind::Mono;
  const Kind skind = rng.Chance(70) ? dkind : (dkind == Kind::Colour ? Kind::Mono : Kind::Colour);
  Surface dst(dkind, 14, 12, rng);
  Surface src(skind, 10, 9, rng);
  Brush brush(dst.dc, dkind == Kind::Mono ? RGB(0, 0, 0) : RandomColour(rng, dkind));
  if (index >= 40) {
    static const int kModes[] = {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE};
    SetStretchBltMode(dst.dc, kModes[(index - 40) % 4]);
  }
  int dw = rng.Between(1, 13), dh = rng.Between(1, 11);
  int sw = rng.Between(1, 9), sh = rng.Between(1, 8);
  if (rng.Chance(15)) dw = -dw;
  if (rng.Chance(15)) sh = -sh;
  const int dx = dw < 0 ? rng.Between(-dw - 1, 13) : rng.Between(0, 14 - dw);
  const int sy = sh < 0 ? rng.Between(-sh - 1, 8) : rng.Between(0, 9 - sh);
  const DWORD rop = rng.Chance(70) ? SRCCOPY : kSourceRops[rng.Below(9)];
  const int dy = rng.Between(0, 12 - dh), sx = rng.Between(0, 10 - sw);
  StretchBlt(dst.dc, dx, dy, dw, dh, src.dc, sx, sy, sw, sh, rop);
  return Finish(dst, dump);
}

void RandomClip(HDC dc, Rng& rng) {
  const Area a = Pick(rng, -2, 12, -2, 10, -2, 12, -2, 10);
  IntersectClipRect(dc, a.x, a.y, a.w, a.h);  // right and bottom may come before left and top
}

// Clipping in a second context, set before or after its bitmap is selected.
std::uint64_t Clipping(int, Rng& rng, bool dump, std::string&) {
  const Kind kind = rng.Chance(70) ? Kind::Colour : Kind::Mono;
  Surface dst(kind, 12, 10, rng);
  SelectObject(dst.dc, dst.old);
  HDC dc = CreateCompatibleDC(0);
  const bool clipFirst = rng.Chance(30);
  if (clipFirst) RandomClip(dc, rng);
  HGDIOBJ before = SelectObject(dc, dst.bitmap);
  if (!clipFirst) {
    const int x = rng.Between(-3, 3);
    SetWindowOrgEx(dc, x, rng.Between(-3, 3), nullptr);
    RandomClip(dc, rng);
    if (rng.Chance(40)) RandomClip(dc, rng);
  }
  {
    Brush brush(dc, RandomColour(rng, kind));
    const int what = rng.Below(3);
    const Area a = Pick(rng, -2, 6, -2, 5, 1, 12, 1, 10);
    if (what == 0) {
      PatBlt(dc, a.x, a.y, a.w, a.h, PATCOPY);
    } else if (what == 1) {
      Rectangle(dc, a.x, a.y, a.x + a.w, a.y + a.h);
    } else {
      Surface src(kind, 12, 10, rng);
      BitBlt(dc, a.x, a.y, a.w, a.h, src.dc, 0, 0, SRCCOPY);
    }
  }
  SelectObject(dc, before);
  DeleteDC(dc);
  SelectObject(dst.dc, dst.bitmap);
  return Finish(dst, dump);
}

std::uint64_t Shapes(int index, Rng& rng, bool dump, std::string&) {
  const Kind kind = rng.Chance(75) ? Kind::Colour : Kind::Mono;
  Surface dst(kind, 16, 14, rng);
  static const int kStyles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  const int style = kStyles[rng.Below(7)];
  const bool styled = style >= PS_DASH && style <= PS_DASHDOTDOT;
  const int width = styled ? rng.Below(2) : rng.Between(0, 4);
  Pen pen(dst.dc, style, width, RandomColour(rng, kind));
  const COLORREF fill = RandomColour(rng, kind);
  Brush brush(dst.dc, fill, rng.Chance(20));
  SetBkMode(dst.dc, rng.Chance(50) ? OPAQUE : TRANSPARENT);
  SetBkColor(dst.dc, RandomColour(rng, kind));
  if (rng.Chance(30)) SetROP2(dst.dc, rng.Between(1, 16));
  if (index % 2 == 0) {
    int l = rng.Between(-1, 12), t = rng.Between(-1, 10);
    int r = rng.Chance(10) ? l : rng.Between(-1, 16), b = rng.Chance(10) ? t : rng.Between(-1, 14);
    Rectangle(dst.dc, l, t, r, b);
  } else {
    const Area from = Pick(rng, 0, 15, 0, 13, 0, 0, 0, 0);
    MoveToEx(dst.dc, from.x, from.y, nullptr);
    const int segments = rng.Between(1, 3);
    for (int i = 0; i < segments; ++i) {
      const Area to = Pick(rng, -2, 17, -2, 15, 0, 0, 0, 0);
      LineTo(dst.dc, to.x, to.y);
    }
  }
  return Finish(dst, dump);
}

std::uint64_t Palettes(int index, Rng& rng, bool dump, std::string&) {
  const Kind kind = index % 2 == 0 ? Kind::Pal4 : Kind::Pal8;
  Surface dst(kind, 10, 8, rng);
  Surface src(kind, 10, 8, rng);
  Brush brush(dst.dc, RandomColour(rng, kind));
  const int what = rng.Below(3);
  if (what == 0) {
    const Area a = Pick(rng, -1, 4, -1, 3, 1, 10, 1, 8), from = Pick(rng, 0, 3, 0, 3, 0, 0, 0, 0);
    BitBlt(dst.dc, a.x, a.y, a.w, a.h, src.dc, from.x, from.y, Rop3(rng.Below(256)));
  } else if (what == 1) {
    const Area a = Pick(rng, -1, 4, -1, 3, 1, 10, 1, 8);
    PatBlt(dst.dc, a.x, a.y, a.w, a.h, kPatternRops[rng.Below(9)]);
  } else {
    Pen pen(dst.dc, PS_SOLID, 1, RandomColour(rng, kind));
    SetROP2(dst.dc, rng.Between(1, 16));
    const Area a = Pick(rng, -1, 5, -1, 4, 3, 11, 3, 9);
    Rectangle(dst.dc, a.x, a.y, a.w, a.h);
  }
  return Finish(dst, dump);
}

struct Category {
  const char* name;
  int cases;
  CaseFn run;
};

const Category kCategories[] = {
    {"bitblt-colour", 512, BitBltColour},
    {"mono-conversions", 256, MonoConversions},
    {"mono-brushes", 256, MonoBrushes},
    {"patblt", 200, PatBlts},
    {"stretchblt", 200, StretchBlts},
    {"clipping", 200, Clipping},
    {"shapes", 300, Shapes},
    {"palettes", 300, Palettes},
};

std::uint32_t Seed(const char* name, int index) {
  std::uint32_t s = 2166136261u;
  for (const char* p = name; *p; ++p) s = (s ^ static_cast<unsigned char>(*p)) * 16777619u;
  s ^= static_cast<std::uint32_t>(index) * 2654435761u;
  return s ? s : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* only = argc >= 3 ? argv[1] : nullptr;
  const int onlyIndex = argc >= 3 ? std::atoi(argv[2]) : -1;
  for (const Category& category : kCategories) {
    if (only && std::strcmp(only, category.name) != 0) continue;
    for (int i = 0; i < category.cases; ++i) {
      if (only && i != onlyIndex) continue;
      Rng rng{Seed(category.name, i)};
      std::string tag = "-";
      const std::uint64_t hash = category.run(i, rng, only != nullptr, tag);
      std::printf("%s %d %s %016llx\n", category.name, i, tag.c_str(), static_cast<unsigned long long>(hash));
    }
  }
  return 0;
}
