// The Qt window over the window model, offscreen: widgets come up from the
// model, events reach the handlers, and the model's changes reach the
// widgets. Message boxes and dialogs are answered by a script, so nothing
// modal is ever shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <memory>

#include "qt/grid_model.h"
#include "qt/main_window.h"
#include "qt/preview_window.h"
#include "qt/qt_platform.h"
#include "test_env.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

namespace fs = std::filesystem;

QApplication& App() {
  static int argc = 1;
  static char name[] = "lodsmith_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

std::string SampleShape() { return std::string(LODSMITH_SAMPLES_DIR) + "/sample.s"; }

// A window as main() builds it, with the program in a temporary folder.
struct QtWindow {
  TempDir dir;
  QtPlatform platform;
  QtPlatform::Script script;
  std::unique_ptr<TLSForm> form;
  std::unique_ptr<MainWindow> window;

  explicit QtWindow(const std::string& programSettings = "") {
    App();
    fs::copy_file(ShippedLanguageFile(), dir.File("Lodsmith_L.INI"));
    if (!programSettings.empty()) WriteBytes(dir.File("Lodsmith.INI"), programSettings);
    platform.executablePathOverride = dir.File("Lodsmith");
    platform.screenSizeOverride = std::make_pair(1280, 1024);
    platform.SetScript(&script);
    form = std::make_unique<TLSForm>(platform);
    platform.FollowLanguage(&form->LanguageName);
    window = std::make_unique<MainWindow>(*form, platform);
    platform.SetWindow(window.get());
    window->Run([this] { form->FormCreate(); });
    window->show();
    window->activateWindow();
    QApplication::processEvents();
  }
  ~QtWindow() {
    platform.SetWindow(nullptr);
    window.reset();
  }

  // Copies the sample shape beside the program and opens it with "Öffnen".
  std::string OpenSample() {
    const std::string path = dir.File("sample.s");
    fs::copy_file(SampleShape(), path);
    script.openResults.push_back(path);
    QTest::mouseClick(window->Button("OeffnenButton"), Qt::LeftButton);
    return path;
  }

  QString Header(const std::string& grid, int col) const {
    return window->Model(grid)->headerData(col, Qt::Horizontal).toString();
  }
  QString Cell(const std::string& grid, int col, int row) const {
    GridModel* m = window->Model(grid);
    return m->data(m->index(row - 1, col)).toString();
  }
  // Clicks a cell (grid column, grid row) of a grid view.
  void ClickCell(const std::string& grid, int col, int row) {
    GridView* v = window->Grid(grid);
    const QRect r = v->visualRect(v->model()->index(row - 1, col));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r.center());
  }
  // Opens the editor of the current cell by typing its first character.
  QLineEdit* TypeIntoCurrentCell(const std::string& grid, const QString& text) {
    GridView* v = window->Grid(grid);
    v->setFocus();
    QTest::keyClicks(v, text.left(1));
    auto* editor = v->viewport()->findChild<QLineEdit*>();
    if (editor && text.size() > 1) QTest::keyClicks(editor, text.mid(1));
    return editor;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> r;
    for (const auto& m : script.messages) r.push_back(m.text);
    return r;
  }
};

// Every caption of the shown page, the action column and the status area
// that is wider than its control, measured in the font the control draws
// it with; one line per caption, empty when all are whole.
std::vector<std::string> CutCaptions(MainWindow& win) {
  std::vector<std::string> cut;
  auto report = [&](const QWidget* w, const QString& what, int need, int room) {
    cut.push_back(w->objectName().toStdString() + " \"" + what.toStdString() + "\": " + std::to_string(need) + " > " +
                  std::to_string(room));
  };
  for (QPushButton* b : win.findChildren<QPushButton*>()) {
    if (!b->isVisibleTo(&win) || b->text().isEmpty()) continue;
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const int room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width();
    const int need = QFontMetrics(b->font()).horizontalAdvance(b->text());
    if (need > room) report(b, b->text(), need, room);
  }
  for (QLabel* l : win.findChildren<QLabel*>()) {
    if (!l->isVisibleTo(&win) || l->text().isEmpty()) continue;
    const QFontMetrics fm(l->font());
    const int room = l->contentsRect().width();
    if (l->wordWrap()) {
      for (const QString& word : l->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (fm.horizontalAdvance(word) > room) report(l, word, fm.horizontalAdvance(word), room);
      if (l->heightForWidth(l->width()) > l->height())
        report(l, QStringLiteral("lines"), l->heightForWidth(l->width()), l->height());
      continue;
    }
    if (fm.horizontalAdvance(l->text()) > room) report(l, l->text(), fm.horizontalAdvance(l->text()), room);
    // A label that sizes itself must stay inside its parent and clear of
    // the controls beside it.
    const QWidget* parent = l->parentWidget();
    if (!parent->contentsRect().contains(l->geometry()))
      report(l, QStringLiteral("outside its parent"), l->geometry().right(), parent->contentsRect().right());
    for (QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (sibling == l || !sibling->isVisibleTo(&win) || qobject_cast<QLabel*>(sibling)) continue;
      if (sibling->geometry().intersects(l->geometry()))
        report(l, QStringLiteral("over ") + sibling->objectName(), l->geometry().right(), sibling->x());
    }
  }
  for (GridView* v : win.findChildren<GridView*>()) {
    if (!v->isVisibleTo(&win)) continue;
    QHeaderView* header = v->horizontalHeader();
    for (int c = 0; c < v->model()->columnCount(); ++c) {
      const QString text = v->model()->headerData(c, Qt::Horizontal).toString();
      const QVariant own = v->model()->headerData(c, Qt::Horizontal, Qt::FontRole);
      const QFont font = own.isValid() ? own.value<QFont>() : header->font();
      QStyleOptionHeader opt;
      opt.initFrom(header);
      opt.rect = QRect(0, 0, header->sectionSize(c), header->height());
      opt.section = c;
      opt.text = text;
      const int room = header->style()->subElementRect(QStyle::SE_HeaderLabel, &opt, header).width();
      const int need = QFontMetrics(font).horizontalAdvance(text);
      if (need > room) report(v, text, need, room);
    }
  }
  return cut;
}

bool IsRed(QPushButton* b) { return b->palette().color(QPalette::Active, QPalette::ButtonText) == QColor(255, 0, 0); }

}  // namespace

TEST(QtWindow, ComesUpWithTheLayoutAndTheLodColumnsOfTheSettingsFile) {
  QtWindow w("[LODs]\r\nAnzahl=3\r\n1=100\r\n2=500\r\n3=2000\r\n");
  MainWindow& win = *w.window;
  EXPECT_EQ(win.size(), QSize(989, 604));
  EXPECT_EQ(win.minimumSize(), win.maximumSize()) << "fixed size";
  EXPECT_EQ(win.windowTitle(), QStringLiteral("Lodsmith"));
  EXPECT_EQ(win.Pages()->geometry(), QRect(0, 0, 824, 553));
  EXPECT_EQ(win.Pages()->currentIndex(), 0);
  EXPECT_EQ(win.Pages()->tabText(0), QStringLiteral("Zerlegung"));
  EXPECT_EQ(win.Pages()->tabText(1), QStringLiteral("Einstellungen/Settings"));
  EXPECT_EQ(win.Control("Panel2")->geometry(), QRect(824, 0, 165, 553));
  EXPECT_EQ(win.Control("Panel3")->geometry(), QRect(0, 553, 989, 51));
  EXPECT_EQ(win.Button("OeffnenButton")->geometry(), QRect(10, 192, 145, 25));
  EXPECT_EQ(win.Button("Button1")->geometry(), QRect(834, 13, 145, 25));
  EXPECT_EQ(win.Grid("StringGrid1")->geometry(), QRect(6, 32, 539, 385));
  EXPECT_EQ(win.Button("OeffnenButton")->text(), QStringLiteral("Öffnen"));

  // Three LOD columns, headed from row 0 of the grids.
  EXPECT_EQ(win.Model("StringGrid1")->columnCount(), 6);
  EXPECT_EQ(w.Header("StringGrid1", 0), QStringLiteral("Name"));
  EXPECT_EQ(w.Header("StringGrid1", 5), QStringLiteral("L 3"));
  EXPECT_EQ(win.Model("StringGrid2")->columnCount(), 5);
  EXPECT_EQ(w.Header("StringGrid2", 1), QStringLiteral("Vert. L 1"));
  EXPECT_EQ(win.Model("StringGrid4")->rowCount(), 3);
  EXPECT_EQ(w.Cell("StringGrid4", 1, 2), QStringLiteral("500"));
  EXPECT_EQ(w.Cell("StringGrid5", 1, 1), QStringLiteral("100"));
  // The columns are as wide as the form lays them out.
  auto widths = [&](const char* grid, int count) {
    std::vector<int> r;
    for (int c = 0; c < count; ++c) r.push_back(win.Grid(grid)->columnWidth(c));
    return r;
  };
  EXPECT_EQ(widths("StringGrid1", 3), (std::vector<int>{186, 100, 45}));
  EXPECT_EQ(win.Grid("StringGrid2")->columnWidth(1), 50);
  EXPECT_EQ(widths("StringGrid5", 3), (std::vector<int>{20, 60, 45}));

  // Only the LOD columns of the element grid can be edited.
  GridModel* elements = win.Model("StringGrid1");
  EXPECT_FALSE(elements->flags(elements->index(0, 2)) & Qt::ItemIsEditable);
  EXPECT_TRUE(elements->flags(elements->index(0, 3)) & Qt::ItemIsEditable);
  GridModel* overview = win.Model("StringGrid5");
  for (int c = 0; c < overview->columnCount(); ++c)
    EXPECT_FALSE(overview->flags(overview->index(0, c)) & Qt::ItemIsEditable);

  auto* lodSpin = win.Control("LODSpinEdit");
  ASSERT_NE(qobject_cast<QSpinBox*>(lodSpin), nullptr);
  EXPECT_TRUE(lodSpin->isEnabled());
  EXPECT_EQ(qobject_cast<QSpinBox*>(lodSpin)->maximum(), 3);
  EXPECT_EQ(qobject_cast<QSpinBox*>(win.Control("LODAnzSpinEdit"))->value(), 3);
  EXPECT_TRUE(w.script.messages.empty());
}

TEST(QtWindow, OpenButtonOpensTheChosenShapeAndShowsItsName) {
  QtWindow w;
  const std::string path = w.OpenSample();
  ASSERT_EQ(w.script.openRequests.size(), 1u);
  EXPECT_EQ(w.script.openRequests[0].filter, w.form->LanguageText(57));
  EXPECT_TRUE(w.script.openRequests[0].mustExist);
  EXPECT_EQ(w.window->windowTitle(), QStringLiteral("Lodsmith   [ sample.s ]"));
  EXPECT_EQ(w.window->Label("Label1")->text(), QString::fromStdString(path));
  EXPECT_TRUE(w.window->Label("Label2")->text().endsWith(QStringLiteral(" Zeilen")));
  for (const auto& text : w.MessageTexts()) EXPECT_NE(text, w.form->LanguageText(60));
  // The element grid shows what the analysis found.
  EXPECT_EQ(w.window->Model("StringGrid1")->rowCount(), w.form->StringGrid1.RowCount() - 1);
  EXPECT_EQ(w.Cell("StringGrid1", 0, 1), QString::fromLatin1(w.form->StringGrid1.Cell(0, 1).c_str()));
}

TEST(QtWindow, ChangedDocumentTurnsBothSaveButtonsRed) {
  QtWindow w;
  QPushButton* save = w.window->Button("SpeichernBitBtn");
  QPushButton* saveAs = w.window->Button("SpeichernUnterBitBtn");
  EXPECT_FALSE(IsRed(save));
  EXPECT_FALSE(IsRed(saveAs));
  w.window->Run([&] { w.form->SMemoChange(); });
  EXPECT_TRUE(IsRed(save));
  EXPECT_TRUE(IsRed(saveAs));
  EXPECT_FALSE(IsRed(w.window->Button("OeffnenButton")));
  w.window->Run([&] { w.form->ResetDocument(); });
  EXPECT_FALSE(IsRed(save));
  EXPECT_FALSE(IsRed(saveAs));
}

TEST(QtWindow, ChoosingEnglishChangesTheCaptionsAtOnce) {
  QtWindow w;
  auto* combo = qobject_cast<QComboBox*>(w.window->Control("SpracheComboBox"));
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->currentText(), QStringLiteral("Deutsch"));
  // Qt's own buttons and dialogs follow the window's language, where the
  // system has the toolkit's catalogue.
  const bool catalogue = QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm");
  const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
  if (catalogue) {
    EXPECT_EQ(yes(), QStringLiteral("&Ja"));
  }
  w.window->Pages()->setCurrentIndex(1);
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);  // a user's choice, as with the mouse
  EXPECT_EQ(w.form->LanguageName, "English");
  EXPECT_EQ(combo->currentText(), QStringLiteral("English"));
  EXPECT_EQ(w.window->Button("OeffnenButton")->text(), QStringLiteral("Open"));
  EXPECT_EQ(w.window->Button("SpeichernUnterBitBtn")->text(), QStringLiteral("Save as..."));
  EXPECT_EQ(w.window->Pages()->tabText(0), QString::fromStdString(w.form->LanguageText(17)));
  EXPECT_EQ(w.window->Label("Label4")->text(), QStringLiteral("Elements"));
  EXPECT_EQ(w.Header("StringGrid5", 1), QStringLiteral("Distance"));
  EXPECT_EQ(w.Header("StringGrid4", 0), QStringLiteral("LOD No."));
  EXPECT_EQ(yes(), QStringLiteral("&Yes"));
}

TEST(QtWindow, RefusedCellTextIsEmptiedInTheViewAtOnce) {
  QtWindow w;
  // Distance grid: 250 is taken, 5000 is refused at its fourth character.
  w.window->Pages()->setCurrentIndex(1);
  w.ClickCell("StringGrid4", 1, 1);
  QLineEdit* editor = w.TypeIntoCurrentCell("StringGrid4", QStringLiteral("250"));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(w.Cell("StringGrid4", 1, 1), QStringLiteral("250"));
  EXPECT_EQ(w.Cell("StringGrid5", 1, 1), QStringLiteral("250")) << "the overview follows while typing";
  editor->clear();
  QTest::keyClicks(editor, QStringLiteral("5000"));
  EXPECT_EQ(editor->text(), QString());
  EXPECT_EQ(w.Cell("StringGrid4", 1, 1), QString());
  ASSERT_FALSE(w.script.messages.empty());
  EXPECT_EQ(w.script.messages.back().kind, MsgKind::Warning);
  EXPECT_EQ(w.script.messages.back().text, "Bitte nur positive ganze Zahlen 1...2000 eintragen!");
  // The editor stays open on the emptied cell; a good value fills it again
  // (an empty distance would keep the focus in the grid when it is left).
  QTest::keyClicks(editor, QStringLiteral("300"));
  EXPECT_EQ(w.Cell("StringGrid4", 1, 1), QStringLiteral("300"));

  // Element grid after opening: "L 1" takes 99 and refuses 100.
  w.window->Pages()->setCurrentIndex(0);
  w.OpenSample();
  ASSERT_GE(w.window->Model("StringGrid1")->rowCount(), 1);
  w.script.messages.clear();
  w.ClickCell("StringGrid1", 3, 1);
  EXPECT_EQ(w.form->StringGrid1.Col, 3);
  editor = w.TypeIntoCurrentCell("StringGrid1", QStringLiteral("100"));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), QString());
  EXPECT_EQ(w.Cell("StringGrid1", 3, 1), QString());
  ASSERT_EQ(w.script.messages.size(), 1u);
  EXPECT_EQ(w.script.messages[0].text, "Bitte nur positive ganze Zahlen 1...99 oder 0 oder 999 eintragen!");
}

TEST(QtWindow, SelectionOutsideTheEditableColumnsIsRefused) {
  QtWindow w;
  w.OpenSample();
  GridView* v = w.window->Grid("StringGrid1");
  w.ClickCell("StringGrid1", 3, 1);
  ASSERT_EQ(v->currentIndex().column(), 3);
  w.ClickCell("StringGrid1", 1, 1);  // "Image" may not be selected
  EXPECT_EQ(v->currentIndex().column(), 3);
  EXPECT_EQ(w.form->StringGrid1.Col, 3);
  v->setFocus();
  QTest::keyClick(v, Qt::Key_Left);  // nor reached with the keyboard
  EXPECT_EQ(v->currentIndex().column(), 3);
}

TEST(QtWindow, LodCountIsCommittedWhenTheSpinEditIsLeft) {
  QtWindow w;
  w.window->Pages()->setCurrentIndex(1);
  auto* spin = qobject_cast<QSpinBox*>(w.window->Control("LODAnzSpinEdit"));
  ASSERT_NE(spin, nullptr);
  spin->setFocus();
  QApplication::processEvents();
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(w.form->LODAnzSpinEdit.Value, 2);
  EXPECT_EQ(w.window->Model("StringGrid4")->rowCount(), 2) << "the distance grid follows the value at once";
  EXPECT_EQ(w.form->LodCount, 1) << "the LOD count waits until the control is left";
  QTest::keyClicks(spin, QStringLiteral("7"));
  EXPECT_EQ(spin->value(), 2) << "no typing into the spin edit";

  w.window->Button("OeffnenButton")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(w.form->LodCount, 2);
  EXPECT_EQ(w.window->Model("StringGrid1")->columnCount(), 5);
  EXPECT_EQ(w.Header("StringGrid1", 4), QStringLiteral("L 2"));
}

TEST(QtWindow, CloseAsksAboutUnsavedChangesAndCancelKeepsTheWindow) {
  QtWindow w;
  w.window->Run([&] { w.form->SMemoChange(); });
  w.script.answers.push_back(MsgResult::Cancel);
  QTest::mouseClick(w.window->Button("Button1"), Qt::LeftButton);
  ASSERT_EQ(w.script.messages.size(), 1u);
  EXPECT_EQ(w.script.messages[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_TRUE(w.window->isVisible());
  w.script.answers.push_back(MsgResult::No);
  QTest::mouseClick(w.window->Button("Button1"), Qt::LeftButton);
  EXPECT_FALSE(w.window->isVisible());
}

TEST(DialogNameFilters, ConvertsDescriptionPatternPairs) {
  EXPECT_EQ(DialogNameFilters("Shape-Dateien (*.s)|*.s|Alle Dateien (*.*)|*.*"),
            (QStringList{QStringLiteral("Shape-Dateien (*.s)"), QStringLiteral("Alle Dateien (*)")}));
  EXPECT_EQ(DialogNameFilters("ffeditc_unicode.exe|ffeditc_unicode.exe|Programme|*.exe;*.bat"),
            (QStringList{QStringLiteral("ffeditc_unicode.exe (ffeditc_unicode.exe)"),
                         QStringLiteral("Programme (*.exe *.bat)")}));
  EXPECT_TRUE(DialogNameFilters("").isEmpty());
  EXPECT_TRUE(DialogNameFilters("only a description").isEmpty());
}

TEST(QtWindow, LeavingTheDistanceGridWithAnEmptyCellBringsTheFocusBack) {
  QtWindow w("[LODs]\r\nAnzahl=2\r\n1=100\r\n2=900\r\n");
  w.window->Pages()->setCurrentIndex(1);
  w.ClickCell("StringGrid4", 1, 2);
  QLineEdit* editor = w.TypeIntoCurrentCell("StringGrid4", QStringLiteral("9"));
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClick(editor, Qt::Key_Backspace);
  EXPECT_EQ(w.Cell("StringGrid4", 1, 2), QString());
  EXPECT_TRUE(w.script.messages.empty()) << "clearing a cell while typing is allowed";

  w.window->Control("LODAnzSpinEdit")->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(w.script.messages.size(), 1u);
  EXPECT_EQ(w.script.messages[0].kind, MsgKind::Information);
  EXPECT_EQ(w.script.messages[0].text, "Bitte Wert eintragen.");
  GridView* distances = w.window->Grid("StringGrid4");
  EXPECT_TRUE(distances->hasFocus() || distances->isAncestorOf(QApplication::focusWidget()));
  EXPECT_EQ(distances->currentIndex().row(), 1);
  EXPECT_EQ(distances->currentIndex().column(), 1);
}

TEST(QtWindow, EveryCaptionIsWholeOnBothPagesInBothLanguagesAndInAWideFace) {
  // The window's own face, and a wide one as on systems without the
  // narrow faces the captions were laid out for.
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide ? "wide face" : "window face");
    QtWindow w("[LODs]\r\nAnzahl=3\r\n1=100\r\n2=500\r\n3=2000\r\n");
    MainWindow& win = *w.window;
    if (wide) {
      QFont f(QStringLiteral("DejaVu Sans"));
      f.setPixelSize(11);
      win.setFont(f);
      win.FitCaptions();
    }
    w.OpenSample();
    auto* combo = qobject_cast<QComboBox*>(win.Control("SpracheComboBox"));
    ASSERT_NE(combo, nullptr);
    for (const char* language : {"Deutsch", "English"}) {
      if (w.form->LanguageName != language) {
        win.Pages()->setCurrentIndex(1);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        ASSERT_EQ(w.form->LanguageName, language);
      }
      for (int page : {0, 1}) {
        SCOPED_TRACE(std::string(language) + ", page " + std::to_string(page));
        win.Pages()->setCurrentIndex(page);
        QApplication::processEvents();
        EXPECT_FALSE(win.grab().isNull());
        EXPECT_EQ(CutCaptions(win), std::vector<std::string>{});
      }
      // Titles with room to spare keep the window's face.
      for (const char* name : {"Label4", "Label5", "Label6", "Label24"}) {
        if (!wide) {
          EXPECT_EQ(QFontInfo(win.Control(name)->font()).pixelSize(), QFontInfo(win.font()).pixelSize()) << name;
        }
      }
    }
  }
}

// The preview window draws the model's picture and sends its clicks and
// drags to the model; it opens with its button and is updated with the
// rest of the window.
TEST(QtWindow, PreviewButtonOpensAPreviewThatFollowsItsControls) {
  QtWindow w;
  w.OpenSample();
  QPushButton* button = w.window->Button("PreviewButton");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("Vorschau"));
  EXPECT_EQ(button->geometry(), QRect(680, 13, 145, 25));
  QTest::mouseClick(button, Qt::LeftButton);
  PreviewWindow* p = w.window->Preview();
  ASSERT_NE(p, nullptr);
  ASSERT_TRUE(p->isVisible());
  auto drawn = [&] {
    int n = 0;
    const QImage& img = p->Picture();
    const QRgb background = qRgb(kPreviewBackground.r, kPreviewBackground.g, kPreviewBackground.b);
    for (int y = 0; y < img.height(); y += 4)
      for (int x = 0; x < img.width(); x += 4) n += (img.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF);
    return n;
  };
  const int front = drawn();
  EXPECT_GT(front, 0);
  QTest::mouseClick(p->ViewButton(PreviewView::Top), Qt::LeftButton);
  EXPECT_EQ(w.form->Preview.Camera.pitchDegrees, 90);
  EXPECT_NE(drawn(), front);
  p->ColourBox()->click();
  EXPECT_TRUE(w.form->Preview.ColourBySubObject);
  EXPECT_FALSE(p->Status()->text().isEmpty());
  p->close();
  EXPECT_FALSE(w.form->Preview.Visible);
}

// The preview opens beside the main window: on the side with room, narrowed
// to that room down to its smallest width, or as far aside as it fits.
TEST(QtWindow, PreviewOpensBesideTheMainWindow) {
  const QRect area(0, 0, 1920, 1040);
  const QSize size(836, 719);
  struct Case {
    QRect main;
    int left, right;
  };
  for (const Case& c : {Case{QRect(0, 0, 995, 633), 995, 1831}, Case{QRect(925, 100, 995, 633), 89, 925},
                        Case{QRect(462, 200, 995, 633), 1457, 1920}, Case{QRect(142, 0, 995, 633), 1137, 1920}}) {
    const QRect r = BesideWindow(c.main, size, area, 376);
    EXPECT_EQ(r.left(), c.left);
    EXPECT_EQ(r.right() + 1, c.right);
    EXPECT_FALSE(r.intersects(c.main));
  }
  const QRect r = BesideWindow(QRect(142, 40, 995, 633), size, QRect(0, 0, 1280, 720), 376);
  EXPECT_EQ(r, QRect(1280 - 836, 1, 836, 719));

  // The window itself opens there (the offscreen screen is smaller than the
  // main window: the preview stands as far aside as it fits).
  QtWindow w;
  w.OpenSample();
  const QRect screen = w.window->screen()->availableGeometry();
  w.window->move(screen.topLeft());
  QTest::mouseClick(w.window->Button("PreviewButton"), Qt::LeftButton);
  PreviewWindow* p = w.window->Preview();
  ASSERT_NE(p, nullptr);
  const QRect main = w.window->frameGeometry(), shown = p->frameGeometry();
  EXPECT_EQ(shown.topLeft(), BesideWindow(main, shown.size(), screen, shown.width()).topLeft());
  if (screen.right() - main.right() >= p->minimumSizeHint().width()) {
    EXPECT_FALSE(shown.intersects(main));
  }
}
