#include "host/gui/app_session.h"

#include <algorithm>
#include <unordered_set>

#include "host/gui/qt_dialog_runner.h"
#include "host/suites/host_context.h"

namespace qx::gui {

AppSession::AppSession(QtDialogRunner& runner, SettingsStore store)
    : runner_(runner), store_(std::move(store)), document_(std::make_unique<host::Document>()) {
  document_->setSeed(random_.seedUsed());
  dialogs_.setRunner(&runner_);
  host::HostContext& context = host::hostContext();
  saved_.document = context.document;
  saved_.dialogs = context.dialogs;
  saved_.random = context.random;
  install();
  plugins_ = std::make_unique<host::PluginHost>(context);
}

AppSession::~AppSession() {
  for (host::LoadedPlugin* plugin : loaded_) plugins_->shutdown(plugin);
  loaded_.clear();
  plugins_.reset();
  uninstall();
  host::HostContext& context = host::hostContext();
  context.document = saved_.document;
  context.dialogs = saved_.dialogs;
  context.random = saved_.random;
}

void AppSession::install() {
  host::HostContext& context = host::hostContext();
  context.document = document_.get();
  context.random = &random_;
  context.dialogs = &dialogs_;
  context.observers.push_back(document_.get());
}

void AppSession::uninstall() {
  host::HostContext& context = host::hostContext();
  std::erase(context.observers, static_cast<host::MessageObserver*>(document_.get()));
  context.document = nullptr;
}

void AppSession::replaceDocument(std::unique_ptr<host::Document> document) {
  if (!document) return;
  uninstall();
  document_ = std::move(document);
  if (!document_->seed()) document_->setSeed(random_.seedUsed());
  undoable_.clear();
  install();
}

bool AppSession::loadPlugins(const std::string& dir, std::vector<std::string>* problems) {
  for (const std::string& file : host::PluginHost::findPluginFiles(dir)) {
    std::string why;
    host::LoadedPlugin* plugin = plugins_->load(file, &why);
    if (!plugin) {
      problems->push_back(why);
      continue;
    }
    if (QxErr rc = plugins_->startup(plugin)) {
      problems->push_back(file + ": start-up failed with code " + std::to_string(rc));
      continue;
    }
    loaded_.push_back(plugin);
  }
  if (loaded_.empty() && problems->empty()) problems->push_back(dir + ": no plug-in (*.aip) in the folder");

  if (host::RegisteredFilter* kept = plugins_->findFilterByTitle(kKeptFilterTitle); kept && store_.load) {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!store_.load(&bytes, &why)) {
      problems->push_back("the kept settings were not used: " + why);
    } else if (!bytes.empty()) {
      if (QxErr rc = plugins_->setFilterParameters(*kept, bytes))
        problems->push_back("cannot hand the kept settings to the filter (code " + std::to_string(rc) + ")");
    }
  }
  return !loaded_.empty();
}

QxErr AppSession::runFilter(host::RegisteredFilter& filter, std::string* keepError) {
  // RegisteredFilter references may move when filters are added; keep the handle.
  const QxFilterHandle handle = filter.handle;
  const std::vector<QxArtHandle> before = document_->topLevelArt();

  QxErr rc = plugins_->sendFilter(filter, "AI Get Parameters");
  if (rc == 0) {
    host::RegisteredFilter* again = plugins_->findFilter(handle);
    rc = again ? plugins_->sendFilter(*again, "AI Go") : QX_ERR_BAD_PARAM;
  }
  if (rc != 0) return rc;

  std::unordered_set<QxArtHandle> old(before.begin(), before.end());
  undoable_.clear();
  for (QxArtHandle art : document_->topLevelArt())
    if (!old.count(art)) undoable_.push_back(art);
  host::RegisteredFilter* ran = plugins_->findFilter(handle);
  undoName_ = ran ? ran->title : std::string("Filter");
  if (!undoName_.empty() && undoName_.size() > 3 && undoName_.ends_with("...")) undoName_.resize(undoName_.size() - 3);

  if (ran && ran->title == kKeptFilterTitle && store_.save) {
    if (auto block = plugins_->filterParameters(*ran)) {
      std::string why;
      if (!store_.save(*block, &why) && keepError) *keepError = why;
    }
  }
  return 0;
}

void AppSession::undo() {
  for (QxArtHandle art : undoable_) (void)document_->disposeArt(art);
  undoable_.clear();
}

}  // namespace qx::gui
