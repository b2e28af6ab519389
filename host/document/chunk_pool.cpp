// The process-wide pool of art store chunks (chunked_array.h).
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#include "host/document/chunked_array.h"

#if defined(QX_ASAN)
#include <sanitizer/asan_interface.h>
#define QX_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define QX_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define QX_POISON(p, n) ((void)(p), (void)(n))
#define QX_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace qx::host::chunk_pool {
namespace {

// Enough for the largest drawing the default art budget lets a run make.
constexpr size_t kDefaultLimit = size_t{1} << 30;

struct Kept {
  void* chunk;
  size_t bytes;
  size_t align;
};

struct Pool {
  std::mutex lock;
  std::vector<Kept> kept;  // taken back from the end: the most recently used first
  size_t bytes = 0;
  size_t limit = kDefaultLimit;
};

// Never destroyed: stores that outlive static destruction still give back.
Pool& pool() {
  static Pool* p = new Pool;
  return *p;
}

void freeChunk(void* chunk, size_t bytes) {
  QX_UNPOISON(chunk, bytes);
  std::free(chunk);
}

// Frees kept chunks, oldest first, until at most `limit` bytes stay.
void trimLocked(Pool& p, size_t limit) {
  size_t drop = 0;
  while (drop < p.kept.size() && p.bytes > limit) {
    p.bytes -= p.kept[drop].bytes;
    freeChunk(p.kept[drop].chunk, p.kept[drop].bytes);
    ++drop;
  }
  p.kept.erase(p.kept.begin(), p.kept.begin() + static_cast<std::ptrdiff_t>(drop));
}

// Takes still to come before one fails; 0 while none is to fail.
std::atomic<uint64_t> g_failIn{0};

bool failThisTake() {
  uint64_t left = g_failIn.load(std::memory_order_relaxed);
  while (left != 0 && !g_failIn.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
  }
  return left == 1;
}

}  // namespace

void* take(size_t bytes, size_t align) {
  if (failThisTake()) throw std::bad_alloc();
  Pool& p = pool();
  {
    std::lock_guard<std::mutex> guard(p.lock);
    for (size_t i = p.kept.size(); i-- > 0;) {
      if (p.kept[i].bytes != bytes || p.kept[i].align != align) continue;
      void* chunk = p.kept[i].chunk;
      p.kept.erase(p.kept.begin() + static_cast<std::ptrdiff_t>(i));
      p.bytes -= bytes;
      QX_UNPOISON(chunk, bytes);
      return chunk;
    }
  }
  void* chunk = std::aligned_alloc(align, bytes);
  if (chunk == nullptr) throw std::bad_alloc();
  return chunk;
}

void give(void* chunk, size_t bytes, size_t align) {
  if (chunk == nullptr) return;
  Pool& p = pool();
  {
    std::lock_guard<std::mutex> guard(p.lock);
    if (p.bytes + bytes <= p.limit) {
      try {
        p.kept.push_back({chunk, bytes, align});
        p.bytes += bytes;
        QX_POISON(chunk, bytes);
        return;
      } catch (const std::bad_alloc&) {
        // No room to note it: free it instead (this runs in destructors).
      }
    }
  }
  freeChunk(chunk, bytes);
}

size_t spareBytes() {
  Pool& p = pool();
  std::lock_guard<std::mutex> guard(p.lock);
  return p.bytes;
}

size_t spareLimit() {
  Pool& p = pool();
  std::lock_guard<std::mutex> guard(p.lock);
  return p.limit;
}

void setSpareLimit(size_t bytes) {
  Pool& p = pool();
  std::lock_guard<std::mutex> guard(p.lock);
  p.limit = bytes;
  trimLocked(p, bytes);
}

void releaseSpare() {
  Pool& p = pool();
  std::lock_guard<std::mutex> guard(p.lock);
  trimLocked(p, 0);
}

void failNthTake(uint64_t nth) { g_failIn.store(nth, std::memory_order_relaxed); }

}  // namespace qx::host::chunk_pool
