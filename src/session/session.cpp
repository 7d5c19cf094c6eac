// The session's tables: set-up, typed reading, the rules of each cell, the
// LOD count, the default assignment and the recount of the sub-objects.
#include "session/session.h"

#include <algorithm>

#include "core/grid_columns.h"
#include "document/animations.h"
#include "generation/generation_messages.h"
#include "generation/lod_assignment.h"
#include "generation/vertex_estimate.h"
#include "session/lod_rules.h"

namespace lodsmith {

using namespace grid;

namespace {

constexpr int32_t kAbsent = AssignmentCell::kAbsent;

// 0..99 or 999: what an assignment cell takes.
bool ValidAssignment(const std::string& text) {
  auto v = ParseInt32(text);
  return v && *v >= 0 && (*v < 100 || *v == kAbsent);
}

bool IsMark(const std::string& text) { return text == "x" || text == "X"; }

}  // namespace

Session::Session(Platform& platform) : platform_(platform) {}

Session::~Session() = default;

void Session::SetUp(int lods, const std::function<std::string(int)>& distance) {
  lines.clear();
  undoLines.clear();
  Close();
  const int n = std::clamp(lods, kMinLods, kMaxLods);

  Elements.SetRowCount(2);
  Elements.SetCell(kElementName, kHeaderRow, "Name");
  Elements.SetCell(kElementImage, kHeaderRow, "Image");
  Elements.SetCell(kElementFaces, kHeaderRow, "Faces");
  Elements.SetCell(ElementLodColumn(1), kHeaderRow, "L 1");
  Overview.SetCell(kOverviewFaces, kHeaderRow, "Faces");
  Overview.SetCell(kOverviewFaces, 1, "");

  Elements.SetColCount(ElementLodColumn(n) + 1);
  SubObjects.SetColCount(SubObjectSortColumn(n) + 1);
  Overview.SetRowCount(n + 1);
  for (int k = 1; k <= n; ++k) {
    Elements.SetCell(ElementLodColumn(k), kHeaderRow, "L " + std::to_string(k));
    SubObjects.SetCell(SubObjectSortColumn(k), kHeaderRow, "L " + std::to_string(k));
    Overview.SetCell(kOverviewLod, k, std::to_string(k));
  }
  Distances.SetRowCount(n + 1);
  Distances.SetCell(kDistanceLod, 1, "1");
  for (int k = 1; k <= n; ++k) {
    const std::string d = distance(k);
    Distances.SetCell(kDistanceLod, k, std::to_string(k));
    Distances.SetCell(kDistance, k, d);
    Overview.SetCell(kOverviewDistance, k, d);
  }
  lodCount = n;

  SubObjects.SetRowCount(2);
  SubObjects.SetCell(kSubObjectVertices, kHeaderRow, "Vert. L 1");
  Matrices.SetRowCount(2);
  Matrices.SetCell(kMatrixName, kHeaderRow, "Name");
  Matrices.SetCell(kMatrixFaces, kHeaderRow, "Faces");
  Matrices.SetCell(kMatrixAnimated, kHeaderRow, "Anim.");
  pointTolerance = 0;
  normalTolerance = 0;
  for (int k = 1; k <= n; ++k) Details.SetCell(1, k, "");
  ResizeDetails(n);
  screenError = kDefaultScreenError;
}

void Session::Close() {
  lines.clear();
  changed = false;
  fileName.clear();
  fileForm = ShapeForm::UnicodeText;
  Elements.SetRowCount(2);
  for (int c = kElementName; c <= ElementLodColumn(2); ++c) Elements.SetCell(c, 1, "");
  SubObjects.SetRowCount(2);
  Matrices.SetRowCount(2);
  for (int c = kSubObjectNumber; c <= SubObjectSortColumn(1); ++c) SubObjects.SetCell(c, 1, "");
  for (int c = kMatrixName; c <= kMatrixAnimated; ++c) Matrices.SetCell(c, 1, "");
}

// ---- Typed reading ---------------------------------------------------------------

int Session::ElementCount() const { return DataRows(Elements); }
int Session::SubObjectCount() const { return DataRows(SubObjects); }
int Session::MatrixCount() const { return DataRows(Matrices); }
const std::string& Session::ElementName(int row) const { return Elements.Cell(kElementName, row); }
const std::string& Session::Cell(int row, int lod) const { return Elements.Cell(ElementLodColumn(lod), row); }
const std::string& Session::Distance(int lod) const {
  static const std::string kNone;
  return lod >= 1 && lod <= lodCount ? Distances.Cell(kDistance, lod) : kNone;
}
bool Session::SortMarked(int lod, int subObject) const {
  return IsMark(SubObjects.Cell(SubObjectSortColumn(lod), subObject));
}
bool Session::AnimationMarked(int matrixRow) const { return IsMark(Matrices.Cell(kMatrixAnimated, matrixRow)); }

LodAssignment Session::Assignment() const {
  LodAssignment a;
  a.lodCount = lodCount;
  // "L 1" is read even without LODs: the generation checks it first.
  const int lods = std::max(lodCount, 1);
  const int rows = ElementCount();
  a.elements.reserve(static_cast<std::size_t>(std::max(rows, 0)));
  for (int r = 1; r <= rows; ++r) {
    AssignedElement& e = a.elements.emplace_back();
    e.name = Elements.Cell(kElementName, r);
    e.faces = ParseInt32(Elements.Cell(kElementFaces, r));
    e.lods.reserve(static_cast<std::size_t>(lods));
    for (int lod = 1; lod <= lods; ++lod) e.lods.push_back(AssignmentCell::Read(Cell(r, lod)));
  }
  a.subObjectCount = std::max(SubObjectCount(), 0);
  for (int lod = 1; lod <= lodCount; ++lod) {
    std::vector<bool>& marks = a.sorted.emplace_back(static_cast<std::size_t>(a.subObjectCount), false);
    for (int s = 1; s <= a.subObjectCount; ++s) marks[static_cast<std::size_t>(s - 1)] = SortMarked(lod, s);
    a.distances.push_back(Distance(lod));
  }
  return a;
}

// ---- Editing ---------------------------------------------------------------------------

void Session::SetCell(int row, int lod, const std::string& text) {
  Elements.SetCell(ElementLodColumn(lod), row, text);
  if (text.empty() || ValidAssignment(text)) return;
  Elements.SetCell(ElementLodColumn(lod), row, "");
  throw Error(GenerationMsg::AssignmentRefused);
}

void Session::AssignLod(int lod, const std::string& text) {
  if (!ValidAssignment(text)) throw Error(GenerationMsg::BulkNumberRefused);
  for (int r = 1; r < Elements.RowCount(); ++r) Elements.SetCell(ElementLodColumn(lod), r, text);
}

bool Session::CopyPreviousLod(int lod) {
  // LOD 1 has no previous LOD: its left neighbour is the "Faces" column.
  if (lod < 2) return false;
  for (int r = 1; r < Elements.RowCount(); ++r) Elements.SetCell(ElementLodColumn(lod), r, Cell(r, lod - 1));
  return true;
}

bool Session::ShiftAssignments(int row, int lods, bool down) {
  const int last = Elements.RowCount() - 1;
  if (row < 1 || row > last) return false;
  for (int col = ElementLodColumn(1); col <= ElementLodColumn(lods); ++col) {
    if (down) {
      for (int r = last; r > row; --r) Elements.SetCell(col, r, Elements.Cell(col, r - 1));
    } else {
      for (int r = row + 1; r <= last; ++r) Elements.SetCell(col, r - 1, Elements.Cell(col, r));
    }
    Elements.SetCell(col, down ? row : last, "");
  }
  return true;
}

void Session::SetMark(StringGrid& table, int col, int row, const std::string& text) {
  table.SetCell(col, row, text);
  if (text.empty() || IsMark(text)) return;
  table.SetCell(col, row, "");
  throw Error(GenerationMsg::SortMarkRefused);
}

void Session::SetSortMark(int lod, int subObject, const std::string& text) {
  SetMark(SubObjects, SubObjectSortColumn(lod), subObject, text);
}

void Session::SetAnimationMark(int matrixRow, const std::string& text) {
  SetMark(Matrices, kMatrixAnimated, matrixRow, text);
}

void Session::SetDistance(int lod, const std::string& text) {
  Distances.SetCell(kDistance, lod, text);
  const bool refused = !text.empty() && !ValidDistance(text);
  if (refused) Distances.SetCell(kDistance, lod, "");
  // The overview mirrors the distance cell: a cleared or refused distance
  // leaves it empty too rather than showing a number nobody entered.
  auto v = ParseInt32(text);
  Overview.SetCell(kOverviewDistance, lod, v && !refused ? std::to_string(*v) : std::string());
  if (refused) throw Error(GenerationMsg::DistanceRefused);
}

int Session::FirstLodWithoutDistance() const {
  for (int r = 1; r < Distances.RowCount(); ++r)
    if (Distances.Cell(kDistance, r).empty()) return r;
  return 0;
}

void Session::ResizeDistances(int lods) {
  if (lods > kMaxLods) return;
  Distances.SetRowCount(lods + 1);
  for (int r = 1; r <= lods; ++r) {
    Distances.SetCell(kDistanceLod, r, std::to_string(r));
    if (Distances.Cell(kDistance, r).empty()) Distances.SetCell(kDistance, r, kDefaultDistance);
  }
}

void Session::CommitLodCount(int lods) {
  lodCount = lods;
  Elements.SetColCount(ElementLodColumn(lods) + 1);
  SubObjects.SetColCount(SubObjectSortColumn(lods) + 1);
  Overview.SetRowCount(lods + 1);
  for (int k = 1; k <= lods; ++k) {
    const std::string header = "L " + std::to_string(k);
    Elements.SetCell(ElementLodColumn(k), kHeaderRow, header);
    SubObjects.SetCell(SubObjectSortColumn(k), kHeaderRow, header);
    for (int r = 1; r < Elements.RowCount(); ++r)
      if (Cell(r, k).empty()) Elements.SetCell(ElementLodColumn(k), r, "1");
    Overview.SetCell(kOverviewLod, k, std::to_string(k));
    Overview.SetCell(kOverviewDistance, k, Distance(k));
  }
  ResizeDetails(lods);
}

void Session::ApplyDefaultAssignment(int verticesLod) {
  SubObjects.SetCell(kSubObjectNumber, 1, "1");
  for (int k = 1; k <= lodCount; ++k)
    for (int r = 1; r < SubObjects.RowCount(); ++r) SubObjects.SetCell(SubObjectSortColumn(k), r, "");
  for (int k = 1; k <= lodCount; ++k)
    for (int r = 1; r < Elements.RowCount(); ++r) Elements.SetCell(ElementLodColumn(k), r, "1");
  RefreshSubObjects(verticesLod);
  ReadMatrixAnimations();
}

void Session::ReadMatrixAnimations() {
  std::vector<std::string> names;
  for (int r = 1; r < Matrices.RowCount(); ++r) names.push_back(Matrices.Cell(kMatrixName, r));
  auto marks = lodsmith::ReadMatrixAnimations(lines, names);
  if (!marks) return;
  for (std::size_t m = 0; m < marks->size(); ++m)
    Matrices.SetCell(kMatrixAnimated, static_cast<int>(m) + 1, (*marks)[m] ? "x" : "");
}

void Session::RefreshSubObjects(int verticesLod) {
  LodAssignment a = Assignment();
  // The counts of what the generation will write; a shape the
  // simplification cannot read is counted as it stands (the generation
  // names its fault).
  if (AnyLodSimplified()) try {
      a = SimplifiedAssignment();
    } catch (const Error&) {
    }
  int32_t maxSub = 1;
  for (int lod = 1; lod <= lodCount; ++lod) {
    int64_t faces = 0;
    for (int r = 1; r <= a.ElementCount(); ++r) {
      const AssignmentCell& cell = a.Cell(r, lod);
      const std::optional<int32_t>& f = a.elements[static_cast<std::size_t>(r - 1)].faces;
      const int32_t n = cell.number();
      // A number above the absent marker is no sub-object anybody typed (only
      // a hand-edited settings file holds one); it would otherwise make the
      // table grow to that many rows. It counts as a cell that does not parse.
      if (!cell.IsNumber() || n > kAbsent || (n != kAbsent && !f)) {
        SubObjects.SetRowCount(2);
        SubObjects.SetCell(kSubObjectNumber, 1, "");
        SubObjects.SetCell(kSubObjectVertices, 1, "");
        return;
      }
      if (n == kAbsent) continue;
      const std::vector<int32_t>* own = a.Triangles(lod, r);
      faces += own ? static_cast<int64_t>(own->size() / 3) : *f;
      // The rows follow the number a cell holds, as typed ("05" is 5).
      maxSub = std::max(maxSub, n);
    }
    Overview.SetCell(kOverviewFaces, lod, std::to_string(faces));
  }

  SubObjects.SetRowCount(maxSub + 1);
  for (int s = 1; s <= maxSub; ++s) {
    SubObjects.SetCell(kSubObjectNumber, s, std::to_string(s));
    // The recount runs on every click, so it shows no message: an element
    // whose vtx_state has no vertex set in the first sub-object (a shape that
    // was split before) adds nothing to the count.
    const int64_t vertices = ShownVertexCount(a, verticesLod, s, analysis.elementVtxState, analysis.vertexSets);
    SubObjects.SetCell(kSubObjectVertices, s, std::to_string(vertices));
  }
}

void Session::AllowAllActions() { canGenerate_ = canMergePoints_ = canMergeNormals_ = canFixMaterials_ = true; }

}  // namespace lodsmith
