#include "simplify/simplify.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>
#include <utility>

#include "core/message.h"
#include "simplify/collapse.h"
#include "simplify/simplify_messages.h"
#include "simplify/small_parts.h"

namespace lodsmith {

namespace {

using simplify::PointKind;
using simplify::WorkMesh;

void CheckInput(const SimplifyMesh& mesh) {
  const size_t count = mesh.positions.size();
  if ((!mesh.positionIds.empty() && mesh.positionIds.size() != count) ||
      (!mesh.locked.empty() && mesh.locked.size() != count) || mesh.indices.size() % 3 != 0)
    throw Error(SimplifyMsg::SizesDiffer);
  for (size_t v = 0; v < count; ++v)
    for (double c : mesh.positions[v])
      if (!std::isfinite(c)) throw Error(SimplifyMsg::NotFinite, v);
  for (int32_t i : mesh.indices)
    if (i < 0 || static_cast<size_t>(i) >= count) throw Error(SimplifyMsg::IndexOutside, i, count);
}

// Numbers the points 0.. in the order of their position ids.
std::vector<int32_t> NumberPoints(const SimplifyMesh& mesh, int32_t& pointCount) {
  const size_t count = mesh.positions.size();
  std::vector<int32_t> pointOf(count);
  if (mesh.positionIds.empty()) {
    for (size_t v = 0; v < count; ++v) pointOf[v] = static_cast<int32_t>(v);
    pointCount = static_cast<int32_t>(count);
    return pointOf;
  }
  const auto [low, high] = std::minmax_element(mesh.positionIds.begin(), mesh.positionIds.end());
  if (*low >= 0 && static_cast<size_t>(*high) < 4 * count + 64) {
    // Ids in a small range: a table instead of a sort.
    std::vector<int32_t> number(static_cast<size_t>(*high) + 1, -1);
    for (int32_t id : mesh.positionIds) number[id] = 0;
    pointCount = 0;
    for (int32_t& n : number)
      if (n == 0) n = pointCount++;
    for (size_t v = 0; v < count; ++v) pointOf[v] = number[mesh.positionIds[v]];
    return pointOf;
  }
  std::vector<int32_t> ids = mesh.positionIds;
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  for (size_t v = 0; v < count; ++v)
    pointOf[v] = static_cast<int32_t>(std::lower_bound(ids.begin(), ids.end(), mesh.positionIds[v]) - ids.begin());
  pointCount = static_cast<int32_t>(ids.size());
  return pointOf;
}

struct Candidate {
  double key = 0;  // quadric error of the move
  int32_t seam = 0;
  int32_t from = -1, to = -1;
};

struct Earlier {
  bool operator()(const Candidate& a, const Candidate& b) const {
    if (a.key != b.key) return a.key < b.key;
    if (a.seam != b.seam) return a.seam < b.seam;
    if (a.from != b.from) return a.from < b.from;
    return a.to < b.to;
  }
};

struct Entry {
  Candidate move;
  uint32_t version = 0;  // of the point's moves when found
};
struct Later {
  bool operator()(const Entry& a, const Entry& b) const { return Earlier{}(b.move, a.move); }
};

// Collapses edges until `target` triangles are left or no allowed collapse
// within `limit` is: always the point whose cheapest move has the least
// quadric error (ties: no seam first, then by index). A point's move is
// measured in full only when its turn comes; refused, it tries its other
// moves, and with none allowed it waits until a point near it changes.
class Collapser {
public:
  Collapser(WorkMesh& m, double limit)
      : m_(m),
        limit_(limit),
        evaluator_(m.Points()),
        version_(static_cast<size_t>(m.Points()), 0),
        best_(static_cast<size_t>(m.Points())),
        refused_(static_cast<size_t>(m.Points()), 0),
        stamp_(static_cast<size_t>(m.Points()), 0) {}

  void Run(int32_t target) {
    for (int32_t p = 0; p < m_.Points(); ++p) Push(p);
    while (m_.alive > target && !queue_.empty()) {
      const Entry e = queue_.top();
      queue_.pop();
      const int32_t p = e.move.from;
      if (e.version != version_[p]) continue;  // a later entry stands for it
      ++version_[p];
      bool done = TryMove(p, e.move.to);
      if (!done) {
        Targets(p, targets_, false);
        for (size_t k = 0; k < targets_.size() && !done; ++k)
          if (targets_[k].to != e.move.to) done = TryMove(p, targets_[k].to);
      }
      if (done)
        Update(p);
      else
        refused_[p] = 1;
    }
  }

private:
  // The moves of `p` allowed by its kind, cheapest first (only the
  // cheapest with `bestOnly`). Round a point inside, every neighbour starts
  // one triangle and ends another; on a border, the two ends start or end
  // one only.
  void Targets(int32_t p, std::vector<Candidate>& out, bool bestOnly) {
    out.clear();
    if (m_.kind[p] == PointKind::Fixed || m_.Degree(p) == 0) return;
    const int32_t degree = m_.Degree(p);
    const int32_t* tri = m_.Around(p);
    fan_.clear();
    int32_t vertices[2] = {-1, -1};
    bool more = false;  // p has more than two vertices
    for (int32_t i = 0; i < degree; ++i) {
      const simplify::Triangle& t = m_.triangles[tri[i]];
      const int k = t.point[0] == p ? 0 : t.point[1] == p ? 1 : 2;
      const int32_t v = t.vertex[k];
      if (vertices[0] < 0 || vertices[0] == v)
        vertices[0] = v;
      else if (vertices[1] < 0 || vertices[1] == v)
        vertices[1] = v;
      else
        more = true;
      fan_.push_back({t.point[(k + 1) % 3], t.point[(k + 2) % 3], v});
    }
    const auto add = [&](int32_t q, int32_t v, int32_t w) {
      // A seam at p: along the edge when both of p's vertices touch it.
      const bool along = !more && (v == vertices[1] || w == vertices[1]) && (v == vertices[0] || w == vertices[0]);
      const Candidate c{Key(p, q), vertices[1] < 0 ? 0 : along ? 1 : 2, p, q};
      if (!bestOnly || out.empty())
        out.push_back(c);
      else if (Earlier{}(c, out[0]))
        out[0] = c;
    };
    const auto endingAt = [&](int32_t q) {
      return std::find_if(fan_.begin(), fan_.end(), [&](const FanEnd& f) { return f.c == q; });
    };
    if (m_.kind[p] == PointKind::Inner) {
      for (const FanEnd& e : fan_) add(e.b, e.v, vertices[1] < 0 ? e.v : endingAt(e.b)->v);
    } else {
      for (const FanEnd& e : fan_) {
        if (endingAt(e.b) == fan_.end()) add(e.b, e.v, e.v);
        if (std::none_of(fan_.begin(), fan_.end(), [&](const FanEnd& f) { return f.b == e.c; })) add(e.c, e.v, e.v);
      }
    }
    std::sort(out.begin(), out.end(), Earlier{});
  }

  // Finds the cheapest move of `p` and queues it.
  void Push(int32_t p) {
    Targets(p, targets_, true);
    ++version_[p];
    refused_[p] = targets_.empty();
    if (targets_.empty()) return;
    best_[p] = targets_.front();
    queue_.push({best_[p], version_[p]});
  }

  // After `from` moved onto `to`: looks again at the points whose cheapest
  // move may have changed, and at refused points next to a change. A
  // neighbour of `to` has it as a new or dearer neighbour: only where it
  // moved to or from there, or where `to` is no dearer than its cheapest
  // move, does that change.
  void Update(int32_t from) {
    const int32_t to = changed_[1];
    ++round_;
    dirty_.clear();
    const auto mark = [&](int32_t p) {
      if (stamp_[p] == round_) return;
      stamp_[p] = round_;
      dirty_.push_back(p);
    };
    mark(to);
    const int32_t* tri = m_.Around(to);
    for (int32_t i = 0; i < m_.Degree(to); ++i)
      for (int32_t q : m_.triangles[tri[i]].point) {
        const Candidate& best = best_[q];
        if (refused_[q] || best.to == from || best.to == to || Key(q, to) <= best.key) mark(q);
      }
    // A refused move of a neighbour may be allowed now.
    for (size_t k = 2; k < changed_.size(); ++k) {
      const int32_t* around = m_.Around(changed_[k]);
      for (int32_t i = 0; i < m_.Degree(changed_[k]); ++i)
        for (int32_t q : m_.triangles[around[i]].point)
          if (refused_[q]) mark(q);
    }
    for (int32_t p : dirty_) Push(p);
  }

  double Key(int32_t from, int32_t to) const { return m_.quadric[from].Evaluate(m_.position[to]) + m_.selfCost[to]; }

  bool TryMove(int32_t from, int32_t to) {
    simplify::Collapse found;
    if (!evaluator_.Evaluate(m_, from, to, limit_, found)) return false;
    changed_.clear();
    evaluator_.Apply(m_, changed_);
    return true;
  }

  WorkMesh& m_;
  double limit_;
  simplify::Evaluator evaluator_;
  std::vector<uint32_t> version_;
  std::vector<Candidate> best_;
  std::vector<uint8_t> refused_;
  std::vector<uint32_t> stamp_;
  uint32_t round_ = 0;
  std::priority_queue<Entry, std::vector<Entry>, Later> queue_;
  std::vector<int32_t> changed_, dirty_;
  std::vector<Candidate> targets_;
  struct FanEnd {
    int32_t b, c, v;  // the corners after p, and p's vertex, in a triangle
  };
  std::vector<FanEnd> fan_;
};

}  // namespace

SimplifyResult Simplify(const SimplifyMesh& mesh, const SimplifyTarget& target) {
  CheckInput(mesh);
  SimplifyResult result;
  result.trianglesBefore = static_cast<int32_t>(mesh.indices.size() / 3);
  if (mesh.indices.empty()) return result;
  int32_t pointCount = 0;
  const std::vector<int32_t> pointOf = NumberPoints(mesh, pointCount);
  WorkMesh m = simplify::BuildWorkMesh(mesh, pointOf, pointCount);
  if (m.triangles.empty()) {
    // Nothing but triangles without surface: the first stays, so that the
    // element keeps a triangle.
    result.indices.assign(mesh.indices.begin(), mesh.indices.begin() + 3);
    result.trianglesAfter = 1;
    return result;
  }
  const bool byError = target.maxError >= 0;
  const double limit = byError ? target.maxError : std::numeric_limits<double>::infinity();
  const double share = std::clamp(target.ratio, 0.0, 1.0);
  const int32_t goal =
      byError ? 1 : std::max<int32_t>(1, static_cast<int32_t>(std::llround(share * static_cast<double>(m.alive))));
  Collapser(m, limit).Run(goal);
  double error = 0;
  for (const simplify::Triangle& t : m.triangles)
    if (t.alive) error = std::max(error, t.error);
  // By share, a piece vanishes only within the error the collapses have
  // reached already: the share is a wish, not a licence for a large error.
  error = std::max(error, simplify::RemoveSmallParts(m, byError ? 1 : goal, byError ? limit : error));
  for (const simplify::Triangle& t : m.triangles)
    if (t.alive) result.indices.insert(result.indices.end(), t.vertex.begin(), t.vertex.end());
  result.error = error;
  result.trianglesAfter = static_cast<int32_t>(result.indices.size() / 3);
  result.stoppedEarly = !byError && m.alive > goal;
  return result;
}

}  // namespace lodsmith
