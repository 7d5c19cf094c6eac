// The LOD and sub-object generation: rewrites a shape whose lod_controls hold
// one distance level with one sub-object into a shape with the requested
// LODs, each with its own sub-objects holding only the primitives and vertex
// sets of their elements.
//
// The rewrite is line based. The one sub-object of the input is the template:
// it is read once into a layout (the lines the writers copy and the values
// they rewrite, checked), then copied once per output sub-object, filtered
// and renumbered. Lines the writer does not recognise are copied byte for
// byte; a recognised number is replaced by deleting its token and inserting
// the new decimal text at the same place (ReplaceValueAfter), so indentation
// and spacing stay.
//
// Everything here is pure: the document is read, a new list of lines is
// returned, and a failure throws Error before anything is handed back, so
// the caller's document never sees a half-written shape.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "core/message.h"
#include "core/text.h"
#include "document/model_tables.h"
#include "generation/generation_messages.h"
#include "generation/lod_assignment.h"

namespace lodsmith {

// The tables of the analysed shape that the generation reads. Views: the
// caller keeps them alive during the call.
struct GenerationTables {
  std::span<const int32_t> elementVtxState;  // index = element row (slot 0 unused)
  std::span<const int32_t> vtxStateMatrix;   // index = vtx_state
  std::span<const TVertexSetEntry> vertexSets;
  int32_t matrixCount = 0;  // the matrices of the shape
};

// The steps of a generation, reported as each is reached.
enum class GenerationStage {
  Normalised,  // the template's sort_vectors line was normalised (NormaliseSortVectors)
  Checked,     // the template and the inputs are sound; the per-LOD plan follows
  Writing,     // the plan stands; the new shape is written now
  Written,     // the new shape is complete; its structural check follows
};

// The progress texts: the sub-object label (the LOD and sub-object being
// written) and the stage label (vertices, faces).
enum class ProgressLabel { SubObject, Stage };

struct LodPlan;

struct GenerationObserver {
  std::function<void(GenerationStage)> reached;
  // The per-LOD plan, once it stands (just before Writing is reached).
  std::function<void(const LodPlan&)> planned;
  std::function<void(ProgressLabel, const Message&)> progress;
};

// The normalisation the generation makes on its copy of the document: the
// first line from line 1 on that holds "sort_vectors" is, when it holds a
// ")", cut at that ")" (at most 255 characters go, as the line editor of the
// format allows) and followed by a line of a tab and ")", so that vectors can
// be appended after the header. Returns false, changing nothing, when no line
// from line 1 on holds "sort_vectors". A caller that keeps the document
// applies it when a generation that reported GenerationStage::Normalised
// fails before writing its result.
bool NormaliseSortVectors(Lines& lines);

// The whole rewrite. `document` is not changed; the result is the new shape.
// In order, each failure throwing Error (in parentheses the last stage
// reported before it):
//   - an empty document, an "L 1" cell that is no integer, or a template
//     without "sort_vectors", "sub_object ", "vertices" or "flags" lines:
//     GenerationMsg::GeneralError;
//   - (Normalised) a template whose layout the writers cannot follow or an
//     input they cannot write (a distance that is no whole number 1..2000, an
//     assignment cell that is no integer, an assigned element without its
//     primitive, face count, vertex set or matrix, triangles of its own that
//     are no whole triangles), naming the line, LOD or element;
//   - (Checked) an LOD without sub-objects or with an empty sub-object before
//     a full one (GenerationMsg::EmptyLod); a template that cannot take
//     sorted sub-objects when some are marked;
//   - (Writing) no "distance_levels " line before the template
//     (GenerationMsg::LodNotFound), or a sub-object that cannot be written;
//   - (Written) a written shape with a structural fault of a kind the document does
//     not have (DocumentMsg::RefusedRewrite, as every rewrite is refused).
// The generation's own refusals are wrapped in GenerationMsg::Aborted; a
// fault of the vertex estimate (own triangles naming a vertex outside the
// element's vertex set among them) and the structural refusal stand alone.
//
// An element with triangles of its own in an LOD (LodAssignment::triangles)
// is written there as one list of them in place of its lists: its vertex
// set keeps only the vertices such triangles use when every element of the
// sub-object on that set has its own, those vertices renumbered one by one
// (vertices, vertex_set start and count); each triangle gets a normal_idxs
// and a flags entry (generation/triangle_entries.h); the face counts of
// geometry_info and cullable_prims are those of the triangles written. The
// shape's points, uv_points, normals and vertex entries are never changed.
// Without such triangles the output is the same as ever.
Lines GenerateShape(const Lines& document, const LodAssignment& assignment, const GenerationTables& tables,
                    const GenerationObserver& observer = {});

// The same rewrite, reading the template from `document` itself instead of a
// copy of it: the document is normalised in place (NormaliseSortVectors) on
// the way. When it fails after GenerationStage::Normalised it stays
// normalised, as a caller of GenerateShape makes it; a written shape the
// structural check refuses (DocumentMsg::RefusedRewrite) leaves it exactly
// as it was.
Lines GenerateShapeInPlace(Lines& document, const LodAssignment& assignment, const GenerationTables& tables,
                           const GenerationObserver& observer = {});

}  // namespace lodsmith
