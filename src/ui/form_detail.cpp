// The automatic LODs on the settings page: the detail per LOD, the
// screen-error budget and the suggested distances. The session keeps the
// values and simplifies; these handlers take the typed text and tell what
// was refused.
#include "core/grid_columns.h"
#include "session/session_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {
constexpr int kDetailValueColumn = 1;
}  // namespace

void TLSForm::ShowLoadedSettings(int lods) {
  const char sep = platform_.DecimalSeparator();
  DeltaPointsEdit.Text = FormatGeneral(PointTolerance, sep);
  DeltaNormalsEdit.Text = FormatGeneral(NormalTolerance, sep);
  ScreenErrorEdit.Text = FormatGeneral(session.screenError, sep);
  if (lods <= 0) return;
  LODAnzSpinEdit.Value = lods;
  ShowLodCount();
  RefreshSubObjectGrid();
}

void TLSForm::DetailGridSelectCell(int ACol, int ARow, bool& CanSelect) {
  CanSelect = DetailGrid.SelectIf(ACol == kDetailValueColumn, ACol, ARow);
}

// A refused detail is told as a warning; the session has put 100 % back.
// Either way the grids count the LODs as they will be written.
void TLSForm::DetailGridSetEditText(int ACol, int ARow, const std::string& Value) {
  if (ACol != kDetailValueColumn) return DetailGrid.SetCell(ACol, ARow, Value);
  try {
    session.SetDetail(ARow, Value);
  } catch (const Error& e) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.message());
  }
  RefreshSubObjectGrid();
}

void TLSForm::ScreenErrorEditExit() {
  try {
    session.SetScreenError(ScreenErrorEdit.Text, platform_.DecimalSeparator());
  } catch (const Error& e) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
    platform_.FocusControl("ScreenErrorEdit");
    return;
  }
  // An `auto` LOD follows the budget.
  if (session.AnyLodSimplified()) RefreshSubObjectGrid();
}

void TLSForm::SuggestButtonClick() {
  if (!session.CanSuggestDistances()) return;
  BusyCursor end(*this);
  const DistanceSuggestion r = session.SuggestDistances();
  if (r.refusedAuto)
    ShowMessage(MsgKind::Information, MsgButtons::Ok, Message(SessionMsg::SuggestWithAuto));
  else
    RefreshSubObjectGrid();
}

}  // namespace lodsmith
