// Per-model settings file and the three settings buttons.
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {

// The settings buttons overwrite without a second question once confirmed.
bool Confirmed(TLSForm& form, UiMsg question) {
  return form.ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(question)) == MsgResult::Yes;
}

}  // namespace

void TLSForm::SaveModelSettings() {
  // Without an open shape there is no model to keep settings for (the name
  // rule would give a bare ".Lodsmith" in whatever folder is current).
  if (FileName.empty()) return;
  session.SaveModelSettings(session.ModelSettingsFileName());
}

void TLSForm::LoadModelSettings() {
  const std::optional<int> lods = session.LoadModelSettings(session.ModelSettingsFileName(), LODSpinEdit.Value);
  if (lods) ShowLoadedSettings(*lods);
}

void TLSForm::GrundButtonClick() {
  if (!Confirmed(*this, UiMsg::OverwriteHere)) return;
  ApplyDefaultAssignment();
}

void TLSForm::E_SpeichernButtonClick() {
  if (!Confirmed(*this, UiMsg::OverwriteSaved)) return;
  SaveModelSettings();
}

void TLSForm::E_LadenButtonClick() {
  if (!Confirmed(*this, UiMsg::OverwriteHere)) return;
  LoadModelSettings();
}

}  // namespace lodsmith
