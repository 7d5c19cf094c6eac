#include "generation/generator.h"

#include <algorithm>
#include <optional>

#include "document/model_geometry.h"
#include "document/shape_check.h"
#include "generation/lod_plan.h"
#include "generation/refusal.h"
#include "generation/shape_writer.h"
#include "generation/template_layout.h"

namespace lodsmith {

namespace {

// The last check of a generation, made on the complete written shape before
// it may replace anything: the first structural problem of `written` whose
// kind `templateLines` does not have. A fault the template already had is no
// reason to refuse.
void CheckWrittenShape(const Lines& templateLines, const Lines& written) {
  // The written shape is checked first: it is sound in all but broken
  // cases, and then the template need not be read a second time.
  const std::vector<ShapeProblem> after = CheckShape(written);
  if (after.empty()) return;
  if (auto added = FirstNewProblem(CheckShape(templateLines), after)) throw Error(RefusedRewriteMessage(*added));
}

void Reached(const GenerationObserver& observer, GenerationStage stage) {
  if (observer.reached) observer.reached(stage);
}

}  // namespace

namespace {

// What the normalisation changed, so that it can be taken back.
struct SortVectorsSplit {
  bool found = false;
  int line = -1;       // the header line, when it was split
  std::size_t at = 0;  // where in it the cut began
  std::string cut;     // what went
};

SortVectorsSplit SplitSortVectors(Lines& lines) {
  SortVectorsSplit split;
  const SearchResult sv = Search(lines, 1, "sort_vectors");
  if (!sv.found) return split;
  split.found = true;
  std::string& line = lines[static_cast<std::size_t>(sv.line)];
  if (auto close = line.rfind(')'); close != std::string::npos) {
    // A header that opens and closes on one line ("sort_vectors ( 0 )") gets
    // its ")" on a line of its own, so that vectors can follow the header.
    // The last ")" closes it: a comment inside ("skip ( ... )") stays whole.
    split.line = sv.line;
    split.at = close;
    split.cut = line.substr(close, std::min<std::size_t>(255, line.size() - close));
    line.erase(close, split.cut.size());
    lines.insert(lines.begin() + sv.line + 1, "\t)");
  }
  return split;
}

void JoinSortVectors(Lines& lines, const SortVectorsSplit& split) {
  if (split.line < 0) return;
  lines.erase(lines.begin() + split.line + 1);
  lines[static_cast<std::size_t>(split.line)].insert(split.at, split.cut);
}

}  // namespace

bool NormaliseSortVectors(Lines& lines) { return SplitSortVectors(lines).found; }

Lines GenerateShape(const Lines& document, const LodAssignment& assignment, const GenerationTables& tables,
                    const GenerationObserver& observer) {
  // The template is read from a copy: the document is replaced only by a
  // complete new shape.
  Lines OldLines = document;
  return GenerateShapeInPlace(OldLines, assignment, tables, observer);
}

Lines GenerateShapeInPlace(Lines& OldLines, const LodAssignment& assignment, const GenerationTables& tables,
                           const GenerationObserver& observer) {
  if (OldLines.empty()) Refuse(GenerationMsg::GeneralError);
  for (int r = 1; r <= assignment.ElementCount(); ++r)
    if (!assignment.Cell(r, 1).IsNumber()) Refuse(GenerationMsg::GeneralError);
  const SortVectorsSplit split = SplitSortVectors(OldLines);
  if (!split.found) Refuse(GenerationMsg::GeneralError);
  Reached(observer, GenerationStage::Normalised);

  const TemplateLayout layout = ReadTemplateLayout(OldLines, assignment, tables);
  Reached(observer, GenerationStage::Checked);

  const LodPlan plan = PlanLods(assignment, tables);
  if (observer.planned) observer.planned(plan);
  // Marked sorted sub-objects need a template that can take them.
  if (plan.SortedCount > 0) layout.Sorted();
  Reached(observer, GenerationStage::Writing);

  // Elements with triangles of their own need the template's normals and
  // the entries of its lists.
  std::optional<ModelGeometry> geometry;
  if (!assignment.triangles.empty()) {
    try {
      geometry = ReadModelGeometry(OldLines, GeometryDetail::Entries);
    } catch (const Error& e) {
      Refuse(e.message());
    }
  }
  Lines written =
      ShapeWriter(OldLines, layout, assignment, tables, plan, observer, geometry ? &*geometry : nullptr).Write();
  Reached(observer, GenerationStage::Written);
  try {
    CheckWrittenShape(OldLines, written);
  } catch (const Error&) {
    // A refused shape leaves nothing of the generation behind.
    JoinSortVectors(OldLines, split);
    throw;
  }
  return written;
}

}  // namespace lodsmith
