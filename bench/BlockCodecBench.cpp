// The bitmap list's block codec on button-face pictures, against memcpy of the
// same bytes: a whole 22,674-byte face and full 32,781-byte blocks.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/Measure.h"
#include "controls/BlockCodec.h"
#include "tests/controls/SampleFaces.h"

using namespace controls;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ButtonFace(bool pressed) { return controls::test::SampleFaceBmp(pressed); }

double MBps(std::size_t bytes, double seconds) { return static_cast<double>(bytes) / seconds / 1e6; }

bool Line(const char* name, std::size_t bytes, double seconds, double copySeconds, double target) {
  const double rate = MBps(bytes, seconds);
  const bool met = rate >= target;
  std::printf("%-34s %8.1f MB/s   memcpy %8.1f MB/s   (target >= %.0f MB/s): %s\n", name, rate,
              MBps(bytes, copySeconds), target, met ? "met" : "MISSED");
  return met;
}

// Encodes and decodes `input` as one block; rates are of input (decoded) bytes.
bool Measure(const char* what, const Bytes& input) {
  Bytes block(kCodecOutputArea), decoded(kCodecBlockSize), copy(input.size());
  const std::size_t size = CompressBlock(input.data(), input.size(), block.data());
  if (DecompressBlock(block.data(), size, decoded.data()) != input.size() ||
      !std::equal(input.begin(), input.end(), decoded.begin())) {
    std::printf("%s: round trip failed\n", what);
    std::exit(1);
  }
  std::printf("%s: %zu bytes -> block of %zu (%s, %.1f%%)\n", what, input.size(), size,
              block[0] == 0x80 ? "stored" : "coded",
              100.0 * static_cast<double>(size) / static_cast<double>(input.size()));

  const double memcpyTime = bench::MedianSeconds(
      [&] {
        std::memcpy(copy.data(), input.data(), input.size());
        bench::KeepAlive(copy.data());
      },
      51, 200);
  const double encode = bench::MedianSeconds(
      [&] {
        CompressBlock(input.data(), input.size(), block.data());
        bench::KeepAlive(block.data());
      },
      51, 50);
  const double decode = bench::MedianSeconds(
      [&] {
        DecompressBlock(block.data(), size, decoded.data());
        bench::KeepAlive(decoded.data());
      },
      51, 100);
  bool met = Line("  CompressBlock", input.size(), encode, memcpyTime, 300);
  met &= Line("  DecompressBlock", input.size(), decode, memcpyTime, 1000);
  return met;
}

}  // namespace

int main() {
  const Bytes resting = ButtonFace(false), pressed = ButtonFace(true);
  // The two faces one after the other, as a list stream holds them.
  Bytes list = resting;
  list.insert(list.end(), pressed.begin(), pressed.end());

  bool met = Measure("resting face (whole image)", resting);
  met &= Measure("pressed face (whole image)", pressed);
  met &= Measure("first full block of the list", Bytes(list.begin(), list.begin() + kCodecBlockSize));
  met &= Measure("full block from the pressed face", Bytes(list.end() - kCodecBlockSize, list.end()));
  std::printf("%s\n", met ? "all targets met" : "some targets missed");
  return 0;
}
