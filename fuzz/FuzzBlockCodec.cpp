// Feeds arbitrary bytes to the block decoder, which must decode them or refuse
// them with a stream error; any input that fits a block must also come back
// unchanged through the coder and the decoder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "controls/BlockCodec.h"
#include "toolkit/SysUtils.h"

namespace {

[[noreturn]] void Crash(const char* what) {
  std::fprintf(stderr, "FuzzBlockCodec: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exact-size heap areas, so any step outside them shows under the sanitizer.
  std::vector<std::uint8_t> decoded(controls::kCodecBlockSize);
  try {
    const std::size_t n = controls::DecompressBlock(data, size, decoded.data());
    if (n > controls::kCodecBlockSize) Crash("decoded more than a block");
  } catch (const toolkit::EStreamError&) {
    // Refused: fine. Anything else escapes and is reported.
  }

  if (size > controls::kCodecBlockSize) return 0;
  std::vector<std::uint8_t> block(controls::kCodecOutputArea);
  const std::size_t b = controls::CompressBlock(data, size, block.data());
  if (b < 1 || b > size + 1) Crash("block size out of range");
  if ((block[0] == 0x80) != (b == size + 1)) Crash("flag does not match the block size");
  // Decode from an exact copy, so a read past B is caught.
  const std::vector<std::uint8_t> exact(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(b));
  const std::size_t n = controls::DecompressBlock(exact.data(), exact.size(), decoded.data());
  if (n != size || (size != 0 && std::memcmp(decoded.data(), data, size) != 0)) {
    Crash("round trip differs");
  }
  return 0;
}
