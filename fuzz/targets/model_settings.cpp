// Loading a model's settings file beside a small sound shape. The input is
// the settings file; the shape is samples/sample.s.
//
// The assignment loaded is saved and loaded again unchanged; a second save
// and load changes nothing at all. A generation with what was loaded gives a
// sound shape, or a message and the document as it was.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "core/file_io.h"
#include "core/grid_columns.h"
#include "fuzz_harness.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

namespace {

const std::string& ModelPath() {
  static const std::string path = [] {
    std::ifstream in(std::string(LODSMITH_SAMPLES_DIR) + "/sample.s", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    Require(!bytes.empty(), "samples/sample.s is missing");
    const std::string p = WorkFile("model.s");
    WriteFile(p, bytes);
    return p;
  }();
  return path;
}

// What the settings file sets, as the grids show it.
struct Loaded {
  int lods = 0;
  std::vector<std::string> assignment, marks, animations, distances;
  bool operator==(const Loaded&) const = default;
};

Loaded Read(TLSForm& f) {
  Loaded l;
  l.lods = f.LodCount;
  for (int k = 1; k <= f.LodCount; ++k) {
    for (int r = 1; r < f.StringGrid1.RowCount(); ++r)
      l.assignment.push_back(f.StringGrid1.Cell(grid::ElementLodColumn(k), r));
    for (int r = 1; r < f.StringGrid2.RowCount(); ++r)
      l.marks.push_back(f.StringGrid2.Cell(grid::SubObjectSortColumn(k), r));
    l.distances.push_back(f.StringGrid4.Cell(grid::kDistance, k));
  }
  for (int r = 1; r < f.StringGrid3.RowCount(); ++r)
    l.animations.push_back(f.StringGrid3.Cell(grid::kMatrixAnimated, r));
  return l;
}

std::string Show(const Loaded& l) {
  std::string s = "LODs " + std::to_string(l.lods) + "; cells";
  for (const auto& c : l.assignment) s += " [" + c + "]";
  s += "; marks";
  for (const auto& c : l.marks) s += " [" + c + "]";
  s += "; anim";
  for (const auto& c : l.animations) s += " [" + c + "]";
  s += "; distances";
  for (const auto& c : l.distances) s += " [" + c + "]";
  return s;
}

// Saves the settings of `from` through the button and opens the model in a
// fresh window.
Loaded SaveAndLoad(FuzzForm& from) {
  from.Dispatch([&] { from.form().E_SpeichernButtonClick(); });
  FuzzForm again;
  Require(again.OpenPath(ModelPath()), "the model no longer opens");
  return Read(again.form());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string model = ModelPath();
  WriteFile(ChangeExtension(model, ".Lodsmith"), AsText(data, size));
  FuzzForm fx;
  TLSForm& form = fx.form();
  Require(fx.OpenPath(model), "the model does not open");
  const Loaded first = Read(form);

  // Cells of the assignment are numbers once loaded; marks, animation marks
  // and distances are taken as the file holds them and may lose quotes or
  // characters the file's code page lacks on the first save, not later.
  const Loaded second = SaveAndLoad(fx);
  if (second.lods != first.lods || second.assignment != first.assignment)
    Violated("settings saved and loaded again differ", Show(first) + "\n" + Show(second));
  FuzzForm secondForm;
  secondForm.OpenPath(model);
  const Loaded third = SaveAndLoad(secondForm);
  if (third != second) Violated("settings saved and loaded twice differ", Show(second) + "\n" + Show(third));

  if (form.Sub_ObjectsButton.Enabled)
    fx.Act(
        "generation with loaded settings", [&] { form.Sub_ObjectsButtonClick(); }, SortVectorsSplit);
  return 0;
}
