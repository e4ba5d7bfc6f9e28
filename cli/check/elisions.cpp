#include "check/elisions.h"

#include "encoding/latin1_classes.h"

namespace orth::cli {

namespace {

// French: the conjunctions and pronouns in -que; Italian: the articulated
// prepositions and the common adjectives and pronouns that elide.
constexpr std::string_view LONG_ELISIONS[] = {
    "qu",     "jusqu", "lorsqu", "puisqu", "quoiqu", "presqu", "quelqu",  // French
    "dell",   "all",   "nell",   "sull",   "dall",   "coll",   "pell",   "degl", "agl",
    "negl",   "sugl",  "dagl",   "quest",  "quell",  "bell",   "sant",   "tutt", "un",
    "nessun", "buon",  "grand",  "senz",   "com",    "dov",    "cos",  // Italian
};

bool SameLetters(std::string_view word, std::string_view lower) {
  if (word.size() != lower.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (ToLower(word[i]) != lower[i]) return false;
  }
  return true;
}

}  // namespace

size_t LongElisionLength(std::string_view word) {
  const size_t apostrophe = word.find('\'');
  if (apostrophe < 2 || apostrophe == std::string_view::npos || apostrophe + 1 >= word.size() ||
      !IsLetter(word[apostrophe + 1])) {
    return 0;
  }
  const std::string_view head = word.substr(0, apostrophe);
  for (const std::string_view form : LONG_ELISIONS) {
    if (SameLetters(head, form)) return apostrophe + 1;
  }
  return 0;
}

}  // namespace orth::cli
