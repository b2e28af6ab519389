// Kept changes: a closed undo context's journal (the records it found) with
// the records as it left them, and the records and segments it appended.
// Segments below a context's mark are never written while it is open, so
// appending the same segments again at the same place makes the change anew.
#include <new>

#include "host/document/art_store.h"
#include "host/document/art_store_impl.h"

namespace qx::host {

struct ArtChange {
  UndoMark before;                    // the store as the context found it
  UndoMark after;                     // and as it left it
  std::vector<ArtArrays::Saved> was;  // records older than the context, as they were
  std::vector<ArtArrays::Saved> now;  // the same records as the context left them
  std::vector<ArtRecord> added;       // records from before.records to after.records
  std::vector<QxPathSegment> addedSegments;
};

void ArtChangeDeleter::operator()(ArtChange* change) const { delete change; }

namespace {

UndoMark markOf(const ArtArrays& s, size_t liveCount) {
  return UndoMark{s.records.size(), s.segments.size(), s.topFirst, s.topLast, liveCount};
}

bool sameMark(const UndoMark& a, const UndoMark& b) {
  return a.records == b.records && a.segments == b.segments && a.topFirst == b.topFirst && a.topLast == b.topLast &&
         a.liveCount == b.liveCount;
}

}  // namespace

void ArtStore::setKeepChanges(bool keep) {
  keepChanges_ = keep;
  if (!keep) kept_.reset();
}

bool ArtStore::takeChange(ArtChangePtr* change) {
  *change = std::move(kept_);
  const bool lost = keptLost_;
  keptLost_ = false;
  return !lost;
}

ArtChangePtr ArtStore::keepChange() const {
  const ArtArrays& s = *impl_;
  const UndoMark after = markOf(s, liveCount_);
  if (s.journal.empty() && sameMark(s.mark, after)) return nullptr;
  ArtChangePtr change(new ArtChange);
  change->before = s.mark;
  change->after = after;
  change->was = s.journal;
  change->now.reserve(s.journal.size());
  for (const ArtArrays::Saved& saved : s.journal) change->now.push_back({saved.index, s.at(saved.index)});
  change->added.reserve(after.records - s.mark.records);
  for (size_t i = s.mark.records; i < after.records; ++i) change->added.push_back(s.records[i]);
  change->addedSegments.reserve(after.segments - s.mark.segments);
  for (size_t i = s.mark.segments; i < after.segments; ++i) change->addedSegments.push_back(s.segments[i]);
  return change;
}

bool ArtStore::undoChange(const ArtChange& change) {
  ArtArrays& s = *impl_;
  if (inMessage_ || inCommand_ || !sameMark(markOf(s, liveCount_), change.after)) return false;
  s.records.truncate(change.before.records);
  s.segments.truncate(change.before.segments);
  for (auto it = change.was.rbegin(); it != change.was.rend(); ++it) {
    s.at(it->index) = it->record;
    if (it->record.flags & kSelected) maySelect_ = true;
  }
  s.topFirst = change.before.topFirst;
  s.topLast = change.before.topLast;
  liveCount_ = change.before.liveCount;
  s.bounds.clear();
  ++s.serial;  // restored records are saved again on their next change
  return true;
}

bool ArtStore::redoChange(const ArtChange& change) {
  ArtArrays& s = *impl_;
  if (inMessage_ || inCommand_ || !sameMark(markOf(s, liveCount_), change.before)) return false;
  try {
    for (const ArtRecord& record : change.added) s.records.push(record);
    for (const QxPathSegment& segment : change.addedSegments) s.segments.push(segment);
  } catch (const std::bad_alloc&) {
    s.records.truncate(change.before.records);
    s.segments.truncate(change.before.segments);
    return false;
  }
  for (const ArtArrays::Saved& saved : change.now) {
    s.at(saved.index) = saved.record;
    if (saved.record.flags & kSelected) maySelect_ = true;
  }
  for (const ArtRecord& record : change.added)
    if (record.flags & kSelected) maySelect_ = true;
  s.topFirst = change.after.topFirst;
  s.topLast = change.after.topLast;
  liveCount_ = change.after.liveCount;
  s.bounds.clear();
  ++s.serial;
  return true;
}

size_t ArtStore::changeBytes(const ArtChange& change) {
  return sizeof(ArtChange) + (change.was.capacity() + change.now.capacity()) * sizeof(ArtArrays::Saved) +
         change.added.capacity() * sizeof(ArtRecord) + change.addedSegments.capacity() * sizeof(QxPathSegment);
}

}  // namespace qx::host
