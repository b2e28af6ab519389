// The plot layer's one reader of the art store: a top-down walk that hands
// out each object that can draw (a path, or a compound path with its
// members as one object) with what plotting needs of it. Everything else of
// the plot layer reads art only through here.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "host/document/art_walk.h"
#include "host/plot/plot_geometry.h"
#include "qx_ai_art.h"

namespace qx::host {
class ArtStore;
struct ArtInfo;
}

namespace qx::plot {

struct Outline {
  std::span<const QxPathSegment> segments;  // valid while the store is unchanged
  bool closed = false;
};

struct PlotObject {
  QxPathStyle style{};  // as shown: gradient, pattern and spot colours as their plain colours
  double opacity = 1;   // its own times that of every group around it
  std::vector<Outline> outlines;  // one for a path; one per member for a compound path
  Box box;                        // the outlines' control points, which hold their curves
};

class ArtSource {
 public:
  // The store must outlive the source and stay unchanged while it is read.
  explicit ArtSource(const host::ArtStore& store);
  // The next object from the top of the paint order down; false at the end.
  // Art that cannot draw (placed images, empty or non-finite paths) is passed over.
  bool next(PlotObject* object);
  // Steps of the walk so far: a measure of progress against the store's object count.
  size_t steps() const { return steps_; }

 private:
  enum class Open : unsigned char { kGroup, kCompound, kSkipped };
  bool readPath(QxArtHandle art, PlotObject* object);
  bool addOutline(const host::ArtInfo& info, PlotObject* object);
  void enter(const host::ArtStep& step, PlotObject* object);

  const host::ArtStore& store_;
  host::ArtWalk walk_;
  std::vector<Open> open_;
  std::vector<double> opacity_;  // of the groups entered, multiplied
  bool inCompound_ = false;
  size_t steps_ = 0;
};

}  // namespace qx::plot
