// Compression through the simulator's utility: locate ffeditc_unicode.exe,
// let the user choose a shape file, write the script that runs the utility
// on it and start that script in a console window. The open document is not
// touched.
#include "core/file_io.h"
#include "tools/compress.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {
const char* const kLocateToolText =
    "Bitte ffeditc_unicode.exe suchen, normalerweise im Verzeichnis (trainsimulator)\\utils\\ffedit.";
const char* const kToolNotFoundText = "ffeditc_unicode.exe nicht gefunden, Abbruch!";
const char* const kStartFailedText =
    "ffeditc_unicode.exe konnte nicht gestartet werden. Dieser Programmteil wurde nur unter Windows 2000 getestet.";
}  // namespace

bool TLSForm::ToolPathValid(const std::string& path) { return lodsmith::ToolPathValid(path); }

void TLSForm::CompressButtonClick() {
  std::string tool = DirSetting("FFEdit");
  // The registry is asked only while nothing is stored.
  if (tool.empty()) tool = DefaultToolPath(SimulatorPath());
  if (!ToolPathValid(tool)) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, kLocateToolText);
    FileDialogRequest request;
    request.initialDir = DirSetting("InitialDir");
    request.fileName = kToolFileName;
    request.filter = LanguageText(58);
    request.mustExist = true;
    if (auto chosen = platform_.OpenDialog(request)) tool = *chosen;
    if (!ToolPathValid(tool)) {
      ShowMessage(MsgKind::Error, MsgButtons::Ok, kToolNotFoundText);
      return;
    }
    if (ProgramIni) ProgramIni->WriteString("Dir", "FFEdit", tool);
  }

  FileDialogRequest request;
  request.initialDir = DirSetting("InitialDir");
  request.fileName = DirSetting("Filename");
  request.filter = LanguageText(57);
  request.mustExist = true;
  auto shape = platform_.OpenDialog(request);
  if (!shape) return;

  // A script that cannot be written ends the action with its Error.
  std::string script = WriteCompressScript(ExtractFileDir(platform_.ExecutablePath()), tool, *shape);
  if (!platform_.StartConsoleScript(script)) ShowMessage(MsgKind::Error, MsgButtons::Ok, kStartFailedText);
}

}  // namespace lodsmith
