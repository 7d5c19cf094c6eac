// Assignment editing, the vertex estimate and the sub-object grid.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "generation/vertex_estimate.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {

const char* const kElementRefused = "Bitte nur positive ganze Zahlen 1...99 oder 0 oder 999 eintragen!";
const char* const kMarkRefused = "Bitte nur \"x\" oder \"X\" eintragen!";
const char* const kDistanceRefused = "Bitte nur positive ganze Zahlen 1...2000 eintragen!";
const char* const kDistanceMissing = "Bitte Wert eintragen.";
const char* const kNrRefused = "Bitte nur ganze Zahlen 0...99 oder 999 eintragen!";
const char* const kShiftDown =
    "Ab der Zeile mit dem Fokus alle Nummern eine Zeile nach unten rücken (sinnvoll, falls ein Element "
    "hinzugekommen ist)?";
const char* const kShiftUp =
    "Alle Nummern unterhalb der Zeile mit dem Fokus eine Zeile nach oben rücken (sinnvoll, falls ein Element "
    "entfernt wurde)?";

// The absent-from-this-LOD marker of the assignment columns.
constexpr int32_t kAbsent = 999;

// 0..99 or 999: what an assignment cell and NrEdit accept.
bool ValidAssignment(const std::string& text) {
  auto v = ParseInt32(text);
  return v && *v >= 0 && (*v < 100 || *v == kAbsent);
}

// The vertex count shown for a sub-object when the estimate cannot fill the
// shifts because an element of it uses a vtx_state without a vertex set in
// the first sub-object (a shape that was split before): such an element
// brings no vertices, every other one counts its vertex set once, as in the
// estimate. Summed in 64 bits: the counts come from the file, and a sum that
// does not fit 32 bits is shown as it is rather than wrapped.
int64_t ShownVertexCount(const StringGrid& grid, int lod, int subObject, const std::vector<int32_t>& elementVtxState,
                         const std::vector<TVertexSetEntry>& vertexSets, int32_t vertexSetCount) {
  const int n = std::min<int>(vertexSetCount, static_cast<int>(vertexSets.size()));
  std::vector<bool> used(static_cast<std::size_t>(std::max(n, 0)), false);
  for (int r = 1; r < grid.RowCount(); ++r) {
    if (!InSubObject(grid.Cell(lod + 2, r), subObject)) continue;
    if (r >= static_cast<int>(elementVtxState.size())) continue;
    const int32_t state = elementVtxState[r];
    if (state >= 0 && state < n) used[static_cast<std::size_t>(state)] = true;
  }
  int64_t total = 0;
  for (int i = 0; i < n; ++i)
    if (used[static_cast<std::size_t>(i)]) total += vertexSets[i].VertexCount;
  return total;
}

}  // namespace

// ---- Vertex estimate and sub-object grid -------------------------------------

int32_t TLSForm::EstimateVertices(int lod, int subObject) {
  return EstimateVertexSets(StringGrid1, lod, subObject, ElementVtxState, VertexSets, VertexSetCount);
}

void TLSForm::RefreshSubObjectGrid() {
  int32_t maxSub = 1;
  const int rows = StringGrid1.RowCount();
  for (int lod = 1; lod <= LodCount; ++lod) {
    int64_t faces = 0;
    for (int r = 1; r < rows; ++r) {
      auto a = ParseInt32(StringGrid1.Cell(lod + 2, r));
      std::optional<int32_t> f;
      if (a && *a != kAbsent) f = ParseInt32(StringGrid1.Cell(2, r));
      // A number above the absent marker is no sub-object anybody typed (only
      // a hand-edited settings file holds one); it would otherwise make the
      // grid grow to that many rows. It counts as a cell that does not parse.
      if (!a || *a > kAbsent || (*a != kAbsent && !f)) {
        StringGrid2.SetRowCount(2);
        StringGrid2.SetCell(0, 1, "");
        StringGrid2.SetCell(1, 1, "");
        return;
      }
      if (*a == kAbsent) continue;
      faces += *f;
      maxSub = std::max(maxSub, *a);
    }
    StringGrid5.SetCell(2, lod, std::to_string(faces));
  }

  StringGrid2.SetRowCount(maxSub + 1);
  for (int s = 1; s <= maxSub; ++s) {
    StringGrid2.SetCell(0, s, std::to_string(s));
    int64_t vertices;
    try {
      vertices = EstimateVertices(LODSpinEdit.Value, s);
    } catch (const std::runtime_error&) {
      // An element whose vtx_state has no vertex set in the first sub-object
      // adds nothing to the count; the recount runs on every click, so it
      // shows no message.
      vertices = ShownVertexCount(StringGrid1, LODSpinEdit.Value, s, ElementVtxState, VertexSets, VertexSetCount);
    }
    StringGrid2.SetCell(1, s, std::to_string(vertices));
  }
}

// ---- Grid cells ----------------------------------------------------------------

void TLSForm::StringGrid1SelectCell(int ACol, int ARow, bool& CanSelect) {
  RefreshSubObjectGrid();
  CanSelect = ACol >= 3;
  if (CanSelect) {
    StringGrid1.Col = ACol;
    StringGrid1.Row = ARow;
  }
}

void TLSForm::StringGrid1SetEditText(int ACol, int ARow, const std::string& Value) {
  StringGrid1.SetCell(ACol, ARow, Value);
  if (Value.empty() || ValidAssignment(Value)) return;
  ShowMessage(MsgKind::Warning, MsgButtons::Ok, kElementRefused);
  StringGrid1.SetCell(ACol, ARow, "");
}

void TLSForm::StringGrid1Exit() { RefreshSubObjectGrid(); }

void TLSForm::StringGrid2SelectCell(StringGrid& Sender, int ACol, int ARow, bool& CanSelect) {
  CanSelect = ACol >= 2;
  if (CanSelect) {
    Sender.Col = ACol;
    Sender.Row = ARow;
  }
}

void TLSForm::StringGrid2SetEditText(StringGrid& Sender, int ACol, int ARow, const std::string& Value) {
  Sender.SetCell(ACol, ARow, Value);
  if (Value.empty() || Value == "x" || Value == "X") return;
  ShowMessage(MsgKind::Warning, MsgButtons::Ok, kMarkRefused);
  Sender.SetCell(ACol, ARow, "");
}

void TLSForm::StringGrid4SelectCell(int ACol, int ARow, bool& CanSelect) {
  CanSelect = ACol >= 1;
  if (CanSelect) {
    StringGrid4.Col = ACol;
    StringGrid4.Row = ARow;
  }
}

void TLSForm::StringGrid4SetEditText(int ACol, int ARow, const std::string& Value) {
  StringGrid4.SetCell(ACol, ARow, Value);
  auto v = ParseInt32(Value);
  if (!Value.empty() && (!v || *v < 1 || *v > 2000)) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, kDistanceRefused);
    StringGrid4.SetCell(ACol, ARow, "");
    v.reset();
  }
  // The overview mirrors the distance cell: a cleared or refused distance
  // leaves it empty too rather than showing a number nobody entered.
  StringGrid5.SetCell(1, ARow, v ? std::to_string(*v) : std::string());
}

void TLSForm::StringGrid4Exit() {
  for (int r = 1; r < StringGrid4.RowCount(); ++r) {
    if (!StringGrid4.Cell(1, r).empty()) continue;
    StringGrid4.Col = 1;
    StringGrid4.Row = r;
    platform().FocusControl("StringGrid4");
    ShowMessage(MsgKind::Information, MsgButtons::Ok, kDistanceMissing);
    return;
  }
}

// ---- LOD count and the LOD shown ---------------------------------------------------

void TLSForm::LODAnzSpinEditChange() {
  const int v = LODAnzSpinEdit.Value;
  if (v >= 100) return;
  StringGrid4.SetRowCount(v + 1);
  for (int r = 1; r <= v; ++r) {
    StringGrid4.SetCell(0, r, std::to_string(r));
    if (StringGrid4.Cell(1, r).empty()) StringGrid4.SetCell(1, r, "2000");
  }
}

void TLSForm::LODAnzSpinEditExit() {
  LodCount = LODAnzSpinEdit.Value;
  LODSpinEdit.MaxValue = LodCount;
  LODSpinEdit.Enabled = LodCount != 1;
  if (LODSpinEdit.Value > LodCount) SetLODSpinEditValue(LodCount);

  StringGrid1.SetColCount(LodCount + 3);
  StringGrid2.SetColCount(LodCount + 2);
  StringGrid5.SetRowCount(LodCount + 1);
  for (int k = 1; k <= LodCount; ++k) {
    const std::string header = "L " + std::to_string(k);
    StringGrid1.SetCell(k + 2, 0, header);
    StringGrid2.SetCell(k + 1, 0, header);
    for (int r = 1; r < StringGrid1.RowCount(); ++r)
      if (StringGrid1.Cell(k + 2, r).empty()) StringGrid1.SetCell(k + 2, r, "1");
    StringGrid5.SetCell(0, k, std::to_string(k));
    StringGrid5.SetCell(1, k, StringGrid4.Cell(1, k));
  }
}

void TLSForm::LODSpinEditChange() {
  const int n = LODSpinEdit.Value;
  RefreshSubObjectGrid();
  StringGrid2.SetCell(1, 0, "Vert. L " + std::to_string(n));
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
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, LanguageText(62)) != MsgResult::Yes) return;
  if (!ValidAssignment(NrEdit.Text)) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, kNrRefused);
    return;
  }
  const int col = LODSpinEdit.Value + 2;
  for (int r = 1; r < StringGrid1.RowCount(); ++r) StringGrid1.SetCell(col, r, NrEdit.Text);
  RefreshSubObjectGrid();
}

void TLSForm::DoButton1Click() {
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, LanguageText(62)) != MsgResult::Yes) return;
  const int n = LODSpinEdit.Value;
  // LOD 1 has no previous LOD: its left neighbour is the "Faces" column.
  if (n < 2) return;
  for (int r = 1; r < StringGrid1.RowCount(); ++r) StringGrid1.SetCell(n + 2, r, StringGrid1.Cell(n + 1, r));
  RefreshSubObjectGrid();
}

void TLSForm::AnimResetButtonClick() {
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, LanguageText(62)) != MsgResult::Yes) return;
  ReadMatrixAnimations();
}

void TLSForm::ZeilePlusButtonClick() {
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, kShiftDown) != MsgResult::Yes) return;
  const int c = StringGrid1.Row;
  const int last = StringGrid1.RowCount() - 1;
  if (c < 1 || c > last) return;
  const int lastCol = 2 + LODAnzSpinEdit.Value;
  for (int r = last; r > c; --r)
    for (int col = 3; col <= lastCol; ++col) StringGrid1.SetCell(col, r, StringGrid1.Cell(col, r - 1));
  for (int col = 3; col <= lastCol; ++col) StringGrid1.SetCell(col, c, "");
  RefreshSubObjectGrid();
}

void TLSForm::ZeileMinusButtonClick() {
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, kShiftUp) != MsgResult::Yes) return;
  const int c = StringGrid1.Row;
  const int last = StringGrid1.RowCount() - 1;
  if (c < 1 || c > last) return;
  const int lastCol = 2 + LODAnzSpinEdit.Value;
  for (int r = c + 1; r <= last; ++r)
    for (int col = 3; col <= lastCol; ++col) StringGrid1.SetCell(col, r - 1, StringGrid1.Cell(col, r));
  for (int col = 3; col <= lastCol; ++col) StringGrid1.SetCell(col, last, "");
  RefreshSubObjectGrid();
}

}  // namespace lodsmith
