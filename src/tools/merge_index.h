// Finding the entries of a point or normal block that merge into earlier
// ones.
//
// The rule: entry s merges into the nearest earlier entry k (the highest
// index below s) whose three coordinates each differ from those of s by no
// more than the tolerance, |X[k] - X[s]| <= tolerance and likewise for Y and
// Z, with the subtraction and the comparison done in long double. An
// unordered comparison (a NaN) never counts as within tolerance. For normals
// the components of k and s must first fall into the same sign class
// (zero, negative, positive, taken from the value rounded to double; a
// negative zero is zero).
//
// A merged entry keeps its coordinates and is still compared against later
// entries; it passes on the number of the entry it merged into, so chains
// form. Kept entries are numbered 0, 1, 2, ... in block order.
//
// The search is not a scan over all earlier entries: a tolerance of 0 uses a
// hash of the exact coordinates, any other a grid of cells, so that a block
// of a million entries takes well under a second.
#pragma once

#include <cstdint>
#include <vector>

namespace lodsmith {

// One entry of the merge table: the coordinates and the result.
struct TMergeEntry {
  long double X = 0;
  long double Y = 0;
  long double Z = 0;
  int32_t NewIndex = 0;  // the entry's number after merging
  uint8_t Kept = 1;      // 1: stays in the block, 0: merged into an earlier entry
};

enum class MergeKind { Points, Normals };

// Sign class of a normal component: 0 zero (also -0), -1 negative, +1
// positive, taken from the value rounded to double.
int SignClass(long double value);

// For every entry the index of the earlier entry it merges into, -1 when it
// stays. Never fails; any tolerance (negative, NaN, 0, subnormal, infinite)
// and any coordinates (NaN, infinite) are allowed.
std::vector<int32_t> FindEarlierMatches(const std::vector<TMergeEntry>& entries, long double tolerance, MergeKind kind);

// Fills NewIndex and Kept of every entry from FindEarlierMatches and returns
// the number of kept entries.
int32_t NumberMergeEntries(std::vector<TMergeEntry>& entries, long double tolerance, MergeKind kind);

}  // namespace lodsmith
