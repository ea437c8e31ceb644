#include "controls/BlockCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "toolkit/SysUtils.h"

namespace controls {
namespace {

constexpr std::uint8_t kCodedFlag = 0x40;
constexpr std::uint8_t kStoredFlag = 0x80;
constexpr std::size_t kHeader = 3;  // flag and the first control word
constexpr std::size_t kHashSlots = 4096;
constexpr std::int32_t kWindow = 4096;  // distances are 12 bits, 0 meaning a run
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMaxRun = 4095;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;

static_assert(kCodecOutputArea >= kCodecBlockSize + 6,
              "the coder may run 6 bytes past n before it falls back to a stored block");

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void Store64(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, sizeof v); }

// Index of the first differing byte, given the XOR of two unequal 8-byte groups.
inline std::size_t FirstDifference(std::uint64_t diff) {
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<std::size_t>(std::countr_zero(diff)) / 8;
  } else {
    return static_cast<std::size_t>(std::countl_zero(diff)) / 8;
  }
}

// Length of the run at `p`, whose first 16 bytes are known to be equal, up to `limit`.
inline std::size_t RunLength(const std::uint8_t* p, std::size_t limit, std::uint64_t pattern) {
  std::size_t r = kMinRun;
  for (; r + 8 <= limit; r += 8) {
    if (const std::uint64_t diff = Load64(p + r) ^ pattern) return r + FirstDifference(diff);
  }
  while (r < limit && p[r] == p[0]) ++r;
  return r;
}

// Common prefix of `a` and `b`, up to `limit`; never reads past limit bytes of either.
inline std::size_t MatchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
  std::size_t m = 0;
  for (; m + 8 <= limit; m += 8) {
    if (const std::uint64_t diff = Load64(a + m) ^ Load64(b + m)) return m + FirstDifference(diff);
  }
  while (m < limit && a[m] == b[m]) ++m;
  return m;
}

[[noreturn]] void Corrupt(const char* problem) {
  throw toolkit::EStreamError(std::string("Compressed block is corrupt: ") + problem);
}

}  // namespace

std::size_t CompressBlock(const std::uint8_t* input, std::size_t n, std::uint8_t* output) {
  if (n > kCodecBlockSize) {
    throw toolkit::EStreamError("Block codec: " + std::to_string(n) + " input bytes exceed a block of 32781");
  }
  // Allocated per block so that running out of memory surfaces as the library's own error.
  std::unique_ptr<std::int16_t[]> table(new (std::nothrow) std::int16_t[kHashSlots]);
  if (!table) throw toolkit::EInvalidPointer("LZRW Error!");
  std::int16_t* const slots = table.get();
  std::memset(slots, 0xFF, kHashSlots * sizeof(std::int16_t));

  output[0] = kCodedFlag;
  std::size_t x = 0, y = kHeader, z = 1;
  unsigned k = 0;
  std::uint32_t c = 0;  // only its low 16 bits are ever written
  // Gives up as soon as the coded form has grown past the input.
  while (x < n && y <= n) {
    if (k > 15) {
      output[z] = static_cast<std::uint8_t>(c >> 8);
      output[z + 1] = static_cast<std::uint8_t>(c);
      z = y;
      y += 2;
      k = 0;
    }
    ++k;
    const std::uint8_t* const here = input + x;
    const std::size_t left = n - x;

    // Only whether the run reaches 16 matters, so test 16 bytes at once.
    if (left >= kMinRun) {
      const std::uint64_t pattern = here[0] * 0x0101010101010101ull;
      if (((Load64(here) ^ pattern) | (Load64(here + 8) ^ pattern)) == 0) {
        const std::size_t r = RunLength(here, std::min(left, kMaxRun), pattern);
        const std::size_t count = r - kMinRun;
        output[y] = 0;
        output[y + 1] = static_cast<std::uint8_t>(count >> 8);
        output[y + 2] = static_cast<std::uint8_t>(count);
        output[y + 3] = here[0];
        y += 4;
        x += r;
        c = c * 2 + 1;
        continue;
      }
    }

    // With fewer than 3 bytes left no match is possible, and the table is not read again
    // at a position that could match, so the hash over bytes past the end is skipped.
    if (left >= kMinMatch) {
      const std::uint32_t h = ((static_cast<std::uint32_t>(here[0]) << 4 ^ here[1]) << 4 ^ here[2]) * 40543u;
      std::int16_t& slot = slots[(h >> 4) & 0x0FFF];
      const std::int32_t p = slot;
      // Positions are kept as int16: one of 32768 or more reads back negative and never matches.
      slot = static_cast<std::int16_t>(x);
      if (p != -1 && static_cast<std::int32_t>(x) - p < kWindow) {
        const std::size_t m = MatchLength(here, input + p, std::min(left, kMaxMatch));
        if (m >= kMinMatch) {
          const std::uint32_t code = static_cast<std::uint32_t>(x - static_cast<std::size_t>(p)) << 4 |
                                     static_cast<std::uint32_t>(m - kMinMatch);
          output[y] = static_cast<std::uint8_t>(code >> 8);
          output[y + 1] = static_cast<std::uint8_t>(code);
          y += 2;
          x += m;
          c = c * 2 + 1;
          continue;
        }
      }
    }

    output[y++] = here[0];
    ++x;
    c *= 2;
  }
  c <<= 16 - k;
  output[z] = static_cast<std::uint8_t>(c >> 8);
  output[z + 1] = static_cast<std::uint8_t>(c);

  if (y > n) {
    output[0] = kStoredFlag;
    if (n != 0) std::memcpy(output + 1, input, n);
    return n + 1;
  }
  return y;
}

std::size_t DecompressBlock(const std::uint8_t* block, std::size_t size, std::uint8_t* output) {
  if (size == 0) Corrupt("the block is empty");
  if (size > kCodecMaxBlock) Corrupt("the block is longer than 32782 bytes");
  if (block[0] == kStoredFlag) {
    if (size > 1) std::memcpy(output, block + 1, size - 1);
    return size - 1;
  }
  if (size < kHeader) Corrupt("the block ends inside its header");

  std::size_t x = kHeader, y = 0;
  // The next item's bit is bit 31; the bits below the remaining ones are 0.
  std::uint32_t c = static_cast<std::uint32_t>(block[1] << 8 | block[2]) << 16;
  unsigned bits = 16;
  while (x < size) {
    if (bits == 0) {
      if (size - x < 2) Corrupt("a control word is cut off");
      c = static_cast<std::uint32_t>(block[x] << 8 | block[x + 1]) << 16;
      x += 2;
      bits = 16;
      if (x == size) Corrupt("the block ends right after a control word");
    }

    if (c & 0x80000000u) {
      if (size - x < 2) Corrupt("a code is cut off");
      const unsigned b0 = block[x], b1 = block[x + 1];
      const std::size_t distance = b0 << 4 | b1 >> 4;
      if (distance != 0) {
        const std::size_t length = (b1 & 15) + kMinMatch;
        if (distance > y) Corrupt("a copy reaches before the start of the output");
        if (length > kCodecBlockSize - y) Corrupt("the output exceeds 32781 bytes");
        std::uint8_t* const dst = output + y;
        const std::uint8_t* const src = dst - distance;
        if (distance >= 8 && kCodecBlockSize - y >= 24) {
          // Each group reads only bytes already written, so overlap is honoured;
          // bytes stored past the copy are rewritten by the items that follow.
          Store64(dst, Load64(src));
          Store64(dst + 8, Load64(src + 8));
          Store64(dst + 16, Load64(src + 16));
        } else {
          for (std::size_t i = 0; i < length; ++i) dst[i] = src[i];
        }
        y += length;
        x += 2;
      } else {
        if (size - x < 4) Corrupt("a run is cut off");
        const std::size_t count = (b1 << 8 | block[x + 2]) + kMinRun;
        if (count > kCodecBlockSize - y) Corrupt("the output exceeds 32781 bytes");
        std::memset(output + y, block[x + 3], count);
        y += count;
        x += 4;
      }
      c <<= 1;
      --bits;
    } else {
      // A stretch of literals is copied at once; the padding bits of the last
      // control word end at the block's end.
      const std::size_t count = std::min<std::size_t>(
          std::min<unsigned>(static_cast<unsigned>(std::countl_zero(c)), bits), size - x);
      if (count > kCodecBlockSize - y) Corrupt("the output exceeds 32781 bytes");
      if (size - x >= 16 && kCodecBlockSize - y >= 16) {
        std::memcpy(output + y, block + x, 16);
      } else {
        std::memcpy(output + y, block + x, count);
      }
      x += count;
      y += count;
      c <<= count;
      bits -= static_cast<unsigned>(count);
    }
  }
  return y;
}

}  // namespace controls
