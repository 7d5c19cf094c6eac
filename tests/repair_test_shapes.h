// Helpers of the repair-tool tests: the literal backward scan that the
// merge index must reproduce, a small shape in the simulator's layout, and
// the real shapes of the shared corpus.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "document/shape_file.h"
#include "test_env.h"

namespace lodsmith::test {

using Coords = std::array<long double, 3>;

struct LiteralMergeResult {
  std::vector<int32_t> newIndex;
  std::vector<uint8_t> kept;
  int32_t K = 0;
};

// The merge rule written out as a quadratic scan: for every entry, look at
// the earlier entries from the nearest backwards; the first within tolerance
// wins and lends its number.
inline LiteralMergeResult LiteralMerge(const std::vector<Coords>& c, long double tolerance, bool normals) {
  auto signClass = [](long double v) {
    double d = static_cast<double>(v);
    return d == 0 ? 0 : (std::signbit(d) ? -1 : 1);
  };
  LiteralMergeResult r;
  const std::size_t n = c.size();
  r.newIndex.assign(n, 0);
  r.kept.assign(n, 1);
  for (std::size_t s = 0; s < n; ++s) {
    for (std::size_t k = s; k-- > 0;) {
      bool same = true;
      if (normals)
        for (int d = 0; d < 3 && same; ++d) same = signClass(c[k][d]) == signClass(c[s][d]);
      if (!same) continue;
      if (std::fabs(c[k][0] - c[s][0]) <= tolerance && std::fabs(c[k][1] - c[s][1]) <= tolerance &&
          std::fabs(c[k][2] - c[s][2]) <= tolerance) {
        r.kept[s] = 0;
        r.newIndex[s] = r.newIndex[k];
        break;
      }
    }
    if (r.kept[s]) r.newIndex[s] = r.K++;
  }
  return r;
}

// Formats a coordinate so that ParseFloat(.., '.') gives back the same long
// double.
inline std::string ExactText(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", v);
  return buf;
}

// A one-LOD, one-sub-object shape in the layout the simulator writes. Each
// vertex is {point, normal}; each primitive lists its normal_idxs pairs
// (first member a normal number, second member 3).
struct MiniShapeRecipe {
  std::vector<std::string> points;   // "x y z"
  std::vector<std::string> normals;  // "x y z"
  std::vector<std::array<int, 2>> vertices;
  std::vector<std::vector<int>> normalLists;
};

inline Lines MiniShape(const MiniShapeRecipe& recipe) {
  Lines l;
  l.push_back("SIMISA@@@@@@@@@@JINX0s1t______");
  l.push_back("");
  l.push_back("shape (");
  l.push_back("\tshape_header ( 00000000 00000000 )");
  l.push_back("\tpoints ( " + std::to_string(recipe.points.size()));
  for (const auto& p : recipe.points) l.push_back("\t\tpoint ( " + p + " )");
  l.push_back("\t)");
  l.push_back("\tuv_points ( 1");
  l.push_back("\t\tuv_point ( 0 0 )");
  l.push_back("\t)");
  l.push_back("\tnormals ( " + std::to_string(recipe.normals.size()));
  for (const auto& n : recipe.normals) l.push_back("\t\tvector ( " + n + " )");
  l.push_back("\t)");
  l.push_back("\tlod_controls ( 1");
  l.push_back("\t\tdistance_levels ( 1");
  l.push_back("\t\t\tsub_objects ( 1");
  l.push_back("\t\t\t\tvertices ( " + std::to_string(recipe.vertices.size()));
  for (const auto& v : recipe.vertices) {
    l.push_back("\t\t\t\t\tvertex ( 00000000 " + std::to_string(v[0]) + " " + std::to_string(v[1]) +
                " ff969696 ff808080");
    l.push_back("\t\t\t\t\t\tvertex_uvs ( 1 0 )");
    l.push_back("\t\t\t\t\t)");
  }
  l.push_back("\t\t\t\t)");
  l.push_back("\t\t\t\tprimitives ( " + std::to_string(2 * recipe.normalLists.size()));
  for (const auto& list : recipe.normalLists) {
    l.push_back("\t\t\t\t\tprim_state_idx ( 0 )");
    l.push_back("\t\t\t\t\tindexed_trilist (");
    std::string idx = "\t\t\t\t\t\tnormal_idxs ( " + std::to_string(list.size());
    for (int n : list) idx += " " + std::to_string(n) + " 3";
    l.push_back(idx + " )");
    l.push_back("\t\t\t\t\t\tflags ( " + std::to_string(list.size()) + " 00000000 )");
    l.push_back("\t\t\t\t\t)");
  }
  l.push_back("\t\t\t\t)");
  l.push_back("\t\t\t)");
  l.push_back("\t\t)");
  l.push_back("\t)");
  l.push_back(")");
  return l;
}

struct CorpusShape {
  std::string name;
  Lines lines;
};

// The UTF-16 shapes of the shared corpus (the compressed ones cannot be read
// as text).
inline std::vector<CorpusShape> CorpusTextShapes() {
  std::vector<CorpusShape> shapes;
  for (const auto& path : FilesEndingWith(CorpusDir(), ".s")) {
    std::string bytes = ReadBytes(path);
    if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) continue;
    shapes.push_back({path.substr(path.find_last_of('/') + 1), DecodeShape(bytes).lines});
  }
  return shapes;
}

// The tokens after the first "(" of a line.
inline std::vector<std::string> TokensAfterParen(const std::string& line) {
  std::vector<std::string> tokens;
  int pos = FirstParenPos(line) + 1;
  while (true) {
    std::string t = TakeToken(line, pos);
    if (t.empty()) break;
    tokens.push_back(t);
  }
  return tokens;
}

}  // namespace lodsmith::test
