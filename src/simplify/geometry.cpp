#include "simplify/geometry.h"

#include <algorithm>

namespace lodsmith::simplify {

Vec3d NearestOnSegment(Vec3d p, Vec3d a, Vec3d b) {
  const Vec3d ab = b - a;
  const double len2 = Dot(ab, ab);
  if (len2 <= 0) return a;
  const double t = std::clamp(Dot(p - a, ab) / len2, 0.0, 1.0);
  return a + ab * t;
}

double PointTriangleDistance(Vec3d p, Vec3d a, Vec3d b, Vec3d c) {
  const Vec3d n = AreaVector(a, b, c);
  const double n2 = Dot(n, n);
  if (n2 > 0) {
    // Inside the prism over the triangle: the distance to its plane.
    const bool inside =
        Dot(Cross(b - a, p - a), n) >= 0 && Dot(Cross(c - b, p - b), n) >= 0 && Dot(Cross(a - c, p - c), n) >= 0;
    if (inside) return std::abs(Dot(p - a, n)) / std::sqrt(n2);
  }
  const double dab = Length(p - NearestOnSegment(p, a, b));
  const double dbc = Length(p - NearestOnSegment(p, b, c));
  const double dca = Length(p - NearestOnSegment(p, c, a));
  return std::min({dab, dbc, dca});
}

void Quadric::AddPlane(Vec3d n, Vec3d point, double w) {
  const double d = -Dot(n, point);
  a00 += w * n.x * n.x;
  a01 += w * n.x * n.y;
  a02 += w * n.x * n.z;
  a11 += w * n.y * n.y;
  a12 += w * n.y * n.z;
  a22 += w * n.z * n.z;
  b0 += w * n.x * d;
  b1 += w * n.y * d;
  b2 += w * n.z * d;
  c += w * d * d;
}

void Quadric::Add(const Quadric& o) {
  a00 += o.a00;
  a01 += o.a01;
  a02 += o.a02;
  a11 += o.a11;
  a12 += o.a12;
  a22 += o.a22;
  b0 += o.b0;
  b1 += o.b1;
  b2 += o.b2;
  c += o.c;
}

double Quadric::Evaluate(Vec3d p) const {
  const double xx = a00 * p.x * p.x + a11 * p.y * p.y + a22 * p.z * p.z;
  const double xy = 2 * (a01 * p.x * p.y + a02 * p.x * p.z + a12 * p.y * p.z);
  const double bx = 2 * (b0 * p.x + b1 * p.y + b2 * p.z);
  return std::max(0.0, xx + xy + bx + c);
}

}  // namespace lodsmith::simplify
