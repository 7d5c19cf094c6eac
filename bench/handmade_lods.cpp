// The section on hand-made LODs (handmade_lods.h). A shape's distance
// levels are found by their brackets; the geometry reader reads the first
// level, so a later level is read from the shape's lines with the levels
// before it blanked out (the lines keep their count, so the analysis of the
// whole shape still names each element's matrix).
#include "handmade_lods.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file_io.h"
#include "document/analysis.h"
#include "document/shape_file.h"
#include "document/shape_forms.h"
#include "preview/shape_geometry.h"
#include "simplify/simplify.h"
#include "simplify_meshes.h"

namespace fs = std::filesystem;

namespace lodsmith::bench {

namespace {

// One pixel of the "as seen" screen (1920 x 1080, 55 degrees high) at
// `distance` metres: tan(27.5 degrees) written out.
double PixelAt(double distance) { return distance * 2 * 0.52056705055174628888 / 1080; }

struct Token {
  int line = 0;
  std::size_t column = 0;
  std::string_view text;
};

// The tokens of the lines after the header: brackets, quoted names (which
// may hold blanks and brackets) and words.
std::vector<Token> Tokenize(const Lines& lines) {
  std::vector<Token> out;
  for (int l = 1; l < static_cast<int>(lines.size()); ++l) {
    const std::string_view s = lines[static_cast<std::size_t>(l)];
    std::size_t i = 0;
    while (i < s.size()) {
      const char c = s[i];
      std::size_t e = i + 1;
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
        continue;
      }
      if (c == '"') {
        e = s.find('"', i + 1);
        e = e == std::string_view::npos ? s.size() : e + 1;
      } else if (c != '(' && c != ')') {
        while (e < s.size() && s[e] != ' ' && s[e] != '\t' && s[e] != '\r' && s[e] != '(' && s[e] != ')') ++e;
      }
      out.push_back({l, i, s.substr(i, e - i)});
      i = e;
    }
  }
  return out;
}

// One distance level: from its keyword to its closing bracket, and the
// distance up to which it is drawn.
struct Level {
  Token first, last;
  double selection = -1;
};

// The distance levels of the first lod_control, in order; empty when the
// brackets do not pair.
std::vector<Level> DistanceLevels(const Lines& lines) {
  const std::vector<Token> t = Tokenize(lines);
  const int n = static_cast<int>(t.size());
  std::vector<int> match(t.size(), -1), open;
  for (int i = 0; i < n; ++i) {
    if (t[static_cast<std::size_t>(i)].text == "(") {
      open.push_back(i);
    } else if (t[static_cast<std::size_t>(i)].text == ")") {
      if (open.empty()) return {};
      match[static_cast<std::size_t>(open.back())] = i;
      open.pop_back();
    }
  }
  if (!open.empty()) return {};
  const auto is = [&](int i, std::string_view text) {
    return i >= 0 && i < n && t[static_cast<std::size_t>(i)].text == text;
  };
  const auto close = [&](int i) { return match[static_cast<std::size_t>(i)]; };
  std::vector<Level> levels;
  for (int i = 0; i + 1 < n; ++i) {
    if (!is(i, "distance_levels") || !is(i + 1, "(")) continue;
    for (int j = i + 2; j < close(i + 1); ++j) {
      if (!is(j, "(")) continue;
      if (is(j - 1, "distance_level")) {
        Level level{t[static_cast<std::size_t>(j - 1)], t[static_cast<std::size_t>(close(j))]};
        for (int k = j + 1; k + 2 < close(j); ++k)
          if (is(k, "dlevel_selection") && is(k + 1, "(")) {
            level.selection = std::strtod(std::string(t[static_cast<std::size_t>(k + 2)].text).c_str(), nullptr);
            break;
          }
        levels.push_back(level);
      }
      j = close(j);
    }
    break;
  }
  return levels;
}

// The lines with the levels before `level` replaced by blanks.
Lines FromLevel(Lines lines, const std::vector<Level>& levels, std::size_t level) {
  for (std::size_t k = 0; k < level; ++k) {
    const Level& l = levels[k];
    for (int line = l.first.line; line <= l.last.line; ++line) {
      std::string& s = lines[static_cast<std::size_t>(line)];
      const std::size_t from = line == l.first.line ? l.first.column : 0;
      const std::size_t to = line == l.last.line ? l.last.column + 1 : s.size();
      std::fill(s.begin() + static_cast<std::ptrdiff_t>(from), s.begin() + static_cast<std::ptrdiff_t>(to), ' ');
    }
  }
  return lines;
}

Lines ReadLines(const fs::path& file) {
  std::string bytes = ReadFileBytes(file.string());
  const auto form = DetectShapeForm(bytes);
  if (form && *form != ShapeForm::UnicodeText) bytes = ShapeFormToUnicodeText(bytes, *form);
  return DecodeShape(bytes).lines;
}

// The first level's elements as the simplifier takes them (one vertex per
// sub-object vertex, its point as position id, points that another element
// names too locked), and every surface of the comparison over one list of
// positions: the elements' vertices first.
struct Model {
  std::vector<SimplifyMesh> elements;
  std::vector<std::array<double, 3>> positions;
  std::vector<int32_t> full;  // the first level's triangles, into `positions`
};

Model ElementsOf(const ShapeGeometry& g) {
  std::map<int32_t, SimplifyMesh> byElement;
  std::map<int32_t, std::map<std::pair<int32_t, int32_t>, int32_t>> numbering;
  std::map<int32_t, std::set<int32_t>> elementsOfPoint;
  for (const GeometryTriangle& t : g.triangles) {
    SimplifyMesh& m = byElement[t.element];
    auto& number = numbering[t.element];
    for (int c = 0; c < 3; ++c) {
      const auto key = std::make_pair(t.subObject, t.vertices[c]);
      auto it = number.find(key);
      if (it == number.end()) {
        it = number.emplace(key, static_cast<int32_t>(m.positions.size())).first;
        m.positions.push_back({t.corners[c].x, t.corners[c].y, t.corners[c].z});
        m.positionIds.push_back(t.points[c]);
        elementsOfPoint[t.points[c]].insert(t.element);
      }
      m.indices.push_back(it->second);
    }
  }
  Model model;
  for (auto& [element, m] : byElement) {
    for (int32_t point : m.positionIds) m.locked.push_back(elementsOfPoint[point].size() > 1 ? 1 : 0);
    for (int32_t i : m.indices) model.full.push_back(static_cast<int32_t>(model.positions.size()) + i);
    model.positions.insert(model.positions.end(), m.positions.begin(), m.positions.end());
    model.elements.push_back(std::move(m));
  }
  return model;
}

struct Row {
  std::string shape;
  double distance = 0, pixel = 0;
  int32_t full = 0, handmade = 0, ours = 0;
  double handmadeError = 0;  // whole model, sampled
  double bound = 0;          // the largest error our simplifier reported
  double measured = 0;       // the largest of our elements' sampled errors
  // Ours with the hand-made LOD's own error allowed (where it is above a
  // pixel): what the same error buys.
  int32_t oursAtHandmade = 0;
};

// Samples about this far apart on the whole model: a quarter pixel, or a
// hundredth of the model's size where that is finer.
double ModelSpacing(const Model& m, double pixel) { return std::min(test::Diagonal(m.positions) / 100, pixel / 4); }

Row Measure(const std::string& shape, double distance, const ShapeGeometry& lod1, const ShapeGeometry& lod2) {
  Row row{shape, distance, PixelAt(distance)};
  Model m = ElementsOf(lod1);
  row.full = static_cast<int32_t>(lod1.triangles.size());
  row.handmade = static_cast<int32_t>(lod2.triangles.size());
  const double spacing = ModelSpacing(m, row.pixel);
  for (std::size_t e = 0; e < m.elements.size(); ++e) {
    const SimplifyMesh& mesh = m.elements[e];
    const SimplifyResult r = Simplify(mesh, SimplifyTarget::MaxError(row.pixel));
    row.ours += r.trianglesAfter;
    row.bound = std::max(row.bound, r.error);
    row.measured = std::max(row.measured, test::SampledHausdorff(mesh.positions, mesh.indices, r.indices,
                                                                 test::Diagonal(mesh.positions) / 100));
  }
  std::vector<int32_t> handmade;
  for (const GeometryTriangle& t : lod2.triangles)
    for (const Vec3& c : t.corners) {
      handmade.push_back(static_cast<int32_t>(m.positions.size()));
      m.positions.push_back({c.x, c.y, c.z});
    }
  row.handmadeError = test::SampledHausdorff(m.positions, m.full, handmade, spacing);
  row.oursAtHandmade = row.ours;
  if (row.handmadeError > row.pixel) {
    row.oursAtHandmade = 0;
    for (const SimplifyMesh& mesh : m.elements)
      row.oursAtHandmade += Simplify(mesh, SimplifyTarget::MaxError(row.handmadeError)).trianglesAfter;
  }
  return row;
}

void PrintRow(const Row& r) {
  const std::string shape = r.shape.size() > 44 ? r.shape.substr(r.shape.size() - 44) : r.shape;
  std::printf("%-44s %5.0f %6.1f %6d %6d %8.1f %5.2f %6d %8.1f %8.1f %5.2f %6.2f  %-4s %-4s %6d\n", shape.c_str(),
              r.distance, r.pixel * 1000, r.full, r.handmade, r.handmadeError * 1000, r.handmadeError / r.pixel, r.ours,
              r.bound * 1000, r.measured * 1000, r.measured / r.pixel, static_cast<double>(r.ours) / r.handmade,
              2 * r.ours <= r.handmade ? "yes" : "no", r.measured <= r.pixel ? "yes" : "no", r.oursAtHandmade);
}

}  // namespace

void PrintHandmadeSection(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.path().extension() == ".s") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::printf("\nhand-made second LODs in %s: the first LOD at one pixel where the modeller switches\n",
              folder.filename().string().c_str());
  std::printf("%-44s %5s %6s %6s %6s %8s %5s %6s %8s %8s %5s %6s  %-4s %-4s %6s\n", "shape", "d m", "px mm", "LOD 1",
              "LOD 2", "err mm", "px", "ours", "bound mm", "err mm", "px", "ratio", "half", "1 px", "at err");
  int shapes = 0, half = 0, onePixel = 0, fewerAtSameError = 0, halfAtSameError = 0;
  std::vector<std::string> notCounted;
  for (const fs::path& file : files) {
    const std::string name = file.stem().string();
    try {
      const Lines lines = ReadLines(file);
      const std::vector<Level> levels = DistanceLevels(lines);
      if (levels.size() < 2) continue;
      const ShapeAnalysis analysis = AnalyseShape(lines);
      const ShapeGeometry lod1 = ReadShapeGeometry(lines, analysis);
      const ShapeGeometry lod2 = ReadShapeGeometry(FromLevel(lines, levels, 1), analysis);
      if (lod2.triangles.size() >= lod1.triangles.size() || !(levels[0].selection > 0)) {
        notCounted.push_back(name + ": LOD 2 has " + std::to_string(lod2.triangles.size()) + " of " +
                             std::to_string(lod1.triangles.size()) + " triangles");
        continue;
      }
      const Row row = Measure(name, levels[0].selection, lod1, lod2);
      PrintRow(row);
      ++shapes;
      half += 2 * row.ours <= row.handmade;
      onePixel += row.measured <= row.pixel;
      fewerAtSameError += row.oursAtHandmade < row.handmade;
      halfAtSameError += 2 * row.oursAtHandmade <= row.handmade;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: skipped (%s)\n", file.filename().string().c_str(), e.what());
    }
  }
  for (const std::string& line : notCounted) std::printf("not counted: %s\n", line.c_str());
  std::printf("hand-made: %d shapes, ours at most half in %d, within one pixel in %d\n", shapes, half, onePixel);
  std::printf("at the hand-made LOD's own error (one pixel where it is less): ours fewer in %d, at most half in %d\n",
              fewerAtSameError, halfAtSameError);
}

}  // namespace lodsmith::bench
