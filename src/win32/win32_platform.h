// The platform of the Windows window: message boxes (with the language's
// button words), the common open/save dialogs, the hour-glass, processing
// of pending window messages (which first mirrors the window model into the
// controls), screen facts, the console script and GDI printing. Regional
// settings, the registry and files come from NativePlatform.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "platform/native_platform.h"

namespace lodsmith {

class TLSForm;
class MainWindow;

// "description|pattern|description|pattern" as the common dialogs want it:
// the same pairs separated (and ended) by NULs, ending in a second NUL.
std::wstring DialogFilter(const std::string& filter);

class Win32Platform : public NativePlatform {
public:
  void SetForm(const TLSForm* form) { form_ = form; }
  void SetWindow(MainWindow* window) { window_ = window; }
  bool Busy() const { return cursor_ == crHourGlass; }

  // For the screenshot option: while set, the open dialog answers with this
  // file and message boxes are written to the error stream instead of shown
  // (answered OK, or Yes).
  std::optional<std::string> scriptedOpen;

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
  bool StartConsoleScript(const std::string& scriptPath) override;
  PrinterInfo DefaultPrinter(bool landscape) override;
  void PrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) override;
  void PrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) override;

private:
  bool German() const;
  std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save);
  HWND Owner() const;

  const TLSForm* form_ = nullptr;
  MainWindow* window_ = nullptr;
  int cursor_ = crDefault;
  // Repaints during long actions at most this often (see ProcessMessages).
  static constexpr std::chrono::milliseconds kPaintInterval{40};
  std::chrono::steady_clock::time_point lastPass_{};
};

}  // namespace lodsmith
