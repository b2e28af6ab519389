#include "host/io/svg_read/svg_viewport.h"

#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {
namespace {

constexpr double kDefaultWidthPx = 300, kDefaultHeightPx = 150;

// One side of the root in px, unset when it is missing or auto; false with
// *error when it does not parse or is no usable size.
bool rootSide(pugi::xml_node root, const char* name, std::optional<double> boxSize, double fallback,
              ReadContext& context, std::optional<double>* out, std::string* error) {
  const pugi::xml_attribute a = root.attribute(name);
  if (!a || trim(a.value()) == "auto") return true;
  std::string why;
  const auto l = parseLength(a.value(), &why);
  if (!l) {
    *error = context.message(root, std::string(name) + ": " + why);
    return false;
  }
  const double px = l->unit == Unit::Percent ? l->value / 100 * boxSize.value_or(fallback)
                                             : toUserUnits(*l, Axis::X, Viewport{});
  if (!(px > 0) || px * kPointsPerPx > 1e15) {
    *error = context.message(root, std::string(name) + " \"" + a.value() + "\" gives the page no usable size");
    return false;
  }
  *out = px;
  return true;
}

}  // namespace

ViewBoxFit::ViewBoxFit(pugi::xml_node element, ReadContext& context) {
  std::string why;
  if (const pugi::xml_attribute a = element.attribute("viewBox")) {
    box_ = parseViewBox(a.value(), &why);
    if (!box_) context.warn(element, why + "; ignored");
    else if (empty()) return;  // draws nothing, however it would be fitted
  }
  why.clear();
  ratio_ = parseAspectRatio(element.attribute("preserveAspectRatio").value(), &why);
  if (!why.empty()) context.warn(element, why);
}

FittedViewport ViewBoxFit::into(double x, double y, double width, double height) const {
  if (!box_) return {Matrix::translate(x, y), Viewport{width, height}};
  return {viewBoxMatrix(*box_, ratio_, x, y, width, height), Viewport{box_->width, box_->height}};
}

std::optional<RootSize> rootSize(pugi::xml_node root, const std::optional<ViewBox>& box, ReadContext& context,
                                 std::string* error) {
  std::optional<double> w, h;
  if (!rootSide(root, "width", box ? std::optional(box->width) : std::nullopt, kDefaultWidthPx, context, &w, error) ||
      !rootSide(root, "height", box ? std::optional(box->height) : std::nullopt, kDefaultHeightPx, context, &h, error))
    return std::nullopt;
  // A missing side follows the viewBox's proportions.
  if (!w) w = box ? (h ? *h * box->width / box->height : box->width) : kDefaultWidthPx;
  if (!h) h = box ? *w * box->height / box->width : kDefaultHeightPx;
  return RootSize{*w, *h};
}

}  // namespace qx::host::svg
