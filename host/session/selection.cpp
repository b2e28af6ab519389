#include "host/session/selection.h"

#include <unordered_set>

#include "host/document/art_store.h"

namespace qx::host {

std::vector<QxArtHandle> selectedArt(const ArtStore& art) {
  std::vector<QxArtHandle> chosen;
  if (!art.anySelected()) return chosen;
  for (QxArtHandle object : art.topLevelArt()) {
    int32_t attributes = 0;
    if (art.attributes(object, &attributes) == QX_ERR_NONE && (attributes & QX_ATTR_SELECTED)) chosen.push_back(object);
  }
  return chosen;
}

bool selectOnly(ArtStore& art, const std::vector<QxArtHandle>& chosen) {
  const std::unordered_set<QxArtHandle> want(chosen.begin(), chosen.end());
  bool changed = false;
  for (QxArtHandle object : art.topLevelArt()) {
    int32_t attributes = 0;
    if (art.attributes(object, &attributes) != QX_ERR_NONE) continue;
    const bool now = (attributes & QX_ATTR_SELECTED) != 0, next = want.count(object) != 0;
    if (now != next) {
      (void)art.setSelected(object, next);
      changed = true;
    }
  }
  return changed;
}

void toggleSelected(ArtStore& art, QxArtHandle object) {
  int32_t attributes = 0;
  if (art.attributes(object, &attributes) == QX_ERR_NONE)
    (void)art.setSelected(object, (attributes & QX_ATTR_SELECTED) == 0);
}

void addToSelection(ArtStore& art, const std::vector<QxArtHandle>& chosen) {
  for (QxArtHandle object : chosen) (void)art.setSelected(object, true);
}

}  // namespace qx::host
