#include "ui/form_layout.h"

#include "core/grid_columns.h"

namespace lodsmith::layout {

namespace {

Control Label(const char* name, const char* parent, TLabel TLSForm::*state, int x, int y, int w = -1, int h = -1,
              Align align = Align::Left, bool wrap = false) {
  Control c{Kind::Label, name, parent, x, y, w, h};
  c.label = state;
  c.align = align;
  c.wrap = wrap;
  return c;
}

Control Wrapped(const char* name, const char* parent, TLabel TLSForm::*state, int x, int y, int w, int h) {
  return Label(name, parent, state, x, y, w, h, Align::Left, true);
}

Control Notice(const char* name, TLabel TLSForm::*state, int y, int h) {
  Control c = Label(name, "Panel2", state, 10, y, 145, h, Align::Centre, true);
  c.warning = true;
  return c;
}

Control Button(const char* name, const char* parent, TButton TLSForm::*state, int x, int y, int w, int h,
               void (TLSForm::*click)()) {
  Control c{Kind::Button, name, parent, x, y, w, h};
  c.button = state;
  c.click = click;
  return c;
}

Control Edit(const char* name, const char* parent, TEdit TLSForm::*state, int x, int y, int w, int h,
             void (TLSForm::*exit)()) {
  Control c{Kind::Edit, name, parent, x, y, w, h};
  c.edit = state;
  c.exit = exit;
  return c;
}

Control Spin(const char* name, const char* parent, TSpinEdit TLSForm::*state, int x, int y, int w, int h,
             void (TLSForm::*setValue)(int), void (TLSForm::*exit)()) {
  Control c{Kind::Spin, name, parent, x, y, w, h};
  c.spin = state;
  c.setValue = setValue;
  c.exit = exit;
  return c;
}

Control Grid(const char* name, const char* parent, StringGrid& (*state)(TLSForm&), int x, int y, int w, int h,
             Editable editable, int rowHeight = 24) {
  Control c{Kind::Grid, name, parent, x, y, w, h};
  c.grid = state;
  c.editable = editable;
  c.rowHeight = rowHeight;
  return c;
}

Control Panel(const char* name, const char* parent, int x, int y, int w, int h, Frame frame) {
  Control c{Kind::Panel, name, parent, x, y, w, h};
  c.frame = frame;
  return c;
}

std::vector<Control> Build() {
  using F = TLSForm;
  constexpr auto right = Align::Right, centre = Align::Centre;
  const char* const tab1 = "TabSheet1";
  const char* const tab3 = "TabSheet3";
  Control overview = Grid(
      "StringGrid5", tab1, [](F& f) -> StringGrid& { return f.StringGrid5; }, 558, 176, 163, 97, Editable::None, 16);
  overview.smallFont = true;
  return {
      Control{Kind::Pages, "PageControl1", nullptr, 0, 0, 824, 553},

      // Page "Zerlegung"
      Label("Label4", tab1, &F::Label4, 8, 16).Says(UiMsg::CaptionElements, 30),
      Label("Label5", tab1, &F::Label5, 560, 16).Says(UiMsg::CaptionSubObjects, 31),
      Label("Label6", tab1, &F::Label6, 560, 280).Says(UiMsg::CaptionMatrices, 32),
      Label("Label24", tab1, &F::Label24, 728, 176).Says(UiMsg::CaptionLods),
      Wrapped("Label7", tab1, &F::Label7, 8, 424, 369, 26).Says(UiMsg::CaptionAssignHelp, 39),
      Wrapped("Label17", tab1, &F::Label17, 8, 456, 369, 33).Says(UiMsg::CaptionLodHelp, 40),
      Wrapped("Label18", tab1, &F::Label18, 8, 488, 369, 33).Says(UiMsg::CaptionZeroHelp, 41),
      Wrapped("Label8", tab1, &F::Label8, 702, 32, 107, 73).Says(UiMsg::CaptionSortHelp, 42),
      Wrapped("Label9", tab1, &F::Label9, 702, 112, 107, 57).Says(UiMsg::CaptionVertexLimit, 43),
      Wrapped("Label13", tab1, &F::Label13, 560, 464, 249, 57).Says(UiMsg::CaptionAnimationHelp, 44),
      Label("Label21", tab1, &F::Label21, 80, 9, 139, 13, right).Says(UiMsg::CaptionAllElements),
      Edit("NrEdit", tab1, &F::NrEdit, 224, 4, 33, 21, nullptr),
      Button("DoButton", tab1, &F::DoButton, 272, 3, 41, 25, &F::DoButtonClick).Says("Do!"),
      Label("Label22", tab1, &F::Label22, 328, 9, 73, 13, right),
      Button("DoButton1", tab1, &F::DoButton1, 408, 3, 41, 25, &F::DoButton1Click).Says("Do!"),
      Label("Label16", tab1, &F::Label16, 464, 9).Says(UiMsg::CaptionLod),
      Spin("LODSpinEdit", tab1, &F::LODSpinEdit, 496, 4, 49, 22, &F::SetLODSpinEditValue, nullptr),
      Grid(
          "StringGrid1", tab1, [](F& f) -> StringGrid& { return f.StringGrid1; }, 6, 32, 539, 385,
          Editable::Assignments),
      Grid(
          "StringGrid2", tab1, [](F& f) -> StringGrid& { return f.StringGrid2; }, 558, 32, 137, 137,
          Editable::SortMarks),
      overview,
      Button("AnimResetButton", tab1, &F::AnimResetButton, 734, 264, 75, 25, &F::AnimResetButtonClick)
          .Says(UiMsg::CaptionReadAnimations, 12),
      Grid(
          "StringGrid3", tab1, [](F& f) -> StringGrid& { return f.StringGrid3; }, 558, 296, 251, 161,
          Editable::AnimationMarks),
      Button("ZeilePlusButton", tab1, &F::ZeilePlusButton, 384, 425, 25, 20, &F::ZeilePlusButtonClick).Says("+"),
      Button("ZeileMinusButton", tab1, &F::ZeileMinusButton, 384, 449, 25, 20, &F::ZeileMinusButtonClick).Says("-"),
      Button("GrundButton", tab1, &F::GrundButton, 416, 425, 129, 20, &F::GrundButtonClick)
          .Says(UiMsg::CaptionDefaultSettings, 13),
      Button("E_SpeichernButton", tab1, &F::E_SpeichernButton, 416, 449, 129, 20, &F::E_SpeichernButtonClick)
          .Says(UiMsg::CaptionSaveSettings, 14),
      Button("E_LadenButton", tab1, &F::E_LadenButton, 416, 473, 129, 20, &F::E_LadenButtonClick)
          .Says(UiMsg::CaptionLoadSettings, 15),
      Button("E_DruckenButton", tab1, &F::E_DruckenButton, 416, 497, 129, 20, &F::E_DruckenButtonClick)
          .Says(UiMsg::CaptionPrintSettings, 16),

      // Page "Einstellungen/Settings"
      Panel("Panel1", tab3, 8, 8, 329, 345, Frame::Sunken),
      Label("Label27", "Panel1", &F::Label27, 8, 8).Says(UiMsg::CaptionLods),
      Label("Label14", "Panel1", &F::Label14, 23, 56).Says(UiMsg::CaptionLodCount, 33),
      Spin("LODAnzSpinEdit", "Panel1", &F::LODAnzSpinEdit, 119, 48, 57, 33, &F::SetLODAnzSpinEditValue,
           &F::LODAnzSpinEditExit),
      Label("Label15", "Panel1", &F::Label15, 20, 96).Says(UiMsg::CaptionDistanceLevels, 34),
      Grid(
          "StringGrid4", "Panel1", [](F& f) -> StringGrid& { return f.StringGrid4; }, 20, 120, 153, 209,
          Editable::Distances),
      Wrapped("Label19", "Panel1", &F::Label19, 184, 144, 129, 65).Says(UiMsg::CaptionDistanceHelp, 45),
      Wrapped("Label20", "Panel1", &F::Label20, 184, 216, 129, 57).Says(UiMsg::CaptionDistanceMeaning, 46),
      Wrapped("Label23", "Panel1", &F::Label23, 184, 280, 129, 57).Says(UiMsg::CaptionSameLevel, 47),

      Panel("Panel4", tab3, 344, 8, 321, 345, Frame::Sunken),
      Label("Label26", "Panel4", &F::Label26, 8, 8).Says(UiMsg::CaptionMerge, 35),
      Label("Label25", "Panel4", &F::Label25, 32, 76, 121, 13, right).Says(UiMsg::CaptionPointsMetres, 36),
      Edit("DeltaPointsEdit", "Panel4", &F::DeltaPointsEdit, 168, 72, 97, 21, &F::DeltaPointsEditExit),
      Label("Label10", "Panel4", &F::Label10, 29, 108, 124, 13, right).Says(UiMsg::CaptionNormals, 37),
      Edit("DeltaNormalsEdit", "Panel4", &F::DeltaNormalsEdit, 168, 104, 97, 21, &F::DeltaNormalsEditExit),
      Wrapped("Label28", "Panel4", &F::Label28, 8, 152, 305, 49).Says(UiMsg::CaptionToleranceHelp, 48),
      Wrapped("Label29", "Panel4", &F::Label29, 8, 208, 305, 49).Says(UiMsg::CaptionZeroToleranceHelp, 49),
      Wrapped("Label30", "Panel4", &F::Label30, 8, 264, 305, 49).Says(UiMsg::CaptionStartValueHelp, 50),

      Panel("Panel5", tab3, 672, 8, 137, 345, Frame::Sunken),
      Label("Label31", "Panel5", &F::Label31, 8, 8).Says(UiMsg::CaptionLanguage).Speaks(UiMsg::CaptionLanguage),
      Wrapped("Label32", "Panel5", &F::Label32, 8, 24, 121, 41).Says(UiMsg::CaptionLanguageEnglish),
      Control{Kind::Combo, "SpracheComboBox", "Panel5", 8, 80, 121, 200},
      Wrapped("Label33", "Panel5", &F::Label33, 8, 120, 121, 217).Says(UiMsg::CaptionTranslationNote),

      // The automatic LODs, under the three panels.
      Panel("Panel6", tab3, 8, 360, 801, 161, Frame::Sunken),
      Label("Label34", "Panel6", &F::Label34, 8, 8).Speaks(UiMsg::CaptionAutoLods),
      Grid(
          "DetailGrid", "Panel6", [](F& f) -> StringGrid& { return f.DetailGrid; }, 20, 28, 153, 121,
          Editable::Details),
      Label("Label35", "Panel6", &F::Label35, 184, 32, 145, 13).Speaks(UiMsg::CaptionScreenError),
      Edit("ScreenErrorEdit", "Panel6", &F::ScreenErrorEdit, 336, 28, 57, 21, &F::ScreenErrorEditExit),
      Button("SuggestButton", "Panel6", &F::SuggestButton, 184, 64, 209, 25, &F::SuggestButtonClick)
          .Speaks(UiMsg::CaptionSuggestDistances),
      Wrapped("Label36", "Panel6", &F::Label36, 408, 28, 385, 121).Speaks(UiMsg::CaptionDetailHelp),

      // The action column
      Panel("Panel2", nullptr, 824, 0, 165, 553, Frame::Raised),
      Notice("Label3", &F::Label3, 8, 26).Says(UiMsg::CaptionBeta).Speaks(UiMsg::CaptionBeta),
      Notice("Label11", &F::Label11, 56, 26).Says(UiMsg::CaptionBetaEnglish),
      Notice("Label12", &F::Label12, 88, 65).Says(UiMsg::CaptionGermanOnly),
      Button("CompressButton", "Panel2", &F::CompressButton, 10, 157, 145, 25, &F::CompressButtonClick)
          .Says(UiMsg::CaptionCompress, 1),
      Button("OeffnenButton", "Panel2", &F::OeffnenButton, 10, 192, 145, 25, &F::OeffnenButtonClick)
          .Says(UiMsg::CaptionOpen, 2),
      Label("SOAnzLabel", "Panel2", &F::SOAnzLabel, 8, 232, 145, 13, centre).Says("   "),
      Label("SOAnzLabel1", "Panel2", &F::SOAnzLabel1, 8, 256, 145, 13, centre).Says("   "),
      Button("Sub_ObjectsButton", "Panel2", &F::Sub_ObjectsButton, 10, 277, 145, 25, &F::Sub_ObjectsButtonClick)
          .Says(UiMsg::CaptionGenerate, 3),
      Button("AnimButton", "Panel2", &F::AnimButton, 10, 309, 145, 25, &F::AnimButtonClick)
          .Says(UiMsg::CaptionStripAnimations, 4),
      Button("PunkteButton", "Panel2", &F::PunkteButton, 10, 341, 145, 25, &F::PunkteButtonClick)
          .Says(UiMsg::CaptionMergePoints, 5),
      Button("NormalenButton", "Panel2", &F::NormalenButton, 10, 373, 145, 25, &F::NormalenButtonClick)
          .Says(UiMsg::CaptionMergeNormals, 6),
      Button("MatButton", "Panel2", &F::MatButton, 10, 405, 145, 25, &F::MatButtonClick)
          .Says(UiMsg::CaptionFixMaterials, 7),
      Button("UndoButton", "Panel2", &F::UndoButton, 10, 437, 145, 25, &F::UndoButtonClick).Says(UiMsg::CaptionUndo, 8),
      Button("SpeichernBitBtn", "Panel2", &F::SpeichernBitBtn, 10, 480, 145, 25, &F::SpeichernButtonClick)
          .Says(UiMsg::CaptionSave, 9),
      Button("SpeichernUnterBitBtn", "Panel2", &F::SpeichernUnterBitBtn, 10, 515, 145, 25,
             &F::SpeichernUnterButtonClick)
          .Says(UiMsg::CaptionSaveAs, 10),

      // The status area
      Panel("Panel3", nullptr, 0, 553, 989, 51, Frame::Raised),
      Label("Label1", "Panel3", &F::Label1, 17, 11).Says("Label1"),
      Label("Label2", "Panel3", &F::Label2, 17, 27).Says("Label2"),
      Button("PreviewButton", "Panel3", &F::PreviewButton, 680, 13, 145, 25, &F::PreviewButtonClick),
      Button("Button1", "Panel3", &F::Button1, 834, 13, 145, 25, &F::WegButtonClick).Says(UiMsg::CaptionQuit, 11),
  };
}

}  // namespace

Control Control::Says(UiMsg design, int n) const {
  Control c = *this;
  c.made = design;
  c.number = n;
  return c;
}

Control Control::Says(const char* text) const {
  Control c = *this;
  c.fixed = text;
  return c;
}

Control Control::Speaks(UiMsg text) const {
  Control c = *this;
  c.language = text;
  return c;
}

std::string* CaptionOf(TLSForm& form, const Control& c) {
  if (c.label) return &(form.*c.label).Caption;
  if (c.button) return &(form.*c.button).Caption;
  return nullptr;
}

const std::vector<Control>& MainWindowControls() {
  static const std::vector<Control> controls = Build();
  return controls;
}

bool IsEditableColumn(Editable rule, int col) {
  switch (rule) {
    case Editable::Assignments: return col >= grid::ElementLodColumn(1);
    case Editable::SortMarks: return col >= grid::SubObjectSortColumn(1);
    case Editable::AnimationMarks: return col == grid::kMatrixAnimated;
    case Editable::Distances: return col == grid::kDistance;
    case Editable::Details: return col == 1;
    case Editable::None: break;
  }
  return false;
}

}  // namespace lodsmith::layout
