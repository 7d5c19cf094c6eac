// The structural check every rewrite of a shape passes before it replaces the
// document. It reads the bracket syntax of the shape on its own (not through
// the line-based readers and writers it is meant to check) and tells whether
// the shape hangs together:
//   - brackets: every block closed, no ")" or "(" outside a block, exactly
//     one top-level block "shape";
//   - counted lists hold their count (points, vertices, vertex_sets,
//     geometry_nodes, primitives, ... and the index lists of a primitive);
//   - indices lie inside their lists: a vtx_state's matrix, a sub-object's
//     sort vector and volume, a vertex_set's vtx_state, a primitive's
//     prim_state and its vertex indices (inside the sub-object's vertices and
//     inside the vertex_set of the primitive's vtx_state);
//   - vertex_sets follow each other and cover the vertices; geometry_info,
//     geometry_nodes, cullable_prims and geometry_node_map agree with the
//     primitives of the sub-object.
// The check is one pass over the text plus work in the size of the few
// blocks it keeps (sub-objects, primitives, tables), so it may run on every
// rewrite of a large shape.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/text.h"

namespace lodsmith {

// What is wrong; problems are compared by this code and their block, never
// by their text or line.
enum class ShapeFault {
  StrayToken,             // text or a bracket outside every block
  UnnamedBlock,           // "(" without a name in front of it
  UnclosedBlock,          // a block the file does not close
  NotOneShape,            // the file is not exactly one block "shape"
  ListCount,              // a counted list does not hold as many entries as it says
  MissingBlock,           // a block the shape needs is missing
  DistanceSelection,      // dlevel_selection missing or not exactly one value
  NoSubObjects,           // a distance level without sub-objects
  MatrixIndex,            // a vtx_state names a matrix that does not exist
  SortVectorIndex,        // a sub_object_header names a sort vector that does not exist
  VolumeIndex,            // a sub_object_header names a volume that does not exist
  VertexSetStart,         // a vertex_set does not begin where the one before it ended
  VertexSetState,         // a vertex_set names a vtx_state that does not exist
  VertexSetCoverage,      // the vertex_sets do not cover the vertices of their sub-object
  PrimStateIndex,         // a primitive without prim_state_idx or with one outside prim_states
  VertexIndex,            // a vertex index outside the vertices of its sub-object, or no number
  VertexIndexOutsideSet,  // a vertex index outside the vertex_set of its primitive's vtx_state
  IndexCount,             // vertex_idxs, normal_idxs or flags do not hold their count
  FaceCounts,             // vertex_idxs, normal_idxs and flags name different face counts
  GeometryInfo,           // faces or primitives of geometry_info do not match the primitives
  NodeMap,                // geometry_node_map does not fit the matrices or the nodes
  NodeCounts,             // a geometry_node or its cullable_prims does not fit its matrix's primitives
  PrimitivesWithoutNode,  // primitives of a matrix that has no geometry_node
};

struct ShapeProblem {
  ShapeFault fault;
  std::string block;  // the keyword of the block concerned ("vertices", "geometry_node_map", ...)
  int line = -1;      // 0-based line of that block; -1 when there is none
  Message message;    // DocumentMsg::Check...: what is wrong, naming the block and its line

  // Same kind of fault: same code, same block keyword.
  bool SameKind(const ShapeProblem& other) const { return fault == other.fault && block == other.block; }
};

// Every problem of the shape (line 0, the file header, is not read), syntax
// problems first; empty for a sound shape. Never throws for any text.
std::vector<ShapeProblem> CheckShape(const Lines& lines);

// The first problem of `after` whose kind none of `before` has: what a
// rewrite of a shape with the problems `before` added. A fault the input
// already had, wherever it now stands, is no new one.
std::optional<ShapeProblem> FirstNewProblem(const std::vector<ShapeProblem>& before,
                                            const std::vector<ShapeProblem>& after);

// The message of a refused rewrite (DocumentMsg::RefusedRewrite around the
// problem: the result would be no valid shape, nothing was changed).
Message RefusedRewriteMessage(const ShapeProblem& problem);

// The short note on a shape that fails the check, for a status line
// (DocumentMsg::StructureNote around the problem).
Message StructureNoteMessage(const ShapeProblem& problem);

}  // namespace lodsmith
