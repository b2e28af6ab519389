// The document as SVG, for browsers, rsvg-convert and people.
//
// Artwork runs y up from the page's bottom-left corner; SVG runs y down. The
// flip is done once, by the transform of the group that holds everything
// (matrix(1 0 0 -1 0 pageHeight)), so every coordinate in the file is the
// document's own float written exactly (shortest text that reads back to it).
//
// What is drawn, bottom first:
//   - the page outline: a thin gray rectangle without fill;
//   - every top-level object in paint order: a path as one <path> (C for
//     curves, L where both handles of a piece sit on their anchors, Z when
//     closed); a compound path as one <path> holding its members' outlines,
//     painted with the compound's own style; a group as a <g> around its
//     children. Placed, raster, symbol and mesh art carry nothing this host
//     can draw and are left out. Paths with a non-finite coordinate are left
//     out too (a comment marks the place), since no reader could draw them.
// Paint: fill and stroke colours converted to sRGB (see color_convert.h),
// even-odd fill rule, stroke width, cap, join, miter limit, dash and opacity;
// overprint has no SVG meaning and is dropped. A stroke of zero, negative or
// non-finite width paints nothing.
// The viewBox covers the page and all drawn art with its strokes; width and
// height give it its size in points. The seed that drew the document is in
// <metadata> as <qx:document xmlns:qx="urn:quelvix:document" version="1"
// seed="N"/>; the seed attribute is absent when there was none.
#pragma once

#include <string>

#include "host/io/text_sink.h"

namespace qx::host {

class Document;

// A rectangle in SVG's coordinates (y down from the page's top edge).
struct SvgBox {
  double x = 0, y = 0, width = 0, height = 0;
};

// The area the viewBox shows: page rectangle and art bounds, each object's
// bounds grown by how far its stroke can reach past the outline.
SvgBox svgViewBox(const Document& document);

void writeSvg(const Document& document, TextSink& out);
std::string svgText(const Document& document);

// Write the SVG to `path` atomically. False and a one-line reason in *error.
bool saveSvg(const Document& document, const std::string& path, std::string* error);

}  // namespace qx::host
