// Lodsmith's window. The program itself takes no arguments; a few options
// serve documentation and testing (UiMsg::WindowUsage lists them).
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lodsmith_version.h"
#include "platform/system_info.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "ui/tlsform.h"
#include "ui/ui_messages.h"

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

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot, openShape;
  int page = 0;
  for (int i = 1; i < argc; ++i) {
    // Answered before the window is made: they need no display.
    if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
      std::fputs(OwnText(Message(UiMsg::WindowUsage)).c_str(), stdout);
      return 0;
    } else if (!std::strcmp(argv[i], "--version")) {
      std::printf("%s\n", kVersionLine);
      return 0;
    } else if (!std::strcmp(argv[i], "--screenshot") && i + 1 < argc) {
      screenshot = argv[++i];
    } else if (!std::strcmp(argv[i], "--open") && i + 1 < argc) {
      openShape = argv[++i];
    } else if (!std::strcmp(argv[i], "--page") && i + 1 < argc) {
      page = std::atoi(argv[++i]);
    }
  }

#ifdef Q_OS_LINUX
  // Without a reachable display Qt would abort. Let it fall back to drawing
  // off screen instead, and then tell the user rather than run invisibly.
  const bool platformChosen = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
  if (!platformChosen) {
    const bool waylandSession =
        qgetenv("XDG_SESSION_TYPE") == "wayland" && qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    qputenv("QT_QPA_PLATFORM", waylandSession ? "wayland;xcb;offscreen" : "xcb;wayland;offscreen");
  }
#else
  const bool platformChosen = true;
#endif

  QApplication app(argc, argv);
  if (!platformChosen && QGuiApplication::platformName() == QLatin1String("offscreen") && screenshot.empty()) {
    std::fprintf(stderr, "%s\n", OwnText(Message(UiMsg::NoDisplay)).c_str());
    return kNoDisplay;
  }

  QtPlatform platform;
  TLSForm form(platform);
  platform.SetForm(&form);
  MainWindow window(form, platform);
  platform.SetWindow(&window);
  window.Run([&] { form.FormCreate(); });

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
  }
  window.show();

  if (!screenshot.empty()) {
    if (!openShape.empty()) {
      QtPlatform::Script script;
      script.openResults.push_back(openShape);
      platform.SetScript(&script);
      window.Run([&] { form.OeffnenButtonClick(); });
      platform.SetScript(nullptr);
      for (const auto& m : script.messages) std::fprintf(stderr, "%s: %s\n", MsgKindName(m.kind), m.text.c_str());
    }
    window.Pages()->setCurrentIndex(page);
    int status = 0;
    QTimer::singleShot(500, &app, [&] {
      if (!window.grab().save(QString::fromLocal8Bit(screenshot.c_str()))) {
        std::fprintf(stderr, "%s\n", OwnText(Message(UiMsg::PictureNotWritten, screenshot)).c_str());
        status = 1;
      }
      app.quit();
    });
    app.exec();
    return status;
  }

  const int status = app.exec();
  form.Dispatch([&] { form.FormDestroy(); });
  return status;
}
