// Finding art to select in the window: the topmost object under a point (by
// its painted shape) and the objects a rectangle touches. Both find
// top-level objects, which is what is selected (session/selection.h).
#pragma once

#include <vector>

#include <QRectF>

#include "qx_sdk.h"

namespace qx::host {
class ArtStore;
}

namespace qx::gui {

// The topmost top-level object whose fill or stroke lies within `tolerance`
// points of `point`; nullptr when none.
QxArtHandle artAt(const host::ArtStore& art, QxRealPoint point, double tolerance);

// Top-level objects whose bounds (stroke not counted) meet `area` (artwork
// points, any orientation), bottom first.
std::vector<QxArtHandle> artTouching(const host::ArtStore& art, const QRectF& area);

}  // namespace qx::gui
