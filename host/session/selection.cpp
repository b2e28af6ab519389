#include "host/session/selection.h"

#include <optional>
#include <unordered_set>

#include "host/document/art_store.h"

namespace qx::host {

std::vector<QxArtHandle> selectedArt(const ArtStore& art) {
  std::vector<QxArtHandle> chosen;
  if (!art.anySelected()) return chosen;
  for (QxArtHandle object : art.topLevelArt())
    if (const std::optional<ArtView> view = art.view(object); view && view->selected) chosen.push_back(object);
  return chosen;
}

bool selectOnly(ArtStore& art, const std::vector<QxArtHandle>& chosen) {
  const std::unordered_set<QxArtHandle> want(chosen.begin(), chosen.end());
  bool changed = false;
  for (QxArtHandle object : art.topLevelArt()) {
    const std::optional<ArtView> view = art.view(object);
    if (!view) continue;
    const bool now = view->selected, next = want.count(object) != 0;
    if (now != next) {
      (void)art.setSelected(object, next);
      changed = true;
    }
  }
  return changed;
}

void toggleSelected(ArtStore& art, QxArtHandle object) {
  if (const std::optional<ArtView> view = art.view(object)) (void)art.setSelected(object, !view->selected);
}

void addToSelection(ArtStore& art, const std::vector<QxArtHandle>& chosen) {
  for (QxArtHandle object : chosen) (void)art.setSelected(object, true);
}

}  // namespace qx::host
