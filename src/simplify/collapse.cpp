#include "simplify/collapse.h"

#include <algorithm>
#include <utility>

namespace lodsmith::simplify {

namespace {

// Below this share of the squared longest edge, twice a triangle's area
// counts as none.
constexpr double kFlat = 1e-10;

// The weight of a border edge's plane against a triangle's (its area).
constexpr double kBorderWeight = 1;

int Corner(const Triangle& t, int32_t point) {
  return t.point[0] == point ? 0 : t.point[1] == point ? 1 : t.point[2] == point ? 2 : -1;
}

// `area` is AreaVector(a, b, c).
bool IsFlat(Vec3d area, Vec3d a, Vec3d b, Vec3d c) {
  const double longest = std::max({Dot(b - a, b - a), Dot(c - b, c - b), Dot(a - c, a - c)});
  return Length(area) <= kFlat * longest;
}

// The corners after `point` in triangle t, counter-clockwise.
std::pair<int32_t, int32_t> Opposite(const Triangle& t, int32_t point) {
  if (t.point[0] == point) return {t.point[1], t.point[2]};
  if (t.point[1] == point) return {t.point[2], t.point[0]};
  return {t.point[0], t.point[1]};
}

// The ordering of moves keeps open borders: the plane through a border
// edge upright on its triangle counts for both ends.
void AddBorderPlane(WorkMesh& m, int32_t a, int32_t b, Vec3d faceNormal) {
  const Vec3d edge = m.position[b] - m.position[a];
  const Vec3d upright = Cross(edge, faceNormal);
  const double length = Length(upright);
  if (!(length > 0)) return;
  const Quadric plane = Quadric::Plane(upright * (1 / length), m.position[a], kBorderWeight * Dot(edge, edge));
  m.quadric[a].Add(plane);
  m.quadric[b].Add(plane);
}

// Kinds from the edges round each point: an edge used once is a border
// edge; one used twice the same way round (or more than twice, which needs
// that) fixes the point. Inside, every neighbour comes after the point in
// one triangle and before it in another.
void ClassifyPoints(WorkMesh& m) {
  std::vector<uint32_t> after(static_cast<size_t>(m.Points()), 0), before(after);
  std::vector<std::pair<int32_t, int32_t>> ends;
  for (int32_t p = 0; p < m.Points(); ++p) {
    const uint32_t round = static_cast<uint32_t>(p) + 1;
    const int32_t* tri = m.Around(p);
    bool twice = false;
    ends.resize(static_cast<size_t>(m.Degree(p)));
    for (int32_t i = 0; i < m.Degree(p); ++i) {
      const auto [b, c] = ends[i] = Opposite(m.triangles[tri[i]], p);
      twice = twice || after[b] == round || before[c] == round;
      after[b] = before[c] = round;
    }
    int32_t borderEdges = 0;
    for (int32_t i = 0; i < m.Degree(p); ++i) {
      const auto [b, c] = ends[i];
      borderEdges += (before[b] != round) + (after[c] != round);
      if (before[b] != round) AddBorderPlane(m, p, b, m.normal0[tri[i]]);
    }
    if (twice || (borderEdges > 0 && borderEdges != 2))
      m.kind[p] = PointKind::Fixed;
    else if (borderEdges == 2 && m.kind[p] == PointKind::Inner)
      m.kind[p] = PointKind::Border;
  }
}

// Lists the triangles around every point, ascending, with some room to grow.
void BuildAround(WorkMesh& m) {
  const int32_t points = m.Points();
  m.size.assign(static_cast<size_t>(points), 0);
  for (const Triangle& t : m.triangles)
    for (int32_t p : t.point) ++m.size[p];
  m.start.resize(static_cast<size_t>(points));
  m.room.resize(static_cast<size_t>(points));
  int32_t next = 0;
  for (int32_t p = 0; p < points; ++p) {
    m.start[p] = next;
    m.room[p] = m.size[p] + 2;
    next += m.room[p];
    m.size[p] = 0;
  }
  // Room for blocks that move to the end as they grow, so that the pool
  // itself seldom moves.
  m.pool.reserve(static_cast<size_t>(next) + static_cast<size_t>(next) / 2);
  m.pool.assign(static_cast<size_t>(next), -1);
  for (size_t i = 0; i < m.triangles.size(); ++i)
    for (int32_t p : m.triangles[i].point)
      m.pool[static_cast<size_t>(m.start[p] + m.size[p]++)] = static_cast<int32_t>(i);
}

}  // namespace

void BuildWorkMesh(const SimplifyMesh& mesh, const std::vector<int32_t>& pointOf, int32_t pointCount, WorkMesh& m) {
  m.position.assign(pointCount, Place{});
  std::vector<uint8_t> placed(pointCount, 0);
  for (size_t v = 0; v < pointOf.size(); ++v)
    if (!placed[pointOf[v]]) {
      placed[pointOf[v]] = 1;
      const auto& p = mesh.positions[v];
      m.position[pointOf[v]] = {{p[0], p[1], p[2]}};
    }
  m.kind.assign(pointCount, PointKind::Inner);
  m.quadric.assign(pointCount, Quadric{});
  m.triangles.clear();
  m.normal0.clear();
  m.triangles.reserve(mesh.indices.size() / 3);
  m.normal0.reserve(mesh.indices.size() / 3);
  for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
    Triangle t;
    for (int k = 0; k < 3; ++k) {
      t.vertex[k] = mesh.indices[i + k];
      t.point[k] = pointOf[t.vertex[k]];
    }
    if (t.point[0] == t.point[1] || t.point[1] == t.point[2] || t.point[0] == t.point[2]) continue;
    const Vec3d a = m.position[t.point[0]], b = m.position[t.point[1]], c = m.position[t.point[2]];
    const Vec3d area = AreaVector(a, b, c);
    const double longest = std::max({Dot(b - a, b - a), Dot(c - b, c - b), Dot(a - c, a - c)});
    const double length = Length(area);
    Vec3d normal;  // none for a triangle without area: it carries no plane
    if (length > kFlat * longest) {
      normal = area * (1 / length);
      const Quadric plane = Quadric::Plane(normal, a, length / 2);
      for (int32_t p : t.point) m.quadric[p].Add(plane);
    }
    m.triangles.push_back(t);
    m.normal0.push_back(normal);
  }
  m.alive = static_cast<int32_t>(m.triangles.size());
  BuildAround(m);
  ClassifyPoints(m);
  for (size_t v = 0; v < mesh.locked.size(); ++v)
    if (mesh.locked[v]) m.kind[pointOf[v]] = PointKind::Fixed;
  for (int32_t p = 0; p < pointCount; ++p) m.position[p].selfCost = m.quadric[p].Evaluate(m.position[p]);
}

void WorkMesh::AddAround(int32_t p, int32_t triangle) {
  if (size[p] == room[p]) {
    // Full: the block moves to the end of the pool with twice the room.
    const int32_t moved = static_cast<int32_t>(pool.size());
    room[p] = std::max(4, 2 * room[p]);
    pool.resize(pool.size() + static_cast<size_t>(room[p]));
    std::copy_n(pool.begin() + start[p], size[p], pool.begin() + moved);
    start[p] = moved;
  }
  pool[static_cast<size_t>(start[p] + size[p]++)] = triangle;
}

void WorkMesh::RemoveAround(int32_t p, int32_t triangle) {
  int32_t* first = pool.data() + start[p];
  int32_t* last = first + size[p];
  int32_t* at = std::find(first, last, triangle);
  if (at == last) return;
  *at = last[-1];  // nothing depends on the order round a point
  --size[p];
}

// Orders the triangles round `from` into a fan starting at `to`: sector s
// lies between outline_[s] and outline_[s + 1]. Fails unless that takes
// every triangle and the fan is what the point's kind needs (closed inside,
// open with `to` at one end on a border).
bool Evaluator::BuildFan(const WorkMesh& m, int32_t from, int32_t to) {
  const int32_t degree = m.Degree(from);
  const int32_t* tri = m.Around(from);
  ends_.resize(static_cast<size_t>(degree));
  // Counter-clockwise from `to` where a triangle starts there, else
  // clockwise (`to` ends an open fan).
  reversed_ = true;
  for (int32_t i = 0; i < degree; ++i) {
    ends_[i] = Opposite(m.triangles[tri[i]], from);
    Prefetch(&m.normal0[static_cast<size_t>(tri[i])]);  // read by ShapeHolds
    reversed_ = reversed_ && ends_[i].first != to;
  }
  if (reversed_)
    for (auto& e : ends_) std::swap(e.first, e.second);
  sectors_.clear();
  outline_.assign(1, to);
  bool closed = false;
  while (static_cast<int32_t>(sectors_.size()) < degree && !closed) {
    int32_t found = -1;
    for (int32_t i = 0; i < degree && found < 0; ++i)
      if (ends_[i].first == outline_.back()) found = i;
    if (found < 0) break;
    sectors_.push_back(tri[found]);
    const int32_t next = ends_[found].second;
    ends_[found].first = -1;  // used
    if (next == to)
      closed = true;
    else
      outline_.push_back(next);
  }
  if (static_cast<int32_t>(sectors_.size()) != degree) return false;
  border_ = !closed;
  if (m.kind[from] == PointKind::Inner) return closed && degree >= 3;
  return m.kind[from] == PointKind::Border && !closed && degree >= 2;
}

// The outline's points are distinct, and `to` shares no neighbour with
// `from` but the corners of the triangles on their edge (no edge of more
// than two triangles after the move, no triangle twice).
bool Evaluator::LinkHolds(const WorkMesh& m, int32_t to) {
  ++round_;
  for (int32_t p : outline_) {
    if (stamp_[p] == round_) return false;
    stamp_[p] = round_;
  }
  ++round_;
  const int32_t* tri = m.Around(to);
  for (int32_t i = 0; i < m.Degree(to); ++i)
    for (int32_t p : m.triangles[tri[i]].point) stamp_[p] = round_;
  const int32_t count = static_cast<int32_t>(outline_.size());
  const int32_t lastShared = border_ ? 1 : count - 1;
  for (int32_t i = 2; i < count; ++i)
    if (i != lastShared && stamp_[outline_[i]] == round_) return false;
  if (!border_ && count == 3) {
    // The one new triangle must not be one `to` has already.
    for (int32_t i = 0; i < m.Degree(to); ++i) {
      const Triangle& t = m.triangles[tri[i]];
      if (Corner(t, from_) < 0 && Corner(t, outline_[1]) >= 0 && Corner(t, outline_[2]) >= 0) return false;
    }
  }
  return true;
}

// No new triangle flat or turned by 90 degrees or more against the one it
// replaces or the input's; every new triangle facing the old fan's normal.
bool Evaluator::ShapeHolds(const WorkMesh& m, Vec3d& normal) {
  const Vec3d p = m.position[from_], q = m.position[to_];
  Vec3d sum;
  const size_t sectors = sectors_.size();
  now_.resize(sectors);
  moved_.resize(sectors);
  for (size_t s = 0; s < sectors; ++s) {
    Vec3d b, c;
    Corners(s, b, c);
    now_[s] = AreaVector(p, b, c);
    sum = sum + now_[s];
    if (s == 0 || (!border_ && s + 1 == sectors)) continue;  // the triangles on the edge to `to`
    moved_[s] = AreaVector(q, b, c);
    if (IsFlat(moved_[s], q, b, c)) return false;
    // A triangle that came without area has no side to turn from.
    const Vec3d input = m.normal0[sectors_[s]];
    const bool flatInput = input.x == 0 && input.y == 0 && input.z == 0;
    if (!flatInput && (Dot(moved_[s], now_[s]) <= 0 || Dot(moved_[s], input) <= 0)) return false;
  }
  const double length = Length(sum);
  if (!(length > 0)) return false;
  normal = sum * (1 / length);
  const size_t last = border_ ? sectors : sectors - 1;  // the new triangles are sectors 1 .. last - 1
  for (size_t s = 1; s < last; ++s)
    if (Dot(moved_[s], normal) <= 0) return false;
  return true;
}

bool Evaluator::Evaluate(const WorkMesh& m, int32_t from, int32_t to, double limit, Collapse& out) {
  from_ = from;
  to_ = to;
  linkFailed_ = false;
  if (m.kind[from] == PointKind::Fixed || !BuildFan(m, from, to)) return false;
  if (m.alive - (border_ ? 1 : 2) < 1) return false;
  linkFailed_ = !LinkHolds(m, to);
  if (linkFailed_) return false;
  points_.resize(outline_.size());
  for (size_t i = 0; i < outline_.size(); ++i) points_[i] = m.position[outline_[i]];
  Vec3d normal;
  if (!ShapeHolds(m, normal)) return false;
  const Vec3d p = m.position[from];
  Vec3d apex = p;
  double offset = 0;
  if (border_) {
    // A border point: first onto the new border edge, then as inside.
    apex = NearestOnSegment(p, m.position[outline_.back()], m.position[to]);
    offset = Length(p - apex);
  }
  const size_t sectors = sectors_.size();
  carried_.resize(sectors);
  for (size_t s = 0; s < sectors; ++s) {
    Vec3d a = now_[s];
    if (border_) {
      Vec3d b, c;
      Corners(s, b, c);
      a = AreaVector(apex, b, c);
    }
    const double facing = Dot(a, normal);
    if (facing < 0 && facing < -kFlat * Length(a)) return false;
    carried_[s] = m.triangles[sectors_[s]].error + offset;
  }
  bounds_.resize(sectors + 1);
  Fan fan;
  fan.apex = apex;
  fan.outline = points_.data();
  fan.sectors = static_cast<int32_t>(sectors);
  fan.open = border_;
  fan.mirrored = reversed_;
  fan.normal = normal;
  fan.carried = carried_.data();
  const double error = FanBounds(fan, limit, work_, bounds_.data());
  if (error < 0 || error > limit) return false;
  out.error = error;
  out.from = from;
  out.to = to;
  return true;
}

void Evaluator::Apply(WorkMesh& m, std::vector<int32_t>& touched) {
  // Each vertex of `from` becomes the vertex of `to` it shares a triangle
  // with (the smallest of several), else (a seam crossing `from` elsewhere)
  // the one the smallest such vertex becomes.
  map_.clear();
  for (int32_t ti : sectors_) {
    const Triangle& t = m.triangles[ti];
    const int32_t v = t.vertex[Corner(t, from_)];
    auto it = std::find_if(map_.begin(), map_.end(), [v](const auto& e) { return e.first == v; });
    if (it == map_.end()) it = map_.insert(map_.end(), {v, -1});
    const int k = Corner(t, to_);
    if (k >= 0 && (it->second < 0 || t.vertex[k] < it->second)) it->second = t.vertex[k];
  }
  std::sort(map_.begin(), map_.end());
  int32_t fallback = -1;
  for (const auto& [v, w] : map_)
    if (w >= 0 && fallback < 0) fallback = w;
  for (auto& [v, w] : map_)
    if (w < 0) w = fallback;
  for (size_t s = 0; s < sectors_.size(); ++s) {
    const int32_t ti = sectors_[s];
    Triangle& t = m.triangles[ti];
    if (Corner(t, to_) >= 0) {
      t.TakeAway();
      --m.alive;
      for (int32_t p : t.point)
        if (p != from_) m.RemoveAround(p, ti);
      continue;
    }
    const int k = Corner(t, from_);
    const int32_t v = t.vertex[k];
    t.vertex[k] = std::find_if(map_.begin(), map_.end(), [v](const auto& e) { return e.first == v; })->second;
    t.point[k] = to_;
    t.error = bounds_[s];
    m.AddAround(to_, ti);
  }
  m.size[from_] = 0;
  m.quadric[to_].Add(m.quadric[from_]);
  m.position[to_].selfCost = m.quadric[to_].Evaluate(m.position[to_]);
  touched.push_back(from_);
  touched.insert(touched.end(), outline_.begin(), outline_.end());  // `to` first
}

}  // namespace lodsmith::simplify
