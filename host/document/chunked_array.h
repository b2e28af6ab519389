// A growable array kept in fixed-size chunks: elements never move, growth
// never copies, and at most one chunk is partly unused. Truncation frees the
// chunks past the new end. For trivially copyable records only.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace qx::host {

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
  // Large chunks are aligned to 2 MiB and offered to the kernel as huge pages:
  // a heavy drawing touches hundreds of megabytes, and faulting them in 4 KiB
  // at a time costs more than the drawing's own work.
  static constexpr size_t kHugePage = size_t{2} << 20;
  static constexpr size_t kChunkBytes = kChunkSize * sizeof(T);
  struct FreeChunk {
    void operator()(T* p) const { std::free(p); }
  };
  void addChunk() {
    constexpr bool huge = kChunkBytes >= kHugePage;
    constexpr size_t align = huge ? kHugePage : alignof(std::max_align_t);
    constexpr size_t bytes = (kChunkBytes + align - 1) / align * align;
    void* p = std::aligned_alloc(align, bytes);
    if (p == nullptr) throw std::bad_alloc();
    if constexpr (huge) madvise(p, bytes, MADV_HUGEPAGE);
    chunks_.emplace_back(static_cast<T*>(p));
  }

  std::vector<std::unique_ptr<T[], FreeChunk>> chunks_;
  size_t size_ = 0;
};

}  // namespace qx::host
