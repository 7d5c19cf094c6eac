// The structural check at the form's edge: the note on an opened shape that
// fails it.
#include "document/document_messages.h"
#include "document/shape_check.h"
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::ShowStructureNote() {
  StructureNote = session.structureProblem ? Text(StructureNoteMessage(*session.structureProblem)) : "";
  ShowLineCount();
  if (!StructureNote.empty()) Label2.Caption += " – " + StructureNote;
}

}  // namespace lodsmith
