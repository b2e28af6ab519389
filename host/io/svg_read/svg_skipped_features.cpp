#include "host/io/svg_read/svg_skipped_features.h"

#include <string>

namespace qx::host::svg {
namespace {

std::string countOf(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

void SkippedFeatures::effects(pugi::xml_node element, const ComputedStyle& style, bool markable) {
  if (style.clipped) tally(clipped_, element);
  if (style.masked) tally(masked_, element);
  if (style.filtered) tally(filtered_, element);
  if (markable && style.markers) tally(markers_, element);
}

void SkippedFeatures::report(ReadContext& context) const {
  const auto warn = [&](const Tally& t, const std::string& text) {
    if (t.count > 0) context.warn(t.first, text);
  };
  warn(text_, "text is not imported; " + countOf(text_.count, "text element", "text elements") + " skipped");
  warn(foreign_, "foreignObject is not imported; " + countOf(foreign_.count, "element", "elements") + " skipped");
  warn(clipped_,
       "clip-path is not applied; " + countOf(clipped_.count, "element is", "elements are") + " drawn unclipped");
  warn(masked_, "mask is not applied; " + countOf(masked_.count, "element is", "elements are") + " drawn unmasked");
  warn(filtered_,
       "filter is not applied; " + countOf(filtered_.count, "element is", "elements are") + " drawn unfiltered");
  warn(markers_, "markers are not drawn; " + countOf(markers_.count, "element has", "elements have") + " them");
}

}  // namespace qx::host::svg
