// The host suites the plug-in uses, one process-wide slot each. The slots are
// filled by the outermost message's acquire walk and emptied by its release
// walk; code that calls the host runs only inside a message, so it finds them
// filled.
#pragma once

#include "qx_sdk.h"

extern const QxBlocksSuite* gBlocksSuite;
extern const QxAccessSuite* gAccessSuite;
extern const QxMemorySuite* gMemorySuite;
extern const QxRealMathSuite* gRealMathSuite;
extern const QxArtSuite* gArtSuite;
extern const QxUserSuite* gUserSuite;
extern const QxDocumentSuite* gDocumentSuite;
extern const QxDocumentViewSuite* gDocumentViewSuite;
extern const QxUndoSuite* gUndoSuite;
extern const QxPathSuite* gPathSuite;
extern const QxPathStyleSuite* gPathStyleSuite;
extern const QxRandomSuite* gRandomSuite;
extern const QxTagSuite* gTagSuite;
extern const QxTransformArtSuite* gTransformArtSuite;
extern const QxSwatchListSuite* gSwatchListSuite;
extern const QxBlendStyleSuite* gBlendStyleSuite;
extern const QxArtStyleSuite* gArtStyleSuite;
extern const QxSymbolSuite* gSymbolSuite;
extern const QxEnvelopeSuite* gEnvelopeSuite;
extern const QxShapeConstructionSuite* gShapeConstructionSuite;
extern const QxLayerSuite* gLayerSuite;
extern const QxMatchingArtSuite* gMatchingArtSuite;
extern const QxMenuSuite* gMenuSuite;
extern const QxFilterSuite* gFilterSuite;
extern const QxAdmBasicSuite* gAdmBasicSuite;
extern const QxAdmDialogSuite* gAdmDialogSuite;
extern const QxAdmItemSuite* gAdmItemSuite;
extern const QxAdmIconSuite* gAdmIconSuite;
extern const QxAdmNotifierSuite* gAdmNotifierSuite;
extern const QxAdmListSuite* gAdmListSuite;
extern const QxAdmEntrySuite* gAdmEntrySuite;
extern const QxAdmTrackerSuite* gAdmTrackerSuite;
