// The half of the platform interface that both windows (Qt and Windows)
// answer alike: the cursor and whether the program is busy, the pace at
// which long actions let the window repaint, one entry for both file
// dialogs, and the compression script's console. Each window adds its
// message boxes, dialogs, painting, screen facts and printing.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/native_platform.h"

namespace lodsmith {

class WindowPlatform : public NativePlatform {
public:
  // The hour-glass is up: a long action runs.
  bool Busy() const { return cursor_ == crHourGlass; }

  std::optional<std::string> OpenDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveDialog(const FileDialogRequest& request) override;
  int Cursor() override { return cursor_; }
  void SetCursor(int cursor) override;
  // Long actions ask for this many times per step (nine times per primitive
  // written); mirroring the model and repainting costs about a millisecond,
  // so a pass runs at most every kPaintInterval. The handler's end mirrors
  // the final state anyway.
  void ProcessMessages() override;
  bool StartConsoleScript(const std::string& scriptPath) override;
  // The window model's language (its LanguageName), for the platform's own
  // words: the buttons and titles of its boxes and dialogs. German until
  // it is known.
  void FollowLanguage(const std::string* languageName) { languageName_ = languageName; }

protected:
  bool German() const;
  // The open (`save` false) or save dialog; nothing when cancelled.
  virtual std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save) = 0;
  // Shows the hour-glass or the arrow.
  virtual void ShowCursor(bool busy) = 0;
  // Mirrors the window model into the window and handles what is pending.
  virtual void MirrorAndDispatch() = 0;

private:
  const std::string* languageName_ = nullptr;
  int cursor_ = crDefault;
  static constexpr std::chrono::milliseconds kPaintInterval{40};
  std::chrono::steady_clock::time_point lastPass_{};
};

}  // namespace lodsmith

// What every window declares of the platform interface, in the interface's
// order, written once: its message boxes, focus, screen, printing and
// preview window, then (protected, and the access stays so) the three hooks
// of WindowPlatform. A window adds what only it overrides before this.
#define LODSMITH_WINDOW_PLATFORM_OVERRIDES                                                                     \
  MsgResult MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text, const MsgIdentity& identity) \
      override;                                                                                                \
  void FocusControl(const std::string& name) override;                                                         \
  void CloseWindow() override;                                                                                 \
  int ScreenWidth() override;                                                                                  \
  int ScreenHeight() override;                                                                                 \
  PrinterInfo DefaultPrinter(bool landscape) override;                                                         \
  void PrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) override;   \
  void PrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) override; \
  void ShowPreviewWindow() override;                                                                           \
                                                                                                               \
protected:                                                                                                     \
  std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save) override;              \
  void ShowCursor(bool busy) override;                                                                         \
  void MirrorAndDispatch() override
