#include "generation_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "generation/vertex_estimate.h"
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
  const int elements = static_cast<int>(o.elementState.size());
  in.LodCount = a.LodCount();
  in.Elements = StringGrid(3 + in.LodCount, elements + 1);
  in.ElementVtxState.assign(static_cast<std::size_t>(elements) + 1, 0);
  for (int e = 0; e < elements; ++e) {
    in.Elements.SetCell(0, e + 1, "E" + std::to_string(e));
    in.Elements.SetCell(1, e + 1, "body.ace");
    if (e != o.elementWithoutPrimitive) in.Elements.SetCell(2, e + 1, std::to_string(FacesOf(o, e)));
    for (int lod = 1; lod <= in.LodCount; ++lod) in.Elements.SetCell(lod + 2, e + 1, a.cells[e][lod - 1]);
    in.ElementVtxState[e + 1] = o.elementState[e];
  }
  const int rows = SubObjectRows(a);
  in.SubObjects = StringGrid(2 + in.LodCount, rows + 1);
  for (int s = 1; s <= rows; ++s) in.SubObjects.SetCell(0, s, std::to_string(s));
  for (auto [lod, sub] : a.sortMarks) in.SubObjects.SetCell(lod + 1, sub, "x");
  in.Distances = StringGrid(2, 16);
  for (int lod = 1; lod <= in.LodCount; ++lod)
    in.Distances.SetCell(1, lod, lod <= static_cast<int>(a.distances.size()) ? a.distances[lod - 1]
                                                                            : std::to_string(100 * lod));
  in.VtxStateMatrix.assign(o.stateMatrix.begin(), o.stateMatrix.end());
  in.MatrixCount = o.matrices;
  int start = 0;
  for (int v : o.setVertices) {
    in.VertexSets.push_back({0, start, v});
    start += v;
  }
  for (std::size_t s = 0; s < in.VertexSets.size(); ++s) in.VertexSets[s].VertexShift = static_cast<int32_t>(s);
  in.VertexSetCount = static_cast<int32_t>(o.setVertices.size());
  return in;
}

void FillFormByHand(TLSForm& form, const ExportedShapeRecipe& o, const HandAssignment& a) {
  GenerationInput in = InputFor(o, a);
  form.ShapeLines = ExportedShape(o);
  form.LodCount = in.LodCount;
  form.StringGrid1 = in.Elements;
  form.StringGrid2 = in.SubObjects;
  form.StringGrid4 = in.Distances;
  form.StringGrid3 = StringGrid(3, o.matrices + 1);
  for (int m = 0; m < o.matrices; ++m) form.StringGrid3.SetCell(0, m + 1, "M" + std::to_string(m));
  form.ElementVtxState = in.ElementVtxState;
  form.VtxStateMatrix = in.VtxStateMatrix;
  form.VertexSets = in.VertexSets;
  form.VertexSetCount = in.VertexSetCount;
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
  std::map<int, const PrimitiveSummary*> byState;
  for (const auto& p : source.primitives) byState[p.primStateIdx] = &p;

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
        if (byState.count(static_cast<int>(e)) && InSubObject(cells[e][l], static_cast<int>(s) + 1))
          expected.push_back(static_cast<int>(e));
      for (const auto& p : so.primitives) written.push_back(p.primStateIdx);
      std::sort(written.begin(), written.end());
      EXPECT_EQ(written, expected) << "LOD " << l + 1 << ", sub-object " << s + 1;
      for (const auto& p : so.primitives) {
        auto it = byState.find(p.primStateIdx);
        if (it == byState.end()) continue;
        const PrimitiveSummary& orig = *it->second;
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
