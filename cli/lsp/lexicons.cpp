#include "lsp/lexicons.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "orth.h"

namespace orth::cli::lsp {

EngineLexicons::~EngineLexicons() {
  std::string ignored;
  CloseCheckerSession(session_, ignored);
}

EngineLexicons::FileStamp EngineLexicons::StampOf(const std::string& path) {
  FileStamp stamp;
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return stamp;
}

bool EngineLexicons::Open(const Settings& settings, std::string& error) {
  // The personal list is opened here only when its file exists; a missing
  // one is created with the first word added.
  CommonOptions options = settings.common;
  const std::string personal = options.personalList;
  const FileStamp stamp = StampOf(personal);
  if (!stamp.exists) options.personalList.clear();
  CheckerSession opened;
  if (!OpenCheckerSession(options, opened, error)) return false;
  std::string saveError;
  CloseCheckerSession(session_, saveError);
  session_.session = std::exchange(opened.session, -1);
  session_.replacementLex = opened.replacementLex;
  session_.dictionaryLexes = std::move(opened.dictionaryLexes);
  session_.rareLexes = std::move(opened.rareLexes);
  session_.personalLex = opened.personalLex;
  session_.personalPath = personal;
  session_.techWords = opened.techWords;
  session_.techVolumes = std::move(opened.techVolumes);
  session_.techLexes = std::move(opened.techLexes);
  personalPath_ = personal;
  stamp_ = stamp;
  return true;
}

bool EngineLexicons::UseTechWordsFor(bool technicalFormat) {
  // A list that cannot be opened leaves the document checked without it.
  std::string ignored;
  bool changed = false;
  ChooseTechWords(session_, technicalFormat, ignored, &changed);
  return changed;
}

bool EngineLexicons::OpenPersonal(std::string& error) {
  std::error_code failed;
  const std::filesystem::path folder = std::filesystem::path(personalPath_).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, failed);
  int32_t slot = ORTH_CreateLex(session_.session, personalPath_.c_str(), LEX_TYPE_ACCEPT, 0);
  // Another process may have created it in the meantime.
  if (slot == ERR_FILE_EXISTS) slot = ORTH_OpenLex(session_.session, personalPath_.c_str(), -1);
  if (slot < 0) {
    error = personalPath_ + ": cannot create the personal word list: " + DescribeEngineError(slot);
    return false;
  }
  session_.personalLex = slot;
  return true;
}

bool EngineLexicons::AddWord(const std::string& latin1Word, std::string& error) {
  if (personalPath_.empty()) {
    error = "no personal word list is set (setting orthspell.personalList)";
    return false;
  }
  std::string reloadError;
  ReloadIfChanged(reloadError);  // do not save over another process's words
  if (session_.personalLex < 0 && !OpenPersonal(error)) return false;
  if (!AddToPersonalList(session_, latin1Word, error)) return false;
  if (!SavePersonalList(session_, error)) {
    ORTH_DelFromLex(session_.session, session_.personalLex, latin1Word.c_str());
    return false;
  }
  stamp_ = StampOf(personalPath_);
  return true;
}

bool EngineLexicons::ReloadIfChanged(std::string& error) {
  if (personalPath_.empty() || session_.session < 0) return false;
  const FileStamp now = StampOf(personalPath_);
  if (now == stamp_) return false;
  stamp_ = now;
  if (session_.personalLex >= 0) {
    ORTH_CloseLex(session_.session, session_.personalLex);
    session_.personalLex = -1;
  }
  if (!now.exists) return true;
  const int32_t slot = ORTH_OpenLex(session_.session, personalPath_.c_str(), -1);
  if (slot < 0) {
    error =
        personalPath_ + ": cannot read the personal word list again: " + DescribeEngineError(slot);
    return true;
  }
  session_.personalLex = slot;
  return true;
}

}  // namespace orth::cli::lsp
