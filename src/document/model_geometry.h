// The geometry of a shape as its bracket syntax holds it: points, normals,
// the matrices placed by their hierarchy, and for every sub-object of the
// first distance level its vertices and the triangles of its primitives.
//
// A vertex names a point and a normal; a primitive's vertex_idxs name
// vertices of its own sub-object, three per triangle, and its normal_idxs
// one entry (a normal and a second number) per triangle; the primitive is
// drawn with the matrix of its prim_state's vtx_state, and a matrix is placed
// by the chain of its parents in the hierarchy (matrix m's point p goes to
// parent(m)'s frame as p * R + t, R the first nine numbers row by row, t the
// last three).
//
// The geometry blocks may wrap over several lines, so they are read by
// their brackets, not by the exporter's line layout the analysis follows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"

namespace lodsmith {

using Point3 = std::array<double, 3>;

// p * R + t, kept in double so that a long chain does not lose the
// centimetres of a model placed kilometres from its origin.
struct Placement {
  double r[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  double t[3] = {0, 0, 0};

  Point3 Apply(const Point3& p) const {
    return {p[0] * r[0] + p[1] * r[3] + p[2] * r[6] + t[0], p[0] * r[1] + p[1] * r[4] + p[2] * r[7] + t[1],
            p[0] * r[2] + p[1] * r[5] + p[2] * r[8] + t[2]};
  }
  // This placement followed by `outer`.
  Placement Then(const Placement& outer) const;
};

// One primitive: the prim_state it draws with and the triangles of all its
// triangle lists, in order (lists under one prim_state_idx follow each
// other). Triangles that a list's count leaves incomplete are dropped.
struct GeometryPrimitive {
  int32_t primState = 0;
  std::vector<int32_t> indices;  // vertex indices, three per triangle
  // Read with GeometryDetail::Entries only, one per triangle (empty where
  // the lists hold fewer entries than triangles):
  std::vector<std::string> normalEntries;  // its normal_idxs entry as written ("228 3")
  std::vector<std::string> flags;          // its flags entry as written
  std::vector<int32_t> normals;            // the normal its entry names; -1: none that exists
};

struct GeometrySubObject {
  std::vector<int32_t> vertexPoint;  // per vertex: its point
  std::vector<GeometryPrimitive> primitives;
};

struct ModelGeometry {
  // As the file holds them: in the frame of the matrix that draws them.
  // Read as single precision, as the simulator stores them.
  std::vector<Point3> points;
  std::vector<Point3> normals;
  std::vector<Placement> matrices;            // each placed by its parent chain: model space
  std::vector<GeometrySubObject> subObjects;  // of the first distance level
};

// What is read of the triangle lists besides the vertex indices.
enum class GeometryDetail {
  Triangles,  // the vertex indices only
  Entries,    // also the normal_idxs and flags entries and the normals
};

// Reads the geometry. Every index read is checked against the table it
// points into (a vertex's point, a triangle's vertices, a parent matrix);
// a reference outside, a count larger than its
// block, a bracket without partner, a number that is not one, a missing
// block or a parent chain that loops raises Error (DocumentMsg::Geometry...).
// Which matrix draws a primitive is the caller's to find (prim_state ->
// vtx_state -> matrix); the prim_state index is not checked here, nor are
// the normal entries (a normal that does not exist reads as -1).
ModelGeometry ReadModelGeometry(const Lines& lines, GeometryDetail detail = GeometryDetail::Triangles);

}  // namespace lodsmith
