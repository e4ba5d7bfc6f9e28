// The Enchant provider "orth": the entry point Enchant's broker loads, and the
// provider and dictionary methods of Enchant 2.3's provider interface
// (enchant-provider.h). The methods only translate: the catalog finds the
// dictionaries, SharedDictionary checks and suggests through the engine.
//
// Enchant keeps the personal word list, the exclude list and the session
// list itself and consults them before it asks the provider (and merges the
// personal list's suggestions), so the provider keeps no list of its own and
// leaves add_to_personal, add_to_session, store_replacement and
// add_to_exclude unset. Every method catches what the C++ side throws: an
// exception must not cross into Enchant's C.
#include <enchant-provider.h>
#include <glib.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dictionary_catalog.h"
#include "encoding/engine_text.h"
#include "shared_dictionary.h"
#include "token_words.h"

namespace {

using orth::provider::DictionaryFile;
using orth::provider::SharedDictionary;

constexpr char PROVIDER_NAME[] = "orth";
constexpr char PROVIDER_DESCRIPTION[] = "ORTH spelling-checker engine";
constexpr char NO_MEMORY[] = "orth: out of memory";

struct DictionaryState {
  std::shared_ptr<SharedDictionary> dictionary;
};

const SharedDictionary& DictionaryOf(EnchantDict* dict) {
  return *static_cast<DictionaryState*>(dict->user_data)->dictionary;
}

// Enchant's messages must be valid UTF-8; file names need not be.
std::string Message(const std::string& text) {
  return orth::cli::WellFormedUtf8(std::string(PROVIDER_NAME) + ": " + text);
}

std::vector<DictionaryFile> InstalledDictionaries() {
  char* userConfigDir = enchant_get_user_config_dir();
  const std::string folder = userConfigDir != nullptr ? userConfigDir : "";
  g_free(userConfigDir);
  return orth::provider::FindDictionaries(orth::provider::DictionaryFolders(folder));
}

char** NewStringList(const std::vector<std::string>& strings, size_t* count) {
  char** list = g_new0(char*, strings.size() + 1);
  for (size_t i = 0; i < strings.size(); ++i) list[i] = g_strdup(strings[i].c_str());
  if (count != nullptr) *count = strings.size();
  return list;
}

// ---- Dictionary methods -----------------------------------------------------

int CheckWord(EnchantDict* me, const char* const word, size_t length) {
  try {
    const int32_t result = DictionaryOf(me).Check(std::string_view(word, length));
    if (result >= 0) return result;
    enchant_dict_set_error(me, Message(orth::provider::DescribeEngineCode(result)).c_str());
  } catch (...) {
    enchant_dict_set_error(me, NO_MEMORY);
  }
  return -1;
}

char** SuggestWords(EnchantDict* me, const char* const word, size_t length, size_t* count) {
  if (count != nullptr) *count = 0;
  try {
    std::vector<std::string> suggestions;
    const int32_t result = DictionaryOf(me).Suggest(std::string_view(word, length), suggestions);
    if (result < 0) {
      enchant_dict_set_error(me, Message(orth::provider::DescribeEngineCode(result)).c_str());
      return nullptr;
    }
    // The broker frees the list with g_strfreev.
    return suggestions.empty() ? nullptr : NewStringList(suggestions, count);
  } catch (...) {
    enchant_dict_set_error(me, NO_MEMORY);
    return nullptr;
  }
}

const char* ExtraWordCharacters(EnchantDict*) {
  return orth::provider::EXTRA_WORD_CHARACTERS;
}

int IsWordCharacter(EnchantDict*, uint32_t character, size_t position) {
  return orth::provider::IsWordCharacter(character, position) ? 1 : 0;
}

// ---- Provider methods -------------------------------------------------------

EnchantDict* RequestDictionary(EnchantProvider* me, const char* const tag) {
  try {
    const std::vector<DictionaryFile> dictionaries = InstalledDictionaries();
    const DictionaryFile* file = orth::provider::DictionaryForTag(dictionaries, tag);
    if (file == nullptr) return nullptr;  // not ours: the broker asks the next provider
    std::string error;
    std::shared_ptr<SharedDictionary> shared = SharedDictionary::Open(file->path, error);
    if (shared == nullptr) {
      enchant_provider_set_error(
          me, Message("dictionary " + file->name + " (" + file->path + "): " + error).c_str());
      return nullptr;
    }
    auto state = std::make_unique<DictionaryState>(DictionaryState{std::move(shared)});
    EnchantDict* dict = g_new0(EnchantDict, 1);
    dict->user_data = state.release();
    dict->check = CheckWord;
    dict->suggest = SuggestWords;
    dict->get_extra_word_characters = ExtraWordCharacters;
    dict->is_word_character = IsWordCharacter;
    return dict;
  } catch (...) {
    enchant_provider_set_error(me, NO_MEMORY);
    return nullptr;
  }
}

void DisposeDictionary(EnchantProvider*, EnchantDict* dict) {
  delete static_cast<DictionaryState*>(dict->user_data);
  g_free(dict);
}

int DictionaryExists(EnchantProvider*, const char* const tag) {
  try {
    return orth::provider::DictionaryForTag(InstalledDictionaries(), tag) != nullptr ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

char** ListDictionaries(EnchantProvider*, size_t* count) {
  if (count != nullptr) *count = 0;
  try {
    std::vector<std::string> names;
    for (const DictionaryFile& file : InstalledDictionaries()) names.push_back(file.name);
    return NewStringList(names, count);
  } catch (...) {
    return nullptr;
  }
}

const char* Identify(EnchantProvider*) {
  return PROVIDER_NAME;
}

const char* Describe(EnchantProvider*) {
  return PROVIDER_DESCRIPTION;
}

void Dispose(EnchantProvider* me) {
  g_free(me);
}

}  // namespace

// The one symbol the module exports: Enchant's broker calls it after loading
// the module from its module directory.
extern "C" __attribute__((visibility("default"))) EnchantProvider* init_enchant_provider(void);

extern "C" EnchantProvider* init_enchant_provider(void) {
  EnchantProvider* provider = g_new0(EnchantProvider, 1);
  provider->dispose = Dispose;
  provider->request_dict = RequestDictionary;
  provider->dispose_dict = DisposeDictionary;
  provider->dictionary_exists = DictionaryExists;
  provider->identify = Identify;
  provider->describe = Describe;
  provider->list_dicts = ListDictionaries;
  return provider;
}
