// The quality report's reader of hand-made LODs (bench/handmade_lods.h) on
// synthetic shapes with two distance levels: which shapes it counts, what
// it reads from each level, and its summary.
#include "handmade_lods.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "mesh_shape.h"
#include "test_env.h"

namespace lodsmith::test {
namespace {

// The lines of the level block that starts at `first` ("distance_level (")
// up to its closing bracket.
size_t LevelEnd(const Lines& lines, size_t first) {
  const size_t indent = lines[first].find_first_not_of('\t');
  for (size_t i = first + 1; i < lines.size(); ++i)
    if (lines[i].find_first_not_of('\t') == indent && lines[i].substr(indent) == ")") return i;
  return lines.size();
}

// A shape of one element, an n x n grid of unit squares, in two levels:
// the whole grid up to `distance`, then up to 2000 m the triangles
// `second` (three of the grid's vertices each).
Lines TwoLevelGrid(int n, const std::vector<int>& second, int distance) {
  MeshShapeRecipe recipe;
  MeshElement grid{"Grid", 0, {}, {}};
  AddGrid(grid, n);
  recipe.elements.push_back(grid);
  Lines lines = MeshShape(recipe);
  const auto level = std::find_if(lines.begin(), lines.end(),
                                  [](const std::string& l) { return l.find("distance_level (") != std::string::npos; });
  const size_t first = static_cast<size_t>(level - lines.begin());
  Lines copy(lines.begin() + static_cast<std::ptrdiff_t>(first),
             lines.begin() + static_cast<std::ptrdiff_t>(LevelEnd(lines, first)) + 1);
  const size_t count = second.size() / 3;
  const auto entries = [](const std::string& head, size_t size, const std::string& each) {
    std::string l = head + " ( " + std::to_string(size);
    for (size_t i = 0; i < size; ++i) l += " " + each;
    return l + " )";
  };
  std::string vertexIdxs = "vertex_idxs ( " + std::to_string(second.size());
  for (int v : second) vertexIdxs += " " + std::to_string(v);
  vertexIdxs += " )";
  for (size_t i = 0; i < copy.size(); ++i) {
    const size_t at = copy[i].find_first_not_of('\t');
    const std::string word = copy[i].substr(at, copy[i].find(' ', at) - at);
    std::string replacement;
    if (word == "vertex_idxs") replacement = vertexIdxs;
    if (word == "normal_idxs") replacement = entries("normal_idxs", count, "0 3");
    if (word == "flags") replacement = entries("flags", count, "00000000");
    if (replacement.empty()) continue;
    // A long list goes on over the next lines: they go too.
    const auto open = [](const std::string& l) {
      return std::count(l.begin(), l.end(), '(') - std::count(l.begin(), l.end(), ')');
    };
    for (auto depth = open(copy[i]); depth > 0; copy.erase(copy.begin() + static_cast<std::ptrdiff_t>(i) + 1))
      depth += open(copy[i + 1]);
    copy[i] = copy[i].substr(0, at) + replacement;
  }
  for (size_t i = 0; i < first; ++i)
    if (lines[i].find("distance_levels ( 1") != std::string::npos) lines[i].replace(lines[i].find("( 1"), 3, "( 2");
  for (size_t i = first; i < lines.size(); ++i)
    if (lines[i].find("dlevel_selection ( 2000 )") != std::string::npos) {
      lines[i].replace(lines[i].find("2000"), 4, std::to_string(distance));
      break;
    }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(LevelEnd(lines, first)) + 1, copy.begin(), copy.end());
  return lines;
}

// The squares of a 4 x 4 grid's points taken two by two: 8 triangles.
std::vector<int> CoarseGrid() {
  std::vector<int> out;
  for (int j = 0; j < 4; j += 2)
    for (int i = 0; i < 4; i += 2) {
      const int a = i + 5 * j;
      out.insert(out.end(), {a, a + 2, a + 12, a, a + 12, a + 10});
    }
  return out;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

std::string LineStarting(const std::string& text, const std::string& start) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(start, 0) == 0) return line;
  return {};
}

TEST(HandmadeLods, ReadsTheSecondLevelAtItsSwitchDistance) {
  TempDir dir;
  // Counted: a grid whose hand-made second level has 8 of 32 triangles,
  // and one whose second level is the whole plate in two triangles.
  WriteBytes(dir.File("a_coarse.s"), Utf16Shape(TwoLevelGrid(4, CoarseGrid(), 100)));
  WriteBytes(dir.File("b_plate.s"), Utf16Shape(TwoLevelGrid(4, {0, 4, 24, 0, 24, 20}, 400)));
  // Not counted: one level only (left out silently), and a second level
  // as large as the first.
  MeshShapeRecipe single;
  single.elements.push_back({"Grid", 0, {}, {}});
  AddGrid(single.elements.back(), 4);
  WriteBytes(dir.File("c_single.s"), Utf16Shape(MeshShape(single)));
  std::vector<int> whole;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) {
      const int a = i + 5 * j;
      whole.insert(whole.end(), {a, a + 1, a + 6, a, a + 6, a + 5});
    }
  WriteBytes(dir.File("d_same.s"), Utf16Shape(TwoLevelGrid(4, whole, 100)));

  testing::internal::CaptureStdout();
  bench::PrintHandmadeSection(dir.path());
  const std::string out = testing::internal::GetCapturedStdout();

  struct Expected {
    std::string shape, distance, handmade;
    const char* half;
  };
  // The flat grid simplifies to two triangles at no error, within one
  // pixel: at most half of 8, not of 2.
  for (const Expected& e : {Expected{"a_coarse", "100", "8", "yes"}, Expected{"b_plate", "400", "2", "no"}}) {
    SCOPED_TRACE(e.shape);
    const std::vector<std::string> row = Words(LineStarting(out, e.shape + " "));
    ASSERT_EQ(row.size(), 15u) << out;
    EXPECT_EQ(row[1], e.distance);
    EXPECT_EQ(row[3], "32");  // the first level's triangles
    EXPECT_EQ(row[4], e.handmade);
    EXPECT_EQ(row[5], "0.0");  // the hand-made level lies in the grid's plane and covers it
    EXPECT_EQ(row[7], "2");    // ours
    EXPECT_EQ(row[12], e.half);
    EXPECT_EQ(row[13], "yes");
  }
  EXPECT_EQ(LineStarting(out, "c_single"), "");
  EXPECT_EQ(LineStarting(out, "not counted: "), "not counted: d_same: LOD 2 has 32 of 32 triangles");
  EXPECT_EQ(LineStarting(out, "hand-made: "), "hand-made: 2 shapes, ours at most half in 1, within one pixel in 2");
}

}  // namespace
}  // namespace lodsmith::test
