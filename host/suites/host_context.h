// What the suites' C functions reach: the current host's parts. Suite
// functions have no context argument, so the running host installs itself
// here; every operation checks for a missing part and answers a code.
#pragma once

namespace qx::host {

class SuiteRegistry;
class PluginHost;
class MessageObserver;
class Document;
class DialogManager;
class RandomSource;

struct HostContext {
  SuiteRegistry* suites = nullptr;
  PluginHost* plugins = nullptr;  // loaded plug-ins, their resources, filters
  Document* document = nullptr;   // the current document; may be null
  DialogManager* dialogs = nullptr;
  RandomSource* random = nullptr;
};

namespace detail {
extern HostContext g_hostContext;  // constant-initialised: safe during static initialisation
}

// The process-wide context of the running host. Inline: every suite
// operation reads it, millions of times in a heavy run.
inline HostContext& hostContext() { return detail::g_hostContext; }

// Opens the undo context of the context's current document when the
// outermost plug-in message begins and closes it when the message ends, and
// gives the context's random source its whole draw budget for the message; a
// host adds it to its PluginHost's observers once.
MessageObserver& currentDocumentUndo();

}  // namespace qx::host
