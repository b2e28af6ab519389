// Everything `quelvix render` was asked to do, checked and ready to run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/cli/dialog_actions.h"
#include "host/session/paint_options.h"

namespace qx::cli {

enum class OutputFormat { Svg, Json, Png, Pdf };

// The format named by the file's extension (case-insensitive); nullopt for
// any other extension.
std::optional<OutputFormat> formatFromPath(std::string_view path);
const char* formatName(OutputFormat format);

struct PageSize {
  double width = 612;
  double height = 792;
};
// "WxH" in points (each from kMinPageSide to kMaxPageSide), "letter" or "a4".
std::optional<PageSize> parsePageSize(std::string_view text, std::string* error);
inline constexpr double kMinPageSide = 1;
inline constexpr double kMaxPageSide = 100000;

// A whole number in [min, max] written in decimal; nullopt otherwise.
std::optional<uint64_t> parseCount(std::string_view text, uint64_t min, uint64_t max);

// The state file used without --state: $XDG_CONFIG_HOME/quelvix/state.bin,
// else $HOME/.config/quelvix/state.bin; nullopt when neither is set.
std::optional<std::string> defaultStatePath();

// The folder searched for plug-ins without --plugins: $QUELVIX_PLUGINS when
// set, else "plugins" beside the running executable, else (an installed
// program) lib/quelvix/plugins of its prefix.
std::string defaultPluginDir();

// The output name that stands for standard output (`-o -`).
inline constexpr std::string_view kStandardOutput = "-";

struct RenderRequest {
  std::string outputPath = "quelvix.svg";  // kStandardOutput: SVG or JSON to standard output
  OutputFormat format = OutputFormat::Svg;
  host::PaintOptions paint;  // size, area and ground of a PNG or PDF
  std::optional<uint64_t> seed;
  std::string randomFile;  // empty: the seeded generator
  std::string randomLog;   // empty: no log
  PageSize page;
  bool pageGiven = false;                // --page was given
  std::string openPath;                  // a drawing to run the filter over instead of a new page
  std::vector<std::string> selectNames;  // art to select by name (its id in the file)
  std::vector<size_t> selectIndices;     // top-level art to select by position, from the bottom
  bool selectAll = false;
  std::string palettePath;     // a palette whose colours become the document's swatches
  std::string statePath;       // empty: no kept settings (no configuration folder)
  bool fresh = false;          // do not read the state
  bool stateReadOnly = false;  // read the state but never write it (a drawing of a batch)
  std::string pluginDir;
  std::string filterEntry;  // the filter's registry entry; empty: the first one registered
  std::optional<size_t> artLimit;
  std::optional<uint64_t> drawLimit;  // random draws per message of the plug-in
  // The dialog actions in command-line order as (verb, argument); a --script
  // file stands in its place as ("script", path). Checked against the
  // document before the plug-in is loaded.
  std::vector<std::pair<std::string, std::string>> actionWords;
  bool printSettings = false;
  // A second picture of the drawing, a PNG fitting a square of
  // thumbnailSize pixels, for a batch's contact sheet; empty: none.
  std::string thumbnailPath;
  int thumbnailSize = 0;
};

}  // namespace qx::cli
