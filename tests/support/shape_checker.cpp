#include "shape_checker.h"

#include "ui/texts/messages.h"

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

bool IsNamedBlock(const std::string& name) { return name == "matrix" || name == "prim_state" || name == "anim_node"; }

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

void Flatten(const ShapeNode& n, std::vector<std::string>& out) {
  out.push_back(n.name);
  out.insert(out.end(), n.values.begin(), n.values.end());
  for (const auto& c : n.children) Flatten(c, out);
  out.push_back(")");
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
  std::vector<std::string> texts;
  for (const auto& p : CheckShape(lines)) texts.push_back(MessageString(p.message, Language::German));
  return texts;
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
