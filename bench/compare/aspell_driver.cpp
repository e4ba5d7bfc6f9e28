// Comparison driver for aspell, through its C interface, in Latin-1.
//   aspell_driver WORDS MISSPELLINGS LANGUAGE
#include <aspell.h>

#include <string>
#include <vector>

#include "driver_common.h"

int main(int argc, char** argv) {
  AspellSpeller* speller = nullptr;
  auto load = [&](int count, char** args) {
    AspellConfig* config = new_aspell_config();
    aspell_config_replace(config, "lang", count >= 1 ? args[0] : "en_US");
    aspell_config_replace(config, "encoding", "iso-8859-1");
    AspellCanHaveError* made = new_aspell_speller(config);
    delete_aspell_config(config);
    if (aspell_error_number(made) != 0) {
      std::fprintf(stderr, "%s\n", aspell_error_message(made));
      delete_aspell_can_have_error(made);
      return false;
    }
    speller = to_aspell_speller(made);
    return true;
  };
  auto check = [&](const std::string& word) {
    return aspell_speller_check(speller, word.c_str(), static_cast<int>(word.size())) == 1;
  };
  auto suggest = [&](const std::string& word, std::vector<std::string>& out) {
    const AspellWordList* list =
        aspell_speller_suggest(speller, word.c_str(), static_cast<int>(word.size()));
    AspellStringEnumeration* words = aspell_word_list_elements(list);
    const char* next;
    while (out.size() < 10 && (next = aspell_string_enumeration_next(words)) != nullptr) {
      out.emplace_back(next);
    }
    delete_aspell_string_enumeration(words);
  };
  const int result = compare::Run(argc, argv, false, load, check, suggest);
  if (speller != nullptr) delete_aspell_speller(speller);
  return result;
}
