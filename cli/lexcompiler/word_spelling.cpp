#include "lexcompiler/word_spelling.h"

#include <array>
#include <cstring>

#include "lex/section_format.h"

namespace orth {

namespace {

struct Choice {
  int64_t cost = SPELLING_IMPOSSIBLE;
  int32_t token = -1;  // -1: the character alone
};

// Codes a character costs on its own: 1 for a letter of the stream, 2 for an
// accent, 0 for one that needs a token. Built once; the spelling runs for
// every word many times while tokens are chosen.
constexpr std::array<uint8_t, 256> BuildStreamCost() {
  std::array<uint8_t, 256> cost{};
  for (int c = 1; c < 256; ++c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    cost[c] = LetterStreamCode(byte) >= 0 ? 1 : (AccentStreamCode(byte) >= 0 ? 2 : 0);
  }
  return cost;
}
constexpr std::array<uint8_t, 256> STREAM_COST = BuildStreamCost();

// Words have at most 31 characters; longer text takes the heap.
constexpr size_t INLINE_CHOICES = 64;

// best[i]: the cheapest spelling of text[i..] and its first step.
void FillChoices(std::string_view text, const TokenList& tokens, int64_t missingCost,
                 Choice* best) {
  const size_t n = text.size();
  const char* chars = text.data();
  best[n] = Choice{0, -1};
  for (size_t i = n; i-- > 0;) {
    Choice choice;
    const int64_t single = CharacterCost(static_cast<unsigned char>(chars[i]), missingCost);
    if (single < SPELLING_IMPOSSIBLE && best[i + 1].cost < SPELLING_IMPOSSIBLE) {
      choice.cost = single + best[i + 1].cost;
    }
    for (size_t t = 0; t < tokens.size(); ++t) {
      const std::string& token = tokens[t];
      if (token.empty() || token[0] != chars[i] || token.size() > n - i) continue;
      if (std::memcmp(token.data(), chars + i, token.size()) != 0) continue;
      const int64_t rest = best[i + token.size()].cost;
      if (rest < SPELLING_IMPOSSIBLE && 2 + rest < choice.cost) {
        choice.cost = 2 + rest;
        choice.token = static_cast<int32_t>(t);
      }
    }
    best[i] = choice;
  }
}

// Runs FillChoices in a buffer on the stack when the text is short enough.
template <typename Use>
auto WithChoices(std::string_view text, const TokenList& tokens, int64_t missingCost, Use use) {
  if (text.size() < INLINE_CHOICES) {
    std::array<Choice, INLINE_CHOICES> best;
    FillChoices(text, tokens, missingCost, best.data());
    return use(best.data());
  }
  std::vector<Choice> best(text.size() + 1);
  FillChoices(text, tokens, missingCost, best.data());
  return use(best.data());
}

}  // namespace

bool IsStreamCharacter(unsigned char c) {
  return STREAM_COST[c] != 0;
}

int64_t CharacterCost(unsigned char c, int64_t missingCost) {
  const uint8_t cost = STREAM_COST[c];
  return cost != 0 ? cost : missingCost;
}

int64_t SpellingCost(std::string_view text, const TokenList& tokens, int64_t missingCost) {
  return WithChoices(text, tokens, missingCost, [](const Choice* best) { return best[0].cost; });
}

bool AppendSpelling(std::string_view text, const TokenList& tokens, std::vector<uint8_t>& codes) {
  return WithChoices(text, tokens, SPELLING_IMPOSSIBLE, [&](const Choice* best) {
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
  });
}

}  // namespace orth
