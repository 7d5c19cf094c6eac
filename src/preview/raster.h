// A small software rasterizer: filled triangles with a depth buffer into an
// RGBA image. No graphics library, so that the picture is the same under a
// virtual display, in offscreen tests, under Wine and over a remote desktop.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace lodsmith {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

// Pixels row by row from the top left, four bytes each (R, G, B, A).
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;

  RgbaImage() = default;
  RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 4, 0) {}
  Rgba At(int x, int y) const {
    const uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
};

// A triangle corner on the screen: x to the right and y downwards in
// pixels (pixel (i, j) covers [i, i + 1) x [j, j + 1)), and a depth that is
// smaller nearer the eye and may be interpolated linearly across the screen.
struct ScreenPoint {
  float x = 0, y = 0, depth = 0;
};

// Which pixels a triangle draws.
enum class Coverage {
  // Those whose centre it covers: two triangles that share an edge draw
  // every pixel along it once.
  Centre,
  // Every pixel whose square it overlaps by more than a line, so that
  // nothing thinner than a pixel vanishes.
  Touch,
};

class Raster {
public:
  // An image of w x h pixels filled with `background`, all depths far.
  Raster(int w, int h, Rgba background, Coverage coverage = Coverage::Centre);

  // Fills the pixels the triangle (either winding) covers and whose depth
  // there is nearer than what they hold. With Coverage::Centre a centre on
  // an edge belongs to the triangle when the edge is a top or a left edge,
  // so that two triangles sharing an edge never both draw, nor both miss, a
  // pixel; with Coverage::Touch the depth of a pixel the triangle only
  // overlaps is its plane's at the centre, kept within its corners' depths.
  // Depth ties keep the earlier triangle. Corners may lie anywhere, however
  // far off the image (never NaN: such a triangle is left out).
  void Fill(const std::array<ScreenPoint, 3>& corners, Rgba colour);

  const RgbaImage& Image() const { return image_; }
  RgbaImage TakeImage() { return std::move(image_); }

private:
  RgbaImage image_;
  std::vector<float> depth_;
  Coverage coverage_;
};

}  // namespace lodsmith
