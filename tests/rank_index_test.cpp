// The ranked suggester's letter tree and its distance search: the tree holds
// exactly the dictionary's words with their grades, and the pruned walk
// finds exactly what comparing every word would.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lex/commonness_file.h"
#include "lex/compressed_lex.h"
#include "lex/lex_words.h"
#include "lex_file_builder.h"
#include "lexcompiler/commonness_builder.h"
#include "lexcompiler/lex_compiler.h"
#include "suggest/near_words.h"
#include "suggest/rank_index.h"

namespace orth {
namespace {

std::vector<std::string> StoredWords(CompressedLex& lex) {
  std::vector<std::string> words;
  const LexWordSink sink{&words, [](void* context, const unsigned char* word, uint32_t length) {
                           static_cast<std::vector<std::string>*>(context)->emplace_back(
                               reinterpret_cast<const char*>(word), length);
                           return true;
                         }};
  EXPECT_EQ(ForEachLexWord(lex, sink), 0);
  return words;
}

std::unique_ptr<CompressedLex> Open(const std::string& path) {
  std::unique_ptr<CompressedLex> lex;
  EXPECT_EQ(OpenCompressedLex(path.c_str(), -1, lex), 0) << path;
  return lex;
}

std::map<std::string, uint16_t> Walk(const RankIndex& index, const std::string& typed,
                                     uint16_t limit) {
  const EditModel& model = DefaultEditModel();
  TypedWord prepared;
  PrepareTypedWord(model, typed.c_str(), prepared);
  std::map<std::string, uint16_t> found;
  struct Context {
    std::map<std::string, uint16_t>* found;
    uint16_t limit;
  } context{&found, limit};
  FindNearWords(index, model, prepared, limit,
                NearWordSink{&context, [](void* c, const NearWord& word) {
                               auto& ctx = *static_cast<Context*>(c);
                               EXPECT_TRUE(ctx.found->emplace(word.word, word.distance).second)
                                   << "found twice: " << word.word;
                               return ctx.limit;
                             }});
  return found;
}

std::map<std::string, uint16_t> CompareAll(const std::vector<std::string>& words,
                                           const std::string& typed, uint16_t limit) {
  const EditModel& model = DefaultEditModel();
  TypedWord prepared;
  PrepareTypedWord(model, typed.c_str(), prepared);
  std::map<std::string, uint16_t> found;
  for (const std::string& word : words) {
    const uint16_t distance = EditDistance(
        model, prepared, reinterpret_cast<const unsigned char*>(word.data()), word.size());
    if (distance <= limit) found.emplace(word, distance);
  }
  return found;
}

TEST(RankIndexTest, TheTreeHoldsEveryDictionaryWordAndNothingElse) {
  auto lex = Open(std::string(ORTH_DICT_DIR) + "/en_US.olx");
  const std::vector<std::string> words = StoredWords(*lex);
  const std::unique_ptr<RankIndex> index = BuildRankIndex(*lex, "");
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(index->wordCount, words.size());
  EXPECT_FALSE(index->hasGrades);
  for (const std::string& word : words) {
    const RankNode* node = FindInRankIndex(*index, word.c_str());
    ASSERT_NE(node, nullptr) << word;
    EXPECT_EQ(node->grade, COMMONNESS_UNKNOWN);
  }
  for (const char* absent : {"recieve", "zzzq", "receiv", "receivee", ""}) {
    EXPECT_EQ(FindInRankIndex(*index, absent), nullptr) << absent;
  }
  // Every node's subtree ends where its `next` says, and `below` holds the
  // letters of its descendants.
  const std::vector<RankNode>& nodes = index->nodes;
  for (size_t k = 0; k < nodes.size(); ++k) {
    ASSERT_GT(nodes[k].next, k);
    ASSERT_LE(nodes[k].next, nodes.size());
    uint32_t below = 0;
    for (size_t j = k + 1; j < nodes[k].next; ++j) {
      ASSERT_GT(nodes[j].depth, nodes[k].depth);
      below |= RankLetterBit(nodes[j].letter);
    }
    ASSERT_EQ(nodes[k].below, below) << k;
  }
}

TEST(RankIndexTest, ThePrunedWalkFindsWhatComparingEveryWordFinds) {
  auto lex = Open(std::string(ORTH_DICT_DIR) + "/en_US.olx");
  const std::vector<std::string> words = StoredWords(*lex);
  const std::unique_ptr<RankIndex> index = BuildRankIndex(*lex, "");
  ASSERT_NE(index, nullptr);
  const char* typed[] = {"recieve", "teh",        "wich",   "abberration", "a",   "qzx",
                         "agian",   "seperately", "o'clok", "caf\xe9",     "hte", "zzzzzzzzzzzz"};
  for (const uint16_t limit : {0, 100, 180, 250}) {
    for (const char* word : typed) {
      EXPECT_EQ(Walk(*index, word, limit), CompareAll(words, word, limit))
          << word << " within " << limit;
    }
  }
}

TEST(RankIndexTest, GradesComeFromAMatchingCommonnessFileOnly) {
  test::TempDir dir;
  const std::string path = dir.PathOf("small.olx");
  CompileSummary summary;
  std::string error;
  const std::vector<std::string> entries = {"apple", "apply", "ample", "maple", "zebra", "ox"};
  ASSERT_TRUE(CompileWordEntries(entries, path, CompileOptions{}, summary, error)) << error;
  CommonnessSummary graded;
  ASSERT_TRUE(WriteLexCommonness(path, {{"apple", "ox"}, {"maple"}}, graded, error)) << error;
  EXPECT_EQ(graded.words, 6u);
  EXPECT_EQ(graded.perTier, (std::vector<uint32_t>{2, 1}));
  EXPECT_EQ(graded.unlisted, 3u);

  auto lex = Open(path);
  std::unique_ptr<RankIndex> index = BuildRankIndex(*lex, path);
  ASSERT_NE(index, nullptr);
  EXPECT_TRUE(index->hasGrades);
  const std::map<std::string, uint8_t> expected = {{"apple", 1},   {"ox", 1},      {"maple", 2},
                                                   {"apply", 255}, {"ample", 255}, {"zebra", 255}};
  for (const auto& [word, grade] : expected) {
    const RankNode* node = FindInRankIndex(*index, word.c_str());
    ASSERT_NE(node, nullptr) << word;
    EXPECT_EQ(node->grade, grade) << word;
  }
  CloseCompressedLex(std::move(lex));

  // The lexicon rebuilt with one more word: the old grades no longer apply.
  std::vector<std::string> more = entries;
  more.push_back("mango");
  ASSERT_TRUE(CompileWordEntries(more, path, CompileOptions{}, summary, error)) << error;
  lex = Open(path);
  index = BuildRankIndex(*lex, path);
  ASSERT_NE(index, nullptr);
  EXPECT_FALSE(index->hasGrades);
  EXPECT_EQ(FindInRankIndex(*index, "apple")->grade, COMMONNESS_UNKNOWN);
}

}  // namespace
}  // namespace orth
