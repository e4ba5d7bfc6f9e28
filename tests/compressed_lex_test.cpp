// Probing, opening and closing compressed lexicons: header, tokens,
// short-word table, section directory and the failures of each.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "lex/compressed_lex.h"
#include "lex/compressed_lookup.h"
#include "lex_file_builder.h"

namespace orth {
namespace {

using test::AssembleLexFile;
using test::Bytes;
using test::LexFileParts;
using test::MakeSectionPart;
using test::TempDir;

// Open file descriptors of the process, to see that failed opens close
// their file; -1 where the system does not list them.
int CountOpenFiles() {
#if defined(_WIN32)
  return -1;  // no such list; under Wine, /proc/self/fd would be Wine's own
#endif
  const std::filesystem::path fds = "/proc/self/fd";
  std::error_code error;
  if (!std::filesystem::exists(fds, error)) return -1;
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(fds, error),
                                        std::filesystem::directory_iterator()));
}

int32_t OpenBytes(const TempDir& dir, const Bytes& bytes, int32_t budget,
                  std::unique_ptr<CompressedLex>& out) {
  return OpenCompressedLex(dir.Write("lex.olx", bytes).c_str(), budget, out);
}

TEST(CompressedLex, SectionPositions) {
  struct Row {
    unsigned char first, second;
    int32_t position;
  };
  const Row rows[] = {
      {'\'', '\'', 0},
      {'t', 'h', 55 * 20 + 8},
      {'T', 'H', 55 * 20 + 8},
      {0xFD, 0xFD, 3024},          // ý ý: the last position
      {'a', 0xDF, 55 * 2 + 1},     // a ß lands on b a
      {'a', 0xFF, 55 * 2 + 0},     // a ÿ lands on b '
      {'a', '-', 54},              // no letter code: last column of the row before
      {'\'', '-', -1},             // below the index
      {'-', 'a', -54},             //
      {0xFF, 'a', 55 * 55 + 1},    // ÿ first: beyond the index
      {0xDF, 0xDF, 55 * 56 + 56},  // ß ß
      {0xFF, '-', 3024},           // ÿ with no code: back inside, on ý ý
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SectionPosition(row.first, row.second), row.position)
        << int(row.first) << " " << int(row.second);
    EXPECT_EQ(IsSectionPosition(row.position), row.position >= 0 && row.position <= 3024);
  }
}

TEST(CompressedLex, DirectoryEntryExample) {
  LexFileParts parts;
  parts.sections.push_back(MakeSectionPart('t', 'h', Bytes{}, 0x1234, 512));
  const Bytes file = AssembleLexFile(parts);
  const Bytes entry(file.begin() + COMPRESSED_HEADER_SIZE, file.end());
  EXPECT_EQ(entry, (Bytes{0x34, 0x12, 0x00, 0x00, 0x00, 0x02, 0x74, 0x68}));

  TempDir dir;
  std::unique_ptr<CompressedLex> lex;
  ASSERT_EQ(OpenBytes(dir, file, -1, lex), 0);
  for (int32_t position = 0; position < SECTION_INDEX_SIZE; ++position) {
    EXPECT_EQ(lex->sections[position] != nullptr, position == 1108) << position;
  }
  const LexSection& section = *lex->sections[1108];
  EXPECT_EQ(section.dataOffset, 4660u);
  EXPECT_EQ(section.size, 512u);
  EXPECT_EQ(section.firstLetter, 't');
  EXPECT_EQ(section.secondLetter, 'h');
  EXPECT_EQ(section.stamp, 0u);
  EXPECT_FALSE(section.IsResident());
  EXPECT_EQ(lex->useCounter, 0u);
  EXPECT_EQ(lex->cacheBudget, -1);
  CloseCompressedLex(std::move(lex));
}

TEST(CompressedLex, ProbeReadsTypeAndLanguageOnly) {
  TempDir dir;
  int32_t type = -7, language = -7;
  EXPECT_EQ(ProbeCompressedLex(dir.PathOf("missing.olx").c_str(), type, language), ERR_FILE_OPEN);
  EXPECT_EQ(ProbeCompressedLex(nullptr, type, language), ERR_FILE_OPEN);

  const int before = CountOpenFiles();
  const std::string shortFile = dir.Write("short.olx", Bytes(COMPRESSED_HEADER_SIZE - 1, 'x'));
  EXPECT_EQ(ProbeCompressedLex(shortFile.c_str(), type, language), ERR_BAD_FORMAT);
  EXPECT_EQ(type, -7);
  EXPECT_EQ(CountOpenFiles(), before);

  // A wrong magic passes the probe and fails the open.
  LexFileParts parts;
  parts.magic = 0x1E000007;
  parts.language = 1033;
  const std::string wrongMagic = dir.Write("magic.olx", AssembleLexFile(parts));
  EXPECT_EQ(ProbeCompressedLex(wrongMagic.c_str(), type, language), 0);
  EXPECT_EQ(type, LEX_TYPE_ACCEPT);
  EXPECT_EQ(language, 1033);
  std::unique_ptr<CompressedLex> lex;
  EXPECT_EQ(OpenCompressedLex(wrongMagic.c_str(), -1, lex), ERR_BAD_FORMAT);
  EXPECT_EQ(lex, nullptr);
  EXPECT_EQ(CountOpenFiles(), before);

  // The exact header size is enough for both; the language is zero-extended.
  parts.magic = COMPRESSED_LEX_MAGIC;
  parts.language = 0xFFFF;
  const std::string header = dir.Write("header.olx", AssembleLexFile(parts));
  EXPECT_EQ(std::filesystem::file_size(header), COMPRESSED_HEADER_SIZE);
  EXPECT_EQ(ProbeCompressedLex(header.c_str(), type, language), 0);
  EXPECT_EQ(language, 0xFFFF);
  ASSERT_EQ(OpenCompressedLex(header.c_str(), 0, lex), 0);
  EXPECT_EQ(lex->language, 0xFFFF);
  EXPECT_EQ(lex->shortWordCount, 0u);
  EXPECT_EQ(lex->sectionCount, 0u);
  EXPECT_EQ(FindInCompressedLex("abc", *lex), ERR_NOT_FOUND);
  EXPECT_EQ(FindInCompressedLex("a", *lex), ERR_NOT_FOUND);
  CloseCompressedLex(std::move(lex));
  EXPECT_EQ(CountOpenFiles(), before);
}

TEST(CompressedLex, TokenArea) {
  auto tokensOf = [](const LexFileParts& parts) {
    TempDir dir;
    std::unique_ptr<CompressedLex> lex;
    EXPECT_EQ(OpenBytes(dir, AssembleLexFile(parts), -1, lex), 0);
    std::vector<std::string> out;
    if (lex != nullptr) {
      for (const auto& token : lex->tokens) out.emplace_back(token.data());
    }
    return out;
  };
  LexFileParts parts;
  parts.tokens = {"ing", "", "tion", "abcdefghijklmnop"};  // empty strings count
  std::vector<std::string> expected(MAX_TOKENS, "");
  expected[0] = "ing";
  expected[2] = "tion";
  expected[3] = "abcdefghijkl";  // cut to 12
  EXPECT_EQ(tokensOf(parts), expected);

  // 32 tokens of 12 characters fill the area exactly.
  parts.tokens.clear();
  for (int n = 0; n < MAX_TOKENS; ++n) parts.tokens.push_back(std::string(12, char('a' + n % 26)));
  std::vector<std::string> full = tokensOf(parts);
  EXPECT_EQ(full, parts.tokens);

  // A last string that runs to the end of the header without a NUL ends there.
  Bytes area(TOKEN_AREA_SIZE, 'x');
  area[0] = 0;  // token 0 empty; token 1 runs over 415 bytes to the end, cut to 12
  parts.tokenArea = area;
  expected.assign(MAX_TOKENS, "");
  expected[1] = "xxxxxxxxxxxx";
  EXPECT_EQ(tokensOf(parts), expected);
}

TEST(CompressedLex, ShortWordTableLimit) {
  // 439 distinct short words in table order.
  std::vector<std::string> words;
  for (char first = 'a'; first <= 'z'; ++first) {
    words.push_back(std::string(1, first));
    for (char second = 'a'; second <= 'z'; ++second) words.push_back({first, second});
  }
  words.resize(MAX_SHORT_WORDS);
  TempDir dir;
  std::unique_ptr<CompressedLex> lex;
  LexFileParts parts;
  parts.shortWords = words;
  ASSERT_EQ(OpenBytes(dir, AssembleLexFile(parts), -1, lex), 0);
  EXPECT_EQ(lex->shortWordCount, MAX_SHORT_WORDS);
  for (const std::string& word : words) EXPECT_EQ(FindInCompressedLex(word.c_str(), *lex), 0);
  CloseCompressedLex(std::move(lex));

  parts.shortWords.push_back("zz");
  EXPECT_EQ(OpenBytes(dir, AssembleLexFile(parts), -1, lex), ERR_BAD_FORMAT);
  parts.shortWordCount = 0xFFFF;
  EXPECT_EQ(OpenBytes(dir, AssembleLexFile(parts), -1, lex), ERR_BAD_FORMAT);
  EXPECT_EQ(lex, nullptr);
}

TEST(CompressedLex, TruncatedFilesFailToOpen) {
  LexFileParts parts;
  parts.shortWords = {"a", "ab", "i"};
  parts.sections.push_back(MakeSectionPart('a', 'b', test::RecordBytes('c', {CODE_END})));
  parts.sections.push_back(MakeSectionPart('x', 'y', test::RecordBytes('z', {CODE_END})));
  const Bytes whole = AssembleLexFile(parts);
  const size_t tableEnd = COMPRESSED_HEADER_SIZE + 2 * 3;
  const size_t directoryEnd = tableEnd + 2 * DIRECTORY_ENTRY_SIZE;

  TempDir dir;
  const int before = CountOpenFiles();
  struct Row {
    size_t length;
    int32_t result;
  };
  const Row rows[] = {
      {0, ERR_BAD_FORMAT},
      {COMPRESSED_HEADER_SIZE - 1, ERR_BAD_FORMAT},
      {COMPRESSED_HEADER_SIZE, ERR_BAD_FORMAT},  // inside the short-word table
      {tableEnd - 1, ERR_BAD_FORMAT},
      {tableEnd, ERR_BAD_FORMAT},  // inside the directory
      {directoryEnd - 1, ERR_BAD_FORMAT},
      {directoryEnd, 0},  // section data is only read when needed
      {whole.size(), 0},
  };
  for (const Row& row : rows) {
    std::unique_ptr<CompressedLex> lex;
    const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(row.length));
    EXPECT_EQ(OpenBytes(dir, cut, -1, lex), row.result) << row.length;
    EXPECT_EQ(lex != nullptr, row.result == 0);
    CloseCompressedLex(std::move(lex));
    EXPECT_EQ(CountOpenFiles(), before) << row.length;
  }
}

TEST(CompressedLex, DirectoryAgainstTheBudget) {
  LexFileParts emptyOnly;
  emptyOnly.sections = {MakeSectionPart('a', 'b', Bytes{}), MakeSectionPart('c', 'd', Bytes{})};
  LexFileParts oneByte = emptyOnly;
  oneByte.sections.push_back(MakeSectionPart('e', 'f', Bytes{0x00}));
  LexFileParts sizes;  // sections of 16, 40 and 16 bytes
  sizes.sections = {MakeSectionPart('a', 'b', Bytes(16)), MakeSectionPart('c', 'd', Bytes(40)),
                    MakeSectionPart('e', 'f', Bytes(16))};
  // Entries the index cannot hold are dropped before the budget test.
  LexFileParts outside = emptyOnly;
  outside.sections.push_back(MakeSectionPart(0xFF, 'a', Bytes(100)));
  outside.sections.push_back(MakeSectionPart('-', 'x', Bytes(100)));
  outside.sections.push_back(MakeSectionPart('\'', 0x80, Bytes(100)));

  struct Row {
    const char* name;
    const LexFileParts& parts;
    int32_t budget;
    int32_t result;
  };
  const Row rows[] = {
      {"budget 0, empty sections", emptyOnly, 0, 0},
      {"budget 0, a section of one byte", oneByte, 0, ERR_NO_MEMORY},
      {"budget -1 has no limit", sizes, -1, 0},
      {"any negative budget has no limit", sizes, INT32_MIN, 0},
      {"budget of the largest section", sizes, 40, 0},
      {"budget below the largest section", sizes, 39, ERR_NO_MEMORY},
      {"entries outside the index, budget 0", outside, 0, 0},
  };
  TempDir dir;
  const int before = CountOpenFiles();
  for (const Row& row : rows) {
    std::unique_ptr<CompressedLex> lex;
    EXPECT_EQ(OpenBytes(dir, AssembleLexFile(row.parts), row.budget, lex), row.result) << row.name;
    if (lex != nullptr) {
      EXPECT_EQ(lex->cacheBudget, row.budget) << row.name;
      EXPECT_EQ(lex->sectionCount, row.parts.sections.size());
    }
    CloseCompressedLex(std::move(lex));
  }
  EXPECT_EQ(CountOpenFiles(), before);

  std::unique_ptr<CompressedLex> lex;
  ASSERT_EQ(OpenBytes(dir, AssembleLexFile(outside), 0, lex), 0);
  EXPECT_EQ(lex->skippedEntries, 3u);
  const auto stored = std::count_if(lex->sections.begin(), lex->sections.end(),
                                    [](const auto& section) { return section != nullptr; });
  EXPECT_EQ(stored, 2);
}

TEST(CompressedLex, LaterDuplicateEntryWins) {
  LexFileParts parts;
  parts.sections = {MakeSectionPart('a', 'b', Bytes(3)), MakeSectionPart('x', 'y', Bytes(5)),
                    MakeSectionPart('a', 'b', Bytes(7)),
                    MakeSectionPart('a', 0xDF, Bytes(9))};  // a ß shares the position of b a
  parts.sections.push_back(MakeSectionPart('b', 'a', Bytes(11)));
  TempDir dir;
  std::unique_ptr<CompressedLex> lex;
  ASSERT_EQ(OpenBytes(dir, AssembleLexFile(parts), -1, lex), 0);
  const LexSection& ab = *lex->sections[SectionPosition('a', 'b')];
  EXPECT_EQ(ab.size, 7u);
  EXPECT_EQ(ab.dataOffset, COMPRESSED_HEADER_SIZE + 5 * DIRECTORY_ENTRY_SIZE + 3 + 5);
  const LexSection& ba = *lex->sections[SectionPosition('b', 'a')];
  EXPECT_EQ(ba.size, 11u);
  EXPECT_EQ(ba.firstLetter, 'b');
  EXPECT_EQ(ba.secondLetter, 'a');
}

}  // namespace
}  // namespace orth
