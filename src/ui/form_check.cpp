// The structural check at the form's edge: the note on an opened shape that
// fails it, and the change marks a rewrite the check refuses puts back.
#include "document/document_messages.h"
#include "document/shape_check.h"
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::NoteShapeStructure() {
  session.NoteStructure();
  StructureNote = session.structureProblem ? Text(StructureNoteMessage(*session.structureProblem)) : "";
  // A remark, not a refusal: the shape is opened as it is, and a rewrite
  // only refuses what it would add.
  if (!StructureNote.empty())
    Label2.Caption = std::to_string(ShapeLines.size()) + " " + LanguageText(22) + " – " + StructureNote;
}

void TLSForm::ShowStructureNote() {
  StructureNote = session.structureProblem ? Text(StructureNoteMessage(*session.structureProblem)) : "";
  ShowLineCount();
  if (!StructureNote.empty()) Label2.Caption += " – " + StructureNote;
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
