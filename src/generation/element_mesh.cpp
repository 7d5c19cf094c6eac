#include "generation/element_mesh.h"

#include <algorithm>
#include <cmath>

#include "core/message.h"
#include "generation/generation_messages.h"

namespace lodsmith {

namespace {

// The matrix an element row draws with; -1 when its tables do not lead to one.
int32_t MatrixOf(const GenerationTables& t, std::size_t row, std::size_t matrices) {
  if (row >= t.elementVtxState.size()) return -1;
  const int32_t state = t.elementVtxState[row];
  if (state < 0 || static_cast<std::size_t>(state) >= t.vtxStateMatrix.size()) return -1;
  const int32_t m = t.vtxStateMatrix[static_cast<std::size_t>(state)];
  return m >= 0 && static_cast<std::size_t>(m) < matrices ? m : -1;
}

}  // namespace

std::vector<ElementMesh> ReadElementMeshes(const Lines& document, const GenerationTables& tables) {
  const ModelGeometry g = ReadModelGeometry(document);
  const std::size_t rows = tables.elementVtxState.empty() ? 1 : tables.elementVtxState.size();
  std::vector<ElementMesh> meshes(rows);
  if (g.subObjects.empty()) return meshes;
  const GeometrySubObject& sub = g.subObjects.front();
  for (const GeometryPrimitive& p : sub.primitives) {
    const int64_t row = int64_t{p.primState} + 1;
    if (p.primState < 0 || row >= static_cast<int64_t>(rows)) throw Error(GenerationMsg::PrimStateNoElement, row);
    ElementMesh& mesh = meshes[static_cast<std::size_t>(row)];
    mesh.triangles.insert(mesh.triangles.end(), p.indices.begin(), p.indices.end());
  }
  for (std::size_t row = 1; row < rows; ++row) {
    ElementMesh& mesh = meshes[row];
    if (mesh.triangles.empty()) continue;
    const int32_t m = MatrixOf(tables, row, g.matrices.size());
    if (m < 0) throw Error(GenerationMsg::ElementWithoutMatrix, row);
    const Placement& placement = g.matrices[static_cast<std::size_t>(m)];
    mesh.vertices = mesh.triangles;
    std::sort(mesh.vertices.begin(), mesh.vertices.end());
    mesh.vertices.erase(std::unique(mesh.vertices.begin(), mesh.vertices.end()), mesh.vertices.end());
    for (int32_t v : mesh.vertices) {
      const int32_t point = sub.vertexPoint[static_cast<std::size_t>(v)];
      const Point3 q = placement.Apply(g.points[static_cast<std::size_t>(point)]);
      if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2]))
        throw Error(GenerationMsg::CoordinateNotFinite, row, point);
      mesh.vertexPoint.push_back(point);
      mesh.positions.push_back(q);
    }
  }
  return meshes;
}

}  // namespace lodsmith
