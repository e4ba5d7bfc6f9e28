// Micro-benchmarks of the engine's hot paths on the bundled English
// dictionary: the word check of common and of long-tail words, a section
// decode (plain and from the word index), ScoreSimilarity, a suggestion at
// each level and a phonetic search.
//
//   hot_paths_bench [--benchmark_... flags]
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>

#include "lex/compressed_lex.h"
#include "lex/section_cache.h"
#include "lex/section_decoder.h"
#include "lex/section_word_index.h"
#include "orth.h"
#include "suggest/rank_index.h"
#include "suggest/similarity.h"

namespace {

constexpr const char* kDictionary = ORTH_BENCH_DICTIONARY;

constexpr std::array<const char*, 16> kCommon = {"the",   "of",   "and",    "to",  "in",   "is",
                                                 "that",  "for",  "with",   "as",  "this", "are",
                                                 "which", "from", "system", "file"};
constexpr std::array<const char*, 16> kLongTail = {
    "conscientiousness", "quarterbacking",    "unobtrusively",        "xylophonists",
    "zealousness",       "photosynthesizing", "circumnavigated",      "bewilderment",
    "idiosyncrasies",    "juxtaposition",     "counterrevolutionary", "hemoglobin",
    "ombudsman",         "sesquicentennial",  "kaleidoscopic",        "wholeheartedly"};
constexpr std::array<const char*, 8> kMisspellings = {
    "teh", "recieve", "seperate", "wich", "goverment", "thier", "writting", "acomodate"};

int32_t Session() {
  static int32_t session = [] {
    const int32_t s = ORTH_OpenSession();
    if (s < 0 || ORTH_OpenLex(s, kDictionary, -1) < 0) {
      std::fprintf(stderr, "cannot open %s\n", kDictionary);
      std::abort();
    }
    return s;
  }();
  return session;
}

template <size_t N>
void CheckWords(benchmark::State& state, const std::array<const char*, N>& words) {
  const int32_t s = Session();
  for (auto _ : state) {
    for (const char* word : words) {
      benchmark::DoNotOptimize(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, word, nullptr, 0));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * N));
}
void BM_CheckCommon(benchmark::State& state) {
  CheckWords(state, kCommon);
}
void BM_CheckLongTail(benchmark::State& state) {
  CheckWords(state, kLongTail);
}
BENCHMARK(BM_CheckCommon);
BENCHMARK(BM_CheckLongTail);

int32_t CountWord(const char*, const char*) {
  return 1;
}

// The largest section of the dictionary, resident and (argument 1) indexed.
void BM_DecodeLargestSection(benchmark::State& state) {
  std::unique_ptr<orth::CompressedLex> lex;
  if (orth::OpenCompressedLex(kDictionary, -1, lex) != 0) state.SkipWithError("open failed");
  int32_t largest = -1;
  for (int32_t p = 0; p < orth::SECTION_INDEX_SIZE; ++p) {
    if (lex->sections[p] &&
        (largest < 0 || lex->sections[p]->size > lex->sections[largest]->size)) {
      largest = p;
    }
  }
  lex->indexSections = state.range(0) != 0;
  orth::LoadSection(*lex, largest);
  orth::LoadSection(*lex, largest);
  const orth::LexSection& section = *lex->sections[largest];
  for (auto _ : state) {
    benchmark::DoNotOptimize(orth::DecodeSection(section, "", false, CountWord, lex->tokens));
  }
  state.counters["bytes"] = section.size;
  state.counters["index_bytes"] =
      section.wordIndex ? static_cast<double>(section.wordIndex->Bytes()) : 0.0;
}
BENCHMARK(BM_DecodeLargestSection)->Arg(0)->Arg(1);

// Every section made resident and indexed, from a fresh open: the one-time
// cost of the word indexes and the memory they take.
void BM_IndexWholeDictionary(benchmark::State& state) {
  uint64_t indexBytes = 0;
  uint64_t dataBytes = 0;
  for (auto _ : state) {
    std::unique_ptr<orth::CompressedLex> lex;
    if (orth::OpenCompressedLex(kDictionary, -1, lex) != 0) state.SkipWithError("open failed");
    dataBytes = 0;
    for (int32_t p = 0; p < orth::SECTION_INDEX_SIZE; ++p) {
      if (!lex->sections[p]) continue;
      orth::LoadSection(*lex, p);
      orth::LoadSection(*lex, p);
      dataBytes += lex->sections[p]->size;
    }
    indexBytes = lex->wordIndexBytes;
  }
  state.counters["section_bytes"] = static_cast<double>(dataBytes);
  state.counters["index_bytes"] = static_cast<double>(indexBytes);
}
BENCHMARK(BM_IndexWholeDictionary)->Unit(benchmark::kMillisecond);

void BM_ScoreSimilarity(benchmark::State& state) {
  static const char* const candidates[] = {"receive", "relieve",  "recipe",  "deceive",
                                           "reciter", "receiver", "recital", "revive"};
  for (auto _ : state) {
    for (const char* candidate : candidates) {
      benchmark::DoNotOptimize(orth::ScoreSimilarity("recieve", candidate));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * std::size(candidates)));
}
BENCHMARK(BM_ScoreSimilarity);

// One suggestion per misspelling at level state.range(0) (-1 automatic).
void BM_Suggest(benchmark::State& state) {
  const int32_t s = Session();
  const int32_t level = static_cast<int32_t>(state.range(0));
  char buffer[512];
  int32_t scores[10];
  for (auto _ : state) {
    for (const char* word : kMisspellings) {
      benchmark::DoNotOptimize(ORTH_Suggest(s, word, level, buffer, sizeof buffer, scores, 10));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kMisspellings.size()));
}
BENCHMARK(BM_Suggest)->Arg(-1)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// The ranked suggester's letter tree of the whole dictionary, from a fresh
// open: its one-time cost and the memory it keeps.
void BM_BuildRankIndex(benchmark::State& state) {
  uint64_t bytes = 0;
  uint64_t nodes = 0;
  for (auto _ : state) {
    std::unique_ptr<orth::CompressedLex> lex;
    if (orth::OpenCompressedLex(kDictionary, -1, lex) != 0) state.SkipWithError("open failed");
    const std::unique_ptr<orth::RankIndex> index = orth::BuildRankIndex(*lex, kDictionary);
    if (index == nullptr) state.SkipWithError("index failed");
    bytes = index->Bytes();
    nodes = index->nodes.size();
  }
  state.counters["index_bytes"] = static_cast<double>(bytes);
  state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(BM_BuildRankIndex)->Unit(benchmark::kMillisecond);

// One ranked suggestion per misspelling (the index built before timing).
void BM_SuggestRanked(benchmark::State& state) {
  const int32_t s = Session();
  char buffer[512];
  int32_t scores[10];
  ORTH_SuggestRanked(s, "warm", buffer, sizeof buffer, scores, 10);
  for (auto _ : state) {
    for (const char* word : kMisspellings) {
      benchmark::DoNotOptimize(ORTH_SuggestRanked(s, word, buffer, sizeof buffer, scores, 10));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kMisspellings.size()));
}
BENCHMARK(BM_SuggestRanked)->Unit(benchmark::kMicrosecond);

void BM_PhonSearch(benchmark::State& state) {
  const int32_t s = Session();
  char buffer[4096];
  for (auto _ : state) benchmark::DoNotOptimize(ORTH_PhonSearch(s, "fone", buffer, sizeof buffer));
}
BENCHMARK(BM_PhonSearch)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
