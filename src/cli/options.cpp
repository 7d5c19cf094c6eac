#include "cli/options.h"

#include <algorithm>
#include <sstream>

#include "cli/cli_messages.h"
#include "core/lod_distance.h"
#include "core/text.h"
#include "preview/preview_messages.h"

namespace lodsmith {

namespace {

using Apply = void (*)(CliOptions&, const std::string& option, const std::string& value);

// One entry per option. `missing` is the usage error when the argument is
// missing; CliMsg::First marks an option without an argument.
struct OptionEntry {
  const char* name;
  const char* alias;
  CliMsg missing;
  Apply apply;
};

[[noreturn]] void Bad(const Message& m) { throw UsageError(m); }

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, separator)) parts.push_back(part);
  // "1,2," ends in an empty value: it is a value too, and a bad one.
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

int32_t Number(const std::string& option, const std::string& text, int32_t low, int32_t high) {
  const auto n = ParseInt32(text);
  if (!n) Bad(Message(CliMsg::ValueNotNumber, option, text));
  if (*n < low || *n > high) Bad(Message(CliMsg::ValueOutOfRange, option, text, low, high));
  return *n;
}

// "KEY=VALUE" split at the last "=": names may hold one, values never do.
std::pair<std::string, std::string> KeyValue(const std::string& option, const std::string& text, CliMsg form) {
  const auto eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size()) Bad(Message(form, option, text));
  return {text.substr(0, eq), text.substr(eq + 1)};
}

std::string CellValue(const std::string& option, const std::string& text) {
  if (!ValidCellValue(text)) Bad(Message(CliMsg::CellValueRefused, option, text));
  return text;
}

// A row number when the text is all digits, else a name.
void RowOrName(const std::string& text, std::optional<int32_t>& row, std::string& name) {
  if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    row = ParseInt32(text);
  if (!row) name = text;
}

void AddAction(CliOptions& o, CliAction::Kind kind, const std::string& option, const std::string& arg = "") {
  o.actions.push_back({kind, option, arg, 0});
}

void MergeAction(CliOptions& o, const std::string& option, const std::string& v) {
  const auto t = ParseTolerance(v, '.');
  if (!t) Bad(Message(CliMsg::ToleranceNoNumber, option, v));
  // The window's tolerance edits refuse a negative value too, but with
  // words about the system's decimal separator the batch program does not use.
  if (*t < 0) Bad(Message(CliMsg::ToleranceNegative, option, v));
  o.actions.push_back(
      {option == "--merge-points" ? CliAction::Kind::MergePoints : CliAction::Kind::MergeNormals, option, v, *t});
}

const OptionEntry kOptions[] = {
    {"--help", "-h", CliMsg::First, [](CliOptions& o, const std::string&, const std::string&) { o.help = true; }},
    {"--version", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string&, const std::string&) { o.version = true; }},
    // Shapes and the run.
    {"--recursive", "-r", CliMsg::First,
     [](CliOptions& o, const std::string&, const std::string&) { o.recursive = true; }},
    {"--jobs", "-j", CliMsg::NeedsNumber,
     [](CliOptions& o, const std::string& a, const std::string& v) { o.jobs = Number(a, v, 1, 256); }},
    {"--quiet", "-q", CliMsg::First, [](CliOptions& o, const std::string&, const std::string&) { o.quiet = true; }},
    {"--timing", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string&, const std::string&) { o.timing = true; }},
    // Output.
    {"--output", "-o", CliMsg::NeedsFileName,
     [](CliOptions& o, const std::string&, const std::string& v) { o.output = v; }},
    {"--save", nullptr, CliMsg::First, [](CliOptions& o, const std::string&, const std::string&) { o.save = true; }},
    {"--format", nullptr, CliMsg::NeedsForm,
     [](CliOptions& o, const std::string&, const std::string& v) {
       if (v == "text")
         o.format = ShapeForm::UnicodeText;
       else if (v == "compressed")
         o.format = ShapeForm::Compressed;
       else if (v == "binary")
         o.format = ShapeForm::Binary;
       else
         Bad(Message(CliMsg::ValueNotOneOf, "--format", v, "text, compressed, binary"));
     }},
    {"--decompress", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string&, const std::string&) { o.format = ShapeForm::UnicodeText; }},
    {"--compress-builtin", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string&, const std::string&) { o.format = ShapeForm::Compressed; }},
    {"--report", nullptr, CliMsg::ReportValues,
     [](CliOptions& o, const std::string&, const std::string& v) {
       if (v != "json" && v != "tsv") Bad(Message(CliMsg::ValueNotOneOf, "--report", v, "json, tsv"));
       o.report = v;
     }},
    {"--lang", nullptr, CliMsg::NeedsLanguage,
     [](CliOptions& o, const std::string&, const std::string& v) {
       if (v == "de")
         o.language = Language::German;
       else if (v == "en")
         o.language = Language::English;
       else
         Bad(Message(CliMsg::ValueNotOneOf, "--lang", v, "de, en"));
     }},
    // Settings.
    {"--settings", nullptr, CliMsg::NeedsFileName,
     [](CliOptions& o, const std::string&, const std::string& v) { o.settings = v; }},
    {"--lods", nullptr, CliMsg::NeedsNumber,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       const auto n = ParseInt32(v);
       if (!n) Bad(Message(CliMsg::ValueNotNumber, a, v));
       if (*n < 1 || *n > 99) Bad(Message(CliMsg::ValueOutOfRange, a, v, 1, 99));
       o.lods = *n;
     }},
    {"--distances", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       std::vector<std::string> parts = Split(v, ',');
       for (const auto& p : parts) Number(a, p, kMinDistance, kMaxDistance);
       if (parts.size() > 99) Bad(Message(CliMsg::ValueOutOfRange, a, parts.size(), 1, 99));
       o.distances = std::move(parts);
     }},
    {"--assign", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       auto [key, values] = KeyValue(a, v, CliMsg::AssignForm);
       CliAssign assign;
       RowOrName(key, assign.row, assign.name);
       if (assign.row && *assign.row < 1) Bad(Message(CliMsg::ValueOutOfRange, a, key, 1, 99999));
       for (const auto& cell : Split(values, ',')) assign.cells.push_back(CellValue(a, cell));
       if (assign.cells.size() > 99) Bad(Message(CliMsg::ValueOutOfRange, a, assign.cells.size(), 1, 99));
       o.assign.push_back(std::move(assign));
     }},
    {"--assign-all", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       auto [lod, value] = KeyValue(a, v, CliMsg::AssignAllForm);
       o.assignAll.push_back({Number(a, lod, 1, 99), CellValue(a, value)});
     }},
    {"--sort", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       const auto colon = v.find(':');
       if (colon == std::string::npos) Bad(Message(CliMsg::SortForm, a, v));
       o.sort.push_back({Number(a, v.substr(0, colon), 1, 99), Number(a, v.substr(colon + 1), 1, 99)});
     }},
    {"--anim", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       auto [key, value] = KeyValue(a, v, CliMsg::AnimForm);
       CliAnim anim{};
       RowOrName(key, anim.row, anim.name);
       if (anim.row && *anim.row < 1) Bad(Message(CliMsg::ValueOutOfRange, a, key, 1, 99999));
       if (value != "on" && value != "off") Bad(Message(CliMsg::AnimForm, a, v));
       anim.on = value == "on";
       o.anim.push_back(std::move(anim));
     }},
    {"--detail", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       auto [lod, value] = KeyValue(a, v, CliMsg::DetailForm);
       const int32_t k = Number(a, lod, 1, 99);
       const auto detail = ReadDetail(value);
       if (!detail) Bad(Message(CliMsg::DetailForm, a, v));
       if (k == 1 && detail->IsAuto()) Bad(Message(CliMsg::DetailAutoFirstLod, a, v));
       o.details.push_back({k, *detail});
     }},
    {"--screen-error", nullptr, CliMsg::NeedsNumber,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       const auto px = ParseFloat(v, '.');
       if (!px || !ValidScreenError(static_cast<double>(*px))) Bad(Message(CliMsg::ScreenErrorValue, a, v));
       o.screenError = static_cast<double>(*px);
     }},
    {"--suggest-distances", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string&, const std::string&) { o.suggestDistances = true; }},
    // Actions, in the order given.
    {"--generate", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string& a, const std::string&) { AddAction(o, CliAction::Kind::Generate, a); }},
    {"--merge-points", nullptr, CliMsg::NeedsTolerance, MergeAction},
    {"--merge-normals", nullptr, CliMsg::NeedsTolerance, MergeAction},
    {"--fix-materials", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string& a, const std::string&) { AddAction(o, CliAction::Kind::FixMaterials, a); }},
    {"--strip-animations", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string& a, const std::string&) {
       AddAction(o, CliAction::Kind::StripAnimations, a);
     }},
    {"--print", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string& a, const std::string&) { AddAction(o, CliAction::Kind::Print, a); }},
    {"--landscape", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string&, const std::string&) { o.landscape = true; }},
    {"--print-pdf", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) { AddAction(o, CliAction::Kind::PrintPdf, a, v); }},
    {"--compress", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) { AddAction(o, CliAction::Kind::Compress, a, v); }},
    {"--tool", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string&, const std::string& v) { o.tool = v; }},
    {"--render", nullptr, CliMsg::NeedsFileName,
     [](CliOptions& o, const std::string& a, const std::string& v) { AddAction(o, CliAction::Kind::Render, a, v); }},
    {"--lod", nullptr, CliMsg::NeedsNumber,
     [](CliOptions& o, const std::string& a, const std::string& v) { o.picture.lod = Number(a, v, 0, 99); }},
    {"--size", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       const auto x = v.find('x');
       if (x == std::string::npos) Bad(Message(PreviewMsg::SizeValues));
       o.picture.width = Number(a, v.substr(0, x), 1, 8192);
       o.picture.height = Number(a, v.substr(x + 1), 1, 8192);
     }},
    {"--view", nullptr, CliMsg::NeedsValue,
     [](CliOptions& o, const std::string& a, const std::string& v) {
       const auto view = PreviewViewNamed(v);
       if (!view) Bad(Message(CliMsg::ValueNotOneOf, a, v, "front, side, top, iso"));
       o.picture.view = *view;
     }},
    {"--as-seen", nullptr, CliMsg::First,
     [](CliOptions& o, const std::string&, const std::string&) { o.picture.asSeen = true; }},
    // Answers.
    {"--no", nullptr, CliMsg::First, [](CliOptions& o, const std::string&, const std::string&) { o.answerNo = true; }},
    {"--force", nullptr, CliMsg::First, [](CliOptions& o, const std::string&, const std::string&) { o.force = true; }},
};

}  // namespace

bool ValidCellValue(const std::string& text) {
  const auto v = ParseInt32(text);
  return v && *v >= 0 && (*v < 100 || *v == 999);
}

bool CliOptions::TouchesLods() const {
  if (lods || distances) return true;
  return std::any_of(actions.begin(), actions.end(),
                     [](const CliAction& a) { return a.kind == CliAction::Kind::Generate; });
}

bool CliOptions::TouchesCells() const { return !assign.empty() || !assignAll.empty() || TouchesLods(); }

CliOptions ParseCommandLine(const std::vector<std::string>& args) {
  CliOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // An empty argument is mostly an unset variable: it names no shape.
    if (a.empty()) Bad(Message(CliMsg::EmptyShapeArgument));
    if (a[0] != '-' || a == "-") {
      o.shapes.push_back(a);
      continue;
    }
    // An option's value may also be joined to it: "--jobs=2", "-j2".
    std::string name = a;
    std::optional<std::string> joined;
    const OptionEntry* entry = nullptr;
    for (const auto& s : kOptions) {
      if (a == s.name || (s.alias && a == s.alias)) {
        entry = &s;
        break;
      }
      if (s.missing == CliMsg::First) continue;
      const std::string longForm = std::string(s.name) + "=";
      if (a.rfind(longForm, 0) == 0) {
        entry = &s;
        name = s.name;
        joined = a.substr(longForm.size());
        break;
      }
      if (s.alias && a.size() > 2 && a.rfind(s.alias, 0) == 0 && std::string(s.alias).size() == 2) {
        entry = &s;
        name = s.alias;
        joined = a.substr(2);
        break;
      }
    }
    if (!entry) Bad(Message(CliMsg::UnknownOption, a));
    std::string value;
    if (joined) {
      value = *joined;
    } else if (entry->missing != CliMsg::First) {
      if (i + 1 >= args.size()) Bad(Message(entry->missing, a));
      value = args[++i];
    }
    if (value.empty() && entry->missing == CliMsg::NeedsFileName) Bad(Message(entry->missing, a));
    entry->apply(o, name, value);
    if (o.help || o.version) return o;
  }
  if (o.shapes.empty()) {
    const bool compressOnly =
        !o.actions.empty() && std::all_of(o.actions.begin(), o.actions.end(),
                                          [](const CliAction& act) { return act.kind == CliAction::Kind::Compress; });
    if (!compressOnly) Bad(Message(CliMsg::NoShape));
  }
  if (o.save && !o.output.empty()) Bad(Message(CliMsg::SaveAndOutput));
  return o;
}

}  // namespace lodsmith
