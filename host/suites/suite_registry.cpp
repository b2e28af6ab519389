#include "host/suites/suite_registry.h"

#include <utility>

namespace qx::host {

void SuiteRegistry::add(const char* name, int32_t version, const void* table) {
  if (Entry* entry = lookup(name, version)) {
    entry->table = table;
    return;
  }
  entries_.push_back({name, version, table, 0});
}

const SuiteRegistry::Entry* SuiteRegistry::lookup(const char* name, int32_t version) const {
  if (!name) return nullptr;
  for (const Entry& entry : entries_) {
    if (entry.version == version && entry.name == name) return &entry;
  }
  return nullptr;
}

SuiteRegistry::Entry* SuiteRegistry::lookup(const char* name, int32_t version) {
  return const_cast<Entry*>(std::as_const(*this).lookup(name, version));
}

QxErr SuiteRegistry::acquire(const char* name, int32_t version, const void** suite) {
  if (!suite) return QX_ERR_BAD_PARAM;
  *suite = nullptr;
  if (!name) return QX_ERR_BAD_PARAM;
  Entry* entry = lookup(name, version);
  if (!entry) return QX_ERR_SUITE_NOT_FOUND;
  ++entry->refs;
  *suite = entry->table;
  return QX_ERR_NONE;
}

QxErr SuiteRegistry::release(const char* name, int32_t version) {
  if (!name) return QX_ERR_BAD_PARAM;
  Entry* entry = lookup(name, version);
  if (!entry) return QX_ERR_SUITE_NOT_FOUND;
  if (entry->refs == 0) return QX_ERR_NOT_ACQUIRED;
  --entry->refs;
  return QX_ERR_NONE;
}

int SuiteRegistry::refCount(const char* name, int32_t version) const {
  const Entry* entry = lookup(name, version);
  return entry ? entry->refs : -1;
}

int SuiteRegistry::totalRefs() const {
  int total = 0;
  for (const Entry& entry : entries_) total += entry.refs;
  return total;
}

const void* SuiteRegistry::find(const char* name, int32_t version) const {
  const Entry* entry = lookup(name, version);
  return entry ? entry->table : nullptr;
}

}  // namespace qx::host
