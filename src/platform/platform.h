// What the window model needs from the machine and from the user: message
// boxes, file dialogs, the cursor, processing of pending window messages,
// screen size, regional settings, paths, the registry, whether files exist
// or could be stored, starting a script in a console window and printing. The Qt window, the batch program and the
// tests each implement it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lodsmith {

enum class MsgKind { Warning, Information, Confirmation, Error };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

const char* MsgKindName(MsgKind kind);  // "warning", "information", ...

// Which text a message box shows, beside the text itself: so that a
// platform answering for the user (the batch program, a test script) can
// tell the questions apart without reading them. At most one is set.
struct MsgIdentity {
  int message = 0;       // the Message number (core/message.h); 0: none
  int languageText = 0;  // n of the language file's text n; 0: none

  static MsgIdentity OfMessage(int id) { return {id, 0}; }
  static MsgIdentity OfLanguageText(int n) { return {0, n}; }
  bool operator==(const MsgIdentity&) const = default;
};

struct FileDialogRequest {
  std::string initialDir;  // empty: the dialog's own default
  std::string fileName;    // preset name
  std::string filter;      // "description|pattern|description|pattern..."
  bool mustExist = false;
  bool overwritePrompt = false;
  // The filter shown first, counted from 1 in the order of `filter`.
  int filterIndex = 1;
  // When set, a dialog that returns a file stores here the filter (counted
  // from 1) the user left selected.
  int* chosenFilter = nullptr;
};

// Cursor identifiers as the toolkit numbers them.
constexpr int crDefault = 0;
constexpr int crHourGlass = -11;

// Window-text colour and the red of a changed document (0x00BBGGRR as the
// toolkit stores colours).
constexpr unsigned clWindowText = 0x80000008u;
constexpr unsigned clRed = 0x000000FFu;

// One line of text positioned on a printed page (0.1 mm units, y downwards).
struct PrintTextLine {
  int x = 0;
  int y = 0;
  bool bold = false;
  std::string text;  // UTF-8
};
struct PrintPage {
  std::vector<PrintTextLine> lines;
};
struct PrinterInfo {
  bool available = false;     // a default printer exists
  int printableHeightMm = 0;  // for the orientation asked
};

class Platform {
public:
  virtual ~Platform() = default;

  // Shows `text` (already in the user's language); `identity` names it.
  virtual MsgResult MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text,
                               const MsgIdentity& identity) = 0;
  // The chosen file's full path, or nothing when cancelled.
  virtual std::optional<std::string> OpenDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveDialog(const FileDialogRequest& request) = 0;

  virtual int Cursor() = 0;
  virtual void SetCursor(int cursor) = 0;
  // Lets the window repaint (and mirror the model) during long actions.
  virtual void ProcessMessages() = 0;
  // Gives the named control the input focus (used when a check refuses to
  // let the user leave a control).
  virtual void FocusControl(const std::string& name) = 0;
  // Closes the main window (which asks FormCloseQuery first).
  virtual void CloseWindow() = 0;

  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // The operating system's decimal separator.
  virtual char DecimalSeparator() = 0;
  // Full path of the running program.
  virtual std::string ExecutablePath() = 0;
  // A string value under HKEY_LOCAL_MACHINE; nothing when the key or the
  // value is missing.
  virtual std::optional<std::string> RegistryReadLocalMachine(const std::string& key, const std::string& value) = 0;

  // Whether `path` names a regular file (links followed).
  virtual bool FileExists(const std::string& path) = 0;
  // Whether a file could be stored at `path`: its folder takes new files,
  // and a file already there is a regular one that may be written. Leaves
  // nothing behind.
  virtual bool CanStoreFile(const std::string& path) = 0;

  // The user's own settings folder for this program (trailing separator),
  // where an installed copy keeps what it stores; empty when there is none.
  // It may not exist yet: CreateFolder makes it (with its parents), true
  // when it exists afterwards.
  virtual std::string UserSettingsFolder() = 0;
  virtual bool CreateFolder(const std::string& path) = 0;

  // Starts a script in a console window that the user closes; true when it
  // started. The program does not wait for it.
  virtual bool StartConsoleScript(const std::string& scriptPath) = 0;

  // The default printer, asked afresh each time; landscape when asked.
  virtual PrinterInfo DefaultPrinter(bool landscape) = 0;
  // Prints the pages on the default printer. Raises Error, its message the
  // one the user is shown, when the printer does not take them.
  virtual void PrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) = 0;
  // Writes the pages as a PDF file. Raises Error, its message the one the
  // user is shown (naming the file), when it cannot be written.
  virtual void PrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) = 0;

  // Opens the non-modal preview window, or brings it to the front. The
  // window draws what the form's RenderPreview makes and is updated with
  // the rest of the window after every handler. Without a window (the batch
  // program) nothing happens.
  virtual void ShowPreviewWindow() {}
};

}  // namespace lodsmith
