// Compressed lexicon files: open fuzzed bytes under several cache budgets, then check, suggest at
// every level and search by sound.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "orth.h"

namespace {

using orth::fuzz::GuardedBuffer;

// Header fields the target reads to pick words the file's sections hold.
constexpr size_t HEADER_SIZE = 682;
constexpr size_t SHORT_WORD_COUNT_AT = 260;
constexpr size_t SECTION_COUNT_AT = 262;

struct WorkFile {
  std::filesystem::path path;
  WorkFile() {
    path = std::filesystem::temp_directory_path() /
           ("orth-fuzz-compressed-" + std::to_string(static_cast<long>(getpid())) + ".olx");
  }
  ~WorkFile() {
    std::error_code error;
    std::filesystem::remove(path, error);
  }
};

uint32_t Le16(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | (p[1] << 8));
}

// Fixed words, plus words that start with the letters of the first
// directory entries and the first short words, so that lookups reach the
// file's own sections.
std::vector<std::string> WordsFor(const uint8_t* data, size_t size) {
  std::vector<std::string> words = {"the", "speling", "a", "I", "cafe\xE9", "don't", "Zorblatt"};
  if (size < HEADER_SIZE) return words;
  const size_t shortCount = Le16(data + SHORT_WORD_COUNT_AT);
  const size_t sectionCount = Le16(data + SECTION_COUNT_AT);
  const size_t directoryAt = HEADER_SIZE + 2 * shortCount;
  for (size_t i = 0; i < shortCount && i < 2 && HEADER_SIZE + 2 * i + 2 <= size; ++i) {
    const uint8_t* entry = data + HEADER_SIZE + 2 * i;
    words.push_back(std::string(1, static_cast<char>(entry[0])) +
                    (entry[1] != 0 ? std::string(1, static_cast<char>(entry[1])) : ""));
  }
  for (size_t i = 0; i < sectionCount && i < 3 && directoryAt + 8 * i + 8 <= size; ++i) {
    const uint8_t* entry = data + directoryAt + 8 * i;
    const std::string start{static_cast<char>(entry[6]), static_cast<char>(entry[7])};
    words.push_back(start + "e");
    words.push_back(start + "ing");
  }
  return words;
}

}  // namespace

// Input: the whole compressed lexicon file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static WorkFile file;
  {
    std::ofstream out(file.path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::vector<std::string> words = WordsFor(data, size);
  const int32_t session = ORTH_OpenSession();
  FUZZ_CHECK(session >= 0);
  const int32_t budgets[] = {-1, 1024, 0};
  for (size_t b = 0; b < 3; ++b) {
    const int32_t budget = budgets[b];
    const int32_t lex = ORTH_OpenLex(session, file.path.c_str(), budget);
    if (lex < 0) continue;
    for (const std::string& word : words) {
      GuardedBuffer corrected(WORD_MAX + 1);
      ORTH_CheckWord(session, OPT_REPORT_MISSPELLED | OPT_SPLIT_AT_APOSTROPHE, word.c_str(),
                     corrected.Data(), static_cast<uint32_t>(corrected.size));
      FUZZ_CHECK(corrected.GuardsIntact());
    }
    // One word per budget keeps the executions fast; each budget searches a
    // different one.
    {
      const size_t w = b % 2;
      const std::string& word = words[words.size() - 1 - b];
      for (int32_t level = SUGGEST_LEVEL_AUTO; level <= 3; ++level) {
        GuardedBuffer buffer(level == 3 ? 24 : 200);
        int32_t scores[10];
        const int32_t result = ORTH_Suggest(session, word.c_str(), level, buffer.Data(),
                                            static_cast<uint32_t>(buffer.size), scores, 10);
        FUZZ_CHECK(buffer.GuardsIntact());
        if (result == 0 || result == ERR_BUFFER_TOO_SMALL) {
          FUZZ_CHECK(orth::fuzz::IsTerminatedList(buffer.Data(), buffer.size));
        }
      }
      {
        // The ranked suggester indexes the whole lexicon on its first call.
        GuardedBuffer buffer(w == 0 ? 300 : 20);
        int32_t scores[10];
        const int32_t result = ORTH_SuggestRanked(session, word.c_str(), buffer.Data(),
                                                  static_cast<uint32_t>(buffer.size), scores, 10);
        FUZZ_CHECK(buffer.GuardsIntact());
        FUZZ_CHECK(result == 0 || result == ERR_BUFFER_TOO_SMALL);
        FUZZ_CHECK(orth::fuzz::IsTerminatedList(buffer.Data(), buffer.size));
        // Each suggestion written has its score, best first.
        size_t i = 0;
        for (const char* at = buffer.Data(); *at != '\0'; at += std::strlen(at) + 1, ++i) {
          FUZZ_CHECK(i < 10 && scores[i] >= 1 && scores[i] <= 100);
          FUZZ_CHECK(i == 0 || scores[i] <= scores[i - 1]);
        }
      }
      GuardedBuffer sounds(w == 0 ? 300 : 16);
      const int32_t found =
          ORTH_PhonSearch(session, word.c_str(), sounds.Data(), static_cast<uint32_t>(sounds.size));
      FUZZ_CHECK(sounds.GuardsIntact());
      if (found >= 0) FUZZ_CHECK(orth::fuzz::IsTerminatedList(sounds.Data(), sounds.size));
    }
    int32_t format = -1;
    FUZZ_CHECK(ORTH_GetLexInfo(session, lex, nullptr, &format, nullptr, nullptr) == 0);
    FUZZ_CHECK(ORTH_CloseLex(session, lex) == 0);
  }
  FUZZ_CHECK(ORTH_CloseSession(session) == 0);
  return 0;
}
