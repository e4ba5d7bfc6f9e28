// The Enchant provider's token edge: any bytes a host hands over as a word
// must give a check of 0 or 1 and well-formed suggestions, and the engine's
// words found in the token must be exactly what a host cutting text with the
// provider's word-character rule would cut.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "encoding/engine_text.h"
#include "fuzz_support.h"
#include "lexcompiler/text_encoding.h"
#include "orth.h"
#include "token_words.h"

namespace {

using orth::provider::IsWordCharacter;
using orth::provider::WordSpan;

// The character behind each engine byte of a token, as the provider reads it
// (malformed bytes as the Latin-1 characters of their values; a ligature
// stands behind both of its letters).
std::vector<uint32_t> Characters(const std::string& token) {
  std::vector<uint32_t> characters;
  for (size_t i = 0; i < token.size();) {
    uint32_t character = 0;
    size_t length = orth::DecodeUtf8Char(std::string_view(token).substr(i), character);
    if (length == 0) {
      character = static_cast<unsigned char>(token[i]);
      length = 1;
    }
    characters.push_back(character);
    if (orth::cli::LigatureLetters(character) != nullptr) characters.push_back(character);
    i += length;
  }
  return characters;
}

}  // namespace

// Input: a byte choosing whether a correct word leads the token, then the
// token's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orth::fuzz::FuzzInput input{data, size};
  const uint8_t flags = input.Byte();
  std::string token = input.Take(input.Remaining());
  if ((flags & 1) != 0) token.insert(0, "quick ");

  const int32_t session = ORTH_OpenSession();
  FUZZ_CHECK(session >= 0);
  const int32_t words = ORTH_CreateLex(session, nullptr, LEX_TYPE_ACCEPT, 1033);
  for (const char* word : {"the", "quick", "brown", "fox", "don't", "caf\xE9", "na\xEFve"}) {
    ORTH_AddToLex(session, words, word, nullptr);
  }

  const int32_t checked = orth::provider::CheckToken(session, token);
  FUZZ_CHECK(checked == 0 || checked == 1);
  std::vector<std::string> suggestions;
  FUZZ_CHECK(orth::provider::SuggestForToken(session, token, suggestions) == 0);
  FUZZ_CHECK(suggestions.size() <= static_cast<size_t>(orth::provider::MAX_SUGGESTIONS));
  for (const std::string& suggestion : suggestions) {
    FUZZ_CHECK(!suggestion.empty() && orth::cli::IsValidUtf8(suggestion));
  }

  // One engine byte a character (two for a ligature); every word starts, goes on and ends with
  // characters the word-character rule admits at those places.
  std::string engine;
  orth::provider::TokenToEngineBytes(token, engine);
  const std::vector<uint32_t> characters = Characters(token);
  FUZZ_CHECK(engine.size() == characters.size());
  size_t previousEnd = 0;
  for (const WordSpan& span : orth::provider::EngineWordSpans(engine)) {
    FUZZ_CHECK(previousEnd <= span.begin && span.begin < span.end && span.end <= engine.size());
    FUZZ_CHECK(IsWordCharacter(characters[span.begin], 0));
    for (size_t i = span.begin + 1; i + 1 < span.end; ++i) {
      FUZZ_CHECK(IsWordCharacter(characters[i], 1));
    }
    FUZZ_CHECK(IsWordCharacter(characters[span.end - 1], span.end - 1 == span.begin ? 0 : 2));
    previousEnd = span.end;
  }
  FUZZ_CHECK(ORTH_CloseSession(session) == 0);
  return 0;
}
