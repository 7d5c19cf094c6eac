#include "win32/win32_platform.h"

#include <commdlg.h>

#include <cstdio>
#include <vector>

#include "core/native_file.h"
#include "core/text.h"
#include "print/pdf_writer.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"
#include "win32/main_window.h"
#include "win32/win32_print.h"

namespace lodsmith {

namespace {

// The button words of the box about to open; the hook puts them on its
// buttons (the system's own are in the system's language).
struct BoxWords {
  std::wstring yes, no, cancel, ok;
};
thread_local BoxWords* g_boxWords = nullptr;
thread_local HHOOK g_boxHook = nullptr;

LRESULT CALLBACK BoxHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE && g_boxWords) {
    HWND box = reinterpret_cast<HWND>(wp);
    ::SetDlgItemTextW(box, IDYES, g_boxWords->yes.c_str());
    ::SetDlgItemTextW(box, IDNO, g_boxWords->no.c_str());
    ::SetDlgItemTextW(box, IDCANCEL, g_boxWords->cancel.c_str());
    ::SetDlgItemTextW(box, IDOK, g_boxWords->ok.c_str());
    g_boxWords = nullptr;  // the first box only, not one it may open
  }
  return ::CallNextHookEx(g_boxHook, code, wp, lp);
}

std::string Trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

std::wstring DialogFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t bar; (bar = filter.find('|', start)) != std::string::npos; start = bar + 1)
    parts.push_back(filter.substr(start, bar - start));
  parts.push_back(filter.substr(start));
  std::wstring out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    out += Widen(parts[i]);
    out.push_back(L'\0');
    out += Widen(parts[i + 1].empty() ? std::string("*.*") : parts[i + 1]);
    out.push_back(L'\0');
  }
  out.push_back(L'\0');
  return out;
}

HWND Win32Platform::Owner() const { return window_ ? window_->Handle() : nullptr; }

MsgResult Win32Platform::MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text, const MsgIdentity&) {
  if (scriptedOpen) {
    std::fprintf(stderr, "%s: %s\n", MsgKindName(kind), text.c_str());
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
  }
  // The box's own words are German only for German, English for every
  // other language, as in the Qt window.
  const Language lang = German() ? Language::German : Language::English;
  auto word = [lang](UiMsg id) { return Widen(MessageString(lodsmith::Message(id), lang)); };
  UINT style = MB_TASKMODAL;
  std::wstring title;
  switch (kind) {
    case MsgKind::Warning:
      style |= MB_ICONWARNING;
      title = word(UiMsg::BoxWarning);
      break;
    case MsgKind::Information:
      style |= MB_ICONINFORMATION;
      title = word(UiMsg::BoxInformation);
      break;
    case MsgKind::Confirmation:
      style |= MB_ICONQUESTION;
      title = word(UiMsg::BoxConfirmation);
      break;
    case MsgKind::Error:
      style |= MB_ICONERROR;
      title = word(UiMsg::BoxError);
      break;
  }
  style |= buttons == MsgButtons::YesNo ? MB_YESNO : buttons == MsgButtons::YesNoCancel ? MB_YESNOCANCEL : MB_OK;
  BoxWords words{word(UiMsg::ButtonYes), word(UiMsg::ButtonNo), word(UiMsg::ButtonCancel), word(UiMsg::ButtonOk)};
  g_boxWords = &words;
  g_boxHook = ::SetWindowsHookExW(WH_CBT, BoxHook, nullptr, ::GetCurrentThreadId());
  // The hour-glass of a long action must not hide the pointer over the box.
  if (Busy()) ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  const int answer = ::MessageBoxW(Owner(), Widen(text).c_str(), title.c_str(), style);
  if (g_boxHook) ::UnhookWindowsHookEx(g_boxHook);
  g_boxHook = nullptr;
  g_boxWords = nullptr;
  if (Busy()) ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  switch (answer) {
    case IDYES: return MsgResult::Yes;
    case IDNO: return MsgResult::No;
    case IDCANCEL: return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
    default: return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
  }
}

std::optional<std::string> Win32Platform::RunFileDialog(const FileDialogRequest& request, bool save) {
  if (scriptedOpen && !save) return scriptedOpen;
  const std::wstring filter = DialogFilter(request.filter);
  std::wstring dir = Widen(Trimmed(request.initialDir));
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring preset = Widen(request.fileName);
  preset.copy(file.data(), std::min(preset.size(), file.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Owner();
  ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
  ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (request.mustExist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (request.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (Busy()) ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  const BOOL ok = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
  if (Busy()) ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  if (!ok) return std::nullopt;
  // Several filters may share a pattern (the forms of a shape): the one
  // left selected is told by its position.
  if (request.chosenFilter) *request.chosenFilter = static_cast<int>(ofn.nFilterIndex);
  return Narrow(file.data());
}

void Win32Platform::ShowCursor(bool busy) {
  // The window answers WM_SETCURSOR from Busy(); this shows it at once.
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Platform::MirrorAndDispatch() {
  if (window_) window_->Mirror();
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Handed back to the main loop once the action is over.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void Win32Platform::FocusControl(const std::string& name) {
  if (window_) window_->FocusControl(name);
}

void Win32Platform::CloseWindow() {
  if (window_) ::PostMessageW(window_->Handle(), WM_CLOSE, 0, 0);
}

void Win32Platform::ShowPreviewWindow() {
  if (window_) window_->ShowPreview();
}

int Win32Platform::ScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }

int Win32Platform::ScreenHeight() { return ::GetSystemMetrics(SM_CYSCREEN); }

PrinterInfo Win32Platform::DefaultPrinter(bool landscape) { return GdiDefaultPrinter(landscape); }

void Win32Platform::PrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) {
  if (!GdiPrintPages(pages, landscape, jobName)) throw Error(UiMsg::PrintFailed);
}

void Win32Platform::PrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) {
  // The same sheet as the Qt window's and the batch program's PDF: A4 with
  // 10 mm margins. The user is told that the file was not written; the
  // cause stays inside the message.
  try {
    WritePdfFile(path, pages, ListingPageSetup(210, 297, landscape), path);
  } catch (const Error& e) {
    throw e.WrappedIn(UiMsg::PdfNotWritten, path);
  }
}

}  // namespace lodsmith
