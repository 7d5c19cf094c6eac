// The range of a LOD's distance in metres: every layer that takes a
// distance (the settings page, the settings files, the generation, the
// batch program's --distances) asks this one rule.
#pragma once

#include <cstdint>

namespace lodsmith {

inline constexpr int32_t kMinDistance = 1;
inline constexpr int32_t kMaxDistance = 2000;

constexpr bool DistanceInRange(int32_t metres) { return metres >= kMinDistance && metres <= kMaxDistance; }

}  // namespace lodsmith
