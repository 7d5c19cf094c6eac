#include "simplify/fan_distance.h"

#include <algorithm>
#include <cmath>

namespace lodsmith::simplify {

namespace {

struct Flat {
  double u = 0, v = 0, h = 0;  // in the plane, and the height above it
};

struct Frame {
  Vec3d n, e1, e2;

  explicit Frame(Vec3d normal) : n(normal) {
    const Vec3d axis = std::abs(n.x) < 0.6 ? Vec3d{1, 0, 0} : Vec3d{0, 1, 0};
    e1 = Cross(n, axis);
    e1 = e1 * (1 / Length(e1));
    e2 = Cross(n, e1);
  }
  Flat operator()(Vec3d p) const { return {Dot(p, e1), Dot(p, e2), Dot(p, n)}; }
};

double Orient(const Flat& a, const Flat& b, const Flat& c) {
  return (b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u);
}

// The height of fan B at the apex A, or NaN when A lies over none of its
// triangles.
double HeightOver(const Flat& p, const Flat& apex, const std::vector<std::pair<Flat, Flat>>& fan) {
  for (const auto& [b, c] : fan) {
    const double area = Orient(apex, b, c);
    if (area <= 0) continue;
    const double w0 = Orient(p, b, c) / area, w1 = Orient(apex, p, c) / area, w2 = Orient(apex, b, p) / area;
    const double slack = -1e-9;
    if (w0 >= slack && w1 >= slack && w2 >= slack) return w0 * apex.h + w1 * b.h + w2 * c.h;
  }
  return std::nan("");
}

// Where segment a0-a1 crosses segment b0-b1 (parameters within [0, 1]), the
// difference of their heights there; 0 when they do not cross.
double CrossingGap(const Flat& a0, const Flat& a1, const Flat& b0, const Flat& b1) {
  const double du = a1.u - a0.u, dv = a1.v - a0.v, eu = b1.u - b0.u, ev = b1.v - b0.v;
  const double det = du * ev - dv * eu;
  if (det == 0) return 0;
  const double wu = b0.u - a0.u, wv = b0.v - a0.v;
  const double s = (wu * ev - wv * eu) / det, t = (wu * dv - wv * du) / det;
  if (s < 0 || s > 1 || t < 0 || t > 1) return 0;
  const double ha = a0.h + (a1.h - a0.h) * s, hb = b0.h + (b1.h - b0.h) * t;
  return std::abs(ha - hb);
}

// The other ends of the inner edges of a fan, each once.
std::vector<Flat> Ends(const Frame& frame, const std::vector<FanTriangle>& fan) {
  std::vector<Vec3d> ends;
  ends.reserve(fan.size() * 2);
  for (const FanTriangle& t : fan) {
    ends.push_back(t.b);
    ends.push_back(t.c);
  }
  const auto less = [](Vec3d a, Vec3d b) { return a.x != b.x ? a.x < b.x : a.y != b.y ? a.y < b.y : a.z < b.z; };
  std::sort(ends.begin(), ends.end(), less);
  ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
  std::vector<Flat> out;
  out.reserve(ends.size());
  for (Vec3d e : ends) out.push_back(frame(e));
  return out;
}

}  // namespace

double ApexGap(Vec3d apexA, Vec3d apexB, const std::vector<FanTriangle>& fanB, Vec3d n, bool apexAOnOutline) {
  if (apexAOnOutline) return 0;
  const Frame frame(n);
  std::vector<std::pair<Flat, Flat>> flatB;
  flatB.reserve(fanB.size());
  for (const FanTriangle& t : fanB) flatB.push_back({frame(t.b), frame(t.c)});
  const Flat a = frame(apexA);
  const double h = HeightOver(a, frame(apexB), flatB);
  return std::isnan(h) ? -1 : std::abs(a.h - h);
}

double FanDistance(Vec3d apexA, const std::vector<FanTriangle>& fanA, Vec3d apexB, const std::vector<FanTriangle>& fanB,
                   Vec3d n, bool apexAOnOutline) {
  double gap = ApexGap(apexA, apexB, fanB, n, apexAOnOutline);
  if (gap < 0) return -1;
  // The crossings of A's inner edges with B's inner edges (the outline's
  // corners are ends of both).
  const Frame frame(n);
  const Flat a = frame(apexA), b = frame(apexB);
  const std::vector<Flat> endsA = Ends(frame, fanA), endsB = Ends(frame, fanB);
  for (const Flat& ea : endsA) {
    const double u0 = std::min(a.u, ea.u), u1 = std::max(a.u, ea.u);
    const double v0 = std::min(a.v, ea.v), v1 = std::max(a.v, ea.v);
    for (const Flat& eb : endsB) {
      if (std::max(b.u, eb.u) < u0 || std::min(b.u, eb.u) > u1 || std::max(b.v, eb.v) < v0 || std::min(b.v, eb.v) > v1)
        continue;
      gap = std::max(gap, CrossingGap(a, ea, b, eb));
    }
  }
  return gap;
}

}  // namespace lodsmith::simplify
