// LOD and sub-object generation: the button "LOD's/Subobjekte erzeugen".
// The session writes the shape (Session::Generate); this handler shows the
// progress, the outcome and the state of the button.
#include "generation/generator.h"
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::Sub_ObjectsButtonClick() {
  if (ShapeLines.empty()) return;
  BusyCursor busy(*this);
  // What the steps below mark before the written shape is known: a shape the
  // final check refuses puts all of it back (the session its changed mark).
  const bool buttonEnabled = Sub_ObjectsButton.Enabled;

  bool writing = false;
  GenerationObserver observer;
  observer.reached = [&](GenerationStage stage) {
    if (stage == GenerationStage::Checked) SMemoChange();
    if (stage == GenerationStage::Writing) {
      writing = true;
      SOAnzLabel.Visible = true;
      SOAnzLabel1.Visible = true;
      Sub_ObjectsButton.Enabled = false;
    }
  };
  observer.progress = [this](ProgressLabel label, const Message& text) {
    (label == ProgressLabel::SubObject ? SOAnzLabel : SOAnzLabel1).Caption = Text(text);
    ProcessMessages(9);
  };

  GenerateResult r = session.Generate(observer);
  switch (r.status) {
    case GenerateResult::Status::Written: break;
    case GenerateResult::Status::RefusedRewrite:
      // Nothing of this action stays, not even the changed mark.
      ShowMessage(MsgKind::Warning, MsgButtons::Ok, *r.failure);
      ShowChangeMark();
      Sub_ObjectsButton.Enabled = buttonEnabled;
      break;
    // A refusal before writing is a warning about the inputs.
    case GenerateResult::Status::Refused: ShowMessage(MsgKind::Warning, MsgButtons::Ok, *r.failure); break;
    case GenerateResult::Status::Failed: ShowMessage(MsgKind::Error, MsgButtons::Ok, *r.failure); break;
  }
  // The sub-objects are counted once writing began, however it ended.
  if (!writing) return;
  SOAnzLabel.Visible = false;
  SOAnzLabel1.Visible = false;
  ShowLineCount();
}

}  // namespace lodsmith
