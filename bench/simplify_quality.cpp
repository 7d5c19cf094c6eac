// The simplifier's quality report: every element of the real shapes in
// ../shared/corpus-tsm and of the one-element shapes in ../shared/corpus,
// simplified to 50 % and at a few error budgets, with the symmetric
// Hausdorff distance measured by the tests' sampled measure. Given the
// folder of the npm package meshoptimizer (1.0 or later) and node, the same
// for meshoptimizer's simplifier (Permissive), measured the same way:
// Then the shapes of ../shared/corpus that ship hand-made LODs beside ours
// at the modeller's switch distance (handmade_lods.h).
//   lodsmith_simplify_quality [--meshopt <node_modules/meshoptimizer>] [--cache <file>] [--shared <folder>]
//                             [--handmade] [folder...]
// (--shared names the folder holding corpus and corpus-tsm when it is not
// beside the repository; folders given are read whole, and the hand-made
// section then reads the first of them; --cache keeps meshoptimizer's
// results, which do not change, in a file for the next run; --handmade
// prints the hand-made section alone.)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/file_io.h"
#include "document/shape_file.h"
#include "document/shape_forms.h"
#include "handmade_lods.h"
#include "preview/shape_geometry.h"
#include "simplify/simplify.h"
#include "simplify_meshes.h"

namespace fs = std::filesystem;
using namespace lodsmith;

namespace {

constexpr double kBudgets[] = {0.01, 0.05, 0.2};               // metres
constexpr double kLadder[] = {0.15, 0.3, 0.5, 0.7, 1.0, 1.5};  // meshoptimizer's error / budget

struct Element {
  std::string shape;
  int32_t element = 0;
  SimplifyMesh mesh;
};

// Each element's triangles as a mesh: one vertex per sub-object vertex, its
// point as position id.
std::vector<Element> Elements(const std::string& name, const ShapeGeometry& g) {
  std::map<int32_t, Element> byElement;
  std::map<int32_t, std::map<std::pair<int32_t, int32_t>, int32_t>> numbering;
  for (const GeometryTriangle& t : g.triangles) {
    Element& e = byElement[t.element];
    e.shape = name;
    e.element = t.element;
    auto& number = numbering[t.element];
    for (int c = 0; c < 3; ++c) {
      const auto key = std::make_pair(t.subObject, t.vertices[c]);
      auto it = number.find(key);
      if (it == number.end()) {
        it = number.emplace(key, static_cast<int32_t>(e.mesh.positions.size())).first;
        e.mesh.positions.push_back({t.corners[c].x, t.corners[c].y, t.corners[c].z});
        e.mesh.positionIds.push_back(t.points[c]);
      }
      e.mesh.indices.push_back(it->second);
    }
  }
  std::vector<Element> out;
  for (auto& [k, e] : byElement) out.push_back(std::move(e));
  return out;
}

std::vector<Element> ReadFolder(const fs::path& dir, bool singleElementOnly) {
  std::vector<Element> out;
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return out;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir, ec))
    if (entry.path().extension() == ".s") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    try {
      std::string bytes = ReadFileBytes(file.string());
      const auto form = DetectShapeForm(bytes);
      if (form && *form != ShapeForm::UnicodeText) bytes = ShapeFormToUnicodeText(bytes, *form);
      const ShapeGeometry g = ReadShapeGeometry(DecodeShape(bytes).lines);
      if (singleElementOnly && g.elementCount != 1) continue;
      for (Element& e : Elements(file.stem().string(), g))
        if (e.mesh.indices.size() >= 3 * 16) out.push_back(std::move(e));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: skipped (%s)\n", file.filename().string().c_str(), e.what());
    }
  }
  return out;
}

struct Run {
  int32_t triangles = 0;
  double error = 0;     // as reported
  double measured = 0;  // sampled Hausdorff
  double ms = 0;
};

double Measure(const SimplifyMesh& m, const std::vector<int32_t>& indices) {
  return test::SampledHausdorff(m.positions, m.indices, indices, test::Diagonal(m.positions) / 100);
}

Run Ours(const SimplifyMesh& m, const SimplifyTarget& target) {
  const auto start = std::chrono::steady_clock::now();
  const SimplifyResult r = Simplify(m, target);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return {r.trianglesAfter, r.error, Measure(m, r.indices), ms};
}

// meshoptimizer's results for the jobs (target index count, absolute error).
std::vector<Run> Meshopt(const std::string& package, const SimplifyMesh& m,
                         const std::vector<std::pair<int32_t, float>>& jobs) {
  const std::string meshFile = (fs::temp_directory_path() / "lodsmith_quality_mesh.bin").string();
  const std::string resultFile = (fs::temp_directory_path() / "lodsmith_quality_result.bin").string();
  {
    std::ofstream out(meshFile, std::ios::binary);
    const auto put = [&](const auto& v) { out.write(reinterpret_cast<const char*>(&v), sizeof v); };
    put(static_cast<int32_t>(m.positions.size()));
    put(static_cast<int32_t>(m.indices.size() / 3));
    for (const auto& p : m.positions)
      for (double c : p) put(static_cast<float>(c));
    for (int32_t i : m.indices) put(static_cast<uint32_t>(i));
    put(static_cast<int32_t>(jobs.size()));
    for (const auto& [count, error] : jobs) {
      put(count);
      put(error);
    }
  }
  const std::string command = "node " + std::string(LODSMITH_BENCH_SOURCE_DIR) + "/simplify_meshopt.mjs '" + package +
                              "' '" + meshFile + "' '" + resultFile + "'";
  std::vector<Run> runs;
  if (std::system(command.c_str()) != 0) return runs;
  std::ifstream in(resultFile, std::ios::binary);
  for (size_t j = 0; j < jobs.size(); ++j) {
    int32_t count = 0;
    in.read(reinterpret_cast<char*>(&count), 4);
    std::vector<int32_t> indices(static_cast<size_t>(count));
    for (auto& i : indices) {
      uint32_t v = 0;
      in.read(reinterpret_cast<char*>(&v), 4);
      i = static_cast<int32_t>(v);
    }
    float error = 0;
    double ms = 0;
    in.read(reinterpret_cast<char*>(&error), 4);
    in.read(reinterpret_cast<char*>(&ms), 8);
    if (!in) break;
    runs.push_back({count / 3, error, Measure(m, indices), ms});
  }
  return runs;
}

// meshoptimizer's runs by element ("shape element triangles"), kept
// between reports.
class RunCache {
public:
  explicit RunCache(std::string file) : file_(std::move(file)) {
    std::ifstream in(file_);
    std::string key;
    size_t count = 0;
    while (in >> std::quoted(key) >> count) {
      std::vector<Run>& runs = runs_[key];
      runs.resize(count);
      for (Run& r : runs) in >> r.triangles >> r.error >> r.measured >> r.ms;
    }
  }
  const std::vector<Run>* Find(const std::string& key) const {
    const auto it = runs_.find(key);
    return it == runs_.end() ? nullptr : &it->second;
  }
  void Add(const std::string& key, const std::vector<Run>& runs) {
    if (file_.empty() || runs.empty()) return;
    std::ofstream out(file_, std::ios::app);
    out << std::quoted(key) << ' ' << runs.size() << std::setprecision(17);
    for (const Run& r : runs) out << ' ' << r.triangles << ' ' << r.error << ' ' << r.measured << ' ' << r.ms;
    out << '\n';
  }

private:
  std::string file_;
  std::map<std::string, std::vector<Run>> runs_;
};

// The table of every element at 50 % and at the budgets, ours beside
// meshoptimizer's where its package is given, and the summary lines.
void PrintElementSections(const std::vector<std::pair<fs::path, bool>>& folders, const std::string& package,
                          const std::string& cacheFile) {
  RunCache cache(cacheFile);
  std::vector<Element> elements;
  for (const auto& [dir, single] : folders)
    for (Element& e : ReadFolder(dir, single)) elements.push_back(std::move(e));
  std::printf("%-44s %4s %6s  %-6s %6s %9s %9s %8s | %6s %9s %8s\n", "shape", "elem", "tris", "mode", "ours", "bound",
              "measured", "ms", "mopt", "measured", "ms");
  double oursMs = 0, moptMs = 0, inputTris = 0;
  double oursAuto = 0, moptAuto = 0;
  int autoRuns = 0, autoWithin = 0;
  int halfWithin = 0, halfCompared = 0, halfAtMost55 = 0;
  for (const Element& e : elements) {
    const SimplifyMesh& m = e.mesh;
    const int32_t tris = static_cast<int32_t>(m.indices.size() / 3);
    std::vector<std::pair<int32_t, float>> jobs = {{static_cast<int32_t>(m.indices.size() / 2 / 3 * 3), 1e30f}};
    for (double b : kBudgets)
      for (double f : kLadder) jobs.push_back({0, static_cast<float>(b * f)});
    const std::string key = e.shape + " " + std::to_string(e.element) + " " + std::to_string(tris);
    const std::vector<Run>* cached = cache.Find(key);
    std::vector<Run> mopt;
    if (cached) {
      mopt = *cached;
    } else if (!package.empty()) {
      mopt = Meshopt(package, m, jobs);
      cache.Add(key, mopt);
    }
    const std::string shape = e.shape.size() > 44 ? e.shape.substr(e.shape.size() - 44) : e.shape;
    const Run half = Ours(m, SimplifyTarget::Ratio(0.5));
    oursMs += half.ms;
    inputTris += tris;
    halfAtMost55 += half.triangles <= 0.55 * tris;
    std::printf("%-44s %4d %6d  %-6s %6d %9.5f %9.5f %8.2f", shape.c_str(), e.element, tris, "50%", half.triangles,
                half.error, half.measured, half.ms);
    if (mopt.size() == jobs.size()) {
      moptMs += mopt[0].ms;
      ++halfCompared;
      halfWithin += half.measured <= 1.5 * mopt[0].measured + 1e-9;
      std::printf(" | %6d %9.5f %8.2f", mopt[0].triangles, mopt[0].measured, mopt[0].ms);
    }
    std::printf("\n");
    for (size_t b = 0; b < std::size(kBudgets); ++b) {
      const Run r = Ours(m, SimplifyTarget::MaxError(kBudgets[b]));
      std::printf("%-44s %4d %6d  %-6.3g %6d %9.5f %9.5f %8.2f", shape.c_str(), e.element, tris, kBudgets[b],
                  r.triangles, r.error, r.measured, r.ms);
      if (mopt.size() == jobs.size()) {
        // The fewest of meshoptimizer's triangles whose measured error is within the budget.
        const Run* best = nullptr;
        for (size_t f = 0; f < std::size(kLadder); ++f) {
          const Run& c = mopt[1 + b * std::size(kLadder) + f];
          if (c.measured <= kBudgets[b] && (!best || c.triangles < best->triangles)) best = &c;
        }
        if (best) {
          oursAuto += r.triangles;
          moptAuto += best->triangles;
          ++autoRuns;
          autoWithin += r.triangles <= 1.1 * best->triangles;
          std::printf(" | %6d %9.5f %8.2f", best->triangles, best->measured, best->ms);
        }
      }
      std::printf("\n");
    }
  }
  std::printf("\nelements: %zu, input triangles: %.0f\n", elements.size(), inputTris);
  std::printf("50%%: ours %.0f ms in all, %.2f M triangles/s; at most 55 %% of the triangles: %d of %zu\n", oursMs,
              inputTris / oursMs / 1000, halfAtMost55, elements.size());
  if (halfCompared)
    std::printf("50%%: meshoptimizer (node, wasm) %.0f ms; measured error within 1.5x meshoptimizer's: %d of %d\n",
                moptMs, halfWithin, halfCompared);
  if (moptAuto > 0)
    std::printf(
        "budgets: ours %.0f triangles, meshoptimizer's fewest within the budget %.0f (%.2fx); runs within "
        "1.1x: %d of %d\n",
        oursAuto, moptAuto, oursAuto / moptAuto, autoWithin, autoRuns);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::string package, cacheFile;
  fs::path shared = LODSMITH_BENCH_SHARED_DIR;
  bool handmadeOnly = false;
  std::vector<std::pair<fs::path, bool>> folders;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--meshopt") == 0 && i + 1 < argc) {
      package = argv[++i];
    } else if (std::strcmp(argv[i], "--cache") == 0 && i + 1 < argc) {
      cacheFile = argv[++i];
    } else if (std::strcmp(argv[i], "--shared") == 0 && i + 1 < argc) {
      shared = argv[++i];
    } else if (std::strcmp(argv[i], "--handmade") == 0) {
      handmadeOnly = true;
    } else {
      folders.push_back({argv[i], false});
    }
  }
  const fs::path handmade = folders.empty() ? shared / "corpus" : folders.front().first;
  if (folders.empty()) {
    folders.push_back({shared / "corpus-tsm", false});
    folders.push_back({shared / "corpus", true});
  }
  if (!handmadeOnly) PrintElementSections(folders, package, cacheFile);
  lodsmith::bench::PrintHandmadeSection(handmade);
  return 0;
}
