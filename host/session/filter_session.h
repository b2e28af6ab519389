// One host session, shared by the command line and the desktop app: the
// host's services, the plug-ins of a folder, a dialog manager driven by the
// front end's DialogRunner, the random source and the current document, all
// installed in the host context while the session lives. Filters are found
// by their registry entry and run the way a person runs them: Get Parameters
// (the settings dialog), then Go when the dialog was confirmed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/session/host_services.h"
#include "host/session/plugin_scan.h"

namespace qx::host {

class DialogRunner;

// "STOP" for a four-character code of printable characters, else decimal.
std::string describeCode(QxErr code);
// A result code in the words a person reads: "out of memory" for the memory
// codes, else "code " and describeCode().
std::string codeInWords(QxErr code);

// What one filter run answered.
struct FilterRun {
  QxErr getParameters = QX_ERR_BAD_PARAM;  // the dialog's answer: 0 confirmed, QX_ERR_STOP cancelled
  QxErr go = 0;                            // Go's answer; 0 when Go was not sent
  bool wentAhead = false;                  // Go was sent
  bool succeeded() const { return getParameters == 0 && wentAhead && go == 0; }
  bool cancelled() const { return getParameters == QX_ERR_STOP; }
};

class FilterSession {
 public:
  // `runner` runs every modal dialog and must outlive the session. Without a
  // document the session starts with a new one of the default page size.
  explicit FilterSession(DialogRunner& runner, std::unique_ptr<Document> document = nullptr);
  // Shuts every started plug-in down and takes the parts out of the context.
  ~FilterSession();
  FilterSession(const FilterSession&) = delete;
  FilterSession& operator=(const FilterSession&) = delete;

  // Plug-in files (*.aip) of `folder`, sorted; empty when there are none or
  // the folder cannot be read.
  static std::vector<std::string> pluginFiles(const std::string& folder);
  // Load and start every file of `files`. Each one that cannot be loaded or
  // started adds one line to *problems and is skipped (a plug-in whose
  // start-up failed is still shut down at the end). With a scan program set
  // (plugin_scan.h) each file is scanned apart first, and one whose scan
  // fails is skipped too. Answers how many started.
  size_t startPlugins(const std::vector<std::string>& files, std::vector<std::string>* problems);
  const std::vector<LoadedPlugin*>& started() const { return started_; }
  // The scan's verdict on each file startPlugins saw (none without a scan).
  const std::vector<std::pair<std::string, ScanVerdict>>& scanVerdicts() const { return verdicts_; }
  // Shut every started plug-in down; one line in *problems per failure.
  void shutdownPlugins(std::vector<std::string>* problems);

  // The filter a registry entry names: "Category > Title", the menu title or
  // the filter's name. An empty entry names the first filter registered.
  // nullptr when none matches.
  RegisteredFilter* findFilter(std::string_view entry);
  // "Category > Title", as the filter menu shows it.
  static std::string registryEntry(const RegisteredFilter& filter);

  // The dialog, then Go when it was confirmed. The filter is named by handle
  // because a message may add filters and so move the registry.
  FilterRun runFilter(QxFilterHandle filter);
  // The two halves, for a front end that reports between them: the
  // document's undo context spans both, so Go can take back a preview the
  // dialog left when it draws afresh. endCommand() closes it (Go does, and
  // runFilter, and a failed Get Parameters); a front end that skips Go calls
  // it itself, or leaves it to the session's end. A run during which the
  // host ran out of memory answers QX_ERR_OUT_OF_MEMORY, also when the
  // plug-in, having stopped drawing, answers success.
  QxErr getParameters(QxFilterHandle filter);
  QxErr go(QxFilterHandle filter);
  void endCommand();

  Document& document() { return *document_; }
  // Put `document` in place of the current one; a document without a seed
  // takes the random source's.
  void replaceDocument(std::unique_ptr<Document> document);
  PluginHost& plugins() { return services_.plugins(); }
  DialogManager& dialogs() { return dialogs_; }
  RandomSource& random() { return random_; }

 private:
  QxErr sendFilter(QxFilterHandle filter, const char* selector);

  // Puts the session's document, dialogs and random source in the context
  // and what was there before back; declared before services_ so that the
  // plug-ins shut down while the parts are still installed.
  struct Installed {
    Installed(Document* document, DialogManager* dialogs, RandomSource* random);
    ~Installed();
    Document* savedDocument;  // what the context held before
    DialogManager* savedDialogs;
    RandomSource* savedRandom;
  };

  RandomSource random_;
  DialogManager dialogs_;
  std::unique_ptr<Document> document_;
  std::optional<ArtStore::CommandScope> command_;  // from Get Parameters to the end of Go
  Installed installed_;
  HostServices services_;
  std::vector<LoadedPlugin*> started_;
  std::vector<std::pair<std::string, ScanVerdict>> verdicts_;
};

}  // namespace qx::host
