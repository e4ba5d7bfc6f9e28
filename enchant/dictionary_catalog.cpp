#include "dictionary_catalog.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "check/user_dictionary_folder.h"
#include "commands/common_options.h"
#include "lexcompiler/volume_names.h"
#include "orth.h"

#ifndef ORTH_BUILD_DICT_DIR
#define ORTH_BUILD_DICT_DIR ""
#endif
#ifndef ORTH_INSTALL_DICT_DIR
#define ORTH_INSTALL_DICT_DIR ""
#endif
#ifndef ORTH_LIBRARY_RELATIVE_DICT_DIR
#define ORTH_LIBRARY_RELATIVE_DICT_DIR "../share/orth/dicts"
#endif

namespace orth::provider {

namespace fs = std::filesystem;

namespace {

constexpr char DICTIONARY_SUFFIX[] = ".olx";
constexpr char USER_SUBFOLDER[] = "orth";

// The folder of the engine library this process loaded, empty when unknown.
fs::path EngineLibraryFolder() {
  Dl_info info{};
  // The address of an engine function lies in the engine library.
  if (dladdr(reinterpret_cast<void*>(&ORTH_Version), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  std::error_code failed;
  const fs::path library = fs::canonical(info.dli_fname, failed);
  return failed ? fs::path() : library.parent_path();
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// The language part of a normal tag: what comes before the first '_'.
std::string_view LanguageOf(std::string_view normalTag) {
  return normalTag.substr(0, normalTag.find('_'));
}

}  // namespace

std::vector<std::string> DictionaryFolders(const std::string& userConfigDir) {
  std::vector<std::string> folders;
  auto add = [&folders](const fs::path& folder) {
    if (folder.empty()) return;
    const std::string text = folder.lexically_normal().string();
    if (std::find(folders.begin(), folders.end(), text) == folders.end()) {
      folders.push_back(text);
    }
  };
  if (!userConfigDir.empty()) add(fs::path(userConfigDir) / USER_SUBFOLDER);
  add(cli::UserDictionaryFolder());  // where tools/install-dictionary.sh installs
  const fs::path library = EngineLibraryFolder();
  if (!library.empty()) add(library / ORTH_LIBRARY_RELATIVE_DICT_DIR);
  add(ORTH_INSTALL_DICT_DIR);
  add(ORTH_BUILD_DICT_DIR);
  return folders;
}

std::vector<DictionaryFile> FindDictionaries(const std::vector<std::string>& folders) {
  std::map<std::string, std::string> byName;
  for (const std::string& folder : folders) {
    std::error_code failed;
    for (fs::directory_iterator it(folder, failed), end; !failed && it != end;
         it.increment(failed)) {
      const fs::path& path = it->path();
      std::error_code ignored;
      if (path.extension() != DICTIONARY_SUFFIX || path.stem().empty() ||
          IsCompanionStem(path.stem().string()) || !fs::is_regular_file(path, ignored)) {
        continue;
      }
      byName.emplace(path.stem().string(), path.string());  // the first folder's stays
    }
  }
  std::vector<DictionaryFile> files;
  for (auto& [name, path] : byName) files.push_back({name, path});
  return files;
}

std::string NormalizeTag(std::string_view tag) {
  while (!tag.empty() && (tag.front() == ' ' || tag.front() == '\t')) tag.remove_prefix(1);
  tag = tag.substr(0, tag.find_first_of(".@ \t\r\n"));
  std::string normal(tag);
  std::replace(normal.begin(), normal.end(), '-', '_');
  const size_t region = normal.find('_');
  for (size_t i = 0; i < normal.size(); ++i) {
    normal[i] = i < region ? AsciiLower(normal[i]) : AsciiUpper(normal[i]);
  }
  return normal;
}

const DictionaryFile* DictionaryForTag(const std::vector<DictionaryFile>& dictionaries,
                                       std::string_view tag) {
  const std::string wanted = NormalizeTag(tag);
  if (wanted.empty() || !IsAsciiLetter(wanted.front())) return nullptr;
  for (const DictionaryFile& file : dictionaries) {
    if (NormalizeTag(file.name) == wanted) return &file;
  }
  if (wanted.find('_') != std::string::npos) return nullptr;
  const DictionaryFile* first = nullptr;
  for (const DictionaryFile& file : dictionaries) {
    const std::string name = NormalizeTag(file.name);
    if (LanguageOf(name) != wanted) continue;
    if (name == NormalizeTag(cli::DEFAULT_DICTIONARY)) return &file;
    if (first == nullptr) first = &file;
  }
  return first;
}

}  // namespace orth::provider
