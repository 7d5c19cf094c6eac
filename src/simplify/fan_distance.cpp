#include "simplify/fan_distance.h"

#include <algorithm>
#include <cmath>

namespace lodsmith::simplify {

namespace {

using Flat = FanWork::Flat;

// Barycentric coordinates below this count as on the edge.
constexpr double kSlack = -1e-9;

struct Frame {
  Vec3d n, e1, e2;
  double flip = 1;

  Frame(Vec3d normal, bool mirrored) : n(normal), flip(mirrored ? -1 : 1) {
    const Vec3d axis = std::abs(n.x) < 0.6 ? Vec3d{1, 0, 0} : Vec3d{0, 1, 0};
    e1 = Cross(n, axis);
    e1 = e1 * (1 / Length(e1));
    e2 = Cross(n, e1);
  }
  Flat operator()(Vec3d p) const { return {Dot(p, e1), flip * Dot(p, e2), Dot(p, n)}; }
};

double Orient(const Flat& a, const Flat& b, const Flat& c) {
  return (b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u);
}

// Where segment a0-a1 crosses segment b0-b1 (parameters within [0, 1]), the
// difference of their heights there; 0 when they do not cross.
double CrossingGap(const Flat& a0, const Flat& a1, const Flat& b0, const Flat& b1) {
  if (std::max(a0.u, a1.u) < std::min(b0.u, b1.u) || std::min(a0.u, a1.u) > std::max(b0.u, b1.u) ||
      std::max(a0.v, a1.v) < std::min(b0.v, b1.v) || std::min(a0.v, a1.v) > std::max(b0.v, b1.v))
    return 0;
  const double du = a1.u - a0.u, dv = a1.v - a0.v, eu = b1.u - b0.u, ev = b1.v - b0.v;
  const double det = du * ev - dv * eu;
  if (det == 0) return 0;
  const double wu = b0.u - a0.u, wv = b0.v - a0.v;
  const double s = (wu * ev - wv * eu) / det, t = (wu * dv - wv * du) / det;
  if (s < 0 || s > 1 || t < 0 || t > 1) return 0;
  const double ha = a0.h + (a1.h - a0.h) * s, hb = b0.h + (b1.h - b0.h) * t;
  return std::abs(ha - hb);
}

// The apex against new triangle t: where it lies over (or on) it, the
// largest carried bound plus the height difference there; elsewhere the
// largest carried bound of the old sectors the triangle overlaps (those
// on its side of the apex). `over` is set when the apex lies over it.
double ApexBound(const Flat& a, const Flat& q, const Flat& b, const Flat& c, int32_t t, bool open, bool last,
                 const FanWork& w, bool& over) {
  const double all = w.before.back();
  over = false;
  const double area = Orient(q, b, c);
  if (area <= 0) return all;
  // Barycentric coordinates times the area.
  const double o0 = Orient(a, b, c), o1 = Orient(q, a, c), o2 = Orient(q, b, a);
  const double slack = kSlack * area;
  if ((o0 >= slack && o1 >= slack && o2 >= slack) || (open && last)) {
    over = true;
    return open ? all : all + std::abs(a.h - (o0 / area * q.h + o1 / area * b.h + o2 / area * c.h));
  }
  if (o0 >= slack && o1 < slack && o2 >= slack) return w.before[static_cast<size_t>(t)];
  if (o0 >= slack && o2 < slack && o1 >= slack) return w.after[static_cast<size_t>(t)];
  return all;
}

}  // namespace

double FanBounds(const Fan& fan, double limit, FanWork& w, double* bounds) {
  const int32_t sectors = fan.sectors;
  const int32_t points = fan.open ? sectors + 1 : sectors;
  const int32_t lastNew = fan.open ? sectors - 1 : sectors - 2;
  if (lastNew < 1) return -1;
  const Frame frame(fan.normal, fan.mirrored);
  w.flat.resize(static_cast<size_t>(points));
  for (int32_t i = 0; i < points; ++i) w.flat[i] = frame(fan.outline[i]);
  const auto at = [&](int32_t i) -> const Flat& { return w.flat[static_cast<size_t>(i == points ? 0 : i)]; };
  w.before.resize(static_cast<size_t>(sectors));
  w.after.resize(static_cast<size_t>(sectors));
  for (int32_t s = 0; s < sectors; ++s) w.before[s] = std::max(s > 0 ? w.before[s - 1] : 0.0, fan.carried[s]);
  for (int32_t s = sectors - 1; s >= 0; --s)
    w.after[s] = std::max(s + 1 < sectors ? w.after[s + 1] : 0.0, fan.carried[s]);
  const Flat a = frame(fan.apex), q = w.flat[0];
  bool anyOver = false;
  double worst = 0;
  for (int32_t t = 1; t <= lastNew; ++t) {
    bool over = false;
    bounds[t] = ApexBound(a, q, at(t), at(t + 1), t, fan.open, t == lastNew, w, over);
    anyOver = anyOver || over;
    if (over && bounds[t] > limit) return bounds[t];
    worst = std::max(worst, bounds[t]);
  }
  if (!anyOver) return -1;
  // The crossings of the old fan's inner edges (apex to b_i) with the new
  // fan's (q to b_j): each is a corner of the cells of sectors i - 1 and i
  // with new triangles j - 1 and j.
  for (int32_t i = 1; i < sectors; ++i)
    for (int32_t j = 2; j <= lastNew; ++j) {
      if (i == j) continue;
      const double gap = CrossingGap(a, at(i), q, at(j));
      if (gap <= 0) continue;
      for (int32_t t = j - 1; t <= j; ++t)
        for (int32_t s = i - 1; s <= i; ++s) {
          bounds[t] = std::max(bounds[t], fan.carried[s] + gap);
          worst = std::max(worst, bounds[t]);
        }
      if (worst > limit) return worst;
    }
  return worst;
}

}  // namespace lodsmith::simplify
