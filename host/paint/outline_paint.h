// What both painters paint with: a path's outline as Qt takes it, its pen
// and brush, one outline painted whole or cut to the picture, and where the
// painter's device lies in artwork units. The painter's transform maps
// artwork points (y up) to its device.
#pragma once

#include <span>

#include <QBrush>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QTransform>

#include "qx_sdk.h"

class QPainter;

namespace qx::paint {

class ClippedOutline;

// The outline of a path: one cubic piece between neighbouring anchors (out
// handle, then the next anchor's in handle), and a closing piece when closed.
// Appended to `path` as its own subpath.
void appendOutline(QPainterPath& path, std::span<const QxPathSegment> segments, bool closed);

// Artwork points to device pixels: `origin` (artwork) lands on pixel (0, 0)
// and one point spans `scale` pixels; y turns down.
QTransform artworkToDevice(QxRealPoint origin, double scale);

// Every anchor and handle is a finite point; art with any other is skipped.
bool allFinite(std::span<const QxPathSegment> segments);

// The stroke as the SVG output draws it (width, cap, join, miter limit,
// dash); no pen when the style strokes nothing or nothing drawable.
QPen strokePen(const QxPathStyle& style);
// The fill colour, or no brush.
QBrush fillBrush(const QxPathStyle& style);

// Where an outline goes in the paint order: over what is painted (bottom
// up), or under it (top down, destination-over: the stroke before the fill).
enum class Layer { kOver, kUnder };

// Paints `path` with the fill rule, pen and brush of `style` at `opacity`
// times the painter's; the painter's opacity is left as it was.
void paintOutline(QPainter& painter, QPainterPath& path, const QxPathStyle& style, QxReal opacity, Layer layer);
// The same for an outline cut to the device (outline_clip.h): the fill,
// then each stretch of the stroke, as a whole outline paints them.
void paintClipped(QPainter& painter, const ClippedOutline& outline, const QxPathStyle& style, QxReal opacity,
                  Layer layer);

// True when nothing of a path with these bounds and style can land on the
// painter's device.
bool outsideDevice(const QPainter& painter, const QxRealRect& bounds, const QxPathStyle& style);
// The part of the plane the painter's device shows, in artwork units, with
// two pixels to spare; empty when there is no device or the transform
// cannot be inverted.
QRectF shownArea(const QPainter& painter);
// Where paint reaching `reach` beyond an outline can come from to show;
// empty when `shown` is.
QRectF nearArea(const QRectF& shown, double reach);
// `bounds` (either orientation) widened by `reach` on every side.
QRectF boxOf(const QxRealRect& bounds, double reach);

}  // namespace qx::paint
