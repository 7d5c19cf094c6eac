#include "preview/shape_geometry.h"

#include "document/model_geometry.h"
#include "preview/preview_messages.h"

namespace lodsmith {

namespace {

void CheckIndex(int64_t index, std::size_t size, const char* what) {
  if (index < 0 || index >= static_cast<int64_t>(size)) throw Error(PreviewMsg::ReferenceOutside, what, index, size);
}

ShapeGeometry Read(const Lines& lines, const ShapeAnalysis& a) {
  const ModelGeometry m = ReadModelGeometry(lines);
  if (a.matrixNames.size() != m.matrices.size())
    throw Error(PreviewMsg::CountTooLarge, "matrices", a.matrixNames.size(), m.matrices.size());

  ShapeGeometry g;
  g.elementCount = static_cast<int32_t>(a.elements.size());
  int32_t subIndex = -1;
  for (const GeometrySubObject& sub : m.subObjects) {
    ++subIndex;
    for (const GeometryPrimitive& p : sub.primitives) {
      CheckIndex(p.primState, a.elements.size(), "prim_state");
      const int32_t element = p.primState + 1;
      // The analysis has checked prim_state -> vtx_state -> matrix.
      const Placement& matrix = m.matrices[static_cast<std::size_t>(
          a.vtxStateMatrix[static_cast<std::size_t>(a.elementVtxState[static_cast<std::size_t>(element)])])];
      for (std::size_t k = 0; k + 2 < p.indices.size(); k += 3) {
        GeometryTriangle tri;
        tri.element = element;
        tri.subObject = subIndex;
        for (std::size_t c = 0; c < 3; ++c) {
          const int32_t v = p.indices[k + c];
          const int32_t point = sub.vertexPoint[static_cast<std::size_t>(v)];
          tri.vertices[c] = v;
          tri.points[c] = point;
          const Point3 q = matrix.Apply(m.points[static_cast<std::size_t>(point)]);
          tri.corners[c] = {static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2])};
        }
        g.triangles.push_back(tri);
      }
    }
  }
  return g;
}

}  // namespace

ShapeGeometry ReadShapeGeometry(const Lines& lines, const ShapeAnalysis& analysis) {
  if (analysis.failure) throw Error(analysis.failure->WrappedIn(PreviewMsg::Unreadable));
  try {
    return Read(lines, analysis);
  } catch (const Error& e) {
    throw Error(e.message().WrappedIn(PreviewMsg::Unreadable));
  }
}

ShapeGeometry ReadShapeGeometry(const Lines& lines) { return ReadShapeGeometry(lines, AnalyseShape(lines)); }

}  // namespace lodsmith
