#include "synthetic_shape.h"

#include <algorithm>
#include <cstdlib>

namespace lodsmith::test {

namespace {

void Wrapped(std::vector<std::string>& out, std::string line) {
  while (line.size() > 210) {
    std::size_t cut = line.rfind(' ', 209);
    if (cut == std::string::npos) break;
    out.push_back(line.substr(0, cut + 1));
    line.erase(0, cut + 1);
  }
  out.push_back(line);
}

std::string Tabs(int n) { return std::string(static_cast<std::size_t>(n), '\t'); }

// Start of vertex set `set` in the exported shape's vertex list.
int SetStart(const std::vector<int>& setVertices, int set) {
  int s = 0;
  for (int i = 0; i < set; ++i) s += setVertices[i];
  return s;
}

}  // namespace

std::string MatrixName(int m) { return m == 0 ? "MAIN" : "PART" + std::to_string(m); }

Lines OutlineShape(const OutlineShapeRecipe& recipe) {
  const int states = recipe.vtxStates > 0 ? recipe.vtxStates : recipe.elements;
  Lines l;
  l.push_back("SIMISA@@@@@@@@@@JINX0s1t______");
  l.push_back("");
  l.push_back("shape (");
  l.push_back("\tshape_header ( 00000000 00000000 )");
  l.push_back("\tmatrices ( " + std::to_string(recipe.matrices));
  for (int m = 0; m < recipe.matrices; ++m) l.push_back("\t\tmatrix " + MatrixName(m) + " ( 1 0 0 0 1 0 0 0 1 0 0 0 )");
  l.push_back("\t)");
  l.push_back("\timages ( " + std::to_string(recipe.elements));
  for (int e = 0; e < recipe.elements; ++e) l.push_back("\t\timage ( Img" + std::to_string(e) + ".ACE )");
  l.push_back("\t)");
  l.push_back("\ttextures ( " + std::to_string(recipe.elements));
  for (int e = 0; e < recipe.elements; ++e) l.push_back("\t\ttexture ( " + std::to_string(e) + " 0 0 ff000000 )");
  l.push_back("\t)");
  l.push_back("\tvtx_states ( " + std::to_string(states));
  for (int s = 0; s < states; ++s)
    l.push_back("\t\tvtx_state ( 00000000 " + std::to_string(s % recipe.matrices) + " -5 0 00000002 )");
  l.push_back("\t)");
  l.push_back("\tprim_states ( " + std::to_string(recipe.elements));
  for (int e = 0; e < recipe.elements; ++e) {
    l.push_back("\t\tprim_state Elem" + std::to_string(e) + " ( 00000000 0");
    l.push_back("\t\t\ttex_idxs ( 1 " + std::to_string(e) + " ) 0 " + std::to_string(e % states) + " 0 0 1");
    l.push_back("\t\t)");
  }
  l.push_back("\t)");
  l.push_back("\tlod_controls ( 1");
  l.push_back("\t\tlod_control (");
  l.push_back("\t\t\tdistance_levels_header ( 0 )");
  l.push_back("\t\t\tdistance_levels ( " + std::to_string(recipe.distanceLevels));
  l.push_back("\t\t\t\tdistance_level (");
  l.push_back("\t\t\t\t\tdistance_level_header (");
  l.push_back("\t\t\t\t\t\tdlevel_selection ( 2000 )");
  l.push_back("\t\t\t\t\t)");
  l.push_back("\t\t\t\t\tsub_objects ( " + std::to_string(recipe.subObjects));
  l.push_back("\t\t\t\t\t\tsub_object (");
  l.push_back("\t\t\t\t\t\t\tvertices ( 0");
  l.push_back("\t\t\t\t\t\t\t)");
  l.push_back("\t\t\t\t\t\t\tvertex_sets ( " + std::to_string(states));
  int start = 0;
  for (int s = 0; s < states; ++s) {
    l.push_back("\t\t\t\t\t\t\t\tvertex_set ( " + std::to_string(s) + " " + std::to_string(start) + " " +
                std::to_string(recipe.vertices(s)) + " )");
    start += recipe.vertices(s);
  }
  l.push_back("\t\t\t\t\t\t\t)");
  l.push_back("\t\t\t\t\t\t\tprimitives ( " + std::to_string(2 * recipe.elements));
  for (int e = 0; e < recipe.elements; ++e) {
    const int n = 3 * recipe.faces(e);
    std::string idx = "\t\t\t\t\t\t\t\t\tvertex_idxs ( " + std::to_string(n);
    for (int i = 0; i < n && i < 12; ++i) idx += " 0";
    l.push_back("\t\t\t\t\t\t\t\tprim_state_idx ( " + std::to_string(e) + " )");
    l.push_back("\t\t\t\t\t\t\t\tindexed_trilist (");
    l.push_back(idx + " )");
    l.push_back("\t\t\t\t\t\t\t\t\tnormal_idxs ( 1 0 3 )");
    l.push_back("\t\t\t\t\t\t\t\t\tflags ( 1 00000000 )");
    l.push_back("\t\t\t\t\t\t\t\t)");
  }
  for (int i = 0; i < 7; ++i) l.push_back(std::string(static_cast<std::size_t>(7 - i), '\t') + ")");
  if (recipe.withAnimations) {
    l.push_back("\tanimations ( 1");
    l.push_back("\t\tanimation ( 2 30");
    l.push_back("\t\t\tanim_nodes ( " + std::to_string(recipe.matrices));
    for (int m = 0; m < recipe.matrices; ++m) {
      bool on = false;
      for (const auto& a : recipe.animated) on = on || a == MatrixName(m);
      l.push_back("\t\t\t\tanim_node " + MatrixName(m) + " (");
      l.push_back(on ? "\t\t\t\t\tcontrollers ( 1" : "\t\t\t\t\tcontrollers ( 0 )");
      if (on) {
        l.push_back("\t\t\t\t\t\ttcb_rot ( 0 )");
        l.push_back("\t\t\t\t\t)");
      }
      l.push_back("\t\t\t\t)");
    }
    l.push_back("\t\t\t)");
    l.push_back("\t\t)");
    l.push_back("\t)");
  }
  l.push_back(")");
  return l;
}

Lines ExampleShape() {
  return {
      "SIMISA@@@@@@@@@@JINX0s1t______",
      "",
      "shape (",
      "\tshape_header ( 00000000 00000000 )",
      "\tmatrices ( 2",
      "\t\tmatrix MAIN ( 1 0 0 0 1 0 0 0 1 0 0 0 )",
      "\t\tmatrix WHEEL1 ( 1 0 0 0 1 0 0 0 1 0 0 0 )",
      "\t)",
      "\timages ( 2",
      "\t\timage ( Body.ACE )",
      "\t\timage ( wheel.ace )",
      "\t)",
      "\ttextures ( 2",
      "\t\ttexture ( 0 0 0 ff000000 )",
      "\t\ttexture ( 1 0 0 ff000000 )",
      "\t)",
      "\tvtx_states ( 2",
      "\t\tvtx_state ( 00000000 0 -5 0 00000002 )",
      "\t\tvtx_state ( 00000000 1 -5 0 00000002 )",
      "\t)",
      "\tprim_states ( 2",
      "\t\tprim_state Body ( 00000000 0",
      "\t\t\ttex_idxs ( 1 0 ) 0 0 0 0 1",
      "\t\t)",
      "\t\tprim_state Wheel ( 00000000 0",
      "\t\t\ttex_idxs ( 1 1 ) 0 1 0 0 1",
      "\t\t)",
      "\t)",
      "\tlod_controls ( 1",
      "\t\tlod_control (",
      "\t\t\tdistance_levels_header ( 0 )",
      "\t\t\tdistance_levels ( 1",
      "\t\t\t\tdistance_level (",
      "\t\t\t\t\tsub_objects ( 1",
      "\t\t\t\t\t\tsub_object (",
      "\t\t\t\t\t\t\tvertex_sets ( 2",
      "\t\t\t\t\t\t\t\tvertex_set ( 0 0 3 )",
      "\t\t\t\t\t\t\t\tvertex_set ( 1 3 3 )",
      "\t\t\t\t\t\t\t)",
      "\t\t\t\t\t\t\tprimitives ( 4",
      "\t\t\t\t\t\t\t\tprim_state_idx ( 0 )",
      "\t\t\t\t\t\t\t\tindexed_trilist (",
      "\t\t\t\t\t\t\t\t\tvertex_idxs ( 6 0 1 2 0 2 1 )",
      "\t\t\t\t\t\t\t\t\tnormal_idxs ( 2 0 3 0 3 )",
      "\t\t\t\t\t\t\t\t\tflags ( 2 00000000 00000000 )",
      "\t\t\t\t\t\t\t\t)",
      "\t\t\t\t\t\t\t\tprim_state_idx ( 1 )",
      "\t\t\t\t\t\t\t\tindexed_trilist (",
      "\t\t\t\t\t\t\t\t\tvertex_idxs ( 3 3 4 5 )",
      "\t\t\t\t\t\t\t\t\tnormal_idxs ( 1 0 3 )",
      "\t\t\t\t\t\t\t\t\tflags ( 1 00000000 )",
      "\t\t\t\t\t\t\t\t)",
      "\t\t\t\t\t\t\t)",
      "\t\t\t\t\t\t)",
      "\t\t\t\t\t)",
      "\t\t\t\t)",
      "\t\t\t)",
      "\t\t)",
      "\t)",
      "\tanimations ( 1",
      "\t\tanimation ( 2 30",
      "\t\t\tanim_nodes ( 2",
      "\t\t\t\tanim_node MAIN (",
      "\t\t\t\t\tcontrollers ( 0 )",
      "\t\t\t\t)",
      "\t\t\t\tanim_node WHEEL1 (",
      "\t\t\t\t\tcontrollers ( 1",
      "\t\t\t\t\t\ttcb_rot ( 0 )",
      "\t\t\t\t\t)",
      "\t\t\t\t)",
      "\t\t\t)",
      "\t\t)",
      "\t)",
      ")",
  };
}

Lines QuotedNamesShape() {
  Lines lines = ExampleShape();
  lines = WithLine(lines, "matrix MAIN", "\t\tmatrix \"WHEEL A\" ( 1 0 0 0 1 0 0 0 1 0 0 0 )");
  lines = WithLine(lines, "matrix WHEEL1", "\t\tmatrix \"WHEEL B\" ( 1 0 0 0 1 0 0 0 1 0 0 0 )");
  lines = WithLine(lines, "image ( Body.ACE )", "\t\timage ( \"..\\textures\\Body A.ACE\" )");
  lines = WithLine(lines, "prim_state Body", "\t\tprim_state \"Body A\" ( 00000000 0");
  lines = WithLine(lines, "prim_state Wheel", "\t\tprim_state \"Body B\" ( 00000000 0");
  const int nodes = LineWith(lines, "anim_node MAIN");
  lines.erase(lines.begin() + nodes, lines.end());
  for (const char* node : {"WHEEL A", "WHEEL B"}) {
    lines.push_back(std::string("\t\t\t\tanim_node \"") + node + "\" (");
    for (const char* l :
         {"\t\t\t\t\tcontrollers ( 1", "\t\t\t\t\t\ttcb_rot ( 2", "\t\t\t\t\t\t\ttcb_key ( 0 0 0 0 1 0 0 0 0 0 )",
          "\t\t\t\t\t\t\ttcb_key ( 1 0 1 0 0 0 0 0 0 0 )", "\t\t\t\t\t\t)", "\t\t\t\t\t)", "\t\t\t\t)"})
      lines.push_back(l);
  }
  for (const char* l : {"\t\t\t)", "\t\t)", "\t)", ")"}) lines.push_back(l);
  return lines;
}

Lines ExportedShape(const ExportedShapeRecipe& o) {
  Lines L;
  const int states = static_cast<int>(o.stateMatrix.size());
  const int elements = static_cast<int>(o.elementState.size());
  int vertexTotal = 0;
  for (int v : o.setVertices) vertexTotal += v;

  // Primitives in element order; the element without a primitive is left
  // out, the doubled one is written twice.
  std::vector<int> primitiveElements;
  for (int e = 0; e < elements; ++e) {
    if (e == o.elementWithoutPrimitive) continue;
    primitiveElements.push_back(e);
    if (e == o.elementWithTwoPrimitives) primitiveElements.push_back(e);
  }
  auto indicesOf = [&](int e) {
    auto it = o.explicitIndices.find(e);
    if (it != o.explicitIndices.end()) return it->second;
    std::vector<int> idx;
    int set = o.elementState[e];
    int start = SetStart(o.setVertices, set), count = o.setVertices[set];
    for (int k = 0; k < 3 * o.elementFaces[e]; ++k) idx.push_back(start + (k + e) % count);
    return idx;
  };
  auto listsOf = [&](int e) {
    auto it = o.elementLists.find(e);
    return it == o.elementLists.end() ? 1 : it->second;
  };
  // prim_state_idx entries and triangle lists, per matrix and in all.
  std::vector<int> matrixPrims(o.matrices, 0), matrixLists(o.matrices, 0), matrixFaces(o.matrices, 0);
  int faces = 0, lists = 0;
  for (int e : primitiveElements) {
    int f = static_cast<int>(indicesOf(e).size()) / 3;
    faces += f;
    lists += listsOf(e);
    matrixPrims[o.stateMatrix[o.elementState[e]]] += 1;
    matrixLists[o.stateMatrix[o.elementState[e]]] += listsOf(e);
    matrixFaces[o.stateMatrix[o.elementState[e]]] += f;
  }
  const int prims = static_cast<int>(primitiveElements.size());

  L.push_back("SIMISA@@@@@@@@@@JINX0s1t______");
  L.push_back("");
  L.push_back("shape (");
  L.push_back("\tshape_header ( 00000000 00000000 )");
  L.push_back("\tvolumes ( " + std::to_string(o.volumes));
  for (int v = 0; v < o.volumes; ++v) {
    L.push_back("\t\tvol_sphere (");
    L.push_back("\t\t\tvector ( 0 0.0025 " + std::to_string(5 + v) + ".2097 ) 7.6789");
    L.push_back("\t\t)");
  }
  L.push_back("\t)");
  L.push_back("\tshader_names ( 1");
  L.push_back("\t\tnamed_shader ( TexDiff )");
  L.push_back("\t)");
  L.push_back("\tpoints ( " + std::to_string(vertexTotal));
  for (int p = 0; p < vertexTotal; ++p) L.push_back("\t\tpoint ( " + std::to_string(p) + " 0.5 -1.25 )");
  L.push_back("\t)");
  L.push_back("\tuv_points ( 1");
  L.push_back("\t\tuv_point ( 0 0 )");
  L.push_back("\t)");
  L.push_back("\tnormals ( 1");
  L.push_back("\t\tvector ( 0 1 0 )");
  L.push_back("\t)");
  if (o.sortVectorsOnOneLine) {
    L.push_back("\tsort_vectors ( 0 )");
  } else {
    L.push_back("\tsort_vectors ( 1");
    L.push_back("\t\tvector ( 0 0 1 )");
    L.push_back("\t)");
  }
  L.push_back("\tcolours ( 0 )");
  L.push_back("\tmatrices ( " + std::to_string(o.matrices));
  for (int m = 0; m < o.matrices; ++m)
    L.push_back("\t\tmatrix " + o.namePrefix + "M" + std::to_string(m) + " ( 1 0 0 0 1 0 0 0 1 0 0 0 )");
  L.push_back("\t)");
  L.push_back("\timages ( 1");
  L.push_back("\t\timage ( Body.ace )");
  L.push_back("\t)");
  L.push_back("\ttextures ( 1");
  L.push_back("\t\ttexture ( 0 0 0 ff000000 )");
  L.push_back("\t)");
  L.push_back("\tlight_materials ( 0 )");
  L.push_back("\tvtx_states ( " + std::to_string(states));
  for (int s = 0; s < states; ++s)
    L.push_back("\t\tvtx_state ( 00000000 " + std::to_string(o.stateMatrix[s]) + " -5 0 00000002 )");
  L.push_back("\t)");
  L.push_back("\tprim_states ( " + std::to_string(elements));
  for (int e = 0; e < elements; ++e) {
    L.push_back("\t\tprim_state " + o.namePrefix + "E" + std::to_string(e) + " ( 00000000 0");
    L.push_back("\t\t\ttex_idxs ( 1 0 ) 0 " + std::to_string(o.elementState[e]) + " 0 0 1");
    L.push_back("\t\t)");
  }
  L.push_back("\t)");
  L.push_back("\tlod_controls ( 1");
  L.push_back("\t\tlod_control (");
  L.push_back("\t\t\tdistance_levels_header ( 0 )");
  L.push_back("\t\t\tdistance_levels ( 1");
  L.push_back("\t\t\t\tdistance_level (");
  L.push_back("\t\t\t\t\tdistance_level_header (");
  L.push_back("\t\t\t\t\t\tdlevel_selection ( 400 )");
  L.push_back("\t\t\t\t\t\thierarchy ( " + std::to_string(o.matrices) + std::string(" -1") + [&] {
    std::string h;
    for (int m = 1; m < o.matrices; ++m) h += " 0";
    return h;
  }() + " )");
  L.push_back("\t\t\t\t\t)");
  L.push_back("\t\t\t\t\tsub_objects ( 1");
  L.push_back("\t\t\t\t\t\tsub_object (");
  L.push_back(Tabs(7) + "sub_object_header ( " + o.subObjectFlags + " -1 -1 000001d2 000001c4");
  L.push_back(Tabs(8) + "geometry_info ( " + std::to_string(faces) + " " + std::to_string(prims) + " 0 " +
              std::to_string(3 * faces) + " 0 0 " + std::to_string(lists) + " 0 0 0");
  int used = 0;
  for (int m = 0; m < o.matrices; ++m) used += matrixPrims[m] > 0;
  L.push_back(Tabs(9) + "geometry_nodes ( " + std::to_string(used));
  std::string map = Tabs(9) + "geometry_node_map ( " + std::to_string(o.matrices);
  int node = 0;
  for (int m = 0; m < o.matrices; ++m) {
    if (matrixPrims[m] == 0) {
      map += " -1";
      continue;
    }
    map += " " + std::to_string(node++);
    L.push_back(Tabs(10) + "geometry_node ( " + std::to_string(matrixPrims[m]) + " 0 0 0 0");
    L.push_back(Tabs(11) + "cullable_prims ( " + std::to_string(matrixLists[m]) + " " + std::to_string(matrixFaces[m]) +
                " " + std::to_string(3 * matrixFaces[m]) + " )");
    L.push_back(Tabs(10) + ")");
  }
  L.push_back(Tabs(9) + ")");
  L.push_back(map + " )");
  L.push_back(Tabs(8) + ")");
  L.push_back(Tabs(8) + "subobject_shaders ( 1 0 )");
  L.push_back(Tabs(8) + "subobject_light_cfgs ( 1 0 ) 0");
  L.push_back(Tabs(7) + ")");
  L.push_back(Tabs(7) + "vertices ( " + std::to_string(vertexTotal));
  for (int v = 0; v < vertexTotal; ++v) {
    L.push_back(Tabs(8) + "vertex ( 00000000 " + std::to_string(v) + " 0 ff969696 ff808080");
    L.push_back(Tabs(9) + "vertex_uvs ( 1 0 )");
    L.push_back(Tabs(8) + ")");
  }
  L.push_back(Tabs(7) + ")");
  L.push_back(Tabs(7) + "vertex_sets ( " + std::to_string(states));
  for (int s = 0; s < states; ++s)
    L.push_back(Tabs(8) + "vertex_set ( " + std::to_string(s) + " " + std::to_string(SetStart(o.setVertices, s)) + " " +
                std::to_string(o.setVertices[s]) + " )");
  L.push_back(Tabs(7) + ")");
  L.push_back(Tabs(7) + "primitives ( " + std::to_string(prims + lists));
  for (int e : primitiveElements) {
    const std::vector<int> all = indicesOf(e);
    const int allFaces = static_cast<int>(all.size()) / 3, n = listsOf(e);
    L.push_back(Tabs(8) + "prim_state_idx ( " + std::to_string(e) + " )");
    for (int list = 0, from = 0; list < n; ++list) {
      const int f = allFaces / n + (list < allFaces % n ? 1 : 0);
      const std::vector<int> idx(all.begin() + 3 * from, all.begin() + 3 * (from + f));
      from += f;
      L.push_back(Tabs(8) + "indexed_trilist (");
      std::string vi = Tabs(9) + "vertex_idxs ( " + std::to_string(idx.size());
      for (int i : idx) vi += " " + std::to_string(i);
      Wrapped(L, vi + " )");
      std::string ni = Tabs(9) + "normal_idxs ( " + std::to_string(f);
      for (int k = 0; k < f; ++k) ni += " 0 3";
      Wrapped(L, ni + " )");
      std::string fl = Tabs(9) + "flags ( " + std::to_string(f);
      for (int k = 0; k < f; ++k) fl += " 00000000";
      Wrapped(L, fl + " )");
      L.push_back(Tabs(8) + ")");
    }
  }
  L.push_back(Tabs(7) + ")");
  L.push_back(Tabs(6) + ")");
  L.push_back(Tabs(5) + ")");
  L.push_back(Tabs(4) + ")");
  L.push_back(Tabs(3) + ")");
  L.push_back(Tabs(2) + ")");
  L.push_back("\t)");
  L.push_back(")");
  return L;
}

ExportedShapeRecipe LargeShapeRecipe(int lines, const std::string& namePrefix) {
  // Per set: 2400 points, 3 lines per vertex, and about 130 lines of
  // indices, normals and flags for its element.
  constexpr int kSetVertices = 2400, kLinesPerSet = 4 * kSetVertices + 130;
  const int sets = std::max(1, lines / kLinesPerSet);
  ExportedShapeRecipe o;
  o.matrices = 10;
  o.namePrefix = namePrefix;
  o.stateMatrix.clear();
  o.setVertices.clear();
  o.elementState.clear();
  o.elementFaces.clear();
  for (int s = 0; s < sets; ++s) {
    o.stateMatrix.push_back(s % o.matrices);
    o.setVertices.push_back(kSetVertices);
    o.elementState.push_back(s);
    o.elementFaces.push_back(800);
  }
  return o;
}

Lines LargeExportedShape(int lines, const std::string& namePrefix) {
  const ExportedShapeRecipe o = LargeShapeRecipe(lines, namePrefix);
  Lines shape = ExportedShape(o);
  int points = 0;
  for (int v : o.setVertices) points += v;
  const int distinct = std::max(1, points * 2 / 3);
  for (auto& line : shape) {
    const auto at = line.find("\tpoint ( ");
    if (at == std::string::npos) continue;
    const int p = std::atoi(line.c_str() + at + 9);
    line = line.substr(0, at) + "\tpoint ( " + std::to_string(p % distinct) + " 0.5 -1.25 )";
  }
  return shape;
}

Lines GeometryShape(const GeometryShapeRecipe& recipe) {
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

int LineWith(const Lines& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
  return -1;
}

Lines WithLine(Lines lines, const std::string& text, const std::string& replacement) {
  int i = LineWith(lines, text);
  if (i >= 0) lines[i] = replacement;
  return lines;
}

std::vector<std::string> TokensAfterParen(const std::string& line) {
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
