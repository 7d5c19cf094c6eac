// The simplified LODs of the session: each element's mesh read once per
// document, each element and detail simplified once, the totals per LOD
// and the distances they suggest.
#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <tuple>

#include "core/grid_columns.h"
#include "generation/element_mesh.h"
#include "generation/lod_assignment.h"
#include "session/session.h"
#include "simplify/simplify.h"

namespace lodsmith {

namespace {

// One element simplified for one detail, in the element's own numbering.
struct SimplifiedElement {
  std::vector<int32_t> triangles;
  double error = 0;
  int32_t before = 0;
  int32_t after = 0;
  bool stoppedEarly = false;
};

// {element row, auto, the percent or the bits of the error allowed}.
using DetailKey = std::tuple<int32_t, bool, uint64_t>;

// Per vertex of each element: whether its point is one another element's
// vertices name too (the seam between them stays where it is).
std::vector<std::vector<uint8_t>> SharedPoints(const std::vector<ElementMesh>& meshes) {
  std::map<int32_t, int32_t> firstElement;  // point -> the first element naming it
  std::map<int32_t, bool> shared;
  for (std::size_t row = 0; row < meshes.size(); ++row)
    for (int32_t point : meshes[row].vertexPoint) {
      auto [it, added] = firstElement.emplace(point, static_cast<int32_t>(row));
      if (!added && it->second != static_cast<int32_t>(row)) shared[point] = true;
    }
  std::vector<std::vector<uint8_t>> locked(meshes.size());
  for (std::size_t row = 0; row < meshes.size(); ++row)
    for (int32_t point : meshes[row].vertexPoint) locked[row].push_back(shared.count(point) ? 1 : 0);
  return locked;
}

// The diagonal of an element's box: the error of leaving it out whole.
double Extent(const ElementMesh& mesh) {
  if (mesh.positions.empty()) return 0;
  Point3 lo = mesh.positions.front(), hi = lo;
  for (const Point3& p : mesh.positions)
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], p[a]);
      hi[a] = std::max(hi[a], p[a]);
    }
  const double dx = hi[0] - lo[0], dy = hi[1] - lo[1], dz = hi[2] - lo[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool Placed(const AssignmentCell& cell) {
  return cell.kind() == AssignmentCell::Kind::All || cell.kind() == AssignmentCell::Kind::SubObject;
}

// The error `auto` allows in LOD `lod` (0 for a LOD at a share).
double AllowedError(const Session& s, int lod, const LodDetail& detail) {
  return detail.IsAuto() ? s.screenError * PixelSizeAt(s.FirstSeenDistance(lod)) : 0;
}

}  // namespace

struct Session::DetailCache {
  Lines lines;
  std::vector<ElementMesh> meshes;  // index = element row
  std::vector<std::vector<uint8_t>> locked;
  std::optional<Message> failure;
  std::map<DetailKey, SimplifiedElement> simplified;

  // Element row `row` at `detail`, `maxError` metres allowed for `auto`.
  const SimplifiedElement& Get(int32_t row, const LodDetail& detail, double maxError) {
    const DetailKey key{row, detail.IsAuto(),
                        detail.IsAuto() ? std::bit_cast<uint64_t>(maxError) : static_cast<uint64_t>(detail.percent)};
    auto it = simplified.find(key);
    if (it != simplified.end()) return it->second;
    const ElementMesh& mesh = meshes[static_cast<std::size_t>(row)];
    SimplifyMesh in;
    in.positions = mesh.positions;
    in.positionIds = mesh.vertexPoint;
    in.locked = locked[static_cast<std::size_t>(row)];
    in.indices.reserve(mesh.triangles.size());
    for (int32_t v : mesh.triangles)
      in.indices.push_back(static_cast<int32_t>(std::lower_bound(mesh.vertices.begin(), mesh.vertices.end(), v) -
                                                mesh.vertices.begin()));
    const SimplifyResult r = Simplify(
        in, detail.IsAuto() ? SimplifyTarget::MaxError(maxError) : SimplifyTarget::Ratio(detail.percent / 100.0));
    SimplifiedElement e;
    e.error = r.error;
    e.before = r.trianglesBefore;
    e.after = r.trianglesAfter;
    e.stoppedEarly = r.stoppedEarly;
    e.triangles.reserve(r.indices.size());
    for (int32_t i : r.indices) e.triangles.push_back(mesh.vertices[static_cast<std::size_t>(i)]);
    return simplified.emplace(key, std::move(e)).first->second;
  }

  // Calls visit(lod, row, element) for every element that a LOD below 100 %
  // draws, simplified at the LOD's detail.
  template <class Visit>
  void ForEachSimplified(const Session& s, const LodAssignment& a, Visit visit) {
    const int rows = std::min(a.ElementCount(), static_cast<int>(meshes.size()) - 1);
    for (int lod = 1; lod <= s.lodCount; ++lod) {
      const LodDetail detail = s.Detail(lod);
      if (detail.Full()) continue;
      const double allowed = AllowedError(s, lod, detail);
      for (int row = 1; row <= rows; ++row)
        if (Placed(a.Cell(row, lod)) && !meshes[static_cast<std::size_t>(row)].triangles.empty())
          visit(lod, row, Get(row, detail, allowed));
    }
  }
};

Session::DetailCache& Session::Meshes() const {
  if (!detailCache_ || detailCache_->lines != lines) {
    auto cache = std::make_shared<DetailCache>();
    cache->lines = lines;
    try {
      const GenerationTables tables{analysis.elementVtxState, analysis.vtxStateMatrix, analysis.vertexSets,
                                    MatrixCount()};
      cache->meshes = ReadElementMeshes(lines, tables);
      cache->locked = SharedPoints(cache->meshes);
    } catch (const Error& e) {
      cache->failure = e.message();
    }
    detailCache_ = std::move(cache);
  }
  if (detailCache_->failure) throw Error(*detailCache_->failure);
  return *detailCache_;
}

LodAssignment Session::SimplifiedAssignment() const {
  LodAssignment a = Assignment();
  if (!AnyLodSimplified()) return a;
  Meshes().ForEachSimplified(*this, a, [&](int lod, int row, const SimplifiedElement& e) {
    // An element whose triangles all name a point twice has nothing to
    // simplify; it keeps its lists.
    if (!e.triangles.empty()) a.triangles[{lod, row}] = e.triangles;
  });
  return a;
}

std::vector<LodSimplification> Session::Simplifications() const {
  std::vector<LodSimplification> out;
  if (!AnyLodSimplified()) return out;
  DetailCache& cache = Meshes();
  std::map<int, std::size_t> entry;  // LOD -> its totals in `out`
  for (int lod = 1; lod <= lodCount; ++lod) {
    const LodDetail detail = Detail(lod);
    if (detail.Full()) continue;
    entry[lod] = out.size();
    LodSimplification& s = out.emplace_back();
    s.lod = lod;
    s.detail = detail;
    s.distance = FirstSeenDistance(lod);
  }
  cache.ForEachSimplified(*this, Assignment(), [&](int lod, int, const SimplifiedElement& e) {
    LodSimplification& s = out[entry[lod]];
    s.trianglesBefore += e.before;
    s.trianglesAfter += e.triangles.empty() ? e.before : e.after;
    s.error = std::max(s.error, e.error);
    s.stoppedEarly = s.stoppedEarly || e.stoppedEarly;
  });
  return out;
}

DistanceSuggestion Session::SuggestDistances() {
  DistanceSuggestion out;
  for (int k = 1; k <= lodCount; ++k) {
    out.distances.push_back(Distance(k));
    out.changed.push_back(false);
  }
  for (int k = 1; k <= lodCount; ++k)
    if (Detail(k).IsAuto()) {
      out.refusedAuto = true;
      return out;
    }
  const LodAssignment a = Assignment();
  DetailCache& cache = Meshes();
  const int rows = std::min(a.ElementCount(), static_cast<int>(cache.meshes.size()) - 1);
  int64_t previous = 0;
  for (int k = 1; k < lodCount; ++k) {
    const int next = k + 1;
    const LodDetail detail = Detail(next);
    double error = 0;
    for (int row = 1; row <= rows; ++row) {
      const ElementMesh& mesh = cache.meshes[static_cast<std::size_t>(row)];
      // What LOD 1 does not draw is no part of the model anybody sees.
      if (mesh.triangles.empty() || !Placed(a.Cell(row, 1))) continue;
      const AssignmentCell& cell = a.Cell(row, next);
      if (cell.kind() == AssignmentCell::Kind::Absent)
        error = std::max(error, Extent(mesh));
      else if (Placed(cell) && !detail.Full())
        error = std::max(error, cache.Get(row, detail, 0).error);
    }
    if (error == 0) {
      // A LOD that shows the model as it is keeps the distance it has.
      if (const auto current = ParseInt32(Distance(k))) previous = *current;
      continue;
    }
    const int64_t d =
        std::clamp<int64_t>(std::max(DistanceForError(error, screenError), previous + 1), kMinDistance, kMaxDistance);
    const std::string text = std::to_string(d);
    if (text != Distance(k)) {
      SetDistance(k, text);
      out.changed[static_cast<std::size_t>(k - 1)] = true;
    }
    out.distances[static_cast<std::size_t>(k - 1)] = text;
    previous = d;
  }
  return out;
}

}  // namespace lodsmith
