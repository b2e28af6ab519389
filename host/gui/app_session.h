// The desktop app's host: one document at a time, the random source, the
// dialog manager with the Qt runner, and the loaded plug-ins, all installed
// in the process-wide host context for the session's life. Runs filters the
// way `quelvix render` does (Get Parameters, then Go on success) and keeps
// the filter's settings between launches through the hooks it is given.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/plugins/plugin_host.h"

namespace qx::gui {

class QtDialogRunner;

// The title of the filter whose settings are kept between launches.
inline constexpr const char* kKeptFilterTitle = "Quelvix...";

struct SettingsStore {
  // Fill *bytes with the kept block (left empty when none is kept); false and
  // a one-line reason when the kept block cannot be used.
  std::function<bool(std::vector<uint8_t>* bytes, std::string* error)> load;
  // Keep `bytes`; false and a one-line reason on failure.
  std::function<bool(const std::vector<uint8_t>& bytes, std::string* error)> save;
};

class AppSession {
 public:
  AppSession(QtDialogRunner& runner, SettingsStore store = {});
  ~AppSession();  // shuts the plug-ins down, takes the parts out of the context
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;

  // Load and start every plug-in of `dir`. Problems are collected in
  // *problems (one line each); true when at least one plug-in started.
  bool loadPlugins(const std::string& dir, std::vector<std::string>* problems);

  host::Document& document() { return *document_; }
  // Put `document` in place of the current one (undo history is dropped).
  void replaceDocument(std::unique_ptr<host::Document> document);
  host::PluginHost& plugins() { return *plugins_; }
  host::DialogManager& dialogs() { return dialogs_; }
  host::RandomSource& random() { return random_; }
  const std::vector<host::LoadedPlugin*>& loaded() const { return loaded_; }

  // Get Parameters, then Go when the dialog was confirmed. The plug-in's
  // answer (STOP when cancelled); a failure the plug-in has shown already.
  // *keepError receives a reason when the settings could not be kept.
  QxErr runFilter(host::RegisteredFilter& filter, std::string* keepError = nullptr);

  // The art the last successful filter run added, which Undo removes.
  bool canUndo() const { return !undoable_.empty(); }
  const std::string& undoName() const { return undoName_; }
  void undo();

 private:
  void install();
  void uninstall();

  QtDialogRunner& runner_;
  SettingsStore store_;
  std::unique_ptr<host::Document> document_;
  host::RandomSource random_;
  host::DialogManager dialogs_;
  std::unique_ptr<host::PluginHost> plugins_;
  std::vector<host::LoadedPlugin*> loaded_;
  std::vector<QxArtHandle> undoable_;
  std::string undoName_;
  host::HostContext saved_;
};

}  // namespace qx::gui
