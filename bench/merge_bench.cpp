// Point merging: the quadratic backward scan against the indexed search, on
// blocks of 60 001 and 1 000 000 points, all distinct or with 30 % exact
// duplicates, at tolerance 0 and 0.001. The scan runs only at 60 001 points.
// The last pair measures the whole action on a document: reading the block,
// numbering, and rebuilding a million points with a million vertex lines.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "reference_merge.h"
#include "tools/merge_index.h"
#include "tools/point_merge.h"

using namespace lodsmith;

namespace {

// Coordinates of a model up to 100 m across; `duplicatePercent` of the
// entries repeat an earlier one exactly.
std::vector<TMergeEntry> MakeTable(int n, int duplicatePercent) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<long double> d(-50, 50);
  std::uniform_int_distribution<int> percent(0, 99);
  std::vector<TMergeEntry> t(n);
  for (int i = 0; i < n; ++i) {
    if (i > 0 && percent(rng) < duplicatePercent) {
      t[i] = t[std::uniform_int_distribution<int>(0, i - 1)(rng)];
    } else {
      t[i].X = d(rng);
      t[i].Y = d(rng);
      t[i].Z = d(rng);
    }
  }
  return t;
}

// The entries' coordinates as the reference merge reads them.
std::vector<test::Coords> CoordsOf(const std::vector<TMergeEntry>& t) {
  std::vector<test::Coords> c;
  c.reserve(t.size());
  for (const auto& e : t) c.push_back({e.X, e.Y, e.Z});
  return c;
}

long double Tolerance(int64_t micro) { return static_cast<long double>(micro) / 1000000; }

// Arguments: points, duplicate percent, tolerance in millionths.
void BM_ReferenceMerge(benchmark::State& state) {
  const auto coords = CoordsOf(MakeTable(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
  int32_t kept = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(kept = test::ReferenceMerge(coords, Tolerance(state.range(2)), false).K);
  state.counters["kept"] = kept;
}

void BM_IndexedMerge(benchmark::State& state) {
  auto table = MakeTable(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  int32_t kept = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(kept = NumberMergeEntries(table, Tolerance(state.range(2)), MergeKind::Points));
  state.counters["kept"] = kept;
}

Lines MakeDocument(int n, int duplicatePercent) {
  auto table = MakeTable(n, duplicatePercent);
  Lines l{"SIMISA@@@@@@@@@@JINX0s1t______", "", "shape (", "\tpoints ( " + std::to_string(n)};
  char buf[128];
  for (const auto& e : table) {
    std::snprintf(buf, sizeof buf, "\t\tpoint ( %.6Lf %.6Lf %.6Lf )", e.X, e.Y, e.Z);
    l.push_back(buf);
  }
  l.push_back("\t)");
  l.push_back("\tvertices ( " + std::to_string(n));
  for (int i = 0; i < n; ++i) {
    l.push_back("\t\tvertex ( 00000000 " + std::to_string(n - 1 - i) + " 0 ff969696 ff808080");
    l.push_back("\t\t\tvertex_uvs ( 1 0 )");
    l.push_back("\t\t)");
  }
  l.push_back("\t)");
  l.push_back(")");
  return l;
}

void BM_PointMergeDocument(benchmark::State& state) {
  const Lines doc = MakeDocument(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    auto plan = PlanPointMerge(doc, Tolerance(state.range(2)));
    CheckPointRewrite(doc, *plan);
    Lines out = BuildPointMerge(doc, *plan);
    benchmark::DoNotOptimize(out.data());
    state.counters["kept"] = plan->K;
  }
}

}  // namespace

BENCHMARK(BM_ReferenceMerge)
    ->ArgsProduct({{60001}, {0, 30}, {0, 1000}})
    ->ArgNames({"points", "dup%", "tol_u"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexedMerge)
    ->ArgsProduct({{60001, 1000000}, {0, 30}, {0, 1000}})
    ->ArgNames({"points", "dup%", "tol_u"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointMergeDocument)
    ->ArgsProduct({{1000000}, {30}, {0, 1000}})
    ->ArgNames({"points", "dup%", "tol_u"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
