// Painting document art with Qt: one routine shared by the window, the PNG
// and the PDF output, so every picture of a drawing agrees with the others.
// The painter's transform maps artwork points (y up) to its device.
#pragma once

#include <span>

#include <QPainterPath>
#include <QTransform>

#include "qx_sdk.h"

class QPainter;

namespace qx::host {
class Document;
}

namespace qx::gui {

// The outline of a path: one cubic piece between neighbouring anchors (out
// handle, then the next anchor's in handle), and a closing piece when closed.
// Appended to `path` as its own subpath.
void appendOutline(QPainterPath& path, std::span<const QxPathSegment> segments, bool closed);

// Paint `art` and its children as the SVG output does: paths and compound
// paths with fill (even-odd when the style says so), stroke (width, cap,
// join, miter limit, dash) and opacity; groups pass their opacity on; art
// this host cannot draw is skipped, and so are paths whose paint cannot reach
// the painter's device. Antialiasing is the caller's choice.
void paintArt(QPainter& painter, const host::Document& document, QxArtHandle art);

// The page: white, with the thin gray outline the SVG output draws.
void paintPage(QPainter& painter, const host::Document& document);

// Artwork points to device pixels: `origin` (artwork) lands on pixel (0, 0)
// and one point spans `scale` pixels; y turns down.
QTransform artworkToDevice(QxRealPoint origin, double scale);

}  // namespace qx::gui
