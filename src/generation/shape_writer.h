// The writer of a generation: the new shape from the template's layout, the
// assignment and the per-LOD plan. It reads the template only where the
// layout points, through a bounds-checked accessor, and refuses (Error,
// wrapped in GenerationMsg::Aborted) what depends on the sub-object being
// written: no "distance_levels " line, counts of a sub-object beyond 32
// bits, a sorted sub-object whose header cannot be sorted, a primitive the
// layout did not follow.
#pragma once

#include <cstdint>
#include <vector>

#include "document/model_geometry.h"
#include "document/model_tables.h"
#include "generation/lod_plan.h"
#include "generation/template_layout.h"
#include "generation/vertex_estimate.h"

namespace lodsmith {

class ShapeWriter {
public:
  // `geometry`: the template's geometry read with GeometryDetail::Entries,
  // needed (and only read) when the assignment gives elements triangles of
  // their own; nullptr otherwise.
  ShapeWriter(const Lines& lines, const TemplateLayout& layout, const LodAssignment& assignment,
              const GenerationTables& tables, const LodPlan& plan, const GenerationObserver& observer,
              const ModelGeometry* geometry = nullptr);

  // Head copy, the LODs, tail copy.
  Lines Write();

private:
  // Elements, triangle lists and faces of one output sub-object, in all and
  // per matrix. An element has one list unless the template wrote several
  // under its prim_state_idx.
  struct SubObjectCounts {
    int32_t SubObjectElementCount = 0;
    int32_t SubObjectListCount = 0;
    int32_t SubObjectFaceCount = 0;
    std::vector<TMatrixUse> MatrixUse;  // index = matrix
    std::vector<int32_t> MatrixLists;   // index = matrix
  };

  // About the number of lines Write gives, never refused: at least that
  // many unless elements have triangles of their own (their wrapped lists
  // are guessed), and little more (a set or node a sub-object may leave out
  // is counted). One list of that size takes the whole shape.
  std::size_t LineBound() const;
  std::size_t SubObjectLineBound(int lod, int subObject, std::vector<int>& setSeen, int stamp) const;
  void WriteHead();
  void WriteLod(int lod);
  void WriteTail();
  // subobject_writer.cpp
  void WriteSubObject(int lod, int subObject);
  SubObjectCounts CountSubObject(int lod, int subObject) const;
  void WriteHeader(int lod, int subObject, const SubObjectCounts& counts);
  // vertex_writer.cpp
  void WriteVertexBlocks(const VertexEstimate& estimate, int64_t primitiveEntries);
  void WritePrimitives(int lod, int subObject, const VertexEstimate& estimate);
  void WritePrimitive(const Primitive& primitive, int32_t shift);
  // An element with triangles of its own in the LOD: one list in place of
  // its lists, renumbered by the estimate of vertex set `set`.
  void WriteOwnTriangles(const Primitive& primitive, int lod, std::span<const int32_t> triangles,
                         const VertexEstimate& estimate, std::size_t set);

  const std::string& Line(int64_t index) const;  // template line, bounds-checked
  void Copy(int64_t index) { out_.push_back(Line(index)); }
  void CopyRange(int64_t from, int64_t to);  // lines [from, to)
  void Progress(ProgressLabel label, const Message& text) const {
    if (observer_.progress) observer_.progress(label, text);
  }

  const Lines& lines_;
  const TemplateLayout& layout_;
  const LodAssignment& a_;
  const GenerationTables& t_;
  const LodPlan& plan_;
  const GenerationObserver& observer_;
  const ModelGeometry* geometry_;
  std::vector<const GeometryPrimitive*> original_;  // per element row: its primitive in geometry_
  std::vector<int32_t> rowPrimitive_;               // per element row: its primitive in layout_, -1: none
  Lines out_;
  std::vector<char> scratch_;  // an index line being put together
  int32_t sortedIndex_ = 0;    // the sort index the next sorted sub-object takes
};

}  // namespace lodsmith
