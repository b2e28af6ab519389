// Where an element that sets up a viewport (the root svg, a nested svg, a
// used symbol) puts what it holds: its viewBox fitted by
// preserveAspectRatio into the rectangle the element takes; and the root's
// own size, which is the page.
#pragma once

#include <optional>
#include <string>

#include <pugixml.hpp>

#include "host/io/svg_read/svg_read_context.h"
#include "host/io/svg_read/svg_units.h"

namespace qx::host::svg {

// The element's content: the matrix from its user space to its parent's,
// and the viewport its percentages are of.
struct FittedViewport {
  Matrix matrix;
  Viewport viewport;
};

class ViewBoxFit {
 public:
  // Reads the element's viewBox and preserveAspectRatio; a value that does
  // not parse is warned about and ignored.
  ViewBoxFit(pugi::xml_node element, ReadContext& context);

  // A viewBox of no width or no height: the element draws nothing.
  bool empty() const { return box_ && (box_->width == 0 || box_->height == 0); }
  const std::optional<ViewBox>& box() const { return box_; }

  // The content in the rectangle (x, y, width, height) of the parent's user
  // space: moved there without a viewBox, the viewBox fitted into it with one.
  FittedViewport into(double x, double y, double width, double height) const;

 private:
  std::optional<ViewBox> box_;
  AspectRatio ratio_;
};

// The root's width and height in px. A percentage is of the viewBox, or of
// 300 x 150 px (what browsers give an image of unknown size) without one; a
// missing side follows the viewBox's proportions, or takes that default.
struct RootSize {
  double width = 0, height = 0;
};
// nullopt with *error ("FILE:LINE: reason") for a size that does not parse
// or gives the page no usable size.
std::optional<RootSize> rootSize(pugi::xml_node root, const std::optional<ViewBox>& box, ReadContext& context,
                                 std::string* error);

}  // namespace qx::host::svg
