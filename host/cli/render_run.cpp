#include "host/cli/render_run.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "host/cli/commands.h"
#include "host/cli/document_output.h"
#include "host/cli/picture_output.h"
#include "host/io/bounded_file.h"
#include "host/cli/settings_report.h"
#include "host/dialogs/scripted_runner.h"
#include "host/io/palette_reader.h"
#include "host/io/svg_write/svg_writer.h"
#include "host/io/document_input.h"
#include "host/document/document.h"
#include "host/session/filter_session.h"
#include "host/session/random_log.h"
#include "host/session/state_file.h"

namespace qx::cli {
namespace {

struct Reporter {
  std::ostream& err;
  int fail(int status, const std::string& message) const {
    err << "quelvix: " << message << '\n';
    return status;
  }
};

// A script of actions: a regular file of at most kMaxScriptBytes.
constexpr size_t kMaxScriptBytes = size_t{1} << 20;

bool readScriptFile(const std::string& path, std::string* text, std::string* error) {
  std::string why;
  switch (host::readBoundedFile(path, kMaxScriptBytes, text, &why)) {
    case host::FileRead::Ok: return true;
    case host::FileRead::Missing: *error = "--script " + path + ": no such file"; break;
    case host::FileRead::NotRegular:
      *error = "--script " + path + ": not a regular file (a script is a file of at most " +
               std::to_string(kMaxScriptBytes >> 10) + " KiB)";
      break;
    case host::FileRead::TooLarge:
      *error = "--script " + path + ": larger than a script may be (" + std::to_string(kMaxScriptBytes >> 10) + " KiB)";
      break;
    case host::FileRead::Unreadable: *error = "--script " + path + ": cannot read the file"; break;
  }
  return false;
}

// Every file the run reads or writes names a file of its own: an output
// written over another output or an input loses one of them.
bool filesAreDistinct(const RenderRequest& request, std::string* error) {
  std::vector<std::pair<std::string, std::string>> files;  // option, path
  if (request.outputPath != kStandardOutput) files.emplace_back("-o", request.outputPath);
  if (!request.thumbnailPath.empty()) files.emplace_back("--thumbnail", request.thumbnailPath);
  if (!request.randomLog.empty()) files.emplace_back("--random-log", request.randomLog);
  const bool stateWritten = !request.statePath.empty() && !request.stateReadOnly;
  if (stateWritten) files.emplace_back("--state", request.statePath);
  if (!request.randomFile.empty()) files.emplace_back("--random-file", request.randomFile);
  if (!request.openPath.empty()) files.emplace_back("--open", request.openPath);
  if (!request.palettePath.empty()) files.emplace_back("--palette", request.palettePath);
  for (const auto& [verb, argument] : request.actionWords)
    if (verb == "script") files.emplace_back("--script", argument);
  if (!stateWritten && !request.statePath.empty()) files.emplace_back("--state", request.statePath);
  // The first ones are written; a clash needs one of them.
  const size_t written = (request.outputPath != kStandardOutput) + !request.thumbnailPath.empty() +
                         !request.randomLog.empty() + stateWritten;
  for (size_t i = 0; i < written; ++i) {
    for (size_t j = i + 1; j < files.size(); ++j) {
      if (sameFile(files[i].second, files[j].second)) {
        *error = files[i].first + " " + files[i].second + " and " + files[j].first + " " + files[j].second +
                 " name the same file; give each its own";
        return false;
      }
    }
  }
  return true;
}

// The command line's actions, in order: their form and names checked.
bool expandActions(const RenderRequest& request, std::vector<PlannedAction>* actions, std::string* error) {
  for (const auto& [verb, argument] : request.actionWords) {
    if (verb == "script") {
      std::string text;
      if (!readScriptFile(argument, &text, error)) return false;
      if (!parseScript(text, argument, actions, error)) return false;
      continue;
    }
    auto action = parseAction(verb, argument, error);
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
      case ActionKind::Shuffle:
      case ActionKind::PageTab: out.push_back(host::DialogAction::press(a.controlId)); break;
      case ActionKind::Adjust:
        out.push_back(host::DialogAction::drag(a.controlId,
                                               QxRealPoint{static_cast<QxReal>(a.x), static_cast<QxReal>(a.y)}));
        break;
      case ActionKind::Cancel: out.push_back(host::DialogAction::cancel()); break;
    }
  }
  if (actions.empty() || actions.back().kind != ActionKind::Cancel) out.push_back(host::DialogAction::confirm());
  return out;
}

// Resolves the planned actions against the settings dialog when it opens,
// and keeps what it learned of the dialog for the settings listing.
struct ActionPlanner {
  std::vector<PlannedAction> planned;
  std::optional<DialogCatalogue> catalogue;

  bool operator()(host::Dialog& dialog, std::vector<host::DialogAction>* actions, std::string* why) {
    catalogue = DialogCatalogue::read(dialog);
    std::vector<UserAction> resolved;
    for (const PlannedAction& p : planned) {
      auto action = resolveAction(*catalogue, p, why);
      if (!action) return false;
      resolved.push_back(std::move(*action));
    }
    *actions = runnerActions(resolved);
    return true;
  }
};


// Everything the command line names, checked before a plug-in runs.
struct RenderPlan {
  std::vector<PlannedAction> actions;
  std::vector<uint8_t> state;  // the kept settings, when there are some to use
  bool haveState = false;
  std::vector<std::string> pluginFiles;
};

int planRender(const RenderRequest& request, host::RandomSource& random, RenderPlan* plan, const Reporter& report) {
  std::string why;
  if ((request.format == OutputFormat::Png || request.format == OutputFormat::Pdf || !request.thumbnailPath.empty()) &&
      !canPaint())
    return report.fail(kExitUsage, std::string(formatName(request.format)) +
                                       " output needs the painter (Qt 6 Gui), which this build lacks; "
                                       "write .svg or .json instead");
  if (!outputFolderExists(request.outputPath))
    return report.fail(kExitUsage, "-o " + request.outputPath + ": the folder does not exist");
  if (!filesAreDistinct(request, &why)) return report.fail(kExitUsage, why);

  if (!expandActions(request, &plan->actions, &why)) return report.fail(kExitUsage, why);

  if (!request.randomFile.empty()) {
    if (!random.loadScript(request.randomFile, &why)) return report.fail(kExitUsage, "--random-file: " + why);
  } else if (request.seed) {
    random.seed(*request.seed);
  }

  if (!request.statePath.empty() && !request.fresh) {
    switch (host::readStateFile(request.statePath, host::kKeptBlockSize, &plan->state, &why)) {
      case host::StateRead::Missing: break;
      case host::StateRead::Loaded: plan->haveState = true; break;
      case host::StateRead::Invalid: return report.fail(kExitUsage, why);
    }
  }

  std::error_code ec;
  if (!std::filesystem::is_directory(request.pluginDir, ec))
    return report.fail(kExitUsage, "--plugins " + request.pluginDir + ": no such folder");
  plan->pluginFiles = host::FilterSession::pluginFiles(request.pluginDir);
  if (plan->pluginFiles.empty())
    return report.fail(kExitUsage, "--plugins " + request.pluginDir + ": no plug-in (*.aip) in the folder");
  return kExitOk;
}

// Start the plug-ins, hand the filter its kept settings and run it through
// the scripted dialog. *kept receives the block the filter left after a
// successful run.
int runFilter(const RenderRequest& request, const RenderPlan& plan, host::FilterSession& session,
              host::ScriptedRunner& runner, const ActionPlanner& planner, std::ostream& out, const Reporter& report,
              std::vector<uint8_t>* kept) {
  std::vector<std::string> problems;
  session.startPlugins(plan.pluginFiles, &problems);
  // A broken plug-in beside ours is reported and skipped; only a missing
  // filter ends the run.
  for (const std::string& problem : problems) report.fail(kExitFailure, "skipping a plug-in: " + problem);

  host::RegisteredFilter* filter = session.findFilter(request.filterEntry);
  if (!filter) {
    if (request.filterEntry.empty())
      return report.fail(kExitFailure, "no plug-in in " + request.pluginDir + " offers a filter");
    return report.fail(kExitFailure,
                       "no plug-in in " + request.pluginDir + " offers the filter \"" + request.filterEntry + "\"");
  }
  if (plan.haveState) {
    if (QxErr rc = session.plugins().setFilterParameters(*filter, plan.state))
      return report.fail(kExitFailure, "cannot hand the kept settings to the filter (" + host::codeInWords(rc) + ")");
  }

  const QxFilterHandle handle = filter->handle;
  const QxErr getParameters = session.getParameters(handle);
  if (runner.planFailed()) return report.fail(kExitUsage, runner.error());
  if (request.printSettings && runner.ranSettingsDialog() && planner.catalogue)
    out << formatSettings(*planner.catalogue, runner.lastState());

  if (runner.failed()) return report.fail(kExitUsage, "the dialog refused an action: " + runner.error());
  if (getParameters == QX_ERR_STOP) return kExitCancelled;
  // Running out of memory stops the plug-in's drawing without a word;
  // other failures it has shown in its error dialog already.
  if (getParameters == QX_ERR_OUT_OF_MEMORY)
    return report.fail(kExitFailure, "the filter's dialog failed (out of memory); nothing was written");
  if (getParameters != 0) return kExitFailure;
  if (QxErr go = session.go(handle))
    return report.fail(kExitFailure, "the filter's run failed (" + host::codeInWords(go) + "); nothing was written");
  if (host::RegisteredFilter* ran = session.plugins().findFilter(handle)) {
    if (auto block = session.plugins().filterParameters(*ran)) *kept = std::move(*block);
  }
  return kExitOk;
}

// The drawing fitted into a square of request.thumbnailSize pixels, the area
// the output shows, on white.
bool writeThumbnail(const RenderRequest& request, const host::Document& document, std::string* error) {
  host::PaintOptions options;
  options.area = request.paint.area;
  double width = document.pageWidth(), height = document.pageHeight();
  if (options.area == host::PaintedArea::Art) {
    const host::SvgBox box = host::svgViewBox(document);
    width = box.width;
    height = box.height;
  }
  (width >= height ? options.width : options.height) = request.thumbnailSize;
  return writePicture(document, request.thumbnailPath, OutputFormat::Png, options, error) == WriteResult::Written;
}

// Write the drawing (and its thumbnail), the random log and the kept
// settings, in that order.
int writeOutputs(const RenderRequest& request, host::FilterSession& session, host::RandomLogFile& log,
                 const std::vector<uint8_t>& kept, const Reporter& report) {
  std::string why;
  const host::Document& document = session.document();
  bool complete = true;
  if (document.art().budgetExhausted()) {
    complete = false;
    report.fail(kExitFailure, "the art budget of " + std::to_string(document.art().artBudget()) +
                                  " objects was reached, so the drawing stops there; the art drawn so far is "
                                  "written (raise the budget with --art-limit)");
  }
  if (session.random().drawBudgetSpent()) {
    complete = false;
    report.fail(kExitFailure, "the work budget of " + std::to_string(session.random().drawBudget()) +
                                  " random draws a run was spent, so the drawing stops there; the art drawn so far "
                                  "is written (raise the budget with --draw-limit)");
  }
  switch (writeDocumentAs(document, request.outputPath, request.format, request.paint, &why)) {
    case WriteResult::Written: break;
    case WriteResult::Refused: return report.fail(kExitUsage, "-o " + request.outputPath + ": " + why);
    case WriteResult::Failed: return report.fail(kExitFailure, "cannot write " + request.outputPath + ": " + why);
  }
  if (!log.commit(&why)) return report.fail(kExitFailure, "cannot write the random log: " + why);
  if (!request.thumbnailPath.empty() && !writeThumbnail(request, document, &why))
    return report.fail(kExitFailure, "cannot write the thumbnail " + request.thumbnailPath + ": " + why);
  if (!complete) return kExitFailure;

  if (!request.statePath.empty() && !request.stateReadOnly) {
    if (kept.size() != host::kKeptBlockSize)
      return report.fail(kExitFailure, "the filter kept no settings block of " + std::to_string(host::kKeptBlockSize) +
                                           " bytes; the state was not saved");
    if (!host::writeStateFile(request.statePath, kept, &why)) return report.fail(kExitFailure, why);
  }
  return kExitOk;
}

// The opened drawing's selection, as the command line names it. A name or
// position the drawing lacks is refused with what it has.
bool selectArt(const RenderRequest& request, host::Document& document, std::string* error) {
  host::ArtStore& art = document.art();
  const std::vector<QxArtHandle> top = art.topLevelArt();
  std::vector<QxArtHandle> chosen;
  if (request.selectAll) chosen = top;
  for (size_t index : request.selectIndices) {
    if (index >= top.size()) {
      *error = "--select-index " + std::to_string(index) + ": " + request.openPath + " has " +
               std::to_string(top.size()) + " top-level objects (positions 0 to " +
               std::to_string(top.empty() ? 0 : top.size() - 1) + ")";
      return false;
    }
    chosen.push_back(top[index]);
  }
  for (const std::string& name : request.selectNames) {
    QxArtHandle found = document.findArtByName(name);
    if (!found) {
      *error = "--select " + name + ": " + request.openPath + " has no object with that id";
      return false;
    }
    chosen.push_back(found);
  }
  for (QxArtHandle handle : chosen) (void)art.setSelected(handle, true);
  return true;
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec) && !ec;
  const fs::path ca = fs::weakly_canonical(fs::absolute(a, ec), ec);
  const fs::path cb = fs::weakly_canonical(fs::absolute(b, ec), ec);
  return !ec && ca == cb;
}

int runRender(const RenderRequest& request, std::ostream& out, std::ostream& err) {
  const Reporter report{err};
  host::ScriptedRunner runner(out, err, host::ScriptedRunner::Options{.rejectOutOfRange = true});
  std::unique_ptr<host::Document> start;
  std::string why;
  if (!request.openPath.empty()) {
    std::vector<std::string> warnings;
    start = host::readDocumentFile(request.openPath, &why, &warnings);
    if (!start) return report.fail(kExitUsage, "--open " + why);
    for (const std::string& warning : warnings) report.fail(kExitOk, "warning: " + warning);
    if (!selectArt(request, *start, &why)) return report.fail(kExitUsage, why);
  } else {
    start = std::make_unique<host::Document>(static_cast<QxReal>(request.page.width),
                                             static_cast<QxReal>(request.page.height));
  }
  if (!request.palettePath.empty()) {
    auto palette = host::readPaletteFile(request.palettePath, &why);
    if (!palette) return report.fail(kExitUsage, "--palette " + why);
    start->setSwatches(host::paletteSwatches(*palette));
  }
  host::FilterSession session(runner, std::move(start));
  host::Document& document = session.document();
  if (request.artLimit) document.art().setArtBudget(*request.artLimit);
  if (request.drawLimit) session.random().setDrawBudget(*request.drawLimit);
  runner.setViewMapper([&session](QxRealPoint point, QxPoint* view) {
    return session.document().artworkToView(point, view) == QX_ERR_NONE;
  });

  RenderPlan plan;
  if (int status = planRender(request, session.random(), &plan, report)) return status;
  // The drawing takes this run's seed, also when an opened file had its own.
  document.setSeed(session.random().seedUsed());
  ActionPlanner planner{plan.actions, std::nullopt};
  runner.setPlanner(std::ref(planner));

  host::RandomLogFile log;
  if (!request.randomLog.empty() && !log.open(request.randomLog, session.random(), &why))
    return report.fail(kExitUsage, "--random-log: " + why);
  if (auto seed = session.random().seedUsed()) err << "quelvix: seed " << *seed << '\n';

  std::vector<uint8_t> kept;
  const int status = runFilter(request, plan, session, runner, planner, out, report, &kept);
  session.shutdownPlugins(nullptr);

  if (session.random().exhausted()) {
    return report.fail(kExitFailure, "--random-file " + request.randomFile + ": the numbers ran out after " +
                                         std::to_string(session.random().served()) + " draws; nothing was written");
  }
  if (status != kExitOk) return status;
  return writeOutputs(request, session, log, kept, report);
}

}  // namespace qx::cli
