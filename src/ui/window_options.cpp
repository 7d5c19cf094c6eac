#include "ui/window_options.h"

#include "core/text.h"

namespace lodsmith {

WindowOptions ParseWindowOptions(const std::vector<std::string>& args) {
  WindowOptions o;
  for (std::size_t i = 0; i < args.size() && !o.wrong; ++i) {
    const std::string& a = args[i];
    // The options that take a value, and where it goes.
    std::string* value = a == "--screenshot" ? &o.screenshot : a == "--open" ? &o.open : nullptr;
    if (a == "-h" || a == "--help") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--preview") {
      o.preview = true;
    } else if (value || a == "--page") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        o.wrong = a;
        break;
      }
      const std::string& v = args[++i];
      if (value) {
        *value = v;
      } else {
        const auto page = ParseInt32(v);
        if (!page || *page < 0 || *page > 1) o.wrong = a + " " + v;
        o.page = page.value_or(0);
      }
    } else if (a.size() > 1 && a[0] == '-') {
      o.wrong = a;
    } else if (a.empty()) {
      o.wrong = "\"\"";
    } else {
      o.shapes.push_back(a);
    }
  }
  return o;
}

}  // namespace lodsmith
