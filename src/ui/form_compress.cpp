// Compression through the simulator's utility.
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::CompressButtonClick() {}
bool TLSForm::ToolPathValid(const std::string&) { return false; }

}  // namespace lodsmith
