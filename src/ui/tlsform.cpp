#include "ui/tlsform.h"

#include <exception>

#include "ui/form_layout.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith {

TLSForm::TLSForm(Platform& platform) : session(platform), platform_(platform) {
  // Design-time state of the controls; FormCreate and the language texts
  // replace most captions.
  Caption = "Lodsmith";
  TabSheet1.Caption = Text(Message(UiMsg::CaptionSplittingTab));
  TabSheet3.Caption = Text(Message(UiMsg::CaptionSettingsTab));
  for (const layout::Control& c : layout::MainWindowControls()) {
    if (c.made) *layout::CaptionOf(*this, c) = Text(Message(*c.made));
    if (c.fixed) *layout::CaptionOf(*this, c) = c.fixed;
  }
  ApplyPreviewTexts();
  DoButton1.Enabled = false;
  SOAnzLabel.Visible = false;
  SOAnzLabel1.Visible = false;

  NrEdit.Text = "1";
  DeltaPointsEdit.Text = "0";
  DeltaNormalsEdit.Text = "0";
  for (TSpinEdit* s : {&LODSpinEdit, &LODAnzSpinEdit}) {
    s->Value = s->MinValue = kMinLods;
    s->MaxValue = kMaxLods;
  }

  // The grids are the session's tables, made in their design sizes.
  StringGrid1.Name = "StringGrid1";
  StringGrid1.ColWidths = {71, 69, 68, 28, 28, 28, 28, 28, 28};
  StringGrid2.Name = "StringGrid2";
  StringGrid2.ColWidths = {28, 28, 28};
  StringGrid3.Name = "StringGrid3";
  StringGrid3.ColWidths = {139, 53, 32};
  StringGrid4.Name = "StringGrid4";
  StringGrid4.ColWidths = {64, 64};
  StringGrid5.Name = "StringGrid5";
  StringGrid5.ColWidths = {24, 59, 48};
}

TLSForm::~TLSForm() = default;

bool TLSForm::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const Error& e) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
  } catch (const std::exception& e) {
    // Not one of the program's own faults (memory, the standard library):
    // its description is all there is to show.
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.what());
  }
  return false;
}

TLSForm::GridEvents TLSForm::GridEventsOf(StringGrid& grid) {
  GridEvents e;
  if (&grid == &StringGrid1) {
    e.select = [this](int c, int r, bool& can) { StringGrid1SelectCell(c, r, can); };
    e.edit = [this](int c, int r, const std::string& v) { StringGrid1SetEditText(c, r, v); };
    e.exit = [this] { StringGrid1Exit(); };
  } else if (&grid == &StringGrid2 || &grid == &StringGrid3) {
    e.select = [this, &grid](int c, int r, bool& can) { StringGrid2SelectCell(grid, c, r, can); };
    e.edit = [this, &grid](int c, int r, const std::string& v) { StringGrid2SetEditText(grid, c, r, v); };
  } else if (&grid == &StringGrid4) {
    e.select = [this](int c, int r, bool& can) { StringGrid4SelectCell(c, r, can); };
    e.edit = [this](int c, int r, const std::string& v) { StringGrid4SetEditText(c, r, v); };
    e.exit = [this] { StringGrid4Exit(); };
  } else if (&grid == &DetailGrid) {
    e.select = [this](int c, int r, bool& can) { DetailGridSelectCell(c, r, can); };
    e.edit = [this](int c, int r, const std::string& v) { DetailGridSetEditText(c, r, v); };
  }
  return e;
}

Language TLSForm::TextLanguage() const { return LanguageNamed(LanguageName); }

std::string TLSForm::Text(const Message& message) const {
  return MessageString(message, TextLanguage(), [this](int id) -> std::optional<std::string> {
    if (!LanguageIni) return std::nullopt;
    return UnescapeLanguageEntry(LanguageIni->ReadString(LanguageName, "S" + std::to_string(id), ""));
  });
}

MsgResult TLSForm::ShowMessage(MsgKind kind, MsgButtons buttons, const Message& message) {
  return platform_.MessageBox(kind, buttons, Text(message), MsgIdentity::OfMessage(message.id));
}

MsgResult TLSForm::ShowLanguageText(MsgKind kind, MsgButtons buttons, int n) {
  return platform_.MessageBox(kind, buttons, MessageLanguageText(n), MsgIdentity::OfLanguageText(n));
}

MsgResult TLSForm::ShowMessage(MsgKind kind, MsgButtons buttons, const std::string& text) {
  return platform_.MessageBox(kind, buttons, text, MsgIdentity{});
}

void TLSForm::BeginBusy() {
  SavedCursor = platform_.Cursor();
  platform_.SetCursor(crHourGlass);
}

void TLSForm::EndBusy() { platform_.SetCursor(SavedCursor); }

void TLSForm::ProcessMessages(int times) {
  for (int i = 0; i < times; ++i) platform_.ProcessMessages();
}

void TLSForm::SMemoChange() {
  Changed = true;
  ShowChangeMark();
}

void TLSForm::ShowChangeMark() {
  SpeichernBitBtn.FontColor = SpeichernUnterBitBtn.FontColor = Changed ? clRed : clWindowText;
}

void TLSForm::ShowLineCount() { Label2.Caption = std::to_string(ShapeLines.size()) + " " + LanguageText(22); }

std::string TLSForm::LanguageText(int n) const {
  if (!LanguageIni) return "";
  return LanguageIni->ReadString(LanguageName, "S" + std::to_string(n), "");
}

std::string TLSForm::MessageLanguageText(int n) const {
  std::string text = LanguageText(n);
  return text.empty() ? BuiltInNumberedText(n, TextLanguage()) : text;
}

}  // namespace lodsmith
