// What the reader leaves out of a drawing, counted while the walk meets it
// and reported once a kind at the end: text, foreignObject, and the
// clipping, masks, filters and markers elements are drawn without.
#pragma once

#include <pugixml.hpp>

#include "host/io/svg_read/svg_read_context.h"
#include "host/io/svg_read/svg_style.h"

namespace qx::host::svg {

class SkippedFeatures {
 public:
  void text(pugi::xml_node element) { tally(text_, element); }
  void foreignObject(pugi::xml_node element) { tally(foreign_, element); }
  // The effects `style` asks of the element that are not applied; markers
  // count only where the element can carry them (`markable`).
  void effects(pugi::xml_node element, const ComputedStyle& style, bool markable);

  // One warning for each kind met, at the first element of that kind, with
  // the count of them all.
  void report(ReadContext& context) const;

 private:
  struct Tally {
    int count = 0;
    pugi::xml_node first;
  };
  static void tally(Tally& t, pugi::xml_node element) {
    if (t.count++ == 0) t.first = element;
  }

  Tally text_, foreign_, clipped_, masked_, filtered_, markers_;
};

}  // namespace qx::host::svg
