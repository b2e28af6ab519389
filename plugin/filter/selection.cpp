#include "filter/selection.h"

#include "shell/globals.h"
#include "shell/suites.h"

namespace {

// Selected objects of the five kinds a shape can be copied from.
constexpr QxMatchingArtSpec kSelectedArt[5] = {
    {QX_ART_PATH, QX_ATTR_SELECTED, QX_ATTR_SELECTED},   {QX_ART_SYMBOL, QX_ATTR_SELECTED, QX_ATTR_SELECTED},
    {QX_ART_PLACED, QX_ATTR_SELECTED, QX_ATTR_SELECTED}, {QX_ART_RASTER, QX_ATTR_SELECTED, QX_ATTR_SELECTED},
    {QX_ART_MESH, QX_ATTR_SELECTED, QX_ATTR_SELECTED},
};

// Re-read on every use: the host may move the block behind the handle.
QxArtHandle* Entries() { return static_cast<QxArtHandle*>(*gGlobals->selectionList); }

void RemoveFromList(QxArtHandle art) {
  QxArtHandle* entries = Entries();
  for (int32_t j = 0; j < gGlobals->selectionCount; ++j)
    if (entries[j] == art) entries[j] = nullptr;
}

// A compound path stays in the list as one object: its member paths, if the
// host listed them too, are emptied out.
QxErr RemoveCompoundMembers(QxArtHandle compound) {
  QxArtHandle child = nullptr;
  QxErr err = gArtSuite->GetArtFirstChild(compound, &child);
  if (err != 0) return err;
  while (child != nullptr) {
    RemoveFromList(child);
    err = gArtSuite->GetArtSibling(child, &child);
    if (err != 0) return err;
  }
  return 0;
}

QxErr CheckEntries() {
  for (int32_t i = 0; i < gGlobals->selectionCount; ++i) {
    QxArtHandle art = Entries()[i];
    if (art == nullptr) continue;
    QxRealRect bounds;
    QxErr err = gArtSuite->GetArtBounds(art, &bounds);
    if (err != 0) return err;
    int16_t type = QX_ART_UNKNOWN;
    gArtSuite->GetArtType(art, &type);
    if (type == QX_ART_COMPOUND_PATH) {
      err = RemoveCompoundMembers(art);
      if (err != 0) return err;
    }
  }
  return 0;
}

}  // namespace

QxErr GatherSelection() {
  if (gGlobals == nullptr) return QX_ERR_BAD_PARAM;
  // A list still held from an earlier opening (a Cancel does not release
  // it) is disposed of rather than dropped.
  ReleaseSelection();
  QxErr err = gMatchingArtSuite->GetMatchingArt(kSelectedArt, 5, &gGlobals->selectionList, &gGlobals->selectionCount);
  if (err != 0) {
    gGlobals->selectionList = nullptr;
    gGlobals->selectionCount = -1;
    return err;
  }
  if (gGlobals->selectionCount <= 0) {
    ReleaseSelection();
    return 0;
  }
  // A count without a list to hold it cannot be walked.
  if (gGlobals->selectionList == nullptr || *gGlobals->selectionList == nullptr) {
    ReleaseSelection();
    return QX_ERR_BAD_PARAM;
  }
  err = CheckEntries();
  if (err != 0) ReleaseSelection();
  return err;
}

void ReleaseSelection() {
  if (gGlobals == nullptr) return;
  if (gGlobals->selectionList != nullptr) {
    gMemorySuite->MdMemoryDisposeHandle(gGlobals->selectionList);
    gGlobals->selectionList = nullptr;
  }
  gGlobals->selectionCount = -1;
}
