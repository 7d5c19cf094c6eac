// Disconnected pieces of a mesh (a bolt, a handle) that may vanish whole.
#pragma once

#include <cstdint>

#include "simplify/collapse.h"

namespace lodsmith::simplify {

// Removes connected pieces other than the largest, cheapest first, while
// more than `goal` triangles are alive and the removal keeps within
// `limit`. A piece's removal costs at most its extent as it came plus the
// distance from one of its points to the rest.
// Returns the largest such cost of a removed piece (0 when none).
double RemoveSmallParts(WorkMesh& m, int32_t goal, double limit);

}  // namespace lodsmith::simplify
