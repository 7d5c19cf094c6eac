// The platform of the Qt window: message boxes, file dialogs, the busy
// cursor, processing of pending events (which first mirrors the window
// model into the widgets), screen and regional facts and printing; the
// registry and files come from NativePlatform.
//
// For tests, a Script can be installed: message boxes and file dialogs are
// then recorded and answered from its queues, and nothing modal is shown.
#pragma once

#include <QStringList>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_platform.h"

namespace lodsmith {

class MainWindow;

// "description|pattern|description|pattern" (patterns separated by ";") as
// the name filters of a Qt file dialog. "*.*" means every file.
QStringList DialogNameFilters(const std::string& filter);

class QtPlatform : public WindowPlatform {
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

  void SetWindow(MainWindow* window) { window_ = window; }
  // Answers from the script instead of showing anything; nullptr: real boxes.
  void SetScript(Script* script) { script_ = script; }

  // Test and tool hooks: a program path other than the running one (the
  // settings and language files sit beside it), and a screen size.
  std::optional<std::string> executablePathOverride;
  std::optional<std::pair<int, int>> screenSizeOverride;

  char DecimalSeparator() override;
  std::string ExecutablePath() override;
  LODSMITH_WINDOW_PLATFORM_OVERRIDES;

private:
  MainWindow* window_ = nullptr;
  Script* script_ = nullptr;
  bool overrideActive_ = false;  // the hour-glass is shown over the whole program
};

}  // namespace lodsmith
