// The platform of the Windows window: message boxes (with the language's
// button words), the common open/save dialogs, the hour-glass, processing
// of pending window messages (which first mirrors the window model into the
// controls), screen facts and GDI printing. Regional settings, the registry
// and files come from NativePlatform.
#pragma once

#include <windows.h>

#include <string>

#include "platform/window_platform.h"

namespace lodsmith {

class MainWindow;

// "description|pattern|description|pattern" as the common dialogs want it:
// the same pairs separated (and ended) by NULs, ending in a second NUL.
std::wstring DialogFilter(const std::string& filter);

class Win32Platform : public WindowPlatform {
public:
  void SetWindow(MainWindow* window) { window_ = window; }

  // For the screenshot option: while set, the open dialog answers with this
  // file and message boxes are written to the error stream instead of shown
  // (answered OK, or Yes).
  std::optional<std::string> scriptedOpen;

  LODSMITH_WINDOW_PLATFORM_OVERRIDES;

private:
  HWND Owner() const;

  MainWindow* window_ = nullptr;
};

}  // namespace lodsmith
