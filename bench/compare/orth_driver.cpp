// Comparison driver for this engine, through its exported C interface.
//   orth_driver WORDS MISSPELLINGS DICTIONARY.olx
#include <string>
#include <vector>

#include "driver_common.h"
#include "orth.h"

int main(int argc, char** argv) {
  int32_t session = -1;
  auto load = [&](int count, char** args) {
    if (count < 1) return false;
    session = ORTH_OpenSession();
    return session >= 0 && ORTH_OpenLex(session, args[0], -1) >= 0;
  };
  auto check = [&](const std::string& word) {
    const int32_t found = ORTH_CheckWord(session, OPT_REPORT_MISSPELLED, word.c_str(), nullptr, 0);
    return found >= 0 && (found & RES_MISSPELLED) == 0;
  };
  auto suggest = [&](const std::string& word, std::vector<std::string>& out) {
    char buffer[1024];
    int32_t scores[10];
    if (ORTH_Suggest(session, word.c_str(), SUGGEST_LEVEL_AUTO, buffer, sizeof buffer, scores, 10) <
        0) {
      return;
    }
    for (const char* at = buffer; *at != '\0'; at += out.back().size() + 1) out.emplace_back(at);
  };
  return compare::Run(argc, argv, false, load, check, suggest);
}
