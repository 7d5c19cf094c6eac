// The vertex estimate: a sub-object gets every vertex set that one of its
// elements uses, whole. The estimate names the kept sets and the shift that
// renumbers the vertices of each (the vertices of the dropped sets before
// it); nothing is written into the tables it reads.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "document/model_tables.h"
#include "generation/lod_assignment.h"

namespace lodsmith {

struct VertexEstimate {
  std::vector<int32_t> shifts;  // per vertex set: -1 when dropped, else its shift
  int64_t vertices = 0;         // the kept sets' vertices
};

// The sets of the elements that sub-object `subObject` of LOD `lod` holds.
// Element row r uses vertex set elementVtxState[r]. Throws Error
// (GenerationMsg) when such an element lies outside elementVtxState or its
// vtx_state has no vertex set, when a count is negative, or when the count
// or a shift does not fit 32 bits (the sums are taken in 64 bits, never
// wrapped).
VertexEstimate EstimateVertexSets(const LodAssignment& assignment, int lod, int subObject,
                                  std::span<const int32_t> elementVtxState,
                                  std::span<const TVertexSetEntry> vertexSets);

// The count the sub-object grid shows, by the same rule but never refused:
// an element without a vertex set brings no vertices (a shape that was split
// before has such elements), and a sum beyond 32 bits is shown as it is.
int64_t ShownVertexCount(const LodAssignment& assignment, int lod, int subObject,
                         std::span<const int32_t> elementVtxState, std::span<const TVertexSetEntry> vertexSets);

}  // namespace lodsmith
