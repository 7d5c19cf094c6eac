// The vertices, vertex_sets and primitives of one output sub-object.
// Vertices are kept or dropped by whole vertex sets; the kept ones are
// renumbered by one shift per set (the vertices of the dropped sets before
// it), applied to the set's first vertex and to every index of its primitives.
// A set whose elements in the sub-object all have triangles of their own
// keeps the vertices those use, renumbered one by one.
#include <algorithm>
#include <charconv>

#include "document/shape_file.h"
#include "generation/refusal.h"
#include "generation/shape_writer.h"
#include "generation/triangle_entries.h"

namespace lodsmith {

namespace {

void AppendNumber(std::string& out, int64_t value) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

// Writes " " and the decimal text of `value` at `at`; returns the end.
// Room for 21 characters.
char* PutIndex(char* at, int64_t value) {
  *at++ = ' ';
  return std::to_chars(at, at + 20, value).ptr;
}

}  // namespace

void ShapeWriter::WriteVertexBlocks(const VertexEstimate& estimate, int64_t primitiveEntries) {
  const std::span<const TVertexSetEntry> sets = t_.vertexSets;
  std::string line = Line(layout_.VerticesLine);
  ReplaceValueAfter(line, "vertices", 1, std::to_string(estimate.vertices));
  out_.push_back(std::move(line));

  for (std::size_t i = 0; i < sets.size(); ++i) {
    if (estimate.shifts[i] == -1) continue;
    const int64_t first = layout_.setFirstLine[i];
    if (!estimate.Partial(i)) {
      CopyRange(first, first + 3 * int64_t{sets[i].VertexCount});
      continue;
    }
    // Each vertex takes three lines.
    for (int32_t v : estimate.kept[i]) {
      const int64_t at = first + 3 * (int64_t{v} - layout_.setFirstVertex[i]);
      CopyRange(at, at + 3);
    }
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
    if (estimate.Partial(i)) ReplaceValueAfter(line, "vertex_set", 3, std::to_string(estimate.kept[i].size()));
    out_.push_back(std::move(line));
  }

  const int32_t primitives = layout_.PrimitivesLine();
  CopyRange(int64_t{layout_.vertexSetsLine} + 1 + static_cast<int64_t>(sets.size()), primitives);
  line = Line(primitives);
  ReplaceValueAfter(line, "primitives", 1, std::to_string(primitiveEntries));
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
    if (const std::vector<int32_t>* own = a_.Triangles(lod, p.row))
      WriteOwnTriangles(p, lod, *own, estimate, static_cast<std::size_t>(state));
    else
      WritePrimitive(p, estimate.shifts[static_cast<std::size_t>(state)]);
    k = p.nextStart;
  }
}

// The index lines are written from their tokens: the count stays, every
// index is lowered by `shift`, every token gets one blank before it and
// each written line ends in a blank. The lists of a primitive follow each
// other as in the template.
void ShapeWriter::WritePrimitive(const Primitive& p, int32_t shift) {
  for (const TriangleList& list : layout_.ListsOf(p)) {
    CopyRange(list.firstLine, list.indexLine);
    for (uint32_t k = 0; k < list.indexLineCount; ++k) {
      const IndexLine& il = layout_.indexLines[list.firstIndexLine + k];
      const std::size_t prefix = il.prefix >= 0 ? static_cast<std::size_t>(il.prefix) : 0;
      // The line is put together in a buffer with room for the longest
      // numbers and handed over as one string of its own length.
      scratch_.resize(std::max(scratch_.size(), prefix + 21 * std::size_t{il.tokenCount} + 1));
      char* const begin = scratch_.data();
      char* at = begin;
      if (il.prefix >= 0) at = std::copy_n(Line(int64_t{list.indexLine} + k).data(), prefix, at);
      const int64_t* token = layout_.indexTokens.data() + il.firstToken;
      for (const int64_t* end = token + il.tokenCount; token != end; ++token) {
        if (*token == TemplateLayout::kCloseToken) {
          *at++ = ' ';
          *at++ = ')';
        } else {
          at = PutIndex(at, *token - shift);
        }
      }
      *at++ = ' ';
      out_.emplace_back(begin, at);
    }
    CopyRange(list.normalLine, int64_t{list.closeLine} + 1);
  }
}

namespace {

// The blanks and tabs a line starts with.
std::string IndentOf(const std::string& line) { return line.substr(0, line.find_first_not_of(" \t")); }

}  // namespace

// The prim_state_idx line and the first list's opening lines as they stand,
// then the list's vertex_idxs, normal_idxs and flags written anew (wrapped
// as opening a file wraps them), then the first list's closing line.
void ShapeWriter::WriteOwnTriangles(const Primitive& p, int lod, std::span<const int32_t> triangles,
                                    const VertexEstimate& estimate, std::size_t set) {
  const TriangleList& first = layout_.ListsOf(p).front();
  const GeometryPrimitive* original =
      p.row < static_cast<int>(original_.size()) ? original_[static_cast<std::size_t>(p.row)] : nullptr;
  if (!original) Refuse(GenerationMsg::PrimitiveIncomplete, int64_t{p.line} + 1);
  const TriangleEntries entries = EntriesOf(triangles, *original, geometry_->subObjects.front(), *geometry_);
  const std::string faces = std::to_string(triangles.size() / 3);

  CopyRange(first.firstLine, first.indexLine);
  std::string line = IndentOf(Line(first.indexLine)) + "vertex_idxs ( " + std::to_string(triangles.size());
  for (int32_t v : triangles) {
    const int64_t n = estimate.Renumber(set, layout_.setFirstVertex[set], v);
    if (n < 0) throw Error(GenerationMsg::TriangleVertexOutsideSet, p.row, lod, v, static_cast<int64_t>(set));
    line += ' ';
    AppendNumber(line, n);
  }
  AppendWrapped(out_, line + " )");
  line = IndentOf(Line(first.normalLine)) + "normal_idxs ( " + faces;
  for (const std::string& e : entries.normals) line += " " + e;
  AppendWrapped(out_, line + " )");
  line = IndentOf(Line(first.flagsLine)) + "flags ( " + faces;
  for (const std::string& f : entries.flags) line += " " + f;
  AppendWrapped(out_, line + " )");
  Copy(first.closeLine);
}

}  // namespace lodsmith
