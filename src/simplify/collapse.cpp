#include "simplify/collapse.h"

#include <algorithm>
#include <utility>

#include "simplify/fan_distance.h"

namespace lodsmith::simplify {

namespace {

// Below this share of the squared longest edge, twice a triangle's area
// counts as none.
constexpr double kFlat = 1e-10;

int Corner(const Triangle& t, int32_t point) {
  for (int i = 0; i < 3; ++i)
    if (t.point[i] == point) return i;
  return -1;
}

bool IsFlat(Vec3d a, Vec3d b, Vec3d c) {
  const double longest = std::max({Dot(b - a, b - a), Dot(c - b, c - b), Dot(a - c, a - c)});
  return Length(AreaVector(a, b, c)) <= kFlat * longest;
}

// The other points of the triangles around `point`, sorted, each once.
std::vector<int32_t> Neighbours(const WorkMesh& m, int32_t point) {
  std::vector<int32_t> out;
  for (int32_t t : m.around[point])
    for (int32_t p : m.triangles[t].point)
      if (p != point) out.push_back(p);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

// For each vertex of `from` in its triangles, the vertex of `to` it becomes:
// the one it shares a triangle with, else (a seam crossing `from` elsewhere)
// the one the smallest such vertex becomes. `seam` says which case it was.
std::vector<std::pair<int32_t, int32_t>> MapVertices(const WorkMesh& m, int32_t from, int32_t to, int32_t& seam) {
  std::vector<std::pair<int32_t, int32_t>> map;
  for (int32_t ti : m.around[from]) {
    const Triangle& t = m.triangles[ti];
    const int32_t v = t.vertex[Corner(t, from)];
    auto it = std::find_if(map.begin(), map.end(), [v](const auto& e) { return e.first == v; });
    if (it == map.end()) {
      map.push_back({v, -1});
      it = map.end() - 1;
    }
    const int q = Corner(t, to);
    if (q >= 0 && (it->second < 0 || t.vertex[q] < it->second)) it->second = t.vertex[q];
  }
  std::sort(map.begin(), map.end());
  int32_t fallback = -1;
  bool crossing = false;
  for (const auto& [v, w] : map)
    if (w >= 0 && fallback < 0) fallback = w;
  for (auto& [v, w] : map)
    if (w < 0) {
      w = fallback;
      crossing = true;
    }
  seam = map.size() <= 1 ? 0 : crossing ? 2 : 1;
  return map;
}

// The fan's topology allows the move: returns the triangles sharing the
// edge (0 when not allowed) and, on a border, the other border neighbour.
int32_t CheckTopology(const WorkMesh& m, int32_t from, int32_t to, int32_t& otherBorder) {
  std::vector<int32_t> ends;
  int32_t shared = 0;
  for (int32_t ti : m.around[from]) {
    const Triangle& t = m.triangles[ti];
    if (Corner(t, to) >= 0) ++shared;
    for (int32_t p : t.point)
      if (p != from) ends.push_back(p);
  }
  std::sort(ends.begin(), ends.end());
  // Edge counts around `from`: 2 inside, 1 on the border.
  std::vector<int32_t> borderEnds;
  for (size_t i = 0; i < ends.size();) {
    size_t j = i;
    while (j < ends.size() && ends[j] == ends[i]) ++j;
    if (j - i == 1)
      borderEnds.push_back(ends[i]);
    else if (j - i != 2)
      return 0;
    i = j;
  }
  const PointKind kind = m.kind[from];
  if (kind == PointKind::Inner && (!borderEnds.empty() || shared != 2)) return 0;
  if (kind == PointKind::Border) {
    if (borderEnds.size() != 2 || shared != 1) return 0;
    if (borderEnds[0] != to && borderEnds[1] != to) return 0;
    otherBorder = borderEnds[0] == to ? borderEnds[1] : borderEnds[0];
  }
  // Link condition: the common neighbours are the corners opposite the edge.
  ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
  const std::vector<int32_t> near = Neighbours(m, to);
  std::vector<int32_t> common;
  std::set_intersection(ends.begin(), ends.end(), near.begin(), near.end(), std::back_inserter(common));
  if (static_cast<int32_t>(common.size()) != shared) return 0;
  if (m.alive - shared < 1) return 0;
  return shared;
}

// A new triangle (to, b, c) would repeat one `to` already has.
bool Repeats(const WorkMesh& m, int32_t to, int32_t b, int32_t c) {
  for (int32_t ti : m.around[to]) {
    const Triangle& t = m.triangles[ti];
    if (Corner(t, b) >= 0 && Corner(t, c) >= 0) return true;
  }
  return false;
}

}  // namespace

bool Before(const Collapse& a, const Collapse& b) {
  if (a.error != b.error) return a.error < b.error;
  if (a.seam != b.seam) return a.seam < b.seam;
  if (a.quadric != b.quadric) return a.quadric < b.quadric;
  if (a.from != b.from) return a.from < b.from;
  return a.to < b.to;
}

Collapse Evaluate(const WorkMesh& m, int32_t from, int32_t to, double above) {
  Collapse c;
  c.from = from;
  c.to = to;
  if (m.kind[from] == PointKind::Fixed) return c;
  int32_t otherBorder = -1;
  if (CheckTopology(m, from, to, otherBorder) == 0) return c;
  const Vec3d p = m.position[from], q = m.position[to];
  std::vector<FanTriangle> before, after;
  Vec3d sum;
  double carried = 0;
  for (int32_t ti : m.around[from]) {
    const Triangle& t = m.triangles[ti];
    const int k = Corner(t, from);
    const int32_t pb = t.point[(k + 1) % 3], pc = t.point[(k + 2) % 3];
    const Vec3d b = m.position[pb], cc = m.position[pc];
    const Vec3d now = AreaVector(p, b, cc);
    carried = std::max(carried, t.error);
    sum = sum + now;
    before.push_back({b, cc});
    if (pb == to || pc == to) continue;
    const Vec3d moved = AreaVector(q, b, cc);
    if (IsFlat(q, b, cc) || Dot(moved, now) <= 0 || Dot(moved, t.normal0) <= 0) return c;
    if (Repeats(m, to, pb, pc)) return c;
    after.push_back({b, cc});
  }
  const double sumLength = Length(sum);
  if (after.empty() || sumLength <= 0) return c;
  const Vec3d n = sum * (1 / sumLength);
  for (const FanTriangle& t : after)
    if (Dot(AreaVector(q, t.b, t.c), n) <= 0) return c;
  Vec3d apex = p;
  double offset = 0;
  if (otherBorder >= 0) {
    // A border point: first onto the new border edge, then as inside.
    apex = NearestOnSegment(p, m.position[otherBorder], q);
    offset = Length(p - apex);
  }
  for (const FanTriangle& t : before) {
    const Vec3d a = AreaVector(apex, t.b, t.c);
    if (Dot(a, n) < -kFlat * Length(a)) return c;
  }
  // The apex alone first: where that already costs more than `above`, the
  // crossings (the costly part) are not needed.
  const double apexGap = ApexGap(apex, q, after, n, otherBorder >= 0);
  if (apexGap < 0 || carried + offset + apexGap > above) return c;
  const double gap = FanDistance(apex, before, q, after, n, otherBorder >= 0);
  if (gap < 0) return c;
  c.error = carried + offset + gap;
  MapVertices(m, from, to, c.seam);
  Quadric sumQ = m.quadric[from];
  sumQ.Add(m.quadric[to]);
  c.quadric = sumQ.Evaluate(q);
  c.valid = true;
  return c;
}

Collapse BestCollapse(const WorkMesh& m, int32_t from, double limit) {
  Collapse best;
  if (m.kind[from] == PointKind::Fixed || m.around[from].empty()) return best;
  for (int32_t to : Neighbours(m, from)) {
    const Collapse c = Evaluate(m, from, to, best.valid ? std::min(limit, best.error) : limit);
    if (c.valid && c.error <= limit && (!best.valid || Before(c, best))) best = c;
  }
  return best;
}

std::vector<int32_t> Apply(WorkMesh& m, const Collapse& c) {
  int32_t seam = 0;
  const auto map = MapVertices(m, c.from, c.to, seam);
  std::vector<int32_t> changed = Neighbours(m, c.from);
  for (int32_t ti : m.around[c.from]) {
    Triangle& t = m.triangles[ti];
    const int k = Corner(t, c.from);
    if (Corner(t, c.to) >= 0) {
      t.alive = false;
      --m.alive;
      continue;
    }
    const int32_t v = t.vertex[k];
    t.vertex[k] = std::lower_bound(map.begin(), map.end(), std::pair<int32_t, int32_t>{v, INT32_MIN})->second;
    t.point[k] = c.to;
    t.error = c.error;
    m.around[c.to].push_back(ti);
  }
  m.around[c.from].clear();
  m.quadric[c.to].Add(m.quadric[c.from]);
  for (int32_t p : changed) {
    auto& list = m.around[p];
    list.erase(std::remove_if(list.begin(), list.end(), [&](int32_t ti) { return !m.triangles[ti].alive; }),
               list.end());
  }
  return changed;
}

WorkMesh BuildWorkMesh(const SimplifyMesh& mesh, const std::vector<int32_t>& pointOf, int32_t pointCount,
                       int32_t& dropped) {
  WorkMesh m;
  m.position.assign(pointCount, Vec3d{});
  std::vector<uint8_t> placed(pointCount, 0);
  for (size_t v = 0; v < pointOf.size(); ++v)
    if (!placed[pointOf[v]]) {
      placed[pointOf[v]] = 1;
      const auto& p = mesh.positions[v];
      m.position[pointOf[v]] = {p[0], p[1], p[2]};
    }
  m.kind.assign(pointCount, PointKind::Inner);
  m.quadric.assign(pointCount, Quadric{});
  m.around.assign(pointCount, {});
  dropped = 0;
  std::vector<std::pair<int32_t, int32_t>> edges;  // directed, one per triangle side
  for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
    Triangle t;
    for (int k = 0; k < 3; ++k) {
      t.vertex[k] = mesh.indices[i + k];
      t.point[k] = pointOf[t.vertex[k]];
    }
    if (t.point[0] == t.point[1] || t.point[1] == t.point[2] || t.point[0] == t.point[2]) {
      ++dropped;
      continue;
    }
    const Vec3d a = m.position[t.point[0]], b = m.position[t.point[1]], c = m.position[t.point[2]];
    const Vec3d area = AreaVector(a, b, c);
    if (IsFlat(a, b, c)) {
      for (int32_t p : t.point) m.kind[p] = PointKind::Fixed;  // a triangle without a normal never changes
    } else {
      const double length = Length(area);
      t.normal0 = area * (1 / length);
      for (int32_t p : t.point) m.quadric[p].AddPlane(t.normal0, a, length / 2);
    }
    const int32_t index = static_cast<int32_t>(m.triangles.size());
    for (int k = 0; k < 3; ++k) {
      m.around[t.point[k]].push_back(index);
      edges.push_back({t.point[k], t.point[(k + 1) % 3]});
    }
    m.triangles.push_back(t);
  }
  m.alive = static_cast<int32_t>(m.triangles.size());
  // Kinds from the edges: used once is a border, more than twice (or twice
  // the same way round) fixes both ends.
  std::vector<std::pair<int32_t, int32_t>> undirected;
  undirected.reserve(edges.size());
  for (auto [a, b] : edges) undirected.push_back({std::min(a, b), std::max(a, b)});
  std::sort(edges.begin(), edges.end());
  for (size_t i = 1; i < edges.size(); ++i)
    if (edges[i] == edges[i - 1]) m.kind[edges[i].first] = m.kind[edges[i].second] = PointKind::Fixed;
  std::sort(undirected.begin(), undirected.end());
  std::vector<int32_t> borderEdges(pointCount, 0);
  for (size_t i = 0; i < undirected.size();) {
    size_t j = i;
    while (j < undirected.size() && undirected[j] == undirected[i]) ++j;
    const auto [a, b] = undirected[i];
    if (j - i == 1) {
      ++borderEdges[a];
      ++borderEdges[b];
    } else if (j - i > 2) {
      m.kind[a] = m.kind[b] = PointKind::Fixed;
    }
    i = j;
  }
  for (int32_t p = 0; p < pointCount; ++p) {
    if (m.kind[p] == PointKind::Fixed || borderEdges[p] == 0) continue;
    m.kind[p] = borderEdges[p] == 2 ? PointKind::Border : PointKind::Fixed;
  }
  for (size_t v = 0; v < mesh.locked.size(); ++v)
    if (mesh.locked[v]) m.kind[pointOf[v]] = PointKind::Fixed;
  return m;
}

}  // namespace lodsmith::simplify
