// Shape analysis, default assignment and the animation marks.
#include "core/grid_columns.h"
#include "document/analysis.h"
#include "document/animations.h"
#include "ui/tlsform.h"

namespace lodsmith {

using namespace grid;

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
    Analysis = ShapeAnalysis{};
    ElementVtxState.assign(1, 0);
    StringGrid1.SetRowCount(2);
    StringGrid3.SetRowCount(2);
    for (int c = kElementName; c <= kElementFaces; ++c) StringGrid1.SetCell(c, 1, "");
    for (int c = kMatrixName; c <= kMatrixAnimated; ++c) StringGrid3.SetCell(c, 1, "");
    Sub_ObjectsButton.Enabled = false;
    throw Error(*a.failure);
  }
  Analysis = std::move(a);

  // Only "Name", "Faces" (and "Image") are written: the assignment columns
  // and the animation marks keep what the user set.
  const std::vector<MatrixRow>& matrices = Analysis.matrices;
  StringGrid3.SetRowCount(static_cast<int>(matrices.size()) + 1);
  for (std::size_t m = 0; m < matrices.size(); ++m) {
    const int row = static_cast<int>(m) + 1;
    StringGrid3.SetCell(kMatrixName, row, matrices[m].name);
    StringGrid3.SetCell(kMatrixFaces, row, std::to_string(matrices[m].faces));
  }
  const std::vector<ElementRow>& elements = Analysis.elements;
  StringGrid1.SetRowCount(static_cast<int>(elements.size()) + 1);
  for (std::size_t e = 0; e < elements.size(); ++e) {
    const int row = static_cast<int>(e) + 1;
    const ElementRow& el = elements[e];
    StringGrid1.SetCell(kElementName, row, el.name);
    StringGrid1.SetCell(kElementImage, row, el.image);
    StringGrid1.SetCell(kElementFaces, row, el.faces ? std::to_string(*el.faces) : std::string());
  }

  for (const auto& w : Analysis.warnings) ShowMessage(MsgKind::Warning, MsgButtons::Ok, w);
  if (Analysis.disableGeneration) Sub_ObjectsButton.Enabled = false;
}

void TLSForm::ApplyDefaultAssignment() {
  StringGrid2.SetCell(kSubObjectNumber, 1, "1");
  for (int k = 1; k <= LodCount; ++k)
    for (int r = 1; r < StringGrid2.RowCount(); ++r) StringGrid2.SetCell(SubObjectSortColumn(k), r, "");
  for (int k = 1; k <= LodCount; ++k)
    for (int r = 1; r < StringGrid1.RowCount(); ++r) StringGrid1.SetCell(ElementLodColumn(k), r, "1");
  RefreshSubObjectGrid();
  ReadMatrixAnimations();
}

void TLSForm::ReadMatrixAnimations() {
  std::vector<std::string> names;
  for (int r = 1; r < StringGrid3.RowCount(); ++r) names.push_back(StringGrid3.Cell(kMatrixName, r));
  auto marks = lodsmith::ReadMatrixAnimations(ShapeLines, names);
  if (!marks) return;
  for (std::size_t m = 0; m < marks->size(); ++m)
    StringGrid3.SetCell(kMatrixAnimated, static_cast<int>(m) + 1, (*marks)[m] ? "x" : "");
}

}  // namespace lodsmith
