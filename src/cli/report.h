// The batch program's output and its actions that have no button of their own.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/options.h"
#include "ui/tlsform.h"

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

// Prints the five grids (every row and column shown), the messages, the line
// count and the changed flag, as one JSON object (one line, the extras
// after them) or as tab-separated blocks (without the extras).
void PrintReport(std::ostream& out, const TLSForm& form, const std::vector<CliMessage>& messages,
                 const std::string& format, const ReportExtras* extras = nullptr);

std::string JsonEscape(const std::string& utf8);

// Writes the settings listing as a PDF file (default printer's page, or A4).
void PrintSettingsPdf(TLSForm& form, CliPlatform& platform, const std::string& path);

// Runs the simulator's compression utility on `file` and waits for it; true
// when it produced its output and the output was moved over the file.
bool CompressFile(TLSForm& form, CliPlatform& platform, const std::string& file, const std::string& tool);

// Renders the open shape as the preview window would (the form's
// Preview.StatusText then says what it shows) and keeps the PNG to be
// written with the other files at the end. Raises Error when the LOD is not
// one of the shape's, when the shape cannot be drawn, when "as seen" has no
// distance, or when the file's folder cannot take it.
void RenderPicture(TLSForm& form, CliPlatform& platform, const CliOptions::Picture& picture, const std::string& path);

}  // namespace lodsmith
