// The counts an action of the session reports.
#pragma once

#include <cstdint>
#include <vector>

namespace lodsmith {

// What an action did, as numbers for callers that show or report it (the
// window's last handler, the batch program's action lines). Only the fields
// of its kind are set; an action that changed nothing it can count
// (cancelled, refused, nothing to do before its first step) leaves the kind
// None.
struct ActionResult {
  enum class Kind { None, PointsMerged, NormalsMerged, Generated, MaterialsFixed, AnimationsStripped };
  Kind kind = Kind::None;
  int32_t merged = 0;                     // merges: entries that went (0: nothing within the tolerance)
  int32_t entries = 0;                    // merges: entries the block held
  std::vector<int32_t> subObjectsPerLod;  // generation: sub-objects written, index = LOD - 1
  int exchanged = 0;                      // material fix: light materials exchanged
  int flagsLowered = 0;                   // material fix: sub-object flags words changed
  int stripped = 0;                       // animations: nodes whose controllers were removed
  int linesDeleted = 0;                   // animations: lines deleted
};

}  // namespace lodsmith
