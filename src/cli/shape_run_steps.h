// The steps of one shape's run (cli/shape_run.h), shared by the files that
// implement them: opening and the settings options (shape_run.cpp), the
// actions and the writing (shape_run_actions.cpp). Internal to the batch
// program.
#pragma once

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/report.h"
#include "cli/run_texts.h"
#include "cli/shape_run.h"
#include "platform/ini_file.h"
#include "session/action_result.h"
#include "session/session.h"

namespace lodsmith {

// How an action ended, as the window's event loop would tell it.
enum class Outcome { Done, Cancelled, Refused, Failed };

const char* OutcomeName(Outcome o);
// The language the run's texts are in.
std::string RunLanguageName(const CliOptions& o, const RunShared& shared);

class ShapeRun : Questions {
public:
  ShapeRun(const CliOptions& o, const RunShared& shared, const std::string& shape)
      : o_(o),
        shared_(shared),
        shape_(shape),
        texts_(shared.programSettings.language, RunLanguageName(o, shared)),
        programIni_("", shared.programSettings.program),
        session_(platform_) {
    programIni_.SetMemoryOnly(true);
    platform_.landscape = o.landscape;
    platform_.err = &err_;
    if (shared.manyShapes) platform_.linePrefix = shape + ": ";
    platform_.text = [this](const Message& m) { return texts_.Text(m); };
    SetUp();
  }

  ShapeRunResult Go();

private:
  // The tables as the window makes them: the LOD count and distances of the
  // program settings, the headers in the run's language.
  void SetUp();
  // The session's questions, told as the window would ask them and answered
  // from the options: the byte-order question Yes only with --force, the
  // merges Yes unless --no.
  bool Ask(const Question& q) override;

  void Say(MsgKind kind, const Message& m) { platform_.Say(kind, texts_.Text(m), MsgIdentity::OfMessage(m.id)); }
  void SayNumbered(MsgKind kind, int n) { platform_.Say(kind, texts_.Numbered(n), MsgIdentity::OfLanguageText(n)); }
  // "KIND: TEXT" on stderr, the shape named first in a run over many.
  void Line(const char* kind, const std::string& text) { err_ << platform_.linePrefix << kind << ": " << text << "\n"; }
  // One of the batch program's own errors: printed, and the first one is
  // the reason of the shape's outcome.
  void Fail(ShapeRunResult::Status status, const Message& m) {
    const std::string text = texts_.Text(m);
    Line("error", text);
    Mark(status, MsgIdentity::OfMessage(m.id), text);
  }
  void Mark(ShapeRunResult::Status status, const MsgIdentity& id, const std::string& text) {
    if (result_.status != ShapeRunResult::Status::Done) return;
    result_.status = status;
    result_.reason = id;
    result_.reasonText = text;
  }

  // Runs one step of the run; a refusal or failure ends the run, its first
  // error (or warning) message becoming the reason. An Error that escapes
  // the step is told as an error and fails it.
  bool Action(const std::string& option, const std::function<void()>& step);
  void Done(const std::string& option, const Message& m, const ActionResult& data = {});
  void Note(const Message& m) {
    const std::string text = texts_.Text(m);
    Line("note", text);
    notes_.push_back(text);
  }
  // A refusal of an option or value: told as an error, and the run ends.
  void Refuse(const Message& m) {
    Say(MsgKind::Error, m);
    outcome_ = Outcome::Refused;
  }
  // A refused edit of a cell: told as a warning.
  void RefuseEdit(const Error& e) {
    Say(MsgKind::Warning, e.message());
    outcome_ = Outcome::Refused;
  }

  bool Open();
  bool ApplySettings();
  bool ApplyLodSettings();
  bool ApplyAssignments();
  bool ApplyMarks();
  int NamedRow(const char* option, const std::optional<int32_t>& number, const std::string& name,
               const StringGrid& grid, int nameCol, int rows);
  bool SuggestDistances();
  void NoteGrid();
  bool RunActions();
  void Generate();
  void SaySimplified();
  void Merge(const CliAction& act);
  void FixMaterials();
  void StripAnimations();
  void Print();
  bool Write();
  bool SaveShape(bool& written, bool& settingsWritten);
  void Report();

  const CliOptions& o_;
  const RunShared& shared_;
  const std::string& shape_;
  CliPlatform platform_;
  RunTexts texts_;
  IniFile programIni_;
  Session session_;
  Outcome outcome_ = Outcome::Done;
  ActionResult counts_;
  std::ostringstream err_, out_;
  ShapeRunResult result_;
  std::vector<ReportAction> actions_;
  std::vector<std::string> notes_;
};

}  // namespace lodsmith
