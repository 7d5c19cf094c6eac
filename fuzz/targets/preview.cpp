// The preview's reader and rasterizer: the geometry of any shape text is
// read or refused with an Error, never read outside its tables, and a shape
// that is read is drawn in every view and "as seen" from 100 m. The input
// is the shape.
#include <cstddef>
#include <cstdint>

#include "document/shape_file.h"
#include "fuzz_harness.h"
#include "generation/lod_assignment.h"
#include "preview/preview_render.h"
#include "preview/shape_geometry.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const Lines lines = DecodeShape(ShapeImage(AsText(data, size))).lines;
  ShapeGeometry geometry;
  try {
    geometry = ReadShapeGeometry(lines);
  } catch (const Error&) {
    return 0;
  }
  for (const GeometryTriangle& t : geometry.triangles)
    Require(t.element >= 1 && t.element <= geometry.elementCount, "a triangle of no element");
  for (PreviewView view : {PreviewView::Front, PreviewView::Iso, PreviewView::Top}) {
    PreviewSettings s;
    s.width = 64;
    s.height = 48;
    s.camera = CameraFor(view);
    s.highlightElement = 1;
    const PreviewFrame f = RenderPreview(geometry, nullptr, s);
    Require(f.image.width == 64 && f.image.height == 48 && f.image.pixels.size() == 64u * 48u * 4u,
            "the picture has another size");
    Require(f.shownTriangles == static_cast<int64_t>(geometry.triangles.size()), "a triangle was not counted");
  }
  // "As seen" with every element in LOD 1: points far from the others put
  // corners far off the screen.
  LodAssignment all;
  AssignedElement everywhere;
  everywhere.lods = {AssignmentCell::Read("0")};
  all.elements.assign(static_cast<std::size_t>(geometry.elementCount), everywhere);
  all.distances = {"100"};
  PreviewSettings s;
  s.width = 64;
  s.height = 48;
  s.lod = 1;
  s.asSeen = true;
  const PreviewFrame f = RenderPreview(geometry, &all, s);
  Require(f.image.pixels.size() == 64u * 48u * 4u, "the picture as seen has another size");
  Require(f.distance == 100, "as seen from another distance");
  return 0;
}
