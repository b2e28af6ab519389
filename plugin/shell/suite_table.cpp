#include "suite_table.h"

#include <cstdio>

#include "suites.h"

const QxBlocksSuite* gBlocksSuite = nullptr;
const QxAccessSuite* gAccessSuite = nullptr;
const QxMemorySuite* gMemorySuite = nullptr;
const QxRealMathSuite* gRealMathSuite = nullptr;
const QxArtSuite* gArtSuite = nullptr;
const QxUserSuite* gUserSuite = nullptr;
const QxDocumentSuite* gDocumentSuite = nullptr;
const QxDocumentViewSuite* gDocumentViewSuite = nullptr;
const QxUndoSuite* gUndoSuite = nullptr;
const QxPathSuite* gPathSuite = nullptr;
const QxPathStyleSuite* gPathStyleSuite = nullptr;
const QxRandomSuite* gRandomSuite = nullptr;
const QxTagSuite* gTagSuite = nullptr;
const QxTransformArtSuite* gTransformArtSuite = nullptr;
const QxSwatchListSuite* gSwatchListSuite = nullptr;
const QxBlendStyleSuite* gBlendStyleSuite = nullptr;
const QxArtStyleSuite* gArtStyleSuite = nullptr;
const QxSymbolSuite* gSymbolSuite = nullptr;
const QxEnvelopeSuite* gEnvelopeSuite = nullptr;
const QxShapeConstructionSuite* gShapeConstructionSuite = nullptr;
const QxLayerSuite* gLayerSuite = nullptr;
const QxMatchingArtSuite* gMatchingArtSuite = nullptr;
const QxMenuSuite* gMenuSuite = nullptr;
const QxFilterSuite* gFilterSuite = nullptr;
const QxAdmBasicSuite* gAdmBasicSuite = nullptr;
const QxAdmDialogSuite* gAdmDialogSuite = nullptr;
const QxAdmItemSuite* gAdmItemSuite = nullptr;
const QxAdmIconSuite* gAdmIconSuite = nullptr;
const QxAdmNotifierSuite* gAdmNotifierSuite = nullptr;
const QxAdmListSuite* gAdmListSuite = nullptr;
const QxAdmEntrySuite* gAdmEntrySuite = nullptr;
const QxAdmTrackerSuite* gAdmTrackerSuite = nullptr;

namespace {

struct SuiteTableRow {
  const char* name;
  int32_t version;
  const void** slot;  // the typed global of suites.h, filled by the host
};

// The slots are typed pointers; the host writes them through the basic suite
// as untyped ones.
template <typename Suite>
const void** Slot(const Suite** slot) {
  return reinterpret_cast<const void**>(slot);
}

// Acquisition and release both walk the rows in this order.
const SuiteTableRow kSuiteTable[] = {
    {QX_BLOCKS_SUITE, QX_BLOCKS_SUITE_VERSION, Slot(&gBlocksSuite)},
    {QX_ACCESS_SUITE, QX_ACCESS_SUITE_VERSION, Slot(&gAccessSuite)},
    {QX_MEMORY_SUITE, QX_MEMORY_SUITE_VERSION, Slot(&gMemorySuite)},
    {QX_REAL_MATH_SUITE, QX_REAL_MATH_SUITE_VERSION, Slot(&gRealMathSuite)},
    {QX_ART_SUITE, QX_ART_SUITE_VERSION, Slot(&gArtSuite)},
    {QX_USER_SUITE, QX_USER_SUITE_VERSION, Slot(&gUserSuite)},
    {QX_DOCUMENT_SUITE, QX_DOCUMENT_SUITE_VERSION, Slot(&gDocumentSuite)},
    {QX_DOCUMENT_VIEW_SUITE, QX_DOCUMENT_VIEW_SUITE_VERSION, Slot(&gDocumentViewSuite)},
    {QX_UNDO_SUITE, QX_UNDO_SUITE_VERSION, Slot(&gUndoSuite)},
    {QX_PATH_SUITE, QX_PATH_SUITE_VERSION, Slot(&gPathSuite)},
    {QX_PATH_STYLE_SUITE, QX_PATH_STYLE_SUITE_VERSION, Slot(&gPathStyleSuite)},
    {QX_RANDOM_SUITE, QX_RANDOM_SUITE_VERSION, Slot(&gRandomSuite)},
    {QX_TAG_SUITE, QX_TAG_SUITE_VERSION, Slot(&gTagSuite)},
    {QX_TRANSFORM_ART_SUITE, QX_TRANSFORM_ART_SUITE_VERSION, Slot(&gTransformArtSuite)},
    {QX_SWATCH_LIST_SUITE, QX_SWATCH_LIST_SUITE_VERSION, Slot(&gSwatchListSuite)},
    {QX_BLEND_STYLE_SUITE, QX_BLEND_STYLE_SUITE_VERSION, Slot(&gBlendStyleSuite)},
    {QX_ART_STYLE_SUITE, QX_ART_STYLE_SUITE_VERSION, Slot(&gArtStyleSuite)},
    {QX_SYMBOL_SUITE, QX_SYMBOL_SUITE_VERSION, Slot(&gSymbolSuite)},
    {QX_ENVELOPE_SUITE, QX_ENVELOPE_SUITE_VERSION, Slot(&gEnvelopeSuite)},
    {QX_SHAPE_CONSTRUCTION_SUITE, QX_SHAPE_CONSTRUCTION_SUITE_VERSION, Slot(&gShapeConstructionSuite)},
    {QX_LAYER_SUITE, QX_LAYER_SUITE_VERSION, Slot(&gLayerSuite)},
    {QX_MATCHING_ART_SUITE, QX_MATCHING_ART_SUITE_VERSION, Slot(&gMatchingArtSuite)},
    {QX_MENU_SUITE, QX_MENU_SUITE_VERSION, Slot(&gMenuSuite)},
    {QX_FILTER_SUITE, QX_FILTER_SUITE_VERSION, Slot(&gFilterSuite)},
    {QX_ADM_BASIC_SUITE, QX_ADM_BASIC_SUITE_VERSION, Slot(&gAdmBasicSuite)},
    {QX_ADM_DIALOG_SUITE, QX_ADM_DIALOG_SUITE_VERSION, Slot(&gAdmDialogSuite)},
    {QX_ADM_ITEM_SUITE, QX_ADM_ITEM_SUITE_VERSION, Slot(&gAdmItemSuite)},
    {QX_ADM_ICON_SUITE, QX_ADM_ICON_SUITE_VERSION, Slot(&gAdmIconSuite)},
    {QX_ADM_NOTIFIER_SUITE, QX_ADM_NOTIFIER_SUITE_VERSION, Slot(&gAdmNotifierSuite)},
    {QX_ADM_LIST_SUITE, QX_ADM_LIST_SUITE_VERSION, Slot(&gAdmListSuite)},
    {QX_ADM_ENTRY_SUITE, QX_ADM_ENTRY_SUITE_VERSION, Slot(&gAdmEntrySuite)},
    {QX_ADM_TRACKER_SUITE, QX_ADM_TRACKER_SUITE_VERSION, Slot(&gAdmTrackerSuite)},
};
static_assert(sizeof(kSuiteTable) / sizeof(kSuiteTable[0]) == 32, "the plug-in uses 32 suites");

int16_t gNestingCount = 0;

// Tell the user which suite is missing; only possible once the alert's own
// suite is there.
void ShowSuiteLoadingAlert(QxErr code, const SuiteTableRow& row) {
  char text[256];
  std::snprintf(text, sizeof text, "Suite Loading Error: %d, suite: %s, version: %d!", static_cast<int>(code), row.name,
                static_cast<int>(row.version));
  gAdmBasicSuite->MessageAlert(text);
}

}  // namespace

QxErr AcquireSuites(const QxBasicSuite* basic) {
  QxErr result = 0;
  if (gNestingCount == 0) {
    for (const SuiteTableRow& row : kSuiteTable) {
      result = basic->AcquireSuite(row.name, row.version, row.slot);
      if (result != 0) {
        // Going on would leave a slot empty for the handler to call through,
        // so the walk stops at any failure; the alert needs the ADM basic
        // suite, which comes late in the table.
        if (gAdmBasicSuite != nullptr) ShowSuiteLoadingAlert(result, row);
        break;
      }
    }
  }
  ++gNestingCount;
  return result;
}

QxErr ReleaseSuites(const QxBasicSuite* basic) {
  QxErr result = 0;
  if (gNestingCount == 1) {
    // Rows after a failed acquisition are asked too: the host's answer for a
    // suite it never lent decides whether the walk goes on.
    for (const SuiteTableRow& row : kSuiteTable) {
      result = basic->ReleaseSuite(row.name, row.version);
      if (result != 0) break;
      *row.slot = nullptr;
    }
  }
  --gNestingCount;
  return result;
}

int16_t SuiteNestingCount() { return gNestingCount; }

void ResetSuiteNesting() { gNestingCount = 0; }
