#include "host/gui/gui_app.h"

#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

#include "host/gui/document_view.h"
#include "host/gui/export_painted.h"
#include "host/gui/main_window.h"
#include "host/gui/qt_dialog_runner.h"

namespace qx::gui {

bool displayAvailable() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

void ensureOffscreenApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 3;
  static char arg0[] = "quelvix", arg1[] = "-platform", arg2[] = "offscreen";
  static char* argv[] = {arg0, arg1, arg2, nullptr};
  static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

int runGuiApp(int argc, char** argv, const host::DesktopLaunch& launch) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quelvix");
  QtDialogRunner runner;
  AppSession session(runner, stateFileStore(launch.statePath, launch.fresh));
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

namespace {

host::PaintedWrite writePainted(const host::Document& document, const std::string& path, host::PaintedFormat format,
                                const host::PaintOptions& options, std::string* error) {
  ensureOffscreenApplication();
  if (format == host::PaintedFormat::Png) return writePng(document, path, options, error);
  return writePdf(document, path, options, error);
}

}  // namespace

host::DesktopEntry desktopEntry() {
  host::DesktopEntry entry;
  entry.displayAvailable = &displayAvailable;
  entry.run = &runGuiApp;
  entry.writePainted = &writePainted;
  return entry;
}

}  // namespace qx::gui
