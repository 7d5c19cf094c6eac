// The messages of the batch program; their texts are in ui/texts/cli_texts.cpp.
#pragma once

namespace lodsmith {

enum class CliMsg : int {
  First = 2000,
  Usage,         // the help text of --help
  ToolNotFound,  // %1: the path tried for ffeditc_unicode.exe
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
  End
};

}  // namespace lodsmith
