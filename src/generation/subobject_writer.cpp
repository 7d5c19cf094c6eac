// One output sub-object: its per-matrix counts, its header (sub_object_header,
// geometry_info, geometry_nodes, geometry_node_map) and its closing lines.
// The vertices and primitives in between are written by vertex_writer.cpp.
#include <algorithm>

#include "generation/generator.h"
#include "generation/vertex_estimate.h"

namespace lodsmith {

namespace {

[[noreturn]] void Refuse(const std::string& message) {
  throw GenerationError(GenerationFailure::Refused, message + " Abbruch der Aktion.");
}

int32_t Checked32(int64_t value, const std::string& what) {
  if (value > INT32_MAX || value < INT32_MIN) Refuse(what + " ist zu groß.");
  return static_cast<int32_t>(value);
}

bool AllDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool Generator::InCurrentSubObject(int row) const {
  return InSubObject(in_.Elements.Cell(CurrentLod + 2, row), CurrentSubObject);
}

int32_t Generator::FacesOf(int row) const {
  auto faces = ParseInt32(in_.Elements.Cell(2, row));
  if (!faces)
    Refuse("Element " + std::to_string(row) + " (" + in_.Elements.Cell(0, row) +
           ") hat in der Spalte \"Faces\" keine ganze Zahl.");
  return *faces;
}

void Generator::WriteSubObject() {
  CountMatrixUse();
  WriteSubObjectHeader();
  WriteVertexBlocks();
  for (int r = 1; r < in_.Elements.RowCount(); ++r) WritePrimitive();
  WriteSubObjectClose();
}

void Generator::CountMatrixUse() {
  std::fill(MatrixUse.begin(), MatrixUse.end(), TMatrixUse{});
  SubObjectElementCount = 0;
  SubObjectFaceCount = 0;
  int64_t faces = 0;
  std::vector<int64_t> matrixFaces(MatrixUse.size(), 0);
  for (int r = 1; r < in_.Elements.RowCount(); ++r) {
    if (!InCurrentSubObject(r)) continue;
    const int32_t state = r < static_cast<int>(in_.ElementVtxState.size()) ? in_.ElementVtxState[r] : -1;
    const int32_t m = state >= 0 && state < static_cast<int32_t>(in_.VtxStateMatrix.size()) ? in_.VtxStateMatrix[state]
                                                                                            : -1;
    if (m < 0 || m >= static_cast<int32_t>(MatrixUse.size()))
      Refuse("Element " + std::to_string(r) + " verweist auf keine vorhandene Matrix.");
    const int32_t f = FacesOf(r);
    ++SubObjectElementCount;
    ++MatrixUse[m].ElementCount;
    faces += f;
    matrixFaces[m] += f;
  }
  SubObjectFaceCount = Checked32(faces, "Die Flächenzahl des Subobjekts");
  // Three indices per face are written next to each count.
  Checked32(3 * faces, "Die Indexzahl des Subobjekts");
  for (std::size_t m = 0; m < MatrixUse.size(); ++m) MatrixUse[m].FaceCount = static_cast<int32_t>(matrixFaces[m]);
}

void Generator::WriteSubObjectHeader() {
  Progress(ProgressLabel::SubObject, SubObjectProgressText(CurrentLod, CurrentSubObject));
  TemplateCursor = FirstSubObjectLine;
  nodeCount_ = 0;
  const bool sorted = FoldCase(in_.SubObjects.Cell(CurrentLod + 1, CurrentSubObject)) == "x";
  auto outOfHeader = [&] {
    if (TemplateCursor >= VerticesLine)
      Refuse("Der Kopf des Subobjekts (ab Zeile " + std::to_string(FirstSubObjectLine + 1) +
             ") passt nicht zu seinen geometry_nodes.");
  };
  do {
    outOfHeader();
    std::string line = At(TemplateCursor);

    if (sorted && Contains(line, "sub_object_header")) {
      std::string flags = ValueAfter(line, "sub_object_header", 1);
      auto value = ParseInt32(flags);
      if (!value || !AllDigits(flags) || flags.size() < 3)
        Refuse("Das Flag-Wort \"" + flags +
               "\" in sub_object_header ist keine Dezimalzahl mit mindestens drei Ziffern; das Subobjekt kann "
               "nicht sortiert werden.");
      if (*value % 2 == 0) {
        // Sets the sort bit of the hexadecimal flags word. A '9' steps to the
        // next hexadecimal digit rather than to a character that is none.
        char& c = flags[flags.size() - 3];
        c = c == '9' ? 'a' : static_cast<char>(c + 1);
      }
      ReplaceValueAfter(line, "sub_object_header", 1, flags);
      ReplaceValueAfter(line, "sub_object_header", 2, std::to_string(SortedIndex));
      ++SortedIndex;
      ReplaceValueAfter(line, "sub_object_header", 3, std::to_string(SortedIndex));
    }

    if (Contains(line, "geometry_info")) {
      ReplaceValueAfter(line, "geometry_info", 1, std::to_string(SubObjectFaceCount));
      ReplaceValueAfter(line, "geometry_info", 2, std::to_string(SubObjectElementCount));
      ReplaceValueAfter(line, "geometry_info", 4, std::to_string(3 * SubObjectFaceCount));
      ReplaceValueAfter(line, "geometry_info", 7, std::to_string(SubObjectElementCount));
    }

    if (Contains(line, "geometry_nodes")) {
      auto n = ParseInt32(ValueAfter(line, "geometry_nodes", 1));
      if (!n || *n < 0 || *n > static_cast<int32_t>(MatrixUse.size()))
        Refuse("Die Zahl der geometry_nodes in Zeile " + std::to_string(TemplateCursor + 1) +
               " passt nicht zu den Matrizen der Datei.");
      nodeCount_ = *n;
      int32_t used = 0;
      for (int32_t j = 0; j < nodeCount_; ++j)
        if (MatrixUse[j].ElementCount > 0) ++used;
      ReplaceValueAfter(line, "geometry_nodes", 1, std::to_string(used));
      out_.push_back(std::move(line));
      ++TemplateCursor;
      // Every written node is a copy of the template's first node.
      for (int32_t j = 0; j < nodeCount_; ++j) {
        const TMatrixUse& use = MatrixUse[j];
        if (use.ElementCount <= 0) continue;
        std::string node = At(TemplateCursor);
        if (Contains(node, "geometry_node")) ReplaceValueAfter(node, "geometry_node", 1, std::to_string(use.ElementCount));
        out_.push_back(std::move(node));
        std::string cull = At(int64_t{TemplateCursor} + 1);
        if (auto k = cull.find("cullable_prims"); k != std::string::npos) {
          cull.resize(k + 14);
          cull += " ( " + std::to_string(use.ElementCount) + " " + std::to_string(use.FaceCount) + " " +
                  std::to_string(3 * use.FaceCount) + " )";
        }
        out_.push_back(std::move(cull));
        Append(int64_t{TemplateCursor} + 2);
      }
      TemplateCursor += 3 * nodeCount_;
      outOfHeader();
      line = At(TemplateCursor);
    }

    if (Contains(line, "geometry_node_map")) {
      while (line.find(')') == std::string::npos) {
        ++TemplateCursor;
        outOfHeader();
        line += At(TemplateCursor);
      }
      line.resize(line.find("geometry_node_map") + 17);
      line += " ( " + std::to_string(nodeCount_);
      int32_t written = 0;
      for (int32_t j = 0; j < nodeCount_; ++j) {
        if (MatrixUse[j].ElementCount <= 0)
          line += " -1";
        else
          line += " " + std::to_string(written++);
      }
      line += " )";
    }

    out_.push_back(std::move(line));
    ++TemplateCursor;
  } while (TemplateCursor != VerticesLine);
}

void Generator::WriteSubObjectClose() {
  TemplateCursor = SubObjectEndLine - 1;
  Append(TemplateCursor);
  ++TemplateCursor;
  Append(TemplateCursor);
  ++TemplateCursor;
}

}  // namespace lodsmith
