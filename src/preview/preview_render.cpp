#include "preview/preview_render.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "generation/lod_assignment.h"
#include "preview/preview_messages.h"

namespace lodsmith {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

struct Basis {
  double r[3], u[3], d[3];
};

Basis BasisOf(const PreviewCamera& c) {
  const double yaw = c.yawDegrees * kDegree, pitch = c.pitchDegrees * kDegree;
  Basis b{};
  b.d[0] = std::sin(yaw) * std::cos(pitch);
  b.d[1] = -std::sin(pitch);
  b.d[2] = std::cos(yaw) * std::cos(pitch);
  // The right vector comes from the yaw alone, so that looking straight
  // down still has one.
  b.r[0] = std::cos(yaw);
  b.r[1] = 0;
  b.r[2] = -std::sin(yaw);
  b.u[0] = b.d[1] * b.r[2] - b.d[2] * b.r[1];
  b.u[1] = b.d[2] * b.r[0] - b.d[0] * b.r[2];
  b.u[2] = b.d[0] * b.r[1] - b.d[1] * b.r[0];
  return b;
}

inline double Dot(const double* a, double x, double y, double z) { return a[0] * x + a[1] * y + a[2] * z; }

Rgba Hsv(double h, double s, double v) {
  const double i = std::floor(h * 6), f = h * 6 - i;
  const double p = v * (1 - s), q = v * (1 - f * s), t = v * (1 - (1 - f) * s);
  double r = v, g = t, b = p;
  switch (static_cast<int>(i) % 6) {
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    case 5: r = v, g = p, b = q; break;
    default: break;
  }
  auto c = [](double x) { return static_cast<uint8_t>(std::lround(std::clamp(x, 0.0, 1.0) * 255)); };
  return {c(r), c(g), c(b), 255};
}

Rgba Scaled(Rgba c, double k) {
  auto s = [k](uint8_t x) { return static_cast<uint8_t>(std::min(255.0, x * k + 0.5)); };
  return {s(c.r), s(c.g), s(c.b), 255};
}

Rgba Mixed(Rgba a, Rgba b, double t) {
  auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(x + (y - x) * t + 0.5); };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), 255};
}

// The grey the rest of the model fades to while one element is highlighted.
constexpr Rgba kDimmed{96, 100, 108, 255};

std::optional<double> PositiveNumber(const std::string& text) {
  double v = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || r.ec != std::errc{} || r.ptr != text.data() + text.size() || !(v > 0) || !std::isfinite(v))
    return std::nullopt;
  return v;
}

struct Shown {
  const GeometryTriangle* triangle;
  Rgba base;
};

// A screen coordinate as the raster takes it. A corner seen from a few
// centimetres may land far beyond any float; the raster clamps what it
// draws to its image.
float ScreenCoordinate(double v) {
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(v, -kMax, kMax));
}

// Samples per screen pixel along each axis in the "as seen" picture, at
// most.
constexpr int kAsSeenSamples = 4;

// Each k x k block of samples becomes the mean of its colours.
RgbaImage Downsampled(const RgbaImage& samples, int k) {
  RgbaImage out(samples.width / k, samples.height / k);
  const int n = k * k;
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int sum[4] = {0, 0, 0, 0};
      for (int j = 0; j < k; ++j) {
        const uint8_t* p = &samples.pixels[(static_cast<std::size_t>(y * k + j) * samples.width + x * k) * 4];
        for (int i = 0; i < 4 * k; ++i) sum[i % 4] += p[i];
      }
      uint8_t* q = &out.pixels[(static_cast<std::size_t>(y) * out.width + x) * 4];
      for (int c = 0; c < 4; ++c) q[c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
    }
  return out;
}

// Each pixel of `small` becomes an `enlarge` x `enlarge` square of a w x h
// image (cut at its right and bottom edges).
RgbaImage Enlarged(const RgbaImage& small, int enlarge, int w, int h) {
  RgbaImage out(w, h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = &small.pixels[static_cast<std::size_t>(y / enlarge) * small.width * 4];
    uint8_t* dst = &out.pixels[static_cast<std::size_t>(y) * w * 4];
    for (int x = 0; x < w; ++x) std::copy_n(src + static_cast<std::size_t>(x / enlarge) * 4, 4, dst + x * 4);
  }
  return out;
}

}  // namespace

PreviewCamera CameraFor(PreviewView view) {
  switch (view) {
    case PreviewView::Side: return {-90, 0, 1};
    case PreviewView::Top: return {0, 90, 1};
    // The angle whose tangent is 1 / sqrt(2): the cube's diagonal points at
    // the eye.
    case PreviewView::Iso: return {-45, std::atan(1 / std::numbers::sqrt2) / kDegree, 1};
    case PreviewView::Front: break;
  }
  return {0, 0, 1};
}

void OrbitCamera(PreviewCamera& c, int dx, int dy) {
  c.yawDegrees = std::remainder(c.yawDegrees + dx * kOrbitDegreesPerPixel, 360.0);
  c.pitchDegrees = std::clamp(c.pitchDegrees + dy * kOrbitDegreesPerPixel, -90.0, 90.0);
}

void ZoomCamera(PreviewCamera& c, int steps) {
  c.zoom = std::clamp(c.zoom * std::pow(kZoomPerWheelStep, steps), 0.05, 200.0);
}

std::optional<PreviewView> PreviewViewNamed(const std::string& name) {
  if (name == "front") return PreviewView::Front;
  if (name == "side") return PreviewView::Side;
  if (name == "top") return PreviewView::Top;
  if (name == "iso") return PreviewView::Iso;
  return std::nullopt;
}

Rgba ElementColour(int32_t element) {
  // Golden-ratio steps of the hue keep neighbouring rows apart however many
  // there are.
  double h = std::fmod(0.07 + element * 0.6180339887, 1.0);
  return Hsv(h, 0.55, 0.95);
}

Rgba SubObjectColour(int32_t subObject) {
  static constexpr Rgba kColours[] = {
      {230, 160, 60, 255},  {80, 170, 230, 255}, {120, 200, 90, 255}, {220, 90, 120, 255},
      {170, 120, 220, 255}, {230, 220, 90, 255}, {90, 210, 190, 255}, {200, 140, 110, 255},
  };
  if (subObject <= 0) return {215, 215, 215, 255};  // in every sub-object
  return kColours[static_cast<std::size_t>(subObject - 1) % std::size(kColours)];
}

namespace {

// The triangles shown (of the elements the LOD places, or of every element)
// in their colours; counts the elements shown into `frame`.
std::vector<Shown> ShownTriangles(const ShapeGeometry& geometry, const LodAssignment* assignment,
                                  const PreviewSettings& s, PreviewFrame& frame) {
  // Which elements are shown, and in which colour.
  const int32_t elements = geometry.elementCount;
  std::vector<uint8_t> shownElement(static_cast<std::size_t>(elements) + 1, 1);
  std::vector<Rgba> colour(static_cast<std::size_t>(elements) + 1);
  const int32_t colourLod = s.lod > 0 ? s.lod : 1;
  for (int32_t e = 1; e <= elements; ++e) {
    const AssignmentCell* cell = assignment ? &assignment->Cell(e, colourLod) : nullptr;
    if (s.lod > 0) shownElement[static_cast<std::size_t>(e)] = cell && cell->PlacesInAnyOf(INT32_MAX);
    if (s.colourBySubObject && cell)
      colour[static_cast<std::size_t>(e)] =
          SubObjectColour(cell->kind() == AssignmentCell::Kind::SubObject ? cell->number() : 0);
    else
      colour[static_cast<std::size_t>(e)] = ElementColour(e);
    if (s.highlightElement > 0 && e != s.highlightElement)
      colour[static_cast<std::size_t>(e)] = Mixed(colour[static_cast<std::size_t>(e)], kDimmed, 0.75);
  }
  std::vector<Shown> shown;
  shown.reserve(geometry.triangles.size());
  std::vector<uint8_t> counted(static_cast<std::size_t>(elements) + 1, 0);
  for (const GeometryTriangle& t : geometry.triangles) {
    if (t.element < 1 || t.element > elements || !shownElement[static_cast<std::size_t>(t.element)]) continue;
    shown.push_back({&t, colour[static_cast<std::size_t>(t.element)]});
    if (!counted[static_cast<std::size_t>(t.element)]) {
      counted[static_cast<std::size_t>(t.element)] = 1;
      ++frame.shownElements;
    }
  }
  return shown;
}

// The distance of the LOD shown "as seen"; Error when it has none.
double AsSeenDistance(const LodAssignment* assignment, const PreviewSettings& s) {
  if (s.asSeenFrom > 0) return s.asSeenFrom;
  std::optional<double> d;
  if (s.lod > 0 && assignment) d = PositiveNumber(assignment->Distance(s.lod));
  if (!d) throw Error(PreviewMsg::NoDistance, s.lod);
  return *d;
}

// View coordinates (right, up, depth) of every corner shown, three a
// triangle. Orthographic views look from the origin; "as seen" from
// `distance` before the middle of what is shown.
std::vector<std::array<double, 3>> ViewCorners(const std::vector<Shown>& shown, const Basis& b, bool asSeen,
                                               double distance) {
  double eye[3] = {0, 0, 0};
  if (asSeen) {
    double lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (const Shown& sh : shown)
      for (const Vec3& p : sh.triangle->corners) {
        const double c[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) lo[i] = std::min(lo[i], c[i]), hi[i] = std::max(hi[i], c[i]);
      }
    for (int i = 0; i < 3; ++i) eye[i] = (lo[i] + hi[i]) / 2 - distance * b.d[i];
  }
  std::vector<std::array<double, 3>> view(shown.size() * 3);
  for (std::size_t k = 0; k < shown.size(); ++k)
    for (std::size_t c = 0; c < 3; ++c) {
      const Vec3& p = shown[k].triangle->corners[c];
      const double x = p.x - eye[0], y = p.y - eye[1], z = p.z - eye[2];
      view[k * 3 + c] = {Dot(b.r, x, y, z), Dot(b.u, x, y, z), Dot(b.d, x, y, z)};
    }
  return view;
}

// A box on the screen; empty while x0 > x1.
struct ScreenBox {
  double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
  void Add(double sx, double sy) {
    x0 = std::min(x0, sx), x1 = std::max(x1, sx), y0 = std::min(y0, sy), y1 = std::max(y1, sy);
  }
};

// The corners on the screen, the triangles left out and the box of the rest.
struct Projection {
  std::vector<ScreenPoint> screen;
  std::vector<uint8_t> clipped;
  ScreenBox box;
};

// The screen position of each corner: orthographic, or the true pixels of
// the "as seen" screen (relative to its centre).
Projection Project(const std::vector<std::array<double, 3>>& view, std::size_t triangles, bool asSeen) {
  const double focal = (kAsSeenScreenHeight / 2.0) / std::tan(kAsSeenFieldOfViewDegrees / 2 * kDegree);
  constexpr double kNear = 0.05;  // metres; nearer triangles are left out
  Projection out;
  out.screen.resize(view.size());
  out.clipped.assign(triangles, 0);
  for (std::size_t k = 0; k < triangles; ++k) {
    for (std::size_t c = 0; c < 3; ++c) {
      const auto& v = view[k * 3 + c];
      if (asSeen && v[2] < kNear) out.clipped[k] = 1;
    }
    if (out.clipped[k]) continue;
    for (std::size_t c = 0; c < 3; ++c) {
      const auto& v = view[k * 3 + c];
      double sx = v[0], sy = -v[1], depth = v[2];
      if (asSeen) sx = focal * v[0] / v[2], sy = -focal * v[1] / v[2], depth = -1 / v[2];
      out.screen[k * 3 + c] = {ScreenCoordinate(sx), ScreenCoordinate(sy), static_cast<float>(depth)};
      out.box.Add(sx, sy);
    }
  }
  return out;
}

// The orthographic views frame the whole model, whatever the LOD shows, so
// that the picture keeps its place from one LOD to the next.
ScreenBox ModelBox(const ShapeGeometry& geometry, const Basis& b) {
  ScreenBox box;
  for (const GeometryTriangle& t : geometry.triangles)
    for (const Vec3& p : t.corners) box.Add(Dot(b.r, p.x, p.y, p.z), -Dot(b.u, p.x, p.y, p.z));
  return box;
}

// Where the raster is drawn and how it is placed: its size, the factor it
// is enlarged by into the picture ("as seen"), the scale from screen units
// to raster pixels (orthographic) and the screen point at its centre.
struct Placement {
  int rw = 0, rh = 0, enlarge = 1;
  double scale = 1;
  double cx = 0, cy = 0;
};

Placement Place(const ScreenBox& box, int w, int h, const PreviewSettings& s) {
  Placement pl;
  pl.rw = w, pl.rh = h;
  const double x0 = box.x0, x1 = box.x1, y0 = box.y0, y1 = box.y1;
  if (s.asSeen) {
    const double fit = 0.8 * std::min(w / std::max(x1 - x0, 1.0), h / std::max(y1 - y0, 1.0));
    // Beyond the image's size a larger factor shows nothing more.
    double factor = std::floor(fit * std::max(s.camera.zoom, 0.01));
    if (!(factor >= 1)) factor = 1;
    pl.enlarge = static_cast<int>(std::min(factor, static_cast<double>(std::max(w, h))));
    pl.rw = (w + pl.enlarge - 1) / pl.enlarge;
    pl.rh = (h + pl.enlarge - 1) / pl.enlarge;
  } else {
    const int margin = std::min(w, h) / 10;
    const double aw = std::max(1, w - 2 * margin), ah = std::max(1, h - 2 * margin);
    const double bw = x1 - x0, bh = y1 - y0;
    if (bw > 0 && bh > 0)
      pl.scale = std::min(aw / bw, ah / bh);
    else if (bw > 0)
      pl.scale = aw / bw;
    else if (bh > 0)
      pl.scale = ah / bh;
    pl.scale *= s.camera.zoom > 0 ? s.camera.zoom : 1;
  }
  pl.cx = (x0 + x1) / 2, pl.cy = (y0 + y1) / 2;
  return pl;
}

// Lambert from the face's normal in view space, both sides lit alike (the
// exporter's winding is not a promise). One light from above left in front
// of the eye, fixed in view space so that every view is lit alike.
double Lambert(const std::array<double, 3>& a, const std::array<double, 3>& bb, const std::array<double, 3>& c) {
  const double ll = std::sqrt(0.45 * 0.45 + 0.6 * 0.6 + 0.66 * 0.66);
  const double lv[3] = {-0.45 / ll, 0.6 / ll, -0.66 / ll};
  const double e1[3] = {bb[0] - a[0], bb[1] - a[1], bb[2] - a[2]};
  const double e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
  const double nl = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  double lambert = 0;
  if (nl > 0) {
    lambert = std::fabs((n[0] * lv[0] + n[1] * lv[1] + n[2] * lv[2]) / nl);
  }
  return lambert;
}

// Every triangle not left out, lit, into `raster` (`samples` raster pixels
// a screen pixel each way).
void DrawTriangles(Raster& raster, const std::vector<Shown>& shown, const std::vector<std::array<double, 3>>& view,
                   const Projection& projection, const Placement& pl, int samples) {
  const double ox = pl.rw / 2.0, oy = pl.rh / 2.0;
  for (std::size_t k = 0; k < shown.size(); ++k) {
    if (projection.clipped[k]) continue;
    std::array<ScreenPoint, 3> tri;
    for (std::size_t c = 0; c < 3; ++c) {
      const ScreenPoint& p = projection.screen[k * 3 + c];
      tri[c] = {ScreenCoordinate((ox + (p.x - pl.cx) * pl.scale) * samples),
                ScreenCoordinate((oy + (p.y - pl.cy) * pl.scale) * samples), p.depth};
    }
    const double lambert = Lambert(view[k * 3], view[k * 3 + 1], view[k * 3 + 2]);
    raster.Fill(tri, Scaled(shown[k].base, 0.35 + 0.65 * lambert));
  }
}

}  // namespace

PreviewFrame RenderPreview(const ShapeGeometry& geometry, const LodAssignment* assignment, const PreviewSettings& s) {
  PreviewFrame frame;
  const int w = std::max(1, s.width), h = std::max(1, s.height);
  const std::vector<Shown> shown = ShownTriangles(geometry, assignment, s, frame);
  frame.shownTriangles = static_cast<int64_t>(shown.size());
  const double distance = s.asSeen ? AsSeenDistance(assignment, s) : 0;
  if (s.asSeen) frame.distance = distance;
  if (shown.empty()) {
    frame.image = Raster(w, h, kPreviewBackground).TakeImage();
    return frame;
  }

  const Basis b = BasisOf(s.camera);
  const std::vector<std::array<double, 3>> view = ViewCorners(shown, b, s.asSeen, distance);
  const Projection projection = Project(view, shown.size(), s.asSeen);
  if (!(projection.box.x0 <= projection.box.x1)) {
    frame.image = Raster(w, h, kPreviewBackground).TakeImage();
    return frame;
  }
  if (s.asSeen) frame.screenHeightPixels = projection.box.y1 - projection.box.y0;
  const Placement pl = Place(s.asSeen ? projection.box : ModelBox(geometry, b), w, h, s);

  // "As seen" is drawn with several samples per screen pixel, each sample
  // drawn by every triangle that touches it, and shown as their mean: a part
  // thinner than a pixel shows blended into the background, as a player
  // sees it, instead of vanishing between pixel centres. No more samples
  // than the picture has pixels per screen pixel, so that it never costs
  // much more than an orthographic view.
  const int samples = s.asSeen ? std::min(kAsSeenSamples, pl.enlarge) : 1;
  Raster raster(pl.rw * samples, pl.rh * samples, kPreviewBackground, s.asSeen ? Coverage::Touch : Coverage::Centre);
  DrawTriangles(raster, shown, view, projection, pl, samples);
  if (samples == 1 && pl.enlarge == 1) {
    frame.image = raster.TakeImage();
    return frame;
  }
  RgbaImage small = samples == 1 ? raster.TakeImage() : Downsampled(raster.Image(), samples);
  frame.image = pl.enlarge == 1 ? std::move(small) : Enlarged(small, pl.enlarge, w, h);
  return frame;
}

}  // namespace lodsmith
