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

#include "core/grid_columns.h"
#include "qt/grid_model.h"
#include "qt/preview_window.h"
#include "qt/qt_platform.h"

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

  TLSForm& f = form_;

  // ---- Pages -----------------------------------------------------------------
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setGeometry(0, 0, 824, 553);
  auto* tab1 = new QWidget;
  tab1->setObjectName(QStringLiteral("TabSheet1"));
  auto* tab3 = new QWidget;
  tab3->setObjectName(QStringLiteral("TabSheet3"));
  pages_->addTab(tab1, U(f.TabSheet1.Caption));
  pages_->addTab(tab3, U(f.TabSheet3.Caption));
  controls_["PageControl1"] = pages_;
  controls_["TabSheet1"] = tab1;
  controls_["TabSheet3"] = tab3;

  // ---- Page "Zerlegung" ---------------------------------------------------------
  AddLabel(tab1, "Label4", f.Label4, 8, 16);
  AddLabel(tab1, "Label5", f.Label5, 560, 16);
  AddLabel(tab1, "Label6", f.Label6, 560, 280);
  AddLabel(tab1, "Label24", f.Label24, 728, 176);
  AddLabel(tab1, "Label7", f.Label7, 8, 424, 369, 26, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(tab1, "Label17", f.Label17, 8, 456, 369, 33, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(tab1, "Label18", f.Label18, 8, 488, 369, 33, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(tab1, "Label8", f.Label8, 702, 32, 107, 73, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(tab1, "Label9", f.Label9, 702, 112, 107, 57, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(tab1, "Label13", f.Label13, 560, 464, 249, 57, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(tab1, "Label21", f.Label21, 80, 9, 139, 13, Qt::AlignRight | Qt::AlignTop);
  AddEdit(tab1, "NrEdit", f.NrEdit, 224, 4, 33, 21, nullptr);
  AddButton(tab1, "DoButton", f.DoButton, 272, 3, 41, 25, &TLSForm::DoButtonClick);
  AddLabel(tab1, "Label22", f.Label22, 328, 9, 73, 13, Qt::AlignRight | Qt::AlignTop);
  AddButton(tab1, "DoButton1", f.DoButton1, 408, 3, 41, 25, &TLSForm::DoButton1Click);
  AddLabel(tab1, "Label16", f.Label16, 464, 9);
  AddSpin(tab1, "LODSpinEdit", f.LODSpinEdit, 496, 4, 49, 22, &TLSForm::SetLODSpinEditValue);

  // The columns the user types into: the assignments, the sort marks, the
  // animation marks and the distances.
  const auto assignments = [](int c) { return c >= grid::ElementLodColumn(1); };
  const auto sortMarks = [](int c) { return c >= grid::SubObjectSortColumn(1); };
  const auto animationMarks = [](int c) { return c == grid::kMatrixAnimated; };
  const auto distances = [](int c) { return c == grid::kDistance; };
  AddGrid(tab1, "StringGrid1", f.StringGrid1, 6, 32, 539, 385, assignments, 24);
  AddGrid(tab1, "StringGrid2", f.StringGrid2, 558, 32, 137, 137, sortMarks, 24);
  GridView* overview = AddGrid(tab1, "StringGrid5", f.StringGrid5, 558, 176, 163, 97, nullptr, 16);
  overview->setFont(OverviewFont());
  overview->horizontalHeader()->setFont(OverviewFont());
  overview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  AddButton(tab1, "AnimResetButton", f.AnimResetButton, 734, 264, 75, 25, &TLSForm::AnimResetButtonClick);
  AddGrid(tab1, "StringGrid3", f.StringGrid3, 558, 296, 251, 161, animationMarks, 24);

  AddButton(tab1, "ZeilePlusButton", f.ZeilePlusButton, 384, 425, 25, 20, &TLSForm::ZeilePlusButtonClick);
  AddButton(tab1, "ZeileMinusButton", f.ZeileMinusButton, 384, 449, 25, 20, &TLSForm::ZeileMinusButtonClick);
  AddButton(tab1, "GrundButton", f.GrundButton, 416, 425, 129, 20, &TLSForm::GrundButtonClick);
  AddButton(tab1, "E_SpeichernButton", f.E_SpeichernButton, 416, 449, 129, 20, &TLSForm::E_SpeichernButtonClick);
  AddButton(tab1, "E_LadenButton", f.E_LadenButton, 416, 473, 129, 20, &TLSForm::E_LadenButtonClick);
  AddButton(tab1, "E_DruckenButton", f.E_DruckenButton, 416, 497, 129, 20, &TLSForm::E_DruckenButtonClick);

  // ---- Page "Einstellungen/Settings" ------------------------------------------------
  QFrame* panel1 = AddPanel(tab3, "Panel1", 8, 8, 329, 345, true);
  AddLabel(panel1, "Label27", f.Label27, 8, 8);
  AddLabel(panel1, "Label14", f.Label14, 23, 56);
  QSpinBox* lodCount =
      AddSpin(panel1, "LODAnzSpinEdit", f.LODAnzSpinEdit, 119, 48, 57, 33, &TLSForm::SetLODAnzSpinEditValue);
  exitHandlers_[lodCount] = [this] { form_.LODAnzSpinEditExit(); };
  AddLabel(panel1, "Label15", f.Label15, 20, 96);
  AddGrid(panel1, "StringGrid4", f.StringGrid4, 20, 120, 153, 209, distances, 24);
  AddLabel(panel1, "Label19", f.Label19, 184, 144, 129, 65, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(panel1, "Label20", f.Label20, 184, 216, 129, 57, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(panel1, "Label23", f.Label23, 184, 280, 129, 57, Qt::AlignLeft | Qt::AlignTop, true);

  QFrame* panel4 = AddPanel(tab3, "Panel4", 344, 8, 321, 345, true);
  AddLabel(panel4, "Label26", f.Label26, 8, 8);
  AddLabel(panel4, "Label25", f.Label25, 32, 76, 121, 13, Qt::AlignRight | Qt::AlignTop);
  AddEdit(panel4, "DeltaPointsEdit", f.DeltaPointsEdit, 168, 72, 97, 21, &TLSForm::DeltaPointsEditExit);
  AddLabel(panel4, "Label10", f.Label10, 29, 108, 124, 13, Qt::AlignRight | Qt::AlignTop);
  AddEdit(panel4, "DeltaNormalsEdit", f.DeltaNormalsEdit, 168, 104, 97, 21, &TLSForm::DeltaNormalsEditExit);
  AddLabel(panel4, "Label28", f.Label28, 8, 152, 305, 49, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(panel4, "Label29", f.Label29, 8, 208, 305, 49, Qt::AlignLeft | Qt::AlignTop, true);
  AddLabel(panel4, "Label30", f.Label30, 8, 264, 305, 49, Qt::AlignLeft | Qt::AlignTop, true);

  QFrame* panel5 = AddPanel(tab3, "Panel5", 672, 8, 137, 345, true);
  AddLabel(panel5, "Label31", f.Label31, 8, 8);
  AddLabel(panel5, "Label32", f.Label32, 8, 24, 121, 41, Qt::AlignLeft | Qt::AlignTop, true);
  languages_ = new QComboBox(panel5);
  languages_->setObjectName(QStringLiteral("SpracheComboBox"));
  languages_->setEditable(false);
  languages_->setGeometry(8, 80, 121, 21);
  controls_["SpracheComboBox"] = languages_;
  connect(languages_, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
    Run([this, i] {
      form_.SpracheComboBox.ItemIndex = i;
      form_.SpracheComboBoxSelect();
    });
  });
  AddLabel(panel5, "Label33", f.Label33, 8, 120, 121, 217, Qt::AlignLeft | Qt::AlignTop, true);

  // ---- Action column ----------------------------------------------------------------
  QFrame* panel2 = AddPanel(this, "Panel2", 824, 0, 165, 553, false);
  const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
  for (auto [name, state, y, h] : {std::tuple{"Label3", &f.Label3, 8, 26}, std::tuple{"Label11", &f.Label11, 56, 26},
                                   std::tuple{"Label12", &f.Label12, 88, 65}}) {
    QLabel* l = AddLabel(panel2, name, *state, 10, y, 145, h, centred, true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    l->setPalette(pal);
  }
  AddButton(panel2, "CompressButton", f.CompressButton, 10, 157, 145, 25, &TLSForm::CompressButtonClick);
  AddButton(panel2, "OeffnenButton", f.OeffnenButton, 10, 192, 145, 25, &TLSForm::OeffnenButtonClick);
  AddLabel(panel2, "SOAnzLabel", f.SOAnzLabel, 8, 232, 145, 13, centred);
  AddLabel(panel2, "SOAnzLabel1", f.SOAnzLabel1, 8, 256, 145, 13, centred);
  AddButton(panel2, "Sub_ObjectsButton", f.Sub_ObjectsButton, 10, 277, 145, 25, &TLSForm::Sub_ObjectsButtonClick);
  AddButton(panel2, "AnimButton", f.AnimButton, 10, 309, 145, 25, &TLSForm::AnimButtonClick);
  AddButton(panel2, "PunkteButton", f.PunkteButton, 10, 341, 145, 25, &TLSForm::PunkteButtonClick);
  AddButton(panel2, "NormalenButton", f.NormalenButton, 10, 373, 145, 25, &TLSForm::NormalenButtonClick);
  AddButton(panel2, "MatButton", f.MatButton, 10, 405, 145, 25, &TLSForm::MatButtonClick);
  AddButton(panel2, "UndoButton", f.UndoButton, 10, 437, 145, 25, &TLSForm::UndoButtonClick);
  AddButton(panel2, "SpeichernBitBtn", f.SpeichernBitBtn, 10, 480, 145, 25, &TLSForm::SpeichernButtonClick);
  AddButton(panel2, "SpeichernUnterBitBtn", f.SpeichernUnterBitBtn, 10, 515, 145, 25,
            &TLSForm::SpeichernUnterButtonClick);

  // ---- Status area ------------------------------------------------------------------
  QFrame* panel3 = AddPanel(this, "Panel3", 0, 553, 989, 51, false);
  AddLabel(panel3, "Label1", f.Label1, 17, 11);
  AddLabel(panel3, "Label2", f.Label2, 17, 27);
  AddButton(panel3, "PreviewButton", f.PreviewButton, 680, 13, 145, 25, &TLSForm::PreviewButtonClick);
  AddButton(panel3, "Button1", f.Button1, 834, 13, 145, 25, &TLSForm::WegButtonClick);

  for (auto* w : {static_cast<QWidget*>(panel1), static_cast<QWidget*>(panel2), static_cast<QWidget*>(panel3),
                  static_cast<QWidget*>(panel4), static_cast<QWidget*>(panel5)})
    controls_[w->objectName().toStdString()] = w;

  connect(qApp, &QApplication::focusChanged, this, &MainWindow::OnFocusChanged);

  pages_->setCurrentIndex(0);
  Mirror();
  FitCaptions();
}

MainWindow::~MainWindow() { disconnect(qApp, &QApplication::focusChanged, this, &MainWindow::OnFocusChanged); }

// ---- Building -------------------------------------------------------------------------

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
