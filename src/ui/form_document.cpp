// Opening, saving, undo and the unsaved-changes question.
#include "core/file_io.h"
#include "core/grid_columns.h"
#include "core/text.h"
#include "document/shape_file.h"
#include "document/shape_forms.h"
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

using namespace grid;

namespace {
// The status line's note on a file that was not read as Unicode text.
std::optional<UiMsg> ReadFormNote(ShapeForm form) {
  switch (form) {
    case ShapeForm::Compressed: return UiMsg::ReadCompressed;
    case ShapeForm::Binary: return UiMsg::ReadBinary;
    case ShapeForm::EightBitText: return UiMsg::ReadEightBit;
    case ShapeForm::UnicodeTextNoBom: return UiMsg::ReadNoBom;
    case ShapeForm::UnicodeText: break;
  }
  return std::nullopt;
}

// "Speichern unter..." lists the forms in this order (UiMsg::SaveFormFilter).
int SaveFilterOf(ShapeForm form) {
  if (form == ShapeForm::Compressed) return 2;
  if (form == ShapeForm::Binary) return 3;
  return 1;
}
ShapeForm FormOfSaveFilter(int index) {
  if (index == 2) return ShapeForm::Compressed;
  if (index == 3) return ShapeForm::Binary;
  return ShapeForm::UnicodeText;
}
}  // namespace

std::string TLSForm::SimulatorPath() { return session.SimulatorFolder(); }

void TLSForm::ResetDocument() {
  session.Close();
  ShowChangeMark();
  Label1.Caption.clear();
  Label2.Caption.clear();
  Caption = "Lodsmith";
}

bool TLSForm::BoxQuestions::Ask(const Question& q) {
  if (q.kind == Question::Kind::ByteOrder)
    return form_.ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, kByteOrderQuestionText) == MsgResult::Yes;
  const bool points = q.kind == Question::Kind::MergePoints;
  const std::string question = std::to_string(q.count) + " " + form_.MessageLanguageText(points ? 63 : 66) + " " +
                               FormatGeneral(q.tolerance, '.') + ". " + form_.MessageLanguageText(64);
  // The question is known by the number of its leading text.
  const int identity = points ? 63 : 66;
  return form_.platform().MessageBox(MsgKind::Confirmation, MsgButtons::YesNo, question,
                                     MsgIdentity::OfLanguageText(identity)) == MsgResult::Yes;
}

void TLSForm::ShowActionButtons() {
  Sub_ObjectsButton.Enabled = session.CanGenerate();
  PunkteButton.Enabled = session.CanMergePoints();
  NormalenButton.Enabled = session.CanMergeNormals();
  MatButton.Enabled = session.CanFixMaterials();
  SuggestButton.Enabled = session.CanSuggestDistances();
}

bool TLSForm::QuerySave() {
  if (!Changed) return true;
  switch (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNoCancel, Message(UiMsg::TextChangedSave))) {
    case MsgResult::Yes: try { SpeichernButtonClick();
      } catch (const Error& e) {
        // The shape may be on disk while its settings file was refused.
        ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
      }
      // Only a save that reached the disk lets the caller discard the text.
      return !Changed;
    case MsgResult::No: return true;
    default: return false;
  }
}

void TLSForm::FormCloseQuery(bool& CanClose) { CanClose = QuerySave(); }

void TLSForm::WegButtonClick() { platform_.CloseWindow(); }

void TLSForm::OeffnenButtonClick() {
  if (!QuerySave()) return;

  FileDialogRequest request;
  request.initialDir = Settings.Dir("InitialDir");
  if (request.initialDir.empty()) request.initialDir = SimulatorPath() + "\\trains\\trainset";
  request.fileName = Settings.Dir("Filename");
  request.filter = LanguageText(57);
  request.mustExist = true;
  if (auto chosen = platform_.OpenDialog(request)) OpenShapeFile(*chosen);
}

void TLSForm::OpenGivenShapes(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  OpenShapeFile(paths.front());
  if (paths.size() > 1)
    ShowMessage(MsgKind::Information, MsgButtons::Ok,
                Message(UiMsg::OnlyFirstShapeOpened, paths.size(), paths.front()));
}

void TLSForm::OpenShapeFile(const std::string& chosen) {
  ResetDocument();
  ProcessMessages(9);
  BeginBusy();
  BoxQuestions questions(*this);
  const OpenResult r = session.Open(chosen, questions, "", LODSpinEdit.Value, [this](int count) {
    Label2.Caption = std::to_string(count) + " " + LanguageText(22);
    ProcessMessages(2);
  });
  if (r.decoded) {
    ShowChangeMark();
    Label1.Caption = FileName;
    Caption = "Lodsmith   [ " + ExtractFileName(FileName) + " ]";
    Settings.SetDir("InitialDir", ExtractFileDir(FileName));
    Settings.SetDir("Filename", ExtractFileName(FileName));
    ShowActionButtons();
    ShowStructureNote();
    for (const auto& w : r.warnings) ShowMessage(MsgKind::Warning, MsgButtons::Ok, w);
  }
  if (r.settingsLoaded) ShowLoadedSettings(r.lodsLoaded);
  // The status line tells the form the file was read in, beside the note on
  // its structure.
  if (r.status == OpenResult::Status::Opened)
    if (auto note = ReadFormNote(session.fileForm)) {
      Label2.Caption = Text(Message(*note, ShapeLines.size()));
      if (!StructureNote.empty()) Label2.Caption += " – " + StructureNote;
    }
  switch (r.status) {
    case OpenResult::Status::Opened:
    case OpenResult::Status::Declined: break;
    case OpenResult::Status::FormBroken: ShowMessage(MsgKind::Error, MsgButtons::Ok, *r.failure); break;
    case OpenResult::Status::NotAnalysed:
    case OpenResult::Status::Unreadable:
      // One text for every way reading or analysing can fail: the user can
      // do the same about each of them.
      ShowLanguageText(MsgKind::Warning, MsgButtons::Ok, kOpenFailedText);
      break;
  }
  EndBusy();
}

bool TLSForm::SaveDocument() {
  if (FileName.empty()) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(UiMsg::NoFileName));
    return false;
  }
  BeginBusy();
  const std::string total = std::to_string(ShapeLines.size());
  const SaveResult r = session.Save([&](int i) {
    Label2.Caption = std::to_string(i) + " " + LanguageText(24) + " " + total + " " + LanguageText(23);
    ProcessMessages(2);
  });
  if (r.written()) {
    ShowChangeMark();
  } else if (r.status == SaveResult::Status::FormRefused) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, *r.failure);
    EndBusy();
    return false;
  } else {
    // The language file's text, then why, naming the file.
    std::string text = LanguageText(59);
    for (const Message& reason : r.reasons) AppendSentence(text, Text(reason));
    platform_.MessageBox(MsgKind::Warning, MsgButtons::Ok, text, MsgIdentity::OfLanguageText(59));
  }
  EndBusy();
  Label2.Caption = total + " " + LanguageText(24) + " " + total + " " + LanguageText(23);
  return r.written();
}

void TLSForm::SpeichernButtonClick() {
  FileDialogRequest request;
  request.initialDir = Settings.Dir("InitialDir");
  request.filter = LanguageText(57);
  request.overwritePrompt = true;
  if (FileName.empty()) {
    auto chosen = platform_.SaveDialog(request);
    if (!chosen) return;
    FileName = *chosen;
  }
  SaveDocumentAndSettings();
}

void TLSForm::SpeichernUnterButtonClick() {
  FileDialogRequest request;
  request.initialDir = Settings.Dir("InitialDir");
  request.fileName = ExtractFileName(FileName);
  request.filter = Text(Message(UiMsg::SaveFormFilter));
  request.filterIndex = SaveFilterOf(session.fileForm);
  int chosenFilter = request.filterIndex;
  request.chosenFilter = &chosenFilter;
  request.overwritePrompt = true;
  auto chosen = platform_.SaveDialog(request);
  if (!chosen) return;
  FileName = *chosen;
  session.fileForm = FormOfSaveFilter(chosenFilter);
  SaveDocumentAndSettings();
}

void TLSForm::SaveDocumentAndSettings() {
  SaveDocument();
  // The settings are kept whatever became of the shape, but an empty
  // document (a 0-byte file, a refused open) has no assignments worth
  // writing over the ones stored beside it.
  if (!ShapeLines.empty()) SaveModelSettings();
}

void TLSForm::UndoButtonClick() {
  if (UndoLines.empty()) {
    ShowLanguageText(MsgKind::Warning, MsgButtons::Ok, 68);
    return;
  }
  if (ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, 69) != MsgResult::Yes) return;
  BeginBusy();
  bool failed = false;
  try {
    session.Undo();
  } catch (const Error&) {
    failed = true;
  }
  // Undone, the text is as opened, whether or not it analyses.
  ShowChangeMark();
  for (const auto& w : session.analysis.warnings) ShowMessage(MsgKind::Warning, MsgButtons::Ok, w);
  if (failed) ShowLanguageText(MsgKind::Warning, MsgButtons::Ok, kOpenFailedText);
  ShowActionButtons();
  // The restored text is the opened one: the note on its structure stands.
  ShowStructureNote();
  EndBusy();
}

}  // namespace lodsmith
