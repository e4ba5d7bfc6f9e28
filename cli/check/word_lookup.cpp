#include "check/word_lookup.h"

#include <cstring>

#include "orth.h"

namespace orth::cli {

namespace {

// Room for every suggestion: a restored word has at most 32 characters.
constexpr size_t SUGGESTION_BYTES = 34;
// The sounds-alike buffer starts here and doubles while too small.
constexpr size_t FIRST_LIST_BYTES = size_t{1} << 16;
constexpr size_t MAX_LIST_BYTES = size_t{1} << 26;

std::vector<std::string> SplitWordList(const std::vector<char>& buffer) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < buffer.size() && buffer[at] != '\0') {
    const size_t length = strnlen(buffer.data() + at, buffer.size() - at);
    words.emplace_back(buffer.data() + at, length);
    at += length + 1;
  }
  return words;
}

}  // namespace

int32_t SuggestWords(int32_t session, const std::string& latin1Word,
                     const SuggestionOptions& suggestion, std::vector<ScoredWord>& out) {
  out.clear();
  const int32_t maxCount = suggestion.maxSuggestions;
  if (maxCount <= 0) return 0;
  std::vector<char> buffer(static_cast<size_t>(maxCount) * SUGGESTION_BYTES + 1, '\0');
  std::vector<int32_t> scores(static_cast<size_t>(maxCount), 0);
  const auto size = static_cast<uint32_t>(buffer.size());
  const int32_t result = suggestion.classic
                             ? ORTH_Suggest(session, latin1Word.c_str(), suggestion.level,
                                            buffer.data(), size, scores.data(), maxCount)
                             : ORTH_SuggestRanked(session, latin1Word.c_str(), buffer.data(), size,
                                                  scores.data(), maxCount);
  if (result < 0) return result;
  const std::vector<std::string> words = SplitWordList(buffer);
  for (size_t i = 0; i < words.size() && i < scores.size(); ++i) {
    out.push_back({words[i], scores[i]});
  }
  return 0;
}

int32_t SoundsLikeWords(int32_t session, const std::string& latin1Word,
                        std::vector<std::string>& out) {
  out.clear();
  for (size_t size = FIRST_LIST_BYTES; size <= MAX_LIST_BYTES; size *= 2) {
    std::vector<char> buffer(size, '\0');
    const int32_t result = ORTH_PhonSearch(session, latin1Word.c_str(), buffer.data(),
                                           static_cast<uint32_t>(buffer.size()));
    if (result == ERR_BUFFER_TOO_SMALL) continue;
    if (result < 0) return result;
    out = SplitWordList(buffer);
    return 0;
  }
  return ERR_BUFFER_TOO_SMALL;
}

bool ParseSuggestLevel(const std::string& text, int32_t& level) {
  if (text == "auto") {
    level = SUGGEST_LEVEL_AUTO;
    return true;
  }
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '3') {
    level = text[0] - '0';
    return true;
  }
  return false;
}

}  // namespace orth::cli
