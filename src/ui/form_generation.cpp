// LOD and sub-object generation.
#include "ui/tlsform.h"

namespace lodsmith {

bool TLSForm::LocateTemplate() { return false; }
void TLSForm::Sub_ObjectsButtonClick() {}

}  // namespace lodsmith
