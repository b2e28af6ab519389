// The inside of the art store, shared by its source files and the art walk
// (tests read its chunk sizes).
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/document/art_store.h"
#include "host/document/chunked_array.h"

namespace qx::host {

inline constexpr uint32_t kNone = 0xFFFFFFFFu;

// Record flags.
inline constexpr uint8_t kAlive = 1;
inline constexpr uint8_t kSelected = 2;
inline constexpr uint8_t kClosed = 4;

// One art object. Paint is split in two so that millions of differently
// coloured objects share a few full style records: the interned base holds
// everything but the four leading words of both colours and the stroke width,
// which live here.
struct ArtRecord {
  uint32_t gen;
  uint32_t parent;
  uint32_t prev, next;             // siblings, bottom to top
  uint32_t firstChild, lastChild;  // bottom-most, top-most
  uint32_t segOffset;              // into the segment arena
  uint16_t segCount, segCapacity;
  uint32_t styleBase;  // interned base style; kNone when the art has no style
  QxReal opacity;
  uint32_t fillWords[4];
  uint32_t strokeWords[4];
  uint32_t strokeWidth;
  uint32_t journalSerial;  // the undo context that last saved this record
  int16_t type;
  uint8_t flags;
  uint8_t unused;
};

// Where the store stood when the current undo context opened.
struct UndoMark {
  size_t records = 0;
  size_t segments = 0;
  uint32_t topFirst = kNone, topLast = kNone;
  size_t liveCount = 0;
};

// A record as it was before the open context first changed it.
struct SavedRecord {
  uint32_t index;
  ArtRecord record;
};

// Undo in one place: the contexts open, where the open one began and the
// records it saved, and what the last closed one kept for a front end.
struct UndoState {
  bool inMessage = false;
  bool inCommand = false;
  bool journaling = false;  // a context is open (a message, a command or both)
  UndoMark mark;            // the store as the open context found it
  uint32_t serial = 1;      // the open context's number, noted in each record it saved
  std::vector<SavedRecord> journal;
  bool keepChanges = false;  // keep each closed context's change for takeChange()
  ArtChangePtr kept;
  bool keptLost = false;  // a change could not be kept for want of memory
  std::string undoText, redoText;
};

// Unique base styles, found by hash; the last one found is tried first.
struct StyleTable {
  std::vector<QxPathStyle> styles;
  std::vector<uint32_t> chain;  // next style with the same hash, or kNone
  std::unordered_map<uint64_t, uint32_t> heads;
  uint32_t last = kNone;

  uint32_t intern(const QxPathStyle& base);
};

// Bounds of paths measured lately: placing a shape measures it again and
// again (its centre before each turn, flip and copy). Only changing calls
// write here (ArtStore::measure fills it), never a const read. An entry
// stays while the path's segments do, is copied with the path, follows a
// transform that provably maps its box as it maps the anchors (art_paths.cpp;
// the mapping waits until the box is measured, as most flipped copies never
// are), and goes with any other change; undo empties the cache.
struct BoundsCache {
  static constexpr uint32_t kSlots = 64;
  struct Entry {
    uint32_t index = kNone;
    uint32_t gen = 0;
    bool anchorBox = false;  // the box is the anchors' alone, all finite
    bool pending = false;    // `box` is still to be mapped by `m`
    QxRealRect box{};
    QxRealMatrix m{};
  };
  Entry slots[kSlots];

  Entry* lookup(uint32_t index, uint32_t gen) {
    Entry& e = slots[index % kSlots];
    return e.index == index && e.gen == gen ? &e : nullptr;
  }
  const Entry* lookup(uint32_t index, uint32_t gen) const {
    const Entry& e = slots[index % kSlots];
    return e.index == index && e.gen == gen ? &e : nullptr;
  }
  void put(uint32_t index, uint32_t gen, const QxRealRect& box, bool anchorBox) {
    slots[index % kSlots] = Entry{index, gen, anchorBox, false, box, {}};
  }
  // `to` has the segments of `from`.
  void copy(uint32_t from, uint32_t fromGen, uint32_t to, uint32_t toGen) {
    if (const Entry* e = lookup(from, fromGen)) {
      Entry copied = *e;
      copied.index = to;
      copied.gen = toGen;
      slots[to % kSlots] = copied;
    }
  }
  void drop(uint32_t index) {
    Entry& e = slots[index % kSlots];
    if (e.index == index) e.index = kNone;
  }
  void clear() {
    for (Entry& e : slots) e.index = kNone;
  }
};

struct ArtArrays {
  ChunkedArray<ArtRecord, 14> records;
  ChunkedArray<QxPathSegment, 18> segments;
  StyleTable styles;
  std::vector<QxColor> shownColors;  // of gradients and patterns, by their id
  BoundsCache bounds;
  QxPathStyle currentStyle{};
  uint32_t currentBase = kNone;  // the current style's interned base, once known
  uint32_t topFirst = kNone, topLast = kNone;
  uint32_t nextGen = 1;
  uint8_t tag = 0;  // tells this store's handles from another's
  size_t liveCount = 0;
  size_t budget = ArtStore::kDefaultArtBudget;
  bool budgetHit = false;
  // False only when no live object can be selected: set by selecting, and by
  // undo or redo bringing back a selected record; cleared by a reader that
  // finds nothing selected, so readers at once may each clear it.
  mutable std::atomic<bool> maySelect{false};
  UndoState undo;

  // The slot behind a handle of this document, or kNone.
  uint32_t find(QxArtHandle art) const;
  QxArtHandle handle(uint32_t index) const;
  ArtRecord& at(uint32_t index) { return records[index]; }
  const ArtRecord& at(uint32_t index) const { return records[index]; }
  // Save a record that existed before the undo context opened, once per
  // context, before its first change.
  void touch(uint32_t index) {
    if (undo.journaling && index < undo.mark.records) save(index);
  }
  void save(uint32_t index);
  // Segment storage of `index` able to hold `count` segments and owned by the
  // current context alone (old segments are copied away before a change);
  // nullptr when the arena is full. The caller has touched the record.
  QxPathSegment* writableSegments(uint32_t index, size_t count) {
    ArtRecord& r = records[index];
    const bool shared = undo.journaling && r.segOffset < undo.mark.segments && r.segCount != 0;
    if (!shared && count <= r.segCapacity) return &segments[r.segOffset];
    return moveSegments(index, count);
  }
  // writableSegments when the path must grow or copy its segments away.
  QxPathSegment* moveSegments(uint32_t index, size_t count);
  const QxPathSegment* segmentsOf(const ArtRecord& r) const {
    return r.segCount == 0 ? nullptr : &segments[r.segOffset];
  }
  QxPathSegment* segmentsOf(ArtRecord& r) { return r.segCount == 0 ? nullptr : &segments[r.segOffset]; }
};

inline bool isContainer(int16_t type) { return type == QX_ART_GROUP || type == QX_ART_COMPOUND_PATH; }
inline bool hasStyle(int16_t type) { return type == QX_ART_PATH || type == QX_ART_COMPOUND_PATH; }

// The object after `i` in a pre-order walk of the tree under `root` (`root`
// first, a container before its children, bottom-most child first); kNone
// after the last. The walk climbs the parent links instead of keeping a
// stack, so no depth of nesting costs memory or call stack.
inline uint32_t nextInSubtree(const ArtArrays& s, uint32_t root, uint32_t i) {
  if (s.at(i).firstChild != kNone) return s.at(i).firstChild;
  for (; i != root; i = s.at(i).parent)
    if (s.at(i).next != kNone) return s.at(i).next;
  return kNone;
}

// ---- Handles ----
// bits 0-23: slot index + 1; 24-55: generation; 56-62: store tag.
inline QxArtHandle encodeHandle(uint8_t tag, uint32_t index, uint32_t gen) {
  uint64_t v = (uint64_t{tag} << 56) | (uint64_t{gen} << 24) | (uint64_t{index} + 1);
  return reinterpret_cast<QxArtHandle>(static_cast<uintptr_t>(v));
}

inline uint32_t ArtArrays::find(QxArtHandle art) const {
  uint64_t v = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(art));
  uint32_t slot = static_cast<uint32_t>(v & 0xFFFFFFu);
  if (slot == 0 || static_cast<uint8_t>(v >> 56) != tag) return kNone;
  uint32_t index = slot - 1;
  if (index >= records.size()) return kNone;
  const ArtRecord& r = records[index];
  if (r.gen != static_cast<uint32_t>(v >> 24) || !(r.flags & kAlive)) return kNone;
  return index;
}

inline QxArtHandle ArtArrays::handle(uint32_t index) const {
  return index == kNone ? nullptr : encodeHandle(tag, index, records[index].gen);
}

// Writes the view of live record `index` (art_view.h) into *v, field by
// field: the walk reads millions of objects, and a view made aside and
// copied in costs more than the reading itself. Art without a style has
// zero words and width.
inline void readView(const ArtStore& store, const ArtArrays& s, uint32_t index, QxArtHandle handle, ArtView* v) {
  const ArtRecord& r = s.at(index);
  v->art = handle;
  v->type = r.type;
  v->closed = (r.flags & kClosed) != 0;
  v->selected = (r.flags & kSelected) != 0;
  v->opacity = r.opacity;
  v->segments = std::span<const QxPathSegment>(s.segmentsOf(r), r.segCount);
  v->base = r.styleBase == kNone ? nullptr : &s.styles.styles[r.styleBase];
  std::memcpy(&v->strokeWidth, &r.strokeWidth, sizeof v->strokeWidth);
  std::memcpy(v->fillWords, r.fillWords, sizeof v->fillWords);
  std::memcpy(v->strokeWords, r.strokeWords, sizeof v->strokeWords);
  v->store = &store;
}

// ---- Style split ----
// Move the per-object words of `style` into `r` and answer the rest, interned.
uint32_t storeStyle(ArtArrays& store, const QxPathStyle& style, ArtRecord* r);
// A view's whole style (ArtView::style) written in place.
void loadStyle(const ArtView& view, QxPathStyle* style);

}  // namespace qx::host
