// Generation of LODs and sub-objects with assignments made from the input.
// The input is a control line, then the shape. The control line's bytes
// choose, in order: the LOD count ("1" to "4", cycling), the distances ("a"
// to "d", see kDistances), the sort marks (bit b of the byte minus "0":
// sub-object 1 + b / 4 of LOD 1 + b % 4), and then, cycling over every
// element and LOD, the cell text ("0" to "5" that number, "9" absent, "8"
// empty, see kCells). Every value goes in through the grid's edit handler,
// as a user would type it.
//
// A generation of a sound shape gives a sound shape, or a message and the
// document as it was.
#include <cstddef>
#include <cstdint>

#include "core/grid_columns.h"
#include "fuzz_harness.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

namespace {

// What a user might type into an assignment cell; the edit handler refuses
// (and empties) whatever is no assignment.
const char* const kCells[] = {"0", "1", "2", "3", "4", "5", "05", "0999", "", "999", "x", "-1", "99", "100", "+1", "6"};

const char* const kDistances[][4] = {
    {"100", "400", "1000", "2000"},
    {"2000", "2000", "2000", "2000"},
    {"2000", "1000", "400", "100"},
    {"1", "", "0", "2001"},
};

// The byte at `i` minus `base`, or 0 when the line is shorter.
unsigned At(std::string_view s, std::size_t i, char base) {
  return i < s.size() ? static_cast<unsigned char>(s[i] - base) : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto [control, shape] = SplitControl(AsText(data, size));
  FuzzForm fx;
  TLSForm& form = fx.form();
  if (!fx.Open(ShapeImage(shape)) || !form.Sub_ObjectsButton.Enabled) return 0;

  const int lods = 1 + static_cast<int>(At(control, 0, '1') % 4);
  const unsigned distances = At(control, 1, 'a') % 4;
  const unsigned marks = At(control, 2, '0');
  const std::string_view cells = control.size() > 3 ? control.substr(3) : std::string_view();

  // Each step as the event loop runs it: an exception is shown, not fatal.
  fx.Dispatch([&] {
    form.SetLODAnzSpinEditValue(lods);
    form.LODAnzSpinEditExit();
  });
  for (int lod = 1; lod <= lods; ++lod)
    fx.Dispatch([&] { form.StringGrid4SetEditText(grid::kDistance, lod, kDistances[distances][lod - 1]); });
  std::size_t next = 0;
  for (int row = 1; row < form.StringGrid1.RowCount(); ++row)
    for (int lod = 1; lod <= lods; ++lod) {
      const char* text = cells.empty() ? "1" : kCells[At(cells, next++ % cells.size(), '0') % 16];
      fx.Dispatch([&] { form.StringGrid1SetEditText(grid::ElementLodColumn(lod), row, text); });
    }
  fx.Dispatch([&] { form.StringGrid1Exit(); });
  for (int b = 0; b < 8; ++b) {
    const int lod = 1 + b % 4, sub = 1 + b / 4;
    if (lod <= lods && sub < form.StringGrid2.RowCount())
      fx.Dispatch([&] {
        form.StringGrid2SetEditText(form.StringGrid2, grid::SubObjectSortColumn(lod), sub, (marks >> b) & 1 ? "x" : "");
      });
  }

  fx.Act(
      "generation", [&] { form.Sub_ObjectsButtonClick(); }, SortVectorsSplit);
  return 0;
}
