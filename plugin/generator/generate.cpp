#include "generator/generate.h"

#include <cstring>

#include "filter/selection.h"
#include "generator/line_set.h"
#include "shell/globals.h"
#include "shell/suites.h"
#include "styling/random_draw.h"

namespace {

// The art the "Selected" kind copies: the first entry of the gathered list
// that has not been emptied (a compound path's members are taken out).
QxArtHandle FirstSelectedArt() {
  if (gGlobals == nullptr || gGlobals->selectionCount <= 0) return nullptr;
  if (gGlobals->selectionList == nullptr || *gGlobals->selectionList == nullptr) return nullptr;
  const QxArtHandle* entries = static_cast<const QxArtHandle*>(*gGlobals->selectionList);
  for (int32_t i = 0; i < gGlobals->selectionCount; ++i)
    if (entries[i] != nullptr) return entries[i];
  return nullptr;
}

QxErr DrawLineSets(const FilterParameters& params, RunValues& run) {
  (void)TakeDrawFailure();  // a failure of an earlier run is not this one's
  for (int32_t k = 0; k < params.lineSets; ++k) {
    QxErr err = params.splitLines ? BuildSplitSet(params, run, k) : BuildContinuousSet(params, run, k);
    if (err == 0) err = TakeDrawFailure();
    if (err != 0) return err;
  }
  return 0;
}

QxErr Run(FilterParameters& params) {
  // Take back an earlier preview of this message, so previews replace one another.
  QxErr err = gUndoSuite->UndoChanges();
  if (err != 0) return err;

  RunValues run;
  std::memset(&run, 0, sizeof run);
  QxDocumentSetup setup;
  std::memset(&setup, 0, sizeof setup);
  err = gDocumentSuite->GetDocumentSetup(&setup);
  if (err != 0) return err;
  run.pageWidth = setup.width;
  run.pageHeight = setup.height;
  run.firstSelected = FirstSelectedArt();
  gSwatchListSuite->CountSwatches(nullptr, &run.swatchCount);

  err = DrawLineSets(params, run);
  if (err != 0) return err;
  if (!params.finalRun) return gDocumentSuite->RedrawDocument();
  return 0;
}

}  // namespace

QxErr GenerateLattice(FilterParameters& params) {
  // The final run after a preview keeps the preview's art as its result.
  if (params.finalRun && params.previewDrawn) {
    params.previewDrawn = 0;
    return 0;
  }
  QxErr err = Run(params);
  if (err != 0) ReleaseSelection();
  return err;
}
