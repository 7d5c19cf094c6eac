// Shapes built in memory for the tests, the benchmarks and the fuzz seeds,
// and small helpers to find and change their lines. Three builders, each a
// recipe and a function that returns the shape's lines:
//
//   OutlineShape   the blocks the analysis lists (matrices, images, textures,
//                  vtx/prim states, one sub-object's vertex sets and
//                  primitives, animations) without the geometry itself; for
//                  the analysis, the element grid and the settings files.
//   ExportedShape  a complete shape as the modelling tool exports it (one
//                  LOD, one sub-object, points, vertices, geometry nodes);
//                  for the generation, the structural check and the fuzz
//                  seeds.
//   GeometryShape  points, normals, vertices and normal lists only; for the
//                  point and normal merges.
//
// ExampleShape is the worked example the analysis is checked against. The
// builders use only the standard library and core/text, so that the
// benchmarks and the fuzz seed writer link them without GoogleTest.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/text.h"

namespace lodsmith::test {

// ---- OutlineShape ------------------------------------------------------------

struct OutlineShapeRecipe {
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
  // matrix gets a node with controller count 0. Written only with
  // `withAnimations`.
  std::vector<std::string> animated;
  bool withAnimations = false;
};

// Matrix m of an outline shape: MAIN, PART1, PART2, ...
std::string MatrixName(int m);

// Element e is prim_state "Elem<e>" with image "Img<e>.ACE"; vtx_state s
// draws with matrix s % matrices; the header counts `distanceLevels` and
// `subObjects`, but one sub-object is written. A vertex_idxs line names its
// count and at most twelve indices.
Lines OutlineShape(const OutlineShapeRecipe& recipe);

// The worked example: matrices MAIN and WHEEL1, images Body.ACE and
// wheel.ace, elements Body (2 faces on MAIN) and Wheel (1 face on WHEEL1),
// vertex sets of 3 vertices each, WHEEL1 animated.
Lines ExampleShape();

// The worked example with names as tools write them when they hold a blank:
// matrices "WHEEL A" and "WHEEL B" (both animated, each node with one
// rotation of two keys), elements "Body A" and "Body B" (one word alike),
// the first image "..\textures\Body A.ACE".
Lines QuotedNamesShape();

// ---- ExportedShape -----------------------------------------------------------

// Element e (prim_state "E<e>", element row e + 1) draws with vtx_state
// elementState[e]; vtx_state s draws with matrix stateMatrix[s] (named
// "M<m>") and owns vertex set s. Lines longer than 210 characters are
// wrapped as opening a file wraps them.
struct ExportedShapeRecipe {
  int matrices = 2;
  std::vector<int> stateMatrix = {0, 1};            // per vtx_state
  std::vector<int> setVertices = {6, 6};            // vertices per vertex set (= per vtx_state)
  std::vector<int> elementState = {0, 1, 0};        // per element
  std::vector<int> elementFaces = {2, 2, 1};        // per element
  std::map<int, std::vector<int>> explicitIndices;  // element -> its vertex indices
  int volumes = 1;
  bool sortVectorsOnOneLine = true;  // "sort_vectors ( 0 )"
  int elementWithoutPrimitive = -1;  // an element no primitive uses
  int elementWithTwoPrimitives = -1;
  // element -> the number of triangle lists its faces are split into, one
  // after another under its one prim_state_idx (as exporters write long
  // meshes); the first lists get the faces that do not divide evenly.
  std::map<int, int> elementLists;
  std::string subObjectFlags = "00000400";
  // Put before every element and matrix name ("E<e>", "M<m>"): names in
  // other scripts for the readers and writers of every character.
  std::string namePrefix;
};

Lines ExportedShape(const ExportedShapeRecipe& recipe);

// A recipe for a large exported shape of about `lines` lines (at least a
// few thousand): vertex sets of 2400 vertices, one element of 800 faces per
// set, ten matrices, the given name prefix; a third of the points repeat an
// earlier one, so that the point merge has work.
ExportedShapeRecipe LargeShapeRecipe(int lines, const std::string& namePrefix);
// The large shape itself, its points thinned out as the recipe says.
Lines LargeExportedShape(int lines, const std::string& namePrefix);

// ---- GeometryShape -----------------------------------------------------------

// Each vertex is {point, normal}; each primitive lists its normal_idxs pairs
// (first member a normal number, second member 3).
struct GeometryShapeRecipe {
  std::vector<std::string> points;   // "x y z"
  std::vector<std::string> normals;  // "x y z"
  std::vector<std::array<int, 2>> vertices;
  std::vector<std::vector<int>> normalLists;
};

Lines GeometryShape(const GeometryShapeRecipe& recipe);

// ---- Lines ------------------------------------------------------------------

// Index of the first line containing `text`, -1 when none.
int LineWith(const Lines& lines, const std::string& text);

// A copy of `lines` with the first line containing `text` replaced.
Lines WithLine(Lines lines, const std::string& text, const std::string& replacement);

// The tokens after the first "(" of a line.
std::vector<std::string> TokensAfterParen(const std::string& line);

}  // namespace lodsmith::test
