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
  for (int64_t i = from; i < to; ++i) Copy(i);
}

Lines ShapeWriter::Write() {
  out_.clear();
  // Every LOD writes at most about the template's lines, unless elements
  // go into every sub-object (0): room for that many (for up to eight LODs)
  // spares the moves of a growing list, and room no line takes is never
  // touched.
  out_.reserve(lines_.size() * static_cast<std::size_t>(std::clamp(a_.lodCount, 1, 8)) + 64);
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
