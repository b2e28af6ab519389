// The document window: the canvas, the File, Edit, View, Filter and Help
// menus, and a status bar with the zoom and a busy indicator.
#pragma once

#include <map>
#include <string>

#include <QMainWindow>

#include "host/plugins/plugin_host.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;

namespace qx::gui {

class AppSession;
class DocumentView;
class QtDialogRunner;
class SwatchStrip;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(AppSession& session, QtDialogRunner& runner, QWidget* parent = nullptr);

  DocumentView* view() const { return view_; }
  QMenu* filterMenu() const { return filterMenu_; }
  // The Filter menu's action for the filter titled `title` (nullptr when none).
  QAction* filterAction(const QString& title) const;
  QAction* undoAction() const { return undoAction_; }
  QAction* deleteAction() const { return deleteAction_; }
  SwatchStrip* swatchStrip() const { return swatches_; }

  // Edit menu commands.
  void selectAll();
  void deselectAll();
  bool deleteSelection();

  // Build the Filter and Help menus from the loaded plug-ins.
  void rebuildPluginMenus();

  // File operations; each shows a clear message on failure and answers
  // whether it succeeded. `path` empty asks the person for one.
  bool newDocument(double width, double height);
  bool openFile(const QString& path);
  bool saveFile(const QString& path);
  // Make the colours of a palette file (.gpl or #rrggbb lines) the
  // document's swatches.
  bool loadPalette(const QString& path);
  bool exportFile(const QString& path, const QString& format, double dpi = 0);
  // Run a filter as the menu does.
  void runFilter(QxFilterHandle filter);

  const QString& currentPath() const { return path_; }
  // The last failure message shown (tests).
  const QString& lastError() const { return lastError_; }
  // Message boxes close themselves (tests).
  void setQuietMessages(bool quiet) { quiet_ = quiet; }

 private:
  void buildMenus();
  void documentReplaced();
  void updateTitle();
  void updateUndo();
  void updateSelection();  // menu items and the status bar's count
  void showError(const QString& text);
  void chooseNew();
  void chooseOpen();
  void choosePalette();
  void chooseSaveAs();
  void chooseExport(const QString& format);

  AppSession& session_;
  QtDialogRunner& runner_;
  DocumentView* view_ = nullptr;
  SwatchStrip* swatches_ = nullptr;
  QMenu* filterMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* deleteAction_ = nullptr;
  QAction* deselectAction_ = nullptr;
  QLabel* selectionLabel_ = nullptr;
  QLabel* zoomLabel_ = nullptr;
  QProgressBar* busyBar_ = nullptr;
  std::map<QxFilterHandle, QAction*> filterActions_;
  QString path_;
  QString lastError_;
  bool quiet_ = false;
};

}  // namespace qx::gui
