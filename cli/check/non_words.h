// Tokens of technical text that are not words and are never checked: URLs,
// addresses, paths, file names, numbers and hashes, options and variables.
// Each kind can be turned off (--no-skip KIND) to have its words checked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orth::cli {

enum NonWordKind : uint32_t {
  NON_WORD_NONE = 0,
  NON_WORD_URL = 1u << 0,       // https://example.org/x, www.example.org, mailto:x
  NON_WORD_EMAIL = 1u << 1,     // someone@example.org
  NON_WORD_PATH = 1u << 2,      // /usr/share/doc, src/x/main.cpp, ./run, ~/x, C:\x
  NON_WORD_FILE = 1u << 3,      // README.md, example.com, .bashrc, os.path.join
  NON_WORD_HEX = 1u << 4,       // 0x1f2e, #a0b1c2
  NON_WORD_HASH = 1u << 5,      // 7 to 64 hex digits: 3f2a9c1
  NON_WORD_UUID = 1u << 6,      // 123e4567-e89b-12d3-a456-426614174000
  NON_WORD_BASE64 = 1u << 7,    // 20 or more base64 characters of mixed kinds
  NON_WORD_OPTION = 1u << 8,    // --build, -j2, -Wall
  NON_WORD_VARIABLE = 1u << 9,  // $HOME, ${HOME}, $(cmd), %PATH%
  // Words rather than tokens:
  NON_WORD_DIGITS = 1u << 10,  // a word holding a digit: IPv4, file1, x86
  NON_WORD_CAPS = 1u << 11,    // a word in capitals: HTTP, README, NASA
};

inline constexpr uint32_t NON_WORD_ALL = (1u << 12) - 1;

// The names of the kinds for --no-skip, in bit order.
const std::vector<std::string_view>& NonWordKindNames();

// Parses a --no-skip value: kind names separated by commas, or "all".
// Returns the bits named; false with a message for an unknown name.
bool ParseNonWordKinds(std::string_view list, uint32_t& kinds, std::string& error);

// The kind of a whitespace-delimited token of Latin-1 text (punctuation
// around it included), among the token kinds in `enabled`, or
// NON_WORD_NONE when its words are to be checked.
NonWordKind ClassifyToken(std::string_view token, uint32_t enabled);

// The length of a format directive at the start of `text` (%s, %-5.2f,
// %(name)s, {0}, {name}, {:>10}), or 0.
size_t FormatDirectiveLength(std::string_view text);

}  // namespace orth::cli
