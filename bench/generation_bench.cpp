// The generation is a linear rewrite of the shape: it is timed against a
// plain copy of the same lines into a new list, and against a copy of as many
// lines as the generation writes.
//
// Shape: 200 elements of 500 faces, each with its own vertex set of 620
// vertices, 10 matrices (about 511 000 lines). Ten LODs of 20 sub-objects
// each; element e goes to sub-object e % 20 + 1, and LOD L leaves out the
// elements of the first L - 1 rounds of 20 (999), as a modeller thins out
// distant LODs: the ten LODs together write about 5.5 times the template.
#include <benchmark/benchmark.h>

#include "generation/generator.h"
#include "synthetic_shape.h"

namespace {

using namespace lodsmith;

constexpr int kLods = 10;
constexpr int kSubObjects = 20;
constexpr int kElements = 200;
constexpr int kSets = 200;
constexpr int kSetVertices = 620;

struct BenchShape {
  Lines lines;
  LodAssignment assignment;
  std::vector<int32_t> elementVtxState;
  std::vector<int32_t> vtxStateMatrix;
  std::vector<TVertexSetEntry> vertexSets;
  int32_t matrixCount = 0;
  std::size_t writtenLines = 0;

  GenerationTables Tables() const { return {elementVtxState, vtxStateMatrix, vertexSets, matrixCount}; }
};

const BenchShape& Shape() {
  static const BenchShape shape = [] {
    test::ExportedShapeRecipe o;
    o.matrices = 10;
    o.stateMatrix.clear();
    o.setVertices.clear();
    for (int s = 0; s < kSets; ++s) {
      o.stateMatrix.push_back(s % o.matrices);
      o.setVertices.push_back(kSetVertices);
    }
    o.elementState.clear();
    o.elementFaces.clear();
    for (int e = 0; e < kElements; ++e) {
      o.elementState.push_back(e % kSets);
      o.elementFaces.push_back(500);
    }
    BenchShape b;
    b.lines = test::ExportedShape(o);

    LodAssignment& a = b.assignment;
    a.lodCount = kLods;
    b.elementVtxState.assign(kElements + 1, 0);
    for (int e = 0; e < kElements; ++e) {
      AssignedElement& el = a.elements.emplace_back();
      el.name = "E" + std::to_string(e);
      el.faces = 500;
      const int round = e / kSubObjects;
      for (int lod = 1; lod <= kLods; ++lod)
        el.lods.push_back(AssignmentCell::Read(round < lod - 1 ? "999" : std::to_string(e % kSubObjects + 1)));
      b.elementVtxState[e + 1] = o.elementState[e];
    }
    a.subObjectCount = kSubObjects;
    a.sorted.assign(kLods, std::vector<bool>(kSubObjects, false));
    for (int lod = 1; lod <= kLods; ++lod) a.distances.push_back(std::to_string(200 * lod));
    b.vtxStateMatrix = o.stateMatrix;
    b.matrixCount = o.matrices;
    int start = 0;
    for (int s = 0; s < kSets; ++s) {
      b.vertexSets.push_back({s, start, o.setVertices[s]});
      start += o.setVertices[s];
    }
    b.writtenLines = GenerateShape(b.lines, b.assignment, b.Tables()).size();
    return b;
  }();
  return shape;
}

void BM_PlainCopyOfTheShape(benchmark::State& state) {
  const BenchShape& b = Shape();
  for (auto _ : state) {
    Lines copy;
    copy.reserve(b.lines.size());
    for (const auto& l : b.lines) copy.push_back(l);
    benchmark::DoNotOptimize(copy.data());
  }
  state.counters["lines"] = static_cast<double>(b.lines.size());
}

void BM_CopyOfAsManyLinesAsWritten(benchmark::State& state) {
  const BenchShape& b = Shape();
  for (auto _ : state) {
    Lines copy;
    copy.reserve(b.lines.size());
    for (std::size_t i = 0; i < b.writtenLines; ++i) copy.push_back(b.lines[i % b.lines.size()]);
    benchmark::DoNotOptimize(copy.data());
  }
  state.counters["lines"] = static_cast<double>(b.writtenLines);
}

void BM_Generate10Lods20SubObjects(benchmark::State& state) {
  const BenchShape& b = Shape();
  for (auto _ : state) {
    Lines out = GenerateShape(b.lines, b.assignment, b.Tables());
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["lines_in"] = static_cast<double>(b.lines.size());
  state.counters["lines_out"] = static_cast<double>(b.writtenLines);
}

BENCHMARK(BM_PlainCopyOfTheShape)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyOfAsManyLinesAsWritten)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generate10Lods20SubObjects)->Unit(benchmark::kMillisecond);

}  // namespace
