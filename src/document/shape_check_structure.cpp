// The structure step of the structural check: the kept blocks of the shape
// against each other (tables, vertex sets, primitives, geometry nodes).
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "document/shape_check_parts.h"

namespace lodsmith::shape_check {

namespace {

// The sizes of the shape's tables that indices point into.
struct Tables {
  int64_t matrices = 0, volumes = 0, sortVectors = 0;
  std::vector<int64_t> vtxStateMatrix;     // per vtx_state
  std::vector<int64_t> primStateVtxState;  // per prim_state
};

// The triangle lists drawn with a matrix, their faces, and the
// prim_state_idx entries that open them (one per entry, however many
// lists follow it).
struct MatrixUse {
  int64_t primitives = 0, faces = 0, states = 0;
};

// The vertex range [first, end) of each vtx_state's vertex_set.
using SetRanges = std::map<int64_t, std::pair<int64_t, int64_t>>;

// The primitives of a sub-object, all together and per matrix.
struct PrimitiveUse {
  MatrixUse all;
  std::map<int64_t, MatrixUse> perMatrix;
};

// ---- Reading the tree ---------------------------------------------------------------

std::optional<std::string_view> ValueText(const Node& n, std::size_t k) {
  if (k == 0 && n.valueCount > 0) return n.first;
  if (k < n.values.size()) return n.values[k];
  return std::nullopt;
}
int64_t Value(const Node& n, std::size_t k, int64_t fallback = kNoValue) {
  auto text = ValueText(n, k);
  if (!text) return fallback;
  auto v = ParseInt32(*text);
  return v ? *v : fallback;
}
int64_t Value(const Node* n, std::size_t k, int64_t fallback = kNoValue) {
  return n ? Value(*n, k, fallback) : fallback;
}

// The second value of geometry_info and the first of a geometry_node count
// the prim_state_idx entries; with one list under each entry (what most
// exporters write) that is the number of lists, which is accepted too.
bool CountsEntries(int64_t value, const MatrixUse& use) { return value == use.primitives || value == use.states; }

class StructureChecker {
public:
  StructureChecker(const BlockTree& tree, ProblemLog& log) : tree_(tree.nodes), log_(log) {}

  void Check(const Node& shape) {
    const Tables t = ReadTables(shape);
    CheckVtxStates(shape, t);
    CheckLodControls(shape, t);
  }

private:
  const Node* Child(const Node& n, std::string_view name) const {
    for (int k : n.kids)
      if (tree_[k].name == name) return &tree_[k];
    return nullptr;
  }
  std::vector<const Node*> Children(const Node& n, std::string_view name) const {
    std::vector<const Node*> r;
    for (int k : n.kids)
      if (tree_[k].name == name) r.push_back(&tree_[k]);
    return r;
  }

  void Problem(ShapeFault fault, std::string_view block, int line, Message message) {
    log_.Problem(fault, block, line, std::move(message));
  }

  // ---- The shape block ----------------------------------------------------------------

  Tables ReadTables(const Node& shape) const {
    Tables t;
    if (const Node* m = Child(shape, "matrices")) t.matrices = m->entries;
    if (const Node* v = Child(shape, "volumes")) t.volumes = v->entries;
    if (const Node* s = Child(shape, "sort_vectors")) t.sortVectors = s->entries;
    if (const Node* vs = Child(shape, "vtx_states"))
      for (const Node* v : Children(*vs, "vtx_state")) t.vtxStateMatrix.push_back(Value(*v, 1));
    if (const Node* ps = Child(shape, "prim_states"))
      for (const Node* p : Children(*ps, "prim_state")) t.primStateVtxState.push_back(Value(*p, 3));
    return t;
  }

  // Each vtx_state names a matrix that exists.
  void CheckVtxStates(const Node& shape, const Tables& t) {
    const Node* vs = Child(shape, "vtx_states");
    if (!vs) return;
    const auto states = Children(*vs, "vtx_state");
    for (std::size_t v = 0; v < states.size(); ++v)
      if (t.vtxStateMatrix[v] < 0 || t.vtxStateMatrix[v] >= t.matrices)
        Problem(ShapeFault::MatrixIndex, "vtx_state", states[v]->line,
                Message(DocumentMsg::CheckMatrixIndex, v, LineNo(states[v]->line), t.vtxStateMatrix[v]));
  }

  // lod_controls down to the sub-objects of each distance level.
  void CheckLodControls(const Node& shape, const Tables& t) {
    const Node* lc = Child(shape, "lod_controls");
    if (!lc) {
      Problem(ShapeFault::MissingBlock, "lod_controls", shape.line, Message(DocumentMsg::CheckLodControlsMissing));
      return;
    }
    for (const Node* control : Children(*lc, "lod_control")) {
      const Node* levels = Child(*control, "distance_levels");
      if (!levels) {
        Problem(ShapeFault::MissingBlock, "distance_levels", control->line,
                At(DocumentMsg::CheckBlockMissing, *control, "distance_levels"));
        continue;
      }
      for (const Node* level : Children(*levels, "distance_level")) CheckDistanceLevel(*level, t);
    }
  }

  void CheckDistanceLevel(const Node& level, const Tables& t) {
    const Node* lh = Child(level, "distance_level_header");
    const Node* sel = lh ? Child(*lh, "dlevel_selection") : nullptr;
    if (!sel || sel->valueCount != 1)
      Problem(ShapeFault::DistanceSelection, "distance_level", level.line,
              At(DocumentMsg::CheckDistanceSelection, level));
    const Node* subs = Child(level, "sub_objects");
    if (!subs || subs->blocks == 0) {
      Problem(ShapeFault::NoSubObjects, "distance_level", level.line, At(DocumentMsg::CheckNoSubObjects, level));
      return;
    }
    for (const Node* so : Children(*subs, "sub_object")) CheckSubObject(*so, t);
  }

  // ---- A sub-object -------------------------------------------------------------------

  void CheckSubObject(const Node& so, const Tables& t) {
    const Node* header = Child(so, "sub_object_header");
    const Node* vertices = Child(so, "vertices");
    const Node* sets = Child(so, "vertex_sets");
    const Node* prims = Child(so, "primitives");
    if (!header || !vertices || !sets || !prims) {
      Problem(ShapeFault::MissingBlock, "sub_object", so.line, At(DocumentMsg::CheckSubObjectIncomplete, so));
      return;
    }
    const int64_t vertexCount = vertices->entries;
    CheckHeaderIndices(so, *header, t);
    const SetRanges setOfState = CheckVertexSets(so, *sets, t, vertexCount);
    const PrimitiveUse use = CheckPrimitives(*prims, t, vertexCount, setOfState);
    CheckNodes(so, *header, t, use.all, use.perMatrix);
  }

  // Sort vector and volume of the header.
  void CheckHeaderIndices(const Node& so, const Node& header, const Tables& t) {
    const int64_t sortIdx = Value(header, 1), volIdx = Value(header, 2);
    if (sortIdx < -1 || sortIdx >= t.sortVectors)
      Problem(ShapeFault::SortVectorIndex, "sub_object_header", header.line,
              At(DocumentMsg::CheckSortVectorIndex, so, sortIdx));
    if (volIdx < -1 || volIdx >= t.volumes)
      Problem(ShapeFault::VolumeIndex, "sub_object_header", header.line, At(DocumentMsg::CheckVolumeIndex, so, volIdx));
  }

  // vertex_sets: one after the other, covering the vertices. Returns the
  // range of each vtx_state.
  SetRanges CheckVertexSets(const Node& so, const Node& sets, const Tables& t, int64_t vertexCount) {
    SetRanges setOfState;
    int64_t next = 0;
    for (const Node* vs : Children(sets, "vertex_set")) {
      const int64_t state = Value(*vs, 0), start = Value(*vs, 1), count = Value(*vs, 2);
      if (start != next)
        Problem(ShapeFault::VertexSetStart, "vertex_set", vs->line,
                At(DocumentMsg::CheckVertexSetStart, *vs, start, next));
      if (state < 0 || state >= static_cast<int64_t>(t.vtxStateMatrix.size()))
        Problem(ShapeFault::VertexSetState, "vertex_set", vs->line, At(DocumentMsg::CheckVertexSetState, *vs, state));
      setOfState[state] = {start, start + count};
      next = start + count;
    }
    if (next != vertexCount)
      Problem(ShapeFault::VertexSetCoverage, "vertex_sets", sets.line,
              At(DocumentMsg::CheckVertexSetCoverage, so, next, vertexCount));
    return setOfState;
  }

  // Primitives: indices inside the vertices and inside their vertex set;
  // the counts of the index lists. Returns the faces and lists per matrix.
  PrimitiveUse CheckPrimitives(const Node& prims, const Tables& t, int64_t vertexCount, const SetRanges& setOfState) {
    PrimitiveUse use;
    const Node* lastState = nullptr;
    bool opened = false;  // the last prim_state_idx has a list already
    for (int k : prims.kids) {
      const Node& c = tree_[k];
      if (c.name == "prim_state_idx") {
        lastState = &c;
        opened = false;
        continue;
      }
      if (c.name != "indexed_trilist") continue;
      ++use.all.primitives;
      const bool firstList = !opened;
      opened = true;
      const int64_t ps = Value(lastState, 0);
      if (!lastState || ps < 0 || ps >= static_cast<int64_t>(t.primStateVtxState.size())) {
        Problem(ShapeFault::PrimStateIndex, "indexed_trilist", c.line, At(DocumentMsg::CheckPrimStateIndex, c));
        continue;
      }
      const int64_t state = t.primStateVtxState[ps];
      const int64_t matrix =
          state >= 0 && state < static_cast<int64_t>(t.vtxStateMatrix.size()) ? t.vtxStateMatrix[state] : -1;
      const std::optional<int64_t> faces = CheckTrilist(c, vertexCount, setOfState, state);
      if (!faces) continue;
      use.all.faces += *faces;
      use.perMatrix[matrix].primitives += 1;
      use.perMatrix[matrix].faces += *faces;
      if (firstList) {
        ++use.all.states;
        use.perMatrix[matrix].states += 1;
      }
    }
    return use;
  }

  // One indexed_trilist of the vtx_state `state`: its three lists, their
  // counts and the vertex indices. Returns its faces; nothing when a list is
  // missing.
  std::optional<int64_t> CheckTrilist(const Node& c, int64_t vertexCount, const SetRanges& setOfState, int64_t state) {
    const Node* vi = Child(c, "vertex_idxs");
    const Node* ni = Child(c, "normal_idxs");
    const Node* fl = Child(c, "flags");
    if (!vi || !ni || !fl) {
      Problem(ShapeFault::MissingBlock, "indexed_trilist", c.line, At(DocumentMsg::CheckTrilistIncomplete, c));
      return std::nullopt;
    }
    const int64_t n = Value(*vi, 0);
    if (n != vi->valueCount - 1)
      Problem(ShapeFault::IndexCount, "vertex_idxs", vi->line,
              At(DocumentMsg::CheckIndexCount, *vi, n, vi->valueCount - 1));
    CheckIndexRange(*vi, vertexCount, setOfState, state);
    const int64_t nf = Value(*ni, 0), ff = Value(*fl, 0);
    if (2 * nf != ni->valueCount - 1)
      Problem(ShapeFault::IndexCount, "normal_idxs", ni->line, At(DocumentMsg::CheckCountMismatch, *ni));
    if (ff != fl->valueCount - 1)
      Problem(ShapeFault::IndexCount, "flags", fl->line, At(DocumentMsg::CheckCountMismatch, *fl));
    if (n != 3 * nf || nf != ff)
      Problem(ShapeFault::FaceCounts, "indexed_trilist", c.line, At(DocumentMsg::CheckFaceCounts, c));
    return n / 3;
  }

  void CheckIndexRange(const Node& vi, int64_t vertexCount, const SetRanges& setOfState, int64_t state) {
    if (vi.badIndex) {
      Problem(ShapeFault::VertexIndex, "vertex_idxs", vi.line, At(DocumentMsg::CheckIndexNotANumber, vi, vi.firstBad));
      return;
    }
    if (vi.valueCount < 2) return;
    auto outside = [&](int64_t idx) {
      Problem(ShapeFault::VertexIndex, "vertex_idxs", vi.line,
              At(DocumentMsg::CheckIndexOutside, vi, idx, vertexCount));
    };
    if (vi.minIndex < 0) return outside(vi.minIndex);
    if (vi.maxIndex >= vertexCount) return outside(vi.maxIndex);
    auto range = setOfState.find(state);
    const int64_t bad = range == setOfState.end() || vi.minIndex < range->second.first ? vi.minIndex
                        : vi.maxIndex >= range->second.second                          ? vi.maxIndex
                                                                                       : -1;
    if (bad >= 0)
      Problem(ShapeFault::VertexIndexOutsideSet, "vertex_idxs", vi.line,
              At(DocumentMsg::CheckIndexOutsideSet, vi, bad, state));
  }

  // ---- Geometry nodes -----------------------------------------------------------------

  // geometry_info, its nodes and the node map against the primitives.
  void CheckNodes(const Node& so, const Node& header, const Tables& t, const MatrixUse& all,
                  const std::map<int64_t, MatrixUse>& perMatrix) {
    const Node* info = Child(header, "geometry_info");
    if (!info) {
      Problem(ShapeFault::MissingBlock, "geometry_info", header.line,
              At(DocumentMsg::CheckBlockMissing, so, "geometry_info"));
      return;
    }
    if (Value(*info, 0) != all.faces || !CountsEntries(Value(*info, 1), all) || Value(*info, 3) != 3 * all.faces ||
        Value(*info, 6) != all.primitives)
      Problem(ShapeFault::GeometryInfo, "geometry_info", info->line,
              At(DocumentMsg::CheckGeometryInfo, *info, all.faces, all.primitives));
    const Node* nodes = Child(*info, "geometry_nodes");
    const Node* map = Child(*info, "geometry_node_map");
    if (!nodes || !map) {
      Problem(ShapeFault::MissingBlock, "geometry_info", info->line, At(DocumentMsg::CheckNodesMissing, *info));
      return;
    }
    const auto nodeList = Children(*nodes, "geometry_node");
    const std::vector<int64_t> nodeMatrix = CheckNodeMap(*map, nodeList, t);
    CheckNodeCounts(nodeList, nodeMatrix, perMatrix);
    const int64_t entries = static_cast<int64_t>(map->values.size()) - 1;
    for (const auto& [matrix, use] : perMatrix) {
      const bool mapped = matrix >= 0 && matrix < entries && Value(*map, static_cast<std::size_t>(matrix + 1)) >= 0;
      if (!mapped)
        Problem(ShapeFault::PrimitivesWithoutNode, "sub_object", so.line,
                At(DocumentMsg::CheckPrimitivesWithoutNode, so, matrix));
    }
  }

  // geometry_node_map: its count, and the nodes numbered in the order of
  // their matrices. Returns the matrix of each node (-1: none).
  std::vector<int64_t> CheckNodeMap(const Node& map, const std::vector<const Node*>& nodeList, const Tables& t) {
    const int64_t nodeCount = static_cast<int64_t>(nodeList.size());
    const int64_t entries = static_cast<int64_t>(map.values.size()) - 1;
    const int64_t mapCount = Value(map, 0);
    if (mapCount != entries)
      Problem(ShapeFault::NodeMap, "geometry_node_map", map.line, At(DocumentMsg::CheckCountMismatch, map));
    if (mapCount > t.matrices)
      Problem(ShapeFault::NodeMap, "geometry_node_map", map.line, At(DocumentMsg::CheckMapTooLong, map));
    std::vector<int64_t> nodeMatrix(nodeList.size(), -1);
    int64_t expectNode = 0;
    for (int64_t j = 0; j < entries; ++j) {
      const int64_t node = Value(map, static_cast<std::size_t>(j + 1));
      if (node == -1) continue;
      if (node != expectNode || node >= nodeCount) {
        Problem(ShapeFault::NodeMap, "geometry_node_map", map.line, At(DocumentMsg::CheckMapEntry, map, node, j));
        break;
      }
      nodeMatrix[node] = j;
      ++expectNode;
    }
    if (expectNode != nodeCount)
      Problem(ShapeFault::NodeMap, "geometry_node_map", map.line,
              At(DocumentMsg::CheckMapNodes, map, expectNode, nodeCount));
    return nodeMatrix;
  }

  // Each geometry_node and its cullable_prims against the primitives of
  // its matrix.
  void CheckNodeCounts(const std::vector<const Node*>& nodeList, const std::vector<int64_t>& nodeMatrix,
                       const std::map<int64_t, MatrixUse>& perMatrix) {
    for (std::size_t k = 0; k < nodeList.size(); ++k) {
      const Node* cp = Child(*nodeList[k], "cullable_prims");
      auto it = perMatrix.find(nodeMatrix[k]);
      const MatrixUse use = it == perMatrix.end() ? MatrixUse{} : it->second;
      if (!cp || Value(*cp, 0) != use.primitives || Value(*cp, 1) != use.faces || Value(*cp, 2) != 3 * use.faces ||
          !CountsEntries(Value(*nodeList[k], 0), use))
        Problem(ShapeFault::NodeCounts, "geometry_node", nodeList[k]->line,
                At(DocumentMsg::CheckNodeCounts, *nodeList[k], nodeMatrix[k]));
    }
  }

  const std::vector<Node>& tree_;
  ProblemLog& log_;
};

}  // namespace

void CheckStructure(const BlockTree& tree, const Node& shape, ProblemLog& log) {
  StructureChecker(tree, log).Check(shape);
}

}  // namespace lodsmith::shape_check
