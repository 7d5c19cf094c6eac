// The Lodsmith window on Windows: native controls at the form's fixed
// positions (scaled by the monitor's DPI), each event bound to the window
// model's handler of the same name. After every handler the window mirrors
// the whole model into the controls; the controls hold no state of their
// own that the model does not know.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/tlsform.h"

namespace lodsmith::layout {
struct Control;
}
#include "win32/grid_control.h"
#include "win32/preview_window.h"
#include "win32/smaller_fonts.h"

namespace lodsmith {

class Win32Platform;

// A design length (pixels at 96 dpi) at the given resolution.
int ScaleToDpi(int designPixels, int dpi);
// The form's font ("MS Sans Serif" at 8 points, or the system's dialog
// font where that is missing) at the given resolution; the caller deletes it.
HFONT CreateFormFont(int dpi);

// A window's text, and setting it only when it differs (no flicker, no
// change message); true when it changed.
std::wstring WindowText(HWND hwnd);
bool SetTextIfChanged(HWND hwnd, const std::wstring& text);

// Registers a window class of the program (once per name): the arrow cursor,
// the dialog face as background unless the window paints every pixel
// itself, the program's icon when asked; the window procedure is taken over
// by the object once it exists.
void RegisterWindowClass(const wchar_t* name, bool withIcon, bool eraseBackground);
// Draws a window's client area into a 24-bit picture and writes it as PNG
// (a name ending in ".png", when built with the PNG writer) or BMP.
bool SaveWindowPicture(HWND hwnd, const std::string& path);

class MainWindow {
public:
  // Client area of the window at 96 dpi.
  static constexpr int kClientWidth = 989;
  static constexpr int kClientHeight = 604;

  MainWindow(TLSForm& form, Win32Platform& platform);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  int Dpi() const { return dpi_; }

  // Runs a handler of the model (an escaped exception becomes an error box)
  // and then shows the model's state.
  void Run(const std::function<void()>& handler);
  // Model -> controls: captions, enabled flags, colours, labels, spin
  // values and limits, edit texts, the language list and the grids.
  void Mirror();
  // Gives a control the focus by its component name ("StringGrid4", ...),
  // bringing its page to the front.
  void FocusControl(const std::string& name);
  // Shows page 0 ("Zerlegung") or 1 (settings).
  void ShowPage(int page);
  int CurrentPage() const { return page_; }
  // Puts every control at its design place for a new resolution.
  void ApplyDpi(int dpi);

  // Opens the preview window (made at the first call) or brings it to the
  // front with a new picture; Win32Platform::ShowPreviewWindow calls it.
  void ShowPreview();
  // The preview window, once opened (nullptr before).
  PreviewWindow* Preview() const { return preview_.get(); }

  // Whether a label's caption fits its box in the face it is drawn in
  // (every line of a word-wrapped one within its width and height).
  bool CaptionFits(const std::string& name) const;
  // Captions are drawn no smaller than this (pixels at 96 dpi).
  static constexpr int kMinCaptionPixels = 8;

  // Controls by component name, for the tests and the screenshot.
  HWND Control(const std::string& name) const;
  GridControl* Grid(const std::string& name) const;

  // Draws the client area into a 24-bit picture and writes it as PNG (a
  // name ending in ".png", when built with the PNG writer) or BMP.
  bool SaveScreenshot(const std::string& path);

private:
  struct Placed {
    HWND hwnd;
    HWND container;  // nullptr: the main window
    RECT design;     // 96-dpi pixels in the container
  };
  struct ButtonBinding {
    HWND hwnd;
    TButton* state;
  };
  struct LabelBinding {
    HWND hwnd;
    TLabel* state;
    bool autoSize;
    bool red;
    bool wrap;
    bool centred;
  };
  struct EditBinding {
    HWND hwnd;
    TEdit* state;
  };
  struct SpinBinding {
    HWND edit;
    HWND arrows;
    TSpinEdit* state;
  };
  struct GridBinding {
    std::unique_ptr<GridControl> control;
    StringGrid* grid;
  };

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(HWND from, UINT msg, WPARAM wp, LPARAM lp);

  HWND Place(HWND hwnd, HWND container, const char* name, int x, int y, int w, int h);
  // Makes one control of the layout table, under its parent, bound to its
  // state and handlers in the window model.
  void AddControl(const layout::Control& c);
  void AddPages(const layout::Control& c);
  void AddLanguageList(HWND container, const layout::Control& c);
  HWND AddContainer(HWND container, const char* name, int x, int y, int w, int h, DWORD frame);
  void AddButton(HWND container, const char* name, TButton& state, int x, int y, int w, int h,
                 void (TLSForm::*handler)());
  void AddLabel(HWND container, const char* name, TLabel& state, int x, int y, int w = -1, int h = -1,
                DWORD align = SS_LEFT, bool wrap = false, bool red = false);
  void AddEdit(HWND container, const char* name, TEdit& state, int x, int y, int w, int h,
               void (TLSForm::*exitHandler)());
  void AddSpin(HWND container, const char* name, TSpinEdit& state, int x, int y, int w, int h,
               void (TLSForm::*setValue)(int), void (TLSForm::*exitHandler)());
  GridControl* AddGrid(HWND container, const char* name, StringGrid& grid, int x, int y, int w, int h,
                       std::function<bool(int col)> editable, int rowHeight);
  void BindGridEvents(GridControl& control, StringGrid& grid);
  void MakeFonts();
  // A label's caption in the largest face from the form's down that fits
  // its box (a label without a size: the room up to its neighbour).
  void FitLabel(const LabelBinding& l);
  int RoomToTheRight(HWND label) const;
  HFONT FontOfPixels(int px);
  int FormFontPixels() const;
  void AttachArrows(const SpinBinding& s);
  // How a label's caption is drawn and measured (DrawText's format).
  static UINT LabelFormat(const LabelBinding& l);
  void DrawLabel(const LabelBinding& l, HDC dc) const;
  void LayoutPages();
  // Focus left `control`: runs its exit handler unless the focus is still
  // inside it or went to another window (a message box, a dialog).
  void CheckFocusLeft(HWND control);

  TLSForm& form_;
  Win32Platform& platform_;
  HWND hwnd_ = nullptr;
  HWND tabs_ = nullptr;
  HWND pages_[2] = {nullptr, nullptr};
  HWND languages_ = nullptr;
  int page_ = 0;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HFONT overviewFont_ = nullptr;
  SmallerFonts smallerFonts_;  // the form's face, smaller
  int nextId_ = 1000;
  std::vector<Placed> placed_;
  std::vector<ButtonBinding> buttons_;
  std::vector<LabelBinding> labels_;
  std::vector<EditBinding> edits_;
  std::vector<SpinBinding> spins_;
  std::vector<GridBinding> grids_;
  std::map<std::string, HWND> controls_;
  std::map<int, std::function<void(int code)>> commands_;        // by control id
  std::map<HWND, std::function<void()>> exitHandlers_;           // by control
  std::map<HWND, std::function<void(int delta)>> spinHandlers_;  // by up-down control
  bool mirroring_ = false;
  std::unique_ptr<PreviewWindow> preview_;
};

}  // namespace lodsmith
