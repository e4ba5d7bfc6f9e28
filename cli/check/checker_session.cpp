#include "check/checker_session.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "lexcompiler/volume_names.h"
#include "orth.h"
#include "platform/process_io.h"

#ifndef ORTH_BUILD_DICT_DIR
#define ORTH_BUILD_DICT_DIR ""
#endif
#ifndef ORTH_INSTALL_DICT_DIR
#define ORTH_INSTALL_DICT_DIR ""
#endif
#ifndef ORTH_RELATIVE_DICT_DIR
#define ORTH_RELATIVE_DICT_DIR "../share/orth/dicts"
#endif

namespace orth::cli {

namespace fs = std::filesystem;

namespace {

constexpr char DICTIONARY_SUFFIX[] = ".olx";

bool IsRegularFile(const fs::path& path) {
  std::error_code ignored;
  return fs::is_regular_file(path, ignored);
}

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

bool LooksLikePath(const std::string& argument) {
  return argument.find('/') != std::string::npos || argument.find('.') != std::string::npos;
}

std::string ListNames(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return list.empty() ? "none found" : list;
}

// Opens one lexicon file; on failure a message naming `what`.
bool OpenLexFile(int32_t session, const std::string& path, const std::string& what, int32_t& slot,
                 std::string& error) {
  const int32_t opened = ORTH_OpenLex(session, path.c_str(), -1);
  if (opened < 0) {
    error = what + ": " + DescribeEngineError(opened);
    return false;
  }
  slot = opened;
  return true;
}

bool HasFormatAndType(int32_t session, int32_t slot, int32_t format, int32_t type) {
  int32_t actualFormat = -1;
  int32_t actualType = -1;
  if (ORTH_GetLexInfo(session, slot, nullptr, &actualFormat, &actualType, nullptr) != 0) {
    return false;
  }
  return actualFormat == format && actualType == type;
}

// Opens the volumes of a dictionary's rare-word list, when it has one, as
// check-only lexicons.
bool OpenRareWords(CheckerSession& checker, const std::string& dictionary, const std::string& name,
                   std::string& error) {
  const std::string path = RareWordsFileName(dictionary);
  if (!IsRegularFile(path)) return true;
  for (const std::string& volume : DictionaryVolumes(path)) {
    int32_t slot = -1;
    if (!OpenLexFile(checker.session, volume, name + " (" + volume + ")", slot, error)) {
      return false;
    }
    checker.rareLexes.push_back(slot);
    const int32_t set = ORTH_SetLexOptions(checker.session, slot, LEXOPT_CHECK_ONLY);
    if (set != 0) {
      error = name + " (" + volume + "): " + DescribeEngineError(set);
      return false;
    }
  }
  return true;
}

bool OpenPersonalList(CheckerSession& checker, const std::string& path, std::string& error) {
  checker.personalPath = path;
  if (!Exists(path)) {
    const int32_t created = ORTH_CreateLex(checker.session, path.c_str(), LEX_TYPE_ACCEPT, 0);
    if (created < 0) {
      error = path + ": cannot create the personal word list: " + DescribeEngineError(created);
      return false;
    }
    checker.personalLex = created;
    return true;
  }
  if (!OpenLexFile(checker.session, path, path, checker.personalLex, error)) return false;
  if (!HasFormatAndType(checker.session, checker.personalLex, LEX_FORMAT_TEXT, LEX_TYPE_ACCEPT)) {
    error = path + ": not a personal word list (an accept text lexicon, header \"#LID 0000 1 0\")";
    return false;
  }
  return true;
}

// LANGID's primary language part, and English's.
constexpr int32_t PRIMARY_LANGUAGE_MASK = 0x3FF;
constexpr int32_t LANGUAGE_ENGLISH = 0x09;

// Finds the technical word list's volumes when the options and the first
// dictionary's language allow it; only --tech-words makes a missing list an
// error.
bool FindTechWords(const CommonOptions& options, CheckerSession& checker, std::string& error) {
  checker.techWords = options.techWords;
  if (options.techWords == TechWords::NEVER || checker.dictionaryLexes.empty()) return true;
  int32_t language = 0;
  if (ORTH_GetLexInfo(checker.session, checker.dictionaryLexes.front(), nullptr, nullptr, nullptr,
                      &language) != 0 ||
      (language & PRIMARY_LANGUAGE_MASK) != LANGUAGE_ENGLISH) {
    return true;
  }
  std::string path;
  std::string notFound;
  if (!ResolveDictionary(TECH_WORDS_DICTIONARY, path, notFound)) {
    if (options.techWords != TechWords::ALWAYS) return true;
    error = "--tech-words: " + notFound;
    return false;
  }
  checker.techVolumes = DictionaryVolumes(path);
  return true;
}

void CloseTechWords(CheckerSession& checker) {
  for (const int32_t slot : checker.techLexes) ORTH_CloseLex(checker.session, slot);
  checker.techLexes.clear();
}

}  // namespace

CheckerSession::~CheckerSession() {
  if (session >= 0) ORTH_CloseSession(session);
}

std::string DescribeEngineError(int32_t code) {
  switch (code) {
    case ERR_FILE_OPEN:
      return "cannot open the file";
    case ERR_BAD_FORMAT:
      return "not a lexicon, or damaged";
    case ERR_NO_MEMORY:
      return "out of memory, or the list is full";
    case ERR_TOO_MANY_LEXICONS:
      return "too many lexicons (at most 16 in all)";
    case ERR_TOO_MANY_SESSIONS:
      return "no engine session left";
    case ERR_FILE_EXISTS:
      return "the file exists already";
    case ERR_LEX_READ_ONLY:
      return "the lexicon cannot be edited";
    case ERR_BUFFER_TOO_SMALL:
      return "the text does not fit";
    default:
      return "engine error " + std::to_string(code);
  }
}

std::vector<std::string> DictionaryVolumes(const std::string& path) {
  std::vector<std::string> volumes{path};
  for (size_t v = 1; v < MAX_VOLUMES; ++v) {
    std::string next = VolumeFileName(path, v);
    if (!IsRegularFile(next)) break;
    volumes.push_back(std::move(next));
  }
  return volumes;
}

std::vector<std::string> BundledDictionaryFolders() {
  std::vector<std::string> folders;
  auto add = [&folders](const fs::path& folder) {
    if (folder.empty()) return;
    const std::string text = folder.lexically_normal().string();
    if (std::find(folders.begin(), folders.end(), text) == folders.end()) {
      folders.push_back(text);
    }
  };
  // The user's own folder first: `orthspell dict install` writes there.
  add(UserDictionaryFolder());
  const fs::path program = ProgramFile();
  if (!program.empty()) add(program.parent_path() / ORTH_RELATIVE_DICT_DIR);
  add(ORTH_INSTALL_DICT_DIR);
  add(ORTH_BUILD_DICT_DIR);
  return folders;
}

std::vector<std::string> BundledDictionaryNames() {
  std::set<std::string> names;
  for (const std::string& folder : BundledDictionaryFolders()) {
    std::error_code failed;
    for (fs::directory_iterator it(folder, failed), end; !failed && it != end;
         it.increment(failed)) {
      const fs::path& path = it->path();
      if (path.extension() == DICTIONARY_SUFFIX && IsRegularFile(path) &&
          !IsCompanionStem(path.stem().string())) {
        names.insert(path.stem().string());
      }
    }
  }
  return {names.begin(), names.end()};
}

bool ResolveDictionary(const std::string& nameOrPath, std::string& path, std::string& error) {
  if (nameOrPath.empty()) {
    error = "empty dictionary name";
    return false;
  }
  if (LooksLikePath(nameOrPath)) {
    if (!Exists(nameOrPath)) {
      error = nameOrPath + ": no such dictionary file";
      return false;
    }
    path = nameOrPath;
    return true;
  }
  for (const std::string& folder : BundledDictionaryFolders()) {
    const fs::path candidate = fs::path(folder) / (nameOrPath + DICTIONARY_SUFFIX);
    if (IsRegularFile(candidate)) {
      path = candidate.string();
      return true;
    }
  }
  if (IsRegularFile(nameOrPath)) {
    path = nameOrPath;
    return true;
  }
  error =
      nameOrPath + ": no such dictionary (bundled: " + ListNames(BundledDictionaryNames()) + ")";
  return false;
}

bool OpenCheckerSession(const CommonOptions& options, CheckerSession& out, std::string& error) {
  // Resolve every name before opening anything, so that a typo costs nothing.
  std::vector<std::string> names = options.dictionaries;
  if (names.empty()) names.push_back(DEFAULT_DICTIONARY);
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    std::string path;
    if (!ResolveDictionary(name, path, error)) return false;
    paths.push_back(path);
  }
  if (!options.replacementList.empty() && !Exists(options.replacementList)) {
    error = options.replacementList + ": no such replacement list";
    return false;
  }

  CheckerSession checker;
  checker.session = ORTH_OpenSession();
  if (checker.session < 0) {
    error = "cannot open an engine session: " + DescribeEngineError(checker.session);
    return false;
  }
  if (!options.replacementList.empty()) {
    const std::string& path = options.replacementList;
    if (!OpenLexFile(checker.session, path, path, checker.replacementLex, error)) return false;
    if (!HasFormatAndType(checker.session, checker.replacementLex, LEX_FORMAT_TEXT,
                          LEX_TYPE_CHANGE)) {
      error = path + ": not a replacement list (a change text lexicon, header \"#LID 0000 0 0\")";
      return false;
    }
  }
  for (size_t i = 0; i < paths.size(); ++i) {
    for (const std::string& volume : DictionaryVolumes(paths[i])) {
      int32_t slot = -1;
      const std::string what = volume == names[i] ? names[i] : names[i] + " (" + volume + ")";
      if (!OpenLexFile(checker.session, volume, what, slot, error)) return false;
      checker.dictionaryLexes.push_back(slot);
    }
    if (options.rareWords && !OpenRareWords(checker, paths[i], names[i], error)) return false;
  }
  if (!options.personalList.empty() && !OpenPersonalList(checker, options.personalList, error)) {
    return false;
  }
  if (!FindTechWords(options, checker, error)) return false;
  if (!ChooseTechWords(checker, false, error)) return false;
  // Hand the open session over; `checker` is left closed.
  out.session = std::exchange(checker.session, -1);
  out.replacementLex = checker.replacementLex;
  out.dictionaryLexes = std::move(checker.dictionaryLexes);
  out.rareLexes = std::move(checker.rareLexes);
  out.personalLex = checker.personalLex;
  out.personalPath = std::move(checker.personalPath);
  out.techWords = checker.techWords;
  out.techVolumes = std::move(checker.techVolumes);
  out.techLexes = std::move(checker.techLexes);
  return true;
}

bool ChooseTechWords(CheckerSession& checker, bool technicalFormat, std::string& error,
                     bool* changed) {
  const bool wanted = !checker.techVolumes.empty() &&
                      (checker.techWords == TechWords::ALWAYS ||
                       (checker.techWords == TechWords::BY_FORMAT && technicalFormat));
  if (changed != nullptr) *changed = wanted != !checker.techLexes.empty();
  if (wanted == !checker.techLexes.empty()) return true;
  if (!wanted) {
    CloseTechWords(checker);
    return true;
  }
  for (const std::string& volume : checker.techVolumes) {
    int32_t slot = -1;
    const std::string what = std::string(TECH_WORDS_DICTIONARY) + " (" + volume + ")";
    if (!OpenLexFile(checker.session, volume, what, slot, error)) {
      CloseTechWords(checker);
      return false;
    }
    checker.techLexes.push_back(slot);
  }
  return true;
}

bool AddToPersonalList(CheckerSession& checker, const std::string& latin1Word, std::string& error) {
  if (checker.session < 0 || checker.personalLex < 0) {
    error = "no personal word list (give -p FILE)";
    return false;
  }
  const int32_t added =
      ORTH_AddToLex(checker.session, checker.personalLex, latin1Word.c_str(), nullptr);
  if (added < 0) {
    error = checker.personalPath + ": cannot add the word: " + DescribeEngineError(added);
    return false;
  }
  return true;
}

bool SavePersonalList(CheckerSession& checker, std::string& error) {
  if (checker.session < 0 || checker.personalLex < 0) return true;
  // Closing a text lexicon writes it when it was modified.
  const int32_t closed = ORTH_CloseLex(checker.session, checker.personalLex);
  if (closed < 0) {
    error = checker.personalPath +
            ": cannot save the personal word list: " + DescribeEngineError(closed);
    return false;
  }
  checker.personalLex = -1;
  const int32_t reopened = ORTH_OpenLex(checker.session, checker.personalPath.c_str(), -1);
  if (reopened < 0) {
    error =
        checker.personalPath + ": saved, but cannot re-open it: " + DescribeEngineError(reopened);
    return false;
  }
  checker.personalLex = reopened;
  return true;
}

bool CloseCheckerSession(CheckerSession& checker, std::string& error) {
  if (checker.session < 0) return true;
  bool saved = true;
  if (checker.personalLex >= 0) {
    const int32_t closed = ORTH_CloseLex(checker.session, checker.personalLex);
    if (closed < 0) {
      error = checker.personalPath +
              ": cannot save the personal word list: " + DescribeEngineError(closed);
      saved = false;
    }
    checker.personalLex = -1;
  }
  ORTH_CloseSession(checker.session);
  checker.session = -1;
  checker.replacementLex = -1;
  checker.dictionaryLexes.clear();
  checker.techLexes.clear();
  return saved;
}

}  // namespace orth::cli
