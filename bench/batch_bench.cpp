// The batch program over a whole set of shapes, timed from outside: 400
// synthetic shapes of 2 000 to 8 000 lines (about 200 MB of UTF-16 text, a
// third of their points repeated), `--merge-points 0.001 --save`, with one
// worker and with two. Each run starts from fresh copies (the copying is not
// timed). The counters come from the program's own --timing line: the time
// in opening, actions and saving, the runner's own cost per shape, and for
// two workers the speed-up over one.
//
// LODSMITH_BATCH_BENCH_SHAPES sets another number of shapes; LODSMITH_CLI the
// batch program (default: lodsmith-cli beside this benchmark). The shapes go
// into a folder under the system's temporary folder, removed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench_shapes.h"

namespace fs = std::filesystem;
using namespace lodsmith;

namespace {

int ShapeCount() {
  const char* n = std::getenv("LODSMITH_BATCH_BENCH_SHAPES");
  return n && std::atoi(n) > 0 ? std::atoi(n) : 400;
}

std::string CliPath() {
  if (const char* p = std::getenv("LODSMITH_CLI")) return p;
  std::error_code ec;
  return (fs::read_symlink("/proc/self/exe", ec).parent_path() / "lodsmith-cli").string();
}

// The originals, made once for every run and removed when the program ends.
class ShapeSet {
public:
  ShapeSet() {
    root_ = fs::temp_directory_path() / ("lodsmith-batch-bench-" + std::to_string(std::random_device{}()));
    bench::WriteBatchShapes(root_ / "originals", ShapeCount());
  }
  ~ShapeSet() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  const fs::path& root() const { return root_; }

private:
  fs::path root_;
};

ShapeSet& Shapes() {
  static ShapeSet set;
  return set;
}

double g_oneWorkerSeconds = 0;

void BM_BatchMergeSave(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const fs::path work = Shapes().root() / "work";
  const fs::path timing = Shapes().root() / "timing.txt";
  double open = 0, actions = 0, save = 0, runner = 0, total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(work);
    fs::copy(Shapes().root() / "originals", work, fs::copy_options::recursive);
    state.ResumeTiming();
    const std::string command = "\"" + CliPath() + "\" --lang en -q --timing -r \"" + work.string() +
                                "\" --merge-points 0.001 --save -j " + std::to_string(jobs) + " 2>\"" +
                                timing.string() + "\"";
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("the batch program failed");
      return;
    }
  }
  // "time: T s; opening O s, actions A s, saving S s (all shapes); runner R ms per shape"
  std::ifstream in(timing);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("time: ", 0) == 0)
      std::sscanf(line.c_str(), "time: %lf s; opening %lf s, actions %lf s, saving %lf s (all shapes); runner %lf",
                  &total, &open, &actions, &save, &runner);
  state.counters["shapes"] = ShapeCount();
  state.counters["open_s"] = open;
  state.counters["actions_s"] = actions;
  state.counters["save_s"] = save;
  state.counters["runner_ms_per_shape"] = runner;
  state.counters["shapes_per_s"] = total > 0 ? ShapeCount() / total : 0;
  if (jobs == 1) g_oneWorkerSeconds = total;
  if (jobs > 1 && g_oneWorkerSeconds > 0 && total > 0) state.counters["speedup"] = g_oneWorkerSeconds / total;
  fs::remove_all(work);
}

BENCHMARK(BM_BatchMergeSave)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
