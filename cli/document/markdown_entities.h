// Character references in Markdown text.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace orth::cli {

// Named character references decoded so far: the reference ("&iuml;") to
// its UTF-8 text, or to "" when it names no character.
using EntityCache = std::unordered_map<std::string, std::string>;

// The UTF-8 text of the character reference `reference` ("&amp;", "&#233;",
// "&#xE9;"), or false when it names no character.
bool DecodeCharacterReference(std::string_view reference, EntityCache& cache, std::string& utf8);

}  // namespace orth::cli
