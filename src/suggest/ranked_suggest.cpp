#include "suggest/ranked_suggest.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "lex/commonness_file.h"
#include "lex/lex_slot.h"
#include "phonetic/phonetic_key.h"
#include "session/session_table.h"
#include "suggest/candidate_list.h"
#include "suggest/near_words.h"
#include "suggest/rank_index.h"
#include "suggest/suggest_search.h"
#include "text/normalize.h"

namespace orth {

namespace {

// How a candidate came: the order of the kinds goes before the cost.
enum class RankedKind : uint8_t { Exact = 0, Replacement = 1, Near = 2 };

struct RankedCandidate {
  char word[WORD_MAX + 2];  // a split word may be one longer than a word
  RankedKind kind;
  uint8_t grade;  // commonness, COMMONNESS_UNKNOWN when nothing is known
  uint32_t cost;
};

// Everything one call works on.
struct RankedSearch {
  const RankModel& model;
  const char* typed;  // normalised
  TypedWord prepared;
  uint16_t limit;  // the largest distance a candidate may have
  char typedKey[WORD_MAX + 1];
  std::vector<RankedCandidate> found;
};

void Add(RankedSearch& search, const char* word, size_t length, RankedKind kind, uint8_t grade,
         uint32_t cost) {
  RankedCandidate candidate{};
  length = std::min<size_t>(length, WORD_MAX + 1);
  std::memcpy(candidate.word, word, length);
  candidate.kind = kind;
  candidate.grade = grade;
  candidate.cost = cost;
  search.found.push_back(candidate);
}

// What being less common costs a word of this grade.
uint32_t CommonnessCost(const RankWeights& weights, uint8_t grade) {
  if (grade == COMMONNESS_UNKNOWN || grade == COMMONNESS_MOST_COMMON) return 0;
  if (grade == COMMONNESS_UNLISTED) return weights.unlisted;
  return uint32_t{weights.lessCommon} * (grade - COMMONNESS_MOST_COMMON);
}

// The ranking cost of a dictionary word at `distance` from the typed word.
uint32_t WordCost(const RankedSearch& search, const char* word, uint16_t distance, uint8_t grade) {
  const RankWeights& weights = search.model.weights;
  uint32_t cost = distance + CommonnessCost(weights, grade);
  char key[RANK_WORD_MAX + 1];
  PhoneticKey(word, key, sizeof key);
  if (std::strcmp(key, search.typedKey) == 0) cost -= std::min<uint32_t>(cost, weights.sameSound);
  return std::max<uint32_t>(cost, 1);
}

// Adds a word at `distance` from the typed word: the typed word itself when
// the distance is 0, else a near word at its ranking cost (computed on
// `lookup`, its look-up form). Returns that cost (0 for the word itself).
uint32_t AddWordAt(RankedSearch& search, const char* word, size_t length, const char* lookup,
                   uint16_t distance, uint8_t grade) {
  if (distance == 0) {
    Add(search, word, length, RankedKind::Exact, grade, 0);
    return 0;
  }
  const uint32_t cost = WordCost(search, lookup, distance, grade);
  Add(search, word, length, RankedKind::Near, grade, cost);
  return cost;
}

// Takes the words of the distance search, and lowers its limit once enough
// words are known: a word at distance D costs at least D - sameSound, so
// when `kept` costs are known, one farther than the largest of them plus
// sameSound can never be among the best.
struct NearWordTaker {
  RankedSearch& search;
  std::vector<uint32_t>& bestCosts;  // a max-heap of the smallest costs seen
  size_t kept;
};

uint16_t TakeNearWord(void* context, const NearWord& hit) {
  auto& taker = *static_cast<NearWordTaker*>(context);
  RankedSearch& search = taker.search;
  const uint32_t cost =
      AddWordAt(search, hit.word, std::strlen(hit.word), hit.word, hit.distance, hit.grade);
  std::vector<uint32_t>& best = taker.bestCosts;
  const uint16_t limit = search.limit;
  if (taker.kept == 0) return limit;
  if (best.size() < taker.kept) {
    best.push_back(cost);
    std::push_heap(best.begin(), best.end());
  } else if (cost < best.front()) {
    std::pop_heap(best.begin(), best.end());
    best.back() = cost;
    std::push_heap(best.begin(), best.end());
  }
  if (best.size() < taker.kept) return limit;
  return static_cast<uint16_t>(
      std::min<uint32_t>(limit, best.front() + search.model.weights.sameSound));
}

// `kept`: how many of the best costs decide the limit (0: never lowered).
void AddNearWords(RankedSearch& search, const RankIndex& index, std::vector<uint32_t>& bestCosts,
                  size_t kept) {
  NearWordTaker taker{search, bestCosts, kept};
  FindNearWords(index, search.model.edit, search.prepared, search.limit,
                NearWordSink{&taker, TakeNearWord});
}

// A dictionary without an index (it could not be read whole): the classic
// search's candidates, ranked by the model.
void AddClassicCandidates(RankedSearch& search, CompressedLex& lex) {
  CandidateList classic = CreateCandidateList(64);
  SuggestFromCompressedLex(lex, SUGGEST_LEVEL_AUTO, search.typed, classic);
  for (const Candidate& entry : classic.entries) {
    const size_t length = std::strlen(entry.word);
    const uint16_t distance =
        EditDistance(search.model.edit, search.prepared,
                     reinterpret_cast<const unsigned char*>(entry.word), length);
    if (distance <= search.limit) {
      AddWordAt(search, entry.word, length, entry.word, distance, COMMONNESS_UNKNOWN);
    }
  }
}

// A user's word list: its words like dictionary words (counted as common:
// the user put them there), its replacement of the typed word first.
void AddTextLexCandidates(RankedSearch& search, const TextLex& lex) {
  if (lex.type == LEX_TYPE_ACCEPT) {
    char normalized[WORD_MAX + 1];
    for (uint32_t i = 0; i < lex.count; ++i) {
      const char* entry = lex.WordAt(i);
      const int32_t length = NormalizeWord(entry, normalized);
      if (length == 0) continue;
      const uint16_t distance =
          EditDistance(search.model.edit, search.prepared,
                       reinterpret_cast<const unsigned char*>(normalized), length);
      if (distance <= search.limit) {
        AddWordAt(search, entry, std::strlen(entry), normalized, distance, COMMONNESS_MOST_COMMON);
      }
    }
    return;
  }
  if ((lex.type != LEX_TYPE_CHANGE && lex.type != LEX_TYPE_SUGGEST) || !lex.HasOthers()) return;
  const int32_t position = SearchTextLex(lex, search.typed);
  if (position < 0) return;
  const char* other = lex.OtherAt(static_cast<uint32_t>(position));
  if (other[0] != '\0') {
    Add(search, other, std::strlen(other), RankedKind::Replacement, COMMONNESS_MOST_COMMON, 0);
  }
}

// How common a part of a split word is: its best known grade in the
// session's dictionaries and Accept lists (COMMONNESS_UNKNOWN when only
// lexicons without grades hold it), or -1 when none holds it.
int32_t PartGrade(Session& session, const char* part) {
  bool held = false;
  int32_t best = COMMONNESS_UNLISTED + 1;  // no known grade yet
  for (const std::unique_ptr<LexSlot>& slot : session.lexicons) {
    if (!slot || !OffersSuggestions(*slot)) continue;
    if (slot->format == LEX_FORMAT_COMPRESSED && slot->compressed) {
      const RankIndex* index = RankIndexOf(*slot->compressed, slot->fileName);
      if (index == nullptr) continue;
      const RankNode* node = FindInRankIndex(*index, part);
      if (node == nullptr) continue;
      held = true;
      if (index->hasGrades && node->grade != COMMONNESS_UNKNOWN) {
        best = std::min<int32_t>(best, node->grade);
      }
    } else if (slot->format == LEX_FORMAT_TEXT && slot->text &&
               slot->text->type == LEX_TYPE_ACCEPT && SearchTextLex(*slot->text, part) >= 0) {
      held = true;
      best = COMMONNESS_MOST_COMMON;
    }
  }
  if (!held) return -1;
  return best <= COMMONNESS_UNLISTED ? best : COMMONNESS_UNKNOWN;
}

// Whether a part may stand in a split word: a word the session knows that is
// among the most common (of tier weights.commonPart or better) when
// commonness is known, and of three letters or more when it is not.
bool IsCommonPart(const RankWeights& weights, int32_t grade, size_t length) {
  if (grade < 0) return false;
  if (grade == COMMONNESS_UNKNOWN) return length >= 3;
  return grade <= weights.commonPart;
}

void AddSplitWords(RankedSearch& search, Session& session) {
  const RankWeights& weights = search.model.weights;
  const size_t length = std::strlen(search.typed);
  char first[WORD_MAX + 1];
  char joined[WORD_MAX + 2];
  for (size_t cut = 1; cut < length; ++cut) {
    std::memcpy(first, search.typed, cut);
    first[cut] = '\0';
    const char* second = search.typed + cut;
    const size_t secondLength = length - cut;
    if (!IsCommonPart(weights, PartGrade(session, first), cut) ||
        !IsCommonPart(weights, PartGrade(session, second), secondLength)) {
      continue;
    }
    uint32_t cost = weights.split;
    if (cut <= 2) cost += weights.shortSplitPart;
    if (secondLength <= 2) cost += weights.shortSplitPart;
    std::memcpy(joined, search.typed, cut);
    joined[cut] = ' ';
    std::memcpy(joined + cut + 1, second, secondLength + 1);
    Add(search, joined, length + 1, RankedKind::Near, COMMONNESS_MOST_COMMON, cost);
  }
}

// Candidates from every lexicon of the session, in slot order, within the
// search's limit.
void GatherCandidates(RankedSearch& search, Session& session, std::vector<uint32_t>& bestCosts,
                      size_t kept) {
  char scratch[WORD_MAX + 1];
  for (const std::unique_ptr<LexSlot>& slot : session.lexicons) {
    if (!slot) continue;
    if (!OffersSuggestions(*slot)) {
      // A check-only list offers nothing but the typed word itself.
      if (LookupInLexSlot(*slot, search.typed, scratch, sizeof scratch) == 0) {
        Add(search, search.typed, std::strlen(search.typed), RankedKind::Exact, COMMONNESS_UNKNOWN,
            0);
      }
      continue;
    }
    if (slot->format == LEX_FORMAT_COMPRESSED && slot->compressed) {
      const RankIndex* index = RankIndexOf(*slot->compressed, slot->fileName);
      if (index != nullptr) {
        AddNearWords(search, *index, bestCosts, kept);
      } else {
        AddClassicCandidates(search, *slot->compressed);
      }
    } else if (slot->format == LEX_FORMAT_TEXT && slot->text) {
      AddTextLexCandidates(search, *slot->text);
    }
  }
}

// The cost of the best candidate found: 0 for the typed word itself or a
// replacement.
// The lowest cost among the words found, leaving out what commonness adds:
// whether a near look found something good depends on how near it is, not on
// how common the words of the dictionary are.
uint32_t BestCost(const RankedSearch& search) {
  uint32_t best = UINT32_MAX;
  for (const RankedCandidate& candidate : search.found) {
    uint32_t cost = 0;
    if (candidate.kind == RankedKind::Near) {
      cost = candidate.cost -
             std::min(candidate.cost, CommonnessCost(search.model.weights, candidate.grade));
    }
    best = std::min(best, cost);
  }
  return best;
}

// Best first: the typed word itself, replacements, then by cost; among
// equals the more common word, then byte order, so the answer never depends
// on the order of the search.
bool RanksBefore(const RankedCandidate& a, const RankedCandidate& b) {
  if (a.kind != b.kind) return a.kind < b.kind;
  if (a.cost != b.cost) return a.cost < b.cost;
  const uint8_t aGrade = a.grade == COMMONNESS_UNKNOWN ? COMMONNESS_MOST_COMMON : a.grade;
  const uint8_t bGrade = b.grade == COMMONNESS_UNKNOWN ? COMMONNESS_MOST_COMMON : b.grade;
  if (aGrade != bGrade) return aGrade < bGrade;
  return std::strcmp(a.word, b.word) < 0;
}

// The largest distance worth searching for a word: shorter words allow less,
// or everything would be a correction of a one-letter word.
uint16_t DistanceLimit(const RankWeights& weights, const char* typed) {
  const uint32_t byLength =
      weights.limitBase + uint32_t{weights.limitPerLetter} * std::strlen(typed);
  return static_cast<uint16_t>(std::min<uint32_t>(weights.limit, byLength));
}

int32_t ScoreOf(const RankedCandidate& candidate) {
  switch (candidate.kind) {
    case RankedKind::Exact:
      return RANKED_EXACT_SCORE;
    case RankedKind::Replacement:
      return RANKED_REPLACEMENT_SCORE;
    case RankedKind::Near:
      break;
  }
  const int64_t score = RANKED_BEST_OTHER_SCORE - static_cast<int64_t>(candidate.cost) / 4;
  return static_cast<int32_t>(std::clamp<int64_t>(score, 1, RANKED_BEST_OTHER_SCORE));
}

}  // namespace

void BuildRankModel(const EditCosts& costs, const RankWeights& weights, RankModel& model) {
  BuildEditModel(costs, model.edit);
  model.weights = weights;
}

const RankModel& DefaultRankModel() {
  static const RankModel* const model = [] {
    auto* built = new RankModel;
    BuildRankModel(EditCosts{}, RankWeights{}, *built);
    return built;
  }();
  return *model;
}

int32_t SuggestRanked(Session& session, const char* word, char* buffer, uint32_t bufferSize,
                      int32_t* scores, int32_t maxCount) {
  return SuggestRankedWith(DefaultRankModel(), session, word, buffer, bufferSize, scores, maxCount);
}

int32_t SuggestRankedWith(const RankModel& model, Session& session, const char* word, char* buffer,
                          uint32_t bufferSize, int32_t* scores, int32_t maxCount) {
  if (word == nullptr) word = "";
  if (buffer == nullptr) bufferSize = 0;
  if (bufferSize > 0) buffer[0] = '\0';

  char normalized[WORD_MAX + 1] = {};
  if (NormalizeWord(word, normalized) == 0) return 0;
  if (maxCount < 0) return ERR_NO_MEMORY;

  RankedSearch search{model, normalized, {}, DistanceLimit(model.weights, normalized), {}, {}};
  PrepareTypedWord(model.edit, normalized, search.prepared);
  PhoneticKey(normalized, search.typedKey, sizeof search.typedKey);

  // Each dictionary holds a word at most once, so among the best
  // maxCount x dictionaries costs there are maxCount different words.
  size_t dictionaries = 0;
  for (const std::unique_ptr<LexSlot>& slot : session.lexicons) {
    if (slot && OffersSuggestions(*slot) && slot->format == LEX_FORMAT_COMPRESSED &&
        slot->compressed) {
      ++dictionaries;
    }
  }
  std::vector<uint32_t> bestCosts;
  const size_t kept = static_cast<size_t>(maxCount) * dictionaries;
  bestCosts.reserve(std::min<size_t>(kept, 1024));

  // A near look first; the whole reach only when it found nothing good.
  const uint16_t reach = search.limit;
  search.limit = std::min(reach, model.weights.firstReach);
  GatherCandidates(search, session, bestCosts, kept);
  if (search.limit < reach && BestCost(search) > model.weights.widenAbove) {
    search.found.clear();
    bestCosts.clear();
    search.limit = reach;
    GatherCandidates(search, session, bestCosts, kept);
  }
  AddSplitWords(search, session);

  std::sort(search.found.begin(), search.found.end(), RanksBefore);
  CandidateList list = CreateCandidateList(static_cast<uint32_t>(maxCount));
  for (const RankedCandidate& candidate : search.found) {
    if (list.entries.size() >= list.capacity) break;
    OfferCandidate(list, candidate.word, ScoreOf(candidate));
  }
  return WriteSuggestions(list, word, buffer, bufferSize, scores, &session);
}

}  // namespace orth
