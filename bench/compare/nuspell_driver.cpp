// Comparison driver for nuspell, through its C++ library interface.
//   nuspell_driver WORDS MISSPELLINGS AFF
#include <nuspell/dictionary.hxx>

#include <string>
#include <vector>

#include "driver_common.h"

int main(int argc, char** argv) {
  nuspell::Dictionary dictionary;
  auto load = [&](int count, char** args) {
    if (count < 1) return false;
    try {
      dictionary.load_aff_dic(args[0]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
      return false;
    }
    return true;
  };
  auto check = [&](const std::string& word) { return dictionary.spell(word); };
  std::vector<std::string> all;
  auto suggest = [&](const std::string& word, std::vector<std::string>& out) {
    all.clear();
    dictionary.suggest(word, all);
    for (size_t i = 0; i < all.size() && i < 10; ++i) out.push_back(all[i]);
  };
  return compare::Run(argc, argv, true, load, check, suggest);
}
