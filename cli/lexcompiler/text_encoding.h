// Conversion between the UTF-8 of word-list files and terminals and the
// Latin-1 bytes the lexicon formats hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orth {

enum class InputEncoding { Utf8, Latin1 };

enum class Utf8Status { Ok, Invalid, NotLatin1 };

// Decodes the UTF-8 character at the start of `text`: returns the number of
// bytes it takes (1..4) and stores its code point in `value`, or returns 0
// when the bytes there are not a well-formed character (a malformed, cut-short
// or overlong sequence, a surrogate, a value beyond U+10FFFF, or empty text).
size_t DecodeUtf8Char(std::string_view text, uint32_t& value);

// Decodes UTF-8 text into Latin-1 bytes. Invalid: a malformed or overlong
// sequence, a surrogate or a value beyond U+10FFFF. NotLatin1: well-formed but
// a character above U+00FF. `out` holds the conversion only when Ok.
Utf8Status Utf8ToLatin1(std::string_view text, std::string& out);

// Encodes Latin-1 bytes as UTF-8 (every byte is the code point of its value).
std::string Latin1ToUtf8(std::string_view text);

}  // namespace orth
