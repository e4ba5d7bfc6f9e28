// Text at the edge of orthspell: the UTF-8 that users read and write, and the
// Latin-1 bytes the engine works on, one byte per character.
//
// Characters up to U+00FF are their own byte; the typographic apostrophes
// U+2019, U+2018 and U+02BC are the apostrophe; other characters become a
// byte of a similar class (a space for the Unicode spaces; '-', '"' or '.'
// for dashes, quotation marks and the ellipsis) or NON_LATIN1_STAND_IN, which
// the engine takes for neither a letter, nor white space, nor punctuation: it
// ends a word and joins nothing. A byte that does not start a well-formed
// UTF-8 character is read as the Latin-1 character of its value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orth::cli {

inline constexpr char NON_LATIN1_STAND_IN = 0x1A;

// The engine byte of one character (see above).
char EngineByteOf(uint32_t character);

// The ligatures œ and Œ, which Latin-1 lacks, as the two letters they join
// ("oe", "OE"): French word lists write «coeur» for «cœur». Null for any
// other character. Where a text may grow (the checking stage, a word typed
// by the user), they are read so, not as a stand-in that would cut «cœur»
// in two.
const char* LigatureLetters(uint32_t character);

// Appends what the engine reads for one character where a text may grow: the
// ligature's two letters, else its engine byte.
void AppendEngineChar(std::string& engine, uint32_t character);

// Appends the UTF-8 encoding of a character.
void AppendUtf8(std::string& out, uint32_t character);

// Whether text is valid UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Converts a word a user typed (UTF-8) for the engine. False when the word
// holds a character that only a stand-in byte could represent; invalid UTF-8
// is read as Latin-1.
bool WordToLatin1(std::string_view utf8, std::string& latin1);

// Encodes engine text (Latin-1) as UTF-8 for printing.
std::string Latin1ToUtf8Text(std::string_view latin1);

// The same bytes as UTF-8 that is always well-formed: well-formed characters
// are kept, and every other byte is taken as the Latin-1 character of its
// value.
std::string WellFormedUtf8(std::string_view bytes);

// A text as the engine reads it together with the character each engine
// byte stands for (the pipe mode reads the words of its command lines so).
struct MappedText {
  bool utf8 = true;             // written back as UTF-8, else as Latin-1 bytes
  std::string engine;           // what the engine sees
  std::vector<uint32_t> chars;  // the character each engine byte stands for
};

// Reads bytes as UTF-8 when they are valid UTF-8 and latin1 is false, else
// as Latin-1.
MappedText MakeMappedText(std::string_view bytes, bool latin1 = false);

// The bytes of a text, or of its engine positions begin..end (UTF-8 or
// Latin-1 as it was read).
std::string EncodeMappedText(const MappedText& text, std::size_t begin = 0,
                             std::size_t end = std::string::npos);

}  // namespace orth::cli
