// The distance between the fan of triangles a collapse removes and the fan
// it makes in their place.
#pragma once

#include <vector>

#include "simplify/geometry.h"

namespace lodsmith::simplify {

// A triangle of a fan: the apex and these two corners, counter-clockwise.
struct FanTriangle {
  Vec3d b, c;
};

// Both fans must be graphs over the plane with unit normal `n` covering the
// same region of it (every triangle facing +n; the caller checks that).
// Then the symmetric Hausdorff distance between them is at most the largest
// difference of their heights along n, and that difference, linear on every
// cell where both are linear, is largest at a corner of such a cell: an apex
// or a crossing of an edge of one fan with an edge of the other (the shared
// outline contributes nothing). Returns that largest difference; -1 when
// apexA lies over no triangle of fan B, unless `apexAOnOutline` says that it
// lies on the outline of B, where both fans meet.
double FanDistance(Vec3d apexA, const std::vector<FanTriangle>& fanA, Vec3d apexB, const std::vector<FanTriangle>& fanB,
                   Vec3d n, bool apexAOnOutline);

// The first part of FanDistance alone: the height difference at apexA (0
// when `apexAOnOutline`), -1 when apexA lies over no triangle of fan B. A
// lower bound of FanDistance, at the cost of one pass over fan B.
double ApexGap(Vec3d apexA, Vec3d apexB, const std::vector<FanTriangle>& fanB, Vec3d n, bool apexAOnOutline);

}  // namespace lodsmith::simplify
