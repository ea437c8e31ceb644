// The 256 ternary raster operations as row kernels. Each result bit is bit
// number (pattern·4 + source·2 + destination) of the operation's truth-table
// byte, so every code, named or not, has its exact effect.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gdi::detail {

// dst[i] = op(pattern, src[i], dst[i]) & 0x00FFFFFF for i < count. `src` may
// be null for an operation that does not use the source.
using RopRowFn = void (*)(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t pattern,
                          std::size_t count);

RopRowFn RopRow(std::uint8_t table);

// Whether the truth table depends on the pattern, the source, or the
// destination.
constexpr bool RopUsesPattern(std::uint8_t table) { return (table >> 4) != (table & 0x0F); }
constexpr bool RopUsesSource(std::uint8_t table) { return ((table >> 2) & 0x33) != (table & 0x33); }
constexpr bool RopUsesDestination(std::uint8_t table) { return ((table >> 1) & 0x55) != (table & 0x55); }

}  // namespace gdi::detail
