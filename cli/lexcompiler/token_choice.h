// Choosing the token strings of a lexicon: characters that only a token can
// spell come first, then the strings that save the most codes.
#pragma once

#include "lexcompiler/compile_summary.h"
#include "lexcompiler/lex_layout.h"
#include "lexcompiler/word_spelling.h"

namespace orth {

// Chooses up to MAX_TOKENS tokens (each of at most TOKEN_MAX characters) for
// the words of the layout's sections. Each word is costed by the part it
// spells after what it shares with the previous word of its record. A
// character that no letter or accent spells weighs far more than any saving,
// so such characters get tokens first, the most needed first; the remaining
// places go, greedily, to the strings that take the most codes off the
// sections. The choice is deterministic.
TokenList ChooseTokens(const LexLayout& layout);

// Removes from the sections the words that letters, accents and `tokens`
// cannot spell (counted as SkipReason::NoTokenForCharacter), and the
// sections left without words.
void DropUnspellableWords(LexLayout& layout, const TokenList& tokens, CompileSummary& summary);

}  // namespace orth
