// Checks made before writing: the writers follow the template line by line
// and trust its layout, so anything that would make them write a broken shape
// (or read past the template sub-object) is refused here with a message that
// names the line or the element.
#include <algorithm>

#include "generation/generator.h"

namespace lodsmith {

namespace {

[[noreturn]] void Refuse(const std::string& message) {
  throw GenerationError(GenerationFailure::Refused, message + " Abbruch der Aktion.");
}

std::string LineNo(int64_t index) { return std::to_string(index + 1); }

std::string ElementName(const GenerationInput& in, int row) {
  return "Element " + std::to_string(row) + " (" + in.Elements.Cell(0, row) + ")";
}

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

void RequireValues(const Lines& lines, int64_t index, std::string_view keyword, int count) {
  if (!ValuesOnLine(lines[index], keyword, count))
    Refuse("In Zeile " + LineNo(index) + " stehen \"" + std::string(keyword) +
           "\" und seine Werte nicht in einer Zeile (erwartet: \"" + std::string(keyword) + " ( ...\").");
}

// The brackets of a line: how many it opens (negative: closes).
int BracketBalance(const std::string& line) {
  int balance = 0;
  for (char c : line) balance += c == '(' ? 1 : c == ')' ? -1 : 0;
  return balance;
}

// The lines before the template the head copy and the LOD loop rewrite:
// the "distance_levels " line (when there is none, the generation fails
// with its own message later) and, after it, the dlevel_selection and
// sub_objects lines.
void CheckLevels(const Lines& lines, const TemplateLocation& loc) {
  int32_t levels = -1;
  for (int32_t c = 0; c < loc.FirstSubObjectLine; ++c)
    if (Contains(lines[c], "distance_levels ")) {
      levels = c;
      break;
    }
  if (levels < 0) return;
  RequireValues(lines, levels, "distance_levels", 1);
  for (int32_t c = levels + 1; c < loc.FirstSubObjectLine; ++c) {
    if (Contains(lines[c], "dlevel_selection")) RequireValues(lines, c, "dlevel_selection", 1);
    if (Contains(lines[c], "sub_objects")) RequireValues(lines, c, "sub_objects", 1);
  }
}

// Each node is copied as three lines: the node's line with its primitive
// count, the cullable_prims line (rewritten whole from the keyword on) and
// the node's ")"; the list's own ")" follows on a line of its own.
void CheckNodeLines(const Lines& lines, int32_t nodesLine, int32_t count) {
  for (int32_t k = 0; k < count; ++k) {
    const int32_t node = nodesLine + 1 + 3 * k;
    const std::string& cull = lines[node + 1];
    const bool layout = ValuesOnLine(lines[node], "geometry_node", 1) && BracketBalance(lines[node]) == 1 &&
                        Contains(cull, "cullable_prims") && Contains(cull, "(") && BracketBalance(cull) == 0 &&
                        IsCloseLine(lines[node + 2]);
    if (!layout)
      Refuse("Der Knoten in Zeile " + LineNo(node) +
             " besteht nicht aus den drei Zeilen \"geometry_node ( ...\", \"cullable_prims ( ... )\" und \")\".");
  }
  const int32_t close = nodesLine + 1 + 3 * count;
  if (!IsCloseLine(lines[close]))
    Refuse("geometry_nodes ab Zeile " + LineNo(nodesLine) + " wird nicht in Zeile " + LineNo(close) +
           " mit einer eigenen Zeile \")\" geschlossen.");
}

// The header of the template sub-object, walked as the header writer walks
// it: geometry nodes three lines each, no more nodes than matrices, the node
// map closed before the vertices.
void CheckHeader(const Lines& lines, const TemplateLocation& loc, const GenerationInput& in) {
  const int32_t v = loc.VerticesLine;
  int32_t c = loc.FirstSubObjectLine;
  do {
    if (Contains(lines[c], "geometry_info")) RequireValues(lines, c, "geometry_info", 7);
    if (Contains(lines[c], "geometry_nodes")) {
      RequireValues(lines, c, "geometry_nodes", 1);
      auto n = ParseInt32(ValueAfter(lines[c], "geometry_nodes", 1));
      if (!n || *n < 0) Refuse("Die Knotenzahl von geometry_nodes in Zeile " + LineNo(c) + " ist keine Zahl.");
      if (*n > in.MatrixCount)
        Refuse("geometry_nodes in Zeile " + LineNo(c) + " nennt " + std::to_string(*n) + " Knoten, die Datei hat aber nur " +
               std::to_string(in.MatrixCount) + " Matrizen.");
      const int32_t g = c;
      std::vector<int32_t> nodes;
      for (int32_t i = g + 1; i < v; ++i)
        if (IsNodeLine(lines[i])) nodes.push_back(i);
      bool threeLines = static_cast<int32_t>(nodes.size()) == *n && int64_t{g} + 1 + 3 * int64_t{*n} < v;
      for (int32_t k = 0; threeLines && k < *n; ++k) threeLines = nodes[k] == g + 1 + 3 * k;
      if (!threeLines)
        Refuse("Die geometry_nodes ab Zeile " + LineNo(g) + " bestehen nicht aus " + std::to_string(*n) +
               " Knoten zu je drei Zeilen.");
      CheckNodeLines(lines, g, *n);
      c = g + 1 + 3 * *n;
    }
    if (Contains(lines[c], "geometry_node_map")) {
      const int32_t m = c;
      while (lines[c].find(')') == std::string::npos) {
        ++c;
        if (c >= v) Refuse("geometry_node_map ab Zeile " + LineNo(m) + " wird vor den Vertices nicht geschlossen.");
      }
    }
    ++c;
  } while (c < v);
}

// Vertices three lines each, as many as the vertex sets hold, then one line
// per vertex_set. Returns the index of the vertex_sets line.
int32_t CheckVertices(const Lines& lines, const TemplateLocation& loc, const GenerationInput& in) {
  const int32_t end = loc.SubObjectEndLine - 1;
  RequireValues(lines, loc.VerticesLine, "vertices", 1);
  int64_t total = 0;
  if (in.VertexSetCount < 0 || in.VertexSetCount > static_cast<int32_t>(in.VertexSets.size()))
    Refuse("Die vertex_sets der Datei wurden nicht vollständig gelesen.");
  for (int32_t i = 0; i < in.VertexSetCount; ++i) {
    if (in.VertexSets[i].VertexCount < 0) Refuse("vertex_set " + std::to_string(i) + " hat eine negative Vertexzahl.");
    total += in.VertexSets[i].VertexCount;
  }
  int32_t vs = -1;
  for (int32_t i = loc.VerticesLine + 1; i < end; ++i)
    if (Contains(lines[i], "vertex_sets")) {
      vs = i;
      break;
    }
  if (vs < 0) Refuse("Im Subobjekt ab Zeile " + LineNo(loc.FirstSubObjectLine) + " fehlt der vertex_sets-Block.");

  const int64_t first = int64_t{loc.VerticesLine} + 1;
  const int64_t after = first + 3 * total;
  bool layout = after < vs;
  for (int64_t k = first; layout && k < after; k += 3) layout = Contains(lines[k], "vertex ");
  if (layout) layout = !Contains(lines[after], "vertex ");
  if (!layout)
    Refuse("Die Vertices ab Zeile " + LineNo(loc.VerticesLine) + " passen nicht zu den vertex_sets (" +
           std::to_string(total) + " Vertices zu je drei Zeilen erwartet).");

  RequireValues(lines, vs, "vertex_sets", 1);
  auto count = ParseInt32(ValueAfter(lines[vs], "vertex_sets", 1));
  if (!count || *count != in.VertexSetCount)
    Refuse("Die Anzahl in vertex_sets (Zeile " + LineNo(vs) + ") passt nicht zu den gelesenen vertex_sets.");
  for (int32_t i = 1; i <= in.VertexSetCount; ++i) {
    const int32_t k = vs + i;
    if (k >= end || !Contains(lines[k], "vertex_set") || !ParseInt32(ValueAfter(lines[k], "vertex_set", 2)))
      Refuse("Zeile " + LineNo(k) + " ist kein vertex_set mit ganzzahligem ersten Vertex.");
  }
  return vs;
}

// Every primitive as the primitive writer reads it. Returns the number of
// primitives per element row.
std::vector<int> CheckPrimitives(const Lines& lines, const TemplateLocation& loc, const GenerationInput& in,
                                 int32_t vertexSetsLine) {
  const int32_t end = loc.SubObjectEndLine - 1;
  const int rows = in.Elements.RowCount();
  std::vector<int> perRow(static_cast<std::size_t>(std::max(rows, 1)), 0);
  int32_t c = vertexSetsLine + in.VertexSetCount + 1;
  while (c < end && !Contains(lines[c], "primitives")) ++c;
  if (c >= end) Refuse("Im Subobjekt ab Zeile " + LineNo(loc.FirstSubObjectLine) + " fehlt der primitives-Block.");
  RequireValues(lines, c, "primitives", 1);

  auto next = [&](int32_t& i, int32_t start) {
    ++i;
    if (i >= end) Refuse("Das Primitiv ab Zeile " + LineNo(start) + " ist unvollständig.");
  };
  for (++c; c < end; ++c) {
    if (!Contains(lines[c], "prim_state_idx")) continue;
    const int32_t start = c;
    auto idx = ParseInt32(ValueAfter(lines[c], "prim_state_idx", 1));
    if (!idx || *idx < 0 || *idx >= rows - 1)
      Refuse("prim_state_idx in Zeile " + LineNo(c) + " verweist auf kein Element.");
    if (++perRow[*idx + 1] > 1)
      Refuse(ElementName(in, *idx + 1) + " wird von mehr als einem Primitiv verwendet (zweites ab Zeile " +
             LineNo(c) + "); so eine Datei kann nicht in Subobjekte zerlegt werden.");
    do next(c, start);
    while (!Contains(lines[c], "vertex_idxs"));
    // The index list up to the normal_idxs line: integers and ")" only.
    std::string_view line = lines[c];
    int p = 1, e = 1;
    if (auto open = line.find('('); open != std::string_view::npos) {
      p = static_cast<int>(open) + 2;
      NextToken(line, p, e);
      p = e;
    }
    for (;;) {
      NextToken(line, p, e);
      std::string_view token;
      if (static_cast<std::size_t>(p) <= line.size()) token = line.substr(p - 1, e - p);
      p = e;
      if (token.empty()) {
        next(c, start);
        line = lines[c];
        p = 1;
        if (Contains(line, "normal_idxs")) break;
      } else if (token != ")" && !ParseInt32(token)) {
        Refuse("In den vertex_idxs in Zeile " + LineNo(c) + " steht \"" + std::string(token) +
               "\", das ist keine ganze Zahl.");
      }
    }
    do next(c, start);
    while (!Contains(lines[c], "flags"));
    while (!Contains(lines[c], ")")) next(c, start);
    // The primitive writer copies the flags up to their ")" and one line
    // more as the list's closing line, then goes on at the next
    // prim_state_idx: anything else there would be lost or doubled.
    next(c, start);
    if (!IsCloseLine(lines[c]))
      Refuse("Die Dreiecksliste ab Zeile " + LineNo(start) +
             " wird nach ihren flags nicht mit einer eigenen Zeile \")\" geschlossen (Zeile " + LineNo(c) + ").");
    int32_t after = c + 1;
    while (after < end && lines[after].find_first_not_of(" \t\r") == std::string::npos) ++after;
    if (after < end && !Contains(lines[after], "prim_state_idx"))
      Refuse("Nach der Dreiecksliste, die in Zeile " + LineNo(c) + " endet, folgt in Zeile " + LineNo(after) +
             " weder prim_state_idx noch das Ende von primitives.");
  }
  return perRow;
}

}  // namespace

void CheckTemplate(const Lines& lines, const TemplateLocation& loc, const GenerationInput& in) {
  const int64_t last = static_cast<int64_t>(lines.size()) - 1;
  if (loc.FirstSubObjectLine < 0 || loc.VerticesLine <= loc.FirstSubObjectLine ||
      loc.SubObjectEndLine - 1 <= loc.VerticesLine || int64_t{loc.SubObjectEndLine} + 3 > last)
    Refuse("Die Datei endet innerhalb von lod_controls: nach dem Subobjekt ab Zeile " +
           LineNo(loc.FirstSubObjectLine) + " fehlen die schließenden Zeilen.");

  // The template ends in the closing lines the LOD loop copies after the
  // sub-objects of every LOD.
  for (int32_t c = loc.SubObjectEndLine - 1; c <= loc.SubObjectEndLine + 2; ++c)
    if (!IsCloseLine(lines[c]))
      Refuse(
          "Das Subobjekt ab Zeile " + LineNo(loc.FirstSubObjectLine) +
          " endet nicht mit je einer Zeile \")\" für primitives, sub_object, sub_objects und distance_level (Zeile " +
          LineNo(c) + ").");

  // A distance is written as it stands: it must be what a typed distance may
  // be (a settings file may hold anything).
  for (int lod = 1; lod <= in.LodCount; ++lod) {
    const std::string& d = in.Distances.Cell(1, lod);
    if (d.find_first_not_of(" \t") == std::string::npos)
      Refuse("Für LOD " + std::to_string(lod) + " ist keine Entfernungsstufe eingetragen.");
    const auto v = ParseInt32(d);
    if (!v || *v < 1 || *v > 2000)
      Refuse("Die Entfernung von LOD " + std::to_string(lod) + " \"" + d +
             "\" ist keine gültige Zahl (erlaubt sind ganze Zahlen von 1 bis 2000).");
  }

  CheckLevels(lines, loc);
  CheckHeader(lines, loc, in);
  const int32_t vs = CheckVertices(lines, loc, in);
  const std::vector<int> perRow = CheckPrimitives(lines, loc, in, vs);

  // Elements: every assignment a number; an element that some LOD writes
  // needs its one primitive, a face count and tables that reach its matrix.
  // A cell puts an element into a sub-object only by its exact text ("0", or
  // the number without sign or leading zeros), so "0999" or "05" leave the
  // element out just as "999" does.
  const int subObjectRows = in.SubObjects.RowCount() - 1;
  auto writesElement = [&](const std::string& a) {
    if (a == "0") return true;
    auto v = ParseInt32(a);
    return v && *v >= 1 && *v <= subObjectRows && std::to_string(*v) == a;
  };
  for (int r = 1; r < in.Elements.RowCount(); ++r) {
    int usedIn = 0;
    for (int lod = 1; lod <= in.LodCount; ++lod) {
      const std::string& a = in.Elements.Cell(lod + 2, r);
      if (!ParseInt32(a))
        Refuse(ElementName(in, r) + ": in der Spalte \"L " + std::to_string(lod) + "\" steht keine ganze Zahl.");
      if (usedIn == 0 && writesElement(a)) usedIn = lod;
    }
    if (usedIn == 0) continue;
    const std::string where = ElementName(in, r) + " ist in LOD " + std::to_string(usedIn) + " zugeordnet, ";
    if (perRow[r] == 0)
      Refuse(where + "wird aber von keinem Primitiv verwendet. Bitte in allen LODs 999 eintragen.");
    if (!ParseInt32(in.Elements.Cell(2, r)))
      Refuse(where + "hat aber in der Spalte \"Faces\" keine ganze Zahl.");
    const int32_t state = r < static_cast<int>(in.ElementVtxState.size()) ? in.ElementVtxState[r] : -1;
    if (state < 0 || state >= in.VertexSetCount || state >= static_cast<int32_t>(in.VtxStateMatrix.size()))
      Refuse(where + "aber sein vtx_state " + std::to_string(state) + " hat kein vertex_set.");
    const int32_t m = in.VtxStateMatrix[state];
    if (m < 0 || m >= in.MatrixCount)
      Refuse(where + "aber sein vtx_state " + std::to_string(state) + " verweist auf die Matrix " + std::to_string(m) +
             ", die es nicht gibt.");
  }
}

void CheckSortedTemplate(const Lines& lines, const TemplateLocation& loc) {
  for (int32_t c = loc.FirstSubObjectLine; c < loc.VerticesLine; ++c) {
    if (!Contains(lines[c], "sub_object_header")) continue;
    const std::string flags = ValueAfter(lines[c], "sub_object_header", 1);
    const bool digits = !flags.empty() && std::all_of(flags.begin(), flags.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
    if (!digits || flags.size() < 3 || !ParseInt32(flags))
      Refuse("Das Flag-Wort \"" + flags + "\" in sub_object_header (Zeile " + LineNo(c) +
             ") ist keine Dezimalzahl mit mindestens drei Ziffern; sortierte Subobjekte können daraus nicht erzeugt "
             "werden.");
    if (ValueAfter(lines[c], "sub_object_header", 2).empty() || ValueAfter(lines[c], "sub_object_header", 3).empty())
      Refuse("sub_object_header in Zeile " + LineNo(c) + " enthält keine Sortier-Indizes.");
    break;
  }

  // The head as the head copy reads it: the first volume is copied for the
  // sorted sub-objects and its centre becomes their sort vector.
  int32_t levels = loc.FirstSubObjectLine;
  for (int32_t c = 0; c < loc.FirstSubObjectLine; ++c)
    if (Contains(lines[c], "distance_levels ")) {
      levels = c;
      break;
    }
  int32_t volumes = -1, sortVectors = -1, volumesLines = 0, sortLines = 0;
  for (int32_t c = 0; c < levels; ++c) {
    if (Contains(lines[c], "volumes")) {
      ++volumesLines;
      if (volumes < 0) volumes = c;
    }
    if (Contains(lines[c], "sort_vectors")) {
      ++sortLines;
      if (sortVectors < 0) sortVectors = c;
    }
  }
  const std::string noVolume =
      "Für sortierte Subobjekte wird vor sort_vectors ein volumes-Block mit einer vol_sphere gebraucht, ";
  if (volumes < 0 || sortVectors < 0 || volumes > sortVectors || volumesLines != 1 || sortLines != 1)
    Refuse(noVolume + "die Datei hat keinen solchen.");
  const int32_t v = volumes + 1;
  if (v + 2 >= sortVectors || !Contains(lines[v], "vol_sphere") || !Contains(lines[v + 1], ")") ||
      !ParseInt32(ValueAfter(lines[volumes], "volumes", 1)))
    Refuse(noVolume + "der in Zeile " + LineNo(volumes) + " ist nicht verwendbar.");
  if (!ParseInt32(ValueAfter(lines[sortVectors], "sort_vectors", 1)))
    Refuse("Die Anzahl in sort_vectors (Zeile " + LineNo(sortVectors) + ") ist keine ganze Zahl.");
}

}  // namespace lodsmith
