// Draws the two faces of the main window's camera button into a folder:
//
//   camera-rest.bmp    87 x 65, a black reflex camera seen from the front
//                      and a little from its left, in a soft pale glow
//   camera-flash.bmp   the same camera firing: a star of light over the
//                      lens and a brighter glow
//
// The button takes the colour of a face's bottom-left pixel as transparent,
// so everything that is neither camera nor glow is exactly kGround, and
// nothing else ever is: the keyboard's screen shows around the camera.
//
// The files are committed; after changing the drawing, re-render them with
//   build/bin/render_faces resources/art
// Every run gives the same bytes.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <optional>
#include <vector>

#include "gdi/BmpFile.h"
#include "tools/artwork/Output.h"
#include "tools/artwork/Paint.h"

namespace artwork {

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 87, kHeight = 65;
// Each pixel is the mean of kSuper x kSuper samples.
constexpr int kSuper = 4;

// The transparent colour, and the dark blue of the screen that the glow's
// faint edge fades into, so that its end is not seen.
constexpr std::array<std::uint8_t, 3> kGround = {4, 4, 6};
const Rgb kDusk{8, 11, 19};
const Rgb kGlowColour{214, 218, 228};
const Rgb kFlashColour{255, 253, 246};

// ---- shapes ------------------------------------------------------------------------

struct Point {
  double x, y;
};

bool Inside(const Box& b, Point p) { return Distance(b, p.x, p.y) < 0; }

// How squarely the box's edge near p faces the light (-1..1), faded in over
// the last `rim` pixels inside the edge.
double EdgeLight(const Box& b, Point p, double rim) {
  const double nx = Distance(b, p.x + 0.25, p.y) - Distance(b, p.x - 0.25, p.y);
  const double ny = Distance(b, p.x, p.y + 0.25) - Distance(b, p.x, p.y - 0.25);
  const double facing = (nx * kLightX + ny * kLightY) / std::max(std::hypot(nx, ny), 1e-9);
  return facing * SmoothStep(-rim, 0.0, Distance(b, p.x, p.y));
}

// A convex polygon, corners in either turning order.
template <std::size_t N>
bool Inside(const std::array<Point, N>& poly, Point p) {
  int sign = 0;
  for (std::size_t i = 0; i < N; ++i) {
    const Point a = poly[i], b = poly[(i + 1) % N];
    const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    const int s = cross > 0 ? 1 : -1;
    if (sign != 0 && s != sign) return false;
    sign = s;
  }
  return true;
}

// ---- the camera ----------------------------------------------------------------------

// Round things are seen a little from the side: narrower than tall.
constexpr double kSquash = 0.93;

// The lens: its mount on the body and its front, nearer to us and so shifted
// to the right.
constexpr Point kMount{44, 38.5};
constexpr Point kFront{47, 38.8};
constexpr double kMountRadius = 15.6, kBarrelRadius = 14.3;

const Box kBody{17, 22, 74, 52, 3.5};
const Box kGrip{62, 21, 77.5, 53, 5.5};
// The left side of the body, running back from the front.
const std::array<Point, 4> kSide{{{19, 22.6}, {19, 51.4}, {11, 49.6}, {11, 24.4}}};
// The pentaprism's front and the slope of its left flank.
const std::array<Point, 4> kPrism{{{36.5, 9}, {51.5, 9}, {59.5, 23.5}, {28.5, 23.5}}};
const std::array<Point, 4> kPrismFlank{{{36.5, 9}, {28.5, 23.5}, {25.5, 23.8}, {33.5, 9.8}}};
const Box kPrismTop{36, 8.4, 52, 10.6, 1};
const Box kNameplate{37.5, 13.2, 50.5, 18.4, 1.2};
const Box kHotShoe{39, 6.2, 49, 8.8, 0.6};
const Box kModeDial{20.5, 18.6, 31, 22.6, 1};
const Box kShutterCollar{64.5, 18.8, 73.5, 21.6, 1.2};
const Box kShutter{66, 16.4, 72, 19.6, 1.4};

// Black leatherette: dark, with a fine grain.
Rgb Leather(Point p, double shade) {
  const double grain = Noise(int(p.x * 2), int(p.y * 2), 11) * 5 - 2.5;
  return Grey(shade + grain) + Rgb{0, 0, 2};
}

Rgb SideShade(Point p) {
  // Darker towards the back, a thin light line where it meets the top.
  Rgb c = Leather(p, 14 + 4 * SmoothStep(11, 19, p.x));
  const double topY = 24.4 + (22.6 - 24.4) * (p.x - 11) / 8;
  c = Mix(c, Grey(74), 0.7 * SmoothStep(1.2, 0, p.y - topY));
  // The strap lug.
  if (std::hypot(p.x - 14.2, p.y - 27.6) < 1.3) c = Mix(Grey(120), Grey(40), (p.y - 26.3) / 2.6);
  return c;
}

Rgb PrismShade(Point p) {
  Rgb c = Mix(Grey(52), Grey(28), Clamp01((p.y - 9) / 14.5)) + Rgb{0, 0, 3};
  // The right slope catches the light.
  const double right = 51.5 + (59.5 - 51.5) * (p.y - 9) / 14.5;
  c = Mix(c, Grey(190), 0.75 * SmoothStep(1.4, 0, right - p.x));
  if (Inside(kNameplate, p)) {
    // A blank plate, sunk a little, its rim bright towards the light.
    c = Mix(Grey(30), Grey(18), (p.y - kNameplate.y0) / 5.2) + Rgb{0, 0, 3};
    const double lit = -EdgeLight(kNameplate, p, 1.0);
    c = Mix(c, lit > 0 ? Grey(150) : Grey(2), std::min(std::abs(lit), 1.0) * 0.8);
  }
  return c;
}

Rgb BodyShade(Point p) {
  // Lighter towards the top and the right, where the light comes from.
  Rgb c = Leather(p, 20 + 12 * SmoothStep(52, 22, p.y) + 6 * SmoothStep(17, 75, p.x));
  const double lit = EdgeLight(kBody, p, 1.6);
  c = Mix(c, lit > 0 ? Grey(185) : Grey(2), std::min(std::abs(lit), 1.0) * 0.75);
  // The top edge shines along its whole length.
  c = Mix(c, Grey(120 + 70 * SmoothStep(17, 75, p.x)), 0.8 * SmoothStep(1.3, 0, p.y - kBody.y0));
  return c;
}

Rgb GripShade(Point p) {
  // A rounded bulge: brightest on its right shoulder, then turning away.
  const double u = (p.x - kGrip.x0) / (kGrip.x1 - kGrip.x0);
  const double shade = 16 + 30 * std::exp(-std::pow((u - 0.72) / 0.22, 2)) - 6 * (1 - u);
  Rgb c = Leather(p, shade + 8 * SmoothStep(53, 21, p.y));
  const double lit = EdgeLight(kGrip, p, 1.8);
  c = Mix(c, lit > 0 ? Grey(200) : Grey(2), std::min(std::abs(lit), 1.0) * 0.8);
  // The seam where it rises from the body, in its own shadow.
  c = c * (0.55 + 0.45 * SmoothStep(0, 1.5, p.x - kGrip.x0));
  // The red lamp that counts down the self-timer.
  const double lamp = std::hypot(p.x - 65.6, p.y - 27.5);
  if (lamp < 1.5) c = Mix(Rgb{150, 28, 20}, Rgb{50, 8, 8}, lamp / 1.5);
  if (std::hypot(p.x - 66.1, p.y - 27) < 0.5) c = Rgb{255, 170, 150};
  return c;
}

Rgb MetalShade(const Box& b, Point p, double top, double bottom) {
  Rgb c = Mix(Grey(top), Grey(bottom), Clamp01((p.y - b.y0) / (b.y1 - b.y0)));
  const double lit = EdgeLight(b, p, 0.9);
  return Mix(c, lit > 0 ? Grey(245) : Grey(10), std::min(std::abs(lit), 1.0) * 0.7);
}

// The normalised distance of p from a centre, 1 on a circle of radius r
// as the lens's round parts are seen.
double Round(Point p, Point centre, double r) {
  return std::hypot((p.x - centre.x) / (r * kSquash), (p.y - centre.y) / r);
}

// The angle of p around a centre, 0 to the right, growing clockwise on screen.
double Angle(Point p, Point centre) { return std::atan2((p.y - centre.y), (p.x - centre.x) / kSquash); }

// 1 where an angle looks at the light, 0 opposite.
double TowardsLight(double angle) {
  return 0.5 + 0.5 * (std::cos(angle) * kLightX + std::sin(angle) * kLightY);
}

// The side of the lens barrel, between the mount and the front: which point
// of it p shows, as the angle around the axis and how far along (0 at the
// mount, 1 at the front); nothing where p is off the barrel.
std::optional<std::pair<double, double>> OnBarrel(Point p) {
  const double r = kBarrelRadius;
  const double ux = (p.x - kMount.x) / (r * kSquash), uy = (p.y - kMount.y) / r;
  const double dx = (kFront.x - kMount.x) / (r * kSquash), dy = (kFront.y - kMount.y) / r;
  // |u - t d| = 1: the nearer of the two solutions is the larger t.
  const double a = dx * dx + dy * dy, b = -2 * (ux * dx + uy * dy), c = ux * ux + uy * uy - 1;
  const double disc = b * b - 4 * a * c;
  if (disc < 0) return std::nullopt;
  const double t = (-b + std::sqrt(disc)) / (2 * a);
  if (t < 0 || t > 1) return std::nullopt;
  return std::pair{std::atan2(uy - t * dy, ux - t * dx), t};
}

Rgb BarrelShade(double angle, double along) {
  const double light = TowardsLight(angle);
  // Rubber ribs around the focusing ring, plain metal nearer the body.
  const bool ribbed = along > 0.4;
  const double rib = ribbed ? 0.5 + 0.5 * std::cos(angle * 40) : 0.5;
  Rgb c = Grey(12 + 26 * light + 10 * rib * light) + Rgb{0, 0, 2};
  if (std::abs(along - 0.4) < 0.06) c = Grey(70 + 60 * light);
  return c;
}

Rgb LensFrontShade(Point p) {
  const double rho = Round(p, kFront, 1);  // in pixels
  const double angle = Angle(p, kFront);
  const double light = TowardsLight(angle);
  if (rho > 12.9) {
    // The outer rim, rounded: its light edge glints.
    const double edge = SmoothStep(12.9, 14.1, rho);
    return Grey(20 + 30 * light) + Grey(160 * std::pow(light, 6) * edge) + Rgb{0, 0, 2};
  }
  if (rho > 12.1) return Grey(64 + 70 * light);  // a thin bright ring
  if (rho > 10.3) {
    // The name ring, blank; faint marks around it.
    const double tick = 0.5 + 0.5 * std::cos(angle * 36);
    return Grey(24 + 8 * light + 6 * tick * SmoothStep(11.6, 11.1, rho)) + Rgb{0, 0, 2};
  }
  if (rho > 9.2) {
    // Sloping in to the glass: lit on the side away from the light.
    return Grey(16 + 60 * std::pow(1 - light, 2) * SmoothStep(9.2, 10.3, rho)) + Rgb{0, 0, 2};
  }
  // The glass: deep, with the coloured sheen of its coatings, the rims of
  // the elements inside and the window it reflects.
  const double depth = rho / 9.2;
  Rgb c = Mix(Rgb{10, 12, 26}, Rgb{22, 18, 44}, depth * depth);
  c = c + Rgb{26, 10, 40} * std::exp(-std::pow((rho - 6.4) / 0.5, 2)) * (0.4 + 0.6 * light);
  c = c + Rgb{8, 30, 22} * std::exp(-std::pow((rho - 3.8) / 0.5, 2)) * (1 - light);
  c = Mix(c, Rgb{6, 7, 14}, SmoothStep(2.6, 1.2, rho));
  // A curved streak of the window along the upper right.
  const double streak =
      std::exp(-std::pow((rho - 7.6) / 0.55, 2)) * std::exp(-std::pow((angle + 0.75) / 0.45, 2));
  c = c + Rgb{120, 140, 170} * streak;
  // The highlight: a small hot spot with a soft edge.
  const double hx = (p.x - (kFront.x + 3.4)) / 1.25, hy = (p.y - (kFront.y - 3.6)) / 1.0;
  const double spot = std::hypot(hx, hy);
  c = Mix(c, Grey(255), SmoothStep(2.2, 0.6, spot));
  // A faint second reflection low on the left.
  c = c + Rgb{40, 60, 20} * SmoothStep(1.4, 0.2, std::hypot(p.x - (kFront.x - 3.6), p.y - (kFront.y + 3.9)));
  return c;
}

// The camera's colour at p, nothing where p is off it. Drawn back to front.
std::optional<Rgb> Camera(Point p) {
  std::optional<Rgb> c;
  if (Inside(kSide, p)) c = SideShade(p);
  if (Inside(kPrismFlank, p)) c = Leather(p, 14) + Grey(30 * SmoothStep(1.2, 0, p.y - 9.4));
  if (Inside(kPrism, p)) c = PrismShade(p);
  if (Inside(kPrismTop, p)) c = MetalShade(kPrismTop, p, 150, 60);
  if (Inside(kHotShoe, p)) {
    c = MetalShade(kHotShoe, p, 110, 40);
    if (p.x > 40.5 && p.x < 47.5 && p.y > 7.2) c = Grey(14);  // its slot
  }
  if (Inside(kModeDial, p)) {
    // Ribbed like a coin's edge.
    const double rib = 0.5 + 0.5 * std::cos((p.x - kModeDial.x0) * 2.6);
    c = MetalShade(kModeDial, p, 60 + 40 * rib, 20 + 12 * rib);
  }
  if (Inside(kBody, p)) c = BodyShade(p);
  if (Inside(kGrip, p)) c = GripShade(p);
  if (Inside(kShutterCollar, p)) c = MetalShade(kShutterCollar, p, 70, 22);
  if (Inside(kShutter, p)) c = MetalShade(kShutter, p, 215, 95);
  // The lens release button left of the mount.
  const double release = std::hypot(p.x - 26.2, p.y - 45);
  if (release < 1.9) c = Mix(Grey(95), Grey(30), Clamp01((p.y - 43.1) / 3.8));
  // The bayonet mount: a bright metal ring on the body.
  if (Round(p, kMount, kMountRadius) < 1) {
    const double light = TowardsLight(Angle(p, kMount));
    c = Grey(45 + 150 * std::pow(light, 2));
    if (Round(p, kMount, kMountRadius - 1.4) < 1) c = Grey(10);
  }
  if (const auto barrel = OnBarrel(p)) c = BarrelShade(barrel->first, barrel->second);
  if (Round(p, kFront, kBarrelRadius) < 1) c = LensFrontShade(p);
  return c;
}

// ---- the flash -------------------------------------------------------------------

struct Ray {
  double degrees, length;
};
// Eight rays, none quite regular, long ones across and short ones between.
constexpr std::array<Ray, 8> kRays{
    {{6, 34}, {52, 16}, {96, 21}, {143, 13}, {184, 30}, {229, 17}, {275, 24}, {320, 14}}};
constexpr Point kBurst{kFront.x + 0.6, kFront.y - 0.6};

// How much of the flash's light covers p, 0..1.
double FlashLight(Point p) {
  const double dx = p.x - kBurst.x, dy = p.y - kBurst.y, r = std::hypot(dx, dy);
  double clear = 1 - SmoothStep(4.6, 2.0, r);           // the hot core
  clear *= 1 - 0.85 * std::exp(-std::pow(r / 6.5, 2));  // its bloom
  clear *= 1 - 0.3 * std::exp(-std::pow(r / 10.0, 2));  // the wider haze
  for (const Ray& ray : kRays) {
    const double a = ray.degrees * std::numbers::pi / 180;
    const double along = dx * std::cos(a) + dy * std::sin(a);
    const double across = std::abs(-dx * std::sin(a) + dy * std::cos(a));
    const double t = along / ray.length;
    if (t <= 0 || t >= 1) continue;
    const double halfWidth = 1.5 * (1 - t) + 0.12;
    const double strength = std::pow(1 - t, 1.4);
    clear *= 1 - strength * SmoothStep(halfWidth, halfWidth * 0.3, across);
  }
  // Too faint to change a pixel: the camera further off stays as it was.
  return clear > 0.996 ? 0 : 1 - clear;
}

// ---- the faces -------------------------------------------------------------------

// Where the drawing above sits on the face: a little lower and to the left,
// so the camera is centred.
constexpr Point kPlace{-1.5, 1.5};

// A sample's point in the drawing's own coordinates.
Point Sample(int x, int y, int s) {
  return {x + (s % kSuper + 0.5) / kSuper - kPlace.x, y + (s / kSuper + 0.5) / kSuper - kPlace.y};
}

struct Face {
  std::vector<Rgb> px;       // rows top-down
  std::vector<bool> ground;  // left as kGround
};

// Pixels fainter than this add nothing worth a colour of their own.
constexpr double kFaint = 0.012;

Face DrawFace(bool flash) {
  const std::size_t n = std::size_t(kWidth) * kHeight;
  // The camera's samples, and how much of each pixel it covers.
  std::vector<std::array<std::optional<Rgb>, kSuper * kSuper>> samples(n);
  std::vector<double> cover(n, 0);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t i = std::size_t(y) * kWidth + x;
      for (int s = 0; s < kSuper * kSuper; ++s) {
        const Point p = Sample(x, y, s);
        samples[i][std::size_t(s)] = Camera(p);
        if (samples[i][std::size_t(s)]) cover[i] += 1.0 / (kSuper * kSuper);
      }
    }

  // The glow: the camera's outline blurred, stronger and wider when it fires.
  constexpr int kReach = 9;
  constexpr double kSigma = 2.5;
  std::vector<double> glow(n, 0);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      double sum = 0, weight = 0;
      for (int dy = -kReach; dy <= kReach; ++dy)
        for (int dx = -kReach; dx <= kReach; ++dx) {
          const double w = std::exp(-(dx * dx + dy * dy) / (2 * kSigma * kSigma));
          const int sx = x + dx, sy = y + dy;
          if (sx >= 0 && sy >= 0 && sx < kWidth && sy < kHeight)
            sum += w * cover[std::size_t(sy) * kWidth + sx];
          weight += w;
        }
      const double g = Clamp01(2 * sum / weight);
      glow[std::size_t(y) * kWidth + x] = flash ? 0.72 * g : 0.4 * std::pow(g, 1.25);
    }

  Face face{std::vector<Rgb>(n), std::vector<bool>(n, false)};
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t i = std::size_t(y) * kWidth + x;
      const Rgb behind = Mix(kDusk, kGlowColour, glow[i]);
      Rgb sum;
      double light = 0;
      for (int s = 0; s < kSuper * kSuper; ++s) {
        const Point p = Sample(x, y, s);
        Rgb c = samples[i][std::size_t(s)].value_or(behind);
        if (flash) {
          const double f = FlashLight(p);
          c = Mix(c, kFlashColour, f);
          light += f / (kSuper * kSuper);
        }
        sum = sum + c * (1.0 / (kSuper * kSuper));
      }
      face.px[i] = sum;
      face.ground[i] = cover[i] == 0 && glow[i] < kFaint && light < kFaint;
    }
  return face;
}

gdi::DibImage ToImage(const Face& face) {
  gdi::DibImage image;
  image.width = kWidth;
  image.height = kHeight;
  image.bitCount = 32;
  image.bits.assign(image.Stride() * kHeight, 0);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t i = std::size_t(y) * kWidth + x;
      std::array<std::uint8_t, 3> rgb = kGround;
      if (!face.ground[i]) {
        const Rgb& p = face.px[i];
        rgb = {ToByte(p.r), ToByte(p.g), ToByte(p.b)};
        // Only the ground may be the ground's colour.
        if (rgb == kGround) ++rgb[2];
      }
      std::uint8_t* px = image.Row(y) + 4 * x;
      px[0] = rgb[2], px[1] = rgb[1], px[2] = rgb[0], px[3] = 0;
    }
  return image;
}

void RenderAll(const fs::path& dir) {
  fs::create_directories(dir);
  WriteFile(dir / "camera-rest.bmp", gdi::WriteBmp(ToImage(DrawFace(false))));
  WriteFile(dir / "camera-flash.bmp", gdi::WriteBmp(ToImage(DrawFace(true))));
}

}  // namespace

}  // namespace artwork

int main(int argc, char** argv) {
  return artwork::RunRenderer(argc, argv, "render_faces", artwork::RenderAll);
}
