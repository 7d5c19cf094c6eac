// Shapes the benchmarks share: the generation's ten LODs of twenty
// sub-objects, and the set of shapes the batch program is run over.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text.h"
#include "generation/generator.h"
#include "generation/lod_assignment.h"

namespace lodsmith::bench {

// 200 elements of 500 faces, each with its own vertex set of 620 vertices,
// 10 matrices (about 511 000 lines). Ten LODs of 20 sub-objects each;
// element e goes to sub-object e % 20 + 1, and LOD L leaves out the elements
// of the first L - 1 rounds of 20 (999), as a modeller thins out distant
// LODs: the ten LODs together write about 5.5 times the template.
struct GenerationShape {
  Lines lines;
  LodAssignment assignment;
  std::vector<int32_t> elementVtxState;
  std::vector<int32_t> vtxStateMatrix;
  std::vector<TVertexSetEntry> vertexSets;
  int32_t matrixCount = 0;
  std::size_t writtenLines = 0;

  GenerationTables Tables() const { return {elementVtxState, vtxStateMatrix, vertexSets, matrixCount}; }
};
const GenerationShape& TenLodsTwentySubObjects();

// Writes `count` synthetic shapes of 2 000 to 8 000 lines (shape000.s, ...)
// into `folder` as UTF-16LE files, a third of their points repeating an
// earlier one (work for the point merge). The same shapes every time.
void WriteBatchShapes(const std::filesystem::path& folder, int count);

// The payload of a compressed shape (its zlib stream after the 16-byte
// header), inflated with bare zlib.
std::string Inflated(const std::string& compressed);

}  // namespace lodsmith::bench
