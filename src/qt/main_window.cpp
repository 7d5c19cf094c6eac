#include "qt/main_window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTabWidget>
#include <QTranslator>

#include "qt/grid_model.h"
#include "qt/preview_window.h"
#include "qt/qt_platform.h"
#include "ui/form_layout.h"

namespace lodsmith {

namespace {

QString U(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The form's fonts are given in points for a 96-dpi screen while its layout
// is in pixels: 8 points are 11 pixels there, and that is what keeps the
// captions inside their fixed boxes whatever the screen's resolution.
constexpr int kFontPixels = 11;

// The captions were measured for a narrow sans-serif face; the wider
// default faces of many Linux desktops would cut them off in their fixed
// boxes. A face with the common narrow metrics is taken when the system has
// one, else the system's own sans-serif face.
QFont WindowFont() {
  QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  for (const char* family : {"Arial", "Liberation Sans", "Nimbus Sans", "Helvetica", "FreeSans"}) {
    if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
      f.setFamily(QString::fromLatin1(family));
      break;
    }
  }
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(kFontPixels);
  return f;
}

QFont OverviewFont() {
  QFont f(QStringLiteral("Arial"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(kFontPixels);
  return f;
}

// Colours are stored as 0x00BBGGRR; system colours have the high bit set.
std::optional<QColor> ToQColor(unsigned c) {
  if (c & 0x80000000u) return std::nullopt;
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

// A spin edit that changes with its arrows (buttons, keys, wheel) only.
class ArrowSpinBox : public QSpinBox {
public:
  explicit ArrowSpinBox(QWidget* parent) : QSpinBox(parent) {
    lineEdit()->setReadOnly(true);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
  }
};

// The captions sit in fixed boxes laid out for a narrow face; in a wider
// face some would be cut off or run into their neighbours. Such a caption is
// set a pixel smaller at a time, down to a floor below which it would no
// longer be legible, rather than cut. Returns the largest size from `base`'s
// own down at which `fits` holds (the floor when none does).
QFont FittedFont(QFont base, const std::function<bool(const QFont&)>& fits) {
  int px = base.pixelSize() > 0 ? base.pixelSize() : QFontInfo(base).pixelSize();
  for (; px > MainWindow::kMinCaptionPixels; --px) {
    base.setPixelSize(px);
    if (fits(base)) return base;
  }
  base.setPixelSize(MainWindow::kMinCaptionPixels);
  return base;
}

// The font a caption starts from: the one its control would inherit.
QFont InheritedFont(const QWidget* w) { return w->parentWidget() ? w->parentWidget()->font() : w->font(); }

int WidestWord(const QFontMetrics& fm, const QString& text) {
  int widest = 0;
  for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
    widest = std::max(widest, fm.horizontalAdvance(word));
  return widest;
}

// Room for a caption that sizes itself: up to the next control on its line
// (keeping a small gap) or the edge of its parent's contents.
int RoomToTheRight(const QWidget* w) {
  const QWidget* parent = w->parentWidget();
  if (!parent) return w->width();
  int right = parent->contentsRect().right() + 1;
  const int top = w->y();
  const int bottom = w->y() + w->height();
  for (const QObject* o : parent->children()) {
    const auto* sibling = qobject_cast<const QWidget*>(o);
    if (!sibling || sibling == w || sibling->isHidden() || sibling->x() <= w->x()) continue;
    if (sibling->y() < bottom && sibling->y() + sibling->height() > top) right = std::min(right, sibling->x() - 4);
  }
  return right - w->x();
}

QFrame* AddPanel(QWidget* parent, const char* name, int x, int y, int w, int h, bool lowered) {
  auto* p = new QFrame(parent);
  p->setObjectName(QString::fromLatin1(name));
  p->setGeometry(x, y, w, h);
  p->setFrameStyle(QFrame::Panel | (lowered ? QFrame::Sunken : QFrame::Raised));
  p->setLineWidth(1);
  // The bevel's light edges are white, which vanishes on the near-white page
  // of a tab: a grey between the page and the dark edge keeps the group's
  // outline whole while it still reads as lowered.
  QPalette palette = p->palette();
  palette.setColor(QPalette::Light, palette.color(QPalette::Mid));
  p->setPalette(palette);
  return p;
}

}  // namespace

MainWindow::MainWindow(TLSForm& form, QtPlatform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      form_(form),
      platform_(platform) {
  setObjectName(QStringLiteral("LSForm"));
  setFont(WindowFont());
  setFixedSize(kClientWidth, kClientHeight);
  setWindowTitle(U(form_.Caption));

  for (const layout::Control& c : layout::MainWindowControls()) AddControl(c);

  connect(qApp, &QApplication::focusChanged, this, &MainWindow::OnFocusChanged);

  pages_->setCurrentIndex(0);
  Mirror();
  FitCaptions();
}

MainWindow::~MainWindow() { disconnect(qApp, &QApplication::focusChanged, this, &MainWindow::OnFocusChanged); }

// ---- Building -------------------------------------------------------------------------

void MainWindow::AddControl(const layout::Control& c) {
  TLSForm& f = form_;
  QWidget* parent = c.parent ? controls_.at(c.parent) : this;
  switch (c.kind) {
    case layout::Kind::Pages: {
      pages_ = new QTabWidget(parent);
      pages_->setObjectName(QString::fromLatin1(c.name));
      pages_->setGeometry(c.x, c.y, c.w, c.h);
      controls_[c.name] = pages_;
      for (auto [name, sheet] : {std::pair{"TabSheet1", &f.TabSheet1}, std::pair{"TabSheet3", &f.TabSheet3}}) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        pages_->addTab(page, U(sheet->Caption));
        controls_[name] = page;
      }
      break;
    }
    case layout::Kind::Panel:
      controls_[c.name] = AddPanel(parent, c.name, c.x, c.y, c.w, c.h, c.frame == layout::Frame::Sunken);
      break;
    case layout::Kind::Label: {
      const Qt::Alignment align = (c.align == layout::Align::Right    ? Qt::AlignRight
                                   : c.align == layout::Align::Centre ? Qt::AlignHCenter
                                                                      : Qt::AlignLeft) |
                                  Qt::AlignTop;
      QLabel* l = AddLabel(parent, c.name, f.*c.label, c.x, c.y, c.w, c.h, align, c.wrap);
      if (c.warning) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
        l->setPalette(pal);
      }
      break;
    }
    case layout::Kind::Button: AddButton(parent, c.name, f.*c.button, c.x, c.y, c.w, c.h, c.click); break;
    case layout::Kind::Edit: AddEdit(parent, c.name, f.*c.edit, c.x, c.y, c.w, c.h, c.exit); break;
    case layout::Kind::Spin: {
      QSpinBox* spin = AddSpin(parent, c.name, f.*c.spin, c.x, c.y, c.w, c.h, c.setValue);
      if (c.exit) exitHandlers_[spin] = [this, exit = c.exit] { (form_.*exit)(); };
      break;
    }
    case layout::Kind::Grid: {
      std::function<bool(int)> editable;
      if (c.editable != layout::Editable::None)
        editable = [rule = c.editable](int col) { return layout::IsEditableColumn(rule, col); };
      GridView* view = AddGrid(parent, c.name, c.grid(f), c.x, c.y, c.w, c.h, std::move(editable), c.rowHeight);
      if (c.smallFont) {
        view->setFont(OverviewFont());
        view->horizontalHeader()->setFont(OverviewFont());
      }
      if (c.editable == layout::Editable::None) view->setEditTriggers(QAbstractItemView::NoEditTriggers);
      break;
    }
    case layout::Kind::Combo: {
      languages_ = new QComboBox(parent);
      languages_->setObjectName(QString::fromLatin1(c.name));
      languages_->setEditable(false);
      // The design height counts the drop-down part; the closed list is one line.
      languages_->setGeometry(c.x, c.y, c.w, 21);
      controls_[c.name] = languages_;
      connect(languages_, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
        Run([this, i] {
          form_.SpracheComboBox.ItemIndex = i;
          form_.SpracheComboBoxSelect();
        });
      });
      break;
    }
  }
}

QPushButton* MainWindow::AddButton(QWidget* parent, const char* name, TButton& state, int x, int y, int w, int h,
                                   void (TLSForm::*handler)()) {
  auto* b = new QPushButton(U(state.Caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(x, y, w, h);
  b->setAutoDefault(false);
  connect(b, &QPushButton::clicked, this, [this, handler] { Run([this, handler] { (form_.*handler)(); }); });
  buttons_.push_back({b, &state});
  controls_[name] = b;
  return b;
}

QLabel* MainWindow::AddLabel(QWidget* parent, const char* name, TLabel& state, int x, int y, int w, int h,
                             Qt::Alignment align, bool wrap) {
  auto* l = new QLabel(U(state.Caption), parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextFormat(Qt::PlainText);
  l->setAlignment(align);
  l->setWordWrap(wrap);
  const bool autoSize = w < 0;
  if (autoSize) {
    l->move(x, y);
    l->adjustSize();
  } else {
    l->setGeometry(x, y, w, h);
  }
  labels_.push_back({l, &state, autoSize, wrap, h});
  controls_[name] = l;
  return l;
}

QLineEdit* MainWindow::AddEdit(QWidget* parent, const char* name, TEdit& state, int x, int y, int w, int h,
                               void (TLSForm::*exitHandler)()) {
  auto* e = new QLineEdit(U(state.Text), parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setGeometry(x, y, w, h);
  connect(e, &QLineEdit::textEdited, this, [&state](const QString& text) { state.Text = text.toStdString(); });
  if (exitHandler) exitHandlers_[e] = [this, exitHandler] { (form_.*exitHandler)(); };
  edits_.push_back({e, &state});
  controls_[name] = e;
  return e;
}

QSpinBox* MainWindow::AddSpin(QWidget* parent, const char* name, TSpinEdit& state, int x, int y, int w, int h,
                              void (TLSForm::*setValue)(int)) {
  auto* s = new ArrowSpinBox(parent);
  s->setObjectName(QString::fromLatin1(name));
  s->setGeometry(x, y, w, h);
  s->setRange(state.MinValue, state.MaxValue);
  s->setValue(state.Value);
  // The model's helper keeps the value within the limits and runs the
  // change handler when it really changed.
  connect(s, QOverload<int>::of(&QSpinBox::valueChanged), this,
          [this, setValue](int v) { Run([this, setValue, v] { (form_.*setValue)(v); }); });
  spins_.push_back({s, &state});
  controls_[name] = s;
  return s;
}

GridView* MainWindow::AddGrid(QWidget* parent, const char* name, StringGrid& grid, int x, int y, int w, int h,
                              std::function<bool(int)> editable, int rowHeight) {
  auto* view = new GridView(parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setGeometry(x, y, w, h);
  auto* model = new GridModel(grid, std::move(editable), view);
  view->setModel(model);
  view->verticalHeader()->setDefaultSectionSize(rowHeight);
  view->verticalHeader()->setMinimumSectionSize(rowHeight);
  view->horizontalHeader()->setFixedHeight(rowHeight);
  BindGridEvents(view, model, grid);
  grids_.push_back({view, model, &grid, {}, -1});
  controls_[name] = view;
  return view;
}

void MainWindow::BindGridEvents(GridView* view, GridModel* model, StringGrid& grid) {
  TLSForm::GridEvents events = form_.GridEventsOf(grid);
  auto select = std::move(events.select);
  auto edit = std::move(events.edit);
  auto exit = std::move(events.exit);

  view->selectAttempt = [this, select, &grid](int col, int row) {
    bool can = true;
    if (select) {
      // The handler decides and records the current cell.
      Run([&] { select(col, row, can); });
    } else {
      grid.Col = col;
      grid.Row = row;
    }
    return can;
  };
  if (edit) {
    auto* delegate = new GridDelegate(
        *model,
        // The handler stores the typed text in the cell and checks it.
        [this, edit](int col, int row, const std::string& text) { Run([&] { edit(col, row, text); }); }, view);
    view->setItemDelegate(delegate);
  }
  if (exit) exitHandlers_[view] = exit;
}

// ---- Running handlers -----------------------------------------------------------------

void MainWindow::Run(const std::function<void()>& handler) {
  form_.Dispatch(handler);
  Mirror();
}

void MainWindow::FollowToolkitLanguage(Language language) {
  if (toolkitLanguage_ == language) return;
  toolkitLanguage_ = language;
  if (toolkitTexts_) {
    QCoreApplication::removeTranslator(toolkitTexts_);
    delete toolkitTexts_;
    toolkitTexts_ = nullptr;
  }
  // Qt's built-in texts are English; German needs the toolkit's catalogue.
  if (language != Language::German) return;
  auto* texts = new QTranslator(this);
  if (texts->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      texts->load(QStringLiteral("qtbase_de"),
                  QCoreApplication::applicationDirPath() + QStringLiteral("/translations"))) {
    QCoreApplication::installTranslator(texts);
    toolkitTexts_ = texts;
  } else {
    delete texts;
  }
}

void MainWindow::Mirror() {
  if (mirroring_) return;
  mirroring_ = true;
  const TLSForm& f = form_;
  FollowToolkitLanguage(f.TextLanguage());
  const QString title = U(f.Caption);
  if (windowTitle() != title) setWindowTitle(title);
  if (pages_->tabText(0) != U(f.TabSheet1.Caption)) pages_->setTabText(0, U(f.TabSheet1.Caption));
  if (pages_->tabText(1) != U(f.TabSheet3.Caption)) pages_->setTabText(1, U(f.TabSheet3.Caption));

  for (auto& b : buttons_) {
    const QString text = U(b.state->Caption);
    if (b.widget->text() != text) {
      b.widget->setText(text);
      FitButton(b.widget);
    }
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible);
    QPalette pal = b.widget->parentWidget()->palette();
    if (auto c = ToQColor(b.state->FontColor)) {
      pal.setColor(QPalette::Active, QPalette::ButtonText, *c);
      pal.setColor(QPalette::Inactive, QPalette::ButtonText, *c);
    }
    if (b.widget->palette() != pal) b.widget->setPalette(pal);
  }
  for (auto& l : labels_) {
    const QString text = U(l.state->Caption);
    if (l.widget->text() != text) {
      l.widget->setText(text);
      FitLabel(l);
    }
    l.widget->setEnabled(l.state->Enabled);
    l.widget->setVisible(l.state->Visible);
  }
  for (auto& e : edits_) {
    const QString text = U(e.state->Text);
    if (e.widget->text() != text) e.widget->setText(text);
    e.widget->setEnabled(e.state->Enabled);
  }
  for (auto& s : spins_) {
    QSignalBlocker block(s.widget);
    s.widget->setRange(s.state->MinValue, std::max(s.state->MinValue, s.state->MaxValue));
    s.widget->setValue(s.state->Value);
    s.widget->setEnabled(s.state->Enabled);
  }
  {
    QSignalBlocker block(languages_);
    QStringList items;
    for (const auto& name : f.SpracheComboBox.Items) items << U(name);
    QStringList shown;
    for (int i = 0; i < languages_->count(); ++i) shown << languages_->itemText(i);
    if (items != shown) {
      languages_->clear();
      languages_->addItems(items);
    }
    languages_->setCurrentIndex(f.SpracheComboBox.ItemIndex < languages_->count() ? f.SpracheComboBox.ItemIndex : -1);
    languages_->setEnabled(f.SpracheComboBox.Enabled);
  }
  for (auto& g : grids_) {
    const bool reshaped = g.model->Sync();
    if (reshaped || g.appliedCols != g.grid->ColCount() || g.appliedWidths != g.grid->ColWidths) {
      g.view->ApplyColumnWidths(g.grid->ColWidths);
      g.appliedCols = g.grid->ColCount();
      g.appliedWidths = g.grid->ColWidths;
    }
    // Header texts change with the language and the LOD count.
    FitHeaders(g);
    g.view->ShowCurrentCell(g.grid->Col, g.grid->Row);
  }
  // The preview follows the grids and the document as they are edited.
  if (preview_ && preview_->isVisible()) preview_->Refresh();
  mirroring_ = false;
}

void MainWindow::ShowPreview() {
  if (!preview_) preview_ = new PreviewWindow(form_, this);
  preview_->show();
  preview_->raise();
  preview_->activateWindow();
  preview_->Refresh();
}

// ---- Captions that fit ------------------------------------------------------------------

void MainWindow::FitCaptions() {
  for (auto& b : buttons_) FitButton(b.widget);
  for (auto& l : labels_) FitLabel(l);
  for (auto& g : grids_) FitHeaders(g);
}

void MainWindow::FitButton(QPushButton* b) {
  // The text is centred in the style's contents box; two pixels on either
  // side keep it off the frame.
  QStyleOptionButton opt;
  opt.initFrom(b);
  opt.text = b->text();
  const int room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width() - 4;
  const QString text = b->text();
  const QFont f = FittedFont(InheritedFont(b),
                             [&](const QFont& font) { return QFontMetrics(font).horizontalAdvance(text) <= room; });
  if (b->font() != f) b->setFont(f);
}

void MainWindow::FitLabel(const LabelBinding& l) {
  QLabel* w = l.widget;
  const QString text = w->text();
  if (l.wrap) {
    // Every word must fit the width and all lines the design height.
    const int width = w->contentsRect().width();
    const QFont f = FittedFont(InheritedFont(w), [&](const QFont& font) {
      w->setFont(font);
      return WidestWord(QFontMetrics(font), text) <= width && w->heightForWidth(w->width()) <= l.designHeight;
    });
    if (w->font() != f) w->setFont(f);
    w->resize(w->width(), l.designHeight);
    return;
  }
  if (l.autoSize) {
    // The label grows with its text; the room it may take ends at its
    // neighbour or its parent's edge.
    const int room = RoomToTheRight(w);
    const QFont f = FittedFont(InheritedFont(w), [&](const QFont& font) {
      return QFontMetrics(font).horizontalAdvance(text) + 2 * w->margin() <= room;
    });
    if (w->font() != f) w->setFont(f);
    w->adjustSize();
    return;
  }
  const int room = w->contentsRect().width();
  const QFont f = FittedFont(InheritedFont(w),
                             [&](const QFont& font) { return QFontMetrics(font).horizontalAdvance(text) <= room; });
  if (w->font() != f) w->setFont(f);
}

void MainWindow::FitHeaders(const GridBinding& g) {
  // Only the sections whose text would be cut get a smaller font of their
  // own; the others stay in the header's font.
  QHeaderView* header = g.view->horizontalHeader();
  const QFont base = header->font();
  std::map<int, QFont> fonts;
  for (int c = 0; c < g.model->columnCount(); ++c) {
    const QString text = g.model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QStyleOptionHeader opt;
    opt.initFrom(header);
    opt.rect = QRect(0, 0, header->sectionSize(c), header->height());
    opt.section = c;
    opt.text = text;
    const int room = header->style()->subElementRect(QStyle::SE_HeaderLabel, &opt, header).width();
    if (QFontMetrics(base).horizontalAdvance(text) <= room) continue;
    fonts[c] = FittedFont(base, [&](const QFont& font) { return QFontMetrics(font).horizontalAdvance(text) <= room; });
  }
  g.model->SetHeaderFonts(std::move(fonts));
}

void MainWindow::FocusControl(const std::string& name) {
  QWidget* w = Control(name);
  if (!w) return;
  // A control on the hidden page brings its page to the front first.
  for (int i = 0; i < pages_->count(); ++i)
    if (pages_->widget(i)->isAncestorOf(w)) pages_->setCurrentIndex(i);
  for (auto& g : grids_)
    if (g.view == w) g.view->ShowCurrentCell(g.grid->Col, g.grid->Row);
  w->setFocus(Qt::OtherFocusReason);
}

void MainWindow::OnFocusChanged(QWidget* old, QWidget* now) {
  // Focus that goes to a message box or a dialog has not left the control.
  if (mirroring_ || !old || !now || now->window() != this) return;
  for (const auto& [widget, handler] : exitHandlers_) {
    const bool wasInside = old == widget || widget->isAncestorOf(old);
    const bool isInside = now == widget || widget->isAncestorOf(now);
    if (wasInside && !isInside) {
      auto run = handler;
      Run(run);
      return;
    }
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitCaptions();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  bool canClose = true;
  Run([&] { form_.FormCloseQuery(canClose); });
  if (canClose)
    event->accept();
  else
    event->ignore();
}

// ---- Lookup ---------------------------------------------------------------------------

QWidget* MainWindow::Control(const std::string& name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

QPushButton* MainWindow::Button(const std::string& name) const { return qobject_cast<QPushButton*>(Control(name)); }

QLabel* MainWindow::Label(const std::string& name) const { return qobject_cast<QLabel*>(Control(name)); }

GridView* MainWindow::Grid(const std::string& name) const { return qobject_cast<GridView*>(Control(name)); }

GridModel* MainWindow::Model(const std::string& name) const {
  GridView* v = Grid(name);
  return v ? qobject_cast<GridModel*>(v->model()) : nullptr;
}

}  // namespace lodsmith
