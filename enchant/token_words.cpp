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
  // or the stand-in, so only the typographic apostrophes join a word, and
  // the ligatures œ and Œ, read as the letters they join.
  const char byte = cli::LigatureLetters(character) != nullptr ? 'o' : cli::EngineByteOf(character);
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
    cli::AppendEngineChar(engine, character);
    i += length;
  }
}

std::vector<WordSpan> EngineWordSpans(std::string_view engine) {
  std::vector<WordSpan> spans;
  ForEachEngineWord(engine, [&spans](WordSpan span) {
    spans.push_back(span);
    return true;
  });
  return spans;
}

int32_t CheckToken(int32_t session, std::string_view utf8) {
  // Hosts check word after word: no heap for a token of ordinary length.
  std::string engine;
  TokenToEngineBytes(utf8, engine);
  int32_t answer = 0;
  ForEachEngineWord(engine, [&](WordSpan span) {
    char word[64];
    std::string longWord;
    const size_t length = span.end - span.begin;
    const char* text = word;
    if (length < sizeof word) {
      engine.copy(word, length, span.begin);
      word[length] = '\0';
    } else {
      longWord.assign(engine, span.begin, length);
      text = longWord.c_str();
    }
    // As orthspell checks: a known word in a case its dictionary rules out
    // («debian») is wrong too, and its first suggestion is the right form.
    const int32_t result =
        ORTH_CheckWord(session, OPT_REPORT_MISSPELLED | OPT_REPORT_WRONG_CASE, text, nullptr, 0);
    if (result < 0 || (result & (RES_MISSPELLED | RES_WRONG_CASE)) != 0) {
      answer = result < 0 ? result : 1;
      return false;
    }
    return true;
  });
  return answer;
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
