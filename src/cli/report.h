// The batch program's output and its actions that have no button of their own.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "ui/tlsform.h"

namespace lodsmith {

// Prints the five grids (every row and column shown), the messages, the line
// count and the changed flag, as one JSON object or as tab-separated blocks.
void PrintReport(std::ostream& out, const TLSForm& form, const std::vector<CliMessage>& messages,
                 const std::string& format);

std::string JsonEscape(const std::string& utf8);

// Writes the settings listing as a PDF file (default printer's page, or A4).
void PrintSettingsPdf(TLSForm& form, CliPlatform& platform, const std::string& path);

// Runs the simulator's compression utility on `file` and waits for it; true
// when it produced its output and the output was moved over the file.
bool CompressFile(TLSForm& form, CliPlatform& platform, const std::string& file, const std::string& tool);

// What --render draws: the window's preview with the given camera, LOD
// (0: every element; from 1 on coloured by sub-object) and size.
struct RenderOptions {
  int width = 800;
  int height = 600;
  PreviewView view = PreviewView::Front;
  int lod = 0;
  bool asSeen = false;
};
// Renders the open shape as the preview window would and keeps the PNG to
// be written with the other files at the end; a note on stderr says what it
// shows. Raises Error when the LOD is not one of the shape's, when the shape
// cannot be drawn or "as seen" has no distance.
void RenderPicture(TLSForm& form, CliPlatform& platform, const RenderOptions& options, const std::string& path);

}  // namespace lodsmith
