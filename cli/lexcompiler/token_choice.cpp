#include "lexcompiler/token_choice.h"

#include <algorithm>
#include <queue>
#include <string_view>
#include <unordered_map>

#include "lex/section_format.h"
#include "lexcompiler/section_encoder.h"

namespace orth {

namespace {

// What a character costs that only a token can spell: more than any number
// of codes a token could save, so covering words comes first.
constexpr int64_t MISSING_COST = 1'000'000;
// A string is counted only when the string one shorter occurred this often.
constexpr int64_t MIN_PREFIX_COUNT = 3;
// Candidates examined exactly: those holding a character only a token
// spells, and the others.
constexpr size_t MISSING_POOL = 256;
constexpr size_t PLAIN_POOL = 512;

// The part of each section word that its record spells for it.
std::vector<std::string> CollectFragments(const LexLayout& layout) {
  std::vector<std::string> fragments;
  for (const SectionWords& section : layout.sections) {
    std::string previous;
    for (const std::string& word : section.words) {
      if (!previous.empty() &&
          previous[SECTION_PREFIX_LENGTH - 1] != word[SECTION_PREFIX_LENGTH - 1]) {
        previous.clear();  // a new record
      }
      const size_t start = SharedStart(previous, word);
      if (start < word.size()) fragments.push_back(word.substr(start));
      previous = word;
    }
  }
  return fragments;
}

struct Candidate {
  std::string_view text;
  int64_t estimate = 0;        // occurrences x codes saved by each: never below the real saving
  std::vector<uint32_t> uses;  // fragments that contain it
};

bool HoldsMissingCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return !IsStreamCharacter(static_cast<unsigned char>(c)); });
}

// Counts the substrings of 1..TOKEN_MAX characters, a longer one only when
// its prefix one shorter is frequent, and keeps the most promising.
std::vector<Candidate> FindCandidates(const std::vector<std::string>& fragments) {
  std::vector<std::unordered_map<std::string_view, int64_t>> counts(TOKEN_MAX + 1);
  for (size_t length = 1; length <= static_cast<size_t>(TOKEN_MAX); ++length) {
    for (const std::string& fragment : fragments) {
      const std::string_view text(fragment);
      for (size_t i = 0; i + length <= text.size(); ++i) {
        const std::string_view piece = text.substr(i, length);
        if (length > 1) {
          const auto prefix = counts[length - 1].find(piece.substr(0, length - 1));
          if (prefix == counts[length - 1].end() || prefix->second < MIN_PREFIX_COUNT) continue;
        }
        ++counts[length][piece];
      }
    }
    if (counts[length].empty()) break;
  }

  std::vector<Candidate> missing;
  std::vector<Candidate> plain;
  const TokenList none;
  for (size_t length = 1; length < counts.size(); ++length) {
    for (const auto& [piece, count] : counts[length]) {
      const bool holdsMissing = HoldsMissingCharacter(piece);
      if (length == 1 && !holdsMissing) continue;  // a token of one letter or accent saves nothing
      const int64_t saving = SpellingCost(piece, none, MISSING_COST) - 2;
      if (saving <= 0) continue;
      (holdsMissing ? missing : plain).push_back({piece, count * saving, {}});
    }
  }
  auto keepBest = [](std::vector<Candidate>& list, size_t keep) {
    std::sort(list.begin(), list.end(), [](const Candidate& a, const Candidate& b) {
      if (a.estimate != b.estimate) return a.estimate > b.estimate;
      return a.text < b.text;
    });
    if (list.size() > keep) list.resize(keep);
  };
  keepBest(missing, MISSING_POOL);
  keepBest(plain, PLAIN_POOL);
  missing.insert(missing.end(), std::make_move_iterator(plain.begin()),
                 std::make_move_iterator(plain.end()));
  return missing;
}

void FindUses(const std::vector<std::string>& fragments, std::vector<Candidate>& candidates) {
  std::unordered_map<std::string_view, size_t> index;
  for (size_t c = 0; c < candidates.size(); ++c) index.emplace(candidates[c].text, c);
  for (uint32_t f = 0; f < fragments.size(); ++f) {
    const std::string_view text(fragments[f]);
    for (size_t i = 0; i < text.size(); ++i) {
      for (size_t length = 1; length <= static_cast<size_t>(TOKEN_MAX) && i + length <= text.size();
           ++length) {
        const auto found = index.find(text.substr(i, length));
        if (found == index.end()) continue;
        std::vector<uint32_t>& uses = candidates[found->second].uses;
        if (uses.empty() || uses.back() != f) uses.push_back(f);
      }
    }
  }
}

struct Bound {
  int64_t gain;
  size_t candidate;
  size_t round;  // the number of tokens chosen when the gain was computed
};

bool operator<(const Bound& a, const Bound& b) {
  if (a.gain != b.gain) return a.gain < b.gain;
  return a.candidate > b.candidate;  // the earlier candidate first on equal gains
}

}  // namespace

TokenList ChooseTokens(const LexLayout& layout) {
  const std::vector<std::string> fragments = CollectFragments(layout);
  std::vector<Candidate> candidates = FindCandidates(fragments);
  FindUses(fragments, candidates);

  TokenList chosen;
  std::vector<int64_t> cost(fragments.size());
  for (size_t f = 0; f < fragments.size(); ++f) {
    cost[f] = SpellingCost(fragments[f], chosen, MISSING_COST);
  }

  // Greedy choice with lazily refreshed gains: a gain computed before the
  // latest choice is an estimate; a refreshed gain that still leads wins.
  std::priority_queue<Bound> queue;
  for (size_t c = 0; c < candidates.size(); ++c) queue.push({candidates[c].estimate, c, SIZE_MAX});
  while (chosen.size() < static_cast<size_t>(MAX_TOKENS) && !queue.empty()) {
    const Bound top = queue.top();
    queue.pop();
    if (top.gain <= 0) break;
    const Candidate& candidate = candidates[top.candidate];
    if (top.round == chosen.size()) {
      chosen.emplace_back(candidate.text);
      for (const uint32_t f : candidate.uses) {
        cost[f] = SpellingCost(fragments[f], chosen, MISSING_COST);
      }
      continue;
    }
    TokenList trial = chosen;
    trial.emplace_back(candidate.text);
    int64_t gain = 0;
    for (const uint32_t f : candidate.uses) {
      gain += cost[f] - SpellingCost(fragments[f], trial, MISSING_COST);
    }
    queue.push({gain, top.candidate, chosen.size()});
  }
  return chosen;
}

void DropUnspellableWords(LexLayout& layout, const TokenList& tokens, CompileSummary& summary) {
  for (SectionWords& section : layout.sections) {
    const auto unspellable = [&tokens](const std::string& word) {
      return SpellingCost(std::string_view(word).substr(SECTION_PREFIX_LENGTH), tokens) >=
             SPELLING_IMPOSSIBLE;
    };
    const auto last = std::remove_if(section.words.begin(), section.words.end(), unspellable);
    summary.Skip(SkipReason::NoTokenForCharacter,
                 static_cast<uint64_t>(section.words.end() - last));
    section.words.erase(last, section.words.end());
  }
  std::erase_if(layout.sections, [](const SectionWords& section) { return section.words.empty(); });
}

}  // namespace orth
