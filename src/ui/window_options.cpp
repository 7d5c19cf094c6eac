#include "ui/window_options.h"

#include <variant>

#include "core/option_table.h"
#include "core/text.h"

namespace lodsmith {

namespace {

using enum OptionValue;

// What is wrong is always told with the usage text: no entry has words of
// its own for a missing value.
using WindowOption = Option<WindowOptions, std::monostate>;

const WindowOption kWindowOptions[] = {
    {"--help", "-h", None, {}, [](WindowOptions& o, const std::string&, const std::string&) { o.help = true; }},
    {"--version",
     nullptr,
     None,
     {},
     [](WindowOptions& o, const std::string&, const std::string&) { o.version = true; }},
    {"--preview",
     nullptr,
     None,
     {},
     [](WindowOptions& o, const std::string&, const std::string&) { o.preview = true; }},
    {"--screenshot",
     nullptr,
     NonEmpty,
     {},
     [](WindowOptions& o, const std::string&, const std::string& v) { o.screenshot = v; }},
    {"--open", nullptr, NonEmpty, {}, [](WindowOptions& o, const std::string&, const std::string& v) { o.open = v; }},
    {"--page",
     nullptr,
     NonEmpty,
     {},
     [](WindowOptions& o, const std::string& a, const std::string& v) {
       const auto page = ParseInt32(v);
       if (!page || *page < 0 || *page > 1) o.wrong = a + " " + v;
       o.page = page.value_or(0);
     }},
};

}  // namespace

WindowOptions ParseWindowOptions(const std::vector<std::string>& args) {
  WindowOptions o;
  for (std::size_t i = 0; i < args.size() && !o.wrong; ++i) {
    if (args[i].empty()) {
      o.wrong = "\"\"";
      break;
    }
    // No value joined to its option: "--open=a.s" is no option of these.
    const OptionWord w = ReadOption<WindowOptions, std::monostate>(kWindowOptions, args, i, false);
    if (w.kind == OptionWord::Kind::Operand)
      o.shapes.push_back(w.written);
    else if (w.kind == OptionWord::Kind::Option)
      kWindowOptions[w.entry].set(o, w.option, w.value);
    else
      o.wrong = w.written;
  }
  return o;
}

}  // namespace lodsmith
