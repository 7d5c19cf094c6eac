// The batch program's print-out to PDF and compression run.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "cli/cli_messages.h"
#include "cli/report.h"
#include "core/file_io.h"
#include "core/grid_columns.h"
#include "core/native_file.h"
#include "platform/console_launcher.h"
#include "platform/platform_messages.h"
#include "platform/wine_path.h"
#include "preview/png_file.h"
#include "preview/preview_messages.h"
#include "preview/preview_render.h"
#include "print/pdf_writer.h"
#include "tools/compress.h"

namespace lodsmith {

void PrintSettingsPdf(const Session& session, const RunTexts& texts, CliPlatform& platform, const std::string& path) {
  if (!session.CanListSettings()) throw Error(CliMsg::NothingToPrint);
  // The default printer's page when there is one (DefaultPrinter remembers
  // its paper for PrintPagesToPdf), else A4.
  PrinterInfo printer = platform.DefaultPrinter(platform.landscape);
  int height =
      printer.available ? printer.printableHeightMm : PrintableHeightMm(ListingPageSetup(210, 297, platform.landscape));
  const auto text = [&texts](const Message& m) { return texts.Text(m); };
  platform.PrintPagesToPdf(session.ListingPages(height, text), platform.landscape, path);
}

std::string RenderPicture(Session& session, const RunTexts& texts, CliPlatform& platform, const CliOptions::Picture& o,
                          const std::string& path) {
  if (o.lod > session.lodCount) throw Error(PreviewMsg::LodOutside, o.lod, session.lodCount);
  PreviewSettings s;
  s.width = std::max(1, o.width);
  s.height = std::max(1, o.height);
  s.camera = CameraFor(o.view);
  s.lod = std::clamp(o.lod, 0, std::max(1, session.lodCount));
  s.colourBySubObject = o.lod > 0;
  s.highlightElement = 0;
  s.asSeen = o.asSeen;
  s.asFirstSeen = o.asFirstSeen;
  PreviewFrame frame;
  const std::string status = texts.Text(session.Shot(s, frame));
  // Like the PDF listing: the folder must take it now, the file comes at
  // the end with the others.
  if (!CanStoreFile(path)) throw Error(PlatformMsg::CannotWriteFile, path);
  std::string png = EncodePng(frame.image);
  bool replaced = false;
  for (auto& pending : platform.pendingFiles)
    if (pending.first == path) pending.second = png, replaced = true;
  if (!replaced) platform.pendingFiles.emplace_back(path, std::move(png));
  return status;
}

bool CompressFile(const RunTexts& texts, CliPlatform& platform, const std::string& file, const std::string& tool) {
  namespace fs = std::filesystem;
  auto fail = [&platform](const std::string& reason) {
    platform.Err() << platform.linePrefix << "error: " << reason << "\n";
    return false;
  };
  auto say = [&texts](const Message& m) { return texts.Text(m); };

  if (!ToolPathValid(tool)) return fail(say(Message(CliMsg::ToolNotFound, HostPath(tool))));
  if (!FileExists(HostPath(file))) return fail(say(Message(CliMsg::FileNotFound, file)));

  // A private folder for the script: the batch program may be installed
  // where it cannot write, and a window may be running its own script.
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec) / ("lodsmith-compress-" + std::to_string(CurrentProcessId()));
  fs::create_directories(folder, ec);
  if (ec) return fail(Utf8Path(folder) + ": " + ec.message());
  std::string script =
      WriteCompressScript(Utf8Path(folder), tool, file, [&texts](const Message& m) { return texts.Text(m); });

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
