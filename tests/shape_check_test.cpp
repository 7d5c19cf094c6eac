// The structural check of the core: each fault found by its code and block,
// the blocks whose values are not taken apart, and the comparison a rewrite
// is gated by.
#include "document/shape_check.h"

#include <gtest/gtest.h>

#include "synthetic_shape.h"
#include "ui/texts/messages.h"

namespace lodsmith::test {
namespace {

const Lines& Sound() {
  static const Lines lines = ExportedShape(ExportedShapeRecipe{});
  return lines;
}

// The shape with the first line holding `from` changed to hold `to`.
Lines Changed(const std::string& from, const std::string& to) {
  Lines l = Sound();
  for (auto& s : l)
    if (auto at = s.find(from); at != std::string::npos) {
      s.replace(at, from.size(), to);
      return l;
    }
  ADD_FAILURE() << "no line holds " << from;
  return l;
}

// A problem as the user reads it (German).
std::string Text(const ShapeProblem& p) { return MessageString(p.message, Language::German); }

Lines Inserted(const std::string& before, const std::vector<std::string>& added) {
  Lines l = Sound();
  for (std::size_t i = 0; i < l.size(); ++i)
    if (Contains(l[i], before)) {
      l.insert(l.begin() + static_cast<std::ptrdiff_t>(i), added.begin(), added.end());
      return l;
    }
  ADD_FAILURE() << "no line holds " << before;
  return l;
}

TEST(ShapeCheck, SyntheticShapesAreSound) {
  EXPECT_TRUE(CheckShape(Sound()).empty());
  ExportedShapeRecipe o;
  o.matrices = 3;
  o.stateMatrix = {0, 2};
  o.setVertices = {40, 200};
  o.elementFaces = {30, 70, 20};  // index lists wrapped over several lines
  o.sortVectorsOnOneLine = false;
  EXPECT_TRUE(CheckShape(ExportedShape(o)).empty());
}

TEST(ShapeCheck, EachFaultHasItsCodeAndBlock) {
  struct Case {
    Lines lines;
    ShapeFault fault;
    std::string block;
  } cases[] = {
      {Changed("vertices ( 12", "vertices ( 11"), ShapeFault::ListCount, "vertices"},
      {Changed("points ( 12", "points ( x"), ShapeFault::ListCount, "points"},
      {Changed("primitives ( 6", "primitives ( 4"), ShapeFault::ListCount, "primitives"},
      {Changed("vertex_set ( 1 6 6 )", "vertex_set ( 1 5 6 )"), ShapeFault::VertexSetStart, "vertex_set"},
      {Changed("vertex_set ( 1 6 6 )", "vertex_set ( 1 6 5 )"), ShapeFault::VertexSetCoverage, "vertex_sets"},
      {Changed("vertex_set ( 1 6 6 )", "vertex_set ( 7 6 6 )"), ShapeFault::VertexSetState, "vertex_set"},
      {Changed("geometry_node_map ( 2 0 1 )", "geometry_node_map ( 2 1 0 )"), ShapeFault::NodeMap, "geometry_node_map"},
      {Changed("cullable_prims ( 2 3 9 )", "cullable_prims ( 2 4 12 )"), ShapeFault::NodeCounts, "geometry_node"},
      {Changed("geometry_info ( 5", "geometry_info ( 6"), ShapeFault::GeometryInfo, "geometry_info"},
      {Changed("sub_object_header ( 00000400 -1 -1", "sub_object_header ( 00000400 0 -1"), ShapeFault::SortVectorIndex,
       "sub_object_header"},
      {Changed("sub_object_header ( 00000400 -1 -1", "sub_object_header ( 00000400 -1 1"), ShapeFault::VolumeIndex,
       "sub_object_header"},
      {Changed("vertex_idxs ( 6 0 1 2", "vertex_idxs ( 6 12 1 2"), ShapeFault::VertexIndex, "vertex_idxs"},
      {Changed("vertex_idxs ( 6 0 1 2", "vertex_idxs ( 6 0x 1 2"), ShapeFault::VertexIndex, "vertex_idxs"},
      {Changed("vertex_idxs ( 6 7 8 9", "vertex_idxs ( 6 1 8 9"), ShapeFault::VertexIndexOutsideSet, "vertex_idxs"},
      {Changed("vertex_idxs ( 6 0 1 2", "vertex_idxs ( 5 0 1 2"), ShapeFault::IndexCount, "vertex_idxs"},
      {Changed("flags ( 2", "flags ( 3"), ShapeFault::IndexCount, "flags"},
      {Changed("prim_state_idx ( 1 )", "prim_state_idx ( 9 )"), ShapeFault::PrimStateIndex, "indexed_trilist"},
      {Changed("vtx_state ( 00000000 1 ", "vtx_state ( 00000000 2 "), ShapeFault::MatrixIndex, "vtx_state"},
      {Changed("dlevel_selection ( 400 )", "dlevel_selection ( 400 500 )"), ShapeFault::DistanceSelection,
       "distance_level"},
      {Changed("sub_objects ( 1", "sub_objects ( 1 )"), ShapeFault::StrayToken, ")"},
      {Changed("uv_point ( 0 0 )", "uv_point ( 0 0"), ShapeFault::UnclosedBlock, "shape"},
      {Changed("normals ( 1", "normals ( ( 1"), ShapeFault::UnnamedBlock, "normals"},
      {Changed("shape (", "shape_x ("), ShapeFault::NotOneShape, "shape"},
      {Changed("lod_controls ( 1", "lod_controlz ( 1"), ShapeFault::MissingBlock, "lod_controls"},
  };
  for (const auto& c : cases) {
    const auto problems = CheckShape(c.lines);
    bool found = false;
    for (const auto& p : problems) found = found || (p.fault == c.fault && p.block == c.block);
    EXPECT_TRUE(found) << c.block << ": " << (problems.empty() ? "no problem" : Text(problems[0]));
  }
}

// Inside blocks whose values no check reads (points, vertices, images, any
// block it does not know) only brackets and block names are looked at; a
// block name on the line after its words, a named block, a quoted text
// holding brackets and a counted list further in must come out as in the
// blocks whose words are taken apart one by one.
TEST(ShapeCheck, BlocksReadWithoutTheirWordsKeepEveryBracketAndName) {
  const std::vector<std::string> extra = {
      "\textra ( 1 2",
      "\t\tanim_node",
      "\t\t\tWHEEL ( 0 \"a (b\" ) x",
      "\t\tmatrix",
      "\t\t\tpoints ( 5 )",
      "\t\tmatrix M9 ( \"q) (\" )",
      "\t\tvertex_uvs",
      "\t\t\t( 1 0 )",
      "\t\t\"odd name\" ( )",
      "\t\tpoints ( 2 point ( 1 2 3 ) point ( 4 5 6 ) )",
      "\t)",
  };
  const Lines sound = Inserted("\tshader_names ( 1", extra);
  EXPECT_TRUE(CheckShape(sound).empty()) << Text(CheckShape(sound)[0]);

  Lines image = Sound();
  for (auto& s : image)
    if (Contains(s, "image ( Body.ace )")) s = "\t\timage ( \"Body (1).ace\" )";
  EXPECT_TRUE(CheckShape(image).empty());

  // A counted list inside such a block is still counted; a bracket too many
  // is still found.
  Lines nested = sound;
  for (auto& s : nested)
    if (Contains(s, "points ( 2 point")) s = "\t\tpoints ( 3 point ( 1 2 3 ) point ( 4 5 6 ) )";
  ASSERT_FALSE(CheckShape(nested).empty());
  EXPECT_EQ(CheckShape(nested)[0].block, "points");
  Lines closedTwice = sound;
  for (auto& s : closedTwice)
    if (Contains(s, "\"odd name\"")) s += " )";
  ASSERT_FALSE(CheckShape(closedTwice).empty());
  EXPECT_EQ(CheckShape(closedTwice)[0].fault, ShapeFault::StrayToken);
}

// The long lists (indices, normals, flags) are read in runs of words; the
// word before a "(", even one on the next line, still names a block, and a
// quoted text is still one value.
TEST(ShapeCheck, LongListsCountTheirValuesAsTheWordByWordReadingDoes) {
  const std::string list = "vertex_idxs ( 6 0 1 2 3 4 5 )";
  EXPECT_TRUE(CheckShape(Changed(list, "vertex_idxs ( 6 0 1 2 3 x ( ) 4 5 )")).empty());
  Lines nextLine = Changed(list, "vertex_idxs ( 6 0 1 2 3 x");
  for (std::size_t i = 0; i < nextLine.size(); ++i)
    if (Contains(nextLine[i], "vertex_idxs ( 6 0 1 2 3 x")) nextLine.insert(nextLine.begin() + i + 1, "( ) 4 5 )");
  EXPECT_TRUE(CheckShape(nextLine).empty());
  EXPECT_TRUE(CheckShape(Changed("flags ( 2 00000000 00000000 )", "flags ( 2 00000000 \"a b\" )")).empty());

  const auto problems = CheckShape(Changed(list, "vertex_idxs ( 6 0 1 2 3 x 4 5 )"));
  ASSERT_EQ(problems.size(), 2u);  // the count and the word
  EXPECT_EQ(problems[0].fault, ShapeFault::IndexCount);
  EXPECT_EQ(problems[1].fault, ShapeFault::VertexIndex);
  EXPECT_NE(Text(problems[1]).find("\"x\""), std::string::npos) << Text(problems[1]);
}

TEST(ShapeCheck, RepeatedFaultsAreReportedAFewTimesEach) {
  Lines l = Sound();
  for (int k = 0; k < 500; ++k) l.push_back(")");
  const auto problems = CheckShape(l);
  EXPECT_GE(problems.size(), 10u);
  EXPECT_LE(problems.size(), 100u);
}

TEST(ShapeCheck, ARewriteIsJudgedByTheKindsOfFaultItAdds) {
  const auto before = CheckShape(Changed("points ( 12", "points ( 13"));
  ASSERT_EQ(before.size(), 1u);
  // The same fault elsewhere in the text is none it added.
  Lines moved = Changed("points ( 12", "points ( 13");
  moved.insert(moved.begin() + 3, "\tcomment ( moved )");
  EXPECT_FALSE(FirstNewProblem(before, CheckShape(moved)));
  // The same code for another block, or another code, is.
  auto added = FirstNewProblem(before, CheckShape(Changed("vertices ( 12", "vertices ( 11")));
  ASSERT_TRUE(added);
  EXPECT_EQ(added->block, "vertices");
  EXPECT_EQ(MessageString(RefusedRewriteMessage(*added), Language::German),
            "Das Ergebnis wäre keine gültige Shape-Datei: " + Text(*added) + ". Es wurde nichts geändert.");
  EXPECT_EQ(MessageString(StructureNoteMessage(*added), Language::German), "Struktur: " + Text(*added));
  EXPECT_FALSE(FirstNewProblem(before, {}));
}

}  // namespace
}  // namespace lodsmith::test
