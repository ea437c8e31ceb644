// Rows of 1-bit surfaces worked on as packed bits (leftmost pixel in the
// most significant bit), for the blits whose source or destination is a
// black-and-white surface: masks are made, inverted and applied a byte or
// eight pixels at a time instead of a pixel at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gdi::detail {

// A raster operation once its pattern and the two values a source bit stands
// for are fixed. Each result bit then depends on the destination bit alone,
// as one of 0, 1, d or not d, so for source bit s the result is
// x[s] ^ (d & m[s]). For a 1-bit destination x and m are 0 or all ones.
struct FixedOp {
  std::uint32_t x[2] = {};
  std::uint32_t m[2] = {};
  bool UsesDestination() const { return (m[0] | m[1]) != 0; }
};

// Whether the pixel loops may use the processor's widest instructions where
// it has them (on by default). Tests turn this off to check the portable
// loops, which other processors run, against the same reference.
void SetWideBitLoops(bool enabled);

// Rows of a block: where the first starts, and the bytes from one to the next.
template <typename Byte>
struct RowsOf {
  Byte* first = nullptr;
  std::ptrdiff_t stride = 0;
  Byte* operator[](std::size_t row) const { return first + static_cast<std::ptrdiff_t>(row) * stride; }
};
using Rows = RowsOf<std::uint8_t>;
using ConstRows = RowsOf<const std::uint8_t>;

// `count` bytes of bits from bit `bitStart` on of each of `rowCount` rows
// (the start may lie up to 7 bits before the rows), bits outside a row's
// `rowBytes` reading as 0. Gives the rows themselves when the bits are
// byte-aligned inside them and no copy is asked for, else copies them into
// `scratch`.
ConstRows AlignedBits(ConstRows rows, std::size_t rowBytes, std::size_t rowCount, std::ptrdiff_t bitStart,
                      std::size_t count, bool copy, std::vector<std::uint8_t>& scratch);

// Sets a bit for each pixel whose low 24 bits equal `value`, pixel 0 going
// to bit `lead` (0..7, counted from the most significant) of out[0]. Fills
// (lead + count + 7) / 8 bytes; the bits before `lead` and after the last
// pixel are clear.
void PackEqual(const std::uint32_t* pixels, std::size_t count, std::uint32_t value, unsigned lead,
               std::uint8_t* out);

// Applies `op` to bits [x, x + count) of each of `rowCount` rows, the source
// bits lined up with the rows' bytes: source[r][i] goes with rows[r][x / 8 + i].
// A null source is for operations that do not use it. Bits outside the range
// keep their values.
void CombineBits(Rows rows, std::size_t rowCount, std::size_t x, std::size_t count, ConstRows source,
                 const FixedOp& op);

// Applies `op` to `count` 32-bit pixels of each of `rowCount` rows, the
// source bits of a row starting at the most significant bit of its first
// byte. With x and m inside 24 bits, the pixels' top bytes come out clear.
void ExpandBits(Rows pixels, std::size_t rowCount, std::size_t count, ConstRows source, const FixedOp& op);

}  // namespace gdi::detail
