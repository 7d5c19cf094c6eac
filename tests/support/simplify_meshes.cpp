#include "simplify_meshes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace lodsmith::test {

namespace {

using P3 = std::array<double, 3>;

int32_t Add(SimplifyMesh& m, double x, double y, double z) {
  m.positions.push_back({x, y, z});
  m.positionIds.push_back(static_cast<int32_t>(m.positionIds.size()));
  return static_cast<int32_t>(m.positions.size() - 1);
}

void Triangle(SimplifyMesh& m, int32_t a, int32_t b, int32_t c) { m.indices.insert(m.indices.end(), {a, b, c}); }

// Adds the ring-by-segment band of a surface of revolution: `ringPoint(r,
// s)` gives the point of ring r, segment s; returns the first vertex.
template <typename F>
int32_t Band(SimplifyMesh& m, int rings, int segments, F ringPoint) {
  const int32_t first = static_cast<int32_t>(m.positions.size());
  for (int r = 0; r <= rings; ++r)
    for (int s = 0; s < segments; ++s) {
      const P3 p = ringPoint(r, s);
      Add(m, p[0], p[1], p[2]);
    }
  const auto at = [&](int r, int s) { return first + r * segments + (s % segments); };
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < segments; ++s) {
      Triangle(m, at(r, s), at(r, s + 1), at(r + 1, s + 1));
      Triangle(m, at(r, s), at(r + 1, s + 1), at(r + 1, s));
    }
  return first;
}

P3 Sub(P3 a, P3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(P3 a, P3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
P3 Lerp(P3 a, P3 b, double t) { return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t}; }

double SegmentDistance(P3 p, P3 a, P3 b) {
  const P3 ab = Sub(b, a);
  const double len2 = Dot(ab, ab);
  const double t = len2 > 0 ? std::clamp(Dot(Sub(p, a), ab) / len2, 0.0, 1.0) : 0.0;
  const P3 d = Sub(p, Lerp(a, b, t));
  return std::sqrt(Dot(d, d));
}

P3 CrossP(P3 a, P3 b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }

double TriangleDistance(P3 p, P3 a, P3 b, P3 c) {
  const P3 n = CrossP(Sub(b, a), Sub(c, a));
  const double n2 = Dot(n, n);
  if (n2 > 0 && Dot(CrossP(Sub(b, a), Sub(p, a)), n) >= 0 && Dot(CrossP(Sub(c, b), Sub(p, b)), n) >= 0 &&
      Dot(CrossP(Sub(a, c), Sub(p, c)), n) >= 0)
    return std::abs(Dot(Sub(p, a), n)) / std::sqrt(n2);
  return std::min({SegmentDistance(p, a, b), SegmentDistance(p, b, c), SegmentDistance(p, c, a)});
}

// Triangles in a uniform grid of cells; nearest-triangle queries search
// rings of cells outward until no farther cell can hold a nearer one.
class TriangleGrid {
public:
  TriangleGrid(const std::vector<P3>& positions, const std::vector<int32_t>& indices, P3 lo, P3 hi)
      : positions_(positions), indices_(indices), lo_(lo) {
    const size_t count = std::max<size_t>(1, indices.size() / 3);
    const double extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2], 1e-9});
    cell_ = extent / std::max(1.0, std::cbrt(static_cast<double>(count)) * 2);
    for (int k = 0; k < 3; ++k) size_[k] = std::clamp(static_cast<int>((hi[k] - lo[k]) / cell_) + 1, 1, 256);
    cells_.resize(static_cast<size_t>(size_[0]) * size_[1] * size_[2]);
    for (size_t t = 0; t < indices.size() / 3; ++t) {
      std::array<int, 3> a{}, b{};
      for (int k = 0; k < 3; ++k) {
        double mn = std::numeric_limits<double>::infinity(), mx = -mn;
        for (int c = 0; c < 3; ++c) {
          mn = std::min(mn, positions[indices[t * 3 + c]][k]);
          mx = std::max(mx, positions[indices[t * 3 + c]][k]);
        }
        a[k] = Coord(mn, k);
        b[k] = Coord(mx, k);
      }
      for (int x = a[0]; x <= b[0]; ++x)
        for (int y = a[1]; y <= b[1]; ++y)
          for (int z = a[2]; z <= b[2]; ++z) cells_[Index(x, y, z)].push_back(static_cast<int32_t>(t));
    }
    stamp_.assign(indices.size() / 3, 0);
  }

  double Nearest(P3 p) {
    const int cx = Coord(p[0], 0), cy = Coord(p[1], 1), cz = Coord(p[2], 2);
    const int most = std::max({size_[0], size_[1], size_[2]});
    double best = std::numeric_limits<double>::infinity();
    ++round_;
    for (int r = 0; r <= most; ++r) {
      for (int x = cx - r; x <= cx + r; ++x)
        for (int y = cy - r; y <= cy + r; ++y)
          for (int z = cz - r; z <= cz + r; ++z) {
            if (std::max({std::abs(x - cx), std::abs(y - cy), std::abs(z - cz)}) != r) continue;
            if (x < 0 || y < 0 || z < 0 || x >= size_[0] || y >= size_[1] || z >= size_[2]) continue;
            for (int32_t t : cells_[Index(x, y, z)]) {
              if (stamp_[t] == round_) continue;
              stamp_[t] = round_;
              best = std::min(best, TriangleDistance(p, positions_[indices_[t * 3]], positions_[indices_[t * 3 + 1]],
                                                     positions_[indices_[t * 3 + 2]]));
            }
          }
      if (best <= r * cell_) break;
    }
    return best;
  }

private:
  int Coord(double v, int k) const { return std::clamp(static_cast<int>((v - lo_[k]) / cell_), 0, size_[k] - 1); }
  size_t Index(int x, int y, int z) const {
    return (static_cast<size_t>(z) * size_[1] + static_cast<size_t>(y)) * size_[0] + static_cast<size_t>(x);
  }

  const std::vector<P3>& positions_;
  const std::vector<int32_t>& indices_;
  P3 lo_;
  double cell_ = 1;
  std::array<int, 3> size_{1, 1, 1};
  std::vector<std::vector<int32_t>> cells_;
  std::vector<uint32_t> stamp_;
  uint32_t round_ = 0;
};

// The largest distance from points sampled on `from` to the surface in `grid`.
double OneSided(const std::vector<P3>& positions, const std::vector<int32_t>& from, TriangleGrid& grid,
                double spacing) {
  double worst = 0;
  for (size_t t = 0; t + 2 < from.size(); t += 3) {
    const P3 a = positions[from[t]], b = positions[from[t + 1]], c = positions[from[t + 2]];
    const double longest = std::max({SegmentDistance(a, b, b), SegmentDistance(b, c, c), SegmentDistance(c, a, a)});
    const int n = std::clamp(static_cast<int>(std::ceil(longest / spacing)), 2, 24);
    for (int i = 0; i <= n; ++i)
      for (int j = 0; i + j <= n; ++j) {
        const double u = static_cast<double>(i) / n, v = static_cast<double>(j) / n;
        const P3 p = {a[0] + (b[0] - a[0]) * u + (c[0] - a[0]) * v, a[1] + (b[1] - a[1]) * u + (c[1] - a[1]) * v,
                      a[2] + (b[2] - a[2]) * u + (c[2] - a[2]) * v};
        worst = std::max(worst, grid.Nearest(p));
      }
  }
  return worst;
}

}  // namespace

SimplifyMesh FlatGrid(int nx, int ny, double size) {
  SimplifyMesh m;
  for (int y = 0; y <= ny; ++y)
    for (int x = 0; x <= nx; ++x) Add(m, size * x / nx, size * y / ny, 0);
  const auto at = [&](int x, int y) { return y * (nx + 1) + x; };
  for (int y = 0; y < ny; ++y)
    for (int x = 0; x < nx; ++x) {
      Triangle(m, at(x, y), at(x + 1, y), at(x + 1, y + 1));
      Triangle(m, at(x, y), at(x + 1, y + 1), at(x, y + 1));
    }
  return m;
}

SimplifyMesh SeamCube(double s) {
  SimplifyMesh m;
  // Corner c has bits x, y, z.
  const auto corner = [s](int c) { return P3{(c & 1) * s, ((c >> 1) & 1) * s, ((c >> 2) & 1) * s}; };
  // Each face's corners counter-clockwise seen from outside.
  const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& f : faces) {
    const int32_t first = static_cast<int32_t>(m.positions.size());
    for (int c : f) {
      m.positions.push_back(corner(c));
      m.positionIds.push_back(c);
    }
    Triangle(m, first, first + 1, first + 2);
    Triangle(m, first, first + 2, first + 3);
  }
  return m;
}

SimplifyMesh SliverDiamond() {
  SimplifyMesh m;
  const int32_t a = Add(m, 0, 0, 0), b = Add(m, 2, 0, 0), c = Add(m, 1, 0, 0), d = Add(m, 1, 1, 0),
                e = Add(m, 1, -1, 0);
  Triangle(m, a, c, d);
  Triangle(m, c, b, d);
  Triangle(m, a, e, b);
  Triangle(m, a, b, c);  // no area
  return m;
}

SimplifyMesh Cylinder(int segments, int rings, double radius, double height) {
  SimplifyMesh m;
  const double step = 2 * std::numbers::pi / segments;
  const int32_t band = Band(m, rings, segments, [&](int r, int s) {
    return P3{radius * std::cos(s * step), radius * std::sin(s * step), height * r / rings};
  });
  const int32_t bottom = Add(m, 0, 0, 0), top = Add(m, 0, 0, height);
  for (int s = 0; s < segments; ++s) {
    const int32_t n = (s + 1) % segments;
    Triangle(m, bottom, band + n, band + s);
    Triangle(m, top, band + rings * segments + s, band + rings * segments + n);
  }
  return m;
}

SimplifyMesh Sphere(int rings, double radius) {
  SimplifyMesh m;
  const int segments = 2 * rings;
  const double pi = std::numbers::pi;
  const int32_t band = Band(m, rings - 2, segments, [&](int r, int s) {
    const double lat = -pi / 2 + pi * (r + 1) / rings, lon = 2 * pi * s / segments;
    return P3{radius * std::cos(lat) * std::cos(lon), radius * std::cos(lat) * std::sin(lon), radius * std::sin(lat)};
  });
  const int32_t south = Add(m, 0, 0, -radius), north = Add(m, 0, 0, radius);
  const int32_t last = band + (rings - 2) * segments;
  for (int s = 0; s < segments; ++s) {
    const int32_t n = (s + 1) % segments;
    Triangle(m, south, band + n, band + s);
    Triangle(m, north, last + s, last + n);
  }
  return m;
}

SimplifyMesh SplitAtEveryEdge(const SimplifyMesh& mesh) {
  SimplifyMesh out;
  for (int32_t v : mesh.indices) {
    out.positions.push_back(mesh.positions[v]);
    out.positionIds.push_back(PointOf(mesh, v));
    if (!mesh.locked.empty()) out.locked.push_back(mesh.locked[v]);
    out.indices.push_back(static_cast<int32_t>(out.positions.size() - 1));
  }
  return out;
}

SimplifyMesh Joined(const SimplifyMesh& a, const SimplifyMesh& b, std::array<double, 3> offset) {
  SimplifyMesh out = a;
  const int32_t base = static_cast<int32_t>(a.positions.size());
  int32_t idBase = 0;
  for (size_t v = 0; v < a.positions.size(); ++v) idBase = std::max(idBase, PointOf(a, static_cast<int32_t>(v)) + 1);
  for (size_t v = 0; v < b.positions.size(); ++v) {
    const auto& p = b.positions[v];
    out.positions.push_back({p[0] + offset[0], p[1] + offset[1], p[2] + offset[2]});
    out.positionIds.push_back(idBase + PointOf(b, static_cast<int32_t>(v)));
  }
  if (!a.locked.empty() || !b.locked.empty()) {
    out.locked.resize(a.positions.size(), 0);
    for (size_t v = 0; v < b.positions.size(); ++v) out.locked.push_back(b.locked.empty() ? 0 : b.locked[v]);
  }
  for (int32_t i : b.indices) out.indices.push_back(base + i);
  return out;
}

int32_t PointOf(const SimplifyMesh& mesh, int32_t vertex) {
  return mesh.positionIds.empty() ? vertex : mesh.positionIds[vertex];
}

double Diagonal(const std::vector<std::array<double, 3>>& positions) {
  if (positions.empty()) return 0;
  P3 lo = positions[0], hi = lo;
  for (const P3& p : positions)
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], p[k]);
      hi[k] = std::max(hi[k], p[k]);
    }
  const P3 d = Sub(hi, lo);
  return std::sqrt(Dot(d, d));
}

double SampledHausdorff(const std::vector<std::array<double, 3>>& positions, const std::vector<int32_t>& indicesA,
                        const std::vector<int32_t>& indicesB, double spacing) {
  P3 lo = {std::numeric_limits<double>::infinity(), 0, 0};
  lo[1] = lo[2] = lo[0];
  P3 hi = {-lo[0], -lo[0], -lo[0]};
  for (const auto* list : {&indicesA, &indicesB})
    for (int32_t v : *list)
      for (int k = 0; k < 3; ++k) {
        lo[k] = std::min(lo[k], positions[v][k]);
        hi[k] = std::max(hi[k], positions[v][k]);
      }
  if (indicesA.empty() || indicesB.empty()) return indicesA.empty() == indicesB.empty() ? 0 : Diagonal({lo, hi});
  TriangleGrid gridA(positions, indicesA, lo, hi), gridB(positions, indicesB, lo, hi);
  return std::max(OneSided(positions, indicesA, gridB, spacing), OneSided(positions, indicesB, gridA, spacing));
}

}  // namespace lodsmith::test
