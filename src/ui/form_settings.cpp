// Per-model settings file and the three settings buttons.
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::SaveModelSettings() {}
void TLSForm::LoadModelSettings() {}
void TLSForm::GrundButtonClick() {}
void TLSForm::E_SpeichernButtonClick() {}
void TLSForm::E_LadenButtonClick() {}

}  // namespace lodsmith
