// One output sub-object: its per-matrix counts, its header (sub_object_header,
// geometry_info, geometry_nodes, geometry_node_map) and its closing lines.
// The vertices and primitives in between are written by vertex_writer.cpp.
#include <algorithm>

#include "generation/refusal.h"
#include "generation/shape_writer.h"

namespace lodsmith {

namespace {

int32_t Checked32(int64_t value, GenerationMsg tooLarge) {
  if (value > INT32_MAX || value < INT32_MIN) Refuse(tooLarge);
  return static_cast<int32_t>(value);
}

}  // namespace

void ShapeWriter::WriteSubObject(int lod, int subObject) {
  const SubObjectCounts counts = CountSubObject(lod, subObject);
  WriteHeader(lod, subObject, counts);
  Progress(ProgressLabel::Stage, Message(GenerationMsg::VerticesProgress));
  const VertexEstimate estimate = EstimateVertexSets(a_, lod, subObject, t_.elementVtxState, t_.vertexSets);
  // Each element's prim_state_idx and each of its triangle lists.
  WriteVertexBlocks(estimate, int64_t{counts.SubObjectElementCount} + counts.SubObjectListCount);
  WritePrimitives(lod, subObject, estimate);
  // The closing lines of primitives and of the sub-object.
  Copy(int64_t{layout_.SubObjectEndLine} - 1);
  Copy(layout_.SubObjectEndLine);
}

ShapeWriter::SubObjectCounts ShapeWriter::CountSubObject(int lod, int subObject) const {
  SubObjectCounts counts;
  counts.MatrixUse.assign(static_cast<std::size_t>(std::max(t_.matrixCount, 0)), TMatrixUse{});
  counts.MatrixLists.assign(counts.MatrixUse.size(), 0);
  int64_t faces = 0;
  std::vector<int64_t> matrixFaces(counts.MatrixUse.size(), 0);
  const std::span<const int32_t> states = t_.elementVtxState;
  for (int r = 1; r <= a_.ElementCount(); ++r) {
    if (!a_.Cell(r, lod).Places(subObject)) continue;
    const int32_t state = r < static_cast<int>(states.size()) ? states[static_cast<std::size_t>(r)] : -1;
    const int32_t m = state >= 0 && state < static_cast<int32_t>(t_.vtxStateMatrix.size())
                          ? t_.vtxStateMatrix[static_cast<std::size_t>(state)]
                          : -1;
    if (m < 0 || m >= static_cast<int32_t>(counts.MatrixUse.size())) Refuse(GenerationMsg::ElementWithoutMatrix, r);
    const AssignedElement& e = a_.elements[static_cast<std::size_t>(r - 1)];
    if (!e.faces) Refuse(GenerationMsg::FacesNotInteger, r, e.name);
    // An element with triangles of its own writes them as one list. An
    // element the template has no primitive for is refused before writing;
    // count it as one list like every other.
    const std::vector<int32_t>* own = a_.Triangles(lod, r);
    const int32_t lists = own ? 1 : static_cast<int32_t>(std::max<uint32_t>(layout_.ListCount(r), 1));
    const int64_t elementFaces = own ? static_cast<int64_t>(own->size() / 3) : int64_t{*e.faces};
    ++counts.SubObjectElementCount;
    counts.SubObjectListCount += lists;
    ++counts.MatrixUse[static_cast<std::size_t>(m)].ElementCount;
    counts.MatrixLists[static_cast<std::size_t>(m)] += lists;
    faces += elementFaces;
    matrixFaces[static_cast<std::size_t>(m)] += elementFaces;
  }
  counts.SubObjectFaceCount = Checked32(faces, GenerationMsg::SubObjectFacesTooLarge);
  // Three indices per face are written next to each count.
  Checked32(3 * faces, GenerationMsg::SubObjectIndicesTooLarge);
  for (std::size_t m = 0; m < counts.MatrixUse.size(); ++m)
    counts.MatrixUse[m].FaceCount = static_cast<int32_t>(matrixFaces[m]);
  return counts;
}

void ShapeWriter::WriteHeader(int lod, int subObject, const SubObjectCounts& counts) {
  Progress(ProgressLabel::SubObject, Message(GenerationMsg::SubObjectProgress, lod, subObject));
  const bool sorted = a_.Sorted(lod, subObject);
  for (const HeaderLine& h : layout_.header) {
    std::string line = Line(h.line);

    if (sorted && h.subObjectHeader) {
      if (!h.sortable) Refuse(GenerationMsg::FlagsWordCannotSort, ValueAfter(line, "sub_object_header", 1));
      ReplaceValueAfter(line, "sub_object_header", 1, h.sortedFlags);
      ReplaceValueAfter(line, "sub_object_header", 2, std::to_string(sortedIndex_));
      ++sortedIndex_;
      ReplaceValueAfter(line, "sub_object_header", 3, std::to_string(sortedIndex_));
    }

    if (h.geometryInfo) {
      ReplaceValueAfter(line, "geometry_info", 1, std::to_string(counts.SubObjectFaceCount));
      ReplaceValueAfter(line, "geometry_info", 2, std::to_string(counts.SubObjectElementCount));
      ReplaceValueAfter(line, "geometry_info", 4, std::to_string(3 * int64_t{counts.SubObjectFaceCount}));
      ReplaceValueAfter(line, "geometry_info", 7, std::to_string(counts.SubObjectListCount));
    }

    if (h.nodes >= 0) {
      // A node for each matrix of the template's nodes that the sub-object
      // uses, each a copy of the template's first node.
      const auto nodes = std::span<const TMatrixUse>(counts.MatrixUse).first(static_cast<std::size_t>(h.nodes));
      const auto used =
          std::count_if(nodes.begin(), nodes.end(), [](const TMatrixUse& u) { return u.ElementCount > 0; });
      ReplaceValueAfter(line, "geometry_nodes", 1, std::to_string(used));
      out_.push_back(std::move(line));
      for (std::size_t m = 0; m < nodes.size(); ++m) {
        const TMatrixUse& use = nodes[m];
        if (use.ElementCount <= 0) continue;
        std::string node = Line(int64_t{h.line} + 1);
        ReplaceValueAfter(node, "geometry_node", 1, std::to_string(use.ElementCount));
        out_.push_back(std::move(node));
        std::string cull = Line(int64_t{h.line} + 2);
        cull.resize(cull.find("cullable_prims") + 14);
        cull += " ( " + std::to_string(counts.MatrixLists[m]) + " " + std::to_string(use.FaceCount) + " " +
                std::to_string(3 * int64_t{use.FaceCount}) + " )";
        out_.push_back(std::move(cull));
        Copy(int64_t{h.line} + 3);
      }
      continue;
    }

    if (h.nodeMap) {
      for (int64_t i = int64_t{h.line} + 1; i <= h.lastLine; ++i) line += Line(i);
      line.resize(line.find("geometry_node_map") + 17);
      line += " ( " + std::to_string(h.mapNodes);
      int32_t written = 0;
      for (const TMatrixUse& use :
           std::span<const TMatrixUse>(counts.MatrixUse).first(static_cast<std::size_t>(h.mapNodes)))
        line += use.ElementCount <= 0 ? std::string(" -1") : " " + std::to_string(written++);
      line += " )";
    }

    out_.push_back(std::move(line));
  }
}

}  // namespace lodsmith
