// Shapes with real geometry, for the preview's tests, its benchmark and the
// sample models: matrices placed in a hierarchy, each element a list of
// points and triangles drawn with one matrix. The lines follow the
// exporter's layout (one LOD, one sub-object), so that the analysis, the
// structural check and the generation take them too.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/text.h"

namespace lodsmith::test {

struct MeshMatrix {
  std::string name;
  int parent = -1;                                                      // -1: the root
  std::array<float, 12> values = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};  // rotation rows, translation
};

// Element e is prim_state `name` (element row e + 1) with its own vtx_state,
// image and vertex set; `triangles` index `points`.
struct MeshElement {
  std::string name;
  int matrix = 0;
  std::vector<std::array<float, 3>> points;
  std::vector<int> triangles;
};

struct MeshShapeRecipe {
  std::vector<MeshMatrix> matrices = {MeshMatrix{"MAIN"}};
  std::vector<MeshElement> elements;
};

Lines MeshShape(const MeshShapeRecipe& recipe);

// A box from `lo` to `hi` (12 triangles) added to an element.
void AddBox(MeshElement& element, std::array<float, 3> lo, std::array<float, 3> hi);
// A quad in the plane z = `z` from (x0, y0) to (x1, y1) (2 triangles).
void AddQuad(MeshElement& element, float x0, float y0, float x1, float y1, float z);

// A small signal with three LODs' worth of detail: mast, foot and head in
// every LOD, lamps, hood and ladder for the nearer ones. Its assignment for
// three LODs is SignalSampleAssignment (one list of LOD cells per element
// row).
MeshShapeRecipe SignalSample();
std::vector<std::vector<std::string>> SignalSampleAssignment();

}  // namespace lodsmith::test
