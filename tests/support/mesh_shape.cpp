#include "mesh_shape.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "document/shape_file.h"

namespace lodsmith::test {

namespace {

std::string Tabs(int n) { return std::string(static_cast<std::size_t>(n), '\t'); }

std::string Num(float v) {
  std::ostringstream s;
  s.imbue(std::locale::classic());
  s << v;
  return s.str();
}

}  // namespace

void AddBox(MeshElement& e, std::array<float, 3> lo, std::array<float, 3> hi) {
  const int base = static_cast<int>(e.points.size());
  for (int k = 0; k < 8; ++k)
    e.points.push_back({(k & 1) ? hi[0] : lo[0], (k & 2) ? hi[1] : lo[1], (k & 4) ? hi[2] : lo[2]});
  static constexpr int kFaces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                       {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (const auto& f : kFaces)
    for (int t : {f[0], f[1], f[2], f[0], f[2], f[3]}) e.triangles.push_back(base + t);
}

void AddGrid(MeshElement& e, int n) {
  const int base = static_cast<int>(e.points.size()), row = n + 1;
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) e.points.push_back({static_cast<float>(i), static_cast<float>(j), 0});
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const int a = base + i + row * j;
      for (int t : {a, a + 1, a + row + 1, a, a + row + 1, a + row}) e.triangles.push_back(t);
    }
}

void AddQuad(MeshElement& e, float x0, float y0, float x1, float y1, float z) {
  const int base = static_cast<int>(e.points.size());
  e.points.push_back({x0, y0, z});
  e.points.push_back({x1, y0, z});
  e.points.push_back({x1, y1, z});
  e.points.push_back({x0, y1, z});
  for (int t : {0, 1, 2, 0, 2, 3}) e.triangles.push_back(base + t);
}

Lines MeshShape(const MeshShapeRecipe& o) {
  const int matrices = static_cast<int>(o.matrices.size());
  const int elements = static_cast<int>(o.elements.size());
  std::vector<int> start, firstTriangle;
  int points = 0, faces = 0;
  for (const auto& e : o.elements) {
    start.push_back(points);
    firstTriangle.push_back(faces);
    points += static_cast<int>(e.points.size());
    faces += static_cast<int>(e.triangles.size()) / 3;
  }
  // The exporter writes the primitives grouped by matrix, in the order of
  // the geometry nodes.
  std::vector<int> order(static_cast<std::size_t>(elements));
  for (int e = 0; e < elements; ++e) order[static_cast<std::size_t>(e)] = e;
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return o.elements[a].matrix < o.elements[b].matrix; });
  std::vector<int> matrixPrims(static_cast<std::size_t>(matrices), 0),
      matrixFaces(static_cast<std::size_t>(matrices), 0);
  for (const auto& e : o.elements) {
    matrixPrims[static_cast<std::size_t>(e.matrix)] += 1;
    matrixFaces[static_cast<std::size_t>(e.matrix)] += static_cast<int>(e.triangles.size()) / 3;
  }
  float radius = 0;
  for (const auto& e : o.elements)
    for (const auto& p : e.points) radius = std::max(radius, std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]));

  Lines L;
  auto add = [&](std::string line) { AppendWrapped(L, std::move(line)); };
  L.push_back("SIMISA@@@@@@@@@@JINX0s1t______");
  L.push_back("");
  add("shape (");
  add("\tshape_header ( 00000000 00000000 )");
  add("\tvolumes ( 1");
  add("\t\tvol_sphere (");
  add("\t\t\tvector ( 0 0 0 ) " + Num(radius));
  add("\t\t)");
  add("\t)");
  add("\tshader_names ( 1");
  add("\t\tnamed_shader ( TexDiff )");
  add("\t)");
  add("\ttexture_filter_names ( 1");
  add("\t\tnamed_filter_mode ( MipLinear )");
  add("\t)");
  add("\tpoints ( " + std::to_string(points));
  for (const auto& e : o.elements)
    for (const auto& p : e.points) add("\t\tpoint ( " + Num(p[0]) + " " + Num(p[1]) + " " + Num(p[2]) + " )");
  add("\t)");
  add("\tuv_points ( 1");
  add("\t\tuv_point ( 0 0 )");
  add("\t)");
  // The normal of each triangle, element after element.
  std::vector<std::string> normals;
  std::vector<int> triangleNormal;
  if (o.faceNormals == 0) normals.push_back("0 1 0");
  for (const auto& e : o.elements)
    for (std::size_t k = 0; k + 2 < e.triangles.size(); k += 3) {
      if (o.faceNormals == 0) {
        triangleNormal.push_back(0);
        continue;
      }
      const auto& a = e.points[static_cast<std::size_t>(e.triangles[k])];
      const auto& b = e.points[static_cast<std::size_t>(e.triangles[k + 1])];
      const auto& c = e.points[static_cast<std::size_t>(e.triangles[k + 2])];
      const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
      float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
      const float l = static_cast<float>(o.faceNormals) / std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      const std::string text = Num(n[0] * l + 0.0f) + " " + Num(n[1] * l + 0.0f) + " " + Num(n[2] * l + 0.0f);
      auto at = std::find(normals.begin(), normals.end(), text);
      triangleNormal.push_back(static_cast<int>(at - normals.begin()));
      if (at == normals.end()) normals.push_back(text);
    }
  add("\tnormals ( " + std::to_string(normals.size()));
  for (const auto& n : normals) add("\t\tvector ( " + n + " )");
  add("\t)");
  add("\tsort_vectors ( 0 )");
  add("\tcolours ( 0 )");
  add("\tmatrices ( " + std::to_string(matrices));
  for (const auto& m : o.matrices) {
    std::string line = "\t\tmatrix " + m.name + " (";
    for (float v : m.values) line += " " + Num(v);
    add(line + " )");
  }
  add("\t)");
  add("\timages ( " + std::to_string(elements));
  for (const auto& e : o.elements) add("\t\timage ( " + e.name + ".ace )");
  add("\t)");
  add("\ttextures ( " + std::to_string(elements));
  for (int e = 0; e < elements; ++e) add("\t\ttexture ( " + std::to_string(e) + " 0 0 ff000000 )");
  add("\t)");
  add("\tlight_materials ( 0 )");
  add("\tlight_model_cfgs ( 1");
  add("\t\tlight_model_cfg ( 00000000");
  add("\t\t\tuv_ops ( 1");
  add("\t\t\t\tuv_op_copy ( 1 0 )");
  add("\t\t\t)");
  add("\t\t)");
  add("\t)");
  add("\tvtx_states ( " + std::to_string(elements));
  for (const auto& e : o.elements) add("\t\tvtx_state ( 00000000 " + std::to_string(e.matrix) + " -5 0 00000002 )");
  add("\t)");
  add("\tprim_states ( " + std::to_string(elements));
  for (int e = 0; e < elements; ++e) {
    add("\t\tprim_state " + o.elements[static_cast<std::size_t>(e)].name + " ( 00000000 0");
    add("\t\t\ttex_idxs ( 1 " + std::to_string(e) + " ) 0 " + std::to_string(e) + " 0 0 1");
    add("\t\t)");
  }
  add("\t)");
  add("\tlod_controls ( 1");
  add("\t\tlod_control (");
  add("\t\t\tdistance_levels_header ( 0 )");
  add("\t\t\tdistance_levels ( 1");
  add("\t\t\t\tdistance_level (");
  add("\t\t\t\t\tdistance_level_header (");
  add("\t\t\t\t\t\tdlevel_selection ( 2000 )");
  std::string h = "\t\t\t\t\t\thierarchy ( " + std::to_string(matrices);
  for (const auto& m : o.matrices) h += " " + std::to_string(m.parent);
  add(h + " )");
  add("\t\t\t\t\t)");
  add("\t\t\t\t\tsub_objects ( 1");
  add("\t\t\t\t\t\tsub_object (");
  add(Tabs(7) + "sub_object_header ( 00000400 -1 -1 000001d2 000001c4");
  add(Tabs(8) + "geometry_info ( " + std::to_string(faces) + " " + std::to_string(elements) + " 0 " +
      std::to_string(3 * faces) + " 0 0 " + std::to_string(elements) + " 0 0 0");
  int used = 0;
  for (int n : matrixPrims) used += n > 0;
  add(Tabs(9) + "geometry_nodes ( " + std::to_string(used));
  std::string map = Tabs(9) + "geometry_node_map ( " + std::to_string(matrices);
  int node = 0;
  for (int m = 0; m < matrices; ++m) {
    if (matrixPrims[static_cast<std::size_t>(m)] == 0) {
      map += " -1";
      continue;
    }
    map += " " + std::to_string(node++);
    add(Tabs(10) + "geometry_node ( " + std::to_string(matrixPrims[static_cast<std::size_t>(m)]) + " 0 0 0 0");
    add(Tabs(11) + "cullable_prims ( " + std::to_string(matrixPrims[static_cast<std::size_t>(m)]) + " " +
        std::to_string(matrixFaces[static_cast<std::size_t>(m)]) + " " +
        std::to_string(3 * matrixFaces[static_cast<std::size_t>(m)]) + " )");
    add(Tabs(10) + ")");
  }
  add(Tabs(9) + ")");
  add(map + " )");
  add(Tabs(8) + ")");
  add(Tabs(8) + "subobject_shaders ( 1 0 )");
  add(Tabs(8) + "subobject_light_cfgs ( 1 0 ) 0");
  add(Tabs(7) + ")");
  add(Tabs(7) + "vertices ( " + std::to_string(points));
  for (int v = 0; v < points; ++v) {
    add(Tabs(8) + "vertex ( 00000000 " + std::to_string(v) + " 0 ff969696 ff808080");
    add(Tabs(9) + "vertex_uvs ( 1 0 )");
    add(Tabs(8) + ")");
  }
  add(Tabs(7) + ")");
  add(Tabs(7) + "vertex_sets ( " + std::to_string(elements));
  for (int e = 0; e < elements; ++e)
    add(Tabs(8) + "vertex_set ( " + std::to_string(e) + " " + std::to_string(start[static_cast<std::size_t>(e)]) + " " +
        std::to_string(o.elements[static_cast<std::size_t>(e)].points.size()) + " )");
  add(Tabs(7) + ")");
  add(Tabs(7) + "primitives ( " + std::to_string(2 * elements));
  for (int e : order) {
    const auto& el = o.elements[static_cast<std::size_t>(e)];
    const int f = static_cast<int>(el.triangles.size()) / 3;
    add(Tabs(8) + "prim_state_idx ( " + std::to_string(e) + " )");
    add(Tabs(8) + "indexed_trilist (");
    std::string vi = Tabs(9) + "vertex_idxs ( " + std::to_string(el.triangles.size());
    for (int i : el.triangles) vi += " " + std::to_string(start[static_cast<std::size_t>(e)] + i);
    add(vi + " )");
    std::string ni = Tabs(9) + "normal_idxs ( " + std::to_string(f);
    for (int k = 0; k < f; ++k)
      ni += " " +
            std::to_string(triangleNormal[static_cast<std::size_t>(firstTriangle[static_cast<std::size_t>(e)] + k)]) +
            " 3";
    add(ni + " )");
    std::string fl = Tabs(9) + "flags ( " + std::to_string(f);
    for (int k = 0; k < f; ++k) fl += " 00000000";
    add(fl + " )");
    add(Tabs(8) + ")");
  }
  add(Tabs(7) + ")");
  for (int t = 6; t >= 1; --t) add(Tabs(t) + ")");
  add(")");
  return L;
}

MeshShapeRecipe SignalSample() {
  MeshShapeRecipe r;
  // The head turns about the mast: a matrix of its own, a child of MAIN.
  r.matrices = {MeshMatrix{"MAIN"}, MeshMatrix{"HEAD", 0, {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 4.2f, -0.12f}}};
  auto element = [&](const char* name, int matrix) -> MeshElement& {
    r.elements.push_back(MeshElement{name, matrix, {}, {}});
    return r.elements.back();
  };
  {
    MeshElement& e = element("Foundation", 0);
    AddBox(e, {-0.45f, 0, -0.45f}, {0.45f, 0.35f, 0.45f});
  }
  {
    MeshElement& e = element("Mast", 0);
    // An octagonal prism: what the far LOD keeps of the mast.
    constexpr int kSides = 8;
    constexpr float kRadius = 0.09f, kTop = 5.6f, kBottom = 0.35f;
    for (int s = 0; s < kSides; ++s) {
      const float a = 6.2831853f * (s + 0.5f) / kSides;
      e.points.push_back({kRadius * std::cos(a), kBottom, kRadius * std::sin(a)});
      e.points.push_back({kRadius * std::cos(a), kTop, kRadius * std::sin(a)});
    }
    for (int s = 0; s < kSides; ++s) {
      const int a = 2 * s, b = 2 * ((s + 1) % kSides);
      for (int t : {a, b, b + 1, a, b + 1, a + 1}) e.triangles.push_back(t);
    }
    AddBox(e, {-0.14f, kTop, -0.14f}, {0.14f, kTop + 0.12f, 0.14f});  // the cap
  }
  {
    MeshElement& e = element("Head", 1);
    AddBox(e, {-0.38f, -0.9f, -0.1f}, {0.38f, 0.9f, 0.1f});
  }
  {
    MeshElement& e = element("Lamps", 1);
    // Three lamps on the front face, each an octagon of its own.
    for (float y : {0.5f, 0.0f, -0.5f}) {
      const int c = static_cast<int>(e.points.size());
      e.points.push_back({0, y, -0.13f});
      for (int s = 0; s < 8; ++s) {
        const float a = 6.2831853f * s / 8;
        e.points.push_back({0.17f * std::cos(a), y + 0.17f * std::sin(a), -0.13f});
      }
      for (int s = 0; s < 8; ++s) {
        for (int t : {c, c + 1 + s, c + 1 + (s + 1) % 8}) e.triangles.push_back(t);
      }
    }
  }
  {
    MeshElement& e = element("Hoods", 1);
    for (float y : {0.5f, 0.0f, -0.5f}) AddBox(e, {-0.21f, y + 0.18f, -0.34f}, {0.21f, y + 0.22f, -0.1f});
  }
  {
    MeshElement& e = element("Ladder", 0);
    AddBox(e, {-0.22f, 0.35f, 0.14f}, {-0.18f, 4.0f, 0.18f});
    AddBox(e, {0.18f, 0.35f, 0.14f}, {0.22f, 4.0f, 0.18f});
    for (float y = 0.7f; y < 4.0f; y += 0.3f) AddBox(e, {-0.18f, y, 0.15f}, {0.18f, y + 0.03f, 0.17f});
  }
  {
    MeshElement& e = element("Platform", 0);
    AddBox(e, {-0.5f, 3.95f, 0.12f}, {0.5f, 4.0f, 0.7f});
    AddBox(e, {-0.5f, 4.0f, 0.66f}, {0.5f, 4.5f, 0.7f});
  }
  return r;
}

std::vector<std::vector<std::string>> SignalSampleAssignment() {
  // LOD 1 (near) has everything, LOD 2 drops the ladder and the platform,
  // LOD 3 keeps mast, foot, head and lamps, the lamps in a sub-object of
  // their own (a sorted one, for their transparency).
  return {{"1", "1", "1"},   {"1", "1", "1"},     {"1", "1", "1"},    {"2", "2", "2"},
          {"1", "1", "999"}, {"1", "999", "999"}, {"1", "999", "999"}};
}

MeshShapeRecipe TankSample() {
  MeshShapeRecipe r;
  MeshElement e{"Tank", 0, {}, {}};
  constexpr int kSides = 48;
  constexpr float kPi2 = 6.2831853f;
  // A ring of the barrel or a dome: kSides points about the x axis.
  auto ring = [&](float x, float radius, float height) {
    const int first = static_cast<int>(e.points.size());
    for (int s = 0; s < kSides; ++s) {
      const float a = kPi2 * s / kSides;
      e.points.push_back({x, height + radius * std::cos(a), radius * std::sin(a)});
    }
    return first;
  };
  // Quads between two rings; `flip` turns them for the other side.
  auto band = [&](int a, int b, bool flip) {
    for (int s = 0; s < kSides; ++s) {
      const int n = (s + 1) % kSides;
      if (flip) {
        for (int t : {a + s, b + n, b + s, a + s, a + n, b + n}) e.triangles.push_back(t);
      } else {
        for (int t : {a + s, b + s, b + n, a + s, b + n, a + n}) e.triangles.push_back(t);
      }
    }
  };
  constexpr float kRadius = 1.4f, kAxis = 2.2f, kHalf = 5.0f;
  // The barrel, ring by ring, then a dome at each end closed by its tip.
  std::vector<int> rings;
  for (int i = 0; i <= 20; ++i) rings.push_back(ring(-kHalf + 2 * kHalf * i / 20, kRadius, kAxis));
  for (std::size_t i = 0; i + 1 < rings.size(); ++i) band(rings[i], rings[i + 1], false);
  for (int side : {-1, 1}) {
    int previous = side < 0 ? rings.front() : rings.back();
    for (int k = 1; k <= 6; ++k) {
      const float t = static_cast<float>(k) / 7 * 1.5707963f;
      const int next = ring(side * (kHalf + 0.6f * std::sin(t)), kRadius * std::cos(t), kAxis);
      band(previous, next, side < 0);
      previous = next;
    }
    const int tip = static_cast<int>(e.points.size());
    e.points.push_back({side * (kHalf + 0.6f), kAxis, 0});
    for (int s = 0; s < kSides; ++s) {
      const int n = (s + 1) % kSides;
      if (side < 0) {
        for (int t : {previous + s, tip, previous + n}) e.triangles.push_back(t);
      } else {
        for (int t : {previous + s, previous + n, tip}) e.triangles.push_back(t);
      }
    }
  }
  // The dome on top and the frame with its buffers.
  AddBox(e, {-0.5f, kAxis + kRadius - 0.1f, -0.5f}, {0.5f, kAxis + kRadius + 0.35f, 0.5f});
  AddBox(e, {-6.2f, 0.7f, -1.2f}, {6.2f, 0.9f, 1.2f});
  for (float x : {-6.6f, 6.2f})
    for (float z : {-0.9f, 0.7f}) AddBox(e, {x, 0.95f, z}, {x + 0.4f, 1.15f, z + 0.2f});
  for (float x : {-4.5f, 3.5f}) AddBox(e, {x, 0.2f, -0.8f}, {x + 1.0f, 0.7f, 0.8f});
  r.elements.push_back(e);
  r.faceNormals = 1;
  return r;
}

}  // namespace lodsmith::test
