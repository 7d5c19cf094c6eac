// A program's command line read against one table of its options. Each
// entry names the option and its short alias, says whether it takes a
// value, what the program reports when that value is missing, and what the
// value sets. The batch program and the window programs each keep such a
// table; what they do with a word no entry knows, a missing value or a bad
// one (a usage error, the usage text) stays theirs.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace lodsmith {

// Whether an option takes a value: the next argument, or (where the program
// allows it) the rest of the same one, "--jobs=2", "-j2".
enum class OptionValue {
  None,      // a switch
  Any,       // any text, "" too
  NonEmpty,  // a value; an empty one counts as missing
};

// One entry of a table. `Missing` is the program's kind of report for a
// missing value (the batch program: the message of its usage error).
template <class Target, class Missing>
struct Option {
  const char* name;   // "--jobs"
  const char* alias;  // "-j", or nullptr
  OptionValue value;
  Missing missing;
  // Stores the value into the target; `option` is the option as the user
  // named it ("--jobs" or "-j"). Reports a bad value as the program does.
  void (*set)(Target& target, const std::string& option, const std::string& value);
};

// One argument, with the value it took, read against a table.
struct OptionWord {
  enum class Kind {
    Operand,       // no option: the argument as it is ("" and "-" too)
    Option,        // the table's entry `entry`, with `value`
    Unknown,       // starts with "-" and names no entry
    MissingValue,  // the entry `entry` without the value it needs
  };
  Kind kind = Kind::Operand;
  std::size_t entry = 0;
  std::string written;  // the argument as written ("--jobs=x" whole)
  std::string option;   // Option: the option as the user named it
  std::string value;    // Option: its value ("" for a switch)
};

// How one entry's names are matched; `joinedValues` allows "--name=value"
// and, for a two-letter alias, "-nVALUE".
struct OptionNames {
  const char* name;
  const char* alias;
  OptionValue value;
};
OptionWord ReadOptionWord(std::span<const OptionNames> table, const std::vector<std::string>& args, std::size_t& i,
                          bool joinedValues);

// Reads args[i] and, for an option that takes it, its value; advances `i`
// past the value taken. The first entry in the table's order that matches
// wins.
template <class Target, class Missing>
OptionWord ReadOption(std::span<const Option<Target, Missing>> table, const std::vector<std::string>& args,
                      std::size_t& i, bool joinedValues) {
  std::vector<OptionNames> names;
  names.reserve(table.size());
  for (const auto& entry : table) names.push_back({entry.name, entry.alias, entry.value});
  return ReadOptionWord(names, args, i, joinedValues);
}

}  // namespace lodsmith
