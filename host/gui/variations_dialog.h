// Filter > Variations...: thumbnails of the current settings drawn with the
// next seeds, each in a background `quelvix render` process so the window
// stays responsive; clicking one keeps its seed for the next run.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QDialog>
#include <QString>
#include <QTemporaryDir>

#include "host/document/document.h"

class QGridLayout;
class QProcess;
class QToolButton;

namespace qx::gui {

struct VariationsRequest {
  QString program;                // the quelvix program that draws the thumbnails
  QString pluginDir;              // its plug-in folder
  std::vector<uint8_t> settings;  // the filter's kept block; empty: its defaults
  double pageWidth = 612, pageHeight = 792;
  std::vector<host::Swatch> swatches;
  uint64_t firstSeed = 1;
  int count = 12;   // thumbnails shown at a time
  int thumb = 180;  // their width in pixels
};

class VariationsDialog : public QDialog {
  Q_OBJECT
 public:
  VariationsDialog(VariationsRequest request, QWidget* parent = nullptr);
  ~VariationsDialog() override;

  // The seed the person clicked; nullopt when the dialog was closed.
  std::optional<uint64_t> chosenSeed() const { return chosen_; }
  // For tests: the cells, the seeds they show, and how many are drawn.
  int cellCount() const { return static_cast<int>(cells_.size()); }
  QToolButton* cell(int i) const { return cells_[static_cast<size_t>(i)].button; }
  uint64_t cellSeed(int i) const { return cells_[static_cast<size_t>(i)].seed; }
  int finishedCount() const;
  int failedCount() const;
  // Show the next `count` seeds.
  void showNextSeeds();

 private:
  struct Cell {
    uint64_t seed = 0;
    QToolButton* button = nullptr;
    QProcess* process = nullptr;
    enum class State { Waiting, Drawing, Drawn, Failed } state = State::Waiting;
  };
  void prepare();  // the settings and palette files the processes read
  void startCells(uint64_t firstSeed);
  void startWaiting();  // as many processes as the machine has cores
  void finished(size_t index, bool ok);
  void stopAll();

  VariationsRequest request_;
  QTemporaryDir folder_;
  QString palettePath_;
  QGridLayout* grid_ = nullptr;
  std::vector<Cell> cells_;
  int running_ = 0;
  int maxRunning_ = 2;
  std::optional<uint64_t> chosen_;
  QString prepareError_;
};

}  // namespace qx::gui
