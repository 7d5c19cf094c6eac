#include <gtest/gtest.h>

#include "shape_checker.h"
#include "synthetic_shape.h"
#include "test_env.h"
#include "tools/material_fix.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

// A shape whose vtx_states carry the given light materials, followed by sub
// object headers with the given flags words.
Lines MaterialShape(const std::vector<std::string>& materials, const std::vector<std::string>& flags) {
  Lines l{"SIMISA@@@@@@@@@@JINX0s1t______", "", "shape (", "\tvtx_states ( " + std::to_string(materials.size())};
  for (const auto& m : materials) l.push_back("\t\tvtx_state ( 00000000 0 " + m + " 0 00000002 )");
  l.push_back("\t)");
  l.push_back("\tlod_controls ( 1");
  for (const auto& f : flags) l.push_back("\t\t\tsub_object_header ( " + f + " -1 -1 000001d2 000001c4");
  l.push_back("\t)");
  l.push_back(")");
  return l;
}

std::string Material(const Lines& lines, int vtxState) { return TokensAfterParen(lines[4 + vtxState])[2]; }

std::vector<std::string> Flags(const Lines& lines) {
  std::vector<std::string> flags;
  for (const auto& l : lines)
    if (Contains(l, "sub_object_header")) flags.push_back(TokensAfterParen(l)[0]);
  return flags;
}

}  // namespace

TEST(MaterialFix, ExchangesLightMaterialsByTheNamesOfTheirElements) {
  const Lines lines = MaterialShape({"-5", "-6", "-7", "-6", "-7"}, {});
  const std::vector<MaterialElement> elements{{"Body", 0},
                                              {"Roof_Loshine", 1},
                                              {"Rail_HiShine", 2},
                                              {"Glass_hishine", 3},
                                              {"Lamp", 3},
                                              {"Floor_loshine", 4},
                                              {"unknown_loshine", std::nullopt}};
  const MaterialFixResult r = FixTsmMaterials(lines, elements);
  EXPECT_EQ(Material(r.lines, 0), "-5");
  EXPECT_EQ(Material(r.lines, 1), "-7");  // -6 used by a "loshine" element
  EXPECT_EQ(Material(r.lines, 2), "-6");  // -7 used by "HiShine" in mixed case
  EXPECT_EQ(Material(r.lines, 3), "-6");  // only "loshine" moves -6
  EXPECT_EQ(Material(r.lines, 4), "-7");  // only "hishine" moves -7
  EXPECT_EQ(r.exchanged, 2);
  // Nothing but the token changes; the input stays as it was.
  EXPECT_EQ(r.lines[5], "\t\tvtx_state ( 00000000 0 -7 0 00000002 )");
  EXPECT_EQ(Material(lines, 1), "-6");
}

TEST(MaterialFix, LowersTheHeaderFlagsOnlyWhenSomeMaterialIsNotMinusFive) {
  const std::vector<std::string> flags{"00000400", "00000500", "00000799", "00000100", "00000200", "00001400"};
  const MaterialFixResult allFive = FixTsmMaterials(MaterialShape({"-5", "-5"}, flags), {});
  EXPECT_EQ(Flags(allFive.lines), flags);
  EXPECT_EQ(allFive.flagsLowered, 0);

  const Lines other = MaterialShape({"-5", "-8"}, flags);
  const MaterialFixResult r = FixTsmMaterials(other, {});
  EXPECT_EQ(Flags(r.lines),
            (std::vector<std::string>{"00000000", "00000100", "00000399", "00000100", "00000200", "00001000"}));
  EXPECT_EQ(Material(r.lines, 1), "-8");
  EXPECT_EQ(r.lines[8], "\t\t\tsub_object_header ( 00000000 -1 -1 000001d2 000001c4");
  // A word whose third digit from the end is below 4 would get a non-digit:
  // it stays.
  EXPECT_EQ(Flags(FixTsmMaterials(MaterialShape({"-8"}, {"00001000", "00002300"}), {}).lines),
            (std::vector<std::string>{"00001000", "00002300"}));
  // The material is compared as written: "-5.0" is another material.
  EXPECT_EQ(Flags(FixTsmMaterials(MaterialShape({"-5.0"}, {"00000400"}), {}).lines),
            (std::vector<std::string>{"00000000"}));
}

TEST(MaterialFix, ReadsOnlyTheVtxStateLinesAndTheHeadersAfterThem) {
  Lines lines = MaterialShape({"-6", "-5"}, {"00000400"});
  // A header before the block and one on the last line stay.
  lines.insert(lines.begin() + 2, "\tsub_object_header ( 00000400 -1 -1 000001d2 000001c4");
  lines.push_back("sub_object_header ( 00000400 -1 -1");
  const MaterialFixResult r = FixTsmMaterials(lines, {{"a_loshine", 0}});
  EXPECT_EQ(Flags(r.lines), (std::vector<std::string>{"00000400", "00000000", "00000400"}));
  // The block ends at the first line without "vtx_state"; a vtx_state line
  // further down is not part of it.
  Lines gap = MaterialShape({"-5", "-5"}, {"00000400"});
  gap.insert(gap.begin() + 7, "\t\tvtx_state ( 00000000 0 -8 0 00000002 )");
  EXPECT_EQ(Flags(FixTsmMaterials(gap, {}).lines), (std::vector<std::string>{"00000400"}));
}

TEST(MaterialFix, RefusesWithoutChangingAnything) {
  EXPECT_THROW(FixTsmMaterials(Lines{"SIMISA", "shape (", ")"}, {}), Error);
  EXPECT_THROW(FixTsmMaterials(Lines{"SIMISA", "vtx_states ( 0"}, {}), Error);  // header on the last line
  // A flags word with hexadecimal letters: not even the exchange before it
  // is kept.
  const Lines hex = MaterialShape({"-6"}, {"00000400", "0000a400"});
  EXPECT_THROW(FixTsmMaterials(hex, {{"x_loshine", 0}}), Error);
}

// ---- The window -------------------------------------------------------------

namespace {

struct MatForm : FormFixture {
  MatForm() {
    form->ShapeLines = MaterialShape({"-6", "-5"}, {"00000400"});
    form->StringGrid1.SetRowCount(3);
    form->StringGrid1.SetCell(0, 1, "Body");
    form->StringGrid1.SetCell(0, 2, "Roof_LOSHINE");
    form->ElementVtxState = {0, 1, 0};  // row 1 uses vtx_state 1, row 2 vtx_state 0
    platform.cursor = 5;
  }
};

}  // namespace

TEST(MatButton, CorrectsInPlaceAndDisablesItself) {
  MatForm f;
  const std::size_t count = f.form->ShapeLines.size();
  ASSERT_TRUE(f.form->Dispatch([&] { f.form->MatButtonClick(); }));
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(Material(f.form->ShapeLines, 0), "-7");
  EXPECT_EQ(Flags(f.form->ShapeLines), (std::vector<std::string>{"00000000"}));
  EXPECT_EQ(f.form->ShapeLines.size(), count);
  EXPECT_FALSE(f.form->MatButton.Enabled);
  EXPECT_TRUE(f.form->Changed);
  EXPECT_EQ(f.platform.cursor, 5);
}

TEST(MatButton, MarksTheDocumentChangedEvenWhenItRefuses) {
  MatForm f;
  f.form->ShapeLines = MaterialShape({"-6"}, {"0000a400"});
  const Lines before = f.form->ShapeLines;
  EXPECT_FALSE(f.form->Dispatch([&] { f.form->MatButtonClick(); }));
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.form->ShapeLines, before);
  EXPECT_TRUE(f.form->MatButton.Enabled);
  EXPECT_TRUE(f.form->Changed);
  EXPECT_EQ(f.platform.cursor, 5);
  // An empty document: nothing at all.
  MatForm g;
  g.form->ShapeLines.clear();
  g.form->MatButtonClick();
  EXPECT_FALSE(g.form->Changed);
  EXPECT_TRUE(g.platform.cursorHistory.empty());
}

// ---- Real shapes ------------------------------------------------------------

TEST(MaterialFixCorpus, ChangesOnlyMaterialsAndHeaderFlagsOfRealShapes) {
  auto shapes = CorpusTextShapes();
  if (shapes.empty()) GTEST_SKIP() << NoCorpusShapes("corpus") << " in UTF-16";
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.name);
    // The elements as the element list holds them: every prim_state with
    // its vtx_state.
    std::vector<std::string> parseProblems;
    std::vector<MaterialElement> elements;
    for (const auto& top : ParseShapeBlocks(shape.lines, parseProblems))
      if (auto* ps = top.Child("prim_states"))
        for (auto* p : ps->ChildrenNamed("prim_state"))
          elements.push_back({p->label, p->values.size() > 3 ? ParseInt32(p->values[3]) : std::optional<int32_t>{}});
    const MaterialFixResult r = FixTsmMaterials(shape.lines, elements);
    ASSERT_EQ(r.lines.size(), shape.lines.size());
    int changed = 0;
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
      if (r.lines[i] == shape.lines[i]) continue;
      ++changed;
      ASSERT_TRUE(Contains(r.lines[i], "vtx_state") || Contains(r.lines[i], "sub_object_header")) << r.lines[i];
      ASSERT_EQ(r.lines[i].size(), shape.lines[i].size());
    }
    EXPECT_EQ(changed, r.exchanged + r.flagsLowered);
    EXPECT_EQ(CheckShapeStructure(r.lines), CheckShapeStructure(shape.lines));
  }
}

TEST(MatButtonCorpus, TakesTheElementsFromTheAnalysisOfRealShapes) {
  const auto shapes = CorpusTextShapes();
  if (shapes.empty()) GTEST_SKIP() << NoCorpusShapes("corpus") << " in UTF-16";
  int opened = 0;
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.name);
    FormFixture f;
    f.Open(CorpusDir() + "/" + shape.name);
    if (f.form->ShapeLines.empty() || !f.form->MatButton.Enabled) continue;
    ++opened;
    std::vector<std::string> parseProblems;
    std::vector<MaterialElement> elements;
    for (const auto& top : ParseShapeBlocks(shape.lines, parseProblems))
      if (auto* ps = top.Child("prim_states"))
        for (auto* p : ps->ChildrenNamed("prim_state"))
          elements.push_back({p->label, p->values.size() > 3 ? ParseInt32(p->values[3]) : std::optional<int32_t>{}});
    const Lines expected = FixTsmMaterials(f.form->ShapeLines, elements).lines;
    f.platform.Clear();
    ASSERT_TRUE(f.form->Dispatch([&] { f.form->MatButtonClick(); }));
    EXPECT_EQ(f.form->ShapeLines, expected);
    EXPECT_FALSE(f.form->MatButton.Enabled);
  }
  EXPECT_GT(opened, 0);
}
