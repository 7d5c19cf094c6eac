// Lodsmith's window. A shape given on the command line is opened; a few
// options serve documentation and testing (UiMsg::WindowUsage lists them).
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "lodsmith_version.h"
#include "platform/system_info.h"
#include "qt/main_window.h"
#include "qt/preview_window.h"
#include "qt/qt_platform.h"
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"
#include "ui/window_options.h"

using namespace lodsmith;

namespace {

// Exit status when no display can be used; scripts/run.sh falls back to the
// batch program on it.
constexpr int kNoDisplay = 3;

// What the program prints before it has a window: in the language the
// window would come up in.
std::string OwnText(const Message& message) {
  return MessageString(message, TLSForm::StoredLanguage(RunningExecutablePath(), UserSettingsFolderPath()));
}

// --help, --version and a wrong command line are answered before the
// window is made: they need no display. Nothing when the window is wanted.
std::optional<int> AnswerWithoutWindow(const WindowOptions& o) {
  if (o.wrong) {
    std::fputs(OwnText(Message(UiMsg::WindowUsage)).c_str(), stderr);
    return kWindowUsageExit;
  }
  if (o.help) {
    std::fputs(OwnText(Message(UiMsg::WindowUsage)).c_str(), stdout);
    return 0;
  }
  if (o.version) {
    std::printf("%s\n", kVersionLine);
    return 0;
  }
  return std::nullopt;
}

// Without a reachable display Qt would abort. Lets it fall back to drawing
// off screen instead, so that the program can tell the user rather than run
// invisibly. False when the program chose the display system itself.
bool UserChoseDisplaySystem() {
#ifdef Q_OS_LINUX
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return true;
  const bool waylandSession = qgetenv("XDG_SESSION_TYPE") == "wayland" && qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
  qputenv("QT_QPA_PLATFORM", waylandSession ? "wayland;xcb;offscreen" : "xcb;wayland;offscreen");
  return false;
#else
  return true;
#endif
}

// --screenshot: the shape opened (its messages to the error stream instead
// of boxes nobody would close), the page shown, and the window (or the
// preview) saved as a picture once it is drawn.
int SaveScreenshot(const WindowOptions& o, QApplication& app, QtPlatform& platform, TLSForm& form, MainWindow& window) {
  if (!o.ShapeToOpen().empty()) {
    QtPlatform::Script script;
    platform.SetScript(&script);
    window.Run([&] { form.OpenShapeFile(o.ShapeToOpen()); });
    platform.SetScript(nullptr);
    for (const auto& m : script.messages) std::fprintf(stderr, "%s: %s\n", MsgKindName(m.kind), m.text.c_str());
  }
  window.Pages()->setCurrentIndex(o.page);
  QWidget* shown = &window;
  if (o.preview) {
    window.Run([&] { form.PreviewButtonClick(); });
    if (window.Preview()) shown = window.Preview();
  }
  int status = 0;
  QTimer::singleShot(500, &app, [&] {
    if (!shown->grab().save(QString::fromLocal8Bit(o.screenshot.c_str()))) {
      std::fprintf(stderr, "%s\n", OwnText(Message(UiMsg::PictureNotWritten, o.screenshot)).c_str());
      status = 1;
    }
    app.quit();
  });
  app.exec();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const WindowOptions o = ParseWindowOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto answered = AnswerWithoutWindow(o)) return *answered;
  const bool platformChosen = UserChoseDisplaySystem();

  QApplication app(argc, argv);
  if (!platformChosen && QGuiApplication::platformName() == QLatin1String("offscreen") && o.screenshot.empty()) {
    std::fprintf(stderr, "%s\n", OwnText(Message(UiMsg::NoDisplay)).c_str());
    return kNoDisplay;
  }

  QtPlatform platform;
  TLSForm form(platform);
  platform.FollowLanguage(&form.LanguageName);
  MainWindow window(form, platform);
  platform.SetWindow(&window);
  window.Run([&] { form.FormCreate(); });

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
  }
  window.show();
  if (!o.screenshot.empty()) return SaveScreenshot(o, app, platform, form, window);

  // A shape given to the program (a double-click, "Open with") opens once
  // the window is up, as "Öffnen" would open it.
  QTimer::singleShot(0, &app, [&] {
    if (!o.shapes.empty()) window.Run([&] { form.OpenGivenShapes(o.shapes); });
    if (o.preview) window.Run([&] { form.PreviewButtonClick(); });
  });
  const int status = app.exec();
  form.Dispatch([&] { form.FormDestroy(); });
  return status;
}
