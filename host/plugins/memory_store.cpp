#include "host/plugins/memory_store.h"

#include <cstdlib>
#include <memory>
#include <unordered_map>

namespace qx::host {

namespace {

// A handle is the address of `bytes`: *handle reaches the data.
struct HandleRecord {
  void* bytes = nullptr;
  size_t size = 0;
};

struct BlockRecord {
  size_t size;
  std::string label;
};

struct Store {
  std::unordered_map<QxMemHandle, std::unique_ptr<HandleRecord>> handles;
  std::unordered_map<const void*, BlockRecord> blocks;
};

Store& store() {
  static Store s;
  return s;
}

}  // namespace

QxMemHandle newMemHandle(size_t size) {
  if (size > kMaxAllocation) return nullptr;
  // calloc(0) may answer nullptr; one byte keeps every live handle non-null.
  void* bytes = std::calloc(size ? size : 1, 1);
  if (!bytes) return nullptr;
  auto record = std::make_unique<HandleRecord>();
  record->bytes = bytes;
  record->size = size;
  QxMemHandle handle = &record->bytes;
  store().handles.emplace(handle, std::move(record));
  return handle;
}

bool disposeMemHandle(QxMemHandle handle) {
  auto& handles = store().handles;
  auto it = handles.find(handle);
  if (it == handles.end()) return false;
  std::free(it->second->bytes);
  handles.erase(it);
  return true;
}

bool isLiveMemHandle(QxMemHandle handle) { return store().handles.count(handle) != 0; }

size_t memHandleSize(QxMemHandle handle) {
  auto& handles = store().handles;
  auto it = handles.find(handle);
  return it == handles.end() ? 0 : it->second->size;
}

size_t liveMemHandles() { return store().handles.size(); }

void* allocateBlock(size_t size, const char* label) {
  if (size == 0 || size > kMaxAllocation) return nullptr;
  void* block = std::malloc(size);
  if (!block) return nullptr;
  store().blocks.emplace(block, BlockRecord{size, label ? label : ""});
  return block;
}

bool freeBlock(void* block) {
  auto& blocks = store().blocks;
  auto it = blocks.find(block);
  if (it == blocks.end()) return false;
  blocks.erase(it);
  std::free(block);
  return true;
}

size_t liveBlocks() { return store().blocks.size(); }

std::string blockLabel(const void* block) {
  auto& blocks = store().blocks;
  auto it = blocks.find(block);
  return it == blocks.end() ? std::string() : it->second.label;
}

size_t blockSize(const void* block) {
  auto& blocks = store().blocks;
  auto it = blocks.find(block);
  return it == blocks.end() ? 0 : it->second.size;
}

}  // namespace qx::host
