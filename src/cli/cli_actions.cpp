// The batch program's print-out to PDF and compression run.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "cli/report.h"
#include "core/file_io.h"
#include "core/grid_columns.h"
#include "core/native_file.h"
#include "platform/console_launcher.h"
#include "platform/platform_messages.h"
#include "platform/wine_path.h"
#include "preview/png_file.h"
#include "preview/preview_messages.h"
#include "print/pdf_writer.h"
#include "tools/compress.h"
#include "ui/cli_messages.h"

namespace lodsmith {

void PrintSettingsPdf(TLSForm& form, CliPlatform& platform, const std::string& path) {
  if (form.ShapeLines.empty() || form.StringGrid1.Cell(grid::kElementName, 1).empty())
    throw Error(CliMsg::NothingToPrint);
  // The default printer's page when there is one (DefaultPrinter remembers
  // its paper for PrintPagesToPdf), else A4.
  PrinterInfo printer = platform.DefaultPrinter(platform.landscape);
  int height =
      printer.available ? printer.printableHeightMm : PrintableHeightMm(ListingPageSetup(210, 297, platform.landscape));
  if (!platform.PrintPagesToPdf(form.SettingsListingPages(height), platform.landscape, path))
    throw Error(CliMsg::PdfNotWritten, path);
}

void RenderPicture(TLSForm& form, CliPlatform& platform, const CliOptions::Picture& o, const std::string& path) {
  if (o.lod > form.LodCount) throw Error(PreviewMsg::LodOutside, o.lod, form.LodCount);
  TPreview& p = form.Preview;
  p.Camera = CameraFor(o.view);
  p.LodSpinEdit.Value = o.lod;
  p.ColourBySubObject = o.lod > 0;
  p.AsSeen = o.asSeen;
  p.HighlightRow = 0;
  const PreviewFrame frame = form.PreviewPicture(o.width, o.height);
  // Like the PDF listing: the folder must take it now, the file comes at
  // the end with the others.
  if (!CanStoreFile(path)) throw Error(PlatformMsg::CannotWriteFile, path);
  std::string png = EncodePng(frame.image);
  bool replaced = false;
  for (auto& pending : platform.pendingFiles)
    if (pending.first == path) pending.second = png, replaced = true;
  if (!replaced) platform.pendingFiles.emplace_back(path, std::move(png));
}

bool CompressFile(TLSForm& form, CliPlatform& platform, const std::string& file, const std::string& toolArg) {
  namespace fs = std::filesystem;
  auto fail = [&platform](const std::string& reason) {
    platform.Err() << platform.linePrefix << "error: " << reason << "\n";
    return false;
  };
  auto say = [&form](const Message& m) { return form.Text(m); };

  // Without a simulator folder there is no path worth naming: the message
  // then says how to give one. A Windows path from the settings or the
  // registry is named as this system sees it.
  std::string tool = toolArg;
  if (tool.empty()) tool = form.DirSetting("FFEdit");
  if (tool.empty() && !form.SimulatorPath().empty()) tool = DefaultToolPath(form.SimulatorPath());
  if (tool.empty()) return fail(say(Message(CliMsg::ToolNotFoundNoPath)));
  if (!form.ToolPathValid(tool)) return fail(say(Message(CliMsg::ToolNotFound, HostPath(tool))));
  if (!FileExists(HostPath(file))) return fail(say(Message(CliMsg::FileNotFound, file)));

  // A private folder for the script: the batch program may be installed
  // where it cannot write, and a window may be running its own script.
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec) / ("lodsmith-compress-" + std::to_string(CurrentProcessId()));
  fs::create_directories(folder, ec);
  if (ec) return fail(Utf8Path(folder) + ": " + ec.message());
  std::string script =
      WriteCompressScript(Utf8Path(folder), tool, file, [&form](const Message& m) { return form.Text(m); });

  const std::string output = FolderPart(HostPath(tool)) + kToolOutputName;
#ifdef _WIN32
  // The batch file moves whatever temp.s it finds: an old one must not
  // reach the shape.
  RemoveFile(output);
#endif
  int status = RunScriptAndWait(script);
  fs::remove_all(folder, ec);
  if (status < 0) return fail(say(Message(CliMsg::ScriptNotRun)));
  if (status != 0 || FileExists(output)) return fail(say(Message(CliMsg::ToolOutputMissing, file)));
  return true;
}

}  // namespace lodsmith
