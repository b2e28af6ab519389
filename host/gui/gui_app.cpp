#include "host/gui/gui_app.h"

#include <cstdlib>
#include <string>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "host/gui/main_window.h"
#include "host/gui/qt_dialog_runner.h"
#include "host/paint/offscreen_app.h"
#include "host/session/app_session.h"

namespace qx::gui {

bool displayAvailable() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int runGuiApp(int argc, char** argv, const host::DesktopLaunch& launch) {
  paint::provideRuntimeFolder();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quelvix");
  QtDialogRunner runner;
  host::AppSession session(runner, host::stateFileStore(launch.statePath, launch.fresh));
  std::vector<std::string> problems;
  session.loadPlugins(launch.pluginDir, &problems);
  MainWindow window(session, runner);
  window.show();
  if (!launch.openPath.empty()) window.openFile(QString::fromStdString(launch.openPath));
  if (!problems.empty()) {
    QString text;
    for (const std::string& p : problems) text += QString::fromStdString(p) + "\n";
    QTimer::singleShot(0, &window, [&window, text] { QMessageBox::warning(&window, "Quelvix", text.trimmed()); });
  }
  return app.exec();
}

host::DesktopEntry desktopEntry() {
  host::DesktopEntry entry;
  entry.displayAvailable = &displayAvailable;
  entry.run = &runGuiApp;
  return entry;
}

}  // namespace qx::gui
