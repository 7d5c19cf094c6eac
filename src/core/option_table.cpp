#include "core/option_table.h"

namespace lodsmith {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

OptionWord ReadOptionWord(std::span<const OptionNames> table, const std::vector<std::string>& args, std::size_t& i,
                          bool joinedValues) {
  OptionWord word;
  word.written = args[i];
  const std::string& a = word.written;
  if (a.empty() || a[0] != '-' || a == "-") return word;

  bool joined = false;
  word.kind = OptionWord::Kind::Unknown;
  for (std::size_t k = 0; k < table.size() && word.kind == OptionWord::Kind::Unknown; ++k) {
    const OptionNames& e = table[k];
    const std::string alias = e.alias ? e.alias : "";
    word.entry = k;
    if (a == e.name || (!alias.empty() && a == alias)) {
      word.kind = OptionWord::Kind::Option;
      word.option = a;
    } else if (joinedValues && e.value != OptionValue::None) {
      const std::string longForm = std::string(e.name) + "=";
      if (StartsWith(a, longForm)) {
        word.option = e.name;
        word.value = a.substr(longForm.size());
      } else if (alias.size() == 2 && a.size() > 2 && StartsWith(a, alias)) {
        word.option = alias;
        word.value = a.substr(2);
      } else {
        continue;
      }
      word.kind = OptionWord::Kind::Option;
      joined = true;
    }
  }
  if (word.kind != OptionWord::Kind::Option) {
    word.entry = 0;
    return word;
  }

  const OptionValue value = table[word.entry].value;
  if (value == OptionValue::None) return word;
  if (!joined) {
    if (i + 1 >= args.size()) {
      word.kind = OptionWord::Kind::MissingValue;
      return word;
    }
    word.value = args[++i];
  }
  if (value == OptionValue::NonEmpty && word.value.empty()) word.kind = OptionWord::Kind::MissingValue;
  return word;
}

}  // namespace lodsmith
