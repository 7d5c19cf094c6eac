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

namespace {

// The open dialog of both ways; nothing when the user cancels.
std::optional<std::string> ChooseShapeToConvert(TLSForm& form) {
  FileDialogRequest request;
  request.initialDir = form.Settings.Dir("InitialDir");
  request.fileName = form.Settings.Dir("Filename");
  request.filter = form.LanguageText(57);
  request.mustExist = true;
  return form.platform().OpenDialog(request);
}

// The program's own converter on the chosen file: compressed or binary
// becomes Unicode text, text becomes compressed, in place with a .BAK.
void ConvertShapeFileBuiltIn(TLSForm& form) {
  auto shape = ChooseShapeToConvert(form);
  if (!shape) return;
  form.BeginBusy();
  try {
    const std::optional<ShapeConversion> done = form.session.ConvertShapeFile(*shape);
    form.EndBusy();
    if (!done)
      form.ShowMessage(MsgKind::Warning, MsgButtons::Ok, Message(UiMsg::NotAShapeForm, *shape));
    else
      form.ShowMessage(
          MsgKind::Information, MsgButtons::Ok,
          Message(done->toText ? UiMsg::ConvertedToText : UiMsg::ConvertedToCompressed, *shape, done->backup));
  } catch (const Error& e) {
    // A broken file or a refused write: the file is as it was.
    form.EndBusy();
    form.ShowMessage(MsgKind::Error, MsgButtons::Ok, e.message());
  }
}

}  // namespace

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
        ConvertShapeFileBuiltIn(*this);
      return;
    }
    Settings.SetDir("FFEdit", tool);
  }

  auto shape = ChooseShapeToConvert(*this);
  if (!shape) return;

  // A script that cannot be written ends the action with its Error. The
  // script speaks the window's language.
  if (!session.StartCompression(tool, *shape, [this](const Message& m) { return Text(m); }))
    ShowMessage(MsgKind::Error, MsgButtons::Ok, Message(ToolsMsg::ToolStartFailed));
}

}  // namespace lodsmith
