// The section decoder alone: fuzzed section bytes, token strings and target in exact and visitor
// modes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "lex/compressed_lex.h"
#include "lex/section_decoder.h"

namespace {

using orth::fuzz::FuzzInput;

int32_t g_visits = 0;
int32_t g_stopAfter = 0;  // visit at which the visitor stops the decoder; 0: never
unsigned char g_first = 0;
unsigned char g_second = 0;

// Every decoded word is a proper string of at most 31 characters that starts
// with the section's letters.
int32_t CheckWord(const char* target, const char* word) {
  FUZZ_CHECK(target != nullptr && word != nullptr);
  FUZZ_CHECK(std::strlen(word) <= orth::DECODED_WORD_MAX);
  const auto* w = reinterpret_cast<const unsigned char*>(word);
  if (g_first != 0) FUZZ_CHECK(w[0] == g_first && (g_second == 0 || w[1] == g_second));
  ++g_visits;
  if (g_stopAfter != 0 && g_visits == g_stopAfter) return (g_visits & 1) ? 0 : -1;
  return 1;
}

}  // namespace

// Input: the two section letters, a target (length byte and bytes), a token
// area (length byte and bytes, NUL-separated strings), a stop byte for the
// visitor, then the section's data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input{data, size};
  const uint8_t first = input.Byte();
  const uint8_t second = input.Byte();
  const std::string target = input.String(40);
  const std::string area = input.String(255);
  g_stopAfter = input.Byte() % 16;
  g_first = first;
  g_second = second;

  orth::TokenStrings tokens{};
  size_t at = 0;
  for (int n = 0; n < orth::MAX_TOKENS && at < area.size(); ++n) {
    int length = 0;
    for (; at < area.size() && area[at] != '\0'; ++at) {
      if (length < orth::TOKEN_MAX) tokens[n][length++] = area[at];
    }
    tokens[n][length] = '\0';
    ++at;
  }

  // The data lives in a buffer of exactly its size, so that the sanitizers
  // see any read past the section.
  const std::string bytes = input.Take(orth::MAX_SECTION_SIZE);
  orth::LexSection section;
  section.firstLetter = first;
  section.secondLetter = second;
  section.size = static_cast<uint32_t>(bytes.size());
  section.data.reset(new unsigned char[bytes.size() + (bytes.empty() ? 1 : 0)]);
  if (!bytes.empty()) std::memcpy(section.data.get(), bytes.data(), bytes.size());

  const int32_t stopAfter = g_stopAfter;
  for (const bool exact : {true, false}) {
    g_visits = 0;
    g_stopAfter = 0;
    const int32_t all = orth::DecodeSection(section, target.c_str(), exact, CheckWord, tokens);
    FUZZ_CHECK(all == 0);  // a visitor that never stops finds nothing
    g_visits = 0;
    g_stopAfter = stopAfter;
    const int32_t stopped = orth::DecodeSection(section, target.c_str(), exact, CheckWord, tokens);
    FUZZ_CHECK(stopped == 0 || stopped == 1);
  }
  const int32_t found = orth::DecodeSection(section, target.c_str(), true, nullptr, tokens);
  FUZZ_CHECK(found == 0 || found == 1);
  return 0;
}
