#include "shape_checker.h"

#include <map>
#include <set>
#include <sstream>

namespace lodsmith::test {

namespace {

struct Token {
  std::string text;
  int line;
};

std::vector<Token> Tokenize(const Lines& lines) {
  std::vector<Token> tokens;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& s = lines[i];
    std::size_t k = 0;
    while (k < s.size()) {
      char c = s[k];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++k;
      } else if (c == '(' || c == ')') {
        tokens.push_back({std::string(1, c), static_cast<int>(i)});
        ++k;
      } else if (c == '"') {
        std::size_t e = s.find('"', k + 1);
        if (e == std::string::npos) e = s.size() - 1;
        tokens.push_back({s.substr(k, e - k + 1), static_cast<int>(i)});
        k = e + 1;
      } else {
        std::size_t e = k;
        while (e < s.size() && s[e] != ' ' && s[e] != '\t' && s[e] != '(' && s[e] != ')' && s[e] != '\r') ++e;
        tokens.push_back({s.substr(k, e - k), static_cast<int>(i)});
        k = e;
      }
    }
  }
  return tokens;
}

bool IsNamedBlock(const std::string& name) {
  return name == "matrix" || name == "prim_state" || name == "anim_node";
}

class Parser {
public:
  Parser(std::vector<Token> tokens, std::vector<std::string>& problems) : t_(std::move(tokens)), problems_(problems) {}

  std::vector<ShapeNode> Blocks() {
    std::vector<ShapeNode> top;
    while (i_ < t_.size()) {
      ShapeNode n;
      if (!Block(n)) {
        problems_.push_back("Zeile " + std::to_string(t_[i_].line + 1) + ": kein Block bei \"" + t_[i_].text + "\"");
        ++i_;
        continue;
      }
      top.push_back(std::move(n));
    }
    return top;
  }

private:
  bool Is(std::size_t k, const char* s) const { return k < t_.size() && t_[k].text == s; }

  // name ( ... ) or named-block label ( ... ) at the current token.
  bool Block(ShapeNode& n) {
    if (i_ >= t_.size()) return false;
    const std::string& name = t_[i_].text;
    if (name == "(" || name == ")") return false;
    if (Is(i_ + 1, "(")) {
      n.name = name;
      n.line = t_[i_].line;
      i_ += 2;
    } else if (IsNamedBlock(name) && Is(i_ + 2, "(")) {
      n.name = name;
      n.label = t_[i_ + 1].text;
      n.line = t_[i_].line;
      i_ += 3;
    } else {
      return false;
    }
    while (i_ < t_.size() && t_[i_].text != ")") {
      ShapeNode child;
      std::size_t save = i_;
      if (Block(child)) {
        n.children.push_back(std::move(child));
      } else {
        i_ = save;
        if (t_[i_].text == "(") {
          problems_.push_back("Zeile " + std::to_string(t_[i_].line + 1) + ": \"(\" ohne Namen");
        } else {
          n.values.push_back(t_[i_].text);
        }
        ++i_;
      }
    }
    if (i_ >= t_.size()) {
      problems_.push_back("Block " + n.name + " aus Zeile " + std::to_string(n.line + 1) + " wird nicht geschlossen");
      return true;
    }
    ++i_;  // ")"
    return true;
  }

  std::vector<Token> t_;
  std::size_t i_ = 0;
  std::vector<std::string>& problems_;
};

bool ToLong(const std::string& s, long long& v) {
  auto p = ParseInt32(s);
  if (!p) return false;
  v = *p;
  return true;
}

long long ValueOr(const ShapeNode* n, std::size_t k, long long fallback = -999999) {
  long long v;
  if (n && k < n->values.size() && ToLong(n->values[k], v)) return v;
  return fallback;
}

std::string Where(const ShapeNode& n) { return n.name + " (Zeile " + std::to_string(n.line + 1) + ")"; }

void Flatten(const ShapeNode& n, std::vector<std::string>& out) {
  out.push_back(n.name);
  out.insert(out.end(), n.values.begin(), n.values.end());
  for (const auto& c : n.children) Flatten(c, out);
  out.push_back(")");
}

// A list block whose first value counts its entries (child blocks).
const std::map<std::string, std::string> kListEntries = {
    {"volumes", "vol_sphere"},       {"sort_vectors", "vector"},       {"matrices", "matrix"},
    {"images", "image"},             {"textures", "texture"},          {"vtx_states", "vtx_state"},
    {"prim_states", "prim_state"},   {"points", "point"},              {"normals", "vector"},
    {"uv_points", "uv_point"},       {"lod_controls", "lod_control"},  {"distance_levels", "distance_level"},
    {"sub_objects", "sub_object"},   {"vertices", "vertex"},           {"vertex_sets", "vertex_set"},
    {"geometry_nodes", "geometry_node"}, {"shader_names", "named_shader"},
};

void CheckLists(const ShapeNode& n, std::vector<std::string>& problems) {
  auto it = kListEntries.find(n.name);
  if (it != kListEntries.end()) {
    long long count = ValueOr(&n, 0);
    long long entries = static_cast<long long>(n.ChildrenNamed(it->second).size());
    if (count != entries)
      problems.push_back(Where(n) + ": Anzahl " + (n.values.empty() ? std::string("?") : n.values[0]) + ", aber " +
                         std::to_string(entries) + " Einträge " + it->second);
  }
  if (n.name == "primitives") {
    long long count = ValueOr(&n, 0);
    if (count != static_cast<long long>(n.children.size()))
      problems.push_back(Where(n) + ": Anzahl " + std::to_string(count) + ", aber " +
                         std::to_string(n.children.size()) + " Einträge");
  }
  for (const auto& c : n.children) CheckLists(c, problems);
}

struct ShapeTables {
  long long matrices = 0, vtxStates = 0, primStates = 0, volumes = 0, sortVectors = 0;
  std::vector<long long> vtxStateMatrix;   // per vtx_state
  std::vector<long long> primStateVtxState;  // per prim_state
};

ShapeTables ReadTables(const ShapeNode& shape) {
  ShapeTables t;
  if (auto* m = shape.Child("matrices")) t.matrices = static_cast<long long>(m->ChildrenNamed("matrix").size());
  if (auto* v = shape.Child("volumes")) t.volumes = static_cast<long long>(v->ChildrenNamed("vol_sphere").size());
  if (auto* s = shape.Child("sort_vectors")) t.sortVectors = static_cast<long long>(s->ChildrenNamed("vector").size());
  if (auto* vs = shape.Child("vtx_states"))
    for (auto* v : vs->ChildrenNamed("vtx_state")) t.vtxStateMatrix.push_back(ValueOr(v, 1));
  if (auto* ps = shape.Child("prim_states"))
    for (auto* p : ps->ChildrenNamed("prim_state")) t.primStateVtxState.push_back(ValueOr(p, 3));
  t.vtxStates = static_cast<long long>(t.vtxStateMatrix.size());
  t.primStates = static_cast<long long>(t.primStateVtxState.size());
  return t;
}

void CheckSubObject(const ShapeNode& so, const ShapeTables& t, std::vector<std::string>& problems) {
  const std::string where = Where(so);
  const ShapeNode* header = so.Child("sub_object_header");
  const ShapeNode* vertices = so.Child("vertices");
  const ShapeNode* sets = so.Child("vertex_sets");
  const ShapeNode* prims = so.Child("primitives");
  if (!header || !vertices || !sets || !prims) {
    problems.push_back(where + ": sub_object_header, vertices, vertex_sets oder primitives fehlt");
    return;
  }
  const long long vertexCount = static_cast<long long>(vertices->ChildrenNamed("vertex").size());

  // Sort vector and volume of the header.
  long long sortIdx = ValueOr(header, 1), volIdx = ValueOr(header, 2);
  if (sortIdx < -1 || sortIdx >= t.sortVectors)
    problems.push_back(where + ": sort-vector-Index " + std::to_string(sortIdx) + " gibt es nicht");
  if (volIdx < -1 || volIdx >= t.volumes)
    problems.push_back(where + ": Volumen-Index " + std::to_string(volIdx) + " gibt es nicht");

  // vertex_sets: contiguous, covering the vertices; range per vtx_state.
  std::map<long long, std::pair<long long, long long>> setOfState;
  long long next = 0;
  for (auto* vs : sets->ChildrenNamed("vertex_set")) {
    long long state = ValueOr(vs, 0), start = ValueOr(vs, 1), count = ValueOr(vs, 2);
    if (start != next) problems.push_back(Where(*vs) + ": beginnt bei " + std::to_string(start) + " statt " + std::to_string(next));
    if (state < 0 || state >= t.vtxStates) problems.push_back(Where(*vs) + ": vtx_state " + std::to_string(state) + " gibt es nicht");
    setOfState[state] = {start, start + count};
    next = start + count;
  }
  if (next != vertexCount)
    problems.push_back(where + ": vertex_sets decken " + std::to_string(next) + " von " + std::to_string(vertexCount) +
                       " Vertices");

  // Primitives: indices inside the vertices and inside their vertex set;
  // counts of the index lists; faces per matrix.
  long long faces = 0, primitives = 0;
  std::map<long long, std::pair<long long, long long>> perMatrix;  // matrix -> primitives, faces
  const ShapeNode* lastState = nullptr;
  for (const auto& c : prims->children) {
    if (c.name == "prim_state_idx") {
      lastState = &c;
      continue;
    }
    if (c.name != "indexed_trilist") continue;
    ++primitives;
    long long ps = ValueOr(lastState, 0);
    if (!lastState || ps < 0 || ps >= t.primStates) {
      problems.push_back(Where(c) + ": prim_state_idx fehlt oder gibt es nicht");
      continue;
    }
    long long state = t.primStateVtxState[ps];
    long long matrix = state >= 0 && state < t.vtxStates ? t.vtxStateMatrix[state] : -1;
    const ShapeNode* vi = c.Child("vertex_idxs");
    const ShapeNode* ni = c.Child("normal_idxs");
    const ShapeNode* fl = c.Child("flags");
    if (!vi || !ni || !fl) {
      problems.push_back(Where(c) + ": vertex_idxs, normal_idxs oder flags fehlt");
      continue;
    }
    long long n = ValueOr(vi, 0);
    if (n != static_cast<long long>(vi->values.size()) - 1)
      problems.push_back(Where(*vi) + ": Anzahl " + std::to_string(n) + ", aber " + std::to_string(vi->values.size() - 1) + " Indizes");
    auto range = setOfState.find(state);
    for (std::size_t k = 1; k < vi->values.size(); ++k) {
      long long idx;
      if (!ToLong(vi->values[k], idx) || idx < 0 || idx >= vertexCount) {
        problems.push_back(Where(*vi) + ": Index " + vi->values[k] + " außerhalb der " + std::to_string(vertexCount) + " Vertices");
        break;
      }
      if (range == setOfState.end() || idx < range->second.first || idx >= range->second.second) {
        problems.push_back(Where(*vi) + ": Index " + vi->values[k] + " liegt nicht im vertex_set von vtx_state " + std::to_string(state));
        break;
      }
    }
    long long nf = ValueOr(ni, 0), ff = ValueOr(fl, 0);
    if (2 * nf != static_cast<long long>(ni->values.size()) - 1) problems.push_back(Where(*ni) + ": Anzahl passt nicht zu den Einträgen");
    if (ff != static_cast<long long>(fl->values.size()) - 1) problems.push_back(Where(*fl) + ": Anzahl passt nicht zu den Einträgen");
    if (n != 3 * nf || nf != ff) problems.push_back(Where(c) + ": vertex_idxs, normal_idxs und flags nennen verschiedene Flächenzahlen");
    faces += n / 3;
    perMatrix[matrix].first += 1;
    perMatrix[matrix].second += n / 3;
  }

  // geometry_info, nodes and map against the primitives.
  const ShapeNode* info = header->Child("geometry_info");
  if (!info) {
    problems.push_back(where + ": geometry_info fehlt");
    return;
  }
  if (ValueOr(info, 0) != faces || ValueOr(info, 1) != primitives || ValueOr(info, 3) != 3 * faces ||
      ValueOr(info, 6) != primitives)
    problems.push_back(Where(*info) + ": Flächen/Primitive passen nicht (" + std::to_string(faces) + " Flächen, " +
                       std::to_string(primitives) + " Primitive)");
  const ShapeNode* nodes = info->Child("geometry_nodes");
  const ShapeNode* map = info->Child("geometry_node_map");
  if (!nodes || !map) {
    problems.push_back(Where(*info) + ": geometry_nodes oder geometry_node_map fehlt");
    return;
  }
  auto nodeList = nodes->ChildrenNamed("geometry_node");
  long long mapCount = ValueOr(map, 0);
  if (mapCount != static_cast<long long>(map->values.size()) - 1)
    problems.push_back(Where(*map) + ": Anzahl passt nicht zu den Einträgen");
  if (mapCount > t.matrices) problems.push_back(Where(*map) + ": mehr Einträge als Matrizen");
  std::vector<long long> nodeMatrix(nodeList.size(), -1);
  long long expectNode = 0;
  for (long long j = 0; j + 1 < static_cast<long long>(map->values.size()); ++j) {
    long long node = ValueOr(map, static_cast<std::size_t>(j + 1));
    if (node == -1) continue;
    if (node != expectNode || node >= static_cast<long long>(nodeList.size())) {
      problems.push_back(Where(*map) + ": Eintrag " + std::to_string(node) + " für Matrix " + std::to_string(j) + " passt nicht zu den Knoten");
      break;
    }
    nodeMatrix[node] = j;
    ++expectNode;
  }
  if (expectNode != static_cast<long long>(nodeList.size()))
    problems.push_back(Where(*map) + ": " + std::to_string(expectNode) + " Einträge für " + std::to_string(nodeList.size()) + " Knoten");
  for (std::size_t k = 0; k < nodeList.size(); ++k) {
    const ShapeNode* cp = nodeList[k]->Child("cullable_prims");
    auto use = perMatrix[nodeMatrix[k]];
    if (!cp || ValueOr(cp, 0) != use.first || ValueOr(cp, 1) != use.second || ValueOr(cp, 2) != 3 * use.second ||
        ValueOr(nodeList[k], 0) != use.first)
      problems.push_back(Where(*nodeList[k]) + ": passt nicht zu den Primitiven der Matrix " + std::to_string(nodeMatrix[k]));
  }
  for (const auto& [matrix, use] : perMatrix) {
    bool mapped = matrix >= 0 && matrix + 1 < static_cast<long long>(map->values.size()) &&
                  ValueOr(map, static_cast<std::size_t>(matrix + 1)) >= 0;
    if (!mapped) problems.push_back(where + ": Primitive der Matrix " + std::to_string(matrix) + " haben keinen Knoten");
  }
}

}  // namespace

const ShapeNode* ShapeNode::Child(const std::string& childName) const {
  for (const auto& c : children)
    if (c.name == childName) return &c;
  return nullptr;
}

std::vector<const ShapeNode*> ShapeNode::ChildrenNamed(const std::string& childName) const {
  std::vector<const ShapeNode*> r;
  for (const auto& c : children)
    if (c.name == childName) r.push_back(&c);
  return r;
}

std::vector<ShapeNode> ParseShapeBlocks(const Lines& lines, std::vector<std::string>& problems) {
  Parser p(Tokenize(lines), problems);
  return p.Blocks();
}

std::vector<std::string> CheckShapeStructure(const Lines& lines) {
  std::vector<std::string> problems;
  auto top = ParseShapeBlocks(lines, problems);
  if (top.size() != 1 || top[0].name != "shape") {
    problems.push_back("Die Datei besteht nicht aus genau einem Block shape");
    return problems;
  }
  const ShapeNode& shape = top[0];
  CheckLists(shape, problems);
  ShapeTables t = ReadTables(shape);
  for (std::size_t v = 0; v < t.vtxStateMatrix.size(); ++v)
    if (t.vtxStateMatrix[v] < 0 || t.vtxStateMatrix[v] >= t.matrices)
      problems.push_back("vtx_state " + std::to_string(v) + ": Matrix gibt es nicht");
  const ShapeNode* lc = shape.Child("lod_controls");
  if (!lc) {
    problems.push_back("lod_controls fehlt");
    return problems;
  }
  for (auto* control : lc->ChildrenNamed("lod_control")) {
    const ShapeNode* levels = control->Child("distance_levels");
    if (!levels) {
      problems.push_back(Where(*control) + ": distance_levels fehlt");
      continue;
    }
    for (auto* level : levels->ChildrenNamed("distance_level")) {
      const ShapeNode* lh = level->Child("distance_level_header");
      if (!lh || !lh->Child("dlevel_selection") || lh->Child("dlevel_selection")->values.size() != 1)
        problems.push_back(Where(*level) + ": dlevel_selection fehlt oder hat nicht genau einen Wert");
      const ShapeNode* subs = level->Child("sub_objects");
      if (!subs || subs->children.empty()) {
        problems.push_back(Where(*level) + ": keine sub_objects");
        continue;
      }
      for (auto* so : subs->ChildrenNamed("sub_object")) CheckSubObject(*so, t, problems);
    }
  }
  return problems;
}

ShapeSummary SummariseShape(const Lines& lines) {
  std::vector<std::string> problems;
  ShapeSummary s;
  auto top = ParseShapeBlocks(lines, problems);
  if (top.empty()) return s;
  const ShapeNode& shape = top[0];
  if (auto* v = shape.Child("volumes")) s.volumes = static_cast<int>(v->ChildrenNamed("vol_sphere").size());
  if (auto* v = shape.Child("sort_vectors")) s.sortVectors = static_cast<int>(v->ChildrenNamed("vector").size());
  const ShapeNode* lc = shape.Child("lod_controls");
  if (!lc || !lc->Child("lod_control") || !lc->Child("lod_control")->Child("distance_levels")) return s;
  for (auto* level : lc->Child("lod_control")->Child("distance_levels")->ChildrenNamed("distance_level")) {
    LodSummary lod;
    if (auto* lh = level->Child("distance_level_header"))
      if (auto* sel = lh->Child("dlevel_selection"); sel && !sel->values.empty()) lod.distance = sel->values[0];
    if (auto* subs = level->Child("sub_objects")) {
      for (auto* so : subs->ChildrenNamed("sub_object")) {
        SubObjectSummary sub;
        if (auto* h = so->Child("sub_object_header")) sub.header = h->values;
        if (auto* vs = so->Child("vertices"))
          for (auto* v : vs->ChildrenNamed("vertex")) {
            std::vector<std::string> tokens;
            Flatten(*v, tokens);
            sub.vertices.push_back(std::move(tokens));
          }
        if (auto* prims = so->Child("primitives")) {
          int state = -1;
          for (const auto& c : prims->children) {
            if (c.name == "prim_state_idx") {
              state = static_cast<int>(ValueOr(&c, 0, -1));
              continue;
            }
            if (c.name != "indexed_trilist") continue;
            PrimitiveSummary p;
            p.primStateIdx = state;
            if (auto* vi = c.Child("vertex_idxs"))
              for (std::size_t k = 1; k < vi->values.size(); ++k) {
                long long x = -1;
                ToLong(vi->values[k], x);
                p.vertexIdxs.push_back(x);
              }
            if (auto* ni = c.Child("normal_idxs")) p.normalIdxs = ni->values;
            if (auto* fl = c.Child("flags")) p.flags = fl->values;
            sub.primitives.push_back(std::move(p));
          }
        }
        lod.subObjects.push_back(std::move(sub));
      }
    }
    s.lods.push_back(std::move(lod));
  }
  return s;
}

}  // namespace lodsmith::test
