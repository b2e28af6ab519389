// A read-only walk over an art store in paint order: top-level art from the
// bottom up, and inside each group or compound path its children from the
// bottom up, between an enter and a leave step of the container. A top-down
// walk visits the same steps from the top of the paint order down (children
// from the top down too), for painting front to back. Every step carries a
// view of its object (art_view.h): all a reader needs of it.
//
// The walk keeps its own stack of the containers it is inside, so no nesting
// depth can exhaust the call stack, and it stops wherever its caller stops
// asking: a front end paints a slice, goes back to its event loop and
// resumes with the next step. Each step checks the object it reads, so art
// disposed or taken back by undo between two steps ends the walk (lost())
// instead of leading it into freed slots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/document/art_view.h"
#include "qx_ai_art.h"

namespace qx::host {

class ArtStore;

struct ArtStep {
  enum Kind : uint8_t {
    kArt,    // an object without children to visit: a path or leaf art
    kEnter,  // a group or compound path: its children follow, then its kLeave
    kLeave,  // the end of the innermost container entered
  };
  Kind kind = kArt;
  int16_t type = QX_ART_UNKNOWN;  // view.type
  QxArtHandle art = nullptr;      // view.art; for kLeave, the container left
  size_t depth = 0;               // containers around the object; 0 at top level
  ArtView view;                   // the object; valid until the store changes
};

class ArtWalk {
 public:
  enum class Order : uint8_t { kBottomUp, kTopDown };
  // Starts before the bottom-most top-level object (the top-most one when
  // top-down). The store must outlive the walk.
  explicit ArtWalk(const ArtStore& store, Order order = Order::kBottomUp);
  // Walks `root` alone: its step (or its enter, what is inside it and its
  // leave), then ends. A bad handle gives an empty walk.
  ArtWalk(const ArtStore& store, QxArtHandle root);

  // The next step; false once the walk is over or lost.
  bool next(ArtStep* step);
  // Pass over the rest of the innermost container entered (all of its
  // children when called right after its kEnter): its kLeave comes next. At
  // top level the walk ends.
  void skipToLeave();
  // True when no step is left: the walk is over, or lost.
  bool atEnd() const;
  // True when the walk stopped because the object it was to read next is
  // gone. Start a new walk then.
  bool lost() const { return lost_; }

 private:
  // A slot with the generation it had when the walk reached it.
  struct Slot {
    uint32_t index;
    uint32_t gen;
  };
  bool live(Slot slot) const;
  Slot slotOf(uint32_t index) const;
  // Writes the step of the object in slot `index`, in place.
  void fill(ArtStep* step, ArtStep::Kind kind, uint32_t index) const;

  const ArtStore& store_;
  Slot next_;               // the next object to visit; kNone index: its list is done
  std::vector<Slot> open_;  // containers entered and not yet left, outermost first
  bool lost_ = false;
  bool one_ = false;  // walking one object: its siblings are not visited
  bool topDown_ = false;
};

}  // namespace qx::host
