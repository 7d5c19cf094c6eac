// A small editable string grid of our own, the Windows counterpart of the Qt
// grid view: it draws a StringGrid (row 0 is the header row, data rows
// follow; every column is shown), moves its current cell only when
// `selectAttempt` allows it, and opens an in-place edit for the columns the
// user may type into, reporting every change of the typed text.
//
// Mouse: a click selects a cell; a double click (or a click on the current
// cell) edits it. Keys: the arrows, Tab / Shift+Tab, Home / End, Page Up /
// Page Down move; F2 or typing a character edits; Enter ends the edit and
// Escape ends it too (the typed text has already reached the grid).
// When the focus leaves the control or its editor, the parent gets an
// EN_KILLFOCUS command from the control.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/string_grid.h"
#include "win32/smaller_fonts.h"

namespace lodsmith {

class GridControl {
public:
  // Registers the window class once; the control is a child of `parent`
  // at the given place (pixels of the parent's client area).
  GridControl(HWND parent, int id, StringGrid& grid, std::function<bool(int col)> editable, int rowHeight);
  ~GridControl();
  GridControl(const GridControl&) = delete;
  GridControl& operator=(const GridControl&) = delete;

  HWND Handle() const { return hwnd_; }
  StringGrid& Grid() { return grid_; }
  bool IsEditableColumn(int col) const { return editable_ && editable_(col); }

  // Asked before the current cell moves to (grid column, grid row); nothing
  // set: every move is allowed and recorded in the grid's Col/Row.
  std::function<bool(int col, int row)> selectAttempt;
  // Every change of the typed text (grid column, grid row, UTF-8 text).
  std::function<void(int col, int row, const std::string& text)> textEdited;

  // Design column widths (96-dpi pixels); columns beyond the list take its
  // last width; an empty list gives every column 64.
  void SetColumnWidths(const std::vector<int>& widths);
  // The pixel scale of the design sizes (dots per inch / 96, as a ratio).
  void SetDpi(int dpi);
  void SetFont(HFONT font);
  // Moves the current cell to the grid's Col/Row without asking, and
  // scrolls it into view. Repaints.
  void Sync();

  // The editor of the current cell, or nullptr when none is open.
  HWND Editor() const { return editor_; }
  // Column and row (grid numbering) at a point of the client area; false
  // outside the data cells.
  bool CellAt(int x, int y, int& col, int& row) const;
  // The client rectangle of a cell (grid numbering).
  RECT CellRect(int col, int row) const;
  // The face a column's header is drawn in: the grid's own, or a smaller
  // one where the caption would not fit its column otherwise; and whether
  // the caption fits in it.
  HFONT HeaderFont(int col) const;
  bool HeaderFits(int col) const;

private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HDC dc);
  int ColWidth(int col) const;  // in pixels
  int RowHeight() const;        // in pixels
  int DataRows() const;
  int VisibleRows() const;
  // Asks, then moves the current cell; false when refused or outside.
  bool MoveTo(int col, int row);
  bool KeyDown(WPARAM key);
  void BeginEdit(const std::wstring* firstChar);
  void EndEdit();
  void OnEditChange();
  void NotifyFocusLost();
  void ScrollIntoView(int col, int row);
  // Shows a scroll bar only where the rows or the columns do not fit.
  void UpdateScrollBars();
  int FirstColumnShowingTheLast(int width) const;

  HWND hwnd_ = nullptr;
  HWND editor_ = nullptr;
  HFONT font_ = nullptr;
  StringGrid& grid_;
  std::function<bool(int)> editable_;
  int designRowHeight_;
  int dpi_ = 96;
  std::vector<int> widths_;
  int topRow_ = 1;   // first data row shown
  int leftCol_ = 0;  // first column shown
  int editCol_ = -1, editRow_ = -1;
  bool settingEditor_ = false;  // our own SetWindowText on the editor
  bool updatingBars_ = false;
  mutable SmallerFonts smallerFonts_;  // the header captions set smaller
};

}  // namespace lodsmith
