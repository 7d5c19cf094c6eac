#include "simplify/small_parts.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

namespace lodsmith::simplify {

namespace {

// Points probed for the distance of a piece to the rest.
constexpr size_t kProbes = 8;

int32_t Root(std::vector<int32_t>& parent, int32_t p) {
  while (parent[p] != p) p = parent[p] = parent[parent[p]];
  return p;
}

struct Piece {
  std::vector<int32_t> triangles;
  double bound = 0;
};

// The live triangles by connected piece, in the order of their first triangle.
std::vector<Piece> Pieces(const WorkMesh& m) {
  std::vector<int32_t> parent(m.position.size());
  std::iota(parent.begin(), parent.end(), 0);
  for (const Triangle& t : m.triangles)
    if (t.alive)
      for (int k = 1; k < 3; ++k) {
        const int32_t a = Root(parent, t.point[0]), b = Root(parent, t.point[k]);
        if (a != b) parent[std::max(a, b)] = std::min(a, b);
      }
  std::vector<int32_t> pieceOf(m.position.size(), -1);
  std::vector<Piece> pieces;
  for (size_t i = 0; i < m.triangles.size(); ++i) {
    if (!m.triangles[i].alive) continue;
    const int32_t root = Root(parent, m.triangles[i].point[0]);
    if (pieceOf[root] < 0) {
      pieceOf[root] = static_cast<int32_t>(pieces.size());
      pieces.emplace_back();
    }
    pieces[pieceOf[root]].triangles.push_back(static_cast<int32_t>(i));
  }
  return pieces;
}

// What removing the piece costs against the live triangles outside it.
double RemovalBound(const WorkMesh& m, const Piece& piece, double limit) {
  std::vector<int32_t> points;
  double carried = 0;
  Vec3d lo = m.position[m.triangles[piece.triangles[0]].point[0]], hi = lo;
  for (int32_t ti : piece.triangles) {
    carried = std::max(carried, m.triangles[ti].error);
    for (int32_t p : m.triangles[ti].point) {
      points.push_back(p);
      const Vec3d x = m.position[p];
      lo = {std::min(lo.x, x.x), std::min(lo.y, x.y), std::min(lo.z, x.z)};
      hi = {std::max(hi.x, x.x), std::max(hi.y, x.y), std::max(hi.z, x.z)};
    }
  }
  const double base = carried + Length(hi - lo);
  if (base > limit) return base;
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  if (points.size() > kProbes) points.resize(kProbes);
  std::vector<uint8_t> inside(m.triangles.size(), 0);
  for (int32_t ti : piece.triangles) inside[ti] = 1;
  double nearest = std::numeric_limits<double>::infinity();
  for (size_t i = 0; i < m.triangles.size(); ++i) {
    const Triangle& t = m.triangles[i];
    if (!t.alive || inside[i]) continue;
    const Vec3d a = m.position[t.point[0]], b = m.position[t.point[1]], c = m.position[t.point[2]];
    for (int32_t p : points) nearest = std::min(nearest, PointTriangleDistance(m.position[p], a, b, c));
  }
  return base + nearest;
}

}  // namespace

double RemoveSmallParts(WorkMesh& m, int32_t goal, double limit) {
  std::vector<Piece> pieces = Pieces(m);
  if (pieces.size() < 2 || m.alive <= goal) return 0;
  // The largest piece (the first of equals) stays.
  size_t largest = 0;
  for (size_t i = 1; i < pieces.size(); ++i)
    if (pieces[i].triangles.size() > pieces[largest].triangles.size()) largest = i;
  pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(largest));
  for (Piece& piece : pieces) piece.bound = RemovalBound(m, piece, limit);
  std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.bound < b.bound; });
  double worst = 0;
  for (const Piece& piece : pieces) {
    if (m.alive <= goal || piece.bound > limit) break;
    // Against what is left now (earlier pieces may be gone).
    const double bound = RemovalBound(m, piece, limit);
    if (bound > limit) continue;
    for (int32_t ti : piece.triangles) m.triangles[ti].alive = false;
    m.alive -= static_cast<int32_t>(piece.triangles.size());
    worst = std::max(worst, bound);
  }
  return worst;
}

}  // namespace lodsmith::simplify
