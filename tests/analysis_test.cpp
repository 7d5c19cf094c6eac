// The shape analysis and the animation marks: the core scans over lines, the
// form's use of them when a shape is opened, and real shapes.
#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "core/file_io.h"
#include "document/analysis.h"
#include "document/animations.h"
#include "document/shape_file.h"
#include "synthetic_shape.h"
#include "test_env.h"
#include "ui/texts/messages.h"

namespace lodsmith::test {
namespace {

const char* const kThreeLods = "Die Datei enthält 3 LOD's, es werden keine weiteren LOD's und Subobjekte hergestellt.";
const char* const kTwoSubObjects =
    "Das erste LOD enthält 2 Subobjekte, es werden keine weiteren LOD's oder Subobjekte hergestellt. Es handelt "
    "sich NICHT um eine originale TSM-Datei!";

// The warnings as the user reads them (German).
std::vector<std::string> Texts(const std::vector<Message>& messages) {
  std::vector<std::string> r;
  for (const Message& m : messages) r.push_back(MessageString(m, Language::German));
  return r;
}

TEST(AnalyseShape, WorkedExampleFillsTablesAndRows) {
  ShapeAnalysis a = AnalyseShape(ExampleShape());
  ASSERT_FALSE(a.failure) << DescribeMessage(*a.failure);

  EXPECT_EQ(a.matrixNames, (std::vector<std::string>{"MAIN", "WHEEL1"}));
  EXPECT_EQ(a.imageNames, (std::vector<std::string>{"body.ace", "wheel.ace"}));
  EXPECT_EQ(a.textureImage, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(a.vtxStateMatrix, (std::vector<int32_t>{0, 1}));
  ASSERT_EQ(a.vertexSets.size(), 2u);
  EXPECT_EQ(a.vertexSets[1].VertexShift, 1);
  EXPECT_EQ(a.vertexSets[1].StartVertex, 3);
  EXPECT_EQ(a.vertexSets[1].VertexCount, 3);
  EXPECT_EQ(a.elementVtxState, (std::vector<int32_t>{0, 0, 1}));

  ASSERT_EQ(a.elements.size(), 2u);
  EXPECT_EQ(a.elements[0].name, "Body");
  EXPECT_EQ(a.elements[0].image, "body.ace");
  EXPECT_EQ(a.elements[0].faces, 2);
  EXPECT_EQ(a.elements[1].name, "Wheel");
  EXPECT_EQ(a.elements[1].faces, 1);
  ASSERT_EQ(a.matrices.size(), 2u);
  EXPECT_EQ(a.matrices[0].faces, 2);
  EXPECT_EQ(a.matrices[1].faces, 1);
  EXPECT_TRUE(a.warnings.empty());
  EXPECT_FALSE(a.disableGeneration);
}

TEST(AnalyseShape, EmptyDocumentGivesNothing) {
  ShapeAnalysis a = AnalyseShape({});
  EXPECT_TRUE(a.elements.empty());
  EXPECT_TRUE(a.warnings.empty());
}

TEST(AnalyseShape, SeveralLodsOrSubObjectsWarnInOrderAndStillFillTables) {
  Lines lines = WithLine(ExampleShape(), "distance_levels ( 1", "\t\t\tdistance_levels ( 3");
  ShapeAnalysis a = AnalyseShape(lines);
  EXPECT_EQ(Texts(a.warnings), std::vector<std::string>{kThreeLods});
  EXPECT_TRUE(a.disableGeneration);
  EXPECT_EQ(a.elements.size(), 2u);
  EXPECT_EQ(a.elements[0].faces, 2);

  lines = WithLine(ExampleShape(), "sub_objects ( 1", "\t\t\t\t\tsub_objects ( 2");
  a = AnalyseShape(lines);
  EXPECT_EQ(Texts(a.warnings), std::vector<std::string>{kTwoSubObjects});
  EXPECT_TRUE(a.disableGeneration);

  lines = WithLine(lines, "distance_levels ( 1", "\t\t\tdistance_levels ( 3");
  a = AnalyseShape(lines);
  EXPECT_EQ(Texts(a.warnings), (std::vector<std::string>{kThreeLods, kTwoSubObjects}));
}

TEST(AnalyseShape, LaterPrimitiveOfAnElementWinsButMatrixSumsAll) {
  OutlineShapeRecipe recipe;
  recipe.elements = 2;
  Lines lines = OutlineShape(recipe);
  // Both primitives draw prim_state 0: 300 and then 600 vertex indices.
  int second = LineWith(lines, "prim_state_idx ( 1 )");
  lines[second] = "\t\t\t\t\t\t\t\tprim_state_idx ( 0 )";
  lines[second - 4] = "\t\t\t\t\t\t\t\t\tvertex_idxs ( 300 0 1 2 )";
  lines[second + 2] = "\t\t\t\t\t\t\t\t\tvertex_idxs ( 600 0 1 2 )";
  ShapeAnalysis a = AnalyseShape(lines);
  ASSERT_FALSE(a.failure) << DescribeMessage(*a.failure);
  EXPECT_EQ(a.elements[0].faces, 200);
  EXPECT_FALSE(a.elements[1].faces.has_value());  // no primitive draws it
  EXPECT_EQ(a.matrices[0].faces, 300);
}

TEST(AnalyseShape, OddPrimitivesCountReadsWholePrimitivesOnly) {
  OutlineShapeRecipe recipe;
  recipe.elements = 3;
  Lines lines = WithLine(OutlineShape(recipe), "primitives ( 6", "\t\t\t\t\t\t\tprimitives ( 5");
  ShapeAnalysis a = AnalyseShape(lines);
  ASSERT_FALSE(a.failure) << DescribeMessage(*a.failure);
  EXPECT_EQ(a.elements[0].faces, 1);
  EXPECT_EQ(a.elements[1].faces, 2);
  EXPECT_FALSE(a.elements[2].faces.has_value());
}

// Exporters write a long mesh as several triangle lists one after another
// under one prim_state_idx: the element's faces are those of all its lists,
// and the lists of the last primitive do not run into what follows.
TEST(AnalyseShape, TriangleListsUnderOnePrimStateIdxAllCount) {
  struct Case {
    const char* name;
    std::map<int, int> lists;  // element -> its lists
    int twice;                 // an element drawn by two separate primitives, -1: none
    int matrix0;               // faces of matrix 0 (elements 0 and 2)
  } cases[] = {
      {"one list each", {}, -1, 16},
      {"first element in two lists", {{0, 2}}, -1, 16},
      {"every element in three lists", {{0, 3}, {1, 3}, {2, 3}}, -1, 16},
      {"last element in four lists", {{2, 4}}, -1, 16},
      // Separate primitives stay separate: the element shows the last
      // one's faces (all its lists), the matrix counts both.
      {"two primitives of two lists each", {{0, 2}}, 0, 23},
  };
  for (const Case& c : cases) {
    ExportedShapeRecipe o;
    o.elementFaces = {7, 5, 9};
    o.elementLists = c.lists;
    o.elementWithTwoPrimitives = c.twice;
    const ShapeAnalysis a = AnalyseShape(ExportedShape(o));
    ASSERT_FALSE(a.failure) << c.name << ": " << DescribeMessage(*a.failure);
    ASSERT_EQ(a.elements.size(), 3u) << c.name;
    EXPECT_EQ(a.elements[0].faces, 7) << c.name;
    EXPECT_EQ(a.elements[1].faces, 5) << c.name;
    EXPECT_EQ(a.elements[2].faces, 9) << c.name;
    EXPECT_EQ(a.matrices[0].faces, c.matrix0) << c.name;
    EXPECT_EQ(a.matrices[1].faces, 5) << c.name;
  }
}

TEST(AnalyseShape, EmptyTextureListTakesZBiasAsTexture) {
  Lines lines = WithLine(ExampleShape(), "tex_idxs ( 1 0 )", "\t\t\ttex_idxs ( 0 ) 1 0 0 0 1");
  ShapeAnalysis a = AnalyseShape(lines);
  ASSERT_FALSE(a.failure) << DescribeMessage(*a.failure);
  EXPECT_EQ(a.elements[0].image, "wheel.ace");
  EXPECT_EQ(a.elementVtxState[1], 0);
}

TEST(AnalyseShape, LargeShapesBeyondOldTableSizes) {
  OutlineShapeRecipe recipe;
  recipe.elements = 1200;
  recipe.matrices = 900;
  recipe.faces = [](int) { return 1; };
  ShapeAnalysis a = AnalyseShape(OutlineShape(recipe));
  ASSERT_FALSE(a.failure) << DescribeMessage(*a.failure);
  EXPECT_EQ(a.elements.size(), 1200u);
  EXPECT_EQ(a.matrixNames.size(), 900u);
  EXPECT_EQ(a.vertexSets.size(), 1200u);
  EXPECT_EQ(a.elementVtxState.size(), 1201u);
  // Element e draws on matrix e % 900.
  EXPECT_EQ(a.matrices[0].faces, 2);
  EXPECT_EQ(a.matrices[899].faces, 1);
}

// Malformed input: each case must end in a failure of the analysis, never in
// a read outside a table or past the last line.
struct BadCase {
  const char* what;
  std::function<Lines()> make;
};

Lines Replace(const std::string& text, const std::string& replacement) {
  return WithLine(ExampleShape(), text, replacement);
}

Lines Cut(const std::string& from) {
  Lines l = ExampleShape();
  l.resize(static_cast<std::size_t>(LineWith(l, from)));
  return l;
}

class AnalyseShapeBadInput : public ::testing::TestWithParam<BadCase> {};

TEST_P(AnalyseShapeBadInput, EndsWithAFailure) {
  Lines lines = GetParam().make();
  EXPECT_TRUE(AnalyseShape(lines).failure) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnalyseShapeBadInput,
    ::testing::Values(
        BadCase{"no matrices block", [] { return Replace("matrices ( 2", "\tmatrixes ( 2"); }},
        BadCase{"file ends after the matrices", [] { return Cut("images ( 2"); }},
        BadCase{"no lod_controls", [] { return Replace("lod_controls", "\tlod_kontrols ( 1"); }},
        BadCase{"no distance_levels", [] { return Replace("distance_levels ( 1", "\t\t\tdistance_level ( 1"); }},
        BadCase{"matrix name without a blank", [] { return Replace("matrix MAIN", "\t\tmatrixMAIN"); }},
        BadCase{"prim_state without name", [] { return Replace("prim_state Body", "\t\tprim_state"); }},
        BadCase{"vtx_state with one number",
                [] { return Replace("vtx_state ( 00000000 1", "\t\tvtx_state ( 00000000 )"); }},
        BadCase{"tex_idxs without numbers", [] { return Replace("tex_idxs ( 1 0 )", "\t\t\ttex_idxs"); }},
        BadCase{"texture index not an integer",
                [] { return Replace("texture ( 1 0", "\t\ttexture ( 1.5 0 0 ff000000 )"); }},
        BadCase{"image with blanks only", [] { return Replace("image ( wheel", "\t\timage (   )"); }},
        BadCase{"image without )", [] { return Replace("image ( wheel", "\t\timage ( wheel.ace"); }},
        BadCase{"prim_states without prim_state",
                [] {
                  Lines l = ExampleShape();
                  int b = LineWith(l, "prim_state Body");
                  l.erase(l.begin() + b, l.begin() + b + 6);
                  return l;
                }},
        BadCase{"vtx_state matrix index outside the matrices",
                [] { return Replace("vtx_state ( 00000000 1", "\t\tvtx_state ( 00000000 900 -5 0 00000002 )"); }},
        BadCase{"texture image index outside the images",
                [] { return Replace("texture ( 1 0", "\t\ttexture ( 9 0 0 ff000000 )"); }},
        BadCase{"prim_state texture outside the textures",
                [] { return Replace("tex_idxs ( 1 1 )", "\t\t\ttex_idxs ( 1 7 ) 0 1 0 0 1"); }},
        BadCase{"prim_state vtx_state outside the vtx_states",
                [] { return Replace("tex_idxs ( 1 1 )", "\t\t\ttex_idxs ( 1 1 ) 0 4 0 0 1"); }},
        BadCase{"prim_state_idx outside the elements",
                [] { return Replace("prim_state_idx ( 1 )", "\t\t\t\t\t\t\t\tprim_state_idx ( 2 )"); }},
        BadCase{"negative prim_state_idx",
                [] { return Replace("prim_state_idx ( 1 )", "\t\t\t\t\t\t\t\tprim_state_idx ( -1 )"); }},
        BadCase{"more vertex sets announced than the file holds", [] { return Cut("vertex_set ( 1 3 3 )"); }},
        BadCase{"vertex_set with too few numbers",
                [] { return Replace("vertex_set ( 1 3 3 )", "\t\t\t\t\t\t\t\tvertex_set ( 1 3 )"); }},
        BadCase{"count that does not fit 32 bits",
                [] { return Replace("vertex_sets ( 2", "\t\t\t\t\t\t\tvertex_sets ( 99999999999"); }},
        // Vertex counts whose sums would not fit 32 bits, and negative ones.
        BadCase{"vertex sets holding more than 2^31 - 1 vertices",
                [] { return Replace("vertex_set ( 0 0 3 )", "\t\t\t\t\t\t\t\tvertex_set ( 0 0 2147483646 )"); }},
        BadCase{"vertex set ending beyond 2^31 - 1",
                [] { return Replace("vertex_set ( 1 3 3 )", "\t\t\t\t\t\t\t\tvertex_set ( 1 2147483646 3 )"); }},
        BadCase{"negative vertex count",
                [] { return Replace("vertex_set ( 1 3 3 )", "\t\t\t\t\t\t\t\tvertex_set ( 1 3 -3 )"); }},
        BadCase{"negative first vertex",
                [] { return Replace("vertex_set ( 1 3 3 )", "\t\t\t\t\t\t\t\tvertex_set ( 1 -3 3 )"); }}),
    [](const ::testing::TestParamInfo<BadCase>& p) { return "Case" + std::to_string(p.index); });

TEST(AnalyseShape, ErrorKeepsWarningsFoundBeforeIt) {
  Lines lines = WithLine(ExampleShape(), "distance_levels ( 1", "\t\t\tdistance_levels ( 3");
  lines = WithLine(lines, "vertex_set ( 1 3 3 )", "\t\t\t\t\t\t\t\tvertex_set ( x )");
  const ShapeAnalysis a = AnalyseShape(lines);
  ASSERT_TRUE(a.failure) << "no error";
  EXPECT_EQ(Texts(a.warnings), std::vector<std::string>{kThreeLods});
  EXPECT_NE(MessageString(*a.failure, Language::German).find("Zeile"), std::string::npos);
}

// Names holding a blank are quoted in the file; every reader takes them
// whole and without their quotes, so that two names alike in their first
// word stay two names.
TEST(AnalyseShape, QuotedNamesAreReadWhole) {
  const Lines lines = QuotedNamesShape();
  const ShapeAnalysis a = AnalyseShape(lines);
  ASSERT_FALSE(a.failure) << DescribeMessage(*a.failure);
  EXPECT_EQ(a.matrixNames, (std::vector<std::string>{"WHEEL A", "WHEEL B"}));
  ASSERT_EQ(a.elements.size(), 2u);
  EXPECT_EQ(a.elements[0].name, "Body A");
  EXPECT_EQ(a.elements[1].name, "Body B");
  EXPECT_EQ(a.elements[0].image, "..\\textures\\body a.ace");
  EXPECT_EQ(a.elements[1].image, "wheel.ace");
  const auto marks = ReadMatrixAnimations(lines, {"WHEEL A", "wheel b", "WHEEL", "\"WHEEL"});
  ASSERT_TRUE(marks);
  EXPECT_EQ(*marks, (std::vector<bool>{true, true, false, false}));
}

// ---- Animation marks -------------------------------------------------------------

TEST(ReadMatrixAnimations, MarksNodesWithControllersCaseBlind) {
  auto marks = ReadMatrixAnimations(ExampleShape(), {"MAIN", "Wheel1", "wheel1", "OTHER"});
  ASSERT_TRUE(marks);
  EXPECT_EQ(*marks, (std::vector<bool>{false, true, true, false}));
}

TEST(ReadMatrixAnimations, NoAnimationsBlockLeavesMarksAlone) {
  Lines lines = ExampleShape();
  lines.resize(static_cast<std::size_t>(LineWith(lines, "animations")));
  lines.push_back(")");
  EXPECT_FALSE(ReadMatrixAnimations(lines, {"MAIN"}));
  // Only the very last line holding the keyword counts as no block.
  lines.back() = "animations ( 0 )";
  EXPECT_FALSE(ReadMatrixAnimations(lines, {"MAIN"}));
}

TEST(ReadMatrixAnimations, NodeLineRightAfterNodeLineIsTakenAsControllerLine) {
  Lines lines = ExampleShape();
  // MAIN's node line is followed directly by WHEEL1's: WHEEL1 is consumed
  // as MAIN's controller line and never read as a node.
  int main = LineWith(lines, "anim_node MAIN");
  lines.erase(lines.begin() + main + 1, lines.begin() + main + 3);
  ASSERT_NE(lines[main + 1].find("anim_node WHEEL1"), std::string::npos);
  auto marks = ReadMatrixAnimations(lines, {"MAIN", "WHEEL1"});
  ASSERT_TRUE(marks);
  EXPECT_EQ(*marks, (std::vector<bool>{false, false}));
}

TEST(ReadMatrixAnimations, NodeOnLastLineEndsQuietly) {
  Lines lines = ExampleShape();
  lines.resize(static_cast<std::size_t>(LineWith(lines, "anim_node MAIN")) + 1);
  auto marks = ReadMatrixAnimations(lines, {"MAIN"});
  ASSERT_TRUE(marks);
  EXPECT_EQ(*marks, std::vector<bool>{false});
}

// ---- The form -------------------------------------------------------------------------

TEST(FormAnalysis, OpeningFillsGridsAndDefaultAssignment) {
  FormFixture f;
  f.Open(f.WriteShape("example.s", ExampleShape()));
  TLSForm& form = *f.form;
  EXPECT_TRUE(f.platform.messages.empty());
  ASSERT_EQ(form.StringGrid1.RowCount(), 3);
  EXPECT_EQ(form.StringGrid1.Cell(0, 2), "Wheel");
  EXPECT_EQ(form.StringGrid1.Cell(1, 1), "body.ace");
  EXPECT_EQ(form.StringGrid1.Cell(2, 1), "2");
  EXPECT_EQ(form.StringGrid1.Cell(3, 1), "1");
  EXPECT_EQ(form.StringGrid1.Cell(3, 2), "1");
  ASSERT_EQ(form.StringGrid3.RowCount(), 3);
  EXPECT_EQ(form.StringGrid3.Cell(0, 2), "WHEEL1");
  EXPECT_EQ(form.StringGrid3.Cell(1, 1), "2");
  EXPECT_EQ(form.StringGrid3.Cell(2, 1), "");
  EXPECT_EQ(form.StringGrid3.Cell(2, 2), "x");
  EXPECT_EQ(form.VertexSets.size(), 2u);
  EXPECT_TRUE(form.Sub_ObjectsButton.Enabled);
  // One sub-object with both vertex sets; three faces in LOD 1.
  EXPECT_EQ(form.StringGrid2.RowCount(), 2);
  EXPECT_EQ(form.StringGrid2.Cell(1, 1), "6");
  EXPECT_EQ(form.StringGrid5.Cell(2, 1), "3");
}

TEST(FormAnalysis, WarningsAreShownAndGenerationDisabled) {
  FormFixture f;
  Lines lines = WithLine(ExampleShape(), "distance_levels ( 1", "\t\t\tdistance_levels ( 3");
  lines = WithLine(lines, "sub_objects ( 1", "\t\t\t\t\tsub_objects ( 2");
  f.Open(f.WriteShape("split.s", lines));
  EXPECT_EQ(f.platform.Texts(), (std::vector<std::string>{kThreeLods, kTwoSubObjects}));
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Warning);
  EXPECT_EQ(f.platform.messages[0].buttons, MsgButtons::Ok);
  EXPECT_FALSE(f.form->Sub_ObjectsButton.Enabled);
  EXPECT_EQ(f.form->StringGrid1.RowCount(), 3);
}

TEST(FormAnalysis, MalformedShapeShowsOneMessageAndStaysOpen) {
  FormFixture f;
  // Open a good shape first so that stale tables would show.
  f.Open(f.WriteShape("good.s", ExampleShape()));
  Lines bad = WithLine(ExampleShape(), "prim_state_idx ( 1 )", "\t\t\t\t\t\t\t\tprim_state_idx ( 40 )");
  f.platform.Clear();
  f.Open(f.WriteShape("bad.s", bad));
  TLSForm& form = *f.form;
  EXPECT_EQ(f.platform.Texts(), std::vector<std::string>{form.LanguageText(60)});
  EXPECT_FALSE(form.LanguageText(60).empty());
  EXPECT_EQ(form.ShapeLines.size(), bad.size());
  EXPECT_NE(form.FileName.find("bad.s"), std::string::npos);
  EXPECT_FALSE(form.Sub_ObjectsButton.Enabled);
  EXPECT_TRUE(form.ElementVtxState.size() <= 1 && form.VertexSets.empty() && form.MatrixNames.empty());
  EXPECT_EQ(form.StringGrid1.Cell(0, 1), "");
}

TEST(FormAnalysis, VertexCountsBeyond32BitsAreReportedNotWrapped) {
  FormFixture f;
  f.Open(f.WriteShape("huge.s", Replace("vertex_set ( 0 0 3 )", "\t\t\t\t\t\t\t\tvertex_set ( 0 0 2147483646 )")));
  TLSForm& form = *f.form;
  EXPECT_EQ(f.platform.Texts(), std::vector<std::string>{form.LanguageText(60)});
  for (int r = 1; r < form.StringGrid2.RowCount(); ++r)
    EXPECT_EQ(form.StringGrid2.Cell(1, r).find('-'), std::string::npos);
  EXPECT_EQ(form.VertexSets.size(), 0u);
}

TEST(FormAnalysis, AnalysingAgainKeepsUserAssignments) {
  FormFixture f;
  f.Open(f.WriteShape("example.s", ExampleShape()));
  TLSForm& form = *f.form;
  form.StringGrid1SetEditText(3, 2, "2");
  form.StringGrid3.SetCell(2, 2, "");
  form.AnalyseShape();
  EXPECT_EQ(form.StringGrid1.Cell(3, 2), "2");
  EXPECT_EQ(form.StringGrid3.Cell(2, 2), "");
  EXPECT_EQ(form.StringGrid1.Cell(2, 2), "1");
}

TEST(FormAnalysis, ShapeWithoutAnimationsKeepsMarks) {
  FormFixture f;
  f.Open(f.WriteShape("example.s", ExampleShape()));
  Lines plain = ExampleShape();
  plain.resize(static_cast<std::size_t>(LineWith(plain, "animations")));
  plain.push_back(")");
  f.form->ShapeLines = plain;
  f.form->StringGrid3.SetCell(2, 1, "x");
  f.form->ReadMatrixAnimations();
  EXPECT_EQ(f.form->StringGrid3.Cell(2, 1), "x");
  EXPECT_EQ(f.form->StringGrid3.Cell(2, 2), "x");
}

// ---- Real shapes ----------------------------------------------------------------------------

// Counts taken from the file's own block headers and vertex_idxs lines, not
// through the analysis.
struct RealCounts {
  int matrices = 0;
  int primStates = 0;
  int64_t faces = 0;
  int trilists = 0;
  int primStateIdx = 0;
};

int HeaderCount(const Lines& lines, const std::string& keyword) {
  int i = LineWith(lines, keyword + " (");
  return i < 0 ? -1 : std::stoi(lines[i].substr(lines[i].find('(') + 1));
}

RealCounts Count(const Lines& lines) {
  RealCounts c;
  c.matrices = HeaderCount(lines, "matrices");
  c.primStates = HeaderCount(lines, "prim_states");
  for (const auto& l : lines) {
    auto p = l.find("vertex_idxs (");
    if (p != std::string::npos) {
      c.faces += std::stoll(l.substr(p + 13)) / 3;
      ++c.trilists;
    }
    if (l.find("prim_state_idx") != std::string::npos) ++c.primStateIdx;
  }
  return c;
}

void CheckRealShape(const std::string& path) {
  SCOPED_TRACE(path);
  Lines lines = DecodeShape(ReadFileBytes(path)).lines;
  if (HeaderCount(lines, "distance_levels") != 1 || HeaderCount(lines, "sub_objects") != 1) return;
  RealCounts want = Count(lines);
  ShapeAnalysis a = AnalyseShape(lines);
  ASSERT_FALSE(a.failure) << DescribeMessage(*a.failure);
  EXPECT_TRUE(a.warnings.empty());
  EXPECT_EQ(static_cast<int>(a.elements.size()), want.primStates);
  EXPECT_EQ(static_cast<int>(a.matrices.size()), want.matrices);
  // Other writers let one prim_state_idx serve several trilists; the faces
  // are read only from the exporter's one-index-per-trilist layout.
  if (want.trilists != want.primStateIdx) return;
  int64_t faces = 0;
  for (const auto& m : a.matrices) faces += m.faces;
  EXPECT_EQ(faces, want.faces);
}

TEST(AnalyseRealShapes, SingleLodSingleSubObjectShapes) {
  std::vector<std::string> files = FilesEndingWith(CorpusDir(), ".s");
  auto tsm = FilesEndingWith(CorpusTsmDir(), ".tsm.s");
  files.insert(files.end(), tsm.begin(), tsm.end());
  if (files.empty()) GTEST_SKIP() << NoCorpusShapes("corpus") << " nor corpus-tsm";
  int checked = 0;
  for (const auto& file : files) {
    std::string bytes = ReadFileBytes(file);
    if (bytes.rfind("\xFF\xFE", 0) != 0) continue;  // compressed or not UTF-16: not for this program
    CheckRealShape(file);
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace lodsmith::test
