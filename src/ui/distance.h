// The distance of a LOD as the window and the settings files keep it: the
// text of a whole number 1..2000.
#pragma once

#include <string>

#include "core/lod_distance.h"
#include "core/text.h"

namespace lodsmith {

inline const char* const kDefaultDistance = "2000";

// A stored distance that is no whole number 1..2000 (a hand-edited or broken
// settings file) is read as a missing one: the default.
inline std::string SaneDistance(const std::string& text) {
  auto v = ParseInt32(text);
  if (!v || !DistanceInRange(*v)) return kDefaultDistance;
  return text;
}

}  // namespace lodsmith
