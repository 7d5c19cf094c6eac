#include "qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>

#include "core/file_io.h"
#include "core/text.h"
#include "platform/system_info.h"
#include "qt/main_window.h"
#include "qt/qt_print.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {

QString U(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString Trimmed(const std::string& s) { return U(s).trimmed(); }

}  // namespace

QStringList DialogNameFilters(const std::string& filter) {
  QStringList parts = U(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString pattern = parts[i + 1].trimmed();
    QStringList patterns;
    for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString t = p.trimmed();
      // On Windows "*.*" is every file; elsewhere it would miss names
      // without a dot.
      patterns << (t == QLatin1String("*.*") ? QStringLiteral("*") : t);
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    // Qt reads the patterns from the last parentheses of the text, so a
    // description that already names its pattern loses that part.
    const QString suffix = QLatin1Char('(') + pattern + QLatin1Char(')');
    if (description.endsWith(suffix)) description = description.left(description.size() - suffix.size()).trimmed();
    out << (description.isEmpty()
                ? patterns.join(QLatin1Char(' '))
                : description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
  }
  return out;
}

MsgResult QtPlatform::MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text, const MsgIdentity&) {
  if (script_) {
    script_->messages.push_back({kind, buttons, text});
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    if (script_->answers.empty()) return script_->defaultAnswer;
    MsgResult r = script_->answers.front();
    script_->answers.pop_front();
    return r;
  }

  // The box's own words are German only for German; every other language
  // gets the English ones (and the toolkit's buttons).
  const bool de = German();
  auto word = [de](UiMsg id) {
    return U(MessageString(lodsmith::Message(id), de ? Language::German : Language::English));
  };
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title;
  switch (kind) {
    case MsgKind::Warning:
      icon = QMessageBox::Warning;
      title = word(UiMsg::BoxWarning);
      break;
    case MsgKind::Information:
      icon = QMessageBox::Information;
      title = word(UiMsg::BoxInformation);
      break;
    case MsgKind::Confirmation:
      icon = QMessageBox::Question;
      title = word(UiMsg::BoxConfirmation);
      break;
    case MsgKind::Error:
      icon = QMessageBox::Critical;
      title = word(UiMsg::BoxError);
      break;
  }
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  if (buttons == MsgButtons::YesNo) set = QMessageBox::Yes | QMessageBox::No;
  if (buttons == MsgButtons::YesNoCancel) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;

  QMessageBox box(icon, title, U(text), set, window_);
  if (de) {
    if (auto* b = box.button(QMessageBox::Yes)) b->setText(word(UiMsg::ButtonYes));
    if (auto* b = box.button(QMessageBox::No)) b->setText(word(UiMsg::ButtonNo));
    if (auto* b = box.button(QMessageBox::Cancel)) b->setText(word(UiMsg::ButtonCancel));
    if (auto* b = box.button(QMessageBox::Ok)) b->setText(word(UiMsg::ButtonOk));
  }
  // Closing the box answers Cancel, or No where there is no Cancel.
  switch (buttons) {
    case MsgButtons::Ok:
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case MsgButtons::YesNo:
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::No);
      break;
    case MsgButtons::YesNoCancel:
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  // The hour-glass of a long action must not hide the pointer over the box.
  const bool busy = overrideActive_;
  if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = box.exec();
  if (busy) QGuiApplication::restoreOverrideCursor();
  switch (answer) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
  }
}

std::optional<std::string> QtPlatform::RunFileDialog(const FileDialogRequest& request, bool save) {
  if (script_) {
    (save ? script_->saveRequests : script_->openRequests).push_back(request);
    auto& queue = save ? script_->saveResults : script_->openResults;
    if (queue.empty()) return std::nullopt;
    auto r = queue.front();
    queue.pop_front();
    if (r && request.chosenFilter) *request.chosenFilter = request.filterIndex;
    return r;
  }

  QFileDialog dialog(window_);
  QString dir = QDir::fromNativeSeparators(Trimmed(request.initialDir));
  if (!dir.isEmpty() && QDir(dir).exists()) dialog.setDirectory(dir);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = DialogNameFilters(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
      dialog.selectNameFilter(filters[request.filterIndex - 1]);
  }
  if (!request.fileName.empty()) dialog.selectFile(U(request.fileName));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setSizeGripEnabled(true);
  const bool busy = overrideActive_;
  if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (busy) QGuiApplication::restoreOverrideCursor();
  if (!accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  if (request.chosenFilter) {
    // Several filters may share a pattern (the forms of a shape): the
    // selected one is told by its position.
    const auto at = filters.indexOf(dialog.selectedNameFilter());
    *request.chosenFilter = at >= 0 ? static_cast<int>(at) + 1 : request.filterIndex;
  }
  return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

void QtPlatform::ShowCursor(bool busy) {
  if (busy && !overrideActive_) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    overrideActive_ = true;
  } else if (!busy && overrideActive_) {
    QGuiApplication::restoreOverrideCursor();
    overrideActive_ = false;
  }
}

void QtPlatform::MirrorAndDispatch() {
  if (window_) window_->Mirror();
  QCoreApplication::processEvents();
}

void QtPlatform::FocusControl(const std::string& name) {
  if (window_) window_->FocusControl(name);
}

void QtPlatform::CloseWindow() {
  if (window_) window_->close();
}

void QtPlatform::ShowPreviewWindow() {
  if (window_) window_->ShowPreview();
}

int QtPlatform::ScreenWidth() {
  if (screenSizeOverride) return screenSizeOverride->first;
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->size().width() : 0;
}

int QtPlatform::ScreenHeight() {
  if (screenSizeOverride) return screenSizeOverride->second;
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->size().height() : 0;
}

char QtPlatform::DecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  if (point.size() == 1 && point[0].unicode() < 0x80) return static_cast<char>(point[0].unicode());
  return '.';
}

std::string QtPlatform::ExecutablePath() {
  if (executablePathOverride) return *executablePathOverride;
  return QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString();
}

PrinterInfo QtPlatform::DefaultPrinter(bool landscape) { return QtDefaultPrinter(landscape); }

void QtPlatform::PrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) {
  if (!QtPrintPages(pages, landscape, jobName)) throw Error(UiMsg::PrintFailed);
}

void QtPlatform::PrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) {
  if (!QtPrintPagesToPdf(pages, landscape, path)) throw Error(UiMsg::PdfNotWritten, path);
}

}  // namespace lodsmith
