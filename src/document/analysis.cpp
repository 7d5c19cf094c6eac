#include "document/analysis.h"

#include <cstdint>
#include <string_view>

#include "core/core_messages.h"
#include "document/document_messages.h"

namespace lodsmith {

namespace {

// The first run of number characters from 0-based index `from` on, as it
// stands in the line (the warnings quote it unchanged).
std::string_view FirstNumberText(std::string_view line, int from) {
  std::size_t s = static_cast<std::size_t>(from < 0 ? 0 : from);
  while (s < line.size() && !IsNumberChar(line[s])) ++s;
  std::size_t e = s;
  while (e < line.size() && IsNumberChar(line[e])) ++e;
  if (s >= line.size()) throw Error(CoreMsg::LineWithoutNumber, line);
  return line.substr(s, e - s);
}

int32_t Count(std::string_view text, std::string_view what) {
  int32_t n = ToInt32(text);
  if (n < 0) throw Error(DocumentMsg::NegativeCount, what);
  return n;
}

// Walks the lines forward. Every access goes through At(), so a scan that
// would leave the document ends with an error instead of reading past it.
class Scanner {
public:
  explicit Scanner(const Lines& lines) : lines_(lines), last_(static_cast<int>(lines.size()) - 1) {}

  int Last() const { return last_; }

  const std::string& At(int i) {
    if (i < 0 || i > last_) throw Error(DocumentMsg::FileEndsEarly);
    cur_ = i;
    return lines_[i];
  }

  // A search that starts beyond the last line has nothing left to read:
  // the block it looks for is missing.
  SearchResult Find(int from, std::string_view keyword) {
    if (from > last_) throw Error(DocumentMsg::KeywordNotFound, keyword);
    SearchResult r = Search(lines_, from, keyword);
    cur_ = r.line;
    return r;
  }

  // A block that must be there: its keyword line and at least one line after.
  int FindBlock(int from, std::string_view keyword) {
    SearchResult r = Find(from, keyword);
    if (!r.found || r.line == last_) throw Error(DocumentMsg::BlockNotFound, keyword);
    return r.line;
  }

  // The one-entry-per-line loop of the first four blocks: the line after the
  // block keyword is always examined; the block ends at the first later
  // line without the entry keyword (or at the last line). Returns the line
  // where it ended.
  template <typename OnEntry>
  int ReadEntries(int c, std::string_view keyword, OnEntry onEntry) {
    for (;;) {
      const std::string& l = At(c);
      if (Contains(l, keyword)) onEntry(l);
      ++c;
      if (c == last_ || !Contains(At(c), keyword)) return c;
    }
  }

  int CurrentLine() const { return cur_; }

private:
  const Lines& lines_;
  int last_;
  int cur_ = 0;
};

// The image's file name, trimmed and lower-cased. A quoted name (a path
// with blanks or brackets) is read whole and without its quotes.
std::string ImageName(std::string_view line) {
  auto open = line.find('(');
  if (open != std::string_view::npos) {
    std::size_t b = open + 1;
    while (b < line.size() && line[b] == ' ') ++b;
    std::size_t e = b;
    std::string quoted = ReadName(line, b, e, false);
    if (e > b + 1 && line[b] == '"' && line[e - 1] == '"' && line.find(')', e) != std::string_view::npos)
      return FoldCase(quoted);
  }
  auto close = line.find(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    throw Error(DocumentMsg::ImageWithoutParentheses, line);
  std::string_view name = line.substr(open + 1, close - open - 1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  if (name.empty()) throw Error(DocumentMsg::ImageWithoutName, line);
  return FoldCase(name);
}

void CheckIndex(int64_t index, std::size_t size, const char* what) {
  if (index < 0 || index >= static_cast<int64_t>(size)) throw Error(DocumentMsg::IndexOutside, what, index, size);
}

// Vertices are numbered with signed 32-bit integers.
constexpr int64_t kMaxVertices = INT32_MAX;
// Faces are counted in the same numbers.
constexpr int64_t kMaxFaces = INT32_MAX;

// A vertex_set names its first vertex and its count; both must be numbers a
// vertex can have, so that start + count is one too.
void CheckVertexSet(const TVertexSetEntry& e) {
  if (e.StartVertex < 0) throw Error(DocumentMsg::VertexSetNegativeStart, e.StartVertex);
  if (e.VertexCount < 0) throw Error(DocumentMsg::VertexSetNegativeCount, e.VertexCount);
  const int64_t end = int64_t{e.StartVertex} + e.VertexCount;
  if (end > kMaxVertices) throw Error(DocumentMsg::VertexSetTooLarge, e.StartVertex, end - 1, kMaxVertices);
}

// The matrices, images, textures and vtx_states; the line of the last
// block's end.
int ScanTables(Scanner& s, ShapeAnalysis& a) {
  // Matrices: names in file order.
  int c = s.FindBlock(1, "matrices") + 1;
  c = s.ReadEntries(c, "matrix", [&](const std::string& l) { a.matrixNames.push_back(WordAfter(l, "matrix")); });

  // Images: the text between the parentheses, trimmed and lower-cased.
  c = s.FindBlock(c + 1, "images") + 1;
  c = s.ReadEntries(c, "image", [&](const std::string& l) { a.imageNames.push_back(ImageName(l)); });

  // Textures: the image index is the first number inside the parentheses.
  c = s.FindBlock(c + 1, "textures") + 1;
  c = s.ReadEntries(c, "texture",
                    [&](const std::string& l) { a.textureImage.push_back(FirstNumberAfter(l, FirstParenPos(l))); });

  // vtx_states: flags word first, then the matrix index.
  c = s.FindBlock(c + 1, "vtx_states") + 1;
  c = s.ReadEntries(c, "vtx_state",
                    [&](const std::string& l) { a.vtxStateMatrix.push_back(SecondNumberAfter(l, FirstParenPos(l))); });

  return c;
}

// The elements from the prim_states block after line `c`; the line of
// "lod_controls".
int ScanElements(Scanner& s, ShapeAnalysis& a, int c) {
  const int last = s.Last();
  // prim_states: one element per prim_state; its tex_idxs line names the
  // texture and, after the closing parenthesis, the z-bias and vtx_state.
  c = s.FindBlock(c + 1, "prim_states") + 1;
  a.elementVtxState.assign(1, 0);
  while (!Contains(s.At(c), "lod_controls") && c < last) {
    const std::string& l = s.At(c);
    if (Contains(l, "prim_state")) {
      ElementRow row;
      row.name = WordAfter(l, "prim_state");
      ++c;
      const std::string& tex = s.At(c);
      int32_t t = SecondNumberAfter(tex, FirstParenPos(tex));
      int32_t v = SecondNumberAfter(tex, FirstParenPos(tex, ')'));
      // Everything an element leads to must exist: the generation, the
      // estimate and the repair tools follow these references later.
      CheckIndex(t, a.textureImage.size(), "texture");
      CheckIndex(a.textureImage[t], a.imageNames.size(), "image");
      CheckIndex(v, a.vtxStateMatrix.size(), "vtx_state");
      CheckIndex(a.vtxStateMatrix[v], a.matrixNames.size(), "matrix");
      row.image = a.imageNames[a.textureImage[t]];
      a.elements.push_back(std::move(row));
      a.elementVtxState.push_back(v);
    }
    ++c;
  }
  if (!Contains(s.At(c), "lod_controls")) throw Error(DocumentMsg::BlockNotFound, "lod_controls");
  if (a.elements.empty()) throw Error(DocumentMsg::NoPrimState);

  return c;
}

// A shape of more than one LOD or sub-object is noted, and not generated
// from. The line of "sub_objects" (or where the search ended).
int ScanLevels(Scanner& s, ShapeAnalysis& a, int c) {
  // The number of LODs, then the number of sub-objects of the first LOD.
  SearchResult levels = s.Find(c + 1, "distance_levels ");
  if (levels.found) {
    const std::string& l = s.At(levels.line);
    std::string_view n = FirstNumberText(l, FirstParenPos(l));
    if (ToInt32(n) > 1) {
      a.warnings.emplace_back(DocumentMsg::SeveralLods, n);
      a.disableGeneration = true;
    }
  }
  SearchResult subs = s.Find(levels.line + 1, "sub_objects");
  if (subs.found) {
    const std::string& l = s.At(subs.line);
    std::string_view n = FirstNumberText(l, FirstParenPos(l));
    if (ToInt32(n) > 1) {
      a.warnings.emplace_back(DocumentMsg::SeveralSubObjects, n);
      a.disableGeneration = true;
    }
  }

  return subs.line;
}

// The vertex sets of the first sub-object after line `c`: vtx_state, first
// vertex, count. The line of the last one (or where the search ended).
int ScanVertexSets(Scanner& s, ShapeAnalysis& a, int c) {
  SearchResult sets = s.Find(c + 1, "vertex_sets");
  c = sets.line;
  if (sets.found) {
    const std::string& l = s.At(c);
    int p = static_cast<int>(PosOf(l, "vertex_sets")) + 11;
    TakeToken(l, p);
    int32_t count = Count(TakeToken(l, p), "vertex_sets");
    // Every later sum of vertex counts (the estimate, the shifts, the
    // vertices written) is a sub-sum of this total: checking it here keeps
    // them all within 32 bits.
    int64_t total = 0;
    for (int32_t j = 0; j < count; ++j) {
      ++c;
      const std::string& set = s.At(c);
      int q = FirstParenPos(set) + 1;
      TVertexSetEntry e;
      e.VertexShift = ToInt32(TakeToken(set, q));
      e.StartVertex = ToInt32(TakeToken(set, q));
      e.VertexCount = ToInt32(TakeToken(set, q));
      CheckVertexSet(e);
      total += e.VertexCount;
      if (total > kMaxVertices) throw Error(DocumentMsg::VertexSetsTooLarge, total, kMaxVertices);
      a.vertexSets.push_back(e);
    }
  }

  return c;
}

void ScanPrimitives(Scanner& s, ShapeAnalysis& a, int c) {
  const int last = s.Last();
  // Primitives: the count holds one prim_state_idx and one indexed_trilist
  // per primitive, and one more for every further triangle list a
  // primitive holds (exporters split long lists and write them one after
  // another under one prim_state_idx). Faces come from the first line of
  // each vertex_idxs list; a primitive's faces are those of all its lists.
  SearchResult prims = s.Find(c + 1, "primitives");
  c = prims.line;
  if (!prims.found) return;
  int32_t entries;
  {
    const std::string& l = s.At(c);
    entries = Count(FirstNumberText(l, FirstParenPos(l)), "primitives");
  }
  while (entries >= 2) {
    SearchResult idx = s.Find(c + 1, "prim_state_idx");
    if (idx.line == last) return;
    c = idx.line;
    const std::string& il = s.At(c);
    int64_t r = static_cast<int64_t>(FirstNumberAfter(il, FirstParenPos(il))) + 1;
    CheckIndex(r - 1, a.elements.size(), "prim_state");
    c += 2;
    int64_t f = 0;
    bool counted = false;  // a list without its vertex_idxs line where expected leaves the cells alone
    for (;;) {
      --entries;
      const std::string& vl = s.At(c);
      if (Contains(vl, "vertex_idxs")) {
        f += Count(FirstNumberText(vl, FirstParenPos(vl)), "vertex_idxs") / 3;
        counted = true;
      }
      SearchResult flags = s.Find(c + 1, "flags");
      c = s.Find(flags.line, ")").line;
      // A further list of the same primitive: the line after the list's
      // closing line opens it, its vertex_idxs follow on the next line.
      if (entries < 2 || c + 3 > last || !Contains(s.At(c + 2), "indexed_trilist") ||
          Contains(s.At(c + 2), "prim_state_idx"))
        break;
      c += 3;
    }
    --entries;
    if (!counted) continue;
    if (f > kMaxFaces) throw Error(DocumentMsg::TooManyFaces, f, kMaxFaces);
    a.elements[r - 1].faces = static_cast<int32_t>(f);
    a.matrices[a.vtxStateMatrix[a.elementVtxState[r]]].faces += f;
  }
}

void Scan(Scanner& s, ShapeAnalysis& a) {
  int c = ScanElements(s, a, ScanTables(s, a));
  for (const auto& name : a.matrixNames) a.matrices.push_back({name, 0});
  c = ScanVertexSets(s, a, ScanLevels(s, a, c));
  ScanPrimitives(s, a, c);
}

}  // namespace

ShapeAnalysis AnalyseShape(const Lines& lines) {
  ShapeAnalysis a;
  if (lines.empty()) return a;
  Scanner s(lines);
  try {
    Scan(s, a);
  } catch (const Error& e) {
    // The readers of the core name what is wrong; only the scanner knows
    // the line it stood on.
    a.failure = e.message().WrappedIn(DocumentMsg::AnalysisLine, s.CurrentLine() + 1);
  }
  return a;
}

}  // namespace lodsmith
