// Assignment editing, the vertex estimate and the sub-object grid.
#include "ui/tlsform.h"

namespace lodsmith {

int32_t TLSForm::EstimateVertices(int, int) { return 0; }
void TLSForm::RefreshSubObjectGrid() {}
void TLSForm::StringGrid1SelectCell(int, int, bool&) {}
void TLSForm::StringGrid1SetEditText(int, int, const std::string&) {}
void TLSForm::StringGrid1Exit() {}
void TLSForm::StringGrid2SelectCell(StringGrid&, int, int, bool&) {}
void TLSForm::StringGrid2SetEditText(StringGrid&, int, int, const std::string&) {}
void TLSForm::StringGrid4SelectCell(int, int, bool&) {}
void TLSForm::StringGrid4SetEditText(int, int, const std::string&) {}
void TLSForm::StringGrid4Exit() {}
void TLSForm::LODAnzSpinEditChange() {}
void TLSForm::LODAnzSpinEditExit() {}
void TLSForm::LODSpinEditChange() {}
void TLSForm::DoButtonClick() {}
void TLSForm::DoButton1Click() {}
void TLSForm::AnimResetButtonClick() {}
void TLSForm::ZeilePlusButtonClick() {}
void TLSForm::ZeileMinusButtonClick() {}
void TLSForm::SetLODSpinEditValue(int) {}
void TLSForm::SetLODAnzSpinEditValue(int) {}

}  // namespace lodsmith
