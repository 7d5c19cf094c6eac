// Compression through the simulator's utility: locate ffeditc_unicode.exe,
// let the user choose a shape file, write the script that runs the utility
// on it and start that script in a console window. The open document is not
// touched.
#include "core/file_io.h"
#include "tools/compress.h"
#include "tools/tools_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

bool TLSForm::ToolPathValid(const std::string& path) { return lodsmith::ToolPathValid(path); }

void TLSForm::CompressButtonClick() {
  std::string tool = DirSetting("FFEdit");
  // The registry is asked only while nothing is stored.
  if (tool.empty()) tool = DefaultToolPath(SimulatorPath());
  if (!ToolPathValid(tool)) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(ToolsMsg::LocateTool));
    FileDialogRequest request;
    request.initialDir = DirSetting("InitialDir");
    request.fileName = kToolFileName;
    request.filter = LanguageText(58);
    request.mustExist = true;
    auto chosen = platform_.OpenDialog(request);
    if (chosen) tool = *chosen;
    if (!ToolPathValid(tool)) {
      ShowMessage(MsgKind::Error, MsgButtons::Ok, Message(ToolsMsg::ToolNotFound));
      LastOutcome = chosen ? Outcome::Refused : Outcome::Cancelled;
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
  if (!shape) {
    LastOutcome = Outcome::Cancelled;
    return;
  }

  // A script that cannot be written ends the action with its Error. The
  // script speaks the window's language.
  std::string script = WriteCompressScript(ExtractFileDir(platform_.ExecutablePath()), tool, *shape,
                                           [this](const Message& m) { return Text(m); });
  if (!platform_.StartConsoleScript(script)) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, Message(ToolsMsg::ToolStartFailed));
    LastOutcome = Outcome::Failed;
  }
}

}  // namespace lodsmith
