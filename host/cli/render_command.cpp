// `quelvix render`: the options, gathered into a RenderRequest in the order
// they were given, then run.
#include <exception>
#include <iostream>
#include <map>
#include <memory>

#include "host/cli/commands.h"
#include "host/cli/document_output.h"
#include "host/cli/render_request.h"
#include "host/cli/render_run.h"
#include "host/document/document.h"
#include "host/document/random_source.h"

namespace qx::cli {
namespace {

struct RenderOptions {
  std::string output = "quelvix.svg";
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
};

int usage(const std::string& message) {
  std::cerr << "quelvix render: " << message << '\n';
  return kExitUsage;
}

// The request the options describe; an exit status when they are not valid.
int buildRequest(CLI::App& command, const RenderOptions& o, RenderRequest* request) {
  request->outputPath = o.output;
  auto format = formatFromPath(o.output);
  if (!format) return usage("-o " + o.output + ": the extension must be .svg, .json, .png or .pdf");
  request->format = *format;
  std::string why;
  if (!parsePaintOptions(o.paint, *format, &request->paint, &why)) return usage(why);

  if (!o.seed.empty()) {
    auto seed = parseCount(o.seed, 0, UINT64_MAX);
    if (!seed) return usage("--seed " + o.seed + ": expected a whole number from 0 to 18446744073709551615");
    request->seed = seed;
  }
  request->randomFile = o.randomFile;
  request->randomLog = o.randomLog;
  if (!o.page.empty()) {
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
    std::cerr << "quelvix render: neither XDG_CONFIG_HOME nor HOME is set, so the settings are not kept\n";
  }
  request->pluginDir = o.plugins.empty() ? defaultPluginDir() : o.plugins;
  request->filterEntry = o.filter;
  request->printSettings = o.printSettings;

  // Each action option's values in turn, in the order the options came.
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
  return kExitOk;
}

}  // namespace

void addRenderCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* command = app.add_subcommand(
      "render", "Run the Quelvix filter on a new document through its settings dialog and write the drawing. "
                "Dialog actions (--preset, --set, --tumble, --shuffle, --adjust, --page-tab, --no-preview, --cancel, "
                "--script) apply in the order given. Exit status: 0 done, 1 the run or a write failed, 2 bad command "
                "line or input (nothing written), 3 cancelled.");
  RenderOptions& o = *options;
  auto single = [](CLI::Option* opt) { return opt->allow_extra_args(false); };

  command->add_option("-o,--output", o.output,
                      "The file to write; .svg, .json, .png or .pdf by its extension (default quelvix.svg)");
  addPaintOptions(*command, o.paint);
  auto* seed = command->add_option("--seed", o.seed, "Seed of the random numbers (default: from the clock)");
  command->add_option("--random-file", o.randomFile, "Serve the reals listed in this file instead of a seed")
      ->excludes(seed);
  command->add_option("--random-log", o.randomLog, "Log every random number (r VALUE) and undo (undo) here");
  command->add_option("--page", o.page, "Page size: WxH in points, letter (default) or a4");
  command->add_option("--state", o.state, "The filter's kept settings; default $XDG_CONFIG_HOME/quelvix/state.bin");
  command->add_flag("--fresh", o.fresh, "Start from the default settings instead of the kept ones");
  command->add_option("--plugins", o.plugins, "Folder of plug-ins (default: plugins beside the program)");
  command->add_option("--open", o.open,
                      "Run the filter over the drawing in this SVG file (its page and art) instead of a new page");
  command->add_option("--select", o.selectNames, "Select the opened drawing's object with this id (repeatable)")
      ->allow_extra_args(false);
  command->add_flag("--select-all", o.selectAll, "Select every top-level object of the opened drawing");
  command
      ->add_option("--select-index", o.selectIndices,
                   "Select the opened drawing's Nth top-level object, 0 the bottom-most (repeatable)")
      ->allow_extra_args(false);
  command->add_option("--palette", o.palette,
                      "A palette (.gpl, or #rrggbb lines) whose colours become the document's swatches, after "
                      "[None], [Registration], White and Black");
  command->add_option("--filter", o.filter,
                      "The filter to run, by its menu entry \"Category > Title\", title or name (default: the "
                      "first one the plug-ins register)");
  command->add_option("--art-limit", o.artLimit, "Most art objects the document takes (default 3000000)");
  command->add_option("--draw-limit", o.drawLimit,
                      "Most random draws one run of the filter may take (default " +
                          std::to_string(host::RandomSource::kDefaultDrawBudget) + ")");

  single(command->add_option("--preset", o.presets, "Choose a preset by position (0-15) or name"));
  single(command->add_option("--set", o.sets,
                             "NAME=VALUE: set a control by its record field name (popups also take entry text, "
                             "check boxes 0/1/on/off)"));
  command->add_flag("--tumble", o.tumbles, "Press Tumble");
  command->add_flag("--shuffle", o.shuffles, "Press Shuffle");
  single(command->add_option("--adjust", o.adjusts, "FIELD=X,Y: drag the field's adjuster to artwork point X,Y"));
  single(command->add_option("--page-tab", o.pageTabs, "Show page N (1 Lines, 2 Style, 3 Shapes, 4 Settings)"));
  command->add_flag("--no-preview", o.noPreviews, "Untick Preview");
  command->add_flag("--cancel", o.cancels, "Press Cancel (exit status 3, nothing written)");
  single(command->add_option("--script", o.scripts, "Read actions from a file, one a line ('#' comments)"));
  command->add_flag("--print-settings", o.printSettings,
                    "Print every control's label and value, by page, after the actions");

  command->callback([command, options, &status] {
    try {
      RenderRequest request;
      status = buildRequest(*command, *options, &request);
      if (status == kExitOk) status = runRender(request, std::cout, std::cerr);
    } catch (const std::exception& e) {
      std::cerr << "quelvix render: " << e.what() << '\n';
      status = kExitFailure;
    }
  });
}

}  // namespace qx::cli
