#include "ui/messages.h"

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

}  // namespace

std::vector<std::span<const MessageText>> MessageTables() {
  return {CoreTexts(),  DocumentTexts(), GenerationTexts(), ToolsTexts(), PlatformTexts(),
          PrintTexts(), PreviewTexts(),  SimplifyTexts(),   UiTexts(),    CliTexts()};
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
