#include "host/gui/variations_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>

#include "host/io/color_convert.h"
#include "host/io/palette_reader.h"
#include "host/session/state_file.h"

namespace qx::gui {

VariationsDialog::VariationsDialog(VariationsRequest request, QWidget* parent)
    : QDialog(parent), request_(std::move(request)) {
  setWindowTitle(tr("Variations"));
  maxRunning_ = std::max(1, QThread::idealThreadCount());
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("The current settings with the next seeds. Click one to use its seed for the "
                                  "next run."),
                               this));
  grid_ = new QGridLayout;
  layout->addLayout(grid_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* more = buttons->addButton(tr("Next Seeds"), QDialogButtonBox::ActionRole);
  connect(more, &QPushButton::clicked, this, [this] { showNextSeeds(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  prepare();
  startCells(request_.firstSeed);
}

VariationsDialog::~VariationsDialog() { stopAll(); }

void VariationsDialog::prepare() {
  std::string why;
  if (!folder_.isValid()) {
    prepareError_ = tr("no temporary folder: %1").arg(folder_.errorString());
    return;
  }
  // Before the dialog has run once the filter has no settings: its defaults then.
  const std::string state = folder_.filePath("settings.bin").toStdString();
  if (!request_.settings.empty() && !host::writeStateFile(state, request_.settings, &why)) {
    prepareError_ = QString::fromStdString(why);
    return;
  }
  const std::vector<host::PaletteColour> palette = host::swatchPalette(request_.swatches);
  if (palette.empty()) return;
  QByteArray text;
  for (const host::PaletteColour& colour : palette) {
    char hex[8];
    host::formatHexColor(host::toSrgb8(colour.color).value_or(host::Srgb8{}), hex);
    text += QByteArray(hex, 7) + '\n';
  }
  palettePath_ = folder_.filePath("palette.txt");
  QFile file(palettePath_);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) prepareError_ = file.errorString();
}

void VariationsDialog::startCells(uint64_t firstSeed) {
  stopAll();
  for (Cell& cell : cells_) delete cell.button;
  cells_.clear();
  const int columns = 4;
  for (int i = 0; i < request_.count; ++i) {
    Cell cell;
    cell.seed = firstSeed + static_cast<uint64_t>(i);
    cell.button = new QToolButton(this);
    cell.button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    cell.button->setIconSize(QSize(request_.thumb, request_.thumb));
    cell.button->setMinimumSize(request_.thumb + 12, request_.thumb + 32);
    cell.button->setText(tr("Seed %1").arg(cell.seed));
    cell.button->setEnabled(false);
    const uint64_t seed = cell.seed;
    connect(cell.button, &QToolButton::clicked, this, [this, seed] {
      chosen_ = seed;
      accept();
    });
    grid_->addWidget(cell.button, i / columns, i % columns);
    cells_.push_back(cell);
  }
  if (!prepareError_.isEmpty()) {
    for (Cell& cell : cells_) {
      cell.state = Cell::State::Failed;
      cell.button->setText(tr("Seed %1 failed").arg(cell.seed));
      cell.button->setToolTip(prepareError_);
    }
    return;
  }
  startWaiting();
}

void VariationsDialog::startWaiting() {
  for (size_t i = 0; i < cells_.size() && running_ < maxRunning_; ++i) {
    Cell& cell = cells_[i];
    if (cell.state != Cell::State::Waiting) continue;
    const QString out = folder_.filePath(QString("seed-%1.png").arg(cell.seed));
    const QString state = folder_.filePath(QString("settings-%1.bin").arg(cell.seed));
    QFile::remove(state);
    const bool defaults = request_.settings.empty();
    if (!defaults) QFile::copy(folder_.filePath("settings.bin"), state);  // each run keeps its settings in its own copy
    QStringList args{"render",
                     "--plugins",
                     request_.pluginDir,
                     "--state",
                     state,
                     "--page",
                     QString("%1x%2").arg(request_.pageWidth, 0, 'g', 17).arg(request_.pageHeight, 0, 'g', 17),
                     "--seed",
                     QString::number(cell.seed),
                     "--width",
                     QString::number(request_.thumb),
                     "-o",
                     out};
    if (!palettePath_.isEmpty()) args << "--palette" << palettePath_;
    if (defaults) args << "--fresh";
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    cell.process = process;
    cell.state = Cell::State::Drawing;
    cell.button->setText(tr("Seed %1\ndrawing...").arg(cell.seed));
    ++running_;
    connect(process, &QProcess::finished, this, [this, i, process](int code, QProcess::ExitStatus status) {
      if (i < cells_.size() && cells_[i].process == process) finished(i, status == QProcess::NormalExit && code == 0);
    });
    connect(process, &QProcess::errorOccurred, this, [this, i, process](QProcess::ProcessError error) {
      if (error == QProcess::FailedToStart && i < cells_.size() && cells_[i].process == process) finished(i, false);
    });
    process->start(request_.program, args);
  }
}

void VariationsDialog::finished(size_t index, bool ok) {
  Cell& cell = cells_[index];
  --running_;
  const QString out = folder_.filePath(QString("seed-%1.png").arg(cell.seed));
  QPixmap picture;
  if (ok && picture.load(out)) {
    cell.state = Cell::State::Drawn;
    cell.button->setIcon(QIcon(picture));
    cell.button->setText(tr("Seed %1").arg(cell.seed));
    cell.button->setEnabled(true);
  } else {
    cell.state = Cell::State::Failed;
    cell.button->setText(tr("Seed %1 failed").arg(cell.seed));
    const QString why = QString::fromUtf8(cell.process->readAllStandardError()).trimmed();
    cell.button->setToolTip(why.isEmpty() ? cell.process->errorString() : why);
  }
  QFile::remove(out);
  QFile::remove(folder_.filePath(QString("settings-%1.bin").arg(cell.seed)));
  cell.process->deleteLater();
  cell.process = nullptr;
  startWaiting();
}

void VariationsDialog::stopAll() {
  for (Cell& cell : cells_) {
    if (!cell.process) continue;
    QProcess* process = cell.process;
    cell.process = nullptr;
    process->disconnect(this);
    process->kill();
    process->waitForFinished(2000);
    delete process;
  }
  running_ = 0;
}

void VariationsDialog::showNextSeeds() {
  if (cells_.empty()) return;
  startCells(cells_.back().seed + 1);
}

int VariationsDialog::finishedCount() const {
  int n = 0;
  for (const Cell& cell : cells_) n += cell.state == Cell::State::Drawn || cell.state == Cell::State::Failed;
  return n;
}

int VariationsDialog::failedCount() const {
  int n = 0;
  for (const Cell& cell : cells_) n += cell.state == Cell::State::Failed;
  return n;
}

}  // namespace qx::gui
