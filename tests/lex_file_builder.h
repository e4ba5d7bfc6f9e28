// Test helpers: compressed lexicon files assembled from hand-given parts
// (header fields, tokens, short words, raw section bytes), record bytes from
// lists of codes, and a temporary directory that removes itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "lex/section_format.h"

namespace orth::test {

using Bytes = std::vector<unsigned char>;

// One directory entry and the data it points at. The data is placed after the
// directory in entry order; offset and size may be overridden to point
// elsewhere (the data is then still written, but not described).
struct SectionPart {
  unsigned char first = 'a';
  unsigned char second = 'a';
  Bytes data;
  std::optional<uint32_t> offset;
  std::optional<uint16_t> size;
};

inline SectionPart MakeSectionPart(unsigned char first, unsigned char second, Bytes data,
                                   std::optional<uint32_t> offset = std::nullopt,
                                   std::optional<uint16_t> size = std::nullopt) {
  return SectionPart{first, second, std::move(data), offset, size};
}

struct LexFileParts {
  uint32_t magic = COMPRESSED_LEX_MAGIC;
  uint16_t language = 0;
  std::vector<std::string> tokens;         // packed into the token area, each with its NUL
  std::optional<Bytes> tokenArea;          // raw token area instead (at most 416 bytes)
  std::vector<std::string> shortWords;     // one or two characters each, in file order
  std::optional<uint16_t> shortWordCount;  // header field; default: shortWords.size()
  std::vector<SectionPart> sections;
  std::optional<uint16_t> sectionCount;  // header field; default: sections.size()
};

// The bytes of a record: header (length, third letter) and the codes packed
// three to a unit, the last unit filled up with CODE_END.
inline Bytes RecordBytes(unsigned char third, std::vector<uint8_t> codes) {
  while (codes.empty() || codes.size() % CODES_PER_UNIT != 0) codes.push_back(CODE_END);
  Bytes out(RECORD_HEADER_SIZE);
  WriteLe16(out.data(), static_cast<uint16_t>(codes.size() / CODES_PER_UNIT * UNIT_SIZE));
  out[RECORD_THIRD_LETTER_FIELD] = third;
  for (size_t i = 0; i < codes.size(); i += CODES_PER_UNIT) {
    const uint16_t unit = PackUnit(codes[i], codes[i + 1], codes[i + 2]);
    out.push_back(static_cast<unsigned char>(unit & 0xFF));
    out.push_back(static_cast<unsigned char>(unit >> 8));
  }
  return out;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

inline Bytes AssembleLexFile(const LexFileParts& parts) {
  Bytes file(COMPRESSED_HEADER_SIZE, 0);
  WriteLe32(&file[HEADER_MAGIC_OFFSET], parts.magic);
  WriteLe16(&file[HEADER_SHORT_WORD_COUNT_OFFSET],
            parts.shortWordCount.value_or(static_cast<uint16_t>(parts.shortWords.size())));
  WriteLe16(&file[HEADER_SECTION_COUNT_OFFSET],
            parts.sectionCount.value_or(static_cast<uint16_t>(parts.sections.size())));
  WriteLe16(&file[HEADER_LANGUAGE_OFFSET], parts.language);
  if (parts.tokenArea) {
    std::copy(parts.tokenArea->begin(), parts.tokenArea->end(), file.begin() + TOKEN_AREA_OFFSET);
  } else {
    size_t at = TOKEN_AREA_OFFSET;
    for (const std::string& token : parts.tokens) {
      std::copy(token.begin(), token.end(), file.begin() + at);
      at += token.size() + 1;
    }
  }
  for (const std::string& word : parts.shortWords) {
    file.push_back(static_cast<unsigned char>(word[0]));
    file.push_back(word.size() > 1 ? static_cast<unsigned char>(word[1]) : 0);
  }
  uint32_t dataAt =
      static_cast<uint32_t>(file.size() + DIRECTORY_ENTRY_SIZE * parts.sections.size());
  for (const SectionPart& section : parts.sections) {
    unsigned char entry[DIRECTORY_ENTRY_SIZE];
    WriteLe32(entry + DIRECTORY_OFFSET_FIELD, section.offset.value_or(dataAt));
    WriteLe16(entry + DIRECTORY_SIZE_FIELD,
              section.size.value_or(static_cast<uint16_t>(section.data.size())));
    entry[DIRECTORY_FIRST_LETTER_FIELD] = section.first;
    entry[DIRECTORY_SECOND_LETTER_FIELD] = section.second;
    file.insert(file.end(), entry, entry + DIRECTORY_ENTRY_SIZE);
    dataAt += static_cast<uint32_t>(section.data.size());
  }
  for (const SectionPart& section : parts.sections) {
    file.insert(file.end(), section.data.begin(), section.data.end());
  }
  return file;
}

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const auto base = std::filesystem::temp_directory_path();
    do {
      path_ = base / ("orth-lex-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Writes bytes to a file of this directory and returns its path.
  std::string Write(const std::string& name, const Bytes& bytes) const {
    const auto file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }
  std::string PathOf(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace orth::test
