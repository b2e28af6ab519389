#include "host/session/app_session.h"

#include "host/document/art_copy.h"
#include "host/session/selection.h"
#include "host/session/state_file.h"

namespace qx::host {

SettingsStore stateFileStore(const std::string& path, bool fresh) {
  SettingsStore store;
  if (path.empty()) return store;
  if (!fresh) {
    store.load = [path](std::vector<uint8_t>* bytes, std::string* error) {
      return readStateFile(path, kKeptBlockSize, bytes, error) != StateRead::Invalid;
    };
  }
  store.save = [path](const std::vector<uint8_t>& bytes, std::string* error) {
    if (bytes.size() != kKeptBlockSize) {
      *error = "the filter kept no settings block of the expected size";
      return false;
    }
    return writeStateFile(path, bytes, error);
  };
  return store;
}

AppSession::AppSession(DialogRunner& runner, SettingsStore store) : store_(std::move(store)), session_(runner) {
  document().art().setKeepChanges(true);
}

void AppSession::replaceDocument(std::unique_ptr<Document> document) {
  if (!document) return;
  settle(nullptr);
  session_.replaceDocument(std::move(document));
  this->document().art().setKeepChanges(true);
  clearHistory();
  position_ = 0;
  savedAt_ = 0;
}

bool AppSession::loadPlugins(const std::string& dir, std::vector<std::string>* problems) {
  pluginDir_ = dir;
  const size_t before = problems->size();
  const size_t started = session_.startPlugins(FilterSession::pluginFiles(dir), problems);
  settle(nullptr);
  if (started == 0 && problems->size() == before) problems->push_back(dir + ": no plug-in (*.aip) in the folder");

  if (RegisteredFilter* kept = session_.findFilter(""); kept && store_.load) {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!store_.load(&bytes, &why)) {
      problems->push_back("the kept settings were not used: " + why);
    } else if (!bytes.empty()) {
      if (QxErr rc = session_.plugins().setFilterParameters(*kept, bytes))
        problems->push_back("cannot hand the kept settings to the filter (code " + describeCode(rc) + ")");
    }
  }
  return started > 0;
}

bool AppSession::isKeptFilter(QxFilterHandle filter) {
  RegisteredFilter* kept = session_.findFilter("");
  return kept && kept->handle == filter;
}

QxErr AppSession::runFilter(RegisteredFilter& filter, std::string* keepError) {
  // RegisteredFilter references may move when filters are added; keep the handle.
  const QxFilterHandle handle = filter.handle;
  settle(nullptr);
  const uint64_t seed = nextSeed_ ? *nextSeed_ : random().seedFromClock();
  random().seed(seed);
  Step step;
  step.seedBefore = document().seed();

  const FilterRun run = session_.runFilter(handle);
  if (run.succeeded()) {
    nextSeed_.reset();
    document().setSeed(seed);
  }
  RegisteredFilter* ran = session_.plugins().findFilter(handle);
  step.name = ran ? ran->title : std::string("Filter");
  if (step.name.size() > 3 && step.name.ends_with("...")) step.name.resize(step.name.size() - 3);
  step.seedAfter = document().seed();
  // A failed run may leave the art it drew before the failure: a step too.
  settle(&step);
  if (!run.succeeded()) return run.getParameters != 0 ? run.getParameters : run.go;

  if (ran && isKeptFilter(handle) && store_.save) {
    if (auto block = session_.plugins().filterParameters(*ran)) {
      std::string why;
      if (!store_.save(*block, &why) && keepError) *keepError = why;
    }
  }
  return 0;
}

void AppSession::about(LoadedPlugin* plugin) {
  settle(nullptr);
  session_.plugins().about(plugin);
  settle(nullptr);
}

bool AppSession::deleteSelection() {
  ArtStore& art = document().art();
  const std::vector<QxArtHandle> chosen = selectedArt(art);
  if (chosen.empty()) return false;
  settle(nullptr);
  {
    const host::ArtStore::MessageScope change(art);
    for (QxArtHandle object : chosen) (void)art.disposeArt(object);
  }
  Step step;
  step.name = "Delete";
  step.seedBefore = step.seedAfter = document().seed();
  settle(&step);
  return true;
}

bool AppSession::importArt(const Document& other, size_t* copied, std::string* error) {
  ArtStore& art = document().art();
  settle(nullptr);
  QxErr code = QX_ERR_NONE;
  {
    const ArtStore::MessageScope change(art);
    code = copyArt(other, document(), copied);
    if (code) art.undoMessage();
  }
  Step step;
  step.name = "Import";
  step.seedBefore = step.seedAfter = document().seed();
  settle(&step);
  if (code) {
    *error = code == QX_ERR_OUT_OF_MEMORY ? "the document holds no more art (its art budget)"
                                          : "the document refused an object (code " + describeCode(code) + ")";
    return false;
  }
  return true;
}

void AppSession::setSwatches(std::vector<Swatch> swatches, const std::string& name) {
  settle(nullptr);
  Step step;
  step.name = name;
  step.seedBefore = step.seedAfter = document().seed();
  step.swatchesBefore = document().swatches();
  step.swatchesAfter = swatches;
  document().setSwatches(std::move(swatches));
  push(std::move(step));
}

std::vector<uint8_t> AppSession::filterSettings() {
  RegisteredFilter* kept = session_.findFilter("");
  if (!kept) return {};
  auto block = session_.plugins().filterParameters(*kept);
  return block ? *block : std::vector<uint8_t>();
}

bool AppSession::setFilterSettings(const std::vector<uint8_t>& block, std::string* error) {
  RegisteredFilter* kept = session_.findFilter("");
  if (!kept) {
    *error = "no filter is loaded";
    return false;
  }
  if (block.size() != kKeptBlockSize) {
    *error = "a settings file holds " + std::to_string(kKeptBlockSize) + " bytes, this one " +
             std::to_string(block.size());
    return false;
  }
  if (QxErr rc = session_.plugins().setFilterParameters(*kept, block)) {
    *error = "the filter refused the settings (code " + describeCode(rc) + ")";
    return false;
  }
  return true;
}

// ---- History ----

void AppSession::settle(Step* step) {
  ArtChangePtr change;
  if (!document().art().takeChange(&change)) {
    // The art changed, but there was no memory to keep the change: no step
    // before it can be taken back, and the saved state cannot come back.
    clearHistory();
    savedAt_.reset();
    return;
  }
  if (!step) {
    if (change) {
      clearHistory();
      savedAt_.reset();
    }
    return;
  }
  step->art = std::move(change);
  const bool swatchesChanged = step->swatchesBefore.has_value();
  if (!step->art && step->seedBefore == step->seedAfter && !swatchesChanged) return;
  push(std::move(*step));
}

namespace {

size_t swatchBytes(const std::optional<std::vector<Swatch>>& swatches) {
  if (!swatches) return 0;
  size_t bytes = swatches->capacity() * sizeof(Swatch);
  for (const Swatch& swatch : *swatches) bytes += swatch.name.capacity();
  return bytes;
}

}  // namespace

void AppSession::push(Step step) {
  for (const Step& dropped : redo_) historyBytes_ -= dropped.bytes;
  redo_.clear();
  if (savedAt_ && *savedAt_ > position_) savedAt_.reset();  // that state is gone with the redo steps
  step.bytes = sizeof(Step) + step.name.capacity() + (step.art ? ArtStore::changeBytes(*step.art) : 0) +
               swatchBytes(step.swatchesBefore) + swatchBytes(step.swatchesAfter);
  historyBytes_ += step.bytes;
  undo_.push_back(std::move(step));
  ++position_;
  while (historyBytes_ > historyLimit_ && undo_.size() > 1) {
    historyBytes_ -= undo_.front().bytes;
    undo_.pop_front();
  }
}

void AppSession::clearHistory() {
  undo_.clear();
  redo_.clear();
  historyBytes_ = 0;
}

bool AppSession::undo() { return replay(undo_, redo_, false); }

bool AppSession::redo() { return replay(redo_, undo_, true); }

bool AppSession::replay(std::deque<Step>& from, std::deque<Step>& to, bool forward) {
  settle(nullptr);
  if (from.empty()) return false;
  Step& step = from.back();
  ArtStore& art = document().art();
  if (step.art && !(forward ? art.redoChange(*step.art) : art.undoChange(*step.art))) {
    clearHistory();
    savedAt_.reset();
    return false;
  }
  if (const auto& swatches = forward ? step.swatchesAfter : step.swatchesBefore) document().setSwatches(*swatches);
  document().setSeed(forward ? step.seedAfter : step.seedBefore);
  to.push_back(std::move(step));
  from.pop_back();
  position_ += forward ? 1 : -1;
  return true;
}

}  // namespace qx::host
