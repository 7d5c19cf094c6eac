// The platform of the Qt window: message boxes, file dialogs, the busy
// cursor, processing of pending events (which first mirrors the window
// model into the widgets), screen and regional facts, the registry, the
// console script and printing.
//
// For tests, a Script can be installed: message boxes and file dialogs are
// then recorded and answered from its queues, and nothing modal is shown.
#pragma once

#include <chrono>

#include <QStringList>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_platform.h"

namespace lodsmith {

class TLSForm;
class MainWindow;

// "description|pattern|description|pattern" (patterns separated by ";") as
// the name filters of a Qt file dialog. "*.*" means every file.
QStringList DialogNameFilters(const std::string& filter);

class QtPlatform : public NativePlatform {
public:
  struct Message {
    MsgKind kind;
    MsgButtons buttons;
    std::string text;
  };
  struct Script {
    // Answers to boxes with several buttons, in order; `defaultAnswer` when
    // the queue is empty. A box with only OK is answered OK.
    std::deque<MsgResult> answers;
    MsgResult defaultAnswer = MsgResult::Yes;
    // Dialog results in order; nothing (or an empty queue) means cancelled.
    std::deque<std::optional<std::string>> openResults;
    std::deque<std::optional<std::string>> saveResults;

    std::vector<Message> messages;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
  };

  QtPlatform() = default;

  void SetForm(const TLSForm* form) { form_ = form; }
  void SetWindow(MainWindow* window) { window_ = window; }
  // Answers from the script instead of showing anything; nullptr: real boxes.
  void SetScript(Script* script) { script_ = script; }

  // Test and tool hooks: a program path other than the running one (the
  // settings and language files sit beside it), and a screen size.
  std::optional<std::string> executablePathOverride;
  std::optional<std::pair<int, int>> screenSizeOverride;

  MsgResult MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text, const MsgIdentity& identity) override;
  std::optional<std::string> OpenDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveDialog(const FileDialogRequest& request) override;
  int Cursor() override { return cursor_; }
  void SetCursor(int cursor) override;
  void ProcessMessages() override;
  void FocusControl(const std::string& name) override;
  void CloseWindow() override;
  void ShowPreviewWindow() override;
  int ScreenWidth() override;
  int ScreenHeight() override;
  char DecimalSeparator() override;
  std::string ExecutablePath() override;
  bool StartConsoleScript(const std::string& scriptPath) override;
  PrinterInfo DefaultPrinter(bool landscape) override;
  void PrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) override;
  void PrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) override;

private:
  bool German() const;
  std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save);

  const TLSForm* form_ = nullptr;
  MainWindow* window_ = nullptr;
  Script* script_ = nullptr;
  int cursor_ = crDefault;
  bool overrideActive_ = false;
  // Repaints during long actions at most this often (see ProcessMessages).
  static constexpr std::chrono::milliseconds kPaintInterval{40};
  std::chrono::steady_clock::time_point lastPass_{};
};

}  // namespace lodsmith
