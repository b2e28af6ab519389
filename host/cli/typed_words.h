// The words a person types on the command line, read as a person means them:
// the blanks around a word do not count, nor does letter case where a name is
// matched.
#pragma once

#include <string>
#include <string_view>

namespace qx::cli {

// `text` without the blanks (std::isspace) before and after it.
std::string_view trim(std::string_view text);

// `text` with its letters in lower case (std::tolower, byte by byte).
std::string lower(std::string_view text);

}  // namespace qx::cli
