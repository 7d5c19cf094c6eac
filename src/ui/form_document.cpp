// Opening, saving, undo and the unsaved-changes question.
#include "core/file_io.h"
#include "core/grid_columns.h"
#include "document/shape_file.h"
#include "document/shape_forms.h"
#include "ui/tlsform.h"
#include "ui/ui_messages.h"

namespace lodsmith {

using namespace grid;

namespace {
const char* const kSimulatorKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0";
const std::string kUtf16Mark("\xFF\xFE", 2);

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

// A sentence after the text, each ended with a full stop (the system's
// reasons come without one).
void AppendSentence(std::string& text, std::string sentence) {
  if (sentence.empty()) return;
  if (sentence.back() != '.' && sentence.back() != '!' && sentence.back() != '?') sentence += '.';
  text += (text.empty() ? "" : " ") + sentence;
}
}  // namespace

std::string TLSForm::SimulatorPath() {
  return platform_.RegistryReadLocalMachine(kSimulatorKey, "EXE Path").value_or("");
}

void TLSForm::ResetDocument() {
  ShapeLines.clear();
  Changed = false;
  SpeichernBitBtn.FontColor = clWindowText;
  SpeichernUnterBitBtn.FontColor = clWindowText;
  Label1.Caption.clear();
  Label2.Caption.clear();
  Caption = "Lodsmith";
  FileName.clear();
  FileForm = ShapeForm::UnicodeText;
  StringGrid1.SetRowCount(2);
  for (int c = kElementName; c <= ElementLodColumn(2); ++c) StringGrid1.SetCell(c, 1, "");
  StringGrid2.SetRowCount(2);
  StringGrid3.SetRowCount(2);
  for (int c = kSubObjectNumber; c <= SubObjectSortColumn(1); ++c) StringGrid2.SetCell(c, 1, "");
  for (int c = kMatrixName; c <= kMatrixAnimated; ++c) StringGrid3.SetCell(c, 1, "");
}

bool TLSForm::QuerySave() {
  if (!Changed) return true;
  switch (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNoCancel, Message(UiMsg::TextChangedSave))) {
    case MsgResult::Yes: try { SpeichernButtonClick();
      } catch (const Error& e) {
        // The shape may be on disk while its settings file was refused.
        ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
        LastOutcome = Outcome::Failed;
      }
      // Only a save that reached the disk lets the caller discard the text.
      return !Changed;
    case MsgResult::No: return true;
    default: LastOutcome = Outcome::Cancelled; return false;
  }
}

void TLSForm::FormCloseQuery(bool& CanClose) { CanClose = QuerySave(); }

void TLSForm::WegButtonClick() { platform_.CloseWindow(); }

void TLSForm::OeffnenButtonClick() {
  if (!QuerySave()) return;

  FileDialogRequest request;
  request.initialDir = DirSetting("InitialDir");
  if (request.initialDir.empty()) request.initialDir = SimulatorPath() + "\\trains\\trainset";
  request.fileName = DirSetting("Filename");
  request.filter = LanguageText(57);
  request.mustExist = true;
  auto chosen = platform_.OpenDialog(request);
  if (!chosen) {
    LastOutcome = Outcome::Cancelled;
    return;
  }

  ResetDocument();
  ProcessMessages(9);
  BeginBusy();
  try {
    std::string bytes = ReadFileBytes(*chosen);
    bool go = true;
    const std::optional<ShapeForm> form = DetectShapeForm(bytes);
    if (form && *form != ShapeForm::UnicodeText) {
      // A file that claims a form and breaks it is told by the converter's
      // own message, which names the fault; nothing opens.
      try {
        bytes = ShapeFormToUnicodeText(bytes, *form);
      } catch (const Error& e) {
        ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
        LastOutcome = Outcome::Failed;
        go = false;
      }
    }
    if (go && !bytes.empty()) {
      FileBom = bytes.substr(0, std::min<std::size_t>(2, bytes.size()));
      // Only a file that is none of the forms may be no shape at all.
      if (!form && FileBom != kUtf16Mark) {
        go = ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, kByteOrderQuestionText) == MsgResult::Yes;
        if (!go) LastOutcome = Outcome::Cancelled;
      }
    }
    if (go) {
      auto decoded = DecodeShape(bytes, [this](int count) {
        Label2.Caption = std::to_string(count) + " " + LanguageText(22);
        ProcessMessages(2);
      });
      ShapeLines = std::move(decoded.lines);
      Changed = false;
      SpeichernBitBtn.FontColor = clWindowText;
      SpeichernUnterBitBtn.FontColor = clWindowText;
      FileName = *chosen;
      Label1.Caption = FileName;
      Caption = "Lodsmith   [ " + ExtractFileName(FileName) + " ]";
      FileForm = form.value_or(ShapeForm::UnicodeText);
      ShowLineCount();
      if (ProgramIni) {
        ProgramIni->WriteString("Dir", "InitialDir", ExtractFileDir(FileName));
        ProgramIni->WriteString("Dir", "Filename", ExtractFileName(FileName));
      }
      Sub_ObjectsButton.Enabled = true;
      PunkteButton.Enabled = true;
      NormalenButton.Enabled = true;
      MatButton.Enabled = true;
      AnalyseShape();
      ApplyDefaultAssignment();
      LoadModelSettings();
      RefreshSubObjectGrid();
      // The status line tells the form the file was read in, beside the
      // note on its structure.
      if (auto note = ReadFormNote(FileForm)) {
        Label2.Caption = Text(Message(*note, ShapeLines.size()));
        if (!StructureNote.empty()) Label2.Caption += " – " + StructureNote;
      }
    }
  } catch (const Error&) {
    // One text for every way reading or analysing can fail: the user can do
    // the same about each of them.
    ShowLanguageText(MsgKind::Warning, MsgButtons::Ok, kOpenFailedText);
    LastOutcome = Outcome::Failed;
  }
  EndBusy();
  UndoLines = ShapeLines;
}

bool TLSForm::SaveDocument() {
  if (FileName.empty()) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(UiMsg::NoFileName));
    LastOutcome = Outcome::Refused;
    return false;
  }
  BeginBusy();
  const std::string total = std::to_string(ShapeLines.size());
  bool written = false;
  // Why it failed, named after the language file's text: the system's
  // reason names the file.
  const bool existed = FileExists(FileName);
  std::vector<Message> reasons;
  // An empty document has no first line to write: it is refused with the
  // text of a failed write, and the file stays as it is.
  if (ShapeLines.empty()) reasons.emplace_back(UiMsg::SaveEmptyDocument, FileName);
  if (!ShapeLines.empty()) {
    try {
      std::string bytes = EncodeShape(ShapeLines, FileBom, [&](int i) {
        Label2.Caption = std::to_string(i) + " " + LanguageText(24) + " " + total + " " + LanguageText(23);
        ProcessMessages(2);
      });
      if (FileForm == ShapeForm::Compressed || FileForm == ShapeForm::Binary) {
        // A text the converter cannot write in this form is told by its own
        // message, which names the line; the file stays as it is.
        try {
          bytes = UnicodeTextToShapeForm(bytes, FileForm);
        } catch (const Error& e) {
          ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
          LastOutcome = Outcome::Failed;
          EndBusy();
          return false;
        }
      }
      // The previous file becomes the backup only once the new one is complete.
      WriteFileAtomic(FileName, bytes, ChangeExtension(FileName, ".BAK"));
      // An 8-bit or unmarked file was written as Unicode text with the mark.
      if (FileForm != ShapeForm::Compressed && FileForm != ShapeForm::Binary) FileForm = ShapeForm::UnicodeText;
      Changed = false;
      SpeichernBitBtn.FontColor = clWindowText;
      SpeichernUnterBitBtn.FontColor = clWindowText;
      written = true;
    } catch (const Error& e) {
      // Every failed write is told with the language file's one text below;
      // the target and its backup are as they were.
      reasons.push_back(e.message());
    }
  }
  if (!written) {
    if (!existed) reasons.emplace_back(UiMsg::SaveNoPreviousVersion, FileName);
    std::string text = LanguageText(59);
    for (const Message& reason : reasons) AppendSentence(text, Text(reason));
    platform_.MessageBox(MsgKind::Warning, MsgButtons::Ok, text, MsgIdentity::OfLanguageText(59));
    LastOutcome = Outcome::Failed;
  }
  EndBusy();
  Label2.Caption = total + " " + LanguageText(24) + " " + total + " " + LanguageText(23);
  return written;
}

void TLSForm::SpeichernButtonClick() {
  FileDialogRequest request;
  request.initialDir = DirSetting("InitialDir");
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
  request.initialDir = DirSetting("InitialDir");
  request.fileName = ExtractFileName(FileName);
  request.filter = Text(Message(UiMsg::SaveFormFilter));
  request.filterIndex = SaveFilterOf(FileForm);
  int chosenFilter = request.filterIndex;
  request.chosenFilter = &chosenFilter;
  request.overwritePrompt = true;
  auto chosen = platform_.SaveDialog(request);
  if (!chosen) return;
  FileName = *chosen;
  FileForm = FormOfSaveFilter(chosenFilter);
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
    LastOutcome = Outcome::Refused;
    return;
  }
  if (ShowLanguageText(MsgKind::Confirmation, MsgButtons::YesNo, 69) != MsgResult::Yes) {
    LastOutcome = Outcome::Cancelled;
    return;
  }
  BeginBusy();
  ShapeLines = UndoLines;
  Changed = false;
  SpeichernBitBtn.FontColor = clWindowText;
  SpeichernUnterBitBtn.FontColor = clWindowText;
  Sub_ObjectsButton.Enabled = true;
  PunkteButton.Enabled = true;
  NormalenButton.Enabled = true;
  MatButton.Enabled = true;
  try {
    AnalyseShape();
  } catch (const Error&) {
    ShowLanguageText(MsgKind::Warning, MsgButtons::Ok, kOpenFailedText);
    LastOutcome = Outcome::Failed;
  }
  ShowLineCount();
  // The restored text is the opened one: the note on its structure stands.
  if (!StructureNote.empty()) Label2.Caption += " – " + StructureNote;
  EndBusy();
}

std::string TLSForm::DirSetting(const std::string& key) const {
  return ProgramIni ? ProgramIni->ReadString("Dir", key, "") : "";
}

std::string TLSForm::ModelSettingsFileName() const { return ChangeExtension(FileName, ".Lodsmith"); }

}  // namespace lodsmith
