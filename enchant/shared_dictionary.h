// An engine session over one dictionary file, shared by every Enchant
// dictionary of the process that reads that file.
//
// Enchant gives each broker its own dictionary objects, and a process may
// hold several brokers, in several threads. The engine allows 16 sessions a
// process, so a dictionary file is opened once, in one session, however many
// dictionary objects use it. The engine serialises calls into one session and
// runs different sessions side by side, so only opening and closing take the
// provider's lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orth::provider {

class SharedDictionary {
 public:
  // The session over a dictionary file: the one already open for that file,
  // else a new one. Null with a one-line message in `error` when the engine
  // cannot open it (no file, a damaged file, no session left).
  static std::shared_ptr<SharedDictionary> Open(const std::string& path, std::string& error);

  SharedDictionary(const SharedDictionary&) = delete;
  SharedDictionary& operator=(const SharedDictionary&) = delete;
  ~SharedDictionary();  // closes the session when the last user lets go

  // A UTF-8 token: 0 correct, 1 misspelled, or a negative engine code.
  int32_t Check(std::string_view utf8) const;

  // Ranked corrections of a UTF-8 token as UTF-8. Returns 0 or a negative
  // engine code.
  int32_t Suggest(std::string_view utf8, std::vector<std::string>& out) const;

  int32_t session() const { return session_; }

 private:
  explicit SharedDictionary(int32_t session) : session_(session) {}
  int32_t session_;
};

// A one-line description of an engine result code for Enchant's error
// messages.
std::string DescribeEngineCode(int32_t code);

}  // namespace orth::provider
