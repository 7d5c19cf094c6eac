#include "preview/shape_geometry.h"

#include <charconv>
#include <string_view>

#include "preview/preview_messages.h"

namespace lodsmith {

namespace {

struct Token {
  std::string_view text;
  int line = 0;  // 0-based
};

// The bracket structure of the shape. The analysis reads the exporter's
// line layout; the geometry blocks (points, vertices, index lists) may wrap
// over several lines, so they are read by their brackets instead.
class Tokens {
public:
  explicit Tokens(const Lines& lines) {
    for (int l = 1; l < static_cast<int>(lines.size()); ++l) Split(lines[l], l);
    match_.assign(tokens_.size(), -1);
    std::vector<int> open;
    for (int i = 0; i < Size(); ++i) {
      if (Is(i, "(")) {
        open.push_back(i);
      } else if (Is(i, ")")) {
        if (open.empty()) throw Error(PreviewMsg::Unbalanced, tokens_[i].line + 1);
        match_[open.back()] = i;
        open.pop_back();
      }
    }
    if (!open.empty()) throw Error(PreviewMsg::Unbalanced, tokens_[open.back()].line + 1);
  }

  int Size() const { return static_cast<int>(tokens_.size()); }
  bool Is(int i, std::string_view text) const { return i >= 0 && i < Size() && tokens_[i].text == text; }
  std::string_view Text(int i) const { return tokens_[i].text; }
  int Close(int open) const { return match_[open]; }

  // The blocks directly inside [begin, end): the index of each "(" whose
  // block starts there, in order.
  std::vector<int> Children(int begin, int end) const {
    std::vector<int> out;
    for (int i = begin; i < end;) {
      if (Is(i, "(")) {
        out.push_back(i);
        i = match_[i] + 1;
      } else {
        ++i;
      }
    }
    return out;
  }

  // The "(" of the first block named `name` directly inside [begin, end).
  int Child(int begin, int end, std::string_view name) const {
    for (int open : Children(begin, end))
      if (open > begin && Is(open - 1, name)) return open;
    throw Error(PreviewMsg::BlockMissing, name);
  }

  float Float(int i, std::string_view block) const {
    std::string_view t = i < Size() ? tokens_[i].text : std::string_view{};
    float v = 0;
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+') ++b;
    auto r = std::from_chars(b, e, v);
    if (t.empty() || r.ec != std::errc{} || r.ptr != e) throw Error(PreviewMsg::NotANumber, t, block);
    return v;
  }

  int32_t Int(int i, std::string_view block) const {
    std::string_view t = i < Size() ? tokens_[i].text : std::string_view{};
    auto v = ParseInt32(t);
    if (!v) throw Error(PreviewMsg::NotANumber, t, block);
    return *v;
  }

  // A block's leading count (the token after its "("), which must not
  // promise more than the `holds` values or entries the block has.
  int32_t Count(int open, std::string_view block, int holds) const {
    int32_t n = Int(open + 1, block);
    if (n < 0 || n > holds) throw Error(PreviewMsg::CountTooLarge, block, n, holds);
    return n;
  }

private:
  void Split(const std::string& line, int l) {
    std::string_view s = line;
    std::size_t i = 0;
    while (i < s.size()) {
      char c = s[i];
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
      } else if (c == '(' || c == ')') {
        tokens_.push_back({s.substr(i, 1), l});
        ++i;
      } else if (c == '"') {
        // A quoted name may hold blanks and brackets.
        std::size_t e = s.find('"', i + 1);
        e = e == std::string_view::npos ? s.size() : e + 1;
        tokens_.push_back({s.substr(i, e - i), l});
        i = e;
      } else {
        std::size_t e = i;
        while (e < s.size() && s[e] != ' ' && s[e] != '\t' && s[e] != '\r' && s[e] != '(' && s[e] != ')') ++e;
        tokens_.push_back({s.substr(i, e - i), l});
        i = e;
      }
    }
  }

  std::vector<Token> tokens_;
  std::vector<int> match_;
};

// p * R + t, kept in double so that a long chain does not lose the
// centimetres of a model placed kilometres from its origin.
struct Affine {
  double r[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  double t[3] = {0, 0, 0};

  Vec3 Apply(const Vec3& p) const {
    return {static_cast<float>(p.x * r[0] + p.y * r[3] + p.z * r[6] + t[0]),
            static_cast<float>(p.x * r[1] + p.y * r[4] + p.z * r[7] + t[1]),
            static_cast<float>(p.x * r[2] + p.y * r[5] + p.z * r[8] + t[2])};
  }
  // This transform followed by `outer`.
  Affine Then(const Affine& o) const {
    Affine a;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j)
        a.r[3 * i + j] = r[3 * i] * o.r[j] + r[3 * i + 1] * o.r[3 + j] + r[3 * i + 2] * o.r[6 + j];
      a.t[i] = t[0] * o.r[i] + t[1] * o.r[3 + i] + t[2] * o.r[6 + i] + o.t[i];
    }
    return a;
  }
};

void CheckIndex(int64_t index, std::size_t size, const char* what) {
  if (index < 0 || index >= static_cast<int64_t>(size)) throw Error(PreviewMsg::ReferenceOutside, what, index, size);
}

// Each matrix placed by its parent chain; a chain that comes back to a
// matrix already on it is refused instead of recursing for ever.
std::vector<Affine> PlaceMatrices(const std::vector<Affine>& local, const std::vector<int32_t>& parent) {
  const std::size_t n = local.size();
  std::vector<Affine> world(n);
  std::vector<uint8_t> state(n, 0);  // 0 open, 1 on the current chain, 2 placed
  for (std::size_t m = 0; m < n; ++m) {
    std::vector<std::size_t> chain;
    std::size_t c = m;
    while (state[c] == 0) {
      state[c] = 1;
      chain.push_back(c);
      int32_t p = parent[c];
      if (p < 0) break;
      CheckIndex(p, n, "matrix");
      c = static_cast<std::size_t>(p);
    }
    if (state[c] == 1 && parent[c] >= 0) throw Error(PreviewMsg::HierarchyLoop, c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      int32_t p = parent[*it];
      world[*it] = p < 0 ? local[*it] : local[*it].Then(world[static_cast<std::size_t>(p)]);
      state[*it] = 2;
    }
  }
  return world;
}

ShapeGeometry Read(const Lines& lines, const ShapeAnalysis& a) {
  const Tokens t(lines);
  int shapeOpen = -1;
  for (int i = 0; i + 1 < t.Size(); ++i)
    if (t.Is(i, "shape") && t.Is(i + 1, "(")) {
      shapeOpen = i + 1;
      break;
    }
  if (shapeOpen < 0) throw Error(PreviewMsg::BlockMissing, "shape");
  const int shapeEnd = t.Close(shapeOpen);

  // Points.
  std::vector<Vec3> points;
  {
    int open = t.Child(shapeOpen + 1, shapeEnd, "points");
    auto entries = t.Children(open + 2, t.Close(open));
    int32_t n = t.Count(open, "points", static_cast<int>(entries.size()));
    points.reserve(static_cast<std::size_t>(n));
    for (int32_t k = 0; k < n; ++k) {
      int p = entries[static_cast<std::size_t>(k)];
      if (t.Close(p) - p - 1 < 3) throw Error(PreviewMsg::CountTooLarge, "point", 3, t.Close(p) - p - 1);
      points.push_back({t.Float(p + 1, "point"), t.Float(p + 2, "point"), t.Float(p + 3, "point")});
    }
  }

  // Matrices and their hierarchy.
  std::vector<Affine> local;
  {
    int open = t.Child(shapeOpen + 1, shapeEnd, "matrices");
    auto entries = t.Children(open + 2, t.Close(open));
    int32_t n = t.Count(open, "matrices", static_cast<int>(entries.size()));
    for (int32_t k = 0; k < n; ++k) {
      int p = entries[static_cast<std::size_t>(k)];
      if (t.Close(p) - p - 1 < 12) throw Error(PreviewMsg::CountTooLarge, "matrix", 12, t.Close(p) - p - 1);
      Affine m;
      for (int j = 0; j < 9; ++j) m.r[j] = t.Float(p + 1 + j, "matrix");
      for (int j = 0; j < 3; ++j) m.t[j] = t.Float(p + 10 + j, "matrix");
      local.push_back(m);
    }
  }
  if (a.matrixNames.size() != local.size())
    throw Error(PreviewMsg::CountTooLarge, "matrices", a.matrixNames.size(), local.size());

  int lodControls = t.Child(shapeOpen + 1, shapeEnd, "lod_controls");
  int lodControl = t.Child(lodControls + 2, t.Close(lodControls), "lod_control");
  int levels = t.Child(lodControl + 1, t.Close(lodControl), "distance_levels");
  int level = t.Child(levels + 2, t.Close(levels), "distance_level");
  int levelHeader = t.Child(level + 1, t.Close(level), "distance_level_header");
  int hierarchy = t.Child(levelHeader + 1, t.Close(levelHeader), "hierarchy");
  std::vector<int32_t> parent;
  {
    int32_t n = t.Count(hierarchy, "hierarchy", t.Close(hierarchy) - hierarchy - 2);
    if (static_cast<std::size_t>(n) < local.size())
      throw Error(PreviewMsg::ReferenceOutside, "hierarchy", local.size() - 1, n);
    for (std::size_t m = 0; m < local.size(); ++m)
      parent.push_back(t.Int(hierarchy + 2 + static_cast<int>(m), "hierarchy"));
  }
  const std::vector<Affine> world = PlaceMatrices(local, parent);

  ShapeGeometry g;
  g.elementCount = static_cast<int32_t>(a.elements.size());
  int subObjects = t.Child(level + 1, t.Close(level), "sub_objects");
  int32_t subIndex = -1;
  for (int sub : t.Children(subObjects + 2, t.Close(subObjects))) {
    ++subIndex;
    const int subEnd = t.Close(sub);
    // The sub-object's vertices as the points they name.
    std::vector<int32_t> vertexPoint;
    int vertices = t.Child(sub + 1, subEnd, "vertices");
    auto vs = t.Children(vertices + 2, t.Close(vertices));
    int32_t nv = t.Count(vertices, "vertices", static_cast<int>(vs.size()));
    vertexPoint.reserve(static_cast<std::size_t>(nv));
    for (int32_t k = 0; k < nv; ++k) {
      int v = vs[static_cast<std::size_t>(k)];
      int32_t p = t.Int(v + 2, "vertex");
      CheckIndex(p, points.size(), "point");
      vertexPoint.push_back(p);
    }

    int primitives = t.Child(sub + 1, subEnd, "primitives");
    int32_t element = 0;
    const Affine* matrix = nullptr;
    for (int block : t.Children(primitives + 2, t.Close(primitives))) {
      if (t.Is(block - 1, "prim_state_idx")) {
        int32_t s = t.Int(block + 1, "prim_state_idx");
        CheckIndex(s, a.elements.size(), "prim_state");
        element = s + 1;
        // The analysis has checked prim_state -> vtx_state -> matrix.
        matrix = &world[static_cast<std::size_t>(
            a.vtxStateMatrix[static_cast<std::size_t>(a.elementVtxState[static_cast<std::size_t>(element)])])];
      } else if (t.Is(block - 1, "indexed_trilist")) {
        if (!matrix) throw Error(PreviewMsg::BlockMissing, "prim_state_idx");
        int idx = t.Child(block + 1, t.Close(block), "vertex_idxs");
        int32_t n = t.Count(idx, "vertex_idxs", t.Close(idx) - idx - 2);
        for (int32_t k = 0; k + 2 < n; k += 3) {
          GeometryTriangle tri;
          tri.element = element;
          tri.subObject = subIndex;
          for (int c = 0; c < 3; ++c) {
            int32_t v = t.Int(idx + 2 + k + c, "vertex_idxs");
            CheckIndex(v, vertexPoint.size(), "vertex");
            tri.vertices[static_cast<std::size_t>(c)] = v;
            tri.points[static_cast<std::size_t>(c)] = vertexPoint[static_cast<std::size_t>(v)];
            tri.corners[static_cast<std::size_t>(c)] =
                matrix->Apply(points[static_cast<std::size_t>(vertexPoint[static_cast<std::size_t>(v)])]);
          }
          g.triangles.push_back(tri);
        }
      }
    }
  }
  return g;
}

}  // namespace

ShapeGeometry ReadShapeGeometry(const Lines& lines, const ShapeAnalysis& analysis) {
  if (analysis.failure) throw Error(analysis.failure->WrappedIn(PreviewMsg::Unreadable));
  try {
    return Read(lines, analysis);
  } catch (const Error& e) {
    throw Error(e.message().WrappedIn(PreviewMsg::Unreadable));
  }
}

ShapeGeometry ReadShapeGeometry(const Lines& lines) { return ReadShapeGeometry(lines, AnalyseShape(lines)); }

}  // namespace lodsmith
