#include "lexcompiler/lex_writer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "lex/section_format.h"

namespace orth {

namespace {

constexpr char IDENTIFICATION[] = "ORTH compressed lexicon\n";

}  // namespace

std::vector<unsigned char> BuildLexImage(
    uint16_t language, const LexLayout& layout, const TokenList& tokens,
    const std::vector<std::vector<unsigned char>>& sectionData) {
  std::array<unsigned char, COMPRESSED_HEADER_SIZE> header{};
  std::memcpy(header.data(), IDENTIFICATION, sizeof IDENTIFICATION - 1);
  WriteLe32(&header[HEADER_MAGIC_OFFSET], COMPRESSED_LEX_MAGIC);
  WriteLe16(&header[HEADER_SHORT_WORD_COUNT_OFFSET],
            static_cast<uint16_t>(layout.shortWords.size()));
  WriteLe16(&header[HEADER_SECTION_COUNT_OFFSET], static_cast<uint16_t>(layout.sections.size()));
  WriteLe16(&header[HEADER_LANGUAGE_OFFSET], language);
  // Tokens packed one after another, each with its NUL; 32 of 12 characters
  // fill the area exactly, and unwritten places read as empty tokens.
  size_t at = TOKEN_AREA_OFFSET;
  for (size_t t = 0; t < tokens.size() && t < static_cast<size_t>(MAX_TOKENS); ++t) {
    const size_t length = std::min(tokens[t].size(), static_cast<size_t>(TOKEN_MAX));
    std::memcpy(&header[at], tokens[t].data(), length);
    at += length + 1;
  }
  std::vector<unsigned char> image(header.begin(), header.end());
  image.resize(COMPRESSED_HEADER_SIZE + SHORT_WORD_ENTRY_SIZE * layout.shortWords.size() +
               DIRECTORY_ENTRY_SIZE * layout.sections.size());

  size_t position = COMPRESSED_HEADER_SIZE;
  for (const ShortWord& word : layout.shortWords) {
    image[position] = word[0];
    image[position + 1] = word[1];
    position += SHORT_WORD_ENTRY_SIZE;
  }
  uint32_t dataOffset = static_cast<uint32_t>(image.size());
  for (size_t s = 0; s < layout.sections.size(); ++s) {
    unsigned char entry[DIRECTORY_ENTRY_SIZE];
    WriteLe32(entry + DIRECTORY_OFFSET_FIELD, dataOffset);
    WriteLe16(entry + DIRECTORY_SIZE_FIELD, static_cast<uint16_t>(sectionData[s].size()));
    entry[DIRECTORY_FIRST_LETTER_FIELD] = layout.sections[s].first;
    entry[DIRECTORY_SECOND_LETTER_FIELD] = layout.sections[s].second;
    std::copy(entry, entry + DIRECTORY_ENTRY_SIZE,
              image.begin() + static_cast<ptrdiff_t>(position));
    position += DIRECTORY_ENTRY_SIZE;
    dataOffset += static_cast<uint32_t>(sectionData[s].size());
  }
  for (const std::vector<unsigned char>& data : sectionData) {
    image.insert(image.end(), data.begin(), data.end());
  }
  return image;
}

bool WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                         std::string& error) {
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot create " + temporary + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  std::error_code failure;
  if (!written || !closed) {
    error = "cannot write " + temporary;
    std::filesystem::remove(temporary, failure);
    return false;
  }
  std::filesystem::rename(temporary, path, failure);
  if (failure) {
    error = "cannot replace " + path + ": " + failure.message();
    std::filesystem::remove(temporary, failure);
    return false;
  }
  return true;
}

}  // namespace orth
