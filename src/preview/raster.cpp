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

}  // namespace

void Raster::Fill(const std::array<ScreenPoint, 3>& in, Rgba colour) {
  ScreenPoint a = in[0], b = in[1], c = in[2];
  double area = Edge(a, b, c.x, c.y);
  if (area == 0 || !std::isfinite(area)) return;
  if (area < 0) {
    std::swap(b, c);
    area = -area;
  }
  const int w = image_.width, h = image_.height;
  const bool touch = coverage_ == Coverage::Touch;
  // Only the pixels the triangle can draw. A corner may lie far beyond the
  // image (a point seen from a few centimetres): its bounds are clamped to
  // just outside the image before they become pixel numbers.
  auto bound = [](double v, int size) { return std::clamp(v, -1.0, size + 1.0); };
  const double minX = bound(std::min({a.x, b.x, c.x}), w), maxX = bound(std::max({a.x, b.x, c.x}), w);
  const double minY = bound(std::min({a.y, b.y, c.y}), h), maxY = bound(std::max({a.y, b.y, c.y}), h);
  const double lift = touch ? 0 : 0.5;  // Touch: pixels overlapping the box; Centre: centres inside it
  const int x0 = std::max(0, static_cast<int>(touch ? std::floor(minX) : std::ceil(minX - lift)));
  const int x1 = std::min(w - 1, static_cast<int>(touch ? std::ceil(maxX) - 1 : std::floor(maxX - lift)));
  const int y0 = std::max(0, static_cast<int>(touch ? std::floor(minY) : std::ceil(minY - lift)));
  const int y1 = std::min(h - 1, static_cast<int>(touch ? std::ceil(maxY) - 1 : std::floor(maxY - lift)));
  if (x0 > x1 || y0 > y1) return;

  const bool tlA = TopLeft(b, c), tlB = TopLeft(c, a), tlC = TopLeft(a, b);
  // The edge functions change by a constant per pixel step: one evaluation
  // per row, additions along it.
  const double dAx = -(static_cast<double>(c.y) - b.y), dBx = -(static_cast<double>(a.y) - c.y),
               dCx = -(static_cast<double>(b.y) - a.y);
  const double dAy = static_cast<double>(c.x) - b.x, dBy = static_cast<double>(a.x) - c.x,
               dCy = static_cast<double>(b.x) - a.x;
  // A pixel's square overlaps the triangle when, for every edge, its most
  // inside corner lies inside: the edge function at the centre plus half a
  // step along both axes towards the inside.
  const double reachA = touch ? 0.5 * (std::fabs(dAx) + std::fabs(dAy)) : 0;
  const double reachB = touch ? 0.5 * (std::fabs(dBx) + std::fabs(dBy)) : 0;
  const double reachC = touch ? 0.5 * (std::fabs(dCx) + std::fabs(dCy)) : 0;
  const float nearest = std::min({a.depth, b.depth, c.depth}), farthest = std::max({a.depth, b.depth, c.depth});
  const double inv = 1.0 / area;
  for (int y = y0; y <= y1; ++y) {
    const double py = y + 0.5, px = x0 + 0.5;
    double ea = Edge(b, c, px, py), eb = Edge(c, a, px, py), ec = Edge(a, b, px, py);
    float* depthRow = &depth_[static_cast<std::size_t>(y) * w];
    uint8_t* row = &image_.pixels[static_cast<std::size_t>(y) * w * 4];
    for (int x = x0; x <= x1; ++x, ea += dAx, eb += dBx, ec += dCx) {
      if (touch) {
        if (!(ea + reachA > 0 && eb + reachB > 0 && ec + reachC > 0)) continue;
      } else {
        if (ea < 0 || eb < 0 || ec < 0) continue;
        if ((ea == 0 && !tlA) || (eb == 0 && !tlB) || (ec == 0 && !tlC)) continue;
      }
      float z = static_cast<float>((ea * a.depth + eb * b.depth + ec * c.depth) * inv);
      if (touch) z = std::clamp(z, nearest, farthest);
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

}  // namespace lodsmith
