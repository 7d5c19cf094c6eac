// The forms of a shape file: the input is the file.
//
// Whatever form the bytes claim, reading them either raises Error or gives
// Unicode text; that text, written in binary form and read again, gives the
// same text (the utility's six digits already rounded once), and the
// lossless text gives the same blocks back.
#include <cstddef>
#include <cstdint>

#include "core/message.h"
#include "document/shape_forms.h"
#include "fuzz_harness.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

namespace {

void RoundTrip(std::string_view bytes, ShapeForm form) {
  std::string text;
  std::string lossless;
  try {
    text = ShapeFormToUnicodeText(bytes, form);
    lossless = ShapeFormToUnicodeText(bytes, form, FloatText::Lossless);
  } catch (const Error&) {
    return;
  }
  const std::string blocks = ShapeFormBlocks(bytes, form);
  const std::string binary = UnicodeTextToShapeForm(text, ShapeForm::Binary);
  Require(ShapeFormToUnicodeText(binary, ShapeForm::Binary) == text, "binary, text, binary, text: the texts differ");
  const std::string exact = UnicodeTextToShapeForm(lossless, form);
  Require(ShapeFormBlocks(exact, form) == blocks, "lossless text does not give the same blocks");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes = AsText(data, size);
  const auto form = DetectShapeForm(bytes);
  if (form == ShapeForm::Binary || form == ShapeForm::Compressed) RoundTrip(bytes, *form);
  // Text of any kind either encodes or is refused with an Error.
  try {
    const std::string text = ShapeFormToUnicodeText(bytes, form.value_or(ShapeForm::EightBitText));
    UnicodeTextToShapeForm(text, ShapeForm::Compressed);
  } catch (const Error&) {
  }
  return 0;
}
