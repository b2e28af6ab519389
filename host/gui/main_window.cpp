#include "host/gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "host/document/document.h"
#include "host/gui/document_view.h"
#include "host/gui/qt_dialog_runner.h"
#include "host/gui/swatch_strip.h"
#include "host/gui/variations_dialog.h"
#include "host/session/app_session.h"
#include "host/session/selection.h"

namespace qx::gui {
namespace {

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

MainWindow::MainWindow(host::AppSession& session, QtDialogRunner& runner, QWidget* parent)
    : QMainWindow(parent), session_(session), runner_(runner) {
  view_ = new DocumentView(this);
  setCentralWidget(view_);
  swatches_ = new SwatchStrip(this);
  auto* strip = new QToolBar(tr("Swatches"), this);
  addToolBar(Qt::BottomToolBarArea, strip);
  strip->setMovable(false);
  strip->addWidget(swatches_);
  runner_.setParentWindow(this);
  runner_.setDocumentView(view_);

  zoomLabel_ = new QLabel(this);
  selectionLabel_ = new QLabel(this);
  seedLabel_ = new QLabel(this);
  busyBar_ = new QProgressBar(this);
  busyBar_->setRange(0, 0);  // a moving bar: how long is not known
  busyBar_->setMaximumWidth(120);
  busyBar_->setVisible(false);
  statusBar()->addPermanentWidget(busyBar_);
  statusBar()->addPermanentWidget(seedLabel_);
  statusBar()->addPermanentWidget(selectionLabel_);
  statusBar()->addPermanentWidget(zoomLabel_);
  connect(view_, &DocumentView::zoomChanged, this,
          [this](double z) { zoomLabel_->setText(QString("%1 %").arg(z * 100, 0, 'f', 0)); });
  connect(view_, &DocumentView::busyChanged, this, [this](bool busy) {
    busyBar_->setVisible(busy);
    if (busy) statusBar()->showMessage(tr("Drawing..."));
    else statusBar()->clearMessage();
  });

  connect(view_, &DocumentView::selectionEdited, this, [this] { updateSelection(); });

  renderProgram_ = QCoreApplication::applicationFilePath();
  buildMenus();
  rebuildPluginMenus();
  resize(1000, 760);
  documentReplaced();
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(tr("&New..."), QKeySequence::New, this, [this] { chooseNew(); });
  file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] { chooseOpen(); });
  file->addAction(tr("&Save"), QKeySequence::Save, this, [this] {
    if (path_.isEmpty()) chooseSaveAs();
    else saveFile(path_);
  });
  file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, [this] { chooseSaveAs(); });
  file->addAction(tr("&Import..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I), this, [this] { chooseImport(); });
  file->addAction(tr("Load &Palette..."), this, [this] { choosePalette(); });
  file->addSeparator();
  file->addAction(tr("Save Settings As..."), this, [this] { chooseSaveSettings(); });
  file->addAction(tr("Load Settings..."), this, [this] { chooseLoadSettings(); });
  file->addSeparator();
  file->addAction(tr("Export as S&VG..."), this, [this] { chooseExport("svg"); });
  file->addAction(tr("Export as &PNG..."), this, [this] { chooseExport("png"); });
  file->addAction(tr("Export as P&DF..."), this, [this] { chooseExport("pdf"); });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, this, [this] { close(); });

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  undoAction_ = edit->addAction(tr("&Undo"), QKeySequence::Undo, this, [this] { undo(); });
  redoAction_ = edit->addAction(tr("&Redo"), QKeySequence::Redo, this, [this] { redo(); });
  edit->addSeparator();
  deleteAction_ = edit->addAction(tr("&Delete"), QKeySequence::Delete, this, [this] { deleteSelection(); });
  edit->addAction(tr("Select &All"), QKeySequence::SelectAll, this, [this] { selectAll(); });
  deselectAction_ = edit->addAction(tr("D&eselect"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), this,
                                    [this] { deselectAll(); });

  QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
  viewMenu->addAction(tr("Zoom &In"), QKeySequence::ZoomIn, this,
                      [this] { view_->zoomBy(1.25, QPointF(view_->width() / 2.0, view_->height() / 2.0)); });
  viewMenu->addAction(tr("Zoom &Out"), QKeySequence::ZoomOut, this,
                      [this] { view_->zoomBy(0.8, QPointF(view_->width() / 2.0, view_->height() / 2.0)); });
  viewMenu->addAction(tr("Fit &Page"), QKeySequence(Qt::CTRL | Qt::Key_0), this, [this] { view_->fitPage(); });
  viewMenu->addAction(tr("Fit &Art"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_0), this, [this] { view_->fitArt(); });
  viewMenu->addAction(tr("&Actual Size (100 %)"), QKeySequence(Qt::CTRL | Qt::Key_1), this,
                      [this] { view_->actualSize(); });

  filterMenu_ = menuBar()->addMenu(tr("Filte&r"));
  helpMenu_ = menuBar()->addMenu(tr("&Help"));
}

void MainWindow::rebuildPluginMenus() {
  filterMenu_->clear();
  filterActions_.clear();
  std::map<std::string, QMenu*> categories;
  for (const host::RegisteredFilter& filter : session_.plugins().filters()) {
    QMenu*& sub = categories[filter.category];
    if (!sub) sub = filterMenu_->addMenu(fromUtf8(filter.category));
    const QxFilterHandle handle = filter.handle;
    QAction* action = sub->addAction(fromUtf8(filter.title), this, [this, handle] { runFilter(handle); });
    filterActions_[handle] = action;
  }
  if (filterActions_.empty()) filterMenu_->addAction(tr("(no filters loaded)"))->setEnabled(false);
  filterMenu_->addSeparator();
  filterMenu_->addAction(tr("Set Seed..."), this, [this] { chooseSeed(); });
  QAction* variations = filterMenu_->addAction(tr("Variations..."), this, [this] { showVariations(); });
  variations->setEnabled(!filterActions_.empty());

  helpMenu_->clear();
  for (host::LoadedPlugin* plugin : session_.loaded()) {
    const QString name = QFileInfo(fromUtf8(session_.plugins().path(plugin))).completeBaseName();
    helpMenu_->addAction(tr("About %1...").arg(name), this, [this, plugin] {
      session_.about(plugin);
      documentChanged();
    });
  }
  helpMenu_->addAction(tr("About &Qt..."), this, [] { QApplication::aboutQt(); });
}

QAction* MainWindow::filterAction(const QString& title) const {
  for (const auto& [handle, action] : filterActions_)
    if (action->text() == title) return action;
  return nullptr;
}

void MainWindow::runFilter(QxFilterHandle handle) {
  host::RegisteredFilter* filter = session_.plugins().findFilter(handle);
  if (!filter) return;
  std::string keepError;
  const QxErr rc = session_.runFilter(*filter, &keepError);
  documentChanged();
  // A failure was shown by the plug-in in its own error dialog; a cancel is
  // no failure at all.
  if (rc == 0 && !keepError.empty()) showError(tr("The settings could not be kept: %1").arg(fromUtf8(keepError)));
}

void MainWindow::undo() {
  if (!session_.undo() && !session_.canUndo()) statusBar()->showMessage(tr("Nothing to undo"), 3000);
  documentChanged();
}

void MainWindow::redo() {
  if (!session_.redo() && !session_.canRedo()) statusBar()->showMessage(tr("Nothing to redo"), 3000);
  documentChanged();
}

void MainWindow::documentChanged() {
  view_->documentChanged();
  view_->selectionChanged();
  swatches_->setDocument(&session_.document());
  updateTitle();
  updateUndo();
  updateSelection();
}

void MainWindow::documentReplaced() {
  host::Document& doc = session_.document();
  doc.setRedrawCallback([this] { view_->documentChanged(); });
  view_->setDocument(&doc);
  swatches_->setDocument(&doc);
  updateTitle();
  updateUndo();
  updateSelection();
}

void MainWindow::selectAll() {
  host::ArtStore& art = session_.document().art();
  host::selectOnly(art, art.topLevelArt());
  view_->selectionChanged();
  updateSelection();
}

void MainWindow::deselectAll() {
  host::selectOnly(session_.document().art(), {});
  view_->selectionChanged();
  updateSelection();
}

bool MainWindow::deleteSelection() {
  if (!session_.deleteSelection()) return false;
  documentChanged();
  return true;
}

void MainWindow::updateSelection() {
  const size_t count = view_->selectedCount();
  deleteAction_->setEnabled(count > 0);
  deselectAction_->setEnabled(count > 0);
  selectionLabel_->setText(count == 0   ? QString()
                           : count == 1 ? tr("1 object selected")
                                        : tr("%1 objects selected").arg(count));
}

void MainWindow::updateTitle() {
  const QString name = path_.isEmpty() ? tr("Untitled") : QFileInfo(path_).fileName();
  // "[*]" is where Qt shows the modified mark.
  setWindowTitle(tr("%1[*] - Quelvix").arg(name));
  setWindowModified(session_.modified());
  seedLabel_->setText(seedText());
}

QString MainWindow::seedText() const {
  QString text;
  if (auto seed = session_.document().seed(); seed && session_.document().art().liveArtCount() > 0)
    text = tr("Seed %1").arg(*seed);
  if (auto next = session_.nextSeed()) text += (text.isEmpty() ? "" : "  ") + tr("(next run: seed %1)").arg(*next);
  return text;
}

void MainWindow::setNextSeed(uint64_t seed) {
  session_.setNextSeed(seed);
  updateTitle();
}

void MainWindow::chooseSeed() {
  const std::optional<uint64_t> shown = session_.nextSeed() ? session_.nextSeed() : session_.document().seed();
  bool ok = false;
  const QString text = QInputDialog::getText(this, tr("Set Seed"),
                                             tr("Seed of the next run (0 to 18446744073709551615):"), QLineEdit::Normal,
                                             shown ? QString::number(*shown) : QString(), &ok)
                           .trimmed();
  if (!ok) return;
  bool valid = false;
  const qulonglong seed = text.toULongLong(&valid);
  if (!valid || text.startsWith('+')) {
    showError(tr("A seed is a whole number from 0 to 18446744073709551615, not \"%1\".").arg(text));
    return;
  }
  setNextSeed(seed);
}

void MainWindow::showVariations() {
  VariationsRequest request;
  request.program = renderProgram_;
  request.pluginDir = fromUtf8(session_.pluginDir());
  request.settings = session_.filterSettings();
  request.pageWidth = session_.document().pageWidth();
  request.pageHeight = session_.document().pageHeight();
  request.swatches = session_.document().swatches();
  const std::optional<uint64_t> from = session_.nextSeed() ? session_.nextSeed() : session_.document().seed();
  request.firstSeed = from ? *from + (session_.nextSeed() ? 0 : 1) : session_.random().seedFromClock();
  VariationsDialog dialog(std::move(request), this);
  if (onVariations_) QTimer::singleShot(0, &dialog, [this, &dialog] { onVariations_(dialog); });
  if (dialog.exec() == QDialog::Accepted && dialog.chosenSeed()) setNextSeed(*dialog.chosenSeed());
}

void MainWindow::updateUndo() {
  undoAction_->setEnabled(session_.canUndo());
  undoAction_->setText(session_.canUndo() ? tr("&Undo %1").arg(fromUtf8(session_.undoName())) : tr("&Undo"));
  redoAction_->setEnabled(session_.canRedo());
  redoAction_->setText(session_.canRedo() ? tr("&Redo %1").arg(fromUtf8(session_.redoName())) : tr("&Redo"));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (settleUnsavedChanges()) event->accept();
  else event->ignore();
}

void MainWindow::showError(const QString& text) {
  lastError_ = text;
  statusBar()->showMessage(text, 10000);
  if (quiet_) return;
  QMessageBox::critical(this, tr("Quelvix"), text);
}


}  // namespace qx::gui
