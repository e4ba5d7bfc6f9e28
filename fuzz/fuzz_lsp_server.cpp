// The language server's message loop: fuzzed bytes go through the framing
// reader into the server as the program's stdin would, with the lexicons in
// memory (nothing is written to disk). Every message the server writes must
// be a JSON-RPC object that serialises to valid JSON, and every message
// must read the same with its long strings read apart from the JSON library.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "encoding/engine_text.h"
#include "fuzz_support.h"
#include "lsp/framing.h"
#include "lsp/json_rpc.h"
#include "lsp/lexicons.h"
#include "lsp/server.h"
#include "orth.h"

namespace {

using namespace orth::cli::lsp;

class CheckingOutbox final : public Outbox {
 public:
  void Send(const Json& message) override {
    FUZZ_CHECK(message.is_object() && message.value("jsonrpc", "") == "2.0");
    const std::string body = SerializeMessage(message);
    FUZZ_CHECK(orth::cli::IsValidUtf8(body));
    FUZZ_CHECK(!Json::parse(body, nullptr, false).is_discarded());
  }
};

// A small word list in memory; a dictionary named "fail" cannot be opened.
class MemoryLexicons final : public Lexicons {
 public:
  ~MemoryLexicons() override {
    if (session_ >= 0) ORTH_CloseSession(session_);
  }
  bool Open(const Settings& settings, std::string& error) override {
    for (const std::string& name : settings.common.dictionaries) {
      if (name == "fail") {
        error = "fail: no such dictionary";
        return false;
      }
    }
    if (session_ >= 0) ORTH_CloseSession(session_);
    session_ = ORTH_OpenSession();
    FUZZ_CHECK(session_ >= 0);
    const int32_t changes = ORTH_CreateLex(session_, nullptr, LEX_TYPE_CHANGE, 1033);
    ORTH_AddToLex(session_, changes, "teh", "the");
    const int32_t words = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 1033);
    for (const char* word : {"the", "quick", "brown", "fox", "world", "hello", "caf\xE9"}) {
      ORTH_AddToLex(session_, words, word, nullptr);
    }
    personal_ = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
    return true;
  }
  int32_t session() const override { return session_; }
  bool canAddWords() const override { return true; }
  bool AddWord(const std::string& latin1Word, std::string& error) override {
    if (ORTH_AddToLex(session_, personal_, latin1Word.c_str(), nullptr) < 0) {
      error = "refused";
      return false;
    }
    return true;
  }
  bool ReloadIfChanged(std::string&) override { return false; }

 private:
  int32_t session_ = -1;
  int32_t personal_ = -1;
};

}  // namespace

// Input: a byte giving the size of the pieces the stream arrives in, then
// the stream the client sends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orth::fuzz::FuzzInput input{data, size};
  const size_t piece = 1 + input.Byte() % 64 * 16;
  const std::string stream = input.Take(input.Remaining());

  CheckingOutbox out;
  MemoryLexicons lexicons;
  Settings settings;
  settings.common.personalList.clear();
  Server server(out, lexicons, settings, std::chrono::milliseconds(0));
  FrameReader reader(size_t{1} << 20);
  Frame frame;
  const auto now = Clock::now();
  for (size_t at = 0; at < stream.size() && !server.exited(); at += piece) {
    reader.Feed(std::string_view(stream).substr(at, piece));
    while (!server.exited() && reader.Next(frame)) {
      if (frame.ok) {
        // Long strings read apart from the JSON library give the same message.
        const Message direct = ParseMessage(frame.body, SIZE_MAX);
        const Message lifted = ParseMessage(frame.body, 2);
        FUZZ_CHECK(direct.kind == lifted.kind && direct.errorCode == lifted.errorCode &&
                   direct.params == lifted.params && direct.id == lifted.id &&
                   direct.result == lifted.result);
        server.Receive(frame.body, now);
      } else {
        server.FramingError(frame.error, frame.tooLarge);
      }
      server.RunDue(now);
    }
  }
  return 0;
}
