// The normal_idxs and flags entries of an element's own triangles in an LOD
// (a simplified mesh over the element's vertices), one of each per triangle.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "document/model_geometry.h"

namespace lodsmith {

struct TriangleEntries {
  std::vector<std::string> normals;  // per triangle: "normal second-number", as the lists write them
  std::vector<std::string> flags;    // per triangle
};

// A triangle that the element's lists hold already (the same corners in the
// same turn) keeps its entries. Any other gets the entry, among those the
// element's lists hold, whose normal is nearest its face normal (the face
// normal turned as the element's own triangles turn to their normals;
// ties to the entry met first), and the flags entry most of the element's
// triangles have (ties to the one met first). `original` is the element's
// primitive in `sub`, read with GeometryDetail::Entries; `triangles` are
// vertex indices of `sub`, three per triangle, each inside its vertices.
TriangleEntries EntriesOf(std::span<const int32_t> triangles, const GeometryPrimitive& original,
                          const GeometrySubObject& sub, const ModelGeometry& geometry);

}  // namespace lodsmith
