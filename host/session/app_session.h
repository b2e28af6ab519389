// The desktop app's host: the filter session with the app's dialog runner,
// plus what only the app keeps: the history of changes for Undo and Redo, the seed
// of the next run, whether the document changed since it was saved, and the
// kept settings of the default filter (the first one registered) between
// launches.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/document/document.h"
#include "host/session/filter_session.h"

namespace qx::host {

class DialogRunner;

// Where the default filter's settings are kept. Either hook may be empty.
struct SettingsStore {
  // Fill *bytes with the kept block (left empty when none is kept); false and
  // a one-line reason when the kept block cannot be used.
  std::function<bool(std::vector<uint8_t>* bytes, std::string* error)> load;
  // Keep `bytes`; false and a one-line reason on failure.
  std::function<bool(const std::vector<uint8_t>& bytes, std::string* error)> save;
};

// The store of a state file (the one `quelvix render --state` reads): read
// at start unless `fresh`, written after every successful run. An empty path
// keeps nothing.
SettingsStore stateFileStore(const std::string& path, bool fresh);

class AppSession {
 public:
  // `runner` runs the plug-ins' dialogs and must outlive the session.
  AppSession(DialogRunner& runner, SettingsStore store = {});
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;

  // Load and start every plug-in of `dir`. Problems are collected in
  // *problems (one line each); true when at least one plug-in started.
  bool loadPlugins(const std::string& dir, std::vector<std::string>* problems);
  // The folder the plug-ins came from.
  const std::string& pluginDir() const { return pluginDir_; }

  Document& document() { return session_.document(); }
  // Put `document` in place of the current one (undo history is dropped).
  void replaceDocument(std::unique_ptr<Document> document);
  PluginHost& plugins() { return session_.plugins(); }
  RandomSource& random() { return session_.random(); }
  const std::vector<LoadedPlugin*>& loaded() const { return session_.started(); }

  // Get Parameters, then Go when the dialog was confirmed. The plug-in's
  // answer (STOP when cancelled); a failure the plug-in has shown already.
  // *keepError receives a reason when the settings could not be kept.
  QxErr runFilter(RegisteredFilter& filter, std::string* keepError = nullptr);

  // Show a plug-in's about box.
  void about(LoadedPlugin* plugin);

  // Remove the selected top-level art as one step. False when nothing was
  // selected.
  bool deleteSelection();
  // Place the art of `other` over the document's as one step ("Import");
  // false and a one-line reason when the document refuses an object (its
  // art budget, say), and nothing is placed then.
  bool importArt(const Document& other, size_t* copied, std::string* error);
  // Make `swatches` the document's as one step named `name`.
  void setSwatches(std::vector<Swatch> swatches, const std::string& name);

  // ---- History ----
  // Every change to the document (a filter run, a deletion, a palette) is a
  // step; Undo takes back the last one and Redo makes it again, until a new
  // step drops what could be redone. Steps are kept while they hold at most
  // kHistoryBytes together, 1 GiB (the oldest go first; the last is always
  // kept).
  static constexpr size_t kHistoryBytes = size_t{1} << 30;
  void setHistoryLimit(size_t bytes) { historyLimit_ = bytes; }
  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  // The step's name as Edit shows it ("Quelvix", "Delete"); "" when none.
  std::string undoName() const { return undo_.empty() ? std::string() : undo_.back().name; }
  std::string redoName() const { return redo_.empty() ? std::string() : redo_.back().name; }
  bool undo();
  bool redo();
  size_t undoSteps() const { return undo_.size(); }

  // ---- Saved or not ----
  // The document differs from what was last opened, saved or made new.
  bool modified() const { return !savedAt_ || *savedAt_ != position_; }
  void markSaved() { savedAt_ = position_; }

  // ---- Seeds ----
  // Each filter run draws from a fresh seed: the one set here for the next
  // run (used once, by a run that goes ahead), else one from the clock. The
  // document keeps the seed of the run that drew it.
  void setNextSeed(std::optional<uint64_t> seed) { nextSeed_ = seed; }
  std::optional<uint64_t> nextSeed() const { return nextSeed_; }
  // The kept block of the default filter as its dialog left it; empty when
  // there is none.
  std::vector<uint8_t> filterSettings();
  // Hand a kept block to the default filter (as if it had been kept); a
  // one-line reason and false when it cannot be used.
  bool setFilterSettings(const std::vector<uint8_t>& block, std::string* error);

 private:
  struct Step {
    std::string name;
    ArtChangePtr art;  // null when the art did not change
    std::optional<uint64_t> seedBefore, seedAfter;
    std::optional<std::vector<Swatch>> swatchesBefore, swatchesAfter;
    size_t bytes = 0;
  };
  bool isKeptFilter(QxFilterHandle filter);
  // Take the art change the store kept for the last message: a step when
  // `step` is given (else a change nobody asked for, which ends the history,
  // as its steps no longer fit the document).
  void settle(Step* step);
  void push(Step step);
  // Undo (forward false) or redo the last step of `from`, moving it to `to`.
  bool replay(std::deque<Step>& from, std::deque<Step>& to, bool forward);
  void clearHistory();

  SettingsStore store_;
  FilterSession session_;
  std::deque<Step> undo_, redo_;
  size_t historyBytes_ = 0;
  size_t historyLimit_ = kHistoryBytes;
  // Steps since the document was opened; the position the last save stood
  // at (none when that state cannot come back).
  int64_t position_ = 0;
  std::optional<int64_t> savedAt_ = 0;
  std::optional<uint64_t> nextSeed_;
  std::string pluginDir_;
};

}  // namespace qx::host
