// A made-up button face for codec tests and benchmarks: an 87 x 65 32-bit
// BMP file image of a dark camera on black with a soft grey glow (and,
// pressed, a white starburst); the fourth byte of every pixel 0. Lit pixels
// carry a little sensor noise, as a photograph does, which keeps the coder
// from finding only long matches.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace controls::test {

inline std::vector<std::uint8_t> SampleFaceBmp(bool pressed) {
  std::uint32_t noise = pressed ? 7 : 3;
  constexpr int kWidth = 87, kHeight = 65;
  std::vector<std::uint8_t> file(54 + kWidth * kHeight * 4, 0);
  const std::uint32_t fields[] = {static_cast<std::uint32_t>(file.size()), 0, 54, 40, kWidth, kHeight};
  file[0] = 'B';
  file[1] = 'M';
  for (int i = 0; i < 6; ++i) {
    for (int b = 0; b < 4; ++b) file[2 + i * 4 + b] = static_cast<std::uint8_t>(fields[i] >> (8 * b));
  }
  file[26] = 1;
  file[28] = 32;
  std::size_t at = 54;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double dx = x - 43.0, dy = y - 30.0, d = std::sqrt(dx * dx + dy * dy);
      double v = 0;
      if (d < 30) v = 48 * (1 - d / 30) * (1 - d / 30);                   // glow
      if (x > 14 && x < 72 && y > 12 && y < 50) v = 18 + (x - 14) / 8.0;  // body
      if (d < 12) v = 30 + 3 * std::cos(d);                               // lens
      if (pressed && (std::abs(dx) < 1.5 || std::abs(dy) < 1.5 || std::abs(dx - dy) < 1.5)) {
        v = std::max(v, 255 - 8 * d);  // starburst
      }
      noise = noise * 1103515245u + 12345u;
      const int grain = v > 4 ? static_cast<int>(noise >> 29) - 3 : 0;  // -3..4
      const int g = static_cast<int>(std::clamp(v + grain, 0.0, 255.0));
      file[at++] = static_cast<std::uint8_t>(g);
      file[at++] = static_cast<std::uint8_t>(std::clamp(g + grain / 2, 0, 255));
      file[at++] = static_cast<std::uint8_t>(std::min(255, g + g / 16));
      file[at++] = 0;
    }
  }
  return file;
}

}  // namespace controls::test
