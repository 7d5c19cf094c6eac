// Merging points through the window model; see merge_target.h.
#include "merge_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using lodsmith::TLSForm;
  return lodsmith::fuzz::RunMergeTarget({"point merge", &TLSForm::DeltaPointsEdit, &TLSForm::DeltaPointsEditExit,
                                         &TLSForm::PunkteButton, &TLSForm::PunkteButtonClick},
                                        data, size);
}
