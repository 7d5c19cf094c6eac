#include "ui/texts/messages.h"

#include <unordered_map>

#include "core/text.h"

namespace lodsmith {

namespace {

const std::unordered_map<int, const MessageText*>& Index() {
  static const std::unordered_map<int, const MessageText*> index = [] {
    std::unordered_map<int, const MessageText*> map;
    for (auto table : MessageTables())
      for (const MessageText& t : table) map.emplace(t.id, &t);
    return map;
  }();
  return index;
}

// "%{N:one|other}" at `p` (just past the "%"): the word for argument N
// appended and `p` moved to the closing brace; false (nothing appended)
// when the choice is not well formed.
bool AppendChoice(const char*& p, const std::vector<std::string>& args, std::string& out) {
  const std::string_view rest(p);
  if (rest.size() < 4 || rest[0] != '{' || rest[1] < '1' || rest[1] > '9' || rest[2] != ':') return false;
  const std::size_t bar = rest.find('|', 3), close = rest.find('}', 3);
  if (bar == std::string_view::npos || close == std::string_view::npos || bar > close) return false;
  const std::size_t i = static_cast<std::size_t>(rest[1] - '1');
  const bool one = i < args.size() && args[i] == "1";
  out += one ? rest.substr(3, bar - 3) : rest.substr(bar + 1, close - bar - 1);
  p += close;
  return true;
}

}  // namespace

std::vector<std::span<const MessageText>> MessageTables() {
  return {CoreTexts(),    DocumentTexts(), GenerationTexts(), ToolsTexts(), PlatformTexts(), PrintTexts(),
          PreviewTexts(), SessionTexts(),  SimplifyTexts(),   UiTexts(),    CliTexts()};
}

void AppendSentence(std::string& text, std::string sentence) {
  if (sentence.empty()) return;
  if (sentence.back() != '.' && sentence.back() != '!' && sentence.back() != '?') sentence += '.';
  text += (text.empty() ? "" : " ") + sentence;
}

Language LanguageNamed(std::string_view name) {
  return EqualsIgnoreCase(name, "English") ? Language::English : Language::German;
}

const MessageText* FindMessageText(int id) {
  const auto& index = Index();
  auto it = index.find(id);
  return it == index.end() ? nullptr : it->second;
}

std::string MessageString(const Message& message, Language language) {
  return MessageString(message, language, TemplateSource{});
}

std::string MessageString(const Message& message, Language language, const TemplateSource& source) {
  const MessageText* text = FindMessageText(message.id);
  if (!text) return DescribeMessage(message);
  std::optional<std::string> stored = source ? source(message.id) : std::nullopt;
  if (stored && stored->empty()) stored.reset();
  const char* pattern = stored                                                             ? stored->c_str()
                        : language == Language::English && text->english && *text->english ? text->english
                                                                                           : text->german;
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (*p != '%' || !p[1]) {
      out += *p;
      continue;
    }
    if (p[1] == '{') {
      const char* choice = p + 1;
      if (AppendChoice(choice, message.args, out)) {
        p = choice;
        continue;
      }
    }
    const char c = *++p;
    if (c == '%') {
      out += '%';
    } else if (c == '0') {
      if (message.inner) out += MessageString(*message.inner, language, source);
    } else if (c >= '1' && c <= '9') {
      const std::size_t i = static_cast<std::size_t>(c - '1');
      if (i < message.args.size()) out += message.args[i];
    } else {
      out += '%';
      out += c;
    }
  }
  return out;
}

std::string EscapeLanguageEntry(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  // The reader trims blanks around a value and takes off one pair of quotes
  // around it; quotes keep what would be lost.
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const bool quoted =
      out.size() >= 2 && ((out.front() == '"' && out.back() == '"') || (out.front() == '\'' && out.back() == '\''));
  if (!out.empty() && (blank(out.front()) || blank(out.back()) || quoted)) out = '"' + out + '"';
  return out;
}

std::string UnescapeLanguageEntry(std::string_view entry) {
  std::string out;
  out.reserve(entry.size());
  for (std::size_t i = 0; i < entry.size(); ++i) {
    if (entry[i] == '\\' && i + 1 < entry.size() && (entry[i + 1] == 'n' || entry[i + 1] == '\\')) {
      out += entry[++i] == 'n' ? '\n' : '\\';
      continue;
    }
    out += entry[i];
  }
  return out;
}

}  // namespace lodsmith
