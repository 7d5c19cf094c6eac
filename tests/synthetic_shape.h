// Shapes in the exporter's one-LOD one-sub-object layout, built in memory:
// the worked example the analysis is checked against, and a generator of
// shapes of any size for property tests and benchmarks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/text.h"

namespace lodsmith::test {

struct ShapeRecipe {
  int elements = 3;
  int matrices = 2;
  int vtxStates = 0;  // 0: one per element; element e uses vtx_state e % vtxStates
  int distanceLevels = 1;
  int subObjects = 1;
  // Faces drawn by element e (one primitive per element).
  std::function<int(int)> faces = [](int e) { return e + 1; };
  // Vertices of vertex set s.
  std::function<int(int)> vertices = [](int s) { return 3 * (s + 1); };
  // Names of the animated anim_nodes (controller count 1); every other
  // matrix gets a node with controller count 0. Empty: no animations block.
  std::vector<std::string> animated;
  bool withAnimations = false;
};

inline std::string MatrixName(int m) { return m == 0 ? "MAIN" : "PART" + std::to_string(m); }

inline Lines SyntheticShape(const ShapeRecipe& recipe) {
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

// The worked example: matrices MAIN and WHEEL1, images Body.ACE and
// wheel.ace, elements Body (2 faces on MAIN) and Wheel (1 face on WHEEL1),
// vertex sets of 3 vertices each, WHEEL1 animated.
inline Lines ExampleShape() {
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

// Index of the first line containing `text`, -1 when none.
inline int LineWith(const Lines& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
  return -1;
}

// A copy of `lines` with the first line containing `text` replaced.
inline Lines WithLine(Lines lines, const std::string& text, const std::string& replacement) {
  int i = LineWith(lines, text);
  if (i >= 0) lines[i] = replacement;
  return lines;
}

}  // namespace lodsmith::test
