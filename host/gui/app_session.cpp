#include "host/gui/app_session.h"

#include <unordered_set>

#include "host/gui/art_selection.h"
#include "host/gui/qt_dialog_runner.h"
#include "host/session/state_file.h"

namespace qx::gui {

SettingsStore stateFileStore(const std::string& path, bool fresh) {
  SettingsStore store;
  if (path.empty()) return store;
  if (!fresh) {
    store.load = [path](std::vector<uint8_t>* bytes, std::string* error) {
      return host::readStateFile(path, host::kKeptBlockSize, bytes, error) != host::StateRead::Invalid;
    };
  }
  store.save = [path](const std::vector<uint8_t>& bytes, std::string* error) {
    if (bytes.size() != host::kKeptBlockSize) {
      *error = "the filter kept no settings block of the expected size";
      return false;
    }
    return host::writeStateFile(path, bytes, error);
  };
  return store;
}

AppSession::AppSession(QtDialogRunner& runner, SettingsStore store) : store_(std::move(store)), session_(runner) {}

void AppSession::replaceDocument(std::unique_ptr<host::Document> document) {
  if (!document) return;
  settleDeletion();
  session_.replaceDocument(std::move(document));
  undoable_.clear();
}

bool AppSession::loadPlugins(const std::string& dir, std::vector<std::string>* problems) {
  settleDeletion();
  const size_t before = problems->size();
  const size_t started = session_.startPlugins(host::FilterSession::pluginFiles(dir), problems);
  if (started == 0 && problems->size() == before) problems->push_back(dir + ": no plug-in (*.aip) in the folder");

  if (host::RegisteredFilter* kept = session_.findFilter(""); kept && store_.load) {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!store_.load(&bytes, &why)) {
      problems->push_back("the kept settings were not used: " + why);
    } else if (!bytes.empty()) {
      if (QxErr rc = session_.plugins().setFilterParameters(*kept, bytes))
        problems->push_back("cannot hand the kept settings to the filter (code " + host::describeCode(rc) + ")");
    }
  }
  return started > 0;
}

bool AppSession::isKeptFilter(QxFilterHandle filter) {
  host::RegisteredFilter* kept = session_.findFilter("");
  return kept && kept->handle == filter;
}

QxErr AppSession::runFilter(host::RegisteredFilter& filter, std::string* keepError) {
  // RegisteredFilter references may move when filters are added; keep the handle.
  const QxFilterHandle handle = filter.handle;
  settleDeletion();
  const std::vector<QxArtHandle> before = document().art().topLevelArt();

  const host::FilterRun run = session_.runFilter(handle);
  if (!run.succeeded()) return run.getParameters != 0 ? run.getParameters : run.go;

  std::unordered_set<QxArtHandle> old(before.begin(), before.end());
  undoable_.clear();
  for (QxArtHandle art : document().art().topLevelArt())
    if (!old.count(art)) undoable_.push_back(art);
  host::RegisteredFilter* ran = session_.plugins().findFilter(handle);
  undoName_ = ran ? ran->title : std::string("Filter");
  if (undoName_.size() > 3 && undoName_.ends_with("...")) undoName_.resize(undoName_.size() - 3);

  if (ran && isKeptFilter(handle) && store_.save) {
    if (auto block = session_.plugins().filterParameters(*ran)) {
      std::string why;
      if (!store_.save(*block, &why) && keepError) *keepError = why;
    }
  }
  return 0;
}

void AppSession::about(host::LoadedPlugin* plugin) {
  settleDeletion();
  session_.plugins().about(plugin);
}

bool AppSession::deleteSelection() {
  host::ArtStore& art = document().art();
  const std::vector<QxArtHandle> chosen = selectedArt(art);
  if (chosen.empty()) return false;
  settleDeletion();
  undoable_.clear();
  art.beginMessage();
  for (QxArtHandle object : chosen) (void)art.disposeArt(object);
  deletionOpen_ = true;
  undoName_ = "Delete";
  return true;
}

void AppSession::settleDeletion() {
  if (!deletionOpen_) return;
  document().art().endMessage();
  deletionOpen_ = false;
}

void AppSession::undo() {
  if (deletionOpen_) {
    document().art().undoMessage();
    settleDeletion();
    return;
  }
  for (QxArtHandle art : undoable_) (void)document().art().disposeArt(art);
  undoable_.clear();
}

}  // namespace qx::gui
