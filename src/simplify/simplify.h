// Reduces the triangles of one element onto a subset of its own vertices,
// with a bounded geometric error. Knows meshes, not the file format.
//
// A mesh is a list of vertices and triangles (three vertex indices each).
// Vertices with the same position id are one point of the surface split by
// texture or normal seams; they must have the same position. The result
// references only existing vertices (half-edge collapses: a point moves onto
// a neighbouring point, each of its vertices onto a vertex of that point), so
// no vertex is added or changed.
//
// What a collapse may never do: move a locked point (one whose vertex is
// flagged, e.g. shared with another element), move a point of an open border
// off that border, turn a face normal by more than 90 degrees, leave a
// degenerate triangle, or make an edge used by more than two triangles. A
// disconnected piece may vanish whole when its removal keeps the error within
// what is allowed; at least one triangle always remains.
//
// The reported error bounds the symmetric Hausdorff distance between the
// input surface and the result (model units): each triangle carries a bound
// of the distance to the input surface it stands for, and a collapse gives
// each new triangle the bound of the old triangles it overlaps plus the
// distance between old and new fan there. Moves are taken least error
// first (each point's move towards its neighbour of least quadric error,
// measured in full when its estimate comes first); one whose bound would
// pass the error allowed is refused.
// Decisions depend on nothing but the input (no unordered iteration, ties
// broken by index, no fused arithmetic), so the result is the same on every
// build.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace lodsmith {

struct SimplifyMesh {
  std::vector<std::array<double, 3>> positions;  // one per vertex, model space
  std::vector<int32_t> positionIds;              // one per vertex; empty: every vertex its own point
  std::vector<uint8_t> locked;                   // one per vertex (non-zero: never moves); empty: none
  std::vector<int32_t> indices;                  // three vertex indices per triangle
};

struct SimplifyTarget {
  // Keep about this share of the triangles (0..1], used when maxError < 0.
  double ratio = 1.0;
  // The largest error allowed (model units); >= 0 selects this mode: the
  // fewest triangles whose error stays within it.
  double maxError = -1.0;

  static SimplifyTarget Ratio(double share) { return {share, -1.0}; }
  static SimplifyTarget MaxError(double error) { return {1.0, error}; }
};

struct SimplifyResult {
  std::vector<int32_t> indices;  // three per triangle, into the input's vertices
  double error = 0;              // bound of the symmetric Hausdorff distance to the input
  int32_t trianglesBefore = 0;   // the input's triangles
  int32_t trianglesAfter = 0;    // indices.size() / 3
  // Ratio mode only: no allowed collapse was left above the share asked for.
  bool stoppedEarly = false;
};

// Simplifies `mesh` towards `target`; a thread keeps its working memory for
// the next call (up to about 20 MB). Raises Error (SimplifyMsg) when a
// coordinate is not finite, an index lies outside the vertices, or the
// per-vertex lists differ in length. Triangles that name one point twice
// carry no surface and are left out; an input without triangles gives an
// empty result.
SimplifyResult Simplify(const SimplifyMesh& mesh, const SimplifyTarget& target);

}  // namespace lodsmith
