// The basic suite that travels in every message, and the host's own memory
// and plug-in access suites.
#include <algorithm>
#include <cstring>

#include "host/plugins/plugin_host.h"
#include "host/suites/all_suites.h"
#include "host/suites/guarded.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "host/plugins/memory_store.h"

namespace qx::host {

namespace {

// ---- "SP Basic Suite" ----
const OpId kAcquireSuite = registerOp("SP Basic Suite", "AcquireSuite");
const OpId kReleaseSuite = registerOp("SP Basic Suite", "ReleaseSuite");
const OpId kIsEqual = registerOp("SP Basic Suite", "IsEqual");

QxErr AcquireSuite(const char* name, int32_t version, const void** suite) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kAcquireSuite);
    if (!suite) return QX_ERR_BAD_PARAM;
    SuiteRegistry* registry = hostContext().suites;
    if (!registry) {
      *suite = nullptr;
      return QX_ERR_SUITE_NOT_FOUND;
    }
    return registry->acquire(name, version, suite);
  });
}

QxErr ReleaseSuite(const char* name, int32_t version) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kReleaseSuite);
    SuiteRegistry* registry = hostContext().suites;
    if (!registry) return QX_ERR_SUITE_NOT_FOUND;
    return registry->release(name, version);
  });
}

// IsEqual answers a truth value, not a code: an armed fault, or any other
// failure, makes it answer "not equal".
QxBool IsEqual(const char* a, const char* b) noexcept {
  const QxErr equal = guarded([&]() -> QxErr {
    if (opEnter(kIsEqual) != 0) return 0;
    if (!a || !b) return 0;
    return std::strcmp(a, b) == 0 ? 1 : 0;
  });
  return equal == 1 ? 1 : 0;
}

const QxBasicSuite kBasicSuite = {AcquireSuite, ReleaseSuite, IsEqual};

// ---- "SP Blocks Suite" ----
const OpId kAllocateBlock = registerOp(QX_BLOCKS_SUITE, "AllocateBlock");
const OpId kFreeBlock = registerOp(QX_BLOCKS_SUITE, "FreeBlock");

QxErr AllocateBlock(size_t size, const char* debugLabel, void** block) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kAllocateBlock);
    if (!block || size == 0) return QX_ERR_BAD_PARAM;
    void* bytes = allocateBlock(size, debugLabel);
    if (!bytes) return QX_ERR_OUT_OF_MEMORY;
    *block = bytes;
    return QX_ERR_NONE;
  });
}

QxErr FreeBlock(void* block) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kFreeBlock);
    return freeBlock(block) ? QX_ERR_NONE : QX_ERR_BAD_PARAM;
  });
}

const QxBlocksSuite kBlocksSuite = {AllocateBlock, FreeBlock};

// ---- "SP Access Suite" ----
const OpId kGetPluginFilePath = registerOp(QX_ACCESS_SUITE, "GetPluginFilePath");

QxErr GetPluginFilePath(QxPluginRef plugin, char* buffer, int32_t size) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetPluginFilePath);
    PluginHost* plugins = hostContext().plugins;
    if (!plugins || !buffer || size < 1) return QX_ERR_BAD_PARAM;
    const LoadedPlugin* loaded = plugins->fromRef(plugin);
    if (!loaded) return QX_ERR_BAD_PARAM;
    const std::string& path = plugins->path(loaded);
    size_t n = std::min(path.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return QX_ERR_NONE;
  });
}

const QxAccessSuite kAccessSuite = {GetPluginFilePath};

// ---- "AI MdMemory Suite" ----
const OpId kNewHandle = registerOp(QX_MEMORY_SUITE, "MdMemoryNewHandle");
const OpId kDisposeHandle = registerOp(QX_MEMORY_SUITE, "MdMemoryDisposeHandle");
const OpId kGetSize = registerOp(QX_MEMORY_SUITE, "MdMemoryGetSize");

QxErr MdMemoryNewHandle(size_t size, QxMemHandle* handle) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNewHandle);
    if (!handle) return QX_ERR_BAD_PARAM;
    QxMemHandle made = newMemHandle(size);
    if (!made) return QX_ERR_OUT_OF_MEMORY;
    *handle = made;
    return QX_ERR_NONE;
  });
}

QxErr MdMemoryDisposeHandle(QxMemHandle handle) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kDisposeHandle);
    return disposeMemHandle(handle) ? QX_ERR_NONE : QX_ERR_BAD_PARAM;
  });
}

QxErr MdMemoryGetSize(QxMemHandle handle, size_t* size) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetSize);
    if (!size || !isLiveMemHandle(handle)) return QX_ERR_BAD_PARAM;
    *size = memHandleSize(handle);
    return QX_ERR_NONE;
  });
}

const QxMemorySuite kMemorySuite = {MdMemoryNewHandle, MdMemoryDisposeHandle, MdMemoryGetSize};

}  // namespace

const QxBasicSuite* basicSuite() { return &kBasicSuite; }

void registerCoreSuites(SuiteRegistry& registry) {
  registry.add(QX_BLOCKS_SUITE, QX_BLOCKS_SUITE_VERSION, &kBlocksSuite);
  registry.add(QX_ACCESS_SUITE, QX_ACCESS_SUITE_VERSION, &kAccessSuite);
  registry.add(QX_MEMORY_SUITE, QX_MEMORY_SUITE_VERSION, &kMemorySuite);
}

}  // namespace qx::host
