// Writes the seed inputs of every fuzz target into <folder>/<target>/: small
// shapes of our own (synthetic ones and samples/sample.s) and settings
// files, in the input layout each target reads (see the targets' heads).
// The output is the same on every run; scripts/fuzz.sh seeds rewrites
// fuzz/seeds with it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/shape_file.h"
#include "synthetic_shape.h"

using namespace lodsmith;
using namespace lodsmith::test;
namespace fs = std::filesystem;

namespace {

fs::path g_out;

void Write(const std::string& target, const std::string& name, const std::string& bytes) {
  fs::create_directories(g_out / target);
  std::ofstream f(g_out / target / name, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Text(const Lines& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\n";
  return s;
}

Lines Sample() {
  std::ifstream in(std::string(LODSMITH_SAMPLES_DIR) + "/sample.s", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  return DecodeShape(bytes).lines;
}

// Replaces the first occurrence of `from` in every line.
Lines Replace(Lines lines, const std::string& from, const std::string& to) {
  for (auto& l : lines)
    if (auto p = l.find(from); p != std::string::npos) l.replace(p, from.size(), to);
  return lines;
}

// Points that coincide in pairs and near each other, four normals of which
// two are equal and one is near, vertices and faces spread over them.
Lines WithNearEntries(Lines lines) {
  Lines out;
  int vertex = 0, face = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string l = lines[i];
    if (auto p = l.find("point ( "); p != std::string::npos) {
      const int n = std::stoi(l.substr(p + 8));
      l = l.substr(0, p) + "point ( " + std::to_string(n / 2) + (n % 3 == 2 ? ".0004" : "") + " 0.5 -1.25 )";
    } else if (l == "\tnormals ( 1") {
      out.push_back("\tnormals ( 4");
      out.push_back("\t\tvector ( 0 1 0 )");
      out.push_back("\t\tvector ( 0 -1 0 )");
      out.push_back("\t\tvector ( 0 1 0 )");
      out.push_back("\t\tvector ( 0.0003 0.9999 0 )");
      ++i;  // the one vector of the synthetic shape
      continue;
    } else if (auto v = l.find("vertex ( 00000000 "); v != std::string::npos) {
      // The normal number is the third token after "(".
      std::size_t a = l.find(' ', v + 18);
      std::size_t b = l.find(' ', a + 1);
      l = l.substr(0, a + 1) + std::to_string(vertex++ % 4) + l.substr(b);
    } else if (auto ni = l.find("normal_idxs ( "); ni != std::string::npos) {
      std::string rebuilt = l.substr(0, ni + 14);
      std::size_t k = ni + 14;
      std::size_t sp = l.find(' ', k);
      rebuilt += l.substr(k, sp - k);  // the count
      const int count = std::stoi(l.substr(k, sp - k));
      for (int f = 0; f < count; ++f) rebuilt += " " + std::to_string(face++ % 4) + " 3";
      l = rebuilt + " )";
    }
    out.push_back(l);
  }
  return out;
}

// The animations block of two nodes for the first two matrices (M0 moves,
// M1 does not) in front of the shape's closing line.
Lines WithAnimations(Lines lines) {
  const std::string last = lines.back();
  lines.pop_back();
  for (const char* l : {"\tanimations ( 1",
                        "\t\tanimation ( 2 30",
                        "\t\t\tanim_nodes ( 2",
                        "\t\t\t\tanim_node M0 (",
                        "\t\t\t\t\tcontrollers ( 2",
                        "\t\t\t\t\t\ttcb_rot ( 2",
                        "\t\t\t\t\t\t\tslerp_rot ( 0 0 0 0 1 )",
                        "\t\t\t\t\t\t\tslerp_rot ( 1 0 0.7071 0 0.7071 )",
                        "\t\t\t\t\t\t)",
                        "\t\t\t\t\t\tlinear_pos ( 2",
                        "\t\t\t\t\t\t\tlinear_key ( 0 0 0 0 )",
                        "\t\t\t\t\t\t\tlinear_key ( 1 0 1 0 )",
                        "\t\t\t\t\t\t)",
                        "\t\t\t\t\t)",
                        "\t\t\t\t)",
                        "\t\t\t\tanim_node M1 (",
                        "\t\t\t\t\tcontrollers ( 0 )",
                        "\t\t\t\t)",
                        "\t\t\t)",
                        "\t\t)",
                        "\t)"})
    lines.push_back(l);
  lines.push_back(last);
  return lines;
}

// Light materials TSM writes wrongly, and elements whose names call for the
// other one.
Lines WithMaterialErrors(Lines lines) {
  lines = Replace(lines, "prim_state E0 (", "prim_state E0_loshine (");
  lines = Replace(lines, "prim_state E1 (", "prim_state Glas_HiShine (");
  lines = Replace(lines, "vtx_state ( 00000000 0 -5", "vtx_state ( 00000000 0 -6");
  lines = Replace(lines, "vtx_state ( 00000000 1 -5", "vtx_state ( 00000000 1 -7");
  return lines;
}

struct Shape {
  std::string name;
  Lines lines;
};

std::vector<Shape> Shapes() {
  std::vector<Shape> shapes;
  auto synthetic = [](ExportedShapeRecipe o) { return ExportedShape(o); };
  shapes.push_back({"synthetic", synthetic({})});
  ExportedShapeRecipe o;
  o.sortVectorsOnOneLine = false;
  o.volumes = 2;
  shapes.push_back({"sort-vectors", synthetic(o)});
  o = {};
  o.elementWithoutPrimitive = 1;
  o.elementWithTwoPrimitives = 0;
  shapes.push_back({"odd-elements", synthetic(o)});
  o = {};
  o.matrices = 4;
  o.stateMatrix = {0, 1, 2, 3, 1};
  o.setVertices = {3, 6, 9, 4, 3};
  o.elementState = {0, 1, 2, 3, 4, 1, 0};
  o.elementFaces = {1, 2, 40, 1, 1, 3, 1};  // a vertex list longer than one line
  o.subObjectFlags = "00000500";
  shapes.push_back({"four-matrices", synthetic(o)});
  shapes.push_back({"sample", Sample()});
  return shapes;
}

// `control` is the control line in front of the shape; none when null.
void ShapeSeeds(const std::string& target, const char* control,
                const std::vector<std::pair<std::string, Lines>>& shapes) {
  for (const auto& [name, lines] : shapes)
    Write(target, name, (control ? std::string(control) + "\n" : std::string()) + Text(lines));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
    return 2;
  }
  g_out = argv[1];
  const std::vector<Shape> shapes = Shapes();
  const Lines& plain = shapes[0].lines;
  const Lines& sample = shapes.back().lines;
  const Lines& four = shapes[3].lines;

  // Shape file images, and the corners of the file layout.
  for (const auto& s : shapes) Write("shape_decode", s.name + ".s", EncodeShape(s.lines, "\xFF\xFE"));
  Write("shape_decode", "empty", "");
  Write("shape_decode", "one-byte", "\xFF");
  Write("shape_decode", "no-line-end", std::string("\xFF\xFEs\0h\0", 6));
  Write("shape_decode", "ascii", "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape (\r\n)\r\n");
  Write("shape_decode", "end-mark",
        std::string("\xFF\xFE"
                    "a\0\r\0\n\0\x1A\0b\0\r\0\n\0",
                    16));
  Write("shape_decode", "lone-cr",
        std::string("\xFF\xFE"
                    "a\0\r\0b\0\r\r\n\0x\0\n\0\0",
                    18));
  {
    Lines wide = {"SIMISA@@@@@@@@@@JINX0s1t______", std::string(300, 'a') + " b", "\x01\xFF\x80"};
    std::string image = EncodeShape(wide, "\xFF\xFE");
    image += std::string("\x3D\xD8\x02\xDE\x00\xD8\r\0\n\0", 10);  // a pair and a lone surrogate
    Write("shape_decode", "wide-lines", image);
  }

  std::vector<std::pair<std::string, Lines>> all;
  for (const auto& s : shapes) all.push_back({s.name, s.lines});
  ShapeSeeds("analysis", nullptr, all);
  Write("analysis", "sample-image", EncodeShape(sample, "\xFF\xFE"));
  ShapeSeeds("preview", nullptr, all);

  // Generation: control bytes LOD count, distances, sort marks, then cells
  // (see generation.cpp: '1'..'4' LODs; 'a'..'d' distances; '0' no marks;
  // '0'..'5' cells of that number, '9' absent, '8' empty).
  ShapeSeeds("generation", "1a0", all);
  ShapeSeeds("generation", "2a0121", {{"two-lods", plain}});
  ShapeSeeds("generation", "3b5112299", {{"three-lods-sorted", four}});
  ShapeSeeds("generation", "4c11234", {{"four-lods", four}});
  ShapeSeeds("generation", "2d30912", {{"odd-distances", sample}});
  ShapeSeeds("generation", "1a0990", {{"shared-and-absent", shapes[2].lines}});

  for (const char* target : {"point_merge", "normal_merge"}) {
    ShapeSeeds(target, "0", {{"sample", sample}});
    ShapeSeeds(target, "0", {{"near-entries", WithNearEntries(plain)}});
    ShapeSeeds(target, "0,001", {{"near-entries-tolerance", WithNearEntries(plain)}});
    ShapeSeeds(target, "0,5", {{"four-matrices", WithNearEntries(four)}});
    ShapeSeeds(target, "-1", {{"negative-tolerance", sample}});
  }

  ShapeSeeds("material_fix", nullptr,
             {{"sample", sample}, {"names", WithMaterialErrors(plain)}, {"four-matrices", WithMaterialErrors(four)}});

  ShapeSeeds("animation_strip", "", {{"sample-as-read", sample}});
  ShapeSeeds("animation_strip", ",", {{"sample-unmarked", sample}});
  ShapeSeeds("animation_strip", "x,", {{"synthetic-keep-first", WithAnimations(plain)}});
  ShapeSeeds("animation_strip", ",X,x,", {{"four-matrices", WithAnimations(four)}});

  // Settings files: the model's own, the program's, and a language file.
  const std::string model =
      "[Delta]\r\nPoints=0,001\r\nNormals=0\r\n[SONR_L1]\r\n1=1\r\n2=2\r\n[SOSORT_L1]\r\n1=\r\n2=x\r\n"
      "[SONR_L2]\r\n1=1\r\n2=999\r\n[SOSORT_L2]\r\n1=x\r\n[ANIM]\r\n1=\r\n2=x\r\n[LODs]\r\nAnzahl=2\r\n1=300\r\n2="
      "2000\r\n";
  const std::string older =
      "[Delta]\r\nPoints=0\r\n[SONR]\r\n1=2\r\n2=1\r\n[SOSORT]\r\n2=x\r\n[LODs]\r\nAnzahl=1\r\n1=1500\r\n";
  const std::string odd =
      "; hand-edited\r\n[lods]\r\nanzahl = 3 \r\n1=\"250\"\r\n2=abc\r\n3=99999\r\n[sonr_l1]\r\n1=05\r\n2=0\r\n"
      "[SONR_L3]\r\n1=2147483648\r\n2=-1\r\n[ANIM]\r\n1=X\r\n[Delta]\r\nPoints=1e400\r\nNormals=-0,5\r\n";
  for (const char* target : {"ini_file", "model_settings"}) {
    Write(target, "model.Lodsmith", model);
    Write(target, "older-layout.Lodsmith", older);
    Write(target, "hand-edited.Lodsmith", odd);
  }
  Write("model_settings", "many-lods.Lodsmith", "[LODs]\r\nAnzahl=150\r\n1=100\r\n99=2000\r\n[SONR_L99]\r\n1=3\r\n");
  Write("ini_file", "program.INI",
        "[LODs]\r\nAnzahl=2\r\n1=400\r\n2=2000\r\n[Dir]\r\nInitialDir=C:\\Spiele\\Zug\\\r\nFilename=wagen.s\r\n"
        "FFEdit=C:\\Programme\\Train Simulator\\Utils\\FFEdit\\\r\n");
  Write("ini_file", "sections-only", "[Languages]\n[LODs]\n\n[Delta]\nPoints\n=0\n[]\n[Dir");
  Write("ini_file", "code-page", "[Dir]\r\nInitialDir=C:\\Z\xFCge\\\x80\x81\r\n[\xC4nderung]\r\nx=\xE9\r\n");
  return 0;
}
