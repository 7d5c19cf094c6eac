// Shape analysis, default assignment and the animation marks.
#include "document/analysis.h"
#include "document/animations.h"
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::AnalyseShape() {
  if (ShapeLines.empty()) return;
  // First, so that the status line tells of a broken structure even when
  // the analysis gives up on the shape.
  NoteShapeStructure();
  ShapeAnalysis a = lodsmith::AnalyseShape(ShapeLines);
  if (a.failure) {
    for (const auto& w : a.warnings) ShowMessage(MsgKind::Warning, MsgButtons::Ok, w);
    // The tables must not go on describing an earlier text: the generation
    // and the repair tools would otherwise work with them on this one.
    MatrixNames.clear();
    ImageNames.clear();
    TextureImage.clear();
    VtxStateMatrix.clear();
    VertexSets.clear();
    ElementVtxState.assign(1, 0);
    VertexSetCount = 0;
    StringGrid1.SetRowCount(2);
    StringGrid3.SetRowCount(2);
    for (int c = 0; c <= 2; ++c) {
      StringGrid1.SetCell(c, 1, "");
      StringGrid3.SetCell(c, 1, "");
    }
    Sub_ObjectsButton.Enabled = false;
    throw Error(*a.failure);
  }

  MatrixNames = std::move(a.matrixNames);
  ImageNames = std::move(a.imageNames);
  TextureImage = std::move(a.textureImage);
  VtxStateMatrix = std::move(a.vtxStateMatrix);
  VertexSets = std::move(a.vertexSets);
  VertexSetCount = static_cast<int32_t>(VertexSets.size());
  ElementVtxState = std::move(a.elementVtxState);

  // Only "Name", "Faces" (and "Image") are written: the assignment columns
  // and the animation marks keep what the user set.
  StringGrid3.SetRowCount(static_cast<int>(a.matrices.size()) + 1);
  for (std::size_t m = 0; m < a.matrices.size(); ++m) {
    const int row = static_cast<int>(m) + 1;
    StringGrid3.SetCell(0, row, a.matrices[m].name);
    StringGrid3.SetCell(1, row, std::to_string(a.matrices[m].faces));
  }
  StringGrid1.SetRowCount(static_cast<int>(a.elements.size()) + 1);
  for (std::size_t e = 0; e < a.elements.size(); ++e) {
    const int row = static_cast<int>(e) + 1;
    const ElementRow& el = a.elements[e];
    StringGrid1.SetCell(0, row, el.name);
    StringGrid1.SetCell(1, row, el.image);
    StringGrid1.SetCell(2, row, el.faces ? std::to_string(*el.faces) : std::string());
  }

  for (const auto& w : a.warnings) ShowMessage(MsgKind::Warning, MsgButtons::Ok, w);
  if (a.disableGeneration) Sub_ObjectsButton.Enabled = false;
}

void TLSForm::ApplyDefaultAssignment() {
  StringGrid2.SetCell(0, 1, "1");
  for (int k = 1; k <= LodCount; ++k)
    for (int r = 1; r < StringGrid2.RowCount(); ++r) StringGrid2.SetCell(k + 1, r, "");
  for (int k = 1; k <= LodCount; ++k)
    for (int r = 1; r < StringGrid1.RowCount(); ++r) StringGrid1.SetCell(k + 2, r, "1");
  RefreshSubObjectGrid();
  ReadMatrixAnimations();
}

void TLSForm::ReadMatrixAnimations() {
  std::vector<std::string> names;
  for (int r = 1; r < StringGrid3.RowCount(); ++r) names.push_back(StringGrid3.Cell(0, r));
  auto marks = lodsmith::ReadMatrixAnimations(ShapeLines, names);
  if (!marks) return;
  for (std::size_t m = 0; m < marks->size(); ++m)
    StringGrid3.SetCell(2, static_cast<int>(m) + 1, (*marks)[m] ? "x" : "");
}

}  // namespace lodsmith
