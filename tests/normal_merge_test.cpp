#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "document/shape_file.h"
#include "reference_merge.h"
#include "shape_checker.h"
#include "synthetic_shape.h"
#include "test_env.h"
#include "tools/merge_index.h"
#include "tools/normal_merge.h"
#include "ui/texts/messages.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

long double Parsed(const char* text) { return *ParseFloat(text, '.'); }

void ExpectSameAsLiteral(const std::vector<Coords>& coords, long double tolerance, const std::string& what) {
  std::vector<TMergeEntry> table(coords.size());
  for (std::size_t i = 0; i < coords.size(); ++i) {
    table[i].X = coords[i][0];
    table[i].Y = coords[i][1];
    table[i].Z = coords[i][2];
  }
  const int32_t k = NumberMergeEntries(table, tolerance, MergeKind::Normals);
  const ReferenceMergeResult expected = ReferenceMerge(coords, tolerance, true);
  ASSERT_EQ(k, expected.K) << what;
  for (std::size_t i = 0; i < coords.size(); ++i) {
    ASSERT_EQ(table[i].Kept, expected.kept[i]) << what << ", entry " << i;
    ASSERT_EQ(table[i].NewIndex, expected.newIndex[i]) << what << ", entry " << i;
  }
}

// The first members of all normal_idxs lists, read independently of the
// rewrite: tokens run on over the following lines until m pairs are read.
std::vector<int32_t> ListReferences(const Lines& lines) {
  std::vector<int32_t> refs;
  for (std::size_t j = 0; j < lines.size(); ++j) {
    if (!Contains(lines[j], "normal_idxs")) continue;
    std::vector<std::string> tokens = TokensAfterParen(lines[j]);
    const int32_t m = ToInt32(tokens[0]);
    tokens.erase(tokens.begin());
    std::size_t next = j + 1;
    while (static_cast<int32_t>(tokens.size()) < 2 * m) {
      int pos = 1;
      for (std::string t; !(t = TakeToken(lines[next], pos)).empty();) tokens.push_back(t);
      ++next;
    }
    for (int32_t p = 0; p < m; ++p) refs.push_back(ToInt32(tokens[2 * p]));
  }
  return refs;
}

std::vector<int32_t> VertexNormals(const Lines& lines) {
  std::vector<int32_t> refs;
  for (const auto& l : lines)
    if (Contains(l, "vertex ")) refs.push_back(ToInt32(TokensAfterParen(l)[2]));
  return refs;
}

}  // namespace

TEST(MergeIndexNormals, AgreesWithTheBackwardScanAcrossSignClasses) {
  std::mt19937_64 rng(17);
  constexpr long double inf = std::numeric_limits<long double>::infinity();
  // Zeros of both signs, values that round to a zero double (class zero),
  // values that stay non-zero as doubles, and ordinary components.
  const std::vector<long double> parts{0.0L,    -0.0L,    1e-4000L, -1e-4000L, 1e-320L, -1e-320L, 0.0001L, -0.0001L,
                                       0.0002L, -0.0002L, 0.5L,     -0.5L,     1.0L,    -1.0L,    0.7071L, -0.7071L};
  std::uniform_int_distribution<std::size_t> pick(0, parts.size() - 1);
  std::vector<Coords> c(1500);
  for (auto& p : c) p = {parts[pick(rng)], parts[pick(rng)], parts[pick(rng)]};
  for (long double tol : {0.0L, 0.0001L, 0.001L, 0.5L, 2.0L, inf}) ExpectSameAsLiteral(c, tol, "sign classes");

  // Unit normals with small noise, many of them near each other.
  std::normal_distribution<long double> g(0, 1);
  std::uniform_real_distribution<long double> noise(-0.002L, 0.002L);
  std::vector<Coords> base(60), normals;
  for (auto& b : base) {
    long double x = g(rng), y = g(rng), z = g(rng), l = std::sqrt(x * x + y * y + z * z);
    b = {x / l, y / l, z / l};
  }
  for (int i = 0; i < 1500; ++i) {
    Coords b = base[std::uniform_int_distribution<int>(0, 59)(rng)];
    normals.push_back({b[0] + noise(rng), b[1] + noise(rng), i % 3 ? b[2] : 0.0L});
  }
  for (long double tol : {0.0L, 0.001L, 0.003L}) ExpectSameAsLiteral(normals, tol, "noisy normals");
}

TEST(NormalMerge, SignClassesDecideBeforeTheTolerance) {
  Lines lines = GeometryShape({{"0 0 0"}, {"0 1 0", "0.0001 1 0", "0.0002 1 0", "-0 1 0", "0 1 -0"}, {{0, 4}}, {}});
  auto loose = PlanNormalMerge(lines, Parsed("0.001"));
  ASSERT_TRUE(loose);
  // (0.0001 1 0) is of another class than (0 1 0) in x; (0.0002 1 0) merges
  // into it; (-0 1 0) and (0 1 -0) are (0 1 0) again.
  std::vector<int32_t> numbers;
  for (const auto& e : loose->MergeTable) numbers.push_back(e.NewIndex);
  EXPECT_EQ(numbers, (std::vector<int32_t>{0, 1, 1, 0, 0}));
  auto exact = PlanNormalMerge(lines, 0);
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->K, 3);
  EXPECT_EQ(exact->MergeTable[3].NewIndex, 0);
  EXPECT_EQ(exact->MergeTable[4].NewIndex, 0);
}

TEST(NormalMerge, RenumbersVertexNormalsAndListsAndNothingElse) {
  Lines lines = GeometryShape({{"0 0 0", "1 1 1", "2 2 2"},
                               {"0 1 0", "1 0 0", "0 1 0", "1 0 0"},
                               {{0, 2}, {1, 3}, {2, 1}},
                               {{3, 2, 1, 0}, {}}});
  auto plan = PlanNormalMerge(lines, 0);
  ASSERT_TRUE(plan);
  ASSERT_EQ(plan->K, 2);
  const Lines out = BuildNormalMerge(lines, *plan);
  ASSERT_EQ(out.size(), lines.size() - 2);
  EXPECT_EQ(VertexNormals(out), (std::vector<int32_t>{0, 1, 1}));
  EXPECT_EQ(ListReferences(out), (std::vector<int32_t>{1, 0, 1, 0}));
  std::size_t v = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (!Contains(out[i], "vertex ")) continue;
    // The point number and the rest of the line stay.
    EXPECT_EQ(TokensAfterParen(out[i])[1], std::to_string(v++));
    EXPECT_EQ(out[i].substr(out[i].find(" ff")), " ff969696 ff808080");
  }
  // The list's count and second members stay; the empty list is untouched.
  bool sawEmpty = false;
  for (const auto& l : out) {
    if (Contains(l, "normal_idxs ( 4")) {
      EXPECT_EQ(l, "\t\t\t\t\t\tnormal_idxs ( 4 1 3 0 3 1 3 0 3 )");
    }
    if (Contains(l, "normal_idxs ( 0")) sawEmpty = true;
  }
  EXPECT_TRUE(sawEmpty);
}

TEST(NormalMerge, AListMayRunOverSeveralLines) {
  Lines lines = GeometryShape({{"0 0 0"}, {"0 1 0", "0 1 0", "1 0 0", "1 0 0"}, {}, {}});
  const int after = static_cast<int>(lines.size()) - 5;
  // m = 3: the count and one pair; a pair and the first member of the third;
  // the third's second member and the parenthesis; then a line to be copied.
  lines.insert(lines.begin() + after, {"\t\tnormal_idxs ( 3 1 3", "\t\t\t3 3 2", "\t\t\t3 )", "\t\tflags ( 3 3 3 )"});
  auto plan = PlanNormalMerge(lines, 0);
  ASSERT_TRUE(plan);
  const Lines out = BuildNormalMerge(lines, *plan);
  ASSERT_EQ(out.size(), lines.size() - 2);
  const int at = after - 2;
  EXPECT_EQ(out[at], "\t\tnormal_idxs ( 3 0 3");
  EXPECT_EQ(out[at + 1], "\t\t\t1 3 1");
  EXPECT_EQ(out[at + 2], "\t\t\t3 )");
  EXPECT_EQ(out[at + 3], "\t\tflags ( 3 3 3 )");
  // What follows the last pair is never read.
  Lines junk = lines;
  junk[after] = "\t\tnormal_idxs ( 1 1 3 kein ) Abschluss";
  junk.erase(junk.begin() + after + 1, junk.begin() + after + 3);
  auto junkPlan = PlanNormalMerge(junk, 0);
  EXPECT_EQ(BuildNormalMerge(junk, *junkPlan)[at], "\t\tnormal_idxs ( 1 0 3 kein ) Abschluss");
}

TEST(NormalMerge, ListsRightAfterTheBlockOrAVertexLineAreRenumbered) {
  const Lines lines{"SIMISA@@@@@@@@@@JINX0s1t______",
                    "shape (",
                    "\tnormal_idxs ( 1 2 3 )",  // before the block: stays
                    "\tnormals ( 3",
                    "\t\tvector ( 0 1 0 )",
                    "\t\tvector ( -0 1 0 )",
                    "\t\tvector ( 1 0 0 )",
                    "\t)",
                    "\tnormal_idxs ( 1 2 3 )",  // the line right after the block
                    "\tflags ( 2 00000000 )",
                    "\tvertex ( 00000000 1 2 ff969696 ff808080",
                    "\tnormal_idxs ( 2 1 3",  // right after a vertex line, over two lines
                    "\t\t2  3 )",
                    "\tflags ( 2 00000000 )",
                    ")"};
  auto plan = PlanNormalMerge(lines, 0);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->K, 2);
  EXPECT_EQ(BuildNormalMerge(lines, *plan),
            (Lines{"SIMISA@@@@@@@@@@JINX0s1t______", "shape (", "\tnormal_idxs ( 1 2 3 )", "\tnormals ( 2",
                   "\t\tvector ( 0 1 0 )", "\t\tvector ( 1 0 0 )", "\t)", "\tnormal_idxs ( 1 1 3 )",
                   "\tflags ( 2 00000000 )", "\tvertex ( 00000000 1 1 ff969696 ff808080", "\tnormal_idxs ( 2 0 3",
                   "\t\t1  3 )", "\tflags ( 2 00000000 )", ")"}));
}

TEST(NormalMerge, CountsEntriesNotLines) {
  // Normals block: header on line 11 (index 10), vectors on lines 12..14.
  const Lines base = GeometryShape({{"0 0 0"}, {"0 1 0", "0 1 0", "1 0 0"}, {{0, 2}}, {{2, 1}}});
  ASSERT_TRUE(PlanNormalMerge(base, 0));
  Lines wrapped = base;
  wrapped.erase(wrapped.begin() + 12);
  AppendWrapped(wrapped, "\t\tvector ( 0 1 0." + std::string(210, '0') + " )");
  std::rotate(wrapped.begin() + 12, wrapped.end() - 2, wrapped.end());
  Lines extra = base;
  extra.insert(extra.begin() + 14, "\t\tvector ( 0 0 1 )");
  Lines shared = base;
  shared[12] = "\t\tvector ( 0 1 0 ) vector ( 0 0 1 )";
  for (const auto& [lines, line] : {std::pair{wrapped, 13}, {extra, 15}, {shared, 13}}) {
    ASSERT_GT(lines.size(), 14u);
    try {
      PlanNormalMerge(lines, 0);
      ADD_FAILURE() << "accepted a block whose line " << line << " is not an entry";
    } catch (const Error& e) {
      const std::string text = MessageString(e.message(), Language::German);
      EXPECT_EQ(text.rfind("Zeile " + std::to_string(line) + ": ", 0), 0u) << text;
    }
  }
}

TEST(NormalMerge, RefusesReferencesItCannotRenumber) {
  Lines base = GeometryShape({{"0 0 0"}, {"0 1 0", "0 1 0"}, {{0, 1}}, {{1, 0}}});
  auto plan = PlanNormalMerge(base, 0);
  ASSERT_TRUE(plan);
  ASSERT_NO_THROW(CheckNormalRewrite(base, *plan));
  std::size_t list = 0;
  while (!Contains(base[list], "normal_idxs")) ++list;
  std::size_t vertex = 0;
  while (!Contains(base[vertex], "vertex ")) ++vertex;
  auto refused = [&](std::size_t index, const std::string& text, const char* why) {
    Lines l = base;
    l[index] = text;
    const Lines before = l;
    EXPECT_THROW(CheckNormalRewrite(l, *plan), Error) << why;
    EXPECT_THROW(BuildNormalMerge(l, *plan), Error) << why;
    EXPECT_EQ(l, before);
  };
  refused(vertex, "\t\t\t\t\tvertex ( 00000000 0 2 ff969696 ff808080", "normal number not below N");
  refused(list, "\t\t\t\t\t\tnormal_idxs ( 2 1 3 7 3 )", "list reference not below N");
  refused(list, "\t\t\t\t\t\tnormal_idxs ( 3 1 3 0 3 )", "count exceeds the pairs");
  refused(list, "\t\t\t\t\t\tnormal_idxs ( 2 1 3 0 )", "second member missing");
  refused(list, "\t\t\t\t\t\tnormal_idxs ( zwei 1 3 )", "count not an integer");
  refused(list + 1, "\t\t\t\t\t\tvertex ( 00000000 0 1 ff969696 ff808080", "vertex line right after a list");
  // A list at the very end of the document that wants more lines.
  Lines tail = base;
  tail.push_back("normal_idxs ( 2 1 3");
  EXPECT_THROW(CheckNormalRewrite(tail, *plan), Error);
}

// ---- The window -------------------------------------------------------------

TEST(NormalenButton, AsksWithItsOwnTextsAndDisablesOnlyItsButton) {
  FormFixture f;
  f.form->ShapeLines = GeometryShape({{"0 0 0"}, {"0 1 0", "0 1 0", "0 1 0"}, {{0, 2}}, {{2}}});
  f.form->NormalTolerance = 0.0001L;
  f.platform.answers.push_back(MsgResult::Yes);
  ASSERT_TRUE(f.form->Dispatch([&] { f.form->NormalenButtonClick(); }));
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].text, "2 " + f.form->LanguageText(66) + " 0.0001. " + f.form->LanguageText(64));
  EXPECT_FALSE(f.form->NormalenButton.Enabled);
  EXPECT_TRUE(f.form->PunkteButton.Enabled);
  EXPECT_EQ(VertexNormals(f.form->ShapeLines), (std::vector<int32_t>{0}));
  EXPECT_EQ(f.form->Label2.Caption, std::to_string(f.form->ShapeLines.size()) + " " + f.form->LanguageText(22));

  FormFixture g;
  g.form->ShapeLines = GeometryShape({{"0 0 0"}, {"0 1 0", "1 0 0"}, {{0, 1}}, {}});
  g.form->Dispatch([&] { g.form->NormalenButtonClick(); });
  ASSERT_EQ(g.platform.messages.size(), 1u);
  EXPECT_EQ(g.platform.messages[0].kind, MsgKind::Information);
  EXPECT_EQ(g.platform.messages[0].text, g.form->LanguageText(67));
  EXPECT_TRUE(g.form->NormalenButton.Enabled);
}

// ---- Real shapes ------------------------------------------------------------

TEST(NormalMergeCorpus, MergesEveryTextShapeAsTheBackwardScanDoes) {
  auto shapes = CorpusTextShapes();
  if (shapes.empty()) GTEST_SKIP() << NoCorpusShapes("corpus") << " in UTF-16";
  for (const auto& shape : shapes) {
    for (long double tol : {0.0L, Parsed("0.001")}) {
      SCOPED_TRACE(shape.name + ", tolerance " + FormatGeneral(tol, '.'));
      auto plan = PlanNormalMerge(shape.lines, tol);
      ASSERT_TRUE(plan);
      std::vector<Coords> coords;
      for (const auto& e : plan->MergeTable) coords.push_back({e.X, e.Y, e.Z});
      const ReferenceMergeResult expected = ReferenceMerge(coords, tol, true);
      ASSERT_EQ(plan->K, expected.K);
      for (std::size_t i = 0; i < coords.size(); ++i) ASSERT_EQ(plan->MergeTable[i].NewIndex, expected.newIndex[i]);

      const Lines out = BuildNormalMerge(shape.lines, *plan);
      ASSERT_EQ(out.size(), shape.lines.size() - static_cast<std::size_t>(plan->N - plan->K));
      // The merged shape hangs together as well as the original did.
      const auto problems = CheckShapeStructure(out);
      EXPECT_EQ(problems.size(), CheckShapeStructure(shape.lines).size()) << (problems.empty() ? "" : problems[0]);
      EXPECT_EQ(TokensAfterParen(out[plan->header])[0], std::to_string(plan->K));
      // Every reference, vertex or list, points to the new number of its old
      // normal; with tolerance 0 that normal has the same components.
      for (auto read : {VertexNormals, ListReferences}) {
        const std::vector<int32_t> before = read(shape.lines), after = read(out);
        ASSERT_EQ(before.size(), after.size());
        for (std::size_t r = 0; r < before.size(); ++r) {
          ASSERT_EQ(after[r], plan->MergeTable[before[r]].NewIndex);
          ASSERT_LT(after[r], plan->K);
        }
      }
      int32_t kept = 0;
      for (int32_t s = 0; s < plan->N; ++s) {
        if (plan->MergeTable[s].Kept) {
          EXPECT_EQ(out[plan->header + 1 + kept++], shape.lines[plan->header + 1 + s]);
        }
      }
    }
  }
}
