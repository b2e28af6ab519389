// The host's table of suites: acquired by name and version, reference counted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qx_plugin.h"

namespace qx::host {

class SuiteRegistry {
 public:
  // Offer `table` as suite `name` at `version`. A second add of the same pair
  // replaces the table.
  void add(const char* name, int32_t version, const void* table);

  // QX_ERR_SUITE_NOT_FOUND for an unknown name or version (*suite = nullptr).
  QxErr acquire(const char* name, int32_t version, const void** suite);
  // QX_ERR_NOT_ACQUIRED when no reference is held; QX_ERR_SUITE_NOT_FOUND when unknown.
  QxErr release(const char* name, int32_t version);

  int refCount(const char* name, int32_t version) const;  // -1 when unknown
  int totalRefs() const;                                  // over every suite
  size_t size() const { return entries_.size(); }
  const void* find(const char* name, int32_t version) const;

 private:
  struct Entry {
    std::string name;
    int32_t version;
    const void* table;
    int refs;
  };
  Entry* lookup(const char* name, int32_t version);
  const Entry* lookup(const char* name, int32_t version) const;
  std::vector<Entry> entries_;
};

}  // namespace qx::host
