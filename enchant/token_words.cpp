#include "token_words.h"

#include "check/word_lookup.h"
#include "encoding/engine_text.h"
#include "encoding/latin1_classes.h"
#include "lexcompiler/text_encoding.h"
#include "orth.h"

namespace orth::provider {

namespace {

enum Position : size_t { FIRST = 0, MIDDLE = 1, LAST = 2 };

}  // namespace

bool IsWordCharacter(uint32_t character, size_t position) {
  // Outside Latin-1 the engine byte is the apostrophe, a space, punctuation
  // or the stand-in, so only the typographic apostrophes join a word.
  const char byte = cli::EngineByteOf(character);
  switch (position) {
    case FIRST:
      return cli::IsLetter(byte);
    case MIDDLE:
      return cli::ContinuesWord(byte);
    case LAST:
      return cli::IsLetter(byte) || cli::IsDigit(byte);
    default:
      return false;
  }
}

void TokenToEngineBytes(std::string_view utf8, std::string& engine) {
  engine.clear();
  for (size_t i = 0; i < utf8.size();) {
    uint32_t character = 0;
    size_t length = DecodeUtf8Char(utf8.substr(i), character);
    if (length == 0) {
      character = static_cast<unsigned char>(utf8[i]);
      length = 1;
    }
    engine.push_back(cli::EngineByteOf(character));
    i += length;
  }
}

std::vector<WordSpan> EngineWordSpans(std::string_view engine) {
  std::vector<WordSpan> spans;
  for (size_t i = 0; i < engine.size();) {
    if (!cli::IsLetter(engine[i])) {
      ++i;
      continue;
    }
    const size_t begin = i++;
    while (i < engine.size() && cli::ContinuesWord(engine[i])) ++i;
    size_t end = i;
    while (engine[end - 1] == '\'') --end;  // the first byte is a letter
    spans.push_back({begin, end});
  }
  return spans;
}

int32_t CheckToken(int32_t session, std::string_view utf8) {
  std::string engine;
  TokenToEngineBytes(utf8, engine);
  std::string word;
  char corrected[WORD_MAX + 2];
  for (const WordSpan& span : EngineWordSpans(engine)) {
    word.assign(engine, span.begin, span.end - span.begin);
    const int32_t result =
        ORTH_CheckWord(session, OPT_REPORT_MISSPELLED, word.c_str(), corrected, sizeof corrected);
    if (result < 0) return result;
    if ((result & RES_MISSPELLED) != 0) return 1;
  }
  return 0;
}

int32_t SuggestForToken(int32_t session, std::string_view utf8, std::vector<std::string>& out) {
  out.clear();
  std::string latin1;
  if (!cli::WordToLatin1(utf8, latin1) || latin1.empty()) return 0;
  cli::SuggestionOptions ranked;
  ranked.maxSuggestions = MAX_SUGGESTIONS;
  std::vector<cli::ScoredWord> scored;
  const int32_t result = cli::SuggestWords(session, latin1, ranked, scored);
  if (result < 0) return result;
  for (const cli::ScoredWord& suggestion : scored) {
    out.push_back(cli::Latin1ToUtf8Text(suggestion.word));
  }
  return 0;
}

}  // namespace orth::provider
