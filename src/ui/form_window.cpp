// Creation and destruction of the window, the program settings it keeps
// between runs (LOD count and distances), and the language texts.
#include <algorithm>

#include "core/file_io.h"
#include "core/file_system.h"
#include "core/grid_columns.h"
#include "session/lod_rules.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

using namespace grid;

void TLSForm::FormCreate() {
  ResetDocument();
  UndoLines.clear();
  Caption = "Lodsmith";

  const std::string exe = platform_.ExecutablePath();
  LanguageIni = std::make_unique<IniFile>(ExtractFileDir(exe) + kLanguageFileName);
  OpenSettingsFiles(ChangeExtension(exe, ".INI"));
  OfferLanguages();
  TellStartNotes();
  SetUpLodTables();
  ApplyLanguageTexts();

  DeltaPointsEdit.Text = "0";
  DeltaNormalsEdit.Text = "0";
  ScreenErrorEdit.Text = FormatGeneral(session.screenError, platform_.DecimalSeparator());
  SuggestButton.Enabled = session.CanSuggestDistances();
}

void TLSForm::OfferLanguages() {
  SpracheComboBox.Items.clear();
  for (int i = 1;; ++i) {
    std::string name = LanguageIni->ReadString("Languages", "S" + std::to_string(i), "");
    if (name.empty()) break;
    SpracheComboBox.Items.push_back(name);
  }
  LanguageName = LanguageChoiceIni && LanguageChoiceIni->ValueExists("Languages", "Language")
                     ? LanguageChoiceIni->ReadString("Languages", "Language", "Deutsch")
                     : LanguageIni->ReadString("Languages", "Language", "Deutsch");
  SpracheComboBox.ItemIndex = -1;
  for (std::size_t i = 0; i < SpracheComboBox.Items.size(); ++i)
    if (EqualsIgnoreCase(SpracheComboBox.Items[i], LanguageName)) {
      SpracheComboBox.ItemIndex = static_cast<int>(i);
      break;
    }
}

void TLSForm::TellStartNotes() {
  if (platform_.ScreenWidth() <= 1023 || platform_.ScreenHeight() <= 767)
    ShowLanguageText(MsgKind::Information, MsgButtons::Ok, 20);

  if (SettingsReadOnly)
    ShowMessage(MsgKind::Information, MsgButtons::Ok, Message(UiMsg::SettingsNotStored, ProgramIni->Path()));
}

void TLSForm::SetUpLodTables() {
  // The tables for the LOD count and distances of the last run; a
  // hand-edited count outside 1..99 is brought into range so that there is
  // always at least one LOD column.
  const int n = std::clamp(ProgramIni->ReadInteger("LODs", "Anzahl", 1), kMinLods, kMaxLods);
  session.SetUp(
      n, [this](int k) { return SaneDistance(ProgramIni->ReadString("LODs", std::to_string(k), kDefaultDistance)); });
  StringGrid1.ColWidths.resize(std::max<std::size_t>(StringGrid1.ColWidths.size(), ElementLodColumn(1) + 1), 28);
  StringGrid1.ColWidths[kElementName] = 186;
  StringGrid1.ColWidths[kElementImage] = 100;
  StringGrid1.ColWidths[kElementFaces] = 45;
  StringGrid5.ColWidths = {20, 60, 45};
  DetailGrid.ColWidths = {64, 72};
  StringGrid4.SetCell(kDistance, kHeaderRow, Text(Message(UiMsg::DistanceColumnHeader)));
  LODAnzSpinEdit.Value = n;
  LODSpinEdit.MaxValue = n;
  LODSpinEdit.Enabled = n > 1;
  StringGrid2.ColWidths.resize(std::max<std::size_t>(StringGrid2.ColWidths.size(), kSubObjectVertices + 1), 28);
  StringGrid2.ColWidths[kSubObjectNumber] = 28;
  StringGrid2.ColWidths[kSubObjectVertices] = 50;
}

std::string TLSForm::UserSettingsFile(const std::string& besideProgram) {
  const std::string folder = platform_.UserSettingsFolder();
  if (folder.empty()) return "";
  const std::string path = folder + ExtractFileName(besideProgram);
  if (!platform_.FileExists(path) && !platform_.CreateFolder(folder)) return "";
  return platform_.CanStoreFile(path) ? path : "";
}

void TLSForm::OpenSettingsFiles(const std::string& besideProgram) {
  SettingsReadOnly = false;
  LanguageChoiceIni.reset();
  // A copy unpacked anywhere keeps its settings beside itself, as always.
  if (platform_.CanStoreFile(besideProgram)) {
    ProgramIni = std::make_unique<IniFile>(besideProgram);
    if (platform_.FileExists(LanguageIni->Path()) && !platform_.CanStoreFile(LanguageIni->Path())) {
      // Only the language choice is lost; it is not worth a message.
      LanguageIni->SetMemoryOnly(true);
    }
    return;
  }
  // An installed copy keeps them in the user's settings folder; the first
  // time, the settings beside the program are taken along. The language
  // file's texts stay where they were installed; only the choice of
  // language goes to the user's folder.
  LanguageIni->SetMemoryOnly(true);
  const std::string user = UserSettingsFile(besideProgram);
  if (!user.empty()) {
    if (!platform_.FileExists(user) && platform_.FileExists(besideProgram)) Files().Copy(besideProgram, user);
    ProgramIni = std::make_unique<IniFile>(user);
    const std::string choice = UserSettingsFile(LanguageIni->Path());
    if (!choice.empty()) LanguageChoiceIni = std::make_unique<IniFile>(choice);
    return;
  }
  // Nowhere to store: what the program would store stays in memory, and
  // the user hears about it once.
  SettingsReadOnly = true;
  ProgramIni = std::make_unique<IniFile>(besideProgram);
  ProgramIni->SetMemoryOnly(true);
}

Language TLSForm::StoredLanguage(const std::string& exe, const std::string& userFolder) {
  const IniFile shipped(ExtractFileDir(exe) + kLanguageFileName);
  std::string name = shipped.ReadString("Languages", "Language", "Deutsch");
  // An installed copy keeps the choice in the user's folder (see
  // OpenSettingsFiles).
  if (!CanStoreFile(ChangeExtension(exe, ".INI")) && !userFolder.empty() &&
      FileExists(userFolder + kLanguageFileName)) {
    const IniFile user(userFolder + kLanguageFileName);
    if (user.ValueExists("Languages", "Language")) name = user.ReadString("Languages", "Language", "Deutsch");
  }
  return LanguageNamed(name);
}

void TLSForm::FormDestroy() {
  if (ProgramIni) {
    try {
      // One write to disk for the whole section.
      IniFile::BatchUpdate batch(*ProgramIni);
      ProgramIni->EraseSection("LODs");
      const int n = LODAnzSpinEdit.Value;
      ProgramIni->WriteInteger("LODs", "Anzahl", n);
      for (int k = 1; k <= n; ++k) {
        const std::string& distance = StringGrid4.Cell(kDistance, k);
        ProgramIni->WriteString("LODs", std::to_string(k), distance.empty() ? kDefaultDistance : distance);
      }
      batch.Commit();
    } catch (const Error&) {
      // The folder became read-only while the program ran.
      if (!SettingsReadOnly) {
        SettingsReadOnly = true;
        ShowMessage(MsgKind::Information, MsgButtons::Ok, Message(UiMsg::SettingsNotStored, ProgramIni->Path()));
      }
    }
  }
  ProgramIni.reset();
  LanguageIni.reset();
  LanguageChoiceIni.reset();
  UndoLines.clear();
  ShapeLines.clear();
}

void TLSForm::ApplyLanguageTexts() {
  CompressButton.Caption = LanguageText(1);
  OeffnenButton.Caption = LanguageText(2);
  Sub_ObjectsButton.Caption = LanguageText(3);
  AnimButton.Caption = LanguageText(4);
  PunkteButton.Caption = LanguageText(5);
  NormalenButton.Caption = LanguageText(6);
  MatButton.Caption = LanguageText(7);
  UndoButton.Caption = LanguageText(8);
  SpeichernBitBtn.Caption = LanguageText(9);
  SpeichernUnterBitBtn.Caption = LanguageText(10);
  Button1.Caption = LanguageText(11);
  ApplyPreviewTexts();
  AnimResetButton.Caption = LanguageText(12);
  GrundButton.Caption = LanguageText(13);
  E_SpeichernButton.Caption = LanguageText(14);
  E_LadenButton.Caption = LanguageText(15);
  E_DruckenButton.Caption = LanguageText(16);
  TabSheet1.Caption = LanguageText(17);
  TabSheet3.Caption = LanguageText(19);

  StringGrid4.SetCell(kDistance, kHeaderRow, Text(Message(UiMsg::DistanceColumnHeader)));
  StringGrid5.SetCell(kOverviewLod, kHeaderRow, LanguageText(27));
  StringGrid5.SetCell(kOverviewDistance, kHeaderRow, LanguageText(28));
  StringGrid4.SetCell(kDistanceLod, kHeaderRow, "LOD " + LanguageText(27));
  StringGrid2.SetCell(kSubObjectNumber, kHeaderRow, LanguageText(27));
  DetailGrid.SetCell(0, kHeaderRow, "LOD " + LanguageText(27));
  DetailGrid.SetCell(1, kHeaderRow, Text(Message(UiMsg::DetailColumnHeader)));
  Label34.Caption = Text(Message(UiMsg::CaptionAutoLods));
  Label35.Caption = Text(Message(UiMsg::CaptionScreenError));
  Label36.Caption = Text(Message(UiMsg::CaptionDetailHelp));
  SuggestButton.Caption = Text(Message(UiMsg::CaptionSuggestDistances));

  Label4.Caption = LanguageText(30);
  Label5.Caption = LanguageText(31);
  Label6.Caption = LanguageText(32);
  Label14.Caption = LanguageText(33);
  Label15.Caption = LanguageText(34);
  Label26.Caption = LanguageText(35);
  Label25.Caption = LanguageText(36);
  Label10.Caption = LanguageText(37);
  Label21.Caption = LanguageText(38) + " L " + std::to_string(LODSpinEdit.Value) + " =";
  Label7.Caption = LanguageText(39);
  Label17.Caption = LanguageText(40);
  Label18.Caption = LanguageText(41);
  Label8.Caption = LanguageText(42);
  Label9.Caption = LanguageText(43);
  Label13.Caption = LanguageText(44);
  Label19.Caption = LanguageText(45);
  Label20.Caption = LanguageText(46);
  Label23.Caption = LanguageText(47);
  Label28.Caption = LanguageText(48);
  Label29.Caption = LanguageText(49);
  Label30.Caption = LanguageText(50);

  // Every text has its English now, so the notices that the instructions and
  // messages are German only would be false in English; German keeps them.
  const bool english = TextLanguage() == Language::English;
  Label31.Caption = Text(Message(UiMsg::CaptionLanguage));
  // The beta notice: German keeps its label and the English line beside it;
  // English says it once, in English.
  Label3.Caption = Text(Message(UiMsg::CaptionBeta));
  Label11.Visible = !english;
  Label12.Visible = !english;
  Label32.Visible = !english;
  Label33.Visible = !english;
}

void TLSForm::SpracheComboBoxSelect() {
  const int i = SpracheComboBox.ItemIndex;
  if (i < 0 || i >= static_cast<int>(SpracheComboBox.Items.size())) return;
  const std::string chosen = SpracheComboBox.Items[static_cast<std::size_t>(i)];
  // Switch first: a language file that refuses the write must not keep the
  // captions in the old language.
  LanguageName = chosen;
  ApplyLanguageTexts();
  // The status line of an open shape speaks the new language too.
  if (!ShapeLines.empty()) ShowStructureNote();
  if (IniFile* store = LanguageChoiceIni ? LanguageChoiceIni.get() : LanguageIni.get())
    store->WriteString("Languages", "Language", chosen);
}

}  // namespace lodsmith
