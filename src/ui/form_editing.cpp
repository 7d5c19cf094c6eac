// Assignment editing, the vertex estimate and the sub-object grid.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/grid_columns.h"
#include "generation/generation_messages.h"
#include "generation/lod_assignment.h"
#include "generation/vertex_estimate.h"
#include "ui/tlsform.h"

namespace lodsmith {

using namespace grid;

// ---- Vertex estimate and sub-object grid -------------------------------------

VertexEstimate TLSForm::EstimateVertices(int lod, int subObject) {
  return EstimateVertexSets(session.Assignment(), lod, subObject, ElementVtxState, VertexSets);
}

void TLSForm::RefreshSubObjectGrid() { session.RefreshSubObjects(LODSpinEdit.Value); }

// ---- Grid cells ----------------------------------------------------------------

void TLSForm::StringGrid1SelectCell(int ACol, int ARow, bool& CanSelect) {
  RefreshSubObjectGrid();
  CanSelect = StringGrid1.SelectIf(ACol >= ElementLodColumn(1), ACol, ARow);
}

// A refused edit is told as a warning; the session has emptied the cell.
void TLSForm::StringGrid1SetEditText(int ACol, int ARow, const std::string& Value) {
  try {
    session.SetCell(ARow, ACol - ElementLodColumn(1) + 1, Value);
  } catch (const Error& e) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.message());
  }
}

void TLSForm::StringGrid1Exit() { RefreshSubObjectGrid(); }

void TLSForm::StringGrid2SelectCell(StringGrid& Sender, int ACol, int ARow, bool& CanSelect) {
  CanSelect = Sender.SelectIf(ACol >= SubObjectSortColumn(1), ACol, ARow);
}

void TLSForm::StringGrid2SetEditText(StringGrid& Sender, int ACol, int ARow, const std::string& Value) {
  try {
    if (&Sender == &StringGrid3 && ACol == kMatrixAnimated)
      session.SetAnimationMark(ARow, Value);
    else if (&Sender == &StringGrid2)
      session.SetSortMark(ACol - SubObjectSortColumn(1) + 1, ARow, Value);
    else
      Session::SetMark(Sender, ACol, ARow, Value);
  } catch (const Error& e) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.message());
  }
}

void TLSForm::StringGrid4SelectCell(int ACol, int ARow, bool& CanSelect) {
  CanSelect = StringGrid4.SelectIf(ACol >= kDistance, ACol, ARow);
}

void TLSForm::StringGrid4SetEditText(int ACol, int ARow, const std::string& Value) {
  if (ACol != kDistance) return StringGrid4.SetCell(ACol, ARow, Value);
  try {
    session.SetDistance(ARow, Value);
  } catch (const Error& e) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.message());
  }
  // An `auto` LOD follows the distances of the LODs before it.
  if (session.AnyLodSimplified()) RefreshSubObjectGrid();
}

void TLSForm::StringGrid4Exit() {
  const int r = session.FirstLodWithoutDistance();
  if (r == 0) return;
  StringGrid4.Col = kDistance;
  StringGrid4.Row = r;
  platform().FocusControl("StringGrid4");
  ShowMessage(MsgKind::Information, MsgButtons::Ok, Message(GenerationMsg::DistanceMissingHint));
}

// ---- LOD count and the LOD shown ---------------------------------------------------

void TLSForm::LODAnzSpinEditChange() { session.ResizeDistances(LODAnzSpinEdit.Value); }

void TLSForm::ShowLodCount() {
  LODSpinEdit.MaxValue = LodCount;
  LODSpinEdit.Enabled = LodCount != 1;
  if (LODSpinEdit.Value > LodCount) SetLODSpinEditValue(LodCount);
}

void TLSForm::LODAnzSpinEditExit() {
  LodCount = LODAnzSpinEdit.Value;
  ShowLodCount();
  session.CommitLodCount(LODAnzSpinEdit.Value);
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
  try {
    session.AssignLod(LODSpinEdit.Value, NrEdit.Text);
  } catch (const Error& e) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.message());
    return;
  }
  RefreshSubObjectGrid();
}

void TLSForm::DoButton1Click() {
  if (ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, 62) != MsgResult::Yes) return;
  if (session.CopyPreviousLod(LODSpinEdit.Value)) RefreshSubObjectGrid();
}

void TLSForm::AnimResetButtonClick() {
  if (ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, 62) != MsgResult::Yes) return;
  ReadMatrixAnimations();
}

void TLSForm::ZeilePlusButtonClick() {
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(GenerationMsg::ShiftRowsDown)) != MsgResult::Yes)
    return;
  if (session.ShiftAssignments(StringGrid1.Row, LODAnzSpinEdit.Value, true)) RefreshSubObjectGrid();
}

void TLSForm::ZeileMinusButtonClick() {
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(GenerationMsg::ShiftRowsUp)) != MsgResult::Yes)
    return;
  if (session.ShiftAssignments(StringGrid1.Row, LODAnzSpinEdit.Value, false)) RefreshSubObjectGrid();
}

}  // namespace lodsmith
