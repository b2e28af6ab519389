// The document window's side of the file commands (new, open, save, import,
// export, palettes, settings files): the file dialogs, the question before
// unsaved changes are lost, and what the window shows after each. The work
// itself is done by session/document_commands.h and the painting layer.
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include "host/document/document.h"
#include "host/gui/main_window.h"
#include "host/io/document_input.h"
#include "host/paint/pdf_picture.h"
#include "host/paint/png_picture.h"
#include "host/session/app_session.h"
#include "host/session/document_commands.h"
#include "host/session/paint_options.h"

namespace qx::gui {
namespace {

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

constexpr double kA4Width = 595.2756, kA4Height = 841.8898;  // 210 x 297 mm in points

}  // namespace

bool MainWindow::settleUnsavedChanges() {
  if (!session_.modified()) return true;
  ++promptsAsked_;
  QMessageBox::StandardButton answer;
  if (promptAnswer_) {
    answer = promptAnswer_();
  } else if (quiet_) {
    answer = QMessageBox::Discard;  // no person to ask
  } else {
    const QString name = path_.isEmpty() ? tr("Untitled") : QFileInfo(path_).fileName();
    QMessageBox box(QMessageBox::Warning, tr("Quelvix"), tr("Save the changes to %1?").arg(name), QMessageBox::NoButton,
                    this);
    box.setInformativeText(tr("Your changes are lost if you don't save them."));
    // Buttons of our own, so that each has the same access key everywhere.
    QPushButton* save = box.addButton(tr("&Save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(tr("&Discard"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(save);
    box.exec();
    answer = box.clickedButton() == save      ? QMessageBox::Save
             : box.clickedButton() == discard ? QMessageBox::Discard
                                              : QMessageBox::Cancel;
  }
  if (answer == QMessageBox::Discard) return true;
  if (answer != QMessageBox::Save) return false;
  if (path_.isEmpty()) {
    chooseSaveAs();
    return !session_.modified();
  }
  return saveFile(path_);
}

bool MainWindow::newDocument(double width, double height) {
  auto doc = host::newPageDocument(width, height);
  if (!doc) {
    showError(tr("A page must be wider and taller than 0 points."));
    return false;
  }
  if (!settleUnsavedChanges()) return false;
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
  if (!settleUnsavedChanges()) return false;
  session_.replaceDocument(std::move(doc));
  path_ = path;
  documentReplaced();
  return true;
}

bool MainWindow::importFile(const QString& path) {
  std::string why;
  size_t copied = 0;
  if (!host::importDrawing(session_, path.toStdString(), &copied, &why)) {
    showError(tr("Cannot import %1: %2").arg(path, fromUtf8(why)));
    documentChanged();
    return false;
  }
  documentChanged();
  statusBar()->showMessage(tr("Imported %1 objects from %2").arg(copied).arg(QFileInfo(path).fileName()), 5000);
  return true;
}

void MainWindow::chooseImport() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Import"), QString(), tr("Drawings (*.svg *.json)"));
  if (!path.isEmpty()) importFile(path);
}

bool MainWindow::saveFile(const QString& path) {
  if (!exportFile(path, "svg")) return false;
  path_ = path;
  session_.markSaved();
  updateTitle();
  return true;
}

bool MainWindow::exportFile(const QString& path, const QString& format, double dpi) {
  std::string why;
  const std::string target = path.toStdString();
  const host::Document& doc = session_.document();
  host::PaintOptions options;
  options.dpi = dpi > 0 ? dpi : paint::kDefaultPngDpi;
  bool ok = false;
  if (format == "svg") ok = host::saveDrawing(doc, target, host::DrawingFormat::Svg, &why);
  else if (format == "json") ok = host::saveDrawing(doc, target, host::DrawingFormat::Json, &why);
  else if (format == "png") ok = paint::writePng(doc, target, options, &why) == host::WriteResult::Written;
  else if (format == "pdf") ok = paint::writePdf(doc, target, host::PaintOptions{}, &why) == host::WriteResult::Written;
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
  size_t colours = 0;
  if (!host::loadPalette(session_, path.toStdString(), &colours, &why)) {
    showError(tr("Cannot load the palette: %1").arg(fromUtf8(why)));
    return false;
  }
  documentChanged();
  statusBar()->showMessage(tr("%1 colours from %2").arg(colours).arg(QFileInfo(path).fileName()), 5000);
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

bool MainWindow::saveSettings(const QString& path) {
  std::string why;
  if (host::saveSettingsFile(session_, path.toStdString(), &why)) {
    statusBar()->showMessage(tr("Settings saved to %1").arg(QFileInfo(path).fileName()), 5000);
    return true;
  }
  showError(tr("Cannot save the settings to %1: %2").arg(path, fromUtf8(why)));
  return false;
}

bool MainWindow::loadSettings(const QString& path) {
  std::string why;
  if (host::loadSettingsFile(session_, path.toStdString(), &why)) {
    statusBar()->showMessage(tr("Settings loaded from %1; the next run uses them").arg(QFileInfo(path).fileName()),
                             5000);
    return true;
  }
  showError(tr("Cannot load the settings from %1: %2").arg(path, fromUtf8(why)));
  return false;
}

void MainWindow::chooseSaveSettings() {
  QString path = QFileDialog::getSaveFileName(this, tr("Save Settings As"), QString(), tr("Settings (*.bin)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += ".bin";
  saveSettings(path);
}

void MainWindow::chooseLoadSettings() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Load Settings"), QString(),
                                                    tr("Settings (*.bin);;All files (*)"));
  if (!path.isEmpty()) loadSettings(path);
}

void MainWindow::chooseExport(const QString& format) {
  double dpi = 0;
  if (format == "png") {
    bool ok = false;
    dpi = QInputDialog::getInt(this, tr("Export as PNG"), tr("Resolution (pixels per inch):"),
                               static_cast<int>(paint::kDefaultPngDpi), static_cast<int>(paint::kMinPngDpi),
                               static_cast<int>(paint::kMaxPngDpi), 1, &ok);
    if (!ok) return;
  }
  const QString filter = format.toUpper() + tr(" files (*.%1)").arg(format);
  QString path = QFileDialog::getSaveFileName(this, tr("Export"), QString(), filter);
  if (path.isEmpty()) return;
  if (!path.endsWith("." + format, Qt::CaseInsensitive)) path += "." + format;
  exportFile(path, format, dpi);
}

}  // namespace qx::gui
