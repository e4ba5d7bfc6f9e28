// Looking words up in a compressed lexicon: the short-word table, the
// section of a word's first two letters, and failures that mean not found.
#include <gtest/gtest.h>

#include <algorithm>
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
using test::RecordBytes;
using test::TempDir;

constexpr uint8_t E = CODE_END;

const Bytes kWorkedRecord = {0x0C, 0x00, 0x63, 0x00, 0xBF, 0x13, 0xE5, 0x6F,
                             0xC1, 0x7C, 0x9D, 0x03, 0xDF, 0x2B, 0xFF, 0x7F};

std::unique_ptr<CompressedLex> Open(const TempDir& dir, const LexFileParts& parts,
                                    int32_t budget = -1) {
  std::unique_ptr<CompressedLex> lex;
  const std::string path = dir.Write("lex.olx", AssembleLexFile(parts));
  EXPECT_EQ(OpenCompressedLex(path.c_str(), budget, lex), 0);
  return lex;
}

TEST(CompressedLookup, CompareShortWords) {
  struct Row {
    ShortWord a, b;
    int sign;
  };
  const Row rows[] = {
      {{'a', 0}, {'a', 0}, 0},     {{'a', 0}, {'a', 'b'}, -1},   {{'a', 'z'}, {'b', 0}, -1},
      {{'z', 'z'}, {0xE9, 0}, -1}, {{'a', 0xE9}, {'a', 'z'}, 1}, {{'\'', 's'}, {'a', 0}, -1},
      {{'B', 0}, {'a', 0}, -1},  // bytes, not letters: capitals first
  };
  for (const Row& row : rows) {
    const int32_t order = CompareShortWords(row.a, row.b);
    EXPECT_EQ((order > 0) - (order < 0), row.sign) << row.a[0] << row.a[1];
    EXPECT_EQ(CompareShortWords(row.b, row.a), -order);
  }
}

TEST(CompressedLookup, ShortWordsComeOnlyFromTheTable) {
  // A full table of 439 entries over letters and some Latin-1 bytes.
  std::vector<ShortWord> table;
  for (unsigned first :
       {0x27u, 0x61u, 0x69u, 0x6Fu, 0x78u, 0xE0u, 0xE9u, 0xFFu}) {  // ' a i o x à é ÿ
    table.push_back({static_cast<unsigned char>(first), 0});
    for (unsigned second = 'a'; second <= 'z' + 30; ++second) {
      table.push_back({static_cast<unsigned char>(first), static_cast<unsigned char>(second)});
    }
  }
  std::sort(table.begin(), table.end(),
            [](const ShortWord& a, const ShortWord& b) { return CompareShortWords(a, b) < 0; });
  table.resize(MAX_SHORT_WORDS);
  for (const ShortWord& entry : table) {
    const char word[3] = {static_cast<char>(entry[0]), static_cast<char>(entry[1]), 0};
    EXPECT_TRUE(FindShortWord(word, table.data(), MAX_SHORT_WORDS)) << word;
  }
  for (const char* missing : {"b", "ax", "\xFF\xFF", "\xE9z", "A", "Ab", "'"}) {
    const bool inTable = std::find(table.begin(), table.end(), ShortWordOf(missing)) != table.end();
    EXPECT_EQ(FindShortWord(missing, table.data(), MAX_SHORT_WORDS), inTable) << missing;
  }
  EXPECT_FALSE(FindShortWord("a", table.data(), 0));

  // Through the lexicon: 'a' needs the entry a+0, 'ab' the entry a+b, and
  // sections are never consulted for them.
  LexFileParts parts;
  parts.shortWords = {"a", "ac"};
  parts.sections.push_back(MakeSectionPart('a', 'b', RecordBytes('c', {E})));
  TempDir dir;
  auto lex = Open(dir, parts);
  ASSERT_NE(lex, nullptr);
  struct Row {
    const char* word;
    int32_t result;
  };
  const Row rows[] = {{"a", 0},
                      {"ac", 0},
                      {"ab", ERR_NOT_FOUND},
                      {"abc", 0},
                      {"A", ERR_NOT_FOUND},
                      {"", ERR_NOT_FOUND},
                      {"c", ERR_NOT_FOUND}};
  for (const Row& row : rows)
    EXPECT_EQ(FindInCompressedLex(row.word, *lex), row.result) << row.word;
  EXPECT_EQ(lex->useCounter, 1u);  // only "abc" used a section
}

TEST(CompressedLookup, WorkedSectionLookups) {
  LexFileParts parts;
  parts.tokens = {"ing"};
  parts.sections.push_back(MakeSectionPart('a', 'b', kWorkedRecord));
  TempDir dir;
  auto lex = Open(dir, parts);
  ASSERT_NE(lex, nullptr);
  struct Row {
    const char* word;
    int32_t result;
  };
  const Row rows[] = {
      {"abcdfing", 0},
      {"abc", 0},
      {"abcde", 0},
      {"abcdf", 0},
      {"abc\xE9", 0},
      {"abcd", ERR_NOT_FOUND},   // abcde sorts after it
      {"abcf", ERR_NOT_FOUND},   // passed at the last word
      {"abce", ERR_NOT_FOUND},   // accents are not folded
      {"Abcde", ERR_NOT_FOUND},  // nor is case: same section, different bytes
      {"abcdfings", ERR_NOT_FOUND},
      {"abd", ERR_NOT_FOUND},
  };
  for (const Row& row : rows)
    EXPECT_EQ(FindInCompressedLex(row.word, *lex), row.result) << row.word;
}

TEST(CompressedLookup, WordsWhoseSectionCannotBeUsed) {
  LexFileParts parts;
  // a ß is stored at the position of b a; its words carry the letters a ß.
  parts.sections.push_back(MakeSectionPart('a', 0xDF, RecordBytes('e', {14, E})));  // aßen
  parts.sections.push_back(MakeSectionPart('x', 'y', Bytes{}));                     // empty
  parts.sections.push_back(MakeSectionPart('q', 'u', RecordBytes('a', {E}), 1u << 20, 8));
  TempDir dir;
  auto lex = Open(dir, parts);
  ASSERT_NE(lex, nullptr);
  struct Row {
    const char* word;
    int32_t result;
    uint64_t counterAfter;  // section uses so far
  };
  const Row rows[] = {
      {"-ab", ERR_NOT_FOUND, 0},  // no letter code: no position, nothing loaded
      {"\xFF"
       "ab",
       ERR_NOT_FOUND, 0},  // ÿ first: beyond the index
      {"\xDF"
       "ab",
       ERR_NOT_FOUND, 0},         // ß first: beyond the index
      {"zzz", ERR_NOT_FOUND, 0},  // no section at the position
      {"a\xDF"
       "en",
       0, 1},                      // found in the section stored at b a
      {"baen", ERR_NOT_FOUND, 2},  // same position, but not its letters
      {"xyz", ERR_NOT_FOUND, 3},   // empty section
      {"qua", ERR_NOT_FOUND, 4},   // unreadable section
      {"qua", ERR_NOT_FOUND, 5},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FindInCompressedLex(row.word, *lex), row.result) << row.word;
    EXPECT_EQ(lex->useCounter, row.counterAfter) << row.word;
  }
  EXPECT_FALSE(lex->sections[SectionPosition('x', 'y')]->IsResident());
}

TEST(CompressedLookup, BudgetOfOneSectionAlternates) {
  LexFileParts parts;
  const Bytes ab = RecordBytes('c', {4, E});  // abcd
  const Bytes cd = RecordBytes('e', {6, E});  // cdef
  ASSERT_EQ(ab.size(), cd.size());
  parts.sections = {MakeSectionPart('a', 'b', ab), MakeSectionPart('c', 'd', cd)};
  TempDir dir;
  auto lex = Open(dir, parts, static_cast<int32_t>(ab.size()));
  ASSERT_NE(lex, nullptr);
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(FindInCompressedLex("abcd", *lex), 0);
    EXPECT_TRUE(lex->sections[SectionPosition('a', 'b')]->IsResident());
    EXPECT_FALSE(lex->sections[SectionPosition('c', 'd')]->IsResident());
    EXPECT_EQ(FindInCompressedLex("cdef", *lex), 0);
    EXPECT_EQ(FindInCompressedLex("cdeg", *lex), ERR_NOT_FOUND);
    EXPECT_FALSE(lex->sections[SectionPosition('a', 'b')]->IsResident());
  }
  EXPECT_EQ(lex->cacheBudget, 0);
}

}  // namespace
}  // namespace orth
