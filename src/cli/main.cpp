// lodsmith-cli: the window's actions without a window.
//
// Opens a shape as the window's open button does, runs the actions in the
// order given, then writes the result when asked. Exit status: 0 every action ran, 1 an action
// was refused or failed, 2 usage error.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/report.h"
#include "core/file_io.h"
#include "core/grid_columns.h"
#include "core/native_file.h"
#include "core/text.h"
#include "document/shape_forms.h"
#include "lodsmith_version.h"
#include "platform/ini_file.h"
#include "preview/preview_messages.h"
#include "ui/cli_messages.h"
#include "ui/messages.h"
#include "ui/tlsform.h"
#include "ui/ui_messages.h"

using namespace lodsmith;

namespace {

struct Action {
  std::string name;
  std::string arg;
};

// The language of this run: --lang when given, else the one the window
// stored. Usage errors come before the form exists, so both are looked up
// here from the arguments and the language file beside the program.
Language RunLanguage(const std::vector<std::string>& args, CliPlatform& platform) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "--lang") {
      if (args[i + 1] == "en") return Language::English;
      if (args[i + 1] == "de") return Language::German;
    }
  const IniFile languages(ExtractFileDir(platform.ExecutablePath()) + kLanguageFileName);
  return LanguageNamed(languages.ReadString("Languages", "Language", "Deutsch"));
}

int Usage(const Message& message, Language language) {
  std::cerr << "lodsmith-cli: " << MessageString(message, language) << "\n"
            << MessageString(Message(CliMsg::TryHelp), language) << "\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string shape, output, settings, report;
  bool save = false;
  std::optional<ShapeForm> format;      // the form -o/--save write; nothing: as "Speichern"
  std::optional<std::string> language;  // --lang: the language of this run only
  CliPlatform platform;
  std::vector<Action> actions;
  RenderOptions render;  // --lod, --size, --view, --as-seen: what every --render draws
  const Language usageLanguage = RunLanguage(args, platform);
  auto usage = [&](const Message& message) { return Usage(message, usageLanguage); };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "-h" || a == "--help") {
      // The usage names the window's German buttons: it is the same text in
      // every language.
      std::cout << MessageString(Message(CliMsg::Usage), Language::English);
      return 0;
    } else if (a == "--version") {
      std::cout << kVersionLine << "\n";
      return 0;
    } else if (a == "-o" || a == "--output") {
      if (!value(output)) return usage(Message(CliMsg::NeedsFileName, a));
    } else if (a == "--save") {
      save = true;
    } else if (a == "--lang") {
      if (!value(v)) return usage(Message(CliMsg::NeedsLanguage, a));
      if (v == "de")
        language = "Deutsch";
      else if (v == "en")
        language = "English";
      else
        return usage(Message(CliMsg::LanguageValues));
    } else if (a == "--format") {
      if (!value(v)) return usage(Message(CliMsg::NeedsForm, a));
      if (v == "text")
        format = ShapeForm::UnicodeText;
      else if (v == "compressed")
        format = ShapeForm::Compressed;
      else if (v == "binary")
        format = ShapeForm::Binary;
      else
        return usage(Message(CliMsg::FormValues));
    } else if (a == "--decompress") {
      format = ShapeForm::UnicodeText;
    } else if (a == "--compress-builtin") {
      format = ShapeForm::Compressed;
    } else if (a == "--settings") {
      if (!value(settings)) return usage(Message(CliMsg::NeedsFileName, a));
    } else if (a == "--report") {
      if (!value(report) || (report != "json" && report != "tsv")) return usage(Message(CliMsg::ReportValues));
    } else if (a == "--no") {
      platform.answerNo = true;
    } else if (a == "--force") {
      platform.force = true;
    } else if (a == "--landscape") {
      platform.landscape = true;
    } else if (a == "--generate" || a == "--fix-materials" || a == "--strip-animations" || a == "--print") {
      actions.push_back({a, ""});
    } else if (a == "--merge-points" || a == "--merge-normals") {
      if (!value(v)) return usage(Message(CliMsg::NeedsTolerance, a));
      auto t = ParseTolerance(v, '.');
      if (!t) return usage(Message(CliMsg::ToleranceNoNumber, a, v));
      actions.push_back({a, v});
    } else if (a == "--lods") {
      if (!value(v)) return usage(Message(CliMsg::NeedsNumber, a));
      auto n = ParseInt32(v);
      if (!n || *n < 1 || *n > 99) return usage(Message(CliMsg::LodsRange));
      actions.push_back({a, v});
    } else if (a == "--lod") {
      auto n = value(v) ? ParseInt32(v) : std::nullopt;
      if (!n || *n < 0) return usage(Message(PreviewMsg::LodValues));
      render.lod = *n;
    } else if (a == "--size") {
      const std::size_t x = value(v) ? v.find('x') : std::string::npos;
      auto w = x == std::string::npos ? std::nullopt : ParseInt32(v.substr(0, x));
      auto h = x == std::string::npos ? std::nullopt : ParseInt32(v.substr(x + 1));
      if (!w || !h || *w < 1 || *h < 1 || *w > 8192 || *h > 8192) return usage(Message(PreviewMsg::SizeValues));
      render.width = *w;
      render.height = *h;
    } else if (a == "--view") {
      auto view = value(v) ? PreviewViewNamed(v) : std::nullopt;
      if (!view) return usage(Message(PreviewMsg::ViewValues));
      render.view = *view;
    } else if (a == "--as-seen") {
      render.asSeen = true;
    } else if (a == "--distances" || a == "--print-pdf" || a == "--compress" || a == "--tool" || a == "--render") {
      if (!value(v)) return usage(Message(CliMsg::NeedsValue, a));
      actions.push_back({a, v});
    } else if (!a.empty() && a[0] == '-') {
      return usage(Message(CliMsg::UnknownOption, a));
    } else if (shape.empty()) {
      shape = a;
    } else {
      return usage(Message(CliMsg::OneShapeOnly));
    }
  }
  if (shape.empty()) {
    bool compressOnly = !actions.empty();
    for (const auto& act : actions)
      if (act.name != "--compress" && act.name != "--tool") compressOnly = false;
    if (!compressOnly) return usage(Message(CliMsg::NoShape));
  }
  if (save && !output.empty()) return usage(Message(CliMsg::SaveAndOutput));

  TLSForm form(platform);
  platform.form = &form;
  form.FormCreate();
  // The chosen language holds for this run only: it is set after the stored
  // one was read and never written back, so the window keeps its own.
  if (language) {
    form.LanguageName = *language;
    form.ApplyLanguageTexts();
    // The one header FormCreate made from a built-in text rather than the
    // language file.
    form.StringGrid4.SetCell(grid::kDistance, grid::kHeaderRow, form.Text(Message(UiMsg::DistanceColumnHeader)));
  }

  bool failed = false;
  auto runAction = [&](const std::function<void()>& handler) {
    bool ok = form.Dispatch(handler);
    if (form.LastOutcome == Outcome::Refused || form.LastOutcome == Outcome::Failed) ok = false;
    if (!ok) failed = true;
    return ok;
  };

  if (!shape.empty()) {
    if (!FileExists(shape)) {
      std::cerr << "error: " << form.Text(Message(CliMsg::FileNotFound, shape)) << "\n";
      return 1;
    }
    form.ModelSettingsOverride = settings;
    platform.nextOpen = shape;
    form.Dispatch([&] { form.OeffnenButtonClick(); });
    // A shape whose analysis failed stays open in the window; here it ends the run.
    bool openFailed = form.FileName.empty() || form.LastOutcome == Outcome::Failed;
    if (!settings.empty() && !FileExists(settings)) {
      std::cerr << "error: " << form.Text(Message(CliMsg::SettingsNotFound, settings)) << "\n";
      openFailed = true;
    }
    if (openFailed) {
      if (form.FileName.empty()) std::cerr << "error: " << form.Text(Message(CliMsg::NotOpened, shape)) << "\n";
      if (!report.empty()) PrintReport(std::cout, form, platform.messages, report);
      return 1;
    }
  }

  // A shape that fails the structural check is opened all the same (the
  // window says so in its status line); one line tells it here.
  if (!form.StructureNote.empty()) std::cerr << "note: " << shape << ": " << form.StructureNote << "\n";

  // A button the window shows disabled cannot be pressed here either (the
  // generation of a shape with several LODs, a second merge).
  auto enabled = [&](const TButton& button, const std::string& option) {
    if (button.Enabled) return true;
    std::cerr << "error: " << form.Text(Message(CliMsg::NotAvailable, option, button.Caption)) << "\n";
    failed = true;
    return false;
  };

  for (const auto& act : actions) {
    if (failed) break;
    const std::string& n = act.name;
    if ((n == "--generate" && !enabled(form.Sub_ObjectsButton, n)) ||
        (n == "--merge-points" && !enabled(form.PunkteButton, n)) ||
        (n == "--merge-normals" && !enabled(form.NormalenButton, n)) ||
        (n == "--fix-materials" && !enabled(form.MatButton, n)))
      break;
    if (n == "--generate") {
      runAction([&] { form.Sub_ObjectsButtonClick(); });
    } else if (n == "--merge-points" || n == "--merge-normals") {
      long double tol = *ParseTolerance(act.arg, '.');
      bool points = n == "--merge-points";
      TEdit& edit = points ? form.DeltaPointsEdit : form.DeltaNormalsEdit;
      edit.Text = FormatGeneral(tol, platform.DecimalSeparator());
      runAction([&] {
        // The tolerance goes through the edit's own check first; a refused
        // value (negative) ends the action there.
        if (points)
          form.DeltaPointsEditExit();
        else
          form.DeltaNormalsEditExit();
        if (form.LastOutcome == Outcome::Refused) return;
        if (points) {
          form.PointTolerance = tol;
          form.PunkteButtonClick();
        } else {
          form.NormalTolerance = tol;
          form.NormalenButtonClick();
        }
      });
    } else if (n == "--fix-materials") {
      runAction([&] { form.MatButtonClick(); });
    } else if (n == "--strip-animations") {
      runAction([&] { form.AnimButtonClick(); });
    } else if (n == "--lods") {
      runAction([&] {
        form.SetLODAnzSpinEditValue(*ParseInt32(act.arg));
        form.LODAnzSpinEditExit();
      });
    } else if (n == "--distances") {
      std::vector<std::string> parts;
      std::stringstream ss(act.arg);
      std::string p;
      while (std::getline(ss, p, ',')) parts.push_back(p);
      if (static_cast<int>(parts.size()) > form.StringGrid4.RowCount() - 1) {
        std::cerr << "error: "
                  << form.Text(Message(CliMsg::TooManyDistances, parts.size(), form.StringGrid4.RowCount() - 1))
                  << "\n";
        failed = true;
        break;
      }
      runAction([&] {
        for (std::size_t k = 0; k < parts.size(); ++k) {
          int row = static_cast<int>(k) + 1;
          bool can = true;
          form.StringGrid4SelectCell(grid::kDistance, row, can);
          form.StringGrid4SetEditText(grid::kDistance, row, parts[k]);
        }
        form.StringGrid4Exit();
      });
    } else if (n == "--print") {
#ifdef _WIN32
      // Printing needs the Windows spooler, which the batch program does not drive.
      runAction([] { throw Error(CliMsg::PrintNotOnWindows); });
#else
      runAction([&] { form.E_DruckenButtonClick(); });
#endif
    } else if (n == "--print-pdf") {
      runAction([&] { PrintSettingsPdf(form, platform, act.arg); });
    } else if (n == "--render") {
      runAction([&] { RenderPicture(form, platform, render, act.arg); });
    }
    // --tool is read by --compress, which runs after the shape is written.
  }

  // Writing comes last, and only when every action ran: a refusal anywhere
  // leaves every file as it was.
  if (!failed && !shape.empty() && (save || !output.empty())) {
    runAction([&] {
      // As "Speichern unter..." with the chosen name, or "Speichern".
      if (!output.empty()) form.FileName = output;
      if (format) form.FileForm = *format;
      // The shape and its settings file go together: the settings file must
      // be writable before the shape is replaced, and a shape that could not
      // be written takes no settings file with it.
      // A device or pipe as the output (/dev/stdout) is no model folder: it
      // takes the shape only.
      std::error_code ec;
      const auto target = std::filesystem::status(FsPath(ResolveLinks(form.FileName)), ec);
      const bool regular = !std::filesystem::exists(target) || std::filesystem::is_regular_file(target);
      const std::string settingsFile = form.ModelSettingsFileName();
      if (regular && CanStoreFile(ResolveLinks(form.FileName)) && !CanStoreFile(settingsFile))
        throw Error(CliMsg::SettingsNotWritable, settingsFile);
      if (form.SaveDocument() && regular) form.SaveModelSettings();
    });
  }
  for (const auto& [path, bytes] : platform.pendingFiles) {
    if (failed) break;
    runAction([&] { WriteFileAtomic(path, bytes, ""); });
  }
  // Compression works on a file on disk, so it sees what was written above.
  for (const auto& act : actions) {
    if (failed) break;
    if (act.name != "--compress") continue;
    std::string tool;
    for (const auto& t : actions)
      if (t.name == "--tool") tool = t.arg;
    runAction([&] {
      if (!CompressFile(form, platform, act.arg, tool)) throw Error(CliMsg::CompressionFailed);
    });
  }
  if (!report.empty()) PrintReport(std::cout, form, platform.messages, report);
  return failed ? 1 : 0;
}
