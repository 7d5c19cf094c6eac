#include "generation/vertex_estimate.h"

#include <algorithm>
#include <optional>

#include "core/message.h"
#include "generation/generation_messages.h"

namespace lodsmith {

namespace {

// The sets the sub-object's elements use (shift 0, the others -1), the
// vertices of the sets kept in part, and the first element that names no
// set or a vertex outside its set.
struct UsedSets {
  std::vector<int32_t> shifts;
  std::vector<std::vector<int32_t>> kept;
  std::optional<Message> fault;
};

UsedSets MarkUsedSets(const LodAssignment& assignment, int lod, int subObject, std::span<const int32_t> elementVtxState,
                      std::span<const TVertexSetEntry> vertexSets) {
  UsedSets used;
  used.shifts.assign(vertexSets.size(), -1);
  used.kept.assign(vertexSets.size(), {});
  std::vector<uint8_t> whole(vertexSets.size(), 0);
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
    const std::size_t set = static_cast<std::size_t>(state);
    used.shifts[set] = 0;
    const std::vector<int32_t>* own = assignment.Triangles(lod, r);
    if (!own) {
      whole[set] = 1;
      continue;
    }
    const int64_t start = vertexSets[set].StartVertex, end = start + vertexSets[set].VertexCount;
    for (int32_t v : *own) {
      if (v < start || v >= end) {
        if (!used.fault) used.fault = Message(GenerationMsg::TriangleVertexOutsideSet, r, lod, v, state);
        continue;
      }
      used.kept[set].push_back(v);
    }
  }
  for (std::size_t i = 0; i < used.kept.size(); ++i) {
    std::vector<int32_t>& k = used.kept[i];
    if (whole[i]) {
      k.clear();
      continue;
    }
    std::sort(k.begin(), k.end());
    k.erase(std::unique(k.begin(), k.end()), k.end());
  }
  return used;
}

[[noreturn]] void TooManyVertices(int64_t count) { throw Error(GenerationMsg::TooManyVertices, count, INT32_MAX); }

}  // namespace

int64_t VertexEstimate::Renumber(std::size_t set, int32_t start, int32_t v) const {
  const int32_t shift = shifts[set];
  if (shift == -1) return -1;
  const std::vector<int32_t>& k = kept[set];
  if (k.empty()) return int64_t{v} - shift;
  // A set kept in part starts where the whole set would have started.
  auto it = std::lower_bound(k.begin(), k.end(), v);
  if (it == k.end() || *it != v) return -1;
  return int64_t{start} - shift + (it - k.begin());
}

VertexEstimate EstimateVertexSets(const LodAssignment& assignment, int lod, int subObject,
                                  std::span<const int32_t> elementVtxState,
                                  std::span<const TVertexSetEntry> vertexSets) {
  UsedSets used = MarkUsedSets(assignment, lod, subObject, elementVtxState, vertexSets);
  if (used.fault) throw Error(*used.fault);
  // The counts come from the file: summed in 64 bits and checked, so that a
  // huge count is refused instead of wrapping into a negative shift or total.
  VertexEstimate estimate;
  estimate.shifts = std::move(used.shifts);
  estimate.kept = std::move(used.kept);
  int64_t dropped = 0;
  for (std::size_t i = 0; i < vertexSets.size(); ++i) {
    const int32_t count = vertexSets[i].VertexCount;
    if (count < 0) throw Error(GenerationMsg::NegativeVertexCount, i);
    int32_t& shift = estimate.shifts[i];
    if (shift == -1) {
      dropped += count;
      continue;
    }
    if (dropped > INT32_MAX) TooManyVertices(dropped);
    shift = static_cast<int32_t>(dropped);
    const int64_t written = estimate.Partial(i) ? static_cast<int64_t>(estimate.kept[i].size()) : count;
    estimate.vertices += written;
    dropped += count - written;
  }
  if (estimate.vertices > INT32_MAX) TooManyVertices(estimate.vertices);
  return estimate;
}

int64_t ShownVertexCount(const LodAssignment& assignment, int lod, int subObject,
                         std::span<const int32_t> elementVtxState, std::span<const TVertexSetEntry> vertexSets) {
  const UsedSets used = MarkUsedSets(assignment, lod, subObject, elementVtxState, vertexSets);
  int64_t total = 0;
  for (std::size_t i = 0; i < vertexSets.size(); ++i)
    if (used.shifts[i] != -1)
      total += used.kept[i].empty() ? int64_t{vertexSets[i].VertexCount} : static_cast<int64_t>(used.kept[i].size());
  return total;
}

}  // namespace lodsmith
