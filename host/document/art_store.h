// The art store: the art of one document with its paths, styles and undo.
// Built for a few million small objects: records live in contiguous arrays
// addressed by handle, path segments share one arena, path styles are
// interned, and undo truncates what the current message created.
//
// Handles are the opaque QxArtHandle values the suites hand to plug-ins: a
// slot index, a generation and a store tag packed into the pointer value
// (never dereferenced). Every call validates its handle; a bad, stale or
// foreign handle answers QX_ERR_BAD_PARAM.
//
// Reading: ArtWalk (art_walk.h) visits the tree with a view of each object
// (ArtView, art_view.h); view() reads one object by handle.
//
// Threads: any number of threads may read a store at once (its const
// members, walks and views) while no thread changes it. A change needs the
// store to itself.
//
// Errors: a refused request answers a code and changes nothing. When memory
// runs out (std::bad_alloc from the chunk pool or the heap) the call throws,
// and the store stays sound: what the call had made is dropped or left to
// undo, and every object reachable is whole.
//
// Paint order runs from the bottom up: the first top-level object is painted
// first, and a parent's first child is its bottom-most one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/document/art_view.h"
#include "qx_ai_art.h"
#include "qx_ai_services.h"

namespace qx::host {

struct ArtArrays;  // the arrays behind a store (art_store_impl.h)

// What one closed undo context changed (art_history.cpp), kept by a front end
// so that it can take the change back and make it again later.
struct ArtChange;
struct ArtChangeDeleter {
  void operator()(ArtChange* change) const;
};
using ArtChangePtr = std::unique_ptr<ArtChange, ArtChangeDeleter>;

// Going: the painters' reads from before ArtView, kept until they read views.
// An ArtInfo is an ArtView with the style and bounds copied out.
struct ArtInfo {
  int16_t type = QX_ART_UNKNOWN;
  bool closed = false;  // paths only
  bool selected = false;
  bool hasStyle = false;  // paths and compound paths carry a path style
  QxReal opacity = 1;
  QxPathStyle style{};                      // valid when hasStyle
  QxRealRect bounds{};                      // tight curve bounds, stroke not counted
  std::span<const QxPathSegment> segments;  // valid until the next change
};

// Going, as ArtInfo: an ArtView by another name.
struct ArtGlance {
  int16_t type = QX_ART_UNKNOWN;
  bool closed = false;
  QxReal opacity = 1;
  QxReal strokeWidth = 0;
  const QxPathStyle* base = nullptr;  // null for art without a style
  uint32_t fillWords[4] = {}, strokeWords[4] = {};
  std::span<const QxPathSegment> segments;
};

class ArtStore final {
 public:
  static constexpr size_t kDefaultArtBudget = 3'000'000;
  static constexpr size_t kMaxArtBudget = (size_t{1} << 24) - 2;  // slots a handle can address
  static constexpr int32_t kMaxSegments = 32767;

  ArtStore();
  ~ArtStore();
  ArtStore(const ArtStore&) = delete;
  ArtStore& operator=(const ArtStore&) = delete;

  // The tag in this store's handles. The document marks its swatch
  // references with it too, so another document's are refused.
  uint8_t handleTag() const;

  // ---- Making and removing art ----
  // New empty art of `type` (any QX_ART_* but unknown) placed by `paintOrder`:
  // 1/2 above/below `ref`, 3/4 on top of/at the bottom of group or compound
  // path `ref`, 5/6 above/below all top-level art (`ref` ignored). Paths and
  // compound paths get the current style. QX_ERR_BAD_PARAM for a bad type,
  // code or reference; QX_ERR_OUT_OF_MEMORY when the art budget is spent.
  QxErr newArt(int16_t type, int16_t paintOrder, QxArtHandle ref, QxArtHandle* out);
  // Remove `art` with its children. QX_ERR_BAD_PARAM for a bad handle.
  QxErr disposeArt(QxArtHandle art);
  // Copy `art` with its children, styles and segments, placed as newArt. The
  // copy is not selected. With codes 5 and 6 `ref` is ignored.
  QxErr duplicateArt(QxArtHandle art, int16_t paintOrder, QxArtHandle ref, QxArtHandle* out);

  // ---- Reading ----
  bool isValid(QxArtHandle art) const;
  // Everything about one object (art_view.h); nullopt for a bad handle.
  std::optional<ArtView> view(QxArtHandle art) const;
  // Bottom-most child (nullptr when none or not a container).
  QxErr firstChild(QxArtHandle art, QxArtHandle* child) const;
  // Next object above `art` under the same parent (nullptr after the top).
  QxErr nextSibling(QxArtHandle art, QxArtHandle* sibling) const;
  // Parent group or compound path (nullptr at top level).
  QxErr parent(QxArtHandle art, QxArtHandle* parent) const;
  QxArtHandle firstTopLevel() const;                         // bottom of the paint order; nullptr when empty
  QxArtHandle lastTopLevel() const;                          // top of the paint order
  std::vector<QxArtHandle> topLevelArt() const;              // bottom first
  std::vector<QxArtHandle> children(QxArtHandle art) const;  // bottom first; empty for a bad handle
  size_t liveArtCount() const;                               // every live object, children included
  // True when some live object is selected. Quick while nothing was
  // selected since the store last found nothing selected, as when a
  // preview draws and takes back millions of objects.
  bool anySelected() const;

  // ---- Changing one object ----
  QxErr setSelected(QxArtHandle art, bool selected);
  // QX_ERR_BAD_PARAM outside 0..1 (or NaN).
  QxErr setOpacity(QxArtHandle art, QxReal opacity);
  // Grow (new segments are zeroed corners) or cut; QX_ERR_BAD_PARAM for a
  // non-path or a count outside 0..32767.
  QxErr setSegmentCount(QxArtHandle path, int32_t count);
  // Write `count` segments at `index`, growing the path past its end; the
  // index may be at most the current count.
  QxErr setSegments(QxArtHandle path, int32_t index, int32_t count, const QxPathSegment* segments);
  QxErr setClosed(QxArtHandle path, bool closed);
  // Placed, raster, symbol and mesh art: the box it covers (its bounds and
  // what transforms move). QX_ERR_BAD_PARAM for paths and containers.
  QxErr setItemOutline(QxArtHandle art, const QxRealRect& box);

  // ---- Styles ----
  // Path and compound path only; QX_ERR_BAD_PARAM for other art.
  QxErr setPathStyle(QxArtHandle art, const QxPathStyle& style);
  // The style every new path gets: fill white, stroke black 1 pt, process colours.
  const QxPathStyle& currentStyle() const;
  void setCurrentStyle(const QxPathStyle& style);
  size_t internedStyleCount() const;

  // Gradients and patterns come from files: paths keep their colour kind
  // (opaque to plug-ins), and the store keeps the plain colour each is shown
  // with, named by the colour's id (gradient.id or pattern.id). The id of a
  // new entry; -1 when `shown` is neither RGB, gray, process nor none.
  int32_t addShownColor(const QxColor& shown);
  // `style` with each gradient or pattern colour replaced by the colour it
  // is shown with; one with an id this store does not know stays as it is
  // (painters show it mid-grey).
  QxPathStyle shownStyle(const QxPathStyle& style) const;
  static QxPathStyle defaultStyle();

  // ---- Geometry ----
  // Tight bounds of the curves (cubic extrema), stroke not counted; all zeros
  // for empty art. Groups and compound paths cover their children.
  QxErr bounds(QxArtHandle art, QxRealRect* bounds) const;
  // bounds(), keeping a path's box for the next measure: placing a shape
  // measures it again and again between its turns, flips and copies.
  QxErr measure(QxArtHandle art, QxRealRect* bounds);
  // The bounds of every group and compound path, as bounds() gives them,
  // measured in one pass over the tree (bounds() of each container passes
  // over all it holds, once per container around it).
  std::unordered_map<QxArtHandle, QxRealRect> containerBounds() const;
  // Map every anchor and handle of `art` and its children by `m`. With
  // QX_TRANSFORM_LINE_WIDTHS in `flags`, stroke widths are multiplied by
  // `lineScale`. QX_ERR_BAD_PARAM for a non-finite matrix or line scale.
  QxErr transform(QxArtHandle art, const QxRealMatrix& m, QxReal lineScale, int32_t flags);

  // Shapes: new closed paths above all art with the current style; sizes by
  // absolute value; the first vertex straight up; `reversed` runs clockwise.
  QxErr newRect(QxReal cx, QxReal cy, QxReal height, QxReal width, bool reversed, QxArtHandle* out);
  QxErr newOval(QxReal cx, QxReal cy, QxReal height, QxReal width, bool reversed, QxArtHandle* out);
  // Fewer than 3 sides: a degenerate path of one segment at the centre.
  QxErr newRegularPolygon(int32_t sides, QxReal cx, QxReal cy, QxReal radius, bool reversed, QxArtHandle* out);
  // Fewer than 2 points: a degenerate path of one segment at the centre.
  QxErr newStar(int32_t points, QxReal cx, QxReal cy, QxReal radius1, QxReal radius2, bool reversed, QxArtHandle* out);

  // ---- Undo ----
  // The outermost plug-in message begins: a new undo context. While a
  // filter command is open (from its Get Parameters to the end of its Go)
  // the command's one context spans its messages, so the final run can take
  // back what a preview left. MessageScope and CommandScope below hold them.
  void beginMessage() noexcept;
  void endMessage() noexcept;
  void beginCommand() noexcept;
  void endCommand() noexcept;
  // Take back every change since beginMessage(): new art goes, changed or
  // disposed art comes back. The context stays open (empty) afterwards.
  void undoMessage() noexcept;
  // Names the plug-in gave the current message's changes (Undo/Redo menu items).
  void setUndoText(std::string undo, std::string redo);
  const std::string& undoText() const;

  // One outermost message's undo context, open while the scope lives.
  class MessageScope {
   public:
    explicit MessageScope(ArtStore& store) : store_(store) { store_.beginMessage(); }
    ~MessageScope() { store_.endMessage(); }
    MessageScope(const MessageScope&) = delete;
    MessageScope& operator=(const MessageScope&) = delete;

   private:
    ArtStore& store_;
  };
  // A filter command's undo context, open while the scope lives; it moves
  // to whoever closes it (Get Parameters opens it, Go closes it).
  class CommandScope {
   public:
    explicit CommandScope(ArtStore& store) : store_(&store) { store_->beginCommand(); }
    ~CommandScope() {
      if (store_) store_->endCommand();
    }
    CommandScope(CommandScope&& other) noexcept : store_(std::exchange(other.store_, nullptr)) {}
    CommandScope& operator=(CommandScope&&) = delete;

   private:
    ArtStore* store_;
  };

  // ---- History ----
  // While kept, the end of the outermost context (endMessage, endCommand)
  // keeps what the context changed for takeChange() instead of dropping it.
  void setKeepChanges(bool keep);
  // The change the last closed context kept into *change: null when it
  // changed nothing (or nothing was kept). False when there was no memory to
  // keep it: the change was made but cannot be taken back. The store forgets it.
  bool takeChange(ArtChangePtr* change);
  // Take back a kept change: the store must stand where the change left it
  // (as after the change itself or its redo), with no context open. Redo
  // makes it again from where it began. False, and nothing done, otherwise.
  bool undoChange(const ArtChange& change);
  bool redoChange(const ArtChange& change);
  // Bytes a kept change holds.
  static size_t changeBytes(const ArtChange& change);

  // ---- Art budget ----
  size_t artBudget() const;
  // Clamped to kMaxArtBudget.
  void setArtBudget(size_t liveObjects);
  // True once a request was refused for the budget.
  bool budgetExhausted() const;

  // Bytes held by the store's arrays (capacity, not size).
  size_t memoryBytes() const;

  // ---- Going: the painters' reads from before ArtView ----
  // Kept until the painters read views; each is view() by another name.
  // describe() without `measure` leaves the bounds zero.
  bool describe(QxArtHandle art, ArtInfo* info, bool measure = true) const;
  bool glance(QxArtHandle art, ArtGlance* glance) const;
  QxErr opacity(QxArtHandle art, QxReal* opacity) const;
  QxErr pathStyle(QxArtHandle art, QxPathStyle* style) const;  // paths and compound paths
  QxErr segmentCount(QxArtHandle path, int16_t* count) const;  // paths
  QxErr getSegments(QxArtHandle path, int32_t index, int32_t count, QxPathSegment* segments) const;
  QxErr closed(QxArtHandle path, bool* closed) const;  // paths

 private:
  friend class ArtWalk;

  // Reached only through these, so a const member reads the arrays as const.
  ArtArrays& arrays() { return *impl_; }
  const ArtArrays& arrays() const { return *impl_; }

  // What the open context changed, read before its journal is dropped.
  ArtChangePtr keepChange() const;

  // A new closed path of `seg` above all art. `box`, when given, is what
  // measuring the path gives and is kept as its bounds.
  QxErr makeClosedPath(std::span<QxPathSegment> seg, bool reversed, const QxRealRect* box, QxArtHandle* out);

  std::unique_ptr<ArtArrays> impl_;
};

}  // namespace qx::host
