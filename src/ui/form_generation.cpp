// LOD and sub-object generation: the button "LOD's/Subobjekte erzeugen".
// The rewrite itself is core code (generation/generator.h); this handler
// gathers the assignment, shows the progress and swaps the new shape in when
// it is complete and has passed the structural check.
#include <algorithm>

#include "core/grid_columns.h"
#include "document/document_messages.h"
#include "generation/generator.h"
#include "generation/lod_plan.h"
#include "ui/tlsform.h"

namespace lodsmith {

LodAssignment TLSForm::CurrentAssignment() const {
  using namespace grid;
  LodAssignment a;
  a.lodCount = LodCount;
  // "L 1" is read even without LODs: the generation checks it first.
  const int lods = std::max(LodCount, 1);
  const int rows = DataRows(StringGrid1);
  a.elements.reserve(static_cast<std::size_t>(std::max(rows, 0)));
  for (int r = 1; r <= rows; ++r) {
    AssignedElement& e = a.elements.emplace_back();
    e.name = StringGrid1.Cell(kElementName, r);
    e.faces = ParseInt32(StringGrid1.Cell(kElementFaces, r));
    e.lods.reserve(static_cast<std::size_t>(lods));
    for (int lod = 1; lod <= lods; ++lod)
      e.lods.push_back(AssignmentCell::Read(StringGrid1.Cell(ElementLodColumn(lod), r)));
  }
  a.subObjectCount = std::max(DataRows(StringGrid2), 0);
  for (int lod = 1; lod <= LodCount; ++lod) {
    std::vector<bool>& marks = a.sorted.emplace_back(static_cast<std::size_t>(a.subObjectCount), false);
    for (int s = 1; s <= a.subObjectCount; ++s) {
      const std::string& mark = StringGrid2.Cell(SubObjectSortColumn(lod), s);
      marks[static_cast<std::size_t>(s - 1)] = mark == "x" || mark == "X";
    }
    a.distances.push_back(StringGrid4.Cell(kDistance, lod));
  }
  return a;
}

void TLSForm::Sub_ObjectsButtonClick() {
  if (ShapeLines.empty()) return;
  BusyCursor busy(*this);

  // What the steps below mark before the written shape is known: a shape the
  // final check refuses puts all of it back.
  const ChangeMarks marks = CurrentChangeMarks();
  const bool buttonEnabled = Sub_ObjectsButton.Enabled;

  const GenerationTables tables{ElementVtxState, VtxStateMatrix, VertexSets, grid::DataRows(StringGrid3)};
  bool normalised = false;
  bool writing = false;
  GenerationObserver observer;
  observer.reached = [&](GenerationStage stage) {
    switch (stage) {
      case GenerationStage::Normalised: normalised = true; break;
      case GenerationStage::Checked:
        // From here on the document counts as changed, even when the plan
        // refuses the assignment.
        SMemoChange();
        break;
      case GenerationStage::Writing:
        writing = true;
        SOAnzLabel.Visible = true;
        SOAnzLabel1.Visible = true;
        Sub_ObjectsButton.Enabled = false;
        break;
    }
  };
  std::vector<int32_t> planned;
  observer.planned = [&planned](const LodPlan& plan) {
    planned.assign(plan.LodSubObjectCount.begin() + (plan.LodSubObjectCount.empty() ? 0 : 1),
                   plan.LodSubObjectCount.end());
  };
  observer.progress = [this](ProgressLabel label, const Message& text) {
    (label == ProgressLabel::SubObject ? SOAnzLabel : SOAnzLabel1).Caption = Text(text);
    ProcessMessages(9);
  };

  try {
    ShapeLines = GenerateShape(ShapeLines, CurrentAssignment(), tables, observer);
  } catch (const Error& e) {
    if (e.Is(DocumentMsg::RefusedRewrite)) {
      // The written shape would add a fault: nothing of this action stays,
      // not even the split sort_vectors line or the changed mark.
      ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.message());
      RestoreChangeMarks(marks);
      Sub_ObjectsButton.Enabled = buttonEnabled;
      LastOutcome = Outcome::Refused;
    } else {
      // Either refusal leaves the sort_vectors line split as the generation
      // split it on its copy. One before writing is a warning about the
      // inputs; one while writing is an error.
      if (normalised) NormaliseSortVectors(ShapeLines);
      ShowMessage(writing ? MsgKind::Error : MsgKind::Warning, MsgButtons::Ok, e.message());
      LastOutcome = writing ? Outcome::Failed : Outcome::Refused;
    }
    if (!writing) return;
  }

  LastResult.kind = ActionResult::Kind::Generated;
  LastResult.subObjectsPerLod = std::move(planned);
  SOAnzLabel.Visible = false;
  SOAnzLabel1.Visible = false;
  ShowLineCount();
}

}  // namespace lodsmith
