#include "win32/grid_control.h"

#include <commctrl.h>

#include <algorithm>

#include "core/grid_columns.h"
#include "core/native_file.h"

namespace lodsmith {

namespace {

const wchar_t* const kClassName = L"LodsmithGrid";
constexpr int kDefaultColWidth = 64;

void RegisterOnce() {
  static bool done = false;
  if (done) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DefWindowProcW;  // replaced per window once it exists
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;  // Paint fills everything
  wc.lpszClassName = kClassName;
  ::RegisterClassExW(&wc);
  done = true;
}

int Scaled(int px, int dpi) { return ::MulDiv(px, dpi, 96); }

// A header caption is set a pixel smaller at a time rather than cut, down
// to this height (at 96 dpi) below which it would no longer be legible.
constexpr int kMinHeaderPixels = 8;
// The blank kept on either side of a cell's text.
constexpr int kTextPadding = 2;

int TextWidth(HDC dc, HFONT font, const std::wstring& text) {
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{0, 0};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  return size.cx;
}

}  // namespace

GridControl::GridControl(HWND parent, int id, StringGrid& grid, std::function<bool(int)> editable, int rowHeight)
    : grid_(grid), editable_(std::move(editable)), designRowHeight_(rowHeight) {
  RegisterOnce();
  hwnd_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, 0, 0, 10, 10, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  // The object serves the window's messages from here on; the class's
  // procedure stays the default so that no message arrives before this.
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GridControl::WndProc));
}

GridControl::~GridControl() {
  if (hwnd_ && ::IsWindow(hwnd_)) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

void GridControl::SetColumnWidths(const std::vector<int>& widths) {
  widths_ = widths;
  UpdateScrollBars();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void GridControl::SetDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : 96;
  smallerFonts_.Clear();
  UpdateScrollBars();
}

void GridControl::SetFont(HFONT font) {
  font_ = font;
  smallerFonts_.Clear();
  if (editor_) ::SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

int GridControl::ColWidth(int col) const {
  int w = kDefaultColWidth;
  if (!widths_.empty()) w = widths_[std::min<std::size_t>(static_cast<std::size_t>(col), widths_.size() - 1)];
  return Scaled(w, dpi_);
}

int GridControl::RowHeight() const { return Scaled(designRowHeight_, dpi_); }

int GridControl::DataRows() const { return std::max(0, grid_.RowCount() - 1); }

int GridControl::VisibleRows() const {
  RECT rc;
  ::GetClientRect(hwnd_, &rc);
  return std::max(1, static_cast<int>(rc.bottom - RowHeight()) / RowHeight());
}

RECT GridControl::CellRect(int col, int row) const {
  RECT r{0, 0, 0, 0};
  int x = 0;
  for (int c = leftCol_; c < col && c < grid_.ColCount(); ++c) x += ColWidth(c);
  r.left = x;
  r.right = x + ColWidth(col);
  r.top = (row == grid::kHeaderRow ? 0 : (row - topRow_ + 1) * RowHeight());
  r.bottom = r.top + RowHeight();
  return r;
}

bool GridControl::CellAt(int x, int y, int& col, int& row) const {
  if (y < RowHeight() || x < 0) return false;
  row = topRow_ + (y - RowHeight()) / RowHeight();
  if (row > DataRows()) return false;
  int left = 0;
  for (int c = leftCol_; c < grid_.ColCount(); ++c) {
    if (x < left + ColWidth(c)) {
      col = c;
      return true;
    }
    left += ColWidth(c);
  }
  return false;
}

void GridControl::Sync() {
  // A grid that shrank below the editor's cell loses the editor.
  if (editor_ && (editCol_ >= grid_.ColCount() || editRow_ > DataRows())) EndEdit();
  if (editor_) {
    const std::wstring now = Widen(grid_.Cell(editCol_, editRow_));
    wchar_t buf[1024];
    ::GetWindowTextW(editor_, buf, 1024);
    if (now != buf) {
      settingEditor_ = true;
      ::SetWindowTextW(editor_, now.c_str());
      settingEditor_ = false;
    }
  }
  topRow_ = std::clamp(topRow_, 1, std::max(1, DataRows()));
  leftCol_ = std::clamp(leftCol_, 0, std::max(0, grid_.ColCount() - 1));
  UpdateScrollBars();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

HFONT GridControl::HeaderFont(int col) const {
  HFONT base = font_ ? font_ : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (col < 0 || col >= grid_.ColCount()) return base;
  const std::wstring text = Widen(grid_.Cell(col, grid::kHeaderRow));
  const int room = ColWidth(col) - 2 * kTextPadding;
  HDC dc = ::GetDC(hwnd_);
  HFONT chosen = base;
  if (TextWidth(dc, base, text) > room) {
    // Only a caption that would be cut gets a smaller face of its own.
    LOGFONTW lf{};
    ::GetObjectW(base, sizeof lf, &lf);
    const int floor = Scaled(kMinHeaderPixels, dpi_);
    for (int px = std::abs(static_cast<int>(lf.lfHeight)) - 1; px >= floor; --px) {
      chosen = smallerFonts_.Get(base, px);
      if (TextWidth(dc, chosen, text) <= room) break;
    }
  }
  ::ReleaseDC(hwnd_, dc);
  return chosen;
}

bool GridControl::HeaderFits(int col) const {
  HDC dc = ::GetDC(hwnd_);
  const int width = TextWidth(dc, HeaderFont(col), Widen(grid_.Cell(col, grid::kHeaderRow)));
  ::ReleaseDC(hwnd_, dc);
  return width <= ColWidth(col) - 2 * kTextPadding;
}

int GridControl::FirstColumnShowingTheLast(int width) const {
  // The leftmost column from which every later column fits `width`.
  int used = 0, first = grid_.ColCount();
  while (first > 0 && used + ColWidth(first - 1) <= width) used += ColWidth(--first);
  return std::min(first, std::max(0, grid_.ColCount() - 1));
}

void GridControl::UpdateScrollBars() {
  if (!hwnd_ || updatingBars_) return;
  updatingBars_ = true;
  // The room without bars: the window less its border. A bar shows only
  // where the rows or columns do not fit; one bar takes room from the
  // other direction, which may then need its bar too.
  RECT window, border{0, 0, 0, 0};
  ::GetWindowRect(hwnd_, &window);
  ::AdjustWindowRectEx(&border, WS_CHILD, FALSE, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  const int fullW = (window.right - window.left) - (border.right - border.left);
  const int fullH = (window.bottom - window.top) - (border.bottom - border.top);
  const int barW = ::GetSystemMetrics(SM_CXVSCROLL), barH = ::GetSystemMetrics(SM_CYHSCROLL);
  int totalW = 0;
  for (int c = 0; c < grid_.ColCount(); ++c) totalW += ColWidth(c);
  auto rowsFit = [&](int height) { return std::max(1, (height - RowHeight()) / RowHeight()) >= DataRows(); };
  bool needH = totalW > fullW;
  bool needV = !rowsFit(fullH - (needH ? barH : 0));
  if (needV && !needH) {
    needH = totalW > fullW - barW;
    needV = !rowsFit(fullH - (needH ? barH : 0));
  }
  const int height = fullH - (needH ? barH : 0), width = fullW - (needV ? barW : 0);
  const int shownRows = std::max(1, (height - RowHeight()) / RowHeight());
  const int lastLeft = needH ? std::max(1, FirstColumnShowingTheLast(width)) : 0;
  topRow_ = needV ? std::clamp(topRow_, 1, std::max(1, DataRows() - shownRows + 1)) : 1;
  leftCol_ = std::clamp(leftCol_, 0, lastLeft);

  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 1;
  si.nMax = needV ? std::max(1, DataRows()) : 1;
  si.nPage = static_cast<UINT>(needV ? shownRows : 2);
  si.nPos = topRow_;
  ::SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
  ::ShowScrollBar(hwnd_, SB_VERT, needV);
  si.nMin = 0;
  si.nMax = lastLeft;
  si.nPage = needH ? 1 : 2;
  si.nPos = leftCol_;
  ::SetScrollInfo(hwnd_, SB_HORZ, &si, TRUE);
  ::ShowScrollBar(hwnd_, SB_HORZ, needH);
  updatingBars_ = false;
}

void GridControl::ScrollIntoView(int col, int row) {
  if (row < topRow_) topRow_ = row;
  if (row >= topRow_ + VisibleRows()) topRow_ = row - VisibleRows() + 1;
  if (col < leftCol_) leftCol_ = col;
  RECT rc;
  ::GetClientRect(hwnd_, &rc);
  while (col > leftCol_ && CellRect(col, row).right > rc.right) ++leftCol_;
  topRow_ = std::max(1, topRow_);
  UpdateScrollBars();
}

bool GridControl::MoveTo(int col, int row) {
  if (col < 0 || col >= grid_.ColCount() || row < 1 || row > DataRows()) return false;
  if (col == grid_.Col && row == grid_.Row) return true;
  EndEdit();
  bool can = true;
  if (selectAttempt) {
    can = selectAttempt(col, row);  // the handler records the current cell
  } else {
    grid_.Col = col;
    grid_.Row = row;
  }
  if (can) {
    grid_.Col = col;
    grid_.Row = row;
    ScrollIntoView(col, row);
  }
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  return can;
}

void GridControl::BeginEdit(const std::wstring* firstChar) {
  const int col = grid_.Col, row = grid_.Row;
  if (!IsEditableColumn(col) || row < 1 || row > DataRows()) return;
  if (!editor_) {
    ScrollIntoView(col, row);
    const RECT r = CellRect(col, row);
    editor_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, r.left + 1, r.top + 1,
                                r.right - r.left - 2, r.bottom - r.top - 2, hwnd_, nullptr, ::GetModuleHandleW(nullptr),
                                nullptr);
    ::SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ::SetWindowSubclass(editor_, &GridControl::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
    editCol_ = col;
    editRow_ = row;
    settingEditor_ = true;
    ::SetWindowTextW(editor_, Widen(grid_.Cell(col, row)).c_str());
    settingEditor_ = false;
    ::SetFocus(editor_);
  }
  if (firstChar) {
    // Typing starts a new text, as in the Qt view.
    ::SendMessageW(editor_, EM_SETSEL, 0, -1);
    ::SendMessageW(editor_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(firstChar->c_str()));
  } else {
    ::SendMessageW(editor_, EM_SETSEL, 0, -1);
  }
}

void GridControl::EndEdit() {
  if (!editor_) return;
  HWND e = editor_;
  editor_ = nullptr;
  editCol_ = editRow_ = -1;
  const bool hadFocus = ::GetFocus() == e;
  ::RemoveWindowSubclass(e, &GridControl::EditProc, 1);
  ::DestroyWindow(e);
  if (hadFocus) ::SetFocus(hwnd_);
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void GridControl::OnEditChange() {
  if (settingEditor_ || !editor_) return;
  const int len = ::GetWindowTextLengthW(editor_);
  std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
  ::GetWindowTextW(editor_, text.data(), len + 1);
  text.resize(static_cast<std::size_t>(len));
  const std::string typed = Narrow(text);
  const int col = editCol_, row = editRow_;
  if (textEdited) textEdited(col, row, typed);
  // The handler may have refused the text and emptied the cell: the editor
  // shows that at once, not when it closes.
  if (editor_ && col < grid_.ColCount() && row < grid_.RowCount() && grid_.Cell(col, row) != typed) {
    settingEditor_ = true;
    ::SetWindowTextW(editor_, Widen(grid_.Cell(col, row)).c_str());
    ::SendMessageW(editor_, EM_SETSEL, 0, -1);
    settingEditor_ = false;
  }
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void GridControl::NotifyFocusLost() {
  // Told as an edit control tells it, so that the window treats the grid
  // (and its editor) like its other controls; the window then decides
  // whether the focus really left.
  ::SendMessageW(::GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd_), EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(hwnd_));
}

bool GridControl::KeyDown(WPARAM key) {
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  int col = grid_.Col, row = grid_.Row;
  switch (key) {
    case VK_LEFT: --col; break;
    case VK_RIGHT: ++col; break;
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_PRIOR: row = std::max(1, row - VisibleRows()); break;
    case VK_NEXT: row = std::min(DataRows(), row + VisibleRows()); break;
    case VK_HOME: col = 0; break;
    case VK_END: col = grid_.ColCount() - 1; break;
    case VK_TAB: col += shift ? -1 : 1; break;
    case VK_F2: BeginEdit(nullptr); return true;
    default: return false;
  }
  MoveTo(col, row);
  return true;
}

LRESULT CALLBACK GridControl::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<GridControl*>(data);
  if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
  if (msg == WM_KEYDOWN) {
    switch (wp) {
      case VK_RETURN:
      case VK_ESCAPE: self->EndEdit(); return 0;
      case VK_UP:
      case VK_DOWN:
      case VK_TAB:
      case VK_PRIOR:
      case VK_NEXT: self->KeyDown(wp); return 0;
      default: break;
    }
  }
  if (msg == WM_CHAR && (wp == L'\r' || wp == 27 || wp == L'\t')) return 0;  // no beep
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK GridControl::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<GridControl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

LRESULT GridControl::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      Paint(dc);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: UpdateScrollBars(); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      ::SetFocus(hwnd_);
      int col, row;
      if (!CellAt(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), col, row)) return 0;
      const bool again = col == grid_.Col && row == grid_.Row;
      if (MoveTo(col, row) && (again || msg == WM_LBUTTONDBLCLK)) BeginEdit(nullptr);
      return 0;
    }
    case WM_KEYDOWN:
      if (KeyDown(wp)) return 0;
      break;
    case WM_CHAR:
      if (wp >= 32 && wp != 127) {
        const std::wstring ch(1, static_cast<wchar_t>(wp));
        BeginEdit(&ch);
        return 0;
      }
      return 0;
    case WM_COMMAND:
      if (HIWORD(wp) == EN_CHANGE && reinterpret_cast<HWND>(lp) == editor_) OnEditChange();
      if (HIWORD(wp) == EN_KILLFOCUS) NotifyFocusLost();
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: {
      const bool vertical = msg == WM_VSCROLL;
      int& pos = vertical ? topRow_ : leftCol_;
      const int first = vertical ? 1 : 0;
      RECT rc;
      ::GetClientRect(hwnd_, &rc);
      const int last = vertical ? std::max(1, DataRows() - VisibleRows() + 1)
                                : FirstColumnShowingTheLast(static_cast<int>(rc.right));
      switch (LOWORD(wp)) {
        case SB_LINEUP: --pos; break;
        case SB_LINEDOWN: ++pos; break;
        case SB_PAGEUP: pos -= vertical ? VisibleRows() : 1; break;
        case SB_PAGEDOWN: pos += vertical ? VisibleRows() : 1; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = HIWORD(wp); break;
        default: break;
      }
      pos = std::clamp(pos, first, last);
      EndEdit();
      UpdateScrollBars();
      ::InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      const int steps = -GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3;
      for (int i = 0; i < std::abs(steps); ++i) Handle(WM_VSCROLL, steps > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
      return 0;
    }
    case WM_SETFOCUS: ::InvalidateRect(hwnd_, nullptr, FALSE); break;
    case WM_KILLFOCUS:
      ::InvalidateRect(hwnd_, nullptr, FALSE);
      NotifyFocusLost();
      break;
    default: break;
  }
  return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

void GridControl::Paint(HDC dc) {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  // Drawn off screen first: a grid of several thousand cells flickers
  // otherwise while the user scrolls.
  HDC mem = ::CreateCompatibleDC(dc);
  HBITMAP bmp = ::CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
  HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
  HGDIOBJ oldFont = ::SelectObject(mem, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
  ::FillRect(mem, &client, ::GetSysColorBrush(COLOR_WINDOW));
  ::SetBkMode(mem, TRANSPARENT);
  HPEN line = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldPen = ::SelectObject(mem, line);
  const bool focused = ::GetFocus() == hwnd_ || (editor_ && ::GetFocus() == editor_);

  const int rows = DataRows();
  const int lastRow = std::min(rows, topRow_ + VisibleRows());
  for (int row = grid::kHeaderRow; row <= lastRow; ++row) {
    if (row != grid::kHeaderRow && row < topRow_) continue;
    for (int col = leftCol_; col < grid_.ColCount(); ++col) {
      RECT r = CellRect(col, row);
      if (r.left > client.right) break;
      const bool header = row == grid::kHeaderRow;
      const bool current = !header && col == grid_.Col && row == grid_.Row;
      if (header) {
        ::FillRect(mem, &r, ::GetSysColorBrush(COLOR_BTNFACE));
        ::SetTextColor(mem, ::GetSysColor(COLOR_BTNTEXT));
      } else if (current) {
        ::FillRect(mem, &r, ::GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        ::SetTextColor(mem, ::GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      } else {
        ::SetTextColor(mem, ::GetSysColor(COLOR_WINDOWTEXT));
      }
      ::MoveToEx(mem, r.right - 1, r.top, nullptr);
      ::LineTo(mem, r.right - 1, r.bottom - 1);
      ::LineTo(mem, r.left - 1, r.bottom - 1);
      RECT text = r;
      text.left += kTextPadding;
      text.right -= kTextPadding;
      const std::wstring s = Widen(grid_.Cell(col, row));
      // A header is never cut: it takes a smaller face where it must.
      if (header) ::SelectObject(mem, HeaderFont(col));
      ::DrawTextW(mem, s.c_str(), static_cast<int>(s.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (header ? DT_CENTER : DT_LEFT | DT_END_ELLIPSIS));
      if (header) ::SelectObject(mem, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    }
  }
  ::BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
  ::SelectObject(mem, oldPen);
  ::DeleteObject(line);
  ::SelectObject(mem, oldFont);
  ::SelectObject(mem, oldBmp);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
}

}  // namespace lodsmith
