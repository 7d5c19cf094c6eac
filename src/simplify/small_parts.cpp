#include "simplify/small_parts.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace lodsmith::simplify {

namespace {

// Points probed for the distance of a piece to the rest.
constexpr size_t kProbes = 8;

struct Piece {
  std::vector<int32_t> triangles;
  Vec3d lo, hi;  // the box round all its points, as it came
  double bound = 0;
};

int32_t Root(std::vector<int32_t>& parent, int32_t p) {
  while (parent[p] != p) p = parent[p] = parent[parent[p]];
  return p;
}

// Per point, the least point of its connected piece as the mesh came (-1:
// in no triangle). A collapse moves a point onto a neighbour and leaves
// both in the triangles it takes away, so the triangles as they are now,
// taken away or not, join the same points as those that came.
std::vector<int32_t> PieceRoots(const WorkMesh& m) {
  std::vector<int32_t> parent(m.position.size());
  std::vector<uint8_t> used(m.position.size(), 0);
  for (size_t p = 0; p < parent.size(); ++p) parent[p] = static_cast<int32_t>(p);
  for (const Triangle& t : m.triangles)
    for (int k = 0; k < 3; ++k) {
      used[t.point[k]] = 1;
      if (k == 0) continue;
      const int32_t a = Root(parent, t.point[0]), b = Root(parent, t.point[k]);
      if (a != b) parent[std::max(a, b)] = std::min(a, b);
    }
  for (size_t p = 0; p < parent.size(); ++p) parent[p] = used[p] ? Root(parent, static_cast<int32_t>(p)) : -1;
  return parent;
}

// The live triangles by connected piece, in the order of their first
// triangle. Moves keep pieces apart and whole, so each is one as it came.
std::vector<Piece> Pieces(const WorkMesh& m) {
  const std::vector<int32_t> root = PieceRoots(m);
  std::vector<int32_t> pieceOf(m.position.size(), -1);
  std::vector<Piece> pieces;
  for (size_t i = 0; i < m.triangles.size(); ++i) {
    if (!m.triangles[i].Alive()) continue;
    const int32_t r = root[m.triangles[i].point[0]];
    if (pieceOf[r] < 0) {
      pieceOf[r] = static_cast<int32_t>(pieces.size());
      pieces.emplace_back();
      pieces.back().lo = pieces.back().hi = m.position[r];
    }
    pieces[pieceOf[r]].triangles.push_back(static_cast<int32_t>(i));
  }
  for (size_t p = 0; p < m.position.size(); ++p) {
    if (root[p] < 0 || pieceOf[root[p]] < 0) continue;
    Piece& piece = pieces[pieceOf[root[p]]];
    const Vec3d x = m.position[p];
    piece.lo = {std::min(piece.lo.x, x.x), std::min(piece.lo.y, x.y), std::min(piece.lo.z, x.z)};
    piece.hi = {std::max(piece.hi.x, x.x), std::max(piece.hi.y, x.y), std::max(piece.hi.z, x.z)};
  }
  return pieces;
}

// What removing the piece costs against the live triangles outside it:
// every point of it as it came, and of what is left of it, lies within its
// box, so within the box's diagonal of any of its points, and that point
// within its distance of the rest.
double RemovalBound(const WorkMesh& m, const Piece& piece, double limit) {
  const double base = Length(piece.hi - piece.lo);
  if (base > limit) return base;
  std::vector<int32_t> points;
  for (int32_t ti : piece.triangles)
    for (int32_t p : m.triangles[ti].point) points.push_back(p);
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  if (points.size() > kProbes) points.resize(kProbes);
  std::vector<uint8_t> inside(m.triangles.size(), 0);
  for (int32_t ti : piece.triangles) inside[ti] = 1;
  double nearest = std::numeric_limits<double>::infinity();
  for (size_t i = 0; i < m.triangles.size(); ++i) {
    const Triangle& t = m.triangles[i];
    if (!t.Alive() || inside[i]) continue;
    const Vec3d a = m.position[t.point[0]], b = m.position[t.point[1]], c = m.position[t.point[2]];
    for (int32_t p : points) nearest = std::min(nearest, PointTriangleDistance(m.position[p], a, b, c));
  }
  return base + nearest;
}

}  // namespace

double RemoveSmallParts(WorkMesh& m, int32_t goal, double limit) {
  if (m.alive <= goal) return 0;
  std::vector<Piece> pieces = Pieces(m);
  if (pieces.size() < 2) return 0;
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
    for (int32_t ti : piece.triangles) m.triangles[ti].TakeAway();
    m.alive -= static_cast<int32_t>(piece.triangles.size());
    worst = std::max(worst, bound);
  }
  return worst;
}

}  // namespace lodsmith::simplify
