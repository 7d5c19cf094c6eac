// A grid of text cells with the behaviour of the window's string grids:
// row 0 is the header row, data rows count from 1, and cells that fall
// outside when a count is lowered keep their text and show it again when the
// count grows back.
#pragma once

#include <string>
#include <vector>

namespace lodsmith {

class StringGrid {
public:
  StringGrid(int cols = 1, int rows = 1) : colCount_(cols), rowCount_(rows) {}

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  void SetColCount(int n) { colCount_ = n < 0 ? 0 : n; }
  void SetRowCount(int n) { rowCount_ = n < 0 ? 0 : n; }

  // Cells are addressed (column, row) as the grids of the window are.
  // Reading a cell outside the stored area gives an empty text; writing
  // grows the store (not the visible counts).
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

  // Selection and focus of the grid, kept by the window model.
  int Col = 0;
  int Row = 1;
  // What a grid's select handler does: the cell becomes the selected one
  // when `allowed`; returns `allowed` for the handler's CanSelect.
  bool SelectIf(bool allowed, int col, int row) {
    if (allowed) Col = col, Row = row;
    return allowed;
  }
  std::vector<int> ColWidths;  // design widths in pixels, empty = default
  std::string Name;

private:
  int colCount_;
  int rowCount_;
  std::vector<std::vector<std::string>> cells_;  // [row][col]
};

}  // namespace lodsmith
