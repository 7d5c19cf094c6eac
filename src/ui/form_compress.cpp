// Compression through the simulator's utility: locate ffeditc_unicode.exe,
// let the user choose a shape file, write the script that runs the utility
// on it and start that script in a console window. Without the utility the
// program's own converter is offered instead. The open document is not
// touched.
#include "core/file_io.h"
#include "document/shape_forms.h"
#include "tools/compress.h"
#include "tools/tools_messages.h"
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

bool TLSForm::ToolPathValid(const std::string& path) { return lodsmith::ToolPathValid(path); }

void TLSForm::CompressButtonClick() {
  std::string tool = session.CompressionTool("", Settings.Dir("FFEdit"));
  if (!ToolPathValid(tool)) {
    ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(ToolsMsg::LocateTool));
    FileDialogRequest request;
    request.initialDir = Settings.Dir("InitialDir");
    request.fileName = kToolFileName;
    request.filter = LanguageText(58);
    request.mustExist = true;
    auto chosen = platform_.OpenDialog(request);
    if (chosen) tool = *chosen;
    if (!ToolPathValid(tool)) {
      ShowMessage(MsgKind::Error, MsgButtons::Ok, Message(ToolsMsg::ToolNotFound));
      if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(UiMsg::OfferBuiltInConvert)) == MsgResult::Yes)
        ConvertShapeFileBuiltIn();
      return;
    }
    Settings.SetDir("FFEdit", tool);
  }

  auto shape = ChooseShapeToConvert();
  if (!shape) return;

  // A script that cannot be written ends the action with its Error. The
  // script speaks the window's language.
  if (!session.StartCompression(tool, *shape, [this](const Message& m) { return Text(m); }))
    ShowMessage(MsgKind::Error, MsgButtons::Ok, Message(ToolsMsg::ToolStartFailed));
}

std::optional<std::string> TLSForm::ChooseShapeToConvert() {
  FileDialogRequest request;
  request.initialDir = Settings.Dir("InitialDir");
  request.fileName = Settings.Dir("Filename");
  request.filter = LanguageText(57);
  request.mustExist = true;
  return platform_.OpenDialog(request);
}

void TLSForm::ConvertShapeFileBuiltIn() {
  auto shape = ChooseShapeToConvert();
  if (!shape) return;
  BeginBusy();
  try {
    const std::optional<ShapeConversion> done = session.ConvertShapeFile(*shape);
    EndBusy();
    if (!done)
      ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(UiMsg::NotAShapeForm, *shape));
    else
      ShowMessage(MsgKind::Information, MsgButtons::Ok,
                  Message(done->toText ? UiMsg::ConvertedToText : UiMsg::ConvertedToCompressed, *shape, done->backup));
  } catch (const Error& e) {
    // A broken file or a refused write: the file is as it was.
    EndBusy();
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
  }
}

}  // namespace lodsmith
