// Reads SVG files from vector editors, browsers and Quelvix itself into an
// SvgScene. Paths, basic shapes, groups, nested svg, use (expanded into
// copies), images, paint from attributes, style="" and simple <style> sheets,
// gradients and patterns (as their first colour). Text, clipping, masks,
// filters and markers are not imported, each with one warning per file.
// Nothing throws: every failure answers an error, and whatever could be read
// despite a fault is kept with a warning saying what was lost.
//
// The page: the root's width and height in points (px count 0.75 pt,
// unitless is px). A percentage is of the viewBox's size, or of 300 x 150 px
// (what browsers give an image of unknown size) without a viewBox; a missing
// side follows the viewBox, or takes that default size. Quelvix's own files
// carry their page as page metadata instead, and the layer that holds their
// drawing is read as the drawing itself, not as a group.
//
// Refused outright: malformed XML, a DOCTYPE that declares entities, a root
// other than svg, an unknown unit in the root's size, and anything past the
// limits below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/io/svg_read/svg_scene.h"

namespace qx::host {

// Bounds that keep a hostile file from exhausting memory, stack or time.
struct SvgReadLimits {
  uint64_t maxFileBytes = uint64_t{256} << 20;  // 256 MiB
  int maxDepth = 1000;                          // element nesting
  uint64_t maxNodes = 5'000'000;                // scene nodes plus skipped elements, every use copy counted
  uint64_t maxSegments = 20'000'000;            // path points in the whole scene
  size_t maxWarnings = 200;                     // more are counted in one last warning
};

struct SvgReadResult {
  std::optional<SvgScene> scene;
  // Set when scene is empty: "FILE:LINE: reason", or "FILE: reason" when the
  // fault is not at a place in the text (a missing file, a directory).
  std::string error;
};

SvgReadResult readSvgFile(const std::string& path, const SvgReadLimits& limits = {});
SvgReadResult readSvgText(std::string_view text, const std::string& nameForMessages, const SvgReadLimits& limits = {});

}  // namespace qx::host
