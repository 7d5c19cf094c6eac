// The messages of the batch program; their texts are in ui/texts/cli_texts.cpp.
#pragma once

namespace lodsmith {

enum class CliMsg : int {
  First = 2000,
  Usage,         // the help text of --help
  ToolNotFound,  // %1: the path tried for ffeditc_unicode.exe (a path of this system)
  // Usage errors (exit status 2).
  TryHelp,            // the line after every usage error
  NeedsFileName,      // %1: the option
  NeedsForm,          // %1: the option
  FormValues,         // --format with an unknown form
  NeedsLanguage,      // %1: the option
  LanguageValues,     // --lang with an unknown language
  ReportValues,       // --report without json or tsv
  NeedsTolerance,     // %1: the option
  ToleranceNoNumber,  // %1: the option, %2: the value given
  NeedsNumber,        // %1: the option
  LodsRange,          // --lods outside 1..99
  NeedsValue,         // %1: the option
  UnknownOption,      // %1: the option
  OneShapeOnly,       // a second shape file
  NoShape,            // no shape file and not only --compress
  SaveAndOutput,      // --save with --output
  // Refusals and failures of a run (exit status 1).
  FileNotFound,         // %1: the file
  SettingsNotFound,     // %1: the settings file
  NotOpened,            // %1: the shape
  NotAvailable,         // %1: the option, %2: the button's caption
  TooManyDistances,     // %1: distances given, %2: LODs
  PrintNotOnWindows,    // --print on Windows
  SettingsNotWritable,  // %1: the settings file
  CompressionFailed,    // after the reason was printed
  NothingToPrint,       // --print-pdf with no elements
  PdfNotWritten,        // %1: the PDF file
  ScriptNotRun,         // the compression script could not be started
  ToolOutputMissing,    // %1: the file to be compressed
  // Bad values (usage errors, exit status 2).
  ValueNotNumber,    // %1: the option, %2: the value
  ValueOutOfRange,   // %1: the option, %2: the value, %3..%4: the range
  CellValueRefused,  // %1: the option, %2: the value (not 0..99 or 999)
  AssignForm,        // %1: the option, %2: the value (not ROW=S1,S2,...)
  AssignAllForm,     // %1: the option, %2: the value (not LOD=VALUE)
  SortForm,          // %1: the option, %2: the value (not LOD:SUB)
  AnimForm,          // %1: the option, %2: the value (not MATRIX=on|off)
  OneShapeOption,    // %1: an option that takes one shape only, given with several
  ValueNotOneOf,     // %1: the option, %2: the value, %3: the values it takes
  // An option that does not fit the open shape (exit status 1, this shape only).
  NoSuchRow,        // %1: the option, %2: the row, %3: the rows the grid has
  NameNotFound,     // %1: the option, %2: the name
  NameNotUnique,    // %1: the option, %2: the name, %3: how many rows carry it
  TooManyCells,     // %1: the option, %2: values given, %3: LODs
  NoSuchLod,        // %1: the option, %2: the LOD, %3: LODs
  NoSuchSubObject,  // %1: the option, %2: the sub-object, %3: sub-objects of the LOD
  IsFolder,         // %1: a folder given without --recursive
  // What an action did (one line each on stderr, "done: TEXT").
  DonePointsMerged,     // %1: points that went, %2: points the shape had
  DoneNormalsMerged,    // %1: normals that went, %2: normals the shape had
  DoneGenerated,        // %1: LODs, %2: sub-objects per LOD ("4/2/1")
  DoneMaterialsFixed,   // %1: light materials exchanged, %2: flags corrected
  DoneAnimations,       // %1: nodes stripped, %2: lines deleted
  DoneWritten,          // %1: the file, %2: its form (text, compressed, binary), %3: lines
  DoneSettingsWritten,  // %1: the settings file
  DonePdfWritten,       // %1: the PDF file
  DonePrinted,          // the listing went to the printer
  DoneCompressed,       // %1: the file
  // Notes (stderr "note: TEXT"; they change nothing).
  NoteDistanceNotAscending,  // %1: LOD, %2: its distance, %3: the distance of the LOD before
  NoteDistanceRepeated,      // %1: LOD, %2: its distance (the same as the LOD before)
  NoteDistanceZero,          // unused: --distances refuses 0 as a usage error
  NoteDistanceAboveMax,      // unused: --distances refuses values above the largest as a usage error
  NoteCellAbsent,            // %1: element name, %2: row, %3: LOD, %4: the cell's text
  // Many shapes: progress, summary, times.
  Progress,        // %1: shapes done, %2: shapes, %3: shapes per second, %4: the current file
  Summary,         // %1: shapes, %2: done, %3: refused, %4: failed, %5: seconds
  SummaryRefused,  // %1: shapes, %2: the reason (the first shape's text)
  SummaryFailed,   // %1: shapes, %2: the reason
  Timing,          // %1: opening, %2: actions, %3: saving (seconds, all shapes), %4: runner ms per shape,
                   // %5: seconds in all
  // Usage errors about the shapes and the files of the run (exit status 2).
  EmptyShapeArgument,  // "" given as a shape
  OutputsClash,        // %1, %2: the two writers (an option, or for --save the shape), %3: the file
  OutputIsInput,       // %1: the option, %2: the file it would write, which the run reads
  ToleranceNegative,   // %1: the option, %2: the value
  // The byte-order question of the window, as the batch program answers it.
  NoShapeForm,         // without --force: the file was not opened
  NoShapeFormForced,   // with --force: opened all the same
  ToolNotFoundNoPath,  // no ffeditc_unicode.exe given or known
  // The form a shape was written in, in the done line.
  FormText,
  FormCompressed,
  FormBinary,
  // The simplified LODs.
  DetailForm,              // %1: the option, %2: the value (not LOD=N%, LOD=N or LOD=auto)
  DetailAutoFirstLod,      // %1: the option, %2: the value (auto for LOD 1)
  ScreenErrorValue,        // %1: the option, %2: the value (no positive number)
  DoneSimplified,          // %1: LOD, %2: detail, %3: triangles before, %4: after, %5: error in mm, %6: metres
  DoneSimplifiedEarly,     // as DoneSimplified, the share not reached
  DoneDistancesSuggested,  // %1: the distances ("120, 340, 2000")
  End
};

}  // namespace lodsmith
