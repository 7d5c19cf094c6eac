// The messages of the simplifier; their texts are in ui/texts/simplify_texts.cpp.
#pragma once

namespace lodsmith {

enum class SimplifyMsg : int {
  First = 1400,
  NotFinite,     // %1: the vertex (0-based) whose coordinates are not finite numbers
  IndexOutside,  // %1: the index, %2: the vertex count
  SizesDiffer,   // the mesh's per-vertex lists do not have one entry per vertex
  End
};

}  // namespace lodsmith
