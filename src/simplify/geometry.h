// Small double-precision geometry for the simplifier. Only +, -, *, / and
// sqrt (all correctly rounded), so results are the same on every build that
// does not fuse multiply and add (the target is compiled without contraction).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace lodsmith::simplify {

struct Vec3d {
  double x = 0, y = 0, z = 0;
};

inline Vec3d operator+(Vec3d a, Vec3d b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3d operator-(Vec3d a, Vec3d b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3d operator*(Vec3d a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double Dot(Vec3d a, Vec3d b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3d Cross(Vec3d a, Vec3d b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double Length(Vec3d a) { return std::sqrt(Dot(a, a)); }
inline bool operator==(Vec3d a, Vec3d b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// A hint that the memory at `p` is read soon; changes no result.
inline void Prefetch(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

// Twice the triangle's area as a vector along its normal.
inline Vec3d AreaVector(Vec3d a, Vec3d b, Vec3d c) { return Cross(b - a, c - a); }

// The point of segment [a, b] nearest to p.
Vec3d NearestOnSegment(Vec3d p, Vec3d a, Vec3d b);

// The distance from p to the triangle (a, b, c), which may be degenerate.
double PointTriangleDistance(Vec3d p, Vec3d a, Vec3d b, Vec3d c);

// A plane quadric: the sum of weighted squared distances to planes.
struct Quadric {
  double a00 = 0, a01 = 0, a02 = 0, a11 = 0, a12 = 0, a22 = 0;
  double b0 = 0, b1 = 0, b2 = 0, c = 0;
  double w = 0;  // the weights' sum

  // The plane through `point` with unit `normal`, weighted.
  static Quadric Plane(Vec3d n, Vec3d point, double w) {
    const double d = -Dot(n, point);
    return {w * n.x * n.x,
            w * n.x * n.y,
            w * n.x * n.z,
            w * n.y * n.y,
            w * n.y * n.z,
            w * n.z * n.z,
            w * n.x * d,
            w * n.y * d,
            w * n.z * d,
            w * d * d,
            w};
  }
  void Add(const Quadric& o) {
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
    w += o.w;
  }
  double Evaluate(Vec3d p) const {
    const double xx = a00 * p.x * p.x + a11 * p.y * p.y + a22 * p.z * p.z;
    const double xy = 2 * (a01 * p.x * p.y + a02 * p.x * p.z + a12 * p.y * p.z);
    const double bx = 2 * (b0 * p.x + b1 * p.y + b2 * p.z);
    return std::max(0.0, xx + xy + bx + c);
  }
};

}  // namespace lodsmith::simplify
