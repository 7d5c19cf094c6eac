// Elements with triangles of their own in an LOD (a simplified mesh over a
// subset of their vertices): the writers renumber the kept vertices one by
// one, write one list with its normal and flags entries, and count its
// faces; the element meshes a simplifier starts from.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "document/analysis.h"
#include "document/document_messages.h"
#include "generation/element_mesh.h"
#include "generation/generator.h"
#include "generation/vertex_estimate.h"
#include "generation_support.h"
#include "mesh_shape.h"
#include "shape_checker.h"

namespace lodsmith::test {
namespace {

// A shape and the inputs of its generation, as the analysis reads them.
struct Analysed {
  Lines lines;
  ShapeAnalysis a;
  explicit Analysed(Lines l) : lines(std::move(l)), a(AnalyseShape(lines)) {}
  GenerationTables Tables() const {
    return {a.elementVtxState, a.vtxStateMatrix, a.vertexSets, static_cast<int32_t>(a.matrixNames.size())};
  }
  // Every element in sub-object 1 of each LOD.
  LodAssignment Assignment(int lods) const {
    LodAssignment as;
    as.lodCount = lods;
    for (const ElementRow& row : a.elements) {
      AssignedElement& e = as.elements.emplace_back();
      e.name = row.name;
      e.faces = row.faces;
      e.lods.assign(static_cast<std::size_t>(lods), AssignmentCell::Read("1"));
    }
    as.subObjectCount = 1;
    as.sorted.assign(static_cast<std::size_t>(lods), std::vector<bool>(1));
    for (int lod = 1; lod <= lods; ++lod) as.distances.push_back(std::to_string(100 * lod));
    return as;
  }
  Lines Generate(const LodAssignment& as) const {
    Lines out = GenerateShape(lines, as, Tables());
    EXPECT_EQ(CheckShapeStructure(out), std::vector<std::string>{});
    return out;
  }
};

// The tokens after "(" of the lines of `out` holding `key`, from line `from` on.
std::vector<std::vector<std::string>> Values(const Lines& out, const std::string& key, int from = 0) {
  std::vector<std::vector<std::string>> r;
  for (int i = from; i < static_cast<int>(out.size()); ++i)
    if (Contains(out[i], key)) r.push_back(TokensAfterParen(out[i]));
  return r;
}

// The first line of LOD 2's sub-object.
int SecondLod(const Lines& out) {
  int seen = 0;
  for (int i = 0; i < static_cast<int>(out.size()); ++i)
    if (Contains(out[i], "sub_object (") && ++seen == 2) return i;
  return -1;
}

std::vector<std::string> Strings(std::initializer_list<const char*> list) { return {list.begin(), list.end()}; }

// A flat 3 x 3 grid becomes two triangles over its four corners in LOD 2;
// LOD 1 stays as it was written without them.
TEST(OwnTriangles, GridReducedToItsCornersKeepsFourVerticesRenumbered) {
  MeshShapeRecipe r;
  r.faceNormals = 1;
  r.elements.push_back(MeshElement{"Grid", 0, {}, {}});
  AddGrid(r.elements.back(), 3);
  const Analysed s(MeshShape(r));
  LodAssignment as = s.Assignment(2);
  const Lines plain = s.Generate(as);
  as.triangles[{2, 1}] = {0, 3, 15, 0, 15, 12};
  const Lines out = s.Generate(as);

  const ShapeSummary before = SummariseShape(plain), after = SummariseShape(out);
  ASSERT_EQ(after.lods.size(), 2u);
  EXPECT_EQ(after.lods[0].subObjects[0].primitives[0].vertexIdxs,
            before.lods[0].subObjects[0].primitives[0].vertexIdxs);
  const SubObjectSummary& reduced = after.lods[1].subObjects[0];
  const SubObjectSummary& full = before.lods[1].subObjects[0];
  ASSERT_EQ(reduced.vertices.size(), 4u);
  for (auto [kept, was] : std::map<int, int>{{0, 0}, {1, 3}, {2, 12}, {3, 15}})
    EXPECT_EQ(reduced.vertices[static_cast<std::size_t>(kept)], full.vertices[static_cast<std::size_t>(was)]);
  const int lod2 = SecondLod(out);
  EXPECT_EQ(Values(out, "vertex_set (", lod2)[0], Strings({"0", "0", "4", ")"}));
  EXPECT_EQ(Values(out, "vertex_idxs", lod2)[0], Strings({"6", "0", "1", "3", "0", "3", "2", ")"}));
  EXPECT_EQ(Values(out, "normal_idxs", lod2)[0], Strings({"2", "0", "3", "0", "3", ")"}));
  EXPECT_EQ(Values(out, "flags (", lod2)[0], Strings({"2", "00000000", "00000000", ")"}));
  EXPECT_EQ(Values(out, "geometry_info", lod2)[0][0], "2");
  EXPECT_EQ(Values(out, "cullable_prims", lod2)[0], Strings({"1", "2", "6", ")"}));
  EXPECT_EQ(Values(out, "primitives", lod2)[0][0], "2");
  // Points, uv_points, normals and the vertex entries are the template's.
  const Lines head(out.begin(), out.begin() + LineWith(out, "lod_controls"));
  EXPECT_EQ(head, Lines(plain.begin(), plain.begin() + LineWith(plain, "lod_controls")));
  EXPECT_EQ(ShownVertexCount(as, 2, 1, s.a.elementVtxState, s.a.vertexSets), 4);
  EXPECT_EQ(ShownVertexCount(as, 1, 1, s.a.elementVtxState, s.a.vertexSets), 16);
}

// One inner vertex of a grid collapsed onto its right neighbour: the two
// triangles between them vanish, the others that held it now hold the
// neighbour, and the vertex alone is left out of the sub-object.
TEST(OwnTriangles, CollapsedGridVertexIsLeftOutAndTheRestRenumbered) {
  MeshShapeRecipe r;
  r.faceNormals = -1;
  r.elements.push_back(MeshElement{"Grid", 0, {}, {}});
  AddGrid(r.elements.back(), 3);
  const Analysed s(MeshShape(r));
  LodAssignment as = s.Assignment(2);
  std::vector<int32_t> own;
  const std::vector<int>& t = r.elements[0].triangles;
  for (std::size_t k = 0; k < t.size(); k += 3) {
    std::array<int32_t, 3> tri = {t[k], t[k + 1], t[k + 2]};
    for (int32_t& v : tri) v = v == 5 ? 6 : v;
    if (tri[0] != tri[1] && tri[1] != tri[2] && tri[0] != tri[2]) own.insert(own.end(), tri.begin(), tri.end());
  }
  ASSERT_EQ(own.size(), 3u * 16);
  as.triangles[{2, 1}] = own;
  const Lines out = s.Generate(as);
  const int lod2 = SecondLod(out);
  EXPECT_EQ(Values(out, "vertex_set (", lod2)[0], Strings({"0", "0", "15", ")"}));
  std::vector<std::string> expected = {std::to_string(own.size())};
  for (int32_t v : own) expected.push_back(std::to_string(v > 5 ? v - 1 : v));
  expected.push_back(")");
  EXPECT_EQ(Values(out, "vertex_idxs", lod2)[0], expected);
  // Every triangle is flat: each new one takes the one normal there is.
  const std::vector<std::string> normals = Values(out, "normal_idxs", lod2)[0];
  ASSERT_EQ(normals.size(), 2u + 2 * 16);
  for (std::size_t k = 1; k + 1 < normals.size(); k += 2) EXPECT_EQ(normals[k] + " " + normals[k + 1], "0 3") << k;
  EXPECT_EQ(Values(out, "geometry_info", lod2)[0][0], "16");
}

// A triangle the element's lists hold keeps its entries; a new one takes
// the normal of the element's nearest to its face, whichever way the file
// turns its normals to the corners' order.
TEST(OwnTriangles, NormalEntriesAreKeptOrTakenFromTheNearestFace) {
  for (int facing : {1, -1}) {
    SCOPED_TRACE(facing);
    MeshShapeRecipe r;
    r.faceNormals = facing;
    r.elements.push_back(MeshElement{"Box", 0, {}, {}});
    AddBox(r.elements.back(), {0, 0, 0}, {1, 2, 3});
    const Analysed s(MeshShape(r));
    LodAssignment as = s.Assignment(2);
    const std::vector<int>& t = r.elements[0].triangles;
    std::vector<int32_t> own;
    // Faces 0 to 4 as they are; face 5 split along its other diagonal
    // (a, b, c), (a, c, d) -> (a, b, d), (b, c, d).
    own.assign(t.begin(), t.begin() + 30);
    const int a = t[30], b = t[31], c = t[32], d = t[35];
    own.insert(own.end(), {a, b, d, b, c, d});
    as.triangles[{2, 1}] = own;
    const Lines out = s.Generate(as);
    const int lod2 = SecondLod(out);
    const std::vector<std::string> written = Values(out, "normal_idxs", lod2)[0];
    const std::vector<std::string> template_ = Values(s.lines, "normal_idxs")[0];
    ASSERT_EQ(written.size(), 2u + 2 * 12);
    EXPECT_EQ(written[0], "12");
    // The kept triangles' entries, then both new triangles with face 5's.
    for (std::size_t k = 1; k <= 2 * 10; ++k) EXPECT_EQ(written[k], template_[k]) << k;
    for (std::size_t k = 21; k <= 24; ++k) EXPECT_EQ(written[k], template_[k]) << k;
    EXPECT_EQ(Values(out, "vertex_idxs", lod2)[0].size(), 2u + 36);
  }
}

// Elements on one vertex set: the set is kept whole while one of them keeps
// its own lists, and in part (the union of their triangles' vertices) when
// all have triangles of their own; a set behind it moves down by what was
// left out.
TEST(OwnTriangles, SharedVertexSetIsKeptWholeOrInPart) {
  const ExportedShapeRecipe o;  // E0 and E2 on set 0 (vertices 0..5), E1 on set 1 (6..11)
  struct Case {
    const char* name;
    std::map<int, std::vector<int32_t>> own;  // element row -> its triangles in LOD 1
    std::vector<std::vector<std::string>> sets;
    std::vector<std::vector<std::string>> lists;  // vertex_idxs in element order
  } cases[] = {
      {"one of two keeps its lists",
       {{1, {3, 4, 5}}},
       {{"0", "0", "6", ")"}, {"1", "6", "6", ")"}},
       {{"3", "3", "4", "5", ")"}, {"6", "7", "8", "9", "10", "11", "6", ")"}, {"3", "2", "3", "4", ")"}}},
      {"both have their own",
       {{1, {3, 4, 5}}, {3, {2, 3, 4}}},
       {{"0", "0", "4", ")"}, {"1", "4", "6", ")"}},
       {{"3", "1", "2", "3", ")"}, {"6", "5", "6", "7", "8", "9", "4", ")"}, {"3", "0", "1", "2", ")"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GenerationInput in = InputFor(o, Uniform(3, 1, "1"));
    for (const auto& [row, own] : c.own) in.assignment.triangles[{1, row}] = own;
    const Lines out = GenerateShape(ExportedShape(o), in);
    EXPECT_EQ(CheckShapeStructure(out), std::vector<std::string>{});
    EXPECT_EQ(Values(out, "vertex_set ("), c.sets);
    std::vector<std::vector<std::string>> lists = Values(out, "vertex_idxs");
    for (auto& l : lists) l.erase(std::remove(l.begin(), l.end(), ""), l.end());
    EXPECT_EQ(lists, c.lists);
  }
}

TEST(OwnTriangles, TrianglesThatCannotBeWrittenAreRefused) {
  const ExportedShapeRecipe o;
  struct Case {
    const char* name;
    std::vector<int32_t> own;
    int fault;
  } cases[] = {
      {"no whole triangles", {0, 1, 2, 3}, static_cast<int>(GenerationMsg::TrianglesNotWhole)},
      {"no triangle", {}, static_cast<int>(GenerationMsg::TrianglesNotWhole)},
      {"a vertex of another set", {0, 1, 7}, static_cast<int>(GenerationMsg::TriangleVertexOutsideSet)},
      {"a vertex before the set", {0, 1, -1}, static_cast<int>(GenerationMsg::TriangleVertexOutsideSet)},
  };
  for (const Case& c : cases) {
    GenerationInput in = InputFor(o, Uniform(3, 1, "1"));
    in.assignment.triangles[{1, 1}] = c.own;
    try {
      GenerateShape(ExportedShape(o), in);
      ADD_FAILURE() << c.name << " was written";
    } catch (const Error& e) {
      const Message* m = &e.message();
      while (m->inner) m = m->inner.get();
      EXPECT_EQ(m->id, c.fault) << c.name;
    }
  }
}

// The meshes the simplifier starts from: every list of an element, its
// vertices with their points, placed by the matrix chain.
TEST(ElementMeshes, TrianglesVerticesAndPlacedPoints) {
  MeshShapeRecipe r;
  r.matrices = {MeshMatrix{"MAIN"}, MeshMatrix{"ARM", 0, {0, 1, 0, -1, 0, 0, 0, 0, 1, 5, 0, 0}},
                MeshMatrix{"HAND", 1, {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 2, 0}}};
  r.elements.push_back(MeshElement{"Base", 0, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}});
  r.elements.push_back(MeshElement{"Tip", 2, {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {7, 7, 7}}, {0, 1, 2, 2, 1, 0}});
  const Analysed s(MeshShape(r));
  const std::vector<ElementMesh> meshes = ReadElementMeshes(s.lines, s.Tables());
  ASSERT_EQ(meshes.size(), 3u);
  EXPECT_EQ(meshes[1].triangles, (std::vector<int32_t>{0, 1, 2}));
  const ElementMesh& tip = meshes[2];
  EXPECT_EQ(tip.triangles, (std::vector<int32_t>{3, 4, 5, 5, 4, 3}));
  EXPECT_EQ(tip.vertices, (std::vector<int32_t>{3, 4, 5}));  // vertex 6 is drawn by no triangle
  EXPECT_EQ(tip.vertexPoint, (std::vector<int32_t>{3, 4, 5}));
  // HAND moves up by 2 in ARM's frame; ARM turns x to y and moves by 5 in x.
  const std::vector<Point3> expected = {{3, 1, 0}, {3, 0, 1}, {2, 0, 0}};
  ASSERT_EQ(tip.positions.size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k)
    for (std::size_t c = 0; c < 3; ++c) EXPECT_NEAR(tip.positions[k][c], expected[k][c], 1e-9) << k << " " << c;

  ExportedShapeRecipe split;
  split.elementFaces = {4, 2, 3};
  split.elementLists = {{0, 3}};
  const Analysed t(ExportedShape(split));
  const std::vector<ElementMesh> m = ReadElementMeshes(t.lines, t.Tables());
  EXPECT_EQ(m[1].triangles.size(), 12u);

  const Analysed bad(WithLine(s.lines, "point ( 7 7 7 )", "\t\tpoint ( 1 inf 0 )"));
  ASSERT_NE(bad.lines, s.lines);
  EXPECT_NO_THROW(ReadElementMeshes(bad.lines, bad.Tables()));  // only an unused point is not finite
  const Analysed worse(WithLine(s.lines, "point ( 0 0 1 )", "\t\tpoint ( 0 nan 1 )"));
  try {
    ReadElementMeshes(worse.lines, worse.Tables());
    ADD_FAILURE() << "a point that is no finite number was taken";
  } catch (const Error& e) {
    EXPECT_TRUE(e.Is(GenerationMsg::CoordinateNotFinite)) << e.what();
  }
}

}  // namespace
}  // namespace lodsmith::test
