// The shape around the sub-objects: the head (volumes and sort vectors for
// sorted sub-objects, the LOD count), the LOD head of every LOD, and the
// tail.
#include "generation/shape_writer.h"

#include <algorithm>

#include "generation/refusal.h"

namespace lodsmith {

ShapeWriter::ShapeWriter(const Lines& lines, const TemplateLayout& layout, const LodAssignment& assignment,
                         const GenerationTables& tables, const LodPlan& plan, const GenerationObserver& observer,
                         const ModelGeometry* geometry)
    : lines_(lines),
      layout_(layout),
      a_(assignment),
      t_(tables),
      plan_(plan),
      observer_(observer),
      geometry_(geometry) {
  rowPrimitive_.assign(static_cast<std::size_t>(std::max(a_.ElementCount(), 0)) + 1, -1);
  for (std::size_t k = 0; k < layout_.primitives.size(); ++k) {
    const int row = layout_.primitives[k].row;
    if (row >= 0 && row < static_cast<int>(rowPrimitive_.size()))
      rowPrimitive_[static_cast<std::size_t>(row)] = static_cast<int32_t>(k);
  }
  if (!geometry_ || geometry_->subObjects.empty()) return;
  original_.assign(static_cast<std::size_t>(a_.ElementCount()) + 1, nullptr);
  for (const GeometryPrimitive& p : geometry_->subObjects.front().primitives)
    if (p.primState >= 0 && p.primState < a_.ElementCount()) original_[static_cast<std::size_t>(p.primState) + 1] = &p;
}

const std::string& ShapeWriter::Line(int64_t index) const {
  if (index < 0 || index >= static_cast<int64_t>(lines_.size())) Refuse(GenerationMsg::FileEndsEarly, index + 1);
  return lines_[static_cast<std::size_t>(index)];
}

void ShapeWriter::CopyRange(int64_t from, int64_t to) {
  if (from >= to) return;
  // The first line outside the template is the one refused.
  Line(from);
  if (to > static_cast<int64_t>(lines_.size())) Line(static_cast<int64_t>(lines_.size()));
  // One insertion: the lines are copied straight into place.
  out_.insert(out_.end(), lines_.begin() + from, lines_.begin() + to);
}

namespace {

// The lines a list of `entries` values of at most `width` characters each
// takes once wrapped: every wrapped line but the last holds more than 190
// characters.
std::size_t WrappedLines(std::size_t entries, std::size_t width) { return (entries * (width + 1) + 64) / 190 + 1; }

}  // namespace

std::size_t ShapeWriter::LineBound() const {
  const int64_t size = static_cast<int64_t>(lines_.size());
  const int64_t sorted = plan_.SortedCount;
  // Head (with a volume and a sort vector per sorted sub-object) and tail.
  int64_t lines = std::max<int64_t>(layout_.LevelsBodyLine, 0) + 3 * (sorted + 1) + sorted;
  lines += std::max<int64_t>(size - (int64_t{layout_.SubObjectEndLine} + 3), 0);
  std::vector<int> setSeen(t_.vertexSets.size(), 0);
  int stamp = 0;
  for (int lod = 1; lod <= a_.lodCount; ++lod) {
    lines += static_cast<int64_t>(layout_.levels.size()) + 2;
    for (int s = 1; s <= plan_.SubObjectCount(lod); ++s)
      lines += static_cast<int64_t>(SubObjectLineBound(lod, s, setSeen, ++stamp));
  }
  return static_cast<std::size_t>(std::max<int64_t>(lines, 0));
}

std::size_t ShapeWriter::SubObjectLineBound(int lod, int subObject, std::vector<int>& setSeen, int stamp) const {
  const std::span<const TVertexSetEntry> sets = t_.vertexSets;
  int64_t lines = static_cast<int64_t>(layout_.header.size()) + 2;
  for (const HeaderLine& h : layout_.header) lines += 3 * int64_t{std::max(h.nodes, 0)};
  // The vertices line, the lines after the vertices up to vertex_sets and
  // those after the vertex_set lines up to the primitives line.
  lines += 2 + std::max(layout_.vertexSetsLine - layout_.afterVertices, 0);
  if (!layout_.primitives.empty())
    lines += std::max<int64_t>(
        layout_.primitives.front().line - (int64_t{layout_.vertexSetsLine} + 1 + static_cast<int64_t>(sets.size())), 0);
  const std::span<const int32_t> states = t_.elementVtxState;
  for (int r = 1; r <= a_.ElementCount(); ++r) {
    if (!a_.Cell(r, lod).Places(subObject)) continue;
    const int32_t set = r < static_cast<int>(states.size()) ? states[static_cast<std::size_t>(r)] : -1;
    if (set >= 0 && set < static_cast<int32_t>(sets.size()) && setSeen[static_cast<std::size_t>(set)] != stamp) {
      setSeen[static_cast<std::size_t>(set)] = stamp;
      lines += 1 + 3 * int64_t{std::max(sets[static_cast<std::size_t>(set)].VertexCount, 0)};
    }
    const int32_t k = rowPrimitive_[static_cast<std::size_t>(r)];
    if (k < 0) continue;
    const std::span<const TriangleList> lists = layout_.ListsOf(layout_.primitives[static_cast<std::size_t>(k)]);
    if (const std::vector<int32_t>* own = a_.Triangles(lod, r)) {
      const std::size_t faces = own->size() / 3;
      lines +=
          static_cast<int64_t>(WrappedLines(own->size(), 10) + WrappedLines(faces, 12) + WrappedLines(faces, 8) + 1);
      if (!lists.empty()) lines += int64_t{lists.front().indexLine} - lists.front().firstLine;
      continue;
    }
    for (const TriangleList& list : lists)
      lines += (int64_t{list.indexLine} - list.firstLine) + list.indexLineCount +
               (int64_t{list.closeLine} + 1 - list.normalLine);
  }
  return static_cast<std::size_t>(lines);
}

Lines ShapeWriter::Write() {
  out_.clear();
  // Room for the whole shape spares the moves of a growing list; just that
  // room can come from memory freed before rather than from new pages.
  out_.reserve(LineBound());
  sortedIndex_ = 0;
  WriteHead();
  for (int lod = 1; lod <= a_.lodCount; ++lod) WriteLod(lod);
  WriteTail();
  return std::move(out_);
}

void ShapeWriter::WriteHead() {
  int64_t from = 0;
  const int32_t sorted = plan_.SortedCount;
  if (sorted > 0) {
    const SortedHead& head = layout_.Sorted();
    CopyRange(0, head.volumesLine);
    std::string line = Line(head.volumesLine);
    ReplaceValueAfter(line, "volumes", 1, std::to_string(int64_t{head.volumes} + sorted));
    out_.push_back(std::move(line));
    // The sorted sub-objects each get a copy of the first volume, placed
    // directly after it (volume indices 1 to the sorted count).
    for (int32_t k = 0; k <= sorted; ++k) CopyRange(head.volumesLine + 1, head.volumesLine + 4);
    CopyRange(head.volumesLine + 4, head.sortVectorsLine);
    line = Line(head.sortVectorsLine);
    ReplaceValueAfter(line, "sort_vectors", 1, std::to_string(int64_t{head.sortVectors} + sorted));
    out_.push_back(std::move(line));
    out_.insert(out_.end(), static_cast<std::size_t>(sorted), head.sortVector);
    from = head.sortVectorsLine + 1;
  }
  if (layout_.LevelsBodyLine < 0) Refuse(GenerationMsg::LodNotFound);
  const int64_t levels = int64_t{layout_.LevelsBodyLine} - 1;  // "distance_levels "
  CopyRange(from, levels);
  std::string line = Line(levels);
  ReplaceValueAfter(line, "distance_levels", 1, std::to_string(a_.lodCount));
  out_.push_back(std::move(line));
}

void ShapeWriter::WriteLod(int lod) {
  for (const LevelLine& level : layout_.levels) {
    if (level.kind == LevelLine::Kind::Copy) {
      Copy(level.line);
      continue;
    }
    std::string line = Line(level.line);
    if (level.kind == LevelLine::Kind::Distance)
      ReplaceValueAfter(line, "dlevel_selection", 1, a_.Distance(lod));
    else
      ReplaceValueAfter(line, "sub_objects", 1, std::to_string(plan_.SubObjectCount(lod)));
    out_.push_back(std::move(line));
  }
  for (int s = 1; s <= plan_.SubObjectCount(lod); ++s) WriteSubObject(lod, s);
  // The closing lines of sub_objects and distance_level.
  Copy(int64_t{layout_.SubObjectEndLine} + 1);
  Copy(int64_t{layout_.SubObjectEndLine} + 2);
}

void ShapeWriter::WriteTail() { CopyRange(int64_t{layout_.SubObjectEndLine} + 3, static_cast<int64_t>(lines_.size())); }

}  // namespace lodsmith
