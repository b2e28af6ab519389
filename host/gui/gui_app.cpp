#include "host/gui/gui_app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

#include "host/gui/contact_sheet_image.h"
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

// Qt wants a private runtime folder and warns on standard error when
// XDG_RUNTIME_DIR is not set (it is not in a plain shell or a container),
// so every PNG or PDF run would print a warning. The folder Qt would fall
// back to is given to it instead, made private as Qt asks.
static void provideRuntimeFolder() {
  if (const char* set = std::getenv("XDG_RUNTIME_DIR"); set && *set) return;
  const std::string folder = "/tmp/runtime-" + std::to_string(getuid());
  struct stat st {};
  if (mkdir(folder.c_str(), 0700) != 0 &&
      (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 0077) != 0))
    return;  // someone else's or not a folder: leave it to Qt to say so
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

void ensureOffscreenApplication() {
  if (QCoreApplication::instance()) return;
  provideRuntimeFolder();
  static int argc = 3;
  static char arg0[] = "quelvix", arg1[] = "-platform", arg2[] = "offscreen";
  static char* argv[] = {arg0, arg1, arg2, nullptr};
  static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

int runGuiApp(int argc, char** argv, const host::DesktopLaunch& launch) {
  provideRuntimeFolder();
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
  entry.writeContactSheet = &writeContactSheet;
  return entry;
}

}  // namespace qx::gui
