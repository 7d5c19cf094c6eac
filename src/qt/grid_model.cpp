#include "qt/grid_model.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>

#include "core/grid_columns.h"

namespace lodsmith {

namespace {
QString CellText(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

// ---- GridModel -------------------------------------------------------------------

GridModel::GridModel(StringGrid& grid, std::function<bool(int)> editable, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), editable_(std::move(editable)) {
  rows_ = std::max(0, grid_.RowCount() - 1);
  cols_ = grid_.ColCount();
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return CellText(grid_.Cell(index.column(), index.row() + 1));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::FontRole && orientation == Qt::Horizontal) {
    auto it = headerFonts_.find(section);
    return it == headerFonts_.end() ? QVariant() : QVariant(it->second);
  }
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return CellText(grid_.Cell(section, grid::kHeaderRow));
  return section + 1;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (IsEditableColumn(index.column())) f |= Qt::ItemIsEditable;
  return f;
}

bool GridModel::Sync() {
  const int rows = std::max(0, grid_.RowCount() - 1);
  const int cols = grid_.ColCount();
  if (rows != rows_ || cols != cols_) {
    beginResetModel();
    rows_ = rows;
    cols_ = cols;
    endResetModel();
    return true;
  }
  if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1), {Qt::DisplayRole});
  if (cols_ > 0) emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
  return false;
}

void GridModel::SetHeaderFonts(std::map<int, QFont> fonts) {
  if (fonts == headerFonts_) return;
  headerFonts_ = std::move(fonts);
  if (cols_ > 0) emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
}

// ---- GridDelegate ------------------------------------------------------------------

GridDelegate::GridDelegate(GridModel& model, EditHandler textEdited, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), textEdited_(std::move(textEdited)) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  const int col = index.column();
  const int row = index.row() + 1;
  QPointer<QLineEdit> guard(editor);
  connect(editor, &QLineEdit::textEdited, this, [this, guard, col, row](const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const std::string typed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    textEdited_(col, row, typed);
    // The handler may have refused the text and emptied the cell: the
    // editor must show that at once, not when it closes.
    if (!guard) return;
    const std::string& now = model_.grid().Cell(col, row);
    if (now != typed) guard->setText(CellText(now));
  });
  return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (!line) return;
  const QString text = CellText(model_.grid().Cell(index.column(), index.row() + 1));
  if (line->text() != text) line->setText(text);
}

// ---- GridView ----------------------------------------------------------------------

GridView::GridView(QWidget* parent) : QTableView(parent) {
  verticalHeader()->hide();
  horizontalHeader()->setSectionsMovable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setMinimumSectionSize(8);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setWordWrap(false);
  setCornerButtonEnabled(false);
}

void GridView::ApplyColumnWidths(const std::vector<int>& widths) {
  if (!model() || widths.empty()) return;
  for (int c = 0; c < model()->columnCount(); ++c) {
    const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(c), widths.size() - 1);
    setColumnWidth(c, widths[i]);
  }
}

void GridView::ShowCurrentCell(int col, int row) {
  if (!model()) return;
  QModelIndex idx = model()->index(row - 1, col);
  if (attempting_ || !idx.isValid() || idx == currentIndex()) return;
  selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect);
}

bool GridView::Allowed(const QModelIndex& index) {
  if (!index.isValid() || index == currentIndex() || !selectAttempt) return true;
  attempting_ = true;
  const bool allowed = selectAttempt(index.column(), index.row() + 1);
  attempting_ = false;
  return allowed;
}

void GridView::mousePressEvent(QMouseEvent* event) {
  const QModelIndex idx = indexAt(event->position().toPoint());
  if (idx.isValid() && idx != currentIndex()) {
    const int col = idx.column();
    const int row = idx.row();
    if (!Allowed(idx)) {
      setFocus(Qt::MouseFocusReason);
      event->accept();
      return;
    }
    // The handler may have reshaped the model; the cell is found again.
    if (!model() || !model()->index(row, col).isValid()) {
      event->accept();
      return;
    }
  }
  QTableView::mousePressEvent(event);
}

QModelIndex GridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
  const QModelIndex next = QTableView::moveCursor(cursorAction, modifiers);
  if (!next.isValid() || next == currentIndex()) return next;
  const int col = next.column();
  const int row = next.row();
  if (!Allowed(next)) return currentIndex();
  return model() ? model()->index(row, col) : QModelIndex();
}

}  // namespace lodsmith
