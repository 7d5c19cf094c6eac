// The correction of material errors through the window model. The input is
// the shape.
//
// A refused correction leaves the document as it was; a correction of a
// sound shape gives a sound shape.
#include <cstddef>
#include <cstdint>

#include "fuzz_harness.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzForm fx;
  TLSForm& form = fx.form();
  if (!fx.Open(ShapeImage(AsText(data, size))) || !form.MatButton.Enabled) return 0;
  fx.Act("material correction", [&] { form.MatButtonClick(); });
  return 0;
}
