#include "host/plugins/plugin_host.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "host/plugins/plugin_resources.h"
#include "host/plugins/memory_store.h"

namespace qx::host {

struct LoadedPlugin {
  std::string path;
  PluginResources resources;
  PluginPropertyList properties;
  void* library = nullptr;  // dlopen handle; null while unloaded
  QxPluginMainProc entry = nullptr;
  void* globals = nullptr;  // the message's globals slot, kept for the plug-in
  int depth = 0;            // this plug-in's messages in progress
  bool started = false;     // Startup sent and no Shutdown since
};

// One message being sent: it counts in the host's and the plug-in's depth
// while it lives, and the outermost one's observers hear its beginning and
// its end, however the message ends.
class PluginHost::MessageInProgress {
 public:
  MessageInProgress(PluginHost& host, LoadedPlugin& plugin) noexcept : host_(host), plugin_(plugin) {
    if (host_.depth_++ == 0) host_.tell(&MessageObserver::outermostMessageBegins);
    ++plugin_.depth;
  }
  ~MessageInProgress() {
    --plugin_.depth;
    if (--host_.depth_ == 0) host_.tell(&MessageObserver::outermostMessageEnds);
  }
  MessageInProgress(const MessageInProgress&) = delete;
  MessageInProgress& operator=(const MessageInProgress&) = delete;

 private:
  PluginHost& host_;
  LoadedPlugin& plugin_;
};

namespace {

// The host's own word in every message header; plug-ins do not read it.
constexpr uintptr_t kCheckWord = 0x51584D48;  // "QXMH"

// The kinds of plug-in and the interface this host drives.
constexpr const char* kPluginKind = "SPEA";
constexpr int32_t kInterfaceVersion = 2;

bool openLibrary(const std::string& path, const std::string& entryName, void** library, QxPluginMainProc* entry,
                 std::string* why) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    *why = std::string("cannot be loaded: ") + (reason ? reason : "unknown reason");
    return false;
  }
  void* symbol = dlsym(handle, entryName.c_str());
  if (!symbol) {
    dlclose(handle);
    *why = "the entry point \"" + entryName + "\" named by its property list is not exported";
    return false;
  }
  *library = handle;
  // Converting a data pointer from dlsym to a function pointer is how POSIX
  // hands out functions.
  *entry = reinterpret_cast<QxPluginMainProc>(symbol);
  return true;
}

}  // namespace

PluginHost::PluginHost(const QxBasicSuite* basic) : basic_(basic) {}

PluginHost::~PluginHost() {
  for (auto& plugin : plugins_) {
    if (plugin->depth > 0) continue;  // cannot happen from outside a message
    if (plugin->started) {
      // A host that quits shuts every plug-in down, loading it again if it
      // was unloaded, so the plug-in can free what it holds.
      if (!plugin->library) reload(plugin.get());
      if (plugin->library) shutdown(plugin.get());
    }
    if (plugin->library) dlclose(plugin->library);
    plugin->library = nullptr;
    plugin->entry = nullptr;
  }
  for (RegisteredFilter& filter : filters_) {
    if (isLiveMemHandle(filter.parameters)) disposeMemHandle(filter.parameters);
  }
}

void PluginHost::addObserver(MessageObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void PluginHost::removeObserver(MessageObserver* observer) { std::erase(observers_, observer); }

std::vector<std::string> PluginHost::findPluginFiles(const std::string& dir) {
  std::vector<std::string> files;
  std::error_code ec;
  std::filesystem::directory_iterator it(dir, ec);
  if (ec) return files;
  for (const auto& entry : it) {
    std::error_code fileEc;
    if (entry.path().extension() == ".aip" && entry.is_regular_file(fileEc)) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

LoadedPlugin* PluginHost::load(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) -> LoadedPlugin* {
    if (error) *error = path + ": " + why;
    return nullptr;
  };

  std::error_code ec;
  auto canonical = std::filesystem::weakly_canonical(path, ec);
  for (const auto& plugin : plugins_) {
    std::error_code otherEc;
    if (!ec && std::filesystem::weakly_canonical(plugin->path, otherEc) == canonical && !otherEc)
      return fail("is already loaded");
  }

  // A host reads the property list from the file before it runs any of the
  // plug-in's code.
  std::string why;
  auto resources = PluginResources::readFile(path, &why);
  if (!resources) return fail(why);
  auto properties = resources->propertyList(&why);
  if (!properties) return fail(why.empty() ? "has no property list" : why);
  if (properties->kind != kPluginKind)
    return fail("its property list gives the kind \"" + properties->kind + "\", not \"" + kPluginKind + "\"");
  if (properties->interfaceVersion != kInterfaceVersion)
    return fail("its property list gives interface version " + std::to_string(properties->interfaceVersion) + ", not " +
                std::to_string(kInterfaceVersion));
  if (properties->entryPoint.empty()) return fail("its property list names no entry point");

  auto plugin = std::make_unique<LoadedPlugin>();
  plugin->path = path;
  plugin->resources = std::move(*resources);
  plugin->properties = std::move(*properties);
  if (!openLibrary(path, plugin->properties.entryPoint, &plugin->library, &plugin->entry, &why)) return fail(why);
  plugins_.push_back(std::move(plugin));
  return plugins_.back().get();
}

bool PluginHost::isKnown(const LoadedPlugin* plugin) const {
  if (!plugin) return false;
  return std::any_of(plugins_.begin(), plugins_.end(), [&](const auto& p) { return p.get() == plugin; });
}

QxErr PluginHost::dispatch(LoadedPlugin* plugin, const char* caller, const char* selector, void* message) {
  if (!isKnown(plugin) || !plugin->library || !caller || !selector) return QX_ERR_BAD_PARAM;
  auto* header = static_cast<QxMessageData*>(message);
  header->checkWord = kCheckWord;
  header->self = ref(plugin);
  header->globals = plugin->globals;
  header->basic = basic_;

  const MessageInProgress inProgress(*this, *plugin);
  const QxErr result = plugin->entry(caller, selector, message);
  plugin->globals = header->globals;
  return result;
}

void PluginHost::tell(void (MessageObserver::*event)() noexcept) noexcept {
  // Observers may add or remove themselves while told, so a copy is told;
  // without memory for one, the list as it stands.
  std::vector<MessageObserver*> observers;
  try {
    observers = observers_;
  } catch (const std::bad_alloc&) {
    for (size_t i = 0; i < observers_.size(); ++i) (observers_[i]->*event)();
    return;
  }
  for (MessageObserver* observer : observers) (observer->*event)();
}

QxErr PluginHost::send(LoadedPlugin* plugin, const char* caller, const char* selector) {
  QxMessageData message{};
  return dispatch(plugin, caller, selector, &message);
}

QxErr PluginHost::startup(LoadedPlugin* plugin) {
  if (!isKnown(plugin) || !plugin->library) return QX_ERR_BAD_PARAM;
  // A failed Startup may still leave memory behind that only Shutdown frees.
  plugin->started = true;
  return send(plugin, QX_CALLER_INTERFACE, QX_SELECTOR_STARTUP);
}

QxErr PluginHost::shutdown(LoadedPlugin* plugin) {
  if (!isKnown(plugin) || !plugin->library) return QX_ERR_BAD_PARAM;
  QxErr result = send(plugin, QX_CALLER_INTERFACE, QX_SELECTOR_SHUTDOWN);
  plugin->started = false;
  dropFilters(plugin);
  return result;
}

QxErr PluginHost::about(LoadedPlugin* plugin) { return send(plugin, QX_CALLER_INTERFACE, QX_SELECTOR_ABOUT); }

QxErr PluginHost::unload(LoadedPlugin* plugin) {
  if (!isKnown(plugin) || !plugin->library || plugin->depth > 0) return QX_ERR_BAD_PARAM;
  if (QxErr result = send(plugin, QX_CALLER_ACCESS, QX_SELECTOR_UNLOAD)) return result;
  dlclose(plugin->library);
  plugin->library = nullptr;
  plugin->entry = nullptr;
  return QX_ERR_NONE;
}

QxErr PluginHost::reload(LoadedPlugin* plugin) {
  if (!isKnown(plugin) || plugin->library) return QX_ERR_BAD_PARAM;
  std::string why;
  if (!openLibrary(plugin->path, plugin->properties.entryPoint, &plugin->library, &plugin->entry, &why)) {
    lastError_ = plugin->path + ": " + why;
    return QX_ERR_BAD_PARAM;
  }
  return send(plugin, QX_CALLER_ACCESS, QX_SELECTOR_RELOAD);
}

QxErr PluginHost::sendFilter(RegisteredFilter& filter, const char* selector) {
  // The message may register filters and so move the registry: hold the
  // handle, not the reference.
  QxFilterHandle handle = filter.handle;
  RegisteredFilter* found = findFilter(handle);
  if (!found) return QX_ERR_BAD_PARAM;
  QxFilterMessage message{};
  message.filter = handle;
  message.parameters = found->parameters;
  QxErr result = dispatch(found->plugin, QX_CALLER_FILTER, selector, &message);
  if ((found = findFilter(handle))) {
    found->parameters = isLiveMemHandle(message.parameters) ? message.parameters : nullptr;
  }
  return result;
}

RegisteredFilter* PluginHost::findFilter(QxFilterHandle handle) {
  if (!handle) return nullptr;
  for (RegisteredFilter& filter : filters_)
    if (filter.handle == handle) return &filter;
  return nullptr;
}

RegisteredFilter* PluginHost::findFilterByTitle(const std::string& title) {
  for (RegisteredFilter& filter : filters_)
    if (filter.title == title) return &filter;
  return nullptr;
}

RegisteredFilter* PluginHost::findFilterByMenuItem(QxMenuItemHandle item) {
  if (!item) return nullptr;
  for (RegisteredFilter& filter : filters_)
    if (filter.menuItem == item) return &filter;
  return nullptr;
}

std::optional<std::vector<uint8_t>> PluginHost::filterParameters(const RegisteredFilter& filter) const {
  if (!isLiveMemHandle(filter.parameters)) return std::nullopt;
  const auto* bytes = static_cast<const uint8_t*>(*filter.parameters);
  return std::vector<uint8_t>(bytes, bytes + memHandleSize(filter.parameters));
}

QxErr PluginHost::setFilterParameters(RegisteredFilter& filter, const std::vector<uint8_t>& bytes) {
  QxMemHandle handle = newMemHandle(bytes.size());
  if (!handle) return QX_ERR_OUT_OF_MEMORY;
  if (!bytes.empty()) std::memcpy(*handle, bytes.data(), bytes.size());
  if (isLiveMemHandle(filter.parameters)) disposeMemHandle(filter.parameters);
  filter.parameters = handle;
  return QX_ERR_NONE;
}

RegisteredFilter& PluginHost::addFilter(LoadedPlugin* plugin) {
  RegisteredFilter filter;
  filter.plugin = plugin;
  // Opaque, never reused tokens: a stale handle finds nothing.
  filter.handle = reinterpret_cast<QxFilterHandle>(nextHandle_++);
  filter.menuItem = reinterpret_cast<QxMenuItemHandle>(nextHandle_++);
  filters_.push_back(std::move(filter));
  return filters_.back();
}

void PluginHost::dropFilters(const LoadedPlugin* plugin) {
  auto gone = std::remove_if(filters_.begin(), filters_.end(), [&](const RegisteredFilter& filter) {
    if (filter.plugin != plugin) return false;
    if (isLiveMemHandle(filter.parameters)) disposeMemHandle(filter.parameters);
    return true;
  });
  filters_.erase(gone, filters_.end());
}

const PluginResources* PluginHost::resources(const LoadedPlugin* plugin) const {
  return isKnown(plugin) ? &plugin->resources : nullptr;
}

const PluginPropertyList* PluginHost::propertyList(const LoadedPlugin* plugin) const {
  return isKnown(plugin) ? &plugin->properties : nullptr;
}

const std::string& PluginHost::path(const LoadedPlugin* plugin) const {
  static const std::string kNone;
  return isKnown(plugin) ? plugin->path : kNone;
}

QxPluginRef PluginHost::ref(const LoadedPlugin* plugin) const {
  return reinterpret_cast<QxPluginRef>(const_cast<LoadedPlugin*>(plugin));
}

LoadedPlugin* PluginHost::fromRef(QxPluginRef ref) const {
  for (const auto& plugin : plugins_)
    if (reinterpret_cast<QxPluginRef>(plugin.get()) == ref) return plugin.get();
  return nullptr;
}

bool PluginHost::isLoaded(const LoadedPlugin* plugin) const { return isKnown(plugin) && plugin->library; }

void* PluginHost::globalsSlot(const LoadedPlugin* plugin) const { return isKnown(plugin) ? plugin->globals : nullptr; }

}  // namespace qx::host
