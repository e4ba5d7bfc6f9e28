// ORTH_Suggest and ORTH_SuggestRanked on the bundled English dictionary for a
// fixed list of common misspellings: latency per word of the classic search
// at the automatic level and at level 3, and of the ranked suggester.
//
//   suggest_bench [dictionary.olx] [--benchmark_... flags]
//
// The dictionary is opened once with no cache budget, so after the first
// round every section is resident and the figures measure decoding and
// scoring, not file reads.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "orth.h"

namespace {

constexpr std::array<const char*, 30> kMisspellings = {
    "teh",      "recieve",     "seperate", "occured",    "definately", "accomodate",
    "untill",   "wich",        "beleive",  "goverment",  "tommorow",   "thier",
    "becuase",  "arguement",   "calender", "enviroment", "existance",  "freind",
    "happend",  "independant", "knowlege", "neccessary", "occassion",  "publically",
    "recomend", "refered",     "sucess",   "truely",     "wierd",      "writting"};

constexpr int32_t kMaxSuggestions = 10;

std::string dictionaryPath = ORTH_BENCH_DICTIONARY;
int32_t session = -1;

// Opens the session and the dictionary once for all benchmarks.
bool OpenDictionary() {
  session = ORTH_OpenSession();
  if (session < 0) return false;
  const int32_t lex = ORTH_OpenLex(session, dictionaryPath.c_str(), -1);
  if (lex < 0) {
    std::fprintf(stderr, "cannot open %s: %d\n", dictionaryPath.c_str(), lex);
    return false;
  }
  return true;
}

// Suggests for one word; fails the benchmark on an error.
void SuggestOnce(benchmark::State& state, const char* word, int32_t level) {
  char buffer[512];
  int32_t scores[kMaxSuggestions];
  const int32_t result =
      ORTH_Suggest(session, word, level, buffer, sizeof buffer, scores, kMaxSuggestions);
  if (result != 0) state.SkipWithError("ORTH_Suggest failed");
  benchmark::DoNotOptimize(buffer);
  benchmark::DoNotOptimize(scores);
}

// The whole list per iteration; the counter gives the mean time per word.
void BM_SuggestList(benchmark::State& state) {
  const int32_t level = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    for (const char* word : kMisspellings) SuggestOnce(state, word, level);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kMisspellings.size()));
  // Seconds per word (shown with an SI prefix: u is microseconds).
  state.counters["time_per_word"] = benchmark::Counter(
      static_cast<double>(kMisspellings.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(level == SUGGEST_LEVEL_AUTO ? "automatic level"
                                             : "level " + std::to_string(level));
}
BENCHMARK(BM_SuggestList)->Arg(SUGGEST_LEVEL_AUTO)->Arg(3)->Unit(benchmark::kMicrosecond);

// The ranked suggester over the whole list per iteration (its index is
// built by the first call, before timing).
void BM_SuggestRankedList(benchmark::State& state) {
  char buffer[512];
  int32_t scores[kMaxSuggestions];
  ORTH_SuggestRanked(session, "warm", buffer, sizeof buffer, scores, kMaxSuggestions);
  for (auto _ : state) {
    for (const char* word : kMisspellings) {
      if (ORTH_SuggestRanked(session, word, buffer, sizeof buffer, scores, kMaxSuggestions) != 0) {
        state.SkipWithError("ORTH_SuggestRanked failed");
      }
      benchmark::DoNotOptimize(buffer);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kMisspellings.size()));
  state.counters["time_per_word"] = benchmark::Counter(
      static_cast<double>(kMisspellings.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel("ranked");
}
BENCHMARK(BM_SuggestRankedList)->Unit(benchmark::kMicrosecond);

// One word at a time at the automatic level, for the spread between words.
void BM_SuggestWordAuto(benchmark::State& state) {
  const char* word = kMisspellings[static_cast<size_t>(state.range(0))];
  for (auto _ : state) SuggestOnce(state, word, SUGGEST_LEVEL_AUTO);
  state.SetLabel(word);
}
BENCHMARK(BM_SuggestWordAuto)
    ->DenseRange(0, static_cast<int>(kMisspellings.size()) - 1)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) dictionaryPath = argv[1];
  if (!OpenDictionary()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ORTH_CloseSession(session);
  return 0;
}
