#include "generation/vertex_estimate.h"

#include <optional>

#include "core/message.h"
#include "generation/generation_messages.h"

namespace lodsmith {

namespace {

// The sets the sub-object's elements use (shift 0, the others -1), and the
// first element that names none.
struct UsedSets {
  std::vector<int32_t> shifts;
  std::optional<Message> fault;
};

UsedSets MarkUsedSets(const LodAssignment& assignment, int lod, int subObject, std::span<const int32_t> elementVtxState,
                      std::span<const TVertexSetEntry> vertexSets) {
  UsedSets used;
  used.shifts.assign(vertexSets.size(), -1);
  const int sets = static_cast<int>(vertexSets.size());
  for (int r = 1; r <= assignment.ElementCount(); ++r) {
    if (!assignment.Cell(r, lod).Places(subObject)) continue;
    if (r >= static_cast<int>(elementVtxState.size())) {
      if (!used.fault) used.fault = Message(GenerationMsg::ElementNotRead, r);
      continue;
    }
    const int32_t state = elementVtxState[static_cast<std::size_t>(r)];
    if (state < 0 || state >= sets) {
      if (!used.fault) used.fault = Message(GenerationMsg::ElementWithoutVertexSet, r, state);
      continue;
    }
    used.shifts[static_cast<std::size_t>(state)] = 0;
  }
  return used;
}

[[noreturn]] void TooManyVertices(int64_t count) { throw Error(GenerationMsg::TooManyVertices, count, INT32_MAX); }

}  // namespace

VertexEstimate EstimateVertexSets(const LodAssignment& assignment, int lod, int subObject,
                                  std::span<const int32_t> elementVtxState,
                                  std::span<const TVertexSetEntry> vertexSets) {
  UsedSets used = MarkUsedSets(assignment, lod, subObject, elementVtxState, vertexSets);
  if (used.fault) throw Error(*used.fault);
  // The counts come from the file: summed in 64 bits and checked, so that a
  // huge count is refused instead of wrapping into a negative shift or total.
  VertexEstimate estimate;
  estimate.shifts = std::move(used.shifts);
  int64_t dropped = 0;
  for (std::size_t i = 0; i < vertexSets.size(); ++i) {
    const int32_t count = vertexSets[i].VertexCount;
    if (count < 0) throw Error(GenerationMsg::NegativeVertexCount, i);
    int32_t& shift = estimate.shifts[i];
    if (shift == -1) {
      dropped += count;
    } else {
      if (dropped > INT32_MAX) TooManyVertices(dropped);
      shift = static_cast<int32_t>(dropped);
      estimate.vertices += count;
    }
  }
  if (estimate.vertices > INT32_MAX) TooManyVertices(estimate.vertices);
  return estimate;
}

int64_t ShownVertexCount(const LodAssignment& assignment, int lod, int subObject,
                         std::span<const int32_t> elementVtxState, std::span<const TVertexSetEntry> vertexSets) {
  const UsedSets used = MarkUsedSets(assignment, lod, subObject, elementVtxState, vertexSets);
  int64_t total = 0;
  for (std::size_t i = 0; i < vertexSets.size(); ++i)
    if (used.shifts[i] != -1) total += vertexSets[i].VertexCount;
  return total;
}

}  // namespace lodsmith
