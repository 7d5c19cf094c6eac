#include "generation/lod_plan.h"

#include "generation/refusal.h"
#include "generation/vertex_estimate.h"

namespace lodsmith {

LodPlan PlanLods(const LodAssignment& assignment, const GenerationTables& tables) {
  LodPlan plan;
  plan.LodSubObjectCount.push_back(0);
  for (int lod = 1; lod <= assignment.lodCount; ++lod) {
    // A sub-object grid without data rows would give the LOD no sub-object
    // at all: that is an empty LOD as well.
    if (assignment.subObjectCount < 1) Refuse(GenerationMsg::EmptyLod, lod);
    int32_t count = 0;
    int64_t previous = 1;
    for (int s = 1; s <= assignment.subObjectCount; ++s) {
      const int64_t v = EstimateVertexSets(assignment, lod, s, tables.elementVtxState, tables.vertexSets).vertices;
      if (v > 0) {
        ++count;
        if (assignment.Sorted(lod, s)) ++plan.SortedCount;
      }
      // The simulator crashes on an LOD that starts with an empty sub-object
      // or has one between full ones.
      if ((s == 1 && v == 0) || (previous == 0 && v > 0)) Refuse(GenerationMsg::EmptyLod, lod);
      previous = v;
    }
    plan.LodSubObjectCount.push_back(count);
  }
  return plan;
}

}  // namespace lodsmith
