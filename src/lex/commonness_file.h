// The commonness file that may sit beside a compressed lexicon: one grade
// byte per word of the lexicon, in its stored order, telling how common the
// word is. The ranked suggester reads it to prefer common words; the lexicon
// itself is unchanged by it, and without it every word counts as unknown.
//
// Layout (integers little-endian): the 16-byte magic, a 32-bit version, the
// lexicon's word count, file size and FNV-1a hash (so a file made for another
// build of the lexicon is never applied to it), then one grade per word.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lex/lex_words.h"

namespace orth {

inline constexpr char COMMONNESS_MAGIC[] = "ORTH commonness\n";
inline constexpr uint32_t COMMONNESS_MAGIC_SIZE = 16;
static_assert(sizeof(COMMONNESS_MAGIC) == COMMONNESS_MAGIC_SIZE + 1);
inline constexpr uint32_t COMMONNESS_VERSION = 1;
inline constexpr uint32_t COMMONNESS_HEADER_SIZE = COMMONNESS_MAGIC_SIZE + 16;
// The extension that replaces the lexicon's own in the commonness file's name.
inline constexpr char COMMONNESS_EXTENSION[] = ".olc";

// Grades: 0 no information; 1 the most common tier, 2 the next, ...;
// COMMONNESS_UNLISTED for a word that no tier lists.
inline constexpr uint8_t COMMONNESS_UNKNOWN = 0;
inline constexpr uint8_t COMMONNESS_MOST_COMMON = 1;
inline constexpr uint8_t COMMONNESS_UNLISTED = 255;

// "dir/en_US.olx" -> "dir/en_US.olc"; a name without an extension in its
// last component gets ".olc" appended.
std::string CommonnessFileName(const std::string& lexFileName);

// Reads the grades of a lexicon with `wordCount` words and fingerprint `lex`.
// Returns 0 with `grades` filled, ERR_FILE_OPEN (no such file, or unreadable)
// or ERR_BAD_FORMAT (wrong magic or version, made for another lexicon,
// truncated or with bytes after the grades); `grades` is then empty.
int32_t ReadCommonnessFile(const std::string& path, const LexFingerprint& lex, uint32_t wordCount,
                           std::vector<uint8_t>& grades);

// Writes a commonness file through a temporary file renamed over `path`, so a
// failed write leaves any earlier file whole. Returns 0 or ERR_FILE_OPEN.
int32_t WriteCommonnessFile(const std::string& path, const LexFingerprint& lex,
                            const std::vector<uint8_t>& grades);

}  // namespace orth
