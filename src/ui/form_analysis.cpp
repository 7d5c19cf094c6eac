// Shape analysis, default assignment and the animation marks.
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::AnalyseShape() {}
void TLSForm::ApplyDefaultAssignment() {}
void TLSForm::ReadMatrixAnimations() {}

}  // namespace lodsmith
