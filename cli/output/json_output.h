// Pieces of the JSON that `--format json` prints, one object per line.
#pragma once

#include <string>
#include <string_view>

namespace orth::cli {

// `text` as a quoted JSON string. Well-formed UTF-8 is kept; a byte that does
// not start a well-formed character is taken as the Latin-1 character of its
// value, so the result is always valid JSON.
std::string JsonString(std::string_view text);

}  // namespace orth::cli
