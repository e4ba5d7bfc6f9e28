// Inline directives that users write in comments or text to steer the
// checker, in any format:
//   orthspell: disable            no findings from here ...
//   orthspell: enable             ... to here
//   orthspell: disable-line       no findings on this line
//   orthspell: disable-next-line  no findings on the next line
//   orthspell: ignore WORD...     accept these words for the rest of the file
//                                 ("words" is a synonym)
// "spellchecker:", "spell-checker:" and "cspell:" work the same, so files
// written for other checkers keep working. The prefix and the keyword are
// read in any case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orth::cli {

enum class DirectiveKind { DISABLE, ENABLE, DISABLE_LINE, DISABLE_NEXT_LINE, IGNORE_WORDS };

struct Directive {
  DirectiveKind kind = DirectiveKind::DISABLE;
  size_t begin = 0;                // the directive's text: from its prefix ...
  size_t end = 0;                  // ... to the end of its line or comment
  std::vector<std::string> words;  // IGNORE_WORDS: the words, as written
};

// Appends the directives of `text` (Latin-1 or UTF-8) to `out`, in order.
void FindDirectives(std::string_view text, std::vector<Directive>& out);

}  // namespace orth::cli
