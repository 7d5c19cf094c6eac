// The batch program's platform: message boxes go to stderr as "kind: text",
// questions of actions the user asked for are answered Yes (No with --no),
// the byte-order question is answered Yes only with --force, and the file
// dialogs return the paths given on the command line.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/native_platform.h"

namespace lodsmith {

class TLSForm;

struct CliMessage {
  MsgKind kind;
  std::string text;
  MsgIdentity identity;  // which message it was, for grouping the reasons of a run
};

class CliPlatform : public NativePlatform {
public:
  bool answerNo = false;
  bool force = false;
  bool landscape = false;
  const TLSForm* form = nullptr;  // for messages in the user's language
  // Where the message boxes are printed, and what goes before each line
  // (a run over many shapes names the shape and collects each shape's
  // lines apart, so that they come out in the order of the arguments).
  std::ostream* err = nullptr;  // null: stderr
  std::string linePrefix;
  std::ostream& Err();

  std::optional<std::string> nextOpen;
  std::optional<std::string> nextSave;
  std::vector<CliMessage> messages;

  // Files the actions produced (PDF listings), by path, in the order made:
  // written only when every action has run, so that a refusal later on
  // leaves nothing behind. A second listing to the same path replaces the
  // first.
  std::vector<std::pair<std::string, std::string>> pendingFiles;

  MsgResult MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text, const MsgIdentity& identity) override;
  std::optional<std::string> OpenDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveDialog(const FileDialogRequest& request) override;
  int Cursor() override { return cursor_; }
  void SetCursor(int c) override { cursor_ = c; }
  void ProcessMessages() override {}
  void FocusControl(const std::string&) override {}
  void CloseWindow() override {}
  int ScreenWidth() override { return 1920; }
  int ScreenHeight() override { return 1080; }
  bool StartConsoleScript(const std::string& scriptPath) override;
  PrinterInfo DefaultPrinter(bool landscape) override;
  bool PrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) override;
  bool PrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) override;

private:
  int cursor_ = crDefault;
  // The default printer and its paper, portrait measures (empty name: none).
  std::string printerName_;
  double paperWidthMm_ = 210, paperHeightMm_ = 297;
};

}  // namespace lodsmith
