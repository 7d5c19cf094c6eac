// TLSForm: the window model of Lodsmith. It owns the open shape (as lines),
// the tables the analysis fills, the five grids, the state of every control,
// and every event handler. It reaches the user and the machine only through
// the Platform interface; it knows no toolkit.
//
// Handlers are thin: they gather inputs from the grids and controls, call the
// core, apply the results and show messages. Handlers are split over files by
// subsystem (form_document.cpp, form_analysis.cpp, form_editing.cpp, ...).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/string_grid.h"
#include "core/text.h"
#include "document/analysis.h"
#include "document/model_tables.h"
#include "document/shape_forms.h"
#include "platform/ini_file.h"
#include "platform/platform.h"
#include "session/program_settings.h"
#include "session/session.h"
#include "ui/controls.h"
#include "ui/preview_state.h"
#include "ui/texts/messages.h"

namespace lodsmith {

// The vertex estimate the form gets back (generation/vertex_estimate.h).
struct VertexEstimate;

class TLSForm {
public:
  explicit TLSForm(Platform& platform);
  ~TLSForm();
  TLSForm(const TLSForm&) = delete;
  TLSForm& operator=(const TLSForm&) = delete;

  Platform& platform() { return platform_; }

  // The document, its assignment and its actions. The members below that
  // name the document, the tables and the grids are views into it; the
  // window's grids are the session's tables.
  Session session;

  // Runs one handler as the toolkit's event loop would. An Error that
  // escapes the handler is shown as an error box with its message in the
  // user's language (any other exception with its description). Returns
  // false when the handler ended with an exception.
  bool Dispatch(const std::function<void()>& handler);

  // ---- Window ------------------------------------------------------------
  void FormCreate();
  void FormDestroy();
  void FormCloseQuery(bool& CanClose);
  std::string Caption;  // the window title

  // ---- Document (shape lines, opening, saving, undo) ---------------------
  Lines& ShapeLines = session.lines;
  Lines& UndoLines = session.undoLines;
  std::string& FileName = session.fileName;
  bool& Changed = session.changed;
  int SavedCursor = crDefault;
  std::string& FileBom = session.fileBom;

  void ResetDocument();
  bool QuerySave();
  // Writes ShapeLines to FileName in the session's fileForm with backup;
  // true when the file was written.
  bool SaveDocument();
  // SaveDocument, then SaveModelSettings unless the document is empty: what
  // both save buttons do once they have a file name.
  void SaveDocumentAndSettings();
  std::string SimulatorPath();
  void SMemoChange();
  // The save buttons in red while the document has unsaved changes (the
  // session's changed mark, which a refused rewrite puts back).
  void ShowChangeMark();

  // Opens `path` as "Öffnen" does after its dialog: the same questions and
  // messages (a shape given to the program, a double-click).
  void OpenShapeFile(const std::string& path);
  // The shapes given on the command line: the first is opened, and more
  // than one is said.
  void OpenGivenShapes(const std::vector<std::string>& paths);
  void OeffnenButtonClick();
  void SpeichernButtonClick();
  void SpeichernUnterButtonClick();
  void UndoButtonClick();
  void WegButtonClick();

  // Sets Label2 to "<line count> <language text 22>".
  void ShowLineCount();

  // ---- Model tables (filled by the analysis) ------------------------------
  // Views into the session's analysis of the shape as opened; empty tables
  // when it failed.
  std::vector<std::string>& MatrixNames = session.analysis.matrixNames;
  std::vector<int32_t>& VtxStateMatrix = session.analysis.vtxStateMatrix;  // index = vtx_state
  std::vector<TVertexSetEntry>& VertexSets = session.analysis.vertexSets;
  std::vector<int32_t>& ElementVtxState = session.analysis.elementVtxState;  // index = element row; slot 0 unused

  void AnalyseShape();
  void ApplyDefaultAssignment();
  void ReadMatrixAnimations();

  // ---- Vertex estimate and sub-object grid -------------------------------
  // The vertex sets sub-object `subObject` of LOD `lod` keeps as the grids
  // assign it now; throws Error as EstimateVertexSets does.
  VertexEstimate EstimateVertices(int lod, int subObject);
  void RefreshSubObjectGrid();

  // ---- Generation ----------------------------------------------------------
  int32_t& LodCount = session.lodCount;
  void Sub_ObjectsButtonClick();

  // ---- Repair tools --------------------------------------------------------
  long double& PointTolerance = session.pointTolerance;
  long double& NormalTolerance = session.normalTolerance;

  void PunkteButtonClick();
  void NormalenButtonClick();
  void MatButtonClick();
  void AnimButtonClick();
  void DeltaPointsEditExit();
  void DeltaNormalsEditExit();

  // ---- Structural note on the document (form_analysis.cpp) -----------------
  // The first structural problem of the shape as opened, as a short note in
  // the user's language (DocumentMsg::StructureNote); empty for a sound shape.
  std::string StructureNote;

  // ---- Compression -----------------------------------------------------------
  void CompressButtonClick();
  bool ToolPathValid(const std::string& path);

  // ---- Assignment editing --------------------------------------------------
  void StringGrid1SelectCell(int ACol, int ARow, bool& CanSelect);
  // The typed text of the cell (ACol, ARow) has changed to Value: the handler
  // stores it, checks it and empties the cell when it is refused.
  void StringGrid1SetEditText(int ACol, int ARow, const std::string& Value);
  void StringGrid1Exit();
  // Shared by the sub-object grid and the matrix grid.
  void StringGrid2SelectCell(StringGrid& Sender, int ACol, int ARow, bool& CanSelect);
  void StringGrid2SetEditText(StringGrid& Sender, int ACol, int ARow, const std::string& Value);
  void StringGrid4SelectCell(int ACol, int ARow, bool& CanSelect);
  void StringGrid4SetEditText(int ACol, int ARow, const std::string& Value);
  void StringGrid4Exit();
  // The automatic LODs (form_detail.cpp): the detail grid, the screen-error
  // budget and the suggested distances. While a LOD is below 100 % the
  // overview and the sub-object grid count what the generation will write.
  void DetailGridSelectCell(int ACol, int ARow, bool& CanSelect);
  void DetailGridSetEditText(int ACol, int ARow, const std::string& Value);
  void ScreenErrorEditExit();
  void SuggestButtonClick();
  // What a settings file loaded: the edits of the tolerances and the budget
  // from the session's values, and the LOD count it committed (0: none).
  void ShowLoadedSettings(int lods);
  // The handlers a grid view sends its events to, for both front ends: the
  // sub-object and the matrix grid share one pair; a grid without a handler
  // (the LOD overview) gets empty functions.
  struct GridEvents {
    std::function<void(int col, int row, bool& canSelect)> select;
    std::function<void(int col, int row, const std::string& text)> edit;
    std::function<void()> exit;
  };
  GridEvents GridEventsOf(StringGrid& grid);
  void LODAnzSpinEditChange();
  void LODAnzSpinEditExit();
  void LODSpinEditChange();
  void DoButtonClick();
  void DoButton1Click();
  void AnimResetButtonClick();
  void ZeilePlusButtonClick();
  void ZeileMinusButtonClick();

  // Sets a spin edit's value within its limits; runs its change handler
  // when the value changed (as the toolkit's control does).
  void SetLODSpinEditValue(int value);
  void SetLODAnzSpinEditValue(int value);

  // ---- Settings files ------------------------------------------------------
  // The program settings and the language file (session/program_settings.h).
  ProgramSettings Settings;
  std::unique_ptr<IniFile>& ProgramIni = Settings.program;

  void SaveModelSettings();
  void LoadModelSettings();
  void GrundButtonClick();
  void E_SpeichernButtonClick();
  void E_LadenButtonClick();

  // ---- Print-out -------------------------------------------------------------
  void E_DruckenButtonClick();

  // ---- Preview (form_preview.cpp) -----------------------------------------
  TButton PreviewButton;
  TPreview Preview;
  // Opens the preview window (or brings it to the front) through the
  // platform.
  void PreviewButtonClick();
  void PreviewViewClick(PreviewView view);
  // The front view at zoom 1, no highlight.
  void PreviewResetClick();
  // A drag of dx, dy pixels turns the camera (right: about the vertical
  // towards the model's left side, down: towards the top view; the pitch
  // stays within +-90 degrees).
  void PreviewOrbit(int dx, int dy);
  // Positive steps zoom in.
  void PreviewZoom(int steps);
  void PreviewLodSpinEditChange(int value);
  void PreviewColourClick(bool on);
  void PreviewAsSeenClick(bool on);
  void PreviewAsFirstSeenClick(bool on);
  void PreviewClose();
  // The picture of the open shape for a window of width x height pixels as
  // the preview's state and the grids now say; sets Preview.StatusText and
  // follows a new selection of the element grid first. Never throws: a
  // shape that cannot be drawn gives the background and the reason in the
  // status text. The geometry is read again only when the lines changed.
  PreviewFrame RenderPreview(int width, int height);
  // The captions of the preview and its button in the language in use.
  void ApplyPreviewTexts();

  // ---- Languages ---------------------------------------------------------------
  std::unique_ptr<IniFile>& LanguageIni = Settings.language;
  // The language the window will come up in, read without making the form
  // (for what a window program prints before it has a window).
  // `exe`: the program's path; `userFolder`: the user's settings folder.
  static Language StoredLanguage(const std::string& exe, const std::string& userFolder);
  std::string LanguageName = "Deutsch";
  std::string LanguageText(int n) const;
  // LanguageText(n) for a message box, which never shows an empty message:
  // the built-in text of the language when the file has none.
  std::string MessageLanguageText(int n) const;
  // Language texts that callers tell apart by their number.
  static constexpr int kOpenFailedText = 60;         // a file could not be read or analysed
  static constexpr int kByteOrderQuestionText = 61;  // open a file without the UTF-16 mark?
  // The language of the built-in texts: English when the language in use is
  // "English", German for every other.
  Language TextLanguage() const;
  // A message in that language, arguments filled in (ui/texts/messages.h): the one
  // place where the program's messages become text.
  std::string Text(const Message& message) const;
  void ApplyLanguageTexts();
  void SpracheComboBoxSelect();

  // ---- Grids ---------------------------------------------------------------
  StringGrid& StringGrid1 = session.Elements;    // elements
  StringGrid& StringGrid2 = session.SubObjects;  // sub-objects
  StringGrid& StringGrid3 = session.Matrices;    // matrices
  StringGrid& StringGrid4 = session.Distances;   // distances
  StringGrid& StringGrid5 = session.Overview;    // LOD overview
  StringGrid& DetailGrid = session.Details;      // detail per LOD

  // ---- Controls --------------------------------------------------------------
  TTabSheet TabSheet1, TabSheet3;
  TButton CompressButton, OeffnenButton, Sub_ObjectsButton, AnimButton, PunkteButton, NormalenButton, MatButton,
      UndoButton, SpeichernBitBtn, SpeichernUnterBitBtn, Button1;
  TButton DoButton, DoButton1, AnimResetButton, ZeilePlusButton, ZeileMinusButton, GrundButton, E_SpeichernButton,
      E_LadenButton, E_DruckenButton;
  TLabel Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11, Label12, Label13,
      Label14, Label15, Label16, Label17, Label18, Label19, Label20, Label21, Label22, Label23, Label24, Label25,
      Label26, Label27, Label28, Label29, Label30, Label31, Label32, Label33;
  // The automatic LODs' panel: heading, budget label, help.
  TLabel Label34, Label35, Label36;
  TEdit ScreenErrorEdit;
  TButton SuggestButton;
  TLabel SOAnzLabel, SOAnzLabel1;
  TEdit NrEdit, DeltaPointsEdit, DeltaNormalsEdit;
  TSpinEdit LODSpinEdit, LODAnzSpinEdit;
  TComboBox SpracheComboBox;

  // Shows a message box through the platform: a message in the user's
  // language, named by its number.
  MsgResult ShowMessage(MsgKind kind, MsgButtons buttons, const Message& message);
  // The language file's text n, named by n (the built-in text of the
  // language when the file has none).
  MsgResult ShowLanguageText(MsgKind kind, MsgButtons buttons, int n);
  // A text that is neither, unnamed.
  MsgResult ShowMessage(MsgKind kind, MsgButtons buttons, const std::string& text);
  // Cursor helpers of the long actions.
  void BeginBusy();  // SavedCursor := current; hour-glass
  void EndBusy();    // SavedCursor back

  // The hour-glass for the life of an action: puts SavedCursor back (and,
  // when asked, the line count into the status line) however it ends.
  class BusyCursor {
  public:
    explicit BusyCursor(TLSForm& form) : form_(form) { form_.BeginBusy(); }
    ~BusyCursor() {
      if (showLineCount) form_.ShowLineCount();
      form_.EndBusy();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    bool showLineCount = false;

  private:
    TLSForm& form_;
  };
  void ProcessMessages(int times = 1);

  // The session's questions, answered with message boxes.
  class BoxQuestions : public Questions {
  public:
    explicit BoxQuestions(TLSForm& form) : form_(form) {}
    bool Ask(const Question& question) override;

  private:
    TLSForm& form_;
  };
  // StructureNote from the session, and the status line with the line
  // count and the note.
  void ShowStructureNote();
  // The buttons of the actions the session allows now.
  void ShowActionButtons();
  // The form side of a committed LOD count: the LOD spin edit's range.
  void ShowLodCount();

private:
  // The steps of FormCreate: the languages offered and the one in use; what
  // the user is told at the start (a small screen, settings not stored); the
  // LOD count and distances of the last run and the grids' columns.
  void OfferLanguages();
  void TellStartNotes();
  void SetUpLodTables();

  Platform& platform_;
};

}  // namespace lodsmith
