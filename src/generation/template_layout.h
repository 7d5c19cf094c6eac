// The generation's reading of its template: one walk over the normalised
// document that locates the template sub-object, refuses every layout the
// writers could not follow and every input they could not write, and records
// what they then copy and rewrite. The writers (shape_writer.h) emit from the
// layout alone: each line index in it lies inside the document it was read
// from, and each value they rewrite was parsed here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/text.h"
#include "generation/generator.h"

namespace lodsmith {

// The lines of the head that sorted sub-objects change: the first volume is
// copied once per sorted sub-object and its centre becomes their sort vector.
struct SortedHead {
  int32_t volumesLine = 0;      // "volumes ( n"; the first volume is the three lines after it
  int32_t volumes = 0;          // n
  int32_t sortVectorsLine = 0;  // "sort_vectors ( n"
  int32_t sortVectors = 0;      // n
  std::string sortVector;       // the first volume's vector line, up to its ")"
};

// A line of the LOD head (between "distance_levels" and the template) as the
// LOD loop treats it.
struct LevelLine {
  enum class Kind : uint8_t { Copy, Distance, SubObjectCount };
  int32_t line = 0;
  Kind kind = Kind::Copy;
};

// A line of the sub-object header as the header writer reads it. The line
// after a geometry_nodes block is its own entry, read for a node map only.
struct HeaderLine {
  int32_t line = 0;
  int32_t lastLine = 0;          // a node map spread over lines ends here; they are joined
  bool subObjectHeader = false;  // rewritten for a sorted sub-object
  bool sortable = false;         // its flags word is decimal with at least three digits
  std::string sortedFlags;       // then: the flags word of a sorted sub-object
  bool geometryInfo = false;
  int32_t nodes = -1;  // geometry_nodes: the template's count; its first node is line + 1 .. line + 3
  bool nodeMap = false;
  int32_t mapNodes = 0;  // the node count a node map names
};

// One vertex_idxs line of a primitive: the text kept before its tokens (the
// keyword and the count, first line only) and its tokens.
struct IndexLine {
  int32_t prefix = -1;  // characters kept; -1: none
  uint32_t firstToken = 0;
  uint32_t tokenCount = 0;
};

// One triangle list of a primitive, as the walk followed it: the lines
// from `firstLine` up to the vertex_idxs line are copied, the index lines
// rewritten, the lines from normal_idxs to the list's ")" copied.
struct TriangleList {
  int32_t firstLine = 0;   // prim_state_idx for the first list, else the line after the list before
  int32_t indexLine = 0;   // vertex_idxs
  int32_t normalLine = 0;  // normal_idxs
  int32_t flagsLine = 0;   // flags
  int32_t closeLine = 0;   // the list's ")"
  uint32_t firstIndexLine = 0;
  uint32_t indexLineCount = 0;
};

// A primitive the walk followed from its prim_state_idx line to the line
// that closes its last triangle list. Exporters write long meshes as
// several lists one after another under one prim_state_idx.
struct Primitive {
  int32_t line = 0;  // prim_state_idx
  int row = 0;       // its element row
  uint32_t firstList = 0;
  uint32_t listCount = 0;
  int32_t closeLine = 0;      // the last list's ")"
  std::size_t nextStart = 0;  // the start the writer goes on at after it
};

// A line holding "prim_state_idx" after the primitives line: where the
// primitive writer looks for the next primitive.
struct PrimitiveStart {
  int32_t line = 0;
  int row = 0;                    // element row; 0: the line names no element
  std::ptrdiff_t primitive = -1;  // index into TemplateLayout::primitives; -1: not one the walk followed
};

struct TemplateLayout {
  static constexpr int64_t kCloseToken = INT64_MIN;  // a ")" among the index tokens

  int32_t lineCount = 0;
  int32_t FirstSubObjectLine = 0;  // "sub_object "
  int32_t VerticesLine = 0;        // "vertices"
  int32_t SubObjectEndLine = 0;    // closes the sub-object; the line before closes primitives
  int32_t LevelsBodyLine = -1;     // the line after "distance_levels " before the template; -1: none

  std::vector<LevelLine> levels;  // the LOD head from LevelsBodyLine on
  std::vector<HeaderLine> header;

  int32_t vertexSetsLine = 0;
  int32_t afterVertices = 0;            // the line after the last vertex
  std::vector<int32_t> setFirstLine;    // per vertex set: the first line of its vertices
  std::vector<int32_t> setFirstVertex;  // per vertex set: its first vertex (line vertexSetsLine + 1 + set)

  std::vector<Primitive> primitives;
  std::vector<TriangleList> lists;
  std::vector<uint32_t> listsPerRow;  // index = element row: the lists of its primitive
  std::vector<IndexLine> indexLines;
  std::vector<int64_t> indexTokens;
  std::vector<PrimitiveStart> starts;

  // The triangle lists of a primitive.
  std::span<const TriangleList> ListsOf(const Primitive& p) const {
    return std::span<const TriangleList>(lists).subspan(p.firstList, p.listCount);
  }
  // The triangle lists of the primitive of element row `row` (the walk
  // allows one primitive per element); 0 when none.
  uint32_t ListCount(int row) const {
    return row >= 0 && row < static_cast<int>(listsPerRow.size()) ? listsPerRow[static_cast<std::size_t>(row)] : 0;
  }

  // The lines that sorted sub-objects change; refuses when the template
  // cannot take sorted sub-objects, naming why. Read only when the
  // assignment marks a sub-object sorted: ask only for a plan that sorts.
  const SortedHead& Sorted() const;
  // The primitives line as the vertex writer finds it; refuses when it
  // finds none inside the sub-object.
  int32_t PrimitivesLine() const;

private:
  friend class TemplateWalk;
  std::optional<SortedHead> sortedHead_;
  Message unsortable_;  // why sortedHead_ is empty
  int32_t primitivesLine_ = -1;
};

// Reads the template of a document normalised by NormaliseSortVectors.
// Throws Error (wrapped in GenerationMsg::Aborted) as GenerateShape
// describes up to the per-LOD plan.
TemplateLayout ReadTemplateLayout(const Lines& lines, const LodAssignment& assignment, const GenerationTables& tables);

}  // namespace lodsmith
