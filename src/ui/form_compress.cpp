// Compression through the simulator's utility: locate ffeditc_unicode.exe,
// let the user choose a shape file, write the script that runs the utility
// on it and start that script in a console window. The open document is not
// touched.
#include "document/shape_file.h"
#include "tools/compress.h"
#include "tools/tools_messages.h"
#include "ui/messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {
std::string Text(const Message& message) { return MessageString(message, Language::German); }
}  // namespace

bool TLSForm::ToolPathValid(const std::string& path) { return lodsmith::ToolPathValid(path); }

void TLSForm::CompressButtonClick() {
  std::string tool = DirSetting("FFEdit");
  // The registry is asked only while nothing is stored.
  if (tool.empty()) tool = DefaultToolPath(SimulatorPath());
  if (!ToolPathValid(tool)) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, Text(Message(ToolsMsg::LocateTool)));
    FileDialogRequest request;
    request.initialDir = DirSetting("InitialDir");
    request.fileName = kToolFileName;
    request.filter = LanguageText(58);
    request.mustExist = true;
    if (auto chosen = platform_.OpenDialog(request)) tool = *chosen;
    if (!ToolPathValid(tool)) {
      ShowMessage(MsgKind::Error, MsgButtons::Ok, Text(Message(ToolsMsg::ToolNotFound)));
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
  std::string script = WriteCompressScript(ExtractFileDir(platform_.ExecutablePath()), tool, *shape, Text);
  if (!platform_.StartConsoleScript(script))
    ShowMessage(MsgKind::Error, MsgButtons::Ok, Text(Message(ToolsMsg::ToolStartFailed)));
}

}  // namespace lodsmith
