// LOD and sub-object generation: the button "LOD's/Subobjekte erzeugen".
// The rewrite itself is core code (generation/generator.h); this handler
// checks, shows the progress and swaps the new shape in when it is complete.
#include "generation/generator.h"
#include "ui/tlsform.h"

namespace lodsmith {

bool TLSForm::LocateTemplate() {
  auto loc = LocateTemplateLines(ShapeLines, StringGrid1);
  if (!loc) return false;
  FirstSubObjectLine = loc->FirstSubObjectLine;
  VerticesLine = loc->VerticesLine;
  SubObjectEndLine = loc->SubObjectEndLine;
  return true;
}

void TLSForm::Sub_ObjectsButtonClick() {
  if (ShapeLines.empty()) return;
  BusyCursor busy(*this);

  if (!LocateTemplate()) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, kGeneralErrorText);
    return;
  }
  const TemplateLocation loc{FirstSubObjectLine, VerticesLine, SubObjectEndLine};

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
  } catch (const GenerationError& e) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.what());
  }

  Lines().swap(OldLines);
  SOAnzLabel.Visible = false;
  SOAnzLabel1.Visible = false;
  ShowLineCount();
}

}  // namespace lodsmith
