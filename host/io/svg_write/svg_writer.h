// The document as SVG, for browsers, rsvg-convert, editors and people.
//
// Artwork runs y up from the page's bottom-left corner; SVG runs y down. The
// flip is done once, by the transform of the layer that holds everything
// (matrix(1 0 0 -1 0 pageHeight)), so every coordinate in the file is the
// document's own float, written exactly (see svg_path_text.h).
//
// The file, in order:
//   - the root: width and height in points and a viewBox covering the page
//     and all drawn art with its strokes, in thousandths of a point rounded
//     outwards (user units are points, the page's top-left corner at 0,0);
//   - <metadata>: <qx:document xmlns:qx="urn:quelvix:document" version="1"
//     seed="N"/> (no seed attribute when there was none), holding the swatch
//     list as <qx:swatch name=... rgb="#rrggbb"/> when it is not the default;
//   - the page as page metadata, not as art: <sodipodi:namedview> with one
//     <inkscape:page x="0" y="0" width=... height=...>, sizes rounded to
//     1/1000 pt (the layer's flip uses the same rounded height);
//   - <style>: one class for each distinct paint (svg_style_sheet.h);
//   - one layer, <g inkscape:groupmode="layer" inkscape:label="Quelvix">,
//     which editors without layers read as a plain group, holding every
//     top-level object in paint order: a path as one <path> (class, opacity
//     when below 1, path data); a compound path as one <path> holding its
//     members' outlines, painted with the compound's own style; a group as a
//     <g> around its children. Placed, raster, symbol and mesh art carry
//     nothing this host can draw and are left out. Paths with a non-finite
//     coordinate are left out too (a comment marks the place), since no
//     reader could draw them.
// Every element gets an id: an object's name when it has one not taken by
// an object below it, else "p<N>" (paths) or "g<N>" (groups) with N passing
// over the numbers of such names in the document. The file's own parts take
// "quelvix-layer", "quelvix-view" and "quelvix-page", with "-2", "-3"... when
// an object holds the name.
// Paint: fill and stroke colours converted to sRGB (see color_convert.h),
// even-odd fill rule, stroke width, cap, join, miter limit and dash;
// overprint has no SVG meaning and is dropped. A stroke of zero, negative or
// non-finite width paints nothing.
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
// bounds grown by how far its stroke can reach past the outline, rounded
// outwards to thousandths of a point as the file has it.
SvgBox svgViewBox(const Document& document);

void writeSvg(const Document& document, TextSink& out);
std::string svgText(const Document& document);

// Write the SVG to `path` atomically. False and a one-line reason in *error.
bool saveSvg(const Document& document, const std::string& path, std::string* error);

}  // namespace qx::host
