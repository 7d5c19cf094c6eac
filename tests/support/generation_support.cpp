#include "generation_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/grid_columns.h"
#include "shape_checker.h"

namespace lodsmith::test {

HandAssignment Uniform(int elements, int lods, const std::string& cell) {
  HandAssignment a;
  a.cells.assign(static_cast<std::size_t>(elements), std::vector<std::string>(static_cast<std::size_t>(lods), cell));
  return a;
}

namespace {

int FacesOf(const ExportedShapeRecipe& o, int e) {
  auto it = o.explicitIndices.find(e);
  if (it != o.explicitIndices.end()) return static_cast<int>(it->second.size()) / 3;
  return o.elementFaces[e];
}

// The largest sub-object number used in any LOD (at least 1), as the
// sub-object grid shows it.
int SubObjectRows(const HandAssignment& a) {
  int maxSub = 1;
  for (const auto& row : a.cells)
    for (const auto& c : row) {
      auto v = ParseInt32(c);
      if (v && *v != 999 && *v > maxSub) maxSub = *v;
    }
  return maxSub;
}

}  // namespace

GenerationInput InputFor(const ExportedShapeRecipe& o, const HandAssignment& a) {
  GenerationInput in;
  LodAssignment& as = in.assignment;
  const int elements = static_cast<int>(o.elementState.size());
  as.lodCount = a.LodCount();
  in.elementVtxState.assign(static_cast<std::size_t>(elements) + 1, 0);
  for (int e = 0; e < elements; ++e) {
    AssignedElement& el = as.elements.emplace_back();
    el.name = "E" + std::to_string(e);
    if (e != o.elementWithoutPrimitive) el.faces = FacesOf(o, e);
    for (int lod = 1; lod <= as.lodCount; ++lod) el.lods.push_back(AssignmentCell::Read(a.cells[e][lod - 1]));
    in.elementVtxState[e + 1] = o.elementState[e];
  }
  as.subObjectCount = SubObjectRows(a);
  as.sorted.assign(static_cast<std::size_t>(as.lodCount),
                   std::vector<bool>(static_cast<std::size_t>(as.subObjectCount)));
  for (auto [lod, sub] : a.sortMarks) as.sorted[lod - 1][sub - 1] = true;
  for (int lod = 1; lod <= as.lodCount; ++lod)
    as.distances.push_back(lod <= static_cast<int>(a.distances.size()) ? a.distances[lod - 1]
                                                                       : std::to_string(100 * lod));
  in.vtxStateMatrix.assign(o.stateMatrix.begin(), o.stateMatrix.end());
  in.matrixCount = o.matrices;
  int start = 0;
  for (int v : o.setVertices) {
    in.vertexSets.push_back({0, start, v});
    start += v;
  }
  // The analysis reads the vertex_set's own number into VertexShift; the
  // generation must not depend on it.
  for (std::size_t s = 0; s < in.vertexSets.size(); ++s) in.vertexSets[s].VertexShift = static_cast<int32_t>(s);
  return in;
}

Lines GenerateShape(const Lines& document, const GenerationInput& in) {
  Lines out = lodsmith::GenerateShape(document, in.assignment, in.Tables());
  // The writer makes room for the whole shape once: a list that had to grow
  // (twice the room) or room far beyond the lines means its count is off.
  if (in.assignment.triangles.empty()) {
    EXPECT_LE(out.capacity(), out.size() + out.size() / 4 + 64)
        << "room for " << out.capacity() << " lines, " << out.size() << " written";
  }
  return out;
}

void FillFormByHand(TLSForm& form, const ExportedShapeRecipe& o, const HandAssignment& a) {
  using namespace grid;
  GenerationInput in = InputFor(o, a);
  const LodAssignment& as = in.assignment;
  form.ShapeLines = ExportedShape(o);
  form.LodCount = as.lodCount;
  form.StringGrid1 = StringGrid(ElementLodColumn(as.lodCount) + 1, as.ElementCount() + 1);
  for (int r = 1; r <= as.ElementCount(); ++r) {
    const AssignedElement& el = as.elements[r - 1];
    form.StringGrid1.SetCell(kElementName, r, el.name);
    form.StringGrid1.SetCell(kElementImage, r, "body.ace");
    if (el.faces) form.StringGrid1.SetCell(kElementFaces, r, std::to_string(*el.faces));
    for (int lod = 1; lod <= as.lodCount; ++lod)
      form.StringGrid1.SetCell(ElementLodColumn(lod), r, a.cells[r - 1][lod - 1]);
  }
  form.StringGrid2 = StringGrid(SubObjectSortColumn(as.lodCount) + 1, as.subObjectCount + 1);
  for (int s = 1; s <= as.subObjectCount; ++s) form.StringGrid2.SetCell(kSubObjectNumber, s, std::to_string(s));
  for (auto [lod, sub] : a.sortMarks) form.StringGrid2.SetCell(SubObjectSortColumn(lod), sub, "x");
  form.StringGrid4 = StringGrid(2, 16);
  for (int lod = 1; lod <= as.lodCount; ++lod) form.StringGrid4.SetCell(kDistance, lod, as.distances[lod - 1]);
  form.StringGrid3 = StringGrid(3, o.matrices + 1);
  for (int m = 0; m < o.matrices; ++m) form.StringGrid3.SetCell(kMatrixName, m + 1, "M" + std::to_string(m));
  form.ElementVtxState = in.elementVtxState;
  form.VtxStateMatrix = in.vtxStateMatrix;
  form.VertexSets = in.vertexSets;
  form.Sub_ObjectsButton.Enabled = true;
  form.Changed = false;
}

void ExpectPrimitivesAsAssigned(const Lines& input, const Lines& output,
                                const std::vector<std::vector<std::string>>& cells,
                                const std::vector<std::string>& distances) {
  ShapeSummary in = SummariseShape(input);
  ShapeSummary out = SummariseShape(output);
  ASSERT_EQ(in.lods.size(), 1u);
  ASSERT_EQ(in.lods[0].subObjects.size(), 1u);
  const SubObjectSummary& source = in.lods[0].subObjects[0];
  // The triangle lists of each prim_state, in order: an element whose lists
  // follow each other under one prim_state_idx keeps them all, in order.
  std::map<int, std::vector<const PrimitiveSummary*>> byState;
  for (const auto& p : source.primitives) byState[p.primStateIdx].push_back(&p);

  const std::size_t lods = cells.empty() ? 1 : cells[0].size();
  ASSERT_EQ(out.lods.size(), lods);
  for (std::size_t l = 0; l < lods; ++l) {
    const LodSummary& lod = out.lods[l];
    if (l < distances.size()) {
      EXPECT_EQ(lod.distance, distances[l]) << "LOD " << l + 1;
    }
    // No element may lose its sub-object: the one it names must be written.
    for (std::size_t e = 0; e < cells.size(); ++e) {
      auto sub = ParseInt32(cells[e][l]);
      if (byState.count(static_cast<int>(e)) && sub && *sub >= 1 && *sub <= 99 && cells[e][l] == std::to_string(*sub)) {
        EXPECT_LE(static_cast<std::size_t>(*sub), lod.subObjects.size())
            << "element " << e << " of LOD " << l + 1 << " lost its sub-object";
      }
    }
    for (std::size_t s = 0; s < lod.subObjects.size(); ++s) {
      const SubObjectSummary& so = lod.subObjects[s];
      std::vector<int> expected, written;
      for (std::size_t e = 0; e < cells.size(); ++e)
        if (byState.count(static_cast<int>(e)) && (cells[e][l] == "0" || cells[e][l] == std::to_string(s + 1)))
          expected.insert(expected.end(), byState[static_cast<int>(e)].size(), static_cast<int>(e));
      for (const auto& p : so.primitives) written.push_back(p.primStateIdx);
      std::sort(written.begin(), written.end());
      EXPECT_EQ(written, expected) << "LOD " << l + 1 << ", sub-object " << s + 1;
      std::map<int, std::size_t> nextList;
      for (const auto& p : so.primitives) {
        auto it = byState.find(p.primStateIdx);
        if (it == byState.end()) continue;
        const std::size_t listIndex = nextList[p.primStateIdx]++;
        ASSERT_LT(listIndex, it->second.size()) << "prim_state " << p.primStateIdx << " has a list too many";
        const PrimitiveSummary& orig = *it->second[listIndex];
        EXPECT_EQ(p.normalIdxs, orig.normalIdxs);
        EXPECT_EQ(p.flags, orig.flags);
        ASSERT_EQ(p.vertexIdxs.size(), orig.vertexIdxs.size());
        for (std::size_t k = 0; k < p.vertexIdxs.size(); ++k) {
          long long a = p.vertexIdxs[k], b = orig.vertexIdxs[k];
          ASSERT_TRUE(a >= 0 && a < static_cast<long long>(so.vertices.size()) && b >= 0 &&
                      b < static_cast<long long>(source.vertices.size()))
              << "prim_state " << p.primStateIdx << " index " << k;
          ASSERT_EQ(so.vertices[a], source.vertices[b])
              << "LOD " << l + 1 << ", sub-object " << s + 1 << ", prim_state " << p.primStateIdx << " index " << k;
        }
      }
    }
  }
}

}  // namespace lodsmith::test
