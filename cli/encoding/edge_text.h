// Text at the edge of orthspell: the UTF-8 that users read and write, and the
// Latin-1 bytes the engine works on.
//
// Every character of the input becomes exactly one Latin-1 byte, so offset i of
// the converted text is character i of the input: columns computed on the
// Latin-1 text are columns in characters of what the user wrote.
// `sourceOffset` leads back to the input's own bytes (to print a word exactly
// as written, or to edit the original file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orth::cli {

// Stands in for a character outside Latin-1 that has no closer equivalent:
// to the engine it is neither a letter nor white space nor punctuation, so it
// ends a word and joins nothing.
inline constexpr char NON_LATIN1_STAND_IN = 0x1A;

struct EdgeText {
  std::string latin1;                // one byte per character of the input
  std::vector<size_t> sourceOffset;  // input byte offset of character i, then the input's size
  bool invalidUtf8 = false;          // some bytes were not UTF-8: each was read as a Latin-1 byte
  bool replacedCharacters = false;   // some characters outside Latin-1 were replaced
};

// Converts UTF-8 input for the engine:
//  - characters up to U+00FF become their byte;
//  - the typographic apostrophes U+2019, U+2018 and U+02BC become byte 39;
//  - other characters outside Latin-1 become a byte of a similar class (space
//    for the Unicode spaces, '-', '"' or '.' for dashes, quotation marks and
//    the ellipsis) or NON_LATIN1_STAND_IN;
//  - a byte that does not start a well-formed UTF-8 character is read as the
//    Latin-1 character of its value (invalidUtf8 is set).
EdgeText DecodeEdgeText(std::string_view input);

// The byte one character outside the Latin-1 range stands for (see above).
char Latin1StandIn(uint32_t codePoint);

// Converts a word a user typed (UTF-8) for the engine. False when the word
// holds a character that only a stand-in byte could represent; invalid UTF-8
// is read as Latin-1, as in DecodeEdgeText.
bool WordToLatin1(std::string_view utf8, std::string& latin1);

// Encodes engine text (Latin-1) as UTF-8 for printing.
std::string Latin1ToUtf8Text(std::string_view latin1);

// The input's own bytes for characters [begin, end) of `text`.
std::string_view SourceSlice(std::string_view input, const EdgeText& text, size_t begin,
                             size_t end);

// The same characters as UTF-8 that is always well-formed: the input's own
// bytes, except that a byte read as Latin-1 (invalid UTF-8) is encoded.
std::string SourceTextUtf8(std::string_view input, const EdgeText& text, size_t begin, size_t end);

// 1-based line and column (in characters) of a character offset.
struct TextPosition {
  size_t line = 1;
  size_t column = 1;
};

// Character offsets at which the lines of a text begin (after each LF).
struct LineIndex {
  std::vector<size_t> lineStarts;
};

LineIndex IndexLines(std::string_view latin1);
TextPosition PositionOf(const LineIndex& lines, size_t offset);

}  // namespace orth::cli
