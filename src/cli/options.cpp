#include "cli/options.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "cli/cli_messages.h"
#include "core/lod_distance.h"
#include "core/option_table.h"
#include "core/text.h"
#include "preview/preview_messages.h"

namespace lodsmith {

namespace {

using enum OptionValue;

// One entry per option; `missing` is the usage error when its value is
// missing.
using CliOption = Option<CliOptions, CliMsg>;

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

const CliOption
    kOptions
        [] =
            {
                {"--help",
                 "-h",
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.help = true; }},
                {"--version",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.version = true; }},
                // Shapes and the run.
                {"--recursive",
                 "-r",
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.recursive = true; }},
                {"--jobs", "-j", Any, CliMsg::NeedsNumber,
                 [](CliOptions& o, const std::string& a, const std::string& v) { o.jobs = Number(a, v, 1, 256); }},
                {"--quiet",
                 "-q",
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.quiet = true; }},
                {"--timing",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.timing = true; }},
                // Output.
                {"--output", "-o", NonEmpty, CliMsg::NeedsFileName,
                 [](CliOptions& o, const std::string&, const std::string& v) { o.output = v; }},
                {"--save",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.save = true; }},
                {"--format", nullptr, Any, CliMsg::NeedsForm,
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
                {"--decompress",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.format = ShapeForm::UnicodeText; }},
                {"--compress-builtin",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.format = ShapeForm::Compressed; }},
                {"--report", nullptr, Any, CliMsg::ReportValues,
                 [](CliOptions& o, const std::string&, const std::string& v) {
                   if (v != "json" && v != "tsv") Bad(Message(CliMsg::ValueNotOneOf, "--report", v, "json, tsv"));
                   o.report = v;
                 }},
                {"--lang", nullptr, Any, CliMsg::NeedsLanguage,
                 [](CliOptions& o, const std::string&, const std::string& v) {
                   if (v == "de")
                     o.language = Language::German;
                   else if (v == "en")
                     o.language = Language::English;
                   else
                     Bad(Message(CliMsg::ValueNotOneOf, "--lang", v, "de, en"));
                 }},
                // Settings.
                {"--settings", nullptr, NonEmpty, CliMsg::NeedsFileName,
                 [](CliOptions& o, const std::string&, const std::string& v) { o.settings = v; }},
                {"--lods", nullptr, Any, CliMsg::NeedsNumber,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   const auto n = ParseInt32(v);
                   if (!n) Bad(Message(CliMsg::ValueNotNumber, a, v));
                   if (*n < 1 || *n > 99) Bad(Message(CliMsg::ValueOutOfRange, a, v, 1, 99));
                   o.lods = *n;
                 }},
                {"--distances", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   std::vector<std::string> parts = Split(v, ',');
                   for (const auto& p : parts) Number(a, p, kMinDistance, kMaxDistance);
                   if (parts.size() > 99) Bad(Message(CliMsg::ValueOutOfRange, a, parts.size(), 1, 99));
                   o.distances = std::move(parts);
                 }},
                {"--assign", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   auto [key, values] = KeyValue(a, v, CliMsg::AssignForm);
                   CliAssign assign;
                   RowOrName(key, assign.row, assign.name);
                   if (assign.row && *assign.row < 1) Bad(Message(CliMsg::ValueOutOfRange, a, key, 1, 99999));
                   for (const auto& cell : Split(values, ',')) assign.cells.push_back(CellValue(a, cell));
                   if (assign.cells.size() > 99) Bad(Message(CliMsg::ValueOutOfRange, a, assign.cells.size(), 1, 99));
                   o.assign.push_back(std::move(assign));
                 }},
                {"--assign-all", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   auto [lod, value] = KeyValue(a, v, CliMsg::AssignAllForm);
                   o.assignAll.push_back({Number(a, lod, 1, 99), CellValue(a, value)});
                 }},
                {"--sort", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   const auto colon = v.find(':');
                   if (colon == std::string::npos) Bad(Message(CliMsg::SortForm, a, v));
                   o.sort.push_back({Number(a, v.substr(0, colon), 1, 99), Number(a, v.substr(colon + 1), 1, 99)});
                 }},
                {"--anim", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   auto [key, value] = KeyValue(a, v, CliMsg::AnimForm);
                   CliAnim anim{};
                   RowOrName(key, anim.row, anim.name);
                   if (anim.row && *anim.row < 1) Bad(Message(CliMsg::ValueOutOfRange, a, key, 1, 99999));
                   if (value != "on" && value != "off") Bad(Message(CliMsg::AnimForm, a, v));
                   anim.on = value == "on";
                   o.anim.push_back(std::move(anim));
                 }},
                {"--detail", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   auto [lod, value] = KeyValue(a, v, CliMsg::DetailForm);
                   const int32_t k = Number(a, lod, 1, 99);
                   const auto detail = ReadDetail(value);
                   if (!detail) Bad(Message(CliMsg::DetailForm, a, v));
                   if (k == 1 && detail->IsAuto()) Bad(Message(CliMsg::DetailAutoFirstLod, a, v));
                   o.details.push_back({k, *detail});
                 }},
                {"--screen-error", nullptr, Any, CliMsg::NeedsNumber,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   const auto px = ParseFloat(v, '.');
                   if (!px || !ValidScreenError(static_cast<double>(*px))) Bad(Message(CliMsg::ScreenErrorValue, a, v));
                   o.screenError = static_cast<double>(*px);
                 }},
                {"--suggest-distances",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.suggestDistances = true; }},
                // Actions, in the order given.
                {"--generate",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string& a, const std::string&) {
                   AddAction(o, CliAction::Kind::Generate, a);
                 }},
                {"--merge-points", nullptr, Any, CliMsg::NeedsTolerance, MergeAction},
                {"--merge-normals", nullptr, Any, CliMsg::NeedsTolerance, MergeAction},
                {"--fix-materials",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string& a, const std::string&) {
                   AddAction(o, CliAction::Kind::FixMaterials, a);
                 }},
                {"--strip-animations",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string& a, const std::string&) {
                   AddAction(o, CliAction::Kind::StripAnimations, a);
                 }},
                {"--print",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string& a, const std::string&) {
                   AddAction(o, CliAction::Kind::Print, a);
                 }},
                {"--landscape",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.landscape = true; }},
                {"--print-pdf", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   AddAction(o, CliAction::Kind::PrintPdf, a, v);
                 }},
                {"--compress", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   AddAction(o, CliAction::Kind::Compress, a, v);
                 }},
                {"--tool", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string&, const std::string& v) { o.tool = v; }},
                {"--render", nullptr, NonEmpty, CliMsg::NeedsFileName,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   AddAction(o, CliAction::Kind::Render, a, v);
                 }},
                {"--lod", nullptr, Any, CliMsg::NeedsNumber,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   o.picture.lod = Number(a, v, 0, 99);
                 }},
                {"--size", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   const auto x = v.find('x');
                   if (x == std::string::npos) Bad(Message(PreviewMsg::SizeValues));
                   o.picture.width = Number(a, v.substr(0, x), 1, 8192);
                   o.picture.height = Number(a, v.substr(x + 1), 1, 8192);
                 }},
                {"--view", nullptr, Any, CliMsg::NeedsValue,
                 [](CliOptions& o, const std::string& a, const std::string& v) {
                   const auto view = PreviewViewNamed(v);
                   if (!view) Bad(Message(CliMsg::ValueNotOneOf, a, v, "front, side, top, iso"));
                   o.picture.view = *view;
                 }},
                {"--as-seen",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.picture.asSeen = true; }},
                {"--as-first-seen",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.picture.asFirstSeen = true; }},
                // Answers.
                {"--no",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.answerNo = true; }},
                {"--force",
                 nullptr,
                 None,
                 {},
                 [](CliOptions& o, const std::string&, const std::string&) { o.force = true; }},
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
    // An empty argument is mostly an unset variable: it names no shape.
    if (args[i].empty()) Bad(Message(CliMsg::EmptyShapeArgument));
    const OptionWord w = ReadOption<CliOptions, CliMsg>(kOptions, args, i, true);
    switch (w.kind) {
      case OptionWord::Kind::Operand: o.shapes.push_back(w.written); continue;
      case OptionWord::Kind::Unknown: Bad(Message(CliMsg::UnknownOption, w.written));
      case OptionWord::Kind::MissingValue: Bad(Message(kOptions[w.entry].missing, w.written));
      case OptionWord::Kind::Option: kOptions[w.entry].set(o, w.option, w.value); break;
    }
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

std::optional<Language> LanguageOption(const std::vector<std::string>& args) {
  std::optional<Language> language;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const OptionWord w = ReadOption<CliOptions, CliMsg>(kOptions, args, i, true);
    if (w.kind != OptionWord::Kind::Option || std::string_view(kOptions[w.entry].name) != "--lang") continue;
    CliOptions read;
    try {
      kOptions[w.entry].set(read, w.option, w.value);
      language = read.language;
    } catch (const Error&) {
      // A bad value is the usage error the whole reading reports.
    }
  }
  return language;
}

}  // namespace lodsmith
