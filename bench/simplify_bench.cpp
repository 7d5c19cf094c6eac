// The simplifier's speed on synthetic meshes; where the package is found,
// meshoptimizer's simplifier on the same meshes beside it (a measuring stick,
// linked into this benchmark only). Triangles per second are the input's.
#include <benchmark/benchmark.h>

#include <vector>

#include "simplify/simplify.h"
#include "simplify_meshes.h"

#ifdef LODSMITH_BENCH_MESHOPT
#include <meshoptimizer.h>
#endif

namespace lodsmith {
namespace {

// Sphere(r) has 4 r (r - 1) triangles: 20 and 70 give about 1 500 and 19 300.
SimplifyMesh BenchMesh(int rings, bool split) {
  const SimplifyMesh sphere = test::Sphere(rings, 1);
  return split ? test::SplitAtEveryEdge(sphere) : sphere;
}

void BM_SimplifyHalf(benchmark::State& state) {
  const SimplifyMesh mesh = BenchMesh(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(Simplify(mesh, SimplifyTarget::Ratio(0.5)));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(mesh.indices.size() / 3));
}
BENCHMARK(BM_SimplifyHalf)->Args({20, 0})->Args({70, 0})->Args({70, 1})->Unit(benchmark::kMillisecond);

void BM_SimplifyBudget(benchmark::State& state) {
  const SimplifyMesh mesh = BenchMesh(static_cast<int>(state.range(0)), false);
  for (auto _ : state) benchmark::DoNotOptimize(Simplify(mesh, SimplifyTarget::MaxError(0.005)));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(mesh.indices.size() / 3));
}
BENCHMARK(BM_SimplifyBudget)->Arg(20)->Arg(70)->Unit(benchmark::kMillisecond);

#ifdef LODSMITH_BENCH_MESHOPT
void BM_MeshoptHalf(benchmark::State& state) {
  const SimplifyMesh mesh = BenchMesh(static_cast<int>(state.range(0)), state.range(1) != 0);
  std::vector<float> positions;
  for (const auto& p : mesh.positions) positions.insert(positions.end(), {float(p[0]), float(p[1]), float(p[2])});
  const std::vector<unsigned> indices(mesh.indices.begin(), mesh.indices.end());
  std::vector<unsigned> out(indices.size());
  for (auto _ : state)
    benchmark::DoNotOptimize(meshopt_simplify(out.data(), indices.data(), indices.size(), positions.data(),
                                              mesh.positions.size(), sizeof(float) * 3, indices.size() / 2, 1.0f));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(mesh.indices.size() / 3));
}
BENCHMARK(BM_MeshoptHalf)->Args({20, 0})->Args({70, 0})->Args({70, 1})->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace lodsmith
