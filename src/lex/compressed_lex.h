// An open compressed lexicon: header, token strings, short-word table and the
// two-letter SectionIndex of its sections, with the open file their data is
// read from.
//
// The file stays open from OpenCompressedLex to CloseCompressedLex; section
// data is read only on demand by LoadSection (lex/section_cache.h). Every
// failing open releases all it allocated and closes the file.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "lex/section_format.h"
#include "orth.h"

namespace orth {

// Closes a C file when its owner goes.
struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A short-word table entry: a word of one or two characters, the second byte
// 0 for a one-letter word. No terminator of its own.
using ShortWord = std::array<unsigned char, SHORT_WORD_ENTRY_SIZE>;

// Token n as a NUL-terminated string of at most TOKEN_MAX characters; slots
// not filled from the file are empty strings.
using TokenStrings = std::array<std::array<char, TOKEN_SLOT_SIZE>, MAX_TOKENS>;

// Marks "no section" in the cache's recency links.
inline constexpr int32_t NO_SECTION = -1;

// The word index of a resident section (lex/section_word_index.h), owned by the
// section and released with its data.
struct SectionWordIndex;
struct SectionWordIndexDeleter {
  void operator()(SectionWordIndex* index) const;
};
using SectionWordIndexPtr = std::unique_ptr<SectionWordIndex, SectionWordIndexDeleter>;

// The ranked suggester's index of the whole lexicon (suggest/rank_index.h),
// built on its first use and released with the lexicon.
struct RankIndex;

// The forms its word list gives in capitals (lex/case_forms.h), read on first
// use and released with the lexicon.
struct CaseForms;

// What the lexicons open on the same file share (lex/shared_dictionary.h).
struct SharedDictionary;

// One section directory entry and, while it is resident, its data.
struct LexSection {
  uint32_t dataOffset = 0;  // from the start of the file
  uint32_t size = 0;        // 0..65535; 0 is an empty section
  // The section's bytes while resident; shared with the other lexicons on
  // the same file when the lexicon has no cache budget, never written once
  // loaded.
  std::shared_ptr<unsigned char[]> data;
  unsigned char firstLetter = 0;
  unsigned char secondLetter = 0;
  uint64_t stamp = 0;  // use counter at the last successful LoadSection; 0 until then
  // Recency links among the resident sections of the lexicon (positions, or
  // NO_SECTION); kept by the section cache only.
  int32_t olderResident = NO_SECTION;
  int32_t newerResident = NO_SECTION;
  // Built by the cache on the second use while resident, so a section read
  // for one lookup only is not decoded whole; never charged to the budget.
  // Shared like the data.
  std::shared_ptr<const SectionWordIndex> wordIndex;
  uint32_t residentUses = 0;  // LoadSection hits since the section became resident

  bool IsResident() const { return data != nullptr; }
};

// The section at each position 55 x LetterCode(first) + LetterCode(second),
// or null.
using SectionIndex = std::array<std::unique_ptr<LexSection>, SECTION_INDEX_SIZE>;

struct CompressedLex {
  uint32_t shortWordCount = 0;                              // 0..439
  std::array<ShortWord, MAX_SHORT_WORDS + 1> shortWords{};  // first shortWordCount used
  SectionIndex sections;
  FilePtr file;              // open for binary reading until the close
  int32_t cacheBudget = -1;  // bytes of section data that may still be loaded; < 0: no limit
  uint64_t useCounter = 0;   // section uses since the open; 64 bits, so it never wraps
  TokenStrings tokens{};
  // Header fields kept for callers that describe the lexicon.
  uint16_t language = 0;        // the header's language identifier
  uint32_t sectionCount = 0;    // directory entries in the file (some may have been dropped)
  uint32_t skippedEntries = 0;  // directory entries whose position lies outside the index
  // The resident sections from least to most recently used (positions), kept
  // by the section cache.
  int32_t oldestResident = NO_SECTION;
  int32_t newestResident = NO_SECTION;
  // Heap bytes of the word indexes of the resident sections.
  uint64_t wordIndexBytes = 0;
  // Whether the cache builds word indexes; off, every reader takes the plain
  // decode (the differential tests compare the two).
  bool indexSections = true;
  // The ranked suggester's index, and whether building it failed (then it
  // is not tried again).
  std::shared_ptr<const RankIndex> rankIndex;
  bool rankIndexFailed = false;
  // The case forms, and whether they were looked for (null: none).
  std::shared_ptr<const CaseForms> caseForms;
  bool caseFormsTried = false;
  // What this lexicon shares with the others open on the same file; null
  // when the file could not be identified (then it shares nothing).
  std::shared_ptr<SharedDictionary> shared;
};

// Reads just enough of a file to report its type (always LEX_TYPE_ACCEPT)
// and the header's language; the magic is not checked. Returns 0,
// ERR_FILE_OPEN or ERR_BAD_FORMAT (fewer than COMPRESSED_HEADER_SIZE bytes).
// The outputs are written only on success. The file is closed again.
int32_t ProbeCompressedLex(const char* fileName, int32_t& type, int32_t& language);

// Opens a compressed lexicon with a cache budget in bytes (negative: no
// limit). Returns 0 with `out` set, or ERR_NO_MEMORY (an allocation failed,
// or a section is larger than a budget of 0 or more), ERR_FILE_OPEN or
// ERR_BAD_FORMAT (short header, wrong magic, 440 or more short words, the
// file ends inside the short-word table or the directory); `out` is then
// left untouched and nothing stays allocated or open.
int32_t OpenCompressedLex(const char* fileName, int32_t cacheBudget,
                          std::unique_ptr<CompressedLex>& out);

// Releases every section's data and entry, closes the file, releases the
// record. Accepts null.
void CloseCompressedLex(std::unique_ptr<CompressedLex> lex);

// Reads sectionCount directory entries from `file` (positioned at the
// directory) into lex.sections, which it empties first. A later entry at the
// same position replaces the earlier one; an entry whose position lies
// outside the index is dropped (counted in lex.skippedEntries) before its size
// is tested against the budget. Uses lex.cacheBudget. Returns 0,
// ERR_NO_MEMORY (allocation, or a stored section larger than a budget of 0 or
// more) or ERR_BAD_FORMAT (the file ends inside the directory).
int32_t ReadSectionDirectory(std::FILE* file, uint32_t sectionCount, CompressedLex& lex);

// The short-word entry of a word (its first two bytes; one-letter words end
// in 0).
inline ShortWord ShortWordOf(const char* word) {
  const unsigned char first = static_cast<unsigned char>(word[0]);
  return {first, first == 0 ? static_cast<unsigned char>(0) : static_cast<unsigned char>(word[1])};
}

}  // namespace orth
