// Host memory handed to plug-ins: blocks ("SP Blocks Suite") and handles
// ("AI MdMemory Suite"). Every allocation is tracked, so a test can see a
// leak and a bad pointer is refused instead of freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "qx_plugin.h"

namespace qx::host {

// Larger requests are refused as out of memory rather than tried.
inline constexpr size_t kMaxAllocation = size_t{1} << 30;

// A new zero-filled handle of `size` bytes (0 allowed), or nullptr when out
// of memory.
QxMemHandle newMemHandle(size_t size);
// False (and nothing freed) when `handle` is not live.
bool disposeMemHandle(QxMemHandle handle);
bool isLiveMemHandle(QxMemHandle handle);
size_t memHandleSize(QxMemHandle handle);  // 0 when not live
size_t liveMemHandles();

// Blocks: nullptr when out of memory or for size 0; free answers false (and
// frees nothing) for a foreign or already freed pointer.
void* allocateBlock(size_t size, const char* label);
bool freeBlock(void* block);
size_t liveBlocks();
std::string blockLabel(const void* block);  // "" when not live
size_t blockSize(const void* block);        // 0 when not live

}  // namespace qx::host
