// The LOD and sub-object generation: the writers on hand-made shapes (the
// tables filled as the analysis would fill them), the refusals, and the form's
// handler around them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "core/grid_columns.h"
#include "document/document_messages.h"
#include "generation/generator.h"
#include "generation_support.h"
#include "shape_checker.h"
#include "test_env.h"
#include "ui/texts/messages.h"

namespace lodsmith::test {
namespace {

int IndexOf(const Lines& lines, const std::string& text, int from = 0) {
  for (int i = from; i < static_cast<int>(lines.size()); ++i)
    if (lines[i] == text) return i;
  return -1;
}

int CountContaining(const Lines& lines, const std::string& key) {
  return static_cast<int>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return Contains(l, key); }));
}

std::vector<std::string> LinesContaining(const Lines& lines, const std::string& key) {
  std::vector<std::string> r;
  for (const auto& l : lines)
    if (Contains(l, key)) r.push_back(l);
  return r;
}

Lines Generate(const ExportedShapeRecipe& o, const HandAssignment& a) {
  Lines out = GenerateShape(ExportedShape(o), InputFor(o, a));
  EXPECT_EQ(CheckShapeStructure(out), std::vector<std::string>{});
  return out;
}

std::string TextOf(const Error& e) { return MessageString(e.message(), Language::German); }

// What a refusal is about, told by its message number.
enum class Failure { TemplateNotFound, EmptyLod, LodNotFound, Refused, BrokenResult };

Failure KindOf(const Error& e) {
  if (e.Is(GenerationMsg::GeneralError)) return Failure::TemplateNotFound;
  if (e.Is(GenerationMsg::EmptyLod)) return Failure::EmptyLod;
  if (e.Is(GenerationMsg::LodNotFound)) return Failure::LodNotFound;
  if (e.Is(DocumentMsg::RefusedRewrite)) return Failure::BrokenResult;
  return Failure::Refused;
}

Failure FailureOf(const ExportedShapeRecipe& o, const HandAssignment& a, std::string* message = nullptr,
                  const Lines* lines = nullptr) {
  try {
    GenerateShape(lines ? *lines : ExportedShape(o), InputFor(o, a));
  } catch (const Error& e) {
    if (message) *message = TextOf(e);
    return KindOf(e);
  }
  ADD_FAILURE() << "the generation did not refuse";
  return Failure::Refused;
}

// ---- The worked examples ---------------------------------------------------

// Two LODs: LOD 1 with two sub-objects, the second sorted; LOD 2 with one.
TEST(GenerationTest, TwoLodSkeletonWithOneSortedSubObject) {
  ExportedShapeRecipe o;  // one volume, "sort_vectors ( 0 )"
  HandAssignment a;
  a.cells = {{"1", "1"}, {"2", "1"}, {"1", "1"}};
  a.sortMarks = {{1, 2}};
  a.distances = {"200", "2000"};
  Lines in = ExportedShape(o);
  Lines out = Generate(o, a);

  int vol = IndexOf(out, "\tvolumes ( 2");
  ASSERT_GE(vol, 0);
  const int srcVol = IndexOf(in, "\tvolumes ( 1");
  for (int copy = 0; copy < 2; ++copy)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(out[vol + 1 + 3 * copy + k], in[srcVol + 1 + k]);
  EXPECT_EQ(out[vol + 7], "\t)");

  int sv = IndexOf(out, "\tsort_vectors ( 1 ");
  ASSERT_GE(sv, 0);
  EXPECT_EQ(out[sv + 1], "\t\t\tvector ( 0 0.0025 5.2097 )");
  EXPECT_EQ(out[sv + 2], "\t)");

  EXPECT_EQ(LinesContaining(out, "distance_levels "), std::vector<std::string>{"\t\t\tdistance_levels ( 2"});
  EXPECT_EQ(
      LinesContaining(out, "dlevel_selection"),
      (std::vector<std::string>{"\t\t\t\t\t\tdlevel_selection ( 200 )", "\t\t\t\t\t\tdlevel_selection ( 2000 )"}));
  EXPECT_EQ(LinesContaining(out, "sub_objects"),
            (std::vector<std::string>{"\t\t\t\t\tsub_objects ( 2", "\t\t\t\t\tsub_objects ( 1"}));
  EXPECT_EQ(LinesContaining(out, "sub_object_header"),
            (std::vector<std::string>{"\t\t\t\t\t\t\tsub_object_header ( 00000400 -1 -1 000001d2 000001c4",
                                      "\t\t\t\t\t\t\tsub_object_header ( 00000500 0 1 000001d2 000001c4",
                                      "\t\t\t\t\t\t\tsub_object_header ( 00000400 -1 -1 000001d2 000001c4"}));
  // Head and tail are the template's lines.
  EXPECT_TRUE(std::equal(in.begin(), in.begin() + srcVol, out.begin()));
  EXPECT_TRUE(std::equal(in.end() - 4, in.end(), out.end() - 4));
  ExpectPrimitivesAsAssigned(in, out, a.cells, a.distances);
}

// Three matrices; the sub-object holds two elements of matrix 0 (6 and 4
// faces) and one of matrix 2 (4 faces) and is the first sorted one.
TEST(GenerationTest, NodeTableOfASortedSubObject) {
  ExportedShapeRecipe o;
  o.matrices = 3;
  o.stateMatrix = {0, 1, 2};
  o.setVertices = {12, 6, 6};
  o.elementState = {0, 0, 2, 1};
  o.elementFaces = {6, 4, 4, 2};
  HandAssignment a;
  a.cells = {{"1"}, {"1"}, {"1"}, {"2"}};
  a.sortMarks = {{1, 1}};
  Lines out = Generate(o, a);

  const std::string t7(7, '\t'), t8(8, '\t'), t9(9, '\t'), t10(10, '\t'), t11(11, '\t');
  int h = IndexOf(out, t7 + "sub_object_header ( 00000500 0 1 000001d2 000001c4");
  ASSERT_GE(h, 0);
  const std::vector<std::string> expected = {
      t8 + "geometry_info ( 14 3 0 42 0 0 3 0 0 0",
      t9 + "geometry_nodes ( 2",
      t10 + "geometry_node ( 2 0 0 0 0",
      t11 + "cullable_prims ( 2 10 30 )",
      t10 + ")",
      t10 + "geometry_node ( 1 0 0 0 0",
      t11 + "cullable_prims ( 1 4 12 )",
      t10 + ")",
      t9 + ")",
      t9 + "geometry_node_map ( 3 0 -1 1 )",
  };
  EXPECT_EQ(std::vector<std::string>(out.begin() + h + 1, out.begin() + h + 1 + expected.size()), expected);
  // The second sub-object (matrix 1 only): one node, the map names it once.
  EXPECT_EQ(IndexOf(out, t9 + "geometry_node_map ( 3 -1 0 -1 )"), IndexOf(out, t9 + "geometry_node_map ( 3 -1 0 -1 )"));
  EXPECT_GE(IndexOf(out, t9 + "geometry_node_map ( 3 -1 0 -1 )"), 0);
}

// Sets of 24, 30 and 10 vertices; the sub-object uses sets 0 and 2.
TEST(GenerationTest, DroppedVertexSetShiftsTheIndicesBehindIt) {
  ExportedShapeRecipe o;
  o.matrices = 1;
  o.stateMatrix = {0, 0, 0};
  o.setVertices = {24, 30, 10};
  o.elementState = {0, 1, 2};
  o.elementFaces = {4, 4, 2};
  o.explicitIndices[2] = {54, 55, 56, 56, 55, 57};
  HandAssignment a;
  a.cells = {{"1"}, {"2"}, {"1"}};
  Lines in = ExportedShape(o);
  Lines out = Generate(o, a);

  const std::string t7(7, '\t'), t8(8, '\t'), t9(9, '\t');
  EXPECT_EQ(LinesContaining(out, "vertices (")[0], t7 + "vertices ( 34");
  EXPECT_EQ(LinesContaining(out, "vertex_sets (")[0], t7 + "vertex_sets ( 2");
  const std::vector<std::string> sets = LinesContaining(out, "vertex_set (");
  EXPECT_EQ(std::vector<std::string>(sets.begin(), sets.begin() + 2),
            (std::vector<std::string>{t8 + "vertex_set ( 0 0 24 )", t8 + "vertex_set ( 2 24 10 )"}));
  EXPECT_GE(IndexOf(out, t9 + "vertex_idxs ( 6  24 25 26 26 25 27 ) "), 0);
  // Vertex lines: set 0 (72 lines) and set 2 (30 lines) of the template.
  const int inV = IndexOf(in, t7 + "vertices ( 64"), outV = IndexOf(out, t7 + "vertices ( 34");
  EXPECT_TRUE(std::equal(in.begin() + inV + 1, in.begin() + inV + 73, out.begin() + outV + 1));
  EXPECT_TRUE(std::equal(in.begin() + inV + 1 + 3 * 54, in.begin() + inV + 1 + 3 * 64, out.begin() + outV + 73));
  ExpectPrimitivesAsAssigned(in, out, a.cells, {});
}

// ---- Index lines, vertex sets and primitives --------------------------------

// Every length of a written index, at both ends: the template's indices of
// set 2 lowered by the 30 vertices of the dropped set 1 (indices beyond the
// set are a fault the template already has).
TEST(GenerationTest, ShiftedIndicesKeepEveryDigit) {
  ExportedShapeRecipe o;
  o.matrices = 1;
  o.stateMatrix = {0, 0, 0};
  o.setVertices = {24, 30, 10};
  o.elementState = {0, 1, 2};
  o.elementFaces = {4, 4, 6};
  std::vector<int64_t> written = {0, 9, 10, 99, 100, 999, 1000, 9999, 10000, 99999, 100000, 999999, 1000000};
  for (int64_t v : {9999999, 10000000, 99999999, 100000000, 2147483617}) written.push_back(v);
  std::string expected = std::string(9, '\t') + "vertex_idxs ( 18 ";
  for (int64_t v : written) {
    o.explicitIndices[2].push_back(static_cast<int32_t>(v + 30));
    expected += " " + std::to_string(v);
  }
  HandAssignment a;
  a.cells = {{"1"}, {"2"}, {"1"}};
  const Lines out = GenerateShape(ExportedShape(o), InputFor(o, a));
  EXPECT_EQ(LinesContaining(out, "vertex_idxs ( 18 "), std::vector<std::string>{expected + " ) "});
}

TEST(GenerationTest, IndexListsOverSeveralLinesAreRewrittenLineByLine) {
  ExportedShapeRecipe o;
  o.setVertices = {40, 200};
  o.elementFaces = {30, 70, 20};  // long lists, wrapped at 210 characters on reading
  HandAssignment a;
  a.cells = {{"2"}, {"1"}, {"2"}};
  Lines in = ExportedShape(o);
  Lines out = Generate(o, a);
  ExpectPrimitivesAsAssigned(in, out, a.cells, {});
  // The list of element 1 (set 1, shifted by the 40 vertices of set 0) is
  // written line by line as it was wrapped: the same number of lines, each
  // ending in a blank, continuation lines beginning with one.
  const int inFirst = IndexOf(in, "\t\t\t\t\t\t\t\tprim_state_idx ( 1 )") + 2;
  int outFirst = -1;
  for (int i = 0; i < static_cast<int>(out.size()) && outFirst < 0; ++i)
    if (Contains(out[i], "vertex_idxs")) outFirst = i;
  ASSERT_GE(inFirst, 2);
  ASSERT_GE(outFirst, 0);
  const std::string head = std::string(9, '\t') + "vertex_idxs ( 210  1 2 3 ";
  EXPECT_EQ(out[outFirst].substr(0, head.size()), head);
  int k = 0;
  for (; !Contains(in[inFirst + k], "normal_idxs"); ++k) {
    const std::string& line = out[outFirst + k];
    EXPECT_EQ(line.back(), ' ');
    if (k > 0) {
      EXPECT_EQ(line.front(), ' ');
      EXPECT_NE(in[inFirst + k].front(), ' ');
    }
  }
  EXPECT_GT(k, 1) << "the list must span several lines";
  EXPECT_TRUE(Contains(out[outFirst + k], "normal_idxs"));
}

TEST(GenerationTest, WithoutDroppedSetsOnlyTheSpacingOfIndexLinesChanges) {
  ExportedShapeRecipe o;
  HandAssignment a = Uniform(3, 1, "1");
  a.distances = {"400"};
  Lines in = ExportedShape(o);
  Lines out = Generate(o, a);
  // The one-line "sort_vectors ( 0 )" gets its ")" on a line of its own.
  const int sv = IndexOf(in, "\tsort_vectors ( 0 )");
  in[sv] = "\tsort_vectors ( 0 ";
  in.insert(in.begin() + sv + 1, "\t)");
  ASSERT_EQ(out.size(), in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (Contains(in[i], "vertex_idxs")) {
      // "( n" then every token with one blank before it, a blank at the end.
      std::string expected = in[i];
      expected.insert(expected.find('(') + 2 + ValueAfter(in[i], "vertex_idxs", 1).size() + 1, " ");
      EXPECT_EQ(out[i], expected + " ");
    } else {
      EXPECT_EQ(out[i], in[i]) << "line " << i;
    }
  }
}

TEST(GenerationTest, SharedVertexSetIsWrittenWholeAndUnusedOnesAreDropped) {
  ExportedShapeRecipe o;  // elements 0 and 2 share set 0
  HandAssignment a;
  a.cells = {{"1"}, {"999"}, {"1"}};
  Lines out = Generate(o, a);
  EXPECT_EQ(LinesContaining(out, "vertices (")[0], std::string(7, '\t') + "vertices ( 6");
  EXPECT_EQ(LinesContaining(out, "vertex_sets (")[0], std::string(7, '\t') + "vertex_sets ( 1");
  EXPECT_EQ(LinesContaining(out, "primitives (")[0], std::string(7, '\t') + "primitives ( 4");

  // Dropping element 0 instead keeps set 0 for element 2.
  a.cells = {{"999"}, {"1"}, {"1"}};
  out = Generate(o, a);
  EXPECT_EQ(LinesContaining(out, "vertices (")[0], std::string(7, '\t') + "vertices ( 12");
}

// ---- Sorting ---------------------------------------------------------------

TEST(GenerationTest, SortedSubObjectsGetVolumeAndSortVectorCopies) {
  ExportedShapeRecipe o;
  HandAssignment a;
  a.cells = {{"1", "1"}, {"2", "1"}, {"3", "999"}};
  // Sorted: LOD 1 sub-objects 2 and 3, LOD 2 sub-object 1; the mark on
  // LOD 2's empty sub-object 3 does not count.
  a.sortMarks = {{1, 2}, {1, 3}, {2, 1}, {2, 3}};
  Lines out = Generate(o, a);
  EXPECT_GE(IndexOf(out, "\tvolumes ( 4"), 0);
  EXPECT_EQ(CountContaining(out, "vol_sphere"), 4);
  int sv = IndexOf(out, "\tsort_vectors ( 3 ");
  ASSERT_GE(sv, 0);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(out[sv + k], "\t\t\tvector ( 0 0.0025 5.2097 )");
  EXPECT_EQ(out[sv + 4], "\t)");
  EXPECT_EQ(LinesContaining(out, "sub_object_header"),
            (std::vector<std::string>{"\t\t\t\t\t\t\tsub_object_header ( 00000400 -1 -1 000001d2 000001c4",
                                      "\t\t\t\t\t\t\tsub_object_header ( 00000500 0 1 000001d2 000001c4",
                                      "\t\t\t\t\t\t\tsub_object_header ( 00000500 1 2 000001d2 000001c4",
                                      "\t\t\t\t\t\t\tsub_object_header ( 00000500 2 3 000001d2 000001c4"}));
}

TEST(GenerationTest, UnsortedShapeKeepsVolumesAndSortVectors) {
  ExportedShapeRecipe o;
  o.volumes = 2;
  o.sortVectorsOnOneLine = false;
  HandAssignment a;
  a.cells = {{"1"}, {"2"}, {"1"}};
  Lines in = ExportedShape(o);
  Lines out = Generate(o, a);
  const int end = IndexOf(in, "\tcolours ( 0 )");
  EXPECT_TRUE(std::equal(in.begin(), in.begin() + end, out.begin()));
}

TEST(GenerationTest, SortFlagsFollowTheDecimalReadingOfTheFlagsWord) {
  HandAssignment a = Uniform(3, 1, "1");
  a.sortMarks = {{1, 1}};
  struct Case {
    std::string flags, written;
  } cases[] = {{"00000401", "00000401"}, {"00000400", "00000500"}, {"00000900", "00000a00"}, {"100", "200"}};
  for (const auto& c : cases) {
    ExportedShapeRecipe o;
    o.subObjectFlags = c.flags;
    Lines out = Generate(o, a);
    EXPECT_EQ(LinesContaining(out, "sub_object_header")[0],
              "\t\t\t\t\t\t\tsub_object_header ( " + c.written + " 0 1 000001d2 000001c4")
        << c.flags;
  }
  for (std::string bad : {"0000040a", "40", "-400"}) {
    ExportedShapeRecipe o;
    o.subObjectFlags = bad;
    std::string msg;
    EXPECT_EQ(FailureOf(o, a, &msg), Failure::Refused) << bad;
    EXPECT_NE(msg.find("\"" + bad + "\""), std::string::npos) << msg;
    // Not sorted, the same flags are copied as they stand.
    HandAssignment plain = Uniform(3, 1, "1");
    EXPECT_EQ(LinesContaining(Generate(o, plain), "sub_object_header")[0],
              "\t\t\t\t\t\t\tsub_object_header ( " + bad + " -1 -1 000001d2 000001c4");
  }
}

// ---- Which sub-objects an LOD gets -------------------------------------------

TEST(GenerationTest, LodPlanFollowsTheVertexEstimate) {
  ExportedShapeRecipe o;
  // LOD 1 uses sub-objects 1 to 3; LOD 2 only sub-object 1: one sub-object.
  HandAssignment a;
  a.cells = {{"1", "1"}, {"2", "1"}, {"3", "1"}};
  Lines out = Generate(o, a);
  EXPECT_EQ(LinesContaining(out, "sub_objects"),
            (std::vector<std::string>{"\t\t\t\t\tsub_objects ( 3", "\t\t\t\t\tsub_objects ( 1"}));
  ExpectPrimitivesAsAssigned(ExportedShape(o), out, a.cells, {});

  // With an element "0" in LOD 2 it gets as many sub-objects as the grid
  // has rows, each holding that element.
  a.cells = {{"1", "0"}, {"2", "1"}, {"3", "1"}};
  out = Generate(o, a);
  EXPECT_EQ(LinesContaining(out, "sub_objects"),
            (std::vector<std::string>{"\t\t\t\t\tsub_objects ( 3", "\t\t\t\t\tsub_objects ( 3"}));
  ExpectPrimitivesAsAssigned(ExportedShape(o), out, a.cells, {});
}

TEST(GenerationTest, EmptyLodOrGapBeforeAFullSubObjectIsRefused) {
  ExportedShapeRecipe o;
  std::string msg;
  HandAssignment allDropped;
  allDropped.cells = {{"1", "999"}, {"1", "999"}, {"1", "999"}};
  EXPECT_EQ(FailureOf(o, allDropped, &msg), Failure::EmptyLod);
  EXPECT_EQ(msg,
            "LOD 2 ist leer oder ein leeres Subobjekt liegt vor nicht-leeren Subobjekten. Dies würde zum "
            "Absturz des Simulators führen. Abbruch der Aktion.");
  HandAssignment gap;
  gap.cells = {{"1"}, {"3"}, {"1"}};
  EXPECT_EQ(FailureOf(o, gap, &msg), Failure::EmptyLod);
  EXPECT_EQ(msg.substr(0, 6), "LOD 1 ");
}

TEST(GenerationTest, AssignmentTextsAreComparedAsText) {
  ExportedShapeRecipe o;
  HandAssignment a;
  a.cells = {{"1"}, {"01"}, {"1"}};  // "01" is no sub-object
  Lines out = Generate(o, a);
  for (const auto& l : LinesContaining(out, "prim_state_idx")) EXPECT_EQ(l.find("( 1 )"), std::string::npos);
  // A distance is written as it stands in the grid.
  a.distances = {"0150"};
  out = Generate(o, a);
  EXPECT_EQ(LinesContaining(out, "dlevel_selection")[0], "\t\t\t\t\t\tdlevel_selection ( 0150 )");
}

// A cell places its element only by its exact text; the number it holds is
// what the sub-object grid counts rows and faces by.
TEST(GenerationTest, AssignmentCellsAreReadOnce) {
  using K = AssignmentCell::Kind;
  struct Case {
    const char* text;
    K kind;
    int32_t number;
    bool inTwo;
  } cases[] = {
      {"0", K::All, 0, true},         {"2", K::SubObject, 2, true},    {"3", K::SubObject, 3, false},
      {"999", K::Absent, 999, false}, {"05", K::Absent, 5, false},     {"+2", K::Absent, 2, false},
      {"-0", K::Absent, 0, false},    {"0999", K::Absent, 999, false}, {"-2", K::Absent, -2, false},
      {"", K::NotANumber, 0, false},  {"x", K::NotANumber, 0, false},  {"99999999999", K::NotANumber, 0, false}};
  for (const Case& c : cases) {
    const AssignmentCell cell = AssignmentCell::Read(c.text);
    EXPECT_EQ(cell.kind(), c.kind) << c.text;
    EXPECT_EQ(cell.number(), c.number) << c.text;
    EXPECT_EQ(cell.Places(2), c.inTwo) << c.text;
  }
}

// ---- Refusals --------------------------------------------------------------

TEST(GenerationTest, PreCheckAndMissingLevelsAreReportedWithTheirTexts) {
  ExportedShapeRecipe o;
  HandAssignment a = Uniform(3, 1, "1");
  std::string msg;
  Lines noSortVectors = ExportedShape(o);
  noSortVectors.erase(noSortVectors.begin() + IndexOf(noSortVectors, "\tsort_vectors ( 0 )"));
  EXPECT_EQ(FailureOf(o, a, &msg, &noSortVectors), Failure::TemplateNotFound);
  EXPECT_EQ(msg,
            "Allgemeiner Fehler, z.B. Eintragungen unvollständig, Datei fehlerhaft oder leer. Abbruch der Aktion.");

  HandAssignment notANumber = Uniform(3, 1, "1");
  notANumber.cells[1][0] = "";
  EXPECT_EQ(FailureOf(o, notANumber), Failure::TemplateNotFound);

  Lines noLevels = ExportedShape(o);
  noLevels[IndexOf(noLevels, "\t\t\tdistance_levels ( 1")] = "\t\t\tdistance_levels_x ( 1";
  EXPECT_EQ(FailureOf(o, a, &msg, &noLevels), Failure::LodNotFound);
  EXPECT_EQ(msg, "Schwerer Syntaxfehler in der Datei (LOD nicht gefunden). Abbruch der Aktion.");
}

TEST(GenerationTest, ElementsThatCannotBeWrittenAreRefusedByName) {
  std::string msg;
  // An element no primitive uses, assigned in LOD 2.
  ExportedShapeRecipe o;
  o.elementWithoutPrimitive = 1;
  HandAssignment a;
  a.cells = {{"1", "1"}, {"999", "2"}, {"1", "1"}};
  EXPECT_EQ(FailureOf(o, a, &msg), Failure::Refused);
  EXPECT_NE(msg.find("Element 2 (E1) ist in LOD 2 zugeordnet"), std::string::npos) << msg;
  // ... is fine when it is left out everywhere.
  a.cells[1] = {"999", "999"};
  const Lines leftOut = Generate(o, a);
  ExpectPrimitivesAsAssigned(ExportedShape(o), leftOut, a.cells, {});
  // Texts that parse but are no sub-object's exact text put it nowhere
  // either: the shape is written as with "999".
  for (std::string cell : {"0999", "05", "+1", "-0"}) {
    a.cells[1] = {cell, "999"};
    std::string why;
    Lines out;
    try {
      out = GenerateShape(ExportedShape(o), InputFor(o, a));
    } catch (const Error& e) {
      why = TextOf(e);
    }
    EXPECT_EQ(why, "") << cell;
    EXPECT_EQ(out, leftOut) << cell;
  }

  // An element drawn by two primitives.
  ExportedShapeRecipe twice;
  twice.elementWithTwoPrimitives = 0;
  EXPECT_EQ(FailureOf(twice, Uniform(3, 1, "1"), &msg), Failure::Refused);
  EXPECT_NE(msg.find("Element 1 (E0)"), std::string::npos) << msg;

  // A face count that is no number; an assignment cell of a later LOD that
  // is no number.
  ExportedShapeRecipe plain;
  GenerationInput in = InputFor(plain, Uniform(3, 2, "1"));
  in.assignment.elements[2].faces.reset();  // "x4"
  EXPECT_THROW(GenerateShape(ExportedShape(plain), in), Error);
  in = InputFor(plain, Uniform(3, 2, "1"));
  in.assignment.elements[1].lods[1] = AssignmentCell::Read("");
  try {
    GenerateShape(ExportedShape(plain), in);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_NE(TextOf(e).find("\"L 2\""), std::string::npos) << TextOf(e);
  }
  // An empty distance.
  in = InputFor(plain, Uniform(3, 2, "1"));
  in.assignment.distances[1] = "";
  EXPECT_THROW(GenerateShape(ExportedShape(plain), in), Error);
}

TEST(GenerationTest, TemplatesTheWritersCannotFollowAreRefused) {
  ExportedShapeRecipe o;
  HandAssignment a = Uniform(3, 1, "1");
  auto refused = [&](Lines lines, const std::string& what) {
    std::string msg;
    EXPECT_EQ(FailureOf(o, a, &msg, &lines), Failure::Refused) << what;
    EXPECT_NE(msg.find("Abbruch der Aktion."), std::string::npos) << what;
  };
  const Lines base = ExportedShape(o);
  const std::string t9(9, '\t'), t11(11, '\t');

  Lines twoLineNode = base;  // a node without its cullable_prims line
  twoLineNode.erase(twoLineNode.begin() + IndexOf(twoLineNode, t11 + "cullable_prims ( 2 3 9 )"));
  refused(twoLineNode, "node of two lines");

  Lines manyNodes = base;
  manyNodes[IndexOf(manyNodes, t9 + "geometry_nodes ( 2")] = t9 + "geometry_nodes ( 5";
  refused(manyNodes, "more nodes than matrices");

  Lines cutOff = base;
  cutOff.resize(cutOff.size() - 5);
  refused(cutOff, "cut off inside lod_controls");

  Lines badIndex = base;
  for (auto& l : badIndex)
    if (Contains(l, "vertex_idxs")) {
      l.replace(l.rfind(" )"), 2, " 5x )");
      break;
    }
  refused(badIndex, "vertex index that is no number");

  Lines fourLineVertex = base;
  fourLineVertex.insert(fourLineVertex.begin() + IndexOf(fourLineVertex, t9 + "vertex_uvs ( 1 0 )") + 1,
                        t9 + "vertex_uvs ( 1 0 )");
  refused(fourLineVertex, "vertex of four lines");

  // Sorted sub-objects need a first volume before sort_vectors.
  a.sortMarks = {{1, 1}};
  Lines noVolumes = base;
  int v = IndexOf(noVolumes, "\tvolumes ( 1");
  noVolumes.erase(noVolumes.begin() + v, noVolumes.begin() + v + 5);
  refused(noVolumes, "sorted without volumes");
  Lines emptyVolumes = base;
  v = IndexOf(emptyVolumes, "\tvolumes ( 1");
  emptyVolumes.erase(emptyVolumes.begin() + v + 1, emptyVolumes.begin() + v + 4);
  emptyVolumes[v] = "\tvolumes ( 0";
  refused(emptyVolumes, "sorted with an empty volumes block");
}

// Layouts the writers would follow into a broken shape (a closing ")" eaten
// or doubled while the generation reported success) are refused before
// anything is written. One matrix gives a template of one node, whose lines
// counting the node lines does not catch.
TEST(GenerationTest, LayoutsTheWritersCannotFollowAreRefusedNamingTheLine) {
  ExportedShapeRecipe one;
  one.matrices = 1;
  one.stateMatrix = {0, 0};
  const ExportedShapeRecipe two;
  const std::string t10(10, '\t'), t11(11, '\t');
  auto split = [](Lines& l, const std::string& keyword, const std::string& indent) {
    for (std::size_t i = 0; i < l.size(); ++i)
      if (auto at = l[i].find(keyword + " ("); at != std::string::npos) {
        const std::string rest = l[i].substr(at + keyword.size() + 1);
        l[i].resize(at + keyword.size());
        l.insert(l.begin() + static_cast<std::ptrdiff_t>(i) + 1, indent + rest);
        return;
      }
  };
  auto flagsTwice = [](Lines& l, bool last) {
    int at = -1;
    for (int i = 0; i < static_cast<int>(l.size()); ++i)
      if (Contains(l[i], "flags (") && (last || at < 0)) at = i;
    l.insert(l.begin() + at + 1, l[at]);
  };
  struct Case {
    const char* name;
    const ExportedShapeRecipe& o;
    std::function<void(Lines&)> change;
    std::string says;
  } cases[] = {
      {"node without cullable_prims", one,
       [&](Lines& l) { l.erase(l.begin() + IndexOf(l, t11 + "cullable_prims ( 3 5 15 )")); },
       "besteht nicht aus den drei Zeilen"},
      {"cullable_prims split", one, [&](Lines& l) { split(l, "cullable_prims", t11); },
       "besteht nicht aus den drei Zeilen"},
      {"geometry_node split", one, [&](Lines& l) { split(l, "geometry_node", t10); },
       "besteht nicht aus den drei Zeilen"},
      {"flags twice, first primitive", two, [&](Lines& l) { flagsTwice(l, false); }, "nach ihren flags nicht"},
      {"flags twice, last primitive", two, [&](Lines& l) { flagsTwice(l, true); }, "nach ihren flags nicht"},
      {"dlevel_selection split", two, [&](Lines& l) { split(l, "dlevel_selection", t10); },
       "\"dlevel_selection\" und seine Werte nicht in einer Zeile"},
      {"vertices split", two, [&](Lines& l) { split(l, "vertices", t10); }, "\"vertices\" und seine Werte"},
      {"another block after a triangle list", two,
       [&](Lines& l) {
         const int p = IndexOf(l, std::string(8, '\t') + "prim_state_idx ( 1 )");
         l.insert(l.begin() + p + 6, std::string(8, '\t') + "indexed_linelist ( 0 )");
       },
       "weder prim_state_idx noch eine weitere Dreiecksliste noch das Ende von primitives"},
  };
  for (const auto& c : cases) {
    Lines lines = ExportedShape(c.o);
    c.change(lines);
    std::string msg;
    EXPECT_EQ(FailureOf(c.o, Uniform(3, 1, "1"), &msg, &lines), Failure::Refused) << c.name;
    EXPECT_NE(msg.find(c.says), std::string::npos) << c.name << ": " << msg;
  }
}

// Exporters write a long mesh as several triangle lists one after another
// under one prim_state_idx. Every sub-object an element goes to gets all its
// lists, in order; the primitives count holds each prim_state_idx and each
// list, geometry_info and cullable_prims count the lists (and the faces of
// all of them), geometry_info's second value and geometry_node's first the
// prim_state_idx entries, as the exporters write them.
TEST(GenerationTest, TriangleListsUnderOnePrimStateIdxAreWrittenWhole) {
  struct Case {
    const char* name;
    std::map<int, int> lists;  // element -> its lists
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> primitives;  // the primitives lines written
    std::vector<std::string> info;        // the geometry_info lines written
    std::vector<std::string> culls;       // the cullable_prims lines written
  } cases[] = {
      {"one element in two lists, one LOD",
       {{0, 2}},
       {{"1"}, {"1"}, {"1"}},
       {"primitives ( 7"},
       {"geometry_info ( 9 3 0 27 0 0 4 0 0 0"},
       {"cullable_prims ( 3 7 21 )", "cullable_prims ( 1 2 6 )"}},
      {"split element in every sub-object, then left out",
       {{0, 2}},
       {{"0", "999"}, {"1", "1"}, {"2", "1"}},
       {"primitives ( 5", "primitives ( 5", "primitives ( 4"},
       {"geometry_info ( 6 2 0 18 0 0 3 0 0 0", "geometry_info ( 7 2 0 21 0 0 3 0 0 0",
        "geometry_info ( 5 2 0 15 0 0 2 0 0 0"},
       {"cullable_prims ( 2 4 12 )", "cullable_prims ( 1 2 6 )", "cullable_prims ( 3 7 21 )",
        "cullable_prims ( 1 3 9 )", "cullable_prims ( 1 2 6 )"}},
      {"every element split, two LODs",
       {{0, 2}, {1, 2}, {2, 2}},
       {{"1", "1"}, {"2", "1"}, {"1", "1"}},
       {"primitives ( 6", "primitives ( 3", "primitives ( 9"},
       {"geometry_info ( 7 2 0 21 0 0 4 0 0 0", "geometry_info ( 2 1 0 6 0 0 2 0 0 0",
        "geometry_info ( 9 3 0 27 0 0 6 0 0 0"},
       {"cullable_prims ( 4 7 21 )", "cullable_prims ( 2 2 6 )", "cullable_prims ( 4 7 21 )",
        "cullable_prims ( 2 2 6 )"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExportedShapeRecipe o;
    o.elementFaces = {4, 2, 3};
    o.elementLists = c.lists;
    HandAssignment a;
    a.cells = c.cells;
    const Lines in = ExportedShape(o);
    EXPECT_EQ(CheckShapeStructure(in), std::vector<std::string>{});
    const Lines out = Generate(o, a);
    ExpectPrimitivesAsAssigned(in, out, a.cells, a.distances);
    auto trimmed = [&](const std::string& key) {
      std::vector<std::string> r = LinesContaining(out, key);
      for (auto& l : r) l.erase(0, l.find_first_not_of('\t'));
      return r;
    };
    EXPECT_EQ(trimmed("primitives"), c.primitives);
    EXPECT_EQ(trimmed("geometry_info"), c.info);
    EXPECT_EQ(trimmed("cullable_prims"), c.culls);
  }
  // The check counts the lists: geometry_info that counts the prim_state_idx
  // entries where the lists belong is a fault.
  ExportedShapeRecipe o;
  o.elementLists = {{0, 2}};
  const Lines bad =
      WithLine(ExportedShape(o), "geometry_info (", "\t\t\t\t\t\t\t\tgeometry_info ( 5 3 0 15 0 0 3 0 0 0");
  ASSERT_EQ(CheckShapeStructure(bad).size(), 1u);
  EXPECT_NE(CheckShapeStructure(bad)[0].find("geometry_info"), std::string::npos) << CheckShapeStructure(bad)[0];
}

// A distance is written into dlevel_selection as it stands; a settings file
// may hold anything. What a typed distance may not be is refused.
TEST(GenerationTest, DistanceThatIsNoWholeNumberFrom1To2000IsRefusedNamingTheLod) {
  ExportedShapeRecipe o;
  HandAssignment a = Uniform(3, 2, "1");
  for (std::string d : {")))", "abc", "5000", "0", "-5", "1.5", "2 0", "+"}) {
    a.distances = {"400", d};
    std::string msg;
    EXPECT_EQ(FailureOf(o, a, &msg), Failure::Refused) << d;
    EXPECT_EQ(msg, "Die Entfernung von LOD 2 \"" + d +
                       "\" ist keine gültige Zahl (erlaubt sind ganze Zahlen von 1 bis 2000). Abbruch der Aktion.");
  }
  a.distances = {"1", "2000"};
  EXPECT_EQ(LinesContaining(Generate(o, a), "dlevel_selection")[1], "\t\t\t\t\t\tdlevel_selection ( 2000 )");
}

// The last check: tables that no longer describe the shape (matrices of the
// vtx_states swapped) slip past every check before writing and give nodes
// that do not fit the primitives; a fault the template had already is kept
// without a word.
// Generating from the document itself: the same shape as from a copy; a
// refused shape puts the document back to the byte, however long the text
// the normalisation cut from its sort_vectors line.
TEST(GenerationTest, InPlaceGenerationWritesTheSameAndARefusalPutsTheDocumentBack) {
  ExportedShapeRecipe o;
  HandAssignment a;
  a.cells = {{"1"}, {"2"}, {"1"}};
  Lines document = ExportedShape(o);
  const GenerationInput in = InputFor(o, a);
  const Lines fromCopy = GenerateShape(document, in);
  EXPECT_EQ(GenerateShapeInPlace(document, in.assignment, in.Tables()), fromCopy);

  Lines original = ExportedShape(o);
  original[IndexOf(original, "\tsort_vectors ( 0 )")] += std::string(300, ' ');
  document = original;
  GenerationInput stale = in;
  stale.vtxStateMatrix = {1, 0};
  EXPECT_THROW(GenerateShapeInPlace(document, stale.assignment, stale.Tables()), Error);
  EXPECT_EQ(document, original);
}

TEST(GenerationTest, WrittenShapeIsRefusedOnlyForFaultsItAdds) {
  ExportedShapeRecipe o;
  HandAssignment a;
  a.cells = {{"1"}, {"2"}, {"1"}};
  GenerationInput stale = InputFor(o, a);
  stale.vtxStateMatrix = {1, 0};
  try {
    GenerateShape(ExportedShape(o), stale);
    ADD_FAILURE() << "a shape with nodes of the wrong matrix was written";
  } catch (const Error& e) {
    EXPECT_EQ(KindOf(e), Failure::BrokenResult);
    EXPECT_TRUE(e.Is(DocumentMsg::RefusedRewrite)) << e.what();
    const std::string msg = TextOf(e);
    EXPECT_EQ(msg.rfind("Das Ergebnis wäre keine gültige Shape-Datei: ", 0), 0u) << msg;
    EXPECT_NE(msg.find("geometry_node"), std::string::npos) << msg;
  }

  Lines miscounted = ExportedShape(o);
  miscounted[IndexOf(miscounted, "\tpoints ( 12")] = "\tpoints ( 13";
  const Lines out = GenerateShape(miscounted, InputFor(o, a));
  ASSERT_EQ(CheckShapeStructure(out).size(), 1u);
  EXPECT_EQ(CheckShapeStructure(out), CheckShapeStructure(miscounted));
}

// ---- The form ------------------------------------------------------------------

struct GenerationFormTest : ::testing::Test {
  FormFixture fx;
  TLSForm& form = *fx.form;
  ExportedShapeRecipe o;
  // The progress texts the window showed at its repaints, each change once.
  std::vector<std::string> shown;

  void Fill(const HandAssignment& a) {
    FillFormByHand(form, o, a);
    fx.platform.Clear();
    shown.clear();
    fx.platform.onProcessMessages = [this] {
      if (!form.SOAnzLabel.Visible || !form.SOAnzLabel1.Visible) return;
      const std::string now = form.SOAnzLabel.Caption + " | " + form.SOAnzLabel1.Caption;
      if (shown.empty() || shown.back() != now) shown.push_back(now);
    };
    fx.platform.cursor = crDefault;
    fx.platform.cursorHistory.clear();
  }
  Lines Normalised() {
    Lines l = ExportedShape(o);
    int sv = IndexOf(l, "\tsort_vectors ( 0 )");
    l[sv] = "\tsort_vectors ( 0 ";
    l.insert(l.begin() + sv + 1, "\t)");
    return l;
  }
  void ExpectCursorRestored() {
    ASSERT_FALSE(fx.platform.cursorHistory.empty());
    EXPECT_EQ(fx.platform.cursorHistory.front(), crHourGlass);
    EXPECT_EQ(fx.platform.cursor, crDefault);
  }
};

TEST_F(GenerationFormTest, SuccessfulGenerationReplacesTheDocument) {
  HandAssignment a;
  a.cells = {{"1", "1"}, {"2", "999"}, {"1", "1"}};
  Fill(a);
  Lines expected = GenerateShape(form.ShapeLines, InputFor(o, a));
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });

  EXPECT_TRUE(fx.platform.messages.empty()) << fx.platform.Texts()[0];
  EXPECT_EQ(form.ShapeLines, expected);
  EXPECT_TRUE(form.Changed);
  EXPECT_EQ(form.SpeichernBitBtn.FontColor, clRed);
  EXPECT_FALSE(form.Sub_ObjectsButton.Enabled);
  EXPECT_FALSE(form.SOAnzLabel.Visible);
  EXPECT_FALSE(form.SOAnzLabel1.Visible);
  EXPECT_EQ(form.SOAnzLabel.Caption, "2. LOD 1. Subobjekt...");
  EXPECT_EQ(form.SOAnzLabel1.Caption, "Faces...");
  // Sub-objects 1+2 of LOD 1 and 1 of LOD 2: the window showed each one
  // while writing its vertices and then its faces.
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "1. LOD 1. Subobjekt... |    ",
                       "1. LOD 1. Subobjekt... | Vertices...",
                       "1. LOD 1. Subobjekt... | Faces...",
                       "1. LOD 2. Subobjekt... | Faces...",
                       "1. LOD 2. Subobjekt... | Vertices...",
                       "1. LOD 2. Subobjekt... | Faces...",
                       "2. LOD 1. Subobjekt... | Faces...",
                       "2. LOD 1. Subobjekt... | Vertices...",
                       "2. LOD 1. Subobjekt... | Faces...",
                   }));
  EXPECT_EQ(form.Label2.Caption, std::to_string(expected.size()) + " " + form.LanguageText(22));
  EXPECT_EQ(LinesContaining(form.ShapeLines, "sub_objects"),
            (std::vector<std::string>{"\t\t\t\t\tsub_objects ( 2", "\t\t\t\t\tsub_objects ( 1"}));
  ExpectCursorRestored();
}

TEST_F(GenerationFormTest, PreCheckFailureLeavesTheDocumentUnmarked) {
  HandAssignment a = Uniform(3, 1, "1");
  Fill(a);
  form.StringGrid1.SetCell(3, 2, "a");
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
  ASSERT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(fx.platform.messages[0].kind, MsgKind::Warning);
  EXPECT_EQ(fx.platform.messages[0].text,
            "Allgemeiner Fehler, z.B. Eintragungen unvollständig, Datei fehlerhaft oder leer. Abbruch der Aktion.");
  // The "L 1" cells are checked before sort_vectors is touched.
  EXPECT_EQ(form.ShapeLines, ExportedShape(o));
  EXPECT_FALSE(form.Changed);
  EXPECT_TRUE(form.Sub_ObjectsButton.Enabled);
  ExpectCursorRestored();
}

TEST_F(GenerationFormTest, EmptyLodKeepsTheChangedMarkButNothingElse) {
  HandAssignment a;
  a.cells = {{"1", "999"}, {"1", "999"}, {"1", "999"}};
  Fill(a);
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
  ASSERT_EQ(fx.platform.Texts().size(), 1u);
  EXPECT_EQ(fx.platform.Texts()[0].substr(0, 14), "LOD 2 ist leer");
  EXPECT_EQ(form.ShapeLines, Normalised());
  EXPECT_TRUE(form.Changed);
  EXPECT_TRUE(form.Sub_ObjectsButton.Enabled);
  EXPECT_FALSE(form.SOAnzLabel.Visible);
  ExpectCursorRestored();
}

TEST_F(GenerationFormTest, MissingLevelsRestoresTheDocumentAndKeepsTheButtonOff) {
  Fill(Uniform(3, 1, "1"));
  form.ShapeLines[IndexOf(form.ShapeLines, "\t\t\tdistance_levels ( 1")] = "\t\t\tdistance_levelsX ( 1";
  Lines before = form.ShapeLines;
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
  ASSERT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(fx.platform.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(fx.platform.messages[0].text,
            "Schwerer Syntaxfehler in der Datei (LOD nicht gefunden). Abbruch der Aktion.");
  int sv = IndexOf(before, "\tsort_vectors ( 0 )");
  before[sv] = "\tsort_vectors ( 0 ";
  before.insert(before.begin() + sv + 1, "\t)");
  EXPECT_EQ(form.ShapeLines, before);
  EXPECT_FALSE(form.Sub_ObjectsButton.Enabled);
  EXPECT_FALSE(form.SOAnzLabel.Visible);
  EXPECT_EQ(form.Label2.Caption, std::to_string(before.size()) + " " + form.LanguageText(22));
  ExpectCursorRestored();
}

TEST_F(GenerationFormTest, RefusedShapeLosesNothing) {
  o.elementWithoutPrimitive = 2;
  Fill(Uniform(3, 1, "1"));
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
  ASSERT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_NE(fx.platform.messages[0].text.find("Element 3 (E2)"), std::string::npos);
  EXPECT_EQ(form.ShapeLines, Normalised());
  EXPECT_FALSE(form.Changed);
  EXPECT_TRUE(form.Sub_ObjectsButton.Enabled);
  ExpectCursorRestored();
}

TEST_F(GenerationFormTest, EmptyDocumentDoesNothing) {
  form.ShapeLines.clear();
  fx.platform.Clear();
  fx.platform.cursorHistory.clear();
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
  EXPECT_TRUE(fx.platform.messages.empty());
  EXPECT_TRUE(fx.platform.cursorHistory.empty());
  EXPECT_FALSE(form.Changed);
}

// The written shape is refused by the last check: the document goes back to
// the very text it had (the split sort_vectors line too), and nothing is
// marked.
TEST_F(GenerationFormTest, RefusedWrittenShapeLeavesDocumentMarksAndButtonAsTheyWere) {
  HandAssignment a;
  a.cells = {{"1"}, {"2"}, {"1"}};
  Fill(a);
  form.VtxStateMatrix = {1, 0};
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
  ASSERT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(fx.platform.messages[0].kind, MsgKind::Warning);
  EXPECT_EQ(fx.platform.messages[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(fx.platform.messages[0].text.rfind("Das Ergebnis wäre keine gültige Shape-Datei: ", 0), 0u);
  EXPECT_EQ(form.ShapeLines, ExportedShape(o));
  EXPECT_FALSE(form.Changed);
  EXPECT_EQ(form.SpeichernBitBtn.FontColor, clWindowText);
  EXPECT_EQ(form.SpeichernUnterBitBtn.FontColor, clWindowText);
  EXPECT_TRUE(form.Sub_ObjectsButton.Enabled);
  EXPECT_EQ(form.Label2.Caption, std::to_string(form.ShapeLines.size()) + " " + form.LanguageText(22));
  EXPECT_FALSE(form.SOAnzLabel.Visible);
  ExpectCursorRestored();
}

TEST_F(GenerationFormTest, DistanceThatIsNoNumberIsRefusedBeforeAnythingIsMarked) {
  Fill(Uniform(3, 2, "1"));
  form.StringGrid4.SetCell(1, 2, "abc");
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
  ASSERT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(fx.platform.messages[0].kind, MsgKind::Warning);
  EXPECT_EQ(fx.platform.messages[0].text,
            "Die Entfernung von LOD 2 \"abc\" ist keine gültige Zahl (erlaubt sind ganze Zahlen von 1 bis 2000). "
            "Abbruch der Aktion.");
  EXPECT_FALSE(form.Changed);
  EXPECT_TRUE(form.Sub_ObjectsButton.Enabled);
  EXPECT_EQ(form.ShapeLines, Normalised());
}

// The form hands the generation its grids as one typed assignment.
TEST_F(GenerationFormTest, AssignmentIsReadFromTheGrids) {
  HandAssignment a;
  a.cells = {{"1", "05"}, {"2", "999"}, {"1", "0"}};
  a.distances = {"250", "0150"};
  Fill(a);
  form.StringGrid2.SetCell(grid::SubObjectSortColumn(2), 2, "X");
  form.StringGrid1.SetCell(grid::kElementFaces, 2, "x4");
  const LodAssignment as = form.session.Assignment();
  EXPECT_EQ(as.lodCount, 2);
  ASSERT_EQ(as.ElementCount(), 3);
  EXPECT_EQ(as.elements[0].name, "E0");
  EXPECT_EQ(as.elements[0].faces, 2);
  EXPECT_FALSE(as.elements[1].faces.has_value());
  EXPECT_TRUE(as.Cell(2, 1).Places(2));
  EXPECT_EQ(as.Cell(1, 2).kind(), AssignmentCell::Kind::Absent);
  EXPECT_EQ(as.Cell(1, 2).number(), 5);
  EXPECT_EQ(as.Cell(3, 2).kind(), AssignmentCell::Kind::All);
  EXPECT_EQ(as.subObjectCount, 5);
  EXPECT_TRUE(as.Sorted(2, 2));
  EXPECT_FALSE(as.Sorted(1, 2));
  EXPECT_EQ(as.distances, (std::vector<std::string>{"250", "0150"}));
}

// Every refusal has its English text as well.
// The window's road for a shape whose element is split into several lists:
// the grids count all of them, and the generation writes them all.
TEST(GenerationSplitListsTest, OpenedShapeShowsAndWritesEveryList) {
  using namespace grid;
  FormFixture f;
  ExportedShapeRecipe o;
  o.elementFaces = {4, 2, 3};
  o.elementLists = {{0, 2}, {2, 3}};
  const Lines in = ExportedShape(o);
  f.Open(f.WriteShape("split.s", in));
  TLSForm& form = *f.form;
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.Texts()[0];
  EXPECT_EQ(form.StringGrid1.Cell(kElementFaces, 1), "4");
  EXPECT_EQ(form.StringGrid1.Cell(kElementFaces, 3), "3");
  EXPECT_EQ(form.StringGrid3.Cell(kMatrixFaces, 1), "7");
  EXPECT_EQ(form.StringGrid5.Cell(kOverviewFaces, 1), "9");
  EXPECT_EQ(form.StringGrid2.Cell(kSubObjectVertices, 1), "12");
  form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.Texts()[0];
  EXPECT_EQ(CheckShapeStructure(form.ShapeLines), std::vector<std::string>{});
  ExpectPrimitivesAsAssigned(
      in, form.ShapeLines,
      std::vector<std::vector<std::string>>(3, std::vector<std::string>(static_cast<std::size_t>(form.LodCount), "1")),
      {});
}

TEST(GenerationTest, RefusalsReadInEitherLanguage) {
  ExportedShapeRecipe o;
  HandAssignment a = Uniform(3, 2, "1");
  a.distances = {"400", "abc"};
  try {
    GenerateShape(ExportedShape(o), InputFor(o, a));
    ADD_FAILURE() << "the distance was taken";
  } catch (const Error& e) {
    EXPECT_EQ(MessageString(e.message(), Language::English),
              "The distance of LOD 2 \"abc\" is not a valid number (whole numbers from 1 to 2000 are allowed). Action "
              "aborted.");
  }
}

// ---- The checker itself ----------------------------------------------------------

TEST(ShapeCheckerTest, FindsBrokenCountsIndicesAndNodes) {
  ExportedShapeRecipe o;
  const Lines good = ExportedShape(o);
  EXPECT_EQ(CheckShapeStructure(good), std::vector<std::string>{});
  auto broken = [&](const std::string& from, const std::string& to) {
    Lines l = good;
    for (auto& s : l)
      if (Contains(s, from)) {
        s.replace(s.find(from), from.size(), to);
        break;
      }
    return CheckShapeStructure(l).size();
  };
  EXPECT_GT(broken("vertices ( 12", "vertices ( 11"), 0u);
  EXPECT_GT(broken("vertex_set ( 1 6 6 )", "vertex_set ( 1 5 6 )"), 0u);
  EXPECT_GT(broken("geometry_node_map ( 2 0 1 )", "geometry_node_map ( 2 1 0 )"), 0u);
  EXPECT_GT(broken("cullable_prims ( 2 3 9 )", "cullable_prims ( 2 4 12 )"), 0u);
  EXPECT_GT(broken("primitives ( 6", "primitives ( 4"), 0u);
  EXPECT_GT(broken("sub_object_header ( 00000400 -1 -1", "sub_object_header ( 00000400 0 1"), 0u);
  EXPECT_GT(broken("vertex_idxs ( 6 0 1 2", "vertex_idxs ( 6 12 1 2"), 0u);
  EXPECT_GT(broken("vertex_idxs ( 6 7 8 9", "vertex_idxs ( 6 1 8 9"), 0u);  // outside its vertex set
}

}  // namespace
}  // namespace lodsmith::test
