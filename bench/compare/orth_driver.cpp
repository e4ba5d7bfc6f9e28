// Comparison driver for this engine, through its exported C interface.
//   orth_driver WORDS MISSPELLINGS DICTIONARY.olx [--ranked] [--check-only LEXICON.olx]...
// Without --ranked the suggestions are the classic search's (ORTH_Suggest at
// the automatic level); with it the ranked suggester's, whose dictionary
// index is built by a first call right after the load and reported apart
// (index_build_ms, index_rss_kb), so the latencies are those of a warm index.
// Each --check-only lexicon is opened after the dictionary with
// LEXOPT_CHECK_ONLY: checked, never suggested.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver_common.h"
#include "orth.h"

int main(int argc, char** argv) {
  int32_t session = -1;
  const bool ranked = argc > 4 && std::strcmp(argv[4], "--ranked") == 0;
  auto load = [&](int count, char** args) {
    if (count < 1) return false;
    session = ORTH_OpenSession();
    if (session < 0 || ORTH_OpenLex(session, args[0], -1) < 0) return false;
    for (int i = 1; i + 1 < count; ++i) {
      if (std::strcmp(args[i], "--check-only") != 0) continue;
      const int32_t lex = ORTH_OpenLex(session, args[i + 1], -1);
      if (lex < 0 || ORTH_SetLexOptions(session, lex, LEXOPT_CHECK_ONLY) != 0) return false;
    }
    return true;
  };
  auto buildIndex = [&]() {
    char buffer[1024];
    const long rssBefore = compare::ResidentKb();
    const auto start = compare::Clock::now();
    ORTH_SuggestRanked(session, "warm", buffer, sizeof buffer, nullptr, 10);
    std::printf("index_build_ms %.3f\n", compare::Seconds(start, compare::Clock::now()) * 1e3);
    std::printf("index_rss_kb %ld\n", compare::ResidentKb() - rssBefore);
  };
  auto check = [&](const std::string& word) {
    const int32_t found = ORTH_CheckWord(session, OPT_REPORT_MISSPELLED, word.c_str(), nullptr, 0);
    return found >= 0 && (found & RES_MISSPELLED) == 0;
  };
  auto suggest = [&](const std::string& word, std::vector<std::string>& out) {
    char buffer[1024];
    int32_t scores[10];
    const int32_t result =
        ranked ? ORTH_SuggestRanked(session, word.c_str(), buffer, sizeof buffer, scores, 10)
               : ORTH_Suggest(session, word.c_str(), SUGGEST_LEVEL_AUTO, buffer, sizeof buffer,
                              scores, 10);
    if (result < 0) return;
    for (const char* at = buffer; *at != '\0'; at += out.back().size() + 1) out.emplace_back(at);
  };
  if (!ranked) return compare::Run(argc, argv, false, load, check, suggest);
  return compare::Run(argc, argv, false, load, check, suggest, buildIndex);
}
