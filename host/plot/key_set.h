// Sets and maps of 64-bit keys by open addressing: the plot's passes make
// millions of look-ups, and a node per entry would cost more than the work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qx::plot {

inline uint64_t mixBits(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ull;
  return h ^ (h >> 33);
}

// Keys to 32-bit values; kNone marks a key without one.
class KeyMap {
 public:
  static constexpr uint32_t kNone = 0xffffffffu;
  explicit KeyMap(size_t expected = 0) { reset(expected); }
  void reset(size_t expected) {
    size_t n = 16;
    while (n < expected + expected / 2) n *= 2;
    keys_.assign(n, 0);
    values_.assign(n, kNone);
    used_ = 0;
  }
  // The value of `key`; kNone when it has none.
  uint32_t find(uint64_t key) const {
    size_t i = mixBits(key) & (keys_.size() - 1);
    while (values_[i] != kNone && keys_[i] != key) i = (i + 1) & (keys_.size() - 1);
    return values_[i];
  }
  // The value slot of `key`, holding kNone when new: set it to another value
  // before the next call.
  uint32_t& at(uint64_t key) {
    if ((used_ + 1) * 3 > keys_.size() * 2) grow();  // at most two thirds full
    size_t i = mixBits(key) & (keys_.size() - 1);
    while (values_[i] != kNone && keys_[i] != key) i = (i + 1) & (keys_.size() - 1);
    if (values_[i] == kNone) keys_[i] = key, ++used_;
    return values_[i];
  }

 private:
  void grow() {
    std::vector<uint64_t> keys = std::move(keys_);
    std::vector<uint32_t> values = std::move(values_);
    keys_.assign(keys.size() * 2, 0);
    values_.assign(keys.size() * 2, kNone);
    used_ = 0;
    for (size_t i = 0; i < keys.size(); ++i)
      if (values[i] != kNone) at(keys[i]) = values[i];
  }
  std::vector<uint64_t> keys_;
  std::vector<uint32_t> values_;
  size_t used_ = 0;
};

// A set of keys; 0 stands for the empty slot, so a key of 0 is kept as 1.
class KeySet {
 public:
  // True when `key` was not in the set (it is now).
  bool insert(uint64_t key) {
    if (key == 0) key = 1;
    if ((used_ + 1) * 3 > keys_.size() * 2) grow();
    size_t i = mixBits(key) & (keys_.size() - 1);
    while (keys_[i] != 0) {
      if (keys_[i] == key) return false;
      i = (i + 1) & (keys_.size() - 1);
    }
    keys_[i] = key;
    ++used_;
    return true;
  }

 private:
  void grow() {
    std::vector<uint64_t> keys = std::move(keys_);
    keys_.assign(keys.empty() ? 1024 : keys.size() * 2, 0);
    used_ = 0;
    for (uint64_t key : keys)
      if (key != 0) insert(key);
  }
  std::vector<uint64_t> keys_;
  size_t used_ = 0;
};

}  // namespace qx::plot
