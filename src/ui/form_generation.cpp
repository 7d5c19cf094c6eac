// LOD and sub-object generation: the button "LOD's/Subobjekte erzeugen".
// The rewrite itself is core code (generation/generator.h); this handler
// checks, shows the progress and swaps the new shape in when it is complete
// and has passed the structural check.
#include "document/document_messages.h"
#include "generation/generator.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {

// The pre-check on the document; the template lines go into the form's
// generation state.
std::optional<TemplateLocation> Locate(TLSForm& form) {
  auto loc = LocateTemplateLines(form.ShapeLines, form.StringGrid1);
  if (loc) {
    form.FirstSubObjectLine = loc->FirstSubObjectLine;
    form.VerticesLine = loc->VerticesLine;
    form.SubObjectEndLine = loc->SubObjectEndLine;
  }
  return loc;
}

}  // namespace

bool TLSForm::LocateTemplate() { return Locate(*this).has_value(); }

void TLSForm::Sub_ObjectsButtonClick() {
  if (ShapeLines.empty()) return;
  BusyCursor busy(*this);

  const std::optional<TemplateLocation> located = Locate(*this);
  if (!located) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, kGeneralErrorText);
    return;
  }
  const TemplateLocation& loc = *located;

  GenerationInput in;
  in.Elements = StringGrid1;
  in.SubObjects = StringGrid2;
  in.Distances = StringGrid4;
  in.LodCount = LodCount;
  in.ElementVtxState = ElementVtxState;
  in.VtxStateMatrix = VtxStateMatrix;
  in.MatrixCount = StringGrid3.RowCount() - 1;
  in.VertexSets = VertexSets;
  in.VertexSetCount = VertexSetCount;

  // A shape or an assignment that the writers would turn into a broken
  // shape is refused before anything is marked or written.
  try {
    CheckTemplate(ShapeLines, loc, in);
  } catch (const GenerationError& e) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.what());
    return;
  }

  // What the steps below mark before the written shape is known: a shape the
  // final check refuses puts all of it back.
  const ChangeMarks marks = CurrentChangeMarks();
  const std::vector<int32_t> lodSubObjectCount = LodSubObjectCount;
  const int32_t sortedCount = SortedCount;
  const bool buttonEnabled = Sub_ObjectsButton.Enabled;

  SMemoChange();

  LodPlan plan;
  try {
    plan = PlanLods(in);
    if (plan.EmptyLod > 0) {
      ShowMessage(MsgKind::Warning, MsgButtons::Ok, EmptyLodText(plan.EmptyLod));
      return;
    }
    SortedCount = plan.SortedCount;
    for (int lod = 1; lod < static_cast<int>(plan.LodSubObjectCount.size()); ++lod) {
      if (lod >= static_cast<int>(LodSubObjectCount.size())) LodSubObjectCount.resize(lod + 1, 0);
      LodSubObjectCount[lod] = plan.LodSubObjectCount[lod];
    }
    if (SortedCount > 0) CheckSortedTemplate(ShapeLines, loc);
  } catch (const GenerationError& e) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.what());
    return;
  }

  SOAnzLabel.Visible = true;
  SOAnzLabel1.Visible = true;
  Sub_ObjectsButton.Enabled = false;

  // The template is read from OldLines; the document is replaced only by a
  // complete new shape, so every failure leaves it as it was.
  OldLines = ShapeLines;
  auto progress = [this](ProgressLabel label, const std::string& text) {
    (label == ProgressLabel::SubObject ? SOAnzLabel : SOAnzLabel1).Caption = text;
    ProcessMessages(9);
  };
  try {
    Generator gen(OldLines, in, loc, plan, progress);
    Lines written = gen.Run();
    CheckWrittenShape(OldLines, written);
    ShapeLines = std::move(written);
    LevelsBodyLine = gen.LevelsBodyLine;
    TemplateCursor = gen.TemplateCursor;
    CurrentLod = gen.CurrentLod;
    CurrentSubObject = gen.CurrentSubObject;
    SortedIndex = gen.SortedIndex;
    SubObjectElementCount = gen.SubObjectElementCount;
    SubObjectFaceCount = gen.SubObjectFaceCount;
    MatrixUse = gen.MatrixUse;
    VertexSets = gen.VertexSets;
  } catch (const Error& e) {
    if (!e.Is(DocumentMsg::RefusedRewrite)) throw;
    // The written shape would add a fault: nothing of this action stays,
    // not even the split sort_vectors line or the changed mark.
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, e.message());
    UndoTemplateNormalisation(ShapeLines, loc);
    RestoreChangeMarks(marks);
    LodSubObjectCount = lodSubObjectCount;
    SortedCount = sortedCount;
    Sub_ObjectsButton.Enabled = buttonEnabled;
  } catch (const GenerationError& e) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.what());
  }

  Lines().swap(OldLines);
  SOAnzLabel.Visible = false;
  SOAnzLabel1.Visible = false;
  ShowLineCount();
}

}  // namespace lodsmith
