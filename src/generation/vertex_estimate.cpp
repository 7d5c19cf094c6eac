#include "generation/vertex_estimate.h"

#include <cstdint>
#include <stdexcept>

#include "core/text.h"

namespace lodsmith {

namespace {

[[noreturn]] void TooManyVertices(int64_t count) {
  throw std::runtime_error("Die vertex_sets ergeben " + std::to_string(count) + " Vertices, mehr als " +
                    std::to_string(INT32_MAX) + ".");
}

}  // namespace

bool InSubObject(const std::string& assignment, int subObject) {
  return assignment == "0" || assignment == std::to_string(subObject);
}

int32_t EstimateVertexSets(const StringGrid& grid, int lod, int subObject, const std::vector<int32_t>& elementVtxState,
                           std::vector<TVertexSetEntry>& vertexSets, int32_t vertexSetCount) {
  const int n = std::min<int>(vertexSetCount, static_cast<int>(vertexSets.size()));
  for (int i = 0; i < n; ++i) vertexSets[i].VertexShift = -1;
  const std::string sub = std::to_string(subObject);
  for (int r = 1; r < grid.RowCount(); ++r) {
    const std::string& cell = grid.Cell(lod + 2, r);
    if (cell != "0" && cell != sub) continue;
    if (r >= static_cast<int>(elementVtxState.size())) throw std::runtime_error("Element " + std::to_string(r) + " wurde nicht gelesen.");
    int32_t state = elementVtxState[r];
    if (state < 0 || state >= n)
      throw std::runtime_error("Element " + std::to_string(r) + " verweist auf vtx_state " + std::to_string(state) +
                        ", zu dem es kein vertex_set gibt.");
    vertexSets[state].VertexShift = 0;
  }
  // The counts come from the file: summed in 64 bits and checked, so that a
  // huge count is refused instead of wrapping into a negative shift or total.
  int64_t dropped = 0, total = 0;
  for (int i = 0; i < n; ++i) {
    const int32_t count = vertexSets[i].VertexCount;
    if (count < 0) throw std::runtime_error("vertex_set " + std::to_string(i) + " hat eine negative Vertexzahl.");
    if (vertexSets[i].VertexShift == -1) {
      dropped += count;
    } else {
      if (dropped > INT32_MAX) TooManyVertices(dropped);
      vertexSets[i].VertexShift = static_cast<int32_t>(dropped);
      total += count;
    }
  }
  if (total > INT32_MAX) TooManyVertices(total);
  return static_cast<int32_t>(total);
}

}  // namespace lodsmith
