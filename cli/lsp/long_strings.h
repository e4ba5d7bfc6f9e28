// Long JSON strings (a document's text) read without the JSON library,
// which builds every string one character at a time: a message's long
// strings are decoded here and stand in the text the library parses as
// short placeholders, which are then replaced by the decoded strings.
// A long string this reader does not take as valid JSON is left in place, so
// that the library gives its usual error for it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/json_rpc.h"

namespace orth::cli::lsp {

// The shortest string (in bytes of JSON) that is decoded here.
inline constexpr size_t LONG_STRING_BYTES = size_t{16} << 10;

struct LiftedStrings {
  std::string text;                  // the message with placeholders
  std::vector<std::string> strings;  // the decoded strings, by placeholder
};

// Where the JSON string whose opening quote is at `open` ends (after its
// closing quote), or npos when it does not.
size_t StringEnd(std::string_view text, size_t open);

// Finds the string values of `body` of at least `minimum` bytes; false when
// there are none (the body is parsed as it is).
bool LiftLongStrings(std::string_view body, size_t minimum, LiftedStrings& out);

// Puts the decoded strings back in place of their placeholders.
void RestoreLongStrings(Json& value, LiftedStrings& lifted);

}  // namespace orth::cli::lsp
