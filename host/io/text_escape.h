// Text that goes into JSON strings and XML attributes. UTF-8 is kept as it is; a byte sequence
// that is not UTF-8 (a truncated or overlong sequence, a surrogate, a stray
// continuation byte) becomes U+FFFD, so the output is always valid text
// whatever a name held.
#pragma once

#include <string_view>

#include "host/io/text_sink.h"

namespace qx::host {

// "text" with quotes: \" \\ \b \f \n \r \t, other control characters as \u00XX.
void writeJsonString(TextSink& out, std::string_view text);

// An XML attribute's value without its quotes: & < > " as entities, tab,
// line feed and carriage return as character references (so a reader keeps
// them), and the other control characters, which XML 1.0 cannot hold at
// all, left out.
void writeXmlAttribute(TextSink& out, std::string_view text);

}  // namespace qx::host
