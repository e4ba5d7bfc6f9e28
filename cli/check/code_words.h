// The words the checking stage takes from code that is not checked (a code
// span, the code around comments): runs of letters and of the digits and
// apostrophes that continue them, in the engine's lower case. A misspelled
// word of the text that is one of them names something in the code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/engine_text.h"
#include "encoding/latin1_classes.h"
#include "lexcompiler/text_encoding.h"

namespace orth::cli {

// Calls visit(const std::string& word) for each word of `bytes` (UTF-8, or
// Latin-1 when `latin1`); `word` is scratch space.
template <typename Visit>
void ForEachCodeWord(std::string_view bytes, bool latin1, std::string& word, Visit&& visit) {
  word.clear();
  for (size_t i = 0; i < bytes.size();) {
    char c = bytes[i];
    size_t length = 1;
    if (static_cast<unsigned char>(c) >= 0x80 && !latin1) {
      uint32_t character = 0;
      length = DecodeUtf8Char(bytes.substr(i), character);
      if (length == 0) length = 1;
      c = length == 1 ? c : EngineByteOf(character);
    }
    i += length;
    if (IsLetter(c) || (!word.empty() && ContinuesWord(c))) {
      word += ToLower(c);
    } else if (!word.empty()) {
      visit(static_cast<const std::string&>(word));
      word.clear();
    }
  }
  if (!word.empty()) visit(static_cast<const std::string&>(word));
}

}  // namespace orth::cli
