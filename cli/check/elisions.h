// Elisions longer than one letter: «qu'il», «jusqu'à», «dell'anno».
//
// The engine drops a one-letter elision before it looks a word up («l'homme»
// is «homme»), which covers English and most of French, Italian and Catalan.
// French and Italian also elide longer words, and their word lists hold only
// the full words, so the checking stage reads these forms as the elision and
// the word after it. The forms are words no English text writes before an
// apostrophe and a letter.
#pragma once

#include <cstddef>
#include <string_view>

namespace orth::cli {

// The length of the elision (with its apostrophe) at the start of a Latin-1
// word, when the word starts with one of the longer elided forms and goes on
// after it; 0 otherwise. Capitals count as their small letters.
size_t LongElisionLength(std::string_view word);

}  // namespace orth::cli
