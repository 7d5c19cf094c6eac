#include "cli/cli_platform.h"

#include <iostream>

#include "document/shape_file.h"
#include "platform/system_info.h"
#include "ui/tlsform.h"

namespace lodsmith {

MsgResult CliPlatform::MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text) {
  messages.push_back({kind, text});
  std::cerr << MsgKindName(kind) << ": " << text << "\n";
  if (buttons == MsgButtons::Ok) return MsgResult::Ok;
  // The byte-order question guards against opening what is no shape.
  if (form && text == form->LanguageText(61)) return force ? MsgResult::Yes : MsgResult::No;
  return answerNo ? MsgResult::No : MsgResult::Yes;
}

std::optional<std::string> CliPlatform::OpenDialog(const FileDialogRequest& request) {
  auto r = nextOpen;
  nextOpen.reset();
  if (r && request.mustExist && !FileExists(*r)) {
    std::cerr << "error: " << *r << ": file not found\n";
    return std::nullopt;
  }
  return r;
}

std::optional<std::string> CliPlatform::SaveDialog(const FileDialogRequest&) {
  auto r = nextSave;
  nextSave.reset();
  return r;
}

char CliPlatform::DecimalSeparator() { return SystemDecimalSeparator(); }

std::string CliPlatform::ExecutablePath() { return RunningExecutablePath(); }

std::optional<std::string> CliPlatform::RegistryReadLocalMachine(const std::string& key, const std::string& value) {
  return ReadLocalMachineString(key, value);
}

bool CliPlatform::StartConsoleScript(const std::string&) { return false; }

PrinterInfo CliPlatform::DefaultPrinter(bool) { return {}; }

bool CliPlatform::PrintPages(const std::vector<PrintPage>&, bool, const std::string&) { return false; }

bool CliPlatform::PrintPagesToPdf(const std::vector<PrintPage>&, bool, const std::string&) { return false; }

}  // namespace lodsmith
