#include "host/suites/guarded.h"

#include <atomic>

namespace qx::host {
namespace {

std::atomic<uint64_t> g_outOfMemory{0};

}  // namespace

uint64_t outOfMemoryCount() { return g_outOfMemory.load(std::memory_order_relaxed); }

void detail::noteOutOfMemory() noexcept { g_outOfMemory.fetch_add(1, std::memory_order_relaxed); }

}  // namespace qx::host
