// The session's rewrites (generation, merges, material fix, animation
// removal), the picture, the listing and the compression utility. Every
// rewrite works on a copy and swaps it in only when it is complete and has
// passed the structural check.
#include <ctime>
#include <map>

#include "core/file_io.h"
#include "core/grid_columns.h"
#include "document/document_messages.h"
#include "generation/generator.h"
#include "generation/lod_assignment.h"
#include "generation/lod_plan.h"
#include "preview/preview_messages.h"
#include "preview/preview_render.h"
#include "preview/shape_geometry.h"
#include "print/print_layout.h"
#include "session/session.h"
#include "tools/animation_strip.h"
#include "tools/compress.h"
#include "tools/material_fix.h"
#include "tools/merge_plan.h"
#include "tools/normal_merge.h"
#include "tools/point_merge.h"
#include "tools/tools_messages.h"

namespace lodsmith {

namespace {
const char* const kSimulatorKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0";

// The geometry with the triangles of LOD `lod` that elements have of their
// own (simplified) in place of their triangles in the first sub-object:
// they name the same vertices, so each corner is one the geometry has.
ShapeGeometry WithOwnTriangles(const ShapeGeometry& geometry, const LodAssignment& a, int32_t lod) {
  struct Corner {
    Vec3 at;
    int32_t point = 0;
  };
  ShapeGeometry out;
  out.elementCount = geometry.elementCount;
  std::map<int32_t, std::map<int32_t, Corner>> corners;  // element -> vertex -> corner
  for (const GeometryTriangle& t : geometry.triangles) {
    if (t.subObject != 0 || !a.Triangles(lod, t.element)) {
      out.triangles.push_back(t);
      continue;
    }
    for (int c = 0; c < 3; ++c) corners[t.element][t.vertices[c]] = {t.corners[c], t.points[c]};
  }
  for (const auto& [element, vertices] : corners) {
    const std::vector<int32_t>& own = *a.Triangles(lod, element);
    for (std::size_t i = 0; i + 2 < own.size(); i += 3) {
      GeometryTriangle t;
      t.element = element;
      bool whole = true;
      for (std::size_t c = 0; c < 3; ++c) {
        auto it = vertices.find(own[i + c]);
        if (it == vertices.end()) {
          whole = false;
          break;
        }
        t.corners[c] = it->second.at;
        t.vertices[c] = own[i + c];
        t.points[c] = it->second.point;
      }
      if (whole) out.triangles.push_back(t);
    }
  }
  return out;
}

}  // namespace

void Session::CheckRewrite(const Lines& result) const {
  // The result is checked first: it is sound in all but broken cases, and
  // then the document need not be read at all.
  const std::vector<ShapeProblem> after = CheckShape(result);
  if (after.empty()) return;
  const std::optional<ShapeProblem> added = FirstNewProblem(CheckShape(lines), after);
  if (added) throw Error(RefusedRewriteMessage(*added));
}

void Session::AdoptRewrite(Lines&& result, bool wasChanged) {
  try {
    CheckRewrite(result);
  } catch (const Error&) {
    changed = wasChanged;
    throw;
  }
  lines = std::move(result);
}

GenerateResult Session::Generate(const GenerationObserver& outer) {
  GenerateResult result;
  // What the steps below mark before the written shape is known: a shape the
  // final check refuses puts all of it back.
  const bool wasChanged = changed;
  const bool couldGenerate = canGenerate_;
  const GenerationTables tables{analysis.elementVtxState, analysis.vtxStateMatrix, analysis.vertexSets, MatrixCount()};
  bool writing = false;
  GenerationObserver observer;
  observer.reached = [&](GenerationStage stage) {
    // From here on the document counts as changed, even when the plan
    // refuses the assignment.
    if (stage == GenerationStage::Checked) MarkChanged();
    if (stage == GenerationStage::Writing) {
      writing = true;
      canGenerate_ = false;
    }
    if (outer.reached) outer.reached(stage);
  };
  observer.planned = [&](const LodPlan& plan) {
    result.subObjectsPerLod.assign(plan.LodSubObjectCount.begin() + (plan.LodSubObjectCount.empty() ? 0 : 1),
                                   plan.LodSubObjectCount.end());
    if (outer.planned) outer.planned(plan);
  };
  observer.progress = outer.progress;
  try {
    // The simplified LODs are made first: a shape that cannot be simplified
    // is refused before anything is touched.
    const LodAssignment assignment = SimplifiedAssignment();
    std::vector<LodSimplification> simplified = Simplifications();
    observer.planned = [&, inner = observer.planned](const LodPlan& plan) {
      result.simplified = std::move(simplified);
      inner(plan);
    };
    // The template is the document itself, normalised in place: no copy.
    lines = GenerateShapeInPlace(lines, assignment, tables, observer);
  } catch (const Error& e) {
    result.failure = e.message();
    if (e.Is(DocumentMsg::RefusedRewrite)) {
      // Nothing of this action stays, not even the split sort_vectors line
      // or the changed mark.
      changed = wasChanged;
      canGenerate_ = couldGenerate;
      result.status = GenerateResult::Status::RefusedRewrite;
    } else {
      // Either refusal leaves the sort_vectors line split as the generation
      // split it (on the document itself).
      result.status = writing ? GenerateResult::Status::Failed : GenerateResult::Status::Refused;
    }
  }
  return result;
}

MergeProposal Session::LocateMerge(bool points) const {
  MergeProposal p;
  p.points = points;
  const char* keyword = points ? "points" : "normals";
  p.header = FindMergeBlock(lines, keyword);
  if (p.header) p.entries = ReadMergeCount(lines, *p.header, keyword);
  return p;
}

void Session::PlanMerge(MergeProposal& p, long double tolerance) const {
  const MergeKind kind = p.points ? MergeKind::Points : MergeKind::Normals;
  auto plan = std::make_shared<MergePlan>(
      PlanBlockMerge(lines, *p.header, p.entries, p.points ? "points" : "normals", tolerance, kind));
  p.tolerance = tolerance;
  p.entries = plan->N;
  p.gone = plan->N - plan->K;
  p.plan = std::move(plan);
}

void Session::CheckMerge(const MergeProposal& p) const {
  if (p.points)
    CheckPointRewrite(lines, *p.plan);
  else
    CheckNormalRewrite(lines, *p.plan);
}

MergeResult Session::ApplyMerge(const MergeProposal& p) {
  Lines rebuilt = p.points ? BuildPointMerge(lines, *p.plan) : BuildNormalMerge(lines, *p.plan);
  CheckRewrite(rebuilt);
  MarkChanged();
  lines = std::move(rebuilt);
  (p.points ? canMergePoints_ : canMergeNormals_) = false;
  MergeResult r;
  r.merged = p.gone;
  r.entries = p.entries;
  return r;
}

MergeResult Session::Merge(MergeProposal& p, long double tolerance, Questions& questions) {
  PlanMerge(p, tolerance);
  MergeResult r;
  if (p.gone == 0) {
    r.status = MergeResult::Status::NoneWithin;
    r.entries = p.entries;
    return r;
  }
  // Refuse before asking: a question whose Yes cannot be carried out helps
  // nobody.
  CheckMerge(p);
  if (!questions.Ask({p.points ? Question::Kind::MergePoints : Question::Kind::MergeNormals, p.gone, tolerance})) {
    r.status = MergeResult::Status::Declined;
    return r;
  }
  try {
    return ApplyMerge(p);
  } catch (const Error& e) {
    if (!e.Is(DocumentMsg::RefusedRewrite)) throw;
    r.status = MergeResult::Status::Refused;
    r.refusal = e.message();
    return r;
  }
}

void Session::SetTolerance(bool points, const std::string& text, char separator) {
  const auto value = ParseTolerance(text, separator);
  if (value) (points ? pointTolerance : normalTolerance) = *value;
  if (!value || *value < 0) throw Error(ToolsMsg::ToleranceInvalid);
}

MaterialFixSummary Session::FixMaterials() {
  // The document counts as changed from here on, whether or not anything
  // needs correcting; only a result the structural check refuses takes the
  // mark back.
  const bool wasChanged = changed;
  MarkChanged();
  std::vector<MaterialElement> elements;
  for (int r = 1; r < Elements.RowCount(); ++r) {
    MaterialElement e;
    e.name = ElementName(r);
    if (r < static_cast<int>(analysis.elementVtxState.size())) e.vtxState = analysis.elementVtxState[r];
    elements.push_back(std::move(e));
  }
  MaterialFixResult result = FixTsmMaterials(lines, elements);
  AdoptRewrite(std::move(result.lines), wasChanged);
  canFixMaterials_ = false;
  return {result.exchanged, result.flagsLowered};
}

AnimationStripSummary Session::StripAnimations() {
  AnimationStripSummary summary;
  const std::optional<int> header = FindAnimationsBlock(lines);
  // No animations: nothing to remove, which is a result too.
  if (!header) return summary;
  summary.blockFound = true;
  const bool wasChanged = changed;
  MarkChanged();
  std::vector<MatrixAnimationMark> rows;
  for (int r = 1; r < Matrices.RowCount(); ++r)
    rows.push_back({Matrices.Cell(grid::kMatrixName, r), Matrices.Cell(grid::kMatrixAnimated, r)});
  AnimationStripResult result = StripSurplusAnimations(lines, *header, rows);
  AdoptRewrite(std::move(result.lines), wasChanged);
  summary.stripped = result.stripped;
  summary.linesDeleted = result.linesDeleted;
  return summary;
}

struct Session::PreviewCache {
  Lines lines;
  ShapeGeometry geometry;
  std::optional<Message> failure;
};

PreviewFrame Session::Picture(const PreviewSettings& settings) {
  if (lines.empty()) throw Error(PreviewMsg::NoShape);
  if (!previewCache_ || previewCache_->lines != lines) {
    auto cache = std::make_shared<PreviewCache>();
    cache->lines = lines;
    try {
      cache->geometry = ReadShapeGeometry(lines);
    } catch (const Error& e) {
      cache->failure = e.message();
    }
    previewCache_ = std::move(cache);
  }
  if (previewCache_->failure) throw Error(*previewCache_->failure);
  // A simplified LOD is shown as the generation will write it.
  if (settings.lod >= 1 && !Detail(settings.lod).Full()) {
    const LodAssignment simplified = SimplifiedAssignment();
    return RenderPreview(WithOwnTriangles(previewCache_->geometry, simplified, settings.lod), &simplified, settings);
  }
  const LodAssignment assignment = Assignment();
  return RenderPreview(previewCache_->geometry, &assignment, settings);
}

Message Session::Shot(PreviewSettings s, PreviewFrame& f) {
  if ((s.asSeen || s.asFirstSeen) && s.lod == 0) s.lod = 1;
  if (s.asFirstSeen) {
    if (lines.empty()) throw Error(PreviewMsg::NoShape);
    if (s.lod == 1) throw Error(PreviewMsg::FirstSeenAtZero);
    s.asSeen = true;
    int without = 0;
    s.asSeenFrom = LargestDistanceBefore(s.lod, without);
    if (without) throw Error(PreviewMsg::NoDistance, without);
  }
  f = Picture(s);
  if (!s.asSeen) return Message(PreviewMsg::StatusShown, f.shownTriangles, f.shownElements);
  char pixels[32];
  std::snprintf(pixels, sizeof pixels, "%.1f", f.screenHeightPixels);
  if (s.asFirstSeen)
    return Message(PreviewMsg::StatusAsFirstSeen, s.lod, static_cast<int64_t>(s.asSeenFrom), pixels, f.shownTriangles);
  return Message(PreviewMsg::StatusAsSeen, s.lod, Distance(s.lod), pixels, f.shownTriangles);
}

std::vector<PrintPage> Session::ListingPages(int printableHeightMm,
                                             const std::function<std::string(const Message&)>& text) const {
  SettingsListing listing;
  listing.fileName = ExtractFileName(fileName);
  listing.dateTime = PrintDateTimeText(std::time(nullptr));
  listing.elements = &Elements;
  listing.subObjects = &SubObjects;
  listing.lods = &Overview;
  listing.matrices = &Matrices;
  listing.lodCount = lodCount;
  if (AnyLodSimplified()) {
    listing.details = &Details;
    listing.screenError = FormatGeneral(screenError, platform_.DecimalSeparator());
  }
  listing.pointTolerance = pointTolerance;
  listing.normalTolerance = normalTolerance;
  listing.decimalSeparator = platform_.DecimalSeparator();
  listing.text = text;
  return LayoutSettingsListing(listing, LinesPerPage(printableHeightMm));
}

std::string Session::SimulatorFolder() const {
  return platform_.RegistryReadLocalMachine(kSimulatorKey, "EXE Path").value_or("");
}

std::string Session::CompressionTool(const std::string& given, const std::string& stored) const {
  if (!given.empty()) return given;
  if (!stored.empty()) return stored;
  // The registry is asked only while nothing is stored.
  return DefaultToolPath(SimulatorFolder());
}

bool Session::StartCompression(const std::string& tool, const std::string& shape,
                               const std::function<std::string(const Message&)>& text) {
  const std::string script = WriteCompressScript(ExtractFileDir(platform_.ExecutablePath()), tool, shape, text);
  return platform_.StartConsoleScript(script);
}

std::optional<ShapeConversion> Session::ConvertShapeFile(const std::string& path) const {
  const std::string bytes = ReadFileBytes(path);
  const std::optional<ShapeForm> form = DetectShapeForm(bytes);
  if (!form) return std::nullopt;
  // The utility turns a compressed or binary file into text and a text file
  // into a compressed one; so does this, whatever text form it is.
  ShapeConversion done;
  done.toText = *form == ShapeForm::Compressed || *form == ShapeForm::Binary;
  const std::string text = ShapeFormToUnicodeText(bytes, *form);
  done.backup = ChangeExtension(path, ".BAK");
  WriteFileAtomic(path, done.toText ? text : UnicodeTextToShapeForm(text, ShapeForm::Compressed), done.backup);
  return done;
}

}  // namespace lodsmith
