// The working mesh of the simplifier and its one operation: moving a point
// onto a neighbouring point (a half-edge collapse).
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "simplify/fan_distance.h"
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
  double error = 0;                 // bound of the distance to the input surface it stands for; -1: taken away

  bool Alive() const { return error >= 0; }
  void TakeAway() { error = -1; }
};

// A point's position, with its quadric's error there beside it (read
// together when a move's quadric error is found).
struct Place : Vec3d {
  double selfCost = 0;
};

struct WorkMesh {
  std::vector<Place> position;   // per point
  std::vector<PointKind> kind;   // per point
  std::vector<Quadric> quadric;  // per point
  std::vector<Triangle> triangles;
  std::vector<Vec3d> normal0;  // per triangle: the input's face normal (unit)
  int32_t alive = 0;           // live triangles
  // The live triangles around each point, in blocks of one pool: point p's
  // are pool[start[p]] .. pool[start[p] + size[p] - 1], in no order that
  // decides anything.
  std::vector<int32_t> pool, start, size, room;

  int32_t Points() const { return static_cast<int32_t>(position.size()); }
  int32_t Degree(int32_t p) const { return size[p]; }
  const int32_t* Around(int32_t p) const { return pool.data() + start[p]; }
  void AddAround(int32_t p, int32_t triangle);
  void RemoveAround(int32_t p, int32_t triangle);
};

// Builds the working mesh from a checked input into `m` (whatever it held
// before goes; its memory is used again); triangles that name a point
// twice are left out.
void BuildWorkMesh(const SimplifyMesh& mesh, const std::vector<int32_t>& pointOf, int32_t pointCount, WorkMesh& m);

// What moving `from` onto `to` costs, as found by Evaluate.
struct Collapse {
  double error = 0;  // the largest bound the new triangles carry
  int32_t from = -1, to = -1;
};

// Reused memory of the evaluations, and the last valid one's fan.
class Evaluator {
public:
  // Starts afresh for a mesh of `points` points, in the memory it has.
  void Reset(int32_t points) {
    stamp_.assign(static_cast<size_t>(points), 0);
    round_ = 0;
  }

  // Whether moving `from` onto `to` is allowed and costs at most `limit`;
  // when it is, `out` says what it costs.
  bool Evaluate(const WorkMesh& m, int32_t from, int32_t to, double limit, Collapse& out);
  // Whether the last Evaluate refused the move for what lies round `to`
  // (which changes with the moves next to it; the other reasons change
  // only with the triangles round `from`).
  bool FailedOnLink() const { return linkFailed_; }

  // Applies the collapse the last successful Evaluate found; `touched`
  // gets the points whose triangles changed (`from`, `to` first, and the
  // points they shared triangles with).
  void Apply(WorkMesh& m, std::vector<int32_t>& touched);

private:
  bool BuildFan(const WorkMesh& m, int32_t from, int32_t to);
  bool LinkHolds(const WorkMesh& m, int32_t to);
  bool ShapeHolds(const WorkMesh& m, Vec3d& normal);
  // The corners of sector s other than `from`, in its triangle's order.
  void Corners(size_t s, Vec3d& b, Vec3d& c) const {
    const size_t next = s + 1 < points_.size() ? s + 1 : 0;
    b = points_[reversed_ ? next : s];
    c = points_[reversed_ ? s : next];
  }

  std::vector<uint32_t> stamp_;
  uint32_t round_ = 0;
  int32_t from_ = -1, to_ = -1;
  bool border_ = false;  // `from` is on an open border
  bool linkFailed_ = false;
  bool reversed_ = false;                          // the outline runs clockwise round `from`
  std::vector<int32_t> sectors_;                   // the triangles round `from`, from `to` on
  std::vector<int32_t> outline_;                   // their outer points, `to` first
  std::vector<Vec3d> points_;                      // the outline's positions
  std::vector<Vec3d> now_, moved_;                 // per sector: its area vector, and the new triangle's
  std::vector<std::pair<int32_t, int32_t>> ends_;  // per triangle round `from`: its other corners
  std::vector<double> carried_;                    // per sector
  std::vector<double> bounds_;                     // per new triangle (by sector)
  FanWork work_;
  std::vector<std::pair<int32_t, int32_t>> map_;  // vertex of `from` -> vertex of `to`
};

}  // namespace lodsmith::simplify
