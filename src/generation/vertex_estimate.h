// The vertex estimate: a sub-object gets every vertex set that one of its
// elements uses, whole. The result is the number of vertices written for the
// sub-object; the shifts renumber the kept vertices.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/string_grid.h"
#include "document/model_tables.h"

namespace lodsmith {

// True when the assignment text puts the element into sub-object `subObject`:
// the text is "0" or exactly the decimal text of the number.
bool InSubObject(const std::string& assignment, int subObject);

// Fills VertexShift of the first vertexSetCount entries for the elements of
// `grid` whose cell in column lod + 2 matches subObject, and returns the
// vertex count. Element row r uses vertex set elementVtxState[r]; a state
// outside the vertex sets read raises std::runtime_error, and so do a negative
// vertex count and a count or shift that would not fit 32 bits (the sums are
// taken in 64 bits, never wrapped).
int32_t EstimateVertexSets(const StringGrid& grid, int lod, int subObject, const std::vector<int32_t>& elementVtxState,
                           std::vector<TVertexSetEntry>& vertexSets, int32_t vertexSetCount);

}  // namespace lodsmith
