// The texts of one batch run: the language file's section of the run's
// language and the built-in message texts, as the window would show them.
#pragma once

#include <string>

#include "core/message.h"
#include "platform/ini_file.h"
#include "ui/texts/messages.h"

namespace lodsmith {

class RunTexts {
public:
  // `languageFile`: the language file's bytes; `name`: the language in use
  // ("Deutsch", "English", or another section of the file).
  RunTexts(const std::string& languageFile, std::string name);

  const std::string& Name() const { return name_; }
  Language TextLanguage() const { return LanguageNamed(name_); }
  // A message in the run's language, the language file's template first.
  std::string Text(const Message& message) const;
  // The language file's numbered text n; the built-in one of the language
  // when the file has none (empty when neither has it).
  std::string Numbered(int n) const;

private:
  IniFile file_;
  std::string name_;
};

}  // namespace lodsmith
