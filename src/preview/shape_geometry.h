// The drawable geometry of a shape: every triangle of the first distance
// level in model space, with the element (prim_state) that draws it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/text.h"
#include "document/analysis.h"

namespace lodsmith {

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

struct GeometryTriangle {
  std::array<Vec3, 3> corners;  // model space, metres
  int32_t element = 0;          // element row (1-based), as the element grid counts
  // Where the corners come from: the sub-object (0-based), its vertices and
  // the points they name (for tools that need the mesh, not the picture).
  int32_t subObject = 0;
  std::array<int32_t, 3> vertices{};
  std::array<int32_t, 3> points{};
};

struct ShapeGeometry {
  std::vector<GeometryTriangle> triangles;
  int32_t elementCount = 0;
};

// Reads the geometry (document/model_geometry.h) from the lines of a shape
// and its analysis (which names each element's vtx_state and each
// vtx_state's matrix). Every index read is checked against the table it
// points into; a reference outside, a count larger than its block, a
// bracket without partner, a number that is not one, a parent chain that
// loops, or a failed analysis raises Error (PreviewMsg::Unreadable wrapping
// what was wrong). Never reads outside a table. Triangles that a list's
// count leaves incomplete are dropped.
ShapeGeometry ReadShapeGeometry(const Lines& lines, const ShapeAnalysis& analysis);
// The same, analysing the lines first.
ShapeGeometry ReadShapeGeometry(const Lines& lines);

}  // namespace lodsmith
