// The generation is a linear rewrite of the shape: it is timed against a
// plain copy of the same lines into a new list, and against a copy of as many
// lines as the generation writes.
//
// Shape: bench::TenLodsTwentySubObjects (bench_shapes.h).
#include <benchmark/benchmark.h>

#include "bench_shapes.h"
#include "document/shape_check.h"
#include "generation/generator.h"

namespace {

using namespace lodsmith;
using BenchShape = bench::GenerationShape;

const BenchShape& Shape() { return bench::TenLodsTwentySubObjects(); }

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

// The structural check every generated shape passes before it is handed
// back, on its own.
void BM_CheckGeneratedShape(benchmark::State& state) {
  const BenchShape& b = Shape();
  const Lines out = GenerateShape(b.lines, b.assignment, b.Tables());
  for (auto _ : state) benchmark::DoNotOptimize(CheckShape(out));
  state.counters["lines"] = static_cast<double>(out.size());
}

BENCHMARK(BM_PlainCopyOfTheShape)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyOfAsManyLinesAsWritten)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generate10Lods20SubObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckGeneratedShape)->Unit(benchmark::kMillisecond);

}  // namespace
