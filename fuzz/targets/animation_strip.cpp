// The removal of surplus animations through the window model. The input is
// a control line, then the shape: the control line holds the "Anim." marks
// of the matrix rows, comma-separated, typed in through the grid's edit
// handler (which takes "x", "X" and nothing); rows beyond, and all rows when
// the line is empty, keep the marks the analysis read.
//
// A refused removal leaves the document as it was; a removal from a sound
// shape gives a sound shape, and removing again with the same marks changes
// nothing more.
#include <cstddef>
#include <cstdint>

#include "core/grid_columns.h"
#include "fuzz_harness.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto [control, shape] = SplitControl(AsText(data, size));
  FuzzForm fx;
  TLSForm& form = fx.form();
  if (!fx.Open(ShapeImage(shape)) || !form.AnimButton.Enabled) return 0;
  const auto marks = ControlCells(control, static_cast<std::size_t>(form.StringGrid3.RowCount() - 1));
  for (std::size_t i = 0; i < marks.size(); ++i)
    fx.Dispatch([&] {
      form.StringGrid2SetEditText(form.StringGrid3, grid::kMatrixAnimated, static_cast<int>(i) + 1, marks[i]);
    });

  std::size_t from = fx.platform.messages.size();
  fx.Act("animation removal", [&] { form.AnimButtonClick(); });
  if (fx.ComplainedSince(from)) return 0;

  const Lines stripped = form.ShapeLines;
  from = fx.platform.messages.size();
  const bool ran = fx.Dispatch([&] { form.AnimButtonClick(); });
  if (!ran || fx.ComplainedSince(from))
    Violated("animation removal: refused a second time after it succeeded", fx.platform.messages.back().text);
  if (form.ShapeLines != stripped)
    Violated("animation removal: a second removal changed the document", FirstDifference(stripped, form.ShapeLines));
  return 0;
}
