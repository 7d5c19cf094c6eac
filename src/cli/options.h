// The batch program's command line: one table of options, each entry naming
// the option, what its argument must be, and the field or action it feeds.
//
// Parsing checks every value that can be checked without a shape (numbers,
// ranges, the cell rule of the element grid) and stops at the first bad one
// with a usage error naming the option and the value. What depends on the
// shape (an element row that is not there, more distances than LODs) is
// checked when the shape is open, and fails that shape only.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/message.h"
#include "document/shape_forms.h"
#include "preview/preview_render.h"
#include "session/lod_rules.h"
#include "ui/texts/messages.h"

namespace lodsmith {

// An action, run in the order given once the settings stand.
struct CliAction {
  enum class Kind {
    Generate,
    MergePoints,
    MergeNormals,
    FixMaterials,
    StripAnimations,
    Print,
    PrintPdf,
    Compress,
    Render
  };
  Kind kind;
  std::string option;  // as written ("--merge-points")
  std::string arg;     // the tolerance as written, the PDF or the file to compress
  long double tolerance = 0;
};

// --assign ROW=S1,S2,... or NAME=S1,...: the element's cells from LOD 1 on.
struct CliAssign {
  std::optional<int32_t> row;  // an element row, or
  std::string name;            // the element's name (when not a row number)
  std::vector<std::string> cells;
};

// --assign-all LOD=VALUE (the "Alle Elemente" button of one LOD).
struct CliAssignAll {
  int32_t lod;
  std::string value;
};

// --sort LOD:SUB.
struct CliSort {
  int32_t lod;
  int32_t subObject;
};

// --anim MATRIX=on|off: a matrix row, or its name.
struct CliAnim {
  std::optional<int32_t> row;
  std::string name;
  bool on;
};

// --detail LOD=N%|N|auto.
struct CliDetail {
  int32_t lod;
  LodDetail detail;
};

struct CliOptions {
  std::vector<std::string> shapes;  // files and folders, in the order given
  bool recursive = false;
  int jobs = 0;  // 0: one per core
  bool quiet = false;
  bool timing = false;

  std::string output;
  bool save = false;
  std::optional<ShapeForm> format;
  std::string settings;
  std::string report;  // "", "json" or "tsv"
  std::optional<Language> language;
  bool answerNo = false, force = false, landscape = false;
  std::string tool;

  // The settings the options override, applied in this order after the
  // settings file whatever the order on the command line.
  std::optional<int32_t> lods;
  std::optional<std::vector<std::string>> distances;  // whole numbers, as written
  std::vector<CliAssignAll> assignAll;
  std::vector<CliAssign> assign;
  std::vector<CliSort> sort;
  std::vector<CliAnim> anim;
  std::vector<CliDetail> details;
  std::optional<double> screenError;
  // After every other setting: the distances from the errors of the LODs.
  bool suggestDistances = false;

  std::vector<CliAction> actions;
  // What --render draws: --size, --view, --lod (0: every element; from 1 on
  // coloured by sub-object), --as-seen and --as-first-seen, wherever they stand.
  struct Picture {
    int width = 800;
    int height = 600;
    PreviewView view = PreviewView::Front;
    int32_t lod = 0;
    bool asSeen = false;
    bool asFirstSeen = false;  // "as seen" from where the LOD is first seen
  } picture;

  bool help = false, version = false;

  // True when an option changes LODs or the element grid (the notes on
  // distances and cells are given then).
  bool TouchesLods() const;
  bool TouchesCells() const;
};

// A usage error: an Error whose message is shown before the "try --help"
// line (exit 2).
class UsageError : public Error {
public:
  explicit UsageError(Message m) : Error(std::move(m)) {}
};

// Reads the arguments (without the program's name). Throws UsageError for an
// unknown option, a missing or bad value, and options that exclude each
// other; --help and --version end the reading there.
CliOptions ParseCommandLine(const std::vector<std::string>& args);

// The language the arguments' --lang names (the last one with a good
// value), read before the whole command line is, so that its usage errors
// speak it too; nothing when none names one. Reads the arguments as
// ParseCommandLine does (an option's value is never taken for an option)
// but refuses nothing.
std::optional<Language> LanguageOption(const std::vector<std::string>& args);

// The cell rule of the element grid: 0..99 or 999.
bool ValidCellValue(const std::string& text);

}  // namespace lodsmith
