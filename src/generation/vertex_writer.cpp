// The vertices, vertex_sets and primitives of one output sub-object.
// Vertices are kept or dropped by whole vertex sets; the kept ones are
// renumbered by one shift per set (the vertices of the dropped sets before
// it), applied to the set's first vertex and to every index of its primitives.
#include <algorithm>
#include <charconv>

#include "generation/refusal.h"
#include "generation/shape_writer.h"

namespace lodsmith {

namespace {

void AppendNumber(std::string& out, int64_t value) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

}  // namespace

void ShapeWriter::WriteVertexBlocks(const VertexEstimate& estimate, int32_t elements) {
  const std::span<const TVertexSetEntry> sets = t_.vertexSets;
  std::string line = Line(layout_.VerticesLine);
  ReplaceValueAfter(line, "vertices", 1, std::to_string(estimate.vertices));
  out_.push_back(std::move(line));

  for (std::size_t i = 0; i < sets.size(); ++i)
    if (estimate.shifts[i] != -1) {
      const int64_t first = layout_.setFirstLine[i];
      CopyRange(first, first + 3 * int64_t{sets[i].VertexCount});
    }
  CopyRange(layout_.afterVertices, layout_.vertexSetsLine);

  const auto kept = std::count_if(estimate.shifts.begin(), estimate.shifts.end(), [](int32_t s) { return s != -1; });
  line = Line(layout_.vertexSetsLine);
  ReplaceValueAfter(line, "vertex_sets", 1, std::to_string(kept));
  out_.push_back(std::move(line));
  for (std::size_t i = 0; i < sets.size(); ++i) {
    const int32_t shift = estimate.shifts[i];
    if (shift == -1) continue;
    line = Line(int64_t{layout_.vertexSetsLine} + 1 + static_cast<int64_t>(i));
    ReplaceValueAfter(line, "vertex_set", 2, std::to_string(int64_t{layout_.setFirstVertex[i]} - shift));
    out_.push_back(std::move(line));
  }

  const int32_t primitives = layout_.PrimitivesLine();
  CopyRange(int64_t{layout_.vertexSetsLine} + 1 + static_cast<int64_t>(sets.size()), primitives);
  line = Line(primitives);
  ReplaceValueAfter(line, "primitives", 1, std::to_string(2 * int64_t{elements}));
  out_.push_back(std::move(line));
}

// The primitive writer runs once per element row: each run takes the next
// line holding "prim_state_idx" and writes its primitive when its element
// is in the sub-object, else steps over that line.
void ShapeWriter::WritePrimitives(int lod, int subObject, const VertexEstimate& estimate) {
  const std::vector<PrimitiveStart>& starts = layout_.starts;
  std::size_t k = 0;
  for (int r = 1; r <= a_.ElementCount(); ++r) {
    Progress(ProgressLabel::Stage, Message(GenerationMsg::FacesProgress));
    if (k >= starts.size()) continue;
    const PrimitiveStart& start = starts[k];
    if (start.row == 0) Refuse(GenerationMsg::PrimStateNoElement, int64_t{start.line} + 1);
    if (!a_.Cell(start.row, lod).Places(subObject)) {
      ++k;
      continue;
    }
    // A line the walk did not follow as a primitive (one after the template
    // sub-object) cannot be written.
    if (start.primitive < 0) Refuse(GenerationMsg::PrimitiveIncomplete, int64_t{start.line} + 2);
    const Primitive& p = layout_.primitives[static_cast<std::size_t>(start.primitive)];
    // The element is in the sub-object, so the estimate kept its vertex set.
    const std::span<const int32_t> states = t_.elementVtxState;
    const int32_t state = p.row < static_cast<int>(states.size()) ? states[static_cast<std::size_t>(p.row)] : -1;
    if (state < 0 || state >= static_cast<int32_t>(estimate.shifts.size()))
      throw Error(GenerationMsg::ElementWithoutVertexSet, p.row, state);
    WritePrimitive(p, estimate.shifts[static_cast<std::size_t>(state)]);
    k = p.nextStart;
  }
}

// The index lines are written from their tokens: the count stays, every
// index is lowered by `shift`, every token gets one blank before it and
// each written line ends in a blank.
void ShapeWriter::WritePrimitive(const Primitive& p, int32_t shift) {
  CopyRange(p.line, p.indexLine);
  for (uint32_t k = 0; k < p.indexLineCount; ++k) {
    const IndexLine& il = layout_.indexLines[p.firstIndexLine + k];
    std::string out;
    if (il.prefix >= 0) out.assign(Line(int64_t{p.indexLine} + k), 0, static_cast<std::size_t>(il.prefix));
    for (uint32_t t = 0; t < il.tokenCount; ++t) {
      const int64_t token = layout_.indexTokens[il.firstToken + t];
      if (token == TemplateLayout::kCloseToken) {
        out += " )";
      } else {
        out += ' ';
        AppendNumber(out, token - shift);
      }
    }
    out += ' ';
    out_.push_back(std::move(out));
  }
  CopyRange(p.normalLine, int64_t{p.closeLine} + 1);
}

}  // namespace lodsmith
