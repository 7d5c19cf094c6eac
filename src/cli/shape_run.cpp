#include "cli/shape_run.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>

#include "cli/cli_platform.h"
#include "cli/report.h"
#include "core/file_io.h"
#include "core/grid_columns.h"
#include "core/native_file.h"
#include "generation/lod_assignment.h"
#include "preview/preview_messages.h"
#include "ui/cli_messages.h"
#include "ui/ui_messages.h"

namespace lodsmith {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

const char* FormName(ShapeForm form) {
  switch (form) {
    case ShapeForm::Compressed: return "compressed";
    case ShapeForm::Binary: return "binary";
    default: return "text";
  }
}

std::string Joined(const std::vector<int32_t>& counts) {
  std::string s;
  for (std::size_t i = 0; i < counts.size(); ++i) s += (i ? "/" : "") + std::to_string(counts[i]);
  return s;
}

// The line an action's result gives, made from the numbers the handler
// returned; nothing for an action that counts nothing.
std::optional<Message> DoneMessage(const ActionResult& r) {
  switch (r.kind) {
    case ActionResult::Kind::PointsMerged: return Message(CliMsg::DonePointsMerged, r.merged, r.entries);
    case ActionResult::Kind::NormalsMerged: return Message(CliMsg::DoneNormalsMerged, r.merged, r.entries);
    case ActionResult::Kind::Generated:
      return Message(CliMsg::DoneGenerated, r.subObjectsPerLod.size(), Joined(r.subObjectsPerLod));
    case ActionResult::Kind::MaterialsFixed: return Message(CliMsg::DoneMaterialsFixed, r.exchanged, r.flagsLowered);
    case ActionResult::Kind::AnimationsStripped: return Message(CliMsg::DoneAnimations, r.stripped, r.linesDeleted);
    case ActionResult::Kind::None: break;
  }
  return std::nullopt;
}

const char* OutcomeName(Outcome o) {
  switch (o) {
    case Outcome::Done: return "done";
    case Outcome::Cancelled: return "cancelled";
    case Outcome::Refused: return "refused";
    case Outcome::Failed: return "failed";
  }
  return "failed";
}

// The rows of a grid whose `column` holds `name` exactly.
std::vector<int> RowsNamed(const StringGrid& g, int column, const std::string& name) {
  std::vector<int> rows;
  for (int r = 1; r < g.RowCount(); ++r)
    if (g.Cell(column, r) == name) rows.push_back(r);
  return rows;
}

class Run {
public:
  Run(const CliOptions& o, const RunShared& shared, const std::string& shape)
      : o_(o), shared_(shared), shape_(shape), form_(platform_) {
    platform_.answerNo = o.answerNo;
    platform_.force = o.force;
    platform_.landscape = o.landscape;
    platform_.err = &err_;
    if (shared.manyShapes) platform_.linePrefix = shape + ": ";
    platform_.form = &form_;
    form_.ProgramSettingsPreset = shared.programSettings;
    form_.FormCreate();
    // The chosen language holds for this run only: it is set after the
    // stored one was read and never written back, so the window keeps its
    // own.
    if (o.language) {
      form_.LanguageName = *o.language == Language::English ? "English" : "Deutsch";
      form_.ApplyLanguageTexts();
      // The one header FormCreate made from a built-in text rather than the
      // language file.
      form_.StringGrid4.SetCell(grid::kDistance, grid::kHeaderRow, form_.Text(Message(UiMsg::DistanceColumnHeader)));
    }
  }

  ShapeRunResult Go();

private:
  // "KIND: TEXT" on stderr, the shape named first in a run over many.
  void Line(const char* kind, const std::string& text) { err_ << platform_.linePrefix << kind << ": " << text << "\n"; }
  // One of the batch program's own errors: printed, and the first one is
  // the reason of the shape's outcome.
  void Fail(ShapeRunResult::Status status, const Message& m) {
    const std::string text = form_.Text(m);
    Line("error", text);
    Mark(status, MsgIdentity::OfMessage(m.id), text);
  }
  void Mark(ShapeRunResult::Status status, const MsgIdentity& id, const std::string& text) {
    if (result_.status != ShapeRunResult::Status::Done) return;
    result_.status = status;
    result_.reason = id;
    result_.reasonText = text;
  }
  bool Failed() const { return result_.status != ShapeRunResult::Status::Done; }

  // Runs a handler as the window would; a refusal or failure ends the run,
  // its first error (or warning) message box becoming the reason.
  bool Action(const std::string& option, const std::function<void()>& handler);
  void Done(const std::string& option, const Message& m, const ActionResult& data = {});
  void Note(const Message& m) {
    const std::string text = form_.Text(m);
    Line("note", text);
    notes_.push_back(text);
  }
  // A refusal of an option that does not fit this shape: shown as the
  // window shows refusals, and the run ends.
  void Refuse(const Message& m) {
    form_.ShowMessage(MsgKind::Error, MsgButtons::Ok, m);
    form_.LastOutcome = Outcome::Refused;
  }

  bool Open();
  bool ApplySettings();
  void NoteDistancesGiven();
  void NoteGrid();
  bool RunActions();
  bool Write();
  void Report();

  const CliOptions& o_;
  const RunShared& shared_;
  const std::string& shape_;
  CliPlatform platform_;
  TLSForm form_;
  std::ostringstream err_, out_;
  ShapeRunResult result_;
  std::vector<ReportAction> actions_;
  std::vector<std::string> notes_;
};

bool Run::Action(const std::string& option, const std::function<void()>& handler) {
  const std::size_t shown = platform_.messages.size();
  const bool ok =
      form_.Dispatch(handler) && form_.LastOutcome != Outcome::Refused && form_.LastOutcome != Outcome::Failed;
  if (ok) return true;
  const auto status =
      form_.LastOutcome == Outcome::Refused ? ShapeRunResult::Status::Refused : ShapeRunResult::Status::Failed;
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
  actions_.push_back({option, OutcomeName(form_.LastOutcome), text, form_.LastResult});
  return false;
}

void Run::Done(const std::string& option, const Message& m, const ActionResult& data) {
  const std::string text = form_.Text(m);
  if (!o_.quiet) Line("done", text);
  actions_.push_back({option, "done", text, data});
}

bool Run::Open() {
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
  form_.ModelSettingsOverride = o_.settings;
  platform_.nextOpen = shape_;
  const std::size_t shown = platform_.messages.size();
  form_.Dispatch([&] { form_.OeffnenButtonClick(); });
  // A shape whose analysis failed stays open in the window; here it ends the run.
  const bool notOpened = form_.FileName.empty();
  const Outcome opened = form_.LastOutcome;
  if (notOpened || opened == Outcome::Failed) {
    // A file that is no shape and was not forced open is refused; one that
    // could not be read or analysed failed.
    const auto status =
        notOpened && opened == Outcome::Cancelled ? ShapeRunResult::Status::Refused : ShapeRunResult::Status::Failed;
    if (platform_.messages.size() > shown)
      Mark(status, platform_.messages[shown].identity, platform_.messages[shown].text);
  }
  bool ok = !notOpened && opened != Outcome::Failed;
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
  if (!form_.StructureNote.empty()) {
    if (shared_.manyShapes)
      Line("note", form_.StructureNote);
    else
      err_ << "note: " << shape_ << ": " << form_.StructureNote << "\n";
  }
  return true;
}

// The settings options, in a fixed order: the LOD count first, so that the
// distances and cells that follow find their LODs whatever the order they
// were given in; the assignments before the sort marks, whose sub-objects
// they make.
bool Run::ApplySettings() {
  using namespace grid;
  if (o_.lods && !Action("--lods", [&] {
        form_.SetLODAnzSpinEditValue(*o_.lods);
        form_.LODAnzSpinEditExit();
      }))
    return false;

  if (o_.distances) {
    const auto& parts = *o_.distances;
    const int lods = DataRows(form_.StringGrid4);
    if (static_cast<int>(parts.size()) > lods) {
      Action("--distances", [&] { Refuse(Message(CliMsg::TooManyDistances, parts.size(), lods)); });
      return false;
    }
    if (!Action("--distances", [&] {
          for (std::size_t k = 0; k < parts.size(); ++k) {
            const int row = static_cast<int>(k) + 1;
            bool can = true;
            form_.StringGrid4SelectCell(kDistance, row, can);
            form_.StringGrid4SetEditText(kDistance, row, parts[k]);
          }
          form_.StringGrid4Exit();
        }))
      return false;
  }

  const int elements = DataRows(form_.StringGrid1);
  for (const auto& all : o_.assignAll)
    if (!Action("--assign-all", [&] {
          if (all.lod > form_.LodCount)
            return Refuse(Message(CliMsg::NoSuchLod, "--assign-all", all.lod, form_.LodCount));
          for (int r = 1; r <= elements; ++r) form_.StringGrid1SetEditText(ElementLodColumn(all.lod), r, all.value);
        }))
      return false;

  for (const auto& a : o_.assign)
    if (!Action("--assign", [&] {
          int row = 0;
          if (a.row) {
            if (*a.row > elements) return Refuse(Message(CliMsg::NoSuchRow, "--assign", *a.row, elements));
            row = *a.row;
          } else {
            const auto rows = RowsNamed(form_.StringGrid1, kElementName, a.name);
            if (rows.empty()) return Refuse(Message(CliMsg::NameNotFound, "--assign", a.name));
            if (rows.size() > 1) return Refuse(Message(CliMsg::NameNotUnique, "--assign", a.name, rows.size()));
            row = rows.front();
          }
          if (static_cast<int>(a.cells.size()) > form_.LodCount)
            return Refuse(Message(CliMsg::TooManyCells, "--assign", a.cells.size(), form_.LodCount));
          for (std::size_t k = 0; k < a.cells.size(); ++k)
            form_.StringGrid1SetEditText(ElementLodColumn(static_cast<int>(k) + 1), row, a.cells[k]);
        }))
      return false;
  if (!o_.assign.empty() || !o_.assignAll.empty()) form_.StringGrid1Exit();

  for (const auto& s : o_.sort)
    if (!Action("--sort", [&] {
          if (s.lod > form_.LodCount) return Refuse(Message(CliMsg::NoSuchLod, "--sort", s.lod, form_.LodCount));
          const int subObjects = DataRows(form_.StringGrid2);
          if (s.subObject > subObjects)
            return Refuse(Message(CliMsg::NoSuchSubObject, "--sort", s.subObject, subObjects));
          form_.StringGrid2SetEditText(form_.StringGrid2, SubObjectSortColumn(s.lod), s.subObject, "x");
        }))
      return false;

  const int matrices = DataRows(form_.StringGrid3);
  for (const auto& a : o_.anim)
    if (!Action("--anim", [&] {
          int row = 0;
          if (a.row) {
            if (*a.row > matrices) return Refuse(Message(CliMsg::NoSuchRow, "--anim", *a.row, matrices));
            row = *a.row;
          } else {
            const auto rows = RowsNamed(form_.StringGrid3, kMatrixName, a.name);
            if (rows.empty()) return Refuse(Message(CliMsg::NameNotFound, "--anim", a.name));
            if (rows.size() > 1) return Refuse(Message(CliMsg::NameNotUnique, "--anim", a.name, rows.size()));
            row = rows.front();
          }
          form_.StringGrid2SetEditText(form_.StringGrid3, kMatrixAnimated, row, a.on ? "x" : "");
        }))
      return false;
  return true;
}

// Distances the settings page would refuse, named before it refuses them.
void Run::NoteDistancesGiven() {
  if (!o_.distances) return;
  for (std::size_t k = 0; k < o_.distances->size(); ++k) {
    const int32_t d = ParseInt32((*o_.distances)[k]).value_or(0);
    if (d == 0) Note(Message(CliMsg::NoteDistanceZero, k + 1));
    if (d > kMaxDistance) Note(Message(CliMsg::NoteDistanceAboveMax, k + 1, d, kMaxDistance));
  }
}

// What the generation takes without a word although it makes no sense:
// LODs that do not get farther, and cells that leave an element out of a
// LOD without being the 999 that says so.
void Run::NoteGrid() {
  using namespace grid;
  if (o_.TouchesLods()) {
    for (int k = 2; k <= form_.LodCount; ++k) {
      const auto before = ParseInt32(form_.StringGrid4.Cell(kDistance, k - 1));
      const auto here = ParseInt32(form_.StringGrid4.Cell(kDistance, k));
      if (!before || !here) continue;
      if (*here == *before)
        Note(Message(CliMsg::NoteDistanceRepeated, k, *here));
      else if (*here < *before)
        Note(Message(CliMsg::NoteDistanceNotAscending, k, *here, *before));
    }
  }
  if (o_.TouchesCells()) {
    for (int r = 1; r <= DataRows(form_.StringGrid1); ++r)
      for (int k = 1; k <= form_.LodCount; ++k) {
        const std::string& text = form_.StringGrid1.Cell(ElementLodColumn(k), r);
        if (AssignmentCell::Read(text).kind() == AssignmentCell::Kind::Absent && text != "999")
          Note(Message(CliMsg::NoteCellAbsent, form_.StringGrid1.Cell(kElementName, r), r, k, text));
      }
  }
}

bool Run::RunActions() {
  // A button the window shows disabled cannot be pressed here either (the
  // generation of a shape with several LODs, a second merge).
  auto enabled = [&](const TButton& button, const std::string& option) {
    if (button.Enabled) return true;
    Fail(ShapeRunResult::Status::Refused, Message(CliMsg::NotAvailable, option, button.Caption));
    actions_.push_back({option, "refused", result_.reasonText, {}});
    return false;
  };
  for (const auto& act : o_.actions) {
    const std::string& n = act.option;
    bool ran = true;
    switch (act.kind) {
      case CliAction::Kind::Generate:
        ran = enabled(form_.Sub_ObjectsButton, n) && Action(n, [&] { form_.Sub_ObjectsButtonClick(); });
        break;
      case CliAction::Kind::MergePoints:
      case CliAction::Kind::MergeNormals: {
        const bool points = act.kind == CliAction::Kind::MergePoints;
        if (!enabled(points ? form_.PunkteButton : form_.NormalenButton, n)) return false;
        TEdit& edit = points ? form_.DeltaPointsEdit : form_.DeltaNormalsEdit;
        edit.Text = FormatGeneral(act.tolerance, platform_.DecimalSeparator());
        ran = Action(n, [&] {
          // The tolerance goes through the edit's own check first; a
          // refused value (negative) ends the action there.
          if (points)
            form_.DeltaPointsEditExit();
          else
            form_.DeltaNormalsEditExit();
          if (form_.LastOutcome == Outcome::Refused) return;
          if (points) {
            form_.PointTolerance = act.tolerance;
            form_.PunkteButtonClick();
          } else {
            form_.NormalTolerance = act.tolerance;
            form_.NormalenButtonClick();
          }
        });
        break;
      }
      case CliAction::Kind::FixMaterials:
        ran = enabled(form_.MatButton, n) && Action(n, [&] { form_.MatButtonClick(); });
        break;
      case CliAction::Kind::StripAnimations: ran = Action(n, [&] { form_.AnimButtonClick(); }); break;
      case CliAction::Kind::Print:
#ifdef _WIN32
        // Printing needs the Windows spooler, which the batch program does not drive.
        ran = Action(n, [] { throw Error(CliMsg::PrintNotOnWindows); });
#else
        ran = Action(n, [&] { form_.E_DruckenButtonClick(); });
        if (ran && form_.LastOutcome == Outcome::Done) Done(n, Message(CliMsg::DonePrinted));
#endif
        continue;
      case CliAction::Kind::PrintPdf: ran = Action(n, [&] { PrintSettingsPdf(form_, platform_, act.arg); }); continue;
      case CliAction::Kind::Render:
        ran = Action(n, [&] { RenderPicture(form_, platform_, o_.picture, act.arg); });
        if (ran) Done(n, Message(PreviewMsg::Written, act.arg, form_.Preview.StatusText));
        continue;
      case CliAction::Kind::Compress: continue;  // after the shape is written
    }
    if (!ran) return false;
    if (form_.LastOutcome != Outcome::Done) continue;
    if (auto m = DoneMessage(form_.LastResult)) Done(n, *m, form_.LastResult);
  }
  return true;
}

// Writing comes last, and only when every action ran: a refusal anywhere
// leaves every file as it was.
bool Run::Write() {
  if (!shape_.empty() && (o_.save || !o_.output.empty())) {
    bool written = false, settingsWritten = false;
    const bool ok = Action(o_.save ? "--save" : "--output", [&] {
      // As "Speichern unter..." with the chosen name, or "Speichern".
      if (!o_.output.empty()) form_.FileName = o_.output;
      if (o_.format) form_.FileForm = *o_.format;
      // The shape and its settings file go together: the settings file must
      // be writable before the shape is replaced, and a shape that could not
      // be written takes no settings file with it.
      // A device or pipe as the output (/dev/stdout) is no model folder: it
      // takes the shape only.
      std::error_code ec;
      const auto target = std::filesystem::status(FsPath(ResolveLinks(form_.FileName)), ec);
      const bool regular = !std::filesystem::exists(target) || std::filesystem::is_regular_file(target);
      const std::string settingsFile = form_.ModelSettingsFileName();
      if (regular && CanStoreFile(ResolveLinks(form_.FileName)) && !CanStoreFile(settingsFile))
        throw Error(CliMsg::SettingsNotWritable, settingsFile);
      written = form_.SaveDocument();
      if (written && regular) {
        form_.SaveModelSettings();
        settingsWritten = true;
      }
    });
    if (!ok) return false;
    if (written)
      Done(o_.save ? "--save" : "--output",
           Message(CliMsg::DoneWritten, form_.FileName, FormName(form_.FileForm), form_.ShapeLines.size()));
    if (settingsWritten)
      Done(o_.save ? "--save" : "--output", Message(CliMsg::DoneSettingsWritten, form_.ModelSettingsFileName()));
  }
  for (const auto& pending : platform_.pendingFiles) {
    if (!Action("--print-pdf", [&] { WriteFileAtomic(pending.first, pending.second, ""); })) return false;
    Done("--print-pdf", Message(CliMsg::DonePdfWritten, pending.first));
  }
  // Compression works on a file on disk, so it sees what was written above.
  for (const auto& act : o_.actions) {
    if (act.kind != CliAction::Kind::Compress) continue;
    if (!Action(act.option, [&] {
          if (!CompressFile(form_, platform_, act.arg, o_.tool)) throw Error(CliMsg::CompressionFailed);
        }))
      return false;
    Done(act.option, Message(CliMsg::DoneCompressed, act.arg));
  }
  return true;
}

void Run::Report() {
  if (o_.report.empty()) return;
  ReportExtras extras;
  extras.shape = shape_;
  extras.outcome = result_.status == ShapeRunResult::Status::Done      ? "done"
                   : result_.status == ShapeRunResult::Status::Refused ? "refused"
                                                                       : "failed";
  extras.actions = actions_;
  extras.notes = notes_;
  PrintReport(out_, form_, platform_.messages, o_.report, &extras);
}

ShapeRunResult Run::Go() {
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
      if (form_.FileName.empty() && !FileExists(shape_)) return finish();
      Report();
      return finish();
    }
  }
  result_.openSeconds = Seconds(start);
  start = Clock::now();
  if (!shape_.empty()) NoteDistancesGiven();
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

}  // namespace

ShapeRunResult RunShape(const CliOptions& options, const RunShared& shared, const std::string& shape) {
  Run run(options, shared, shape);
  return run.Go();
}

}  // namespace lodsmith
