#include "platform/window_platform.h"

#include "core/text.h"
#include "platform/console_launcher.h"

namespace lodsmith {

bool WindowPlatform::German() const { return !languageName_ || EqualsIgnoreCase(*languageName_, "Deutsch"); }

std::optional<std::string> WindowPlatform::OpenDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, false);
}

std::optional<std::string> WindowPlatform::SaveDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, true);
}

void WindowPlatform::SetCursor(int cursor) {
  cursor_ = cursor;
  ShowCursor(Busy());
}

void WindowPlatform::ProcessMessages() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPass_ < kPaintInterval) return;
  MirrorAndDispatch();
  lastPass_ = std::chrono::steady_clock::now();
}

bool WindowPlatform::StartConsoleScript(const std::string& scriptPath) { return StartScriptInConsole(scriptPath); }

}  // namespace lodsmith
