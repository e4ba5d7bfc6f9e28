// Measures and tunes the ranked suggester on misspelling pairs.
//
//   rank_tune DICTIONARY.olx PAIRS [--half tune|report|all] [--misses] [--tune]
//
// PAIRS holds "wrong<TAB>right" lines. The tuning half is the pairs on even
// lines (counting from 0), the report half those on odd lines, so weights
// tuned on one half are judged on pairs they never saw. --misses prints the
// pairs whose correction is not first; --tune searches the weights one at a
// time for the best top-1 (then top-5) on the chosen half and prints them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orth.h"
#include "phonetic/phonetic_key.h"
#include "session/session_table.h"
#include "suggest/ranked_suggest.h"

namespace {

struct Pair {
  std::string wrong, right;
};

std::vector<Pair> ReadPairs(const char* path, const std::string& half) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Pair> pairs;
  std::string line;
  for (size_t n = 0; std::getline(in, line); ++n) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    if ((half == "tune" && n % 2 != 0) || (half == "report" && n % 2 == 0)) continue;
    pairs.push_back({line.substr(0, tab), line.substr(tab + 1)});
  }
  return pairs;
}

struct Score {
  int top1 = 0, top5 = 0, top10 = 0;
  double seconds = 0;
  double Objective() const { return top1 + 0.5 * top5 + 0.1 * top10; }
};

Score Evaluate(const orth::RankModel& model, orth::Session& session, const std::vector<Pair>& pairs,
               bool misses) {
  Score score;
  char buffer[1024];
  int32_t scores[10];
  const auto start = std::chrono::steady_clock::now();
  for (const Pair& pair : pairs) {
    orth::SuggestRankedWith(model, session, pair.wrong.c_str(), buffer, sizeof buffer, scores, 10);
    int rank = 0;
    int found = -1;
    std::string shown;
    for (const char* at = buffer; *at != '\0'; at += std::strlen(at) + 1, ++rank) {
      if (found < 0 && pair.right == at) found = rank;
      if (misses) shown += std::string(at) + " " + std::to_string(scores[rank]) + ", ";
    }
    if (found == 0) ++score.top1;
    if (found >= 0 && found < 5) ++score.top5;
    if (found >= 0) ++score.top10;
    if (misses && found != 0) {
      std::printf("%s -> %s (%d): %s\n", pair.wrong.c_str(), pair.right.c_str(), found,
                  shown.c_str());
    }
  }
  score.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return score;
}

void Print(const char* label, const Score& score, size_t n) {
  std::printf("%s: top1 %.1f%% top5 %.1f%% top10 %.1f%% (%zu pairs, %.3f ms/word)\n", label,
              100.0 * score.top1 / n, 100.0 * score.top5 / n, 100.0 * score.top10 / n, n,
              1e3 * score.seconds / n);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: rank_tune DICTIONARY.olx PAIRS [--half H] [--misses] [--tune]\n");
    return 2;
  }
  std::string half = "all";
  bool misses = false, tune = false;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--half") == 0 && i + 1 < argc) {
      half = argv[++i];
    } else if (std::strcmp(argv[i], "--misses") == 0) {
      misses = true;
    } else if (std::strcmp(argv[i], "--tune") == 0) {
      tune = true;
    }
  }
  const int32_t id = ORTH_OpenSession();
  if (id < 0 || ORTH_OpenLex(id, argv[1], -1) < 0) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  orth::Session& session = *orth::FindSession(id);
  const std::vector<Pair> pairs = ReadPairs(argv[2], half);

  orth::EditCosts costs;
  orth::RankWeights weights;
  if (const char* limit = std::getenv("RANK_LIMIT")) weights.limit = std::atoi(limit);
  if (const char* reach = std::getenv("RANK_FIRST")) weights.firstReach = std::atoi(reach);
  if (const char* widen = std::getenv("RANK_WIDEN")) weights.widenAbove = std::atoi(widen);
  if (const char* less = std::getenv("RANK_LESS_COMMON")) weights.lessCommon = std::atoi(less);
  if (const char* unlisted = std::getenv("RANK_UNLISTED")) weights.unlisted = std::atoi(unlisted);
  if (const char* sound = std::getenv("RANK_SAME_SOUND")) weights.sameSound = std::atoi(sound);
  if (const char* part = std::getenv("RANK_COMMON_PART")) weights.commonPart = std::atoi(part);
  auto model = std::make_unique<orth::RankModel>();
  orth::BuildRankModel(costs, weights, *model);
  if (std::getenv("RANK_STATS") != nullptr) {
    // The model's distance of each intended word, and whether its phonetic key agrees.
    int buckets[8] = {};
    int sameKeyFar = 0;
    for (const Pair& pair : pairs) {
      orth::TypedWord typed;
      orth::PrepareTypedWord(model->edit, pair.wrong.c_str(), typed);
      const uint16_t distance = orth::EditDistance(
          model->edit, typed, reinterpret_cast<const unsigned char*>(pair.right.c_str()),
          pair.right.size());
      ++buckets[std::min(7, distance / 50)];
      char a[40], b[40];
      orth::PhoneticKey(pair.wrong.c_str(), a, sizeof a);
      orth::PhoneticKey(pair.right.c_str(), b, sizeof b);
      if (distance > 200 && std::strcmp(a, b) == 0) ++sameKeyFar;
    }
    for (int i = 0; i < 8; ++i)
      std::printf("distance %d..%d: %d\n", i * 50, i * 50 + 49, buckets[i]);
    std::printf("beyond 200 with the same key: %d\n", sameKeyFar);
  }
  Score best = Evaluate(*model, session, pairs, misses && !tune);
  Print("default", best, pairs.size());
  if (!tune) return 0;

  std::vector<std::pair<const char*, uint16_t*>> knobs = {
      {"accent", &costs.accent},           {"vowel", &costs.vowel},
      {"keyboard", &costs.keyboard},       {"sound", &costs.sound},
      {"doubled", &costs.doubled},         {"missingVowel", &costs.missingVowel},
      {"strayKey", &costs.strayKey},       {"transpose", &costs.transpose},
      {"firstLetter", &costs.firstLetter}, {"sameSound", &weights.sameSound},
      {"lessCommon", &weights.lessCommon}, {"unlisted", &weights.unlisted},
      {"split", &weights.split},           {"shortSplitPart", &weights.shortSplitPart},
      {"limitBase", &weights.limitBase},   {"limitPerLetter", &weights.limitPerLetter},
  };
  for (int round = 0; round < 3; ++round) {
    bool improved = false;
    for (auto& [name, knob] : knobs) {
      for (const int step : {-20, -10, 10, 20}) {
        const uint16_t kept = *knob;
        if (kept + step < 0) continue;
        *knob = static_cast<uint16_t>(kept + step);
        orth::BuildRankModel(costs, weights, *model);
        const Score trial = Evaluate(*model, session, pairs, false);
        if (trial.Objective() > best.Objective()) {
          best = trial;
          improved = true;
          std::printf("%s = %u: ", name, *knob);
          Print("better", best, pairs.size());
          std::fflush(stdout);
        } else {
          *knob = kept;
        }
      }
    }
    if (!improved) break;
  }
  std::printf("weights:");
  for (auto& [name, knob] : knobs) std::printf(" %s=%u", name, *knob);
  std::printf("\n");
  return 0;
}
