#include <vector>

#include "document/shape_check_kinds.h"

namespace lodsmith::shape_check {

namespace {

struct KindTable {
  static constexpr std::size_t kLongest = 24;
  std::vector<BlockKind> kinds;
  std::vector<const BlockKind*> bySize[kLongest + 1];

  KindTable() {
    kinds = {
        {"shape", "", true, Values::First},
        {"volumes", "vol_sphere", true, Values::First},
        {"sort_vectors", "vector", true, Values::First},
        {"matrices", "matrix", true, Values::First},
        {"images", "image", false, Values::First},
        {"textures", "texture", false, Values::First},
        {"vtx_states", "vtx_state", true, Values::First},
        {"vtx_state", "", true, Values::All},
        {"prim_states", "prim_state", true, Values::First},
        {"prim_state", "", true, Values::All},
        {"points", "point", false, Values::First},
        {"normals", "vector", false, Values::First},
        {"uv_points", "uv_point", false, Values::First},
        {"shader_names", "named_shader", false, Values::First},
        {"lod_controls", "lod_control", true, Values::First},
        {"lod_control", "", true, Values::First},
        {"distance_levels", "distance_level", true, Values::First},
        {"distance_level", "", true, Values::First},
        {"distance_level_header", "", true, Values::First},
        {"dlevel_selection", "", true, Values::First},
        {"sub_objects", "sub_object", true, Values::First},
        {"sub_object", "", true, Values::First},
        {"sub_object_header", "", true, Values::All},
        {"geometry_info", "", true, Values::All},
        {"geometry_nodes", "geometry_node", true, Values::First},
        {"geometry_node", "", true, Values::First},
        {"cullable_prims", "", true, Values::All},
        {"geometry_node_map", "", true, Values::All},
        {"vertices", "vertex", true, Values::First},
        {"vertex_sets", "vertex_set", true, Values::First},
        {"vertex_set", "", true, Values::All},
        {"primitives", "", true, Values::First},
        {"prim_state_idx", "", true, Values::First},
        {"indexed_trilist", "", true, Values::First},
        {"vertex_idxs", "", true, Values::Indices},
        {"normal_idxs", "", true, Values::Count},
        {"flags", "", true, Values::Count},
        // Entries of the lists that are no kept blocks themselves.
        {"vol_sphere", "", false, Values::First},
        {"vector", "", false, Values::First},
        {"matrix", "", false, Values::First},
        {"image", "", false, Values::First},
        {"texture", "", false, Values::First},
        {"point", "", false, Values::First},
        {"uv_point", "", false, Values::First},
        {"named_shader", "", false, Values::First},
        {"vertex", "", false, Values::First},
    };
    for (BlockKind& k : kinds) {
      bySize[k.name.size()].push_back(&k);
      if (!k.entryName.empty())
        for (const BlockKind& e : kinds)
          if (e.name == k.entryName) k.entry = &e;
    }
  }

  const BlockKind* Find(std::string_view name) const {
    if (name.size() > kLongest) return nullptr;
    // Most names differ from the others of their length in the first or the
    // last letter already.
    for (const BlockKind* k : bySize[name.size()])
      if (k->name[0] == name[0] && k->name.back() == name.back() && k->name == name) return k;
    return nullptr;
  }
};

const KindTable& Kinds() {
  static const KindTable table;
  return table;
}

}  // namespace

const BlockKind* FindBlockKind(std::string_view name) { return Kinds().Find(name); }

}  // namespace lodsmith::shape_check
