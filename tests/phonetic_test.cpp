// The phonetic key and the phonetic search: keys, matches and their order
// across compressed dictionaries and text lexicons, duplicates, and the
// buffer rules.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "lex_file_builder.h"
#include "lexcompiler/lex_compiler.h"
#include "orth.h"
#include "phonetic/phonetic_key.h"

namespace {

using orth::test::TempDir;

std::string KeyOf(const char* word) {
  char key[64];
  orth::PhoneticKey(word, key, sizeof key);
  return key;
}

TEST(PhoneticKeyTest, KeysOfWords) {
  struct Row {
    const char* word;
    const char* key;
  };
  const Row rows[] = {
      {"phone", "fm"},
      {"fone", "fm"},
      {"knight", "mcd"},
      {"night", "mcd"},
      {"nite", "md"},
      {"write", "ard"},
      {"rite", "rd"},
      {"cat", "cd"},
      {"kat", "cd"},
      {"cot", "cd"},
      {"caught", "cd"},
      {"edge", "aj"},
      {"edgy", "ajc"},
      {"judge", "j"},
      {"psychology", "sclc"},
      {"sycology", "sclc"},
      {"science", "sms"},
      {"ocean", "asm"},
      {"mississippi", "msb"},
      {"misisipi", "msb"},
      {"ghost", "csd"},
      {"gost", "csd"},
      {"apple", "abl"},
      {"a", "a"},
      {"x-ray", "s_r"},
      {"3d", "_d"},
      // Digraphs are matched on the exact bytes: a capital breaks them.
      {"Philip", "blb"},
      {"philip", "flb"},
      {"Phone", "bm"},
      {"KNight", "cmcd"},
      // Only the first byte of a word gets the mark for a silent start.
      {"aha", "a"},
      {"oh", "a"},
      {"ew", "a"},
      {"'twas", "ads"},
      {"h", "a"},
      // Accented letters: ç and ñ give key letters, the others none.
      {"\xE7"
       "a",
       "s"},  // ça
      {"ma\xF1"
       "ana",
       "m"},                // mañana
      {"\xE9t\xE9", "ad"},  // été
      {"\xC9T\xC9", "ad"},  // ÉTÉ
      {"stra\xDF"
       "e",
       "sdr"},  // straße
      // A digraph's second byte is read again in its own right.
      {"back", "bc"},
      {"dge", "j"},
      {"cks", "cs"},
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(KeyOf(row.word), row.key) << row.word;
  EXPECT_EQ(KeyOf(nullptr), "");
}

TEST(PhoneticKeyTest, KeyNeverPassesItsField) {
  char key[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(orth::PhoneticKey("mississippi", key, 0), 0u);
  EXPECT_EQ(key[0], 'x');
  EXPECT_EQ(orth::PhoneticKey("phone", key, 2), 1u);
  EXPECT_STREQ(key, "f");
  EXPECT_EQ(key[2], 'x');
  // Each byte adds at most one letter: a field of length + 1 holds any key.
  const char* hardest = "b-b-b-b-b";
  char exact[10];
  EXPECT_EQ(orth::PhoneticKey(hardest, exact, sizeof exact), 9u);
  EXPECT_STREQ(exact, "b_b_b_b_b");
}

// The strings of a result list, up to its empty string.
std::vector<std::string> Words(const char* buffer, size_t size) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < size && buffer[at] != '\0') {
    words.emplace_back(buffer + at);
    at += words.back().size() + 1;
  }
  return words;
}

class PhonSearchTest : public ::testing::Test {
 protected:
  void SetUp() override { session_ = ORTH_OpenSession(); }
  void TearDown() override { ORTH_CloseSession(session_); }

  // Compiles a dictionary and opens it in the next free slot.
  int32_t OpenDictionary(const std::string& name, const std::vector<std::string>& words) {
    orth::CompileSummary summary;
    std::string error;
    const std::string path = dir_.PathOf(name);
    EXPECT_TRUE(orth::CompileWordEntries(words, path, {}, summary, error)) << error;
    return ORTH_OpenLex(session_, path.c_str(), -1);
  }

  // Writes an Accept text lexicon holding words exactly as given, in file
  // order, and opens it in the next free slot.
  int32_t OpenWordList(const std::string& name, const std::vector<std::string>& words) {
    const std::string path = dir_.PathOf(name);
    std::ofstream out(path, std::ios::binary);
    out << "#LID 1033 1 " << words.size() << "\n";
    for (const std::string& word : words) out << word << "\n";
    out.close();
    return ORTH_OpenLex(session_, path.c_str(), -1);
  }

  struct Result {
    int32_t count;
    std::vector<std::string> words;
  };
  Result Search(const char* word, uint32_t size = 512) {
    std::vector<char> buffer(size + 1, '#');
    const int32_t count = ORTH_PhonSearch(session_, word, buffer.data(), size);
    EXPECT_EQ(buffer[size], '#') << "written past the buffer";
    return {count, Words(buffer.data(), size)};
  }

  TempDir dir_;
  int32_t session_ = -1;
};

using Strings = std::vector<std::string>;

TEST_F(PhonSearchTest, DictionaryInSectionOrderThenTextLexicons) {
  ASSERT_EQ(OpenDictionary("main.olx", {"van", "vine", "phone", "phones", "fone", "fan", "fain",
                                        "fine", "fat", "cat", "fm"}),
            0);
  ASSERT_EQ(OpenWordList("user.lex", {"fume", "Fone", "fat", "FAN", "fawn", "Vine"}), 1);
  ASSERT_EQ(OpenWordList("more.lex", {"phone", "vane"}), 2);

  // The target is normalised before its key is taken.
  for (const char* target : {"phone", "Phone", "PHONE's", "fone"}) {
    const Result r = Search(target);
    EXPECT_EQ(r.words, (Strings{"fm", "fain", "fan", "fine", "fone", "phone", "van", "vine", "fume",
                                "fawn", "vane"}))
        << target;
    EXPECT_EQ(r.count, 11) << target;
  }
  EXPECT_EQ(Search("cot").words, (Strings{"cat"}));
  EXPECT_EQ(Search("xyzzy").count, 0);
}

TEST_F(PhonSearchTest, FirstFormFoundIsKept) {
  ASSERT_EQ(OpenWordList("user.lex", {"Fone", "fawn", "Philip"}), 0);
  ASSERT_EQ(OpenDictionary("main.olx", {"fone", "fawn", "philip"}), 1);
  ASSERT_EQ(OpenWordList("more.lex", {"FAWN", "fone"}), 2);

  EXPECT_EQ(Search("phone").words, (Strings{"Fone", "fawn"}));
  // A stored capital stays in the word's key: «Philip» keys as «blb».
  EXPECT_EQ(Search("philip").words, (Strings{"philip"}));
  EXPECT_EQ(Search("bilip").words, (Strings{"Philip"}));
}

TEST_F(PhonSearchTest, ShortWordsOfADictionaryAreListed) {
  ASSERT_EQ(OpenDictionary("main.olx", {"a", "oh", "ew", "we", "ax", "ahoy", "aha", "be"}), 0);
  const Result r = Search("aha");
  EXPECT_EQ(r.words, (Strings{"a", "ew", "oh", "we", "aha", "ahoy"}));
  EXPECT_EQ(r.count, 6);
  EXPECT_EQ(Search("bee").words, (Strings{"be"}));
}

TEST_F(PhonSearchTest, BufferHoldsAWordOnlyWithRoomForTheEnd) {
  ASSERT_EQ(OpenWordList("user.lex", {"fone", "phone"}), 0);
  std::vector<char> buffer(16, '#');

  // «fone» NUL «phone» NUL NUL: exactly 12 bytes.
  EXPECT_EQ(ORTH_PhonSearch(session_, "phone", buffer.data(), 12), 2);
  EXPECT_EQ(std::string(buffer.data(), 12), std::string("fone\0phone\0\0", 12));
  EXPECT_EQ(buffer[12], '#');

  // 5 + 6 >= 11: «phone» does not fit; the list stays well formed.
  buffer.assign(16, '#');
  EXPECT_EQ(ORTH_PhonSearch(session_, "phone", buffer.data(), 11), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(std::string(buffer.data(), 11), std::string("fone\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(buffer[11], '#');

  // Size 0 writes nothing; a match is still too much for it.
  buffer.assign(16, '#');
  EXPECT_EQ(ORTH_PhonSearch(session_, "phone", buffer.data(), 0), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ORTH_PhonSearch(session_, "cat", buffer.data(), 0), 0);
  EXPECT_EQ(ORTH_PhonSearch(session_, "'", buffer.data(), 0), 0);
  EXPECT_EQ(buffer[0], '#');

  // Size 1 holds only the empty list.
  EXPECT_EQ(ORTH_PhonSearch(session_, "cat", buffer.data(), 1), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');
  buffer[0] = '#';
  EXPECT_EQ(ORTH_PhonSearch(session_, "phone", buffer.data(), 1), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(buffer[0], '\0');

  // Null pointers: a null buffer is not written, a null word is empty.
  EXPECT_EQ(ORTH_PhonSearch(session_, "phone", nullptr, 64), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ORTH_PhonSearch(session_, "cat", nullptr, 64), 0);
  buffer.assign(16, '#');
  EXPECT_EQ(ORTH_PhonSearch(session_, nullptr, buffer.data(), 8), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(ORTH_PhonSearch(session_, nullptr, nullptr, 8), 0);
}

TEST_F(PhonSearchTest, OverflowInADictionaryStopsOnlyTheSection) {
  ASSERT_EQ(OpenDictionary("main.olx", {"phenomenon", "phone", "van"}), 0);
  ASSERT_EQ(OpenWordList("user.lex", {"fm"}), 1);
  std::vector<char> buffer(9, '#');
  // «phenomenon» needs 11 bytes: its section stops there, so «phone» is never
  // offered; «van» in a later section fits; the text lexicon is not scanned.
  EXPECT_EQ(ORTH_PhonSearch(session_, "fm", buffer.data(), 8), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(std::string(buffer.data(), 8), std::string("van\0\0\0\0\0", 8));
  EXPECT_EQ(buffer[8], '#');
  // With room, all of them.
  EXPECT_EQ(Search("fm").words, (Strings{"phenomenon", "phone", "van", "fm"}));
}

TEST_F(PhonSearchTest, OverflowInATextLexiconStopsTheSearch) {
  ASSERT_EQ(OpenWordList("user.lex", {"phenomenon", "fm"}), 0);
  ASSERT_EQ(OpenWordList("more.lex", {"van"}), 1);
  std::vector<char> buffer(8, '#');
  EXPECT_EQ(ORTH_PhonSearch(session_, "fm", buffer.data(), 8), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(buffer[0], '\0');
}

TEST_F(PhonSearchTest, SessionAndWordChecks) {
  ASSERT_EQ(OpenWordList("user.lex", {"fone"}), 0);
  char buffer[16];
  for (int32_t bad : {-1, 16, session_ + 1}) {
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ORTH_PhonSearch(bad, "fone", buffer, sizeof buffer), ERR_BAD_SESSION) << bad;
    EXPECT_EQ(buffer[0], '#') << bad;
  }
  // Nothing left after normalisation: an empty list.
  for (const char* empty : {"", "'", "'s", " fone"}) {
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ORTH_PhonSearch(session_, empty, buffer, sizeof buffer), 0) << empty;
    EXPECT_EQ(buffer[0], '\0') << empty;
  }
  // Only the first 30 characters of a long word count.
  const std::string longWord = "f" + std::string(40, 'o') + "n";
  EXPECT_EQ(Search(longWord.c_str()).count, 0);
  EXPECT_EQ(Search(("f" + std::string(28, 'o') + "n").c_str()).count, 1);
  // No lexicons at all.
  const int32_t bare = ORTH_OpenSession();
  ASSERT_GE(bare, 0);
  EXPECT_EQ(ORTH_PhonSearch(bare, "fone", buffer, sizeof buffer), 0);
  ORTH_CloseSession(bare);
}

}  // namespace
