// Assignment editing, the vertex estimate and the sub-object grid.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/grid_columns.h"
#include "core/lod_distance.h"
#include "generation/generation_messages.h"
#include "generation/vertex_estimate.h"
#include "ui/tlsform.h"

namespace lodsmith {

using namespace grid;

namespace {

constexpr int32_t kAbsent = AssignmentCell::kAbsent;

// 0..99 or 999: what an assignment cell and NrEdit accept.
bool ValidAssignment(const std::string& text) {
  auto v = ParseInt32(text);
  return v && *v >= 0 && (*v < 100 || *v == kAbsent);
}

}  // namespace

// ---- Vertex estimate and sub-object grid -------------------------------------

VertexEstimate TLSForm::EstimateVertices(int lod, int subObject) {
  return EstimateVertexSets(CurrentAssignment(), lod, subObject, ElementVtxState, VertexSets);
}

void TLSForm::RefreshSubObjectGrid() {
  const LodAssignment a = CurrentAssignment();
  int32_t maxSub = 1;
  for (int lod = 1; lod <= LodCount; ++lod) {
    int64_t faces = 0;
    for (int r = 1; r <= a.ElementCount(); ++r) {
      const AssignmentCell& cell = a.Cell(r, lod);
      const std::optional<int32_t>& f = a.elements[static_cast<std::size_t>(r - 1)].faces;
      const int32_t n = cell.number();
      // A number above the absent marker is no sub-object anybody typed (only
      // a hand-edited settings file holds one); it would otherwise make the
      // grid grow to that many rows. It counts as a cell that does not parse.
      if (!cell.IsNumber() || n > kAbsent || (n != kAbsent && !f)) {
        StringGrid2.SetRowCount(2);
        StringGrid2.SetCell(kSubObjectNumber, 1, "");
        StringGrid2.SetCell(kSubObjectVertices, 1, "");
        return;
      }
      if (n == kAbsent) continue;
      faces += *f;
      // The rows follow the number a cell holds, as typed ("05" is 5).
      maxSub = std::max(maxSub, n);
    }
    StringGrid5.SetCell(kOverviewFaces, lod, std::to_string(faces));
  }

  StringGrid2.SetRowCount(maxSub + 1);
  for (int s = 1; s <= maxSub; ++s) {
    StringGrid2.SetCell(kSubObjectNumber, s, std::to_string(s));
    // The recount runs on every click, so it shows no message: an element
    // whose vtx_state has no vertex set in the first sub-object (a shape that
    // was split before) adds nothing to the count.
    const int64_t vertices = ShownVertexCount(a, LODSpinEdit.Value, s, ElementVtxState, VertexSets);
    StringGrid2.SetCell(kSubObjectVertices, s, std::to_string(vertices));
  }
}

// ---- Grid cells ----------------------------------------------------------------

void TLSForm::StringGrid1SelectCell(int ACol, int ARow, bool& CanSelect) {
  RefreshSubObjectGrid();
  CanSelect = ACol >= ElementLodColumn(1);
  if (CanSelect) {
    StringGrid1.Col = ACol;
    StringGrid1.Row = ARow;
  }
}

void TLSForm::StringGrid1SetEditText(int ACol, int ARow, const std::string& Value) {
  StringGrid1.SetCell(ACol, ARow, Value);
  if (Value.empty() || ValidAssignment(Value)) return;
  ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(GenerationMsg::AssignmentRefused));
  LastOutcome = Outcome::Refused;
  StringGrid1.SetCell(ACol, ARow, "");
}

void TLSForm::StringGrid1Exit() { RefreshSubObjectGrid(); }

void TLSForm::StringGrid2SelectCell(StringGrid& Sender, int ACol, int ARow, bool& CanSelect) {
  CanSelect = ACol >= SubObjectSortColumn(1);
  if (CanSelect) {
    Sender.Col = ACol;
    Sender.Row = ARow;
  }
}

void TLSForm::StringGrid2SetEditText(StringGrid& Sender, int ACol, int ARow, const std::string& Value) {
  Sender.SetCell(ACol, ARow, Value);
  if (Value.empty() || Value == "x" || Value == "X") return;
  ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(GenerationMsg::SortMarkRefused));
  LastOutcome = Outcome::Refused;
  Sender.SetCell(ACol, ARow, "");
}

void TLSForm::StringGrid4SelectCell(int ACol, int ARow, bool& CanSelect) {
  CanSelect = ACol >= kDistance;
  if (CanSelect) {
    StringGrid4.Col = ACol;
    StringGrid4.Row = ARow;
  }
}

void TLSForm::StringGrid4SetEditText(int ACol, int ARow, const std::string& Value) {
  StringGrid4.SetCell(ACol, ARow, Value);
  auto v = ParseInt32(Value);
  if (!Value.empty() && (!v || !DistanceInRange(*v))) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(GenerationMsg::DistanceRefused));
    LastOutcome = Outcome::Refused;
    StringGrid4.SetCell(ACol, ARow, "");
    v.reset();
  }
  // The overview mirrors the distance cell: a cleared or refused distance
  // leaves it empty too rather than showing a number nobody entered.
  StringGrid5.SetCell(kOverviewDistance, ARow, v ? std::to_string(*v) : std::string());
}

void TLSForm::StringGrid4Exit() {
  for (int r = 1; r < StringGrid4.RowCount(); ++r) {
    if (!StringGrid4.Cell(kDistance, r).empty()) continue;
    StringGrid4.Col = kDistance;
    StringGrid4.Row = r;
    platform().FocusControl("StringGrid4");
    ShowMessage(MsgKind::Information, MsgButtons::Ok, Message(GenerationMsg::DistanceMissingHint));
    return;
  }
}

// ---- LOD count and the LOD shown ---------------------------------------------------

void TLSForm::LODAnzSpinEditChange() {
  const int v = LODAnzSpinEdit.Value;
  if (v >= 100) return;
  StringGrid4.SetRowCount(v + 1);
  for (int r = 1; r <= v; ++r) {
    StringGrid4.SetCell(kDistanceLod, r, std::to_string(r));
    if (StringGrid4.Cell(kDistance, r).empty()) StringGrid4.SetCell(kDistance, r, "2000");
  }
}

void TLSForm::LODAnzSpinEditExit() {
  LodCount = LODAnzSpinEdit.Value;
  LODSpinEdit.MaxValue = LodCount;
  LODSpinEdit.Enabled = LodCount != 1;
  if (LODSpinEdit.Value > LodCount) SetLODSpinEditValue(LodCount);

  StringGrid1.SetColCount(ElementLodColumn(LodCount) + 1);
  StringGrid2.SetColCount(SubObjectSortColumn(LodCount) + 1);
  StringGrid5.SetRowCount(LodCount + 1);
  for (int k = 1; k <= LodCount; ++k) {
    const std::string header = "L " + std::to_string(k);
    StringGrid1.SetCell(ElementLodColumn(k), kHeaderRow, header);
    StringGrid2.SetCell(SubObjectSortColumn(k), kHeaderRow, header);
    for (int r = 1; r < StringGrid1.RowCount(); ++r)
      if (StringGrid1.Cell(ElementLodColumn(k), r).empty()) StringGrid1.SetCell(ElementLodColumn(k), r, "1");
    StringGrid5.SetCell(kOverviewLod, k, std::to_string(k));
    StringGrid5.SetCell(kOverviewDistance, k, StringGrid4.Cell(kDistance, k));
  }
}

void TLSForm::LODSpinEditChange() {
  const int n = LODSpinEdit.Value;
  RefreshSubObjectGrid();
  StringGrid2.SetCell(kSubObjectVertices, kHeaderRow, "Vert. L " + std::to_string(n));
  Label21.Caption = LanguageText(38) + " L " + std::to_string(n) + " =";
  if (n < 2) {
    Label22.Caption.clear();
    DoButton1.Enabled = false;
  } else {
    Label22.Caption = "L " + std::to_string(n - 1) + " -> L " + std::to_string(n) + ":";
    DoButton1.Enabled = true;
  }
}

void TLSForm::SetLODSpinEditValue(int value) {
  value = std::clamp(value, LODSpinEdit.MinValue, std::max(LODSpinEdit.MinValue, LODSpinEdit.MaxValue));
  if (value == LODSpinEdit.Value) return;
  LODSpinEdit.Value = value;
  LODSpinEditChange();
}

void TLSForm::SetLODAnzSpinEditValue(int value) {
  value = std::clamp(value, LODAnzSpinEdit.MinValue, std::max(LODAnzSpinEdit.MinValue, LODAnzSpinEdit.MaxValue));
  if (value == LODAnzSpinEdit.Value) return;
  LODAnzSpinEdit.Value = value;
  LODAnzSpinEditChange();
}

// ---- Bulk edits ----------------------------------------------------------------------

void TLSForm::DoButtonClick() {
  if (ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, 62) != MsgResult::Yes) return;
  if (!ValidAssignment(NrEdit.Text)) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(GenerationMsg::BulkNumberRefused));
    LastOutcome = Outcome::Refused;
    return;
  }
  const int col = ElementLodColumn(LODSpinEdit.Value);
  for (int r = 1; r < StringGrid1.RowCount(); ++r) StringGrid1.SetCell(col, r, NrEdit.Text);
  RefreshSubObjectGrid();
}

void TLSForm::DoButton1Click() {
  if (ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, 62) != MsgResult::Yes) return;
  const int n = LODSpinEdit.Value;
  // LOD 1 has no previous LOD: its left neighbour is the "Faces" column.
  if (n < 2) return;
  for (int r = 1; r < StringGrid1.RowCount(); ++r)
    StringGrid1.SetCell(ElementLodColumn(n), r, StringGrid1.Cell(ElementLodColumn(n - 1), r));
  RefreshSubObjectGrid();
}

void TLSForm::AnimResetButtonClick() {
  if (ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, 62) != MsgResult::Yes) return;
  ReadMatrixAnimations();
}

void TLSForm::ZeilePlusButtonClick() {
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(GenerationMsg::ShiftRowsDown)) != MsgResult::Yes)
    return;
  const int c = StringGrid1.Row;
  const int last = StringGrid1.RowCount() - 1;
  if (c < 1 || c > last) return;
  const int firstCol = ElementLodColumn(1), lastCol = ElementLodColumn(LODAnzSpinEdit.Value);
  for (int r = last; r > c; --r)
    for (int col = firstCol; col <= lastCol; ++col) StringGrid1.SetCell(col, r, StringGrid1.Cell(col, r - 1));
  for (int col = firstCol; col <= lastCol; ++col) StringGrid1.SetCell(col, c, "");
  RefreshSubObjectGrid();
}

void TLSForm::ZeileMinusButtonClick() {
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(GenerationMsg::ShiftRowsUp)) != MsgResult::Yes)
    return;
  const int c = StringGrid1.Row;
  const int last = StringGrid1.RowCount() - 1;
  if (c < 1 || c > last) return;
  const int firstCol = ElementLodColumn(1), lastCol = ElementLodColumn(LODAnzSpinEdit.Value);
  for (int r = c + 1; r <= last; ++r)
    for (int col = firstCol; col <= lastCol; ++col) StringGrid1.SetCell(col, r - 1, StringGrid1.Cell(col, r));
  for (int col = firstCol; col <= lastCol; ++col) StringGrid1.SetCell(col, last, "");
  RefreshSubObjectGrid();
}

}  // namespace lodsmith
