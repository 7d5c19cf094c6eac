// The Qt view of the window model's string grids: a table model over a
// StringGrid (row 0 of the grid is the header row, data rows follow), a
// delegate whose editor reports every change of the typed text, and a view
// that asks before the current cell moves.
#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/string_grid.h"

namespace lodsmith {

// Rows of the model are the grid's data rows: model row r is grid row r + 1.
// Cells are Latin-1 bytes.
class GridModel : public QAbstractTableModel {
  Q_OBJECT
public:
  // `editable` tells which grid columns the user may type into.
  GridModel(StringGrid& grid, std::function<bool(int col)> editable, QObject* parent = nullptr);

  StringGrid& grid() { return grid_; }
  bool IsEditableColumn(int col) const { return editable_ && editable_(col); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Tells the views what changed in the grid since the last call: a reset
  // when the row or column count changed, else a change of every cell and
  // header. Returns true when the counts changed.
  bool Sync();

  // Fonts of the header sections that are not drawn in the header's own
  // font (section -> font); a section not in the map has none of its own.
  // Tells the views only when something changed.
  void SetHeaderFonts(std::map<int, QFont> fonts);
  const std::map<int, QFont>& HeaderFonts() const { return headerFonts_; }

private:
  StringGrid& grid_;
  std::function<bool(int)> editable_;
  int rows_ = 0;  // data rows last reported
  int cols_ = 0;
  std::map<int, QFont> headerFonts_;
};

// The cell editor: every change of the typed text goes to `textEdited`
// (grid column, grid row, Latin-1 text). When the handler has replaced the
// cell's text (a refused entry is emptied), the editor shows the cell's text
// at once.
class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT
public:
  using EditHandler = std::function<void(int col, int row, const std::string& text)>;
  GridDelegate(GridModel& model, EditHandler textEdited, QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  // Every change already reached the grid through the handler.
  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

private:
  GridModel& model_;
  EditHandler textEdited_;
};

// A table view whose current cell moves only when `selectAttempt` (grid
// column, grid row) allows it, for the mouse and the keyboard alike.
class GridView : public QTableView {
  Q_OBJECT
public:
  explicit GridView(QWidget* parent = nullptr);

  std::function<bool(int col, int row)> selectAttempt;

  // Design column widths; columns beyond the list take its last width.
  void ApplyColumnWidths(const std::vector<int>& widths);
  // Moves the current cell to the grid's Col/Row without asking.
  void ShowCurrentCell(int col, int row);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
  bool Allowed(const QModelIndex& index);
  // While the handler decides about a move, the view itself moves the
  // current cell afterwards.
  bool attempting_ = false;
};

}  // namespace lodsmith
