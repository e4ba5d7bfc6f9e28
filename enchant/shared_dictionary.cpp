#include "shared_dictionary.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <utility>

#include "lexcompiler/volume_names.h"
#include "orth.h"
#include "token_words.h"

namespace orth::provider {

namespace {

// Held around the table below, while a session is opened or closed. Checks and
// suggestions take no lock of the provider's: the engine serialises calls
// into one session and runs different sessions side by side.
std::mutex& TableLock() {
  static std::mutex lock;
  return lock;
}

// The open sessions by the canonical path of their dictionary file.
std::map<std::string, std::weak_ptr<SharedDictionary>>& OpenFiles() {
  static std::map<std::string, std::weak_ptr<SharedDictionary>> files;
  return files;
}

std::string CanonicalPath(const std::string& path) {
  std::error_code failed;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, failed);
  return failed ? path : canonical.string();
}

}  // namespace

std::string DescribeEngineCode(int32_t code) {
  switch (code) {
    case ERR_FILE_OPEN:
      return "cannot open the file";
    case ERR_BAD_FORMAT:
      return "not a dictionary, or damaged";
    case ERR_NO_MEMORY:
      return "out of memory";
    case ERR_TOO_MANY_SESSIONS:
      return "no engine session left (16 a process)";
    case ERR_TOO_MANY_LEXICONS:
      return "no lexicon slot left";
    default:
      return "engine error " + std::to_string(code);
  }
}

std::shared_ptr<SharedDictionary> SharedDictionary::Open(const std::string& path,
                                                         std::string& error) {
  const std::string key = CanonicalPath(path);
  std::lock_guard<std::mutex> held(TableLock());
  auto& files = OpenFiles();
  if (auto it = files.find(key); it != files.end()) {
    if (std::shared_ptr<SharedDictionary> open = it->second.lock()) return open;
  }
  std::erase_if(files, [](const auto& entry) { return entry.second.expired(); });
  const int32_t session = ORTH_OpenSession();
  if (session < 0) {
    error = DescribeEngineCode(session);
    return nullptr;
  }
  // A dictionary written as volumes opens all of them (NAME.2.olx ...),
  // then its rare-word list (NAME.rare.olx ...) when it has one: accepted
  // words that are never suggested.
  const std::string rare = RareWordsFileName(key);
  for (const auto& [first, checkOnly] : {std::pair{key, false}, std::pair{rare, true}}) {
    for (size_t v = 0; v < MAX_VOLUMES; ++v) {
      const std::string volume = VolumeFileName(first, v);
      std::error_code ignored;
      if ((v > 0 || checkOnly) && !std::filesystem::is_regular_file(volume, ignored)) break;
      int32_t lex = ORTH_OpenLex(session, volume.c_str(), -1);
      if (lex >= 0 && checkOnly) {
        const int32_t set = ORTH_SetLexOptions(session, lex, LEXOPT_CHECK_ONLY);
        if (set < 0) lex = set;
      }
      if (lex < 0) {
        ORTH_CloseSession(session);
        error = DescribeEngineCode(lex);
        return nullptr;
      }
    }
  }
  std::shared_ptr<SharedDictionary> opened(new SharedDictionary(session));
  files[key] = opened;
  return opened;
}

SharedDictionary::~SharedDictionary() {
  std::lock_guard<std::mutex> held(TableLock());
  ORTH_CloseSession(session_);
  // The table's entry has expired; the next Open removes it.
}

int32_t SharedDictionary::Check(std::string_view utf8) const {
  return CheckToken(session_, utf8);
}

int32_t SharedDictionary::Suggest(std::string_view utf8, std::vector<std::string>& out) const {
  return SuggestForToken(session_, utf8, out);
}

}  // namespace orth::provider
