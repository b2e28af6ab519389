// The selection flags of top-level art, which the plug-in's selection
// gathering matches. Selection works on top-level objects: a click on a
// group's or compound path's member selects the whole object.
#pragma once

#include <vector>

#include "qx_sdk.h"

namespace qx::host {

class ArtStore;

// The selected top-level objects, bottom first.
std::vector<QxArtHandle> selectedArt(const ArtStore& art);

// Select exactly `chosen` among the top-level objects (all others lose
// their flag). Answers whether any flag changed.
bool selectOnly(ArtStore& art, const std::vector<QxArtHandle>& chosen);

// Flip the flag of `object`; add `chosen` to the selection.
void toggleSelected(ArtStore& art, QxArtHandle object);
void addToSelection(ArtStore& art, const std::vector<QxArtHandle>& chosen);

}  // namespace qx::host
