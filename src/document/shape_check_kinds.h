// The blocks the structural check knows, and how it keeps their values.
#pragma once

#include <string_view>

namespace lodsmith::shape_check {

// How the values of a kept block are kept.
enum class Values {
  First,    // only the first value and the number of values
  All,      // every value (small blocks the checks read)
  Count,    // as First, for long lists of values (normals, flags)
  Indices,  // the first value, the number of values and the range of the rest
};

// The blocks the checks know. Only the kept ones become nodes of the tree;
// every other block is counted by its parent and, when it is a counted list,
// checked as it closes. So the tree grows with the sub-objects and
// primitives, not with the points and vertices.
struct BlockKind {
  std::string_view name;
  std::string_view entryName;  // counted list: the name of its entries
  bool keep;
  Values values;
  const BlockKind* entry = nullptr;  // the kind named entryName
};

// The kind of the block named `name`; nullptr for a block the checks do not
// know.
const BlockKind* FindBlockKind(std::string_view name);

// A named block's keyword: a word that may be followed by a label before its
// "(" (matrix, anim_node, prim_state).
inline bool IsNamedBlock(std::string_view name) {
  // Asked for every value of the long lists: the first letter rules out
  // numbers before any comparison.
  if (name.empty() || (name[0] != 'm' && name[0] != 'a' && name[0] != 'p')) return false;
  switch (name.size()) {
    case 6: return name == "matrix";
    case 9: return name == "anim_node";
    case 10: return name == "prim_state";
    default: return false;
  }
}

}  // namespace lodsmith::shape_check
