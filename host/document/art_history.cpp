// Kept changes: a closed undo context's journal (the records it found) with
// the records as it left them, and the records and segments it appended.
// Segments below a context's mark are never written while it is open, so
// appending the same segments again at the same place makes the change anew.
#include <new>

#include "host/document/art_store.h"
#include "host/document/art_store_impl.h"

namespace qx::host {

struct ArtChange {
  UndoMark before;               // the store as the context found it
  UndoMark after;                // and as it left it
  std::vector<SavedRecord> was;  // records older than the context, as they were
  std::vector<SavedRecord> now;  // the same records as the context left them
  std::vector<ArtRecord> added;  // records from before.records to after.records
  std::vector<QxPathSegment> addedSegments;
};

void ArtChangeDeleter::operator()(ArtChange* change) const { delete change; }

namespace {

UndoMark markOf(const ArtArrays& s) {
  return UndoMark{s.records.size(), s.segments.size(), s.topFirst, s.topLast, s.liveCount};
}

bool sameMark(const UndoMark& a, const UndoMark& b) {
  return a.records == b.records && a.segments == b.segments && a.topFirst == b.topFirst && a.topLast == b.topLast &&
         a.liveCount == b.liveCount;
}

}  // namespace

void ArtStore::setKeepChanges(bool keep) {
  UndoState& u = arrays().undo;
  u.keepChanges = keep;
  if (!keep) u.kept.reset();
}

bool ArtStore::takeChange(ArtChangePtr* change) {
  UndoState& u = arrays().undo;
  *change = std::move(u.kept);
  const bool lost = u.keptLost;
  u.keptLost = false;
  return !lost;
}

ArtChangePtr ArtStore::keepChange() const {
  const ArtArrays& s = arrays();
  const UndoState& u = s.undo;
  const UndoMark after = markOf(s);
  if (u.journal.empty() && sameMark(u.mark, after)) return nullptr;
  ArtChangePtr change(new ArtChange);
  change->before = u.mark;
  change->after = after;
  change->was = u.journal;
  change->now.reserve(u.journal.size());
  for (const SavedRecord& saved : u.journal) change->now.push_back({saved.index, s.at(saved.index)});
  change->added.reserve(after.records - u.mark.records);
  for (size_t i = u.mark.records; i < after.records; ++i) change->added.push_back(s.records[i]);
  change->addedSegments.reserve(after.segments - u.mark.segments);
  for (size_t i = u.mark.segments; i < after.segments; ++i) change->addedSegments.push_back(s.segments[i]);
  return change;
}

bool ArtStore::undoChange(const ArtChange& change) {
  ArtArrays& s = arrays();
  if (s.undo.inMessage || s.undo.inCommand || !sameMark(markOf(s), change.after)) return false;
  s.records.truncate(change.before.records);
  s.segments.truncate(change.before.segments);
  for (auto it = change.was.rbegin(); it != change.was.rend(); ++it) {
    s.at(it->index) = it->record;
    if (it->record.flags & kSelected) s.maySelect.store(true, std::memory_order_relaxed);
  }
  s.topFirst = change.before.topFirst;
  s.topLast = change.before.topLast;
  s.liveCount = change.before.liveCount;
  s.bounds.clear();
  ++s.undo.serial;  // restored records are saved again on their next change
  return true;
}

bool ArtStore::redoChange(const ArtChange& change) {
  ArtArrays& s = arrays();
  if (s.undo.inMessage || s.undo.inCommand || !sameMark(markOf(s), change.before)) return false;
  try {
    for (const ArtRecord& record : change.added) s.records.push(record);
    for (const QxPathSegment& segment : change.addedSegments) s.segments.push(segment);
  } catch (const std::bad_alloc&) {
    s.records.truncate(change.before.records);
    s.segments.truncate(change.before.segments);
    return false;
  }
  for (const SavedRecord& saved : change.now) {
    s.at(saved.index) = saved.record;
    if (saved.record.flags & kSelected) s.maySelect.store(true, std::memory_order_relaxed);
  }
  for (const ArtRecord& record : change.added)
    if (record.flags & kSelected) s.maySelect.store(true, std::memory_order_relaxed);
  s.topFirst = change.after.topFirst;
  s.topLast = change.after.topLast;
  s.liveCount = change.after.liveCount;
  s.bounds.clear();
  ++s.undo.serial;
  return true;
}

size_t ArtStore::changeBytes(const ArtChange& change) {
  return sizeof(ArtChange) + (change.was.capacity() + change.now.capacity()) * sizeof(SavedRecord) +
         change.added.capacity() * sizeof(ArtRecord) + change.addedSegments.capacity() * sizeof(QxPathSegment);
}

}  // namespace qx::host
