// Finding and choosing art in the window: the topmost object under a point
// (by its painted shape), the objects a rectangle touches, and the selection
// flags of top-level art, which the plug-in's selection gathering matches.
// Selection works on top-level objects: a click on a group's or compound
// path's member selects the whole object.
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

// The selected top-level objects, bottom first.
std::vector<QxArtHandle> selectedArt(const host::ArtStore& art);

// Select exactly `chosen` among the top-level objects (all others lose
// their flag). Answers whether any flag changed.
bool selectOnly(host::ArtStore& art, const std::vector<QxArtHandle>& chosen);

// Flip the flag of `object`; add `chosen` to the selection.
void toggleSelected(host::ArtStore& art, QxArtHandle object);
void addToSelection(host::ArtStore& art, const std::vector<QxArtHandle>& chosen);

}  // namespace qx::gui
