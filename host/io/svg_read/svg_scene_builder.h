// The walk over the parsed file that fills the scene: element by element
// with a stack of frames (no recursion, whatever the nesting), each use
// expanded in place, under the reader's limits.
#pragma once

#include <string>

#include <pugixml.hpp>

#include "host/io/svg_read/svg_read_context.h"
#include "host/io/svg_read/svg_scene.h"

namespace qx::host::svg {

// Fills *scene from the parsed file's root element. False with *error
// ("FILE:LINE: reason") when the file cannot be read as a drawing at all.
bool buildScene(pugi::xml_node root, ReadContext& context, SvgScene* scene, std::string* error);

}  // namespace qx::host::svg
