// `quelvix render`: the options, gathered into a RenderRequest in the order
// they were given, then run; with --variations, a batch of such runs.
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <set>

#include "host/cli/commands.h"
#include "host/cli/document_output.h"
#include "host/cli/render_batch.h"
#include "host/cli/render_request.h"
#include "host/cli/render_run.h"
#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/session/contact_sheet.h"

namespace qx::cli {
namespace {

struct RenderOptions {
  std::string output = "quelvix.svg";
  std::string format;
  std::string seed, randomFile, randomLog, page, state, plugins, filter, artLimit, drawLimit, open, palette;
  std::vector<std::string> selectNames, selectIndices;
  bool selectAll = false;
  bool fresh = false;
  bool printSettings = false;
  // Values of the action options; CLI11 keeps each option's values in order,
  // and parse_order() tells how the options interleave.
  std::vector<std::string> presets, sets, adjusts, pageTabs, scripts;
  int tumbles = 0, shuffles = 0, noPreviews = 0, cancels = 0;
  PaintOptionText paint;
  // A batch: --variations, -j, --quiet, --contact-sheet, --columns, --thumb.
  std::string variations, jobs, contactSheet, columns, thumb;
  bool quiet = false;
  // A drawing of a batch (hidden): the state only read, a thumbnail beside.
  bool stateReadOnly = false;
  std::string thumbnail, thumbnailSize;
  // The options a batch's drawings do not repeat: the batch's own, and those
  // each drawing gets from the batch (-o, --seed, the state).
  std::set<const CLI::Option*> batchOnly;
};

int usage(const std::string& message) {
  std::cerr << "quelvix: " << message << '\n';
  return kExitUsage;
}

// The output file and its format and paint; an exit status when they are not valid.
int readOutputOptions(const RenderOptions& o, RenderRequest* request) {
  request->outputPath = o.output;
  std::string why;
  if (!resolveOutput(o.output, o.format, &request->format, &why)) return usage(why);
  if (!parsePaintOptions(o.paint, request->format, &request->paint, &why)) return usage(why);
  if (o.output == kStandardOutput && o.printSettings)
    return usage("--print-settings and -o -: both would go to standard output; write the drawing to a file");
  return kExitOk;
}

// The document the filter runs on and the random numbers it draws.
int readDocumentOptions(const RenderOptions& o, RenderRequest* request) {
  if (!o.seed.empty()) {
    auto seed = parseCount(o.seed, 0, UINT64_MAX);
    if (!seed) return usage("--seed " + o.seed + ": expected a whole number from 0 to 18446744073709551615");
    request->seed = seed;
  }
  request->randomFile = o.randomFile;
  request->randomLog = o.randomLog;
  if (!o.page.empty()) {
    std::string why;
    auto page = parsePageSize(o.page, &why);
    if (!page) return usage(why);
    request->page = *page;
    request->pageGiven = true;
  }
  request->openPath = o.open;
  if (!o.open.empty() && request->pageGiven) return usage("--page and --open: the opened drawing brings its own page");
  if (o.open.empty() && (o.selectAll || !o.selectNames.empty() || !o.selectIndices.empty()))
    return usage("--select, --select-all and --select-index choose art of a drawing opened with --open");
  request->palettePath = o.palette;
  request->selectNames = o.selectNames;
  request->selectAll = o.selectAll;
  for (const std::string& text : o.selectIndices) {
    auto index = parseCount(text, 0, host::ArtStore::kMaxArtBudget);
    if (!index) return usage("--select-index " + text + ": expected a position from 0 (the bottom-most object)");
    request->selectIndices.push_back(static_cast<size_t>(*index));
  }
  return kExitOk;
}

// The limits of a run, the kept settings, the plug-ins and the filter, and
// what a drawing of a batch makes besides.
int readRunOptions(const RenderOptions& o, RenderRequest* request) {
  if (!o.artLimit.empty()) {
    auto limit = parseCount(o.artLimit, 1, host::ArtStore::kMaxArtBudget);
    if (!limit)
      return usage("--art-limit " + o.artLimit + ": expected a whole number of objects from 1 to " +
                   std::to_string(host::ArtStore::kMaxArtBudget));
    request->artLimit = static_cast<size_t>(*limit);
  }
  if (!o.drawLimit.empty()) {
    auto limit = parseCount(o.drawLimit, 1, UINT64_MAX);
    if (!limit) return usage("--draw-limit " + o.drawLimit + ": expected a whole number of random draws from 1");
    request->drawLimit = *limit;
  }
  request->fresh = o.fresh;
  if (!o.state.empty()) {
    request->statePath = o.state;
  } else if (auto path = defaultStatePath()) {
    request->statePath = *path;
  } else {
    std::cerr << "quelvix: neither XDG_CONFIG_HOME nor HOME is set, so the settings are not kept\n";
  }
  request->pluginDir = o.plugins.empty() ? defaultPluginDir() : o.plugins;
  request->filterEntry = o.filter;
  request->printSettings = o.printSettings;
  request->stateReadOnly = o.stateReadOnly;
  if (!o.thumbnail.empty()) {
    auto size = parseCount(o.thumbnailSize, host::kMinContactThumb, host::kMaxContactThumb);
    if (!size) return usage("--thumbnail-size " + o.thumbnailSize + ": expected a side in pixels");
    request->thumbnailPath = o.thumbnail;
    request->thumbnailSize = static_cast<int>(*size);
  }
  return kExitOk;
}

// Each action option's values in turn, in the order the options came.
void readActionWords(CLI::App& command, const RenderOptions& o, RenderRequest* request) {
  std::map<std::string, size_t> used;
  auto next = [&](const std::vector<std::string>& values, const std::string& name) -> std::string {
    size_t& i = used[name];
    return i < values.size() ? values[i++] : std::string();
  };
  for (const CLI::Option* option : command.parse_order()) {
    const std::string name = option->get_name(false, true);
    if (name == "--preset") request->actionWords.emplace_back("preset", next(o.presets, name));
    else if (name == "--set") request->actionWords.emplace_back("set", next(o.sets, name));
    else if (name == "--adjust") request->actionWords.emplace_back("adjust", next(o.adjusts, name));
    else if (name == "--page-tab") request->actionWords.emplace_back("page-tab", next(o.pageTabs, name));
    else if (name == "--script") request->actionWords.emplace_back("script", next(o.scripts, name));
    else if (name == "--tumble") request->actionWords.emplace_back("tumble", "");
    else if (name == "--shuffle") request->actionWords.emplace_back("shuffle", "");
    else if (name == "--no-preview") request->actionWords.emplace_back("no-preview", "");
    else if (name == "--cancel") request->actionWords.emplace_back("cancel", "");
  }
}

// The request the options describe; an exit status when they are not valid.
int buildRequest(CLI::App& command, const RenderOptions& o, RenderRequest* request) {
  int status = readOutputOptions(o, request);
  if (status == kExitOk) status = readDocumentOptions(o, request);
  if (status == kExitOk) status = readRunOptions(o, request);
  if (status == kExitOk) readActionWords(command, o, request);
  return status;
}

// The batch the options describe, around a request checked as above.
int buildBatch(CLI::App& command, const RenderOptions& o, BatchRequest* batch) {
  if (!o.thumbnail.empty() || o.stateReadOnly)
    return usage("--thumbnail and --state-read-only are for the drawings of a batch, which make them themselves");
  auto count = parseCount(o.variations, 1, kMaxVariations);
  if (!count)
    return usage("--variations " + o.variations + ": expected a number of drawings from 1 to " +
                 std::to_string(kMaxVariations));
  batch->count = *count;
  batch->jobs = 0;
  if (!o.jobs.empty()) {
    auto jobs = parseCount(o.jobs, 1, kMaxJobs);
    if (!jobs)
      return usage("-j " + o.jobs + ": expected a number of drawings at a time from 1 to " + std::to_string(kMaxJobs));
    batch->jobs = static_cast<size_t>(*jobs);
  }
  batch->quiet = o.quiet;
  batch->pattern = o.output;
  batch->sheetPath = o.contactSheet;
  if (!o.columns.empty()) {
    auto columns = parseCount(o.columns, 1, kMaxColumns);
    if (!columns) return usage("--columns " + o.columns + ": expected from 1 to " + std::to_string(kMaxColumns));
    batch->columns = static_cast<int>(*columns);
  }
  if (!o.thumb.empty()) {
    auto thumb = parseCount(o.thumb, host::kMinContactThumb, host::kMaxContactThumb);
    if (!thumb)
      return usage("--thumb " + o.thumb + ": expected a side in pixels from " + std::to_string(host::kMinContactThumb) +
                   " to " + std::to_string(host::kMaxContactThumb));
    batch->thumb = static_cast<int>(*thumb);
  }
  if (batch->sheetPath.empty() && (!o.columns.empty() || !o.thumb.empty()))
    return usage("--columns and --thumb shape the --contact-sheet; give one");
  if (!o.randomFile.empty() || !o.randomLog.empty())
    return usage("--random-file and --random-log are for one drawing; make it with --seed, without --variations");
  if (o.printSettings) return usage("--print-settings lists one drawing's settings; run it without --variations");
  if (o.output == kStandardOutput) return usage("-o -: a batch writes files; give a pattern such as 'v/{seed}.svg'");

  // The drawings repeat every other option, as given and in order; a value
  // goes as --name=value so that one starting with '-' stays a value.
  std::map<const CLI::Option*, size_t> taken;
  for (const CLI::Option* option : command.parse_order()) {
    const size_t k = taken[option]++;
    if (o.batchOnly.count(option)) continue;
    const std::string name = "--" + option->get_lnames().front();
    if (option->get_items_expected_max() == 0) batch->childArgs.push_back(name);
    else if (k < option->results().size()) batch->childArgs.push_back(name + "=" + option->results()[k]);
  }
  return kExitOk;
}

// The output, the document and the run: -o to --draw-limit.
void addDocumentOptions(CLI::App& command, RenderOptions& o) {
  auto* output = command.add_option(
      "-o,--output", o.output,
      "The file to write; .svg, .json, .png or .pdf by its extension (default quelvix.svg); - for standard output; "
      "with --variations a pattern with {seed} and {n}");
  command.add_option("--format", o.format, "With -o -: svg (default) or json");
  addPaintOptions(command, o.paint);
  auto* seed = command.add_option("--seed", o.seed,
                                  "Seed of the random numbers (default: from the clock); a batch's first seed");
  command.add_option("--random-file", o.randomFile, "Serve the reals listed in this file instead of a seed")
      ->excludes(seed);
  command.add_option("--random-log", o.randomLog, "Log every random number (r VALUE) and undo (undo) here");
  command.add_option("--page", o.page, "Page size: WxH in points, letter (default) or a4");
  auto* state = command.add_option("--state", o.state,
                                   "The filter's kept settings; default $XDG_CONFIG_HOME/quelvix/state.bin");
  auto* fresh = command.add_flag("--fresh", o.fresh, "Start from the default settings instead of the kept ones");
  command.add_option("--plugins", o.plugins, "Folder of plug-ins (default: plugins beside the program)");
  command.add_option("--open", o.open,
                     "Run the filter over the drawing in this SVG file (its page and art) instead of a new page");
  command.add_option("--select", o.selectNames, "Select the opened drawing's object with this id (repeatable)")
      ->allow_extra_args(false);
  command.add_flag("--select-all", o.selectAll, "Select every top-level object of the opened drawing");
  command
      .add_option("--select-index", o.selectIndices,
                  "Select the opened drawing's Nth top-level object, 0 the bottom-most (repeatable)")
      ->allow_extra_args(false);
  command.add_option("--palette", o.palette,
                     "A palette (.gpl, or #rrggbb lines) whose colours become the document's swatches, after "
                     "[None], [Registration], White and Black");
  command.add_option("--filter", o.filter,
                     "The filter to run, by its menu entry \"Category > Title\", title or name (default: the "
                     "first one the plug-ins register)");
  command.add_option("--art-limit", o.artLimit, "Most art objects the document takes (default 3000000)");
  command.add_option("--draw-limit", o.drawLimit,
                     "Most random draws one run of the filter may take (default " +
                         std::to_string(host::RandomSource::kDefaultDrawBudget) + ")");
  o.batchOnly.insert({output, seed, state, fresh});
}

// The dialog actions, in the order given, and --print-settings.
void addActionOptions(CLI::App& command, RenderOptions& o) {
  auto single = [](CLI::Option* opt) { return opt->allow_extra_args(false); };
  single(command.add_option("--preset", o.presets, "Choose a preset by position (0-15) or name"));
  single(command.add_option("--set", o.sets,
                            "NAME=VALUE: set a control by its record field name (popups also take entry text, "
                            "check boxes 0/1/on/off)"));
  command.add_flag("--tumble", o.tumbles, "Press Tumble");
  command.add_flag("--shuffle", o.shuffles, "Press Shuffle");
  single(command.add_option("--adjust", o.adjusts, "FIELD=X,Y: drag the field's adjuster to artwork point X,Y"));
  single(command.add_option("--page-tab", o.pageTabs, "Show page N (1 Lines, 2 Style, 3 Shapes, 4 Settings)"));
  command.add_flag("--no-preview", o.noPreviews, "Untick Preview");
  command.add_flag("--cancel", o.cancels, "Press Cancel (exit status 3, nothing written)");
  single(command.add_option("--script", o.scripts, "Read actions from a file, one a line ('#' comments)"));
  command.add_flag("--print-settings", o.printSettings,
                   "Print every control's label and value, by page, after the actions");
}

// A batch's options, and the hidden ones it hands its drawings.
void addBatchOptions(CLI::App& command, RenderOptions& o) {
  auto* variations = command.add_option(
      "--variations", o.variations,
      "Make N drawings with the same settings and the seeds S, S+1, ... (S from --seed or the clock)");
  auto* jobs = command.add_option("-j,--jobs", o.jobs, "Drawings made at a time (default: the number of cores)");
  auto* quiet = command.add_flag("--quiet", o.quiet, "No progress bar and no line per drawing; failures still show");
  auto* sheet = command.add_option("--contact-sheet", o.contactSheet,
                                   "Also write the batch's thumbnails in a grid, each labelled with its seed (.png)");
  auto* columns = command.add_option("--columns", o.columns, "Columns of the contact sheet (default: a square grid)");
  auto* thumb = command.add_option("--thumb", o.thumb, "Side of a contact sheet's thumbnail in pixels (default 240)");
  auto* readOnly =
      command.add_flag("--state-read-only", o.stateReadOnly, "Read the kept settings, never write them")->group("");
  auto* thumbnail = command.add_option("--thumbnail", o.thumbnail, "Also write a PNG thumbnail here")->group("");
  auto* thumbnailSize =
      command.add_option("--thumbnail-size", o.thumbnailSize, "The square the thumbnail fits, in pixels")->group("");
  o.batchOnly.insert({variations, jobs, quiet, sheet, columns, thumb, readOnly, thumbnail, thumbnailSize});
}

// One drawing, or with --variations a batch; the exit status.
int render(CLI::App& command, const RenderOptions& o) {
  RenderRequest request;
  if (const int status = buildRequest(command, o, &request); status != kExitOk) return status;
  if (o.variations.empty()) {
    if (!o.jobs.empty() || o.quiet || !o.contactSheet.empty() || !o.columns.empty() || !o.thumb.empty())
      return usage("-j, --quiet, --contact-sheet, --columns and --thumb are for a batch; add --variations N");
    return runRender(request, std::cout, std::cerr);
  }
  BatchRequest batch;
  if (const int status = buildBatch(command, o, &batch); status != kExitOk) return status;
  batch.seed = request.seed;
  batch.render = std::move(request);
  return runBatch(batch);
}

}  // namespace

void addRenderCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* command = app.add_subcommand(
      "render", "Run the Quelvix filter on a new document through its settings dialog and write the drawing. "
                "Dialog actions (--preset, --set, --tumble, --shuffle, --adjust, --page-tab, --no-preview, --cancel, "
                "--script) apply in the order given. Exit status: 0 done, 1 the run or a write failed, 2 bad command "
                "line or input (nothing written), 3 cancelled.");
  addDocumentOptions(*command, *options);
  addActionOptions(*command, *options);
  addBatchOptions(*command, *options);
  command->callback([command, options, &status] {
    try {
      status = render(*command, *options);
    } catch (const std::bad_alloc&) {
      std::cerr << "quelvix: out of memory; the run stopped there\n";
      status = kExitFailure;
    } catch (const std::exception& e) {
      std::cerr << "quelvix: " << e.what() << '\n';
      status = kExitFailure;
    }
  });
}

}  // namespace qx::cli
