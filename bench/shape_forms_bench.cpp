// The compressed form: reading (inflate + the utility's text) and writing
// (text parse + blocks + deflate) against bare zlib on the same payload.
// The ratio of each pair is the codec's cost over zlib's own.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bench_shapes.h"
#include "document/shape_file.h"
#include "document/shape_forms.h"

using namespace lodsmith;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The largest compressed shape of the shared corpus, if it is there.
const std::string& CorpusCompressed() {
  static const std::string bytes = [] {
    const std::filesystem::path dir = std::filesystem::path(LODSMITH_BENCH_SHARED_DIR) / "corpus";
    std::string best;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
      if (e.path().extension() != ".s") continue;
      std::string b = ReadAll(e.path().string());
      if (DetectShapeForm(b) == ShapeForm::Compressed && b.size() > best.size()) best = std::move(b);
    }
    return best;
  }();
  return bytes;
}

// About a million lines of the lists that make up most of a large shape
// (points, uv_points, normals) as top-level blocks, compressed once.
const std::string& SyntheticCompressed() {
  static const std::string bytes = [] {
    const int points = 330000;
    std::string t = "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\n";
    t += "\tpoints ( " + std::to_string(points) + "\r\n";
    for (int i = 0; i < points; ++i)
      t += "\t\tpoint ( " + std::to_string(i * 0.013) + " " + std::to_string(i % 977 * 0.25) + " -" +
           std::to_string(i % 131 * 1.5) + " )\r\n";
    t += "\t)\r\n\tuv_points ( " + std::to_string(points) + "\r\n";
    for (int i = 0; i < points; ++i)
      t += "\t\tuv_point ( " + std::to_string(i % 1000 * 0.001) + " " + std::to_string(i % 7 * 0.125) + " )\r\n";
    t += "\t)\r\n\tnormals ( " + std::to_string(points) + "\r\n";
    for (int i = 0; i < points; ++i) t += "\t\tvector ( 0 1 " + std::to_string(i % 3) + " )\r\n";
    t += "\t)\r\n";
    std::string wide = "\xFF\xFE";
    for (char c : t) {
      wide += c;
      wide += '\0';
    }
    return UnicodeTextToShapeForm(wide, ShapeForm::Compressed);
  }();
  return bytes;
}

const std::string& Shape(int which) { return which == 0 ? CorpusCompressed() : SyntheticCompressed(); }

void BM_ReadCompressed(benchmark::State& state) {
  const std::string& bytes = Shape(static_cast<int>(state.range(0)));
  if (bytes.empty()) return state.SkipWithError("no compressed shape");
  for (auto _ : state) benchmark::DoNotOptimize(ShapeFormToUnicodeText(bytes, ShapeForm::Compressed));
  state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ZlibInflate(benchmark::State& state) {
  const std::string& bytes = Shape(static_cast<int>(state.range(0)));
  if (bytes.empty()) return state.SkipWithError("no compressed shape");
  for (auto _ : state) benchmark::DoNotOptimize(bench::Inflated(bytes));
  state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_WriteCompressed(benchmark::State& state) {
  const std::string& bytes = Shape(static_cast<int>(state.range(0)));
  if (bytes.empty()) return state.SkipWithError("no compressed shape");
  const std::string text = ShapeFormToUnicodeText(bytes, ShapeForm::Compressed);
  for (auto _ : state) benchmark::DoNotOptimize(UnicodeTextToShapeForm(text, ShapeForm::Compressed));
}

// Saving as the session saves: from the document's lines.
void BM_WriteCompressedFromLines(benchmark::State& state) {
  const std::string& bytes = Shape(static_cast<int>(state.range(0)));
  if (bytes.empty()) return state.SkipWithError("no compressed shape");
  const DecodedShape d = DecodeShape(ShapeFormToUnicodeText(bytes, ShapeForm::Compressed));
  for (auto _ : state) benchmark::DoNotOptimize(LinesToShapeForm(d.lines, d.bom, ShapeForm::Compressed));
}

void BM_ZlibDeflate(benchmark::State& state) {
  const std::string& bytes = Shape(static_cast<int>(state.range(0)));
  if (bytes.empty()) return state.SkipWithError("no compressed shape");
  const std::string payload = bench::Inflated(bytes);
  std::string out(compressBound(payload.size()), '\0');
  for (auto _ : state) {
    uLongf size = out.size();
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(payload.data()),
              payload.size(), Z_DEFAULT_COMPRESSION);
    benchmark::DoNotOptimize(size);
  }
}

}  // namespace

// Argument 0: the largest compressed corpus shape; 1: the synthetic shape.
BENCHMARK(BM_ReadCompressed)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCompressed)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCompressedFromLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDeflate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
