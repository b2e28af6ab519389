// Loads plug-ins from their files, sends them messages and keeps what a host
// keeps for them: globals across unload and reload, their resources, and the
// filters they register.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qx_sdk.h"

namespace qx::host {

class PluginResources;
struct PluginPropertyList;
struct LoadedPlugin;

// Told when the outermost plug-in message begins and ends (a document opens
// and closes its undo context there). The end is told however the message
// ends, so neither may throw.
class MessageObserver {
 public:
  virtual ~MessageObserver() = default;
  virtual void outermostMessageBegins() noexcept {}
  virtual void outermostMessageEnds() noexcept {}
};

struct RegisteredFilter {
  QxFilterHandle handle = nullptr;
  LoadedPlugin* plugin = nullptr;
  std::string name;      // e.g. "Quelvix"
  std::string category;  // menu category, e.g. "Torvik <Create>"
  std::string title;     // menu title, e.g. "Quelvix..."
  QxMenuItemHandle menuItem = nullptr;
  bool autoUpdate = false;
  int32_t autoUpdateValues[7] = {};
  QxMemHandle parameters = nullptr;  // the filter's parameter block, kept between uses
};

class PluginHost {
 public:
  // `basic` is the basic suite put in every message's header; it must outlive
  // the host.
  explicit PluginHost(const QxBasicSuite* basic);
  ~PluginHost();  // shuts down and unloads what is still loaded
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // Plug-in files (*.aip) in `dir`, sorted.
  static std::vector<std::string> findPluginFiles(const std::string& dir);

  // Read the file's resources, check its property list, load it and find its
  // entry point. nullptr and a one-line reason ("FILE: why") on failure.
  LoadedPlugin* load(const std::string& path, std::string* error);

  // Every message answers the plug-in's code, or QX_ERR_BAD_PARAM when the
  // plug-in is unknown or its library is not mapped.
  QxErr startup(LoadedPlugin* plugin);  // "SP Interface"/"Startup"
  // "SP Interface"/"Shutdown"; the library stays loaded. The plug-in's filters
  // leave the registry (their parameter blocks are disposed); the globals slot
  // keeps what the plug-in left in it (an empty slot after a sound shutdown).
  QxErr shutdown(LoadedPlugin* plugin);
  QxErr about(LoadedPlugin* plugin);  // "SP Interface"/"About"
  // "SP Access"/"Unload", then dlclose. The library stays mapped when the
  // plug-in answers an error; QX_ERR_BAD_PARAM while one of its messages runs.
  QxErr unload(LoadedPlugin* plugin);
  // dlopen again, then "SP Access"/"Reload" with the kept globals slot.
  // QX_ERR_BAD_PARAM when the library is mapped or cannot be opened (reason
  // in lastError()).
  QxErr reload(LoadedPlugin* plugin);
  // Any message with a plain header; the host fills the header and keeps the
  // globals slot the plug-in leaves.
  QxErr send(LoadedPlugin* plugin, const char* caller, const char* selector);
  // A filter message ("AI Get Parameters" or "AI Go") with the filter's
  // parameter block; afterwards the host keeps the block the plug-in leaves
  // (none when that is not a live memory handle).
  QxErr sendFilter(RegisteredFilter& filter, const char* selector);

  std::vector<RegisteredFilter>& filters() { return filters_; }
  RegisteredFilter* findFilter(QxFilterHandle handle);
  RegisteredFilter* findFilterByTitle(const std::string& title);
  RegisteredFilter* findFilterByMenuItem(QxMenuItemHandle item);

  // The filter's parameter block as bytes (nullopt when it has none), and a
  // new block holding `bytes` (the old one is disposed).
  std::optional<std::vector<uint8_t>> filterParameters(const RegisteredFilter& filter) const;
  QxErr setFilterParameters(RegisteredFilter& filter, const std::vector<uint8_t>& bytes);

  const PluginResources* resources(const LoadedPlugin* plugin) const;
  const PluginPropertyList* propertyList(const LoadedPlugin* plugin) const;
  const std::string& path(const LoadedPlugin* plugin) const;
  QxPluginRef ref(const LoadedPlugin* plugin) const;
  LoadedPlugin* fromRef(QxPluginRef ref) const;     // nullptr when unknown
  bool isLoaded(const LoadedPlugin* plugin) const;  // library mapped now
  void* globalsSlot(const LoadedPlugin* plugin) const;
  const std::vector<std::unique_ptr<LoadedPlugin>>& plugins() const { return plugins_; }

  // Depth of plug-in messages in progress (nested messages count); held by
  // a guard for each message, so it comes down however the message ends.
  int messageDepth() const { return depth_; }

  // Observers of the outermost message; an observer may add or remove
  // observers while it is told.
  void addObserver(MessageObserver* observer);
  void removeObserver(MessageObserver* observer);

  // Why the last reload failed ("FILE: why").
  const std::string& lastError() const { return lastError_; }

  // Used by the filter suite: a new entry with fresh filter and menu item
  // handles. References into filters() last until the next addFilter.
  RegisteredFilter& addFilter(LoadedPlugin* plugin);

 private:
  class MessageInProgress;
  QxErr dispatch(LoadedPlugin* plugin, const char* caller, const char* selector, void* message);
  // Tell every observer of `event`; one may add or remove observers while told.
  void tell(void (MessageObserver::*event)() noexcept) noexcept;
  bool isKnown(const LoadedPlugin* plugin) const;
  void dropFilters(const LoadedPlugin* plugin);
  const QxBasicSuite* basic_;
  std::vector<MessageObserver*> observers_;
  std::vector<std::unique_ptr<LoadedPlugin>> plugins_;
  std::vector<RegisteredFilter> filters_;
  uintptr_t nextHandle_ = 1;
  int depth_ = 0;
  std::string lastError_;
};

}  // namespace qx::host
