// Where the provider finds its dictionaries, and which one a language tag
// names.
//
// The dictionaries are compiled ones (NAME.olx, with NAME.olc beside it when
// there is one), looked for in the folders orthspell looks in: the data
// folder beside the engine library that is loaded (share/orth/dicts next to
// its lib folder), the install prefix's data folder and the build tree's
// dicts folder. Before them comes the user's own folder, `orth` in Enchant's
// configuration directory ($ENCHANT_CONFIG_DIR, else ~/.config/enchant), so
// that a user can add a compiled dictionary without writing to the system,
// then orthspell's user folder (~/.local/share/orth/dicts). A name found in
// several folders is taken from the first. The later volumes of a
// dictionary (NAME.2.olx ...) are not dictionaries of their own: they are
// opened with NAME.olx.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orth::provider {

struct DictionaryFile {
  std::string name;  // the file name without .olx, e.g. en_US
  std::string path;
};

// The folders, in order. userConfigDir is Enchant's user configuration
// directory (empty: none).
std::vector<std::string> DictionaryFolders(const std::string& userConfigDir);

// The dictionaries in the folders (first folder first for a name), sorted by
// name.
std::vector<DictionaryFile> FindDictionaries(const std::vector<std::string>& folders);

// A tag in the form Enchant compares: the encoding and variant cut off
// (en_GB.UTF-8@euro), '-' as '_', the language in lower and the region in
// upper case: en-us gives en_US.
std::string NormalizeTag(std::string_view tag);

// The dictionary a tag asks for: the one of that name (both compared in
// normal form); for a language alone, the one named so, else the default
// dictionary (en_US) when it is of that language, else the first of the
// language by name (es gives es, en gives en_US). Null when there is none.
const DictionaryFile* DictionaryForTag(const std::vector<DictionaryFile>& dictionaries,
                                       std::string_view tag);

}  // namespace orth::provider
