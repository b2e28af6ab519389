// What the suites' C functions reach: the current host's parts. Suite
// functions have no context argument, so the running host installs itself
// here; every operation checks for a missing part and answers a code.
#pragma once

#include <vector>

namespace qx::host {

class SuiteRegistry;
class PluginHost;
class Document;
class DialogManager;
class RandomSource;

// Told when the outermost plug-in message begins and ends (undo contexts).
class MessageObserver {
 public:
  virtual ~MessageObserver() = default;
  virtual void outermostMessageBegins() {}
  virtual void outermostMessageEnds() {}
};

struct HostContext {
  SuiteRegistry* suites = nullptr;
  PluginHost* plugins = nullptr;   // loaded plug-ins, their resources, filters
  Document* document = nullptr;    // the current document; may be null
  DialogManager* dialogs = nullptr;
  RandomSource* random = nullptr;
  std::vector<MessageObserver*> observers;
};

// The process-wide context of the running host.
HostContext& hostContext();

}  // namespace qx::host
