// Creation and destruction of the window, the program settings it keeps
// between runs (LOD count and distances), and the language texts.
#include <algorithm>

#include "core/file_io.h"
#include "core/grid_columns.h"
#include "ui/form_layout.h"
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
  Settings.Open(platform_, ChangeExtension(exe, ".INI"), ExtractFileDir(exe) + kLanguageFileName);
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
  SpracheComboBox.Items = Settings.Languages();
  LanguageName = Settings.LanguageName();
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

  if (Settings.readOnly)
    ShowMessage(MsgKind::Information, MsgButtons::Ok, Message(UiMsg::SettingsNotStored, ProgramIni->Path()));
}

void TLSForm::SetUpLodTables() {
  // The tables for the LOD count and distances of the last run.
  const int n = Settings.LodCount();
  session.SetUp(n, [this](int k) { return Settings.Distance(k); });
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

Language TLSForm::StoredLanguage(const std::string& exe, const std::string& userFolder) {
  return LanguageNamed(ProgramSettings::StoredLanguageName(exe, userFolder, kLanguageFileName));
}

void TLSForm::FormDestroy() {
  if (ProgramIni) {
    try {
      Settings.StoreLods(LODAnzSpinEdit.Value, [this](int k) { return StringGrid4.Cell(kDistance, k); });
    } catch (const Error&) {
      // The folder became read-only while the program ran.
      if (!Settings.readOnly) {
        Settings.readOnly = true;
        ShowMessage(MsgKind::Information, MsgButtons::Ok, Message(UiMsg::SettingsNotStored, ProgramIni->Path()));
      }
    }
  }
  Settings.Close();
  UndoLines.clear();
  ShapeLines.clear();
}

void TLSForm::ApplyLanguageTexts() {
  for (const layout::Control& c : layout::MainWindowControls()) {
    if (c.number) *layout::CaptionOf(*this, c) = LanguageText(c.number);
    if (c.language) *layout::CaptionOf(*this, c) = Text(Message(*c.language));
  }
  ApplyPreviewTexts();
  TabSheet1.Caption = LanguageText(17);
  TabSheet3.Caption = LanguageText(19);
  Label21.Caption = LanguageText(38) + " L " + std::to_string(LODSpinEdit.Value) + " =";

  StringGrid4.SetCell(kDistance, kHeaderRow, Text(Message(UiMsg::DistanceColumnHeader)));
  StringGrid5.SetCell(kOverviewLod, kHeaderRow, LanguageText(27));
  StringGrid5.SetCell(kOverviewDistance, kHeaderRow, LanguageText(28));
  StringGrid4.SetCell(kDistanceLod, kHeaderRow, "LOD " + LanguageText(27));
  StringGrid2.SetCell(kSubObjectNumber, kHeaderRow, LanguageText(27));
  DetailGrid.SetCell(0, kHeaderRow, "LOD " + LanguageText(27));
  DetailGrid.SetCell(1, kHeaderRow, Text(Message(UiMsg::DetailColumnHeader)));

  // Every text has its English now, so the notices that the instructions and
  // messages are German only would be false in English; German keeps them.
  // The beta notice (Label3 follows the language): German keeps the English
  // line beside it; English says it once.
  const bool english = TextLanguage() == Language::English;
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
  Settings.StoreLanguageName(chosen);
}

}  // namespace lodsmith
