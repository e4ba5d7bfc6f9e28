// Comparison driver for hunspell, through its C interface.
//   hunspell_driver WORDS MISSPELLINGS AFF DIC
#include <hunspell/hunspell.h>

#include <string>
#include <vector>

#include "driver_common.h"

int main(int argc, char** argv) {
  Hunhandle* handle = nullptr;
  auto load = [&](int count, char** args) {
    if (count < 2) return false;
    handle = Hunspell_create(args[0], args[1]);
    return handle != nullptr;
  };
  auto check = [&](const std::string& word) { return Hunspell_spell(handle, word.c_str()) != 0; };
  auto suggest = [&](const std::string& word, std::vector<std::string>& out) {
    char** list = nullptr;
    const int n = Hunspell_suggest(handle, &list, word.c_str());
    for (int i = 0; i < n && i < 10; ++i) out.emplace_back(list[i]);
    Hunspell_free_list(handle, &list, n);
  };
  const int result = compare::Run(argc, argv, true, load, check, suggest);
  if (handle != nullptr) Hunspell_destroy(handle);
  return result;
}
