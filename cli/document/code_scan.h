// Look-aheads of the code lexer (code_format.cpp). Each reads the visible
// part of one line, `line`, from a position and says what stands there.
// `line` ends at the line end, or earlier when a line longer than the window
// is read in pieces; a scanner that runs into its end before it can tell
// answers kScanMore, and the lexer either waits for the next piece or takes
// the answer as "nothing here". Scanners that are told no `more` of the
// line can follow decide with what they see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/code_languages.h"

namespace orth::cli {

inline constexpr size_t kScanNone = std::string_view::npos;  // nothing of the kind here
inline constexpr size_t kScanMore = kScanNone - 1;           // the visible line ended first

inline bool IsCodeDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool IsCodeLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
// Bytes of identifiers and numbers; any non-ASCII byte counts.
inline bool IsIdentifierByte(char c) {
  return IsCodeLetter(c) || IsCodeDigit(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
inline bool IsCodeSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// Words after which a slash starts a regular expression, not a division.
bool IsRegexKeyword(std::string_view word);

// The end of a character literal at `at` ('a', '\n', '\u{e9}', 'é').
size_t CharacterLiteralEnd(std::string_view line, size_t at, bool more);

// The end of a Go struct field tag (`json:"name,omitempty"`) whose text
// starts at `start`, after the backquote; kScanNone when it is no tag.
size_t StructTagEnd(std::string_view line, size_t start);

// The end of a regular expression literal /.../flags at `at`.
size_t RegexLiteralEnd(std::string_view line, size_t at, bool more);

// Where the "(" of a C++ raw string R"tag(...)tag" is, its tag starting at
// `start`, after the quote.
size_t RawDelimiterEnd(std::string_view line, size_t start, bool more);

// The end of a skipped preprocessor directive's keyword (#include,
// #include_next, #import, #pragma, #line) after the "#" at `at`.
size_t DirectiveEnd(std::string_view line, size_t at, bool more);

// A shell heredoc operator at `at` (<<WORD, <<-'WORD', <<"WORD", <<\WORD).
// A here-string (<<<) ends at `end` with an empty word.
struct HeredocOperator {
  size_t end = kScanNone;
  std::string_view word;
  bool raw = false;        // the word was quoted: no substitutions, no escapes
  bool stripTabs = false;  // <<-: leading tabs of its lines are dropped
};
HeredocOperator ReadHeredocOperator(std::string_view line, size_t at, bool more);

// A substitution (or a doubled brace) starting at `at` in a string.
struct HoleStart {
  enum Action : uint8_t {
    NONE,
    PUSH,     // code until `close`, nesting on `open`: ${...}, $(...), {...}
    SKIP,     // a name: $name, $1
    LITERAL,  // {{ or }}: one brace
  } action = NONE;
  size_t length = 0;
  char open = 0;
  char close = 0;
  size_t depth = 1;         // brackets already open once the hole starts
  bool arithmetic = false;  // $((...)): << is a shift there
};
HoleStart FindHole(std::string_view line, size_t at, Holes holes);

// A backslash at `at` in a string.
struct EscapeRead {
  enum Kind : uint8_t {
    DECODED,   // `length` bytes stand for `decoded`
    BREAK,     // `length` bytes stand for nothing readable
    TEXT,      // the backslash is text (QUOTE escapes)
    HOLE,      // \( starts a Swift substitution: 2 bytes
    LINE_END,  // the backslash ends the visible line
  } kind = BREAK;
  size_t length = 1;
  std::string decoded;
};
EscapeRead ReadEscape(std::string_view line, size_t at, Escapes escapes, Holes holes, char quote);

}  // namespace orth::cli
