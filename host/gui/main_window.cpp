#include "host/gui/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "host/gui/app_session.h"
#include "host/gui/art_selection.h"
#include "host/document/document.h"
#include "host/gui/document_view.h"
#include "host/gui/export_painted.h"
#include "host/gui/qt_dialog_runner.h"
#include "host/gui/swatch_strip.h"
#include "host/io/palette_reader.h"
#include "host/io/document_input.h"
#include "host/io/json_writer.h"
#include "host/io/svg_writer.h"

namespace qx::gui {
namespace {

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

constexpr double kA4Width = 595.2756, kA4Height = 841.8898;  // 210 x 297 mm in points

}  // namespace

MainWindow::MainWindow(AppSession& session, QtDialogRunner& runner, QWidget* parent)
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
  busyBar_ = new QProgressBar(this);
  busyBar_->setRange(0, 0);  // a moving bar: how long is not known
  busyBar_->setMaximumWidth(120);
  busyBar_->setVisible(false);
  statusBar()->addPermanentWidget(busyBar_);
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
  file->addAction(tr("Load &Palette..."), this, [this] { choosePalette(); });
  file->addSeparator();
  file->addAction(tr("Export as S&VG..."), this, [this] { chooseExport("svg"); });
  file->addAction(tr("Export as &PNG..."), this, [this] { chooseExport("png"); });
  file->addAction(tr("Export as P&DF..."), this, [this] { chooseExport("pdf"); });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, this, [this] { close(); });

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  undoAction_ = edit->addAction(tr("&Undo"), QKeySequence::Undo, this, [this] {
    session_.undo();
    view_->documentChanged();
    updateUndo();
    updateSelection();
  });
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

  helpMenu_->clear();
  for (host::LoadedPlugin* plugin : session_.loaded()) {
    const QString name = QFileInfo(fromUtf8(session_.plugins().path(plugin))).completeBaseName();
    helpMenu_->addAction(tr("About %1...").arg(name), this, [this, plugin] {
      session_.about(plugin);
      updateUndo();
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
  view_->documentChanged();
  updateUndo();
  updateSelection();
  // A failure was shown by the plug-in in its own error dialog; a cancel is
  // no failure at all.
  if (rc == 0 && !keepError.empty()) showError(tr("The settings could not be kept: %1").arg(fromUtf8(keepError)));
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
  selectOnly(art, art.topLevelArt());
  view_->selectionChanged();
  updateSelection();
}

void MainWindow::deselectAll() {
  selectOnly(session_.document().art(), {});
  view_->selectionChanged();
  updateSelection();
}

bool MainWindow::deleteSelection() {
  if (!session_.deleteSelection()) return false;
  view_->documentChanged();
  updateUndo();
  updateSelection();
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
  setWindowTitle(tr("%1 - Quelvix").arg(name));
}

void MainWindow::updateUndo() {
  undoAction_->setEnabled(session_.canUndo());
  undoAction_->setText(session_.canUndo() ? tr("&Undo %1").arg(fromUtf8(session_.undoName())) : tr("&Undo"));
}

void MainWindow::showError(const QString& text) {
  lastError_ = text;
  statusBar()->showMessage(text, 10000);
  if (quiet_) return;
  QMessageBox::critical(this, tr("Quelvix"), text);
}

// ---- Files ----

bool MainWindow::newDocument(double width, double height) {
  auto doc = std::make_unique<host::Document>();
  if (doc->setPageSize(static_cast<QxReal>(width), static_cast<QxReal>(height)) != QX_ERR_NONE) {
    showError(tr("A page must be wider and taller than 0 points."));
    return false;
  }
  session_.replaceDocument(std::move(doc));
  path_.clear();
  documentReplaced();
  return true;
}

bool MainWindow::openFile(const QString& path) {
  std::string why;
  auto doc = host::readDocumentFile(path.toStdString(), &why);
  if (!doc) {
    showError(tr("Cannot open %1: %2").arg(path, fromUtf8(why)));
    return false;
  }
  session_.replaceDocument(std::move(doc));
  path_ = path;
  documentReplaced();
  return true;
}

bool MainWindow::saveFile(const QString& path) {
  if (!exportFile(path, "svg")) return false;
  path_ = path;
  updateTitle();
  return true;
}

bool MainWindow::exportFile(const QString& path, const QString& format, double dpi) {
  std::string why;
  const std::string target = path.toStdString();
  const host::Document& doc = session_.document();
  bool ok = false;
  if (format == "svg") ok = host::saveSvg(doc, target, &why);
  else if (format == "json") ok = host::saveDocumentJson(doc, target, &why);
  else if (format == "png") ok = writePng(doc, target, dpi > 0 ? dpi : kDefaultPngDpi, &why);
  else if (format == "pdf") ok = writePdf(doc, target, &why);
  else why = "unknown format";
  if (!ok) {
    showError(tr("Cannot write %1: %2").arg(path, fromUtf8(why)));
    return false;
  }
  statusBar()->showMessage(tr("Wrote %1").arg(path), 5000);
  return true;
}

void MainWindow::chooseNew() {
  QDialog dialog(this);
  dialog.setWindowTitle(tr("New Document"));
  auto* form = new QFormLayout(&dialog);
  auto* size = new QComboBox(&dialog);
  size->addItems({tr("Letter (612 x 792 pt)"), tr("A4 (595 x 842 pt)"), tr("Custom")});
  auto* width = new QDoubleSpinBox(&dialog);
  auto* height = new QDoubleSpinBox(&dialog);
  for (QDoubleSpinBox* box : {width, height}) {
    box->setRange(1, 100000);
    box->setDecimals(2);
    box->setSuffix(" pt");
  }
  width->setValue(612);
  height->setValue(792);
  form->addRow(tr("Page size"), size);
  form->addRow(tr("Width"), width);
  form->addRow(tr("Height"), height);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto follow = [=](int index) {
    const bool custom = index == 2;
    width->setEnabled(custom);
    height->setEnabled(custom);
    if (index == 0) width->setValue(612), height->setValue(792);
    if (index == 1) width->setValue(kA4Width), height->setValue(kA4Height);
  };
  connect(size, &QComboBox::currentIndexChanged, &dialog, follow);
  follow(0);
  if (dialog.exec() == QDialog::Accepted) newDocument(width->value(), height->value());
}

void MainWindow::chooseOpen() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Open"), QString(), tr("Drawings (*.svg *.json)"));
  if (!path.isEmpty()) openFile(path);
}

bool MainWindow::loadPalette(const QString& path) {
  std::string why;
  auto palette = host::readPaletteFile(path.toStdString(), &why);
  if (!palette) {
    showError(tr("Cannot load the palette: %1").arg(fromUtf8(why)));
    return false;
  }
  session_.document().setSwatches(host::paletteSwatches(*palette));
  swatches_->setDocument(&session_.document());
  statusBar()->showMessage(tr("%1 colours from %2").arg(palette->size()).arg(QFileInfo(path).fileName()), 5000);
  return true;
}

void MainWindow::choosePalette() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Load Palette"), QString(),
                                                    tr("Palettes (*.gpl *.txt *.hex);;All files (*)"));
  if (!path.isEmpty()) loadPalette(path);
}

void MainWindow::chooseSaveAs() {
  QString path = QFileDialog::getSaveFileName(this, tr("Save As"), path_, tr("SVG drawings (*.svg)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(".svg", Qt::CaseInsensitive)) path += ".svg";
  saveFile(path);
}

void MainWindow::chooseExport(const QString& format) {
  double dpi = 0;
  if (format == "png") {
    bool ok = false;
    dpi = QInputDialog::getInt(this, tr("Export as PNG"), tr("Resolution (pixels per inch):"),
                               static_cast<int>(kDefaultPngDpi), static_cast<int>(kMinPngDpi),
                               static_cast<int>(kMaxPngDpi), 1, &ok);
    if (!ok) return;
  }
  const QString filter = format.toUpper() + tr(" files (*.%1)").arg(format);
  QString path = QFileDialog::getSaveFileName(this, tr("Export"), QString(), filter);
  if (path.isEmpty()) return;
  if (!path.endsWith("." + format, Qt::CaseInsensitive)) path += "." + format;
  exportFile(path, format, dpi);
}

}  // namespace qx::gui
