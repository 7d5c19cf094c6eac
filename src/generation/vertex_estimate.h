// The vertex estimate: a sub-object gets every vertex set that one of its
// elements uses, whole, unless every element of the sub-object that uses the
// set has triangles of its own in the LOD (LodAssignment::triangles, a
// simplified mesh): then it gets the vertices those triangles use, one by one.
// The estimate names the kept sets, the shift that renumbers the vertices of
// each (the vertices not written before it) and the vertices kept of a set
// kept in part; nothing is written into the tables it reads.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "document/model_tables.h"
#include "generation/lod_assignment.h"

namespace lodsmith {

struct VertexEstimate {
  std::vector<int32_t> shifts;  // per vertex set: -1 when dropped, else its shift
  // Per vertex set kept in part: the vertices kept, ascending, in the
  // template's numbering; empty for a set kept whole or dropped.
  std::vector<std::vector<int32_t>> kept;
  int64_t vertices = 0;  // the vertices written

  bool Partial(std::size_t set) const { return !kept[set].empty(); }
  // The number vertex `v` of set `set` (which starts at `start` in the
  // template) gets in the sub-object; -1 when it is not written.
  int64_t Renumber(std::size_t set, int32_t start, int32_t v) const;
};

// The sets of the elements that sub-object `subObject` of LOD `lod` holds.
// Element row r uses vertex set elementVtxState[r]. Throws Error
// (GenerationMsg) when such an element lies outside elementVtxState or its
// vtx_state has no vertex set, when a count is negative, when a vertex of an
// element's own triangles lies outside its vertex set, or when the count or
// a shift does not fit 32 bits (the sums are taken in 64 bits, never
// wrapped).
VertexEstimate EstimateVertexSets(const LodAssignment& assignment, int lod, int subObject,
                                  std::span<const int32_t> elementVtxState,
                                  std::span<const TVertexSetEntry> vertexSets);

// The count the sub-object grid shows, by the same rule but never refused:
// an element without a vertex set brings no vertices (a shape that was split
// before has such elements), a vertex outside its set is not counted, and a
// sum beyond 32 bits is shown as it is.
int64_t ShownVertexCount(const LodAssignment& assignment, int lod, int subObject,
                         std::span<const int32_t> elementVtxState, std::span<const TVertexSetEntry> vertexSets);

}  // namespace lodsmith
