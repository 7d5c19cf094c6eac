#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "document/analysis.h"
#include "shape_checker.h"
#include "synthetic_shape.h"
#include "test_env.h"
#include "tools/animation_strip.h"
#include "ui/texts/messages.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

// An animations block: MAIN without controllers, WHEEL1 with a rotation of
// three keys and a position of two keys, DOOR with one rotation of two keys.
Lines AnimationShape() {
  return {"SIMISA@@@@@@@@@@JINX0s1t______",
          "",
          "shape (",
          "\tanimations ( 1",
          "\t\tanimation ( 8 30",
          "\t\t\tanim_nodes ( 3",
          "\t\t\t\tanim_node MAIN (",
          "\t\t\t\t\tcontrollers ( 0 )",
          "\t\t\t\t)",
          "\t\t\t\tanim_node WHEEL1 (",
          "\t\t\t\t\tcontrollers ( 2",
          "\t\t\t\t\t\ttcb_rot ( 3",
          "\t\t\t\t\t\t\ttcb_key ( 0 0 0 0 1 0 0 0 0 0 )",
          "\t\t\t\t\t\t\ttcb_key ( 1 0.5 0 0 0.8 0 0 0 0 0 )",
          "\t\t\t\t\t\t\ttcb_key ( 2 1 0 0 0 0 0 0 0 0 )",
          "\t\t\t\t\t\t)",
          "\t\t\t\t\t\tlinear_pos ( 2",
          "\t\t\t\t\t\t\tlinear_key ( 0 0 0 0 )",
          "\t\t\t\t\t\t\tlinear_key ( 1 0 0 1 )",
          "\t\t\t\t\t\t)",
          "\t\t\t\t\t)",
          "\t\t\t\t)",
          "\t\t\t\tanim_node DOOR (",
          "\t\t\t\t\tcontrollers ( 1",
          "\t\t\t\t\t\ttcb_rot ( 2",
          "\t\t\t\t\t\t\ttcb_key ( 0 0 0 0 1 0 0 0 0 0 )",
          "\t\t\t\t\t\t\ttcb_key ( 1 0 1 0 0 0 0 0 0 0 )",
          "\t\t\t\t\t\t)",
          "\t\t\t\t\t)",
          "\t\t\t\t)",
          "\t\t\t)",
          "\t\t)",
          "\t)",
          ")"};
}

std::vector<MatrixAnimationMark> Rows(std::initializer_list<std::pair<const char*, const char*>> rows) {
  std::vector<MatrixAnimationMark> r;
  for (auto& [name, mark] : rows) r.push_back({name, mark});
  return r;
}

AnimationStripResult Strip(const Lines& lines, const std::vector<MatrixAnimationMark>& rows) {
  auto header = FindAnimationsBlock(lines);
  EXPECT_TRUE(header);
  return StripSurplusAnimations(lines, *header, rows);
}

// The text of each node's controllers line, by node name.
std::map<std::string, std::string> ControllersLines(const Lines& lines) {
  std::map<std::string, std::string> r;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i)
    if (Contains(lines[i], "anim_node ")) r[WordAfter(lines[i], "anim_node ")] = lines[i + 1];
  return r;
}

}  // namespace

TEST(AnimationStrip, StripsAnUnmarkedNodeAndKeepsItsClosingLines) {
  const Lines lines = AnimationShape();
  const AnimationStripResult r = Strip(lines, Rows({{"MAIN", ""}, {"WHEEL1", ""}, {"DOOR", "x"}}));
  ASSERT_EQ(r.lines.size(), lines.size() - 9);  // 5 + 4 lines
  EXPECT_EQ(r.linesDeleted, 9);
  EXPECT_EQ(r.stripped, 1);
  EXPECT_EQ(r.lines[10], "\t\t\t\t\tcontrollers ( 0");
  EXPECT_EQ(r.lines[11], "\t\t\t\t\t)");
  EXPECT_EQ(r.lines[12], "\t\t\t\t)");
  EXPECT_EQ(r.lines[13], "\t\t\t\tanim_node DOOR (");
  // The rest of the document is the old one, line for line.
  EXPECT_TRUE(std::equal(r.lines.begin() + 11, r.lines.end(), lines.begin() + 20));
  EXPECT_TRUE(std::equal(r.lines.begin(), r.lines.begin() + 10, lines.begin()));
}

// Clearing the mark of "WHEEL B" strips that node only, not "WHEEL A",
// whose name begins alike.
TEST(AnimationStrip, QuotedNodeNamesAreMatchedWhole) {
  const Lines lines = QuotedNamesShape();
  const ShapeAnalysis a = AnalyseShape(lines);
  ASSERT_EQ(a.matrixNames.size(), 2u);
  const AnimationStripResult r = Strip(lines, {{a.matrixNames[0], "x"}, {a.matrixNames[1], ""}});
  EXPECT_EQ(r.stripped, 1);
  EXPECT_EQ(r.linesDeleted, 4);
  const auto controllers = ControllersLines(r.lines);
  EXPECT_EQ(controllers.at("WHEEL A"), "\t\t\t\t\tcontrollers ( 1");
  EXPECT_EQ(controllers.at("WHEEL B"), "\t\t\t\t\tcontrollers ( 0");
  EXPECT_EQ(CheckShapeStructure(r.lines), CheckShapeStructure(lines));
}

TEST(AnimationStrip, AnXOfEitherCaseKeepsAnAnimationAnythingElseRemovesIt) {
  const Lines lines = AnimationShape();
  EXPECT_EQ(Strip(lines, Rows({{"WHEEL1", "X"}, {"DOOR", "x"}})).lines, lines);
  for (const char* mark : {" ", "xx", " x", "-"}) {
    const AnimationStripResult r = Strip(lines, Rows({{"WHEEL1", "x"}, {"DOOR", mark}}));
    EXPECT_EQ(r.linesDeleted, 4) << "mark \"" << mark << "\"";
    EXPECT_EQ(ControllersLines(r.lines)["DOOR"], "\t\t\t\t\tcontrollers ( 0");
  }
}

TEST(AnimationStrip, LeavesNodesWithoutControllersOrWithoutARowAlone) {
  const Lines lines = AnimationShape();
  // MAIN has no controllers; no row is named WHEEL1 or DOOR.
  EXPECT_EQ(Strip(lines, Rows({{"MAIN", ""}, {"WHEEL2", ""}})).lines, lines);
  // Names are compared without regard to case.
  const AnimationStripResult r = Strip(lines, Rows({{"wheel1", ""}, {"Door", ""}}));
  EXPECT_EQ(r.stripped, 2);
  EXPECT_EQ(r.lines.size(), lines.size() - 13);
  EXPECT_EQ(ControllersLines(r.lines)["WHEEL1"], "\t\t\t\t\tcontrollers ( 0");
  EXPECT_EQ(ControllersLines(r.lines)["DOOR"], "\t\t\t\t\tcontrollers ( 0");
  // A Latin-1 capital matches its small letter.
  Lines latin = lines;
  latin[22] = "\t\t\t\tanim_node T\xC3\x9CR (";
  EXPECT_EQ(Strip(latin, Rows({{"t\xC3\xBCr", ""}})).linesDeleted, 4);
}

TEST(AnimationStrip, ACountNotWrittenAsZeroIsStrippedAndNonPositiveSpansDeleteNothing) {
  const Lines lines{"SIMISA@@@@@@@@@@JINX0s1t______",
                    "shape (",
                    "\tanimations ( 1",
                    "\t\tanim_node A (",
                    "\t\t\tcontrollers ( 00 )",
                    "\t\t)",
                    "\t\tanim_node B (",
                    "\t\t\tcontrollers (  2",
                    "\t\t\t\ttcb_rot ( 1",
                    "\t\t\t\t\ttcb_key ( 0 )",
                    "\t\t\t\t)",
                    "\t\t\t\tlinear_pos ( -2 )",
                    "\t\t\t)",
                    "\t\t)",
                    ")"};
  // "00" is not the text "0": the count is rewritten, no line goes. The
  // second controller of B claims -2 keys, a span of 0 lines: nothing goes.
  const AnimationStripResult r = Strip(lines, Rows({{"a", ""}, {"b", ""}}));
  EXPECT_EQ(r.lines, (Lines{"SIMISA@@@@@@@@@@JINX0s1t______", "shape (", "\tanimations ( 1", "\t\tanim_node A (",
                            "\t\t\tcontrollers ( 0 )", "\t\t)", "\t\tanim_node B (", "\t\t\tcontrollers (  0",
                            "\t\t\t\tlinear_pos ( -2 )", "\t\t\t)", "\t\t)", ")"}));
}

TEST(AnimationStrip, FindsNoBlockOrRefusesWithTheDocumentUnchanged) {
  EXPECT_FALSE(FindAnimationsBlock(Lines{"SIMISA", "shape (", ")"}));
  EXPECT_FALSE(FindAnimationsBlock(Lines{"SIMISA", "shape (", "animations ( 0"}));
  EXPECT_THROW(FindAnimationsBlock(Lines{"animations ( 0"}), Error);

  const Lines lines = AnimationShape();
  const std::string general =
      "Allgemeiner Fehler, Animation WHEEL1 gelöscht, evtl. jedoch nicht die Daten. Vielleicht haben zwei oder "
      "mehr Matrizen den gleichen Namen (bitte ändern)?";
  // Two unmarked rows of one name.
  try {
    Strip(lines, Rows({{"WHEEL1", ""}, {"wheel1", ""}}));
    FAIL() << "a node was stripped twice";
  } catch (const Error& e) {
    EXPECT_EQ(MessageString(e.message(), Language::German), general);
  }
  // A key count that is not an integer.
  Lines badKeys = lines;
  badKeys[16] = "\t\t\t\t\t\tlinear_pos ( zwei";
  try {
    Strip(badKeys, Rows({{"WHEEL1", ""}}));
    FAIL() << "a bad key count was read";
  } catch (const Error& e) {
    EXPECT_EQ(MessageString(e.message(), Language::German), general);
  }
  // A controller count that is not an integer, and keys running past the
  // end of the document.
  Lines badCount = lines;
  badCount[10] = "\t\t\t\t\tcontrollers ( 2x";
  EXPECT_THROW(Strip(badCount, Rows({})), Error);
  Lines cut(lines.begin(), lines.begin() + 26);
  EXPECT_THROW(Strip(cut, Rows({{"DOOR", ""}})), Error);
  Lines longKeys = lines;
  longKeys[24] = "\t\t\t\t\t\ttcb_rot ( 40";
  EXPECT_THROW(Strip(longKeys, Rows({{"DOOR", ""}})), Error);
}

// ---- The window -------------------------------------------------------------

namespace {

struct AnimForm : FormFixture {
  AnimForm() {
    form->ShapeLines = AnimationShape();
    form->StringGrid3.SetRowCount(4);
    const char* names[] = {"MAIN", "WHEEL1", "DOOR"};
    for (int r = 1; r <= 3; ++r) {
      form->StringGrid3.SetCell(0, r, names[r - 1]);
      form->StringGrid3.SetCell(2, r, "x");
    }
    form->Label2.Caption = "vorher";
    platform.cursor = 3;
  }
};

}  // namespace

TEST(AnimButton, StripsTheUnmarkedMatrixAndShowsTheLineCount) {
  AnimForm f;
  f.form->StringGrid3.SetCell(2, 2, "");
  const std::size_t before = f.form->ShapeLines.size();
  ASSERT_TRUE(f.form->Dispatch([&] { f.form->AnimButtonClick(); }));
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.form->ShapeLines.size(), before - 9);
  EXPECT_TRUE(f.form->Changed);
  EXPECT_TRUE(f.form->AnimButton.Enabled);
  EXPECT_EQ(f.form->StringGrid3.Cell(2, 2), "");
  EXPECT_EQ(f.form->Label2.Caption, std::to_string(before - 9) + " " + f.form->LanguageText(22));
  EXPECT_EQ(f.platform.cursor, 3);
  // Nothing left to strip: the action may run again and changes nothing.
  const Lines stripped = f.form->ShapeLines;
  f.form->AnimButtonClick();
  EXPECT_EQ(f.form->ShapeLines, stripped);
}

TEST(AnimButton, ReportsTheGeneralErrorWithoutStatusLineAndKeepsTheText) {
  AnimForm f;
  f.form->StringGrid3.SetCell(0, 1, "WHEEL1");
  f.form->StringGrid3.SetCell(2, 1, "");
  f.form->StringGrid3.SetCell(2, 2, "");
  const Lines before = f.form->ShapeLines;
  f.form->Dispatch([&] { f.form->AnimButtonClick(); });
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.platform.messages[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(f.platform.messages[0].text,
            MessageString(Message(ToolsMsg::AnimationStripGeneral, "WHEEL1"), Language::German));
  EXPECT_EQ(f.form->ShapeLines, before);
  EXPECT_EQ(f.form->Label2.Caption, "vorher");
  EXPECT_TRUE(f.form->Changed);
  EXPECT_EQ(f.platform.cursor, 3);
}

TEST(AnimButton, DoesNotMarkAShapeWithoutAnimationsChanged) {
  AnimForm f;
  f.form->ShapeLines = {"SIMISA", "shape (", ")"};
  f.platform.cursorHistory.clear();
  f.form->AnimButtonClick();
  EXPECT_FALSE(f.form->Changed);
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.form->Label2.Caption, "vorher");
  EXPECT_EQ(f.platform.cursorHistory, (std::vector<int>{crHourGlass, 3}));
}

// A key count larger than the keys written makes the strip delete the lines
// after them too, and a ")" is left over: the result is refused by the
// structural check, and the document is not marked.
TEST(AnimButton, RefusesAStripThatBreaksTheBracketsAndMarksNothing) {
  AnimForm f;
  f.form->ShapeLines[11] = "\t\t\t\t\t\ttcb_rot ( 4";
  f.form->StringGrid3.SetCell(2, 2, "");
  const Lines before = f.form->ShapeLines;
  f.form->Dispatch([&] { f.form->AnimButtonClick(); });
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Warning);
  EXPECT_EQ(f.platform.messages[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(f.platform.messages[0].text,
            "Das Ergebnis wäre keine gültige Shape-Datei: Zeile 26: kein Block bei \")\". Es wurde nichts geändert.");
  EXPECT_EQ(f.form->ShapeLines, before);
  EXPECT_FALSE(f.form->Changed);
  EXPECT_EQ(f.form->SpeichernBitBtn.FontColor, clWindowText);
  EXPECT_EQ(f.form->Label2.Caption, "vorher");
  EXPECT_EQ(f.platform.cursor, 3);
}

// ---- Real shapes ------------------------------------------------------------

TEST(AnimationStripCorpus, StripsEveryAnimationOfRealShapes) {
  auto shapes = CorpusTextShapes();
  if (shapes.empty()) GTEST_SKIP() << NoCorpusShapes("corpus") << " in UTF-16";
  int withAnimations = 0;
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.name);
    auto header = FindAnimationsBlock(shape.lines);
    if (!header) continue;
    ++withAnimations;
    // Every node name as an unmarked row.
    std::vector<MatrixAnimationMark> rows;
    for (const auto& [name, line] : ControllersLines(shape.lines)) rows.push_back({name, ""});
    const AnimationStripResult r = StripSurplusAnimations(shape.lines, *header, rows);
    EXPECT_EQ(r.lines.size() + static_cast<std::size_t>(r.linesDeleted), shape.lines.size());
    for (const auto& [name, line] : ControllersLines(r.lines)) EXPECT_EQ(TokensAfterParen(line)[0], "0") << name;
    EXPECT_EQ(CheckShapeStructure(r.lines).size(), CheckShapeStructure(shape.lines).size());
    std::vector<std::string> problems;
    ParseShapeBlocks(r.lines, problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    // Marking every node keeps the shape as it is.
    for (auto& row : rows) row.mark = "x";
    EXPECT_EQ(StripSurplusAnimations(shape.lines, *header, rows).lines, shape.lines);
  }
  EXPECT_GT(withAnimations, 0);
}
