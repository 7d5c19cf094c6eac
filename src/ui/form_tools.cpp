// Repair tools: point and normal merging, material correction, animations.
//
// Every tool works on a copy and swaps the result into ShapeLines only when
// it is complete and has passed the structural check (Session::CheckRewrite): a
// refused shape keeps its text. Refusals (Error) leave the handler and are
// shown by the event loop as error boxes, after the cursor (and for the
// merges the status line) has been put back.
#include "core/grid_columns.h"
#include "document/document_messages.h"
#include "tools/tools_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {

void CheckToleranceEdit(TLSForm& form, const TEdit& edit, bool points, const char* controlName) {
  try {
    form.session.SetTolerance(points, edit.Text, form.platform().DecimalSeparator());
  } catch (const Error& e) {
    // The user is sent back to correct it.
    form.ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
    form.platform().FocusControl(controlName);
  }
}

// Both merges: the session locates, plans, refuses before asking, asks and
// applies. Returns true when the document was rewritten.
bool RunMerge(TLSForm& form, bool points, long double tolerance) {
  if (form.ShapeLines.empty()) return false;
  TLSForm::BusyCursor end(form);
  // No block: the action ends without a word.
  MergeProposal p = form.session.LocateMerge(points);
  if (!p.header) return false;
  // From the entries on, the status line is shown however the action ends.
  end.showLineCount = true;
  TLSForm::BoxQuestions questions(form);
  const MergeResult r = form.session.Merge(p, tolerance, questions);
  switch (r.status) {
    case MergeResult::Status::NoneWithin:
      form.ShowLanguageText(MsgKind::Information, MsgButtons::Ok, points ? 65 : 67);
      return false;
    case MergeResult::Status::Declined: return false;
    case MergeResult::Status::Refused: form.ShowMessage(MsgKind::Warning, MsgButtons::Ok, *r.refusal); return false;
    case MergeResult::Status::Merged: break;
  }
  form.SMemoChange();
  return true;
}

// A rewrite the structural check refused: told as a warning; the session
// has put the changed mark back.
void RefuseRewrite(TLSForm& form, const Error& e) {
  form.ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.message());
  form.ShowChangeMark();
}

}  // namespace

void TLSForm::PunkteButtonClick() {
  if (RunMerge(*this, true, PointTolerance)) PunkteButton.Enabled = false;
}

void TLSForm::NormalenButtonClick() {
  if (RunMerge(*this, false, NormalTolerance)) NormalenButton.Enabled = false;
}

void TLSForm::MatButtonClick() {
  if (ShapeLines.empty()) return;
  BusyCursor end(*this);
  // The document counts as changed from here on, whether or not anything
  // needs correcting; only a result the structural check refuses takes the
  // mark back.
  try {
    session.FixMaterials();
  } catch (const Error& e) {
    if (e.Is(DocumentMsg::RefusedRewrite)) return RefuseRewrite(*this, e);
    SMemoChange();
    throw;
  }
  SMemoChange();
  MatButton.Enabled = false;
}

void TLSForm::AnimButtonClick() {
  if (ShapeLines.empty()) return;
  BusyCursor end(*this);
  // No animations: nothing to remove, which is a result too.
  AnimationStripSummary r;
  try {
    r = session.StripAnimations();
  } catch (const Error& e) {
    if (e.Is(DocumentMsg::RefusedRewrite)) return RefuseRewrite(*this, e);
    SMemoChange();
    // The general fault is shown here and ends the action as a refusal; the
    // other refusals go on to the event loop like those of the other tools.
    if (!e.Is(ToolsMsg::AnimationStripGeneral)) throw;
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
    return;
  }
  if (!r.blockFound) return;
  SMemoChange();
  end.showLineCount = true;
}

void TLSForm::DeltaPointsEditExit() { CheckToleranceEdit(*this, DeltaPointsEdit, true, "DeltaPointsEdit"); }

void TLSForm::DeltaNormalsEditExit() { CheckToleranceEdit(*this, DeltaNormalsEdit, false, "DeltaNormalsEdit"); }

}  // namespace lodsmith
