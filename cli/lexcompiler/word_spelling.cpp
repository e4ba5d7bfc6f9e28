#include "lexcompiler/word_spelling.h"

#include <array>

#include "lex/section_format.h"

namespace orth {

namespace {

struct Choice {
  int64_t cost = SPELLING_IMPOSSIBLE;
  int32_t token = -1;  // -1: the character alone
};

// best[i]: the cheapest spelling of text[i..] and its first step.
void FillChoices(std::string_view text, const TokenList& tokens, int64_t missingCost,
                 std::vector<Choice>& best) {
  const size_t n = text.size();
  best.assign(n + 1, Choice{});
  best[n].cost = 0;
  for (size_t i = n; i-- > 0;) {
    Choice choice;
    const int64_t single = CharacterCost(static_cast<unsigned char>(text[i]), missingCost);
    if (single < SPELLING_IMPOSSIBLE && best[i + 1].cost < SPELLING_IMPOSSIBLE) {
      choice.cost = single + best[i + 1].cost;
    }
    for (size_t t = 0; t < tokens.size(); ++t) {
      const std::string& token = tokens[t];
      if (token.empty() || token.size() > n - i) continue;
      if (text.compare(i, token.size(), token) != 0) continue;
      const int64_t rest = best[i + token.size()].cost;
      if (rest < SPELLING_IMPOSSIBLE && 2 + rest < choice.cost) {
        choice.cost = 2 + rest;
        choice.token = static_cast<int32_t>(t);
      }
    }
    best[i] = choice;
  }
}

}  // namespace

bool IsStreamCharacter(unsigned char c) {
  return LetterStreamCode(c) >= 0 || AccentStreamCode(c) >= 0;
}

int64_t CharacterCost(unsigned char c, int64_t missingCost) {
  if (LetterStreamCode(c) >= 0) return 1;
  if (AccentStreamCode(c) >= 0) return 2;
  return missingCost;
}

int64_t SpellingCost(std::string_view text, const TokenList& tokens, int64_t missingCost) {
  std::vector<Choice> best;
  FillChoices(text, tokens, missingCost, best);
  return best[0].cost;
}

bool AppendSpelling(std::string_view text, const TokenList& tokens, std::vector<uint8_t>& codes) {
  std::vector<Choice> best;
  FillChoices(text, tokens, SPELLING_IMPOSSIBLE, best);
  if (best[0].cost >= SPELLING_IMPOSSIBLE) return false;
  size_t i = 0;
  while (i < text.size()) {
    const Choice& choice = best[i];
    if (choice.token >= 0) {
      codes.push_back(CODE_TOKEN);
      codes.push_back(static_cast<uint8_t>(choice.token));
      i += tokens[static_cast<size_t>(choice.token)].size();
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (const int32_t letter = LetterStreamCode(c); letter >= 0) {
      codes.push_back(static_cast<uint8_t>(letter));
    } else {
      codes.push_back(CODE_ACCENT);
      codes.push_back(static_cast<uint8_t>(AccentStreamCode(c)));
    }
    ++i;
  }
  return true;
}

}  // namespace orth
