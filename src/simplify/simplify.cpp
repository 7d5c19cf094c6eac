#include "simplify/simplify.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include "core/message.h"
#include "simplify/collapse.h"
#include "simplify/move_queue.h"
#include "simplify/simplify_messages.h"
#include "simplify/small_parts.h"

namespace lodsmith {
namespace {

using simplify::Move;
using simplify::MoveQueue;
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
void NumberPoints(const SimplifyMesh& mesh, std::vector<int32_t>& pointOf, int32_t& pointCount) {
  const size_t count = mesh.positions.size();
  pointOf.resize(count);
  if (mesh.positionIds.empty()) {
    for (size_t v = 0; v < count; ++v) pointOf[v] = static_cast<int32_t>(v);
    pointCount = static_cast<int32_t>(count);
    return;
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
    return;
  }
  std::vector<int32_t> ids = mesh.positionIds;
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  for (size_t v = 0; v < count; ++v)
    pointOf[v] = static_cast<int32_t>(std::lower_bound(ids.begin(), ids.end(), mesh.positionIds[v]) - ids.begin());
  pointCount = static_cast<int32_t>(ids.size());
}

// Collapses edges until `target` triangles are left or no allowed collapse
// within `limit` is: always the point whose move makes the least error.
// Each point has one move queued, towards the neighbour of least quadric
// error, at an estimate of its cost (the largest bound its triangles carry
// plus the root mean square distance of that neighbour from its planes); on
// top, the move is measured in full and goes back into the queue at its
// true cost, and is taken when it stays on top. A point whose best move is
// refused tries its other moves; with none allowed it waits until a point
// near it changes.
class Collapser {
  // What the moves note about a point, side by side (read together).
  struct Marks {
    uint32_t stamp = 0, seen = 0;  // the round it was last marked, and looked at, in
    uint32_t changedIn = 0;        // the round its triangles last changed in
    uint8_t refused = 0;           // 0 not refused, 1 refused for its own triangles, 2 also for a target
  };
  struct FanEnd {
    int32_t b, c, v;  // the corners after p, and p's vertex, in a triangle
  };

public:
  // The collapses' working memory, kept from one mesh to the next.
  struct Memory {
    simplify::Evaluator evaluator;
    MoveQueue queue;
    std::vector<Marks> marks;
    std::vector<int32_t> changed, dirty;
    std::vector<Move> targets;
    std::vector<FanEnd> fan;
    std::vector<double> keys;
  };

  Collapser(WorkMesh& m, double limit, Memory& memory)
      : m_(m),
        limit_(limit),
        evaluator_(memory.evaluator),
        queue_(memory.queue),
        marks_(memory.marks),
        changed_(memory.changed),
        dirty_(memory.dirty),
        targets_(memory.targets),
        fan_(memory.fan),
        keys_(memory.keys) {
    evaluator_.Reset(m.Points());
    queue_.Reset(m.Points());
    marks_.assign(static_cast<size_t>(m.Points()), Marks{});
  }

  void Run(int32_t target) {
    for (int32_t p = 0; p < m_.Points(); ++p) Push(p);
    while (m_.alive > target && !queue_.Empty()) {
      Move move = queue_.Top();
      const int32_t p = move.from;
      if (!Measure(move)) {
        Refuse(p, onLink_);
        continue;
      }
      if (!queue_.StaysOnTop(move)) {
        queue_.Set(move);  // another move may be cheaper now
        continue;
      }
      queue_.Remove(p);
      changed_.clear();
      evaluator_.Apply(m_, changed_);
      Update(p);
    }
  }

private:
  // Measures `move` in full, or the first allowed other move of its point
  // (cheapest quadric first) when it is refused; false when none is allowed.
  bool Measure(Move& move) {
    bool allowed = evaluator_.Evaluate(m_, move.from, move.to, limit_, found_);
    onLink_ = evaluator_.FailedOnLink();
    if (!allowed) {
      const int32_t first = move.to;
      Targets(move.from, targets_, false);
      for (size_t k = 0; k < targets_.size() && !allowed; ++k)
        if (targets_[k].to != first) {
          move = targets_[k];
          allowed = evaluator_.Evaluate(m_, move.from, move.to, limit_, found_);
          onLink_ = onLink_ || evaluator_.FailedOnLink();
        }
    }
    move.cost = found_.error;
    return allowed;
  }

  // Takes p's move out of the queue until a change next to it may allow
  // one: any change round a point refused for what lies round a target,
  // else only a change of its own triangles.
  void Refuse(int32_t p, bool onLink = false) {
    queue_.Remove(p);
    refusedCount_ += !marks_[p].refused;
    marks_[p].refused = onLink ? 2 : 1;
  }

  // Whether a refused point `q` is to be looked at again after a move.
  bool MayNowMove(int32_t q) const { return marks_[q].refused == 2 || marks_[q].changedIn == round_; }

  // The moves of `p` allowed by its kind, cheapest quadric error first (only
  // the cheapest with `bestOnly`). Round a point inside, every neighbour
  // starts one triangle and ends another; on a border, the two ends start or
  // end one only.
  void Targets(int32_t p, std::vector<Move>& out, bool bestOnly) {
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
    const auto endingAt = [&](int32_t q) {
      return std::find_if(fan_.begin(), fan_.end(), [&](const FanEnd& f) { return f.c == q; });
    };
    // `v` is p's vertex in the triangle that starts at q; the one in the
    // triangle that ends there is found only where it decides the seam.
    const auto add = [&](int32_t q, int32_t v, bool inner) {
      Move c;
      c.quadric = Key(p, q);
      if (bestOnly && !out.empty() && c.quadric > out[0].quadric) return;
      c.seam = 0;
      if (vertices[1] >= 0) {
        // A seam at p: along the edge when both of p's vertices touch it.
        const int32_t w = inner && !more ? endingAt(q)->v : v;
        c.seam = !more && v != w ? 1 : 2;
      }
      c.from = p;
      c.to = q;
      if (!bestOnly || out.empty())
        out.push_back(c);
      else if (simplify::Before(c, out[0]))
        out[0] = c;
    };
    if (m_.kind[p] == PointKind::Inner) {
      for (const FanEnd& e : fan_) add(e.b, e.v, true);
    } else {
      for (const FanEnd& e : fan_) {
        if (endingAt(e.b) == fan_.end()) add(e.b, e.v, false);
        if (std::none_of(fan_.begin(), fan_.end(), [&](const FanEnd& f) { return f.b == e.c; })) add(e.c, e.v, false);
      }
    }
    std::sort(out.begin(), out.end(), simplify::Before);
  }

  // Finds the cheapest move of `p` and queues it at its estimated cost.
  void Push(int32_t p) {
    Move move;
    double carried = 0;
    // A move's error is at least the largest bound of the triangles it
    // replaces: past the limit, none of p's moves is allowed.
    if (!BestMove(p, move, carried) || carried > limit_) {
      Refuse(p);
      return;
    }
    refusedCount_ -= marks_[p].refused != 0;
    marks_[p].refused = 0;
    move.cost = carried + Distance(p, move.to);
    queue_.Set(move);
  }

  // The root mean square distance of `to` from the planes of `from`.
  double Distance(int32_t from, int32_t to) const {
    const simplify::Quadric& q = m_.quadric[from];
    return q.w > 0 ? std::sqrt(q.Evaluate(m_.position[to]) / q.w) : 0;
  }

  // A move's estimated cost: the largest bound the triangles of `from`
  // carry, plus its distance.
  double Estimate(int32_t from, int32_t to) const {
    double carried = 0;
    const int32_t* tri = m_.Around(from);
    for (int32_t i = 0; i < m_.Degree(from); ++i) carried = std::max(carried, m_.triangles[tri[i]].error);
    return carried + Distance(from, to);
  }

  // The cheapest move of `p` as Targets orders them, and the largest bound
  // its triangles carry; false when it has none. A point inside is done in
  // one walk over its triangles (each neighbour starts one of them), the
  // seam looked at only where the quadric errors tie.
  bool BestMove(int32_t p, Move& best, double& carried) {
    if (m_.kind[p] != PointKind::Inner) {
      Targets(p, targets_, true);
      if (targets_.empty()) return false;
      best = targets_.front();
      const int32_t* tri = m_.Around(p);
      for (int32_t i = 0; i < m_.Degree(p); ++i) carried = std::max(carried, m_.triangles[tri[i]].error);
      return true;
    }
    const int32_t degree = m_.Degree(p);
    if (degree == 0) return false;
    const int32_t* tri = m_.Around(p);
    const simplify::Quadric quadric = m_.quadric[p];
    keys_.resize(static_cast<size_t>(degree));
    int32_t first = -1;  // p's vertex in its first triangle
    bool split = false;  // p has more than one vertex
    double least = std::numeric_limits<double>::infinity();
    int32_t ties = 0, to = -1;
    for (int32_t i = 0; i < degree; ++i) {
      const simplify::Triangle& t = m_.triangles[tri[i]];
      const int k = (t.point[1] == p) + 2 * (t.point[2] == p);
      const int32_t v = t.vertex[k];
      first = i == 0 ? v : first;
      split = split || v != first;
      carried = std::max(carried, t.error);
      const int32_t b = t.point[k == 2 ? 0 : k + 1];
      const simplify::Place& at = m_.position[b];
      const double key = quadric.Evaluate(at) + at.selfCost;
      keys_[i] = key;
      ties = key < least ? 1 : ties + (key == least);
      to = key < least || (key == least && b < to) ? b : to;
      least = std::min(least, key);
    }
    best = Move{};
    best.from = p;
    best.quadric = least;
    best.to = to;
    if (!split) return true;
    // Where the quadric errors tie, the move along a seam comes first.
    best.seam = 3;
    for (int32_t i = 0; i < degree; ++i) {
      if (keys_[i] != least) continue;
      const int32_t b = Next(tri[i], p);
      const int32_t seam = SeamOf(p, b);
      if (seam < best.seam || (seam == best.seam && b < best.to)) {
        best.seam = seam;
        best.to = b;
      }
      if (ties == 1) break;
    }
    return true;
  }

  // The corner after `p` in triangle `ti`.
  int32_t Next(int32_t ti, int32_t p) const {
    const simplify::Triangle& t = m_.triangles[ti];
    return t.point[0] == p ? t.point[1] : t.point[1] == p ? t.point[2] : t.point[0];
  }

  // For a point inside with more than one vertex: 1 when the move from `p`
  // to `b` runs along a seam (p's vertices differ on the two sides of the
  // edge, and p has two), 2 when it crosses one.
  int32_t SeamOf(int32_t p, int32_t b) const {
    int32_t v = -1, w = -1, one = -1, two = -1;
    bool more = false;  // p has more than two vertices
    const int32_t* tri = m_.Around(p);
    for (int32_t i = 0; i < m_.Degree(p); ++i) {
      const simplify::Triangle& t = m_.triangles[tri[i]];
      const int k = (t.point[1] == p) + 2 * (t.point[2] == p);
      const int32_t x = t.vertex[k];
      if (one < 0 || one == x)
        one = x;
      else if (two < 0 || two == x)
        two = x;
      else
        more = true;
      if (t.point[k == 2 ? 0 : k + 1] == b) v = x;
      if (t.point[k == 0 ? 2 : k - 1] == b) w = x;
    }
    return !more && v != w ? 1 : 2;
  }

  // After `from` moved onto `to`: looks again at the points whose cheapest
  // move may have changed, and at refused points next to a change. A
  // neighbour of `to` has it as a new or dearer neighbour: only where it
  // moved to or from there, or where `to` is no dearer than its cheapest
  // move, does that change. (The others' costs are measured again when
  // their turn comes.)
  void Update(int32_t from) {
    const int32_t to = changed_[1];
    ++round_;
    dirty_.clear();
    const auto mark = [&](int32_t p) {
      if (marks_[p].stamp == round_) return;
      marks_[p].stamp = round_;
      dirty_.push_back(p);
    };
    for (int32_t p : changed_) marks_[p].changedIn = round_;
    mark(to);
    const int32_t* tri = m_.Around(to);
    for (int32_t i = 0; i < m_.Degree(to); ++i)
      for (int32_t q : m_.triangles[tri[i]].point) {
        if (marks_[q].seen == round_) continue;
        marks_[q].seen = round_;
        if (marks_[q].refused) {
          if (MayNowMove(q)) mark(q);
          continue;
        }
        const Move& best = queue_.Of(q);
        if (best.to == from || best.to == to || Key(q, to) <= best.quadric) mark(q);
      }
    // A refused move of a neighbour may be allowed now.
    for (size_t k = 2; k < changed_.size() && refusedCount_ > 0; ++k) {
      const int32_t* around = m_.Around(changed_[k]);
      for (int32_t i = 0; i < m_.Degree(changed_[k]); ++i)
        for (int32_t q : m_.triangles[around[i]].point)
          if (marks_[q].refused && MayNowMove(q)) mark(q);
    }
    for (int32_t p : dirty_) Push(p);
    // The points whose triangles changed carry new bounds: their queued
    // estimates follow, towards the same target.
    for (size_t k = 2; k < changed_.size(); ++k) {
      const int32_t p = changed_[k];
      if (marks_[p].stamp == round_ || !queue_.Has(p)) continue;
      Move move = queue_.Of(p);
      const double estimate = Estimate(p, move.to);
      if (estimate != move.cost) {
        move.cost = estimate;
        queue_.Set(move);
      }
    }
  }

  double Key(int32_t from, int32_t to) const {
    const simplify::Place& at = m_.position[to];
    return m_.quadric[from].Evaluate(at) + at.selfCost;
  }

  WorkMesh& m_;
  double limit_;
  simplify::Evaluator& evaluator_;
  simplify::Collapse found_;
  MoveQueue& queue_;
  int32_t refusedCount_ = 0;
  std::vector<Marks>& marks_;  // per point
  bool onLink_ = false;        // the last Measure refused a move for what lies round its target
  uint32_t round_ = 0;
  std::vector<int32_t>&changed_, &dirty_;
  std::vector<Move>& targets_;
  std::vector<FanEnd>& fan_;
  std::vector<double>& keys_;  // per triangle of the point in BestMove
};

// The working memory of one thread, kept for its next mesh (not on
// Windows, see Simplify): a mesh's time would otherwise go largely to the
// system's handing out fresh pages.
struct Memory {
  std::vector<int32_t> pointOf;
  WorkMesh mesh;
  Collapser::Memory collapser;
};

// Past this many triangles or points the memory goes back after the mesh
// (about 20 MB stay at most).
constexpr size_t kKeptSize = size_t{1} << 16;

SimplifyResult SimplifyIn(const SimplifyMesh& mesh, const SimplifyTarget& target, Memory& memory) {
  SimplifyResult result;
  result.trianglesBefore = static_cast<int32_t>(mesh.indices.size() / 3);
  if (mesh.indices.empty()) return result;
  int32_t pointCount = 0;
  std::vector<int32_t>& pointOf = memory.pointOf;
  NumberPoints(mesh, pointOf, pointCount);
  WorkMesh& m = memory.mesh;
  simplify::BuildWorkMesh(mesh, pointOf, pointCount, m);
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
  Collapser(m, limit, memory.collapser).Run(goal);
  double error = 0;
  for (const simplify::Triangle& t : m.triangles)
    if (t.Alive()) error = std::max(error, t.error);
  // By share, a piece vanishes only within the error the collapses have
  // reached already: the share is a wish, not a licence for a large error.
  error = std::max(error, simplify::RemoveSmallParts(m, byError ? 1 : goal, byError ? limit : error));
  result.indices.reserve(static_cast<size_t>(m.alive) * 3);
  for (const simplify::Triangle& t : m.triangles)
    if (t.Alive())
      for (int32_t v : t.vertex) result.indices.push_back(v);
  result.error = error;
  result.trianglesAfter = static_cast<int32_t>(result.indices.size() / 3);
  result.stoppedEarly = !byError && m.alive > goal;
  return result;
}

}  // namespace

SimplifyResult Simplify(const SimplifyMesh& mesh, const SimplifyTarget& target) {
  CheckInput(mesh);
#ifdef _WIN32
  // The MinGW runtime of the Windows build crashes when a thread that ends
  // destroys its thread_local objects: there each mesh has memory of its own.
  Memory memory;
  return SimplifyIn(mesh, target, memory);
#else
  static thread_local std::unique_ptr<Memory> kept;
  if (!kept) kept = std::make_unique<Memory>();
  SimplifyResult result = SimplifyIn(mesh, target, *kept);
  if (kept->mesh.triangles.capacity() > kKeptSize || kept->mesh.position.capacity() > kKeptSize) kept.reset();
  return result;
#endif
}

}  // namespace lodsmith
