// Session: the shape being worked on and everything about it, without a
// window. It holds the document (its lines, its file and form, the undo
// copy), the analysis, the assignment (the element x LOD cells, the sort
// marks of the sub-objects, the distances, the animation marks), the
// tolerances, and runs the actions on them: open, save, generate, both
// merges, the material fix, the animation removal, the settings file, the
// picture and the listing. Actions return a typed result or throw Error; a
// question half-way goes to the caller's Questions. What the window shows as
// an enabled button is a query here (CanGenerate(), ...).
//
// The assignment is kept as the text its cells hold, in tables laid out as
// the window shows them (core/grid_columns.h): a cell keeps what was typed
// (the generation reads it, the settings file stores it), and a cell that
// falls outside when a count shrinks comes back when it grows. The window's
// grids are these tables; the batch program reads them through the typed
// accessors below.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/string_grid.h"
#include "core/text.h"
#include "document/analysis.h"
#include "document/shape_check.h"
#include "document/shape_forms.h"
#include "platform/platform.h"
#include "session/action_result.h"
#include "session/lod_rules.h"
#include "session/questions.h"

namespace lodsmith {

struct LodAssignment;
struct LodPlan;
struct GenerationObserver;
struct PreviewFrame;
struct PreviewSettings;
struct MergePlan;
struct PrintPage;

// How an open ended.
struct OpenResult {
  enum class Status {
    Opened,       // read and analysed; the assignment is the shape's own
    NotAnalysed,  // read, but the analysis gave up: the document is open, its tables empty
    Declined,     // the byte-order question was answered No: nothing is open
    FormBroken,   // the file claims a compressed or binary form and breaks it: nothing is open
    Unreadable,   // the file could not be read or decoded: nothing is open
  };
  Status status = Status::Opened;
  bool decoded = false;            // the lines stand (Opened, NotAnalysed)
  std::optional<Message> failure;  // FormBroken: the converter's message naming the fault
  std::vector<Message> warnings;   // the analysis' warnings, in order
  bool settingsLoaded = false;     // a settings file was read (the tolerances are its own)
  int lodsLoaded = 0;              // the LOD count the settings file committed (0: none)
};

struct SaveResult {
  enum class Status { Written, FormRefused, Failed };
  Status status = Status::Written;
  std::optional<Message> failure;  // FormRefused: the converter's message
  // Failed: why, each naming the file (the system's reason, an empty
  // document, no previous version to keep).
  std::vector<Message> reasons;
  bool written() const { return status == Status::Written; }
};

// A merge in two steps: located and planned (counts, the new numbering),
// then, once the caller has asked, applied.
struct MergeProposal {
  bool points = true;
  std::optional<int> header;  // the block's first line; none: nothing to merge, without a word
  int32_t entries = 0;        // entries the block holds
  int32_t gone = 0;           // entries that would go (0: nothing within the tolerance)
  long double tolerance = 0;
  std::shared_ptr<const MergePlan> plan;
};

struct MergeResult {
  enum class Status {
    Merged,      // the document was rewritten
    NoneWithin,  // no entry within the tolerance: nothing asked, nothing changed
    Declined,    // the question was answered No: nothing changed
    Refused,     // the rewrite would add a structural fault: nothing changed
  };
  Status status = Status::Merged;
  int32_t merged = 0;              // entries that went
  int32_t entries = 0;             // entries the block held (Merged, NoneWithin)
  std::optional<Message> refusal;  // Refused: why, naming the fault
};

// The outcome of SuggestDistances.
struct DistanceSuggestion {
  bool refusedAuto = false;            // a LOD is `auto`: nothing changed
  std::vector<std::string> distances;  // the distance cells afterwards, index = LOD - 1
  std::vector<bool> changed;           // per LOD: its distance was changed
};

struct GenerateResult {
  enum class Status {
    Written,         // the new shape replaced the document
    Refused,         // the inputs were refused before writing (the sort_vectors line stays split)
    RefusedRewrite,  // the written shape would add a structural fault: nothing changed
    Failed,          // writing failed half-way: the document is as before, the generation used up
  };
  Status status = Status::Written;
  std::optional<Message> failure;
  std::vector<int32_t> subObjectsPerLod;      // index = LOD - 1, once the plan stood
  std::vector<LodSimplification> simplified;  // every LOD below 100 %, ascending, once the plan stood
};

// What ConvertShapeFile made of a file.
struct ShapeConversion {
  bool toText = false;  // compressed or binary became Unicode text; else text became compressed
  std::string backup;   // where the old file went
};

struct MaterialFixSummary {
  int exchanged = 0;
  int flagsLowered = 0;
};

struct AnimationStripSummary {
  bool blockFound = false;
  int stripped = 0;
  int linesDeleted = 0;
};

class Session {
public:
  explicit Session(Platform& platform);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Platform& platform() { return platform_; }

  // ---- The document ---------------------------------------------------------
  Lines lines;
  // The lines as opened, for Undo; kept only with keepUndoCopy (a program
  // that never undoes, such as the batch program, spares the copy).
  Lines undoLines;
  bool keepUndoCopy = true;
  std::string fileName;
  std::string fileBom;
  // The form the open file was read in, and the one Save writes: Compressed
  // and Binary are written back as they came; the other forms are written as
  // Unicode text (and fileForm becomes UnicodeText once saved).
  ShapeForm fileForm = ShapeForm::UnicodeText;
  bool changed = false;
  ShapeAnalysis analysis;
  // The first structural problem of the shape as opened worth a note (the
  // geometry counts exporters write as they like are not); none for a sound
  // shape.
  std::optional<ShapeProblem> structureProblem;

  // ---- The assignment tables (core/grid_columns.h) ---------------------------
  StringGrid Elements{9, 32};   // name, image, faces, then one column per LOD
  StringGrid SubObjects{3, 8};  // number, vertices of the LOD shown, one sort column per LOD
  StringGrid Matrices{3, 8};    // name, faces, animation mark
  StringGrid Distances{2, 16};  // LOD, distance
  StringGrid Overview{3, 8};    // LOD, distance, faces
  StringGrid Details{2, 16};    // LOD, detail ("100%", "N%", "auto")
  int32_t lodCount = 1;
  // The screen error `auto` allows and the suggested distances keep, in
  // pixels (lod_rules.h).
  double screenError = kDefaultScreenError;

  long double pointTolerance = 0;
  long double normalTolerance = 0;

  // ---- Set-up -----------------------------------------------------------------
  // The empty tables for `lods` LODs (held to kMinLods..kMaxLods) with the
  // distances `distance(k)` gives (already sane); the header cells that need
  // no language. Called once, before anything is opened.
  void SetUp(int lods, const std::function<std::string(int lod)>& distance);
  // No document; the tables keep their LOD columns.
  void Close();

  // ---- Typed reading ---------------------------------------------------------
  int ElementCount() const;
  int SubObjectCount() const;
  int MatrixCount() const;
  const std::string& ElementName(int row) const;
  const std::string& Cell(int row, int lod) const;
  const std::string& Distance(int lod) const;
  bool SortMarked(int lod, int subObject) const;
  bool AnimationMarked(int matrixRow) const;
  // The assignment as the generation reads it, each cell read once.
  LodAssignment Assignment() const;

  // ---- Editing (each keeps the rule of its cell) --------------------------------
  // Sets a cell; a text that is not empty and no 0..99 or 999 is refused:
  // the cell is emptied and Error(GenerationMsg::AssignmentRefused) thrown.
  void SetCell(int row, int lod, const std::string& text);
  // Sets a sort mark ("" or "x"/"X"), or an animation mark of the matrix
  // table (the same rule): anything else empties it and throws
  // Error(GenerationMsg::SortMarkRefused).
  void SetSortMark(int lod, int subObject, const std::string& text);
  void SetAnimationMark(int matrixRow, const std::string& text);
  // The rule of both: cell (col, row) of `table` takes "" or "x"/"X";
  // anything else empties it and throws Error(GenerationMsg::SortMarkRefused).
  static void SetMark(StringGrid& table, int col, int row, const std::string& text);
  // Sets a distance (and its copy in the overview); a text that is not empty
  // and no whole number 1..2000 empties both and throws
  // Error(GenerationMsg::DistanceRefused).
  void SetDistance(int lod, const std::string& text);
  // Every element into `text` in LOD `lod`; a text that is no 0..99 or 999
  // changes nothing and throws Error(GenerationMsg::BulkNumberRefused).
  void AssignLod(int lod, const std::string& text);
  // Every element of LOD `lod` as it is in the LOD before; false, and
  // nothing changed, for LOD 1.
  bool CopyPreviousLod(int lod);
  // The cells of LODs 1..lods move one element row down from `row` on (the
  // last row's go) and `row` is emptied; or, `down` false, they move up one
  // row over `row` and the last row is emptied. False, and nothing changed,
  // for a row that is no element's.
  bool ShiftAssignments(int row, int lods, bool down);
  // The first LOD without a distance; 0 when every LOD has one.
  int FirstLodWithoutDistance() const;
  // The distance rows for `lods` LODs; a LOD without a distance gets 2000.
  void ResizeDistances(int lods);
  // The detail rows for `lods` LODs; a LOD without a detail gets 100 %.
  void ResizeDetails(int lods);
  // Makes `lods` (1..99) the LOD count: the LOD columns, their headers,
  // cells of new LODs "1", the overview rows.
  void CommitLodCount(int lods);
  // Every element into sub-object 1 in every LOD, no sort marks, the
  // animation marks as the shape has them.
  void ApplyDefaultAssignment(int verticesLod);
  // The animation marks as the shape's animations have them.
  void ReadMatrixAnimations();
  // Recounts the sub-object table (rows, vertices of `verticesLod`) and the
  // overview's faces from the cells; an unreadable cell empties it. While a
  // LOD is below 100 % the counts are those of the simplified elements
  // (what the generation will write); a shape that cannot be simplified is
  // counted as it is, without a word.
  void RefreshSubObjects(int verticesLod);

  // ---- Detail per LOD and the screen-error budget ----------------------------------
  // The detail of LOD `lod` (100 % outside the LODs or for a cell that does
  // not read).
  LodDetail Detail(int lod) const;
  // True when some LOD 1..lodCount is below 100 %.
  bool AnyLodSimplified() const;
  // Sets a detail cell; an empty text stands for 100 %. The cell keeps the
  // detail's own text ("50" becomes "50%"). A text that is no detail, or
  // `auto` for LOD 1 (it is seen from 0 m), puts "100%" in the cell and
  // throws Error(SessionMsg::DetailRefused / DetailAutoFirstLod) naming the
  // LOD.
  void SetDetail(int lod, const std::string& text);
  // Sets the budget; a number that is not positive and finite is refused
  // (Error(SessionMsg::ScreenErrorRefused)) and the budget stays.
  void SetScreenError(double pixels);
  // The budget as typed: a number with `separator` (the system's decimal
  // separator) or with the point the settings file writes; any other text
  // throws Error(SessionMsg::ScreenErrorRefused) naming it.
  void SetScreenError(const std::string& text, char separator);
  // The distance LOD `lod` is first seen from: the largest distance of the
  // LODs before it, 0 for LOD 1. Throws Error(SessionMsg::DetailNeedsDistance)
  // when one of them has no distance.
  double FirstSeenDistance(int lod) const;
  // The largest distance of the LODs before `lod` (0 for LOD 1); `without`
  // becomes the first of them without a distance (0: none), and then 0 is
  // returned.
  double LargestDistanceBefore(int lod, int& without) const;
  // The simplified LODs. Each element and detail is simplified once while
  // the lines stay as they are. These throw Error for a shape whose elements
  // cannot be read or hold a coordinate that is not finite.
  // Every LOD below 100 %: its totals.
  std::vector<LodSimplification> Simplifications() const;
  // The assignment with the simplified triangles of every LOD below 100 %
  // (LodAssignment::triangles; three vertex indices per triangle, as the
  // element's lists number them).
  LodAssignment SimplifiedAssignment() const;
  // Each distance d_k (k below the last LOD) becomes the smallest whole
  // number of metres from which LOD k+1's error (its simplified elements,
  // and the elements of LOD 1 it leaves out with their whole extent) is
  // within the budget, at least d_(k-1) + 1 and at most 2000; a LOD k+1
  // without error keeps d_k. With an `auto` LOD nothing changes
  // (refusedAuto). Throws as SimplifiedAssignment.
  DistanceSuggestion SuggestDistances();

  // ---- Settings file (.Lodsmith) ------------------------------------------------
  // The settings file beside the shape; empty without a shape.
  std::string ModelSettingsFileName() const;
  // Writes tolerances, cells, sort marks, animation marks, LOD count and
  // distances to `path`. Throws Error when it cannot be written.
  void SaveModelSettings(const std::string& path) const;
  // Reads a settings file and applies it; the sub-object table is recounted
  // for `verticesLod`. Nothing when the file is not there; else the LOD
  // count it committed (0: it stores none).
  std::optional<int> LoadModelSettings(const std::string& path, int verticesLod);

  // ---- Actions --------------------------------------------------------------------
  // Reads and analyses the shape file, then the assignment: default, then
  // the settings file `settingsPath` (empty: the shape's own). `progress`
  // gets the lines read so far.
  OpenResult Open(const std::string& path, Questions& questions, const std::string& settingsPath, int verticesLod,
                  const std::function<void(int)>& progress = {});
  // Writes the lines to fileName in fileForm, the old file becoming the
  // backup. A form that cannot take the text gives the converter's message
  // (naming the line); an empty document or a refused write fails without
  // one. The file is then as it was. `progress` gets the lines encoded so
  // far.
  SaveResult Save(const std::function<void(int)>& progress = {});
  // Restores the lines as opened and analyses them again (throws Error when
  // that fails).
  void Undo();
  bool CanUndo() const { return !undoLines.empty(); }

  bool CanGenerate() const { return canGenerate_; }
  bool CanMergePoints() const { return canMergePoints_; }
  bool CanMergeNormals() const { return canMergeNormals_; }
  bool CanFixMaterials() const { return canFixMaterials_; }
  // The distances can be suggested for an open shape.
  bool CanSuggestDistances() const { return !lines.empty(); }
  // What the actions can do is decided anew: after an open or undo every
  // action is allowed again (the analysis may take the generation back).
  void AllowAllActions();

  // Writes the LODs and sub-objects the assignment asks for; `observer`
  // sees the stages. The document counts as changed once the inputs are
  // checked (a refused rewrite takes that back).
  GenerateResult Generate(const GenerationObserver& observer);

  // The block of the merge and its count (throws Error for a bad count).
  MergeProposal LocateMerge(bool points) const;
  // Plans a located merge with `tolerance` (throws Error for a bad entry).
  void PlanMerge(MergeProposal& proposal, long double tolerance) const;
  // Refuses, before the question, a merge whose rewrite cannot be made.
  void CheckMerge(const MergeProposal& proposal) const;
  // Rewrites the document (entries to go, after the question). Throws Error
  // when the rewrite is refused; the document is then unchanged.
  MergeResult ApplyMerge(const MergeProposal& proposal);
  // The rest of a located merge: planned with `tolerance`, refused (Error)
  // before the question when its rewrite cannot be made, asked, applied.
  MergeResult Merge(MergeProposal& proposal, long double tolerance, Questions& questions);
  // A merge tolerance from its text (`separator`: the system's decimal
  // separator). A number is kept even when it is negative (nothing merges
  // then), but a negative one or a text that is no number throws
  // Error(ToolsMsg::ToleranceInvalid).
  void SetTolerance(bool points, const std::string& text, char separator);

  // The repairs. Both throw Error when the tool refuses the shape (the
  // document is unchanged, but counts as changed) or the structural check
  // refuses the rewrite (the document and its changed mark are as before).
  MaterialFixSummary FixMaterials();
  AnimationStripSummary StripAnimations();

  // The structural gate of every rewrite: throws
  // Error(DocumentMsg::RefusedRewrite, ...) when `result` adds a problem the
  // document does not have already.
  void CheckRewrite(const Lines& result) const;
  // A repair's result replaces the document once it passes the gate; when
  // it does not, the changed mark goes back to `wasChanged` and the error
  // goes on.
  void AdoptRewrite(Lines&& result, bool wasChanged);

  // The picture of the shape (throws Error when there is none, it cannot be
  // drawn, or "as seen" has no distance). The geometry is read again only
  // when the lines changed.
  PreviewFrame Picture(const PreviewSettings& settings);
  // Picture, with "as seen" and "as first seen" made whole first: without a
  // LOD chosen they show LOD 1; "as first seen" looks from the largest
  // distance of the LODs before it (Error(PreviewMsg::FirstSeenAtZero) for
  // LOD 1, Error(PreviewMsg::NoDistance) naming a LOD before it without a
  // distance). Puts the picture into `frame` and returns what it shows, in
  // words (PreviewMsg::StatusShown, StatusAsSeen or StatusAsFirstSeen).
  // Throws as Picture.
  Message Shot(PreviewSettings settings, PreviewFrame& frame);

  // There is something to list: a shape is open and has elements.
  bool CanListSettings() const { return !lines.empty() && !ElementName(1).empty(); }
  // The listing of the tables and the tolerances for a printable area of
  // the given height, its words made by `text`.
  std::vector<PrintPage> ListingPages(int printableHeightMm,
                                      const std::function<std::string(const Message&)>& text) const;

  // The simulator's folder from the registry; empty when it is not installed.
  std::string SimulatorFolder() const;
  // The compression utility: `given`, else `stored`, else the simulator's own.
  std::string CompressionTool(const std::string& given, const std::string& stored) const;
  // Writes the script that runs the utility `tool` on the file `shape` into
  // the program's folder, its words made by `text`, and starts it in a
  // console window; false when it could not be started. Throws Error when
  // the script cannot be written.
  bool StartCompression(const std::string& tool, const std::string& shape,
                        const std::function<std::string(const Message&)>& text);
  // Converts the shape file `path` in place as the utility would, without
  // it: a compressed or binary file becomes Unicode text, a file in any text
  // form the compressed form; the old file becomes its ".BAK". Nothing when
  // the file has none of the shape forms. Throws Error when it cannot be
  // read, converted or written; the file is then as it was. The document is
  // not touched.
  std::optional<ShapeConversion> ConvertShapeFile(const std::string& path) const;

  // Notes the first structural problem of the lines (structureProblem).
  void NoteStructure();
  // Analyses the lines as they stand: the note on their structure, the
  // analysis, the names and faces of the tables (the assignment keeps what
  // was set). Throws the analysis' failure; the tables are then emptied and
  // the generation taken back. analysis.warnings holds what to show.
  void Analyse();

private:
  void MarkChanged() { changed = true; }
  // undoLines := the lines as they stand, when keepUndoCopy.
  void KeepUndoCopy();

  Platform& platform_;
  bool canGenerate_ = true, canMergePoints_ = true, canMergeNormals_ = true, canFixMaterials_ = true;
  struct PreviewCache;
  std::shared_ptr<PreviewCache> previewCache_;
  struct DetailCache;
  // The element meshes and their simplifications, read again when the
  // lines changed.
  mutable std::shared_ptr<DetailCache> detailCache_;
  DetailCache& Meshes() const;
};

}  // namespace lodsmith
