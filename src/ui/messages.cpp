#include "ui/messages.h"

#include <unordered_map>

#include "core/text.h"

namespace lodsmith {

namespace {

const std::unordered_map<int, const MessageText*>& Index() {
  static const std::unordered_map<int, const MessageText*> index = [] {
    std::unordered_map<int, const MessageText*> map;
    for (auto table : {CoreTexts(), DocumentTexts(), GenerationTexts(), ToolsTexts(), PlatformTexts(), PrintTexts(),
                       PreviewTexts(), UiTexts(), CliTexts()})
      for (const MessageText& t : table) map.emplace(t.id, &t);
    return map;
  }();
  return index;
}

}  // namespace

Language LanguageNamed(std::string_view name) {
  return EqualsIgnoreCase(name, "English") ? Language::English : Language::German;
}

const MessageText* FindMessageText(int id) {
  const auto& index = Index();
  auto it = index.find(id);
  return it == index.end() ? nullptr : it->second;
}

std::string MessageString(const Message& message, Language language) {
  const MessageText* text = FindMessageText(message.id);
  if (!text) return DescribeMessage(message);
  const char* pattern = language == Language::English && text->english && *text->english ? text->english : text->german;
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
      if (message.inner) out += MessageString(*message.inner, language);
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

}  // namespace lodsmith
