// The art tree: handles, making, copying and removing art, paint order,
// attributes, the art budget and undo.
#include "host/document/art_store.h"

#include <atomic>
#include <cmath>
#include <new>

#include "host/document/art_store_impl.h"

namespace qx::host {
namespace {

constexpr size_t kMaxSlots = (size_t{1} << 24) - 2;
constexpr uint64_t kMaxArena = 0xFFFFFFF0u;

std::atomic<uint32_t> g_nextTag{0};

bool knownType(int16_t type) {
  switch (type) {
    case QX_ART_GROUP:
    case QX_ART_PATH:
    case QX_ART_COMPOUND_PATH:
    case QX_ART_PLACED:
    case QX_ART_RASTER:
    case QX_ART_MESH:
    case QX_ART_SYMBOL: return true;
    default: return false;
  }
}

// Where art goes: under `parent` (kNone: top level), just above `prev`
// (kNone: at the bottom).
struct Placement {
  uint32_t parent = kNone;
  uint32_t prev = kNone;
};

QxErr resolvePlacement(const ArtArrays& s, int16_t order, QxArtHandle ref, int16_t type, Placement* p) {
  if (order == QX_PLACE_ABOVE_ALL) {
    p->prev = s.topLast;
    return QX_ERR_NONE;
  }
  if (order == QX_PLACE_BELOW_ALL) return QX_ERR_NONE;
  if (order < QX_PLACE_ABOVE || order > QX_PLACE_INSIDE_ON_BOTTOM) return QX_ERR_BAD_PARAM;
  uint32_t r = s.find(ref);
  if (r == kNone) return QX_ERR_BAD_PARAM;
  const ArtRecord& rr = s.at(r);
  switch (order) {
    case QX_PLACE_ABOVE:
      p->parent = rr.parent;
      p->prev = r;
      break;
    case QX_PLACE_BELOW:
      p->parent = rr.parent;
      p->prev = rr.prev;
      break;
    case QX_PLACE_INSIDE_ON_TOP:
    case QX_PLACE_INSIDE_ON_BOTTOM:
      if (!isContainer(rr.type)) return QX_ERR_BAD_PARAM;
      p->parent = r;
      p->prev = order == QX_PLACE_INSIDE_ON_TOP ? rr.lastChild : kNone;
      break;
  }
  // A compound path is made of paths only.
  if (p->parent != kNone && s.at(p->parent).type == QX_ART_COMPOUND_PATH && type != QX_ART_PATH)
    return QX_ERR_BAD_PARAM;
  return QX_ERR_NONE;
}

void link(ArtArrays& s, uint32_t i, Placement p) {
  uint32_t next;
  if (p.prev != kNone) {
    next = s.at(p.prev).next;
  } else {
    next = p.parent == kNone ? s.topFirst : s.at(p.parent).firstChild;
  }
  ArtRecord& r = s.at(i);
  r.parent = p.parent;
  r.prev = p.prev;
  r.next = next;
  if (p.parent != kNone) s.touch(p.parent);
  if (p.prev != kNone) {
    s.touch(p.prev);
    s.at(p.prev).next = i;
  } else if (p.parent == kNone) {
    s.topFirst = i;
  } else {
    s.at(p.parent).firstChild = i;
  }
  if (next != kNone) {
    s.touch(next);
    s.at(next).prev = i;
  } else if (p.parent == kNone) {
    s.topLast = i;
  } else {
    s.at(p.parent).lastChild = i;
  }
}

void unlink(ArtArrays& s, uint32_t i) {
  s.touch(i);
  ArtRecord& r = s.at(i);
  if (r.parent != kNone) s.touch(r.parent);
  if (r.prev != kNone) {
    s.touch(r.prev);
    s.at(r.prev).next = r.next;
  } else if (r.parent == kNone) {
    s.topFirst = r.next;
  } else {
    s.at(r.parent).firstChild = r.next;
  }
  if (r.next != kNone) {
    s.touch(r.next);
    s.at(r.next).prev = r.prev;
  } else if (r.parent == kNone) {
    s.topLast = r.prev;
  } else {
    s.at(r.parent).lastChild = r.prev;
  }
  r.parent = r.prev = r.next = kNone;
}

size_t subtreeSize(const ArtArrays& s, uint32_t root) {
  size_t n = 0;
  for (uint32_t i = root; i != kNone; i = nextInSubtree(s, root, i)) ++n;
  return n;
}

uint32_t takeGeneration(ArtArrays& s) {
  uint32_t gen = s.nextGen++;
  if (s.nextGen == 0) s.nextGen = 1;
  return gen;
}

// One record copied, unlinked: a fresh generation, its own segments, not
// selected. kNone when the segment arena is full.
uint32_t copyRecord(ArtArrays& s, uint32_t src) {
  ArtRecord copy = s.at(src);
  copy.gen = takeGeneration(s);
  copy.parent = copy.prev = copy.next = copy.firstChild = copy.lastChild = kNone;
  copy.flags = static_cast<uint8_t>(copy.flags & ~kSelected);  // new art is never selected
  copy.journalSerial = 0;
  copy.segCapacity = copy.segCount;
  if (copy.segCount != 0) {
    if (s.segments.size() + copy.segCount > kMaxArena) return kNone;
    copy.segOffset = static_cast<uint32_t>(s.segments.allocateRun(copy.segCount));
    std::memcpy(&s.segments[copy.segOffset], &s.segments[s.at(src).segOffset], copy.segCount * sizeof(QxPathSegment));
  } else {
    copy.segOffset = static_cast<uint32_t>(s.segments.size());
  }
  return static_cast<uint32_t>(s.records.push(copy));
}

// A copy of `root` and its children, unlinked at the top; kNone when the
// segment arena is full (the caller then drops the new slots: nothing older
// refers to them). The source is walked in pre-order; the copy of the
// object last entered is where the next child goes, and climbing out of a
// source container climbs the copy's parent links alongside.
uint32_t copySubtree(ArtArrays& s, uint32_t root) {
  const uint32_t top = copyRecord(s, root);
  if (top == kNone) return kNone;
  uint32_t src = root, dst = top;
  while (true) {
    uint32_t from;
    uint32_t under;  // the copy the next object goes into
    if (s.at(src).firstChild != kNone) {
      from = s.at(src).firstChild;
      under = dst;
    } else {
      while (src != root && s.at(src).next == kNone) {
        src = s.at(src).parent;
        dst = s.at(dst).parent;
      }
      if (src == root) return top;
      from = s.at(src).next;
      under = s.at(dst).parent;
    }
    const uint32_t made = copyRecord(s, from);
    if (made == kNone) return kNone;
    link(s, made, Placement{under, s.at(under).lastChild});
    src = from;
    dst = made;
  }
}

size_t killSubtree(ArtArrays& s, uint32_t root) {
  size_t n = 0;
  // The links stay as they are, so the walk can go on through dead records.
  for (uint32_t i = root; i != kNone; i = nextInSubtree(s, root, i)) {
    s.touch(i);
    s.at(i).flags = static_cast<uint8_t>(s.at(i).flags & ~kAlive);
    ++n;
  }
  return n;
}

}  // namespace

// ---- ArtArrays ----

void ArtArrays::save(uint32_t index) {
  ArtRecord& r = records[index];
  if (r.journalSerial == serial) return;
  journal.push_back({index, r});
  r.journalSerial = serial;
}

QxPathSegment* ArtArrays::moveSegments(uint32_t index, size_t count) {
  ArtRecord& r = records[index];
  // Segments written before the context opened are restored by undo from the
  // saved record, so they are copied away rather than changed.
  const bool shared = journaling && r.segOffset < mark.segments && r.segCount != 0;
  size_t want = std::max<size_t>(count, r.segCount);
  if (count > r.segCapacity) want = std::max(want, std::min<size_t>(size_t{r.segCapacity} * 2, ArtStore::kMaxSegments));
  // Grow in place when the path is the last thing in the arena.
  if (!shared && r.segOffset + size_t{r.segCapacity} == segments.size() &&
      want - r.segCapacity <= segments.roomInChunk()) {
    segments.allocateRun(want - r.segCapacity);
    r.segCapacity = static_cast<uint16_t>(want);
    return &segments[r.segOffset];
  }
  if (segments.size() + want > kMaxArena) return nullptr;
  size_t start = segments.allocateRun(want);
  if (r.segCount != 0) std::memcpy(&segments[start], &segments[r.segOffset], r.segCount * sizeof(QxPathSegment));
  r.segOffset = static_cast<uint32_t>(start);
  r.segCapacity = static_cast<uint16_t>(want);
  return &segments[start];
}

// ---- ArtStore: life ----

ArtStore::ArtStore() : impl_(new ArtArrays) {
  impl_->tag = static_cast<uint8_t>(g_nextTag.fetch_add(1) % 127 + 1);
  setCurrentStyle(defaultStyle());
}

ArtStore::~ArtStore() { delete impl_; }

uint8_t ArtStore::handleTag() const { return impl_->tag; }

void ArtStore::setArtBudget(size_t liveObjects) { budget_ = std::min(liveObjects, kMaxArtBudget); }

size_t ArtStore::memoryBytes() const {
  const ArtArrays& s = *impl_;
  return s.records.capacityBytes() + s.segments.capacityBytes() + s.styles.styles.capacity() * sizeof(QxPathStyle) +
         s.styles.chain.capacity() * 4 + s.styles.heads.size() * 32 + s.journal.capacity() * sizeof(ArtArrays::Saved);
}

// ---- ArtStore: making and removing art ----

QxErr ArtStore::newArt(int16_t type, int16_t paintOrder, QxArtHandle ref, QxArtHandle* out) {
  if (out == nullptr) return QX_ERR_BAD_PARAM;
  *out = nullptr;
  if (!knownType(type)) return QX_ERR_BAD_PARAM;
  ArtArrays& s = *impl_;
  Placement place;
  if (QxErr err = resolvePlacement(s, paintOrder, ref, type, &place)) return err;
  if (liveCount_ >= budget_ || s.records.size() >= kMaxSlots) {
    budgetHit_ = true;
    return QX_ERR_OUT_OF_MEMORY;
  }
  ArtRecord r{};
  r.gen = takeGeneration(s);
  r.parent = r.prev = r.next = r.firstChild = r.lastChild = kNone;
  r.segOffset = static_cast<uint32_t>(s.segments.size());
  r.styleBase = kNone;
  r.opacity = 1;
  r.type = type;
  r.flags = kAlive;
  if (hasStyle(type)) {
    // Every new path takes the current style: interned once, then copied.
    if (s.currentBase == kNone) {
      s.currentBase = storeStyle(s, s.currentStyle, &r);
    } else {
      std::memcpy(r.fillWords, s.currentStyle.fill.color.c.words, sizeof r.fillWords);
      std::memcpy(r.strokeWords, s.currentStyle.stroke.color.c.words, sizeof r.strokeWords);
      std::memcpy(&r.strokeWidth, &s.currentStyle.stroke.width, 4);
      r.styleBase = s.currentBase;
    }
  }
  uint32_t i = static_cast<uint32_t>(s.records.push(r));
  link(s, i, place);
  ++liveCount_;
  *out = s.handle(i);
  return QX_ERR_NONE;
}

QxErr ArtStore::disposeArt(QxArtHandle art) {
  ArtArrays& s = *impl_;
  uint32_t i = s.find(art);
  if (i == kNone) return QX_ERR_BAD_PARAM;
  unlink(s, i);
  liveCount_ -= killSubtree(s, i);
  return QX_ERR_NONE;
}

QxErr ArtStore::duplicateArt(QxArtHandle art, int16_t paintOrder, QxArtHandle ref, QxArtHandle* out) {
  if (out == nullptr) return QX_ERR_BAD_PARAM;
  *out = nullptr;
  ArtArrays& s = *impl_;
  uint32_t src = s.find(art);
  if (src == kNone) return QX_ERR_BAD_PARAM;
  Placement place;
  if (QxErr err = resolvePlacement(s, paintOrder, ref, s.at(src).type, &place)) return err;
  size_t n = s.at(src).firstChild == kNone ? 1 : subtreeSize(s, src);
  if (liveCount_ + n > budget_ || s.records.size() + n > kMaxSlots) {
    budgetHit_ = true;
    return QX_ERR_OUT_OF_MEMORY;
  }
  const size_t recordsBefore = s.records.size();
  const size_t segmentsBefore = s.segments.size();
  uint32_t copy = copySubtree(s, src);
  if (copy == kNone) {
    // Nothing of a half-made copy may stay reachable: drop it whole. The new
    // slots hold no reference from older art, so truncation is safe.
    s.records.truncate(recordsBefore);
    s.segments.truncate(segmentsBefore);
    budgetHit_ = true;
    return QX_ERR_OUT_OF_MEMORY;
  }
  link(s, copy, place);
  liveCount_ += n;
  // The copy's segments are the source's, so are its bounds.
  s.bounds.copy(src, s.at(src).gen, copy, s.at(copy).gen);
  *out = s.handle(copy);
  return QX_ERR_NONE;
}

// ---- ArtStore: reading the tree ----

bool ArtStore::isValid(QxArtHandle art) const { return impl_->find(art) != kNone; }

QxErr ArtStore::artType(QxArtHandle art, int16_t* type) const {
  uint32_t i = impl_->find(art);
  if (i == kNone || type == nullptr) return QX_ERR_BAD_PARAM;
  *type = impl_->at(i).type;
  return QX_ERR_NONE;
}

QxErr ArtStore::firstChild(QxArtHandle art, QxArtHandle* child) const {
  uint32_t i = impl_->find(art);
  if (i == kNone || child == nullptr) return QX_ERR_BAD_PARAM;
  *child = impl_->handle(impl_->at(i).firstChild);
  return QX_ERR_NONE;
}

QxErr ArtStore::nextSibling(QxArtHandle art, QxArtHandle* sibling) const {
  uint32_t i = impl_->find(art);
  if (i == kNone || sibling == nullptr) return QX_ERR_BAD_PARAM;
  *sibling = impl_->handle(impl_->at(i).next);
  return QX_ERR_NONE;
}

QxErr ArtStore::parent(QxArtHandle art, QxArtHandle* parent) const {
  uint32_t i = impl_->find(art);
  if (i == kNone || parent == nullptr) return QX_ERR_BAD_PARAM;
  *parent = impl_->handle(impl_->at(i).parent);
  return QX_ERR_NONE;
}

QxArtHandle ArtStore::firstTopLevel() const { return impl_->handle(impl_->topFirst); }
QxArtHandle ArtStore::lastTopLevel() const { return impl_->handle(impl_->topLast); }

std::vector<QxArtHandle> ArtStore::topLevelArt() const {
  std::vector<QxArtHandle> out;
  for (uint32_t i = impl_->topFirst; i != kNone; i = impl_->at(i).next) out.push_back(impl_->handle(i));
  return out;
}

std::vector<QxArtHandle> ArtStore::children(QxArtHandle art) const {
  std::vector<QxArtHandle> out;
  uint32_t p = impl_->find(art);
  if (p == kNone) return out;
  for (uint32_t i = impl_->at(p).firstChild; i != kNone; i = impl_->at(i).next) out.push_back(impl_->handle(i));
  return out;
}

bool ArtStore::describe(QxArtHandle art, ArtInfo* info, bool measure) const {
  const ArtArrays& s = *impl_;
  uint32_t i = s.find(art);
  if (i == kNone || info == nullptr) return false;
  const ArtRecord& r = s.at(i);
  info->type = r.type;
  info->closed = (r.flags & kClosed) != 0;
  info->selected = (r.flags & kSelected) != 0;
  info->opacity = r.opacity;
  info->hasStyle = r.styleBase != kNone;
  info->style = QxPathStyle{};
  if (info->hasStyle) loadStyle(s, r, &info->style);
  info->bounds = QxRealRect{};
  if (measure) bounds(art, &info->bounds);
  info->segments = std::span<const QxPathSegment>(s.segmentsOf(r), r.segCount);
  return true;
}

bool ArtStore::glance(QxArtHandle art, ArtGlance* glance) const {
  const ArtArrays& s = *impl_;
  const uint32_t i = s.find(art);
  if (i == kNone || glance == nullptr) return false;
  const ArtRecord& r = s.at(i);
  glance->type = r.type;
  glance->closed = (r.flags & kClosed) != 0;
  glance->opacity = r.opacity;
  std::memcpy(&glance->strokeWidth, &r.strokeWidth, sizeof glance->strokeWidth);
  glance->base = r.styleBase == kNone ? nullptr : &s.styles.styles[r.styleBase];
  std::memcpy(glance->fillWords, r.fillWords, sizeof r.fillWords);
  std::memcpy(glance->strokeWords, r.strokeWords, sizeof r.strokeWords);
  glance->segments = std::span<const QxPathSegment>(s.segmentsOf(r), r.segCount);
  return true;
}

// ---- ArtStore: attributes, opacity ----

QxErr ArtStore::attributes(QxArtHandle art, int32_t* attributes) const {
  uint32_t i = impl_->find(art);
  if (i == kNone || attributes == nullptr) return QX_ERR_BAD_PARAM;
  *attributes = (impl_->at(i).flags & kSelected) ? QX_ATTR_SELECTED : 0;
  return QX_ERR_NONE;
}

QxErr ArtStore::setSelected(QxArtHandle art, bool selected) {
  uint32_t i = impl_->find(art);
  if (i == kNone) return QX_ERR_BAD_PARAM;
  impl_->touch(i);
  ArtRecord& r = impl_->at(i);
  r.flags = static_cast<uint8_t>(selected ? (r.flags | kSelected) : (r.flags & ~kSelected));
  if (selected) maySelect_ = true;
  return QX_ERR_NONE;
}

bool ArtStore::anySelected() const {
  if (!maySelect_) return false;
  const ArtArrays& s = *impl_;
  for (size_t i = 0; i < s.records.size(); ++i) {
    const uint8_t flags = s.records[i].flags;
    if ((flags & kAlive) && (flags & kSelected)) return true;
  }
  maySelect_ = false;
  return false;
}

QxErr ArtStore::opacity(QxArtHandle art, QxReal* opacity) const {
  uint32_t i = impl_->find(art);
  if (i == kNone || opacity == nullptr) return QX_ERR_BAD_PARAM;
  *opacity = impl_->at(i).opacity;
  return QX_ERR_NONE;
}

QxErr ArtStore::setOpacity(QxArtHandle art, QxReal opacity) {
  uint32_t i = impl_->find(art);
  if (i == kNone || !(opacity >= 0 && opacity <= 1)) return QX_ERR_BAD_PARAM;
  impl_->touch(i);
  impl_->at(i).opacity = opacity;
  return QX_ERR_NONE;
}

// ---- ArtStore: undo ----

void ArtStore::beginCommand() {
  beginMessage();
  inCommand_ = true;
}

void ArtStore::endCommand() {
  inCommand_ = false;
  endMessage();
}

void ArtStore::beginMessage() {
  if (inCommand_) {
    inMessage_ = true;
    return;
  }
  ArtArrays& s = *impl_;
  s.journal.clear();
  s.journaling = true;
  s.mark = UndoMark{s.records.size(), s.segments.size(), s.topFirst, s.topLast, liveCount_};
  ++s.serial;
  inMessage_ = true;
}

void ArtStore::endMessage() {
  if (inCommand_) {
    inMessage_ = false;
    return;
  }
  ArtArrays& s = *impl_;
  if (keepChanges_ && s.journaling) {
    try {
      kept_ = keepChange();
    } catch (const std::bad_alloc&) {
      kept_.reset();
      keptLost_ = true;
    }
  }
  s.journaling = false;
  s.journal.clear();
  if (s.journal.capacity() > 4096) s.journal.shrink_to_fit();
  inMessage_ = false;
}

void ArtStore::undoMessage() {
  ArtArrays& s = *impl_;
  if (!s.journaling) return;
  for (auto it = s.journal.rbegin(); it != s.journal.rend(); ++it) {
    s.at(it->index) = it->record;
    if (it->record.flags & kSelected) maySelect_ = true;
  }
  s.journal.clear();
  s.records.truncate(s.mark.records);
  s.segments.truncate(s.mark.segments);
  s.topFirst = s.mark.topFirst;
  s.topLast = s.mark.topLast;
  liveCount_ = s.mark.liveCount;
  s.bounds.clear();
  ++s.serial;  // restored records are saved again on their next change
}

void ArtStore::setUndoText(std::string undo, std::string redo) {
  undoText_ = std::move(undo);
  redoText_ = std::move(redo);
}

}  // namespace qx::host
