#include "bench_shapes.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "document/shape_file.h"
#include "synthetic_shape.h"

namespace lodsmith::bench {

namespace {

constexpr int kLods = 10;
constexpr int kSubObjects = 20;
constexpr int kElements = 200;
constexpr int kSets = 200;
constexpr int kSetVertices = 620;

GenerationShape BuildGenerationShape() {
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
  GenerationShape b;
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
}

}  // namespace

const GenerationShape& TenLodsTwentySubObjects() {
  static const GenerationShape shape = BuildGenerationShape();
  return shape;
}

void WriteBatchShapes(const std::filesystem::path& folder, int count) {
  std::filesystem::create_directories(folder);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> lines(2000, 8000);
  for (int i = 0; i < count; ++i) {
    // Points, vertices and their indices make about two lines per vertex.
    const int vertices = (lines(rng) - 120) / 2;
    test::ExportedShapeRecipe recipe;
    recipe.setVertices = {vertices / 2, vertices - vertices / 2};
    Lines shape = test::ExportedShape(recipe);
    // A third of the points repeat an earlier one: work for the merge.
    const int distinct = std::max(1, vertices * 2 / 3);
    for (auto& line : shape) {
      const auto at = line.find("point ( ");
      if (at == std::string::npos || line.find("uv_point") != std::string::npos) continue;
      const int p = std::atoi(line.c_str() + at + 8);
      line = line.substr(0, at) + "point ( " + std::to_string(p % distinct) + " 0.5 -1.25 )";
    }
    char name[32];
    std::snprintf(name, sizeof name, "shape%03d.s", i);
    const std::string bytes = EncodeShape(shape, "\xFF\xFE");
    std::ofstream(folder / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
}

std::string Inflated(const std::string& compressed) {
  uLongf size = static_cast<uLongf>(compressed[8] & 0xFF) | static_cast<uLongf>(compressed[9] & 0xFF) << 8 |
                static_cast<uLongf>(compressed[10] & 0xFF) << 16 | static_cast<uLongf>(compressed[11] & 0xFF) << 24;
  std::string out(size, '\0');
  uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(compressed.data() + 16),
             compressed.size() - 16);
  return out;
}

}  // namespace lodsmith::bench
