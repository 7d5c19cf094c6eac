// The one walk over the template. Each part follows the lines as the writer
// of that part does (the same cursor steps, the same keyword tests), refuses
// what that writer would turn into a broken shape or could not read, and
// records the lines and values it will take.
#include "generation/template_layout.h"

#include <algorithm>

#include "core/lod_distance.h"
#include "generation/refusal.h"

namespace lodsmith {

namespace {

int64_t LineNo(int64_t index) { return index + 1; }

bool IsNodeLine(const std::string& line) {
  return Contains(line, "geometry_node") && !Contains(line, "geometry_nodes") && !Contains(line, "geometry_node_map");
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// A line that holds nothing but ")": the writers copy such lines as the
// closing lines of the blocks they write.
bool IsCloseLine(const std::string& line) {
  std::size_t b = 0, e = line.size();
  while (b < e && IsBlankChar(line[b])) ++b;
  while (e > b && IsBlankChar(line[e - 1])) --e;
  return e - b == 1 && line[b] == ')';
}

bool AllDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The writers replace value k after a keyword by counting tokens on the
// keyword's line: "(" must be its own token right after the keyword, and the
// values up to `count` must follow on that line.
bool ValuesOnLine(const std::string& line, std::string_view keyword, int count) {
  if (!Contains(line, keyword) || ValueAfter(line, keyword, 0) != "(") return false;
  for (int k = 1; k <= count; ++k) {
    const std::string v = ValueAfter(line, keyword, k);
    if (v.empty() || v.find_first_of("()") != std::string::npos) return false;
  }
  return true;
}

// The brackets of a line: how many it opens (negative: closes).
int BracketBalance(const std::string& line) {
  int balance = 0;
  for (char c : line) balance += c == '(' ? 1 : c == ')' ? -1 : 0;
  return balance;
}

}  // namespace

// The walk, in the order its refusals are made: where the template is, its
// closing lines, the distances, the LOD head, the sub-object header, the
// vertices, the primitives, the elements; then what only the writers need.
// (A friend of TemplateLayout, which it fills.)
class TemplateWalk {
public:
  TemplateWalk(const Lines& lines, const LodAssignment& assignment, const GenerationTables& tables)
      : lines_(lines), a_(assignment), t_(tables) {}

  TemplateLayout Read() {
    layout_.lineCount = static_cast<int32_t>(lines_.size());
    Locate();
    CheckClosingLines();
    CheckDistances();
    ReadLevels();
    ReadHeader();
    ReadVertices();
    const std::vector<int> perRow = ReadPrimitives();
    CheckElements(perRow);
    if (AnySorted()) ReadSortedHead();
    ReadPrimitiveStarts();
    return std::move(layout_);
  }

private:
  const std::string& L(int64_t i) const { return lines_[static_cast<std::size_t>(i)]; }
  int32_t First() const { return layout_.FirstSubObjectLine; }
  // The line that closes primitives: the sub-object's content ends before it.
  int32_t End() const { return layout_.SubObjectEndLine - 1; }

  void RequireValues(int64_t index, std::string_view keyword, int count) const {
    if (!ValuesOnLine(L(index), keyword, count)) Refuse(GenerationMsg::ValuesNotOnLine, LineNo(index), keyword);
  }

  // The template sub-object: the first "sub_object " after sort_vectors, its
  // "vertices", and its end, found from the last "flags" before the next
  // sub-object (or the end): the flags list of the last primitive, whose ")"
  // line is followed by the closing lines of the triangle list, of
  // primitives and of the sub-object.
  void Locate() {
    const SearchResult sv = Search(lines_, 1, "sort_vectors");
    if (!sv.found) Refuse(GenerationMsg::GeneralError);
    const SearchResult so = Search(lines_, sv.line + 1, "sub_object ");
    if (!so.found) Refuse(GenerationMsg::GeneralError);
    const SearchResult vt = Search(lines_, so.line + 1, "vertices");
    if (!vt.found) Refuse(GenerationMsg::GeneralError);
    const SearchResult next = Search(lines_, vt.line + 1, "sub_object ");
    if (next.line < 0) Refuse(GenerationMsg::GeneralError);
    // The last one, looked for from the end: the first met there.
    int lastFlags = -1;
    for (int i = next.line; i > vt.line; --i)
      if (Contains(L(i), "flags")) {
        lastFlags = i;
        break;
      }
    if (lastFlags < 0) Refuse(GenerationMsg::GeneralError);
    layout_.FirstSubObjectLine = so.line;
    layout_.VerticesLine = vt.line;
    layout_.SubObjectEndLine = Search(lines_, lastFlags, ")").line + 3;
  }

  // The template ends in the closing lines the LOD loop copies after the
  // sub-objects of every LOD.
  void CheckClosingLines() const {
    const int64_t last = static_cast<int64_t>(lines_.size()) - 1;
    const int32_t endLine = layout_.SubObjectEndLine;
    if (First() < 0 || layout_.VerticesLine <= First() || endLine - 1 <= layout_.VerticesLine ||
        int64_t{endLine} + 3 > last)
      Refuse(GenerationMsg::EndsInsideLodControls, LineNo(First()));
    for (int32_t c = endLine - 1; c <= endLine + 2; ++c)
      if (!IsCloseLine(L(c))) Refuse(GenerationMsg::SubObjectNotClosed, LineNo(First()), LineNo(c));
  }

  // A distance is written as it stands: it must be what a typed distance may
  // be (a settings file may hold anything).
  void CheckDistances() const {
    for (int lod = 1; lod <= a_.lodCount; ++lod) {
      const std::string& d = a_.Distance(lod);
      if (d.find_first_not_of(" \t") == std::string::npos) Refuse(GenerationMsg::DistanceMissing, lod);
      const auto v = ParseInt32(d);
      if (!v || !DistanceInRange(*v)) Refuse(GenerationMsg::DistanceInvalid, lod, d);
    }
  }

  // The lines before the template that the head copy and the LOD loop
  // rewrite: the "distance_levels " line (when there is none, the
  // generation fails with its own message when it writes) and, after it,
  // the dlevel_selection and sub_objects lines.
  void ReadLevels() {
    int32_t levels = -1;
    for (int32_t c = 0; c < First(); ++c)
      if (Contains(L(c), "distance_levels ")) {
        levels = c;
        break;
      }
    if (levels < 0) return;
    layout_.LevelsBodyLine = levels + 1;
    RequireValues(levels, "distance_levels", 1);
    for (int32_t c = levels + 1; c < First(); ++c) {
      if (Contains(L(c), "dlevel_selection")) RequireValues(c, "dlevel_selection", 1);
      if (Contains(L(c), "sub_objects")) RequireValues(c, "sub_objects", 1);
    }
    // The LOD loop's steps: a rewritten line is followed by the test for
    // the next keyword only, and the line after a sub_objects line is
    // copied untested.
    int32_t q = levels + 1;
    while (q < First()) {
      if (Contains(L(q), "dlevel_selection")) layout_.levels.push_back({q++, LevelLine::Kind::Distance});
      if (Contains(L(q), "sub_objects")) layout_.levels.push_back({q++, LevelLine::Kind::SubObjectCount});
      if (q < First()) layout_.levels.push_back({q, LevelLine::Kind::Copy});
      ++q;
    }
  }

  // Each node is copied as three lines: the node's line with its primitive
  // count, the cullable_prims line (rewritten whole from the keyword on) and
  // the node's ")"; the list's own ")" follows on a line of its own.
  void CheckNodeLines(int32_t nodesLine, int32_t count) const {
    for (int32_t k = 0; k < count; ++k) {
      const int32_t node = nodesLine + 1 + 3 * k;
      const std::string& cull = L(node + 1);
      const bool layout = ValuesOnLine(L(node), "geometry_node", 1) && BracketBalance(L(node)) == 1 &&
                          Contains(cull, "cullable_prims") && Contains(cull, "(") && BracketBalance(cull) == 0 &&
                          IsCloseLine(L(node + 2));
      if (!layout) Refuse(GenerationMsg::NodeNotThreeLines, LineNo(node));
    }
    const int32_t close = nodesLine + 1 + 3 * count;
    if (!IsCloseLine(L(close))) Refuse(GenerationMsg::NodesNotClosed, LineNo(nodesLine), LineNo(close));
  }

  // The header of the template sub-object, walked as the header writer walks
  // it: geometry nodes three lines each, no more nodes than matrices, the
  // node map closed before the vertices.
  void ReadHeader() {
    const int32_t v = layout_.VerticesLine;
    int32_t c = First();
    int32_t nodeCount = 0;
    do {
      HeaderLine h;
      h.line = c;
      const std::string& line = L(c);
      if (Contains(line, "sub_object_header")) {
        h.subObjectHeader = true;
        const std::string flags = ValueAfter(line, "sub_object_header", 1);
        const auto value = ParseInt32(flags);
        h.sortable = value && AllDigits(flags) && flags.size() >= 3;
        if (h.sortable) {
          h.sortedFlags = flags;
          if (*value % 2 == 0) {
            // Sets the sort bit of the hexadecimal flags word. A '9' steps to
            // the next hexadecimal digit rather than to a character that is
            // none.
            char& d = h.sortedFlags[h.sortedFlags.size() - 3];
            d = d == '9' ? 'a' : static_cast<char>(d + 1);
          }
        }
      }
      if (Contains(line, "geometry_info")) {
        RequireValues(c, "geometry_info", 7);
        h.geometryInfo = true;
      }
      if (Contains(line, "geometry_nodes")) {
        RequireValues(c, "geometry_nodes", 1);
        const auto n = ParseInt32(ValueAfter(line, "geometry_nodes", 1));
        if (!n || *n < 0) Refuse(GenerationMsg::NodeCountNoNumber, LineNo(c));
        if (*n > t_.matrixCount) Refuse(GenerationMsg::MoreNodesThanMatrices, LineNo(c), *n, t_.matrixCount);
        const int32_t g = c;
        std::vector<int32_t> nodes;
        for (int32_t i = g + 1; i < v; ++i)
          if (IsNodeLine(L(i))) nodes.push_back(i);
        bool threeLines = static_cast<int32_t>(nodes.size()) == *n && int64_t{g} + 1 + 3 * int64_t{*n} < v;
        for (int32_t k = 0; threeLines && k < *n; ++k) threeLines = nodes[k] == g + 1 + 3 * k;
        if (!threeLines) Refuse(GenerationMsg::NodesNotThreeLinesEach, LineNo(g), *n);
        CheckNodeLines(g, *n);
        nodeCount = *n;
        h.nodes = *n;
        h.lastLine = g;
        layout_.header.push_back(std::move(h));
        // The line after the nodes is read for a node map only.
        c = g + 1 + 3 * *n;
        h = HeaderLine{};
        h.line = c;
      }
      if (Contains(L(c), "geometry_node_map")) {
        h.nodeMap = true;
        h.mapNodes = nodeCount;
        const int32_t m = c;
        while (L(c).find(')') == std::string::npos) {
          ++c;
          if (c >= v) Refuse(GenerationMsg::NodeMapNotClosed, LineNo(m));
        }
      }
      h.lastLine = c;
      layout_.header.push_back(std::move(h));
      ++c;
    } while (c < v);
  }

  // Vertices three lines each, as many as the vertex sets hold, then one
  // line per vertex_set.
  void ReadVertices() {
    const int32_t end = End();
    const int32_t first = layout_.VerticesLine + 1;
    RequireValues(layout_.VerticesLine, "vertices", 1);
    const std::span<const TVertexSetEntry> sets = t_.vertexSets;
    const int32_t setCount = static_cast<int32_t>(sets.size());
    int64_t total = 0;
    for (int32_t i = 0; i < setCount; ++i) {
      if (sets[i].VertexCount < 0) Refuse(GenerationMsg::NegativeVertexCount, i);
      layout_.setFirstLine.push_back(static_cast<int32_t>(std::min<int64_t>(first + 3 * total, INT32_MAX)));
      total += sets[i].VertexCount;
    }
    int32_t vs = -1;
    for (int32_t i = first; i < end; ++i)
      if (Contains(L(i), "vertex_sets")) {
        vs = i;
        break;
      }
    if (vs < 0) Refuse(GenerationMsg::VertexSetsMissing, LineNo(First()));

    const int64_t after = first + 3 * total;
    bool layout = after < vs;
    for (int64_t k = first; layout && k < after; k += 3) layout = Contains(L(k), "vertex ");
    if (layout) layout = !Contains(L(after), "vertex ");
    if (!layout) Refuse(GenerationMsg::VerticesMismatch, LineNo(layout_.VerticesLine), total);

    RequireValues(vs, "vertex_sets", 1);
    const auto count = ParseInt32(ValueAfter(L(vs), "vertex_sets", 1));
    if (!count || *count != setCount) Refuse(GenerationMsg::VertexSetsCountMismatch, LineNo(vs));
    for (int32_t i = 1; i <= setCount; ++i) {
      const int32_t k = vs + i;
      std::optional<int32_t> firstVertex;
      if (k < end && Contains(L(k), "vertex_set")) firstVertex = ParseInt32(ValueAfter(L(k), "vertex_set", 2));
      if (!firstVertex) Refuse(GenerationMsg::NoVertexSetLine, LineNo(k));
      layout_.setFirstVertex.push_back(*firstVertex);
    }
    layout_.vertexSetsLine = vs;
    layout_.afterVertices = static_cast<int32_t>(after);

    // The vertex writer copies the line after the last vertex_set and looks
    // for "primitives" from the next one on.
    for (int32_t c = vs + setCount + 2; c < end; ++c)
      if (Contains(L(c), "primitives")) {
        layout_.primitivesLine_ = c;
        break;
      }
  }

  // Every primitive as the primitive writer reads it, with its index lines
  // parsed. Returns the number of primitives per element row.
  std::vector<int> ReadPrimitives() {
    const int32_t end = End();
    const int rows = a_.ElementCount() + 1;
    std::vector<int> perRow(static_cast<std::size_t>(rows), 0);
    layout_.listsPerRow.assign(static_cast<std::size_t>(rows), 0);
    int32_t c = layout_.vertexSetsLine + static_cast<int32_t>(t_.vertexSets.size()) + 1;
    while (c < end && !Contains(L(c), "primitives")) ++c;
    if (c >= end) Refuse(GenerationMsg::PrimitivesMissing, LineNo(First()));
    RequireValues(c, "primitives", 1);

    for (++c; c < end; ++c) {
      if (!Contains(L(c), "prim_state_idx")) continue;
      const auto idx = ParseInt32(ValueAfter(L(c), "prim_state_idx", 1));
      if (!idx || *idx < 0 || *idx >= rows - 1) Refuse(GenerationMsg::PrimStateNoElement, LineNo(c));
      const int row = *idx + 1;
      if (++perRow[static_cast<std::size_t>(row)] > 1)
        Refuse(GenerationMsg::ElementInTwoPrimitives, row, a_.elements[static_cast<std::size_t>(*idx)].name, LineNo(c));
      Primitive p;
      p.line = c;
      p.row = row;
      p.firstList = static_cast<uint32_t>(layout_.lists.size());
      // The lists of the primitive, one after another: a list's closing
      // line is followed by the next prim_state_idx, a further list of the
      // same primitive, or the end of primitives; anything else would be
      // lost or doubled.
      int32_t from = c;
      for (;;) {
        c = ReadList(p.line, from);
        const int32_t close = c;
        int32_t after = c + 1;
        while (after < end && L(after).find_first_not_of(" \t\r") == std::string::npos) ++after;
        if (after < end && Contains(L(after), "indexed_trilist") && !Contains(L(after), "prim_state_idx")) {
          from = close + 1;
          continue;
        }
        if (after < end && !Contains(L(after), "prim_state_idx"))
          Refuse(GenerationMsg::AfterTriangleList, LineNo(close), LineNo(after));
        break;
      }
      p.listCount = static_cast<uint32_t>(layout_.lists.size()) - p.firstList;
      p.closeLine = c;
      layout_.listsPerRow[static_cast<std::size_t>(row)] = p.listCount;
      layout_.primitives.push_back(p);
    }
    return perRow;
  }

  // One triangle list from line `from` on (the primitive's prim_state_idx
  // line `start`, or the line after the list before): records it and
  // returns its closing line.
  int32_t ReadList(int32_t start, int32_t from) {
    const int32_t end = End();
    int32_t c = from;
    auto next = [&] {
      ++c;
      if (c >= end) Refuse(GenerationMsg::PrimitiveIncomplete, LineNo(start));
    };
    TriangleList list;
    list.firstLine = from;
    do next();
    while (!Contains(L(c), "vertex_idxs"));
    list.indexLine = c;
    list.firstIndexLine = static_cast<uint32_t>(layout_.indexLines.size());

    // The index lines up to the normal_idxs line: the first keeps its text
    // up to the count, then integers and ")" only.
    std::string_view line = L(c);
    int pos = 1, tokenEnd = 1;
    IndexLine il;
    if (auto open = line.find('('); open != std::string_view::npos) {
      pos = static_cast<int>(open) + 2;
      NextToken(line, pos, tokenEnd);
      pos = tokenEnd;
      il.prefix = static_cast<int32_t>(std::min<std::size_t>(static_cast<std::size_t>(pos), line.size()));
    }
    il.firstToken = static_cast<uint32_t>(layout_.indexTokens.size());
    for (;;) {
      // The token NextToken finds from pos, read as an index on the way:
      // most are a few digits.
      std::size_t at = static_cast<std::size_t>(pos - 1), stop = at;
      while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
      uint64_t digitsValue = 0;
      bool digits = true;
      for (stop = at; stop < line.size() && line[stop] != ' ' && line[stop] != '\t'; ++stop) {
        digits = digits && line[stop] >= '0' && line[stop] <= '9';
        digitsValue = digitsValue * 10 + static_cast<unsigned char>(line[stop] - '0');
      }
      const std::string_view token = at < line.size() ? line.substr(at, stop - at) : std::string_view();
      pos = static_cast<int>(stop) + 1;
      if (digits && !token.empty() && token.size() <= 9) {
        layout_.indexTokens.push_back(static_cast<int64_t>(digitsValue));
      } else if (token.empty()) {
        il.tokenCount = static_cast<uint32_t>(layout_.indexTokens.size()) - il.firstToken;
        layout_.indexLines.push_back(il);
        next();
        line = L(c);
        pos = 1;
        if (Contains(line, "normal_idxs")) break;
        il = IndexLine{};
        il.firstToken = static_cast<uint32_t>(layout_.indexTokens.size());
      } else if (token == ")") {
        layout_.indexTokens.push_back(TemplateLayout::kCloseToken);
      } else if (const auto value = ParseInt32(token)) {
        layout_.indexTokens.push_back(*value);
      } else {
        Refuse(GenerationMsg::IndexNotInteger, LineNo(c), token);
      }
    }
    list.normalLine = c;
    list.indexLineCount = static_cast<uint32_t>(layout_.indexLines.size()) - list.firstIndexLine;

    do next();
    while (!Contains(L(c), "flags"));
    list.flagsLine = c;
    while (!Contains(L(c), ")")) next();
    // The primitive writer copies the flags up to their ")" and one line
    // more as the list's closing line.
    next();
    if (!IsCloseLine(L(c))) Refuse(GenerationMsg::TriangleListNotClosed, LineNo(start), LineNo(c));
    list.closeLine = c;
    layout_.lists.push_back(list);
    return c;
  }

  // Elements: every assignment a number; an element that some LOD writes
  // needs its one primitive, a face count and tables that reach its matrix.
  void CheckElements(const std::vector<int>& perRow) const {
    const std::span<const int32_t> states = t_.elementVtxState;
    const int32_t setCount = static_cast<int32_t>(t_.vertexSets.size());
    for (int r = 1; r <= a_.ElementCount(); ++r) {
      const AssignedElement& e = a_.elements[static_cast<std::size_t>(r - 1)];
      int usedIn = 0;
      for (int lod = 1; lod <= a_.lodCount; ++lod) {
        const AssignmentCell& cell = a_.Cell(r, lod);
        if (!cell.IsNumber()) Refuse(GenerationMsg::CellNotInteger, r, e.name, lod);
        if (usedIn == 0 && cell.PlacesInAnyOf(a_.subObjectCount)) usedIn = lod;
      }
      if (usedIn == 0) continue;
      if (perRow[static_cast<std::size_t>(r)] == 0) Refuse(GenerationMsg::AssignedWithoutPrimitive, r, e.name, usedIn);
      if (!e.faces) Refuse(GenerationMsg::AssignedWithoutFaces, r, e.name, usedIn);
      const int32_t state = r < static_cast<int>(states.size()) ? states[static_cast<std::size_t>(r)] : -1;
      if (state < 0 || state >= setCount || state >= static_cast<int32_t>(t_.vtxStateMatrix.size()))
        Refuse(GenerationMsg::AssignedWithoutVertexSet, r, e.name, usedIn, state);
      const int32_t m = t_.vtxStateMatrix[static_cast<std::size_t>(state)];
      if (m < 0 || m >= t_.matrixCount) Refuse(GenerationMsg::AssignedWithoutMatrix, r, e.name, usedIn, state, m);
      // Triangles of its own in an LOD: whole triangles, at least one.
      for (int lod = 1; lod <= a_.lodCount; ++lod) {
        const std::vector<int32_t>* own = a_.Triangles(lod, r);
        if (own && a_.Cell(r, lod).PlacesInAnyOf(a_.subObjectCount) && (own->empty() || own->size() % 3 != 0))
          Refuse(GenerationMsg::TrianglesNotWhole, r, e.name, lod, own->size());
      }
    }
  }

  // Whether the assignment marks a sub-object sorted: only then can the
  // writer ask for the sorted head (a sorted sub-object it writes is one of
  // these).
  bool AnySorted() const {
    for (int lod = 1; lod <= a_.lodCount; ++lod)
      for (int s = 1; s <= a_.subObjectCount; ++s)
        if (a_.Sorted(lod, s)) return true;
    return false;
  }

  // What sorted sub-objects need, recorded rather than refused: only an
  // assignment that marks sorted sub-objects is refused for it. The flags
  // word of sub_object_header must be decimal digits (at least three)
  // followed by the two sort indices, and a volumes block with a usable
  // first vol_sphere must precede sort_vectors, each the only one of its
  // kind before distance_levels.
  void ReadSortedHead() {
    for (int32_t c = First(); c < layout_.VerticesLine; ++c) {
      if (!Contains(L(c), "sub_object_header")) continue;
      const std::string flags = ValueAfter(L(c), "sub_object_header", 1);
      if (!AllDigits(flags) || flags.size() < 3 || !ParseInt32(flags)) {
        layout_.unsortable_ = Message(GenerationMsg::FlagsWordNotDecimal, flags, LineNo(c));
        return;
      }
      if (ValueAfter(L(c), "sub_object_header", 2).empty() || ValueAfter(L(c), "sub_object_header", 3).empty()) {
        layout_.unsortable_ = Message(GenerationMsg::NoSortIndices, LineNo(c));
        return;
      }
      break;
    }

    const int32_t levels = layout_.LevelsBodyLine >= 0 ? layout_.LevelsBodyLine - 1 : First();
    int32_t volumes = -1, sortVectors = -1, volumesLines = 0, sortLines = 0;
    for (int32_t c = 0; c < levels; ++c) {
      if (Contains(L(c), "volumes")) {
        ++volumesLines;
        if (volumes < 0) volumes = c;
      }
      if (Contains(L(c), "sort_vectors")) {
        ++sortLines;
        if (sortVectors < 0) sortVectors = c;
      }
    }
    if (volumes < 0 || sortVectors < 0 || volumes > sortVectors || volumesLines != 1 || sortLines != 1) {
      layout_.unsortable_ = Message(GenerationMsg::NoVolumeForSorting);
      return;
    }
    const int32_t v = volumes + 1;
    const auto volumeCount = ParseInt32(ValueAfter(L(volumes), "volumes", 1));
    if (v + 2 >= sortVectors || !Contains(L(v), "vol_sphere") || !Contains(L(v + 1), ")") || !volumeCount) {
      layout_.unsortable_ = Message(GenerationMsg::VolumeUnusable, LineNo(volumes));
      return;
    }
    const auto sortCount = ParseInt32(ValueAfter(L(sortVectors), "sort_vectors", 1));
    if (!sortCount) {
      layout_.unsortable_ = Message(GenerationMsg::SortVectorsCountNoNumber, LineNo(sortVectors));
      return;
    }
    SortedHead head;
    head.volumesLine = volumes;
    head.volumes = *volumeCount;
    head.sortVectorsLine = sortVectors;
    head.sortVectors = *sortCount;
    // The sort vector is the centre of the first volume: its line without
    // the radius that follows the vector's ")".
    head.sortVector = L(v + 1);
    head.sortVector.erase(head.sortVector.rfind(')') + 1);
    layout_.sortedHead_ = std::move(head);
  }

  // Where the primitive writer looks for primitives: every line from the
  // primitives line on that holds "prim_state_idx", to the end of the
  // document. Those the walk followed are written from the layout; any
  // other one (a line inside a primitive, a primitive after the template)
  // is only read for its element.
  void ReadPrimitiveStarts() {
    if (layout_.primitivesLine_ < 0) return;
    std::size_t followed = 0;
    const std::vector<Primitive>& prims = layout_.primitives;
    for (int32_t c = layout_.primitivesLine_ + 1; c < layout_.lineCount; ++c) {
      if (!Contains(L(c), "prim_state_idx")) continue;
      PrimitiveStart s;
      s.line = c;
      while (followed < prims.size() && prims[followed].line < c) ++followed;
      if (followed < prims.size() && prims[followed].line == c) {
        s.primitive = static_cast<std::ptrdiff_t>(followed);
        s.row = prims[followed].row;
      } else {
        const auto idx = ParseInt32(ValueAfter(L(c), "prim_state_idx", 1));
        if (idx && *idx >= 0 && *idx < a_.ElementCount()) s.row = *idx + 1;
      }
      layout_.starts.push_back(s);
    }
    for (Primitive& p : layout_.primitives) {
      auto it = std::upper_bound(layout_.starts.begin(), layout_.starts.end(), p.closeLine,
                                 [](int32_t line, const PrimitiveStart& s) { return line < s.line; });
      p.nextStart = static_cast<std::size_t>(it - layout_.starts.begin());
    }
  }

  const Lines& lines_;
  const LodAssignment& a_;
  const GenerationTables& t_;
  TemplateLayout layout_;
};

const SortedHead& TemplateLayout::Sorted() const {
  if (!sortedHead_) Refuse(unsortable_);
  return *sortedHead_;
}

int32_t TemplateLayout::PrimitivesLine() const {
  if (primitivesLine_ < 0) Refuse(GenerationMsg::PrimitivesMissing, int64_t{FirstSubObjectLine} + 1);
  return primitivesLine_;
}

TemplateLayout ReadTemplateLayout(const Lines& lines, const LodAssignment& assignment, const GenerationTables& tables) {
  return TemplateWalk(lines, assignment, tables).Read();
}

}  // namespace lodsmith
