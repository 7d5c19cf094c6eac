// Opening and saving a large shape, against iconv converting the same file
// from UTF-16LE to UTF-8 and back.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/file_io.h"
#include "document/shape_file.h"

using namespace lodsmith;

namespace {

const std::string& BigShapePath() {
  static std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() / "lodsmith-bench-big.s").string();
    // About 1 000 000 lines: points and vertices, and long index lines that
    // the reader wraps.
    Lines lines{"SIMISA@@@@@@@@@@JINX0s1t______", "", "shape ("};
    lines.push_back("\tpoints ( 300000");
    for (int i = 0; i < 300000; ++i)
      lines.push_back("\t\tpoint ( " + std::to_string(i * 0.001) + " 1.25 -" + std::to_string(i % 977) + " )");
    lines.push_back("\t)");
    while (lines.size() < 1000000) {
      lines.push_back("\t\t\t\t\t\t\t\tvertex ( 00000000 12 34 ff969696 ff808080");
      lines.push_back("\t\t\t\t\t\t\t\t\tvertex_uvs ( 1 7 )");
      lines.push_back("\t\t\t\t\t\t\t\t)");
      if (lines.size() % 3000 < 3) {
        std::string idx = "\t\t\t\t\t\t\t\t\tvertex_idxs ( 3000";
        for (int k = 0; k < 3000; ++k) idx += " " + std::to_string(100000 + k);
        idx += " )";
        lines.push_back(idx);
      }
    }
    lines.push_back(")");
    std::string bytes = EncodeShape(lines, "\xFF\xFE");
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }();
  return path;
}

void BM_OpenAndSave(benchmark::State& state) {
  const std::string& in = BigShapePath();
  std::string out = in + ".out.s";
  std::size_t lines = 0;
  for (auto _ : state) {
    auto decoded = DecodeShape(ReadFileBytes(in));
    lines = decoded.lines.size();
    WriteFileAtomic(out, EncodeShape(decoded.lines, decoded.bom), out + ".BAK");
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(in)) / 1e6;
}
BENCHMARK(BM_OpenAndSave)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_IconvBothWays(benchmark::State& state) {
  const std::string& in = BigShapePath();
  std::string cmd = "iconv -f UTF-16LE -t UTF-8 '" + in + "' > '" + in + ".utf8' && iconv -f UTF-8 -t UTF-16LE '" + in +
                    ".utf8' > '" + in + ".utf16'";
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    if (std::system(cmd.c_str()) != 0) {
      state.SkipWithError("iconv failed");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
}
BENCHMARK(BM_IconvBothWays)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
