// Text lexicon files: open fuzzed bytes, edit and list them, save, reopen, and require the same
// entries.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "orth.h"

namespace {

using orth::fuzz::FuzzInput;
using orth::fuzz::GuardedBuffer;

// One folder per process, emptied before each input and removed at exit.
struct WorkFolder {
  std::filesystem::path path;
  WorkFolder() {
    path = std::filesystem::temp_directory_path() /
           ("orth-fuzz-text-lex-" + std::to_string(static_cast<long>(getpid())));
  }
  ~WorkFolder() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
  }
  std::string Fresh() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
    std::filesystem::create_directories(path, error);
    return (path / "user.lex").string();
  }
};

// The whole listing of a lexicon, or an empty string when it cannot be listed.
std::string Listing(int32_t session, int32_t lex) {
  int32_t size = 0;
  FUZZ_CHECK(ORTH_GetLexInfo(session, lex, &size, nullptr, nullptr, nullptr) == 0);
  FUZZ_CHECK(size >= 1);
  GuardedBuffer buffer(static_cast<size_t>(size));
  const int32_t count = ORTH_GetLex(session, lex, buffer.Data(), static_cast<uint32_t>(size));
  FUZZ_CHECK(buffer.GuardsIntact());
  FUZZ_CHECK(count >= 0);
  FUZZ_CHECK(orth::fuzz::IsTerminatedList(buffer.Data(), buffer.size));
  // One byte less than the reported size is refused without a write.
  GuardedBuffer small(static_cast<size_t>(size - 1));
  FUZZ_CHECK(ORTH_GetLex(session, lex, small.Data(), static_cast<uint32_t>(size - 1)) ==
             ERR_BUFFER_TOO_SMALL);
  FUZZ_CHECK(small.GuardsIntact());
  return std::string(buffer.Data(), buffer.size);
}

// A listing with its NULs shown as '|' and other unprintable bytes in hex.
std::string Escaped(const std::string& bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0) {
      text += '|';
    } else if (b < 32 || b >= 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      text += hex;
    } else {
      text += c;
    }
  }
  return text;
}

void RunOperation(FuzzInput& script, int32_t session, int32_t lex) {
  const uint8_t op = script.Byte();
  const std::string word = script.String(40);
  switch (op % 8) {
    case 0: {
      GuardedBuffer buffer(script.Byte() % 40);
      ORTH_CheckWord(session, script.Number32(), word.c_str(), buffer.Data(),
                     static_cast<uint32_t>(buffer.size));
      FUZZ_CHECK(buffer.GuardsIntact());
      break;
    }
    case 1: {
      const std::string other = script.String(40);
      ORTH_AddToLex(session, lex, word.c_str(), (op & 0x80) ? nullptr : other.c_str());
      break;
    }
    case 2:
      ORTH_DelFromLex(session, lex, word.c_str());
      break;
    case 3: {
      GuardedBuffer buffer(script.Byte());
      const int32_t count =
          ORTH_GetLex(session, lex, buffer.Data(), static_cast<uint32_t>(buffer.size));
      FUZZ_CHECK(buffer.GuardsIntact());
      if (count >= 0) FUZZ_CHECK(orth::fuzz::IsTerminatedList(buffer.Data(), buffer.size));
      break;
    }
    case 4:
      Listing(session, lex);
      break;
    case 5: {
      GuardedBuffer buffer(script.Byte());
      int32_t scores[8];
      const int32_t level = static_cast<int32_t>(script.Byte() % 5) - 1;
      ORTH_Suggest(session, word.c_str(), level, buffer.Data(), static_cast<uint32_t>(buffer.size),
                   scores, 1 + script.Byte() % 8);
      FUZZ_CHECK(buffer.GuardsIntact());
      GuardedBuffer ranked(script.Byte());
      ORTH_SuggestRanked(session, word.c_str(), ranked.Data(), static_cast<uint32_t>(ranked.size),
                         scores, 1 + script.Byte() % 8);
      FUZZ_CHECK(ranked.GuardsIntact());
      break;
    }
    case 6: {
      GuardedBuffer buffer(script.Byte());
      ORTH_PhonSearch(session, word.c_str(), buffer.Data(), static_cast<uint32_t>(buffer.size));
      FUZZ_CHECK(buffer.GuardsIntact());
      break;
    }
    default:
      if (op & 0x80) ORTH_ClearLex(session, lex);
      break;
  }
}

}  // namespace

// Input: one byte n, n bytes of an operation script, then the lexicon file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static WorkFolder folder;
  FuzzInput input{data, size};
  const std::string scriptBytes = input.Take(input.Byte());
  const std::string fileBytes = input.Take(input.Remaining());

  const std::string fileName = folder.Fresh();
  {
    std::ofstream file(fileName, std::ios::binary);
    file.write(fileBytes.data(), static_cast<std::streamsize>(fileBytes.size()));
  }

  const int32_t session = ORTH_OpenSession();
  FUZZ_CHECK(session >= 0);
  const int32_t lex = ORTH_OpenLex(session, fileName.c_str(), -1);
  int32_t format = -1;
  if (lex < 0 || ORTH_GetLexInfo(session, lex, nullptr, &format, nullptr, nullptr) != 0 ||
      format != LEX_FORMAT_TEXT) {
    ORTH_CloseSession(session);
    return 0;
  }

  FuzzInput script{reinterpret_cast<const uint8_t*>(scriptBytes.data()), scriptBytes.size()};
  for (int steps = 0; steps < 64 && !script.Empty(); ++steps) RunOperation(script, session, lex);

  // Round trip: what the close saves loads back as the same entries.
  const std::string before = Listing(session, lex);
  if (ORTH_CloseLex(session, lex) == 0) {
    const int32_t again = ORTH_OpenLex(session, fileName.c_str(), -1);
    FUZZ_CHECK(again >= 0);
    const std::string after = Listing(session, again);
    if (after != before) {
      std::fprintf(stderr, "before: %s\nafter:  %s\n", Escaped(before).c_str(),
                   Escaped(after).c_str());
    }
    FUZZ_CHECK(after == before);
  }
  FUZZ_CHECK(ORTH_CloseSession(session) == 0);
  return 0;
}
