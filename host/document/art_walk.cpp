#include "host/document/art_walk.h"

#include "host/document/art_store.h"
#include "host/document/art_store_impl.h"

namespace qx::host {

ArtWalk::ArtWalk(const ArtStore& store, Order order)
    : store_(store),
      next_(slotOf(order == Order::kTopDown ? store.arrays().topLast : store.arrays().topFirst)),
      topDown_(order == Order::kTopDown) {}

ArtWalk::ArtWalk(const ArtStore& store, QxArtHandle root)
    : store_(store), next_(slotOf(store.arrays().find(root))), one_(true) {}

ArtWalk::Slot ArtWalk::slotOf(uint32_t index) const {
  return {index, index == kNone ? 0 : store_.arrays().at(index).gen};
}

bool ArtWalk::live(Slot slot) const {
  const ArtArrays& s = store_.arrays();
  // Undo truncates the arrays, so the index is checked before the record.
  if (slot.index >= s.records.size()) return false;
  const ArtRecord& r = s.at(slot.index);
  return r.gen == slot.gen && (r.flags & kAlive);
}

bool ArtWalk::next(ArtStep* step) {
  if (lost_) return false;
  const ArtArrays& s = store_.arrays();
  if (next_.index == kNone) {
    if (open_.empty()) return false;
    const Slot done = open_.back();
    open_.pop_back();
    if (!live(done)) {
      lost_ = true;
      return false;
    }
    const ArtRecord& r = s.at(done.index);
    fill(step, ArtStep::kLeave, done.index);
    next_ = one_ && open_.empty() ? Slot{kNone, 0} : slotOf(topDown_ ? r.prev : r.next);
    return true;
  }
  if (!live(next_)) {
    lost_ = true;
    return false;
  }
  const ArtRecord& r = s.at(next_.index);
  const bool container = isContainer(r.type);
  fill(step, container ? ArtStep::kEnter : ArtStep::kArt, next_.index);
  if (container) {
    open_.push_back(next_);
    next_ = slotOf(topDown_ ? r.lastChild : r.firstChild);
  } else {
    next_ = one_ && open_.empty() ? Slot{kNone, 0} : slotOf(topDown_ ? r.prev : r.next);
  }
  return true;
}

void ArtWalk::fill(ArtStep* step, ArtStep::Kind kind, uint32_t index) const {
  const ArtArrays& s = store_.arrays();
  const QxArtHandle handle = s.handle(index);
  step->kind = kind;
  step->type = s.at(index).type;
  step->art = handle;
  step->depth = open_.size();
  readView(store_, s, index, handle, &step->view);
}

bool ArtWalk::atEnd() const { return lost_ || (next_.index == kNone && open_.empty()); }

void ArtWalk::skipToLeave() { next_ = Slot{kNone, 0}; }

}  // namespace qx::host
