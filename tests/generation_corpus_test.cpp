// Generation on real shapes in the one-LOD one-sub-object export form: each
// shape is opened through the form, assigned (its own recorded assignment and
// several of ours), generated, and the result is checked with the structural
// checker and against the primitives of the input.
//
// The sanitized build (LODSMITH_SANITIZED) runs many times slower: there a
// large shape gets one of our assignments, a different one for each large
// shape in turn, while the small shapes still get all of them.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "core/grid_columns.h"
#include "document/analysis.h"
#include "generation/generator.h"
#include "generation_support.h"
#include "shape_checker.h"
#include "test_env.h"

namespace lodsmith::test {
namespace {

namespace fs = std::filesystem;

// The recorded assignment: a JSON list with one list of LOD cells per element
// row, e.g. [["1"], ["2"]].
std::vector<std::vector<std::string>> ReadAssignment(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string text = ss.str();
  std::vector<std::vector<std::string>> rows;
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '[') {
      if (++depth == 2) rows.emplace_back();
    } else if (c == ']') {
      --depth;
    } else if (c == '"' && depth == 2) {
      std::size_t e = text.find('"', i + 1);
      rows.back().push_back(text.substr(i + 1, e - i - 1));
      i = e;
    }
  }
  return rows;
}

struct Scenario {
  std::string name;
  std::vector<std::vector<std::string>> cells;  // per element row: per LOD
  std::vector<std::pair<int, int>> sortMarks;
  std::vector<std::string> distances;
};

class CorpusGeneration {
public:
  explicit CorpusGeneration(const std::string& shape) : shape_(shape) {}

  // Opens the shape in a fresh form; false (with a test failure) when the
  // form does not offer the generation for it.
  bool Open(FormFixture& fx) {
    const std::string copy = fx.dir.File(fs::path(shape_).filename().string());
    fs::copy_file(shape_, copy);
    fx.Open(copy);
    EXPECT_FALSE(fx.form->ShapeLines.empty()) << shape_;
    EXPECT_TRUE(fx.form->Sub_ObjectsButton.Enabled) << shape_;
    return !fx.form->ShapeLines.empty() && fx.form->Sub_ObjectsButton.Enabled;
  }

  void Run(const Scenario& sc) {
    SCOPED_TRACE(fs::path(shape_).filename().string() + ": " + sc.name);
    FormFixture fx;
    if (!Open(fx)) return;
    TLSForm& form = *fx.form;
    const Lines input = form.ShapeLines;
    const int lods = static_cast<int>(sc.cells.empty() ? 1 : sc.cells[0].size());
    ASSERT_EQ(static_cast<int>(sc.cells.size()), form.StringGrid1.RowCount() - 1);

    form.SetLODAnzSpinEditValue(lods);
    form.LODAnzSpinEditExit();
    for (int lod = 1; lod <= lods; ++lod) form.StringGrid4.SetCell(grid::kDistance, lod, sc.distances[lod - 1]);
    for (std::size_t r = 0; r < sc.cells.size(); ++r)
      for (int lod = 1; lod <= lods; ++lod)
        form.StringGrid1.SetCell(grid::ElementLodColumn(lod), static_cast<int>(r) + 1, sc.cells[r][lod - 1]);
    form.RefreshSubObjectGrid();
    for (int row = 1; row < 100; ++row)
      for (int lod = 1; lod <= lods; ++lod) form.StringGrid2.SetCell(grid::SubObjectSortColumn(lod), row, "");
    for (auto [lod, sub] : sc.sortMarks) form.StringGrid2.SetCell(grid::SubObjectSortColumn(lod), sub, "x");
    fx.platform.Clear();

    form.Dispatch([&] { form.Sub_ObjectsButtonClick(); });
    ASSERT_TRUE(fx.platform.messages.empty()) << fx.platform.Texts()[0];
    EXPECT_FALSE(form.Sub_ObjectsButton.Enabled);
    EXPECT_EQ(CheckShapeStructure(form.ShapeLines), std::vector<std::string>{});
    ExpectPrimitivesAsAssigned(input, form.ShapeLines, sc.cells, sc.distances);
    ShapeSummary in = SummariseShape(input), out = SummariseShape(form.ShapeLines);
    int sorted = 0;
    for (const auto& lod : out.lods)
      for (const auto& so : lod.subObjects)
        if (so.header.size() > 2 && so.header[1] != "-1") ++sorted;
    EXPECT_EQ(out.volumes, in.volumes + sorted);
    EXPECT_EQ(out.sortVectors, in.sortVectors + sorted);
  }

  // Element rows, their matrices and whether a primitive draws them, as the
  // analysis read them.
  struct Elements {
    std::vector<int> matrix;  // per row - 1
    std::vector<bool> drawn;
  };
  Elements Read() {
    FormFixture fx;
    Elements e;
    if (!Open(fx)) return e;
    TLSForm& form = *fx.form;
    for (int r = 1; r < form.StringGrid1.RowCount(); ++r) {
      e.matrix.push_back(form.VtxStateMatrix[form.ElementVtxState[r]]);
      e.drawn.push_back(!form.StringGrid1.Cell(grid::kElementFaces, r).empty());
    }
    return e;
  }

private:
  std::string shape_;
};

#ifdef LODSMITH_SANITIZED
constexpr bool kSampleLargeShapes = true;
#else
constexpr bool kSampleLargeShapes = false;
#endif
// Larger than every hand-made model of the corpus; the track shapes above it
// take most of the time.
constexpr std::uintmax_t kLargeShapeBytes = 1000000;

std::vector<std::string> CorpusShapes() {
  const std::string dir = CorpusTsmDir();
  if (dir.empty()) return {};
  return FilesEndingWith(dir, ".tsm.s");
}

TEST(GenerationCorpusTest, RecordedAssignmentsRestoreTheirSplit) {
  const std::vector<std::string> shapes = CorpusShapes();
  if (shapes.empty()) GTEST_SKIP() << NoCorpusShapes("corpus-tsm") << " ending in .tsm.s";
  for (const std::string& shape : shapes) {
    const std::string json = shape.substr(0, shape.size() - 2) + ".assign.json";
    Scenario sc{"recorded assignment", ReadAssignment(json), {}, {"300"}};
    CorpusGeneration(shape).Run(sc);
  }
}

TEST(GenerationCorpusTest, OwnAssignmentsOnEveryShape) {
  const std::vector<std::string> shapes = CorpusShapes();
  if (shapes.empty()) GTEST_SKIP() << NoCorpusShapes("corpus-tsm") << " ending in .tsm.s";
  std::size_t largeShapes = 0;
  for (const std::string& shape : shapes) {
    CorpusGeneration gen(shape);
    CorpusGeneration::Elements el = gen.Read();
    const std::size_t n = el.matrix.size();
    if (n == 0) continue;
    auto cell = [&](std::size_t r, const std::string& c) { return el.drawn[r] ? c : std::string("999"); };
    std::vector<Scenario> scenarios;

    Scenario one{"all in one sub-object", {}, {}, {"500"}};
    for (std::size_t r = 0; r < n; ++r) one.cells.push_back({cell(r, "1")});
    scenarios.push_back(one);

    // One sub-object per matrix that draws something, in matrix order.
    Scenario byMatrix{"split by matrix", {}, {}, {"700"}};
    std::map<int, int> subOfMatrix;
    for (std::size_t r = 0; r < n; ++r)
      if (el.drawn[r]) subOfMatrix[el.matrix[r]] = 0;
    int next = 0;
    for (auto& [m, s] : subOfMatrix) s = ++next;
    for (std::size_t r = 0; r < n; ++r) byMatrix.cells.push_back({cell(r, std::to_string(subOfMatrix[el.matrix[r]]))});
    scenarios.push_back(byMatrix);

    // Three LODs: all; every third element dropped; only every second kept
    // and the rest shared ("0") with a second sub-object where possible.
    Scenario three{"three LODs with dropped elements", {}, {}, {"100", "400", "2000"}};
    bool lod2 = false, lod3 = false;
    for (std::size_t r = 0; r < n; ++r) {
      std::string c2 = r % 3 == 2 ? "999" : "1";
      std::string c3 = r % 2 == 0 ? "1" : "999";
      lod2 = lod2 || (el.drawn[r] && c2 == "1");
      lod3 = lod3 || (el.drawn[r] && c3 == "1");
      three.cells.push_back({cell(r, "1"), cell(r, c2), cell(r, c3)});
    }
    if (lod2 && lod3) scenarios.push_back(three);

    // Sorted: the second half of the elements in a sorted sub-object 2 of
    // LOD 1; LOD 2 one sorted sub-object with everything.
    std::vector<std::size_t> drawn;
    for (std::size_t r = 0; r < n; ++r)
      if (el.drawn[r]) drawn.push_back(r);
    if (drawn.size() >= 2) {
      Scenario sorted{"sorted sub-objects", {}, {{1, 2}, {2, 1}}, {"250", "1500"}};
      for (std::size_t r = 0; r < n; ++r) {
        bool second = el.drawn[r] && r >= drawn[drawn.size() / 2];
        sorted.cells.push_back({cell(r, second ? "2" : "1"), cell(r, "1")});
      }
      scenarios.push_back(sorted);
    }

    if (kSampleLargeShapes && fs::file_size(shape) > kLargeShapeBytes) {
      gen.Run(scenarios[largeShapes++ % scenarios.size()]);
      continue;
    }
    for (const Scenario& sc : scenarios) gen.Run(sc);
  }
}

// Real exports of the other corpus that the generation takes (one LOD, one
// sub-object), some of which write a long mesh as several triangle lists
// under one prim_state_idx: the element grid counts the faces of every list,
// and two LODs of every element hold all of them.
TEST(GenerationCorpusTest, ExportsWithSeveralListsPerPrimitive) {
  const std::vector<CorpusShape> shapes = CorpusTextShapes();
  if (shapes.empty()) GTEST_SKIP() << "the shared corpus of real shapes is not there";
  int generated = 0, split = 0;
  for (const CorpusShape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    const ShapeAnalysis a = AnalyseShape(shape.lines);
    if (a.failure || a.disableGeneration) continue;
    const ShapeSummary in = SummariseShape(shape.lines);
    std::map<int, int64_t> faces;  // per prim_state: the faces of all its lists
    int previous = -1;
    bool several = false;
    for (const PrimitiveSummary& p : in.lods.at(0).subObjects.at(0).primitives) {
      faces[p.primStateIdx] += static_cast<int64_t>(p.vertexIdxs.size() / 3);
      several = several || p.primStateIdx == previous;
      previous = p.primStateIdx;
    }
    split += several;
    LodAssignment as;
    as.lodCount = 2;
    std::vector<std::vector<std::string>> cells;
    for (std::size_t e = 0; e < a.elements.size(); ++e) {
      const bool drawn = a.elements[e].faces.has_value();
      if (drawn) {
        EXPECT_EQ(*a.elements[e].faces, faces[static_cast<int>(e)]) << a.elements[e].name;
      }
      cells.push_back({drawn ? "1" : "999", drawn ? "1" : "999"});
      AssignedElement& el = as.elements.emplace_back();
      el.name = a.elements[e].name;
      el.faces = a.elements[e].faces;
      for (const std::string& c : cells.back()) el.lods.push_back(AssignmentCell::Read(c));
    }
    as.subObjectCount = 1;
    as.sorted.assign(2, std::vector<bool>(1));
    as.distances = {"300", "2000"};
    const GenerationTables tables{a.elementVtxState, a.vtxStateMatrix, a.vertexSets,
                                  static_cast<int32_t>(a.matrixNames.size())};
    const Lines out = GenerateShape(shape.lines, as, tables);
    EXPECT_EQ(CheckShapeStructure(out), std::vector<std::string>{});
    ExpectPrimitivesAsAssigned(shape.lines, out, cells, as.distances);
    ++generated;
  }
  std::cout << "[          ] " << generated << " real exports generated, " << split
            << " of them with several triangle lists under one prim_state_idx\n";
  EXPECT_GT(generated, 0);
}

}  // namespace
}  // namespace lodsmith::test
