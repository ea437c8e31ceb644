// What the artwork renderers draw with: colours and ramps, grain, the light,
// rounded boxes, and hand-drawn pixel pictures. Everything is deterministic,
// so every run gives the same bytes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace artwork {

// ---- colours ---------------------------------------------------------------------

// A colour with channels 0..255, free to stray outside while it is mixed.
struct Rgb {
  double r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb Mix(Rgb a, Rgb b, double t) { return a * (1 - t) + b * t; }
inline Rgb Grey(double v) { return {v, v, v}; }

inline double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
inline double SmoothStep(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
inline std::uint8_t ToByte(double v) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

// Hash noise in [0, 1): the same grain on every run.
inline double Noise(int x, int y, std::uint32_t salt) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^
                    static_cast<std::uint32_t>(y) * 0xd8163841u ^ salt * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h & 0xFFFFFFu) / double(0x1000000);
}

// The light comes from the upper right in every picture, as on the keyboard.
constexpr double kLightX = 0.8, kLightY = -0.6;

// ---- shapes ------------------------------------------------------------------------

// A rectangle with rounded corners; a square with r half its side is a circle.
struct Box {
  double x0, y0, x1, y1, r = 0;
};

// Signed distance from (x, y) to the outline, negative inside.
inline double Distance(const Box& b, double x, double y) {
  const double qx = std::abs(x - (b.x0 + b.x1) / 2) - ((b.x1 - b.x0) / 2 - b.r);
  const double qy = std::abs(y - (b.y0 + b.y1) / 2) - ((b.y1 - b.y0) / 2 - b.r);
  return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - b.r;
}

// ---- pixel pictures ------------------------------------------------------------------

// Pixels as 0xAARRGGBB.
constexpr std::uint32_t kClear = 0;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

// Hand-drawn pixels into rows `width` pixels wide: 'X' black, '.' white,
// anything else left as it is. The first row lands at (left, top); what
// falls outside is cut off.
inline void Picture(std::span<std::uint32_t> px, int width, int left, int top,
                    std::initializer_list<std::string_view> rows) {
  const int height = static_cast<int>(px.size()) / width;
  int y = top;
  for (std::string_view row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int x = left + int(i);
      if (x < 0 || y < 0 || x >= width || y >= height) continue;
      std::uint32_t& p = px[std::size_t(y * width + x)];
      if (row[i] == 'X') p = kBlack;
      if (row[i] == '.') p = kWhite;
    }
    ++y;
  }
}

}  // namespace artwork
