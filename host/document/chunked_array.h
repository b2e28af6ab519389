// A growable array kept in fixed-size chunks: elements never move, growth
// never copies, and at most one chunk is partly unused. Truncation frees the
// chunks past the new end. For trivially copyable records only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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
  void addChunk() { chunks_.emplace_back(new T[kChunkSize]); }

  std::vector<std::unique_ptr<T[]>> chunks_;
  size_t size_ = 0;
};

}  // namespace qx::host
