// The working mesh of the simplifier and its one operation: moving a point
// onto a neighbouring point (a half-edge collapse).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simplify/geometry.h"
#include "simplify/simplify.h"

namespace lodsmith::simplify {

enum class PointKind : uint8_t {
  Inner,   // every edge has two triangles: moves along any edge
  Border,  // on one open border (two border edges): moves along it only
  Fixed,   // locked, on a non-manifold edge, a border crossing, or a flat triangle
};

struct Triangle {
  std::array<int32_t, 3> vertex{};  // input vertex indices
  std::array<int32_t, 3> point{};   // their points
  Vec3d normal0;                    // the input's face normal (unit)
  double error = 0;                 // bound of the distance to the input surface it stands for
  bool alive = true;
};

struct WorkMesh {
  std::vector<Vec3d> position;               // per point
  std::vector<PointKind> kind;               // per point
  std::vector<Quadric> quadric;              // per point
  std::vector<std::vector<int32_t>> around;  // per point: its live triangles, in the order they came
  std::vector<Triangle> triangles;
  int32_t alive = 0;  // live triangles
};

// What moving `from` onto `to` costs; valid is false where it is not allowed.
struct Collapse {
  bool valid = false;
  double error = 0;    // the bound the new triangles carry
  int32_t seam = 0;    // 0: no seam at `from`, 1: a seam along the edge, 2: one across it
  double quadric = 0;  // the quadric error of the move
  int32_t from = -1, to = -1;
};

// The ordering of collapses: smaller error, then fewer seams crossed, then
// quadric error, then indices.
bool Before(const Collapse& a, const Collapse& b);

// Builds the working mesh from a checked input; triangles that name a point
// twice are left out (their count is returned through `dropped`).
WorkMesh BuildWorkMesh(const SimplifyMesh& mesh, const std::vector<int32_t>& pointOf, int32_t pointCount,
                       int32_t& dropped);

// The cost of moving `from` onto `to`. Where it surely costs more than
// `above`, it is left unmeasured and not valid.
Collapse Evaluate(const WorkMesh& m, int32_t from, int32_t to, double above);

// The cheapest allowed move of `from` (valid false when there is none or
// every one costs more than `limit`).
Collapse BestCollapse(const WorkMesh& m, int32_t from, double limit);

// Applies a valid collapse; returns the points whose triangles changed.
std::vector<int32_t> Apply(WorkMesh& m, const Collapse& c);

}  // namespace lodsmith::simplify
