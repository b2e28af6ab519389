// The art tree: handles, making, copying and removing art, paint order,
// attributes, the art budget and undo.
#include "host/document/art_store.h"

#include <atomic>
#include <cmath>
#include <new>

#include "host/document/art_store_impl.h"

namespace qx::host {
namespace {

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

// The object that will follow art placed at `p`, kNone when none does.
uint32_t nextAt(const ArtArrays& s, Placement p) {
  if (p.prev != kNone) return s.at(p.prev).next;
  return p.parent == kNone ? s.topFirst : s.at(p.parent).firstChild;
}

// Save for undo the records a link at `p` changes, before any is changed:
// saving may run out of memory, and the tree must stay whole when it does.
void touchNeighbours(ArtArrays& s, Placement p) {
  if (p.parent != kNone) s.touch(p.parent);
  if (p.prev != kNone) s.touch(p.prev);
  if (const uint32_t next = nextAt(s, p); next != kNone) s.touch(next);
}

// Links `i` in at `p`; the neighbours are saved already (touchNeighbours).
void link(ArtArrays& s, uint32_t i, Placement p) {
  const uint32_t next = nextAt(s, p);
  ArtRecord& r = s.at(i);
  r.parent = p.parent;
  r.prev = p.prev;
  r.next = next;
  if (p.prev != kNone) {
    s.at(p.prev).next = i;
  } else if (p.parent == kNone) {
    s.topFirst = i;
  } else {
    s.at(p.parent).firstChild = i;
  }
  if (next != kNone) {
    s.at(next).prev = i;
  } else if (p.parent == kNone) {
    s.topLast = i;
  } else {
    s.at(p.parent).lastChild = i;
  }
}

// Unlinks `i`, which with its parent and neighbours is saved already.
void unlink(ArtArrays& s, uint32_t i) {
  ArtRecord& r = s.at(i);
  if (r.prev != kNone) {
    s.at(r.prev).next = r.next;
  } else if (r.parent == kNone) {
    s.topFirst = r.next;
  } else {
    s.at(r.parent).firstChild = r.next;
  }
  if (r.next != kNone) {
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

// Marks `root` and everything under it dead; every record is saved already.
size_t killSubtree(ArtArrays& s, uint32_t root) {
  size_t n = 0;
  // The links stay as they are, so the walk can go on through dead records.
  for (uint32_t i = root; i != kNone; i = nextInSubtree(s, root, i)) {
    s.at(i).flags = static_cast<uint8_t>(s.at(i).flags & ~kAlive);
    ++n;
  }
  return n;
}

// Drops the records and segments appended since it was made, unless kept:
// a copy half made when memory ran out. Nothing older refers to them.
class AppendedUnlessKept {
 public:
  explicit AppendedUnlessKept(ArtArrays& s) : s_(s), records_(s.records.size()), segments_(s.segments.size()) {}
  ~AppendedUnlessKept() {
    if (keep_) return;
    s_.records.truncate(records_);
    s_.segments.truncate(segments_);
  }
  AppendedUnlessKept(const AppendedUnlessKept&) = delete;
  AppendedUnlessKept& operator=(const AppendedUnlessKept&) = delete;
  void keep() { keep_ = true; }

 private:
  ArtArrays& s_;
  const size_t records_, segments_;
  bool keep_ = false;
};

}  // namespace

// ---- ArtArrays ----

void ArtArrays::save(uint32_t index) {
  ArtRecord& r = records[index];
  if (r.journalSerial == undo.serial) return;
  undo.journal.push_back({index, r});
  r.journalSerial = undo.serial;
}

QxPathSegment* ArtArrays::moveSegments(uint32_t index, size_t count) {
  ArtRecord& r = records[index];
  // Segments written before the context opened are restored by undo from the
  // saved record, so they are copied away rather than changed.
  const bool shared = undo.journaling && r.segOffset < undo.mark.segments && r.segCount != 0;
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

ArtStore::ArtStore() : impl_(std::make_unique<ArtArrays>()) {
  impl_->tag = static_cast<uint8_t>(g_nextTag.fetch_add(1) % 127 + 1);
  setCurrentStyle(defaultStyle());
}

ArtStore::~ArtStore() = default;

uint8_t ArtStore::handleTag() const { return arrays().tag; }

size_t ArtStore::artBudget() const { return arrays().budget; }

void ArtStore::setArtBudget(size_t liveObjects) { arrays().budget = std::min(liveObjects, kMaxArtBudget); }

bool ArtStore::budgetExhausted() const { return arrays().budgetHit; }

size_t ArtStore::memoryBytes() const {
  const ArtArrays& s = arrays();
  return s.records.capacityBytes() + s.segments.capacityBytes() + s.styles.styles.capacity() * sizeof(QxPathStyle) +
         s.styles.chain.capacity() * 4 + s.styles.heads.size() * 32 + s.undo.journal.capacity() * sizeof(SavedRecord);
}

// ---- ArtStore: making and removing art ----

QxErr ArtStore::newArt(int16_t type, int16_t paintOrder, QxArtHandle ref, QxArtHandle* out) {
  if (out == nullptr) return QX_ERR_BAD_PARAM;
  *out = nullptr;
  if (!knownType(type)) return QX_ERR_BAD_PARAM;
  ArtArrays& s = arrays();
  Placement place;
  if (QxErr err = resolvePlacement(s, paintOrder, ref, type, &place)) return err;
  if (s.liveCount >= s.budget || s.records.size() >= kMaxArtBudget) {
    s.budgetHit = true;
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
  // Whatever may run out of memory comes before the first link changes.
  touchNeighbours(s, place);
  const uint32_t i = static_cast<uint32_t>(s.records.push(r));
  link(s, i, place);
  ++s.liveCount;
  *out = s.handle(i);
  return QX_ERR_NONE;
}

QxErr ArtStore::disposeArt(QxArtHandle art) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone) return QX_ERR_BAD_PARAM;
  // Save all that changes first, in the order the changes come: the object,
  // its parent and neighbours, then what it holds.
  const ArtRecord& r = s.at(i);
  s.touch(i);
  for (uint32_t k : {r.parent, r.prev, r.next})
    if (k != kNone) s.touch(k);
  for (uint32_t k = i; k != kNone; k = nextInSubtree(s, i, k)) s.touch(k);
  unlink(s, i);
  s.liveCount -= killSubtree(s, i);
  return QX_ERR_NONE;
}

QxErr ArtStore::duplicateArt(QxArtHandle art, int16_t paintOrder, QxArtHandle ref, QxArtHandle* out) {
  if (out == nullptr) return QX_ERR_BAD_PARAM;
  *out = nullptr;
  ArtArrays& s = arrays();
  uint32_t src = s.find(art);
  if (src == kNone) return QX_ERR_BAD_PARAM;
  Placement place;
  if (QxErr err = resolvePlacement(s, paintOrder, ref, s.at(src).type, &place)) return err;
  size_t n = s.at(src).firstChild == kNone ? 1 : subtreeSize(s, src);
  if (s.liveCount + n > s.budget || s.records.size() + n > kMaxArtBudget) {
    s.budgetHit = true;
    return QX_ERR_OUT_OF_MEMORY;
  }
  touchNeighbours(s, place);
  AppendedUnlessKept made(s);  // nothing of a half-made copy may stay
  const uint32_t copy = copySubtree(s, src);
  if (copy == kNone) {
    s.budgetHit = true;
    return QX_ERR_OUT_OF_MEMORY;
  }
  made.keep();
  link(s, copy, place);
  s.liveCount += n;
  // The copy's segments are the source's, so are its bounds.
  s.bounds.copy(src, s.at(src).gen, copy, s.at(copy).gen);
  *out = s.handle(copy);
  return QX_ERR_NONE;
}

// ---- ArtStore: reading the tree ----

bool ArtStore::isValid(QxArtHandle art) const { return arrays().find(art) != kNone; }

std::optional<ArtView> ArtStore::view(QxArtHandle art) const {
  const ArtArrays& s = arrays();
  const uint32_t i = s.find(art);
  if (i == kNone) return std::nullopt;
  std::optional<ArtView> view(std::in_place);
  readView(*this, s, i, art, &*view);
  return view;
}

QxErr ArtStore::firstChild(QxArtHandle art, QxArtHandle* child) const {
  const ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone || child == nullptr) return QX_ERR_BAD_PARAM;
  *child = s.handle(s.at(i).firstChild);
  return QX_ERR_NONE;
}

QxErr ArtStore::nextSibling(QxArtHandle art, QxArtHandle* sibling) const {
  const ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone || sibling == nullptr) return QX_ERR_BAD_PARAM;
  *sibling = s.handle(s.at(i).next);
  return QX_ERR_NONE;
}

QxErr ArtStore::parent(QxArtHandle art, QxArtHandle* parent) const {
  const ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone || parent == nullptr) return QX_ERR_BAD_PARAM;
  *parent = s.handle(s.at(i).parent);
  return QX_ERR_NONE;
}

QxArtHandle ArtStore::firstTopLevel() const { return arrays().handle(arrays().topFirst); }
QxArtHandle ArtStore::lastTopLevel() const { return arrays().handle(arrays().topLast); }

std::vector<QxArtHandle> ArtStore::topLevelArt() const {
  const ArtArrays& s = arrays();
  std::vector<QxArtHandle> out;
  for (uint32_t i = s.topFirst; i != kNone; i = s.at(i).next) out.push_back(s.handle(i));
  return out;
}

std::vector<QxArtHandle> ArtStore::children(QxArtHandle art) const {
  const ArtArrays& s = arrays();
  std::vector<QxArtHandle> out;
  uint32_t p = s.find(art);
  if (p == kNone) return out;
  for (uint32_t i = s.at(p).firstChild; i != kNone; i = s.at(i).next) out.push_back(s.handle(i));
  return out;
}

size_t ArtStore::liveArtCount() const { return arrays().liveCount; }

bool ArtStore::anySelected() const {
  const ArtArrays& s = arrays();
  if (!s.maySelect.load(std::memory_order_relaxed)) return false;
  for (size_t i = 0; i < s.records.size(); ++i) {
    const uint8_t flags = s.records[i].flags;
    if ((flags & kAlive) && (flags & kSelected)) return true;
  }
  s.maySelect.store(false, std::memory_order_relaxed);
  return false;
}

// ---- ArtStore: changing one object ----

QxErr ArtStore::setSelected(QxArtHandle art, bool selected) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone) return QX_ERR_BAD_PARAM;
  s.touch(i);
  ArtRecord& r = s.at(i);
  r.flags = static_cast<uint8_t>(selected ? (r.flags | kSelected) : (r.flags & ~kSelected));
  if (selected) s.maySelect.store(true, std::memory_order_relaxed);
  return QX_ERR_NONE;
}

QxErr ArtStore::setOpacity(QxArtHandle art, QxReal opacity) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone || !(opacity >= 0 && opacity <= 1)) return QX_ERR_BAD_PARAM;
  s.touch(i);
  s.at(i).opacity = opacity;
  return QX_ERR_NONE;
}

// ---- ArtStore: undo ----

void ArtStore::beginCommand() noexcept {
  beginMessage();
  arrays().undo.inCommand = true;
}

void ArtStore::endCommand() noexcept {
  arrays().undo.inCommand = false;
  endMessage();
}

void ArtStore::beginMessage() noexcept {
  ArtArrays& s = arrays();
  UndoState& u = s.undo;
  if (u.inCommand) {
    u.inMessage = true;
    return;
  }
  u.journal.clear();
  u.journaling = true;
  u.mark = UndoMark{s.records.size(), s.segments.size(), s.topFirst, s.topLast, s.liveCount};
  ++u.serial;
  u.inMessage = true;
}

void ArtStore::endMessage() noexcept {
  UndoState& u = arrays().undo;
  if (u.inCommand) {
    u.inMessage = false;
    return;
  }
  if (u.keepChanges && u.journaling) {
    try {
      u.kept = keepChange();
    } catch (const std::bad_alloc&) {
      u.kept.reset();
      u.keptLost = true;
    }
  }
  u.journaling = false;
  u.journal.clear();
  if (u.journal.capacity() > 4096) u.journal.shrink_to_fit();
  u.inMessage = false;
}

void ArtStore::undoMessage() noexcept {
  ArtArrays& s = arrays();
  UndoState& u = s.undo;
  if (!u.journaling) return;
  for (auto it = u.journal.rbegin(); it != u.journal.rend(); ++it) {
    s.at(it->index) = it->record;
    if (it->record.flags & kSelected) s.maySelect.store(true, std::memory_order_relaxed);
  }
  u.journal.clear();
  s.records.truncate(u.mark.records);
  s.segments.truncate(u.mark.segments);
  s.topFirst = u.mark.topFirst;
  s.topLast = u.mark.topLast;
  s.liveCount = u.mark.liveCount;
  s.bounds.clear();
  ++u.serial;  // restored records are saved again on their next change
}

void ArtStore::setUndoText(std::string undo, std::string redo) {
  arrays().undo.undoText = std::move(undo);
  arrays().undo.redoText = std::move(redo);
}

const std::string& ArtStore::undoText() const { return arrays().undo.undoText; }

}  // namespace qx::host
