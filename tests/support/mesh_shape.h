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
  // 0: one normal for every triangle. 1 or -1: each triangle names its own
  // face normal (equal ones shared), the cross product of its edges
  // (p1 - p0) x (p2 - p0) turned with (1) or against (-1) it.
  int faceNormals = 0;
};

Lines MeshShape(const MeshShapeRecipe& recipe);

// A box from `lo` to `hi` (12 triangles) added to an element.
void AddBox(MeshElement& element, std::array<float, 3> lo, std::array<float, 3> hi);
// A flat grid of n x n squares of side 1 in the plane z = 0 from the
// origin, its (n + 1)^2 points shared by the squares: point i + (n + 1) * j
// lies at (i, j); square (i, j) is the triangles (a, a + 1, a + n + 2) and
// (a, a + n + 2, a + n + 1), a its lower left point.
void AddGrid(MeshElement& element, int n);
// A quad in the plane z = `z` from (x0, y0) to (x1, y1) (2 triangles).
void AddQuad(MeshElement& element, float x0, float y0, float x1, float y1, float z);

// A small signal with three LODs' worth of detail: mast, foot and head in
// every LOD, lamps, hood and ladder for the nearer ones. Its assignment for
// three LODs is SignalSampleAssignment (one list of LOD cells per element
// row).
MeshShapeRecipe SignalSample();
std::vector<std::vector<std::string>> SignalSampleAssignment();

// A tank wagon exported as most models are, one element: a round barrel
// with domed ends, a dome on top and the frame under it, about 4 000
// triangles that the far LODs simplify.
MeshShapeRecipe TankSample();

}  // namespace lodsmith::test
