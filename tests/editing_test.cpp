// Assignment editing on the form: the recount of the sub-object grid, the
// checks of typed cells, the LOD count and the bulk edits.
#include <gtest/gtest.h>

#include "core/message.h"
#include "generation/vertex_estimate.h"
#include "synthetic_shape.h"
#include "test_env.h"

namespace lodsmith::test {
namespace {

const char* const kElementRefused = "Bitte nur positive ganze Zahlen 1...99 oder 0 oder 999 eintragen!";
const char* const kMarkRefused = "Bitte nur \"x\" oder \"X\" eintragen!";
const char* const kDistanceRefused = "Bitte nur positive ganze Zahlen 1...2000 eintragen!";
const char* const kNrRefused = "Bitte nur ganze Zahlen 0...99 oder 999 eintragen!";

// A form with a synthetic shape open and `lods` LODs committed.
struct Editing {
  FormFixture f;
  TLSForm& form;

  explicit Editing(const OutlineShapeRecipe& recipe = {}, int lods = 1) : form(*f.form) {
    f.Open(f.WriteShape("model.s", OutlineShape(recipe)));
    SetLods(lods);
    f.platform.Clear();
  }
  void SetLods(int n) {
    form.SetLODAnzSpinEditValue(n);
    form.LODAnzSpinEditExit();
  }
  // Types `text` character by character into an element cell, as the grid
  // reports each change.
  void Type(int col, int row, const std::string& text) {
    for (std::size_t i = 1; i <= text.size(); ++i) form.StringGrid1SetEditText(col, row, text.substr(0, i));
  }
  void Assign(int lod, const std::vector<std::string>& values) {
    for (std::size_t r = 0; r < values.size(); ++r)
      form.StringGrid1SetEditText(lod + 2, static_cast<int>(r) + 1, values[r]);
  }
  std::vector<std::string> Column(const StringGrid& g, int col) const {
    std::vector<std::string> v;
    for (int r = 1; r < g.RowCount(); ++r) v.push_back(g.Cell(col, r));
    return v;
  }
};

OutlineShapeRecipe Elements(int n) {
  OutlineShapeRecipe s;
  s.elements = n;
  return s;
}

// ---- Recount -------------------------------------------------------------------------

TEST(Recount, RowsFollowHighestNumberOfAnyLodAndFacesSkipAbsent) {
  Editing e(Elements(4), 2);
  e.Assign(1, {"1", "2", "2", "999"});
  e.Assign(2, {"1", "1", "3", "1"});
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.RowCount(), 4);
  EXPECT_EQ(e.Column(e.form.StringGrid2, 0), (std::vector<std::string>{"1", "2", "3"}));
  // Faces 1..4; LOD 1 leaves out element 4.
  EXPECT_EQ(e.form.StringGrid5.Cell(2, 1), "6");
  EXPECT_EQ(e.form.StringGrid5.Cell(2, 2), "10");
  // Vertex sets hold 3, 6, 9, 12 vertices; LOD 1 is shown.
  EXPECT_EQ(e.Column(e.form.StringGrid2, 1), (std::vector<std::string>{"3", "15", "0"}));
  EXPECT_TRUE(e.f.platform.messages.empty());
}

TEST(Recount, EveryWhereElementsCountInEverySubObject) {
  Editing e(Elements(2));
  e.Assign(1, {"0", "3"});
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.Column(e.form.StringGrid2, 1), (std::vector<std::string>{"3", "3", "9"}));
}

TEST(Recount, SharedVertexSetCountsOnce) {
  OutlineShapeRecipe recipe = Elements(2);
  recipe.vtxStates = 1;
  recipe.vertices = [](int) { return 20000; };
  Editing e(recipe);
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.Cell(1, 1), "20000");
  EXPECT_TRUE(e.f.platform.messages.empty());
}

TEST(Recount, AbsentEverywhereAddsNoFaces) {
  Editing e(Elements(2), 2);
  e.Assign(1, {"1", "999"});
  e.Assign(2, {"1", "999"});
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid5.Cell(2, 1), "1");
  EXPECT_EQ(e.form.StringGrid5.Cell(2, 2), "1");
}

TEST(Recount, UnparsableCellLeavesOneEmptyRowUntilFilled) {
  Editing e(Elements(3), 2);
  e.Assign(1, {"1", "2", "2"});
  e.form.RefreshSubObjectGrid();
  ASSERT_EQ(e.form.StringGrid2.RowCount(), 3);
  e.form.StringGrid1SetEditText(4, 2, "");
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.RowCount(), 2);
  EXPECT_EQ(e.form.StringGrid2.Cell(0, 1), "");
  EXPECT_EQ(e.form.StringGrid2.Cell(1, 1), "");
  e.form.StringGrid1SetEditText(4, 2, "1");
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.RowCount(), 3);
}

TEST(Recount, NumberAboveAbsentMarkerDoesNotGrowTheGrid) {
  Editing e(Elements(2));
  // Only a hand-edited settings file brings such a number in.
  e.form.StringGrid1.SetCell(3, 1, "2000000000");
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.RowCount(), 2);
  EXPECT_EQ(e.form.StringGrid2.Cell(1, 1), "");
  // Numbers the grid can hold are taken as they are.
  e.form.StringGrid1.SetCell(3, 1, "150");
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.RowCount(), 151);
}

TEST(Recount, VertexSumsBeyond32BitsAreNeitherWrappedNorNegative) {
  // Counts as no shape that the analysis accepts holds; the recount and the
  // estimate must still not wrap them.
  Editing e(Elements(2));
  e.form.VertexSets[0].VertexCount = INT32_MAX - 1;
  e.form.VertexSets[1].VertexCount = 3;
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.Cell(1, 1), "2147483649");
  EXPECT_THROW(e.form.EstimateVertices(1, 1), Error);
  // A set left out before a huge one: the shift of the huge one is small.
  e.Assign(1, {"999", "1"});
  e.form.VertexSets[0].VertexCount = 3;
  e.form.VertexSets[1].VertexCount = INT32_MAX;
  VertexEstimate estimate = e.form.EstimateVertices(1, 1);
  EXPECT_EQ(estimate.vertices, INT32_MAX);
  EXPECT_EQ(estimate.shifts[1], 3);
  e.form.VertexSets[0].VertexCount = INT32_MAX;
  e.form.VertexSets[1].VertexCount = 3;
  e.Assign(1, {"999", "1"});
  estimate = e.form.EstimateVertices(1, 1);
  EXPECT_EQ(estimate.vertices, 3);
  EXPECT_EQ(estimate.shifts[1], INT32_MAX);
}

// The estimate only reads the analysed tables.
TEST(Recount, EstimateLeavesTheTablesAsAnalysed) {
  Editing e(Elements(3));
  e.Assign(1, {"999", "1", "999"});
  std::vector<int32_t> before;
  for (const TVertexSetEntry& s : e.form.VertexSets) before.push_back(s.VertexShift);
  const VertexEstimate estimate = e.form.EstimateVertices(1, 1);
  EXPECT_EQ(estimate.shifts, (std::vector<int32_t>{-1, 3, -1}));
  EXPECT_EQ(estimate.vertices, 6);
  e.form.RefreshSubObjectGrid();
  std::vector<int32_t> after;
  for (const TVertexSetEntry& s : e.form.VertexSets) after.push_back(s.VertexShift);
  EXPECT_EQ(after, before);
}

TEST(Recount, ElementWithoutVertexSetAddsNoVertices) {
  // Three vtx_states, but the first sub-object has vertex sets for the first
  // two only (3 and 6 vertices); the third element uses vtx_state 2.
  Lines shape = OutlineShape(Elements(3));
  const int sets = LineWith(shape, "vertex_sets ( 3");
  ASSERT_GE(sets, 0);
  shape[sets] = "\t\t\t\t\t\t\tvertex_sets ( 2";
  ASSERT_NE(shape[sets + 3].find("vertex_set ( 2 9 9 )"), std::string::npos);
  shape.erase(shape.begin() + sets + 3);
  FormFixture f;
  TLSForm& form = *f.form;
  f.Open(f.WriteShape("split.s", shape));
  ASSERT_EQ(form.StringGrid1.RowCount(), 4);
  f.platform.Clear();

  form.RefreshSubObjectGrid();
  EXPECT_EQ(form.StringGrid2.RowCount(), 2);
  EXPECT_EQ(form.StringGrid2.Cell(1, 1), "9");

  for (int r = 1; r <= 3; ++r) form.StringGrid1SetEditText(3, r, std::to_string(r));
  form.RefreshSubObjectGrid();
  ASSERT_EQ(form.StringGrid2.RowCount(), 4);
  EXPECT_EQ(form.StringGrid2.Cell(1, 1), "3");
  EXPECT_EQ(form.StringGrid2.Cell(1, 2), "6");
  EXPECT_EQ(form.StringGrid2.Cell(1, 3), "0");
  EXPECT_TRUE(f.platform.messages.empty());
}

TEST(Recount, HiddenSortMarksComeBack) {
  Editing e(Elements(3));
  e.Assign(1, {"1", "2", "3"});
  e.form.RefreshSubObjectGrid();
  e.form.StringGrid2SetEditText(e.form.StringGrid2, 2, 3, "x");
  e.Assign(1, {"1", "1", "1"});
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.RowCount(), 2);
  e.Assign(1, {"1", "2", "3"});
  e.form.RefreshSubObjectGrid();
  EXPECT_EQ(e.form.StringGrid2.Cell(2, 3), "x");
}

TEST(Recount, SelectingACellRecountsAndOnlyLodColumnsAreSelectable) {
  Editing e(Elements(2));
  e.form.StringGrid1.SetCell(3, 2, "2");  // changed without a recount
  bool can = true;
  e.form.StringGrid1SelectCell(1, 1, can);
  EXPECT_FALSE(can);
  EXPECT_EQ(e.form.StringGrid2.RowCount(), 3);
  e.form.StringGrid1SelectCell(3, 2, can);
  EXPECT_TRUE(can);
  EXPECT_EQ(e.form.StringGrid1.Row, 2);

  e.form.StringGrid2SelectCell(e.form.StringGrid2, 1, 1, can);
  EXPECT_FALSE(can);
  e.form.StringGrid2SelectCell(e.form.StringGrid3, 2, 1, can);
  EXPECT_TRUE(can);
  e.form.StringGrid4SelectCell(0, 1, can);
  EXPECT_FALSE(can);
  e.form.StringGrid4SelectCell(1, 1, can);
  EXPECT_TRUE(can);
}

// ---- Typed cells ------------------------------------------------------------------------

TEST(TypedCells, ElementCellAcceptsZeroTo99And999Only) {
  Editing e(Elements(2));
  e.Type(3, 1, "999");
  EXPECT_EQ(e.form.StringGrid1.Cell(3, 1), "999");
  e.Type(3, 1, "05");
  EXPECT_EQ(e.form.StringGrid1.Cell(3, 1), "05");
  EXPECT_TRUE(e.f.platform.messages.empty());

  e.Type(3, 1, "-");  // "-1" is refused at its first character
  EXPECT_EQ(e.form.StringGrid1.Cell(3, 1), "");
  EXPECT_EQ(e.f.platform.Texts(), std::vector<std::string>{kElementRefused});
  EXPECT_EQ(e.f.platform.messages[0].kind, MsgKind::Warning);

  e.f.platform.Clear();
  e.form.StringGrid1SetEditText(3, 2, "100");
  EXPECT_EQ(e.f.platform.Texts(), std::vector<std::string>{kElementRefused});
  EXPECT_EQ(e.form.StringGrid1.Cell(3, 2), "");
  e.form.StringGrid1SetEditText(3, 2, "abc");
  e.form.StringGrid1SetEditText(3, 2, "99999999999");
  EXPECT_EQ(e.f.platform.messages.size(), 3u);
}

TEST(TypedCells, MarksAcceptXOnlyAndEmptyTheGridBeingEdited) {
  Editing e(Elements(2));
  TLSForm& form = e.form;
  form.StringGrid2SetEditText(form.StringGrid2, 2, 1, "x");
  form.StringGrid2SetEditText(form.StringGrid2, 2, 1, "xx");
  EXPECT_EQ(e.f.platform.Texts(), std::vector<std::string>{kMarkRefused});
  EXPECT_EQ(form.StringGrid2.Cell(2, 1), "");

  form.StringGrid2SetEditText(form.StringGrid2, 2, 1, "X");
  form.StringGrid2SetEditText(form.StringGrid3, 2, 1, "y");
  EXPECT_EQ(form.StringGrid3.Cell(2, 1), "");
  EXPECT_EQ(form.StringGrid2.Cell(2, 1), "X");
}

TEST(TypedCells, DistanceChecksRangeAndMirrorsTheOverview) {
  Editing e(Elements(2), 2);
  TLSForm& form = e.form;
  form.StringGrid4SetEditText(1, 2, "0250");
  EXPECT_EQ(form.StringGrid4.Cell(1, 2), "0250");
  EXPECT_EQ(form.StringGrid5.Cell(1, 2), "250");
  form.StringGrid4SetEditText(1, 2, "");
  EXPECT_TRUE(e.f.platform.messages.empty());
  EXPECT_EQ(form.StringGrid5.Cell(1, 2), "");

  for (const char* bad : {"0", "2001", "abc", "-5"}) {
    e.f.platform.Clear();
    form.StringGrid4SetEditText(1, 2, bad);
    EXPECT_EQ(e.f.platform.Texts(), std::vector<std::string>{kDistanceRefused}) << bad;
    EXPECT_EQ(form.StringGrid4.Cell(1, 2), "") << bad;
    EXPECT_EQ(form.StringGrid5.Cell(1, 2), "") << bad;
  }
}

TEST(TypedCells, LeavingDistancesReportsFirstEmptyRowOnly) {
  Editing e(Elements(2), 4);
  TLSForm& form = e.form;
  form.StringGrid4SetEditText(1, 2, "");
  form.StringGrid4SetEditText(1, 4, "");
  form.StringGrid4Exit();
  EXPECT_EQ(e.f.platform.Texts(), std::vector<std::string>{"Bitte Wert eintragen."});
  EXPECT_EQ(e.f.platform.messages[0].kind, MsgKind::Information);
  EXPECT_EQ(form.StringGrid4.Row, 2);
  EXPECT_EQ(form.StringGrid4.Col, 1);
  EXPECT_EQ(e.f.platform.focusRequests, std::vector<std::string>{"StringGrid4"});
}

// ---- LOD count and LOD shown -----------------------------------------------------------------

TEST(LodCount, RaisingAndCommittingAddsColumnsRowsAndDefaults) {
  Editing e(Elements(2), 2);
  TLSForm& form = e.form;
  form.SetLODAnzSpinEditValue(3);
  // Only the distance grid follows before the commit.
  EXPECT_EQ(form.StringGrid4.RowCount(), 4);
  EXPECT_EQ(form.StringGrid4.Cell(1, 3), "2000");
  EXPECT_EQ(form.LodCount, 2);
  EXPECT_EQ(form.StringGrid1.ColCount(), 5);

  form.LODAnzSpinEditExit();
  EXPECT_EQ(form.LodCount, 3);
  EXPECT_EQ(form.StringGrid1.ColCount(), 6);
  EXPECT_EQ(form.StringGrid1.Cell(5, 0), "L 3");
  EXPECT_EQ(e.Column(form.StringGrid1, 5), (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(form.StringGrid2.ColCount(), 5);
  EXPECT_EQ(form.StringGrid2.Cell(4, 0), "L 3");
  EXPECT_EQ(form.StringGrid2.Cell(4, 1), "");
  EXPECT_EQ(form.StringGrid5.RowCount(), 4);
  EXPECT_EQ(form.StringGrid5.Cell(0, 3), "3");
  EXPECT_EQ(form.StringGrid5.Cell(1, 3), "2000");
  EXPECT_EQ(form.StringGrid5.Cell(2, 3), "");  // no recount yet
  EXPECT_EQ(form.LODSpinEdit.MaxValue, 3);
  EXPECT_TRUE(form.LODSpinEdit.Enabled);
}

TEST(LodCount, LoweringPullsTheShownLodBackAndRaisingShowsHiddenText) {
  Editing e(Elements(2), 3);
  TLSForm& form = e.form;
  form.SetLODSpinEditValue(3);
  e.Assign(3, {"2", "999"});
  form.StringGrid4SetEditText(1, 3, "750");
  e.SetLods(2);
  EXPECT_EQ(form.LODSpinEdit.Value, 2);
  EXPECT_EQ(form.Label22.Caption, "L 1 -> L 2:");
  EXPECT_EQ(form.StringGrid2.Cell(1, 0), "Vert. L 2");

  e.SetLods(3);
  EXPECT_EQ(e.Column(form.StringGrid1, 5), (std::vector<std::string>{"2", "999"}));
  EXPECT_EQ(form.StringGrid4.Cell(1, 3), "750");

  e.SetLods(1);
  EXPECT_FALSE(form.LODSpinEdit.Enabled);
  EXPECT_FALSE(form.DoButton1.Enabled);
  EXPECT_EQ(form.Label22.Caption, "");
}

TEST(LodCount, SpinValuesStayWithinLimits) {
  Editing e(Elements(2), 2);
  TLSForm& form = e.form;
  form.SetLODAnzSpinEditValue(150);
  EXPECT_EQ(form.LODAnzSpinEdit.Value, 99);
  form.SetLODSpinEditValue(5);
  EXPECT_EQ(form.LODSpinEdit.Value, 2);
  form.SetLODSpinEditValue(0);
  EXPECT_EQ(form.LODSpinEdit.Value, 1);
}

TEST(LodCount, ShowingALodNamesItEverywhere) {
  Editing e(Elements(2), 2);
  TLSForm& form = e.form;
  e.Assign(2, {"1", "2"});
  form.SetLODSpinEditValue(2);
  EXPECT_EQ(form.StringGrid2.Cell(1, 0), "Vert. L 2");
  EXPECT_EQ(form.Label21.Caption, form.LanguageText(38) + " L 2 =");
  EXPECT_EQ(form.Label22.Caption, "L 1 -> L 2:");
  EXPECT_TRUE(form.DoButton1.Enabled);
  // The vertex column shows LOD 2 now.
  EXPECT_EQ(e.Column(form.StringGrid2, 1), (std::vector<std::string>{"3", "6"}));
}

// ---- Bulk edits ---------------------------------------------------------------------------------

TEST(BulkEdits, DoSetsTheShownLodColumnFromNrEdit) {
  Editing e(Elements(3), 2);
  TLSForm& form = e.form;
  form.SetLODSpinEditValue(2);

  form.NrEdit.Text = "";
  form.DoButtonClick();
  EXPECT_EQ(e.f.platform.Texts(), (std::vector<std::string>{form.LanguageText(62), kNrRefused}));
  EXPECT_EQ(e.Column(form.StringGrid1, 4), (std::vector<std::string>{"1", "1", "1"}));

  form.NrEdit.Text = "05";
  e.f.platform.answers = {MsgResult::No};
  form.DoButtonClick();
  EXPECT_EQ(e.Column(form.StringGrid1, 4), (std::vector<std::string>{"1", "1", "1"}));
  form.DoButtonClick();
  EXPECT_EQ(e.Column(form.StringGrid1, 4), (std::vector<std::string>{"05", "05", "05"}));
  EXPECT_EQ(e.Column(form.StringGrid1, 3), (std::vector<std::string>{"1", "1", "1"}));
  EXPECT_EQ(form.StringGrid2.RowCount(), 6);  // "05" read as 5 by the row count
}

TEST(BulkEdits, DoCopiesThePreviousLod) {
  Editing e(Elements(3), 2);
  TLSForm& form = e.form;
  e.Assign(1, {"1", "2", "999"});
  form.SetLODSpinEditValue(2);
  form.DoButton1Click();
  EXPECT_EQ(e.Column(form.StringGrid1, 4), (std::vector<std::string>{"1", "2", "999"}));
  EXPECT_EQ(form.StringGrid5.Cell(2, 2), "3");
}

TEST(BulkEdits, RowShiftsMoveOnlyLodCells) {
  Editing e(Elements(4), 2);
  TLSForm& form = e.form;
  e.Assign(1, {"1", "2", "3", "4"});
  e.Assign(2, {"5", "6", "7", "8"});
  form.StringGrid1.Row = 2;
  form.ZeilePlusButtonClick();
  EXPECT_EQ(e.Column(form.StringGrid1, 3), (std::vector<std::string>{"1", "", "2", "3"}));
  EXPECT_EQ(e.Column(form.StringGrid1, 4), (std::vector<std::string>{"5", "", "6", "7"}));
  EXPECT_EQ(form.StringGrid1.Cell(0, 2), "Elem1");
  EXPECT_EQ(form.StringGrid2.RowCount(), 2);  // the empty row stops the recount

  form.ZeileMinusButtonClick();
  EXPECT_EQ(e.Column(form.StringGrid1, 3), (std::vector<std::string>{"1", "2", "3", ""}));
  EXPECT_EQ(e.Column(form.StringGrid1, 4), (std::vector<std::string>{"5", "6", "7", ""}));

  // In the last row both only empty that row.
  e.Assign(1, {"1", "2", "3", "4"});
  form.StringGrid1.Row = 4;
  form.ZeilePlusButtonClick();
  EXPECT_EQ(e.Column(form.StringGrid1, 3), (std::vector<std::string>{"1", "2", "3", ""}));
  e.Assign(1, {"1", "2", "3", "4"});
  form.ZeileMinusButtonClick();
  EXPECT_EQ(e.Column(form.StringGrid1, 3), (std::vector<std::string>{"1", "2", "3", ""}));

  e.f.platform.answers = {MsgResult::No};
  e.Assign(1, {"1", "2", "3", "4"});
  form.StringGrid1.Row = 1;
  form.ZeilePlusButtonClick();
  EXPECT_EQ(e.Column(form.StringGrid1, 3), (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST(BulkEdits, AnimResetRereadsMarksOnYes) {
  OutlineShapeRecipe recipe = Elements(2);
  recipe.withAnimations = true;
  recipe.animated = {"PART1"};
  Editing e(recipe);
  TLSForm& form = e.form;
  EXPECT_EQ(e.Column(form.StringGrid3, 2), (std::vector<std::string>{"", "x"}));
  form.StringGrid2SetEditText(form.StringGrid3, 2, 2, "");
  e.f.platform.answers = {MsgResult::No};
  form.AnimResetButtonClick();
  EXPECT_EQ(form.StringGrid3.Cell(2, 2), "");
  form.AnimResetButtonClick();
  EXPECT_EQ(form.StringGrid3.Cell(2, 2), "x");
  EXPECT_EQ(e.f.platform.Texts(), (std::vector<std::string>{form.LanguageText(62), form.LanguageText(62)}));
}

}  // namespace
}  // namespace lodsmith::test
