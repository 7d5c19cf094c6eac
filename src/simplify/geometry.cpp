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

}  // namespace lodsmith::simplify
