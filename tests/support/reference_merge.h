// The point and normal merge rule written out as the plain quadratic scan:
// slow, but plainly right. The tests compare the merges' numbering with it,
// and the merge benchmark times the indexed search against it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace lodsmith::test {

using Coords = std::array<long double, 3>;

struct ReferenceMergeResult {
  std::vector<int32_t> newIndex;  // the number each entry gets
  std::vector<uint8_t> kept;      // 1: the entry stays, 0: merged into an earlier one
  int32_t K = 0;                  // entries kept
};

// For every entry, the earlier entries are looked at from the nearest
// backwards; the first within `tolerance` in all three coordinates wins and
// lends its number. With `normals`, an earlier entry counts only when each
// coordinate has the same sign class (negative, zero, positive).
ReferenceMergeResult ReferenceMerge(const std::vector<Coords>& c, long double tolerance, bool normals);

}  // namespace lodsmith::test
