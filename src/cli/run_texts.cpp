#include "cli/run_texts.h"

namespace lodsmith {

RunTexts::RunTexts(const std::string& languageFile, std::string name)
    : file_("", languageFile), name_(std::move(name)) {
  file_.SetMemoryOnly(true);
}

std::string RunTexts::Text(const Message& message) const {
  return MessageString(message, TextLanguage(), [this](int id) -> std::optional<std::string> {
    return UnescapeLanguageEntry(file_.ReadString(name_, "S" + std::to_string(id), ""));
  });
}

std::string RunTexts::Numbered(int n) const {
  // A language file without the chosen section (or without this text) does
  // not leave a line empty: the built-in text of the language stands in.
  std::string text = file_.ReadString(name_, "S" + std::to_string(n), "");
  return text.empty() ? BuiltInNumberedText(n, TextLanguage()) : text;
}

}  // namespace lodsmith
