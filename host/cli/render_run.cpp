#include "host/cli/render_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "host/cli/commands.h"
#include "host/cli/painted_output.h"
#include "host/cli/plugin_session.h"
#include "host/cli/settings_report.h"
#include "host/cli/state_file.h"
#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/scripted_runner.h"
#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/io/json_writer.h"
#include "host/io/svg_writer.h"
#include "host/plugins/plugin_host.h"
#include "host/suites/host_context.h"

namespace qx::cli {
namespace {

constexpr const char* kFilterTitle = "Quelvix...";
PaintedWriter g_paintedWriter = nullptr;

// Installs the run's parts in the process-wide host context and takes them
// out again, whatever way the run ends.
class ContextScope {
 public:
  ContextScope(host::HostContext& context, host::Document& document, host::RandomSource& random,
               host::DialogManager& dialogs)
      : context_(context) {
    context_.document = &document;
    context_.random = &random;
    context_.dialogs = &dialogs;
    context_.observers.push_back(&document);
    observer_ = &document;
  }
  ~ContextScope() {
    std::erase(context_.observers, observer_);
    context_.document = nullptr;
    context_.random = nullptr;
    context_.dialogs = nullptr;
  }
  ContextScope(const ContextScope&) = delete;
  ContextScope& operator=(const ContextScope&) = delete;

 private:
  host::HostContext& context_;
  host::MessageObserver* observer_;
};

struct Reporter {
  std::ostream& err;
  int fail(int status, const std::string& message) const {
    err << "quelvix render: " << message << '\n';
    return status;
  }
};

// The command line's actions, in order, checked against `limits`.
bool expandActions(const RenderRequest& request, const ActionLimits& limits, std::vector<UserAction>* actions,
                   std::string* error) {
  for (const auto& [verb, argument] : request.actionWords) {
    if (verb == "script") {
      std::ifstream in(argument, std::ios::binary);
      if (!in) {
        *error = "--script " + argument + ": cannot read the file";
        return false;
      }
      std::ostringstream text;
      text << in.rdbuf();
      if (in.bad()) {
        *error = "--script " + argument + ": cannot read the file";
        return false;
      }
      if (!parseScript(text.str(), argument, limits, actions, error)) return false;
      continue;
    }
    auto action = parseAction(verb, argument, limits, error);
    if (!action) return false;
    actions->push_back(std::move(*action));
  }
  return checkActionOrder(*actions, error);
}

// The same actions as events for the scripted runner; the run ends with OK
// unless the last action cancels.
std::vector<host::DialogAction> runnerActions(const std::vector<UserAction>& actions) {
  std::vector<host::DialogAction> out;
  for (const UserAction& a : actions) {
    switch (a.kind) {
      case ActionKind::SetCheck: out.push_back(host::DialogAction::setChecked(a.controlId, a.value != 0)); break;
      case ActionKind::SetInt:
      case ActionKind::SetReal: out.push_back(host::DialogAction::setValue(a.controlId, a.value)); break;
      case ActionKind::ChooseEntry:
      case ActionKind::Preset:
        out.push_back(host::DialogAction::chooseIndex(a.controlId, static_cast<int32_t>(a.value)));
        break;
      case ActionKind::Tumble:
      case ActionKind::Shuffle: out.push_back(host::DialogAction::press(a.controlId)); break;
      case ActionKind::Adjust:
        out.push_back(host::DialogAction::drag(
            a.controlId, QxRealPoint{static_cast<QxReal>(a.x), static_cast<QxReal>(a.y)}));
        break;
      case ActionKind::PageTab: out.push_back(host::DialogAction::switchPage(static_cast<int32_t>(a.value))); break;
      case ActionKind::Cancel: out.push_back(host::DialogAction::cancel()); break;
    }
  }
  if (actions.empty() || actions.back().kind != ActionKind::Cancel) out.push_back(host::DialogAction::confirm());
  return out;
}

// The folder that will receive `path` exists (so a run is not wasted on an
// output that cannot be written).
bool outputFolderExists(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path parent = fs::path(path).parent_path();
  if (parent.empty()) parent = ".";
  std::error_code ec;
  return fs::is_directory(parent, ec);
}

bool writeDocument(const host::Document& document, const RenderRequest& request, std::string* error) {
  switch (request.format) {
    case OutputFormat::Svg: return host::saveSvg(document, request.outputPath, error);
    case OutputFormat::Json: return host::saveDocumentJson(document, request.outputPath, error);
    case OutputFormat::Png:
    case OutputFormat::Pdf:
      if (!g_paintedWriter) {
        *error = "this build has no painter for PNG or PDF";
        return false;
      }
      return g_paintedWriter(document, request.outputPath, request.format, error);
  }
  return false;
}

}  // namespace

void setPaintedWriter(PaintedWriter writer) { g_paintedWriter = writer; }
PaintedWriter paintedWriter() { return g_paintedWriter; }

int runRender(const RenderRequest& request, std::ostream& out, std::ostream& err) {
  const Reporter report{err};
  std::string why;

  // Everything the command line names is checked before a plug-in runs.
  if ((request.format == OutputFormat::Png || request.format == OutputFormat::Pdf) && !g_paintedWriter)
    return report.fail(kExitUsage, std::string(formatName(request.format)) +
                                       " output needs the desktop app's painter, which this build lacks; "
                                       "write .svg or .json instead");
  if (!outputFolderExists(request.outputPath))
    return report.fail(kExitUsage, "-o " + request.outputPath + ": the folder does not exist");

  host::Document document(static_cast<QxReal>(request.page.width), static_cast<QxReal>(request.page.height));
  if (request.artLimit) document.setArtBudget(*request.artLimit);

  std::vector<UserAction> actions;
  const ActionLimits limits{static_cast<int>(document.swatches().size())};
  if (!expandActions(request, limits, &actions, &why)) return report.fail(kExitUsage, why);

  host::RandomSource random;
  if (!request.randomFile.empty()) {
    if (!random.loadScript(request.randomFile, &why)) return report.fail(kExitUsage, "--random-file: " + why);
  } else if (request.seed) {
    random.seed(*request.seed);
  }
  document.setSeed(random.seedUsed());

  std::vector<uint8_t> state;
  bool haveState = false;
  if (!request.statePath.empty() && !request.fresh) {
    switch (readStateFile(request.statePath, kParameterBlockSize, &state, &why)) {
      case StateRead::Missing: break;
      case StateRead::Loaded: haveState = true; break;
      case StateRead::Invalid: return report.fail(kExitUsage, why);
    }
  }

  std::vector<std::string> pluginFiles;
  {
    std::error_code ec;
    if (!std::filesystem::is_directory(request.pluginDir, ec))
      return report.fail(kExitUsage, "--plugins " + request.pluginDir + ": no such folder");
    pluginFiles = host::PluginHost::findPluginFiles(request.pluginDir);
    if (pluginFiles.empty())
      return report.fail(kExitUsage, "--plugins " + request.pluginDir + ": no plug-in (*.aip) in the folder");
  }

  if (!request.randomLog.empty() && !random.openLog(request.randomLog, &why))
    return report.fail(kExitUsage, "--random-log: " + why);

  if (auto seed = random.seedUsed()) err << "quelvix render: seed " << *seed << '\n';

  host::DialogManager dialogs;
  host::ScriptedRunner runner(out, err, host::ScriptedRunner::Options{.rejectOutOfRange = true});
  dialogs.setRunner(&runner);
  runner.setActions(runnerActions(actions));

  host::HostContext& context = host::hostContext();
  ContextScope scope(context, document, random, dialogs);

  int status = kExitOk;
  std::vector<uint8_t> keptState;
  {
    host::PluginHost plugins(context);
    std::vector<host::LoadedPlugin*> loaded;
    for (const std::string& file : pluginFiles) {
      // A broken plug-in beside ours is reported and skipped; only a missing
      // filter ends the run.
      host::LoadedPlugin* plugin = plugins.load(file, &why);
      if (!plugin) {
        report.fail(kExitFailure, "skipping a plug-in: " + why);
        continue;
      }
      if (QxErr rc = plugins.startup(plugin)) {
        report.fail(kExitFailure, "skipping " + file + ": start-up failed with code " + describeCode(rc));
        continue;
      }
      loaded.push_back(plugin);
    }
    auto shutdownAll = [&] {
      for (host::LoadedPlugin* p : loaded) plugins.shutdown(p);
    };

    host::RegisteredFilter* filter = plugins.findFilterByTitle(kFilterTitle);
    if (!filter) {
      shutdownAll();
      return report.fail(kExitFailure, std::string("no plug-in in ") + request.pluginDir + " offers the filter \"" +
                                           kFilterTitle + "\"");
    }
    if (haveState) {
      if (QxErr rc = plugins.setFilterParameters(*filter, state)) {
        shutdownAll();
        return report.fail(kExitFailure, "cannot hand the kept settings to the filter (code " +
                                             describeCode(rc) + ")");
      }
    }

    const QxErr getParameters = plugins.sendFilter(*filter, "AI Get Parameters");
    if (request.printSettings && runner.ranSettingsDialog()) out << formatSettings(runner.lastState());

    if (runner.failed()) {
      status = report.fail(kExitUsage, "the dialog refused an action: " + runner.error());
    } else if (getParameters == QX_ERR_STOP) {
      status = kExitCancelled;
    } else if (getParameters != 0) {
      // The plug-in has shown the failure in its error dialog already.
      status = kExitFailure;
    } else if (QxErr go = plugins.sendFilter(*filter, "AI Go")) {
      status = report.fail(kExitFailure, "the filter's run failed with code " + describeCode(go));
    }
    if (status == kExitOk) {
      if (auto block = plugins.filterParameters(*filter)) keptState = std::move(*block);
    }
    shutdownAll();
  }

  if (random.exhausted()) {
    return report.fail(kExitFailure, "--random-file " + request.randomFile + ": the numbers ran out after " +
                                         std::to_string(random.served()) + " draws; nothing was written");
  }
  if (status != kExitOk) return status;

  bool complete = true;
  if (document.budgetExhausted()) {
    complete = false;
    report.fail(kExitFailure, "the art budget of " + std::to_string(document.artBudget()) +
                                  " objects was reached, so the drawing stops there; the art drawn so far is "
                                  "written (raise the budget with --art-limit)");
  }

  if (!writeDocument(document, request, &why))
    return report.fail(kExitFailure, "cannot write " + request.outputPath + ": " + why);
  if (!random.closeLog(&why)) return report.fail(kExitFailure, "cannot write the random log: " + why);
  if (!complete) return kExitFailure;

  if (!request.statePath.empty()) {
    if (keptState.size() != kParameterBlockSize)
      return report.fail(kExitFailure, "the filter kept no settings block of " +
                                           std::to_string(kParameterBlockSize) + " bytes; the state was not saved");
    if (!writeStateFile(request.statePath, keptState, &why)) return report.fail(kExitFailure, why);
  }
  return kExitOk;
}

}  // namespace qx::cli
