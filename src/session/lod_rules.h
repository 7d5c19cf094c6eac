// The rules of LODs as the window, the batch program and the settings files
// keep them: how many there may be, and a LOD's distance, the text of a whole
// number 1..2000.
#pragma once

#include <cstdint>
#include <string>

#include "core/lod_distance.h"
#include "core/text.h"

namespace lodsmith {

inline constexpr int kMinLods = 1;
inline constexpr int kMaxLods = 99;

inline const char* const kDefaultDistance = "2000";

// True for the text of a whole number kMinDistance..kMaxDistance.
inline bool ValidDistance(const std::string& text) {
  auto v = ParseInt32(text);
  return v && DistanceInRange(*v);
}

// A stored distance that is no whole number 1..2000 (a hand-edited or broken
// settings file) is read as a missing one: the default.
inline std::string SaneDistance(const std::string& text) { return ValidDistance(text) ? text : kDefaultDistance; }

}  // namespace lodsmith
