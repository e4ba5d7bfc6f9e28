// Probe, open and close of compressed lexicons: header, token strings,
// short-word table and section directory.
#include "lex/compressed_lex.h"

#include <new>

#include <utility>
#include "lex/shared_dictionary.h"
#include "session/platform_file.h"

namespace orth {
namespace {

// The short-word table is read straight into its entries.
static_assert(sizeof(CompressedLex::shortWords) == SHORT_WORD_ENTRY_SIZE * (MAX_SHORT_WORDS + 1));

bool ReadExactly(std::FILE* file, void* buffer, size_t count) {
  return std::fread(buffer, 1, count, file) == count;
}

FilePtr OpenForReading(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  return FilePtr(OpenFile(fileName, "rb"));
}

// Token n is the n-th NUL-terminated string of the token area. Reading stops
// after MAX_TOKENS strings or when the next one would start at the end of the
// header; a string that runs to the end without a NUL ends there. Longer
// tokens are cut to TOKEN_MAX characters. Unfilled slots stay empty.
void ReadTokenArea(const unsigned char* header, TokenStrings& tokens) {
  uint32_t at = TOKEN_AREA_OFFSET;
  for (int n = 0; n < MAX_TOKENS && at < COMPRESSED_HEADER_SIZE; ++n) {
    int length = 0;
    for (; at < COMPRESSED_HEADER_SIZE && header[at] != 0; ++at) {
      if (length < TOKEN_MAX) tokens[n][length++] = static_cast<char>(header[at]);
    }
    tokens[n][length] = '\0';
    ++at;  // past the NUL
  }
}

}  // namespace

int32_t ProbeCompressedLex(const char* fileName, int32_t& type, int32_t& language) {
  FilePtr file = OpenForReading(fileName);
  if (file == nullptr) return ERR_FILE_OPEN;
  unsigned char header[COMPRESSED_HEADER_SIZE];
  if (!ReadExactly(file.get(), header, sizeof header)) return ERR_BAD_FORMAT;
  type = LEX_TYPE_ACCEPT;
  language = ReadLe16(header + HEADER_LANGUAGE_OFFSET);
  return 0;
}

int32_t OpenCompressedLex(const char* fileName, int32_t cacheBudget,
                          std::unique_ptr<CompressedLex>& out) {
  // Everything below is owned by `lex`; an early return releases it all and
  // closes the file.
  std::unique_ptr<CompressedLex> lex(new (std::nothrow) CompressedLex);
  if (lex == nullptr) return ERR_NO_MEMORY;
  lex->file = OpenForReading(fileName);
  if (lex->file == nullptr) return ERR_FILE_OPEN;

  unsigned char header[COMPRESSED_HEADER_SIZE];
  if (!ReadExactly(lex->file.get(), header, sizeof header)) return ERR_BAD_FORMAT;
  if (ReadLe32(header + HEADER_MAGIC_OFFSET) != COMPRESSED_LEX_MAGIC) return ERR_BAD_FORMAT;
  ReadTokenArea(header, lex->tokens);
  lex->language = ReadLe16(header + HEADER_LANGUAGE_OFFSET);

  const uint32_t shortWordCount = ReadLe16(header + HEADER_SHORT_WORD_COUNT_OFFSET);
  if (shortWordCount > MAX_SHORT_WORDS) return ERR_BAD_FORMAT;
  lex->shortWordCount = shortWordCount;
  if (!ReadExactly(lex->file.get(), lex->shortWords.data(),
                   SHORT_WORD_ENTRY_SIZE * shortWordCount)) {
    return ERR_BAD_FORMAT;
  }

  // The directory check needs the budget.
  lex->cacheBudget = cacheBudget;
  lex->sectionCount = ReadLe16(header + HEADER_SECTION_COUNT_OFFSET);
  const int32_t result = ReadSectionDirectory(lex->file.get(), lex->sectionCount, *lex);
  if (result != 0) return result;
  try {
    lex->shared = AcquireSharedDictionary(fileName, lex->file.get());
  } catch (const std::bad_alloc&) {
    // Without memory for the shared record the lexicon shares nothing and
    // works as well on its own.
  }

  out = std::move(lex);
  return 0;
}

void CloseCompressedLex(std::unique_ptr<CompressedLex> lex) {
  if (lex == nullptr) return;
  for (auto& section : lex->sections) section.reset();
  lex->file.reset();
}

int32_t ReadSectionDirectory(std::FILE* file, uint32_t sectionCount, CompressedLex& lex) {
  for (auto& section : lex.sections) section.reset();
  lex.oldestResident = NO_SECTION;
  lex.newestResident = NO_SECTION;
  lex.skippedEntries = 0;

  auto fail = [&lex](int32_t code) {
    for (auto& section : lex.sections) section.reset();
    return code;
  };
  for (uint32_t i = 0; i < sectionCount; ++i) {
    unsigned char entry[DIRECTORY_ENTRY_SIZE];
    if (!ReadExactly(file, entry, sizeof entry)) return fail(ERR_BAD_FORMAT);
    const unsigned char first = entry[DIRECTORY_FIRST_LETTER_FIELD];
    const unsigned char second = entry[DIRECTORY_SECOND_LETTER_FIELD];
    const int32_t position = SectionPosition(first, second);
    // A pair the index cannot hold (ÿ or ß first, or a character without a
    // letter code) could never be looked up; drop it before the budget test
    // so that it cannot make the open fail.
    if (!IsSectionPosition(position)) {
      ++lex.skippedEntries;
      continue;
    }
    std::unique_ptr<LexSection> section(new (std::nothrow) LexSection);
    if (section == nullptr) return fail(ERR_NO_MEMORY);
    section->dataOffset = ReadLe32(entry + DIRECTORY_OFFSET_FIELD);
    section->size = ReadLe16(entry + DIRECTORY_SIZE_FIELD);
    section->firstLetter = first;
    section->secondLetter = second;
    const uint32_t size = section->size;
    lex.sections[position] = std::move(section);  // a later entry replaces an earlier one
    // Every section must fit a limited budget on its own, so that the cache
    // can always make room for it.
    if (lex.cacheBudget >= 0 && size > static_cast<uint32_t>(lex.cacheBudget)) {
      return fail(ERR_NO_MEMORY);
    }
  }
  lex.useCounter = 0;
  return 0;
}

}  // namespace orth
