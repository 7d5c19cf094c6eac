#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <functional>
#include <limits>
#include <random>

#include "document/shape_file.h"
#include "reference_merge.h"
#include "shape_checker.h"
#include "synthetic_shape.h"
#include "test_env.h"
#include "tools/animation_strip.h"
#include "tools/material_fix.h"
#include "tools/merge_index.h"
#include "tools/normal_merge.h"
#include "tools/point_merge.h"
#include "ui/texts/messages.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kTiny = std::numeric_limits<long double>::denorm_min();

// Runs the index and the literal scan on the same entries and compares
// every number.
void ExpectSameAsLiteral(const std::vector<Coords>& coords, long double tolerance, MergeKind kind,
                         const std::string& what) {
  std::vector<TMergeEntry> table(coords.size());
  for (std::size_t i = 0; i < coords.size(); ++i) {
    table[i].X = coords[i][0];
    table[i].Y = coords[i][1];
    table[i].Z = coords[i][2];
  }
  const int32_t k = NumberMergeEntries(table, tolerance, kind);
  const ReferenceMergeResult expected = ReferenceMerge(coords, tolerance, kind == MergeKind::Normals);
  ASSERT_EQ(k, expected.K) << what;
  for (std::size_t i = 0; i < coords.size(); ++i) {
    ASSERT_EQ(table[i].Kept, expected.kept[i]) << what << ", entry " << i;
    ASSERT_EQ(table[i].NewIndex, expected.newIndex[i]) << what << ", entry " << i;
  }
}

std::vector<Coords> Uniform(std::mt19937_64& rng, int n, long double lo, long double hi) {
  std::uniform_real_distribution<long double> d(lo, hi);
  std::vector<Coords> c(n);
  for (auto& p : c) p = {d(rng), d(rng), d(rng)};
  return c;
}

// Points scattered around a few centres, with exact duplicates among them.
std::vector<Coords> Clustered(std::mt19937_64& rng, int n, long double tolerance) {
  std::uniform_real_distribution<long double> centre(-5, 5), noise(-1.5L * tolerance, 1.5L * tolerance);
  std::vector<Coords> centres(40);
  for (auto& c : centres) c = {centre(rng), centre(rng), centre(rng)};
  std::vector<Coords> c;
  std::uniform_int_distribution<int> pick(0, 39), dup(0, 9);
  for (int i = 0; i < n; ++i) {
    if (!c.empty() && dup(rng) < 3) {
      c.push_back(c[std::uniform_int_distribution<std::size_t>(0, c.size() - 1)(rng)]);
      continue;
    }
    const Coords& m = centres[pick(rng)];
    c.push_back({m[0] + noise(rng), m[1] + noise(rng), m[2] + noise(rng)});
  }
  return c;
}

// Values on a lattice of the tolerance and next to the cell borders of the
// index (multiples of twice the tolerance), one unit in the last place
// either side.
std::vector<Coords> BorderValues(std::mt19937_64& rng, int n, long double tolerance) {
  std::vector<long double> values;
  for (int m = -4; m <= 4; ++m) {
    long double v = m * tolerance;
    values.push_back(v);
    values.push_back(std::nextafter(v, kInf));
    values.push_back(std::nextafter(v, -kInf));
    long double b = m * 2 * tolerance;
    values.push_back(std::nextafter(b, kInf));
    values.push_back(std::nextafter(b, -kInf));
  }
  std::uniform_int_distribution<std::size_t> pick(0, values.size() - 1);
  std::vector<Coords> c(n);
  for (auto& p : c) p = {values[pick(rng)], values[pick(rng)], values[pick(rng)]};
  return c;
}

std::vector<Coords> FromSet(std::mt19937_64& rng, int n, const std::vector<long double>& values) {
  std::uniform_int_distribution<std::size_t> pick(0, values.size() - 1);
  std::vector<Coords> c(n);
  for (auto& p : c) p = {values[pick(rng)], values[pick(rng)], values[pick(rng)]};
  return c;
}

long double Parsed(const char* text) { return *ParseFloat(text, '.'); }

}  // namespace

TEST(MergeIndex, AgreesWithTheBackwardScanOnRandomAndClusteredPoints) {
  std::mt19937_64 rng(7);
  for (long double tol : {0.0L, 0.001L, 0.05L, 0.3L}) {
    ExpectSameAsLiteral(Uniform(rng, 1500, -1, 1), tol, MergeKind::Points, "uniform");
    ExpectSameAsLiteral(Clustered(rng, 1500, tol == 0 ? 0.01L : tol), tol, MergeKind::Points, "clustered");
  }
}

TEST(MergeIndex, AgreesWithTheBackwardScanOnValuesOneToleranceApart) {
  std::mt19937_64 rng(11);
  // 0.25 is exact in binary; 0.1 and 0.001 are not, so differences of
  // lattice neighbours round either side of the tolerance.
  for (long double tol : {0.25L, 0.1L, 0.001L, Parsed("0.001"), Parsed("1e-7")})
    ExpectSameAsLiteral(BorderValues(rng, 1200, tol), tol, MergeKind::Points, "border values");
  // Decimal texts as a shape holds them: 0.3 - 0.2 against a tolerance of 0.1.
  std::vector<long double> decimals;
  for (int k = -20; k <= 20; ++k) decimals.push_back(Parsed(std::to_string(k / 10.0).c_str()));
  ExpectSameAsLiteral(FromSet(rng, 1200, decimals), Parsed("0.1"), MergeKind::Points, "decimals");
}

TEST(MergeIndex, ChainsTakeTheNumberOfTheNearestEarlierMatch) {
  // Runs of points 0.6 tolerances apart, shuffled between runs: every point
  // takes the number of the chain's head, even far from it.
  std::mt19937_64 rng(3);
  std::vector<Coords> c;
  for (int chain = 0; chain < 30; ++chain)
    for (int i = 0; i < 40; ++i) c.push_back({chain * 100.0L + i * 0.6L, chain * 1.0L, 0});
  ExpectSameAsLiteral(c, 1, MergeKind::Points, "chains in order");
  std::shuffle(c.begin(), c.end(), rng);
  ExpectSameAsLiteral(c, 1, MergeKind::Points, "chains shuffled");
}

TEST(MergeIndex, AgreesWithTheBackwardScanOnZerosNaNsAndInfinities) {
  std::mt19937_64 rng(5);
  const std::vector<long double> zeros{0.0L, -0.0L, kTiny, -kTiny, 3 * kTiny, 1e-4940L};
  for (long double tol : {0.0L, kTiny, 2 * kTiny, 1e-4000L})
    ExpectSameAsLiteral(FromSet(rng, 800, zeros), tol, MergeKind::Points, "zeros");
  const std::vector<long double> odd{0.0L, -0.0L, 1.0L, 1.5L, kNaN, kInf, -kInf, LDBL_MAX, -LDBL_MAX};
  for (long double tol : {0.0L, 0.5L, 1.0L, 1e4000L, LDBL_MAX, kInf})
    ExpectSameAsLiteral(FromSet(rng, 800, odd), tol, MergeKind::Points, "NaN and infinities");
}

TEST(MergeIndex, AgreesWithTheBackwardScanForHugeAndTinyTolerances) {
  std::mt19937_64 rng(9);
  for (long double tol : {1e300L, 1e4000L, LDBL_MAX, kInf}) {
    ExpectSameAsLiteral(Uniform(rng, 600, -1e4000L, 1e4000L), tol, MergeKind::Points, "huge");
    ExpectSameAsLiteral(Uniform(rng, 600, -LDBL_MAX, LDBL_MAX), tol, MergeKind::Points, "extreme");
  }
  // Tolerances far below the spacing of the coordinates: cell numbers must
  // not overflow, and the nearly equal values must still be found.
  for (long double tol : {1e-30L, 1e-4000L, kTiny}) {
    auto c = Uniform(rng, 600, -1e20L, 1e20L);
    for (int i = 0; i < 300; ++i) {
      Coords p = c[std::uniform_int_distribution<std::size_t>(0, c.size() - 1)(rng)];
      p[0] = std::nextafter(p[0], kInf);
      c.push_back(p);
    }
    ExpectSameAsLiteral(c, tol, MergeKind::Points, "tiny tolerance");
  }
  // Coordinates of very different sizes in one block.
  std::vector<long double> mixed;
  for (int k = 0; k < 20; ++k) {
    mixed.push_back(k * 1e-30L);
    mixed.push_back(1e10L + k);
  }
  ExpectSameAsLiteral(FromSet(rng, 900, mixed), 1e-29L, MergeKind::Points, "mixed sizes");
  ExpectSameAsLiteral(Uniform(rng, 300, -1, 1), -1, MergeKind::Points, "negative tolerance");
  ExpectSameAsLiteral(Uniform(rng, 300, -1, 1), kNaN, MergeKind::Points, "NaN tolerance");
}

// ---- The document -----------------------------------------------------------

TEST(PointMerge, AChainMergesIntoTheFirstPoint) {
  Lines lines = GeometryShape({{"0 0 0", "0.6 0 0", "1.2 0 0"}, {"0 1 0"}, {{0, 0}, {1, 0}, {2, 0}}, {}});
  auto plan = PlanPointMerge(lines, 1);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->N, 3);
  EXPECT_EQ(plan->K, 1);
  for (const auto& e : plan->MergeTable) EXPECT_EQ(e.NewIndex, 0);
  Lines out = BuildPointMerge(lines, *plan);
  for (const auto& l : out) {
    if (Contains(l, "vertex ")) {
      EXPECT_EQ(TokensAfterParen(l)[1], "0");
    }
  }
}

TEST(PointMerge, RewritesTheBlockAndRenumbersEveryVertex) {
  Lines lines = GeometryShape({{"1 2 3", "4 5 6", "1 2 3", "4 5 6"}, {"0 1 0"}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {}});
  // The header keeps every byte around its count.
  const int header = 4;
  lines[header] = "\tpoints (  4  ";
  auto plan = PlanPointMerge(lines, 0);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->K, 2);
  std::vector<int32_t> numbers;
  for (const auto& e : plan->MergeTable) numbers.push_back(e.NewIndex);
  EXPECT_EQ(numbers, (std::vector<int32_t>{0, 1, 0, 1}));

  Lines out = BuildPointMerge(lines, *plan);
  ASSERT_EQ(out.size(), lines.size() - 2);
  EXPECT_EQ(out[header], "\tpoints (  2  ");
  EXPECT_EQ(out[header + 1], lines[header + 1]);
  EXPECT_EQ(out[header + 2], lines[header + 2]);
  EXPECT_EQ(out[header + 3], lines[header + 5]);  // the line after the block
  std::vector<std::string> refs;
  for (std::size_t i = 0; i < out.size(); ++i)
    if (Contains(out[i], "vertex ")) {
      refs.push_back(TokensAfterParen(out[i])[1]);
      // Everything but the number stays, the normal number included.
      EXPECT_EQ(out[i].substr(out[i].find(" ff")), " ff969696 ff808080");
    }
  EXPECT_EQ(refs, (std::vector<std::string>{"0", "1", "0", "1"}));
  // The input is left as it was.
  EXPECT_EQ(lines[header], "\tpoints (  4  ");
}

TEST(PointMerge, NegativeZeroEqualsZeroAndDifferencesOfExactlyTheToleranceMerge) {
  Lines lines = GeometryShape({{"0 0 0", "-0 0 -0", "0.5 0.25 0", "0 0 0.75"}, {"0 1 0"}, {{3, 0}}, {}});
  auto exact = PlanPointMerge(lines, 0);
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->K, 3);
  EXPECT_EQ(exact->MergeTable[1].Kept, 0);
  auto quarter = PlanPointMerge(lines, 0.25L);
  ASSERT_TRUE(quarter);
  EXPECT_EQ(quarter->MergeTable[2].Kept, 1);  // 0.5 apart in x
  auto half = PlanPointMerge(lines, 0.5L);
  ASSERT_TRUE(half);
  EXPECT_EQ(half->MergeTable[2].Kept, 0);  // exactly 0.5 and 0.25 apart
  EXPECT_EQ(half->MergeTable[3].Kept, 1);  // 0.75 apart in z
}

TEST(PointMerge, FindsNoBlockWhereThereIsNone) {
  Lines noBlock{"SIMISA@@", "shape (", ")"};
  EXPECT_FALSE(PlanPointMerge(noBlock, 0));
  // Line 0 is never examined, and a header on the last line has no entries.
  Lines first{"points ( 1", "point ( 0 0 0 )", ")"};
  EXPECT_FALSE(PlanPointMerge(first, 0));
  Lines last{"SIMISA@@", "shape (", "points ( 0"};
  EXPECT_FALSE(PlanPointMerge(last, 0));
  // A single line cannot hold a shape: refused rather than passed over.
  EXPECT_THROW(PlanPointMerge(Lines{"points ( 0"}, 0), Error);
}

TEST(PointMerge, RefusesABlockItCannotRead) {
  Lines base = GeometryShape({{"0 0 0", "1 1 1"}, {"0 1 0"}, {{0, 0}, {1, 0}}, {}});
  const int header = 4;
  auto with = [&](int index, const std::string& text) {
    Lines l = base;
    l[index] = text;
    return l;
  };
  EXPECT_THROW(PlanPointMerge(with(header, "\tpoints ( zwei"), 0), Error);
  EXPECT_THROW(PlanPointMerge(with(header, "\tpoints ( 99999999999"), 0), Error);
  EXPECT_THROW(PlanPointMerge(with(header, "\tpoints ( -2"), 0), Error);
  EXPECT_THROW(PlanPointMerge(with(header + 1, "\t\tpoint ( 0,5 0 0 )"), 0), Error);
  EXPECT_THROW(PlanPointMerge(with(header + 2, "\t\tpoint ( 1 1 )"), 0), Error);
  // A count running past the end of the document.
  Lines shortDoc{"SIMISA@@", "points ( 3", "point ( 0 0 0 )", "point ( 0 0 0 )"};
  try {
    PlanPointMerge(shortDoc, 0);
    FAIL() << "a block longer than the document was read";
  } catch (const Error& e) {
    const std::string text = MessageString(e.message(), Language::German);
    EXPECT_NE(text.find("endet"), std::string::npos) << text;
  }
  // An empty block is read and merges nothing.
  auto empty = PlanPointMerge(Lines{"SIMISA@@", "points ( 0", ")"}, 0);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->N - empty->K, 0);
}

namespace {

// A block is read by entries, not by lines: the rewrites keep and drop whole
// lines, so a block whose lines are not exactly its entries is refused,
// naming the line where the layout breaks.
struct LayoutCase {
  const char* what;
  std::function<Lines()> make;
  int line;  // 1-based line the message names
};

Lines SevenPoints() {
  return GeometryShape({{"0 0 0", "1 0 0", "2 0 0", "0 0 0", "1 0 0", "3 0 0", "4 0 0"},
                        {"0 1 0"},
                        {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}},
                        {}});
}

// Replaces line `index` by the lines the file reader makes of `text`.
Lines WithWrapped(Lines lines, int index, const std::string& text) {
  Lines wrapped;
  AppendWrapped(wrapped, text);
  lines.erase(lines.begin() + index);
  lines.insert(lines.begin() + index, wrapped.begin(), wrapped.end());
  return lines;
}

}  // namespace

class PointMergeLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PointMergeLayout, RefusesNamingTheLine) {
  const Lines lines = GetParam().make();
  const Lines before = lines;
  try {
    PlanPointMerge(lines, 0);
    FAIL() << GetParam().what << ": accepted";
  } catch (const Error& e) {
    const std::string text = MessageString(e.message(), Language::German);
    EXPECT_EQ(text.rfind("Zeile " + std::to_string(GetParam().line) + ": ", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("Es wurde nichts geändert.")) << text;
  }
  EXPECT_EQ(lines, before);
}

// Header on line 5 (index 4), entries on lines 6..12, closing line 13.
INSTANTIATE_TEST_SUITE_P(Cases, PointMergeLayout,
                         ::testing::Values(LayoutCase{"an entry wrapped on reading",
                                                      [] {
                                                        const std::string x = "1." + std::string(200, '0') + "1";
                                                        Lines l = WithWrapped(SevenPoints(), 7,
                                                                              "\t\tpoint ( 2 0 " + x + " )");
                                                        EXPECT_EQ(l.size(), SevenPoints().size() + 1);
                                                        return l;
                                                      },
                                                      8},
                                           LayoutCase{"one entry line more than the count",
                                                      [] {
                                                        Lines l = SevenPoints();
                                                        l.insert(l.begin() + 12, "\t\tpoint ( 9 9 9 )");
                                                        return l;
                                                      },
                                                      13},
                                           LayoutCase{"one entry line fewer than the count",
                                                      [] {
                                                        Lines l = SevenPoints();
                                                        l[4] = "\tpoints ( 8";
                                                        return l;
                                                      },
                                                      13},
                                           LayoutCase{"two entries on one line",
                                                      [] {
                                                        Lines l = SevenPoints();
                                                        l[6] = "\t\tpoint ( 1 0 0 ) point ( 5 5 5 )";
                                                        return l;
                                                      },
                                                      7},
                                           LayoutCase{"an entry on the header line",
                                                      [] {
                                                        Lines l = SevenPoints();
                                                        l[4] = "\tpoints ( 7 point ( 5 5 5 )";
                                                        return l;
                                                      },
                                                      5},
                                           LayoutCase{"a normal among the points",
                                                      [] {
                                                        Lines l = SevenPoints();
                                                        l[9] = "\t\tvector ( 0 0 0 )";
                                                        return l;
                                                      },
                                                      10},
                                           LayoutCase{"a block the document ends in",
                                                      [] {
                                                        return Lines{"SIMISA@@", "points ( 1", "point ( 0 0 0 )"};
                                                      },
                                                      2}),
                         [](const ::testing::TestParamInfo<LayoutCase>& p) {
                           return "Case" + std::to_string(p.index);
                         });

TEST(PointMerge, AnEmptyBlockMayCloseOnItsHeaderAndEntryWordsTakeAnyCase) {
  auto empty = PlanPointMerge(Lines{"SIMISA@@", "\tpoints ( 0 )", "\tuv_points ( 0 )", ")"}, 0);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->N, 0);
  auto upper = PlanPointMerge(Lines{"SIMISA@@", "points ( 2", "POINT ( 1 2 3 )", "Point ( 1 2 3 )", ")"}, 0);
  ASSERT_TRUE(upper);
  EXPECT_EQ(upper->K, 1);
}

TEST(PointMerge, RefusesVertexLinesItCannotRenumber) {
  Lines base = GeometryShape({{"0 0 0", "0 0 0", "1 1 1"}, {"0 1 0"}, {{0, 0}, {1, 0}, {2, 0}}, {}});
  auto plan = PlanPointMerge(base, 0);
  ASSERT_TRUE(plan);
  ASSERT_NO_THROW(CheckPointRewrite(base, *plan));
  std::size_t vertex = 0;
  while (!Contains(base[vertex], "vertex ")) ++vertex;
  auto expectRefused = [&](Lines lines, const char* why) {
    const Lines before = lines;
    EXPECT_THROW(CheckPointRewrite(lines, *plan), Error) << why;
    EXPECT_THROW(BuildPointMerge(lines, *plan), Error) << why;
    EXPECT_EQ(lines, before);
  };
  Lines outside = base;
  outside[vertex] = "\t\t\t\t\tvertex ( 00000000 3 0 ff969696 ff808080";  // N is 3
  expectRefused(outside, "point number not below N");
  Lines negative = base;
  negative[vertex] = "\t\t\t\t\tvertex ( 00000000 -1 0 ff969696 ff808080";
  expectRefused(negative, "negative point number");
  Lines text = base;
  text[vertex] = "\t\t\t\t\tvertex ( 00000000 x 0 ff969696 ff808080";
  expectRefused(text, "point number not an integer");
  // A vertex written on one line: the next vertex line would be passed over.
  Lines oneLine = base;
  oneLine[vertex + 1] = "\t\t\t\t\tvertex ( 00000000 2 0 ff969696 ff808080 vertex_uvs ( 1 0 ) )";
  expectRefused(oneLine, "consecutive vertex lines");
}

// A refusal is put together from a fault and the notes around it (its line,
// its animation, what became of the document); it reads as one sentence in
// each language.
TEST(RepairRefusals, ReadInFullInBothLanguages) {
  const Lines twoVertexLines{"SIMISA@@",
                             "points ( 2",
                             "point ( 1 2 3 )",
                             "point ( 1 2 3 )",
                             ")",
                             "vertex ( 00000000 1 0 )",
                             "vertex ( 00000000 0 0 )"};
  const Lines noSuchPoint{"SIMISA@@",          "points ( 2", "point ( 1 2 3 )",
                          "point ( 1 2 3 )",   ")",          "vertex ( 00000000 5 0 )",
                          "vertex_uvs ( 1 0 )"};
  const Lines hexFlags{
      "SIMISA", "vtx_states ( 1", "vtx_state ( 00000000 0 -6 0 00000002 )", ")", "sub_object_header ( 0000a400 -1",
      ")"};
  const Lines cutAnimation{"SIMISA", "animations ( 1", "anim_node WHEEL1 (", "controllers ( 1"};
  struct Case {
    std::function<void()> run;
    const char* german;
    const char* english;
  };
  const Case cases[] = {
      {[] { PlanPointMerge(Lines{"points ( 0"}, 0); },
       "Die Datei besteht nur aus einer Zeile und enthält keinen Block \"points\". Es wurde nichts geändert.",
       "The file consists of a single line and contains no block \"points\". Nothing was changed."},
      {[&] { CheckPointRewrite(twoVertexLines, *PlanPointMerge(twoVertexLines, 0)); },
       "Zeile 7: Zwei vertex-Zeilen folgen direkt aufeinander; dieses Format kann beim Zusammenfassen nicht "
       "umnummeriert werden. Es wurde nichts geändert.",
       "Line 7: Two vertex lines follow each other directly; this layout cannot be renumbered when merging. "
       "Nothing was changed."},
      {[&] { CheckPointRewrite(noSuchPoint, *PlanPointMerge(noSuchPoint, 0)); },
       "Zeile 6: Punkt 5 gibt es nicht, der Block hat nur 2 Einträge. Es wurde nichts geändert.",
       "Line 6: There is no point 5; the block has only 2 entries. Nothing was changed."},
      {[&] { FixTsmMaterials(hexFlags, {}); },
       "Zeile 5: Das Flag-Wort \"0000a400\" des sub_object_header ist keine Dezimalzahl; es wurde nichts korrigiert.",
       "Line 5: The flags word \"0000a400\" of the sub_object_header is not a decimal number; nothing was "
       "corrected."},
      {[&] {
         StripSurplusAnimations(cutAnimation, 1, {{"WHEEL1", ""}});
       },
       "Animation WHEEL1: Die Controller laufen über das Ende der Datei hinaus. Es wurde nichts geändert.",
       "Animation WHEEL1: The controllers run past the end of the file. Nothing was changed."},
  };
  for (const Case& c : cases) {
    try {
      c.run();
      ADD_FAILURE() << "accepted: " << c.german;
    } catch (const Error& e) {
      EXPECT_EQ(MessageString(e.message(), Language::German), c.german);
      EXPECT_EQ(MessageString(e.message(), Language::English), c.english);
    }
  }
}

TEST(PointMerge, RenumbersOnlyVertexLinesAfterTheBlockTheFirstOneRightAfterIt) {
  const Lines lines{"SIMISA@@@@@@@@@@JINX0s1t______",
                    "shape (",
                    "\tvertex ( 00000000 2 0 )",  // before the block: not a reference into it yet
                    "\tpoints ( 3",
                    "\t\tpoint ( 1 2 3 )",
                    "\t\tpoint ( 1 2 3 )",
                    "\t\tpoint ( 4 5 6 )",
                    "\t)",
                    "\tvertex ( 00000000 2 0 )",  // the line right after the block
                    "\t\tvertex_uvs ( 1 0 )",
                    "\tvertex (\t00000000\t1   0 )",
                    "\t\tvertex_uvs ( 1 0 )",
                    ")"};
  auto plan = PlanPointMerge(lines, 0);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->K, 2);
  EXPECT_EQ(BuildPointMerge(lines, *plan),
            (Lines{"SIMISA@@@@@@@@@@JINX0s1t______", "shape (", "\tvertex ( 00000000 2 0 )", "\tpoints ( 2",
                   "\t\tpoint ( 1 2 3 )", "\t\tpoint ( 4 5 6 )", "\t)", "\tvertex ( 00000000 1 0 )",
                   "\t\tvertex_uvs ( 1 0 )", "\tvertex (\t00000000\t0   0 )", "\t\tvertex_uvs ( 1 0 )", ")"}));
}

TEST(PointMerge, HasNoFixedLimitOnTheBlock) {
  GeometryShapeRecipe recipe;
  for (int i = 0; i < 70000; ++i) recipe.points.push_back(std::to_string(i % 50000) + " 0 0");
  recipe.normals = {"0 1 0"};
  recipe.vertices = {{69999, 0}};
  Lines lines = GeometryShape(recipe);
  auto plan = PlanPointMerge(lines, 0);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->K, 50000);
  Lines out = BuildPointMerge(lines, *plan);
  for (const auto& l : out) {
    if (Contains(l, "vertex ")) {
      EXPECT_EQ(TokensAfterParen(l)[1], "19999");
    }
  }
}

// ---- The window -------------------------------------------------------------

namespace {

struct PointForm : FormFixture {
  PointForm() {
    form->ShapeLines = GeometryShape(
        {{"0 0 0", "0.0005 0 0", "1 1 1", "1 1 1.0005"}, {"0 1 0"}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {}});
    form->Label2.Caption = "vorher";
    platform.cursor = 7;
  }
  std::string LineCount() { return std::to_string(form->ShapeLines.size()) + " " + form->LanguageText(22); }
  bool Run() {
    return form->Dispatch([&] { form->PunkteButtonClick(); });
  }
};

}  // namespace

TEST(PunkteButton, AsksWithCountAndToleranceAndRewritesOnYes) {
  PointForm f;
  f.form->PointTolerance = Parsed("0.001");
  const Lines before = f.form->ShapeLines;
  f.platform.answers.push_back(MsgResult::Yes);
  ASSERT_TRUE(f.Run());
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Confirmation);
  EXPECT_EQ(f.platform.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(f.platform.messages[0].text, "2 " + f.form->LanguageText(63) + " 0.001. " + f.form->LanguageText(64));
  EXPECT_FALSE(f.form->LanguageText(63).empty());
  EXPECT_EQ(f.platform.messages[0].identity, MsgIdentity::OfLanguageText(63));
  EXPECT_EQ(f.form->ShapeLines.size(), before.size() - 2);
  EXPECT_FALSE(f.form->PunkteButton.Enabled);
  EXPECT_TRUE(f.form->NormalenButton.Enabled);
  EXPECT_TRUE(f.form->Changed);
  EXPECT_EQ(f.form->SpeichernBitBtn.FontColor, clRed);
  EXPECT_EQ(f.form->Label2.Caption, f.LineCount());
  EXPECT_EQ(f.platform.cursor, 7);
  EXPECT_EQ(f.platform.cursorHistory.front(), crHourGlass);
}

TEST(PunkteButton, NoKeepsDocumentAndButtonButShowsTheLineCount) {
  PointForm f;
  f.form->PointTolerance = Parsed("0.001");
  const Lines before = f.form->ShapeLines;
  f.platform.answers.push_back(MsgResult::No);
  f.Run();
  EXPECT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.form->ShapeLines, before);
  EXPECT_TRUE(f.form->PunkteButton.Enabled);
  EXPECT_FALSE(f.form->Changed);
  EXPECT_EQ(f.form->Label2.Caption, f.LineCount());
}

TEST(PunkteButton, SaysSoWhenNothingMerges) {
  PointForm f;  // tolerance 0: no two points are equal
  const Lines before = f.form->ShapeLines;
  f.Run();
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Information);
  EXPECT_EQ(f.platform.messages[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(f.platform.messages[0].text, f.form->LanguageText(65));
  EXPECT_EQ(f.form->ShapeLines, before);
  EXPECT_TRUE(f.form->PunkteButton.Enabled);
  EXPECT_EQ(f.form->Label2.Caption, f.LineCount());
}

TEST(PunkteButton, EndsSilentlyWithoutABlockAndDoesNothingOnAnEmptyDocument) {
  PointForm f;
  f.form->ShapeLines = {"SIMISA@@", "shape (", ")"};
  f.Run();
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.form->Label2.Caption, "vorher");
  EXPECT_EQ(f.platform.cursor, 7);
  f.form->ShapeLines.clear();
  f.platform.cursorHistory.clear();
  f.Run();
  EXPECT_TRUE(f.platform.cursorHistory.empty());
  EXPECT_TRUE(f.platform.messages.empty());
}

TEST(PunkteButton, RefusesBeforeAskingAndKeepsTheDocument) {
  PointForm f;
  f.form->PointTolerance = Parsed("0.001");
  for (auto& l : f.form->ShapeLines)
    if (Contains(l, "vertex ( 00000000 3 ")) l = "\t\t\t\t\tvertex ( 00000000 4 0 ff969696 ff808080";
  const Lines before = f.form->ShapeLines;
  EXPECT_FALSE(f.Run());
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Error);
  EXPECT_NE(f.platform.messages[0].text.find("Punkt 4"), std::string::npos) << f.platform.messages[0].text;
  EXPECT_EQ(f.form->ShapeLines, before);
  EXPECT_TRUE(f.form->PunkteButton.Enabled);
  EXPECT_FALSE(f.form->Changed);
  EXPECT_EQ(f.form->Label2.Caption, f.LineCount());
  EXPECT_EQ(f.platform.cursor, 7);
}

TEST(PunkteButton, ABadCountStopsBeforeTheStatusLineABadCoordinateAfterIt) {
  PointForm f;
  f.form->ShapeLines[4] = "\tpoints ( vier";
  EXPECT_FALSE(f.Run());
  EXPECT_EQ(f.form->Label2.Caption, "vorher");
  EXPECT_EQ(f.platform.cursor, 7);
  PointForm g;
  g.form->ShapeLines[5] = "\t\tpoint ( 0,5 0 0 )";
  const Lines before = g.form->ShapeLines;
  EXPECT_FALSE(g.Run());
  EXPECT_EQ(g.platform.messages.back().kind, MsgKind::Error);
  EXPECT_EQ(g.form->Label2.Caption, g.LineCount());
  EXPECT_EQ(g.form->ShapeLines, before);
}

TEST(PunkteButton, RefusesABlockWithMoreLinesThanEntriesBeforeAsking) {
  PointForm f;
  f.form->ShapeLines = SevenPoints();
  f.form->ShapeLines.insert(f.form->ShapeLines.begin() + 12, "\t\tpoint ( 9 9 9 )");
  const Lines before = f.form->ShapeLines;
  f.platform.answers.push_back(MsgResult::Yes);
  EXPECT_FALSE(f.Run());
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.platform.messages[0].text.rfind("Zeile 13: ", 0), 0u) << f.platform.messages[0].text;
  EXPECT_EQ(f.form->ShapeLines, before);
  EXPECT_FALSE(f.form->Changed);
}

TEST(ToleranceEdits, AcceptOnlyNumbersWithTheSystemSeparator) {
  FormFixture f;
  const std::string error = "Bitte positive Zahl eintragen, Dezimaltrennzeichen wie im Betriebssystem eingestellt.";
  f.platform.decimalSeparator = ',';
  f.form->DeltaPointsEdit.Text = "0,001";
  f.form->DeltaPointsEditExit();
  EXPECT_EQ(f.form->PointTolerance, Parsed("0.001"));
  EXPECT_TRUE(f.platform.messages.empty());
  // A point where the system uses a comma, and an empty edit: refused, the
  // last good value stays and the focus goes back.
  for (const char* text : {"0.5", ""}) {
    f.form->DeltaPointsEdit.Text = text;
    f.form->DeltaPointsEditExit();
    EXPECT_EQ(f.form->PointTolerance, Parsed("0.001")) << text;
    ASSERT_FALSE(f.platform.messages.empty());
    EXPECT_EQ(f.platform.messages.back().kind, MsgKind::Error);
    EXPECT_EQ(f.platform.messages.back().text, error);
    EXPECT_EQ(f.platform.messages.back().identity,
              MsgIdentity::OfMessage(static_cast<int>(ToolsMsg::ToleranceInvalid)));
    EXPECT_EQ(f.platform.focusRequests.back(), "DeltaPointsEdit");
  }
  // A negative value is stored all the same, with the error.
  f.platform.Clear();
  f.form->DeltaNormalsEdit.Text = "-0,5";
  f.form->DeltaNormalsEditExit();
  EXPECT_EQ(f.form->NormalTolerance, -0.5L);
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].text, error);
  EXPECT_EQ(f.platform.focusRequests.back(), "DeltaNormalsEdit");
  // Zero is fine, and so is a point on a system that uses one.
  f.platform.Clear();
  f.platform.decimalSeparator = '.';
  f.form->DeltaNormalsEdit.Text = "0.25";
  f.form->DeltaNormalsEditExit();
  f.form->DeltaPointsEdit.Text = "0";
  f.form->DeltaPointsEditExit();
  EXPECT_EQ(f.form->NormalTolerance, 0.25L);
  EXPECT_EQ(f.form->PointTolerance, 0.0L);
  EXPECT_TRUE(f.platform.messages.empty());
}

// ---- Real shapes ------------------------------------------------------------

TEST(PointMergeCorpus, MergesEveryTextShapeAsTheBackwardScanDoes) {
  auto shapes = CorpusTextShapes();
  if (shapes.empty()) GTEST_SKIP() << NoCorpusShapes("corpus") << " in UTF-16";
  for (const auto& shape : shapes) {
    for (long double tol : {0.0L, Parsed("0.001")}) {
      SCOPED_TRACE(shape.name + ", tolerance " + FormatGeneral(tol, '.'));
      auto plan = PlanPointMerge(shape.lines, tol);
      ASSERT_TRUE(plan);
      std::vector<Coords> coords;
      for (const auto& e : plan->MergeTable) coords.push_back({e.X, e.Y, e.Z});
      const ReferenceMergeResult expected = ReferenceMerge(coords, tol, false);
      ASSERT_EQ(plan->K, expected.K);
      for (std::size_t i = 0; i < coords.size(); ++i) ASSERT_EQ(plan->MergeTable[i].NewIndex, expected.newIndex[i]);

      const Lines out = BuildPointMerge(shape.lines, *plan);
      ASSERT_EQ(out.size(), shape.lines.size() - static_cast<std::size_t>(plan->N - plan->K));
      // The merged shape hangs together as well as the original did.
      const auto problems = CheckShapeStructure(out);
      EXPECT_EQ(problems.size(), CheckShapeStructure(shape.lines).size()) << (problems.empty() ? "" : problems[0]);
      EXPECT_EQ(TokensAfterParen(out[plan->header])[0], std::to_string(plan->K));
      // Every vertex, in the same order, now names a point of the new block
      // whose coordinates are those of its old point's surviving entry.
      std::vector<std::string> oldVertices, newVertices;
      for (const auto& l : shape.lines)
        if (Contains(l, "vertex ")) oldVertices.push_back(l);
      for (const auto& l : out)
        if (Contains(l, "vertex ")) newVertices.push_back(l);
      ASSERT_EQ(oldVertices.size(), newVertices.size());
      std::vector<int32_t> firstOfNumber(plan->K, -1);
      for (int32_t s = 0; s < plan->N; ++s)
        if (plan->MergeTable[s].Kept) firstOfNumber[plan->MergeTable[s].NewIndex] = s;
      for (std::size_t v = 0; v < oldVertices.size(); ++v) {
        const int32_t oldP = ToInt32(TokensAfterParen(oldVertices[v])[1]);
        const int32_t newP = ToInt32(TokensAfterParen(newVertices[v])[1]);
        ASSERT_GE(newP, 0);
        ASSERT_LT(newP, plan->K);
        EXPECT_EQ(out[plan->header + 1 + newP], shape.lines[plan->header + 1 + firstOfNumber[newP]]);
        if (tol == 0) {
          const TMergeEntry& a = plan->MergeTable[oldP];
          const TMergeEntry& b = plan->MergeTable[firstOfNumber[newP]];
          EXPECT_TRUE(a.X == b.X && a.Y == b.Y && a.Z == b.Z) << "vertex " << v;
        }
      }
    }
  }
}

// Every UTF-16 shape of both folders has the one-entry-per-line layout: both
// merges read it and could rewrite it.
TEST(MergeCorpus, BothMergesReadEveryTextShapeOfBothFolders) {
  std::vector<std::string> files = FilesEndingWith(CorpusDir(), ".s");
  for (const auto& f : FilesEndingWith(CorpusTsmDir(), ".s")) files.push_back(f);
  int read = 0;
  for (const auto& path : files) {
    const std::string bytes = ReadBytes(path);
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) continue;
    SCOPED_TRACE(path);
    const Lines lines = DecodeShape(bytes).lines;
    std::optional<MergePlan> points, normals;
    ASSERT_NO_THROW(points = PlanPointMerge(lines, Parsed("0.001")));
    ASSERT_NO_THROW(normals = PlanNormalMerge(lines, Parsed("0.001")));
    ASSERT_TRUE(points && normals);
    EXPECT_NO_THROW(CheckPointRewrite(lines, *points));
    EXPECT_NO_THROW(CheckNormalRewrite(lines, *normals));
    ++read;
  }
  if (read == 0) GTEST_SKIP() << NoCorpusShapes("corpus") << " nor corpus-tsm in UTF-16";
}
