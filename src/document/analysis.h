// The shape analysis: one forward scan over the lines of a shape exported
// with one LOD and one sub-object, which yields the model tables, the rows of
// the element grid and of the matrix grid, and the warnings about shapes that
// already hold several LODs or sub-objects.
//
// The scan relies on the exporter's fixed layout: each block keyword at the
// start of its own line, one entry per line (a prim_state on two lines), each
// block closed by a line of its own. It is not a parser of the bracket
// syntax.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/text.h"
#include "document/model_tables.h"

namespace lodsmith {

// One row of the element grid: prim_state r - 1 is element row r.
struct ElementRow {
  std::string name;   // the word after "prim_state"
  std::string image;  // lower-cased image name of the element's texture
  // Faces of the last primitive of the first sub-object that uses this
  // prim_state (all its triangle lists); empty when no primitive uses it.
  std::optional<int32_t> faces;
};

// One row of the matrix grid: matrix m is row m + 1.
struct MatrixRow {
  std::string name;
  int64_t faces = 0;  // sum over the primitives drawn with this matrix
};

struct ShapeAnalysis {
  std::vector<std::string> matrixNames;
  std::vector<std::string> imageNames;
  std::vector<int32_t> textureImage;    // image index per texture
  std::vector<int32_t> vtxStateMatrix;  // matrix index per vtx_state
  // The vertex_sets of the first sub-object; empty when the shape has none.
  std::vector<TVertexSetEntry> vertexSets;
  // Index = element row; slot 0 is unused.
  std::vector<int32_t> elementVtxState;
  std::vector<ElementRow> elements;
  std::vector<MatrixRow> matrices;
  // Warnings for the user (DocumentMsg::SeveralLods, SeveralSubObjects), in
  // the order they are to be shown; after a failure, those found before it.
  std::vector<Message> warnings;
  // The shape already has several LODs or sub-objects: no new ones may be
  // generated from it.
  bool disableGeneration = false;
  // Set when the scan stopped at a line that does not follow the layout:
  // DocumentMsg::AnalysisLine (the 1-based line) wrapping what was wrong
  // there. The tables and rows are then incomplete and must not be used.
  std::optional<Message> failure;
};

// Analyses the lines (line 0, the file's header, is never examined).
// Every index read from the file is checked against what was read before it
// (texture -> image, vtx_state -> matrix, prim_state -> texture and
// vtx_state, primitive -> element), and every vertex_set must name vertices
// that 32-bit numbers can count: first vertex and count not negative, their
// sum and the sum of all counts at most 2^31 - 1, so that no later sum of
// vertex counts can wrap. The result's `failure` names the line when a block
// is missing, a number is missing or not an integer, a name or image entry is
// malformed, the prim_states block holds no prim_state, an index points
// outside its table, a vertex_set breaks the rule above, or the faces of one
// primitive (its triangle lists together) exceed 2^31 - 1. Never throws for
// any text. An empty document gives an empty result.
ShapeAnalysis AnalyseShape(const Lines& lines);

}  // namespace lodsmith
