// The per-LOD plan of a generation: how many sub-objects each LOD gets and
// how many of them are sorted.
#pragma once

#include <cstdint>
#include <vector>

#include "generation/generator.h"

namespace lodsmith {

struct LodPlan {
  std::vector<int32_t> LodSubObjectCount;  // index = LOD 1..LodCount (slot 0 unused): sub-objects written
  int32_t SortedCount = 0;                 // written sub-objects marked sorted, all LODs

  // 0 outside the LODs planned.
  int32_t SubObjectCount(int lod) const {
    return lod >= 1 && lod < static_cast<int>(LodSubObjectCount.size())
               ? LodSubObjectCount[static_cast<std::size_t>(lod)]
               : 0;
  }
};

// A sub-object is written when its vertex estimate is above 0. Throws Error
// (GenerationMsg::EmptyLod, wrapped in Aborted) naming the first LOD that
// has no sub-object, whose first sub-object is not written, or that has an
// empty sub-object before a written one; a fault of the estimate as
// EstimateVertexSets throws it.
LodPlan PlanLods(const LodAssignment& assignment, const GenerationTables& tables);

}  // namespace lodsmith
