#include "win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "core/native_file.h"
#include "ui/form_layout.h"
#include "win32/win32_platform.h"

#ifdef LODSMITH_HAVE_STB_PNG
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
#endif

namespace lodsmith {

namespace {

const wchar_t* const kWindowClass = L"LodsmithWindow";
const wchar_t* const kContainerClass = L"LodsmithPanel";
constexpr UINT kFocusCheck = WM_APP + 1;

// Frames a container draws around itself (GWLP_USERDATA of the container).
constexpr LONG_PTR kNoFrame = 0, kRaised = 1, kSunken = 2;

std::wstring W(const std::string& s) { return Widen(s); }

// Colours are stored as 0x00BBGGRR (a COLORREF); system colours have the
// high bit set and mean "as the system draws it".
bool OwnColour(unsigned c) { return (c & 0x80000000u) == 0; }

int WindowDpi(HWND hwnd) {
  // GetDpiForWindow exists from Windows 10 1607 on; older systems (and
  // Wine's older releases) answer through the screen's device context.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static auto fn = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (fn && hwnd) {
    const UINT dpi = fn(hwnd);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  HDC dc = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

bool FontFamilyExists(const wchar_t* family) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, family, LF_FACESIZE - 1);
  bool found = false;
  HDC dc = ::GetDC(nullptr);
  ::EnumFontFamiliesExW(
      dc, &lf,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) -> int {
        *reinterpret_cast<bool*>(p) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ::ReleaseDC(nullptr, dc);
  return found;
}

void RegisterClasses() {
  RegisterWindowClass(kWindowClass, true, true);
  RegisterWindowClass(kContainerClass, false, true);
}

MainWindow* g_window = nullptr;  // one window per program

// A control's place in its parent's client area.
RECT PlaceIn(HWND control) {
  RECT r;
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

std::wstring WindowText(HWND hwnd) {
  const int n = ::GetWindowTextLengthW(hwnd);
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  ::GetWindowTextW(hwnd, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

bool SetTextIfChanged(HWND hwnd, const std::wstring& text) {
  if (WindowText(hwnd) == text) return false;
  ::SetWindowTextW(hwnd, text.c_str());
  return true;
}

void RegisterWindowClass(const wchar_t* name, bool withIcon, bool eraseBackground) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  if (::GetClassInfoExW(wc.hInstance, name, &wc)) return;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = eraseBackground ? reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1) : nullptr;
  wc.hIcon = withIcon ? ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1)) : nullptr;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = name;
  ::RegisterClassExW(&wc);
}

int ScaleToDpi(int designPixels, int dpi) { return ::MulDiv(designPixels, dpi, 96); }

HFONT CreateFormFont(int dpi) {
  // Points scale with the DPI.
  const int height = -::MulDiv(8, dpi, 72);
  std::wstring face = L"MS Sans Serif";
  if (!FontFamilyExists(face.c_str())) {
    NONCLIENTMETRICSW m{};
    m.cbSize = sizeof m;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) face = m.lfMessageFont.lfFaceName;
  }
  return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
}

MainWindow::MainWindow(TLSForm& form, Win32Platform& platform) : form_(form), platform_(platform) {
  RegisterClasses();
  g_window = this;
  // A fixed-size window: title, system menu, minimise and close.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  hwnd_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, W(form_.Caption).c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, kClientWidth, kClientHeight, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                            nullptr);
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::WndProc));
  dpi_ = WindowDpi(hwnd_);
  MakeFonts();

  for (const layout::Control& c : layout::MainWindowControls()) AddControl(c);

  ApplyDpi(dpi_);
  ShowPage(0);
  Mirror();
}

MainWindow::~MainWindow() {
  preview_.reset();
  grids_.clear();
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  smallerFonts_.Clear();
  if (font_) ::DeleteObject(font_);
  if (overviewFont_) ::DeleteObject(overviewFont_);
  if (g_window == this) g_window = nullptr;
}

// ---- Building -------------------------------------------------------------------------

void MainWindow::MakeFonts() {
  const int height = -::MulDiv(8, dpi_, 72);
  HFONT old = font_, oldOverview = overviewFont_;
  font_ = CreateFormFont(dpi_);
  overviewFont_ = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
  for (const auto& p : placed_) ::SendMessageW(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  // The smaller faces of the fitted captions follow the new one.
  smallerFonts_.Clear();
  for (auto& g : grids_) g.control->SetFont(g.grid == &form_.StringGrid5 ? overviewFont_ : font_);
  if (old) ::DeleteObject(old);
  if (oldOverview) ::DeleteObject(oldOverview);
}

HWND MainWindow::Place(HWND hwnd, HWND container, const char* name, int x, int y, int w, int h) {
  placed_.push_back({hwnd, container == hwnd_ ? nullptr : container, RECT{x, y, x + w, y + h}});
  ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  controls_[name] = hwnd;
  return hwnd;
}

HWND MainWindow::AddContainer(HWND container, const char* name, int x, int y, int w, int h, DWORD frame) {
  HWND c = ::CreateWindowExW(WS_EX_CONTROLPARENT, kContainerClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             10, 10, container, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowLongPtrW(c, GWLP_USERDATA, static_cast<LONG_PTR>(frame));
  ::SetWindowLongPtrW(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ContainerProc));
  return Place(c, container, name, x, y, w, h);
}

void MainWindow::AddControl(const layout::Control& c) {
  TLSForm& f = form_;
  HWND parent = c.parent ? controls_.at(c.parent) : hwnd_;
  switch (c.kind) {
    case layout::Kind::Pages: AddPages(c); break;
    case layout::Kind::Panel:
      AddContainer(parent, c.name, c.x, c.y, c.w, c.h, c.frame == layout::Frame::Sunken ? kSunken : kRaised);
      break;
    case layout::Kind::Label: {
      const DWORD align = c.align == layout::Align::Right    ? SS_RIGHT
                          : c.align == layout::Align::Centre ? SS_CENTER
                                                             : SS_LEFT;
      AddLabel(parent, c.name, f.*c.label, c.x, c.y, c.w, c.h, align, c.wrap, c.warning);
      break;
    }
    case layout::Kind::Button: AddButton(parent, c.name, f.*c.button, c.x, c.y, c.w, c.h, c.click); break;
    case layout::Kind::Edit: AddEdit(parent, c.name, f.*c.edit, c.x, c.y, c.w, c.h, c.exit); break;
    case layout::Kind::Spin: AddSpin(parent, c.name, f.*c.spin, c.x, c.y, c.w, c.h, c.setValue, c.exit); break;
    case layout::Kind::Grid: {
      std::function<bool(int)> editable;
      if (c.editable != layout::Editable::None)
        editable = [rule = c.editable](int col) { return layout::IsEditableColumn(rule, col); };
      GridControl* g = AddGrid(parent, c.name, c.grid(f), c.x, c.y, c.w, c.h, std::move(editable), c.rowHeight);
      if (c.smallFont) g->SetFont(overviewFont_);
      break;
    }
    case layout::Kind::Combo: AddLanguageList(parent, c); break;
  }
}

void MainWindow::AddPages(const layout::Control& c) {
  tabs_ = ::CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 10, 10,
                            hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)),
                            ::GetModuleHandleW(nullptr), nullptr);
  Place(tabs_, nullptr, c.name, c.x, c.y, c.w, c.h);
  const std::pair<const char*, const TTabSheet*> sheets[] = {{"TabSheet1", &form_.TabSheet1},
                                                             {"TabSheet3", &form_.TabSheet3}};
  for (int i = 0; i < 2; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    std::wstring caption = W(sheets[i].second->Caption);
    item.pszText = caption.data();
    ::SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    pages_[i] = ::CreateWindowExW(WS_EX_CONTROLPARENT, kContainerClass, L"",
                                  WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (i == 0 ? WS_VISIBLE : 0), 0, 0, 10,
                                  10, hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(pages_[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ContainerProc));
    controls_[sheets[i].first] = pages_[i];
  }
}

void MainWindow::AddLanguageList(HWND container, const layout::Control& c) {
  const int comboId = nextId_++;
  languages_ = ::CreateWindowExW(
      0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 10, 10, container,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(comboId)), ::GetModuleHandleW(nullptr), nullptr);
  // The drop-down list's height counts in the design height.
  Place(languages_, container, c.name, c.x, c.y, c.w, c.h);
  commands_[comboId] = [this](int code) {
    if (code != CBN_SELCHANGE) return;
    const int i = static_cast<int>(::SendMessageW(languages_, CB_GETCURSEL, 0, 0));
    Run([this, i] {
      form_.SpracheComboBox.ItemIndex = i;
      form_.SpracheComboBoxSelect();
    });
  };
}

void MainWindow::AddButton(HWND container, const char* name, TButton& state, int x, int y, int w, int h,
                           void (TLSForm::*handler)()) {
  const int id = nextId_++;
  HWND b = ::CreateWindowExW(0, WC_BUTTONW, W(state.Caption).c_str(),
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10, 10, container,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  Place(b, container, name, x, y, w, h);
  commands_[id] = [this, handler](int code) {
    if (code == BN_CLICKED) Run([this, handler] { (form_.*handler)(); });
  };
  buttons_.push_back({b, &state});
}

void MainWindow::AddLabel(HWND container, const char* name, TLabel& state, int x, int y, int w, int h, DWORD align,
                          bool wrap, bool red) {
  // A static control breaks words at its width by itself (SS_LEFT); a
  // label that must stay on one line says so.
  DWORD style = WS_CHILD | WS_VISIBLE | SS_NOPREFIX | align;
  if (!wrap && align == SS_LEFT) style = (style & ~static_cast<DWORD>(SS_LEFT)) | SS_LEFTNOWORDWRAP;
  // A word-wrapped label is drawn by the window (DrawLabel) exactly as its
  // fit was measured: the system's static control breaks its lines by a
  // measure of its own and may cut the last word.
  if (wrap) style = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW;
  HWND l = ::CreateWindowExW(0, WC_STATICW, W(state.Caption).c_str(), style, 0, 0, 10, 10, container, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
  const bool autoSize = w < 0;
  Place(l, container, name, x, y, autoSize ? 1 : w, autoSize ? 13 : h);
  labels_.push_back({l, &state, autoSize, red, wrap, align == SS_CENTER});
}

void MainWindow::AddEdit(HWND container, const char* name, TEdit& state, int x, int y, int w, int h,
                         void (TLSForm::*exitHandler)()) {
  const int id = nextId_++;
  HWND e = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, W(state.Text).c_str(),
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10, 10, container,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  Place(e, container, name, x, y, w, h);
  commands_[id] = [this, e, &state](int code) {
    if (code == EN_CHANGE && !mirroring_) state.Text = Narrow(WindowText(e));
    if (code == EN_KILLFOCUS && exitHandlers_.count(e))
      ::PostMessageW(hwnd_, kFocusCheck, 0, reinterpret_cast<LPARAM>(e));
  };
  if (exitHandler) exitHandlers_[e] = [this, exitHandler] { (form_.*exitHandler)(); };
  edits_.push_back({e, &state});
}

void MainWindow::AddSpin(HWND container, const char* name, TSpinEdit& state, int x, int y, int w, int h,
                         void (TLSForm::*setValue)(int), void (TLSForm::*exitHandler)()) {
  // A read-only edit with arrows: the value changes with the arrows (the
  // buttons, the keys and the wheel) only. The edit takes the whole design
  // box; the arrows attach to its right end inside that box (AttachArrows).
  const int id = nextId_++;
  HWND e = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY, 0, 0,
                             10, 10, container, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
  Place(e, container, name, x, y, w, h);
  HWND arrows = ::CreateWindowExW(
      0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_NOTHOUSANDS,
      0, 0, 10, 10, container, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(arrows, UDM_SETRANGE32, static_cast<WPARAM>(state.MinValue), state.MaxValue);
  ::SendMessageW(arrows, UDM_SETPOS32, 0, state.Value);
  // The model's helper keeps the value within the limits and runs the
  // change handler when it really changed.
  spinHandlers_[arrows] = [this, setValue, &state](int delta) {
    const int v = state.Value + delta;
    Run([this, setValue, v] { (form_.*setValue)(v); });
  };
  commands_[id] = [this, e](int code) {
    if (code == EN_KILLFOCUS && exitHandlers_.count(e))
      ::PostMessageW(hwnd_, kFocusCheck, 0, reinterpret_cast<LPARAM>(e));
  };
  if (exitHandler) exitHandlers_[e] = [this, exitHandler] { (form_.*exitHandler)(); };
  spins_.push_back({e, arrows, &state});
}

void MainWindow::AttachArrows(const SpinBinding& s) {
  // Set as the buddy, the arrows narrow the edit from the right and take
  // that end of its box themselves, joined to its border.
  ::SendMessageW(s.arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(s.edit), 0);
}

GridControl* MainWindow::AddGrid(HWND container, const char* name, StringGrid& grid, int x, int y, int w, int h,
                                 std::function<bool(int)> editable, int rowHeight) {
  const int id = nextId_++;
  auto control = std::make_unique<GridControl>(container, id, grid, std::move(editable), rowHeight);
  GridControl* g = control.get();
  Place(g->Handle(), container, name, x, y, w, h);
  g->SetFont(font_);
  BindGridEvents(*g, grid);
  commands_[id] = [this, g](int code) {
    if (code == EN_KILLFOCUS && exitHandlers_.count(g->Handle()))
      ::PostMessageW(hwnd_, kFocusCheck, 0, reinterpret_cast<LPARAM>(g->Handle()));
  };
  grids_.push_back({std::move(control), &grid});
  return g;
}

void MainWindow::BindGridEvents(GridControl& control, StringGrid& grid) {
  TLSForm::GridEvents events = form_.GridEventsOf(grid);
  auto select = std::move(events.select);
  auto edit = std::move(events.edit);
  auto exit = std::move(events.exit);
  if (select) {
    control.selectAttempt = [this, select](int col, int row) {
      bool can = true;
      // The handler decides and records the current cell.
      Run([&] { select(col, row, can); });
      return can;
    };
  }
  // The handler stores the typed text in the cell and checks it.
  if (edit)
    control.textEdited = [this, edit](int col, int row, const std::string& text) {
      Run([&] { edit(col, row, text); });
    };
  if (exit) exitHandlers_[control.Handle()] = exit;
}

// ---- Layout -----------------------------------------------------------------------------

void MainWindow::ApplyDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : 96;
  // The client area is the design's, scaled; the frame is what the system
  // adds to it.
  RECT r{0, 0, ScaleToDpi(kClientWidth, dpi_), ScaleToDpi(kClientHeight, dpi_)};
  ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MakeFonts();
  for (const auto& p : placed_) {
    ::MoveWindow(p.hwnd, ScaleToDpi(p.design.left, dpi_), ScaleToDpi(p.design.top, dpi_),
                 ScaleToDpi(p.design.right - p.design.left, dpi_), ScaleToDpi(p.design.bottom - p.design.top, dpi_),
                 TRUE);
  }
  for (const auto& s : spins_) AttachArrows(s);
  for (auto& g : grids_) g.control->SetDpi(dpi_);
  LayoutPages();
  for (const auto& l : labels_) FitLabel(l);
}

void MainWindow::LayoutPages() {
  // The pages fill the tab control's display area and lie above it.
  RECT area;
  ::GetClientRect(tabs_, &area);
  ::SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (HWND page : pages_)
    ::SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
}

HFONT MainWindow::FontOfPixels(int px) {
  if (px >= FormFontPixels()) return font_;
  return smallerFonts_.Get(font_, px);
}

int MainWindow::FormFontPixels() const { return ::MulDiv(8, dpi_, 72); }

int MainWindow::RoomToTheRight(HWND label) const {
  // Up to the next control on its line (keeping a small gap) or the edge
  // of its parent.
  HWND parent = ::GetParent(label);
  RECT own = PlaceIn(label), area;
  ::GetClientRect(parent, &area);
  LONG right = area.right;
  for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (c == label || !::IsWindowVisible(c)) continue;
    const RECT r = PlaceIn(c);
    if (r.left <= own.left || r.top >= own.bottom || r.bottom <= own.top) continue;
    right = std::min<LONG>(right, r.left - ScaleToDpi(4, dpi_));
  }
  return static_cast<int>(right - own.left);
}

void MainWindow::FitLabel(const LabelBinding& l) {
  // A caption sits in a box laid out for a narrow face; where the face the
  // machine has is wider, the caption is set a pixel smaller at a time,
  // down to a floor below which it would no longer be legible, rather than
  // cut.
  const std::wstring text = W(l.state->Caption);
  const RECT box = PlaceIn(l.hwnd);
  const int width = box.right - box.left, height = box.bottom - box.top;
  const int room = l.autoSize ? RoomToTheRight(l.hwnd) : width;
  HDC dc = ::GetDC(l.hwnd);
  HGDIOBJ old = ::GetCurrentObject(dc, OBJ_FONT);
  SIZE extent{0, 0};
  auto fits = [&](int px) {
    ::SelectObject(dc, FontOfPixels(px));
    if (l.wrap) {
      // Under Wine a line is drawn a little wider than DrawText measures
      // it (about 2 %): the measure keeps that much room to spare.
      const int spare = width / 25;
      RECT r{0, 0, width - spare, 0};
      ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | LabelFormat(l));
      return r.right <= width - spare && r.bottom <= height;
    }
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx + (l.autoSize ? 2 : 0) <= room;
  };
  int px = FormFontPixels();
  const int floor = ScaleToDpi(kMinCaptionPixels, dpi_);
  while (px > floor && !fits(px)) --px;
  fits(px);  // the extent at the size chosen
  ::SelectObject(dc, old);
  ::ReleaseDC(l.hwnd, dc);
  HFONT font = FontOfPixels(px);
  if (reinterpret_cast<HFONT>(::SendMessageW(l.hwnd, WM_GETFONT, 0, 0)) != font)
    ::SendMessageW(l.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  // A label without a size grows with its text, as the form's auto-sized
  // labels do.
  if (l.autoSize)
    ::MoveWindow(l.hwnd, box.left, box.top, extent.cx + 2, std::max<LONG>(extent.cy, ScaleToDpi(13, dpi_)), TRUE);
}

UINT MainWindow::LabelFormat(const LabelBinding& l) {
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(l.hwnd, GWL_STYLE));
  const UINT align = l.centred ? DT_CENTER : (style & SS_TYPEMASK) == SS_RIGHT ? DT_RIGHT : DT_LEFT;
  return align | DT_EXPANDTABS | DT_NOPREFIX | (l.wrap ? DT_WORDBREAK : DT_SINGLELINE);
}

void MainWindow::DrawLabel(const LabelBinding& l, HDC dc) const {
  RECT r;
  ::GetClientRect(l.hwnd, &r);
  ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  ::SetBkMode(dc, TRANSPARENT);
  const COLORREF colour = !::IsWindowEnabled(l.hwnd) ? ::GetSysColor(COLOR_GRAYTEXT)
                          : l.red                    ? RGB(255, 0, 0)
                                                     : ::GetSysColor(COLOR_BTNTEXT);
  ::SetTextColor(dc, colour);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(l.hwnd, WM_GETFONT, 0, 0)));
  const std::wstring text = W(l.state->Caption);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, LabelFormat(l));
  ::SelectObject(dc, old);
}

bool MainWindow::CaptionFits(const std::string& name) const {
  for (const auto& l : labels_) {
    if (Control(name) != l.hwnd) continue;
    const std::wstring text = W(l.state->Caption);
    const RECT box = PlaceIn(l.hwnd);
    const int width = box.right - box.left, height = box.bottom - box.top;
    HDC dc = ::GetDC(l.hwnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(l.hwnd, WM_GETFONT, 0, 0)));
    RECT r{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | LabelFormat(l));
    ::SelectObject(dc, old);
    ::ReleaseDC(l.hwnd, dc);
    return r.right <= width && r.bottom <= height;
  }
  return false;
}

void MainWindow::ShowPage(int page) {
  page_ = std::clamp(page, 0, 1);
  ::SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(page_), 0);
  ::ShowWindow(pages_[page_], SW_SHOW);
  ::ShowWindow(pages_[1 - page_], SW_HIDE);
}

// ---- Running handlers -----------------------------------------------------------------

void MainWindow::Run(const std::function<void()>& handler) {
  form_.Dispatch(handler);
  Mirror();
}

void MainWindow::Mirror() {
  if (mirroring_ || !hwnd_) return;
  mirroring_ = true;
  const TLSForm& f = form_;
  SetTextIfChanged(hwnd_, W(f.Caption));
  for (int i = 0; i < 2; ++i) {
    std::wstring caption = W(i == 0 ? f.TabSheet1.Caption : f.TabSheet3.Caption);
    wchar_t shown[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = shown;
    item.cchTextMax = 255;
    ::SendMessageW(tabs_, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    if (caption != shown) {
      item.pszText = caption.data();
      ::SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
  }
  for (auto& b : buttons_) {
    SetTextIfChanged(b.hwnd, W(b.state->Caption));
    ::EnableWindow(b.hwnd, b.state->Enabled);
    ::ShowWindow(b.hwnd, b.state->Visible ? SW_SHOWNA : SW_HIDE);
    ::InvalidateRect(b.hwnd, nullptr, FALSE);  // the caption's colour
  }
  for (auto& l : labels_) {
    const std::wstring text = W(l.state->Caption);
    if (WindowText(l.hwnd) != text) {
      ::SetWindowTextW(l.hwnd, text.c_str());
      FitLabel(l);
    }
    ::EnableWindow(l.hwnd, l.state->Enabled);
    ::ShowWindow(l.hwnd, l.state->Visible ? SW_SHOWNA : SW_HIDE);
  }
  for (auto& e : edits_) {
    SetTextIfChanged(e.hwnd, W(e.state->Text));
    ::EnableWindow(e.hwnd, e.state->Enabled);
  }
  for (auto& s : spins_) {
    ::SendMessageW(s.arrows, UDM_SETRANGE32, static_cast<WPARAM>(s.state->MinValue),
                   std::max(s.state->MinValue, s.state->MaxValue));
    ::SendMessageW(s.arrows, UDM_SETPOS32, 0, s.state->Value);
    SetTextIfChanged(s.edit, std::to_wstring(s.state->Value));
    ::EnableWindow(s.edit, s.state->Enabled);
    ::EnableWindow(s.arrows, s.state->Enabled);
  }
  {
    const int count = static_cast<int>(::SendMessageW(languages_, CB_GETCOUNT, 0, 0));
    bool same = count == static_cast<int>(f.SpracheComboBox.Items.size());
    for (int i = 0; same && i < count; ++i) {
      const int n = static_cast<int>(::SendMessageW(languages_, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
      std::wstring item(static_cast<std::size_t>(std::max(0, n)) + 1, L'\0');
      ::SendMessageW(languages_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
      item.resize(static_cast<std::size_t>(std::max(0, n)));
      same = item == W(f.SpracheComboBox.Items[static_cast<std::size_t>(i)]);
    }
    if (!same) {
      ::SendMessageW(languages_, CB_RESETCONTENT, 0, 0);
      for (const auto& name : f.SpracheComboBox.Items)
        ::SendMessageW(languages_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name).c_str()));
    }
    const int index = f.SpracheComboBox.ItemIndex;
    ::SendMessageW(languages_, CB_SETCURSEL,
                   static_cast<WPARAM>(index < static_cast<int>(f.SpracheComboBox.Items.size()) ? index : -1), 0);
    ::EnableWindow(languages_, f.SpracheComboBox.Enabled);
  }
  for (auto& g : grids_) {
    g.control->SetColumnWidths(g.grid->ColWidths);
    g.control->Sync();
  }
  // The preview follows the grids and the document as they are edited.
  if (preview_ && preview_->Visible()) preview_->Refresh();
  mirroring_ = false;
}

void MainWindow::ShowPreview() {
  if (!preview_) preview_ = std::make_unique<PreviewWindow>(form_, hwnd_, dpi_);
  preview_->Show();
}

void MainWindow::FocusControl(const std::string& name) {
  HWND w = Control(name);
  if (!w) return;
  // A control on the hidden page brings its page to the front first.
  for (int i = 0; i < 2; ++i)
    if (::IsChild(pages_[i], w)) ShowPage(i);
  ::SetFocus(w);
}

void MainWindow::CheckFocusLeft(HWND control) {
  if (mirroring_) return;
  HWND now = ::GetFocus();
  // Focus that went to a message box or a dialog has not left the control.
  if (!now || ::GetAncestor(now, GA_ROOT) != hwnd_) return;
  if (now == control || ::IsChild(control, now)) return;
  auto it = exitHandlers_.find(control);
  if (it != exitHandlers_.end()) {
    auto run = it->second;
    Run(run);
  }
}

// ---- Messages ----------------------------------------------------------------------------

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_window && g_window->hwnd_ == hwnd) return g_window->Handle(hwnd, msg, wp, lp);
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK MainWindow::ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    // The controls tell their parent; the window answers for all of them.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
      if (g_window) return g_window->Handle(hwnd, msg, wp, lp);
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      const LONG_PTR frame = ::GetWindowLongPtrW(hwnd, GWLP_USERDATA);
      if (frame != kNoFrame) {
        RECT r;
        ::GetClientRect(hwnd, &r);
        ::DrawEdge(dc, &r, frame == kRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
      }
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    default: break;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT MainWindow::Handle(HWND from, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: {
      auto it = commands_.find(LOWORD(wp));
      if (it != commands_.end() && lp) {
        auto command = it->second;  // the handler may rebuild the map
        command(HIWORD(wp));
        return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->hwndFrom == tabs_ && hdr->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(::SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
        return 0;
      }
      if (hdr->code == UDN_DELTAPOS) {
        auto it = spinHandlers_.find(hdr->hwndFrom);
        if (it != spinHandlers_.end()) {
          const int delta = reinterpret_cast<const NMUPDOWN*>(lp)->iDelta;
          auto handler = it->second;
          handler(delta);
          return TRUE;  // the model set the value; Mirror has shown it
        }
      }
      if (hdr->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        // A caption in a colour of its own (the save buttons turn red):
        // the system draws the button, the caption is drawn over it.
        auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(lp);
        for (const auto& b : buttons_) {
          if (b.hwnd != hdr->hwndFrom || !OwnColour(b.state->FontColor)) continue;
          if (cd->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
          if (cd->dwDrawStage == CDDS_POSTPAINT) {
            RECT r = cd->rc;
            ::InflateRect(&r, -3, -3);
            ::FillRect(cd->hdc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
            ::SetBkMode(cd->hdc, TRANSPARENT);
            ::SetTextColor(cd->hdc, ::IsWindowEnabled(b.hwnd) ? static_cast<COLORREF>(b.state->FontColor)
                                                              : ::GetSysColor(COLOR_GRAYTEXT));
            HGDIOBJ old = ::SelectObject(cd->hdc, font_);
            const std::wstring text = W(b.state->Caption);
            ::DrawTextW(cd->hdc, text.c_str(), static_cast<int>(text.size()), &r,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            ::SelectObject(cd->hdc, old);
            return CDRF_DODEFAULT;
          }
        }
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      HWND control = reinterpret_cast<HWND>(lp);
      ::SetBkMode(dc, TRANSPARENT);
      for (const auto& l : labels_)
        if (l.hwnd == control && l.red) ::SetTextColor(dc, RGB(255, 0, 0));
      // Read-only edits (the spin edits) keep the window colour.
      wchar_t cls[16] = {};
      ::GetClassNameW(control, cls, 16);
      if (lstrcmpiW(cls, L"Edit") == 0) return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      for (const auto& l : labels_)
        if (l.hwnd == item->hwndItem) {
          DrawLabel(l, item->hDC);
          return TRUE;
        }
      break;
    }
    case kFocusCheck: CheckFocusLeft(reinterpret_cast<HWND>(lp)); return 0;
    case WM_SETCURSOR:
      if (platform_.Busy()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wp));
      const RECT* suggested = reinterpret_cast<const RECT*>(lp);
      ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      // A fixed size, even where it exceeds the screen (a small screen at
      // a high DPI): the layout does not stretch.
      RECT r{0, 0, ScaleToDpi(kClientWidth, dpi_), ScaleToDpi(kClientHeight, dpi_)};
      ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMinTrackSize = info->ptMaxTrackSize = POINT{r.right - r.left, r.bottom - r.top};
      return 0;
    }
    case WM_CLOSE: {
      bool canClose = true;
      Run([&] { form_.FormCloseQuery(canClose); });
      if (canClose) ::DestroyWindow(hwnd_);
      return 0;
    }
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: break;
  }
  return ::DefWindowProcW(from, msg, wp, lp);
}

// ---- Lookup and picture ----------------------------------------------------------------

HWND MainWindow::Control(const std::string& name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

GridControl* MainWindow::Grid(const std::string& name) const {
  HWND h = Control(name);
  for (const auto& g : grids_)
    if (g.control->Handle() == h) return g.control.get();
  return nullptr;
}

bool MainWindow::SaveScreenshot(const std::string& path) { return SaveWindowPicture(hwnd_, path); }

bool SaveWindowPicture(HWND hwnd, const std::string& path) {
  RECT client;
  ::GetClientRect(hwnd, &client);
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return false;
  HDC windowDc = ::GetDC(hwnd);
  HDC mem = ::CreateCompatibleDC(windowDc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  // What is on the screen, children included; the window was just painted.
  bool ok = ::BitBlt(mem, 0, 0, w, h, windowDc, 0, 0, SRCCOPY) != 0;
  ::GdiFlush();
  const int stride = (w * 3 + 3) & ~3;
  std::string bytes;
#ifdef LODSMITH_HAVE_STB_PNG
  const bool png = path.size() > 4 &&
                   (path.compare(path.size() - 4, 4, ".png") == 0 || path.compare(path.size() - 4, 4, ".PNG") == 0);
#else
  const bool png = false;
#endif
  if (ok && png) {
#ifdef LODSMITH_HAVE_STB_PNG
    // The DIB holds blue, green, red; the PNG wants red first.
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
    const auto* src = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c)
          rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] =
              src[static_cast<std::size_t>(y) * stride + x * 3 + 2 - c];
    stbi_write_png_to_func(
        [](void* ctx, void* data, int size) {
          static_cast<std::string*>(ctx)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
        },
        &bytes, w, h, 3, rgb.data(), w * 3);
    ok = !bytes.empty();
#endif
  } else if (ok) {
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * h;
    bytes.append(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), static_cast<std::size_t>(stride) * h);
  }
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(hwnd, windowDc);
  if (!ok) return false;
  std::FILE* out = OpenFile(path, "wb");
  if (!out) return false;
  ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && ok;
}

}  // namespace lodsmith
