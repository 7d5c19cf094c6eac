// Lodsmith's window on Windows. A shape given on the command line is opened; a
// few options serve documentation and testing (UiMsg::WindowUsage lists them).
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/native_file.h"
#include "lodsmith_version.h"
#include "platform/system_info.h"
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"
#include "ui/window_options.h"
#include "win32/main_window.h"
#include "win32/win32_platform.h"

using namespace lodsmith;

namespace {

// What the program prints before it has a window: in the language the
// window would come up in.
std::string OwnText(const Message& message) {
  return MessageString(message, TLSForm::StoredLanguage(RunningExecutablePath(), UserSettingsFolderPath()));
}

// A window program has no console of its own: the text goes to the one it
// was started from, if any (or to where its output was redirected).
void PrintToConsole(const char* text) {
  if (::GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && ::AttachConsole(ATTACH_PARENT_PROCESS))
    std::freopen("CONOUT$", "w", stdout);
  std::fputs(text, stdout);
  std::fflush(stdout);
}

std::vector<std::string> Arguments() {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(Narrow(argv[i]));
  ::LocalFree(argv);
  return args;
}

// Per-monitor DPI awareness for systems that do not read it from the
// manifest (and for Wine); the manifest's wins where it was read.
void BecomeDpiAware() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  auto fn = reinterpret_cast<SetContextFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (fn && fn(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
  ::SetProcessDPIAware();
}

// Runs the window's messages until it is gone, or for `ms` milliseconds.
void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - start < ms) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(10);
  }
}

// Centred on the work area, shown and drawn.
void ShowCentred(MainWindow& window) {
  RECT area, frame;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  ::GetWindowRect(window.Handle(), &frame);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  ::SetWindowPos(window.Handle(), nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(window.Handle(), SW_SHOWNORMAL);
  ::UpdateWindow(window.Handle());
}

// --screenshot: the shape opened (its messages to the error stream instead
// of boxes nobody would close), the page shown, and the window (or the
// preview) saved as a picture once it is drawn.
int SaveScreenshot(const WindowOptions& o, Win32Platform& platform, TLSForm& form, MainWindow& window) {
  if (!o.ShapeToOpen().empty()) {
    platform.scriptedOpen = o.ShapeToOpen();
    window.Run([&] { form.OpenShapeFile(o.ShapeToOpen()); });
    platform.scriptedOpen.reset();
  }
  window.ShowPage(o.page);
  ::RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  HWND shown = window.Handle();
  if (o.preview) {
    window.Run([&] { form.PreviewButtonClick(); });
    if (window.Preview()) shown = window.Preview()->Handle();
    ::RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  Pump(700);
  if (SaveWindowPicture(shown, o.screenshot)) return 0;
  std::fprintf(stderr, "%s\n", OwnText(Message(UiMsg::PictureNotWritten, o.screenshot)).c_str());
  return 1;
}

// The window's messages until it is gone; the exit status it ended with.
int RunMessages(MainWindow& window) {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab and the arrow keys move between the controls of either window.
    const HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    const bool ours = root == window.Handle() || (window.Preview() && root == window.Preview()->Handle());
    if (ours && ::IsDialogMessageW(root, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int main() {
  const std::vector<std::string> args = Arguments();
  const WindowOptions o =
      ParseWindowOptions(std::vector<std::string>(args.begin() + (args.empty() ? 0 : 1), args.end()));
  if (o.wrong || o.help) {
    PrintToConsole(OwnText(Message(UiMsg::WindowUsage)).c_str());
    return o.wrong ? kWindowUsageExit : 0;
  }
  if (o.version) {
    PrintToConsole((std::string(kVersionLine) + "\n").c_str());
    return 0;
  }

  BecomeDpiAware();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
  ::InitCommonControlsEx(&controls);

  Win32Platform platform;
  TLSForm form(platform);
  platform.FollowLanguage(&form.LanguageName);
  MainWindow window(form, platform);
  platform.SetWindow(&window);
  window.Run([&] { form.FormCreate(); });
  ShowCentred(window);
  if (!o.screenshot.empty()) return SaveScreenshot(o, platform, form, window);

  // A shape given to the program (a double-click, "Open with", a file
  // dropped on it) opens as "Öffnen" would open it.
  if (!o.shapes.empty()) window.Run([&] { form.OpenGivenShapes(o.shapes); });
  if (o.preview) window.Run([&] { form.PreviewButtonClick(); });
  const int status = RunMessages(window);
  form.Dispatch([&] { form.FormDestroy(); });
  return status;
}
