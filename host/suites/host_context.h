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

// The process-wide context of the running host.
HostContext& hostContext();

// Opens the undo context of the context's current document when the
// outermost plug-in message begins and closes it when the message ends; a
// host adds it to its PluginHost's observers once.
MessageObserver& currentDocumentUndo();

}  // namespace qx::host
