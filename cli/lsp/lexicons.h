// The engine session the language server checks with: the dictionaries, the
// replacement list and the personal list its settings name. The personal
// list is the only file the server ever writes; it is created (with its
// folder) when the first word is added, written with the engine's safe save
// (a temporary file renamed over it) after each word, and read again when
// another process changes it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "check/checker_session.h"
#include "lsp/settings.h"

namespace orth::cli::lsp {

class Lexicons {
 public:
  virtual ~Lexicons() = default;
  // Opens a session with the lexicons of `settings`; on success it replaces
  // the open one (saving its personal list), on failure (a message in
  // `error`) the open one stays.
  virtual bool Open(const Settings& settings, std::string& error) = 0;
  virtual int32_t session() const = 0;
  // Whether words can be added (a personal list is set).
  virtual bool canAddWords() const = 0;
  // Adds a word (Latin-1) to the personal list and saves the list.
  virtual bool AddWord(const std::string& latin1Word, std::string& error) = 0;
  // Reads the personal list again when its file changed since the session
  // read or wrote it; true when it did (the lexicons changed).
  virtual bool ReloadIfChanged(std::string& error) = 0;
  // Opens or closes the technical word list for a document of a technical
  // format or not (ChooseTechWords); true when the lexicons changed.
  virtual bool UseTechWordsFor(bool /*technicalFormat*/) { return false; }
};

// The real one, on files.
class EngineLexicons final : public Lexicons {
 public:
  ~EngineLexicons() override;
  bool Open(const Settings& settings, std::string& error) override;
  int32_t session() const override { return session_.session; }
  bool canAddWords() const override { return !personalPath_.empty(); }
  bool AddWord(const std::string& latin1Word, std::string& error) override;
  bool ReloadIfChanged(std::string& error) override;
  bool UseTechWordsFor(bool technicalFormat) override;

 private:
  struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp& other) const = default;
  };
  static FileStamp StampOf(const std::string& path);
  bool OpenPersonal(std::string& error);

  CheckerSession session_;
  std::string personalPath_;
  FileStamp stamp_;  // the personal list's file as last read or written
};

}  // namespace orth::cli::lsp
