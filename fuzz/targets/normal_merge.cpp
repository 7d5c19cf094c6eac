// Merging normals through the window model; see merge_target.h.
#include "merge_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using lodsmith::TLSForm;
  return lodsmith::fuzz::RunMergeTarget({"normal merge", &TLSForm::DeltaNormalsEdit, &TLSForm::DeltaNormalsEditExit,
                                         &TLSForm::NormalenButton, &TLSForm::NormalenButtonClick},
                                        data, size);
}
