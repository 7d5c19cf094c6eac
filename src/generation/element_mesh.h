// Each element's mesh as the template sub-object draws it, for a simplifier
// that gives the element triangles of its own over a subset of its vertices
// (LodAssignment::triangles). Plain vectors; nothing of the file format.
#pragma once

#include <cstdint>
#include <vector>

#include "core/text.h"
#include "document/model_geometry.h"
#include "generation/generator.h"

namespace lodsmith {

struct ElementMesh {
  // Vertex indices as the element's lists use them (the template's
  // numbering, the numbering LodAssignment::triangles takes), three per
  // triangle: all its lists, in order.
  std::vector<int32_t> triangles;
  std::vector<int32_t> vertices;     // the vertices the triangles use, ascending
  std::vector<int32_t> vertexPoint;  // per entry of `vertices`: the point it names
  // Per entry of `vertices`: its point in model space (the matrix chain of
  // the element's vtx_state applied), metres.
  std::vector<Point3> positions;
};

// The meshes of the elements of the template sub-object (the first
// sub-object of the first distance level), index = element row (slot 0 and
// the rows no primitive draws hold empty meshes). `tables` as the generation
// takes them. Throws Error: the geometry's faults (DocumentMsg::Geometry...),
// a primitive whose prim_state is no element row (GenerationMsg::
// PrimStateNoElement), an element without a vtx_state or matrix
// (GenerationMsg::ElementWithoutMatrix), a coordinate that is not finite
// (GenerationMsg::CoordinateNotFinite).
std::vector<ElementMesh> ReadElementMeshes(const Lines& document, const GenerationTables& tables);

}  // namespace lodsmith
