// The inside of the art store, shared by its source files and the art walk only.
#pragma once

#include <cstdint>
#include <cstring>
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

// Unique base styles, found by hash; the last one found is tried first.
struct StyleTable {
  std::vector<QxPathStyle> styles;
  std::vector<uint32_t> chain;  // next style with the same hash, or kNone
  std::unordered_map<uint64_t, uint32_t> heads;
  uint32_t last = kNone;

  uint32_t intern(const QxPathStyle& base);
};

struct ArtArrays {
  ChunkedArray<ArtRecord, 14> records;
  ChunkedArray<QxPathSegment, 18> segments;
  StyleTable styles;
  QxPathStyle currentStyle{};
  uint32_t topFirst = kNone, topLast = kNone;
  uint32_t nextGen = 1;
  uint8_t tag = 0;  // tells this store's handles from another's

  // Undo: the mark, the context's serial and copies of changed records.
  bool journaling = false;
  UndoMark mark;
  uint32_t serial = 1;
  struct Saved {
    uint32_t index;
    ArtRecord record;
  };
  std::vector<Saved> journal;

  // The slot behind a handle of this document, or kNone.
  uint32_t find(QxArtHandle art) const;
  QxArtHandle handle(uint32_t index) const;
  ArtRecord& at(uint32_t index) { return records[index]; }
  const ArtRecord& at(uint32_t index) const { return records[index]; }
  // Save a record that existed before the undo context opened, once per
  // context, before its first change.
  void touch(uint32_t index) {
    if (!journaling || index >= mark.records) return;
    ArtRecord& r = records[index];
    if (r.journalSerial == serial) return;
    journal.push_back({index, r});
    r.journalSerial = serial;
  }
  // Segment storage of `index` able to hold `count` segments and owned by the
  // current context alone (old segments are copied away before a change);
  // nullptr when the arena is full. The caller has touched the record.
  QxPathSegment* writableSegments(uint32_t index, size_t count);
  const QxPathSegment* segmentsOf(const ArtRecord& r) const {
    return r.segCount == 0 ? nullptr : &segments[r.segOffset];
  }
  QxPathSegment* segmentsOf(ArtRecord& r) { return r.segCount == 0 ? nullptr : &segments[r.segOffset]; }
};

inline bool isContainer(int16_t type) { return type == QX_ART_GROUP || type == QX_ART_COMPOUND_PATH; }
inline bool hasStyle(int16_t type) { return type == QX_ART_PATH || type == QX_ART_COMPOUND_PATH; }

// ---- Handles ----
// bits 0-23: slot index + 1; 24-55: generation; 56-62: store tag.
inline QxArtHandle encodeHandle(uint8_t tag, uint32_t index, uint32_t gen) {
  uint64_t v = (uint64_t{tag} << 56) | (uint64_t{gen} << 24) | (uint64_t{index} + 1);
  return reinterpret_cast<QxArtHandle>(static_cast<uintptr_t>(v));
}

// ---- Style split ----
// Move the per-object words of `style` into `r` and answer the rest, interned.
uint32_t storeStyle(ArtArrays& store, const QxPathStyle& style, ArtRecord* r);
// The whole style of a record that has one.
void loadStyle(const ArtArrays& store, const ArtRecord& r, QxPathStyle* style);

}  // namespace qx::host
