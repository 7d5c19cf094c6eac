// Record types of the tables the analysis fills.
#pragma once

#include <cstdint>

namespace lodsmith {

// One vertex_set of the first sub-object of the first LOD. As the analysis
// reads it, StartVertex and VertexCount are not negative, and StartVertex +
// VertexCount as well as the sum of the counts of all sets fit 32 bits.
struct TVertexSetEntry {
  int32_t VertexShift = 0;  // -1 = set not used by the sub-object last estimated
  int32_t StartVertex = 0;
  int32_t VertexCount = 0;
};

// Elements and faces per matrix within the sub-object being written.
struct TMatrixUse {
  int32_t ElementCount = 0;
  int32_t FaceCount = 0;
};

}  // namespace lodsmith
