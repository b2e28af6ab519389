#include "host/session/filter_session.h"

#include <algorithm>

#include "host/dialogs/dialog_runner.h"
#include "host/suites/guarded.h"
#include "host/suites/host_context.h"
#include "qx_names.h"

namespace qx::host {

std::string describeCode(QxErr code) {
  const auto bits = static_cast<uint32_t>(code);
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((bits >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return std::to_string(code);
    text += c;
  }
  return text;
}

std::string codeInWords(QxErr code) {
  if (code == QX_ERR_OUT_OF_MEMORY || code == QX_ERR_NO_MEMORY_BLOCK) return "out of memory";
  return "code " + describeCode(code);
}

FilterSession::Installed::Installed(Document* document, DialogManager* dialogs, RandomSource* random)
    : savedDocument(hostContext().document), savedDialogs(hostContext().dialogs), savedRandom(hostContext().random) {
  HostContext& context = hostContext();
  context.document = document;
  context.dialogs = dialogs;
  context.random = random;
}

FilterSession::Installed::~Installed() {
  HostContext& context = hostContext();
  context.document = savedDocument;
  context.dialogs = savedDialogs;
  context.random = savedRandom;
}

FilterSession::FilterSession(DialogRunner& runner, std::unique_ptr<Document> document)
    : document_(document ? std::move(document) : std::make_unique<Document>()),
      installed_(document_.get(), &dialogs_, &random_) {
  dialogs_.setRunner(&runner);
  if (!document_->seed()) document_->setSeed(random_.seedUsed());
}

FilterSession::~FilterSession() {
  endCommand();
  shutdownPlugins(nullptr);
}

std::vector<std::string> FilterSession::pluginFiles(const std::string& folder) {
  return PluginHost::findPluginFiles(folder);
}

size_t FilterSession::startPlugins(const std::vector<std::string>& files, std::vector<std::string>* problems) {
  size_t count = 0;
  for (const std::string& file : files) {
    if (const std::string& program = pluginScanProgram(); !program.empty()) {
      ScanVerdict verdict = scanPlugin(program, file);
      verdicts_.emplace_back(file, verdict);
      if (!verdict.passed) {
        if (problems) problems->push_back(file + ": " + verdict.reason + "; skipped");
        continue;
      }
    }
    std::string why;
    LoadedPlugin* plugin = plugins().load(file, &why);
    if (!plugin) {
      if (problems) problems->push_back(why);
      continue;
    }
    // A failed start-up may leave memory that only Shutdown frees.
    started_.push_back(plugin);
    if (QxErr code = plugins().startup(plugin)) {
      if (problems) problems->push_back(file + ": start-up failed with code " + describeCode(code));
      continue;
    }
    ++count;
  }
  return count;
}

void FilterSession::shutdownPlugins(std::vector<std::string>* problems) {
  for (LoadedPlugin* plugin : started_) {
    if (QxErr code = plugins().shutdown(plugin); code && problems)
      problems->push_back(plugins().path(plugin) + ": shut-down failed with code " + describeCode(code));
  }
  started_.clear();
}

std::string FilterSession::registryEntry(const RegisteredFilter& filter) {
  return filter.category.empty() ? filter.title : filter.category + " > " + filter.title;
}

RegisteredFilter* FilterSession::findFilter(std::string_view entry) {
  std::vector<RegisteredFilter>& filters = plugins().filters();
  if (entry.empty()) return filters.empty() ? nullptr : &filters.front();
  for (RegisteredFilter& filter : filters)
    if (registryEntry(filter) == entry) return &filter;
  for (RegisteredFilter& filter : filters)
    if (filter.title == entry || filter.name == entry) return &filter;
  return nullptr;
}

QxErr FilterSession::sendFilter(QxFilterHandle filter, const char* selector) {
  RegisteredFilter* found = plugins().findFilter(filter);
  if (!found) return QX_ERR_BAD_PARAM;
  const uint64_t memoryFailures = outOfMemoryCount();
  const QxErr code = plugins().sendFilter(*found, selector);
  // The plug-in stops drawing when a host call runs out of memory, and a
  // drawing run reports no failure: the run failed all the same.
  if (code == 0 && outOfMemoryCount() != memoryFailures) return QX_ERR_OUT_OF_MEMORY;
  return code;
}

QxErr FilterSession::getParameters(QxFilterHandle filter) {
  endCommand();
  ArtStore::CommandScope command(document_->art());
  const QxErr code = sendFilter(filter, QX_SELECTOR_GET_PARAMETERS);
  // A confirmed dialog leaves the command open for Go; a cancelled or failed
  // one ends it here, as no Go follows.
  if (code == 0) command_.emplace(std::move(command));
  return code;
}

QxErr FilterSession::go(QxFilterHandle filter) {
  const std::optional<ArtStore::CommandScope> command = std::exchange(command_, std::nullopt);
  return sendFilter(filter, QX_SELECTOR_GO);
}

void FilterSession::endCommand() { command_.reset(); }

FilterRun FilterSession::runFilter(QxFilterHandle filter) {
  FilterRun run;
  run.getParameters = getParameters(filter);
  if (run.getParameters == 0) {
    run.wentAhead = true;
    run.go = go(filter);
  }
  return run;
}

void FilterSession::replaceDocument(std::unique_ptr<Document> document) {
  if (!document) return;
  endCommand();
  document_ = std::move(document);
  if (!document_->seed()) document_->setSeed(random_.seedUsed());
  hostContext().document = document_.get();
}

}  // namespace qx::host
