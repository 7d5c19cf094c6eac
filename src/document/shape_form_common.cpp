#include <algorithm>
#include <string>
#include <vector>

#include "document/shape_form_common.h"

namespace lodsmith::shape_form {

namespace {

struct TokenRow {
  int id;
  const char* name;
  const char* layout;
};

constexpr TokenRow kTokenRows[] = {
#include "document/shape_tokens.inc"
};

std::vector<std::string> SplitWords(std::string_view text, char separator) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) words.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// The table is built once from the generated rows; a layout word that cannot
// be read is a fault of the generated file, caught by the first test that
// runs.
TokenTable BuildTable() {
  TokenTable table;
  int maxId = 0;
  for (const TokenRow& row : kTokenRows) maxId = std::max(maxId, row.id);
  table.byId.resize(maxId + 1);
  for (const TokenRow& row : kTokenRows) {
    table.byId[row.id].name = row.name;
    for (const char* c = row.name; *c; ++c) table.byId[row.id].wideName += {*c, '\0'};
    table.byName.emplace(row.name, row.id);
  }
  for (const TokenRow& row : kTokenRows) {
    Token& token = table.byId[row.id];
    if (std::string_view(row.layout) == "-") continue;
    token.known = true;
    for (std::string word : SplitWords(row.layout, ' ')) {
      LayoutItem item;
      if (word.size() >= 2 && word.front() == '[' && word.back() == ']') {
        item.optional = true;
        word = word.substr(1, word.size() - 2);
      }
      if (word.size() >= 2 && word.front() == '{' && word.back() == '}') {
        item.repeat = true;
        word = word.substr(1, word.size() - 2);
      }
      if (word.size() >= 2 && word.front() == '<' && word.back() == '>') {
        item.kind = Kind::Block;
        for (const std::string& name : SplitWords(std::string_view(word).substr(1, word.size() - 2), '|')) {
          if (name == "*") {
            item.any = true;
          } else if (auto it = table.byName.find(name); it != table.byName.end()) {
            item.blocks.push_back(it->second);
          }
        }
      } else if (word == "uint") {
        item.kind = Kind::Uint;
      } else if (word == "sint") {
        item.kind = Kind::Sint;
      } else if (word == "dword") {
        item.kind = Kind::Dword;
      } else if (word == "float") {
        item.kind = Kind::Float;
      } else if (word == "string") {
        item.kind = Kind::String;
      }
      token.items.push_back(std::move(item));
    }
    for (std::size_t i = 0; i < token.items.size(); ++i) {
      if (!token.items[i].repeat) continue;
      int trailing = 0;
      for (std::size_t j = i + 1; j < token.items.size(); ++j)
        if (!token.items[j].repeat && !token.items[j].optional && ScalarSize(token.items[j].kind) == 4) ++trailing;
      token.items[i].trailingScalars = trailing;
    }
  }
  return table;
}

}  // namespace

const TokenTable& Table() {
  static const TokenTable table = BuildTable();
  return table;
}

bool Token::Accepts(const LayoutItem& item, int id) const {
  if (item.any) return Table().Find(id) != nullptr;
  for (int b : item.blocks)
    if (b == id) return true;
  return false;
}

}  // namespace lodsmith::shape_form
