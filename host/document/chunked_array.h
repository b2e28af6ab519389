// A growable array kept in fixed-size chunks: elements never move, growth
// never copies, and at most one chunk is partly unused. Truncation gives the
// chunks past the new end back to the chunk pool. For trivially copyable
// records only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace qx::host {

// Chunks given back (by truncation, by undo, by a store going away) are kept
// process-wide for the next chunk of the same size, up to a limit: memory the
// kernel must fault in afresh costs more than a heavy drawing's own work, and
// a preview undoes and redraws the same hundreds of megabytes each time.
namespace chunk_pool {
// Room for a chunk of `bytes`, aligned to `align`; a kept chunk when there is
// one. Throws std::bad_alloc when there is no memory.
void* take(size_t bytes, size_t align);
// Keep the chunk for the next take of the same size and alignment, or free it
// when the pool holds its limit already.
void give(void* chunk, size_t bytes, size_t align);
// Bytes kept, and the most the pool keeps.
size_t spareBytes();
size_t spareLimit();
// Set the limit (0 keeps nothing); chunks past it are freed now.
void setSpareLimit(size_t bytes);
// Free every kept chunk.
void releaseSpare();
// Tests: the nth take from now (1: the next) throws std::bad_alloc, as it
// would on a machine without memory; 0 disarms.
void failNthTake(uint64_t nth);
}  // namespace chunk_pool

template <class T, unsigned kChunkBits>
class ChunkedArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  static constexpr size_t kChunkSize = size_t{1} << kChunkBits;
  static constexpr size_t kMask = kChunkSize - 1;

  size_t size() const { return size_; }
  T& operator[](size_t i) { return chunks_[i >> kChunkBits][i & kMask]; }
  const T& operator[](size_t i) const { return chunks_[i >> kChunkBits][i & kMask]; }

  // Room for one more at the end; answers its index.
  size_t push(const T& value) {
    if (size_ == chunks_.size() * kChunkSize) addChunk();
    (*this)[size_] = value;
    return size_++;
  }

  // `n` (at most kChunkSize) contiguous, uninitialised elements at the end;
  // skips the rest of the current chunk when they would not fit in it.
  size_t allocateRun(size_t n) {
    size_t room = chunks_.size() * kChunkSize - size_;
    if (n > room) {
      if (room != 0) size_ += room;  // the tail of this chunk stays unused
      addChunk();
    }
    size_t start = size_;
    size_ += n;
    return start;
  }

  // Elements that can be added after `end` (the current size) without
  // leaving the current chunk.
  size_t roomInChunk() const { return chunks_.size() * kChunkSize - size_; }

  void truncate(size_t n) {
    if (n >= size_) return;
    size_ = n;
    size_t keep = (n + kMask) >> kChunkBits;
    chunks_.resize(keep);
  }

  void clear() {
    chunks_.clear();
    size_ = 0;
  }

  size_t capacityBytes() const { return chunks_.size() * kChunkSize * sizeof(T); }

 private:
  // No huge pages: fresh 2 MiB pages cost more to fault in than 4 KiB ones
  // (measured on the heavy drawing), and chunks coming back from the pool
  // are faulted in already.
  static constexpr size_t kAlign = alignof(std::max_align_t);
  static constexpr size_t kChunkBytes = kChunkSize * sizeof(T);
  struct FreeChunk {
    void operator()(T* p) const { chunk_pool::give(p, kChunkBytes, kAlign); }
  };
  void addChunk() {
    if (chunks_.size() == chunks_.capacity()) chunks_.reserve(chunks_.size() * 2 + 8);
    chunks_.emplace_back(static_cast<T*>(chunk_pool::take(kChunkBytes, kAlign)));
  }

  std::vector<std::unique_ptr<T[], FreeChunk>> chunks_;
  size_t size_ = 0;
};

}  // namespace qx::host
