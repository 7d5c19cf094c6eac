// Opening a shape through the window model: reading the file, the analysis
// that fills the element and matrix lists, the default assignment, the
// vertex estimate. The input is the shape.
//
// A document saved under another name and opened again has the same lines;
// a plain UTF-16 text file (PlainTextImage) is saved byte for byte.
// A sound shape that the window offers to split is split with the default
// assignment into a sound shape, or refused with a message.
#include <cstddef>
#include <cstdint>

#include "fuzz_harness.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzForm fx;
  TLSForm& form = fx.form();
  const std::string image = ShapeImage(AsText(data, size));
  if (!fx.Open(image)) return 0;
  const Lines opened = form.ShapeLines;
  Require(form.UndoLines == opened, "open: the undo copy is not the opened text");

  // Files without the byte-order mark are read on request and written with
  // their own two leading bytes, which need not read back the same.
  if (form.FileBom == std::string("\xFF\xFE", 2)) {
    const std::string saved = WorkFile("saved.s");
    fx.platform.saveResults.push_back(saved);
    fx.Dispatch([&] { form.SpeichernUnterButtonClick(); });
    Require(form.ShapeLines == opened, "save as: the document changed");
    Require(!form.Changed, "save as: the document still counts as changed");
    if (PlainTextImage(image) && ReadBytes(saved) != image)
      Violated("save as: a plain UTF-16 text file is not saved byte for byte");
    FuzzForm again;
    again.OpenPath(saved);
    if (again.form().ShapeLines != opened)
      Violated("save as, open: the lines differ", FirstDifference(opened, again.form().ShapeLines));
  }

  if (form.Sub_ObjectsButton.Enabled && Sound(opened))
    fx.Act(
        "generation with the default assignment", [&] { form.Sub_ObjectsButtonClick(); }, SortVectorsSplit);
  return 0;
}
