// The LOD and sub-object generation: rewrites a shape whose lod_controls hold
// one distance level with one sub-object into a shape with the requested
// LODs, each with its own sub-objects holding only the primitives and vertex
// sets of their elements.
//
// The rewrite is line based. The one sub-object of the input is the template:
// it is copied once per output sub-object, filtered and renumbered. Lines the
// writer does not recognise are copied byte for byte; a recognised number is
// replaced by deleting its token and inserting the new decimal text at the
// same place (ReplaceValueAfter), so indentation and spacing stay.
//
// Everything here is pure: the template is read, a new list of lines is
// returned, and a failure throws GenerationError before anything is handed
// back, so the caller's document never sees a half-written shape.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/string_grid.h"
#include "core/text.h"
#include "document/model_tables.h"

namespace lodsmith {

// Fixed user texts of the generation.
inline constexpr const char* kGeneralErrorText =
    "Allgemeiner Fehler, z.B. Eintragungen unvollständig, Datei fehlerhaft oder leer. Abbruch der Aktion.";
inline constexpr const char* kLodNotFoundText =
    "Schwerer Syntaxfehler in der Datei (LOD nicht gefunden). Abbruch der Aktion.";
// "LOD <n> ist leer oder ein leeres Subobjekt liegt vor nicht-leeren ..."
std::string EmptyLodText(int lod);
// "<lod>. LOD <sub>. Subobjekt..."
std::string SubObjectProgressText(int lod, int subObject);

// Why the generation refused. The message is the text for the user.
enum class GenerationFailure {
  TemplateNotFound,  // the pre-check did not find the template lines
  EmptyLod,          // an LOD is empty or has an empty sub-object before a full one
  LodNotFound,       // no "distance_levels " line in the head of the shape
  Refused,           // a shape or an assignment the writers cannot rewrite soundly
  BrokenResult,      // the written shape has a structural fault the template does not have
};

class GenerationError : public std::runtime_error {
public:
  GenerationError(GenerationFailure failure, const std::string& message, int lod = 0)
      : std::runtime_error(message), failure_(failure), lod_(lod) {}
  GenerationFailure failure() const { return failure_; }
  int lod() const { return lod_; }  // the LOD of an EmptyLod failure

private:
  GenerationFailure failure_;
  int lod_;
};

// Lines of the template sub-object (0-based indices into the template).
struct TemplateLocation {
  int32_t FirstSubObjectLine = 0;  // first line containing "sub_object "
  int32_t VerticesLine = 0;        // first line after it containing "vertices"
  int32_t SubObjectEndLine = 0;    // the line that closes the template sub-object
  // The "sort_vectors" line the pre-check cut at its ")" (-1: none), and its
  // text before, so that the cut can be taken back.
  int32_t SplitSortVectorsLine = -1;
  std::string SortVectorsLineBefore;
};

// The pre-check. Fails (nullopt) when the document is empty, when an "L 1"
// cell (column 3) of an element row is not an integer, or when one of the
// lines "sort_vectors", "sub_object ", "vertices", "flags" is missing.
// Normalises the first "sort_vectors" line in `lines` when it holds a ")":
// the line is cut at that ")" and a line of a tab and ")" follows it, so that
// vectors can be appended after the header. The normalisation is made before
// the later items are checked and stays when they fail.
std::optional<TemplateLocation> LocateTemplateLines(Lines& lines, const StringGrid& elements);
// Takes the normalisation of LocateTemplateLines back: `lines` is the text it
// was made on, unchanged since.
void UndoTemplateNormalisation(Lines& lines, const TemplateLocation& loc);

// What the generation reads besides the template lines.
struct GenerationInput {
  StringGrid Elements;    // element grid: "Name", "Image", "Faces", "L 1", ...
  StringGrid SubObjects;  // sub-object grid: rows = sub-objects, column L + 1 = sort mark of LOD L
  StringGrid Distances;   // distance grid: column 1, row L = distance of LOD L
  int32_t LodCount = 1;
  std::vector<int32_t> ElementVtxState;  // index = element row (slot 0 unused)
  std::vector<int32_t> VtxStateMatrix;   // index = vtx_state
  int32_t MatrixCount = 0;               // matrices of the shape
  std::vector<TVertexSetEntry> VertexSets;
  int32_t VertexSetCount = 0;
};

// The per-LOD check: how many sub-objects each LOD gets and how many of them
// are sorted. A sub-object is written when its vertex estimate is above 0;
// the first sub-object of every LOD must be written and an empty sub-object
// may only follow all written ones.
struct LodPlan {
  std::vector<int32_t> LodSubObjectCount;  // index = LOD 1..LodCount; slot 0 unused
  int32_t SortedCount = 0;                 // written sub-objects marked "x", all LODs
  int32_t EmptyLod = 0;                    // first LOD that fails the check, 0 = none
};
LodPlan PlanLods(const GenerationInput& in);

// Checks that refuse (GenerationFailure::Refused, with a message naming the
// line, LOD or element) what the writers would otherwise turn into a broken
// shape. The writers follow the template line by line, so its layout must be
// the one they expect:
//   - a shape cut off inside lod_controls; a template that does not end in
//     the lines ")" of primitives, sub_object, sub_objects and distance_level;
//   - a rewritten keyword ("distance_levels", "dlevel_selection",
//     "sub_objects", "geometry_info", "geometry_nodes", "geometry_node",
//     "vertices", "vertex_sets", "primitives") without "(" and its values on
//     its own line;
//   - geometry nodes that are not three lines each ("geometry_node ( ...",
//     "cullable_prims ( ... )", ")"), geometry_nodes not closed by a line
//     ")" of its own, or more nodes than matrices;
//   - vertices that are not three lines each or do not match the vertex sets;
//   - a vertex_idxs entry that is not an integer; primitives that are not one
//     per element; a triangle list not closed by a line ")" right after its
//     flags, or followed by anything but the next prim_state_idx or the end
//     of primitives;
// and in the inputs: a distance that is empty or not a whole number from 1 to
// 2000 (as a typed distance must be); an assignment cell that is not an
// integer; an element that is assigned in some LOD but has no primitive, no
// integer face count, or a vtx_state/matrix outside the tables.
void CheckTemplate(const Lines& lines, const TemplateLocation& loc, const GenerationInput& in);
// Further checks when sorted sub-objects are written: the flags word of
// sub_object_header must be decimal digits (at least three) followed by the
// two sort indices, and a volumes block with a usable first vol_sphere must
// precede sort_vectors.
void CheckSortedTemplate(const Lines& lines, const TemplateLocation& loc);

// Progress texts: the sub-object label ("2. LOD 3. Subobjekt...") and the
// stage label ("Vertices...", "Faces...").
enum class ProgressLabel { SubObject, Stage };
using GenerationProgress = std::function<void(ProgressLabel, const std::string&)>;

// The writer. Holds the generation state under the names the window uses and
// writes the new shape from the template. Construct it with the located,
// checked template and the plan; Run() returns the new lines.
class Generator {
public:
  Generator(const Lines& oldLines, const GenerationInput& in, const TemplateLocation& loc, const LodPlan& plan,
            GenerationProgress progress = {});

  // Head copy, LOD loop, tail copy. Throws GenerationError (LodNotFound when
  // the head holds no "distance_levels " line before the template).
  Lines Run();

  // Generation state.
  int32_t LevelsBodyLine = 0;
  int32_t FirstSubObjectLine = 0;
  int32_t SubObjectEndLine = 0;
  int32_t VerticesLine = 0;
  int32_t TemplateCursor = 0;
  int32_t CurrentSubObject = 0;
  int32_t SortedCount = 0;
  int32_t SubObjectElementCount = 0;
  int32_t SubObjectFaceCount = 0;
  int32_t SortedIndex = 0;
  int32_t CurrentLod = 0;
  std::vector<int32_t> LodSubObjectCount;
  std::vector<TMatrixUse> MatrixUse;
  std::vector<TVertexSetEntry> VertexSets;  // VertexShift filled per sub-object

  // The steps, public so that each can be exercised on its own.
  void HeadCopy();
  void LodLoop();
  void TailCopy();
  void WriteSubObject();
  void CountMatrixUse();
  void WriteSubObjectHeader();
  void WriteVertexBlocks();
  void WritePrimitive();
  void WriteSubObjectClose();

  Lines& Output() { return out_; }

private:
  const std::string& At(int64_t index) const;  // template line, bounds-checked
  void Append(int64_t index) { out_.push_back(At(index)); }
  void Progress(ProgressLabel label, const std::string& text) {
    if (progress_) progress_(label, text);
  }
  bool InCurrentSubObject(int row) const;
  int32_t FacesOf(int row) const;
  void RewriteIndexLines(int32_t shift);
  // First line from `from` on that contains "prim_state_idx", or the last
  // template line when there is none.
  int32_t NextPrimitiveLine(int32_t from) const;

  const Lines& old_;
  const GenerationInput& in_;
  GenerationProgress progress_;
  Lines out_;
  std::vector<int32_t> primitiveLines_;  // template lines containing "prim_state_idx"
  std::string sortVectorSource_;
  bool haveSortVectorSource_ = false;
  int32_t nodeCount_ = 0;  // template node count read in the current header
};

// The last check of a generation, made on the complete written shape before
// it may replace anything: raises Error (DocumentMsg::RefusedRewrite) around
// the first structural problem of `written` whose kind `templateLines` does
// not have. A fault the
// template already had is no reason to refuse.
void CheckWrittenShape(const Lines& templateLines, const Lines& written);

// The whole rewrite in one call, for the batch and the tests: pre-check,
// checks, per-LOD plan, writing and the check of the written shape.
// `document` is not changed; the result is the new shape. Throws
// GenerationError with the failure and its message.
Lines GenerateShape(const Lines& document, const GenerationInput& in, GenerationProgress progress = {});

}  // namespace lodsmith
