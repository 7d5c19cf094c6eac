// The counts an action of the session reports.
#pragma once

#include <cstdint>
#include <vector>

#include "session/lod_rules.h"

namespace lodsmith {

// What the simplification makes of one LOD below 100 %: the triangles of
// the elements the LOD draws before and after, the largest error of any of
// them (metres, model space), and the distance the LOD is first seen from
// (what `auto` was judged at).
struct LodSimplification {
  int32_t lod = 0;
  LodDetail detail;
  int64_t trianglesBefore = 0;
  int64_t trianglesAfter = 0;
  double error = 0;
  double distance = 0;
  // A share was asked for and no allowed collapse was left above it.
  bool stoppedEarly = false;
};

// What an action did, as numbers for callers that show or report it (the
// window's last handler, the batch program's action lines). Only the fields
// of its kind are set; an action that changed nothing it can count
// (cancelled, refused, nothing to do before its first step) leaves the kind
// None.
struct ActionResult {
  enum class Kind { None, PointsMerged, NormalsMerged, Generated, MaterialsFixed, AnimationsStripped };
  Kind kind = Kind::None;
  int32_t merged = 0;                         // merges: entries that went (0: nothing within the tolerance)
  int32_t entries = 0;                        // merges: entries the block held
  std::vector<int32_t> subObjectsPerLod;      // generation: sub-objects written, index = LOD - 1
  int exchanged = 0;                          // material fix: light materials exchanged
  int flagsLowered = 0;                       // material fix: sub-object flags words changed
  int stripped = 0;                           // animations: nodes whose controllers were removed
  int linesDeleted = 0;                       // animations: lines deleted
  std::vector<LodSimplification> simplified;  // generation: every LOD below 100 %
};

}  // namespace lodsmith
