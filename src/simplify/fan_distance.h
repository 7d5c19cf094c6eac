// The distance between the fan of triangles a collapse removes and the fan
// it makes in their place, per new triangle.
#pragma once

#include <cstdint>
#include <vector>

#include "simplify/geometry.h"

namespace lodsmith::simplify {

// The old fan: apex A and the outline b_0 .. b_last; sector s is the
// triangle (A, b_s, b_s+1), with b_S = b_0 when the fan is closed. The new
// fan: apex q = b_0 and the triangles T_j = (q, b_j, b_j+1) for j = 1 ..
// S - 2 (closed) or S - 1 (open; then A lies on the new outline edge
// b_S - q). Seen along `normal` both must cover the same polygon with every
// triangle facing it (the caller checks that); `mirrored` says the outline
// runs clockwise seen so.
struct Fan {
  Vec3d apex;
  const Vec3d* outline = nullptr;  // S points (closed) or S + 1 (open)
  int32_t sectors = 0;             // S
  bool open = false;
  bool mirrored = false;
  Vec3d normal;                     // unit
  const double* carried = nullptr;  // per sector: its bound of the distance to the input
};

// Reused memory.
struct FanWork {
  struct Flat {
    double u = 0, v = 0, h = 0;
  };
  std::vector<Flat> flat;
  std::vector<double> before, after;  // running maxima of `carried`
};

// Bounds, for every new triangle T_j, the distance from its points to the
// input surface and from the input surface it stands for to it: the
// vertical projection along `normal` maps old fan onto new, and over every
// cell where an old sector and a new triangle overlap, the distance moved
// is linear, so largest at a corner of the cell (the apex, or a crossing of
// an inner edge of either fan; the outline stays). The bound is the old
// sector's carried bound plus that largest distance. Writes bounds[j] for
// the new triangles and returns their largest; returns -1 when the apex
// lies over no new triangle, and a number above `limit` (not all bounds
// written) once one is sure to pass it.
double FanBounds(const Fan& fan, double limit, FanWork& work, double* bounds);

}  // namespace lodsmith::simplify
