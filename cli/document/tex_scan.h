// The line-local lexing of the TeX reader. Each function looks at one line
// (`line` ends where the line does, without its line end) from offset `at`,
// and never past it: a document read line by line reads the same as the
// whole of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orth::cli {

// A letter of a control word's name. `@` is one in package code
// (\@ifnextchar); in a document \@ is a spacing command, which reads the same
// either way.
bool IsTexNameLetter(char c);

// Spaces and tabs from `at` on: where they end.
size_t SkipTexSpaces(std::string_view line, size_t at);

// Where the control sequence or the word (\input chapter1) at `at` ends.
size_t SkipTexToken(std::string_view line, size_t at);

// Whether the `$` at `at` is a currency sign rather than math: followed by a
// digit, with no `$` after it on the line that could close it: none, or one
// after a space or before a digit ("costs $5 and $10", "$10 each or $x$").
bool IsTexCurrencySign(std::string_view line, size_t at);

// The `{name}` of \begin or \end after spaces at `at`; `end` after its brace.
bool ReadTexEnvironmentName(std::string_view line, size_t at, std::string_view& name, size_t& end);

// What an accent at `at` (after its command) sits on: \"a, \"{a}, \"\i,
// \"{\i}, \c c, or {} for nothing.
struct TexAccentTarget {
  enum Kind : uint8_t { NONE, EMPTY, LETTER } kind = NONE;
  char letter = 0;  // ASCII; \i and \j give i and j
  size_t end = 0;   // after the target, braces included
};
TexAccentTarget ReadTexAccentTarget(std::string_view line, size_t at);

// How a stretch of skipped material ends on a line.
struct TexStop {
  enum Kind : uint8_t { LINE_END, CLOSED, COMMENT } kind = LINE_END;
  size_t at = 0;  // after the closing, or the `%` of a comment
};

enum class TexMathEnd : uint8_t { DOLLAR, DOUBLE_DOLLAR, PAREN, BRACKET, ENVIRONMENT };

// The end of math that closes with `end` (`environmentEnd` is "\end{name}").
TexStop FindTexMathEnd(std::string_view line, size_t at, TexMathEnd end,
                       std::string_view environmentEnd);

// The end of a skipped {...} (`brackets` false) or [...] argument, with
// `depth` braces open in it, kept up to date across lines.
TexStop FindTexSkippedEnd(std::string_view line, size_t at, bool brackets, size_t& depth);

}  // namespace orth::cli
