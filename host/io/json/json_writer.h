// The document as JSON, for other tools and for comparing whole drawings.
// Artwork coordinates (y up), every number as the document holds it: a float
// is written with the shortest text that reads back to the same float, and a
// non-finite number as null. The layout is fixed, one top-level object per
// line, so two drawings compare line by line:
//
// {"format": "quelvix-document", "version": 1,
//  "page": {"width": W, "height": H}, "seed": N or null,
//  "swatches": [
//   {"name": "...", "color": COLOR},
//   ...
//  ],
//  "currentStyle": {"fill": FILL, "stroke": STROKE},
//  "art": [
//   ART,                                  bottom of the paint order first
//   ...
//  ]}
// COLOR  = {"kind": K, "values": [...]}   gray [g]; process [c, m, y, k];
//          rgb [r, g, b]; pattern, gradient and none []. The form knows no
//          spot kind and the document never makes one: spot is written as
//          "none" with no values, and so is any unknown kind.
// FILL   = {"paint": bool, "color": COLOR, "overprint": bool}
// STROKE = {"paint": bool, "color": COLOR, "overprint": bool, "width": number}
// ART    = {"type": "path" | "compound" | "group" | "placed" | "raster" |
//           "symbol" | "mesh", "closed": bool,
//           "segments": [[ax, ay, inx, iny, outx, outy, corner], ...],
//           "fill": FILL, "stroke": STROKE, "opacity": number,
//           "bounds": [left, top, right, bottom], "selected": bool,
//           "children": [ART, ...]}       children for compound and group only
//   corner is true or false; objects other than paths are never closed and
//   have no segments; art without a style of its own (groups, placed, raster,
//   symbol, mesh) has "fill": null and "stroke": null.
// The seed is written as an integer of up to 20 digits.
#pragma once

#include <string>

#include "host/io/text_sink.h"

namespace qx::host {

class Document;

void writeDocumentJson(const Document& document, TextSink& out);
std::string documentJson(const Document& document);

// Write the JSON to `path` atomically. False and a one-line reason in *error.
bool saveDocumentJson(const Document& document, const std::string& path, std::string* error);

}  // namespace qx::host
