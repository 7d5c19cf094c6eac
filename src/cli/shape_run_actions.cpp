// The actions of one shape's run and the writing at its end.
#include <algorithm>
#include <filesystem>

#include "cli/cli_messages.h"
#include "cli/shape_run_steps.h"
#include "core/file_io.h"
#include "core/native_file.h"
#include "document/document_messages.h"
#include "generation/generator.h"
#include "generation/lod_assignment.h"
#include "platform/wine_path.h"
#include "preview/preview_messages.h"
#include "tools/compress.h"
#include "tools/tools_messages.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith {

namespace {

Message FormName(ShapeForm form) {
  switch (form) {
    case ShapeForm::Compressed: return Message(CliMsg::FormCompressed);
    case ShapeForm::Binary: return Message(CliMsg::FormBinary);
    default: return Message(CliMsg::FormText);
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

}  // namespace

const char* OutcomeName(Outcome o) {
  switch (o) {
    case Outcome::Done: return "done";
    case Outcome::Cancelled: return "cancelled";
    case Outcome::Refused: return "refused";
    case Outcome::Failed: return "failed";
  }
  return "failed";
}

void ShapeRun::Generate() {
  if (session_.lines.empty()) return;
  bool writing = false;
  GenerationObserver observer;
  observer.reached = [&writing](GenerationStage stage) { writing = writing || stage == GenerationStage::Writing; };
  GenerateResult r = session_.Generate(observer);
  switch (r.status) {
    case GenerateResult::Status::Written: break;
    case GenerateResult::Status::RefusedRewrite:
    case GenerateResult::Status::Refused:
      Say(MsgKind::Warning, *r.failure);
      outcome_ = Outcome::Refused;
      break;
    case GenerateResult::Status::Failed:
      Say(MsgKind::Error, *r.failure);
      outcome_ = Outcome::Failed;
      break;
  }
  // The sub-objects are counted once writing began, however it ended.
  if (!writing) return;
  counts_.kind = ActionResult::Kind::Generated;
  counts_.subObjectsPerLod = std::move(r.subObjectsPerLod);
  counts_.simplified = std::move(r.simplified);
}

// One line per simplified LOD after the generation's own.
void ShapeRun::SaySimplified() {
  if (o_.quiet) return;
  for (const LodSimplification& l : counts_.simplified) {
    const CliMsg id = l.stoppedEarly ? CliMsg::DoneSimplifiedEarly : CliMsg::DoneSimplified;
    Line("done", texts_.Text(Message(id, l.lod, DetailText(l.detail), l.trianglesBefore, l.trianglesAfter,
                                     MillimetreText(l.error), FormatGeneral(l.distance, '.'))));
  }
}

void ShapeRun::Merge(const CliAction& act) {
  const bool points = act.kind == CliAction::Kind::MergePoints;
  // The tolerance goes through the check of the window's edit first: a
  // refused value (negative) ends the action there.
  const char sep = platform_.DecimalSeparator();
  try {
    session_.SetTolerance(points, FormatGeneral(act.tolerance, sep), sep);
  } catch (const Error& e) {
    return Refuse(e.message());
  }
  (points ? session_.pointTolerance : session_.normalTolerance) = act.tolerance;
  if (session_.lines.empty()) return;
  counts_.kind = points ? ActionResult::Kind::PointsMerged : ActionResult::Kind::NormalsMerged;
  MergeProposal p = session_.LocateMerge(points);
  // No block: the action ends without a word.
  if (!p.header) return;
  const MergeResult r = session_.Merge(p, act.tolerance, *this);
  counts_.entries = r.entries;
  switch (r.status) {
    case MergeResult::Status::NoneWithin: return SayNumbered(MsgKind::Information, points ? 65 : 67);
    case MergeResult::Status::Declined: outcome_ = Outcome::Cancelled; return;
    case MergeResult::Status::Refused: return RefuseEdit(Error(*r.refusal));
    case MergeResult::Status::Merged: counts_.merged = r.merged; return;
  }
}

void ShapeRun::FixMaterials() {
  if (session_.lines.empty()) return;
  try {
    const MaterialFixSummary r = session_.FixMaterials();
    counts_.kind = ActionResult::Kind::MaterialsFixed;
    counts_.exchanged = r.exchanged;
    counts_.flagsLowered = r.flagsLowered;
  } catch (const Error& e) {
    if (!e.Is(DocumentMsg::RefusedRewrite)) throw;
    RefuseEdit(e);
  }
}

void ShapeRun::StripAnimations() {
  if (session_.lines.empty()) return;
  // No animations: nothing to remove, which is a result too.
  counts_.kind = ActionResult::Kind::AnimationsStripped;
  try {
    const AnimationStripSummary r = session_.StripAnimations();
    counts_.stripped = r.stripped;
    counts_.linesDeleted = r.linesDeleted;
  } catch (const Error& e) {
    if (e.Is(DocumentMsg::RefusedRewrite)) return RefuseEdit(e);
    // The general fault ends the action as a refusal; the others fail it.
    if (!e.Is(ToolsMsg::AnimationStripGeneral)) throw;
    Say(MsgKind::Error, e.message());
    outcome_ = Outcome::Refused;
  }
}

// The print-out on the default printer, as the window's button asks for it:
// the question answered Yes (No with --no), the orientation from
// --landscape.
void ShapeRun::Print() {
  if (session_.lines.empty() || session_.ElementName(1).empty()) return;
  Say(MsgKind::Confirmation, Message(UiMsg::PrintQuestion));
  if (o_.answerNo) {
    outcome_ = Outcome::Cancelled;
    return;
  }
  auto fail = [this](const Message& message) {
    Say(MsgKind::Error, message);
    outcome_ = Outcome::Failed;
  };
  auto askLandscape = [this] {
    Say(MsgKind::Confirmation, Message(UiMsg::LandscapeQuestion));
    return o_.landscape;
  };
  const auto text = [this](const Message& m) { return texts_.Text(m); };
  if (!platform_.DefaultPrinter(false).available) {
    // The window offers a PDF file instead; the batch program has --print-pdf.
    return fail(Message(UiMsg::NoPrinter));
  }
  const bool landscape = askLandscape();
  PrinterInfo printer = platform_.DefaultPrinter(landscape);
  if (!printer.available) return fail(Message(UiMsg::NoPrinter));
  try {
    platform_.PrintPages(session_.ListingPages(printer.printableHeightMm, text), landscape,
                         ExtractFileName(session_.fileName));
  } catch (const Error& e) {
    fail(e.message());
  }
}

bool ShapeRun::RunActions() {
  // An action the window shows disabled cannot be run here either (the
  // generation of a shape with several LODs, a second merge).
  auto allowed = [&](bool can, int caption, const std::string& option) {
    if (can) return true;
    Fail(ShapeRunResult::Status::Refused, Message(CliMsg::NotAvailable, option, texts_.Numbered(caption)));
    actions_.push_back({option, "refused", result_.reasonText, {}});
    return false;
  };
  for (const auto& act : o_.actions) {
    const std::string& n = act.option;
    bool ran = true;
    switch (act.kind) {
      case CliAction::Kind::Generate:
        ran = allowed(session_.CanGenerate(), 3, n) && Action(n, [&] { Generate(); });
        break;
      case CliAction::Kind::MergePoints:
      case CliAction::Kind::MergeNormals: {
        const bool points = act.kind == CliAction::Kind::MergePoints;
        if (!allowed(points ? session_.CanMergePoints() : session_.CanMergeNormals(), points ? 5 : 6, n)) return false;
        ran = Action(n, [&] { Merge(act); });
        break;
      }
      case CliAction::Kind::FixMaterials:
        ran = allowed(session_.CanFixMaterials(), 7, n) && Action(n, [&] { FixMaterials(); });
        break;
      case CliAction::Kind::StripAnimations: ran = Action(n, [&] { StripAnimations(); }); break;
      case CliAction::Kind::Print:
#ifdef _WIN32
        // Printing needs the Windows spooler, which the batch program does not drive.
        ran = Action(n, [] { throw Error(CliMsg::PrintNotOnWindows); });
#else
        ran = Action(n, [&] { Print(); });
        if (ran && outcome_ == Outcome::Done) Done(n, Message(CliMsg::DonePrinted));
#endif
        continue;
      // The print-out and the picture end only themselves: the run goes on
      // (its outcome is the first failure all the same).
      case CliAction::Kind::PrintPdf:
        Action(n, [&] { PrintSettingsPdf(session_, texts_, platform_, act.arg); });
        continue;
      case CliAction::Kind::Render: {
        std::string status;
        if (Action(n, [&] { status = RenderPicture(session_, texts_, platform_, o_.picture, act.arg); }))
          Done(n, Message(PreviewMsg::Written, act.arg, status));
        continue;
      }
      case CliAction::Kind::Compress: continue;  // after the shape is written
    }
    if (!ran) return false;
    if (outcome_ != Outcome::Done) continue;
    if (auto m = DoneMessage(counts_)) Done(n, *m, counts_);
    if (act.kind == CliAction::Kind::Generate) SaySimplified();
  }
  return true;
}

// The shape and its settings file, as "Speichern unter..." with the chosen
// name (or "Speichern") writes them.
bool ShapeRun::SaveShape(bool& written, bool& settingsWritten) {
  if (!o_.output.empty()) session_.fileName = o_.output;
  if (o_.format) session_.fileForm = *o_.format;
  // The shape and its settings file go together: the settings file must be
  // writable before the shape is replaced, and a shape that could not be
  // written takes no settings file with it. A device or pipe as the output
  // (/dev/stdout) is no model folder: it takes the shape only.
  std::error_code ec;
  const auto target = std::filesystem::status(FsPath(ResolveLinks(session_.fileName)), ec);
  const bool regular = !std::filesystem::exists(target) || std::filesystem::is_regular_file(target);
  const std::string settingsFile = session_.ModelSettingsFileName();
  if (regular && CanStoreFile(ResolveLinks(session_.fileName)) && !CanStoreFile(settingsFile))
    throw Error(CliMsg::SettingsNotWritable, settingsFile);
  const SaveResult r = session_.Save();
  if (r.status == SaveResult::Status::FormRefused) {
    Say(MsgKind::Error, *r.failure);
    outcome_ = Outcome::Failed;
    return false;
  }
  if (r.status == SaveResult::Status::Failed) {
    // The language file's text, then why, naming the file.
    std::string text = texts_.Numbered(59);
    for (const Message& reason : r.reasons) AppendSentence(text, texts_.Text(reason));
    platform_.Say(MsgKind::Warning, text, MsgIdentity::OfLanguageText(59));
    outcome_ = Outcome::Failed;
    return false;
  }
  written = true;
  if (regular) {
    session_.SaveModelSettings(settingsFile);
    settingsWritten = true;
  }
  return true;
}

// Writing comes last, and only when every action ran: a refusal anywhere
// leaves every file as it was. What compression needs is checked before the
// first file is written.
bool ShapeRun::Write() {
  std::vector<std::pair<const CliAction*, std::string>> compressions;
  for (const auto& act : o_.actions) {
    if (act.kind != CliAction::Kind::Compress) continue;
    // Without a simulator folder there is no path worth naming: the message
    // then says how to give one. A Windows path from the settings or the
    // registry is named as this system sees it.
    const std::string stored = programIni_.ReadString("Dir", "FFEdit", "");
    const bool known = !o_.tool.empty() || !stored.empty() || !session_.SimulatorFolder().empty();
    const std::string tool = known ? session_.CompressionTool(o_.tool, stored) : std::string();
    if (!Action(act.option, [&] {
          if (!tool.empty() && ToolPathValid(tool)) return;
          Line("error", texts_.Text(tool.empty() ? Message(CliMsg::ToolNotFoundNoPath)
                                                 : Message(CliMsg::ToolNotFound, HostPath(tool))));
          throw Error(CliMsg::CompressionFailed);
        }))
      return false;
    compressions.emplace_back(&act, tool);
  }
  if (!shape_.empty() && (o_.save || !o_.output.empty())) {
    const std::string option = o_.save ? "--save" : "--output";
    bool written = false, settingsWritten = false;
    if (!Action(option, [&] { SaveShape(written, settingsWritten); })) return false;
    if (written)
      Done(option, Message(CliMsg::DoneWritten, session_.fileName, texts_.Text(FormName(session_.fileForm)),
                           session_.lines.size()));
    if (settingsWritten) Done(option, Message(CliMsg::DoneSettingsWritten, session_.ModelSettingsFileName()));
  }
  // No lambda here captures a structured binding: clang 14 does not take it.
  for (const auto& pending : platform_.pendingFiles) {
    if (!Action("--print-pdf", [&] { WriteFileAtomic(pending.first, pending.second, ""); })) return false;
    Done("--print-pdf", Message(CliMsg::DonePdfWritten, pending.first));
  }
  // Compression works on a file on disk, so it sees what was written above.
  for (const auto& compression : compressions) {
    const CliAction* act = compression.first;
    if (!Action(act->option, [&] {
          if (!CompressFile(texts_, platform_, act->arg, compression.second)) throw Error(CliMsg::CompressionFailed);
        }))
      return false;
    Done(act->option, Message(CliMsg::DoneCompressed, act->arg));
  }
  return true;
}

void ShapeRun::Report() {
  if (o_.report.empty()) return;
  ReportExtras extras;
  extras.shape = shape_;
  extras.outcome = result_.status == ShapeRunResult::Status::Done      ? "done"
                   : result_.status == ShapeRunResult::Status::Refused ? "refused"
                                                                       : "failed";
  extras.actions = actions_;
  extras.notes = notes_;
  PrintReport(out_, session_, platform_.messages, o_.report, &extras);
}

}  // namespace lodsmith
