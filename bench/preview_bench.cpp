// One preview frame of the largest shape of the shared corpus at 800 x 600,
// against clearing the same image and depth buffers and copying the image
// out (the least any frame costs). Without the corpus a synthetic shape of
// 20 000 triangles stands in.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "document/shape_file.h"
#include "document/shape_forms.h"
#include "generation/lod_assignment.h"
#include "mesh_shape.h"
#include "preview/preview_render.h"
#include "preview/shape_geometry.h"

using namespace lodsmith;

namespace {

struct Subject {
  std::string name;
  ShapeGeometry geometry;
};

Subject Synthetic() {
  test::MeshShapeRecipe r;
  r.elements.push_back(test::MeshElement{"Boxes", 0, {}, {}});
  for (int i = 0; i < 20000 / 12; ++i) {
    const float x = static_cast<float>(i % 40), z = static_cast<float>(i / 40);
    test::AddBox(r.elements.back(), {x, 0, z}, {x + 0.8f, 0.5f + (i % 7) * 0.2f, z + 0.8f});
  }
  return {"synthetic", ReadShapeGeometry(test::MeshShape(r))};
}

// The shape with the most triangles among the corpus folders' shapes.
const Subject& Largest() {
  static const Subject subject = [] {
    Subject best;
    namespace fs = std::filesystem;
    for (const char* folder : {"corpus", "corpus-tsm"}) {
      const fs::path dir = fs::path(LODSMITH_BENCH_SHARED_DIR) / folder;
      std::error_code ec;
      if (!fs::is_directory(dir, ec)) continue;
      for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (entry.path().extension() != ".s") continue;
        try {
          std::string bytes = ReadFileBytes(entry.path().string());
          auto form = DetectShapeForm(bytes);
          if (form && *form != ShapeForm::UnicodeText) bytes = ShapeFormToUnicodeText(bytes, *form);
          ShapeGeometry g = ReadShapeGeometry(DecodeShape(bytes).lines);
          if (g.triangles.size() > best.geometry.triangles.size())
            best = {entry.path().filename().string(), std::move(g)};
        } catch (const std::exception&) {
          // A shape the preview refuses is no subject for its speed.
        }
      }
    }
    return best.geometry.triangles.empty() ? Synthetic() : best;
  }();
  return subject;
}

void BM_PreviewFrame(benchmark::State& state) {
  const Subject& s = Largest();
  PreviewSettings settings;
  settings.width = 800;
  settings.height = 600;
  settings.camera = CameraFor(PreviewView::Iso);
  for (auto _ : state) {
    // The orbit turns the camera a little each frame.
    settings.camera.yawDegrees += 1;
    PreviewFrame f = RenderPreview(s.geometry, nullptr, settings);
    benchmark::DoNotOptimize(f.image.pixels.data());
  }
  state.SetLabel(s.name + ", " + std::to_string(s.geometry.triangles.size()) + " triangles");
}
BENCHMARK(BM_PreviewFrame)->Unit(benchmark::kMillisecond);

// "As seen" from a near distance (the model fills the screen) and a far
// one (a few screen pixels, enlarged).
void BM_PreviewAsSeen(benchmark::State& state) {
  const Subject& s = Largest();
  LodAssignment a;
  AssignedElement everywhere;
  everywhere.lods = {AssignmentCell::Read("0")};
  a.elements.assign(static_cast<std::size_t>(s.geometry.elementCount), everywhere);
  a.distances = {std::to_string(state.range(0))};
  PreviewSettings settings;
  settings.width = 800;
  settings.height = 600;
  settings.lod = 1;
  settings.asSeen = true;
  settings.camera = CameraFor(PreviewView::Iso);
  for (auto _ : state) {
    settings.camera.yawDegrees += 1;
    PreviewFrame f = RenderPreview(s.geometry, &a, settings);
    benchmark::DoNotOptimize(f.image.pixels.data());
  }
  state.SetLabel(s.name + ", " + std::to_string(s.geometry.triangles.size()) + " triangles");
}
BENCHMARK(BM_PreviewAsSeen)->Arg(60)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_ClearAndCopy(benchmark::State& state) {
  std::vector<uint8_t> shown(800 * 600 * 4);
  for (auto _ : state) {
    Raster raster(800, 600, kPreviewBackground);
    const RgbaImage& image = raster.Image();
    std::memcpy(shown.data(), image.pixels.data(), shown.size());
    benchmark::DoNotOptimize(shown.data());
  }
}
BENCHMARK(BM_ClearAndCopy)->Unit(benchmark::kMillisecond);

}  // namespace
