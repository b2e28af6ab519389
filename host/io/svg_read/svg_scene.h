// What the SVG reader makes of a file: a flat list of objects in paint order,
// in page points with the y axis up and the origin at the page's bottom left,
// every transform already applied. Nothing here knows about the document or
// the plug-in interface beyond the plain C records of the SDK.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "qx_ai_art.h"

namespace qx::host {

enum class SvgNodeKind {
  Group,         // g, a, nested svg, switch and every expanded use
  Path,          // one subpath
  CompoundPath,  // a path element of several subpaths; its children are Paths
  Placed,        // an image linked by href
  Raster,        // an image embedded as a data: URL
};

struct SvgSubpath {
  std::vector<QxPathSegment> segments;
  bool closed = false;
};

// One paint: the colour kind the document stores and the plain colour a
// painter uses for it. For RGB the two are the same; for gradients and
// patterns firstStop is the first stop (a pattern: its first filled shape, or
// mid-grey); for none both are QX_COLOR_NONE.
struct SvgPaint {
  QxColor color{QX_COLOR_NONE, {}};      // QX_COLOR_RGB, _NONE, _GRADIENT or _PATTERN
  QxColor firstStop{QX_COLOR_NONE, {}};  // QX_COLOR_RGB or QX_COLOR_NONE
  double firstStopOpacity = 1;           // the stop's own stop-opacity
  std::string ref;                       // id of the gradient or pattern
};

struct SvgStyle {
  SvgPaint fill;  // black unless the file says otherwise
  SvgPaint stroke;
  double fillOpacity = 1;  // colour alpha (#rgba, rgba()) already folded in
  double strokeOpacity = 1;
  double strokeWidth = 1;  // points: the file's width times sqrt(|det|) of the transform
  int32_t cap = QX_CAP_BUTT;
  int32_t join = QX_JOIN_MITER;
  double miterLimit = 4;
  QxDashStyle dash{};  // lengths in points, like the width
  bool evenOdd = false;
};

// An axis-aligned box in page points.
struct SceneBox {
  double x = 0, y = 0;  // bottom left
  double width = 0, height = 0;
};

struct SvgNode {
  SvgNodeKind kind = SvgNodeKind::Group;
  int parent = -1;   // index into SvgScene::nodes, -1 at top level; always before this node
  std::string name;  // the element's id

  // Path: exactly one subpath. CompoundPath: none (its Path children hold them).
  std::vector<SvgSubpath> subpaths;
  SvgStyle style;  // Path and CompoundPath; a compound's children carry the same

  double opacity = 1;           // the element's own; a group's applies over its children
  double effectiveOpacity = 1;  // the product with every ancestor's, for painters that flatten

  // Placed and Raster.
  // The element's frame (x, y, width, height). The picture is fitted into it
  // by whoever decodes the picture and so knows its size, as `fit` says.
  SceneBox box;                          // the bounds of the image's frame
  std::array<QxRealPoint, 4> corners{};  // its frame: top left, top right, bottom right, bottom left as drawn
  std::string fit;                       // preserveAspectRatio as written; empty is xMidYMid meet
  std::string href;                      // Placed: the link as written
  std::vector<unsigned char> data;       // Raster: the decoded bytes
  std::string mime;                      // from the data: URL, else guessed from the bytes or the link
};

struct SceneSwatch {
  std::string name;
  uint8_t r = 0, g = 0, b = 0;
};

struct SvgScene {
  double pageWidth = 0;  // points
  double pageHeight = 0;
  // Depth first: each node's descendants come right after it, siblings in
  // paint order from the bottom up.
  std::vector<SvgNode> nodes;
  std::vector<std::string> warnings;  // "FILE:LINE: reason", what was skipped or changed

  // Written by Quelvix itself: the seed in its metadata, and the page outline
  // of its older files (which is not read as art) as a box on this page. Its
  // newer files give their page as page metadata, which becomes the scene's
  // page itself.
  std::optional<uint64_t> seed;
  std::optional<SceneBox> documentPage;
  // The palette the drawing was made with, when it was not the default
  // swatch list: the colours after "[None]" and "[Registration]".
  std::vector<SceneSwatch> palette;
};

}  // namespace qx::host
