// Print-out of the settings.
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::E_DruckenButtonClick() {}

}  // namespace lodsmith
