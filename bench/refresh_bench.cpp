// The recount that runs on every cell selection of the element grid, at the
// largest size the grids allow, and the analysis of the largest real shape.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/file_io.h"
#include "core/grid_columns.h"
#include "document/analysis.h"
#include "document/shape_file.h"
#include "mesh_shape.h"
#include "synthetic_shape.h"
#include "ui/tlsform.h"

using namespace lodsmith;

namespace {

// Answers nothing and shows nothing: the recount asks no questions.
class QuietPlatform : public Platform {
public:
  MsgResult MessageBox(MsgKind, MsgButtons, const std::string&, const MsgIdentity&) override { return MsgResult::Yes; }
  std::optional<std::string> OpenDialog(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveDialog(const FileDialogRequest&) override { return std::nullopt; }
  int Cursor() override { return crDefault; }
  void SetCursor(int) override {}
  void ProcessMessages() override {}
  void FocusControl(const std::string&) override {}
  void CloseWindow() override {}
  int ScreenWidth() override { return 1920; }
  int ScreenHeight() override { return 1080; }
  char DecimalSeparator() override { return ','; }
  std::string ExecutablePath() override { return "/nonexistent/Lodsmith"; }
  std::optional<std::string> RegistryReadLocalMachine(const std::string&, const std::string&) override { return {}; }
  bool FileExists(const std::string& path) override { return lodsmith::FileExists(path); }
  bool CanStoreFile(const std::string& path) override { return lodsmith::CanStoreFile(path); }
  std::string UserSettingsFolder() override { return ""; }
  bool CreateFolder(const std::string&) override { return false; }
  bool StartConsoleScript(const std::string&) override { return false; }
  PrinterInfo DefaultPrinter(bool) override { return {}; }
  void PrintPages(const std::vector<PrintPage>&, bool, const std::string&) override {}  // never asked here
  void PrintPagesToPdf(const std::vector<PrintPage>&, bool, const std::string&) override {}
};

constexpr int kElements = 800;
constexpr int kLods = 99;
constexpr int kSubObjects = 99;

// A form holding an 800-element shape with 99 LODs whose assignments use
// every sub-object number 1..99 in every LOD.
void PrepareLargeForm(TLSForm& form) {
  test::OutlineShapeRecipe recipe;
  recipe.elements = kElements;
  recipe.matrices = 40;
  recipe.vtxStates = 200;
  form.ShapeLines = test::OutlineShape(recipe);
  form.AnalyseShape();
  form.SetLODAnzSpinEditValue(kLods);
  form.LODAnzSpinEditExit();
  for (int k = 1; k <= kLods; ++k)
    for (int r = 1; r <= kElements; ++r)
      form.StringGrid1.SetCell(grid::ElementLodColumn(k), r, std::to_string((r + k) % kSubObjects + 1));
  form.SetLODSpinEditValue(50);
}

void BM_RefreshSubObjectGrid(benchmark::State& state) {
  QuietPlatform platform;
  TLSForm form(platform);
  PrepareLargeForm(form);
  for (auto _ : state) {
    form.RefreshSubObjectGrid();
    benchmark::DoNotOptimize(form.StringGrid2.Cell(grid::kSubObjectVertices, kSubObjects));
  }
  if (form.StringGrid2.RowCount() != kSubObjects + 1) state.SkipWithError("the recount did not show 99 sub-objects");
}
BENCHMARK(BM_RefreshSubObjectGrid)->Unit(benchmark::kMillisecond);

// Saving and loading the per-model settings of the same form: 800 rows in
// each of 99 LODs.
void BM_ModelSettings(benchmark::State& state) {
  const bool save = state.range(0) == 0;
  QuietPlatform platform;
  TLSForm form(platform);
  PrepareLargeForm(form);
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "lodsmith-bench-settings";
  std::filesystem::create_directories(dir);
  form.FileName = (dir / "large.s").string();
  form.SaveModelSettings();
  state.SetLabel(save ? "save" : "load");
  for (auto _ : state) {
    if (save)
      form.SaveModelSettings();
    else
      form.LoadModelSettings();
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ModelSettings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The largest UTF-16 shape of the shared corpus (LODSMITH_CORPUS names
// another folder).
std::string LargestCorpusShape() {
  namespace fs = std::filesystem;
  const char* env = std::getenv("LODSMITH_CORPUS");
  fs::path dir =
      env ? fs::path(env) : fs::path(__FILE__).parent_path().parent_path().parent_path() / "shared" / "corpus";
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return "";
  std::string best;
  std::uintmax_t bestSize = 0;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    if (e.path().extension() != ".s") continue;
    std::string bytes = ReadFileBytes(e.path().string());
    if (bytes.rfind("\xFF\xFE", 0) != 0) continue;
    if (bytes.size() > bestSize) {
      bestSize = bytes.size();
      best = e.path().string();
    }
  }
  return best;
}

void BM_AnalyseLargestCorpusShape(benchmark::State& state) {
  std::string path = LargestCorpusShape();
  if (path.empty()) {
    state.SkipWithError("no shape corpus in ../shared/corpus");
    for (auto _ : state) {
    }
    return;
  }
  Lines lines = DecodeShape(ReadFileBytes(path)).lines;
  state.SetLabel(std::filesystem::path(path).filename().string() + ", " + std::to_string(lines.size()) + " lines");
  for (auto _ : state) {
    ShapeAnalysis a = AnalyseShape(lines);
    benchmark::DoNotOptimize(a.elements.size());
  }
}
BENCHMARK(BM_AnalyseLargestCorpusShape)->Unit(benchmark::kMillisecond);

// One element of 20 000 triangles, a wavy sheet of 100 x 100 squares (a
// flat one would simplify without any error to weigh), in a form with
// three LODs.
void PrepareWavyForm(TLSForm& form) {
  test::MeshElement sheet{"Sheet", 0, {}, {}};
  constexpr int n = 100;
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i)
      sheet.points.push_back({i * 0.1f, j * 0.1f, 0.3f * std::sin(i / 7.0f) * std::cos(j / 5.0f)});
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const int a = i + (n + 1) * j;
      for (int t : {a, a + 1, a + n + 2, a, a + n + 2, a + n + 1}) sheet.triangles.push_back(t);
    }
  test::MeshShapeRecipe recipe;
  recipe.elements = {sheet};
  recipe.faceNormals = 1;
  form.ShapeLines = test::MeshShape(recipe);
  form.AnalyseShape();
  form.SetLODAnzSpinEditValue(3);
  form.LODAnzSpinEditExit();
}

// A detail typed into the window's detail grid, with the recount of the
// grids it brings: range(0) = 1 a detail never asked before (the element is
// simplified), 0 one asked before (the cache answers).
void BM_DetailEdit(benchmark::State& state) {
  QuietPlatform platform;
  TLSForm form(platform);
  PrepareWavyForm(form);
  const bool fresh = state.range(0) == 1;
  int percent = 10;
  for (auto _ : state) {
    percent = fresh ? percent % 98 + 1 : (percent == 10 ? 50 : 10);
    form.DetailGridSetEditText(1, 2, std::to_string(percent) + "%");
    benchmark::DoNotOptimize(form.StringGrid5.Cell(grid::kOverviewFaces, 2));
  }
  if (form.StringGrid5.Cell(grid::kOverviewFaces, 2) == form.StringGrid5.Cell(grid::kOverviewFaces, 1))
    state.SkipWithError("the overview did not count the simplified LOD");
}
BENCHMARK(BM_DetailEdit)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace
