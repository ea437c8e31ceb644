#include "gdi/PixelFormat.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace gdi::detail {
namespace {

struct Channel {
  int shift = 0;
  int bits = 0;
  std::uint32_t mask = 0;
};

Channel ChannelOf(DWORD mask) {
  Channel c;
  c.mask = mask;
  if (mask == 0) return c;
  c.shift = std::countr_zero(mask);
  c.bits = std::popcount(mask >> c.shift);
  return c;
}

struct Masks {
  Channel r, g, b;
};

Masks MasksOf(const DibImage& image) {
  if (image.redMask | image.greenMask | image.blueMask)
    return {ChannelOf(image.redMask), ChannelOf(image.greenMask), ChannelOf(image.blueMask)};
  if (image.bitCount == 16) return {ChannelOf(0x7C00), ChannelOf(0x03E0), ChannelOf(0x001F)};
  return {ChannelOf(0xFF0000), ChannelOf(0x00FF00), ChannelOf(0x0000FF)};
}

// Widens a channel of any width to 8 bits by repeating its bits, so that the
// largest value maps to 255.
std::uint32_t Expand(std::uint32_t word, const Channel& c) {
  if (c.bits == 0) return 0;
  std::uint32_t v = (word & c.mask) >> c.shift;
  if (c.bits >= 8) return v >> (c.bits - 8);
  std::uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += c.bits) out = (out << c.bits) | v;
  const int total = ((8 + c.bits - 1) / c.bits) * c.bits;
  return (out >> (total - 8)) & 0xFF;
}

std::uint32_t Narrow(std::uint32_t value8, const Channel& c) {
  if (c.bits == 0) return 0;
  std::uint32_t v = c.bits >= 8 ? value8 << (c.bits - 8) : value8 >> (8 - c.bits);
  return (v << c.shift) & c.mask;
}

std::uint32_t FromMasked(std::uint32_t word, const Masks& m) {
  return (Expand(word, m.r) << 16) | (Expand(word, m.g) << 8) | Expand(word, m.b);
}

std::uint32_t ToMasked(std::uint32_t rgb, const Masks& m) {
  return Narrow((rgb >> 16) & 0xFF, m.r) | Narrow((rgb >> 8) & 0xFF, m.g) | Narrow(rgb & 0xFF, m.b);
}

std::uint32_t PaletteRgb(const DibImage& image, unsigned index) {
  if (index >= image.palette.size()) return 0;
  const RGBQUAD& q = image.palette[index];
  return (std::uint32_t{q.rgbRed} << 16) | (std::uint32_t{q.rgbGreen} << 8) | q.rgbBlue;
}

unsigned NearestIndex(const DibImage& image, std::uint32_t rgb) {
  unsigned best = 0;
  long bestDistance = -1;
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  for (unsigned i = 0; i < image.palette.size(); ++i) {
    const RGBQUAD& q = image.palette[i];
    const long dr = q.rgbRed - r, dg = q.rgbGreen - g, db = q.rgbBlue - b;
    const long distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
      if (distance == 0) break;
    }
  }
  return best;
}

unsigned ReadIndex(const std::uint8_t* row, LONG x, int bitCount) {
  switch (bitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    default: return row[x];
  }
}

void WriteIndex(std::uint8_t* row, LONG x, int bitCount, unsigned index) {
  switch (bitCount) {
    case 1: {
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<std::uint8_t>(index ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
      break;
    }
    case 4: {
      const int shift = (x & 1) ? 0 : 4;
      row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
      break;
    }
    default: row[x] = static_cast<std::uint8_t>(index);
  }
}

bool DefaultMasks32(const DibImage& image) {
  return (image.redMask | image.greenMask | image.blueMask) == 0 ||
         (image.redMask == 0xFF0000 && image.greenMask == 0xFF00 && image.blueMask == 0xFF);
}

inline unsigned TwoColourIndex(const DibImage& image, std::uint32_t zero, std::uint32_t one,
                               std::uint32_t rgb) {
  unsigned index = (rgb != zero) & (rgb == one);
  if ((rgb != zero) & (rgb != one)) [[unlikely]]
    index = NearestIndex(image, rgb);
  return index;
}

// A two-colour row, as masks are written: the exact colours need no search
// (a tie goes to index 0, as NearestIndex gives it), and bits are gathered a
// byte at a time without branching on them, since a mask's bits are as good
// as random.
void WriteRow1(const DibImage& image, std::uint8_t* row, LONG x, LONG count, const std::uint32_t* in) {
  const std::uint32_t zero = PaletteRgb(image, 0), one = PaletteRgb(image, 1);
  LONG i = 0;
  while (i < count) {
    const LONG at = x + i;
    const int first = at & 7;
    const LONG n = std::min<LONG>(8 - first, count - i);
    unsigned bits = 0, keep = 0xFF;
    for (LONG k = 0; k < n; ++k) {
      const unsigned index = TwoColourIndex(image, zero, one, in[i + k]);
      const int shift = 7 - (first + static_cast<int>(k));
      bits |= index << shift;
      keep &= ~(1u << shift);
    }
    std::uint8_t& byte = row[at >> 3];
    byte = static_cast<std::uint8_t>((byte & keep) | bits);
    i += n;
  }
}

}  // namespace

bool IsPlain32(const DibImage& image) { return image.bitCount == 32 && DefaultMasks32(image); }

bool IsPlainMono(const DibImage& image) {
  return image.bitCount == 1 && image.palette.size() == 2 && PaletteRgb(image, 0) == 0 &&
         PaletteRgb(image, 1) == kRgbWhite;
}

bool IsPaletted(const DibImage& image) { return image.bitCount == 4 || image.bitCount == 8; }

void ReadIndexRow(const DibImage& image, LONG y, LONG x, LONG count, std::uint32_t* out) {
  const std::uint8_t* row = image.Row(y);
  for (LONG i = 0; i < count; ++i) out[i] = ReadIndex(row, x + i, image.bitCount);
}

void WriteIndexRow(DibImage& image, LONG y, LONG x, LONG count, const std::uint32_t* in) {
  std::uint8_t* row = image.Row(y);
  for (LONG i = 0; i < count; ++i) WriteIndex(row, x + i, image.bitCount, in[i]);
}

unsigned StoredIndex(const DibImage& image, std::uint32_t rgb) {
  if (image.bitCount == 1 && image.palette.size() == 2)
    return TwoColourIndex(image, PaletteRgb(image, 0), PaletteRgb(image, 1), rgb);
  return NearestIndex(image, rgb);
}

void ReadRow(const DibImage& image, LONG y, LONG x, LONG count, std::uint32_t* out) {
  const std::uint8_t* row = image.Row(y);
  switch (image.bitCount) {
    case 1: {
      // Masks are read a lot: look the two colours up once, and pick
      // between them without branching on the bits.
      const std::uint32_t zero = PaletteRgb(image, 0), flip = zero ^ PaletteRgb(image, 1);
      for (LONG i = 0; i < count; ++i) {
        const LONG at = x + i;
        const std::uint32_t bit = (row[at >> 3] >> (7 - (at & 7))) & 1;
        out[i] = zero ^ (flip & (0u - bit));
      }
      return;
    }
    case 4:
    case 8:
      for (LONG i = 0; i < count; ++i) out[i] = PaletteRgb(image, ReadIndex(row, x + i, image.bitCount));
      return;
    case 16: {
      const Masks m = MasksOf(image);
      for (LONG i = 0; i < count; ++i) {
        const std::uint8_t* p = row + 2 * (x + i);
        out[i] = FromMasked(std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8), m);
      }
      return;
    }
    case 24:
      for (LONG i = 0; i < count; ++i) {
        const std::uint8_t* p = row + 3 * (x + i);
        out[i] = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
      }
      return;
    case 32: {
      if (DefaultMasks32(image)) {
        std::memcpy(out, row + 4 * x, 4 * static_cast<std::size_t>(count));
        for (LONG i = 0; i < count; ++i) out[i] &= 0xFFFFFF;
        return;
      }
      const Masks m = MasksOf(image);
      for (LONG i = 0; i < count; ++i) {
        std::uint32_t word;
        std::memcpy(&word, row + 4 * (x + i), 4);
        out[i] = FromMasked(word, m);
      }
      return;
    }
    default:
      for (LONG i = 0; i < count; ++i) out[i] = 0;
  }
}

void WriteRow(DibImage& image, LONG y, LONG x, LONG count, const std::uint32_t* in) {
  std::uint8_t* row = image.Row(y);
  if (image.bitCount == 1 && image.palette.size() == 2) {
    WriteRow1(image, row, x, count, in);
    return;
  }
  switch (image.bitCount) {
    case 1:
    case 4:
    case 8: {
      // Runs of one colour are common (fills, masks): remember the last match.
      std::uint32_t lastRgb = 0;
      unsigned lastIndex = 0;
      bool haveLast = false;
      for (LONG i = 0; i < count; ++i) {
        if (!haveLast || in[i] != lastRgb) {
          lastRgb = in[i];
          lastIndex = NearestIndex(image, lastRgb);
          haveLast = true;
        }
        WriteIndex(row, x + i, image.bitCount, lastIndex);
      }
      return;
    }
    case 16: {
      const Masks m = MasksOf(image);
      for (LONG i = 0; i < count; ++i) {
        const std::uint32_t word = ToMasked(in[i], m);
        std::uint8_t* p = row + 2 * (x + i);
        p[0] = static_cast<std::uint8_t>(word);
        p[1] = static_cast<std::uint8_t>(word >> 8);
      }
      return;
    }
    case 24:
      for (LONG i = 0; i < count; ++i) {
        std::uint8_t* p = row + 3 * (x + i);
        p[0] = static_cast<std::uint8_t>(in[i]);
        p[1] = static_cast<std::uint8_t>(in[i] >> 8);
        p[2] = static_cast<std::uint8_t>(in[i] >> 16);
      }
      return;
    case 32: {
      if (DefaultMasks32(image)) {
        auto* words = reinterpret_cast<std::uint32_t*>(row) + x;
        for (LONG i = 0; i < count; ++i) words[i] = in[i] & 0xFFFFFF;
        return;
      }
      const Masks m = MasksOf(image);
      for (LONG i = 0; i < count; ++i) {
        const std::uint32_t word = ToMasked(in[i], m);
        std::memcpy(row + 4 * (x + i), &word, 4);
      }
      return;
    }
    default: return;
  }
}

std::uint32_t NearestRepresentable(const DibImage& image, std::uint32_t rgb) {
  switch (image.bitCount) {
    case 1:
    case 4:
    case 8: return PaletteRgb(image, NearestIndex(image, rgb));
    case 16:
    case 32: {
      const Masks m = MasksOf(image);
      return FromMasked(ToMasked(rgb, m), m);
    }
    default: return rgb & 0xFFFFFF;
  }
}

}  // namespace gdi::detail
