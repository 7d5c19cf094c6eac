#include "cli/shape_run.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>

#include "cli/cli_messages.h"
#include "cli/cli_platform.h"
#include "cli/report.h"
#include "cli/run_texts.h"
#include "cli/shape_run_steps.h"
#include "core/file_io.h"
#include "core/grid_columns.h"
#include "core/native_file.h"
#include "generation/generation_messages.h"
#include "generation/lod_assignment.h"
#include "platform/ini_file.h"
#include "preview/preview_messages.h"
#include "session/lod_rules.h"
#include "session/program_settings.h"
#include "session/session.h"
#include "session/session_messages.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// The rows of a grid whose `column` holds `name` exactly.
std::vector<int> RowsNamed(const StringGrid& g, int column, const std::string& name) {
  std::vector<int> rows;
  for (int r = 1; r < g.RowCount(); ++r)
    if (g.Cell(column, r) == name) rows.push_back(r);
  return rows;
}

// The language the window would come up in: the stored choice (an
// installed copy's own first), "Deutsch" when none.
std::string StoredLanguageName(const ProgramSettingsBytes& bytes) {
  const IniFile choice("", bytes.languageChoice);
  return ChosenLanguageName(&choice, IniFile("", bytes.language));
}

}  // namespace

std::string RunLanguageName(const CliOptions& o, const RunShared& shared) {
  if (o.language) return *o.language == Language::English ? "English" : "Deutsch";
  return StoredLanguageName(shared.programSettings);
}

void ShapeRun::SetUp() {
  using namespace grid;
  // The batch program never undoes: no copy of the opened lines.
  session_.keepUndoCopy = false;
  session_.SetUp(StoredLodCount(programIni_), [this](int k) { return StoredDistance(programIni_, k); });
  session_.Distances.SetCell(kDistance, kHeaderRow, texts_.Text(Message(UiMsg::DistanceColumnHeader)));
  session_.Overview.SetCell(kOverviewLod, kHeaderRow, texts_.Numbered(27));
  session_.Overview.SetCell(kOverviewDistance, kHeaderRow, texts_.Numbered(28));
  session_.Distances.SetCell(kDistanceLod, kHeaderRow, "LOD " + texts_.Numbered(27));
  session_.SubObjects.SetCell(kSubObjectNumber, kHeaderRow, texts_.Numbered(27));
}

bool ShapeRun::Ask(const Question& q) {
  if (q.kind == Question::Kind::ByteOrder) {
    // The window's question whether to open what has none of the shape
    // forms has nobody to answer it here: --force does, and the line says so.
    const Message said(o_.force ? CliMsg::NoShapeFormForced : CliMsg::NoShapeForm);
    platform_.Say(o_.force ? MsgKind::Information : MsgKind::Error, texts_.Text(said), MsgIdentity::OfLanguageText(61));
    return o_.force;
  }
  const bool points = q.kind == Question::Kind::MergePoints;
  const std::string question = std::to_string(q.count) + " " + texts_.Numbered(points ? 63 : 66) + " " +
                               FormatGeneral(q.tolerance, '.') + ". " + texts_.Numbered(64);
  platform_.Say(MsgKind::Confirmation, question, MsgIdentity{});
  return !o_.answerNo;
}

bool ShapeRun::Action(const std::string& option, const std::function<void()>& step) {
  const std::size_t shown = platform_.messages.size();
  outcome_ = Outcome::Done;
  counts_ = ActionResult{};
  try {
    step();
  } catch (const Error& e) {
    Say(MsgKind::Error, e.message());
    outcome_ = Outcome::Failed;
  } catch (const std::exception& e) {
    // Not one of the program's own faults (memory, the standard library).
    platform_.Say(MsgKind::Error, e.what(), MsgIdentity{});
    outcome_ = Outcome::Failed;
  }
  if (outcome_ != Outcome::Refused && outcome_ != Outcome::Failed) return true;
  const auto status = outcome_ == Outcome::Refused ? ShapeRunResult::Status::Refused : ShapeRunResult::Status::Failed;
  MsgIdentity id;
  std::string text;
  for (std::size_t i = shown; i < platform_.messages.size(); ++i) {
    const CliMessage& m = platform_.messages[i];
    if (m.kind == MsgKind::Error || m.kind == MsgKind::Warning) {
      id = m.identity;
      text = m.text;
      break;
    }
  }
  Mark(status, id, text);
  actions_.push_back({option, OutcomeName(outcome_), text, counts_});
  return false;
}

void ShapeRun::Done(const std::string& option, const Message& m, const ActionResult& data) {
  const std::string text = texts_.Text(m);
  if (!o_.quiet) Line("done", text);
  actions_.push_back({option, "done", text, data});
}

bool ShapeRun::Open() {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(FsPath(shape_), ec)) {
    Fail(ShapeRunResult::Status::Failed, Message(CliMsg::IsFolder, shape_));
    return false;
  }
  if (!FileExists(shape_)) {
    Fail(ShapeRunResult::Status::Failed, Message(CliMsg::FileNotFound, shape_));
    return false;
  }
  const std::size_t shown = platform_.messages.size();
  outcome_ = Outcome::Done;
  const OpenResult r = session_.Open(shape_, *this, o_.settings, 1);
  for (const auto& w : r.warnings) Say(MsgKind::Warning, w);
  switch (r.status) {
    case OpenResult::Status::Opened: break;
    case OpenResult::Status::Declined: outcome_ = Outcome::Cancelled; break;
    case OpenResult::Status::FormBroken:
      Say(MsgKind::Error, *r.failure);
      outcome_ = Outcome::Failed;
      break;
    case OpenResult::Status::NotAnalysed:
    case OpenResult::Status::Unreadable:
      SayNumbered(MsgKind::Warning, 60);
      outcome_ = Outcome::Failed;
      break;
  }
  // A shape whose analysis failed stays open in the window; here it ends the run.
  const bool notOpened = session_.fileName.empty();
  if (notOpened || outcome_ == Outcome::Failed) {
    // A file that is no shape and was not forced open is refused; one that
    // could not be read or analysed failed.
    const auto status =
        notOpened && outcome_ == Outcome::Cancelled ? ShapeRunResult::Status::Refused : ShapeRunResult::Status::Failed;
    if (platform_.messages.size() > shown)
      Mark(status, platform_.messages[shown].identity, platform_.messages[shown].text);
  }
  bool ok = !notOpened && outcome_ != Outcome::Failed;
  if (!o_.settings.empty() && !FileExists(o_.settings)) {
    Fail(ShapeRunResult::Status::Failed, Message(CliMsg::SettingsNotFound, o_.settings));
    ok = false;
  }
  if (!ok) {
    if (notOpened) Fail(ShapeRunResult::Status::Failed, Message(CliMsg::NotOpened, shape_));
    return false;
  }
  // A shape that fails the structural check is opened all the same (the
  // window says so in its status line); one line tells it here.
  if (session_.structureProblem) {
    const std::string note = texts_.Text(StructureNoteMessage(*session_.structureProblem));
    if (shared_.manyShapes)
      Line("note", note);
    else
      err_ << "note: " << shape_ << ": " << note << "\n";
  }
  return true;
}

// The settings options, in a fixed order: the LOD count first, so that the
// distances and cells that follow find their LODs whatever the order they
// were given in; the assignments before the sort marks, whose sub-objects
// they make.
bool ShapeRun::ApplySettings() {
  if (!ApplyLodSettings() || !ApplyAssignments() || !ApplyMarks()) return false;
  if (o_.suggestDistances) return SuggestDistances();
  return true;
}

// --lods, --distances, --detail and --screen-error.
bool ShapeRun::ApplyLodSettings() {
  Session& s = session_;
  if (o_.lods && !Action("--lods", [&] {
        const int lods = std::clamp(*o_.lods, kMinLods, kMaxLods);
        if (lods != s.lodCount) s.ResizeDistances(lods);
        s.CommitLodCount(lods);
      }))
    return false;

  if (o_.distances) {
    const auto& parts = *o_.distances;
    const int lods = grid::DataRows(s.Distances);
    if (static_cast<int>(parts.size()) > lods) {
      Action("--distances", [&] { Refuse(Message(CliMsg::TooManyDistances, parts.size(), lods)); });
      return false;
    }
    if (!Action("--distances", [&] {
          for (std::size_t k = 0; k < parts.size(); ++k) try {
              s.SetDistance(static_cast<int>(k) + 1, parts[k]);
            } catch (const Error& e) {
              RefuseEdit(e);
            }
          if (s.FirstLodWithoutDistance() != 0) Say(MsgKind::Information, Message(GenerationMsg::DistanceMissingHint));
        }))
      return false;
  }

  for (const auto& d : o_.details)
    if (!Action("--detail", [&] {
          if (d.lod > s.lodCount) return Refuse(Message(CliMsg::NoSuchLod, "--detail", d.lod, s.lodCount));
          s.SetDetail(d.lod, DetailText(d.detail));
        }))
      return false;
  return !o_.screenError || Action("--screen-error", [&] { s.SetScreenError(*o_.screenError); });
}

// The row of `grid` an option names by its number or by the name in column
// `nameCol`; 0 when it names none or several (refused).
int ShapeRun::NamedRow(const char* option, const std::optional<int32_t>& number, const std::string& name,
                       const StringGrid& grid, int nameCol, int rows) {
  if (number) {
    if (*number <= rows) return *number;
    Refuse(Message(CliMsg::NoSuchRow, option, *number, rows));
    return 0;
  }
  const auto named = RowsNamed(grid, nameCol, name);
  if (named.size() == 1) return named.front();
  if (named.empty())
    Refuse(Message(CliMsg::NameNotFound, option, name));
  else
    Refuse(Message(CliMsg::NameNotUnique, option, name, named.size()));
  return 0;
}

// --assign-all and --assign; the counts follow the cells, and the
// simplified LODs their details.
bool ShapeRun::ApplyAssignments() {
  Session& s = session_;
  auto setCell = [&](int row, int lod, const std::string& text) {
    try {
      s.SetCell(row, lod, text);
    } catch (const Error& e) {
      RefuseEdit(e);
    }
  };
  const int elements = s.ElementCount();
  for (const auto& all : o_.assignAll)
    if (!Action("--assign-all", [&] {
          if (all.lod > s.lodCount) return Refuse(Message(CliMsg::NoSuchLod, "--assign-all", all.lod, s.lodCount));
          for (int r = 1; r <= elements; ++r) setCell(r, all.lod, all.value);
        }))
      return false;

  for (const auto& a : o_.assign)
    if (!Action("--assign", [&] {
          const int row = NamedRow("--assign", a.row, a.name, s.Elements, grid::kElementName, elements);
          if (row == 0) return;
          if (static_cast<int>(a.cells.size()) > s.lodCount)
            return Refuse(Message(CliMsg::TooManyCells, "--assign", a.cells.size(), s.lodCount));
          for (std::size_t k = 0; k < a.cells.size(); ++k) setCell(row, static_cast<int>(k) + 1, a.cells[k]);
        }))
      return false;
  if (!o_.assign.empty() || !o_.assignAll.empty() || !o_.details.empty() || o_.screenError) s.RefreshSubObjects(1);
  return true;
}

// --sort and --anim.
bool ShapeRun::ApplyMarks() {
  Session& s = session_;
  for (const auto& so : o_.sort)
    if (!Action("--sort", [&] {
          if (so.lod > s.lodCount) return Refuse(Message(CliMsg::NoSuchLod, "--sort", so.lod, s.lodCount));
          const int subObjects = s.SubObjectCount();
          if (so.subObject > subObjects)
            return Refuse(Message(CliMsg::NoSuchSubObject, "--sort", so.subObject, subObjects));
          s.SetSortMark(so.lod, so.subObject, "x");
        }))
      return false;

  const int matrices = s.MatrixCount();
  for (const auto& a : o_.anim)
    if (!Action("--anim", [&] {
          const int row = NamedRow("--anim", a.row, a.name, s.Matrices, grid::kMatrixName, matrices);
          if (row != 0) s.SetAnimationMark(row, a.on ? "x" : "");
        }))
      return false;
  return true;
}

// The distances from the errors of the LODs, after every other setting;
// with an `auto` LOD the distances stay and the run says so.
bool ShapeRun::SuggestDistances() {
  const char* option = "--suggest-distances";
  DistanceSuggestion r;
  if (!Action(option, [&] { r = session_.SuggestDistances(); })) return false;
  if (r.refusedAuto) {
    Say(MsgKind::Information, Message(SessionMsg::SuggestWithAuto));
    actions_.push_back({option, "done", texts_.Text(Message(SessionMsg::SuggestWithAuto)), {}});
    return true;
  }
  session_.RefreshSubObjects(1);
  std::string list;
  for (std::size_t k = 0; k < r.distances.size(); ++k) list += (k ? ", " : "") + r.distances[k];
  Done(option, Message(CliMsg::DoneDistancesSuggested, list));
  return true;
}

// What the generation takes without a word although it makes no sense:
// LODs that do not get farther, and cells that leave an element out of a
// LOD without being the 999 that says so.
void ShapeRun::NoteGrid() {
  const Session& s = session_;
  if (o_.TouchesLods()) {
    for (int k = 2; k <= s.lodCount; ++k) {
      const auto before = ParseInt32(s.Distance(k - 1));
      const auto here = ParseInt32(s.Distance(k));
      if (!before || !here) continue;
      if (*here == *before)
        Note(Message(CliMsg::NoteDistanceRepeated, k, *here));
      else if (*here < *before)
        Note(Message(CliMsg::NoteDistanceNotAscending, k, *here, *before));
    }
  }
  if (o_.TouchesCells()) {
    for (int r = 1; r <= s.ElementCount(); ++r)
      for (int k = 1; k <= s.lodCount; ++k) {
        const std::string& text = s.Cell(r, k);
        if (AssignmentCell::Read(text).kind() == AssignmentCell::Kind::Absent && text != "999")
          Note(Message(CliMsg::NoteCellAbsent, s.ElementName(r), r, k, text));
      }
  }
}

ShapeRunResult ShapeRun::Go() {
  auto finish = [&] {
    result_.err = err_.str();
    result_.out = out_.str();
    return std::move(result_);
  };
  auto start = Clock::now();
  if (!shape_.empty()) {
    if (!Open()) {
      result_.openSeconds = Seconds(start);
      // A shape that is not there has no grids to report.
      if (session_.fileName.empty() && !FileExists(shape_)) return finish();
      Report();
      return finish();
    }
  }
  result_.openSeconds = Seconds(start);
  start = Clock::now();
  bool ok = shape_.empty() || ApplySettings();
  if (ok && !shape_.empty()) NoteGrid();
  ok = ok && RunActions();
  result_.actionSeconds = Seconds(start);
  start = Clock::now();
  if (ok) Write();
  result_.saveSeconds = Seconds(start);
  Report();
  return finish();
}

ShapeRunResult RunShape(const CliOptions& options, const RunShared& shared, const std::string& shape) {
  ShapeRun run(options, shared, shape);
  return run.Go();
}

}  // namespace lodsmith
