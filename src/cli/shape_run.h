// One shape's run of the batch program: its own session and platform, the
// options applied to it, its output collected as text.
//
// Opens the shape in a session as the window's open button does (its own
// .Lodsmith, or --settings), applies the settings options (LOD count, distances,
// assignments, sort and animation marks) in a fixed order whatever their
// order on the command line, notes what looks wrong, runs the actions in the
// order given, and writes the shape, its settings file and the listings only
// when everything ran. Nothing is shared with other runs but the read-only
// options and program settings, so runs may go on in parallel threads.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "platform/platform.h"

namespace lodsmith {

// What the run shares with the runs of the other shapes: read once, never
// changed.
// The program settings and language files as the window would read them,
// read once for all shapes.
struct ProgramSettingsBytes {
  std::string program;         // the program settings file the window would open (beside it, or the user's)
  std::string language;        // the language file beside the program
  std::string languageChoice;  // an installed copy's language choice (user's folder); empty: none
};

struct RunShared {
  ProgramSettingsBytes programSettings;
  bool manyShapes = false;  // lines name their shape; progress and summary follow
};

struct ShapeRunResult {
  enum class Status { Done, Refused, Failed };
  Status status = Status::Done;
  std::string out;  // standard output (the report)
  std::string err;  // standard error (messages, action lines, notes)
  // The first refusal or failure: which message, and its text.
  MsgIdentity reason;
  std::string reasonText;
  // Seconds spent opening, in the settings options and actions, and writing.
  double openSeconds = 0, actionSeconds = 0, saveSeconds = 0;
  // Of those, the seconds its worker gave its place to another shape while
  // a saved file was flushed (the batch run's timing leaves them out).
  double awaySeconds = 0;
};

// Runs the options on one shape (or, with no shape, only the --compress
// actions).
ShapeRunResult RunShape(const CliOptions& options, const RunShared& shared, const std::string& shape);

}  // namespace lodsmith
