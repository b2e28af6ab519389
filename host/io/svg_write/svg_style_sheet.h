// The paint of written paths as one style sheet: each distinct paint (fill
// and its rule, stroke colour, width, cap, join, miter limit and dash) is a
// CSS class, named in the order paints first appear ("a", "b", ... "z",
// "ba", ...). Opacity is not paint: each element carries its own.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/io/text_sink.h"
#include "qx_ai_art.h"

namespace qx::host {

// Whether the style's stroke paints anything an SVG can draw.
bool paintsStroke(const QxPathStyle& style);

// How far past the outline the stroke can reach: half the width, more where
// square caps stick out diagonally or miter joins run to their limit.
double strokeReach(const QxPathStyle& style);

class SvgStyleSheet {
 public:
  // The class of `shown` (a style whose gradients and patterns are replaced
  // by the colours they are shown with), made when the paint is new.
  uint32_t classOf(const QxPathStyle& shown);
  size_t size() const { return classes_.size(); }
  // The stroke reach of the paint of class `index`.
  double reach(uint32_t index) const { return classes_[index].reach; }

  // The class's name, as the class attribute holds it.
  static void writeName(uint32_t index, TextSink& out);
  // <style> with a rule for every class, or nothing when there is none.
  void write(TextSink& out) const;

 private:
  struct Class {
    std::string declarations;
    double reach = 0;
  };
  std::vector<Class> classes_;
  std::unordered_map<std::string, uint32_t> byText_;
  bool haveLast_ = false;
  QxPathStyle last_{};  // consecutive paths mostly share their paint
  uint32_t lastClass_ = 0;
  std::string scratch_;
};

}  // namespace qx::host
