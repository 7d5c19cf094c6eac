// A generator of synthetic shapes in the form the modelling tool exports (one
// LOD, one sub-object, every vertex three lines, one primitive per element),
// for the generation tests and the benchmark. Header-only so that the
// benchmark can use it without the test support library.
//
// Element e (prim_state e, element row e + 1) draws with vtx_state
// ElementState[e]; vtx_state s draws with matrix StateMatrix[s] and owns
// vertex set s. Lines longer than 210 characters are wrapped as opening a
// file wraps them.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace lodsmith::test {

struct SyntheticShapeOptions {
  int matrices = 2;
  std::vector<int> stateMatrix = {0, 1};      // per vtx_state
  std::vector<int> setVertices = {6, 6};      // vertices per vertex set (= per vtx_state)
  std::vector<int> elementState = {0, 1, 0};  // per element
  std::vector<int> elementFaces = {2, 2, 1};  // per element
  std::map<int, std::vector<int>> explicitIndices;  // element -> its vertex indices
  int volumes = 1;
  bool sortVectorsOnOneLine = true;  // "sort_vectors ( 0 )"
  int elementWithoutPrimitive = -1;  // an element no primitive uses
  int elementWithTwoPrimitives = -1;
  std::string subObjectFlags = "00000400";
};

struct SyntheticShape {
  std::vector<std::string> lines;
  int setStart(int set) const {
    int s = 0;
    for (int i = 0; i < set; ++i) s += setVertices[i];
    return s;
  }
  std::vector<int> setVertices;
};

namespace synthetic_detail {

inline void Wrapped(std::vector<std::string>& out, std::string line) {
  while (line.size() > 210) {
    std::size_t cut = line.rfind(' ', 209);
    if (cut == std::string::npos) break;
    out.push_back(line.substr(0, cut + 1));
    line.erase(0, cut + 1);
  }
  out.push_back(line);
}

inline std::string Tabs(int n) { return std::string(static_cast<std::size_t>(n), '\t'); }

}  // namespace synthetic_detail

inline SyntheticShape MakeSyntheticShape(const SyntheticShapeOptions& o) {
  using synthetic_detail::Tabs;
  using synthetic_detail::Wrapped;
  SyntheticShape shape;
  shape.setVertices = o.setVertices;
  auto& L = shape.lines;
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
    int start = shape.setStart(set), count = o.setVertices[set];
    for (int k = 0; k < 3 * o.elementFaces[e]; ++k) idx.push_back(start + (k + e) % count);
    return idx;
  };
  std::vector<int> matrixPrims(o.matrices, 0), matrixFaces(o.matrices, 0);
  int faces = 0;
  for (int e : primitiveElements) {
    int f = static_cast<int>(indicesOf(e).size()) / 3;
    faces += f;
    matrixPrims[o.stateMatrix[o.elementState[e]]] += 1;
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
  for (int m = 0; m < o.matrices; ++m) L.push_back("\t\tmatrix M" + std::to_string(m) + " ( 1 0 0 0 1 0 0 0 1 0 0 0 )");
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
    L.push_back("\t\tprim_state E" + std::to_string(e) + " ( 00000000 0");
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
  L.push_back("\t\t\t\t\t\thierarchy ( " + std::to_string(o.matrices) + std::string(" -1") +
              [&] {
                std::string h;
                for (int m = 1; m < o.matrices; ++m) h += " 0";
                return h;
              }() + " )");
  L.push_back("\t\t\t\t\t)");
  L.push_back("\t\t\t\t\tsub_objects ( 1");
  L.push_back("\t\t\t\t\t\tsub_object (");
  L.push_back(Tabs(7) + "sub_object_header ( " + o.subObjectFlags + " -1 -1 000001d2 000001c4");
  L.push_back(Tabs(8) + "geometry_info ( " + std::to_string(faces) + " " + std::to_string(prims) + " 0 " +
              std::to_string(3 * faces) + " 0 0 " + std::to_string(prims) + " 0 0 0");
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
    L.push_back(Tabs(11) + "cullable_prims ( " + std::to_string(matrixPrims[m]) + " " + std::to_string(matrixFaces[m]) +
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
    L.push_back(Tabs(8) + "vertex_set ( " + std::to_string(s) + " " + std::to_string(shape.setStart(s)) + " " +
                std::to_string(o.setVertices[s]) + " )");
  L.push_back(Tabs(7) + ")");
  L.push_back(Tabs(7) + "primitives ( " + std::to_string(2 * prims));
  for (int e : primitiveElements) {
    std::vector<int> idx = indicesOf(e);
    int f = static_cast<int>(idx.size()) / 3;
    L.push_back(Tabs(8) + "prim_state_idx ( " + std::to_string(e) + " )");
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
  L.push_back(Tabs(7) + ")");
  L.push_back(Tabs(6) + ")");
  L.push_back(Tabs(5) + ")");
  L.push_back(Tabs(4) + ")");
  L.push_back(Tabs(3) + ")");
  L.push_back(Tabs(2) + ")");
  L.push_back("\t)");
  L.push_back(")");
  return shape;
}

}  // namespace lodsmith::test
