// Creation and destruction of the window, language texts.
#include "document/shape_file.h"
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::FormCreate() {
  ResetDocument();
  Caption = "Lodsmith";
  std::string exe = platform_.ExecutablePath();
  ProgramIni = std::make_unique<IniFile>(ChangeExtension(exe, ".INI"));
  LanguageIni = std::make_unique<IniFile>(ExtractFileDir(exe) + "Lodsmith_L.INI");
  LanguageName = LanguageIni->ReadString("Languages", "Language", "Deutsch");
}
void TLSForm::FormDestroy() {}
void TLSForm::ApplyLanguageTexts() {}
void TLSForm::SpracheComboBoxSelect() {}

}  // namespace lodsmith
