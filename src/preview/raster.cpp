#include "preview/raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lodsmith {

Raster::Raster(int w, int h, Rgba background, Coverage coverage)
    : image_(w, h),
      depth_(static_cast<std::size_t>(w) * h, std::numeric_limits<float>::infinity()),
      coverage_(coverage) {
  uint8_t* p = image_.pixels.data();
  for (std::size_t i = 0, n = depth_.size(); i < n; ++i, p += 4) {
    p[0] = background.r;
    p[1] = background.g;
    p[2] = background.b;
    p[3] = background.a;
  }
}

namespace {

// Twice the signed area of (a, b, p); positive when p lies to the right of
// a -> b with y downwards (clockwise on the screen).
inline double Edge(const ScreenPoint& a, const ScreenPoint& b, double px, double py) {
  return (static_cast<double>(b.x) - a.x) * (py - a.y) - (static_cast<double>(b.y) - a.y) * (px - a.x);
}

// With clockwise corners (y down) the inside is where every edge function
// is positive; an edge running left to right along the top, or upwards on
// the left, also owns the centres on it.
inline bool TopLeft(const ScreenPoint& a, const ScreenPoint& b) { return (a.y == b.y && b.x > a.x) || b.y < a.y; }

// A triangle ready to draw: clockwise corners, the pixels to visit, the
// edge functions' steps.
struct Setup {
  ScreenPoint a, b, c;
  int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
  double dAx = 0, dBx = 0, dCx = 0;            // edge functions' change per pixel to the right
  double reachA = 0, reachB = 0, reachC = 0;   // Touch: from a pixel's centre to its most inside corner
  bool tlA = false, tlB = false, tlC = false;  // Centre: top or left edges
  double inv = 0;                              // 1 / twice the area
  float nearest = 0, farthest = 0;
};

// The pixel loop, once per coverage rule so that the inner loop has no
// test of it.
template <bool kTouch>
void DrawRows(const Setup& t, Rgba colour, RgbaImage& image, std::vector<float>& depth) {
  const int w = image.width;
  for (int y = t.y0; y <= t.y1; ++y) {
    const double py = y + 0.5, px = t.x0 + 0.5;
    double ea = Edge(t.b, t.c, px, py), eb = Edge(t.c, t.a, px, py), ec = Edge(t.a, t.b, px, py);
    float* depthRow = &depth[static_cast<std::size_t>(y) * w];
    uint8_t* row = &image.pixels[static_cast<std::size_t>(y) * w * 4];
    for (int x = t.x0; x <= t.x1; ++x, ea += t.dAx, eb += t.dBx, ec += t.dCx) {
      if constexpr (kTouch) {
        if (!(ea + t.reachA > 0 && eb + t.reachB > 0 && ec + t.reachC > 0)) continue;
      } else {
        if (ea < 0 || eb < 0 || ec < 0) continue;
        if ((ea == 0 && !t.tlA) || (eb == 0 && !t.tlB) || (ec == 0 && !t.tlC)) continue;
      }
      float z = static_cast<float>((ea * t.a.depth + eb * t.b.depth + ec * t.c.depth) * t.inv);
      if constexpr (kTouch) z = std::clamp(z, t.nearest, t.farthest);
      if (!(z < depthRow[x])) continue;
      depthRow[x] = z;
      uint8_t* p = row + static_cast<std::size_t>(x) * 4;
      p[0] = colour.r;
      p[1] = colour.g;
      p[2] = colour.b;
      p[3] = colour.a;
    }
  }
}

}  // namespace

void Raster::Fill(const std::array<ScreenPoint, 3>& in, Rgba colour) {
  Setup t;
  t.a = in[0], t.b = in[1], t.c = in[2];
  double area = Edge(t.a, t.b, t.c.x, t.c.y);
  if (area == 0 || !std::isfinite(area)) return;
  if (area < 0) {
    std::swap(t.b, t.c);
    area = -area;
  }
  const ScreenPoint &a = t.a, &b = t.b, &c = t.c;
  const int w = image_.width, h = image_.height;
  const bool touch = coverage_ == Coverage::Touch;
  // Only the pixels the triangle can draw. A corner may lie far beyond the
  // image (a point seen from a few centimetres): its bounds are clamped to
  // just outside the image before they become pixel numbers.
  auto bound = [](double v, int size) { return std::clamp(v, -1.0, size + 1.0); };
  const double minX = bound(std::min({a.x, b.x, c.x}), w), maxX = bound(std::max({a.x, b.x, c.x}), w);
  const double minY = bound(std::min({a.y, b.y, c.y}), h), maxY = bound(std::max({a.y, b.y, c.y}), h);
  // Touch: the pixels overlapping the box; Centre: those whose centres lie in it.
  t.x0 = std::max(0, static_cast<int>(touch ? std::floor(minX) : std::ceil(minX - 0.5)));
  t.x1 = std::min(w - 1, static_cast<int>(touch ? std::ceil(maxX) - 1 : std::floor(maxX - 0.5)));
  t.y0 = std::max(0, static_cast<int>(touch ? std::floor(minY) : std::ceil(minY - 0.5)));
  t.y1 = std::min(h - 1, static_cast<int>(touch ? std::ceil(maxY) - 1 : std::floor(maxY - 0.5)));
  if (t.x0 > t.x1 || t.y0 > t.y1) return;

  t.tlA = TopLeft(b, c), t.tlB = TopLeft(c, a), t.tlC = TopLeft(a, b);
  // The edge functions change by a constant per pixel step: one evaluation
  // per row, additions along it.
  t.dAx = -(static_cast<double>(c.y) - b.y), t.dBx = -(static_cast<double>(a.y) - c.y),
  t.dCx = -(static_cast<double>(b.y) - a.y);
  // A pixel's square overlaps the triangle when, for every edge, its most
  // inside corner lies inside: the edge function at the centre plus half a
  // step along both axes towards the inside.
  t.reachA = 0.5 * (std::fabs(t.dAx) + std::fabs(static_cast<double>(c.x) - b.x));
  t.reachB = 0.5 * (std::fabs(t.dBx) + std::fabs(static_cast<double>(a.x) - c.x));
  t.reachC = 0.5 * (std::fabs(t.dCx) + std::fabs(static_cast<double>(b.x) - a.x));
  t.nearest = std::min({a.depth, b.depth, c.depth}), t.farthest = std::max({a.depth, b.depth, c.depth});
  t.inv = 1.0 / area;
  if (touch)
    DrawRows<true>(t, colour, image_, depth_);
  else
    DrawRows<false>(t, colour, image_, depth_);
}

}  // namespace lodsmith
