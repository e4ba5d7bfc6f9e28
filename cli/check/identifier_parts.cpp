#include "check/identifier_parts.h"

#include "encoding/latin1_classes.h"

namespace orth::cli {

namespace {

enum class Kind { LOWER, UPPER, DIGIT, OTHER };

Kind KindOf(char c) {
  if (IsUpper(c)) return Kind::UPPER;
  if (IsLower(c)) return Kind::LOWER;
  if (IsDigit(c)) return Kind::DIGIT;
  return Kind::OTHER;  // the apostrophe
}

}  // namespace

void SplitIdentifier(std::string_view word, std::vector<WordPart>& parts) {
  parts.clear();
  size_t start = 0;
  for (size_t i = 1; i < word.size(); ++i) {
    const Kind before = KindOf(word[i - 1]);
    const Kind here = KindOf(word[i]);
    bool split = false;
    if (before == Kind::LOWER && here == Kind::UPPER) {
      // A lone capital at the end stays: TeX, LuaTeX's TeX.
      split = i + 1 < word.size();
    } else if ((before == Kind::DIGIT) != (here == Kind::DIGIT) && before != Kind::OTHER &&
               here != Kind::OTHER) {
      split = true;
    } else if (before == Kind::UPPER && here == Kind::UPPER && i + 1 < word.size() &&
               KindOf(word[i + 1]) == Kind::LOWER) {
      split = true;  // HTTPServer: the S starts the next part
    }
    if (split) {
      parts.push_back({start, i - start});
      start = i;
    }
  }
  parts.push_back({start, word.size() - start});
}

}  // namespace orth::cli
