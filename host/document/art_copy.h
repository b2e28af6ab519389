// Art of one document copied into another: File > Import places a drawing's
// art over the current one.
#pragma once

#include <cstddef>

#include "host/document/document.h"

namespace qx::host {

// Copy every object of `from` (groups and compound paths with their
// children, paths, leaf art; styles, opacity, names) above all art of `to`,
// at the same artwork coordinates. Gradient and pattern colours keep their
// kind and the colour they are shown with. A name `to` holds already is
// left off the copy. The first failing store call ends the copy with its
// code (the art copied so far stays, for the caller's undo context to take
// back); *copied counts the objects made. QX_ERR_BAD_PARAM when `from` is
// `to`: the copy reads the source while it writes.
QxErr copyArt(const Document& from, Document& to, size_t* copied);

}  // namespace qx::host
