// The document window: the canvas, the File, Edit, View, Filter and Help
// menus, and a status bar with the seed, the selection, the zoom and a busy
// indicator. The title names the file and marks unsaved changes; New, Open
// and Quit ask before unsaved changes are lost.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QMessageBox>

#include "host/plugins/plugin_host.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;

namespace qx::host {
class AppSession;
}

namespace qx::gui {

class DocumentView;
class QtDialogRunner;
class SwatchStrip;
class VariationsDialog;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(host::AppSession& session, QtDialogRunner& runner, QWidget* parent = nullptr);

  DocumentView* view() const { return view_; }
  QMenu* filterMenu() const { return filterMenu_; }
  // The Filter menu's action for the filter titled `title` (nullptr when none).
  QAction* filterAction(const QString& title) const;
  QAction* undoAction() const { return undoAction_; }
  QAction* redoAction() const { return redoAction_; }
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
  // Place the art of a drawing (.svg or .json) over the document's.
  bool importFile(const QString& path);
  // Make the colours of a palette file (.gpl or #rrggbb lines) the
  // document's swatches.
  bool loadPalette(const QString& path);
  bool exportFile(const QString& path, const QString& format, double dpi = 0);
  // Run a filter as the menu does.
  void runFilter(QxFilterHandle filter);
  void undo();
  void redo();

  // The default filter's settings to and from a settings file (the kept
  // block `quelvix render --state` reads).
  bool saveSettings(const QString& path);
  bool loadSettings(const QString& path);
  // Filter > Variations...: the current settings with the next seeds.
  void showVariations();
  // The seed of the next filter run (Filter > Set Seed..., a variation).
  void setNextSeed(uint64_t seed);
  // The status bar's seed text.
  QString seedText() const;

  // Unsaved changes are kept or let go as the person answers (Save,
  // Discard or Cancel); true when the caller may go on.
  bool settleUnsavedChanges();
  // Tests answer the unsaved-changes question without a person; the count
  // tells how often it was asked.
  void setPromptAnswer(std::function<QMessageBox::StandardButton()> answer) { promptAnswer_ = std::move(answer); }
  int promptsAsked() const { return promptsAsked_; }
  // Tests drive the Variations dialog while it is open.
  void setOnVariations(std::function<void(VariationsDialog&)> hook) { onVariations_ = std::move(hook); }
  // The program run for variation thumbnails (default: this one).
  void setRenderProgram(const QString& program) { renderProgram_ = program; }

  // The last failure message shown (tests).
  const QString& lastError() const { return lastError_; }
  // Message boxes close themselves and unsaved changes are let go without
  // asking (tests).
  void setQuietMessages(bool quiet) { quiet_ = quiet; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void documentChanged();  // after a step: picture, menus, title, seed
  void documentReplaced();
  void updateTitle();
  void updateUndo();
  void updateSelection();  // menu items and the status bar's count
  void showError(const QString& text);
  void chooseNew();
  void chooseOpen();
  void chooseImport();
  void choosePalette();
  void chooseSaveAs();
  void chooseExport(const QString& format);
  void chooseSaveSettings();
  void chooseLoadSettings();
  void chooseSeed();

  host::AppSession& session_;
  QtDialogRunner& runner_;
  DocumentView* view_ = nullptr;
  SwatchStrip* swatches_ = nullptr;
  QMenu* filterMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QLabel* seedLabel_ = nullptr;
  QAction* deleteAction_ = nullptr;
  QAction* deselectAction_ = nullptr;
  QLabel* selectionLabel_ = nullptr;
  QLabel* zoomLabel_ = nullptr;
  QProgressBar* busyBar_ = nullptr;
  std::map<QxFilterHandle, QAction*> filterActions_;
  QString path_;
  QString lastError_;
  bool quiet_ = false;
  std::function<QMessageBox::StandardButton()> promptAnswer_;
  int promptsAsked_ = 0;
  QString renderProgram_;
  std::function<void(VariationsDialog&)> onVariations_;
};

}  // namespace qx::gui
