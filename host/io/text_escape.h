// Text that goes into JSON strings. UTF-8 is kept as it is; a byte sequence
// that is not UTF-8 (a truncated or overlong sequence, a surrogate, a stray
// continuation byte) becomes U+FFFD, so the output is always valid text
// whatever a name held.
#pragma once

#include <string_view>

#include "host/io/text_sink.h"

namespace qx::host {

// "text" with quotes: \" \\ \b \f \n \r \t, other control characters as \u00XX.
void writeJsonString(TextSink& out, std::string_view text);

}  // namespace qx::host
