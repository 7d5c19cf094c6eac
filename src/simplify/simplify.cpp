#include "simplify/simplify.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>

#include "core/message.h"
#include "simplify/collapse.h"
#include "simplify/simplify_messages.h"
#include "simplify/small_parts.h"

namespace lodsmith {

namespace {

using simplify::Collapse;
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
  std::vector<int32_t> ids = mesh.positionIds;
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  for (size_t v = 0; v < count; ++v)
    pointOf[v] = static_cast<int32_t>(std::lower_bound(ids.begin(), ids.end(), mesh.positionIds[v]) - ids.begin());
  pointCount = static_cast<int32_t>(ids.size());
  return pointOf;
}

// A collapse as found, with the versions of both points then: while
// neither point's triangles have changed, it is still exactly what it was.
struct Entry {
  Collapse collapse;
  uint32_t fromVersion = 0, toVersion = 0;
};
struct Later {
  bool operator()(const Entry& a, const Entry& b) const { return simplify::Before(b.collapse, a.collapse); }
};

// Collapses the cheapest allowed edges until `target` triangles are left or
// none within `limit` is.
void CollapseEdges(WorkMesh& m, int32_t target, double limit) {
  const int32_t points = static_cast<int32_t>(m.position.size());
  std::vector<uint32_t> version(points, 0);
  std::priority_queue<Entry, std::vector<Entry>, Later> queue;
  const auto push = [&](int32_t p) {
    const Collapse c = simplify::BestCollapse(m, p, limit);
    if (c.valid) queue.push({c, version[p], version[c.to]});
  };
  for (int32_t p = 0; p < points; ++p) push(p);
  while (m.alive > target && !queue.empty()) {
    const Entry e = queue.top();
    queue.pop();
    const int32_t from = e.collapse.from;
    if (e.fromVersion != version[from]) continue;  // a later entry stands for it
    if (e.toVersion != version[e.collapse.to]) {
      ++version[from];
      push(from);  // the target's neighbourhood changed since: its best move again
      continue;
    }
    const std::vector<int32_t> changed = simplify::Apply(m, e.collapse);
    ++version[from];
    for (int32_t p : changed) ++version[p];
    for (int32_t p : changed) push(p);
  }
}

}  // namespace

SimplifyResult Simplify(const SimplifyMesh& mesh, const SimplifyTarget& target) {
  CheckInput(mesh);
  SimplifyResult result;
  result.trianglesBefore = static_cast<int32_t>(mesh.indices.size() / 3);
  if (mesh.indices.empty()) return result;
  int32_t pointCount = 0;
  const std::vector<int32_t> pointOf = NumberPoints(mesh, pointCount);
  int32_t dropped = 0;
  WorkMesh m = simplify::BuildWorkMesh(mesh, pointOf, pointCount, dropped);
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
  CollapseEdges(m, goal, limit);
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
