#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "core/grid_columns.h"
#include "document/document_messages.h"
#include "generation/lod_assignment.h"
#include "mesh_shape.h"
#include "preview/preview_messages.h"
#include "preview/preview_render.h"
#include "preview/shape_geometry.h"
#include "synthetic_shape.h"
#include "test_env.h"

namespace lodsmith {
namespace {

using test::MeshElement;
using test::MeshMatrix;
using test::MeshShapeRecipe;

struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool operator==(const Box&) const = default;
};

Box Drawn(const RgbaImage& image) {
  Box b;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (!(image.At(x, y) == kPreviewBackground)) {
        b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x), b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
      }
  return b;
}

LodAssignment AssignmentOf(const std::vector<std::vector<std::string>>& rows, std::vector<std::string> distances) {
  LodAssignment a;
  a.lodCount = static_cast<int32_t>(distances.size());
  for (const auto& row : rows) {
    AssignedElement e;
    for (const auto& cell : row) e.lods.push_back(AssignmentCell::Read(cell));
    a.elements.push_back(e);
  }
  a.distances = std::move(distances);
  return a;
}

ShapeGeometry UnitCube() {
  MeshShapeRecipe r;
  r.elements.push_back(MeshElement{"Cube", 0, {}, {}});
  test::AddBox(r.elements.back(), {0, 0, 0}, {1, 1, 1});
  return ReadShapeGeometry(test::MeshShape(r));
}

// The silhouette of a unit cube: its projected extents (from the camera's
// axes as preview_render.h defines them), fitted by the framing rule, give
// the first and last pixel whose centre is covered.
TEST(Preview, UnitCubeFillsTheFramedBoxInEveryView) {
  const ShapeGeometry cube = UnitCube();
  constexpr int kW = 200, kH = 160;
  for (PreviewView view : {PreviewView::Front, PreviewView::Side, PreviewView::Top, PreviewView::Iso}) {
    const PreviewCamera cam = CameraFor(view);
    const double yaw = cam.yawDegrees * std::numbers::pi / 180, pitch = cam.pitchDegrees * std::numbers::pi / 180;
    const double d[3] = {std::sin(yaw) * std::cos(pitch), -std::sin(pitch), std::cos(yaw) * std::cos(pitch)};
    const double r[3] = {std::cos(yaw), 0, -std::sin(yaw)};
    const double u[3] = {d[1] * r[2] - d[2] * r[1], d[2] * r[0] - d[0] * r[2], d[0] * r[1] - d[1] * r[0]};
    double lo[2] = {1e9, 1e9}, hi[2] = {-1e9, -1e9};
    for (int k = 0; k < 8; ++k) {
      const double p[3] = {double(k & 1), double((k >> 1) & 1), double((k >> 2) & 1)};
      const double sx = p[0] * r[0] + p[1] * r[1] + p[2] * r[2], sy = -(p[0] * u[0] + p[1] * u[1] + p[2] * u[2]);
      lo[0] = std::min(lo[0], sx), hi[0] = std::max(hi[0], sx), lo[1] = std::min(lo[1], sy),
      hi[1] = std::max(hi[1], sy);
    }
    const int margin = std::min(kW, kH) / 10;
    const double scale = std::min((kW - 2 * margin) / (hi[0] - lo[0]), (kH - 2 * margin) / (hi[1] - lo[1]));
    const double half[2] = {(hi[0] - lo[0]) * scale / 2, (hi[1] - lo[1]) * scale / 2};
    Box expected{static_cast<int>(std::ceil(kW / 2.0 - half[0] - 0.5)),
                 static_cast<int>(std::ceil(kH / 2.0 - half[1] - 0.5)),
                 static_cast<int>(std::ceil(kW / 2.0 + half[0] - 0.5)) - 1,
                 static_cast<int>(std::ceil(kH / 2.0 + half[1] - 0.5)) - 1};
    PreviewSettings s;
    s.width = kW, s.height = kH, s.camera = cam;
    const Box got = Drawn(RenderPreview(cube, nullptr, s).image);
    EXPECT_EQ(got, expected) << "view " << static_cast<int>(view) << ": " << got.x0 << "," << got.y0 << " - " << got.x1
                             << "," << got.y1;
  }
}

// A small near quad in front of a large far one: whatever order the file
// lists them in, the middle shows the near one and the rim the far one.
TEST(Preview, NearQuadHidesFarQuad) {
  for (bool nearFirst : {true, false}) {
    MeshElement nearQuad{"Near", 0, {}, {}}, farQuad{"Far", 0, {}, {}};
    test::AddQuad(nearQuad, -0.5f, -0.5f, 0.5f, 0.5f, 0);
    test::AddQuad(farQuad, -1, -1, 1, 1, 2);
    MeshShapeRecipe r;
    r.elements = nearFirst ? std::vector{nearQuad, farQuad} : std::vector{farQuad, nearQuad};
    const int nearRow = nearFirst ? 1 : 2;
    const ShapeGeometry g = ReadShapeGeometry(test::MeshShape(r));
    PreviewSettings s;
    s.width = s.height = 100;
    const RgbaImage both = RenderPreview(g, nullptr, s).image;
    // The same quads with the near one highlighted: only its colour stays.
    s.highlightElement = nearRow;
    const RgbaImage marked = RenderPreview(g, nullptr, s).image;
    EXPECT_EQ(both.At(50, 50), marked.At(50, 50)) << "near first: " << nearFirst;
    EXPECT_FALSE(both.At(12, 12) == marked.At(12, 12)) << "near first: " << nearFirst;
    EXPECT_FALSE(both.At(12, 12) == kPreviewBackground);
  }
}

// MAIN turns a quarter about y and moves 10 m along x; CHILD, under it,
// turns a quarter about z and moves (0, 5, 2). Its point (1, 0, 0) goes
// to (0, 1, 0), then (0, 6, 2), then through MAIN to (12, 6, 0); its
// (0, 0, 1) to (13, 5, 0). MAIN's own (1, 0, 0) goes to (10, 0, -1).
TEST(Preview, ChildIsPlacedThroughItsParentChain) {
  MeshShapeRecipe r;
  r.matrices = {MeshMatrix{"MAIN", -1, {0, 0, -1, 0, 1, 0, 1, 0, 0, 10, 0, 0}},
                MeshMatrix{"CHILD", 0, {0, 1, 0, -1, 0, 0, 0, 0, 1, 0, 5, 2}}};
  r.elements.push_back(MeshElement{"Arm", 1, {{1, 0, 0}, {0, 0, 0}, {0, 0, 1}}, {0, 1, 2}});
  r.elements.push_back(MeshElement{"Base", 0, {{1, 0, 0}, {0, 0, 0}, {0, 0, 1}}, {0, 1, 2}});
  const ShapeGeometry g = ReadShapeGeometry(test::MeshShape(r));
  ASSERT_EQ(g.triangles.size(), 2u);
  const struct {
    int element;
    Vec3 first, third;
  } cases[] = {{2, {10, 0, -1}, {11, 0, 0}}, {1, {12, 6, 0}, {13, 5, 0}}};
  for (const auto& c : cases) {
    const GeometryTriangle* t = nullptr;
    for (const auto& tri : g.triangles)
      if (tri.element == c.element) t = &tri;
    ASSERT_NE(t, nullptr);
    const Vec3 first = c.first;
    EXPECT_NEAR(t->corners[0].x, first.x, 1e-5);
    EXPECT_NEAR(t->corners[0].y, first.y, 1e-5);
    EXPECT_NEAR(t->corners[0].z, first.z, 1e-5);
    EXPECT_NEAR(t->corners[2].x, c.third.x, 1e-5);
    EXPECT_NEAR(t->corners[2].y, c.third.y, 1e-5);
    EXPECT_NEAR(t->corners[2].z, c.third.z, 1e-5);
  }
}

TEST(Preview, LodShowsWhatTheAssignmentPutsIntoIt) {
  const ShapeGeometry g = ReadShapeGeometry(test::MeshShape(test::SignalSample()));
  const LodAssignment a = AssignmentOf(test::SignalSampleAssignment(), {"50", "300", "1200"});
  struct Case {
    int lod;
    int elements;
  };
  for (Case c : {Case{0, 7}, Case{1, 7}, Case{2, 5}, Case{3, 4}}) {
    PreviewSettings s;
    s.width = 120, s.height = 90, s.lod = c.lod;
    EXPECT_EQ(RenderPreview(g, &a, s).shownElements, c.elements) << "LOD " << c.lod;
  }
  // "0" (every sub-object) shows, "999" and text that is not a number hide.
  const LodAssignment cells = AssignmentOf({{"0"}, {"999"}, {"x"}, {"3"}, {"05"}, {"-1"}, {""}}, {"100"});
  PreviewSettings s;
  s.width = 120, s.height = 90, s.lod = 1;
  EXPECT_EQ(RenderPreview(g, &cells, s).shownElements, 2);
}

TEST(Preview, HighlightDimsEveryOtherElement) {
  MeshElement left{"Left", 0, {}, {}}, right{"Right", 0, {}, {}};
  test::AddQuad(left, -2, -1, 0, 1, 0);
  test::AddQuad(right, 0, -1, 2, 1, 0);
  MeshShapeRecipe r;
  r.elements = {left, right};
  const ShapeGeometry g = ReadShapeGeometry(test::MeshShape(r));
  PreviewSettings s;
  s.width = 100, s.height = 60;
  const RgbaImage plain = RenderPreview(g, nullptr, s).image;
  s.highlightElement = 2;
  const RgbaImage marked = RenderPreview(g, nullptr, s).image;
  EXPECT_EQ(marked.At(75, 30), plain.At(75, 30));
  const Rgba was = plain.At(25, 30), now = marked.At(25, 30);
  auto spread = [](Rgba c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}); };
  EXPECT_LT(spread(now), spread(was) / 2);
}

TEST(Preview, AsSeenReportsTheHeightOnTheScreen) {
  MeshShapeRecipe r;
  r.elements.push_back(MeshElement{"Tower", 0, {}, {}});
  test::AddBox(r.elements.back(), {-1, 0, -0.5f}, {1, 10, 0.5f});
  const ShapeGeometry g = ReadShapeGeometry(test::MeshShape(r));
  const LodAssignment a = AssignmentOf({{"1", "1"}}, {"100", "-"});
  PreviewSettings s;
  s.width = 400, s.height = 300, s.lod = 1, s.asSeen = true;
  const PreviewFrame f = RenderPreview(g, &a, s);
  // The front face stands 99.5 m from the eye.
  const double focal = 540 / std::tan(27.5 * std::numbers::pi / 180);
  EXPECT_NEAR(f.screenHeightPixels, focal * 10 / 99.5, 0.01);
  const Box box = Drawn(f.image);
  const int enlarge = static_cast<int>(0.8 * 300 / f.screenHeightPixels);
  EXPECT_EQ((box.y1 - box.y0 + 1) % enlarge, 0);
  EXPECT_NEAR(box.y1 - box.y0 + 1, f.screenHeightPixels * enlarge, 2 * enlarge);
  s.lod = 2;
  try {
    RenderPreview(g, &a, s);
    ADD_FAILURE() << "a LOD without a distance was drawn as seen";
  } catch (const Error& e) {
    EXPECT_TRUE(e.Is(PreviewMsg::NoDistance));
  }
}

int DrawnPixels(const RgbaImage& image) {
  int n = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) n += !(image.At(x, y) == kPreviewBackground);
  return n;
}

// A triangle whose corners lie far off the image (a point seen from a few
// centimetres) still draws the pixels it covers: every one here.
TEST(Raster, CornersFarOffTheImageStillDraw) {
  constexpr Rgba kRed{255, 0, 0, 255};
  for (Coverage coverage : {Coverage::Centre, Coverage::Touch})
    for (float far : {1e6f, 1e10f, 3e38f}) {
      Raster r(40, 30, kPreviewBackground, coverage);
      r.Fill({ScreenPoint{-far, -far, 1}, ScreenPoint{far, -far, 1}, ScreenPoint{0, far, 1}}, kRed);
      EXPECT_EQ(DrawnPixels(r.Image()), 40 * 30) << "corners at " << far;
    }
}

// A sliver between two columns of pixel centres: drawn by the pixels it
// touches, missed by the centre rule; a triangle touching a pixel only
// along its border does not draw it.
TEST(Raster, TouchCoverageDrawsWhatCentresMiss) {
  constexpr Rgba kRed{255, 0, 0, 255};
  const std::array<ScreenPoint, 3> sliver{ScreenPoint{5.1f, 2, 0}, ScreenPoint{5.3f, 2, 0}, ScreenPoint{5.2f, 8, 0}};
  const std::array<ScreenPoint, 3> onBorder{ScreenPoint{2, 1, 0}, ScreenPoint{4, 1, 0}, ScreenPoint{3, 3, 0}};
  const struct {
    Coverage coverage;
    const std::array<ScreenPoint, 3>* triangle;
    Box drawn;
  } cases[] = {
      {Coverage::Centre, &sliver, Box{}},
      {Coverage::Touch, &sliver, Box{5, 2, 5, 7}},
      {Coverage::Centre, &onBorder, Box{2, 1, 3, 1}},
      {Coverage::Touch, &onBorder, Box{2, 1, 3, 2}},
  };
  for (const auto& c : cases) {
    Raster r(12, 10, kPreviewBackground, c.coverage);
    r.Fill(*c.triangle, kRed);
    const Box got = Drawn(r.Image());
    EXPECT_EQ(got, c.drawn) << static_cast<int>(c.coverage) << ": " << got.x0 << "," << got.y0 << " - " << got.x1 << ","
                            << got.y1;
  }
}

// Two boxes side by side; LOD 2 drops the right one. The left one keeps its
// pixels: the frame is the whole model's in every LOD.
TEST(Preview, OrthographicFrameStaysFromLodToLod) {
  MeshShapeRecipe r;
  r.elements = {MeshElement{"Left", 0, {}, {}}, MeshElement{"Right", 0, {}, {}}};
  test::AddBox(r.elements[0], {-2, 0, 0}, {-1, 1, 1});
  test::AddBox(r.elements[1], {1, 0, 0}, {3, 2, 1});
  const ShapeGeometry g = ReadShapeGeometry(test::MeshShape(r));
  const LodAssignment a = AssignmentOf({{"1", "1"}, {"1", "999"}}, {"100", "200"});
  for (PreviewView view : {PreviewView::Front, PreviewView::Top, PreviewView::Iso}) {
    PreviewSettings s;
    s.width = 160, s.height = 120, s.camera = CameraFor(view), s.lod = 1;
    const RgbaImage both = RenderPreview(g, &a, s).image;
    s.lod = 2;
    const RgbaImage left = RenderPreview(g, &a, s).image;
    int same = 0, drawn = 0;
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) {
        const bool leftHalf = x < s.width / 2;
        same += left.At(x, y) == (leftHalf ? both.At(x, y) : kPreviewBackground);
        drawn += leftHalf && !(left.At(x, y) == kPreviewBackground);
      }
    EXPECT_EQ(same, s.width * s.height) << "view " << static_cast<int>(view);
    EXPECT_GT(drawn, 0) << "view " << static_cast<int>(view);
  }
}

// Two masts 2 cm thick and 30 cm apart, 10 m high, from 1 km: each about
// a fiftieth of a pixel wide and between pixel centres, ten pixels high.
// They show, blended into the background, on every screen row they stand
// in.
TEST(Preview, AsSeenShowsPartsThinnerThanAPixel) {
  MeshShapeRecipe r;
  r.elements.push_back(MeshElement{"Masts", 0, {}, {}});
  test::AddBox(r.elements.back(), {-0.16f, 0, -0.01f}, {-0.14f, 10, 0.01f});
  test::AddBox(r.elements.back(), {0.14f, 0, -0.01f}, {0.16f, 10, 0.01f});
  const ShapeGeometry g = ReadShapeGeometry(test::MeshShape(r));
  const LodAssignment a = AssignmentOf({{"1"}}, {"1000"});
  PreviewSettings s;
  s.width = 400, s.height = 300, s.lod = 1, s.asSeen = true;
  const PreviewFrame f = RenderPreview(g, &a, s);
  ASSERT_NEAR(f.screenHeightPixels, 10.4, 0.1);
  const int enlarge = static_cast<int>(0.8 * 300 / f.screenHeightPixels);
  const Box box = Drawn(f.image);
  EXPECT_GE(box.y1 - box.y0 + 1, 10 * enlarge);
  EXPECT_LE(box.y1 - box.y0 + 1, 12 * enlarge);
  int emptyRows = 0;
  for (int y = box.y0; y <= box.y1; ++y) {
    bool drawn = false;
    for (int x = box.x0; x <= box.x1 && !drawn; ++x) drawn = !(f.image.At(x, y) == kPreviewBackground);
    emptyRows += !drawn;
  }
  EXPECT_EQ(emptyRows, 0);
}

// Several triangle lists under one prim_state_idx: every list is drawn, as
// the element of that prim_state.
TEST(Preview, EveryTriangleListOfAPrimitiveIsDrawn) {
  test::ExportedShapeRecipe o;
  o.elementFaces = {4, 2, 3};
  o.elementLists = {{0, 3}, {2, 2}};
  const ShapeGeometry g = ReadShapeGeometry(test::ExportedShape(o));
  std::vector<int> perElement(4, 0);
  for (const GeometryTriangle& t : g.triangles) ++perElement[static_cast<std::size_t>(t.element)];
  EXPECT_EQ(perElement, (std::vector<int>{0, 4, 2, 3}));
}

TEST(Preview, BadGeometryIsRefusedWithItsReason) {
  MeshShapeRecipe r;
  r.matrices = {MeshMatrix{"MAIN"}, MeshMatrix{"ARM", 0}};
  r.elements.push_back(MeshElement{"A", 0, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}});
  r.elements.push_back(MeshElement{"B", 1, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}});
  const Lines good = test::MeshShape(r);
  ASSERT_NO_THROW(ReadShapeGeometry(good));
  const struct {
    const char* line;
    const char* replacement;
    int fault;
  } cases[] = {
      {"vertex ( 00000000 5 0", "\t\t\t\t\t\t\t\tvertex ( 00000000 6 0 ff969696 ff808080",
       static_cast<int>(DocumentMsg::GeometryReferenceOutside)},
      {"vertex_idxs ( 3 3 4 5 )", "\t\t\t\t\t\t\t\t\tvertex_idxs ( 3 3 4 -1 )",
       static_cast<int>(DocumentMsg::GeometryReferenceOutside)},
      {"vertex_idxs ( 3 3 4 5 )", "\t\t\t\t\t\t\t\t\tvertex_idxs ( 4 3 4 5 )",
       static_cast<int>(DocumentMsg::GeometryCountTooLarge)},
      {"prim_state_idx ( 1 )", "\t\t\t\t\t\t\t\tprim_state_idx ( 2 )", static_cast<int>(DocumentMsg::IndexOutside)},
      {"hierarchy (", "\t\t\t\t\t\thierarchy ( 2 -1 2 )", static_cast<int>(DocumentMsg::GeometryReferenceOutside)},
      {"hierarchy (", "\t\t\t\t\t\thierarchy ( 2 1 0 )", static_cast<int>(DocumentMsg::GeometryHierarchyLoop)},
      {"hierarchy (", "\t\t\t\t\t\thierarchy ( 1 -1 )", static_cast<int>(DocumentMsg::GeometryReferenceOutside)},
      {"points ( 6", "\tpoints ( 7", static_cast<int>(DocumentMsg::GeometryCountTooLarge)},
      {"point ( 1 0 0 )", "\t\tpoint ( 1 0 x )", static_cast<int>(DocumentMsg::GeometryNotANumber)},
      {"vertex_uvs ( 1 0 )", "\t\t\t\t\t\t\t\t\tvertex_uvs ( 1 0 ", static_cast<int>(DocumentMsg::GeometryUnbalanced)},
  };
  for (const auto& c : cases) {
    const Lines bad = test::WithLine(good, c.line, c.replacement);
    ASSERT_NE(bad, good) << c.line;
    try {
      ReadShapeGeometry(bad);
      ADD_FAILURE() << c.replacement << " was read";
    } catch (const Error& e) {
      EXPECT_EQ(e.id(), static_cast<int>(PreviewMsg::Unreadable)) << c.replacement;
      ASSERT_TRUE(e.message().inner) << c.replacement;
      const Message* inner = e.message().inner.get();
      while (inner->inner) inner = inner->inner.get();
      EXPECT_EQ(inner->id, c.fault) << c.replacement << ": " << test::German(e.message());
    }
  }
}

// The window model: the preview follows the grid's selection (row and "L k"
// column) and its edits, and a shape it cannot draw leaves a reason in the
// status text instead of a message box.
TEST(PreviewWindowModel, FollowsTheElementGrid) {
  test::FormFixture f;
  f.Open(f.WriteShape("signal.s", test::MeshShape(test::SignalSample())));
  TLSForm& form = *f.form;
  form.SetLODAnzSpinEditValue(3);
  form.LODAnzSpinEditExit();
  const auto cells = test::SignalSampleAssignment();
  for (int row = 1; row <= 7; ++row)
    for (int lod = 1; lod <= 3; ++lod)
      form.StringGrid1.SetCell(grid::ElementLodColumn(lod), row, cells[row - 1][lod - 1]);
  form.Dispatch([&] { form.PreviewButtonClick(); });
  EXPECT_TRUE(form.Preview.Visible);
  EXPECT_EQ(form.PreviewButton.Caption, "Vorschau");
  EXPECT_EQ(form.RenderPreview(120, 90).shownElements, 7);
  EXPECT_EQ(form.Preview.HighlightRow, 0);

  bool can = false;
  form.Dispatch([&] { form.StringGrid1SelectCell(grid::ElementLodColumn(3), 5, can); });
  EXPECT_EQ(form.RenderPreview(120, 90).shownElements, 4);
  EXPECT_EQ(form.Preview.LodSpinEdit.Value, 3);
  EXPECT_EQ(form.Preview.HighlightRow, 5);
  EXPECT_NE(form.Preview.StatusText.find(", 4 Elemente"), std::string::npos) << form.Preview.StatusText;
  form.StringGrid1SetEditText(grid::ElementLodColumn(3), 5, "1");
  EXPECT_EQ(form.RenderPreview(120, 90).shownElements, 5);

  form.ShapeLines = test::WithLine(form.ShapeLines, "hierarchy (", "\t\t\t\t\t\thierarchy ( 2 1 0 )");
  const PreviewFrame broken = form.RenderPreview(120, 90);
  EXPECT_EQ(broken.shownTriangles, 0);
  EXPECT_NE(form.Preview.StatusText.find("im Kreis"), std::string::npos) << form.Preview.StatusText;
  EXPECT_TRUE(f.platform.messages.empty());
}

// Orbit and zoom keep the camera usable: the pitch stops at the top and
// bottom views, the zoom stays finite, and reset brings back the front view
// without a highlight.
TEST(PreviewWindowModel, CameraHandlersKeepTheirLimits) {
  test::FormFixture f;
  TLSForm& form = *f.form;
  form.PreviewOrbit(40, 1000);
  EXPECT_DOUBLE_EQ(form.Preview.Camera.yawDegrees, 40 * kOrbitDegreesPerPixel);
  EXPECT_DOUBLE_EQ(form.Preview.Camera.pitchDegrees, 90);
  form.PreviewOrbit(1000, -5000);
  EXPECT_DOUBLE_EQ(form.Preview.Camera.pitchDegrees, -90);
  EXPECT_LE(std::abs(form.Preview.Camera.yawDegrees), 180);
  form.PreviewZoom(100000);
  EXPECT_TRUE(std::isfinite(form.Preview.Camera.zoom));
  form.PreviewViewClick(PreviewView::Side);
  EXPECT_DOUBLE_EQ(form.Preview.Camera.yawDegrees, -90);
  form.Preview.HighlightRow = 2;
  form.PreviewResetClick();
  EXPECT_DOUBLE_EQ(form.Preview.Camera.yawDegrees, 0);
  EXPECT_DOUBLE_EQ(form.Preview.Camera.zoom, 1);
  EXPECT_EQ(form.Preview.HighlightRow, 0);
}

// The samples and their settings are made by the test support; this keeps
// the committed files equal to what it makes. With LODSMITH_WRITE_SAMPLES=1
// it writes them instead. The signal has its elements spread over three
// LODs; the tank, one element, has its far LODs simplified.
TEST(PreviewSample, SamplesAreWhatTheSupportMakes) {
  struct Sample {
    const char* name;
    test::MeshShapeRecipe recipe;
    std::vector<std::vector<std::string>> cells;  // empty: every element in sub-object 1
    std::vector<const char*> details;
  };
  const Sample samples[] = {
      {"signal", test::SignalSample(), test::SignalSampleAssignment(), {}},
      {"tank", test::TankSample(), {}, {"100%", "auto", "auto"}},
  };
  for (const Sample& sample : samples) {
    test::FormFixture f;
    const std::string file = std::string(sample.name) + ".s";
    f.Open(f.WriteShape(file, test::MeshShape(sample.recipe)));
    TLSForm& form = *f.form;
    form.SetLODAnzSpinEditValue(3);
    form.LODAnzSpinEditExit();
    for (std::size_t row = 1; row <= sample.cells.size(); ++row)
      for (int lod = 1; lod <= 3; ++lod)
        form.StringGrid1.SetCell(grid::ElementLodColumn(lod), static_cast<int>(row), sample.cells[row - 1][lod - 1]);
    const char* distances[] = {"100", "400", "1200"};
    for (int lod = 1; lod <= 3; ++lod) form.StringGrid4.SetCell(grid::kDistance, lod, distances[lod - 1]);
    for (std::size_t lod = 1; lod <= sample.details.size(); ++lod)
      form.DetailGridSetEditText(1, static_cast<int>(lod), sample.details[lod - 1]);
    form.Dispatch([&] { form.SaveModelSettings(); });
    const std::string shape = test::ReadBytes(f.dir.File(file));
    const std::string settings = test::ReadBytes(form.session.ModelSettingsFileName());
    const std::string base = std::string(LODSMITH_SAMPLES_DIR) + "/" + sample.name;
    if (const char* w = std::getenv("LODSMITH_WRITE_SAMPLES"); w && std::string(w) == "1") {
      test::WriteBytes(base + ".s", shape);
      test::WriteBytes(base + ".Lodsmith", settings);
    }
    EXPECT_EQ(test::ReadBytes(base + ".s"), shape) << sample.name;
    EXPECT_EQ(test::ReadBytes(base + ".Lodsmith"), settings) << sample.name;
  }
}

}  // namespace
}  // namespace lodsmith
