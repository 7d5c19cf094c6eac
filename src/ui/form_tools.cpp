// Repair tools: point and normal merging, material correction, animations.
//
// Every tool works on a copy and swaps the result into ShapeLines only when
// it is complete and has passed the structural check (AcceptRewrite): a
// refused shape keeps its text. Refusals (Error) leave the handler and are
// shown by the event loop as error boxes, after the cursor (and for the
// merges the status line) has been put back.
#include "core/grid_columns.h"
#include "tools/animation_strip.h"
#include "tools/material_fix.h"
#include "tools/normal_merge.h"
#include "tools/point_merge.h"
#include "tools/tools_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {

void CheckToleranceEdit(TLSForm& form, const TEdit& edit, long double& tolerance, const char* controlName) {
  auto value = ParseTolerance(edit.Text, form.platform().DecimalSeparator());
  // A value is kept even when it is negative (nothing merges then); the user
  // is sent back to correct it.
  if (value) tolerance = *value;
  if (!value || *value < 0) {
    form.ShowMessage(MsgKind::Error, MsgButtons::Ok, Message(ToolsMsg::ToleranceInvalid));
    form.LastOutcome = Outcome::Refused;
    form.platform().FocusControl(controlName);
  }
}

struct MergeSteps {
  const char* keyword;  // block header keyword
  MergeKind kind;
  ActionResult::Kind result;
  void (*check)(const Lines&, const MergePlan&);
  Lines (*build)(const Lines&, const MergePlan&);
  int questionText;  // language text after the count
  int nothingText;   // language text when nothing merges
};

// The common course of both merges. Returns true when the document was
// rewritten.
bool RunMerge(TLSForm& form, const MergeSteps& steps, long double tolerance) {
  if (form.ShapeLines.empty()) return false;
  TLSForm::BusyCursor end(form);
  // No block: the action ends without a word.
  const std::optional<int> header = FindMergeBlock(form.ShapeLines, steps.keyword);
  form.LastResult.kind = steps.result;
  if (!header) return false;
  const int32_t n = ReadMergeCount(form.ShapeLines, *header, steps.keyword);
  // From the entries on, the status line is shown however the action ends.
  end.showLineCount = true;
  const MergePlan plan = PlanBlockMerge(form.ShapeLines, *header, n, steps.keyword, tolerance, steps.kind);
  const int32_t gone = plan.N - plan.K;
  if (gone == 0) {
    form.LastResult.entries = plan.N;
    form.ShowLanguageText(MsgKind::Information, MsgButtons::Ok, steps.nothingText);
    return false;
  }
  // Refuse before asking: a question whose Yes cannot be carried out helps
  // nobody.
  steps.check(form.ShapeLines, plan);
  const std::string question = std::to_string(gone) + " " + form.LanguageText(steps.questionText) + " " +
                               FormatGeneral(tolerance, '.') + ". " + form.LanguageText(64);
  if (form.ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, question) != MsgResult::Yes) {
    form.LastOutcome = Outcome::Cancelled;
    return false;
  }
  Lines rebuilt = steps.build(form.ShapeLines, plan);
  if (!form.AcceptRewrite(rebuilt)) return false;
  form.SMemoChange();
  form.ShapeLines = std::move(rebuilt);
  form.LastResult.merged = gone;
  form.LastResult.entries = plan.N;
  return true;
}

}  // namespace

void TLSForm::PunkteButtonClick() {
  const MergeSteps steps{
      "points", MergeKind::Points, ActionResult::Kind::PointsMerged, CheckPointRewrite, BuildPointMerge, 63, 65};
  if (RunMerge(*this, steps, PointTolerance)) PunkteButton.Enabled = false;
}

void TLSForm::NormalenButtonClick() {
  const MergeSteps steps{
      "normals", MergeKind::Normals, ActionResult::Kind::NormalsMerged, CheckNormalRewrite, BuildNormalMerge, 66, 67};
  if (RunMerge(*this, steps, NormalTolerance)) NormalenButton.Enabled = false;
}

void TLSForm::MatButtonClick() {
  if (ShapeLines.empty()) return;
  BusyCursor end(*this);
  // The document counts as changed from here on, whether or not anything
  // needs correcting; only a result the structural check refuses takes the
  // mark back.
  const ChangeMarks marks = CurrentChangeMarks();
  SMemoChange();
  std::vector<MaterialElement> elements;
  for (int r = 1; r < StringGrid1.RowCount(); ++r) {
    MaterialElement e;
    e.name = StringGrid1.Cell(grid::kElementName, r);
    if (r < static_cast<int>(ElementVtxState.size())) e.vtxState = ElementVtxState[r];
    elements.push_back(std::move(e));
  }
  MaterialFixResult result = FixTsmMaterials(ShapeLines, elements);
  if (!AcceptRewrite(result.lines)) {
    RestoreChangeMarks(marks);
    return;
  }
  ShapeLines = std::move(result.lines);
  MatButton.Enabled = false;
  LastResult.kind = ActionResult::Kind::MaterialsFixed;
  LastResult.exchanged = result.exchanged;
  LastResult.flagsLowered = result.flagsLowered;
}

void TLSForm::AnimButtonClick() {
  if (ShapeLines.empty()) return;
  BusyCursor end(*this);
  const std::optional<int> header = FindAnimationsBlock(ShapeLines);
  // No animations: nothing to remove, which is a result too.
  LastResult.kind = ActionResult::Kind::AnimationsStripped;
  if (!header) return;
  const ChangeMarks marks = CurrentChangeMarks();
  SMemoChange();
  std::vector<MatrixAnimationMark> rows;
  for (int r = 1; r < StringGrid3.RowCount(); ++r)
    rows.push_back({StringGrid3.Cell(grid::kMatrixName, r), StringGrid3.Cell(grid::kMatrixAnimated, r)});
  AnimationStripResult result;
  try {
    result = StripSurplusAnimations(ShapeLines, *header, rows);
  } catch (const Error& e) {
    // The general fault is shown here and ends the action as a refusal; the
    // other refusals go on to the event loop like those of the other tools.
    if (!e.Is(ToolsMsg::AnimationStripGeneral)) throw;
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
    LastOutcome = Outcome::Refused;
    return;
  }
  if (!AcceptRewrite(result.lines)) {
    RestoreChangeMarks(marks);
    return;
  }
  ShapeLines = std::move(result.lines);
  end.showLineCount = true;
  LastResult.stripped = result.stripped;
  LastResult.linesDeleted = result.linesDeleted;
}

void TLSForm::DeltaPointsEditExit() { CheckToleranceEdit(*this, DeltaPointsEdit, PointTolerance, "DeltaPointsEdit"); }

void TLSForm::DeltaNormalsEditExit() {
  CheckToleranceEdit(*this, DeltaNormalsEdit, NormalTolerance, "DeltaNormalsEdit");
}

}  // namespace lodsmith
