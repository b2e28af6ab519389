// `quelvix render --variations N`: N drawings with the same settings and the
// seeds S, S+1, ..., each made by a process of its own (the plug-in's state
// is process-wide), a few at a time, with progress on standard error and an
// optional contact sheet of their thumbnails.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/cli/render_request.h"

namespace qx::cli {

inline constexpr uint64_t kMaxVariations = 100000;
inline constexpr uint64_t kMaxJobs = 256;
inline constexpr uint64_t kMaxColumns = 1000;
inline constexpr int kDefaultContactThumb = 240;

struct BatchRequest {
  uint64_t count = 1;
  std::optional<uint64_t> seed;  // the first seed; nullopt: from the clock
  size_t jobs = 0;               // drawings at a time; 0: the number of cores
  bool quiet = false;
  std::string pattern;    // -o with {seed} and {n}
  std::string sheetPath;  // the contact sheet; empty: none
  int columns = 0;        // the sheet's columns; 0: host::defaultContactColumns
  int thumb = kDefaultContactThumb;
  // render's options as given, minus the batch's own, -o, --seed, --state
  // and --fresh: every drawing repeats them.
  std::vector<std::string> childArgs;
  RenderRequest render;  // the same options, checked (the state, the format, the plug-in folder)
};

// The pattern with every {seed} replaced by the seed and every {n} by the
// drawing's place in the batch, counted from 1.
std::string expandPattern(std::string_view pattern, uint64_t seed, uint64_t n);
bool hasPlaceholder(std::string_view pattern);

// Runs the batch; answers 0 when every drawing (and the sheet) was written,
// 1 when any failed, 2 for a command line refused before (or by the first
// drawing, before any was written), 3 when the dialog cancelled. Messages go
// to standard error as lines starting with "quelvix: ". SIGINT, SIGTERM or
// SIGHUP ends the drawings under way and then the program, by that signal.
int runBatch(const BatchRequest& batch);

}  // namespace qx::cli
