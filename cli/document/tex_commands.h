// What the TeX reader knows of LaTeX's commands and environments: which of
// their arguments hold text to check, and how the letters TeX writes as
// commands (\"a, \ss) read as characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orth::cli {

// What a command puts between the text around it.
enum class TexEffect : uint8_t {
  BREAK,  // nothing that joins words (a reference, a footnote, a heading)
  JOIN,   // a font or box around text: a word runs through it (\emph{bo}ld)
  SPACE,  // a line break or a space (\\, \newline, \quad)
};

// One letter per argument: 'p' required and checked, 'P' required and
// skipped, 'o' optional and checked, 'O' optional and skipped, as users give
// them to --tex-command. The built-in table also uses 'V', an argument read
// verbatim ({...} or between two equal characters, as \verb|x| and \url{x}),
// and 'D', the parameter text of \def (#1#2) before its body.
struct TexSignature {
  std::string_view arguments;
  TexEffect effect = TexEffect::BREAK;
};

// The built-in signature of a command (its name without the backslash), or
// null for a command the table does not know.
const TexSignature* FindTexCommand(std::string_view name);

enum class TexEnvironmentKind : uint8_t {
  TEXT,      // its body is read as text
  MATH,      // skipped up to its \end; a blank line ends it too
  VERBATIM,  // skipped up to its \end, whatever lies between
};

struct TexEnvironment {
  TexEnvironmentKind kind = TexEnvironmentKind::TEXT;
  std::string_view arguments;  // after \begin{name}, as for commands
};

// What the table knows of an environment (a starred name falls back to the
// unstarred one), or null.
const TexEnvironment* FindTexEnvironment(std::string_view name);

// The UTF-8 text of a letter command (\ss, \o, \AE, \i), or empty.
std::string_view TexLetter(std::string_view name);

// Whether `name` is an accent command: a control symbol (" ' ` ^ ~ = .) or a
// one-letter control word (c v u H k r d b).
bool IsTexAccent(std::string_view name);

// The UTF-8 text of accent `accent` on the ASCII letter `base`: the composed
// character where Unicode has one, else the letter and a combining mark.
std::string ComposeTexAccent(std::string_view accent, char base);

}  // namespace orth::cli
