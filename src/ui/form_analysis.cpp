// Shape analysis, default assignment and the animation marks: the session's,
// shown in the grids; the note on an opened shape that fails the structural
// check.
#include "document/document_messages.h"
#include "document/shape_check.h"
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::AnalyseShape() {
  if (ShapeLines.empty()) return;
  // The note first, so that the status line tells of a broken structure
  // even when the analysis gives up on the shape. A remark, not a refusal:
  // the shape is opened as it is, and a rewrite only refuses what it would
  // add.
  session.NoteStructure();
  StructureNote.clear();
  if (session.structureProblem) ShowStructureNote();
  try {
    session.Analyse();
  } catch (const Error&) {
    for (const auto& w : session.analysis.warnings) ShowMessage(MsgKind::Warning, MsgButtons::Ok, w);
    Sub_ObjectsButton.Enabled = false;
    throw;
  }
  for (const auto& w : session.analysis.warnings) ShowMessage(MsgKind::Warning, MsgButtons::Ok, w);
  if (!session.CanGenerate()) Sub_ObjectsButton.Enabled = false;
}

void TLSForm::ShowStructureNote() {
  StructureNote = session.structureProblem ? Text(StructureNoteMessage(*session.structureProblem)) : "";
  ShowLineCount();
  if (!StructureNote.empty()) Label2.Caption += " – " + StructureNote;
}

void TLSForm::ApplyDefaultAssignment() { session.ApplyDefaultAssignment(LODSpinEdit.Value); }

void TLSForm::ReadMatrixAnimations() { session.ReadMatrixAnimations(); }

}  // namespace lodsmith
