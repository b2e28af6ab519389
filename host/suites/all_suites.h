// Every suite family of the host, offered to a registry in one call.
#pragma once

#include "host/suites/suite_registry.h"
#include "qx_plugin.h"

namespace qx::host {

// The basic suite handed to plug-ins in every message; it works on the
// registry of the current host context.
const QxBasicSuite* basicSuite();

// "SP Blocks Suite", "SP Access Suite", "AI MdMemory Suite".
void registerCoreSuites(SuiteRegistry& registry);
// "AI Filter Suite", "AI Menu Suite".
void registerFilterMenuSuites(SuiteRegistry& registry);
// "AI Art Suite", "AI Path Suite", "AI Path Style Suite", "AI Blend Style Suite",
// "AI Matching Art Suite", "AI Tag Suite", "AI Art Style Suite", "AI Symbol Suite",
// "AI Envelope Suite", "AI Layer Suite".
void registerArtSuites(SuiteRegistry& registry);
// "AI Shape Construction Suite", "AI Transform Art Suite", "AI Real Math Suite".
void registerGeometrySuites(SuiteRegistry& registry);
// "AI Document Suite", "AI Document View Suite", "AI Undo Suite", "AI Random Suite",
// "AI Swatch List Suite", "AI User Suite".
void registerDocumentSuites(SuiteRegistry& registry);
// "ADM Basic Suite".
void registerAdmBasicSuite(SuiteRegistry& registry);
// "ADM Dialog Suite", "ADM Item Suite", "ADM List Suite", "ADM Entry Suite",
// "ADM Tracker Suite", "ADM Notifier Suite", "ADM Icon Suite".
void registerAdmDialogSuites(SuiteRegistry& registry);

// All of the above.
void registerAllSuites(SuiteRegistry& registry);

}  // namespace qx::host
