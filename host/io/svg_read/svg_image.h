// Where an <image> gets its picture: embedded in a data: URL, or linked.
#pragma once

#include <string>
#include <string_view>

#include "host/io/svg_read/svg_scene.h"

namespace qx::host::svg {

// Fills the node's kind, data or href, and mime from the href. False, with
// *reason, for a data: URL that cannot be decoded.
bool readImageSource(std::string_view href, SvgNode* node, std::string* reason);

}  // namespace qx::host::svg
