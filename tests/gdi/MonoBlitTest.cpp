// Blits with a black-and-white side work on packed bits. These tests run
// every such blit row by row through the working form and on packed bits
// (with the portable loops and with the widest ones the processor has), on
// random surfaces, offsets, clips, colours and operations, and want the same
// bytes; and they check both depth conversions pixel by pixel against the
// rules themselves.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "gdi/Blit.h"
#include "gdi/Gdi.h"
#include "gdi/MonoRows.h"
#include "tests/gdi/GdiTestUtil.h"

namespace gdi {
namespace {

using test::Canvas;

enum class Kind {
  Mono,             // a device-dependent monochrome bitmap
  Colour,           // a device-dependent 32-bit bitmap
  MonoSection,      // 1 bit, table black then white
  InvertedSection,  // 1 bit, table white then black
  TintedSection,    // 1 bit, two colours
  Section32,
  Masked32,  // 32 bits with its own channel masks
  Section24,
  Section16,
};

const char* Name(Kind kind) {
  switch (kind) {
    case Kind::Mono: return "mono";
    case Kind::Colour: return "colour";
    case Kind::MonoSection: return "mono section";
    case Kind::InvertedSection: return "inverted section";
    case Kind::TintedSection: return "tinted section";
    case Kind::Section32: return "32-bit section";
    case Kind::Masked32: return "masked 32-bit section";
    case Kind::Section24: return "24-bit section";
    case Kind::Section16: return "16-bit section";
  }
  return "?";
}

bool OneBit(Kind kind) {
  return kind == Kind::Mono || kind == Kind::MonoSection || kind == Kind::InvertedSection ||
         kind == Kind::TintedSection;
}

HBITMAP Make(Kind kind, int width, int height) {
  BITMAPINFOHEADER header;
  header.biWidth = width;
  header.biHeight = -height;
  switch (kind) {
    case Kind::Mono: return CreateBitmap(width, height, 1, 1, nullptr);
    case Kind::Colour: return CreateBitmap(width, height, 1, 32, nullptr);
    case Kind::MonoSection: {
      header.biBitCount = 1;
      const RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
      return CreateDIBSection(0, header, table);
    }
    case Kind::InvertedSection: {
      header.biBitCount = 1;
      const RGBQUAD table[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
      return CreateDIBSection(0, header, table);
    }
    case Kind::TintedSection: {
      header.biBitCount = 1;
      const RGBQUAD table[2] = {{40, 30, 200, 0}, {250, 240, 10, 0}};
      return CreateDIBSection(0, header, table);
    }
    case Kind::Section32: header.biBitCount = 32; return CreateDIBSection(0, header);
    case Kind::Masked32: {
      header.biBitCount = 32;
      header.biCompression = BI_BITFIELDS;
      const DWORD masks[3] = {0x000003FF, 0x000FFC00, 0x3FF00000};
      RGBQUAD colors[3];
      std::memcpy(colors, masks, sizeof masks);
      return CreateDIBSection(0, header, colors);
    }
    case Kind::Section24: header.biBitCount = 24; return CreateDIBSection(0, header);
    case Kind::Section16: header.biBitCount = 16; return CreateDIBSection(0, header);
  }
  return 0;
}

int Stride(HBITMAP bitmap) {
  BITMAP bm;
  GetObjectA(bitmap, sizeof bm, &bm);
  return bm.bmWidthBytes;
}

int Height(HBITMAP bitmap) {
  BITMAP bm;
  GetObjectA(bitmap, sizeof bm, &bm);
  return bm.bmHeight;
}

std::vector<BYTE> Bytes(HBITMAP bitmap) {
  std::vector<BYTE> out;
  const int stride = Stride(bitmap);
  for (int y = 0; y < Height(bitmap); ++y) {
    const BYTE* row = GetBitmapRow(bitmap, y);
    out.insert(out.end(), row, row + stride);
  }
  return out;
}

// Random bytes (the row padding included), with about a third of the pixels
// of a colour surface in `key`, the colour a mask is made from, and a sixth
// one bit away from it; a 32-bit surface gets stray top bytes too, which no
// result may depend on.
void FillRandom(const Canvas& canvas, Kind kind, COLORREF key, std::mt19937& rng) {
  const HBITMAP bitmap = canvas.bitmap();
  const int stride = Stride(bitmap);
  BITMAP bm;
  GetObjectA(bitmap, sizeof bm, &bm);
  for (int y = 0; y < bm.bmHeight; ++y) {
    BYTE* row = GetBitmapRow(bitmap, y);
    for (int i = 0; i < stride; ++i) row[i] = static_cast<BYTE>(rng());
  }
  if (OneBit(kind)) return;
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) {
      const unsigned pick = rng() % 6;
      if (pick > 2) continue;
      const COLORREF colour = pick == 2 ? key ^ (1u << (rng() % 24)) : key;
      if (kind == Kind::Colour || kind == Kind::Section32) {
        const DWORD rgb = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        const DWORD top = rng() % 4 == 0 ? (rng() & 0xFF000000u) : 0;
        const DWORD pixel = rgb | top;
        std::memcpy(GetBitmapRow(bitmap, y) + 4 * x, &pixel, 4);
      } else {
        SetPixel(canvas.dc(), x, y, colour);
      }
    }
}

COLORREF RandomColour(std::mt19937& rng) {
  switch (rng() % 6) {
    case 0: return RGB(255, 255, 255);
    case 1: return RGB(0, 0, 0);
    case 2: return RGB(128, 128, 128);
    case 3: return RGB(127, 127, 127);
    case 4: return RGB(255, 0, 255);
    default: return rng() & 0xFFFFFF;
  }
}

DWORD RandomRop(std::mt19937& rng) {
  static const DWORD named[] = {SRCCOPY,     NOTSRCCOPY, SRCAND,     SRCPAINT,   SRCINVERT,  SRCERASE,
                                NOTSRCERASE, MERGECOPY,  MERGEPAINT, PATCOPY,    PATPAINT,   PATINVERT,
                                DSTINVERT,   BLACKNESS,  WHITENESS,  0x00E20746, 0x00B8074A, 0x00AA0029};
  if (rng() % 2) return named[rng() % std::size(named)];
  return static_cast<DWORD>(rng() % 256) << 16;
}

enum class Way { RowByRow, PackedPortable, PackedWide };

// One blit, set up the same way on fresh copies of the destination (and of
// the source, when they are one surface), each copy drawn one way.
struct Trial {
  Kind srcKind = Kind::Mono, dstKind = Kind::Mono;
  bool sameSurface = false, patBlt = false;
  int srcWidth = 1, srcHeight = 1, dstWidth = 1, dstHeight = 1;
  int x = 0, y = 0, width = 1, height = 1, srcX = 0, srcY = 0;
  bool clip = false;
  RECT clipRect{};
  POINT dstOrigin{}, srcOrigin{};
  COLORREF srcBk = 0, srcText = 0, dstBk = 0, dstText = 0, brush = 0;
  bool nullBrush = false;
  DWORD rop = SRCCOPY;
  unsigned seed = 0;

  std::string Describe() const {
    std::ostringstream out;
    out << Name(srcKind) << " " << srcWidth << "x" << srcHeight << " -> " << Name(dstKind) << " " << dstWidth
        << "x" << dstHeight << (sameSurface ? " (same surface)" : "") << (patBlt ? " PatBlt" : "") << ", rop "
        << std::hex << rop << std::dec << " at " << x << "," << y << " size " << width << "x" << height
        << " from " << srcX << "," << srcY;
    if (clip)
      out << ", clip " << clipRect.Left << "," << clipRect.Top << "-" << clipRect.Right << ","
          << clipRect.Bottom;
    out << ", origins " << dstOrigin.X << "," << dstOrigin.Y << " / " << srcOrigin.X << "," << srcOrigin.Y
        << std::hex << ", colours bk " << srcBk << " / " << dstBk << " text " << dstText << " brush " << brush
        << (nullBrush ? " (null)" : "") << std::dec;
    return out.str();
  }
};

Trial RandomTrial(std::mt19937& rng, Kind srcKind, Kind dstKind) {
  Trial t;
  t.srcKind = srcKind;
  t.dstKind = dstKind;
  auto between = [&](int low, int high) { return low + static_cast<int>(rng() % (high - low + 1)); };
  // Mostly narrow surfaces, some wide enough for whole words of bits.
  auto side = [&] { return rng() % 4 == 0 ? between(65, 220) : between(1, 64); };
  t.dstWidth = side();
  t.dstHeight = between(1, 9);
  t.srcWidth = side();
  t.srcHeight = between(1, 9);
  t.x = rng() % 4 == 0 ? between(-12, t.dstWidth) : between(0, 15);
  t.y = between(-2, t.dstHeight - 1);
  t.srcX = rng() % 4 == 0 ? between(-12, t.srcWidth) : between(0, 15);
  t.srcY = between(-2, t.srcHeight - 1);
  t.width = rng() % 3 == 0 ? between(1, 300) : between(1, std::max(t.dstWidth, t.srcWidth));
  t.height = between(1, 10);
  t.clip = rng() % 3 == 0;
  if (t.clip) {
    const int left = between(-4, t.dstWidth), top = between(-2, t.dstHeight);
    t.clipRect = {left, top, left + between(0, t.dstWidth + 4), top + between(0, t.dstHeight + 2)};
  }
  if (rng() % 4 == 0) t.dstOrigin = {between(-9, 9), between(-3, 3)};
  if (rng() % 4 == 0) t.srcOrigin = {between(-9, 9), between(-3, 3)};
  t.srcBk = RandomColour(rng);
  t.srcText = RandomColour(rng);
  t.dstBk = RandomColour(rng);
  t.dstText = RandomColour(rng);
  t.brush = RandomColour(rng);
  t.nullBrush = rng() % 10 == 0;
  t.rop = RandomRop(rng);
  t.seed = static_cast<unsigned>(rng());
  return t;
}

// The destination's bytes after the trial's blit.
std::vector<BYTE> Run(const Trial& t, Way way) {
  std::mt19937 rng(t.seed);
  Canvas dst(Make(t.dstKind, t.dstWidth, t.dstHeight));
  FillRandom(dst, t.dstKind, t.srcBk, rng);
  Canvas src(Make(t.srcKind, t.srcWidth, t.srcHeight));
  FillRandom(src, t.srcKind, t.srcBk, rng);
  const HDC from = t.sameSurface ? dst.dc() : src.dc();

  SetBkColor(from, t.srcBk);
  SetTextColor(from, t.srcText);
  SetBkColor(dst.dc(), t.dstBk);
  SetTextColor(dst.dc(), t.dstText);
  if (t.clip)
    IntersectClipRect(dst.dc(), t.clipRect.Left, t.clipRect.Top, t.clipRect.Right, t.clipRect.Bottom);
  SetWindowOrgEx(dst.dc(), t.dstOrigin.X, t.dstOrigin.Y, nullptr);
  if (!t.sameSurface) SetWindowOrgEx(from, t.srcOrigin.X, t.srcOrigin.Y, nullptr);
  const HBRUSH brush = t.nullBrush ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(t.brush);
  const HGDIOBJ oldBrush = SelectObject(dst.dc(), brush);

  detail::SetPackedBlits(way != Way::RowByRow);
  detail::SetWideBitLoops(way == Way::PackedWide);
  if (t.patBlt)
    PatBlt(dst.dc(), t.x, t.y, t.width, t.height, t.rop);
  else
    BitBlt(dst.dc(), t.x, t.y, t.width, t.height, from, t.srcX, t.srcY, t.rop);
  detail::SetPackedBlits(true);
  detail::SetWideBitLoops(true);

  SelectObject(dst.dc(), oldBrush);
  DeleteObject(brush);
  return Bytes(dst.bitmap());
}

void ExpectSameEveryWay(const Trial& t) {
  const std::vector<BYTE> reference = Run(t, Way::RowByRow);
  for (Way way : {Way::PackedPortable, Way::PackedWide}) {
    const std::vector<BYTE> packed = Run(t, way);
    ASSERT_EQ(packed.size(), reference.size());
    for (std::size_t i = 0; i < packed.size(); ++i)
      ASSERT_EQ(packed[i], reference[i])
          << "byte " << i << (way == Way::PackedWide ? ", wide loops, " : ", portable loops, ")
          << t.Describe();
  }
}

constexpr int kTrialsPerPair = 400;

struct Pair {
  Kind src, dst;
};

class PackedBlitPairs : public ::testing::TestWithParam<Pair> {};

TEST_P(PackedBlitPairs, MatchRowByRow) {
  const Pair pair = GetParam();
  std::mt19937 rng(static_cast<unsigned>(pair.src) * 31 + static_cast<unsigned>(pair.dst) + 7);
  for (int i = 0; i < kTrialsPerPair; ++i) {
    Trial t = RandomTrial(rng, pair.src, pair.dst);
    ExpectSameEveryWay(t);
    if (HasFatalFailure()) return;
  }
}

// Each packed way, and the surfaces beside them that must keep the row-by-row
// one (a table other than black then white, masks, 24 and 16 bits).
INSTANTIATE_TEST_SUITE_P(
    Surfaces, PackedBlitPairs,
    ::testing::Values(Pair{Kind::Mono, Kind::Mono}, Pair{Kind::Colour, Kind::Mono},
                      Pair{Kind::Mono, Kind::Colour}, Pair{Kind::Section32, Kind::Mono},
                      Pair{Kind::Mono, Kind::Section32}, Pair{Kind::MonoSection, Kind::Mono},
                      Pair{Kind::Mono, Kind::MonoSection}, Pair{Kind::MonoSection, Kind::MonoSection},
                      Pair{Kind::MonoSection, Kind::Colour}, Pair{Kind::Colour, Kind::MonoSection},
                      Pair{Kind::InvertedSection, Kind::Mono}, Pair{Kind::Mono, Kind::InvertedSection},
                      Pair{Kind::InvertedSection, Kind::Colour}, Pair{Kind::TintedSection, Kind::Colour},
                      Pair{Kind::Mono, Kind::TintedSection}, Pair{Kind::Masked32, Kind::Mono},
                      Pair{Kind::Mono, Kind::Masked32}, Pair{Kind::Section24, Kind::Mono},
                      Pair{Kind::Mono, Kind::Section24}, Pair{Kind::Section16, Kind::Mono},
                      Pair{Kind::Mono, Kind::Section16}),
    [](const auto& test) {
      std::string name = std::string(Name(test.param.src)) + " to " + Name(test.param.dst);
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(PackedBlits, OverlappingWithinOneMonochromeSurface) {
  std::mt19937 rng(77);
  for (int i = 0; i < kTrialsPerPair; ++i) {
    Trial t = RandomTrial(rng, Kind::Mono, Kind::Mono);
    t.sameSurface = true;
    t.srcHeight = t.dstHeight;
    t.srcWidth = t.dstWidth;
    t.srcX = std::max(0, t.x + static_cast<int>(rng() % 19) - 9);
    t.srcY = std::max(0, t.y + static_cast<int>(rng() % 3) - 1);
    ExpectSameEveryWay(t);
    if (HasFatalFailure()) return;
  }
}

TEST(PackedBlits, PatternOnlyOntoOneBit) {
  std::mt19937 rng(78);
  for (Kind kind : {Kind::Mono, Kind::MonoSection, Kind::InvertedSection}) {
    for (int i = 0; i < kTrialsPerPair; ++i) {
      Trial t = RandomTrial(rng, Kind::Mono, kind);
      t.patBlt = rng() % 2 == 0;
      // Operations of pattern and destination alone: the truth table's
      // source-set half repeats its source-clear half.
      const auto half = static_cast<DWORD>(rng() & 0x33);
      t.rop = (half | (half << 2)) << 16;
      ExpectSameEveryWay(t);
      if (HasFatalFailure()) return;
    }
  }
}

// Bits outside the packed pixels stay clear, even where the colour looked
// for is black, which the lanes past a row's end would read as.
TEST(PackedBlits, PackingLeavesOtherBitsClear) {
  for (bool wide : {false, true}) {
    detail::SetWideBitLoops(wide);
    for (unsigned lead = 0; lead < 8; ++lead)
      for (std::size_t count = 1; count <= 40; ++count) {
        const std::vector<std::uint32_t> black(count, 0);
        std::vector<std::uint8_t> out((lead + count + 7) / 8 + 1, 0xA5);
        detail::PackEqual(black.data(), count, 0, lead, out.data());
        for (std::size_t bit = 0; bit < 8 * (out.size() - 1); ++bit) {
          const bool set = (out[bit / 8] >> (7 - bit % 8)) & 1;
          ASSERT_EQ(set, bit >= lead && bit < lead + count)
              << "bit " << bit << ", lead " << lead << ", count " << count << ", wide " << wide;
        }
        ASSERT_EQ(out.back(), 0xA5) << "lead " << lead << ", count " << count << ", wide " << wide;
      }
  }
  detail::SetWideBitLoops(true);
}

// ---- the rules themselves --------------------------------------------------------

using test::BlitWithBrush;
using test::ByTruthTable;

// A monochrome source reaches a colour destination as the destination's
// background colour for white and its text colour for black, at any offset.
TEST(DepthConversion, MonochromeOntoColourFollowsEveryOperation) {
  constexpr int kWidth = 37, kHeight = 3, kSrcX = 5, kDstX = 3;
  std::mt19937 rng(4321);
  Canvas mono(kWidth + kSrcX, kHeight, 1), colour(kWidth + kDstX, kHeight), before(kWidth + kDstX, kHeight);
  for (int code = 0; code < 256; ++code) {
    test::FillRandom(mono, rng, true);
    test::FillRandom(before, rng, false);
    BitBlt(colour.dc(), 0, 0, kWidth + kDstX, kHeight, before.dc(), 0, 0, SRCCOPY);
    const COLORREF bk = rng() & 0xFFFFFF, text = rng() & 0xFFFFFF, brushColor = rng() & 0xFFFFFF;
    SetBkColor(colour.dc(), bk);
    SetTextColor(colour.dc(), text);
    BlitWithBrush(brushColor, colour.dc(), kDstX, kWidth, kHeight, mono.dc(), kSrcX,
                  static_cast<std::uint8_t>(code));
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth + kDstX; ++x) {
        const COLORREF d = GetPixel(before.dc(), x, y);
        COLORREF want = d;
        if (x >= kDstX) {
          const COLORREF s = GetPixel(mono.dc(), x - kDstX + kSrcX, y) ? bk : text;
          want = ByTruthTable(static_cast<std::uint8_t>(code), brushColor, s, d);
        }
        ASSERT_EQ(GetPixel(colour.dc(), x, y), want) << "code " << code << " at " << x << "," << y;
      }
  }
}

// A colour source reaches a monochrome destination as white where it has the
// source's background colour and black elsewhere.
TEST(DepthConversion, ColourOntoMonochromeFollowsEveryOperation) {
  constexpr int kWidth = 37, kHeight = 3, kSrcX = 6, kDstX = 11;
  const COLORREF key = RGB(10, 200, 30);
  std::mt19937 rng(8765);
  Canvas colour(kWidth + kSrcX, kHeight), mono(kWidth + kDstX, kHeight, 1),
      before(kWidth + kDstX, kHeight, 1);
  for (int code = 0; code < 256; ++code) {
    test::FillRandom(before, rng, true);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth + kSrcX; ++x)
        SetPixel(colour.dc(), x, y, rng() % 2 ? key : (rng() & 0xFFFFFF));
    BitBlt(mono.dc(), 0, 0, kWidth + kDstX, kHeight, before.dc(), 0, 0, SRCCOPY);
    SetBkColor(colour.dc(), key);
    const COLORREF brushColor = rng() % 2 ? RGB(255, 255, 255) : 0;
    BlitWithBrush(brushColor, mono.dc(), kDstX, kWidth, kHeight, colour.dc(), kSrcX,
                  static_cast<std::uint8_t>(code));
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth + kDstX; ++x) {
        const COLORREF d = GetPixel(before.dc(), x, y);
        COLORREF want = d;
        if (x >= kDstX) {
          const COLORREF s = GetPixel(colour.dc(), x - kDstX + kSrcX, y) == key ? RGB(255, 255, 255) : 0;
          want = ByTruthTable(static_cast<std::uint8_t>(code), brushColor, s, d);
        }
        ASSERT_EQ(GetPixel(mono.dc(), x, y), want) << "code " << code << " at " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace gdi
