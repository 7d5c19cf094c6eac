// The batch program's platform: what the window would show in a message box
// goes to stderr as "kind: text" and into the run's list of messages; the
// print-out goes through CUPS or into PDF files written at the end.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/message.h"
#include "platform/native_platform.h"

namespace lodsmith {

struct CliMessage {
  MsgKind kind;
  std::string text;
  MsgIdentity identity;  // which message it was, for grouping the reasons of a run
};

class CliPlatform : public NativePlatform {
public:
  bool landscape = false;
  // Messages in the user's language.
  std::function<std::string(const Message&)> text;
  // Where the message boxes are printed, and what goes before each line
  // (a run over many shapes names the shape and collects each shape's
  // lines apart, so that they come out in the order of the arguments).
  std::ostream* err = nullptr;  // null: stderr
  std::string linePrefix;
  std::ostream& Err();

  std::vector<CliMessage> messages;
  // Prints a message as the window would show it in a box, and lists it.
  void Say(MsgKind kind, const std::string& text, const MsgIdentity& identity);

  // Files the actions produced (PDF listings), by path, in the order made:
  // written only when every action has run, so that a refusal later on
  // leaves nothing behind. A second listing to the same path replaces the
  // first.
  std::vector<std::pair<std::string, std::string>> pendingFiles;

  // The session asks nothing through the platform: no box, no dialog.
  MsgResult MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text, const MsgIdentity& identity) override;
  std::optional<std::string> OpenDialog(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveDialog(const FileDialogRequest&) override { return std::nullopt; }
  int Cursor() override { return cursor_; }
  void SetCursor(int c) override { cursor_ = c; }
  void ProcessMessages() override {}
  void FocusControl(const std::string&) override {}
  void CloseWindow() override {}
  int ScreenWidth() override { return 1920; }
  int ScreenHeight() override { return 1080; }
  bool StartConsoleScript(const std::string& scriptPath) override;
  PrinterInfo DefaultPrinter(bool landscape) override;
  void PrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) override;
  void PrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) override;

private:
  int cursor_ = crDefault;
  // The default printer and its paper, portrait measures (empty name: none).
  std::string printerName_;
  double paperWidthMm_ = 210, paperHeightMm_ = 297;
};

}  // namespace lodsmith
