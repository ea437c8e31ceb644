// The block codec of compressed bitmap-list streams: an LZRW1-style coder
// with an added run code. A block is a flag byte (0x40 coded, 0x80 stored)
// followed either by the input as is or by items under 16-bit control words.
#pragma once

#include <cstddef>
#include <cstdint>

namespace controls {

constexpr std::size_t kCodecBlockSize = 32781;                 // most input bytes of one block (0x800D)
constexpr std::size_t kCodecMaxBlock = kCodecBlockSize + 1;    // the largest block CompressBlock makes
constexpr std::size_t kCodecOutputArea = kCodecBlockSize + 8;  // room CompressBlock needs for its output

// Encodes n <= kCodecBlockSize bytes; `output` has kCodecOutputArea bytes. Returns B.
// A larger n throws toolkit::EStreamError; a failed hash-table allocation throws
// toolkit::EInvalidPointer("LZRW Error!").
std::size_t CompressBlock(const std::uint8_t* input, std::size_t n, std::uint8_t* output);

// Decodes one block into `output` (kCodecBlockSize bytes). Returns n. EStreamError on a malformed block.
// Bytes of `output` past the returned length are left unspecified.
std::size_t DecompressBlock(const std::uint8_t* block, std::size_t size, std::uint8_t* output);

}  // namespace controls
