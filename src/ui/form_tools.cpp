// Repair tools: point and normal merging, material correction, animations.
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::PunkteButtonClick() {}
void TLSForm::NormalenButtonClick() {}
void TLSForm::MatButtonClick() {}
void TLSForm::AnimButtonClick() {}
void TLSForm::DeltaPointsEditExit() {}
void TLSForm::DeltaNormalsEditExit() {}

}  // namespace lodsmith
