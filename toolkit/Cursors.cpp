// The standard cursors, drawn here so that every platform shows the same
// ones, and their names for streams.
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "base/AsciiCase.h"
#include "toolkit/Forms.h"

namespace toolkit {

namespace {

struct CursorName {
  TCursor cursor;
  const char* name;
};

constexpr std::array kCursorNames{
    CursorName{crDefault, "crDefault"},     CursorName{crNone, "crNone"},
    CursorName{crArrow, "crArrow"},         CursorName{crCross, "crCross"},
    CursorName{crIBeam, "crIBeam"},         CursorName{crSizeNESW, "crSizeNESW"},
    CursorName{crSizeNS, "crSizeNS"},       CursorName{crSizeNWSE, "crSizeNWSE"},
    CursorName{crSizeWE, "crSizeWE"},       CursorName{crUpArrow, "crUpArrow"},
    CursorName{crHourGlass, "crHourGlass"}, CursorName{crDrag, "crDrag"},
    CursorName{crNoDrop, "crNoDrop"},       CursorName{crHSplit, "crHSplit"},
    CursorName{crVSplit, "crVSplit"},       CursorName{crMultiDrag, "crMultiDrag"},
    CursorName{crSQLWait, "crSQLWait"},     CursorName{crNo, "crNo"},
    CursorName{crAppStart, "crAppStart"},   CursorName{crHelp, "crHelp"},
    CursorName{crHandPoint, "crHandPoint"}, CursorName{crSizeAll, "crSizeAll"},
};

constexpr int kSize = 32;
constexpr std::uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

platform::CursorImage Blank(int hotX, int hotY) {
  platform::CursorImage image;
  image.width = image.height = kSize;
  image.hotX = hotX;
  image.hotY = hotY;
  image.argb.assign(kSize * kSize, 0);
  return image;
}

// Pictures: 'X' black, '.' white, anything else clear; the first row at `top`.
platform::CursorImage FromPicture(std::initializer_list<std::string_view> rows, int left, int top, int hotX,
                                  int hotY) {
  platform::CursorImage image = Blank(hotX, hotY);
  int y = top;
  for (std::string_view row : rows) {
    for (std::size_t x = 0; x < row.size(); ++x) {
      const int px = left + static_cast<int>(x);
      if (px >= kSize || y >= kSize) continue;
      std::uint32_t& p = image.argb[static_cast<std::size_t>(y * kSize + px)];
      if (row[x] == 'X') p = kBlack;
      if (row[x] == '.') p = kWhite;
    }
    ++y;
  }
  return image;
}

// A shape given as a set of pixels, drawn black with a white edge around it
// so that it shows on any background.
platform::CursorImage FromShape(const std::function<bool(int, int)>& inside, int hotX, int hotY) {
  platform::CursorImage image = Blank(hotX, hotY);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      std::uint32_t& p = image.argb[static_cast<std::size_t>(y * kSize + x)];
      if (inside(x, y)) {
        p = kBlack;
        continue;
      }
      for (int dy = -1; dy <= 1 && !p; ++dy)
        for (int dx = -1; dx <= 1 && !p; ++dx)
          if (inside(x + dx, y + dy)) p = kWhite;
    }
  return image;
}

platform::CursorImage Arrow() {
  return FromPicture({"X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X", "X.......X",
                      "X........X", "X.....XXXXX", "X..X..X", "X.X X..X", "XX  X..X", "X    X..X",
                      "     X..X", "      X..X", "      X..X", "       XX"},
                     0, 0, 0, 0);
}

platform::CursorImage HandPoint() {
  return FromPicture(
      {"     XX", "    X..X", "    X..X", "    X..X", "    X..X", "    X..XXX", "    X..X..XXX",
       "    X..X..X..XX", "    X..X..X..X.X", "XXX X........X.X", "X..XX..........X", " X.............X",
       "  X............X", "  X...........X", "   X..........X", "   X.........X", "    X........X",
       "    X........X", "    XXXXXXXXXX"},
      8, 6, 13, 6);
}

platform::CursorImage HourGlass() {
  return FromPicture(
      {"XXXXXXXXXXXXX", "X...........X", " XXXXXXXXXXX", " X.........X", " X.X.X.X.X.X", "  X.X.X.X.X",
       "   X.X.X.X", "    X.X.X", "     X.X", "     X.X", "    X...X", "   X.....X", "  X...X...X",
       " X...X.X...X", " X..X.X.X..X", " X.X.X.X.X.X", " XXXXXXXXXXX", "X...........X", "XXXXXXXXXXXXX"},
      10, 7, 16, 16);
}

platform::CursorImage IBeam() {
  return FromPicture({"XXX XXX", "   X", "   X", "   X", "   X", "   X", "   X", "   X", "   X", "   X",
                      "   X", "   X", "   X", "   X", "   X", "XXX XXX"},
                     13, 8, 16, 15);
}

// A double-headed arrow through the centre along (dx, dy).
bool DoubleArrow(int x, int y, int dx, int dy) {
  const double cx = x - 15.5, cy = y - 15.5;
  const double len = std::sqrt(static_cast<double>(dx * dx + dy * dy));
  const double along = (cx * dx + cy * dy) / len, across = (-cx * dy + cy * dx) / len;
  const double a = std::abs(along), c = std::abs(across);
  if (a > 11) return false;
  if (a > 6) return c <= 11 - a;  // the heads
  return c <= 1;                  // the shaft
}

bool NoSign(int x, int y) {
  const double cx = x - 15.5, cy = y - 15.5;
  const double r = std::sqrt(cx * cx + cy * cy);
  if (r >= 8 && r <= 10.5) return true;
  return r < 8 && std::abs(cx + cy) <= 1.5;  // the bar, top right to bottom left
}

platform::CursorImage Standard(TCursor cursor) {
  switch (cursor) {
    case crArrow:
    case crDefault:
    case crHelp:
    case crDrag:
    case crMultiDrag: return Arrow();
    case crHandPoint: return HandPoint();
    case crHourGlass:
    case crSQLWait:
    case crAppStart: return HourGlass();
    case crIBeam: return IBeam();
    case crCross:
      return FromShape(
          [](int x, int y) { return (x == 15 && y >= 5 && y <= 25) || (y == 15 && x >= 5 && x <= 25); }, 15,
          15);
    case crSizeWE:
    case crHSplit: return FromShape([](int x, int y) { return DoubleArrow(x, y, 1, 0); }, 15, 15);
    case crSizeNS:
    case crVSplit: return FromShape([](int x, int y) { return DoubleArrow(x, y, 0, 1); }, 15, 15);
    case crSizeNWSE: return FromShape([](int x, int y) { return DoubleArrow(x, y, 1, 1); }, 15, 15);
    case crSizeNESW: return FromShape([](int x, int y) { return DoubleArrow(x, y, 1, -1); }, 15, 15);
    case crSizeAll:
      return FromShape([](int x, int y) { return DoubleArrow(x, y, 1, 0) || DoubleArrow(x, y, 0, 1); }, 15,
                       15);
    case crUpArrow:
      return FromShape(
          [](int x, int y) {
            const int c = std::abs(x - 15);
            return (y >= 4 && y < 12 && c <= y - 4) || (y >= 12 && y <= 27 && c <= 1);
          },
          15, 4);
    case crNo:
    case crNoDrop: return FromShape(NoSign, 15, 15);
    case crNone: return Blank(0, 0);
    default: return {};
  }
}

}  // namespace

platform::CursorImage StandardCursorImage(TCursor cursor) { return Standard(cursor); }

bool CursorToIdent(TCursor cursor, std::string& ident) {
  for (const auto& entry : kCursorNames)
    if (entry.cursor == cursor) {
      ident = entry.name;
      return true;
    }
  return false;
}

bool IdentToCursor(const std::string& ident, TCursor& cursor) {
  for (const auto& entry : kCursorNames)
    if (base::SameAsciiText(entry.name, ident)) {
      cursor = entry.cursor;
      return true;
    }
  // The old name of the four-way arrow.
  if (base::SameAsciiText(ident, "crSize")) {
    cursor = crSize;
    return true;
  }
  return false;
}

}  // namespace toolkit
