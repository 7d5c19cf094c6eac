// The batch program's output and its actions that have no button of their own.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/options.h"
#include "cli/run_texts.h"
#include "session/action_result.h"
#include "session/session.h"

namespace lodsmith {

// One action of the run as the report lists it: the option, how it ended
// ("done", "cancelled", "refused", "failed"), the line shown for it (or the
// message that ended it) and the numbers its handler returned.
struct ReportAction {
  std::string option;
  std::string outcome;
  std::string text;
  ActionResult result;
};

// What the JSON report adds after the form's state: the shape, the run's
// outcome ("done", "refused", "failed"), the actions and the notes.
struct ReportExtras {
  std::string shape;
  std::string outcome;
  std::vector<ReportAction> actions;
  std::vector<std::string> notes;
};

// Prints the five tables as the window's grids show them (every row and
// column shown, keyed by the grids' names: kept as it always was for the
// scripts that read it), the messages, the line count and the changed flag,
// as one JSON object (one line, the extras and the model after them) or as
// tab-separated blocks (without either). The model block tells the same in
// the shape's own terms: elements, matrices, LODs and their sub-objects.
void PrintReport(std::ostream& out, const Session& session, const std::vector<CliMessage>& messages,
                 const std::string& format, const ReportExtras* extras = nullptr);

std::string JsonEscape(const std::string& utf8);

// An error in metres as the done lines and the report give it: millimetres,
// one decimal, written with ".".
std::string MillimetreText(double metres);

// Writes the settings listing as a PDF file (default printer's page, or A4).
void PrintSettingsPdf(const Session& session, const RunTexts& texts, CliPlatform& platform, const std::string& path);

// Runs the simulator's compression utility `tool` on `file` and waits for
// it; true when it produced its output and the output was moved over the
// file.
bool CompressFile(const RunTexts& texts, CliPlatform& platform, const std::string& file, const std::string& tool);

// Renders the open shape as the preview window would and keeps the PNG to
// be written with the other files at the end; returns the status line of
// the picture. Raises Error when the LOD is not one of the shape's, when the
// shape cannot be drawn, when "as seen" has no distance, or when the file's
// folder cannot take it.
std::string RenderPicture(Session& session, const RunTexts& texts, CliPlatform& platform,
                          const CliOptions::Picture& picture, const std::string& path);

}  // namespace lodsmith
