// Helpers of the generation tests: the inputs of a generation built by hand
// from a synthetic shape (as the analysis would fill them), and the check that
// a written shape holds every input primitive in exactly the sub-objects its
// element was assigned to, with the same vertices, normals and flags.
#pragma once

#include <string>
#include <vector>

#include "generation/generator.h"
#include "synthetic_shape.h"
#include "ui/tlsform.h"

namespace lodsmith::test {

// assignment[e][L - 1] = the cell of element e in LOD L. sortMarks lists
// (LOD, sub-object) pairs marked "x". Distances default to 100, 200, ...
struct HandAssignment {
  std::vector<std::vector<std::string>> cells;
  std::vector<std::pair<int, int>> sortMarks;
  std::vector<std::string> distances;
  int LodCount() const { return cells.empty() ? 1 : static_cast<int>(cells[0].size()); }
};

// One list of cells for every element: the same text in every LOD.
HandAssignment Uniform(int elements, int lods, const std::string& cell);

// The inputs of a generation as the form would hand them over: the
// assignment and the tables (owned here, viewed by Tables()).
struct GenerationInput {
  LodAssignment assignment;
  std::vector<int32_t> elementVtxState;  // index = element row (slot 0 unused)
  std::vector<int32_t> vtxStateMatrix;
  std::vector<TVertexSetEntry> vertexSets;
  int32_t matrixCount = 0;
  GenerationTables Tables() const { return {elementVtxState, vtxStateMatrix, vertexSets, matrixCount}; }
};

GenerationInput InputFor(const ExportedShapeRecipe& o, const HandAssignment& a);
Lines GenerateShape(const Lines& document, const GenerationInput& in);

// Puts the synthetic shape into the form's document and fills the tables and
// grids as the analysis and the sub-object refresh would.
void FillFormByHand(TLSForm& form, const ExportedShapeRecipe& o, const HandAssignment& a);

// Failures (as test assertions) where the written shape does not hold the
// input's primitives as assigned. `cells[e][L - 1]` as above.
void ExpectPrimitivesAsAssigned(const Lines& input, const Lines& output,
                                const std::vector<std::vector<std::string>>& cells,
                                const std::vector<std::string>& distances);

}  // namespace lodsmith::test
