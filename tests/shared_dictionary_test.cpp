// What lexicons open on one dictionary file share: section bytes and word
// indexes when they have no cache budget, the ranked index always; what
// they keep their own: the cache's bookkeeping, and every section of a
// lexicon with a budget. A file changed on disk is another dictionary.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "lex/compressed_lex.h"
#include "lex/compressed_lookup.h"
#include "lex/section_cache.h"
#include "lex/section_word_index.h"
#include "lex/shared_dictionary.h"
#include "lex_file_builder.h"
#include "suggest/rank_index.h"

namespace orth {
namespace {

const std::string kEnglish = ORTH_DICT_DIR "/en_US.olx";

std::unique_ptr<CompressedLex> Open(const std::string& path, int32_t budget) {
  std::unique_ptr<CompressedLex> lex;
  EXPECT_EQ(OpenCompressedLex(path.c_str(), budget, lex), 0) << path;
  return lex;
}

// The section of a word, used twice so that it is resident and indexed.
const LexSection& UseTwice(CompressedLex& lex, const char* word) {
  EXPECT_EQ(FindInCompressedLex(word, lex), 0) << word;
  EXPECT_EQ(FindInCompressedLex(word, lex), 0) << word;
  return *lex.sections[SectionPosition(static_cast<unsigned char>(word[0]),
                                       static_cast<unsigned char>(word[1]))];
}

TEST(SharedDictionary, WhatTwoLexiconsOnOneFileShare) {
  struct Row {
    const char* name;
    int32_t firstBudget;
    int32_t secondBudget;
    bool sharesSections;
  };
  const Row rows[] = {
      {"no budget, no budget", -1, -1, true},
      {"no budget, budget", -1, 200000, false},
      {"budget, budget", 200000, 200000, false},
  };
  for (const Row& row : rows) {
    auto first = Open(kEnglish, row.firstBudget);
    auto second = Open(kEnglish, row.secondBudget);
    ASSERT_NE(first->shared, nullptr) << row.name;
    EXPECT_EQ(first->shared, second->shared) << row.name;
    const LexSection& a = UseTwice(*first, "receive");
    const LexSection& b = UseTwice(*second, "receive");
    ASSERT_NE(a.wordIndex, nullptr) << row.name;
    EXPECT_EQ(a.data == b.data, row.sharesSections) << row.name;
    EXPECT_EQ(a.wordIndex == b.wordIndex, row.sharesSections) << row.name;
    // The bookkeeping stays each lexicon's own: the second lexicon's uses
    // never count in the first one's.
    EXPECT_EQ(first->useCounter, 2u) << row.name;
    EXPECT_EQ(second->useCounter, 2u) << row.name;
    EXPECT_EQ(first->wordIndexBytes, a.wordIndex->Bytes()) << row.name;
    // The ranked index is built once, for both.
    const RankIndex* index = RankIndexOf(*first, kEnglish);
    ASSERT_NE(index, nullptr) << row.name;
    EXPECT_EQ(RankIndexOf(*second, kEnglish), index) << row.name;
  }
}

TEST(SharedDictionary, AnotherFileOrAChangedFileIsAnotherDictionary) {
  test::TempDir dir;
  const std::string copy = dir.PathOf("copy.olx");
  std::filesystem::copy_file(kEnglish, copy);
  auto original = Open(kEnglish, -1);
  auto copied = Open(copy, -1);
  EXPECT_NE(original->shared, copied->shared);

  // The same name after the file changed: the lexicon open on the old file
  // keeps its dictionary, a new open gets a fresh one.
  const std::weak_ptr<SharedDictionary> before = copied->shared;
  std::filesystem::last_write_time(
      copy, std::filesystem::last_write_time(copy) + std::chrono::seconds(5));
  auto reopened = Open(copy, -1);
  EXPECT_NE(reopened->shared, copied->shared);

  // The last lexicon to close lets the dictionary go.
  copied.reset();
  EXPECT_TRUE(before.expired());
  auto again = Open(copy, -1);
  EXPECT_EQ(again->shared, reopened->shared);
}

}  // namespace
}  // namespace orth
