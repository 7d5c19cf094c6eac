// A scripted platform for form tests: records every message box (kind,
// buttons, exact text, identity) and answers questions and dialogs from
// queues.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lodsmith::test {

struct RecordedMessage {
  MsgKind kind;
  MsgButtons buttons;
  std::string text;
  MsgIdentity identity;
};

class FakePlatform : public Platform {
public:
  // Answers for message boxes with several buttons, used in order; when the
  // queue is empty, questions are answered with `defaultAnswer`.
  std::deque<MsgResult> answers;
  MsgResult defaultAnswer = MsgResult::Yes;
  // Dialog results in order; an empty optional means "cancelled". When the
  // queue is empty the dialog is cancelled.
  std::deque<std::optional<std::string>> openResults;
  std::deque<std::optional<std::string>> saveResults;
  std::vector<FileDialogRequest> openRequests;
  std::vector<FileDialogRequest> saveRequests;
  // The filter (counted from 1) each save dialog returns with its file, in
  // order; when the queue is empty the request's preset is returned.
  std::deque<int> saveFilterResults;

  std::vector<RecordedMessage> messages;
  std::vector<std::string> focusRequests;
  // Called at every "process pending messages", the moments the window
  // repaints during a long action: a test looks at the form there to see
  // what the user saw.
  std::function<void()> onProcessMessages;
  int cursor = crDefault;
  std::vector<int> cursorHistory;
  bool closeRequested = false;

  int screenWidth = 1280;
  int screenHeight = 1024;
  // The user's settings folder the program is told of; empty: none.
  std::string userSettingsFolder;
  char decimalSeparator = ',';
  std::string executablePath;  // set by the fixture (a temporary folder)
  std::optional<std::string> simulatorPath;
  std::vector<std::string> startedScripts;
  bool startSucceeds = true;

  PrinterInfo printer;
  std::vector<std::vector<PrintPage>> printed;
  bool printSucceeds = true;  // else PrintPages raises the window's "print failed"
  bool pdfSucceeds = true;    // else PrintPagesToPdf raises "not written", as the platforms do
  std::vector<std::string> pdfsWritten;

  MsgResult MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text, const MsgIdentity& identity) override;
  std::optional<std::string> OpenDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveDialog(const FileDialogRequest& request) override;
  int Cursor() override { return cursor; }
  void SetCursor(int c) override {
    cursor = c;
    cursorHistory.push_back(c);
  }
  void ProcessMessages() override {
    if (onProcessMessages) onProcessMessages();
  }
  void FocusControl(const std::string& name) override { focusRequests.push_back(name); }
  void CloseWindow() override { closeRequested = true; }
  int ScreenWidth() override { return screenWidth; }
  int ScreenHeight() override { return screenHeight; }
  char DecimalSeparator() override { return decimalSeparator; }
  std::string ExecutablePath() override { return executablePath; }
  std::optional<std::string> RegistryReadLocalMachine(const std::string& key, const std::string& value) override;
  // The disk as the program sees it: through Files(), so that a
  // FaultyFileSystem put in place answers here too.
  bool FileExists(const std::string& path) override;
  bool CanStoreFile(const std::string& path) override;
  std::string UserSettingsFolder() override { return userSettingsFolder; }
  bool CreateFolder(const std::string& path) override;
  bool StartConsoleScript(const std::string& scriptPath) override {
    startedScripts.push_back(scriptPath);
    return startSucceeds;
  }
  PrinterInfo DefaultPrinter(bool) override { return printer; }
  void PrintPages(const std::vector<PrintPage>& pages, bool, const std::string&) override;
  void PrintPagesToPdf(const std::vector<PrintPage>&, bool, const std::string& path) override;

  // Texts of all recorded messages, in order.
  std::vector<std::string> Texts() const;
  void Clear() { messages.clear(); }
};

}  // namespace lodsmith::test
