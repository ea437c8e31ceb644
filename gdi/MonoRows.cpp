// Index
//   1. choosing the loops    3. bits onto bits
//   2. colour to bits        4. bits onto colour
//
// The pixel loops come twice: portable ones, and AVX2 ones for processors
// that have it. The portable ones also do the few pixels the AVX2 ones leave
// at a row's start.
#include "gdi/MonoRows.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define MONO_ROWS_AVX2 __attribute__((target("avx2")))
#endif

namespace gdi::detail {
namespace {

// ---- 1. choosing the loops ------------------------------------------------------

std::atomic<bool> wideLoopsAllowed{true};

#if defined(MONO_ROWS_AVX2)
bool WideLoops() {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2 && wideLoopsAllowed.load(std::memory_order_relaxed);
}
#endif

// ---- 2. colour to bits ------------------------------------------------------------

// Up to 8 pixels into one byte, the first at bit `firstBit` from the top.
inline unsigned MatchBits(const std::uint32_t* pixels, unsigned n, std::uint32_t value, unsigned firstBit) {
  unsigned byte = 0;
  for (unsigned k = 0; k < n; ++k)
    byte |= static_cast<unsigned>((pixels[k] & 0xFFFFFF) == value) << (7 - firstBit - k);
  return byte;
}

void MatchRow(const std::uint32_t* pixels, std::size_t count, std::uint32_t value, std::uint8_t* out) {
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) *out++ = static_cast<std::uint8_t>(MatchBits(pixels + i, 8, value, 0));
  if (i < count)
    *out = static_cast<std::uint8_t>(MatchBits(pixels + i, static_cast<unsigned>(count - i), value, 0));
}

#if defined(MONO_ROWS_AVX2)
MONO_ROWS_AVX2 inline std::uint8_t MatchEight(__m256i pixels, __m256i key) {
  const __m256i low = _mm256_set1_epi32(0xFFFFFF);
  // The mask takes lane 0 lowest; the leftmost pixel belongs in the top bit.
  const __m256i reversed = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  const __m256i equal = _mm256_cmpeq_epi32(_mm256_and_si256(pixels, low), key);
  return static_cast<std::uint8_t>(
      _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(equal, reversed))));
}

MONO_ROWS_AVX2 void MatchRowAvx2(const std::uint32_t* pixels, std::size_t count, std::uint32_t value,
                                 std::uint8_t* out) {
  const __m256i key = _mm256_set1_epi32(static_cast<int>(value));
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8)
    *out++ = MatchEight(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + i)), key);
  if (i < count) {
    // The last few pixels: lanes past the row are neither read nor counted.
    const int rest = static_cast<int>(count - i);
    const __m256i live =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(rest), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    const __m256i v = _mm256_maskload_epi32(reinterpret_cast<const int*>(pixels + i), live);
    *out = static_cast<std::uint8_t>(MatchEight(v, key) & (0xFF00u >> rest));
  }
}
#endif

// ---- 3. bits onto bits --------------------------------------------------------------

template <typename Word>
struct WordOp {
  Word x0, xd, m0, md;
  explicit WordOp(const FixedOp& op)
      : x0(Spread(op.x[0])),
        xd(Spread(op.x[0] ^ op.x[1])),
        m0(Spread(op.m[0])),
        md(Spread(op.m[0] ^ op.m[1])) {}
  static Word Spread(std::uint32_t allOrNone) {
    return static_cast<Word>(Word{0} - static_cast<Word>(allOrNone & 1));
  }
  template <bool kSource>
  Word operator()(Word s, Word d) const {
    Word x = x0, m = m0;
    if constexpr (kSource) {
      x ^= xd & s;
      m ^= md & s;
    }
    return static_cast<Word>(x ^ (d & m));
  }
};

template <bool kSource>
void CombineRow(std::uint8_t* d, const std::uint8_t* source, std::size_t last, unsigned keepFirst,
                unsigned keepLast, const WordOp<std::uint8_t>& op8, const WordOp<std::uint64_t>& op64) {
  auto byteAt = [&](std::size_t i) {
    return op8.template operator()<kSource>(kSource ? source[i] : 0, d[i]);
  };
  auto blend = [&](std::size_t i, unsigned keep) {
    d[i] = static_cast<std::uint8_t>((d[i] & keep) | (byteAt(i) & ~keep));
  };
  if (last == 0) {
    blend(0, keepFirst | keepLast);
    return;
  }
  blend(0, keepFirst);
  std::size_t i = 1;
  // Whole bytes in between, eight at a time: the operation is the same on
  // every bit, so the words' byte order does not matter.
  for (; i + 8 <= last; i += 8) {
    std::uint64_t s = 0, v;
    std::memcpy(&v, d + i, 8);
    if constexpr (kSource) std::memcpy(&s, source + i, 8);
    v = op64.template operator()<kSource>(s, v);
    std::memcpy(d + i, &v, 8);
  }
  for (; i < last; ++i) d[i] = byteAt(i);
  blend(last, keepLast);
}

template <bool kSource>
void CombineBlock(Rows rows, std::size_t rowCount, std::size_t x, std::size_t count, ConstRows source,
                  const FixedOp& fixed) {
  const unsigned lead = x & 7, tail = (lead + count) & 7;
  const std::size_t last = (lead + count + 7) / 8 - 1;
  const unsigned keepFirst = ~(0xFFu >> lead) & 0xFF;
  const unsigned keepLast = tail ? (0xFFu >> tail) : 0;
  const WordOp<std::uint8_t> op8(fixed);
  const WordOp<std::uint64_t> op64(fixed);
  for (std::size_t r = 0; r < rowCount; ++r)
    CombineRow<kSource>(rows[r] + x / 8, kSource ? source[r] : nullptr, last, keepFirst, keepLast, op8, op64);
}

// ---- 4. bits onto colour ------------------------------------------------------------

template <bool kReads>
void ExpandBlock(Rows rows, std::size_t rowCount, std::size_t count, ConstRows source, const FixedOp& op) {
  const std::uint32_t xd = op.x[0] ^ op.x[1], md = op.m[0] ^ op.m[1];
  for (std::size_t r = 0; r < rowCount; ++r) {
    auto* pixels = reinterpret_cast<std::uint32_t*>(rows[r]);
    const std::uint8_t* bits = source[r];
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t set = 0u - ((bits[i / 8] >> (7 - i % 8)) & 1u);
      std::uint32_t v = op.x[0] ^ (xd & set);
      if constexpr (kReads) v ^= pixels[i] & (op.m[0] ^ (md & set));
      pixels[i] = v;
    }
  }
}

#if defined(MONO_ROWS_AVX2)
// The operation's two functions as vectors, and each lane's bit of a byte.
struct WideOp {
  __m256i x0, xd, m0, md, which;
};

template <bool kReads>
MONO_ROWS_AVX2 inline __m256i ExpandEight(const WideOp& op, unsigned byte, __m256i d) {
  const __m256i spread = _mm256_set1_epi32(static_cast<int>(byte));
  const __m256i set = _mm256_cmpeq_epi32(_mm256_and_si256(spread, op.which), op.which);
  const __m256i v = _mm256_xor_si256(op.x0, _mm256_and_si256(op.xd, set));
  if constexpr (!kReads) return v;
  return _mm256_xor_si256(v, _mm256_and_si256(d, _mm256_xor_si256(op.m0, _mm256_and_si256(op.md, set))));
}

template <bool kReads>
MONO_ROWS_AVX2 void ExpandBlockAvx2(Rows rows, std::size_t rowCount, std::size_t count, ConstRows source,
                                    const FixedOp& fixed) {
  const WideOp op{_mm256_set1_epi32(static_cast<int>(fixed.x[0])),
                  _mm256_set1_epi32(static_cast<int>(fixed.x[0] ^ fixed.x[1])),
                  _mm256_set1_epi32(static_cast<int>(fixed.m[0])),
                  _mm256_set1_epi32(static_cast<int>(fixed.m[0] ^ fixed.m[1])),
                  _mm256_setr_epi32(0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01)};
  // Lanes of the last few pixels of a row; the others are neither read nor written.
  const int rest = static_cast<int>(count % 8);
  const __m256i live = _mm256_cmpgt_epi32(_mm256_set1_epi32(rest), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  const __m256i none = _mm256_setzero_si256();
  for (std::size_t r = 0; r < rowCount; ++r) {
    auto* pixels = reinterpret_cast<std::uint32_t*>(rows[r]);
    const std::uint8_t* bits = source[r];
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
      auto* p = reinterpret_cast<__m256i*>(pixels + i);
      _mm256_storeu_si256(p, ExpandEight<kReads>(op, bits[i / 8], kReads ? _mm256_loadu_si256(p) : none));
    }
    if (rest != 0) {
      auto* p = reinterpret_cast<int*>(pixels + i);
      _mm256_maskstore_epi32(
          p, live, ExpandEight<kReads>(op, bits[i / 8], kReads ? _mm256_maskload_epi32(p, live) : none));
    }
  }
}
#endif

}  // namespace

void SetWideBitLoops(bool enabled) { wideLoopsAllowed.store(enabled, std::memory_order_relaxed); }

ConstRows AlignedBits(ConstRows rows, std::size_t rowBytes, std::size_t rowCount, std::ptrdiff_t bitStart,
                      std::size_t count, bool copy, std::vector<std::uint8_t>& scratch) {
  const std::ptrdiff_t first = bitStart >> 3;  // rounds down for a start before the rows
  const unsigned shift = static_cast<unsigned>(bitStart & 7);
  const auto n = static_cast<std::ptrdiff_t>(count);
  const auto available = static_cast<std::ptrdiff_t>(rowBytes);
  if (!copy && shift == 0 && first >= 0 && first + n <= available) return {rows.first + first, rows.stride};
  // Each output byte takes the end of one row byte and the start of the next;
  // bytes outside the row read as zero. Only the ends of a row need the check.
  const std::ptrdiff_t inside = std::clamp<std::ptrdiff_t>(-first, 0, n);
  const std::ptrdiff_t insideEnd = std::clamp<std::ptrdiff_t>(available - first - 1, inside, n);
  scratch.resize(count * rowCount);
  for (std::size_t r = 0; r < rowCount; ++r) {
    const std::uint8_t* row = rows[r];
    std::uint8_t* out = scratch.data() + count * r;
    auto at = [&](std::ptrdiff_t j) -> unsigned { return j >= 0 && j < available ? row[j] : 0u; };
    auto edge = [&](std::ptrdiff_t i) {
      out[i] = static_cast<std::uint8_t>((at(first + i) << shift) | (at(first + i + 1) >> (8 - shift)));
    };
    for (std::ptrdiff_t i = 0; i < inside; ++i) edge(i);
    for (std::ptrdiff_t i = inside; i < insideEnd; ++i)
      out[i] = static_cast<std::uint8_t>((row[first + i] << shift) | (row[first + i + 1] >> (8 - shift)));
    for (std::ptrdiff_t i = insideEnd; i < n; ++i) edge(i);
  }
  return {scratch.data(), n};
}

void PackEqual(const std::uint32_t* pixels, std::size_t count, std::uint32_t value, unsigned lead,
               std::uint8_t* out) {
  if (lead != 0) {
    const auto n = static_cast<unsigned>(std::min<std::size_t>(8 - lead, count));
    *out++ = static_cast<std::uint8_t>(MatchBits(pixels, n, value, lead));
    pixels += n;
    count -= n;
  }
  if (count == 0) return;
#if defined(MONO_ROWS_AVX2)
  if (WideLoops()) {
    MatchRowAvx2(pixels, count, value, out);
    return;
  }
#endif
  MatchRow(pixels, count, value, out);
}

void CombineBits(Rows rows, std::size_t rowCount, std::size_t x, std::size_t count, ConstRows source,
                 const FixedOp& op) {
  if (count == 0) return;
  if (source.first)
    CombineBlock<true>(rows, rowCount, x, count, source, op);
  else
    CombineBlock<false>(rows, rowCount, x, count, source, op);
}

void ExpandBits(Rows pixels, std::size_t rowCount, std::size_t count, ConstRows source, const FixedOp& op) {
  const bool reads = op.UsesDestination();
#if defined(MONO_ROWS_AVX2)
  if (WideLoops()) {
    if (reads)
      ExpandBlockAvx2<true>(pixels, rowCount, count, source, op);
    else
      ExpandBlockAvx2<false>(pixels, rowCount, count, source, op);
    return;
  }
#endif
  if (reads)
    ExpandBlock<true>(pixels, rowCount, count, source, op);
  else
    ExpandBlock<false>(pixels, rowCount, count, source, op);
}

}  // namespace gdi::detail
