// What every stage of one read shares: the name and lines for messages, the
// limits, and the warnings gathered so far.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

#include "host/io/svg_read/svg_reader.h"
#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {

class ReadContext {
 public:
  ReadContext(std::string name, std::string_view text, const SvgReadLimits& limits, std::vector<std::string>* warnings)
      : name_(std::move(name)), lines_(text), limits_(limits), warnings_(warnings) {}

  const SvgReadLimits& limits() const { return limits_; }
  const std::string& name() const { return name_; }

  int lineAt(ptrdiff_t offset) const { return lines_.lineOf(offset); }
  int line(pugi::xml_node node) const { return lines_.lineOf(node.offset_debug()); }
  // "FILE:LINE: reason", the form of every message of the reader.
  std::string message(pugi::xml_node node, std::string_view reason) const {
    return name_ + ":" + std::to_string(line(node)) + ": " + std::string(reason);
  }

  void warn(pugi::xml_node node, std::string_view reason) {
    if (warnings_->size() < limits_.maxWarnings) warnings_->push_back(message(node, reason));
    else ++dropped_;
  }

  // Closes the list with a count of those that did not fit.
  void finishWarnings() {
    if (dropped_ > 0) warnings_->push_back(name_ + ": " + std::to_string(dropped_) + " more warnings not shown");
    dropped_ = 0;
  }

 private:
  std::string name_;
  LineIndex lines_;
  SvgReadLimits limits_;
  std::vector<std::string>* warnings_;
  size_t dropped_ = 0;
};

}  // namespace qx::host::svg
