// The desktop app's host: the filter session with the Qt dialog runner, plus
// what only the app keeps: the last change for Undo (a filter run's art, or
// a deletion) and the kept settings of the default filter (the first one
// registered) between launches.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/session/filter_session.h"

namespace qx::gui {

class QtDialogRunner;

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
  AppSession(QtDialogRunner& runner, SettingsStore store = {});
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;

  // Load and start every plug-in of `dir`. Problems are collected in
  // *problems (one line each); true when at least one plug-in started.
  bool loadPlugins(const std::string& dir, std::vector<std::string>* problems);

  host::Document& document() { return session_.document(); }
  // Put `document` in place of the current one (undo history is dropped).
  void replaceDocument(std::unique_ptr<host::Document> document);
  host::PluginHost& plugins() { return session_.plugins(); }
  host::DialogManager& dialogs() { return session_.dialogs(); }
  host::RandomSource& random() { return session_.random(); }
  const std::vector<host::LoadedPlugin*>& loaded() const { return session_.started(); }

  // Get Parameters, then Go when the dialog was confirmed. The plug-in's
  // answer (STOP when cancelled); a failure the plug-in has shown already.
  // *keepError receives a reason when the settings could not be kept.
  QxErr runFilter(host::RegisteredFilter& filter, std::string* keepError = nullptr);

  // Show a plug-in's about box.
  void about(host::LoadedPlugin* plugin);

  // Remove the selected top-level art; Undo brings it back. False when
  // nothing was selected.
  bool deleteSelection();

  // Undo takes back the last change: the art the last successful filter run
  // added, or the last deletion.
  bool canUndo() const { return !undoable_.empty() || deletionOpen_; }
  const std::string& undoName() const { return undoName_; }
  void undo();

 private:
  bool isKeptFilter(QxFilterHandle filter);
  // A deletion's changes are held in the store's open undo context until
  // the next change or plug-in call, which closes it for good.
  void settleDeletion();

  SettingsStore store_;
  host::FilterSession session_;
  std::vector<QxArtHandle> undoable_;
  std::string undoName_;
  bool deletionOpen_ = false;
};

}  // namespace qx::gui
