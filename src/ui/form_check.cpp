// The structural check at the form's edge: the note on an opened shape that
// fails it, and the gate every rewrite passes before it replaces the
// document.
#include <algorithm>

#include "document/shape_check.h"
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::NoteShapeStructure() {
  StructureNote.clear();
  if (ShapeLines.empty()) return;
  const std::vector<ShapeProblem> problems = CheckShape(ShapeLines);
  // Exporters write the counts of geometry_info and its geometry_nodes as
  // they see fit, and the simulator reads such shapes: most real shapes
  // would carry a note that only alarms. The gate still holds a rewrite to
  // them.
  const auto noted = std::find_if(problems.begin(), problems.end(), [](const ShapeProblem& p) {
    return p.fault != ShapeFault::GeometryInfo && p.fault != ShapeFault::NodeCounts;
  });
  if (noted == problems.end()) return;
  StructureNote = Text(StructureNoteMessage(*noted));
  // A remark, not a refusal: the shape is opened as it is, and a rewrite
  // only refuses what it would add.
  Label2.Caption = std::to_string(ShapeLines.size()) + " " + LanguageText(22) + " – " + StructureNote;
}

bool TLSForm::AcceptRewrite(const Lines& result) {
  // The result is checked first: it is sound in all but broken cases, and
  // then the document need not be read at all.
  const std::vector<ShapeProblem> after = CheckShape(result);
  if (after.empty()) return true;
  const std::optional<ShapeProblem> added = FirstNewProblem(CheckShape(ShapeLines), after);
  if (!added) return true;
  ShowMessage(MsgKind::Warning, MsgButtons::Ok, RefusedRewriteMessage(*added));
  LastOutcome = Outcome::Refused;
  return false;
}

TLSForm::ChangeMarks TLSForm::CurrentChangeMarks() const {
  return {Changed, SpeichernBitBtn.FontColor, SpeichernUnterBitBtn.FontColor};
}

void TLSForm::RestoreChangeMarks(const ChangeMarks& marks) {
  Changed = marks.changed;
  SpeichernBitBtn.FontColor = marks.saveColor;
  SpeichernUnterBitBtn.FontColor = marks.saveAsColor;
}

}  // namespace lodsmith
